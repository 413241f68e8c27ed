#include "platform/journal/KeptRuns.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <filesystem>
#include <system_error>

#include "platform/files/FileReader.h"
#include "platform/journal/ContentHash.h"

namespace trawlscope {
namespace {

namespace fs = std::filesystem;

// A run that never wrote its manifest, left by a process that ended, is
// removed after this long; a younger one may belong to a run still going on.
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

bool HasManifest(const fs::path& folder) {
  struct stat info;
  return stat((folder / kManifestName).c_str(), &info) == 0;
}

bool IsOld(const fs::path& folder) {
  struct stat info;
  return stat(folder.c_str(), &info) == 0 && std::time(nullptr) - info.st_mtime > kUnfinishedRunAge;
}

}  // namespace

std::vector<std::string> KeptRunNames(const std::string& journalFolder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(journalFolder, error)) {
    std::error_code kindError;
    if (!entry.is_directory(kindError) || entry.is_symlink(kindError) || !HasManifest(entry.path())) continue;
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end(), std::greater<>());
  return names;
}

KeptRun ReadKeptRun(const std::string& journalFolder, const std::string& name) {
  KeptRun run;
  run.name = name;
  run.folder = journalFolder + "/" + name;
  std::string bytes;
  if (ReadWholeFile(run.folder + "/" + kManifestName, bytes)) run.manifest = ParseManifest(bytes);
  run.bytes = BytesIn(run.folder);
  return run;
}

std::vector<KeptRun> ListKeptRuns(const std::string& journalFolder) {
  std::vector<KeptRun> runs;
  for (const std::string& name : KeptRunNames(journalFolder)) runs.push_back(ReadKeptRun(journalFolder, name));
  return runs;
}

bool OriginalsIntact(const KeptRun& run) {
  if (!run.manifest) return false;
  std::string bytes;
  for (const JournalEntry& file : run.manifest->files) {
    if (!ReadWholeFile(run.folder + "/" + file.originalName, bytes) || bytes.size() != file.originalSize ||
        ContentHash(bytes) != file.originalHash)
      return false;
  }
  return true;
}

bool RemoveRunFolder(const std::string& folder) {
  std::error_code error;
  fs::remove_all(folder, error);
  return !error;
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
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(place.folder, error)) {
    std::error_code kindError;
    if (entry.is_directory(kindError) && !entry.is_symlink(kindError) && !HasManifest(entry.path()) &&
        IsOld(entry.path()))
      RemoveRunFolder(entry.path().string());
  }
}

}  // namespace trawlscope
