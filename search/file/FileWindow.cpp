#include "search/file/FileWindow.h"

#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/codepage/binary/BinaryContent.h"
#include "platform/codepage/ByteScan.h"
#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/detection/CodePageDetector.h"
#include "platform/codepage/conversion/LineFeedCuts.h"
#include "platform/codepage/PlainAscii.h"
#include "platform/files/NativePath.h"
#include "search/listing/PathHelpers.h"
#include "search/text/TextDecoding.h"

namespace trawlscope {
namespace {

constexpr char kEscape = 0x1B;

// Texts up to this many units keep their memory for the next file.
constexpr size_t kKeptTextUnits = 16u << 20;

// A file whose bytes were let go past its head is still checked for binary
// content and detected on a full sample.
static_assert(kKeptHeadBytes >= kDetectionSampleBytes);

}  // namespace

void FileWindow::StartFile(const std::u16string& path) {
  // Files of one folder come in a row: its name is converted once for them.
  const std::u16string_view name = FileNameViewOf(path);
  const std::u16string_view folderPart = std::u16string_view(path).substr(0, path.size() - name.size());
  if (folderPart != folder || nativeFolder.empty()) {
    folder.assign(folderPart);
    nativeFolder = ToNativePath(folder);
  }
  // The text keeps the last file's units until the next decoding writes over
  // them: emptying it would make that decoding zero-fill it all again.
  fileName.assign(name);
  inPieces = false;
  heldNarrow = false;
  textBase = 0;
  asciiLines.reset();
  textLines.reset();
  codePage = codepage::kNone;
  hadBom = false;
  undecodable = false;
  pagePending = false;
}

CodePage FileWindow::PageOf(std::string_view sample, bool plainAscii, DetectedPageCache* cache,
                            const FileIdentity* identity) const {
  if (const CodePage chosen = ChosenCodePage(sample); chosen != codepage::kNone) return chosen;
  if (plainAscii) return codepage::kUtf8;
  // A byte-order mark settles the page at once: not worth an entry.
  if (cache == nullptr || identity == nullptr || FindByteOrderMark(sample).codePage != codepage::kNone)
    return DetectCodePage(sample, firstHighByte);
  const PageCacheKey key = PageCacheKeyOf(*identity);
  if (const CodePage known = cache->Find(key); known != codepage::kNone) return known;
  const CodePage detected = DetectCodePage(sample, firstHighByte);
  cache->Remember(key, detected);
  return detected;
}

CodePage FileWindow::ChosenCodePage(std::string_view start) const {
  CodePage chosen = everyFilePage;
  if (perFilePages != nullptr && !perFilePages->empty()) {
    if (const auto it = perFilePages->find(folder + fileName); it != perFilePages->end()) chosen = it->second;
  }
  if (chosen == codepage::kNone) return chosen;
  // As in editors, a byte-order mark says more than a choice made for many files.
  const ByteOrderMark mark = FindByteOrderMark(start);
  return mark.codePage != codepage::kNone ? mark.codePage : chosen;
}

void FileWindow::ReleaseOversizedText() {
  // One huge file must not hold its text's memory for the rest of the run.
  if (text.capacity() > kKeptTextUnits) std::u16string().swap(text);
  if (heldBytes.capacity() > kKeptTextUnits) std::string().swap(heldBytes);
  if (decoded.capacity() > kKeptTextUnits) std::u16string().swap(decoded);
  raw.Clear(kKeptTextUnits);
}

FileWindow::Loaded FileWindow::Load(SearchPattern& pattern, const AbortFlag& abortRequested,
                                    const std::u16string& path, FileIdentity* identity, bool mayUsePieces,
                                    DetectedPageCache* cache, bool identityForHits) {
  using Kind = FileSearchOutcome::Kind;
  StartFile(path);
  // Most files of a big tree are ASCII, which is read as UTF-8: the search
  // text is looked for as their bytes arrive, and where the non-ASCII bytes
  // start is noted for the detector, the prefilter and the choice of scan.
  const ByteFinder* asciiNeedle = pattern.XPathApplies(fileName) ? nullptr : pattern.Prefilter().FinderForAsciiBytes(codepage::kUtf8);
  // An ASCII file without the search text is known as such once read: past
  // its head, its bytes need not be kept.
  const OnBytesRead onRead = [this, asciiNeedle](std::string_view soFar, size_t newFrom) {
    if (newFrom == 0) arrival.Start(asciiNeedle);
    arrival.Arrived(soFar, newFrom);
    return arrival.MayDropPastBytes(kKeptTailBytes) ? PastBytes::MayDrop : PastBytes::Keep;
  };
  // A hit keeps what its file was, for a replace to see that it is unchanged.
  // A file of plain ASCII read as UTF-8 and found to lack the needle holds
  // none; a seven-bit page's escapes or shifts are not plain.
  std::optional<bool> plainHead;  // as judged on the bytes read, when asked
  const WantsIdentity mayHoldHits = [&] {
    if (!arrival.NeedleSettled() || arrival.NeedleFound()) return true;
    plainHead = IsPlainAsciiSample(bytes.Bytes().substr(0, kDetectionSampleBytes));
    return !*plainHead || ChosenCodePage(bytes.Bytes()) != codepage::kNone;
  };
  arrival.Start(asciiNeedle);
  const std::string nativeName = ToNativePath(fileName);
  const bool mayCut = mayUsePieces && !pattern.XPathApplies(fileName);
  Outcome<FileRead> read = ReadWholeFileIn(folderCursor, nativeFolder, nativeName, bytes, identity, &onRead,
                                           mayCut ? &pieces : nullptr, wholeUpTo,
                                           identityForHits ? &mayHoldHits : nullptr);
  if (read && read.Value().handedOver) {
    if (pattern.FitsPieces()) {
      Loaded started = StartPieces(abortRequested);
      started.identityTaken = read.Value().identityTaken;
      if (started.kind != Kind::Searched || CutsAfterLineFeeds(started.detected)) return started;
    }
    // A match could hold a line feed, or the page cannot be cut: the file is read whole after all.
    pieces.Close();
    arrival.Start(asciiNeedle);
    read = ReadWholeFileIn(folderCursor, nativeFolder, nativeName, bytes, identity, &onRead);
  }
  if (IsAborted(abortRequested)) return {Kind::Aborted};
  if (!read) return {Kind::Unreadable, read.Failure().error};
  const bool identityTaken = read.Value().identityTaken;
  // Only the head of a file that was let go is there: it holds no byte from
  // 0x80 up, and the binary check and the detector look no further than the
  // head then.
  firstHighByte = arrival.FirstHighByte(bytes.Bytes().size());
  // Judged already when no identity was taken: the bytes were not read again since.
  const bool plainAscii = firstHighByte == bytes.Bytes().size() &&
                          (plainHead && !identityTaken
                               ? *plainHead
                               : IsPlainAsciiSample(bytes.Bytes().substr(0, kDetectionSampleBytes)));
  if (!plainAscii && IsBinaryContent(bytes.Bytes())) return {Kind::Binary};
  const CodePage detected = PageOf(bytes.Bytes(), plainAscii, cache, identityTaken ? identity : nullptr);
  if (!bytes.IsWhole() && detected != codepage::kUtf8) {
    // Escape sequences or HZ's shifts in the head: a seven-bit page whose
    // bytes the prefilter must see whole.
    read = ReadWholeFileIn(folderCursor, nativeFolder, nativeName, bytes, identity);
    if (!read) return {Kind::Unreadable, read.Failure().error};
    firstHighByte = FindFirstHighByte(bytes.Bytes());
  }
  if (IsAborted(abortRequested)) return {Kind::Aborted};
  return {Kind::Searched, 0, detected, read.Value().identityTaken};
}

FileWindow::Loaded FileWindow::StartPieces(const AbortFlag& abortRequested) {
  using Kind = FileSearchOutcome::Kind;
  raw.Clear(kRecountBytes + pieceBytes + kDetectionSampleBytes);
  pagePending = false;
  // The head stays in raw as the start of the first piece.
  if (pieces.ReadMore(raw, kDetectionSampleBytes) < 0) return {Kind::Unreadable, errno};
  head.assign(raw.View());
  if (const CodePage chosen = ChosenCodePage(head); chosen != codepage::kNone) {
    if (IsBinaryContent(head)) return {Kind::Binary};
    return {Kind::Searched, 0, chosen};
  }
  const bool highInHead = FindFirstHighByte(head) < head.size();
  if (highInHead || head.find('\0') != std::string::npos || head.find(kEscape) != std::string::npos) {
    const bool plainAscii = !highInHead && IsPlainAsciiSample(head);
    if (!plainAscii && IsBinaryContent(head)) return {Kind::Binary};
    return {Kind::Searched, 0, plainAscii ? codepage::kUtf8 : DetectCodePageOfParts(head, {})};
  }
  if (mayGuessPage && IsPlainAsciiSample(head)) {
    pagePending = true;
    return {Kind::Searched, 0, codepage::kUtf8};
  }
  // An English head must not hide the Japanese below it: the detector
  // looks where the first byte from 0x80 up stands, as for a whole file.
  // Bytes that cannot be read again are read whole instead (no page).
  if (!pieces.CanReadAgain()) return {Kind::Searched, 0, codepage::kNone};
  bool anyHigh = false;
  std::string atFirstHigh;
  for (;;) {
    raw.Clear(~size_t{0});
    const long long got = pieces.ReadMore(raw, pieceBytes);
    if (got < 0) return {Kind::Unreadable, errno};
    if (got == 0) break;
    if (IsAborted(abortRequested)) return {Kind::Aborted};
    const size_t high = FindFirstHighByte(raw.View());
    if (high == raw.size()) continue;
    anyHigh = true;
    if (raw.size() < high + kDetectionSampleBytes &&
        pieces.ReadMore(raw, high + kDetectionSampleBytes - raw.size()) < 0)
      return {Kind::Unreadable, errno};
    atFirstHigh.assign(raw.View().substr(high, kDetectionSampleBytes));
    break;
  }
  raw.Clear(~size_t{0});
  if (!pieces.Rewind()) return {Kind::Unreadable, errno};
  const bool plainAscii = !anyHigh && IsPlainAsciiSample(head);
  if (!plainAscii && IsBinaryContent(head)) return {Kind::Binary};
  return {Kind::Searched, 0, plainAscii ? codepage::kUtf8 : DetectCodePageOfParts(head, atFirstHigh)};
}

void FileWindow::AppendHeldAscii(std::string_view ascii) {
  if (heldNarrow) heldBytes.append(ascii);
  else text.append(ascii.begin(), ascii.end());
}

bool FileWindow::LookAheadForHighByte(std::string& sample) {
  sample.clear();
  // raw holds the bytes read but not yet cut, which come first.
  unsigned long long offset = pieces.Position() - raw.size();
  size_t high = FindFirstHighByte(raw.View());
  if (high == raw.size()) {
    offset = pieces.Position();
    const std::unique_ptr<char[]> part(new char[kRecountBytes]);
    for (;;) {
      // As far as the pieces read: the size the file had when opened.
      const size_t wanted = static_cast<size_t>(std::min<unsigned long long>(kRecountBytes, pieces.Size() - offset));
      const long long got = wanted == 0 ? 0 : pieces.ReadAt(offset, part.get(), wanted);
      if (got < 0) return false;
      if (got == 0) return true;  // plain ASCII to its end
      const size_t count = static_cast<size_t>(got);
      high = FindFirstHighByte(std::string_view(part.get(), count));
      if (high < count) break;
      offset += count;
    }
  }
  sample.resize(kDetectionSampleBytes);
  const long long got = pieces.ReadAt(offset + high, sample.data(), sample.size());
  if (got < 0) return false;
  sample.resize(static_cast<size_t>(got));
  return true;
}

void FileWindow::CountHeldLinesTo(size_t position) {
  const size_t from = linesCounted - textBase;
  if (heldNarrow) {
    LineCounter<char> counter(std::string_view(heldBytes).substr(from));
    linesBefore += counter.LineOf(position - linesCounted) - 1;
  } else {
    LineCounter<char16_t> counter(std::u16string_view(text).substr(from));
    linesBefore += counter.LineOf(position - linesCounted) - 1;
  }
  linesCounted = position;
}

void FileWindow::CountSkippedLines() {
  if (uncounted.empty() || recountError != 0) return;
  const std::unique_ptr<char[]> part(new char[kRecountBytes + 1]);
  for (const Uncounted& skipped : uncounted) {
    // Each part is read with the byte after it, which tells whether its last break ends a run.
    for (size_t done = 0; done < skipped.count;) {
      const size_t count = std::min(kRecountBytes, skipped.count - done);
      const long long got = pieces.ReadAt(skipped.offset + done, part.get(), count + 1);
      if (got < static_cast<long long>(count + 1)) {
        // Shrunk since: its lines cannot be told.
        recountError = got < 0 ? errno : EIO;
        return;
      }
      linesBefore += LineCounter<char>(std::string_view(part.get(), count + 1)).LineOf(count) - 1;
      done += count;
    }
  }
  uncounted.clear();
}

std::int64_t FileWindow::PieceLineOf(size_t position) {
  CountSkippedLines();
  CountHeldLinesTo(position);
  return linesBefore + 1;
}

void FileWindow::StartMember(const std::u16string& displayPath, size_t nameAt) {
  StartFile(displayPath);
  if (nameAt < displayPath.size() && nameAt != folder.size()) {
    folder.assign(displayPath, 0, nameAt);
    fileName.assign(displayPath, nameAt);
    nativeFolder.clear();  // no folder of the disk's: the next file converts its own
  }
}

std::int64_t FileWindow::LineOf(size_t position) {
  if (inPieces) return PieceLineOf(position);
  if (!asciiLines && !textLines) {
    if (asciiText.data() != nullptr)
      asciiLines.emplace(asciiText);
    else
      textLines.emplace(text);
  }
  return asciiLines ? asciiLines->LineOf(position) : textLines->LineOf(position);
}

void FileWindow::AppendSubstring(std::u16string& to, size_t start, size_t length) const {
  if (inPieces && heldNarrow) {
    const std::string_view part = std::string_view(heldBytes).substr(start - textBase, length);
    to.append(part.begin(), part.end());
  } else if (asciiText.data() == nullptr) {
    to.append(std::u16string_view(text).substr(start - textBase, length));
  } else {
    const std::string_view part = asciiText.substr(start, length);
    to.append(part.begin(), part.end());
  }
}

void FileWindow::StartHolding(bool narrow, size_t room) {
  inPieces = true;
  text.clear();
  heldBytes.clear();
  textBase = textEnd = linesCounted = 0;
  linesBefore = 0;
  uncounted.clear();
  recountError = 0;
  heldNarrow = narrow;
  if (heldNarrow) heldBytes.reserve(room);
  else text.reserve(room);
}

void FileWindow::HoldPiece(std::string_view piece, bool ascii, bool atStart, CodePage page, size_t room) {
  if (heldNarrow && ascii) {
    heldBytes.append(piece);
    return;
  }
  if (heldNarrow) {
    // The first piece that is not ASCII: what is held is widened once.
    text.reserve(room);
    text.assign(heldBytes.begin(), heldBytes.end());
    heldBytes.clear();
    heldNarrow = false;
  }
  // Only the file's start may hold a byte-order mark.
  size_t stoodIn = 0;
  if (atStart) DecodeDetectedBytes(piece, page, decoded, hadBom, &stoodIn);
  else DecodeToUtf16(piece, page, decoded, &stoodIn);
  undecodable = undecodable || stoodIn > 0;
  text += decoded;
}

size_t FileWindow::HoldHeadOf(std::string_view piece, size_t rightRoom) {
  const size_t start = textBase + HeldSize();
  AppendHeldAscii(piece.substr(0, rightRoom + 1));
  textEnd = textBase + HeldSize();
  return start;
}

size_t FileWindow::HoldTailOf(std::string_view piece, size_t start, size_t tail) {
  if (linesCounted < start) CountHeldLinesTo(start);
  const size_t tailFrom = piece.size() - tail;
  // Bytes that cannot be read again are counted now, with the byte after them.
  if (pieces.CanReadAgain()) uncounted.push_back({pieces.Position() - raw.size(), tailFrom});
  else linesBefore += LineCounter<char>(piece.substr(0, tailFrom + 1)).LineOf(tailFrom) - 1;
  linesCounted = start + tailFrom;
  const std::string_view tailBytes = piece.substr(tailFrom);
  if (heldNarrow) heldBytes.assign(tailBytes);
  else text.assign(tailBytes.begin(), tailBytes.end());
  textBase = start + tailFrom;
  return textEnd = start + piece.size();
}

void FileWindow::LetGoBehind(size_t searchedTo, size_t width) {
  // Its line breaks are counted first. The last unit stays, since whether a
  // break ends its run depends on the unit after it.
  const size_t keepFrom = std::min(searchedTo - std::min(searchedTo, width), textEnd - std::min<size_t>(textEnd, 1));
  if (keepFrom > textBase && keepFrom - textBase > HeldSize() / 2) {
    if (linesCounted < keepFrom) CountHeldLinesTo(keepFrom);
    if (heldNarrow) heldBytes.erase(0, keepFrom - textBase);
    else text.erase(0, keepFrom - textBase);
    textBase = keepFrom;
  }
}

}  // namespace trawlscope
