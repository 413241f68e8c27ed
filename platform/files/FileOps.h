#pragma once
// Every system call the safe writer makes goes through this seam, so that
// tests can make any one of them fail (a short write, a full disk, a failed
// flush or rename) and check that the user's file survives.
#include <sys/stat.h>
#include <sys/types.h>

#include <string>

namespace trawlscope {

// Each call returns what the system call returns and leaves errno as it set it.
class IFileOps {
 public:
  virtual ~IFileOps() = default;
  virtual int Open(const char* path, int flags, mode_t mode = 0) = 0;
  // Creates and opens a new file from a "...XXXXXX" template, exclusively.
  virtual int CreateTemporary(std::string& pathTemplate) = 0;
  virtual ssize_t PRead(int fd, void* data, size_t size, off_t offset) = 0;
  virtual ssize_t Write(int fd, const void* data, size_t size) = 0;
  virtual ssize_t PWrite(int fd, const void* data, size_t size, off_t offset) = 0;
  virtual int Reserve(int fd, off_t size) = 0;  // room on disk without a change of size
  virtual int Truncate(int fd, off_t size) = 0;
  virtual int Sync(int fd) = 0;
  virtual int Close(int fd) = 0;
  virtual int Rename(const char* from, const char* to) = 0;
  // The same, but only while nothing stands at `to`, not even a link: EEXIST otherwise.
  virtual int RenameNoReplace(const char* from, const char* to) = 0;
  virtual int Unlink(const char* path) = 0;
  virtual int Stat(const char* path, struct stat* info) = 0;
  virtual int FStat(int fd, struct stat* info) = 0;
  virtual int ChangeMode(int fd, mode_t mode) = 0;
  virtual int ChangeOwner(int fd, uid_t owner, gid_t group) = 0;
  virtual int CopyExtendedAttributes(int fromFd, int toFd) = 0;
};

// The real calls. Any thread.
IFileOps& SystemFileOps();

}  // namespace trawlscope
