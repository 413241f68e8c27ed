#include "search/FileSearcher.h"

#include <algorithm>

#include "platform/ByteScan.h"
#include "platform/CodePageConverter.h"
#include "platform/CodePageDetector.h"
#include "platform/FileReader.h"
#include "platform/NativePath.h"
#include "search/PathHelpers.h"
#include "search/TextDecoding.h"
#include "search/XmlFiles.h"

namespace trawlscope {
namespace {

// A hit's right context is this many times as long as its left one.
constexpr int kRightContextFactor = 3;
// Texts up to this many units keep their memory for the next file.
constexpr size_t kKeptTextUnits = 16u << 20;

}  // namespace

bool CFileSearcher::Prepare(bool caseSensitive, const std::u16string& pattern,
                            const std::u16string& xpath) {
  xpath_ = xpath;
  matcher_ = std::make_unique<Matcher>(pattern, caseSensitive);
  return matcher_->ExpressionCompiled();
}

void CFileSearcher::StartFile(const std::u16string& path) {
  folder_ = FolderOf(path);
  fileName_ = FileNameOf(path);
  isPlainText_ = true;
  text_.clear();
  hadBom_ = false;
  codePage_ = codepage::kNone;
  // Line starts are needed only for files with hits; MakeHit builds them.
  lineStarts_.clear();
  lineStartsBuilt_ = false;
}

void CFileSearcher::LoadFile(const AbortFlag& abortRequested, const std::u16string& path) {
  CodePage detected = codepage::kNone;
  if (!ReadAndDetect(abortRequested, path, detected)) return;
  if (!LoadXmlText(bytes_.Bytes())) codePage_ = DecodeDetectedBytes(bytes_.Bytes(), detected, text_, hadBom_);
  bytes_.Clear();
}

void CFileSearcher::ReleaseOversizedText() {
  // One huge file must not hold its text's memory for the rest of the run.
  if (text_.capacity() > kKeptTextUnits) std::u16string().swap(text_);
}

bool CFileSearcher::ReadAndDetect(const AbortFlag& abortRequested, const std::u16string& path,
                                  CodePage& detected, FileIdentity* identity) {
  StartFile(path);
  ReadWholeFileIn(folderCursor_, ToNativePath(folder_), ToNativePath(fileName_), bytes_, identity);
  if (IsAborted(abortRequested)) return false;
  detected = DetectCodePage(bytes_.Bytes());
  return !IsAborted(abortRequested);
}

RawPrefilter& CFileSearcher::PrefilterFor(MatchMode mode) {
  if (!prefilter_) prefilter_ = std::make_unique<RawPrefilter>(matcher_->Pattern(), mode);
  return *prefilter_;
}

FileSearchOutcome CFileSearcher::SearchFile(const AbortFlag& abortRequested,
                                            const std::u16string& path, bool useRegex,
                                            bool caseSensitive, HitList& hits,
                                            int contextLength) {
  // Loading as LoadFile does, but a file whose bytes cannot hold the search
  // text is not decoded: it gives no hits either way.
  const MatchMode mode = ModeOf(useRegex, caseSensitive);
  CodePage detected = codepage::kNone;
  if (!ReadAndDetect(abortRequested, path, detected)) return FileSearchOutcome::Aborted;
  const std::string_view bytes = bytes_.Bytes();
  const auto onMatch = [&](size_t position, size_t length) {
    MakeHit(hits, static_cast<std::int32_t>(position), static_cast<std::int32_t>(length),
            contextLength);
  };
  if (LoadXmlText(bytes)) {
    bytes_.Clear();
    return Finish(matcher_->Scan(text_, mode, abortRequested, onMatch), abortRequested);
  }
  if (!PrefilterFor(mode).MayContain(bytes, detected)) return FileSearchOutcome::Searched;

  Matcher::ScanEnd end;
  if (mode == MatchMode::RegularExpression && matcher_->CanScanAsciiBytes() &&
      IsAsciiTransparent(detected) && !HasHighBytes(bytes)) {
    // Most files of a source tree are pure ASCII: the expression runs on
    // their bytes, and hits take their contexts from them, so the text is
    // never widened.
    codePage_ = detected;
    asciiText_ = bytes;
    end = matcher_->ScanAsciiBytes(bytes, abortRequested, onMatch);
    asciiText_ = {};
  } else {
    codePage_ = DecodeDetectedBytes(bytes, detected, text_, hadBom_);
    end = matcher_->Scan(text_, mode, abortRequested, onMatch);
  }
  bytes_.Clear();
  ReleaseOversizedText();
  return Finish(end, abortRequested);
}

FileSearchOutcome CFileSearcher::Finish(Matcher::ScanEnd end, const AbortFlag& abortRequested) const {
  switch (end) {
    case Matcher::ScanEnd::Aborted: return FileSearchOutcome::Aborted;
    case Matcher::ScanEnd::MatchError: return FileSearchOutcome::MatchError;
    default: return IsAborted(abortRequested) ? FileSearchOutcome::Aborted
                                              : FileSearchOutcome::Searched;
  }
}

bool CFileSearcher::LoadXmlText(std::string_view bytes) {
  if (xpath_.empty() || !IsXmlPath(fileName_)) return false;
  std::u16string xmlText;
  if (!ExtractXPathText(bytes, xpath_, xmlText)) return false;
  isPlainText_ = false;
  text_ = std::move(xmlText);
  return true;
}

std::u16string CFileSearcher::Substring(size_t start, size_t length) const {
  if (asciiText_.data() == nullptr) return text_.substr(start, length);
  const std::string_view part = asciiText_.substr(start, length);
  return std::u16string(part.begin(), part.end());
}

void CFileSearcher::MakeHit(HitList& hits, std::int32_t position, std::int32_t length,
                            int contextLength) {
  if (!lineStartsBuilt_) {
    const AbortFlag never{false};
    if (asciiText_.data() != nullptr)
      BuildLineStarts(never, asciiText_, lineStarts_);
    else
      BuildLineStarts(never, text_, lineStarts_);
    lineStartsBuilt_ = true;
  }
  const size_t width = static_cast<size_t>(std::max(contextLength, 0));
  const size_t start = static_cast<size_t>(position);
  const size_t after = start + static_cast<size_t>(length);
  const size_t leftLength = std::min(start, width);

  auto hit = std::make_unique<Hit>();
  hit->folder = folder_;
  hit->fileName = fileName_;
  hit->leftContext = Substring(start - leftLength, leftLength);
  hit->keyword = Substring(start, static_cast<size_t>(length));
  hit->rightContext = Substring(after, kRightContextFactor * width);
  hit->line = LineOf(lineStarts_, position);
  hit->position = position;
  hit->length = length;
  hits.Append(std::move(hit));
}

}  // namespace trawlscope
