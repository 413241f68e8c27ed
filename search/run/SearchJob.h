#pragma once
// One search run over every file a request names, started on the caller's
// thread (the worker), which lists the files while searchers on every core
// take them. Reports through the sink, publishes progress in the state, and
// stops at the next check point once the abort flag is set.
#include <functional>
#include <optional>
#include <string>

#include "search/file/FileSearcher.h"
#include "search/SearchRequest.h"
#include "search/AbortFlag.h"
#include "platform/detectcache/DetectedPageCache.h"
#include "platform/journal/JournalFolder.h"
#include "search/hits/HitList.h"
#include "search/archive/CompressedSearch.h"
#include "search/review/HitSelection.h"
#include "search/run/JobSink.h"
#include "search/run/RunProgress.h"
#include "search/listing/FileList.h"

namespace trawlscope {

// The hits a run that does not keep them holds back behind a file still being
// searched, before that file's turn: a few chunks of records with their contexts.
inline constexpr size_t kHeldHitBytes = size_t{32} << 20;

// What a run reads and fills. The request and the flag belong to the dialog;
// the run writes the file list and the hits. While it goes on, other threads
// read only hits.Count() and progress.
struct JobState {
  SearchRequest request;
  AbortFlag abortRequested{false};
  FileList fileList;
  HitList hits;
  RunProgress progress;
  int contextLength = 30;
  unsigned workers = 0;  // searcher threads; 0 for one per core; kSearchAfterListing below
  // Called as each file's turn comes, in list order, before it is read: a
  // seam for tests that change the tree in the middle of a run.
  std::function<void(size_t index, const std::u16string& path)> beforeFile;
  // Called with each file's hits as the file's turn in list order comes, on
  // the searcher thread that commits it, one file at a time: a caller that
  // prints them need not wait for the run's end. Unless `keepHits`, they are
  // then dropped rather than added to `hits`, so that the run holds only the
  // hits still waiting for their turn.
  // A file's hits may come in several calls, handed over while it is
  // searched; those behind an earlier file still being searched are held
  // back up to `heldHitBytes` in all, and its searcher then waits.
  std::function<void(const HitList& fileHits)> onFileHits;
  // Files the user chose a code page for from the result list.
  FileCodePages fileCodePages;
  // Where a search run finds the pages detected in earlier runs and keeps
  // those it detects; none for a run that neither reads nor keeps them.
  // Replace runs never use it, nor a run that reads every file in one page.
  std::optional<PageCachePlace> pageCache;
  bool keepHits = true;
  size_t heldHitBytes = kHeldHitBytes;
  // How far a member of a compressed file may expand before it is reported
  // instead of searched; tests set a small one.
  size_t compressedMemberLimit = kMemberLimitBytes;

  // A replace run changes only these occurrences, visiting only these files
  // in this order, instead of listing the Search path. The search text may
  // then be empty: each picked stretch is replaced as it is.
  std::optional<HitSelection> selection;
  // Where a replace run keeps each changed file's original for undo; none
  // for a run that cannot be undone (and for tests that do not ask).
  std::optional<JournalPlace> journal;
  // The batch tool's command line, shown with the run among the kept ones (UTF-8).
  std::string journalCommand;
};

// No searcher threads: the run's own thread searches once the listing is
// done, so that everything happens on one thread (tests of the dialog's logic).
inline constexpr unsigned kSearchAfterListing = ~0u;

// Characters of context before a hit; every run sets the dialog's value to it.
inline constexpr int kRunContextLength = 30;

void RunSearch(JobState& state, IJobSink& sink);

// Searches one file of the list again under the run's request and the pages
// chosen for its files, on the calling thread, and puts its hits where its
// old ones stood (at the end when it had none). Its outcome says whether it
// could be read.
FileSearchOutcome SearchFileAgain(JobState& state, const std::u16string& path);

}  // namespace trawlscope
