#include "platform/journal/JournalLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/SystemCalls.h"
#include "platform/journal/PrivateFolder.h"

namespace trawlscope {
namespace {

constexpr mode_t kPrivateFile = 0600;

Outcome<> TakeLock(const std::string& folder, IFileOps& ops, FileDescriptor& file) {
  if (const FolderCheck check = MakePrivateFolder(folder, ops); !check)
    return FileError::System(FileStep::MakeFolder, check.error != 0 ? check.error : EPERM);
  file = FileDescriptor(ops.Open((folder + "/lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kPrivateFile), ops);
  if (!file.Valid()) return FileError::System(FileStep::Lock, errno);
  if (RetryOnInterrupt([&] { return ops.Lock(file.Fd(), LOCK_EX); }) != 0) return FileError::System(FileStep::Lock, errno);
  return Done();
}

}  // namespace

JournalLock::JournalLock(const std::string& folder, IFileOps& ops) : taken_(TakeLock(folder, ops, file_)) {}

}  // namespace trawlscope
