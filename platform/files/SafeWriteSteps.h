#pragma once
// The steps the safe writer takes, shared by its whole-bytes and its
// streamed forms (SafeFileWriter.h, StreamedRewrite.h); not for other callers.
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files/FileIdentity.h"
#include "platform/files/FileOps.h"
#include "platform/files/SafeFileWriter.h"

namespace trawlscope::safewrite {

// In the names of temporary files: ".NAME.trawlscope-XXXXXX".
inline constexpr std::string_view kTemporaryMark = ".trawlscope-";

// A temporary file beside the target, removed again unless it was renamed over it.
class TemporaryFile {
 public:
  TemporaryFile(IFileOps& ops, const std::string& target);
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  int Fd() const { return fd_; }
  int Error() const { return error_; }
  // Flushes and closes the file; `placed` is what the target will be once it is renamed.
  bool Finish(FileIdentity& placed, int& error);
  bool RenameOver(const std::string& target, int& error, bool overAnything = true);

 private:
  IFileOps& ops_;
  std::string path_;
  int fd_;
  int error_;
  bool created_;
  bool renamed_ = false;
};

// The file a descriptor holds, whatever name it has by now.
class HeldFile {
 public:
  HeldFile(IFileOps& ops, const std::string& path);
  ~HeldFile();
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  int Fd() const { return fd_; }

 private:
  IFileOps& ops_;
  int fd_;
};

// What the new file takes over from the one it replaces.
struct Replacing {
  const FileIdentity& atPath;  // what the path must still name at the rename
  const FileIdentity& keep;    // mode, owner and group
  int attributesFrom;          // descriptor whose extended attributes are copied
};

bool ChangedSince(IFileOps& ops, const std::string& path, const FileIdentity& asRead);
bool HeldChangedSince(IFileOps& ops, int fd, const FileIdentity& asRead);

// The file a user's path names, links followed, and its state, or why it
// may not be rewritten (not found, not a regular file, read-only).
WriteResult FindTarget(IFileOps& ops, const std::string& nativePath, std::string& target, struct stat& info);

// The temporary file, holding the new bytes, takes the target's place
// (`replacing`), or becomes a new file of `newMode`: over whatever stands at
// the target unless `overAnything` is false.
WriteResult PlaceTemporary(IFileOps& ops, TemporaryFile& temporary, const std::string& target,
                           const Replacing* replacing, FileIdentity& placed, mode_t newMode,
                           bool overAnything = true);

// After a rename that came too late to see a write into the old file: its
// bytes as they are now go back in its place.
WriteResult PutBack(IFileOps& ops, const std::string& target, int original, FileIdentity atPath);

// Copies `count` bytes of `from` at `fromOffset` to `to` at `toOffset`
// (at its position when negative); false with `error` set, EIO when `from`
// ended early.
bool CopyBytes(IFileOps& ops, int from, std::uint64_t fromOffset, int to, off_t toOffset, std::uint64_t count,
               int& error);

}  // namespace trawlscope::safewrite
