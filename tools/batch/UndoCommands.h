#pragma once
// --undo and --undo-list: the journal of the last replace runs, from a terminal.
#include <string>

#include "platform/journal/JournalFolder.h"

namespace trawlscope::batch {

// Puts back the files of the last run. Prints each file's outcome on
// stdout, a count on stderr. 0: all restored; 1: some left as they are;
// 2: no run to undo, or its journal is damaged.
int UndoLast(const JournalPlace& place);

// The kept runs, newest first: time, files, search text, replacement,
// command. Always 0.
int ListRuns(const std::string& journalFolder);

}  // namespace trawlscope::batch
