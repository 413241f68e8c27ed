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
#include "search/file/LinePieces.h"
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
  if (folderPart != folder_ || nativeFolder_.empty()) {
    folder_.assign(folderPart);
    nativeFolder_ = ToNativePath(folder_);
  }
  // The text keeps the last file's units until the next decoding writes over
  // them: emptying it would make that decoding zero-fill it all again.
  fileName_.assign(name);
  memberBytes_ = {};
  inPieces_ = false;
  heldNarrow_ = false;
  textBase_ = 0;
  asciiLines_.reset();
  textLines_.reset();
  codePage_ = codepage::kNone;
  hadBom_ = false;
  undecodable_ = false;
  pagePending_ = false;
}

CodePage FileWindow::PageOf(std::string_view sample, bool plainAscii, DetectedPageCache* cache,
                            const FileIdentity* identity) const {
  if (const CodePage chosen = ChosenCodePage(sample); chosen != codepage::kNone) return chosen;
  if (plainAscii) return codepage::kUtf8;
  // A byte-order mark settles the page at once: not worth an entry.
  if (cache == nullptr || identity == nullptr || FindByteOrderMark(sample).codePage != codepage::kNone)
    return DetectCodePage(sample, firstHighByte_);
  const PageCacheKey key = PageCacheKeyOf(*identity);
  if (const CodePage known = cache->Find(key); known != codepage::kNone) return known;
  const CodePage detected = DetectCodePage(sample, firstHighByte_);
  cache->Remember(key, detected);
  return detected;
}

CodePage FileWindow::ChosenCodePage(std::string_view start) const {
  CodePage chosen = everyFilePage_;
  if (perFilePages_ != nullptr && !perFilePages_->empty()) {
    if (const auto it = perFilePages_->find(folder_ + fileName_); it != perFilePages_->end()) chosen = it->second;
  }
  if (chosen == codepage::kNone) return chosen;
  // As in editors, a byte-order mark says more than a choice made for many files.
  const ByteOrderMark mark = FindByteOrderMark(start);
  return mark.codePage != codepage::kNone ? mark.codePage : chosen;
}

void FileWindow::ReleaseOversizedText() {
  // One huge file must not hold its text's memory for the rest of the run.
  if (text_.capacity() > kKeptTextUnits) std::u16string().swap(text_);
  if (heldBytes_.capacity() > kKeptTextUnits) std::string().swap(heldBytes_);
  if (decoded_.capacity() > kKeptTextUnits) std::u16string().swap(decoded_);
  raw_.Clear(kKeptTextUnits);
}

void FileWindow::ReleaseMemory() {
  pieces_.Close();
  asciiText_ = {};
  std::u16string().swap(text_);
  bytes_.Clear(true);
}

void FileWindow::StartMemberBytes(std::string_view bytes) {
  memberBytes_ = bytes;
  firstHighByte_ = FindFirstHighByte(bytes);
}

void FileWindow::DecodeBytes(CodePage page) {
  size_t stoodIn = 0;
  DecodeDetectedBytes(Bytes(), page, text_, hadBom_, &stoodIn);
  undecodable_ = undecodable_ || stoodIn > 0;
}

long long FileWindow::NextPiece(CodePage page, bool& atEnd) {
  return NextLinePiece(pieces_, raw_, pieceBytes_, page, atEnd);
}

bool FileWindow::RewindPieces() {
  if (!pieces_.Rewind()) return false;
  raw_.Clear(~size_t{0});
  return true;
}

FileWindow::Loaded FileWindow::Load(SearchPattern& pattern, const AbortFlag& abortRequested,
                                    const std::u16string& path, FileIdentity* identity, bool mayUsePieces,
                                    DetectedPageCache* cache, bool identityForHits) {
  using Kind = FileSearchOutcome::Kind;
  StartFile(path);
  // Most files of a big tree are ASCII, which is read as UTF-8: the search
  // text is looked for as their bytes arrive, and where the non-ASCII bytes
  // start is noted for the detector, the prefilter and the choice of scan.
  const ByteFinder* asciiNeedle = pattern.XPathApplies(fileName_) ? nullptr : pattern.Prefilter().FinderForAsciiBytes(codepage::kUtf8);
  // An ASCII file without the search text is known as such once read: past
  // its head, its bytes need not be kept.
  const OnBytesRead onRead = [this, asciiNeedle](std::string_view soFar, size_t newFrom) {
    if (newFrom == 0) arrival_.Start(asciiNeedle);
    arrival_.Arrived(soFar, newFrom);
    return arrival_.MayDropPastBytes(kKeptTailBytes) ? PastBytes::MayDrop : PastBytes::Keep;
  };
  // A hit keeps what its file was, for a replace to see that it is unchanged.
  // A file of plain ASCII read as UTF-8 and found to lack the needle holds
  // none; a seven-bit page's escapes or shifts are not plain.
  std::optional<bool> plainHead;  // as judged on the bytes read, when asked
  const WantsIdentity mayHoldHits = [&] {
    if (!arrival_.NeedleSettled() || arrival_.NeedleFound()) return true;
    plainHead = IsPlainAsciiSample(bytes_.Bytes().substr(0, kDetectionSampleBytes));
    return !*plainHead || ChosenCodePage(bytes_.Bytes()) != codepage::kNone;
  };
  arrival_.Start(asciiNeedle);
  const std::string nativeName = ToNativePath(fileName_);
  const bool mayCut = mayUsePieces && !pattern.XPathApplies(fileName_);
  Outcome<FileRead> read = ReadWholeFileIn(folderCursor_, nativeFolder_, nativeName, bytes_, identity, &onRead,
                                           mayCut ? &pieces_ : nullptr, wholeUpTo_,
                                           identityForHits ? &mayHoldHits : nullptr);
  if (read && read.Value().handedOver) {
    if (pattern.FitsPieces()) {
      Loaded started = StartPieces(abortRequested);
      started.identityTaken = read.Value().identityTaken;
      if (started.kind != Kind::Searched || CutsAfterLineFeeds(started.detected)) return started;
    }
    // A match could hold a line feed, or the page cannot be cut: the file is read whole after all.
    pieces_.Close();
    arrival_.Start(asciiNeedle);
    read = ReadWholeFileIn(folderCursor_, nativeFolder_, nativeName, bytes_, identity, &onRead);
  }
  if (IsAborted(abortRequested)) return {Kind::Aborted};
  if (!read) return {Kind::Unreadable, read.Failure().error};
  const bool identityTaken = read.Value().identityTaken;
  // Only the head of a file that was let go is there: it holds no byte from
  // 0x80 up, and the binary check and the detector look no further than the
  // head then.
  firstHighByte_ = arrival_.FirstHighByte(bytes_.Bytes().size());
  // Judged already when no identity was taken: the bytes were not read again since.
  const bool plainAscii = firstHighByte_ == bytes_.Bytes().size() &&
                          (plainHead && !identityTaken
                               ? *plainHead
                               : IsPlainAsciiSample(bytes_.Bytes().substr(0, kDetectionSampleBytes)));
  if (!plainAscii && IsBinaryContent(bytes_.Bytes())) return {Kind::Binary};
  const CodePage detected = PageOf(bytes_.Bytes(), plainAscii, cache, identityTaken ? identity : nullptr);
  if (!bytes_.IsWhole() && detected != codepage::kUtf8) {
    // Escape sequences or HZ's shifts in the head: a seven-bit page whose
    // bytes the prefilter must see whole.
    read = ReadWholeFileIn(folderCursor_, nativeFolder_, nativeName, bytes_, identity);
    if (!read) return {Kind::Unreadable, read.Failure().error};
    firstHighByte_ = FindFirstHighByte(bytes_.Bytes());
  }
  if (IsAborted(abortRequested)) return {Kind::Aborted};
  return {Kind::Searched, 0, detected, read.Value().identityTaken};
}

FileWindow::Loaded FileWindow::StartPieces(const AbortFlag& abortRequested) {
  using Kind = FileSearchOutcome::Kind;
  raw_.Clear(kRecountBytes + pieceBytes_ + kDetectionSampleBytes);
  pagePending_ = false;
  // The head stays in raw as the start of the first piece.
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

void FileWindow::AppendHeldAscii(std::string_view ascii) {
  if (heldNarrow_) heldBytes_.append(ascii);
  else text_.append(ascii.begin(), ascii.end());
}

bool FileWindow::LookAheadForHighByte(std::string& sample) {
  sample.clear();
  // raw holds the bytes read but not yet cut, which come first.
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

void FileWindow::CountHeldLinesTo(size_t position) {
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

void FileWindow::CountSkippedLines() {
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

std::int64_t FileWindow::PieceLineOf(size_t position) {
  CountSkippedLines();
  CountHeldLinesTo(position);
  return linesBefore_ + 1;
}

void FileWindow::StartMember(const std::u16string& displayPath, size_t nameAt) {
  StartFile(displayPath);
  // Nothing was looked for as a member's bytes arrived: the prefilter decides.
  arrival_.Start(nullptr);
  if (nameAt < displayPath.size() && nameAt != folder_.size()) {
    folder_.assign(displayPath, 0, nameAt);
    fileName_.assign(displayPath, nameAt);
    nativeFolder_.clear();  // no folder of the disk's: the next file converts its own
  }
}

std::int64_t FileWindow::LineOf(size_t position) {
  if (inPieces_) return PieceLineOf(position);
  if (!asciiLines_ && !textLines_) {
    if (asciiText_.data() != nullptr)
      asciiLines_.emplace(asciiText_);
    else
      textLines_.emplace(text_);
  }
  return asciiLines_ ? asciiLines_->LineOf(position) : textLines_->LineOf(position);
}

void FileWindow::AppendSubstring(std::u16string& to, size_t start, size_t length) const {
  if (inPieces_ && heldNarrow_) {
    const std::string_view part = std::string_view(heldBytes_).substr(start - textBase_, length);
    to.append(part.begin(), part.end());
  } else if (asciiText_.data() == nullptr) {
    to.append(std::u16string_view(text_).substr(start - textBase_, length));
  } else {
    const std::string_view part = asciiText_.substr(start, length);
    to.append(part.begin(), part.end());
  }
}

void FileWindow::StartHolding(bool narrow, size_t room) {
  inPieces_ = true;
  text_.clear();
  heldBytes_.clear();
  textBase_ = textEnd_ = linesCounted_ = 0;
  linesBefore_ = 0;
  uncounted_.clear();
  recountError_ = 0;
  heldNarrow_ = narrow;
  if (heldNarrow_) heldBytes_.reserve(room);
  else text_.reserve(room);
}

void FileWindow::HoldPiece(std::string_view piece, bool ascii, bool atStart, CodePage page, size_t room) {
  if (heldNarrow_ && ascii) {
    heldBytes_.append(piece);
    return;
  }
  if (heldNarrow_) {
    // The first piece that is not ASCII: what is held is widened once.
    text_.reserve(room);
    text_.assign(heldBytes_.begin(), heldBytes_.end());
    heldBytes_.clear();
    heldNarrow_ = false;
  }
  // Only the file's start may hold a byte-order mark.
  size_t stoodIn = 0;
  if (atStart) DecodeDetectedBytes(piece, page, decoded_, hadBom_, &stoodIn);
  else DecodeToUtf16(piece, page, decoded_, &stoodIn);
  undecodable_ = undecodable_ || stoodIn > 0;
  text_ += decoded_;
}

size_t FileWindow::HoldHeadOf(std::string_view piece, size_t rightRoom) {
  const size_t start = textBase_ + HeldSize();
  AppendHeldAscii(piece.substr(0, rightRoom + 1));
  textEnd_ = textBase_ + HeldSize();
  return start;
}

size_t FileWindow::HoldTailOf(std::string_view piece, size_t start, size_t tail) {
  if (linesCounted_ < start) CountHeldLinesTo(start);
  const size_t tailFrom = piece.size() - tail;
  // Bytes that cannot be read again are counted now, with the byte after them.
  if (pieces_.CanReadAgain()) uncounted_.push_back({pieces_.Position() - raw_.size(), tailFrom});
  else linesBefore_ += LineCounter<char>(piece.substr(0, tailFrom + 1)).LineOf(tailFrom) - 1;
  linesCounted_ = start + tailFrom;
  const std::string_view tailBytes = piece.substr(tailFrom);
  if (heldNarrow_) heldBytes_.assign(tailBytes);
  else text_.assign(tailBytes.begin(), tailBytes.end());
  textBase_ = start + tailFrom;
  return textEnd_ = start + piece.size();
}

void FileWindow::LetGoBehind(size_t searchedTo, size_t width) {
  // Its line breaks are counted first. The last unit stays, since whether a
  // break ends its run depends on the unit after it.
  const size_t keepFrom = std::min(searchedTo - std::min(searchedTo, width), textEnd_ - std::min<size_t>(textEnd_, 1));
  if (keepFrom > textBase_ && keepFrom - textBase_ > HeldSize() / 2) {
    if (linesCounted_ < keepFrom) CountHeldLinesTo(keepFrom);
    if (heldNarrow_) heldBytes_.erase(0, keepFrom - textBase_);
    else text_.erase(0, keepFrom - textBase_);
    textBase_ = keepFrom;
  }
}

}  // namespace trawlscope
