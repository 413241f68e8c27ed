#include "search/FileSearcher.h"

#include <cerrno>
#include <new>

#include "platform/codepage/BinaryContent.h"
#include "platform/codepage/ByteScan.h"
#include "platform/codepage/CodePageConverter.h"
#include "platform/codepage/CodePageDetector.h"
#include "platform/files/NativePath.h"
#include "platform/xml/XmlDocument.h"
#include "search/HitContext.h"
#include "search/listing/PathHelpers.h"
#include "search/text/TextDecoding.h"
#include "search/xml/XmlFiles.h"

namespace trawlscope {
namespace {

// Texts up to this many units keep their memory for the next file.
constexpr size_t kKeptTextUnits = 16u << 20;

}  // namespace

bool CFileSearcher::Prepare(bool useRegex, bool caseSensitive, const std::u16string& pattern,
                            const std::u16string& xpath) {
  mode_ = ModeOf(useRegex, caseSensitive);
  xpath_ = xpath;
  xpathError_ = xpath.empty() ? std::string() : XmlDocument::XPathCompileError(xpath);
  matcher_ = std::make_unique<Matcher>(pattern, caseSensitive);
  prefilter_.reset();
  return matcher_->ExpressionCompiled();
}

void CFileSearcher::StartFile(const std::u16string& path) {
  folder_ = FolderOf(path);
  fileName_ = FileNameOf(path);
  text_.clear();
  // Line starts are needed only for files with hits; MakeHit builds them.
  lineStarts_.clear();
  lineStartsBuilt_ = false;
}

void CFileSearcher::ReleaseOversizedText() {
  // One huge file must not hold its text's memory for the rest of the run.
  if (text_.capacity() > kKeptTextUnits) std::u16string().swap(text_);
}

CFileSearcher::Loaded CFileSearcher::ReadAndDetect(const AbortFlag& abortRequested,
                                                   const std::u16string& path,
                                                   FileIdentity* identity) {
  using Kind = FileSearchOutcome::Kind;
  StartFile(path);
  const ReadStatus read =
      ReadWholeFileIn(folderCursor_, ToNativePath(folder_), ToNativePath(fileName_), bytes_, identity);
  if (IsAborted(abortRequested)) return {Kind::Aborted};
  if (!read) return {Kind::Unreadable, read.error};
  if (IsBinaryContent(bytes_.Bytes())) return {Kind::Binary};
  const CodePage detected = DetectCodePage(bytes_.Bytes());
  if (IsAborted(abortRequested)) return {Kind::Aborted};
  return {Kind::Searched, 0, detected};
}

RawPrefilter& CFileSearcher::Prefilter() {
  if (!prefilter_) prefilter_ = std::make_unique<RawPrefilter>(matcher_->Pattern(), mode_);
  return *prefilter_;
}

bool CFileSearcher::IsXmlWithXPath() const { return !xpath_.empty() && IsXmlPath(fileName_); }

FileSearchOutcome CFileSearcher::SearchFile(const AbortFlag& abortRequested,
                                            const std::u16string& path, HitList& hits,
                                            int contextLength) {
  const Loaded loaded = ReadAndDetect(abortRequested, path);
  if (loaded.kind != FileSearchOutcome::Kind::Searched) {
    bytes_.Clear();
    return {loaded.kind, loaded.error};
  }
  try {
    const FileSearchOutcome outcome = SearchLoaded(abortRequested, loaded.detected, hits, contextLength);
    bytes_.Clear();
    ReleaseOversizedText();
    return outcome;
  } catch (const std::bad_alloc&) {
    // A text too large for the memory left: this file is reported, the run goes on.
    asciiText_ = {};
    std::u16string().swap(text_);
    bytes_.Clear(true);
    return {FileSearchOutcome::Kind::Unreadable, ENOMEM};
  }
}

FileSearchOutcome CFileSearcher::SearchLoaded(const AbortFlag& abortRequested, CodePage detected,
                                              HitList& hits, int contextLength) {
  // A file whose bytes cannot hold the search text is not decoded: it gives
  // no hits either way.
  const std::string_view bytes = bytes_.Bytes();
  codePage_ = detected;
  const auto onMatch = [&](size_t position, size_t length) {
    MakeHit(hits, position, length, contextLength);
  };
  if (LoadXmlText(bytes)) return Finish(matcher_->Scan(text_, mode_, abortRequested, onMatch), abortRequested);
  if (!Prefilter().MayContain(bytes, detected)) return {};

  if (mode_ == MatchMode::RegularExpression && matcher_->CanScanAsciiBytes() &&
      IsAsciiTransparent(detected) && !HasHighBytes(bytes)) {
    // Most files of a source tree are pure ASCII: the expression runs on
    // their bytes, and hits take their contexts from them, so the text is
    // never widened.
    asciiText_ = bytes;
    const Matcher::ScanEnd end = matcher_->ScanAsciiBytes(bytes, abortRequested, onMatch);
    asciiText_ = {};
    return Finish(end, abortRequested);
  }
  bool hadBom = false;
  DecodeDetectedBytes(bytes, detected, text_, hadBom);
  return Finish(matcher_->Scan(text_, mode_, abortRequested, onMatch), abortRequested);
}

FileSearchOutcome CFileSearcher::Finish(Matcher::ScanEnd end, const AbortFlag& abortRequested) const {
  using Kind = FileSearchOutcome::Kind;
  switch (end) {
    case Matcher::ScanEnd::Aborted: return {Kind::Aborted};
    case Matcher::ScanEnd::MatchError: return {Kind::MatchError};
    default: return {IsAborted(abortRequested) ? Kind::Aborted : Kind::Searched};
  }
}

bool CFileSearcher::LoadXmlText(std::string_view bytes) {
  if (!IsXmlWithXPath() || !xpathError_.empty()) return false;
  std::u16string xmlText;
  if (!ExtractXPathText(bytes, xpath_, xmlText)) return false;
  text_ = std::move(xmlText);
  return true;
}

std::u16string CFileSearcher::Substring(size_t start, size_t length) const {
  if (asciiText_.data() == nullptr) return text_.substr(start, length);
  const std::string_view part = asciiText_.substr(start, length);
  return std::u16string(part.begin(), part.end());
}

void CFileSearcher::MakeHit(HitList& hits, size_t position, size_t length, int contextLength) {
  if (!lineStartsBuilt_) {
    const AbortFlag never{false};
    if (asciiText_.data() != nullptr)
      BuildLineStarts(never, asciiText_, lineStarts_);
    else
      BuildLineStarts(never, text_, lineStarts_);
    lineStartsBuilt_ = true;
  }
  const size_t textSize = asciiText_.data() != nullptr ? asciiText_.size() : text_.size();
  const ContextSpans spans =
      ContextAround(position, length, textSize, static_cast<size_t>(std::max(contextLength, 0)));

  auto hit = std::make_unique<Hit>();
  hit->folder = folder_;
  hit->fileName = fileName_;
  hit->leftContext = Substring(spans.leftStart, spans.leftLength);
  hit->keyword = Substring(position, length);
  hit->rightContext = Substring(spans.rightStart, spans.rightLength);
  hit->position = static_cast<std::int64_t>(position);
  hit->length = static_cast<std::int64_t>(length);
  hit->line = LineOf(lineStarts_, hit->position);
  hit->codePage = codePage_;
  hits.Append(std::move(hit));
}

}  // namespace trawlscope
