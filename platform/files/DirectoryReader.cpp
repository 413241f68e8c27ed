#include "platform/files/DirectoryReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace trawlscope {
namespace {

EntryKind KindOfLinkTarget(int folderFd, const char* name) {
  struct stat target;
  if (fstatat(folderFd, name, &target, 0) != 0) return EntryKind::Other;
  if (S_ISREG(target.st_mode)) return EntryKind::RegularFile;
  if (S_ISDIR(target.st_mode)) return EntryKind::LinkToFolder;
  return EntryKind::Other;
}

EntryKind KindFromMode(mode_t mode, int folderFd, const char* name) {
  if (S_ISREG(mode)) return EntryKind::RegularFile;
  if (S_ISDIR(mode)) return EntryKind::Folder;
  if (S_ISLNK(mode)) return KindOfLinkTarget(folderFd, name);
  return EntryKind::Other;
}

// d_type saves a stat per entry on most file systems; some report DT_UNKNOWN.
EntryKind KindOfEntry(const dirent& entry, int folderFd) {
  switch (entry.d_type) {
    case DT_REG: return EntryKind::RegularFile;
    case DT_DIR: return EntryKind::Folder;
    case DT_LNK: return KindOfLinkTarget(folderFd, entry.d_name);
    case DT_UNKNOWN: {
      struct stat own;
      if (fstatat(folderFd, entry.d_name, &own, AT_SYMLINK_NOFOLLOW) != 0) return EntryKind::Other;
      return KindFromMode(own.st_mode, folderFd, entry.d_name);
    }
    default: return EntryKind::Other;
  }
}

}  // namespace

bool ReadDirectory(const std::string& nativeFolder, std::vector<DirectoryEntry>& entries) {
  entries.clear();
  DIR* folder = opendir(nativeFolder.c_str());
  if (folder == nullptr) return false;
  const int folderFd = dirfd(folder);
  while (const dirent* entry = readdir(folder)) {
    const char* name = entry->d_name;
    if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
    entries.push_back({name, KindOfEntry(*entry, folderFd)});
  }
  closedir(folder);
  return true;
}

PathKind KindOfPath(const std::string& nativePath) {
  struct stat info;
  if (stat(nativePath.c_str(), &info) != 0) return PathKind::Missing;
  if (S_ISREG(info.st_mode)) return PathKind::RegularFile;
  if (S_ISDIR(info.st_mode)) return PathKind::Folder;
  if (S_ISFIFO(info.st_mode)) return PathKind::Fifo;
  if (S_ISSOCK(info.st_mode)) return PathKind::Socket;
  return PathKind::Device;  // character or block: no other kind is left
}

std::optional<FileStamp> StampOfPath(const std::string& nativePath) {
  struct stat info;
  if (stat(nativePath.c_str(), &info) != 0) return std::nullopt;
  return FileStamp{static_cast<std::uint64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtime)};
}

}  // namespace trawlscope
