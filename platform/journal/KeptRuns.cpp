#include "platform/journal/KeptRuns.h"

#include <fcntl.h>
#include <sys/file.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>
#include <unordered_set>

#include "platform/files/FileDescriptor.h"
#include "platform/files/Folders.h"
#include "platform/files/NativePath.h"
#include "platform/files/SafeFileWriter.h"
#include "platform/files/SystemCalls.h"
#include "platform/journal/ContentHash.h"
#include "platform/journal/RunLog.h"
#include "platform/journal/UndoLog.h"

namespace trawlscope {
namespace {

// A folder that never got a record, left by a process that ended, is
// removed after this long; a younger one may belong to a run just starting.
constexpr std::time_t kUnfinishedRunAge = 24 * 60 * 60;

std::uint64_t BytesIn(const std::string& folder, IFileOps& ops) {
  std::uint64_t total = 0;
  const Outcome<std::vector<std::string>> names = FolderNames(folder, ops);
  if (!names) return 0;
  for (const std::string& name : names.Value()) {
    struct stat info;
    if (ops.Stat((folder + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
      total += static_cast<std::uint64_t>(info.st_size);
  }
  return total;
}

bool Exists(const std::string& path, IFileOps& ops) {
  struct stat info;
  return ops.StatAt(AT_FDCWD, path.c_str(), &info) == 0;
}

bool HasRecord(const std::string& folder, IFileOps& ops) {
  return Exists(folder + "/" + kRunLogName, ops) || Exists(folder + "/" + kManifestName, ops);
}

// A run's process holds its record locked until the run ends.
bool GoingOn(const std::string& folder, IFileOps& ops) {
  const FileDescriptor record(ops.Open((folder + "/" + kRunLogName).c_str(), O_RDONLY | O_CLOEXEC), ops);
  return record.Valid() && ops.Lock(record.Fd(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

bool IsOld(const std::string& folder, IFileOps& ops) {
  struct stat info;
  return ops.Stat(folder.c_str(), &info) == 0 && std::time(nullptr) - info.st_mtime > kUnfinishedRunAge;
}

std::vector<std::string> RunFolderNames(const std::string& journalFolder, IFileOps& ops) {
  Outcome<std::vector<std::string>> listed = FolderNames(journalFolder, ops);
  if (!listed) return {};
  std::vector<std::string> names;
  for (std::string& name : listed.Value()) {
    struct stat info;
    if (ops.StatAt(AT_FDCWD, (journalFolder + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode))
      names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), std::greater<>());
  return names;
}

// Our own regular files only: what a link names is not ours to remove.
void RemoveTemporariesBeside(const std::string& path, IFileOps& ops) {
  const std::string folder = NativeFolderOf(path);
  const std::string prefix = "." + path.substr(folder.size() + 1);
  const Outcome<std::vector<std::string>> names = FolderNames(folder, ops);
  if (!names) return;
  for (const std::string& name : names.Value()) {
    if (name.compare(0, prefix.size(), prefix) != 0 || !IsWritersTemporaryName(name)) continue;
    const std::string temporary = folder + "/" + name;
    struct stat info;
    if (ops.StatAt(AT_FDCWD, temporary.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid())
      ops.Unlink(temporary.c_str());
  }
}

// The temporary files a write killed half-way left beside `path`, and beside
// the file it is a link to, where a link's file is written.
void RemoveLeftTemporaries(const std::string& path, IFileOps& ops) {
  RemoveTemporariesBeside(path, ops);
  std::string target;
  if (ops.ResolvePath(path.c_str(), target) == 0 && path != target) RemoveTemporariesBeside(target, ops);
}

}  // namespace

std::vector<std::string> KeptRunNames(const std::string& journalFolder, IFileOps& ops) {
  std::vector<std::string> names;
  for (std::string& name : RunFolderNames(journalFolder, ops)) {
    const std::string folder = journalFolder + "/" + name;
    if (HasRecord(folder, ops) && !GoingOn(folder, ops)) names.push_back(std::move(name));
  }
  return names;
}

KeptRun ReadKeptRun(const std::string& journalFolder, const std::string& name, IFileOps& ops) {
  KeptRun run;
  run.name = name;
  run.folder = journalFolder + "/" + name;
  if (const Outcome<std::string> record = ReadOwnFile(ops, run.folder + "/" + kRunLogName))
    run.manifest = ParseRunLog(record.Value());
  else if (const Outcome<std::string> manifest = ReadOwnFile(ops, run.folder + "/" + kManifestName))
    run.manifest = ParseManifest(manifest.Value());
  if (!run.manifest) {
    run.bytes = BytesIn(run.folder, ops);
    return run;
  }
  for (const JournalEntry& file : run.manifest->files) run.bytes += file.originalSize;
  return run;
}

std::vector<KeptRun> ListKeptRuns(const std::string& journalFolder, IFileOps& ops) {
  std::vector<KeptRun> runs;
  for (const std::string& name : KeptRunNames(journalFolder, ops)) runs.push_back(ReadKeptRun(journalFolder, name, ops));
  return runs;
}

bool OriginalsIntact(const KeptRun& run, IFileOps& ops) {
  if (!run.manifest) return false;
  for (const JournalEntry& file : run.manifest->files) {
    // Hashed a piece at a time: an original may be of gigabytes.
    const FileDescriptor original(
        ops.Open((run.folder + "/" + file.originalName).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK), ops);
    if (!original.Valid()) return false;
    struct stat info;
    if (ops.FStat(original.Fd(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uint64_t>(info.st_size) != file.originalSize)
      return false;
    const Outcome<std::string> hash = ContentHashOfFile(original.Fd(), ops);
    if (!hash || hash.Value() != file.originalHash) return false;
  }
  return true;
}

Outcome<> RemoveRunFolder(const std::string& folder, IFileOps& ops) { return RemoveFolderTree(folder, ops); }

Outcome<> RewriteRun(const KeptRun& run, const RunManifest& manifest, IFileOps& ops) {
  if (manifest.files.empty()) return RemoveRunFolder(run.folder, ops);
  const Outcome<FileIdentity> written = WritePrivateFile(run.folder + "/" + kRunLogName, RunLogBytes(manifest), ops);
  if (!written) return written.Failure();
  ops.Unlink((run.folder + "/" + kManifestName).c_str());
  // Originals no longer named go with it.
  std::unordered_set<std::string> named;
  for (const JournalEntry& file : manifest.files) named.insert(file.originalName);
  const Outcome<std::vector<std::string>> names = FolderNames(run.folder, ops);
  if (!names) return Done();  // the record is right; what stays over is only room
  for (const std::string& name : names.Value())
    if (IsOriginalName(name) && named.count(name) == 0) ops.Unlink((run.folder + "/" + name).c_str());
  return Done();
}

void SettleAbandonedRuns(const JournalPlace& place, IFileOps& ops) {
  // An undo killed before its end: its record goes only once its files are gone.
  for (const std::string& file : AbandonedUndoFiles(place.folder, ops)) RemoveLeftTemporaries(file, ops);
  RemoveAbandonedUndoLog(place.folder, ops);
  for (const KeptRun& run : ListKeptRuns(place.folder, ops)) {
    if (!run.manifest || run.manifest->finished) continue;
    for (const JournalEntry& file : run.manifest->files) RemoveLeftTemporaries(file.path, ops);
    RunManifest ended = *run.manifest;
    ended.finished = true;
    // One that cannot be ended now is tried again by the next run.
    static_cast<void>(RewriteRun(run, ended, ops));
  }
}

void PruneRuns(const JournalPlace& place, IFileOps& ops) {
  std::uint64_t kept = 0;
  int count = 0;
  bool full = false;  // once a run is dropped, every older one goes too
  // A run that cannot be removed now is tried again by the next prune.
  for (const KeptRun& run : ListKeptRuns(place.folder, ops)) {
    full = full || count >= place.maxRuns || kept + run.bytes > place.maxBytes;
    if (!full) {
      ++count;
      kept += run.bytes;
    } else {
      static_cast<void>(RemoveRunFolder(run.folder, ops));
    }
  }
  for (const std::string& name : RunFolderNames(place.folder, ops)) {
    const std::string folder = place.folder + "/" + name;
    if (!HasRecord(folder, ops) && IsOld(folder, ops)) static_cast<void>(RemoveRunFolder(folder, ops));
  }
}

}  // namespace trawlscope
