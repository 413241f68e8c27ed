#pragma once
// One process at a time finishes, prunes or undoes runs in a journal folder:
// the desktop program and the batch tool may share it.
#include <string>

namespace trawlscope {

class JournalLock {
 public:
  // Waits for the lock on `folder`'s lock file, creating both when missing.
  explicit JournalLock(const std::string& folder);
  ~JournalLock();
  JournalLock(const JournalLock&) = delete;
  JournalLock& operator=(const JournalLock&) = delete;

 private:
  int fd_ = -1;
};

// Creates the folder and its missing parents, readable by the user only:
// the journal holds copies of the user's files. False when it cannot.
bool MakePrivateFolder(const std::string& folder);

}  // namespace trawlscope
