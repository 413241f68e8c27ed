#pragma once
// The real system calls, each a virtual that a fault-injecting fake
// overrides for the few calls it changes; the rest reach the system as they are.
#include "platform/files/FileOps.h"

namespace trawlscope::test {

class ForwardingFileOps : public IFileOps {
 public:
  int Open(const char* path, int flags, mode_t mode) override { return real_.Open(path, flags, mode); }
  int OpenFolder(const char* path) override { return real_.OpenFolder(path); }
  int OpenAt(int folder, const char* name, int flags, mode_t mode) override {
    return real_.OpenAt(folder, name, flags, mode);
  }
  int CreateTemporaryAt(int folder, std::string& nameTemplate) override {
    return real_.CreateTemporaryAt(folder, nameTemplate);
  }
  ssize_t PRead(int fd, void* data, size_t size, off_t offset) override { return real_.PRead(fd, data, size, offset); }
  ssize_t Write(int fd, const void* data, size_t size) override { return real_.Write(fd, data, size); }
  ssize_t PWrite(int fd, const void* data, size_t size, off_t offset) override {
    return real_.PWrite(fd, data, size, offset);
  }
  int Reserve(int fd, off_t size) override { return real_.Reserve(fd, size); }
  int Truncate(int fd, off_t size) override { return real_.Truncate(fd, size); }
  int Sync(int fd) override { return real_.Sync(fd); }
  int Close(int fd) override { return real_.Close(fd); }
  int Rename(const char* from, const char* to) override { return real_.Rename(from, to); }
  int RenameAt(int folder, const char* from, const char* to) override { return real_.RenameAt(folder, from, to); }
  int RenameNoReplaceAt(int folder, const char* from, const char* to) override {
    return real_.RenameNoReplaceAt(folder, from, to);
  }
  int Unlink(const char* path) override { return real_.Unlink(path); }
  int UnlinkAt(int folder, const char* name) override { return real_.UnlinkAt(folder, name); }
  int Stat(const char* path, struct stat* info) override { return real_.Stat(path, info); }
  int StatAt(int folder, const char* name, struct stat* info) override { return real_.StatAt(folder, name, info); }
  int FStat(int fd, struct stat* info) override { return real_.FStat(fd, info); }
  int ChangeMode(int fd, mode_t mode) override { return real_.ChangeMode(fd, mode); }
  int ChangeOwner(int fd, uid_t owner, gid_t group) override { return real_.ChangeOwner(fd, owner, group); }
  int CopyExtendedAttributes(int from, int to) override { return real_.CopyExtendedAttributes(from, to); }
  int MakeFolderAt(int folder, const char* name, mode_t mode) override { return real_.MakeFolderAt(folder, name, mode); }
  int RemoveFolderAt(int folder, const char* name) override { return real_.RemoveFolderAt(folder, name); }
  int Lock(int fd, int operation) override { return real_.Lock(fd, operation); }
  int ListFolder(int folder, std::vector<std::string>& names) override { return real_.ListFolder(folder, names); }
  int FileSystemStats(const char* path, struct statvfs* info) override { return real_.FileSystemStats(path, info); }
  int ResolvePath(const char* path, std::string& resolved) override { return real_.ResolvePath(path, resolved); }

 protected:
  IFileOps& real_ = SystemFileOps();
};

}  // namespace trawlscope::test
