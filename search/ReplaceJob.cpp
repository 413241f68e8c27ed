#include "search/ReplaceJob.h"

#include "search/JobSteps.h"
#include "search/JobTexts.h"

namespace trawlscope {

void RunReplace(JobState& state, IJobSink& sink) {
  const SearchRequest& request = state.request;
  RunOverFiles(state, sink, texts::kReplacingPhase,
               [&](CFileSearcher& searcher, const std::u16string& path, RunSummary& summary) {
                 FileReplaceOutcome outcome =
                     searcher.ReplaceInFile(state.abortRequested, path, request.replacementText);
                 if (outcome.kind == FileReplaceOutcome::Kind::Binary)
                   ++summary.binarySkipped;
                 else if (outcome.kind != FileReplaceOutcome::Kind::Aborted)
                   ++summary.filesSearched;
                 summary.replaced.push_back({path, std::move(outcome)});
               });
}

}  // namespace trawlscope
