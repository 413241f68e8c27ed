#include "search/run/ReplaceJob.h"

#include <algorithm>
#include <ctime>
#include <memory>
#include <optional>

#include "platform/files/NativePath.h"
#include "search/archive/CompressedSearch.h"
#include "search/archive/MemberPath.h"
#include "search/replace/FileReplacer.h"
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

// What a replace does to a file inside a compressed one: nothing, ever. A
// member picked from the hits is refused; a compressed file of a replace of
// everything is refused when it holds the search text, and is unchanged
// otherwise. Nothing when the file is to be replaced as any other: a plain
// file behind a compressed name.
std::optional<FileReplaceOutcome> CompressedOutcome(const JobState& state, const CompressedSearch& compressed,
                                                    FileSearcher& searcher, const std::u16string& path) {
  const auto readOnly = FileReplaceOutcome::LeftUnchanged(ReplaceProblem::CompressedReadOnly);
  if (SplitMemberPath(path)) return readOnly;
  if (!CompressedSearch::Handles(path)) return std::nullopt;
  if (state.selection) {
    if (CompressedSearch::IsCompressedFile(path)) return readOnly;
    return std::nullopt;
  }
  if (!state.request.searchCompressed) return std::nullopt;
  HitList hits;
  const CompressedSearchResult result = compressed.Search(searcher, state.abortRequested, path, hits, 0);
  if (result.notCompressed) return std::nullopt;
  if (result.aborted) return FileReplaceOutcome::Aborted();
  if (result.unreadable != 0) return FileReplaceOutcome::Unreadable(result.unreadable);
  // Unchanged would claim it holds no occurrence, which a file not searched
  // whole cannot show; a link member has no bytes to hide one.
  const auto has = [&](auto kinds) {
    return std::any_of(result.problems.begin(), result.problems.end(), [&](const CompressedProblem& problem) {
      return kinds(problem.fault.kind);
    });
  };
  if (has([](ArchiveFault::Kind kind) { return kind == ArchiveFault::Kind::Damaged; }))
    return FileReplaceOutcome::LeftUnchanged(ReplaceProblem::CompressedDamaged);
  const bool notWhole = has([](ArchiveFault::Kind kind) { return kind != ArchiveFault::Kind::Link; });
  return hits.size() > 0 || notWhole ? readOnly : FileReplaceOutcome::Unchanged();
}

// A link refused while the file it names was replaced under its own name,
// earlier or later in the run, lost nothing: it says so instead.
void SettleRefusedLinks(RunSummary& summary, ReplacedFiles& taken) {
  for (ReplacedFile& file : summary.replaced) {
    const FileReplaceOutcome& outcome = file.outcome;
    if (outcome.problem == ReplaceProblem::File && outcome.file.refusal == FileRefusal::SymbolicLink &&
        taken.Holds(outcome.linkTarget))
      file.outcome = FileReplaceOutcome::SameFile();
  }
}

}  // namespace

void RunReplace(JobState& state, IJobSink& sink) {
  const SearchRequest& request = state.request;
  std::unique_ptr<RunJournal> journal;
  if (state.journal && !state.journal->folder.empty() && state.journal->maxRuns > 0)
    journal = std::make_unique<RunJournal>(*state.journal, DescriptionOf(state));
  const HitSelection* selection = state.selection ? &*state.selection : nullptr;
  ReplacedFiles taken;
  const CompressedSearch compressed(request.fileTypes, state.compressedMemberLimit);
  const auto process = [&](FileSearcher& searcher, size_t index, const std::u16string& path) -> CommitStep {
    if (const auto outcome = CompressedOutcome(state, compressed, searcher, path)) {
      return [outcome = *outcome, path](RunSummary& summary) {
        if (outcome.kind != FileReplaceOutcome::Kind::Aborted) ++summary.filesSearched;
        summary.replaced.push_back({path, outcome});
      };
    }
    ReplaceScope scope;
    scope.only = selection != nullptr ? &selection->files[index] : nullptr;
    scope.journal = journal.get();
    scope.taken = &taken;
    scope.links = request.replaceThroughLinks ? Links::Followed : Links::NotFollowed;
    const FileReplaceOutcome outcome =
        FileReplacer(searcher).ReplaceInFile(state.abortRequested, path, request.replacementText, scope);
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
    SettleRefusedLinks(summary, taken);
    if (journal) summary.journal = journal->Finish();
  });
}

}  // namespace trawlscope
