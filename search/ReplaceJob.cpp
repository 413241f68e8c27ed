#include "search/ReplaceJob.h"

#include "search/FileSearcher.h"
#include "search/JobTexts.h"
#include "search/PathHelpers.h"

namespace trawlscope {

void RunReplace(JobState& state, IJobSink& sink) {
  const SearchRequest& request = state.request;
  RunSummary summary;
  if (request.searchText.empty()) {
    sink.RunFinished(summary);
    return;
  }
  CFileSearcher searcher;
  const bool compiled = searcher.Prepare(request.caseSensitive, request.searchText, request.xpath);
  if (request.useRegex && !compiled) {
    sink.ShowMessage(texts::kRegexError);
    summary.expressionRejected = true;
    sink.RunFinished(summary);
    return;
  }

  sink.ReportProgress({texts::kListingPhase, -1, 0, {}});
  state.fileList.clear();
  BuildFileList(state.abortRequested, request.searchPath, state.fileList,
                request.includeSubfolders, request.fileTypes);
  if (!IsAborted(state.abortRequested)) {
    const int total = static_cast<int>(state.fileList.size());
    sink.ProcessingStarted(total);
    state.contextLength = kRunContextLength;
    for (int i = 0; i < total && !IsAborted(state.abortRequested); ++i) {
      const std::u16string& path = state.fileList[i];
      sink.ReportProgress({texts::kReplacingPhase, i, total, FileNameOf(path)});
      summary.replaced.push_back(
          {path, searcher.ReplaceInFile(state.abortRequested, path, request.useRegex,
                                        request.caseSensitive, request.replacementText)});
    }
    sink.ProcessingStopped();
  }
  summary.aborted = IsAborted(state.abortRequested);
  sink.RunFinished(summary);
}

}  // namespace trawlscope
