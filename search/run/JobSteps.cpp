#include "search/run/JobSteps.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/ignore/IgnoreRules.h"
#include "platform/xml/XmlDocument.h"
#include "search/archive/MemberFilter.h"
#include "search/run/FileFeed.h"
#include "search/run/OrderedCommits.h"
#include "search/run/RequestListing.h"
#include "search/listing/PathHelpers.h"

namespace trawlscope {
namespace {

// Files that may finish ahead of the next one to commit: enough to keep every
// core busy past a slow file (with 256, the other searcher of a Linux source
// tree waited some 20 ms a run behind its large headers), few enough that
// held hits stay small.
constexpr size_t kFilesAhead = 1024;

unsigned SearcherCount(unsigned asked) {
  if (asked > 0) return asked;
  return std::max(1u, std::thread::hardware_concurrency());
}

// Why a module the request needs cannot be loaded; empty when each loads.
// Compressed files are not among them: their module is loaded when the
// first one is met, and one that cannot be is reported with that file.
ModuleProblem MissingModule(const SearchRequest& request) {
  if (request.followGitignore) {
    if (const ModuleProblem& problem = IgnoreRules::LoadModule(); problem.kind != ModuleProblem::Kind::None)
      return problem;
  }
  if (!request.xpath.empty()) return XmlDocument::LoadModule();
  return {};
}

// Whether the run may go on to list and search: the modules it needs load
// and its expression compiles. When not, it has told `sink` why and finished.
bool RunMayStart(JobState& state, IJobSink& sink, RunSummary& summary, FileSearcher& checked) {
  const SearchRequest& request = state.request;
  if (request.searchText.empty() && !state.selection) {
    sink.RunFinished(summary);
    return false;
  }
  // A module the run needs is loaded before anything is listed, so that a
  // missing one stops the run with its name instead of changing its results.
  if (ModuleProblem problem = MissingModule(request); problem.kind != ModuleProblem::Kind::None) {
    sink.Warn({RunWarning::Kind::ModuleMissing, {}, {}, std::move(problem)});
    summary.moduleMissing = true;
    sink.RunFinished(summary);
    return false;
  }
  const bool compiled = checked.Prepare(request.useRegex, request.caseSensitive, request.searchText, request.xpath);
  if (!compiled && !request.searchText.empty()) {
    sink.Warn({RunWarning::Kind::ExpressionInvalid, {}, checked.ExpressionError()});
    summary.expressionRejected = true;
    sink.RunFinished(summary);
    return false;
  }
  if (const auto& fault = checked.FaultOfXPath()) {
    summary.xpathRejected = true;
    RunWarning warning;
    warning.kind = RunWarning::Kind::XPathInvalid;
    warning.xpath = *fault;
    sink.Warn(warning);
  }
  return true;
}

// Feeds the run's files, the picked ones or those the Search path lists, to
// the searchers, and says which paths were missing.
void ListForRun(JobState& state, IJobSink& sink, FileFeed& feed) {
  const AbortFlag& abortRequested = state.abortRequested;
  RunWarning missing;
  const auto listed = [&](std::u16string path) {
    state.progress.FileListed();
    feed.Add(std::move(path));
  };
  if (state.selection) {
    for (const SelectedFile& file : state.selection->files) listed(file.path);
  } else {
    ListFiles(abortRequested, state.request.searchPath, ListingRulesOf(state.request), listed, &missing.paths,
              [&] { feed.Publish(); }, [&](LeftOut what) { state.progress.Omitted(what); });
  }
  feed.Close();
  // The listing checks the flag after every entry: up now, it stopped the listing.
  state.progress.ListingDone(!IsAborted(abortRequested));
  if (!missing.paths.empty() && !IsAborted(abortRequested)) sink.Warn(missing);
}

}  // namespace

void RunOverFiles(JobState& state, IJobSink& sink, RunPhase phase, const ProcessFile& process,
                  const CommitStep& finish) {
  const SearchRequest& request = state.request;
  RunSummary summary;
  FileSearcher checked;
  if (!RunMayStart(state, sink, summary, checked)) return;

  const AbortFlag& abortRequested = state.abortRequested;
  state.contextLength = kRunContextLength;
  state.fileList.clear();
  state.progress.Start(phase);
  FileFeed feed(state.fileList, [&](size_t index, const std::u16string& path) {
    state.progress.FileStarted(path);
    if (state.beforeFile) state.beforeFile(index, path);
  });
  // Hits that are not kept flow out as they are found, not when their file is done.
  const bool streamHits = phase == RunPhase::Searching && state.onFileHits && !state.keepHits;
  OrderedCommits<RunSummary> commits(kFilesAhead, summary, state.heldHitBytes);
  SharedFolders folders;
  // Files taken when the abort came, before their searcher had room to read them.
  std::mutex unreadMutex;
  std::vector<std::u16string> unread;
  const auto searchFiles = [&] {
    FileSearcher searcher;
    searcher.PrepareLike(checked);
    searcher.ChooseCodePages(request.readAs, &state.fileCodePages);
    if (request.wholeWord) searcher.KeepWholeWordsOnly();
    searcher.ShareFolders(folders);
    size_t index = 0;
    if (streamHits) {
      searcher.HandHitsOver([&](HitList& hits) {
        auto part = std::make_shared<HitList>();
        part->Take(std::move(hits));
        const size_t bytes = part->Bytes();
        commits.HandOver(index, [&state, part](RunSummary&) { state.onFileHits(*part); }, bytes, abortRequested);
      });
    }
    const std::u16string* path = nullptr;
    while ((path = feed.Take(abortRequested, index)) != nullptr) {
      if (!commits.WaitForRoom(index, abortRequested)) {
        std::lock_guard lock(unreadMutex);
        unread.push_back(*path);
        break;
      }
      commits.Commit(index, process(searcher, index, *path));
    }
  };
  std::vector<std::thread> searchers;
  const unsigned count = state.workers == kSearchAfterListing ? 0 : SearcherCount(state.workers);
  for (unsigned i = 0; i < count; ++i) {
    try {
      searchers.emplace_back(searchFiles);
    } catch (const std::system_error&) {
      break;  // fewer threads than cores; with none at all, this thread searches after listing
    }
  }
  ListForRun(state, sink, feed);
  if (searchers.empty()) searchFiles();
  for (auto& searcher : searchers) searcher.join();
  commits.Flush();
  summary.cutShort.insert(summary.cutShort.end(), unread.begin(), unread.end());
  if (finish) finish(summary);

  summary.aborted = IsAborted(abortRequested);
  const ProgressSnapshot seen = state.progress.Read();
  summary.filesLeftOut = seen.filesLeftOut;
  summary.foldersLeftOut = seen.foldersLeftOut;
  state.progress.Finish();
  sink.RunFinished(summary);
}

}  // namespace trawlscope
