#pragma once
// Every system call the safe writer makes goes through this seam, so that
// tests can make any one of them fail (a short write, a full disk, a failed
// flush or rename) and check that the user's file survives. The writer works
// from a folder's descriptor (the "At" forms), none of which follows a link
// in the name it is given.
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace trawlscope {

// Each call returns what the system call returns and leaves errno as it set it.
// The journal and the cache of detected pages go through it too: making
// their folders, taking their locks, listing and pruning what they keep.
class IFileOps {
 public:
  virtual ~IFileOps() = default;
  virtual int Open(const char* path, int flags, mode_t mode = 0) = 0;
  // A folder, for reading and as the base of the "At" forms, reached
  // without following a symbolic link anywhere on `path` (ELOOP when one is).
  virtual int OpenFolder(const char* path) = 0;
  virtual int OpenAt(int folder, const char* name, int flags, mode_t mode = 0) = 0;
  // Creates and opens a new file in `folder` from a "...XXXXXX" name
  // template, exclusively, readable and writable by its owner only.
  virtual int CreateTemporaryAt(int folder, std::string& nameTemplate) = 0;
  virtual ssize_t PRead(int fd, void* data, size_t size, off_t offset) = 0;
  virtual ssize_t Write(int fd, const void* data, size_t size) = 0;
  virtual ssize_t PWrite(int fd, const void* data, size_t size, off_t offset) = 0;
  virtual int Reserve(int fd, off_t size) = 0;  // room on disk without a change of size
  virtual int Truncate(int fd, off_t size) = 0;
  virtual int Sync(int fd) = 0;
  virtual int Close(int fd) = 0;
  virtual int Rename(const char* from, const char* to) = 0;
  virtual int RenameAt(int folder, const char* from, const char* to) = 0;
  // The same, but only while nothing stands at `to`, not even a link: EEXIST otherwise.
  virtual int RenameNoReplaceAt(int folder, const char* from, const char* to) = 0;
  virtual int Unlink(const char* path) = 0;
  virtual int UnlinkAt(int folder, const char* name) = 0;
  virtual int Stat(const char* path, struct stat* info) = 0;
  virtual int StatAt(int folder, const char* name, struct stat* info) = 0;  // a link itself
  virtual int FStat(int fd, struct stat* info) = 0;
  virtual int ChangeMode(int fd, mode_t mode) = 0;
  virtual int ChangeOwner(int fd, uid_t owner, gid_t group) = 0;
  virtual int CopyExtendedAttributes(int fromFd, int toFd) = 0;
  // `folder` may be AT_FDCWD, `name` then a path.
  virtual int MakeFolderAt(int folder, const char* name, mode_t mode) = 0;
  virtual int RemoveFolderAt(int folder, const char* name) = 0;  // an empty one
  // flock(2): LOCK_SH or LOCK_EX, with LOCK_NB or without.
  virtual int Lock(int fd, int operation) = 0;
  // The names in the folder open as `folder`, "." and ".." left out, in the
  // order the file system gives them.
  virtual int ListFolder(int folder, std::vector<std::string>& names) = 0;
  // statvfs(2) of the file system `path` is on.
  virtual int FileSystemStats(const char* path, struct statvfs* info) = 0;
  // realpath(3): `resolved` gets the path with every link on it resolved.
  virtual int ResolvePath(const char* path, std::string& resolved) = 0;
};

// The real calls. Any thread.
IFileOps& SystemFileOps();

}  // namespace trawlscope
