#include "platform/files/Folders.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/files/FileDescriptor.h"
#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

Outcome<> RemoveTreeAt(int parent, const char* name, IFileOps& ops) {
  const FileDescriptor folder(ops.OpenAt(parent, name, kFolderFlags), ops);
  if (!folder.Valid()) {
    if (errno == ENOENT) return Done();
    // A file or a link stands there: it goes as it is.
    if (errno != ENOTDIR && errno != ELOOP) return FileError::System(FileStep::List, errno);
    if (ops.UnlinkAt(parent, name) != 0 && errno != ENOENT) return FileError::System(FileStep::Save, errno);
    return Done();
  }
  std::vector<std::string> names;
  if (ops.ListFolder(folder.Fd(), names) != 0) return FileError::System(FileStep::List, errno);
  Outcome<> outcome = Done();
  for (const std::string& entry : names) {
    struct stat info;
    const bool isFolder = ops.StatAt(folder.Fd(), entry.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    Outcome<> removed = Done();
    if (isFolder)
      removed = RemoveTreeAt(folder.Fd(), entry.c_str(), ops);
    else if (ops.UnlinkAt(folder.Fd(), entry.c_str()) != 0 && errno != ENOENT)
      removed = FileError::System(FileStep::Save, errno);
    // As much goes as can: the first failure is the one told.
    if (!removed && outcome) outcome = removed;
  }
  if (ops.RemoveFolderAt(parent, name) != 0 && errno != ENOENT && outcome)
    outcome = FileError::System(FileStep::Save, errno);
  return outcome;
}

}  // namespace

Outcome<> MakeFolders(const std::string& folder, mode_t mode, IFileOps& ops) {
  if (folder.empty()) return FileError::System(FileStep::MakeFolder, ENOENT);
  if (ops.MakeFolderAt(AT_FDCWD, folder.c_str(), mode) == 0 || errno == EEXIST) return Done();
  if (errno != ENOENT) return FileError::System(FileStep::MakeFolder, errno);
  const std::string parent = NativeFolderOf(folder);
  if (parent == folder) return FileError::System(FileStep::MakeFolder, ENOENT);
  if (Outcome<> above = MakeFolders(parent, mode, ops); !above) return above;
  if (ops.MakeFolderAt(AT_FDCWD, folder.c_str(), mode) == 0 || errno == EEXIST) return Done();
  return FileError::System(FileStep::MakeFolder, errno);
}

Outcome<std::vector<std::string>> FolderNames(const std::string& folder, IFileOps& ops) {
  const FileDescriptor fd(ops.Open(folder.c_str(), kFolderFlags), ops);
  if (!fd.Valid()) return FileError::System(FileStep::List, errno);
  std::vector<std::string> names;
  if (ops.ListFolder(fd.Fd(), names) != 0) return FileError::System(FileStep::List, errno);
  return names;
}

Outcome<> RemoveFolderTree(const std::string& folder, IFileOps& ops) {
  if (folder.empty()) return Done();
  return RemoveTreeAt(AT_FDCWD, folder.c_str(), ops);
}

}  // namespace trawlscope
