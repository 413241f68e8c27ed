#include "search/FileSearcher.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include "platform/codepage/BinaryContent.h"
#include "platform/codepage/ByteScan.h"
#include "platform/codepage/CodePageConverter.h"
#include "platform/codepage/CodePageDetector.h"
#include "platform/codepage/LineFeedCuts.h"
#include "platform/codepage/PlainAscii.h"
#include "platform/files/NativePath.h"
#include "platform/xml/XmlDocument.h"
#include "search/hits/HitContext.h"
#include "search/listing/PathHelpers.h"
#include "search/text/TextDecoding.h"
#include "search/xml/XmlFiles.h"

namespace trawlscope {
namespace {

// Texts up to this many units keep their memory for the next file.
constexpr size_t kKeptTextUnits = 16u << 20;

// A file whose bytes were let go past its head is still checked for binary
// content and detected on a full sample.
static_assert(kKeptHeadBytes >= kDetectionSampleBytes);

}  // namespace

bool FileSearcher::Prepare(bool useRegex, bool caseSensitive, const std::u16string& pattern,
                            const std::u16string& xpath) {
  mode_ = ModeOf(useRegex, caseSensitive);
  hasPattern_ = !pattern.empty();
  xpath_ = xpath;
  xpathError_ = xpath.empty() ? std::string() : XmlDocument::XPathCompileError(xpath);
  matcher_ = std::make_unique<Matcher>(pattern, caseSensitive);
  prefilter_.reset();
  return mode_ != MatchMode::RegularExpression || matcher_->ExpressionCompiled();
}

void FileSearcher::PrepareLike(const FileSearcher& prepared) {
  mode_ = prepared.mode_;
  hasPattern_ = prepared.hasPattern_;
  xpath_ = prepared.xpath_;
  xpathError_ = prepared.xpathError_;
  matcher_ = std::make_unique<Matcher>(*prepared.matcher_);
  prefilter_.reset();
}

void FileSearcher::StartFile(const std::u16string& path) {
  // Files of one folder come in a row: its name is converted once for them.
  const std::u16string_view name = FileNameViewOf(path);
  const std::u16string_view folder = std::u16string_view(path).substr(0, path.size() - name.size());
  if (folder != folder_ || nativeFolder_.empty()) {
    folder_.assign(folder);
    nativeFolder_ = ToNativePath(folder_);
  }
  // text_ keeps the last file's units until the next decoding writes over
  // them: emptying it would make that decoding zero-fill it all again.
  fileName_.assign(name);
  inPieces_ = false;
  heldNarrow_ = false;
  textBase_ = 0;
  asciiLines_.reset();
  textLines_.reset();
  fileCodePage_ = codepage::kNone;
  fileHadBom_ = false;
  fileUndecodable_ = false;
  hitFile_ = nullptr;
  handedOver_ = false;
  pagePending_ = false;
}

CodePage FileSearcher::PageOf(std::string_view bytes, bool plainAscii, DetectedPageCache* cache,
                              const FileIdentity* identity) const {
  if (const CodePage chosen = ChosenCodePage(bytes); chosen != codepage::kNone) return chosen;
  if (plainAscii) return codepage::kUtf8;
  // A byte-order mark settles the page at once: not worth an entry.
  if (cache == nullptr || identity == nullptr || FindByteOrderMark(bytes).codePage != codepage::kNone)
    return DetectCodePage(bytes, firstHighByte_);
  const PageCacheKey key = PageCacheKeyOf(*identity);
  if (const CodePage known = cache->Find(key); known != codepage::kNone) return known;
  const CodePage detected = DetectCodePage(bytes, firstHighByte_);
  cache->Remember(key, detected);
  return detected;
}

CodePage FileSearcher::ChosenCodePage(std::string_view head) const {
  CodePage chosen = everyFilePage_;
  if (perFilePages_ != nullptr && !perFilePages_->empty()) {
    if (const auto it = perFilePages_->find(folder_ + fileName_); it != perFilePages_->end()) chosen = it->second;
  }
  if (chosen == codepage::kNone) return chosen;
  // As in editors, a byte-order mark says more than a choice made for many files.
  const ByteOrderMark mark = FindByteOrderMark(head);
  return mark.codePage != codepage::kNone ? mark.codePage : chosen;
}



void FileSearcher::ReleaseOversizedText() {
  // One huge file must not hold its text's memory for the rest of the run.
  if (text_.capacity() > kKeptTextUnits) std::u16string().swap(text_);
  if (heldBytes_.capacity() > kKeptTextUnits) std::string().swap(heldBytes_);
  if (decoded_.capacity() > kKeptTextUnits) std::u16string().swap(decoded_);
  raw_.Clear(kKeptTextUnits);
}

FileSearcher::Loaded FileSearcher::ReadAndDetect(const AbortFlag& abortRequested,
                                                   const std::u16string& path,
                                                   FileIdentity* identity, bool mayUsePieces,
                                                   DetectedPageCache* cache, bool identityForHits) {
  using Kind = FileSearchOutcome::Kind;
  StartFile(path);
  // Most files of a big tree are ASCII, which is read as UTF-8: the search
  // text is looked for as their bytes arrive, and where the non-ASCII bytes
  // start is noted for the detector, the prefilter and the choice of scan.
  const ByteFinder* asciiNeedle = IsXmlWithXPath() ? nullptr : Prefilter().FinderForAsciiBytes(codepage::kUtf8);
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
  const bool pieces = mayUsePieces && !IsXmlWithXPath();
  ReadStatus read = ReadWholeFileIn(folderCursor_, nativeFolder_, nativeName, bytes_, identity, &onRead,
                                    pieces ? &pieces_ : nullptr, wholeUpTo_,
                                    identityForHits ? &mayHoldHits : nullptr);
  if (read.handedOver) {
    if (PatternFitsPieces()) {
      Loaded inPieces = StartPieces(abortRequested);
      inPieces.identityTaken = read.identityTaken;
      if (inPieces.kind != Kind::Searched || CutsAfterLineFeeds(inPieces.detected)) return inPieces;
    }
    // A match could hold a line feed, or the page cannot be cut: the file is read whole after all.
    pieces_.Close();
    arrival_.Start(asciiNeedle);
    read = ReadWholeFileIn(folderCursor_, nativeFolder_, nativeName, bytes_, identity, &onRead);
  }
  if (IsAborted(abortRequested)) return {Kind::Aborted};
  if (!read) return {Kind::Unreadable, read.error};
  // Only the head of a file that was let go is there: it holds no byte from
  // 0x80 up, and the binary check and the detector look no further than the
  // head then.
  firstHighByte_ = arrival_.FirstHighByte(bytes_.Bytes().size());
  // Judged already when no identity was taken: the bytes were not read again since.
  const bool plainAscii = firstHighByte_ == bytes_.Bytes().size() &&
                          (plainHead && !read.identityTaken
                               ? *plainHead
                               : IsPlainAsciiSample(bytes_.Bytes().substr(0, kDetectionSampleBytes)));
  if (!plainAscii && IsBinaryContent(bytes_.Bytes())) return {Kind::Binary};
  const CodePage detected = PageOf(bytes_.Bytes(), plainAscii, cache, read.identityTaken ? identity : nullptr);
  if (!bytes_.IsWhole() && detected != codepage::kUtf8) {
    // Escape sequences or HZ's shifts in the head: a seven-bit page whose
    // bytes the prefilter must see whole.
    read = ReadWholeFileIn(folderCursor_, nativeFolder_, nativeName, bytes_, identity);
    if (!read) return {Kind::Unreadable, read.error};
    firstHighByte_ = FindFirstHighByte(bytes_.Bytes());
  }
  if (IsAborted(abortRequested)) return {Kind::Aborted};
  return {Kind::Searched, 0, detected, read.identityTaken};
}

RawPrefilter& FileSearcher::Prefilter() {
  if (!prefilter_) prefilter_ = std::make_unique<RawPrefilter>(*matcher_, mode_);
  return *prefilter_;
}

bool FileSearcher::IsXmlWithXPath() const { return !xpath_.empty() && IsXmlPath(fileName_); }

FileSearchOutcome FileSearcher::SearchFile(const AbortFlag& abortRequested,
                                            const std::u16string& path, HitList& hits,
                                            int contextLength) {
  // The hits of a file whose page was guessed wrong can be dropped only when they are all its.
  mayGuessPage_ = hits.size() == 0;
  Loaded loaded = ReadAndDetect(abortRequested, path, &searched_, true, pageCache_, true);
  searchedKnown_ = loaded.identityTaken;
  if (loaded.kind != FileSearchOutcome::Kind::Searched) {
    pieces_.Close();
    bytes_.Clear();
    return {loaded.kind, loaded.error};
  }
  try {
    fileCodePage_ = loaded.detected;
    wholeAfterAll_ = false;
    FileSearchOutcome outcome = pieces_.IsOpen()
                                    ? SearchInPieces(abortRequested, loaded.detected, hits, contextLength)
                                    : SearchLoaded(abortRequested, loaded.detected, hits, contextLength);
    pieces_.Close();
    if (wholeAfterAll_) {
      // The first byte from 0x80 up showed a page that cannot be cut.
      loaded = ReadAndDetect(abortRequested, path, &searched_, false, pageCache_);
      searchedKnown_ = loaded.identityTaken;
      if (loaded.kind != FileSearchOutcome::Kind::Searched) {
        bytes_.Clear();
        return {loaded.kind, loaded.error};
      }
      fileCodePage_ = loaded.detected;
      outcome = SearchLoaded(abortRequested, loaded.detected, hits, contextLength);
    }
    FinishFileHits();
    bytes_.Clear();
    ReleaseOversizedText();
    return outcome;
  } catch (const std::bad_alloc&) {
    pieces_.Close();
    FinishFileHits();
    // A text too large for the memory left: this file is reported, the run goes on.
    asciiText_ = {};
    std::u16string().swap(text_);
    bytes_.Clear(true);
    return {FileSearchOutcome::Kind::Unreadable, ENOMEM};
  }
}

FileSearchOutcome FileSearcher::SearchLoaded(const AbortFlag& abortRequested, CodePage detected,
                                              HitList& hits, int contextLength) {
  // A file whose bytes cannot hold the search text is not decoded: it gives
  // no hits either way.
  const std::string_view bytes = memberBytes_.data() != nullptr ? memberBytes_ : bytes_.Bytes();
  const auto onMatch = [&](size_t position, size_t length) {
    MakeHit(hits, position, length, contextLength);
  };
  if (LoadXmlText(bytes)) return Finish(matcher_->Scan(text_, mode_, abortRequested, onMatch), abortRequested);
  const bool mayContain = arrival_.NeedleSettled() && detected == codepage::kUtf8
                              ? arrival_.NeedleFound()
                              : Prefilter().MayContain(bytes, detected, firstHighByte_);
  if (!mayContain) return {};

  if (mode_ == MatchMode::RegularExpression && matcher_->CanScanAsciiBytes() &&
      IsAsciiTransparent(detected) && firstHighByte_ == bytes.size()) {
    // Most files of a source tree are pure ASCII: the expression runs on
    // their bytes, and hits take their contexts from them, so the text is
    // never widened.
    asciiText_ = bytes;
    const Matcher::ScanEnd end = matcher_->ScanAsciiBytes(bytes, abortRequested, onMatch);
    asciiText_ = {};
    return Finish(end, abortRequested);
  }
  size_t undecodable = 0;
  DecodeDetectedBytes(bytes, detected, text_, fileHadBom_, &undecodable);
  fileUndecodable_ = fileUndecodable_ || undecodable > 0;
  return Finish(matcher_->Scan(text_, mode_, abortRequested, onMatch), abortRequested);
}

FileSearchOutcome FileSearcher::Finish(Matcher::ScanEnd end, const AbortFlag& abortRequested) const {
  using Kind = FileSearchOutcome::Kind;
  switch (end) {
    case Matcher::ScanEnd::Aborted: return {Kind::Aborted};
    case Matcher::ScanEnd::MatchError: return {Kind::MatchError};
    default: return {IsAborted(abortRequested) ? Kind::Aborted : Kind::Searched};
  }
}

bool FileSearcher::LoadXmlText(std::string_view bytes) {
  if (!IsXmlWithXPath() || !xpathError_.empty()) return false;
  std::u16string xmlText;
  if (!ExtractXPathText(bytes, xpath_, xmlText)) return false;
  text_ = std::move(xmlText);
  return true;
}

void FileSearcher::AppendSubstring(std::u16string& to, size_t start, size_t length) const {
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

void FileSearcher::MakeHit(HitList& hits, size_t position, size_t length, int contextLength) {
  if (!asciiLines_ && !textLines_ && !inPieces_) {
    if (asciiText_.data() != nullptr)
      asciiLines_.emplace(asciiText_);
    else
      textLines_.emplace(text_);
  }
  if (hitFile_ == nullptr) {
    hitFile_ = &hits.AddFile(folder_, fileName_, fileCodePage_);
    hitFile_->hadBom = fileHadBom_;
    hitFile_->hasIdentity = searchedKnown_;
    hitFile_->identity = searched_;
    hitFile_->continued = handedOver_;
    stretchTextStart_ = stretchTextEnd_ = stretchBufferStart_ = 0;
  }
  const size_t textSize = inPieces_ ? textEnd_ : asciiText_.data() != nullptr ? asciiText_.size() : text_.size();
  const size_t width = ContextWidth(contextLength);
  const ContextSpans spans = ContextAround(position, length, textSize, width);
  const size_t spanEnd = spans.rightStart + spans.rightLength;

  // Hits come in ascending order, so a context either continues the stretch
  // the buffer ends with or starts a new one after it.
  std::u16string& buffer = hitFile_->wide;
  const bool continues = !buffer.empty() && spans.leftStart >= stretchTextStart_ && spans.leftStart <= stretchTextEnd_;
  if (!continues) {
    stretchTextStart_ = stretchTextEnd_ = spans.leftStart;
    stretchBufferStart_ = buffer.size();
  }
  if (spanEnd > stretchTextEnd_) {
    AppendSubstring(buffer, stretchTextEnd_, spanEnd - stretchTextEnd_);
    stretchTextEnd_ = spanEnd;
  }
  Hit hit(*hitFile_, stretchBufferStart_ + (spans.leftStart - stretchTextStart_), spans.leftLength, length,
          spans.rightLength);
  hit.position = static_cast<std::int64_t>(position);
  hit.length = static_cast<std::int64_t>(length);
  hit.line = inPieces_ ? PieceLineOf(position) : asciiLines_ ? asciiLines_->LineOf(position) : textLines_->LineOf(position);
  hits.Append(hit);
  // A guessed page may yet drop the file's hits: they stay until it is settled.
  if (outlet_ && hits.size() >= handOverEvery_ && !pagePending_) HandOver(hits);
}

void FileSearcher::HandOver(HitList& hits) {
  FinishFileHits();
  handedOver_ = true;
  outlet_(hits);
}

void FileSearcher::FinishFileHits() {
  if (hitFile_ == nullptr) return;
  hitFile_->undecodable = fileUndecodable_;
  std::u16string& wide = hitFile_->wide;
  if (std::all_of(wide.begin(), wide.end(), [](char16_t c) { return c < 0x80; })) {
    hitFile_->narrow.assign(wide.begin(), wide.end());
    std::u16string().swap(wide);
    hitFile_->isNarrow = true;
  } else {
    wide.shrink_to_fit();
  }
  hitFile_ = nullptr;
}

}  // namespace trawlscope
