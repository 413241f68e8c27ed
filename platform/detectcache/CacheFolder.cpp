#include "platform/detectcache/CacheFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/files/Folders.h"

namespace trawlscope {
namespace {

constexpr mode_t kPrivateFolder = 0700;
constexpr mode_t kOthersBits = 0077;

}  // namespace

std::string CacheFolder(const char* xdgCacheHome, const char* home) {
  if (xdgCacheHome != nullptr && xdgCacheHome[0] == '/') return std::string(xdgCacheHome) + "/trawlscope";
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/trawlscope";
  return {};
}

std::string CurrentCacheFolder() { return CacheFolder(std::getenv("XDG_CACHE_HOME"), std::getenv("HOME")); }

Outcome<FileDescriptor> OpenPrivateCacheFolder(const std::string& folder, IFileOps& ops) {
  if (folder.empty() || folder == "/") return FileError::System(FileStep::MakeFolder, ENOENT);
  if (Outcome<> made = MakeFolders(folder, kPrivateFolder, ops); !made) return made.Failure();
  // O_NOFOLLOW: a link put in the folder's place would send the cache elsewhere.
  FileDescriptor fd(ops.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC), ops);
  if (!fd.Valid()) return FileError::System(FileStep::Open, errno);
  struct stat info;
  if (ops.FStat(fd.Fd(), &info) != 0) return FileError::System(FileStep::Open, errno);
  if (!S_ISDIR(info.st_mode) || info.st_uid != geteuid() || (info.st_mode & kOthersBits) != 0)
    return FileError::System(FileStep::Open, EPERM);
  return fd;
}

}  // namespace trawlscope
