#pragma once
// What the desktop program says about a run: its warnings, the files it
// could not read or search, the replace faults, and the note beside the hit
// count. The engine hands over what happened; the words are chosen here.
#include <string>

#include "search/HitList.h"
#include "search/JobSink.h"

namespace trawlscope {

std::u16string WarningText(const RunWarning& warning);

// The files a search could not read or the expression could not search, one
// message; empty when there are none.
std::u16string SearchProblemsText(const RunSummary& summary);

// What a replace did, one message: the files changed and occurrences
// replaced, then the files it left unchanged with the reason for each.
std::u16string ReplaceSummaryText(const RunSummary& summary);

// The question before a replace: what it will change, "delete" in plain
// words when the replacement is empty, and that it cannot be undone.
std::u16string ReplaceQuestion(const HitList& hits, const std::u16string& replacement);

// Beside "%d found.": how many files the run searched, then what it skipped.
std::u16string RunNoteText(const RunSummary& summary);

}  // namespace trawlscope
