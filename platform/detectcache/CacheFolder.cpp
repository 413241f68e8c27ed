#include "platform/detectcache/CacheFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace trawlscope {
namespace {

constexpr mode_t kPrivateFolder = 0700;
constexpr mode_t kOthersBits = 0077;

bool MakeFolders(const std::string& folder) {
  if (folder.empty() || folder == "/") return false;
  if (mkdir(folder.c_str(), kPrivateFolder) == 0 || errno == EEXIST) return true;
  if (errno != ENOENT) return false;
  const size_t slash = folder.find_last_of('/');
  if (slash == std::string::npos || slash == 0 || !MakeFolders(folder.substr(0, slash))) return false;
  return mkdir(folder.c_str(), kPrivateFolder) == 0 || errno == EEXIST;
}

}  // namespace

std::string CacheFolder(const char* xdgCacheHome, const char* home) {
  if (xdgCacheHome != nullptr && xdgCacheHome[0] == '/') return std::string(xdgCacheHome) + "/trawlscope";
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/trawlscope";
  return {};
}

std::string CurrentCacheFolder() { return CacheFolder(std::getenv("XDG_CACHE_HOME"), std::getenv("HOME")); }

int OpenPrivateCacheFolder(const std::string& folder) {
  if (!MakeFolders(folder)) return -1;
  // O_NOFOLLOW: a link put in the folder's place would send the cache elsewhere.
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid() ||
      (info.st_mode & kOthersBits) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace trawlscope
