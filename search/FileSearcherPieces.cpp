// A file too large to hold whole, searched a piece of lines at a time.
#include <algorithm>
#include <cerrno>
#include <deque>

#include "platform/codepage/BinaryContent.h"
#include "platform/codepage/ByteScan.h"
#include "platform/codepage/CodePageConverter.h"
#include "platform/codepage/CodePageDetector.h"
#include "platform/codepage/LineFeedCuts.h"
#include "platform/codepage/PlainAscii.h"
#include "search/FileSearcher.h"
#include "search/HitContext.h"
#include "search/text/TextDecoding.h"

namespace trawlscope {
namespace {

constexpr char kEscape = 0x1B;

}  // namespace

FileSearcher::Loaded FileSearcher::DetectInPieces(const AbortFlag& abortRequested) {
  using Kind = FileSearchOutcome::Kind;
  std::string head;
  if (pieces_.ReadMore(head, kDetectionSampleBytes) < 0) return {Kind::Unreadable, errno};
  bool anyHigh = FindFirstHighByte(head) < head.size();
  std::string atFirstHigh;
  if (!anyHigh && head.find('\0') == std::string::npos && head.find(kEscape) == std::string::npos) {
    // An English head must not hide the Japanese below it: the detector
    // looks where the first byte from 0x80 up stands, as for a whole file.
    for (std::string room;;) {
      room.clear();
      const long long got = pieces_.ReadMore(room, pieceBytes_);
      if (got < 0) return {Kind::Unreadable, errno};
      if (got == 0) break;
      if (IsAborted(abortRequested)) return {Kind::Aborted};
      const size_t high = FindFirstHighByte(room);
      if (high == room.size()) continue;
      anyHigh = true;
      atFirstHigh.assign(room, high, kDetectionSampleBytes);
      if (atFirstHigh.size() < kDetectionSampleBytes &&
          pieces_.ReadMore(atFirstHigh, kDetectionSampleBytes - atFirstHigh.size()) < 0)
        return {Kind::Unreadable, errno};
      break;
    }
  }
  if (!pieces_.Rewind()) return {Kind::Unreadable, errno};
  const bool plainAscii = !anyHigh && IsPlainAsciiSample(head);
  if (!plainAscii && IsBinaryContent(head)) return {Kind::Binary};
  return {Kind::Searched, 0, plainAscii ? codepage::kUtf8 : DetectCodePageOfParts(head, atFirstHigh)};
}

bool FileSearcher::CanSearchInPieces(CodePage detected) const {
  if (!CutsAfterLineFeeds(detected)) return false;
  // Nothing folds to a line feed: the caseless scan's pattern holds one only when the typed one does.
  if (mode_ != MatchMode::RegularExpression) return matcher_->Pattern().find(u'\n') == std::u16string::npos;
  // Every match, and all its assertions read, lies in a run of these characters
  // and the one after it: without a line feed among them, within a line.
  const ExpressionFacts* facts = matcher_->Facts();
  return facts != nullptr && !facts->consumable.Has(U'\n');
}

FileSearchOutcome FileSearcher::SearchInPieces(const AbortFlag& abortRequested, CodePage detected, HitList& hits,
                                               int contextLength) {
  using Kind = FileSearchOutcome::Kind;
  inPieces_ = true;
  text_.clear();
  textBase_ = textEnd_ = linesCounted_ = 0;
  linesBefore_ = 0;
  const size_t width = ContextWidth(contextLength);
  // A piece is searched once the text after it holds its last hit's right context.
  const size_t rightRoom = kRightContextFactor * width;
  // At most three pieces' text is held (see the letting go below): room for
  // them from the start, rather than doubling past them.
  text_.reserve(3 * pieceBytes_ + rightRoom + width);
  std::string bytes;
  std::u16string decoded;
  std::deque<size_t> cuts;  // ends of the pieces held but not searched yet, in the whole text
  size_t searchedTo = 0;
  bool atStart = true;
  bool atEnd = false;
  const bool asciiTransparent = IsAsciiTransparent(detected);
  const auto onMatch = [&](size_t position, size_t length) {
    MakeHit(hits, searchedTo + position, length, contextLength);
  };
  while (!atEnd || !cuts.empty()) {
    size_t cut = 0;
    // Bytes up to the last line feed, reading on while a line is longer than a piece.
    while (cut == 0 && !atEnd) {
      const size_t before = bytes.size();
      const long long got = pieces_.ReadMore(bytes, pieceBytes_);
      if (got < 0) return {Kind::Unreadable, errno};
      atEnd = got == 0;
      // Only the new bytes, and the unit they may finish, are looked through.
      const size_t from = (before - std::min<size_t>(before, 2)) & ~size_t{1};
      const size_t feed = UpToLastLineFeed(std::string_view(bytes).substr(from), detected);
      cut = atEnd ? bytes.size() : feed > 0 ? from + feed : 0;
    }
    const std::string_view piece(bytes.data(), cut);
    const size_t tail = std::max<size_t>(width, 1);
    if (piece.size() > rightRoom + tail && asciiTransparent && FindFirstHighByte(piece) == piece.size() &&
        !Prefilter().MayContain(piece, detected, piece.size())) {
      // ASCII that cannot hold a match, as most of a large file without a
      // hit: only its head (the right contexts of the pieces before) and its
      // tail (the left contexts of the pieces after) are widened; its lines
      // are counted on its bytes.
      const size_t start = textBase_ + text_.size();
      text_.append(piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(rightRoom + 1));
      textEnd_ = textBase_ + text_.size();
      for (; !cuts.empty(); cuts.pop_front()) {
        const std::u16string_view lines = std::u16string_view(text_).substr(searchedTo - textBase_, cuts.front() - searchedTo);
        const Matcher::ScanEnd end = matcher_->Scan(lines, mode_, abortRequested, onMatch);
        if (end != Matcher::ScanEnd::Completed) return Finish(end, abortRequested);
        searchedTo = cuts.front();
      }
      if (linesCounted_ < start) PieceLineOf(start);
      const size_t tailFrom = piece.size() - tail;
      linesBefore_ += LineCounter<char>(piece).LineOf(tailFrom) - 1;
      linesCounted_ = start + tailFrom;
      text_.assign(piece.end() - static_cast<std::ptrdiff_t>(tail), piece.end());
      textBase_ = start + tailFrom;
      searchedTo = textEnd_ = start + piece.size();
      atStart = false;
      bytes.erase(0, cut);
      continue;
    }
    if (cut > 0) {
      bool hadBom = false;
      // Only the file's start may hold a byte-order mark.
      if (atStart) DecodeDetectedBytes(piece, detected, decoded, hadBom);
      else DecodeToUtf16(piece, detected, decoded);
      atStart = false;
      text_ += decoded;
      cuts.push_back(textBase_ + text_.size());
      bytes.erase(0, cut);
    }
    textEnd_ = textBase_ + text_.size();
    while (!cuts.empty() && (atEnd || textEnd_ - cuts.front() >= rightRoom)) {
      const std::u16string_view lines = std::u16string_view(text_).substr(searchedTo - textBase_, cuts.front() - searchedTo);
      const Matcher::ScanEnd end = matcher_->Scan(lines, mode_, abortRequested, onMatch);
      if (end != Matcher::ScanEnd::Completed) return Finish(end, abortRequested);
      searchedTo = cuts.front();
      cuts.pop_front();
    }
    if (IsAborted(abortRequested)) return {Kind::Aborted};
    // What no later hit's left context reaches is let go once it is most of
    // what is held; its line breaks are counted first. The last unit stays,
    // since whether a break ends its run depends on the unit after it.
    const size_t keepFrom = std::min(searchedTo - std::min(searchedTo, width), textEnd_ - std::min<size_t>(textEnd_, 1));
    if (keepFrom > textBase_ && keepFrom - textBase_ > text_.size() / 2) {
      if (linesCounted_ < keepFrom) PieceLineOf(keepFrom);
      text_.erase(0, keepFrom - textBase_);
      textBase_ = keepFrom;
    }
  }
  return Finish(Matcher::ScanEnd::Completed, abortRequested);
}

std::int64_t FileSearcher::PieceLineOf(size_t position) {
  LineCounter<char16_t> counter(std::u16string_view(text_).substr(linesCounted_ - textBase_));
  linesBefore_ += counter.LineOf(position - linesCounted_) - 1;
  linesCounted_ = position;
  return linesBefore_ + 1;
}

}  // namespace trawlscope
