#include "platform/journal/JournalLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/journal/PrivateFolder.h"

namespace trawlscope {
namespace {

constexpr mode_t kPrivateFile = 0600;

}  // namespace

JournalLock::JournalLock(const std::string& folder) {
  // Without a lock file (a read-only disk), the work goes on unlocked: the
  // journal's checksums still keep a damaged run from being restored.
  if (!MakePrivateFolder(folder)) return;
  fd_ = open((folder + "/lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kPrivateFile);
  if (fd_ < 0) return;
  while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
  }
}

JournalLock::~JournalLock() {
  if (fd_ >= 0) close(fd_);  // closing releases the lock
}

}  // namespace trawlscope
