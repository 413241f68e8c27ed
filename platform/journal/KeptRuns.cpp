#include "platform/journal/KeptRuns.h"

#include <fcntl.h>
#include <sys/file.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>
#include <unordered_set>

#include "platform/files/DirectoryReader.h"
#include "platform/files/FileReader.h"
#include "platform/files/NativePath.h"
#include "platform/files/SafeFileWriter.h"
#include "platform/journal/ContentHash.h"
#include "platform/journal/RunLog.h"
#include "platform/journal/UndoLog.h"

namespace trawlscope {
namespace {

namespace fs = std::filesystem;

// A folder that never got a record, left by a process that ended, is
// removed after this long; a younger one may belong to a run just starting.
constexpr std::time_t kUnfinishedRunAge = 24 * 60 * 60;

std::uint64_t BytesIn(const fs::path& folder) {
  std::uint64_t total = 0;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    std::error_code sizeError;
    if (entry.is_regular_file(sizeError)) total += entry.file_size(sizeError);
  }
  return total;
}

bool Exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

bool HasRecord(const std::string& folder) {
  return Exists(folder + "/" + kRunLogName) || Exists(folder + "/" + kManifestName);
}

// A run's process holds its record locked until the run ends.
bool GoingOn(const std::string& folder) {
  const int fd = open((folder + "/" + kRunLogName).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool locked = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return locked;
}

bool IsOld(const fs::path& folder) {
  struct stat info;
  return stat(folder.c_str(), &info) == 0 && std::time(nullptr) - info.st_mtime > kUnfinishedRunAge;
}

std::vector<std::string> RunFolderNames(const std::string& journalFolder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(journalFolder, error)) {
    std::error_code kindError;
    if (entry.is_directory(kindError) && !entry.is_symlink(kindError))
      names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end(), std::greater<>());
  return names;
}

void RemoveTemporariesBeside(const std::string& path) {
  const std::string folder = NativeFolderOf(path);
  const std::string prefix = "." + path.substr(folder.size() + 1);
  std::vector<DirectoryEntry> entries;
  ReadDirectory(folder, entries);
  for (const DirectoryEntry& entry : entries) {
    if (entry.kind != EntryKind::RegularFile || entry.name.compare(0, prefix.size(), prefix) != 0 ||
        !IsWritersTemporaryName(entry.name))
      continue;
    const std::string temporary = folder + "/" + entry.name;
    struct stat info;
    if (lstat(temporary.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid())
      unlink(temporary.c_str());
  }
}

// The temporary files a write killed half-way left beside `path`, and beside
// the file it is a link to, where a link's file is written.
void RemoveLeftTemporaries(const std::string& path) {
  RemoveTemporariesBeside(path);
  const std::unique_ptr<char, decltype(&free)> target(realpath(path.c_str(), nullptr), &free);
  if (target && path != target.get()) RemoveTemporariesBeside(target.get());
}

}  // namespace

std::vector<std::string> KeptRunNames(const std::string& journalFolder) {
  std::vector<std::string> names;
  for (std::string& name : RunFolderNames(journalFolder)) {
    const std::string folder = journalFolder + "/" + name;
    if (HasRecord(folder) && !GoingOn(folder)) names.push_back(std::move(name));
  }
  return names;
}

KeptRun ReadKeptRun(const std::string& journalFolder, const std::string& name) {
  KeptRun run;
  run.name = name;
  run.folder = journalFolder + "/" + name;
  std::string bytes;
  if (ReadWholeFile(run.folder + "/" + kRunLogName, bytes))
    run.manifest = ParseRunLog(bytes);
  else if (ReadWholeFile(run.folder + "/" + kManifestName, bytes))
    run.manifest = ParseManifest(bytes);
  if (!run.manifest) {
    run.bytes = BytesIn(run.folder);
    return run;
  }
  for (const JournalEntry& file : run.manifest->files) run.bytes += file.originalSize;
  return run;
}

std::vector<KeptRun> ListKeptRuns(const std::string& journalFolder) {
  std::vector<KeptRun> runs;
  for (const std::string& name : KeptRunNames(journalFolder)) runs.push_back(ReadKeptRun(journalFolder, name));
  return runs;
}

bool OriginalsIntact(const KeptRun& run) {
  if (!run.manifest) return false;
  for (const JournalEntry& file : run.manifest->files) {
    // Hashed a piece at a time: an original may be of gigabytes.
    const int fd = open((run.folder + "/" + file.originalName).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat info;
    std::string hash;
    int error = 0;
    const bool intact = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                        static_cast<std::uint64_t>(info.st_size) == file.originalSize &&
                        ContentHashOfFile(fd, hash, error) && hash == file.originalHash;
    close(fd);
    if (!intact) return false;
  }
  return true;
}

bool RemoveRunFolder(const std::string& folder) {
  std::error_code error;
  fs::remove_all(folder, error);
  return !error;
}

bool RewriteRun(const KeptRun& run, const RunManifest& manifest) {
  if (manifest.files.empty()) return RemoveRunFolder(run.folder);
  if (!WritePrivateFile(run.folder + "/" + kRunLogName, RunLogBytes(manifest)).written) return false;
  unlink((run.folder + "/" + kManifestName).c_str());
  // Originals no longer named go with it.
  std::unordered_set<std::string> named;
  for (const JournalEntry& file : manifest.files) named.insert(file.originalName);
  std::vector<DirectoryEntry> entries;
  ReadDirectory(run.folder, entries);
  for (const DirectoryEntry& entry : entries)
    if (IsOriginalName(entry.name) && named.count(entry.name) == 0) unlink((run.folder + "/" + entry.name).c_str());
  return true;
}

void SettleAbandonedRuns(const JournalPlace& place) {
  // An undo killed before its end: its record goes only once its files are gone.
  for (const std::string& file : AbandonedUndoFiles(place.folder)) RemoveLeftTemporaries(file);
  RemoveAbandonedUndoLog(place.folder);
  for (const KeptRun& run : ListKeptRuns(place.folder)) {
    if (!run.manifest || run.manifest->finished) continue;
    for (const JournalEntry& file : run.manifest->files) RemoveLeftTemporaries(file.path);
    RunManifest ended = *run.manifest;
    ended.finished = true;
    RewriteRun(run, ended);
  }
}

void PruneRuns(const JournalPlace& place) {
  std::uint64_t kept = 0;
  int count = 0;
  bool full = false;  // once a run is dropped, every older one goes too
  for (const KeptRun& run : ListKeptRuns(place.folder)) {
    full = full || count >= place.maxRuns || kept + run.bytes > place.maxBytes;
    if (!full) {
      ++count;
      kept += run.bytes;
    } else {
      RemoveRunFolder(run.folder);
    }
  }
  for (const std::string& name : RunFolderNames(place.folder)) {
    const std::string folder = place.folder + "/" + name;
    if (!HasRecord(folder) && IsOld(folder)) RemoveRunFolder(folder);
  }
}

}  // namespace trawlscope
