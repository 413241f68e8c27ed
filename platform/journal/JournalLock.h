#pragma once
// One process at a time finishes, prunes or undoes runs in a journal folder:
// the desktop program and the batch tool may share it.
#include <string>

namespace trawlscope {

class JournalLock {
 public:
  // Waits for the lock on `folder`'s lock file, creating both when missing;
  // takes none in a folder that is not private.
  explicit JournalLock(const std::string& folder);
  ~JournalLock();
  JournalLock(const JournalLock&) = delete;
  JournalLock& operator=(const JournalLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace trawlscope
