#pragma once
// The steps a search run and a replace run share.
#include <functional>
#include <string>
#include <string_view>

#include "search/FileSearcher.h"
#include "search/SearchJob.h"

namespace trawlscope {

using PerFileStep = std::function<void(CFileSearcher&, const std::u16string& path, RunSummary&)>;

// Nothing for an empty search text; the search text compiled once, and a
// regular-expression run whose expression does not compile ended with the
// message (a plain search for "printf(" is no error); an XPath that does not
// compile and Search path entries that name nothing are warned of, and the
// run goes on; the listing; then `perFile` for each file in turn, reported
// under `phase`, until the abort flag is set. Ends with RunFinished.
void RunOverFiles(JobState& state, IJobSink& sink, std::u16string_view phase, const PerFileStep& perFile);

}  // namespace trawlscope
