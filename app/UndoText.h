#pragma once
// What the desktop program says about undoing a replace: the question that
// names the run, and what the undo did to each of its files.
#include <cstdint>
#include <string>

#include "platform/journal/KeptRuns.h"
#include "platform/journal/UndoRun.h"

namespace trawlscope {

// "2026-12-08 05:12:09" in local time (UTF-8).
std::string RunTimeText(std::int64_t secondsSinceEpoch);

// "Undo the replace of 2026-12-08 05:12:09 ("old" with "new", 3 files)?"
std::u16string UndoQuestion(const KeptRun& run);

// The files put back, then those left as they are with the reason for each.
std::u16string UndoReportText(const UndoReport& report);

// Whether to put the originals an undo could not put back beside their files.
std::u16string BesideQuestion(const UndoReport& report);

// The originals put beside their files, and those that could not be.
std::u16string BesideReportText(const BesideReport& report);

}  // namespace trawlscope
