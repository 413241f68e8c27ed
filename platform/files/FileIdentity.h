#pragma once
// What a file was when it was read, so that a rewrite can tell whether it
// changed behind the program's back, and keep its permissions and links.
#include <sys/stat.h>

namespace trawlscope {

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  nlink_t links = 0;
  mode_t mode = 0;
  uid_t owner = 0;
  gid_t group = 0;
  // The inode's change time, which no call can set back: a file rewritten
  // and given its old modification time again still shows a new one.
  timespec changed{};

  static FileIdentity Of(const struct stat& info) {
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_nlink,
            info.st_mode, info.st_uid, info.st_gid, info.st_ctim};
  }
  // Same file, same size, same modification time to the nanosecond.
  bool Unchanged(const FileIdentity& now) const {
    return device == now.device && inode == now.inode && size == now.size &&
           modified.tv_sec == now.modified.tv_sec && modified.tv_nsec == now.modified.tv_nsec;
  }
};

}  // namespace trawlscope
