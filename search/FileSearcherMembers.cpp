// The per-file searcher over bytes it did not read itself: the members of
// compressed files, expanded in memory by the caller.
#include <cerrno>
#include <new>

#include "platform/codepage/BinaryContent.h"
#include "platform/codepage/ByteScan.h"
#include "platform/codepage/CodePageDetector.h"
#include "platform/codepage/PlainAscii.h"
#include "search/FileSearcher.h"

namespace trawlscope {

FileSearchOutcome FileSearcher::SearchBytes(const AbortFlag& abortRequested, const std::u16string& displayPath,
                                            size_t nameAt, std::string_view bytes, const FileIdentity& container,
                                            HitList& hits, int contextLength) {
  using Kind = FileSearchOutcome::Kind;
  StartFile(displayPath);
  if (nameAt < displayPath.size() && nameAt != folder_.size()) {
    folder_.assign(displayPath, 0, nameAt);
    fileName_.assign(displayPath, nameAt);
    nativeFolder_.clear();  // no folder of the disk's: the next file converts its own
  }
  mayGuessPage_ = false;
  // As ReadAndDetect judges a file read whole: binary content first, then the page.
  firstHighByte_ = FindFirstHighByte(bytes);
  const bool plainAscii =
      firstHighByte_ == bytes.size() && IsPlainAsciiSample(bytes.substr(0, kDetectionSampleBytes));
  if (!plainAscii && IsBinaryContent(bytes)) return {Kind::Binary};
  const CodePage detected = PageOf(bytes, plainAscii);
  if (IsAborted(abortRequested)) return {Kind::Aborted};
  searched_ = container;
  searchedKnown_ = true;
  fileCodePage_ = detected;
  arrival_.Start(nullptr);  // nothing was looked for as the bytes arrived: the prefilter decides
  memberBytes_ = bytes;
  try {
    const FileSearchOutcome outcome = SearchLoaded(abortRequested, detected, hits, contextLength);
    memberBytes_ = {};
    FinishFileHits();
    ReleaseOversizedText();
    return outcome;
  } catch (const std::bad_alloc&) {
    memberBytes_ = {};
    FinishFileHits();
    asciiText_ = {};
    std::u16string().swap(text_);
    return {Kind::Unreadable, ENOMEM};
  }
}

}  // namespace trawlscope
