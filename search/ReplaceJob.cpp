#include "search/ReplaceJob.h"

#include "search/JobSteps.h"

namespace trawlscope {

void RunReplace(JobState& state, IJobSink& sink) {
  const SearchRequest& request = state.request;
  RunOverFiles(state, sink, RunPhase::Replacing, [&](CFileSearcher& searcher, const std::u16string& path) {
    const FileReplaceOutcome outcome = searcher.ReplaceInFile(state.abortRequested, path, request.replacementText);
    if (outcome.kind == FileReplaceOutcome::Kind::Changed) state.progress.FileChanged();
    return [outcome, path](RunSummary& summary) {
      if (outcome.kind == FileReplaceOutcome::Kind::Binary)
        ++summary.binarySkipped;
      else if (outcome.kind != FileReplaceOutcome::Kind::Aborted)
        ++summary.filesSearched;
      summary.replaced.push_back({path, outcome});
    };
  });
}

}  // namespace trawlscope
