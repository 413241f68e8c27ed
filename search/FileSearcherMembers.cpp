// The per-file searcher over bytes it did not read itself: the members of
// compressed files, expanded in memory by the caller, a large one a piece
// at a time as it is expanded.
#include <cerrno>
#include <new>
#include <optional>

#include "platform/codepage/BinaryContent.h"
#include "platform/codepage/ByteScan.h"
#include "platform/codepage/CodePageDetector.h"
#include "platform/codepage/LineFeedCuts.h"
#include "platform/codepage/PlainAscii.h"
#include "search/FileSearcher.h"

namespace trawlscope {

void FileSearcher::StartMember(const std::u16string& displayPath, size_t nameAt) {
  StartFile(displayPath);
  if (nameAt < displayPath.size() && nameAt != folder_.size()) {
    folder_.assign(displayPath, 0, nameAt);
    fileName_.assign(displayPath, nameAt);
    nativeFolder_.clear();  // no folder of the disk's: the next file converts its own
  }
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
  StartMember(displayPath, nameAt);
  if (IsXmlWithXPath() || !PatternFitsPieces() || hits.size() > 0) return std::nullopt;
  mayGuessPage_ = true;
  searched_ = container;
  searchedKnown_ = true;
  arrival_.Start(nullptr);
  pieces_.TakeStream(head, rest);
  try {
    const Loaded loaded = StartPieces(abortRequested);
    if (loaded.kind != Kind::Searched || loaded.detected == codepage::kNone || !CutsAfterLineFeeds(loaded.detected)) {
      // Nothing past the head was read yet.
      pieces_.Close();
      if (loaded.kind != Kind::Searched) return FileSearchOutcome{loaded.kind, loaded.error};
      return std::nullopt;
    }
    fileCodePage_ = loaded.detected;
    wholeAfterAll_ = false;
    const FileSearchOutcome outcome = SearchInPieces(abortRequested, loaded.detected, hits, contextLength);
    restTouched = true;
    pieces_.Close();
    FinishFileHits();
    ReleaseOversizedText();
    if (wholeAfterAll_) return std::nullopt;
    return outcome;
  } catch (const std::bad_alloc&) {
    restTouched = true;
    pieces_.Close();
    FinishFileHits();
    std::u16string().swap(text_);
    return FileSearchOutcome{Kind::Unreadable, ENOMEM};
  }
}

FileSearchOutcome FileSearcher::SearchBytes(const AbortFlag& abortRequested, const std::u16string& displayPath,
                                            size_t nameAt, std::string_view bytes, const FileIdentity& container,
                                            HitList& hits, int contextLength) {
  using Kind = FileSearchOutcome::Kind;
  StartMember(displayPath, nameAt);
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
