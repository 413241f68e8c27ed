#include "search/file/FileSearcher.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include "platform/codepage/binary/BinaryContent.h"
#include "platform/codepage/ByteScan.h"
#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/detection/CodePageDetector.h"
#include "platform/codepage/conversion/LineFeedCuts.h"
#include "platform/codepage/PlainAscii.h"
#include "search/hits/HitContext.h"
#include "search/text/TextDecoding.h"
#include "search/xml/XmlFiles.h"

namespace trawlscope {

FileSearchOutcome FileSearcher::SearchFile(const AbortFlag& abortRequested,
                                            const std::u16string& path, HitList& hits,
                                            int contextLength) {
  // The hits of a file whose page was guessed wrong can be dropped only when they are all its.
  window_.mayGuessPage = hits.size() == 0;
  StartHits();
  FileWindow::Loaded loaded = window_.Load(pattern_, abortRequested, path, &searched_, true, pageCache_, true);
  searchedKnown_ = loaded.identityTaken;
  if (loaded.kind != FileSearchOutcome::Kind::Searched) {
    window_.pieces.Close();
    window_.bytes.Clear();
    return {loaded.kind, loaded.error};
  }
  try {
    window_.codePage = loaded.detected;
    wholeAfterAll_ = false;
    FileSearchOutcome outcome = window_.pieces.IsOpen()
                                    ? SearchInPieces(abortRequested, loaded.detected, hits, contextLength)
                                    : SearchLoaded(abortRequested, loaded.detected, hits, contextLength);
    window_.pieces.Close();
    if (wholeAfterAll_) {
      // The first byte from 0x80 up showed a page that cannot be cut.
      StartHits();
      loaded = window_.Load(pattern_, abortRequested, path, &searched_, false, pageCache_);
      searchedKnown_ = loaded.identityTaken;
      if (loaded.kind != FileSearchOutcome::Kind::Searched) {
        window_.bytes.Clear();
        return {loaded.kind, loaded.error};
      }
      window_.codePage = loaded.detected;
      outcome = SearchLoaded(abortRequested, loaded.detected, hits, contextLength);
    }
    FinishFileHits();
    window_.bytes.Clear();
    window_.ReleaseOversizedText();
    return outcome;
  } catch (const std::bad_alloc&) {
    window_.pieces.Close();
    FinishFileHits();
    // A text too large for the memory left: this file is reported, the run goes on.
    window_.asciiText = {};
    std::u16string().swap(window_.text);
    window_.bytes.Clear(true);
    return {FileSearchOutcome::Kind::Unreadable, ENOMEM};
  }
}

FileSearchOutcome FileSearcher::SearchLoaded(const AbortFlag& abortRequested, CodePage detected,
                                              HitList& hits, int contextLength) {
  // A file whose bytes cannot hold the search text is not decoded: it gives
  // no hits either way.
  const std::string_view bytes = window_.memberBytes.data() != nullptr ? window_.memberBytes : window_.bytes.Bytes();
  const auto onMatch = [&](size_t position, size_t length) {
    MakeHit(hits, position, length, contextLength);
  };
  if (LoadXmlText(bytes)) return Finish(pattern_.matcher->Scan(window_.text, pattern_.mode, abortRequested, onMatch), abortRequested);
  const bool mayContain = window_.arrival.NeedleSettled() && detected == codepage::kUtf8
                              ? window_.arrival.NeedleFound()
                              : pattern_.Prefilter().MayContain(bytes, detected, window_.firstHighByte);
  if (!mayContain) return {};

  if (pattern_.mode == MatchMode::RegularExpression && pattern_.matcher->CanScanAsciiBytes() &&
      IsAsciiTransparent(detected) && window_.firstHighByte == bytes.size()) {
    // Most files of a source tree are pure ASCII: the expression runs on
    // their bytes, and hits take their contexts from them, so the text is
    // never widened.
    window_.asciiText = bytes;
    const Matcher::ScanEnd end = pattern_.matcher->ScanAsciiBytes(bytes, abortRequested, onMatch);
    window_.asciiText = {};
    return Finish(end, abortRequested);
  }
  size_t undecodable = 0;
  DecodeDetectedBytes(bytes, detected, window_.text, window_.hadBom, &undecodable);
  window_.undecodable = window_.undecodable || undecodable > 0;
  return Finish(pattern_.matcher->Scan(window_.text, pattern_.mode, abortRequested, onMatch), abortRequested);
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
  if (!pattern_.XPathApplies(window_.fileName) || pattern_.xpathFault) return false;
  std::u16string xmlText;
  if (!ExtractXPathText(bytes, pattern_.xpath, xmlText)) return false;
  window_.text = std::move(xmlText);
  return true;
}

void FileSearcher::MakeHit(HitList& hits, size_t position, size_t length, int contextLength) {
  if (hitFile_ == nullptr) {
    hitFile_ = &hits.AddFile(window_.folder, window_.fileName, window_.codePage);
    hitFile_->hadBom = window_.hadBom;
    hitFile_->hasIdentity = searchedKnown_;
    hitFile_->identity = searched_;
    hitFile_->continued = handedOver_;
    stretchTextStart_ = stretchTextEnd_ = stretchBufferStart_ = 0;
  }
  const size_t textSize = window_.TextSize();
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
    window_.AppendSubstring(buffer, stretchTextEnd_, spanEnd - stretchTextEnd_);
    stretchTextEnd_ = spanEnd;
  }
  Hit hit(*hitFile_, stretchBufferStart_ + (spans.leftStart - stretchTextStart_), spans.leftLength, length,
          spans.rightLength);
  hit.position = static_cast<std::int64_t>(position);
  hit.length = static_cast<std::int64_t>(length);
  hit.line = window_.LineOf(position);
  hits.Append(hit);
  // A guessed page may yet drop the file's hits: they stay until it is settled.
  if (outlet_ && hits.size() >= handOverEvery_ && !window_.pagePending) HandOver(hits);
}

void FileSearcher::HandOver(HitList& hits) {
  FinishFileHits();
  handedOver_ = true;
  outlet_(hits);
}

void FileSearcher::FinishFileHits() {
  if (hitFile_ == nullptr) return;
  hitFile_->undecodable = window_.undecodable;
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

std::optional<FileSearchOutcome> FileSearcher::SearchStream(const AbortFlag& abortRequested,
                                                            const std::u16string& displayPath, size_t nameAt,
                                                            std::string_view head, PieceStream& rest,
                                                            const FileIdentity& container, HitList& hits,
                                                            int contextLength, bool& restTouched) {
  using Kind = FileSearchOutcome::Kind;
  restTouched = false;
  // The earlier members' hits go out first: a page guessed from an ASCII head
  // may have to drop this member's, and then they must be all the list holds.
  if (outlet_ && hits.size() > 0) outlet_(hits);
  window_.StartMember(displayPath, nameAt);
  StartHits();
  if (pattern_.XPathApplies(window_.fileName) || !pattern_.FitsPieces() || hits.size() > 0) return std::nullopt;
  window_.mayGuessPage = true;
  searched_ = container;
  searchedKnown_ = true;
  window_.arrival.Start(nullptr);
  window_.pieces.TakeStream(head, rest);
  try {
    const FileWindow::Loaded loaded = window_.StartPieces(abortRequested);
    if (loaded.kind != Kind::Searched || loaded.detected == codepage::kNone || !CutsAfterLineFeeds(loaded.detected)) {
      // Nothing past the head was read yet.
      window_.pieces.Close();
      if (loaded.kind != Kind::Searched) return FileSearchOutcome{loaded.kind, loaded.error};
      return std::nullopt;
    }
    window_.codePage = loaded.detected;
    wholeAfterAll_ = false;
    const FileSearchOutcome outcome = SearchInPieces(abortRequested, loaded.detected, hits, contextLength);
    restTouched = true;
    window_.pieces.Close();
    FinishFileHits();
    window_.ReleaseOversizedText();
    if (wholeAfterAll_) return std::nullopt;
    return outcome;
  } catch (const std::bad_alloc&) {
    restTouched = true;
    window_.pieces.Close();
    FinishFileHits();
    std::u16string().swap(window_.text);
    return FileSearchOutcome{Kind::Unreadable, ENOMEM};
  }
}

FileSearchOutcome FileSearcher::SearchBytes(const AbortFlag& abortRequested, const std::u16string& displayPath,
                                            size_t nameAt, std::string_view bytes, const FileIdentity& container,
                                            HitList& hits, int contextLength) {
  using Kind = FileSearchOutcome::Kind;
  window_.StartMember(displayPath, nameAt);
  StartHits();
  window_.mayGuessPage = false;
  // As ReadAndDetect judges a file read whole: binary content first, then the page.
  window_.firstHighByte = FindFirstHighByte(bytes);
  const bool plainAscii =
      window_.firstHighByte == bytes.size() && IsPlainAsciiSample(bytes.substr(0, kDetectionSampleBytes));
  if (!plainAscii && IsBinaryContent(bytes)) return {Kind::Binary};
  const CodePage detected = window_.PageOf(bytes, plainAscii);
  if (IsAborted(abortRequested)) return {Kind::Aborted};
  searched_ = container;
  searchedKnown_ = true;
  window_.codePage = detected;
  window_.arrival.Start(nullptr);  // nothing was looked for as the bytes arrived: the prefilter decides
  window_.memberBytes = bytes;
  try {
    const FileSearchOutcome outcome = SearchLoaded(abortRequested, detected, hits, contextLength);
    window_.memberBytes = {};
    FinishFileHits();
    window_.ReleaseOversizedText();
    return outcome;
  } catch (const std::bad_alloc&) {
    window_.memberBytes = {};
    FinishFileHits();
    window_.asciiText = {};
    std::u16string().swap(window_.text);
    return {Kind::Unreadable, ENOMEM};
  }
}

}  // namespace trawlscope
