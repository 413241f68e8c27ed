// A file too large to hold whole, searched a piece of lines at a time as the
// window moves through it.
#include <algorithm>
#include <cerrno>
#include <deque>
#include <optional>
#include <string>

#include "platform/codepage/binary/BinaryContent.h"
#include "platform/codepage/ByteScan.h"
#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/detection/CodePageDetector.h"
#include "platform/codepage/conversion/LineFeedCuts.h"
#include "search/file/FileSearcher.h"
#include "search/hits/HitContext.h"
#include "search/text/TextDecoding.h"

namespace trawlscope {

FileSearchOutcome FileSearcher::SearchInPieces(const AbortFlag& abortRequested, CodePage detected, HitList& hits,
                                               int contextLength) {
  PieceScan scan(abortRequested, hits, contextLength, detected);
  scan.width = ContextWidth(contextLength);
  // A piece is searched once the text after it holds its last hit's right context.
  scan.rightRoom = kRightContextFactor * scan.width;
  // At most three pieces' text is held (see FileWindow::LetGoBehind): room
  // for them from the start, rather than doubling past them.
  scan.heldRoom = 3 * window_.PieceBytes() + scan.rightRoom + scan.width;
  scan.asciiTransparent = IsAsciiTransparent(detected);
  window_.StartHolding(scan.asciiTransparent, scan.heldRoom);
  scan.asciiFinder = scan.asciiTransparent ? pattern_.Prefilter().FinderForAsciiBytes(detected) : nullptr;
  // An expression that can run on ASCII bytes runs on the held bytes, as on a whole ASCII file.
  scan.bytesExpression = pattern_.mode == MatchMode::RegularExpression && pattern_.matcher->CanScanAsciiBytes();
  while (!scan.atEnd || !window_.Unread().empty() || !scan.cuts.empty()) {
    const long long next = window_.NextPiece(scan.detected, scan.atEnd);
    if (next < 0) return {FileSearchOutcome::Kind::Unreadable, errno};
    if (auto ended = SearchPiece(scan, static_cast<size_t>(next))) return *ended;
  }
  return PiecesEnded(scan, Matcher::ScanEnd::Completed);
}

std::optional<FileSearchOutcome> FileSearcher::SearchPiece(PieceScan& scan, size_t cut) {
  const std::string_view piece = window_.Unread().substr(0, cut);
  // Whether the piece is all ASCII and, if so, whether it may hold a match, in one pass when a needle tells.
  bool ascii = false;
  bool mayContain = true;
  if (scan.asciiTransparent && cut > 0) {
    if (scan.asciiFinder != nullptr) {
      const ByteFinder::InAscii look = scan.asciiFinder->LookInAscii(piece);
      ascii = look != ByteFinder::InAscii::HighByte;
      mayContain = look != ByteFinder::InAscii::NotFound;
    } else {
      ascii = FindFirstHighByte(piece) == piece.size();
    }
  }
  if (auto settled = SettleGuessedPage(scan, piece, ascii)) return settled;
  const std::string_view cutPiece = window_.Unread().substr(0, cut);
  const size_t tail = std::max<size_t>(scan.width, 1);
  if (ascii && cutPiece.size() > scan.rightRoom + tail &&
      (scan.asciiFinder != nullptr ? !mayContain
                                   : !pattern_.Prefilter().MayContain(cutPiece, scan.detected, cutPiece.size()))) {
    // ASCII that cannot hold a match, as most of a large file without a
    // hit: only its head (the right contexts of the pieces before) and its
    // tail (the left contexts of the pieces after) are held; its lines are
    // counted only if a hit comes after it.
    const size_t start = window_.HoldHeadOf(cutPiece, scan.rightRoom);
    for (; !scan.cuts.empty(); scan.cuts.pop_front()) {
      const Matcher::ScanEnd end = SearchHeldTo(scan, scan.cuts.front());
      if (end != Matcher::ScanEnd::Completed) return PiecesEnded(scan, end);
    }
    scan.searchedTo = window_.HoldTailOf(cutPiece, start, tail);
    scan.atStart = false;
    window_.DropPiece(cut);
    return std::nullopt;
  }
  if (cut > 0) {
    window_.HoldPiece(cutPiece, ascii, scan.atStart, scan.detected, scan.heldRoom);
    scan.atStart = false;
    scan.cuts.push_back(window_.HeldEnd());
    window_.DropPiece(cut);
  }
  window_.LetContextsReach(window_.HeldEnd());
  const bool allHeld = scan.atEnd && window_.Unread().empty();
  while (!scan.cuts.empty() && (allHeld || window_.TextSize() - scan.cuts.front() >= scan.rightRoom)) {
    const Matcher::ScanEnd end = SearchHeldTo(scan, scan.cuts.front());
    if (end != Matcher::ScanEnd::Completed) return PiecesEnded(scan, end);
    scan.cuts.pop_front();
  }
  if (IsAborted(scan.abortRequested)) return FileSearchOutcome{FileSearchOutcome::Kind::Aborted};
  window_.LetGoBehind(scan.searchedTo, scan.width);
  return std::nullopt;
}

Matcher::ScanEnd FileSearcher::SearchHeldTo(PieceScan& scan, size_t to) {
  const size_t searchedTo = scan.searchedTo;
  const auto onMatch = [&](size_t position, size_t length) {
    MakeHit(scan.hits, searchedTo + position, length, scan.contextLength);
  };
  Matcher::ScanEnd end;
  if (!window_.HeldNarrow()) {
    end = pattern_.matcher->Scan(window_.HeldText(searchedTo, to), pattern_.mode, scan.abortRequested, onMatch);
  } else {
    const std::string_view lines = window_.HeldAscii(searchedTo, to);
    if (scan.bytesExpression) {
      end = pattern_.matcher->ScanAsciiBytes(lines, scan.abortRequested, onMatch);
    } else {
      window_.PieceText().assign(lines.begin(), lines.end());
      end = pattern_.matcher->Scan(window_.PieceText(), pattern_.mode, scan.abortRequested, onMatch);
    }
  }
  scan.searchedTo = to;
  return window_.RecountError() != 0 ? Matcher::ScanEnd::MatchError : end;
}

FileSearchOutcome FileSearcher::PiecesEnded(const PieceScan& scan, Matcher::ScanEnd end) const {
  if (window_.RecountError() != 0) return {FileSearchOutcome::Kind::Unreadable, window_.RecountError()};
  return Finish(end, scan.abortRequested);
}

std::optional<FileSearchOutcome> FileSearcher::SettleGuessedPage(PieceScan& scan, std::string_view piece,
                                                                 bool ascii) {
  using Kind = FileSearchOutcome::Kind;
  if (!window_.PagePending()) return std::nullopt;
  if (!piece.empty() && !ascii) {
    // The first byte from 0x80 up: the detector sees what it would of the whole file.
    window_.SettlePendingPage();
    const size_t high = FindFirstHighByte(piece);
    if (window_.Unread().size() < high + kDetectionSampleBytes && !scan.atEnd) {
      const size_t asked = high + kDetectionSampleBytes - window_.Unread().size();
      const long long got = window_.ReadMore(asked);
      if (got < 0) return FileSearchOutcome{Kind::Unreadable, errno};
      scan.atEnd = static_cast<size_t>(got) < asked;
    }
    return SettlePage(scan, window_.Unread().substr(high, kDetectionSampleBytes));
  }
  if (outlet_ && scan.hits.size() >= handOverEvery_ && window_.Pieces().CanReadAgain()) {
    // Hits that went out cannot be dropped: the page is settled now, on
    // the first byte from 0x80 up wherever it is, instead of when it comes.
    window_.SettlePendingPage();
    std::string sample;
    if (!window_.LookAheadForHighByte(sample)) return FileSearchOutcome{Kind::Unreadable, errno};
    if (!sample.empty()) return SettlePage(scan, sample);
  }
  return std::nullopt;
}

std::optional<FileSearchOutcome> FileSearcher::SettlePage(PieceScan& scan, std::string_view sample) {
  using Kind = FileSearchOutcome::Kind;
  // Drops this file's hits, which were all the list held.
  const auto dropHits = [&] {
    hitFile_ = nullptr;
    scan.hits.Clear();
  };
  if (IsBinaryContent(window_.Head())) {
    dropHits();
    return FileSearchOutcome{Kind::Binary};
  }
  const CodePage page = DetectCodePageOfParts(window_.Head(), sample);
  if (page != scan.detected && !IsAsciiTransparent(page)) {
    dropHits();
    if (!CutsAfterLineFeeds(page)) {
      wholeAfterAll_ = true;
      return FileSearchOutcome{};
    }
    // Every piece so far reads otherwise: from the start again, or, for
    // bytes that cannot be read again, whole from the caller.
    if (!window_.Pieces().CanReadAgain()) {
      wholeAfterAll_ = true;
      return FileSearchOutcome{};
    }
    if (!window_.RewindPieces()) return FileSearchOutcome{Kind::Unreadable, errno};
    window_.UsePage(page);
    return SearchInPieces(scan.abortRequested, page, scan.hits, scan.contextLength);
  }
  if (page != scan.detected) {
    // The pieces so far, all ASCII, read the same in it; only the record's page changes.
    scan.detected = page;
    window_.UsePage(page);
    if (hitFile_ != nullptr) hitFile_->codePage = page;
    scan.asciiFinder = pattern_.Prefilter().FinderForAsciiBytes(scan.detected);
  }
  return std::nullopt;
}

}  // namespace trawlscope
