#include "search/SearchJob.h"

#include "search/JobSteps.h"
#include "search/JobTexts.h"

namespace trawlscope {

void RunSearch(JobState& state, IJobSink& sink) {
  state.fileList.clear();
  state.hits.Clear();
  state.hits.Reserve(HitList::kInitialRoom);
  RunOverFiles(state, sink, texts::kSearchingPhase,
               [&](CFileSearcher& searcher, const std::u16string& path, RunSummary& summary) {
                 using Kind = FileSearchOutcome::Kind;
                 const auto outcome = searcher.SearchFile(state.abortRequested, path, state.hits,
                                                          state.contextLength);
                 switch (outcome.kind) {
                   case Kind::Searched: ++summary.filesSearched; break;
                   case Kind::MatchError: summary.unsearchable.push_back(path); break;
                   case Kind::Binary: ++summary.binarySkipped; break;
                   case Kind::Unreadable: summary.unreadable.push_back({path, outcome.error}); break;
                   case Kind::Aborted: break;
                 }
               });
}

}  // namespace trawlscope
