#include "search/JobSteps.h"

#include "search/JobTexts.h"
#include "search/listing/PathHelpers.h"

namespace trawlscope {
namespace {

void ListFiles(JobState& state, IJobSink& sink) {
  const SearchRequest& request = state.request;
  sink.ReportProgress({texts::kListingPhase, -1, 0, {}});
  state.fileList.clear();
  RunWarning missing;
  BuildFileList(state.abortRequested, request.searchPath, state.fileList, request.includeSubfolders,
                request.fileTypes, &missing.paths);
  if (!missing.paths.empty() && !IsAborted(state.abortRequested)) sink.Warn(missing);
}

}  // namespace

void RunOverFiles(JobState& state, IJobSink& sink, std::u16string_view phase, const PerFileStep& perFile) {
  const SearchRequest& request = state.request;
  RunSummary summary;
  if (request.searchText.empty()) {
    sink.RunFinished(summary);
    return;
  }
  CFileSearcher searcher;
  const bool compiled =
      searcher.Prepare(request.useRegex, request.caseSensitive, request.searchText, request.xpath);
  if (request.useRegex && !compiled) {
    sink.ShowMessage(texts::kRegexError);
    summary.expressionRejected = true;
    sink.RunFinished(summary);
    return;
  }
  if (!searcher.XPathError().empty()) {
    summary.xpathRejected = true;
    sink.Warn({RunWarning::Kind::XPathInvalid, {}, searcher.XPathError()});
  }

  ListFiles(state, sink);
  if (!IsAborted(state.abortRequested)) {
    const int total = static_cast<int>(state.fileList.size());
    sink.ProcessingStarted(total);
    state.contextLength = kRunContextLength;
    for (int i = 0; i < total && !IsAborted(state.abortRequested); ++i) {
      const std::u16string& path = state.fileList[i];
      sink.ReportProgress({phase, i, total, FileNameOf(path)});
      perFile(searcher, path, summary);
    }
    sink.ProcessingStopped();
  }
  summary.aborted = IsAborted(state.abortRequested);
  sink.RunFinished(summary);
}

}  // namespace trawlscope
