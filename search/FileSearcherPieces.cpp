// A file too large to hold whole, searched a piece of lines at a time.
#include <algorithm>
#include <cerrno>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "platform/codepage/BinaryContent.h"
#include "platform/codepage/ByteScan.h"
#include "platform/codepage/CodePageConverter.h"
#include "platform/codepage/CodePageDetector.h"
#include "platform/codepage/LineFeedCuts.h"
#include "platform/codepage/PlainAscii.h"
#include "search/FileSearcher.h"
#include "search/LinePieces.h"
#include "search/hits/HitContext.h"
#include "search/text/TextDecoding.h"

namespace trawlscope {
namespace {

constexpr char kEscape = 0x1B;

// Pieces let go uncounted are read again in parts of this size to count
// their lines, as is the rest of a file looked ahead in.
constexpr size_t kRecountBytes = 256u << 10;

}  // namespace

FileSearcher::Loaded FileSearcher::StartPieces(const AbortFlag& abortRequested) {
  using Kind = FileSearchOutcome::Kind;
  raw_.Clear(kRecountBytes + pieceBytes_ + kDetectionSampleBytes);
  pagePending_ = false;
  // The head stays in raw_ as the start of the first piece.
  if (pieces_.ReadMore(raw_, kDetectionSampleBytes) < 0) return {Kind::Unreadable, errno};
  head_.assign(raw_.View());
  if (const CodePage chosen = ChosenCodePage(head_); chosen != codepage::kNone) {
    if (IsBinaryContent(head_)) return {Kind::Binary};
    return {Kind::Searched, 0, chosen};
  }
  const bool highInHead = FindFirstHighByte(head_) < head_.size();
  if (highInHead || head_.find('\0') != std::string::npos || head_.find(kEscape) != std::string::npos) {
    const bool plainAscii = !highInHead && IsPlainAsciiSample(head_);
    if (!plainAscii && IsBinaryContent(head_)) return {Kind::Binary};
    return {Kind::Searched, 0, plainAscii ? codepage::kUtf8 : DetectCodePageOfParts(head_, {})};
  }
  if (mayGuessPage_ && IsPlainAsciiSample(head_)) {
    pagePending_ = true;
    return {Kind::Searched, 0, codepage::kUtf8};
  }
  // An English head must not hide the Japanese below it: the detector
  // looks where the first byte from 0x80 up stands, as for a whole file.
  // Bytes that cannot be read again are read whole instead (no page).
  if (!pieces_.CanReadAgain()) return {Kind::Searched, 0, codepage::kNone};
  bool anyHigh = false;
  std::string atFirstHigh;
  for (;;) {
    raw_.Clear(~size_t{0});
    const long long got = pieces_.ReadMore(raw_, pieceBytes_);
    if (got < 0) return {Kind::Unreadable, errno};
    if (got == 0) break;
    if (IsAborted(abortRequested)) return {Kind::Aborted};
    const size_t high = FindFirstHighByte(raw_.View());
    if (high == raw_.size()) continue;
    anyHigh = true;
    if (raw_.size() < high + kDetectionSampleBytes &&
        pieces_.ReadMore(raw_, high + kDetectionSampleBytes - raw_.size()) < 0)
      return {Kind::Unreadable, errno};
    atFirstHigh.assign(raw_.View().substr(high, kDetectionSampleBytes));
    break;
  }
  raw_.Clear(~size_t{0});
  if (!pieces_.Rewind()) return {Kind::Unreadable, errno};
  const bool plainAscii = !anyHigh && IsPlainAsciiSample(head_);
  if (!plainAscii && IsBinaryContent(head_)) return {Kind::Binary};
  return {Kind::Searched, 0, plainAscii ? codepage::kUtf8 : DetectCodePageOfParts(head_, atFirstHigh)};
}

bool FileSearcher::PatternFitsPieces() const {
  // Nothing folds to a line feed: the caseless scan's pattern holds one only when the typed one does.
  if (mode_ != MatchMode::RegularExpression) return matcher_->Pattern().find(u'\n') == std::u16string::npos;
  // Every match, and all its assertions read, lies in a run of these characters
  // and the one after it: without a line feed among them, within a line.
  const ExpressionFacts* facts = matcher_->Facts();
  return facts != nullptr && !facts->consumable.Has(U'\n');
}

void FileSearcher::AppendHeldAscii(std::string_view ascii) {
  if (heldNarrow_) heldBytes_.append(ascii);
  else text_.append(ascii.begin(), ascii.end());
}

FileSearchOutcome FileSearcher::SearchInPieces(const AbortFlag& abortRequested, CodePage detected, HitList& hits,
                                               int contextLength) {
  using Kind = FileSearchOutcome::Kind;
  inPieces_ = true;
  text_.clear();
  heldBytes_.clear();
  textBase_ = textEnd_ = linesCounted_ = 0;
  linesBefore_ = 0;
  uncounted_.clear();
  recountError_ = 0;
  const size_t width = ContextWidth(contextLength);
  // A piece is searched once the text after it holds its last hit's right context.
  const size_t rightRoom = kRightContextFactor * width;
  // At most three pieces' text is held (see the letting go below): room for
  // them from the start, rather than doubling past them.
  const size_t heldRoom = 3 * pieceBytes_ + rightRoom + width;
  bool asciiTransparent = IsAsciiTransparent(detected);
  // ASCII pieces of a page that reads ASCII as ASCII are held as their bytes
  // until a piece that is not comes.
  heldNarrow_ = asciiTransparent;
  if (heldNarrow_) heldBytes_.reserve(heldRoom);
  else text_.reserve(heldRoom);
  const ByteFinder* asciiFinder = asciiTransparent ? Prefilter().FinderForAsciiBytes(detected) : nullptr;
  // An expression that can run on ASCII bytes runs on the held bytes, as on a whole ASCII file.
  const bool bytesExpression = mode_ == MatchMode::RegularExpression && matcher_->CanScanAsciiBytes();
  std::deque<size_t> cuts;  // ends of the pieces held but not searched yet, in the whole text
  size_t searchedTo = 0;
  bool atStart = true;
  bool atEnd = false;
  const auto onMatch = [&](size_t position, size_t length) {
    MakeHit(hits, searchedTo + position, length, contextLength);
  };
  // Searches the held text from searchedTo to `to`, which it then is.
  const auto searchTo = [&](size_t to) {
    const size_t from = searchedTo - textBase_;
    Matcher::ScanEnd end;
    if (!heldNarrow_) {
      end = matcher_->Scan(std::u16string_view(text_).substr(from, to - searchedTo), mode_, abortRequested, onMatch);
    } else {
      const std::string_view lines = std::string_view(heldBytes_).substr(from, to - searchedTo);
      if (bytesExpression) {
        end = matcher_->ScanAsciiBytes(lines, abortRequested, onMatch);
      } else {
        decoded_.assign(lines.begin(), lines.end());
        end = matcher_->Scan(decoded_, mode_, abortRequested, onMatch);
      }
    }
    searchedTo = to;
    return recountError_ != 0 ? Matcher::ScanEnd::MatchError : end;
  };
  const auto ended = [&](Matcher::ScanEnd end) -> FileSearchOutcome {
    if (recountError_ != 0) return {Kind::Unreadable, recountError_};
    return Finish(end, abortRequested);
  };
  // Drops this file's hits, which were all the list held.
  const auto dropHits = [&] {
    hitFile_ = nullptr;
    hits.Clear();
  };
  // The page guessed from an ASCII head checked against the bytes at the
  // first byte from 0x80 up: a search from the start again when they read
  // otherwise, or none at all.
  const auto settlePage = [&](std::string_view sample) -> std::optional<FileSearchOutcome> {
    if (IsBinaryContent(head_)) {
      dropHits();
      return FileSearchOutcome{Kind::Binary};
    }
    const CodePage page = DetectCodePageOfParts(head_, sample);
    if (page != detected && !IsAsciiTransparent(page)) {
      dropHits();
      if (!CutsAfterLineFeeds(page)) {
        wholeAfterAll_ = true;
        return FileSearchOutcome{};
      }
      // Every piece so far reads otherwise: from the start again, or, for
      // bytes that cannot be read again, whole from the caller.
      if (!pieces_.CanReadAgain()) {
        wholeAfterAll_ = true;
        return FileSearchOutcome{};
      }
      if (!pieces_.Rewind()) return FileSearchOutcome{Kind::Unreadable, errno};
      raw_.Clear(~size_t{0});
      fileCodePage_ = page;
      return SearchInPieces(abortRequested, page, hits, contextLength);
    }
    if (page != detected) {
      // The pieces so far, all ASCII, read the same in it; only the record's page changes.
      detected = page;
      fileCodePage_ = page;
      if (hitFile_ != nullptr) hitFile_->codePage = page;
      asciiFinder = Prefilter().FinderForAsciiBytes(detected);
    }
    return std::nullopt;
  };
  while (!atEnd || raw_.size() > 0 || !cuts.empty()) {
    const long long next = NextLinePiece(pieces_, raw_, pieceBytes_, detected, atEnd);
    if (next < 0) return {Kind::Unreadable, errno};
    const size_t cut = static_cast<size_t>(next);
    const std::string_view piece = raw_.View().substr(0, cut);
    // Whether the piece is all ASCII and, if so, whether it may hold a match, in one pass when a needle tells.
    bool ascii = false;
    bool mayContain = true;
    if (asciiTransparent && cut > 0) {
      if (asciiFinder != nullptr) {
        const ByteFinder::InAscii look = asciiFinder->LookInAscii(piece);
        ascii = look != ByteFinder::InAscii::HighByte;
        mayContain = look != ByteFinder::InAscii::NotFound;
      } else {
        ascii = FindFirstHighByte(piece) == piece.size();
      }
    }
    if (pagePending_ && cut > 0 && !ascii) {
      // The first byte from 0x80 up: the detector sees what it would of the whole file.
      pagePending_ = false;
      const size_t high = FindFirstHighByte(piece);
      if (raw_.size() < high + kDetectionSampleBytes && !atEnd) {
        const size_t asked = high + kDetectionSampleBytes - raw_.size();
        const long long got = pieces_.ReadMore(raw_, asked);
        if (got < 0) return {Kind::Unreadable, errno};
        atEnd = static_cast<size_t>(got) < asked;
      }
      if (auto settled = settlePage(raw_.View().substr(high, kDetectionSampleBytes))) return *settled;
    } else if (pagePending_ && outlet_ && hits.size() >= handOverEvery_ && pieces_.CanReadAgain()) {
      // Hits that went out cannot be dropped: the page is settled now, on
      // the first byte from 0x80 up wherever it is, instead of when it comes.
      pagePending_ = false;
      std::string sample;
      if (!LookAheadForHighByte(sample)) return {Kind::Unreadable, errno};
      if (!sample.empty()) {
        if (auto settled = settlePage(sample)) return *settled;
      }
    }
    const std::string_view cutPiece = raw_.View().substr(0, cut);
    const size_t tail = std::max<size_t>(width, 1);
    if (ascii && cutPiece.size() > rightRoom + tail &&
        (asciiFinder != nullptr ? !mayContain : !Prefilter().MayContain(cutPiece, detected, cutPiece.size()))) {
      // ASCII that cannot hold a match, as most of a large file without a
      // hit: only its head (the right contexts of the pieces before) and its
      // tail (the left contexts of the pieces after) are held; its lines are
      // counted only if a hit comes after it.
      const size_t start = textBase_ + HeldSize();
      AppendHeldAscii(cutPiece.substr(0, rightRoom + 1));
      textEnd_ = textBase_ + HeldSize();
      for (; !cuts.empty(); cuts.pop_front()) {
        const Matcher::ScanEnd end = searchTo(cuts.front());
        if (end != Matcher::ScanEnd::Completed) return ended(end);
      }
      if (linesCounted_ < start) CountHeldLinesTo(start);
      const size_t tailFrom = cutPiece.size() - tail;
      // Bytes that cannot be read again are counted now, with the byte after them.
      if (pieces_.CanReadAgain()) uncounted_.push_back({pieces_.Position() - raw_.size(), tailFrom});
      else linesBefore_ += LineCounter<char>(cutPiece.substr(0, tailFrom + 1)).LineOf(tailFrom) - 1;
      linesCounted_ = start + tailFrom;
      const std::string_view tailBytes = cutPiece.substr(tailFrom);
      if (heldNarrow_) heldBytes_.assign(tailBytes);
      else text_.assign(tailBytes.begin(), tailBytes.end());
      textBase_ = start + tailFrom;
      searchedTo = textEnd_ = start + cutPiece.size();
      atStart = false;
      raw_.DropFront(cut);
      continue;
    }
    if (cut > 0) {
      if (heldNarrow_ && ascii) {
        heldBytes_.append(cutPiece);
      } else {
        if (heldNarrow_) {
          // The first piece that is not ASCII: what is held is widened once.
          text_.reserve(heldRoom);
          text_.assign(heldBytes_.begin(), heldBytes_.end());
          heldBytes_.clear();
          heldNarrow_ = false;
        }
        // Only the file's start may hold a byte-order mark.
        size_t undecodable = 0;
        if (atStart) DecodeDetectedBytes(cutPiece, detected, decoded_, fileHadBom_, &undecodable);
        else DecodeToUtf16(cutPiece, detected, decoded_, &undecodable);
        fileUndecodable_ = fileUndecodable_ || undecodable > 0;
        text_ += decoded_;
      }
      atStart = false;
      cuts.push_back(textBase_ + HeldSize());
      raw_.DropFront(cut);
    }
    textEnd_ = textBase_ + HeldSize();
    const bool allHeld = atEnd && raw_.size() == 0;
    while (!cuts.empty() && (allHeld || textEnd_ - cuts.front() >= rightRoom)) {
      const Matcher::ScanEnd end = searchTo(cuts.front());
      if (end != Matcher::ScanEnd::Completed) return ended(end);
      cuts.pop_front();
    }
    if (IsAborted(abortRequested)) return {Kind::Aborted};
    // What no later hit's left context reaches is let go once it is most of
    // what is held; its line breaks are counted first. The last unit stays,
    // since whether a break ends its run depends on the unit after it.
    const size_t keepFrom = std::min(searchedTo - std::min(searchedTo, width), textEnd_ - std::min<size_t>(textEnd_, 1));
    if (keepFrom > textBase_ && keepFrom - textBase_ > HeldSize() / 2) {
      if (linesCounted_ < keepFrom) CountHeldLinesTo(keepFrom);
      if (heldNarrow_) heldBytes_.erase(0, keepFrom - textBase_);
      else text_.erase(0, keepFrom - textBase_);
      textBase_ = keepFrom;
    }
  }
  return ended(Matcher::ScanEnd::Completed);
}

bool FileSearcher::LookAheadForHighByte(std::string& sample) {
  sample.clear();
  // raw_ holds the bytes read but not yet cut, which come first.
  unsigned long long offset = pieces_.Position() - raw_.size();
  size_t high = FindFirstHighByte(raw_.View());
  if (high == raw_.size()) {
    offset = pieces_.Position();
    const std::unique_ptr<char[]> part(new char[kRecountBytes]);
    for (;;) {
      // As far as the pieces read: the size the file had when opened.
      const size_t wanted = static_cast<size_t>(std::min<unsigned long long>(kRecountBytes, pieces_.Size() - offset));
      const long long got = wanted == 0 ? 0 : pieces_.ReadAt(offset, part.get(), wanted);
      if (got < 0) return false;
      if (got == 0) return true;  // plain ASCII to its end
      const size_t count = static_cast<size_t>(got);
      high = FindFirstHighByte(std::string_view(part.get(), count));
      if (high < count) break;
      offset += count;
    }
  }
  sample.resize(kDetectionSampleBytes);
  const long long got = pieces_.ReadAt(offset + high, sample.data(), sample.size());
  if (got < 0) return false;
  sample.resize(static_cast<size_t>(got));
  return true;
}

void FileSearcher::CountHeldLinesTo(size_t position) {
  const size_t from = linesCounted_ - textBase_;
  if (heldNarrow_) {
    LineCounter<char> counter(std::string_view(heldBytes_).substr(from));
    linesBefore_ += counter.LineOf(position - linesCounted_) - 1;
  } else {
    LineCounter<char16_t> counter(std::u16string_view(text_).substr(from));
    linesBefore_ += counter.LineOf(position - linesCounted_) - 1;
  }
  linesCounted_ = position;
}

void FileSearcher::CountSkippedLines() {
  if (uncounted_.empty() || recountError_ != 0) return;
  const std::unique_ptr<char[]> part(new char[kRecountBytes + 1]);
  for (const Uncounted& skipped : uncounted_) {
    // Each part is read with the byte after it, which tells whether its last break ends a run.
    for (size_t done = 0; done < skipped.count;) {
      const size_t count = std::min(kRecountBytes, skipped.count - done);
      const long long got = pieces_.ReadAt(skipped.offset + done, part.get(), count + 1);
      if (got < static_cast<long long>(count + 1)) {
        // Shrunk since: its lines cannot be told.
        recountError_ = got < 0 ? errno : EIO;
        return;
      }
      linesBefore_ += LineCounter<char>(std::string_view(part.get(), count + 1)).LineOf(count) - 1;
      done += count;
    }
  }
  uncounted_.clear();
}

std::int64_t FileSearcher::PieceLineOf(size_t position) {
  CountSkippedLines();
  CountHeldLinesTo(position);
  return linesBefore_ + 1;
}

}  // namespace trawlscope
