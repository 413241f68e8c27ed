#pragma once
// One replace run: the file list is built again from the request (or taken
// from the picked hits) and every file is changed on its own, on the
// caller's thread (the worker). With a journal, each changed file's original
// is kept for undo before the file is written.
#include "search/run/SearchJob.h"

namespace trawlscope {

// Leaves state.hits as the last search left them. Every file's outcome
// reaches the sink in RunFinished, with how the run's journal ended.
void RunReplace(JobState& state, IJobSink& sink);

}  // namespace trawlscope
