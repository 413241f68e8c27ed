#pragma once
// One search run over every file a request names, on the caller's thread
// (the worker). Reports through the sink and stops at the next check point
// once the abort flag is set.
#include "app/SearchRequest.h"
#include "search/AbortFlag.h"
#include "search/listing/FileList.h"
#include "search/HitList.h"
#include "search/JobSink.h"

namespace trawlscope {

// What a run reads and fills. The request and the flag belong to the dialog;
// the worker writes the file list and the hits, and the UI thread reads only
// hits.Count() until the run has finished.
struct JobState {
  SearchRequest request;
  AbortFlag abortRequested{false};
  FileList fileList;
  HitList hits;
  int contextLength = 30;
};

// Characters of context before a hit; every run sets the dialog's value to it.
inline constexpr int kRunContextLength = 30;

void RunSearch(JobState& state, IJobSink& sink);

}  // namespace trawlscope
