#include "search/SearchJob.h"

#include <memory>

#include "search/JobSteps.h"

namespace trawlscope {

void RunSearch(JobState& state, IJobSink& sink) {
  state.fileList.clear();
  state.hits.Clear();
  RunOverFiles(state, sink, RunPhase::Searching, [&](CFileSearcher& searcher, size_t, const std::u16string& path) {
    auto found = std::make_shared<HitList>();
    const FileSearchOutcome outcome = searcher.SearchFile(state.abortRequested, path, *found, state.contextLength);
    return [&state, found, outcome, path](RunSummary& summary) {
      using Kind = FileSearchOutcome::Kind;
      state.hits.Take(std::move(*found));
      switch (outcome.kind) {
        case Kind::Searched: ++summary.filesSearched; break;
        case Kind::MatchError: summary.unsearchable.push_back(path); break;
        case Kind::Binary: ++summary.binarySkipped; break;
        case Kind::Unreadable: summary.unreadable.push_back({path, outcome.error}); break;
        case Kind::Aborted: break;
      }
    };
  });
}

}  // namespace trawlscope
