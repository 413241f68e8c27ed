#pragma once
// The steps a search run and a replace run share.
#include <functional>
#include <string>

#include "search/file/FileSearcher.h"
#include "search/run/SearchJob.h"

namespace trawlscope {

// What a file's result does to the run: called in list order, one at a time.
using CommitStep = std::function<void(RunSummary&)>;
// One file's work, on one of the run's searchers (any of its threads).
// `index` is the file's place in the run's list.
using ProcessFile = std::function<CommitStep(FileSearcher&, size_t index, const std::u16string& path)>;

// Nothing for an empty search text; the search text compiled once, and a
// regular-expression run whose expression does not compile ended with the
// message (a plain search for "printf(" is no error); an XPath that does not
// compile and Search path entries that name nothing are warned of, and the
// run goes on. The listing feeds the searchers as it goes: one per core
// (or state.workers), each with its own prepared FileSearcher, each file's
// commit step run in list order. Progress is published in state.progress
// under `phase`. With state.selection, its files are the list, and an empty
// search text is no reason to stop. `finish`, when given, runs once every
// searcher has stopped; then RunFinished.
void RunOverFiles(JobState& state, IJobSink& sink, RunPhase phase, const ProcessFile& process,
                  const CommitStep& finish = {});

}  // namespace trawlscope
