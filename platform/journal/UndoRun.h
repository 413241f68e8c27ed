#pragma once
// Taking back the last replace run: every file it changed gets its original
// bytes again, through the safe writer (links, permissions, owner and
// extended attributes kept), but only while the file still holds exactly what
// the run wrote. The originals of files left as they are stay in the journal,
// with their run, until they are put back or put beside their files. Any
// thread; one undo at a time per journal folder. Before each write, the
// undo's own record names the file (UndoLog.h), so that an undo killed
// half-way leaves no temporary file that the next one does not remove.
#include <atomic>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files/FileError.h"
#include "platform/files/FileOps.h"
#include "platform/journal/JournalFolder.h"
#include "platform/journal/KeptRuns.h"
#include "platform/journal/PrivateFolder.h"

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
    NotPrivate,     // the journal folder is not the user's own and closed (`folder`): nothing was touched
  };
  Status status = Status::NothingToUndo;
  FolderCheck folder;
  std::string runName;
  std::string runFolder;  // Damaged: where the run lies, for the user to look at
  RunDescription description;
  std::vector<std::string> restored;  // native paths, in the run's order
  std::vector<UndoRefusedFile> refused;  // their originals stay with the run
  bool stopped = false;  // asked to stop: the files not looked at stay with the run too
};

// The newest run the journal keeps (damaged or not), or nothing.
std::optional<KeptRun> LastKeptRun(const std::string& journalFolder);

// Undoes the newest run. Files put back leave the run; the run goes once it
// keeps no file, so that the next undo takes the run before it. A damaged
// run is neither restored from nor removed. `stopRequested`, when given, is
// looked at before each file: once it is set, the undo ends there.
UndoReport UndoLastRun(const JournalPlace& place, IFileOps& ops = SystemFileOps(),
                       const std::atomic<bool>* stopRequested = nullptr);

// What PutOriginalsBeside did: each original written beside its file (the
// file's path and the new file's), and those it could not write.
struct BesideReport {
  UndoReport::Status status = UndoReport::Status::NothingToUndo;  // Undone when it looked at every file
  FolderCheck folder;
  std::string runFolder;
  std::vector<std::pair<std::string, std::string>> placed;
  std::vector<UndoRefusedFile> failed;
  bool stopped = false;
};

// The originals the newest run still keeps, each written as a new file
// beside its file ("NAME.original", or "NAME.original-2" and on when that is
// taken by anything, a dangling link too) and then let go by the journal.
// Nothing is overwritten. Stops as UndoLastRun does.
BesideReport PutOriginalsBeside(const JournalPlace& place, IFileOps& ops = SystemFileOps(),
                                const std::atomic<bool>* stopRequested = nullptr);

}  // namespace trawlscope
