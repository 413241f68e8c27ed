#include "platform/journal/PrivateFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

constexpr mode_t kPrivateFolder = 0700;
constexpr mode_t kOthersBits = 0077;

bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return false;
  if (mkdir(folder.c_str(), kPrivateFolder) == 0 || errno == EEXIST) return true;
  if (errno != ENOENT) return false;
  const std::string parent = NativeFolderOf(folder);
  if (parent == folder || !MakeFolders(parent)) return false;
  return mkdir(folder.c_str(), kPrivateFolder) == 0 || errno == EEXIST;
}

}  // namespace

FolderCheck CheckPrivateFolder(const std::string& folder) {
  struct stat info;
  if (folder.empty()) return {FolderTrust::Unusable, ENOENT, folder};
  if (lstat(folder.c_str(), &info) != 0) return {FolderTrust::Unusable, errno, folder};
  if (!S_ISDIR(info.st_mode)) return {FolderTrust::NotAFolder, ENOTDIR, folder};
  if (info.st_uid != geteuid()) return {FolderTrust::NotOwned, 0, folder};
  if ((info.st_mode & kOthersBits) != 0) return {FolderTrust::OpenToOthers, 0, folder};
  return {FolderTrust::Private, 0, folder};
}

FolderCheck MakePrivateFolder(const std::string& folder) {
  if (!MakeFolders(folder)) {
    const int error = errno;
    // A link or a file where the folder should be says more than the errno.
    struct stat info;
    if (lstat(folder.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) return {FolderTrust::NotAFolder, ENOTDIR, folder};
    return {FolderTrust::Unusable, error, folder};
  }
  return CheckPrivateFolder(folder);
}

}  // namespace trawlscope
