// A file too large to hold whole, searched a piece of lines at a time as the
// window moves through it.
#include <algorithm>
#include <cerrno>
#include <deque>
#include <optional>
#include <string>

#include "platform/codepage/BinaryContent.h"
#include "platform/codepage/ByteScan.h"
#include "platform/codepage/CodePageConverter.h"
#include "platform/codepage/CodePageDetector.h"
#include "platform/codepage/LineFeedCuts.h"
#include "search/file/FileSearcher.h"
#include "search/file/LinePieces.h"
#include "search/hits/HitContext.h"
#include "search/text/TextDecoding.h"

namespace trawlscope {

FileSearchOutcome FileSearcher::SearchInPieces(const AbortFlag& abortRequested, CodePage detected, HitList& hits,
                                               int contextLength) {
  using Kind = FileSearchOutcome::Kind;
  window_.inPieces = true;
  window_.text.clear();
  window_.heldBytes.clear();
  window_.textBase = window_.textEnd = window_.linesCounted = 0;
  window_.linesBefore = 0;
  window_.uncounted.clear();
  window_.recountError = 0;
  const size_t width = ContextWidth(contextLength);
  // A piece is searched once the text after it holds its last hit's right context.
  const size_t rightRoom = kRightContextFactor * width;
  // At most three pieces' text is held (see the letting go below): room for
  // them from the start, rather than doubling past them.
  const size_t heldRoom = 3 * window_.pieceBytes + rightRoom + width;
  bool asciiTransparent = IsAsciiTransparent(detected);
  // ASCII pieces of a page that reads ASCII as ASCII are held as their bytes
  // until a piece that is not comes.
  window_.heldNarrow = asciiTransparent;
  if (window_.heldNarrow) window_.heldBytes.reserve(heldRoom);
  else window_.text.reserve(heldRoom);
  const ByteFinder* asciiFinder = asciiTransparent ? pattern_.Prefilter().FinderForAsciiBytes(detected) : nullptr;
  // An expression that can run on ASCII bytes runs on the held bytes, as on a whole ASCII file.
  const bool bytesExpression = pattern_.mode == MatchMode::RegularExpression && pattern_.matcher->CanScanAsciiBytes();
  std::deque<size_t> cuts;  // ends of the pieces held but not searched yet, in the whole text
  size_t searchedTo = 0;
  bool atStart = true;
  bool atEnd = false;
  const auto onMatch = [&](size_t position, size_t length) {
    MakeHit(hits, searchedTo + position, length, contextLength);
  };
  // Searches the held text from searchedTo to `to`, which it then is.
  const auto searchTo = [&](size_t to) {
    const size_t from = searchedTo - window_.textBase;
    Matcher::ScanEnd end;
    if (!window_.heldNarrow) {
      end = pattern_.matcher->Scan(std::u16string_view(window_.text).substr(from, to - searchedTo), pattern_.mode, abortRequested, onMatch);
    } else {
      const std::string_view lines = std::string_view(window_.heldBytes).substr(from, to - searchedTo);
      if (bytesExpression) {
        end = pattern_.matcher->ScanAsciiBytes(lines, abortRequested, onMatch);
      } else {
        window_.decoded.assign(lines.begin(), lines.end());
        end = pattern_.matcher->Scan(window_.decoded, pattern_.mode, abortRequested, onMatch);
      }
    }
    searchedTo = to;
    return window_.recountError != 0 ? Matcher::ScanEnd::MatchError : end;
  };
  const auto ended = [&](Matcher::ScanEnd end) -> FileSearchOutcome {
    if (window_.recountError != 0) return {Kind::Unreadable, window_.recountError};
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
    if (IsBinaryContent(window_.head)) {
      dropHits();
      return FileSearchOutcome{Kind::Binary};
    }
    const CodePage page = DetectCodePageOfParts(window_.head, sample);
    if (page != detected && !IsAsciiTransparent(page)) {
      dropHits();
      if (!CutsAfterLineFeeds(page)) {
        wholeAfterAll_ = true;
        return FileSearchOutcome{};
      }
      // Every piece so far reads otherwise: from the start again, or, for
      // bytes that cannot be read again, whole from the caller.
      if (!window_.pieces.CanReadAgain()) {
        wholeAfterAll_ = true;
        return FileSearchOutcome{};
      }
      if (!window_.pieces.Rewind()) return FileSearchOutcome{Kind::Unreadable, errno};
      window_.raw.Clear(~size_t{0});
      window_.codePage = page;
      return SearchInPieces(abortRequested, page, hits, contextLength);
    }
    if (page != detected) {
      // The pieces so far, all ASCII, read the same in it; only the record's page changes.
      detected = page;
      window_.codePage = page;
      if (hitFile_ != nullptr) hitFile_->codePage = page;
      asciiFinder = pattern_.Prefilter().FinderForAsciiBytes(detected);
    }
    return std::nullopt;
  };
  while (!atEnd || window_.raw.size() > 0 || !cuts.empty()) {
    const long long next = NextLinePiece(window_.pieces, window_.raw, window_.pieceBytes, detected, atEnd);
    if (next < 0) return {Kind::Unreadable, errno};
    const size_t cut = static_cast<size_t>(next);
    const std::string_view piece = window_.raw.View().substr(0, cut);
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
    if (window_.pagePending && cut > 0 && !ascii) {
      // The first byte from 0x80 up: the detector sees what it would of the whole file.
      window_.pagePending = false;
      const size_t high = FindFirstHighByte(piece);
      if (window_.raw.size() < high + kDetectionSampleBytes && !atEnd) {
        const size_t asked = high + kDetectionSampleBytes - window_.raw.size();
        const long long got = window_.pieces.ReadMore(window_.raw, asked);
        if (got < 0) return {Kind::Unreadable, errno};
        atEnd = static_cast<size_t>(got) < asked;
      }
      if (auto settled = settlePage(window_.raw.View().substr(high, kDetectionSampleBytes))) return *settled;
    } else if (window_.pagePending && outlet_ && hits.size() >= handOverEvery_ && window_.pieces.CanReadAgain()) {
      // Hits that went out cannot be dropped: the page is settled now, on
      // the first byte from 0x80 up wherever it is, instead of when it comes.
      window_.pagePending = false;
      std::string sample;
      if (!window_.LookAheadForHighByte(sample)) return {Kind::Unreadable, errno};
      if (!sample.empty()) {
        if (auto settled = settlePage(sample)) return *settled;
      }
    }
    const std::string_view cutPiece = window_.raw.View().substr(0, cut);
    const size_t tail = std::max<size_t>(width, 1);
    if (ascii && cutPiece.size() > rightRoom + tail &&
        (asciiFinder != nullptr ? !mayContain : !pattern_.Prefilter().MayContain(cutPiece, detected, cutPiece.size()))) {
      // ASCII that cannot hold a match, as most of a large file without a
      // hit: only its head (the right contexts of the pieces before) and its
      // tail (the left contexts of the pieces after) are held; its lines are
      // counted only if a hit comes after it.
      const size_t start = window_.textBase + window_.HeldSize();
      window_.AppendHeldAscii(cutPiece.substr(0, rightRoom + 1));
      window_.textEnd = window_.textBase + window_.HeldSize();
      for (; !cuts.empty(); cuts.pop_front()) {
        const Matcher::ScanEnd end = searchTo(cuts.front());
        if (end != Matcher::ScanEnd::Completed) return ended(end);
      }
      if (window_.linesCounted < start) window_.CountHeldLinesTo(start);
      const size_t tailFrom = cutPiece.size() - tail;
      // Bytes that cannot be read again are counted now, with the byte after them.
      if (window_.pieces.CanReadAgain()) window_.uncounted.push_back({window_.pieces.Position() - window_.raw.size(), tailFrom});
      else window_.linesBefore += LineCounter<char>(cutPiece.substr(0, tailFrom + 1)).LineOf(tailFrom) - 1;
      window_.linesCounted = start + tailFrom;
      const std::string_view tailBytes = cutPiece.substr(tailFrom);
      if (window_.heldNarrow) window_.heldBytes.assign(tailBytes);
      else window_.text.assign(tailBytes.begin(), tailBytes.end());
      window_.textBase = start + tailFrom;
      searchedTo = window_.textEnd = start + cutPiece.size();
      atStart = false;
      window_.raw.DropFront(cut);
      continue;
    }
    if (cut > 0) {
      if (window_.heldNarrow && ascii) {
        window_.heldBytes.append(cutPiece);
      } else {
        if (window_.heldNarrow) {
          // The first piece that is not ASCII: what is held is widened once.
          window_.text.reserve(heldRoom);
          window_.text.assign(window_.heldBytes.begin(), window_.heldBytes.end());
          window_.heldBytes.clear();
          window_.heldNarrow = false;
        }
        // Only the file's start may hold a byte-order mark.
        size_t undecodable = 0;
        if (atStart) DecodeDetectedBytes(cutPiece, detected, window_.decoded, window_.hadBom, &undecodable);
        else DecodeToUtf16(cutPiece, detected, window_.decoded, &undecodable);
        window_.undecodable = window_.undecodable || undecodable > 0;
        window_.text += window_.decoded;
      }
      atStart = false;
      cuts.push_back(window_.textBase + window_.HeldSize());
      window_.raw.DropFront(cut);
    }
    window_.textEnd = window_.textBase + window_.HeldSize();
    const bool allHeld = atEnd && window_.raw.size() == 0;
    while (!cuts.empty() && (allHeld || window_.textEnd - cuts.front() >= rightRoom)) {
      const Matcher::ScanEnd end = searchTo(cuts.front());
      if (end != Matcher::ScanEnd::Completed) return ended(end);
      cuts.pop_front();
    }
    if (IsAborted(abortRequested)) return {Kind::Aborted};
    // What no later hit's left context reaches is let go once it is most of
    // what is held; its line breaks are counted first. The last unit stays,
    // since whether a break ends its run depends on the unit after it.
    const size_t keepFrom = std::min(searchedTo - std::min(searchedTo, width), window_.textEnd - std::min<size_t>(window_.textEnd, 1));
    if (keepFrom > window_.textBase && keepFrom - window_.textBase > window_.HeldSize() / 2) {
      if (window_.linesCounted < keepFrom) window_.CountHeldLinesTo(keepFrom);
      if (window_.heldNarrow) window_.heldBytes.erase(0, keepFrom - window_.textBase);
      else window_.text.erase(0, keepFrom - window_.textBase);
      window_.textBase = keepFrom;
    }
  }
  return ended(Matcher::ScanEnd::Completed);
}

}  // namespace trawlscope
