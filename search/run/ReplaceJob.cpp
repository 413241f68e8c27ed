#include "search/run/ReplaceJob.h"

#include <ctime>
#include <memory>

#include "platform/files/NativePath.h"
#include "search/run/JobSteps.h"

namespace trawlscope {
namespace {

RunDescription DescriptionOf(const JobState& state) {
  RunDescription description;
  description.time = static_cast<std::int64_t>(std::time(nullptr));
  description.searchText = ToNativeBytes(state.request.searchText);
  description.replacementText = ToNativeBytes(state.request.replacementText);
  description.command = state.journalCommand;
  return description;
}

}  // namespace

void RunReplace(JobState& state, IJobSink& sink) {
  const SearchRequest& request = state.request;
  std::unique_ptr<RunJournal> journal;
  if (state.journal && !state.journal->folder.empty() && state.journal->maxRuns > 0)
    journal = std::make_unique<RunJournal>(*state.journal, DescriptionOf(state));
  const HitSelection* selection = state.selection ? &*state.selection : nullptr;
  ReplacedFiles taken;
  const auto process = [&](FileSearcher& searcher, size_t index, const std::u16string& path) {
    ReplaceScope scope;
    scope.only = selection != nullptr ? &selection->files[index] : nullptr;
    scope.journal = journal.get();
    scope.taken = &taken;
    const FileReplaceOutcome outcome =
        searcher.ReplaceInFile(state.abortRequested, path, request.replacementText, scope);
    if (outcome.kind == FileReplaceOutcome::Kind::Changed) state.progress.FileChanged();
    return [outcome, path](RunSummary& summary) {
      if (outcome.kind == FileReplaceOutcome::Kind::Binary)
        ++summary.binarySkipped;
      else if (outcome.kind != FileReplaceOutcome::Kind::Aborted)
        ++summary.filesSearched;
      summary.replaced.push_back({path, outcome});
    };
  };
  RunOverFiles(state, sink, RunPhase::Replacing, process, [&](RunSummary& summary) {
    if (journal) summary.journal = journal->Finish();
  });
}

}  // namespace trawlscope
