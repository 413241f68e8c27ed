#include "search/ReplaceJob.h"

#include "search/JobSteps.h"
#include "search/JobTexts.h"

namespace trawlscope {

void RunReplace(JobState& state, IJobSink& sink) {
  const SearchRequest& request = state.request;
  RunOverFiles(state, sink, texts::kReplacingPhase,
               [&](CFileSearcher& searcher, const std::u16string& path, RunSummary& summary) {
                 summary.replaced.push_back(
                     {path, searcher.ReplaceInFile(state.abortRequested, path, request.useRegex,
                                                   request.caseSensitive, request.replacementText)});
               });
}

}  // namespace trawlscope
