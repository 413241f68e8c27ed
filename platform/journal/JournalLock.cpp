#include "platform/journal/JournalLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

constexpr mode_t kPrivateFolder = 0700;
constexpr mode_t kPrivateFile = 0600;

}  // namespace

bool MakePrivateFolder(const std::string& folder) {
  if (folder.empty()) return false;
  if (mkdir(folder.c_str(), kPrivateFolder) == 0 || errno == EEXIST) return true;
  if (errno != ENOENT) return false;
  const std::string parent = NativeFolderOf(folder);
  if (parent == folder || !MakePrivateFolder(parent)) return false;
  return mkdir(folder.c_str(), kPrivateFolder) == 0 || errno == EEXIST;
}

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
