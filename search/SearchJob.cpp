#include "search/SearchJob.h"

#include "search/JobSteps.h"
#include "search/JobTexts.h"
#include "search/PathHelpers.h"

namespace trawlscope {

void RunOverFiles(JobState& state, IJobSink& sink, std::u16string_view phase,
                  const std::function<void(CFileSearcher&, const std::u16string&, RunSummary&)>& perFile) {
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
      sink.ReportProgress({phase, i, total, FileNameOf(path)});
      perFile(searcher, path, summary);
    }
    sink.ProcessingStopped();
  }
  summary.aborted = IsAborted(state.abortRequested);
  sink.RunFinished(summary);
}

void RunSearch(JobState& state, IJobSink& sink) {
  state.fileList.clear();
  state.hits.Clear();
  state.hits.Reserve(HitList::kInitialRoom);
  const SearchRequest& request = state.request;
  RunOverFiles(state, sink, texts::kSearchingPhase,
               [&](CFileSearcher& searcher, const std::u16string& path, RunSummary& summary) {
                 const auto outcome =
                     searcher.SearchFile(state.abortRequested, path, request.useRegex,
                                         request.caseSensitive, state.hits, state.contextLength);
                 if (outcome == FileSearchOutcome::MatchError) summary.unsearchable.push_back(path);
               });
}

}  // namespace trawlscope
