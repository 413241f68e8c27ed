#pragma once
// What the desktop program says about a run: its warnings, the files it
// could not read or search, the replace faults, and the note beside the hit
// count. The engine hands over what happened; the words are chosen here.
#include <optional>
#include <string>

#include "platform/journal/JournalFolder.h"
#include "search/hits/HitList.h"
#include "search/review/HitSelection.h"
#include "search/run/JobSink.h"

namespace trawlscope {

std::u16string WarningText(const RunWarning& warning);

// The files a search could not read or the expression could not search, one
// message; empty when there are none.
std::u16string SearchProblemsText(const RunSummary& summary);

// What a replace did, one message: the files changed and occurrences
// replaced, then the files it left unchanged with the reason for each.
std::u16string ReplaceSummaryText(const RunSummary& summary);

// What a replace is about to change.
struct ReplaceScopeCounts {
  size_t occurrences = 0;
  size_t files = 0;
  bool selectedOnly = false;  // the selected rows' occurrences, not everything found
};
ReplaceScopeCounts CountScope(const HitList& hits);
ReplaceScopeCounts CountScope(const HitSelection& selection);

// The question before a replace: what it will change, "delete" in plain
// words when the replacement is empty, and whether it can be undone: `room`
// is the journal's answer, nothing when the journal is turned off.
std::u16string ReplaceQuestion(const ReplaceScopeCounts& scope, const std::u16string& replacement,
                               const std::optional<JournalRoom>& room);

// Beside "%d found.": how many files the run searched, then what it skipped.
std::u16string RunNoteText(const RunSummary& summary);

}  // namespace trawlscope
