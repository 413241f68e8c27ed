#pragma once
// Taking back the last replace run: every file it changed gets its original
// bytes again, through the safe writer (links, permissions, owner and
// extended attributes kept), but only while the file is still exactly what
// the run wrote. Any thread; one undo at a time per journal folder.
#include <optional>
#include <string>
#include <vector>

#include "platform/files/FileError.h"
#include "platform/files/FileOps.h"
#include "platform/journal/JournalFolder.h"
#include "platform/journal/KeptRuns.h"

namespace trawlscope {

enum class UndoRefusal {
  ChangedSinceReplace,  // it is no longer what the run wrote: left as it is
  Missing,              // nothing stands at its path any more (`error` the errno)
  File,                 // reading or writing it failed: `error` says how
};

struct UndoRefusedFile {
  std::string path;  // native
  UndoRefusal reason = UndoRefusal::ChangedSinceReplace;
  FileError error;
};

struct UndoReport {
  enum class Status {
    Undone,         // every file was looked at: `restored` and `refused` say how each went
    NothingToUndo,  // the journal keeps no run
    Damaged,        // the last run's journal is cut short or damaged: nothing was touched
  };
  Status status = Status::NothingToUndo;
  std::string runName;
  std::string runFolder;  // Damaged: where the run lies, for the user to look at
  RunDescription description;
  std::vector<std::string> restored;  // native paths, in the run's order
  std::vector<UndoRefusedFile> refused;
};

// The newest run the journal keeps (damaged or not), or nothing.
std::optional<KeptRun> LastKeptRun(const std::string& journalFolder);

// Undoes the newest run and then removes it from the journal, so that the
// next undo takes the run before it. A damaged run is neither restored from
// nor removed.
UndoReport UndoLastRun(const JournalPlace& place, IFileOps& ops = SystemFileOps());

}  // namespace trawlscope
