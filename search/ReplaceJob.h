#pragma once
// One replace run: the file list is built again from the request and every
// file is changed on its own, on the caller's thread (the worker).
#include "search/SearchJob.h"

namespace trawlscope {

// Leaves state.hits as the last search left them. Every file's outcome
// reaches the sink in RunFinished.
void RunReplace(JobState& state, IJobSink& sink);

}  // namespace trawlscope
