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
  window_.MayGuessPage(hits.size() == 0);
  StartHits();
  FileWindow::Loaded loaded = window_.Load(pattern_, abortRequested, path, &searched_, true, pageCache_, true);
  searchedKnown_ = loaded.identityTaken;
  if (loaded.kind != FileSearchOutcome::Kind::Searched) {
    window_.Pieces().Close();
    window_.LetGoOfBytes();
    return {loaded.kind, loaded.error};
  }
  try {
    window_.UsePage(loaded.detected);
    wholeAfterAll_ = false;
    FileSearchOutcome outcome = window_.Pieces().IsOpen()
                                    ? SearchInPieces(abortRequested, loaded.detected, hits, contextLength)
                                    : SearchLoaded(abortRequested, loaded.detected, hits, contextLength);
    window_.Pieces().Close();
    if (wholeAfterAll_) {
      // The first byte from 0x80 up showed a page that cannot be cut.
      StartHits();
      loaded = window_.Load(pattern_, abortRequested, path, &searched_, false, pageCache_);
      searchedKnown_ = loaded.identityTaken;
      if (loaded.kind != FileSearchOutcome::Kind::Searched) {
        window_.LetGoOfBytes();
        return {loaded.kind, loaded.error};
      }
      window_.UsePage(loaded.detected);
      outcome = SearchLoaded(abortRequested, loaded.detected, hits, contextLength);
    }
    FinishFileHits();
    window_.LetGoOfBytes();
    window_.ReleaseOversizedText();
    return outcome;
  } catch (const std::bad_alloc&) {
    FinishFileHits();
    // A text too large for the memory left: this file is reported, the run goes on.
    window_.ReleaseMemory();
    return {FileSearchOutcome::Kind::Unreadable, ENOMEM};
  }
}

FileSearchOutcome FileSearcher::SearchLoaded(const AbortFlag& abortRequested, CodePage detected,
                                              HitList& hits, int contextLength) {
  // A file whose bytes cannot hold the search text is not decoded: it gives
  // no hits either way.
  const std::string_view bytes = window_.Bytes();
  const auto onMatch = [&](size_t position, size_t length) {
    MakeHit(hits, position, length, contextLength);
  };
  if (LoadXmlText(bytes))
    return Finish(pattern_.matcher->Scan(window_.Text(), pattern_.mode, abortRequested, onMatch), abortRequested);
  const bool mayContain = window_.Arrival().NeedleSettled() && detected == codepage::kUtf8
                              ? window_.Arrival().NeedleFound()
                              : pattern_.Prefilter().MayContain(bytes, detected, window_.FirstHighByte());
  if (!mayContain) return {};

  if (pattern_.mode == MatchMode::RegularExpression && pattern_.matcher->CanScanAsciiBytes() &&
      IsAsciiTransparent(detected) && window_.FirstHighByte() == bytes.size()) {
    // Most files of a source tree are pure ASCII: the expression runs on
    // their bytes, and hits take their contexts from them, so the text is
    // never widened.
    window_.ScanAsciiBytes(bytes);
    const Matcher::ScanEnd end = pattern_.matcher->ScanAsciiBytes(bytes, abortRequested, onMatch);
    window_.ScanAsciiBytes({});
    return Finish(end, abortRequested);
  }
  window_.DecodeBytes(detected);
  return Finish(pattern_.matcher->Scan(window_.Text(), pattern_.mode, abortRequested, onMatch), abortRequested);
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
  if (!pattern_.XPathApplies(window_.FileName()) || pattern_.xpathFault) return false;
  std::u16string xmlText;
  if (!ExtractXPathText(bytes, pattern_.xpath, xmlText)) return false;
  window_.Text() = std::move(xmlText);
  return true;
}

void FileSearcher::MakeHit(HitList& hits, size_t position, size_t length, int contextLength) {
  if (hitFile_ == nullptr) {
    hitFile_ = &hits.AddFile(window_.Folder(), window_.FileName(), window_.Page());
    hitFile_->hadBom = window_.HadBom();
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
  if (outlet_ && hits.size() >= handOverEvery_ && !window_.PagePending()) HandOver(hits);
}

void FileSearcher::HandOver(HitList& hits) {
  FinishFileHits();
  handedOver_ = true;
  outlet_(hits);
}

void FileSearcher::FinishFileHits() {
  if (hitFile_ == nullptr) return;
  hitFile_->undecodable = window_.Undecodable();
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
  if (pattern_.XPathApplies(window_.FileName()) || !pattern_.FitsPieces() || hits.size() > 0) return std::nullopt;
  window_.MayGuessPage(true);
  searched_ = container;
  searchedKnown_ = true;
  window_.Pieces().TakeStream(head, rest);
  try {
    const FileWindow::Loaded loaded = window_.StartPieces(abortRequested);
    if (loaded.kind != Kind::Searched || loaded.detected == codepage::kNone || !CutsAfterLineFeeds(loaded.detected)) {
      // Nothing past the head was read yet.
      window_.Pieces().Close();
      if (loaded.kind != Kind::Searched) return FileSearchOutcome{loaded.kind, loaded.error};
      return std::nullopt;
    }
    window_.UsePage(loaded.detected);
    wholeAfterAll_ = false;
    const FileSearchOutcome outcome = SearchInPieces(abortRequested, loaded.detected, hits, contextLength);
    restTouched = true;
    window_.Pieces().Close();
    FinishFileHits();
    window_.ReleaseOversizedText();
    if (wholeAfterAll_) return std::nullopt;
    return outcome;
  } catch (const std::bad_alloc&) {
    restTouched = true;
    FinishFileHits();
    window_.ReleaseMemory();
    return FileSearchOutcome{Kind::Unreadable, ENOMEM};
  }
}

FileSearchOutcome FileSearcher::SearchBytes(const AbortFlag& abortRequested, const std::u16string& displayPath,
                                            size_t nameAt, std::string_view bytes, const FileIdentity& container,
                                            HitList& hits, int contextLength) {
  using Kind = FileSearchOutcome::Kind;
  window_.StartMember(displayPath, nameAt);
  StartHits();
  window_.MayGuessPage(false);
  window_.StartMemberBytes(bytes);
  // As ReadAndDetect judges a file read whole: binary content first, then the page.
  const bool plainAscii =
      window_.FirstHighByte() == bytes.size() && IsPlainAsciiSample(bytes.substr(0, kDetectionSampleBytes));
  if (!plainAscii && IsBinaryContent(bytes)) return {Kind::Binary};
  const CodePage detected = window_.PageOf(bytes, plainAscii);
  if (IsAborted(abortRequested)) return {Kind::Aborted};
  searched_ = container;
  searchedKnown_ = true;
  window_.UsePage(detected);
  try {
    const FileSearchOutcome outcome = SearchLoaded(abortRequested, detected, hits, contextLength);
    window_.EndMemberBytes();
    FinishFileHits();
    window_.ReleaseOversizedText();
    return outcome;
  } catch (const std::bad_alloc&) {
    window_.EndMemberBytes();
    FinishFileHits();
    window_.ReleaseMemory();
    return {Kind::Unreadable, ENOMEM};
  }
}

}  // namespace trawlscope
