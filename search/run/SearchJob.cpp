#include "search/run/SearchJob.h"

#include <memory>

#include "platform/detectcache/BuildId.h"
#include "search/run/JobSteps.h"
#include "search/archive/MemberPath.h"

namespace trawlscope {
namespace {

// The members' hits go out with the file's turn, and the counts add up as a file's do.
CommitStep CompressedStep(JobState& state, std::shared_ptr<HitList> found, CompressedSearchResult result,
                          const std::u16string& path) {
  return [&state, found, result = std::move(result), path](RunSummary& summary) mutable {
    if (found && state.onFileHits) state.onFileHits(*found);
    if (found && state.keepHits) state.hits.Take(std::move(*found));
    summary.filesSearched += result.searched;
    summary.binarySkipped += result.binary;
    for (auto& member : result.unsearchable) summary.unsearchable.push_back(std::move(member));
    if (result.unreadable != 0) summary.unreadable.push_back({path, result.unreadable});
    for (auto& problem : result.problems) summary.compressed.push_back(std::move(problem));
  };
}

}  // namespace

void RunSearch(JobState& state, IJobSink& sink) {
  state.fileList.clear();
  state.hits.Clear();
  const CompressedSearch compressed(state.request.fileTypes, state.compressedMemberLimit);
  std::unique_ptr<DetectedPageCache> pageCache;
  if (state.pageCache && state.request.readAs == codepage::kNone && !state.request.searchText.empty())
    pageCache = std::make_unique<DetectedPageCache>(state.pageCache->folder, state.pageCache->name,
                                                    DetectorBuildId(), state.pageCache->clock);
  const auto savePages = [&](RunSummary&) {
    // A cache not written costs the next run only time.
    if (pageCache) static_cast<void>(pageCache->Save());
  };
  RunOverFiles(state, sink, RunPhase::Searching,
               [&](FileSearcher& searcher, size_t, const std::u16string& path) -> CommitStep {
    using Kind = FileSearchOutcome::Kind;
    searcher.UsePageCache(pageCache.get());
    // Each searcher thread fills one list file after file; only a file with
    // hits takes a list of its own, and most files of a big tree have none.
    thread_local HitList scratch;
    if (scratch.size() > 0) scratch.Clear();
    if (state.request.searchCompressed && CompressedSearch::Handles(path)) {
      CompressedSearchResult result =
          compressed.Search(searcher, state.abortRequested, path, scratch, state.contextLength);
      if (!result.notCompressed) {
        std::shared_ptr<HitList> found;
        if (scratch.size() > 0) {
          found = std::make_shared<HitList>();
          found->Take(std::move(scratch));
        }
        return CompressedStep(state, std::move(found), std::move(result), path);
      }
      if (scratch.size() > 0) scratch.Clear();
    }
    const FileSearchOutcome outcome = searcher.SearchFile(state.abortRequested, path, scratch, state.contextLength);
    std::shared_ptr<HitList> found;
    if (scratch.size() > 0) {
      found = std::make_shared<HitList>();
      found->Take(std::move(scratch));
    } else if (outcome.kind == Kind::Searched) {
      return [](RunSummary& summary) { ++summary.filesSearched; };
    } else if (outcome.kind == Kind::Binary) {
      return [](RunSummary& summary) { ++summary.binarySkipped; };
    }
    const bool named = outcome.kind == Kind::MatchError || outcome.kind == Kind::Unreadable || outcome.kind == Kind::Aborted;
    return [&state, found, outcome, path = named ? path : std::u16string()](RunSummary& summary) {
      if (found && state.onFileHits) state.onFileHits(*found);
      if (found && state.keepHits) state.hits.Take(std::move(*found));
      switch (outcome.kind) {
        case Kind::Searched: ++summary.filesSearched; break;
        case Kind::MatchError: summary.unsearchable.push_back(path); break;
        case Kind::Binary: ++summary.binarySkipped; break;
        case Kind::Unreadable: summary.unreadable.push_back({path, outcome.error}); break;
        case Kind::Aborted: summary.cutShort.push_back(path); break;
      }
    };
  }, savePages);
}

FileSearchOutcome SearchFileAgain(JobState& state, const std::u16string& path) {
  const SearchRequest& request = state.request;
  FileSearcher searcher;
  searcher.Prepare(request.useRegex, request.caseSensitive, request.searchText, request.xpath);
  searcher.ChooseCodePages(request.readAs, &state.fileCodePages);
  if (request.wholeWord) searcher.KeepWholeWordsOnly();
  HitList fresh;
  FileSearchOutcome outcome;
  const auto member = SplitMemberPath(path);
  if (member || (CompressedSearch::Handles(path) && CompressedSearch::IsCompressedFile(path))) {
    // A member is read again with its archive; its own hits are kept.
    const CompressedSearch compressed(request.fileTypes, state.compressedMemberLimit);
    const std::u16string container(member ? member->archive : path);
    const CompressedSearchResult result =
        compressed.Search(searcher, state.abortRequested, container, fresh, state.contextLength);
    if (result.unreadable != 0) return {FileSearchOutcome::Kind::Unreadable, result.unreadable};
    fresh.KeepOnlyFile(path);
  } else {
    outcome = searcher.SearchFile(state.abortRequested, path, fresh, state.contextLength);
    if (outcome.kind != FileSearchOutcome::Kind::Searched) return outcome;
  }
  const HitFile* old = nullptr;
  for (const HitFile* file : state.hits.Files())
    if (file->folder + file->fileName == path) old = file;
  if (old != nullptr) state.hits.ReplaceFileHits(*old, std::move(fresh));
  else state.hits.Take(std::move(fresh));
  return outcome;
}

}  // namespace trawlscope
