#include "search/SearchJob.h"

#include "search/FileSearcher.h"
#include "search/JobTexts.h"
#include "search/PathHelpers.h"

namespace trawlscope {

void RunSearch(JobState& state, IJobSink& sink) {
  const SearchRequest& request = state.request;
  RunSummary summary;
  state.fileList.clear();
  state.hits.Clear();

  if (request.searchText.empty()) {
    sink.RunFinished(summary);
    return;
  }
  CFileSearcher searcher;
  const bool compiled = searcher.Prepare(request.caseSensitive, request.searchText, request.xpath);
  // The message is for expressions only: a plain search for "printf(" is no error.
  if (request.useRegex && !compiled) {
    sink.ShowMessage(texts::kRegexError);
    summary.expressionRejected = true;
    sink.RunFinished(summary);
    return;
  }

  sink.ReportProgress({texts::kListingPhase, -1, 0, {}});
  BuildFileList(state.abortRequested, request.searchPath, state.fileList,
                request.includeSubfolders, request.fileTypes);
  if (!IsAborted(state.abortRequested)) {
    const int total = static_cast<int>(state.fileList.size());
    state.hits.Reserve(HitList::kInitialRoom);
    sink.ProcessingStarted(total);
    state.contextLength = kRunContextLength;
    for (int i = 0; i < total && !IsAborted(state.abortRequested); ++i) {
      const std::u16string& path = state.fileList[i];
      const std::u16string name = FileNameOf(path);
      sink.ReportProgress({texts::kSearchingPhase, i, total, name});
      const auto outcome = searcher.SearchFile(state.abortRequested, path, request.useRegex,
                                               request.caseSensitive, state.hits,
                                               state.contextLength);
      if (outcome == FileSearchOutcome::MatchError) summary.unsearchable.push_back(path);
    }
    sink.ProcessingStopped();
  }
  summary.aborted = IsAborted(state.abortRequested);
  sink.RunFinished(summary);
}

}  // namespace trawlscope
