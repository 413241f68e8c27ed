#pragma once
// --undo, --undo-beside and --undo-list: the journal of the last replace runs, from a terminal.
#include <atomic>
#include <string>

#include "platform/journal/JournalFolder.h"

namespace trawlscope::batch {

// Puts back the files of the last run. Prints each file's outcome on
// stdout, a count on stderr. 0: all restored; 1: some left as they are;
// 2: no run to undo, its journal is damaged or its folder not private;
// 130: `stopRequested` was set, and the files not reached are still kept.
int UndoLast(const JournalPlace& place, const std::atomic<bool>& stopRequested);

// Writes the originals the last run still keeps beside their files. Exits
// as UndoLast does.
int PutBeside(const JournalPlace& place, const std::atomic<bool>& stopRequested);

// The kept runs, newest first: time, files, search text, replacement,
// command. Always 0.
int ListRuns(const std::string& journalFolder);

}  // namespace trawlscope::batch
