#include "platform/files/SafeFileWriter.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "platform/files/FileDescriptor.h"
#include "platform/files/NativePath.h"
#include "platform/files/SafeWriteSteps.h"
#include "platform/files/SystemCalls.h"

namespace trawlscope {
namespace {

using namespace safewrite;

constexpr mode_t kNewFileMode = 0666;  // before the umask, as editors create files
constexpr mode_t kPrivateFileMode = 0600;
constexpr mode_t kDefaultUmask = 022;
constexpr size_t kTemporaryLetters = 6;  // mkstemp's XXXXXX

// Read, never set: umask() changes it for every thread at once, and a file
// another thread created in between would get the wrong mode.
mode_t ProcessUmask() {
  FILE* status = std::fopen("/proc/self/status", "re");
  if (status == nullptr) return kDefaultUmask;
  char line[256];
  unsigned mask = kDefaultUmask;
  while (std::fgets(line, sizeof line, status) != nullptr)
    if (std::sscanf(line, "Umask: %o", &mask) == 1) break;
  std::fclose(status);
  return static_cast<mode_t>(mask);
}

// Several names for one file: every name must see the new content, so the
// bytes go into the file itself, once room for them is sure. Should writing
// fail half-way, the old bytes are put back.
Outcome<FileIdentity> RewriteInPlace(IFileOps& ops, const Target& target, std::string_view bytes,
                                     std::string_view oldBytes, const FileIdentity& asRead, const struct stat& info) {
  if (!InPlaceKeepsSpecialBits(info)) return FileError::Refused(FileRefusal::SpecialBitsNotKept);
  const FileDescriptor file(ops.OpenAt(target.Folder(), target.Name().c_str(), O_WRONLY | O_CLOEXEC), ops);
  if (!file.Valid()) return FileError::System(FileStep::OpenForWriting, errno);
  const int fd = file.Fd();
  Outcome<FileIdentity> result = FileIdentity{};
  // Checked before reserving room, which itself touches the modification time.
  if (HeldChangedSince(ops, fd, asRead)) {
    result = FileError::Refused(FileRefusal::ChangedSinceRead);
  } else if (ops.Reserve(fd, static_cast<off_t>(bytes.size())) != 0) {
    result = FileError::System(FileStep::Reserve, errno);
  } else if (const Outcome<> written = WriteAll(ops, fd, bytes, 0); !written) {
    result = written.Failure().AtStep(FileStep::WriteInPlace);
  } else if (ops.Truncate(fd, static_cast<off_t>(bytes.size())) != 0 || ops.Sync(fd) != 0) {
    result = FileError::System(FileStep::WriteInPlace, errno);
  }
  if (!result && result.Failure().step == FileStep::WriteInPlace) {  // begun: the old bytes go back
    if (WriteAll(ops, fd, oldBytes, 0)) ops.Truncate(fd, static_cast<off_t>(oldBytes.size()));
    ops.Sync(fd);
  }
  RestoreSpecialBits(ops, fd, info.st_mode);
  struct stat after;
  if (result && ops.FStat(fd, &after) == 0) result = FileIdentity::Of(after);
  return result;
}

// `newMode` is the mode of a file that does not replace another.
Outcome<FileIdentity> WriteThroughTemporary(IFileOps& ops, const Target& target, std::string_view bytes,
                                            const Replacing* replacing, mode_t newMode = 0) {
  TemporaryFile temporary(ops, target);
  if (const Outcome<> made = temporary.Create(); !made) return made.Failure();
  if (const Outcome<> written = WriteAll(ops, temporary.Fd(), bytes); !written) return written.Failure();
  return PlaceTemporary(ops, temporary, target, replacing, newMode);
}

Outcome<FileIdentity> WriteNewFile(IFileOps& ops, const std::string& nativePath, std::string_view bytes,
                                   mode_t mode) {
  Target target(ops);
  if (const Outcome<> found = FindPlace(ops, nativePath, target); !found) return found.Failure();
  return WriteThroughTemporary(ops, target, bytes, nullptr, mode);
}

}  // namespace

Outcome<FileIdentity> RewriteFile(const std::string& nativePath, std::string_view bytes,
                                  std::string_view oldBytes, const FileIdentity& asRead, IFileOps& ops, Links links) {
  Target target(ops);
  struct stat info;
  if (const Outcome<> found = FindTarget(ops, nativePath, links, target, info); !found) return found.Failure();
  // Held until after the rename, so that writes into the old file in the
  // meantime can still be seen, and read back.
  const HeldFile original(ops, target);
  if (original.Fd() < 0) return FileError::System(FileStep::Open, errno);
  if (HeldChangedSince(ops, original.Fd(), asRead)) return FileError::Refused(FileRefusal::ChangedSinceRead);
  if (info.st_nlink > 1) return RewriteInPlace(ops, target, bytes, oldBytes, asRead, info);
  const Replacing replacing{asRead, asRead, original.Fd()};
  const Outcome<FileIdentity> placed = WriteThroughTemporary(ops, target, bytes, &replacing);
  // A new file would belong to this user (another user's file in a shared
  // folder): in place, the file stays whose it was.
  if (!placed && placed.Failure().refusal == FileRefusal::OwnerNotKept)
    return RewriteInPlace(ops, target, bytes, oldBytes, asRead, info);
  if (placed && HeldChangedSince(ops, original.Fd(), asRead))
    return PutBack(ops, target, original.Fd(), placed.Value());
  return placed;
}

bool NamesSymbolicLink(const std::string& nativePath) {
  struct stat info;
  return lstat(nativePath.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool IsWritersTemporaryName(std::string_view name) {
  const size_t tail = kTemporaryMark.size() + kTemporaryLetters;
  if (name.size() < tail + 2 || name[0] != '.') return false;
  const std::string_view letters = name.substr(name.size() - kTemporaryLetters);
  return name.substr(name.size() - tail, kTemporaryMark.size()) == kTemporaryMark &&
         std::all_of(letters.begin(), letters.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

Outcome<FileIdentity> WriteWholeFile(const std::string& nativePath, std::string_view bytes, IFileOps& ops) {
  struct stat existing;
  const mode_t mode = ops.Stat(nativePath.c_str(), &existing) == 0 ? (existing.st_mode & 07777)
                                                                   : (kNewFileMode & ~ProcessUmask());
  return WriteNewFile(ops, nativePath, bytes, mode);
}

Outcome<FileIdentity> WritePrivateFile(const std::string& nativePath, std::string_view bytes, IFileOps& ops) {
  return WriteNewFile(ops, nativePath, bytes, kPrivateFileMode);
}

namespace {

Outcome<FileIdentity> WritePrivateCopy(const std::string& nativePath, int from, std::uint64_t count, IFileOps& ops,
                                       bool overAnything) {
  Target target(ops);
  if (const Outcome<> found = FindPlace(ops, nativePath, target); !found) return found.Failure();
  TemporaryFile temporary(ops, target);
  if (const Outcome<> made = temporary.Create(); !made) return made.Failure();
  if (const Outcome<> copied = CopyBytes(ops, from, 0, temporary.Fd(), -1, count); !copied) return copied.Failure();
  return PlaceTemporary(ops, temporary, target, nullptr, kPrivateFileMode, overAnything);
}

}  // namespace

Outcome<FileIdentity> WritePrivateFileFrom(const std::string& nativePath, int from, std::uint64_t count,
                                           IFileOps& ops) {
  return WritePrivateCopy(nativePath, from, count, ops, true);
}

Outcome<FileIdentity> WriteNewPrivateFileFrom(const std::string& nativePath, int from, std::uint64_t count,
                                              IFileOps& ops) {
  return WritePrivateCopy(nativePath, from, count, ops, false);
}

}  // namespace trawlscope
