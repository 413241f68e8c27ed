#pragma once
// An undo's own record, in the journal folder while the undo goes on: each
// file beside which it is about to make a temporary file is on disk before
// that file is. An undo killed before its end leaves its record, and whoever
// next settles the journal removes the temporary files it names, as it does
// those of a killed replace run (KeptRuns.h).
#include <string>
#include <vector>

#include "platform/files/FileDescriptor.h"
#include "platform/files/FileOps.h"
#include "platform/files/Outcome.h"

namespace trawlscope {

inline constexpr char kUndoLogName[] = "undoing";

// Opened with the journal's lock held, and removed when the undo ends.
class UndoLog {
 public:
  UndoLog(const std::string& journalFolder, IFileOps& ops);
  ~UndoLog();
  UndoLog(const UndoLog&) = delete;
  UndoLog& operator=(const UndoLog&) = delete;

  // Before the safe writer writes `path` (a user's file or a new one beside
  // it). When it could not be recorded the write must not be made: the
  // failure is told as the step of the temporary file that is not made.
  Outcome<> Note(const std::string& path);

 private:
  IFileOps& ops_;
  std::string path_;
  FileDescriptor fd_;
  Outcome<> opened_;
};

// The files the record of an undo killed before its end names; none when no
// undo was killed. The caller holds the JournalLock.
std::vector<std::string> AbandonedUndoFiles(const std::string& journalFolder, IFileOps& ops = SystemFileOps());

// Once the temporary files it names are gone.
void RemoveAbandonedUndoLog(const std::string& journalFolder, IFileOps& ops = SystemFileOps());

}  // namespace trawlscope
