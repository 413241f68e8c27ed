#pragma once
// The steps the safe writer takes, shared by its whole-bytes and its
// streamed forms (SafeFileWriter.h, StreamedRewrite.h); not for other callers.
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files/FileDescriptor.h"
#include "platform/files/FileIdentity.h"
#include "platform/files/FileOps.h"
#include "platform/files/Outcome.h"
#include "platform/files/SafeFileWriter.h"

namespace trawlscope::safewrite {

// In the names of temporary files: ".NAME.trawlscope-XXXXXX".
inline constexpr std::string_view kTemporaryMark = ".trawlscope-";

// The file a write is aimed at: the folder holding it, held open once it
// was reached without a link anywhere on its path, and its name there.
// Every later step works from that descriptor and never follows a link in
// the name, so a folder or a name swapped for a link after the checks
// cannot lead the write to another file.
class Target {
 public:
  explicit Target(IFileOps& ops) : ops_(ops) {}
  Target(const Target&) = delete;
  Target& operator=(const Target&) = delete;
  // Opens the folder `folderPath` (links resolved already) for the file `name`.
  bool Open(const std::string& folderPath, const std::string& name);
  int Folder() const { return folder_.Fd(); }
  const std::string& Name() const { return name_; }

 private:
  IFileOps& ops_;
  FileDescriptor folder_;
  std::string name_;
};

// A temporary file beside the target, removed again unless it was renamed over it.
class TemporaryFile {
 public:
  TemporaryFile(IFileOps& ops, const Target& target);
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  // Makes the file, once, before anything else is asked of it.
  Outcome<> Create();
  int Fd() const { return fd_.Fd(); }
  // Flushes and closes the file: what the target will be once it is renamed.
  Outcome<FileIdentity> Finish();
  // Over whatever stands at the target's name, or only where nothing does.
  Outcome<> RenameOver(bool overAnything = true);

 private:
  IFileOps& ops_;
  const Target& target_;
  std::string name_;
  FileDescriptor fd_;
  bool created_ = false;
  bool renamed_ = false;
};

// The file a descriptor holds, whatever name it has by now.
class HeldFile {
 public:
  HeldFile(IFileOps& ops, const Target& target);
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  int Fd() const { return fd_.Fd(); }

 private:
  FileDescriptor fd_;
};

// What the new file takes over from the one it replaces.
struct Replacing {
  const FileIdentity& atPath;  // what the path must still name at the rename
  const FileIdentity& keep;    // mode, owner and group
  int attributesFrom;          // descriptor whose extended attributes are copied
};

bool ChangedSince(IFileOps& ops, const Target& target, const FileIdentity& asRead);
bool HeldChangedSince(IFileOps& ops, int fd, const FileIdentity& asRead);

// The file a user's path names and its state, or why it may not be
// rewritten (not found, a link not to be followed, not a regular file,
// read-only). A followed link is resolved once, here.
Outcome<> FindTarget(IFileOps& ops, const std::string& nativePath, Links links, Target& target,
                     struct stat& info);

// The place of a file that may not exist yet (the output file, the journal's),
// its folder's links resolved once.
Outcome<> FindPlace(IFileOps& ops, const std::string& nativePath, Target& target);

// Writing into a file clears its set-user-ID and set-group-ID bits unless
// the writer may keep them; its owner may set them again afterwards, the
// set-group-ID bit only as a member of the file's group. False when the
// bits would be lost for good.
bool InPlaceKeepsSpecialBits(const struct stat& info);
// After writing into the file: its special bits set again as `mode` had them.
void RestoreSpecialBits(IFileOps& ops, int fd, mode_t mode);

// The temporary file, holding the new bytes, takes the target's place
// (`replacing`), or becomes a new file of `newMode`: over whatever stands at
// the target unless `overAnything` is false. What now stands there.
Outcome<FileIdentity> PlaceTemporary(IFileOps& ops, TemporaryFile& temporary, const Target& target,
                                     const Replacing* replacing, mode_t newMode, bool overAnything = true);

// After a rename that came too late to see a write into the old file: its
// bytes as they are now go back in its place.
// It always fails: with ChangedDuringWrite once the old content stands again.
Outcome<FileIdentity> PutBack(IFileOps& ops, const Target& target, int original, FileIdentity atPath);

// Copies `count` bytes of `from` at `fromOffset` to `to` at `toOffset`
// (at its position when negative); fails at FileStep::Write, with EIO when
// `from` ended early.
Outcome<> CopyBytes(IFileOps& ops, int from, std::uint64_t fromOffset, int to, off_t toOffset, std::uint64_t count);

}  // namespace trawlscope::safewrite
