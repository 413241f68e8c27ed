#include "platform/journal/PrivateFolder.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <set>
#include <vector>

#include "platform/files/Folders.h"
#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

constexpr mode_t kPrivateFolder = 0700;
constexpr mode_t kOthersBits = 0077;
constexpr mode_t kOthersWriteBits = 0022;
constexpr uid_t kRoot = 0;

// The folders of `path` from the root down, `path` last.
std::vector<std::string> FoldersDown(const std::string& path) {
  std::vector<std::string> folders{path};
  for (std::string at = path; NativeFolderOf(at) != at;) {
    at = NativeFolderOf(at);
    folders.insert(folders.begin(), at);
  }
  return folders;
}

FolderCheck Above(FolderTrust trust, const std::string& path, int error = 0) { return {trust, error, path, true}; }

// One folder above the journal, as it is (no link).
FolderCheck CheckFolderAbove(const std::string& folder, IFileOps& ops) {
  struct stat info;
  if (ops.StatAt(AT_FDCWD, folder.c_str(), &info) != 0) return Above(FolderTrust::Unusable, folder, errno);
  if (!S_ISDIR(info.st_mode)) return Above(FolderTrust::NotAFolder, folder, ENOTDIR);
  if (info.st_uid != geteuid() && info.st_uid != kRoot) return Above(FolderTrust::NotOwned, folder);
  const bool rootsSticky = info.st_uid == kRoot && (info.st_mode & S_ISVTX) != 0;
  if ((info.st_mode & kOthersWriteBits) != 0 && !rootsSticky) return Above(FolderTrust::OpenToOthers, folder);
  return {};
}

// Every folder above `folder` that exists, as named and as its links lead,
// from the root down: whoever may change one may move the journal away, or
// put their own in its place.
FolderCheck CheckFoldersAbove(const std::string& folder, IFileOps& ops) {
  std::set<std::string> checked;
  std::vector<std::string> named = FoldersDown(NativeFolderOf(folder));
  for (const std::string& at : named) {
    struct stat info;
    if (ops.StatAt(AT_FDCWD, at.c_str(), &info) != 0) {
      if (errno == ENOENT) break;  // made below here, as private as the journal
      return Above(FolderTrust::Unusable, at, errno);
    }
    // Only whoever may write its folder can change a link, and that folder was checked first.
    if (S_ISLNK(info.st_mode) && info.st_uid != geteuid() && info.st_uid != kRoot)
      return Above(FolderTrust::NotOwned, at);
    std::string real;
    if (ops.ResolvePath(at.c_str(), real) != 0)
      return Above(errno == ENOTDIR ? FolderTrust::NotAFolder : FolderTrust::Unusable, at, errno);
    for (const std::string& step : FoldersDown(real)) {
      if (!checked.insert(step).second) continue;
      if (FolderCheck check = CheckFolderAbove(step, ops); !check) return check;
    }
  }
  return {};
}

}  // namespace

FolderCheck CheckPrivateFolder(const std::string& folder, IFileOps& ops) {
  struct stat info;
  if (folder.empty()) return {FolderTrust::Unusable, ENOENT, folder};
  // First: a journal that another user moved away is no proof that there is nothing to undo.
  if (FolderCheck above = CheckFoldersAbove(folder, ops); !above) return above;
  if (ops.StatAt(AT_FDCWD, folder.c_str(), &info) != 0) return {FolderTrust::Unusable, errno, folder};
  if (!S_ISDIR(info.st_mode)) return {FolderTrust::NotAFolder, ENOTDIR, folder};
  if (info.st_uid != geteuid()) return {FolderTrust::NotOwned, 0, folder};
  if ((info.st_mode & kOthersBits) != 0) return {FolderTrust::OpenToOthers, 0, folder};
  return {FolderTrust::Private, 0, folder};
}

FolderCheck MakePrivateFolder(const std::string& folder, IFileOps& ops) {
  // Nothing is made under a folder that is not safe.
  if (FolderCheck above = CheckFoldersAbove(folder, ops); !above) return above;
  if (const Outcome<> made = MakeFolders(folder, kPrivateFolder, ops); !made) {
    // A link or a file where the folder should be says more than the errno.
    struct stat info;
    if (ops.StatAt(AT_FDCWD, folder.c_str(), &info) == 0 && !S_ISDIR(info.st_mode))
      return {FolderTrust::NotAFolder, ENOTDIR, folder};
    return {FolderTrust::Unusable, made.Failure().error, folder};
  }
  return CheckPrivateFolder(folder, ops);
}

}  // namespace trawlscope
