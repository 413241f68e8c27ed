#pragma once
// One process at a time finishes, prunes or undoes runs in a journal folder:
// the desktop program and the batch tool may share it.
#include <string>

#include "platform/files/FileDescriptor.h"
#include "platform/files/FileOps.h"
#include "platform/files/Outcome.h"

namespace trawlscope {

class JournalLock {
 public:
  // Waits for the lock on `folder`'s lock file, creating both when missing;
  // takes none in a folder that is not private.
  // Without it (a read-only disk), the work goes on unlocked: the journal's
  // checksums still keep a damaged run from being restored.
  explicit JournalLock(const std::string& folder, IFileOps& ops = SystemFileOps());
  JournalLock(const JournalLock&) = delete;
  JournalLock& operator=(const JournalLock&) = delete;

  // Whether the lock is held, or why not.
  const Outcome<>& Taken() const { return taken_; }

 private:
  FileDescriptor file_;  // closing it releases the lock
  Outcome<> taken_;
};

}  // namespace trawlscope
