#pragma once
// A run's published progress as the progress dialog shows it: the phase,
// "i/N" and the bar once the listing is done, the file whose turn came last,
// and the hits found (or, in a replace, the files changed) so far. UI thread.
#include <cstddef>

#include "app/SearchDialogView.h"
#include "search/run/RunProgress.h"

namespace trawlscope {

void ShowProgress(IProgressView& view, const ProgressSnapshot& now, size_t hitsFound);

}  // namespace trawlscope
