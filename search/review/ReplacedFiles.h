#pragma once
// The files a replace run has taken, so that it changes each file once
// however many names reach it: a hard link, a path named twice, a link to a
// file, or "a//b" beside "a/b". Any thread.
#include <sys/types.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "platform/files/FileIdentity.h"

namespace trawlscope {

class ReplacedFiles {
 public:
  // False when the file (by its resolved path, or its device and inode) was
  // taken already. Asked just before a file is written: the first to ask writes it.
  bool Take(const std::string& nativePath, const FileIdentity& asRead) {
    std::unique_ptr<char, decltype(&free)> resolved(realpath(nativePath.c_str(), nullptr), &free);
    std::lock_guard lock(mutex_);
    if (resolved && !paths_.insert(resolved.get()).second) return false;
    return files_.insert({asRead.device, asRead.inode}).second;
  }
  // The new file a write put in place: a later name of it is the same file too.
  void Placed(const FileIdentity& placed) {
    std::lock_guard lock(mutex_);
    files_.insert({placed.device, placed.inode});
  }

  // Whether the file was taken, under any name.
  bool Holds(const FileIdentity& file) {
    std::lock_guard lock(mutex_);
    return files_.count({file.device, file.inode}) > 0;
  }

 private:
  std::mutex mutex_;
  std::set<std::string> paths_;
  std::set<std::pair<dev_t, ino_t>> files_;
};

}  // namespace trawlscope
