#pragma once
// The code pages detected in earlier runs, so that a file searched again
// unchanged is not detected again. One run's cache: read once when the run
// starts, written once when it ends (to a temporary file renamed over the
// old one, so that concurrent runs leave one whole file: the last writer's).
// It holds only answers of this very build's detector, for files whose
// stamps fstat gave when their bytes were read.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/detectcache/PageCacheKey.h"
#include "platform/files/FileDescriptor.h"
#include "platform/files/FileOps.h"
#include "platform/files/Outcome.h"

namespace trawlscope {

// Nanoseconds since the epoch, as file times count them.
using WallClock = std::int64_t (*)();
std::int64_t SystemWallClock();

// Where a run keeps its cache: the file `name` in `folder` (CacheFolder).
struct PageCachePlace {
  std::string folder;
  std::string name;
  WallClock clock = SystemWallClock;  // tests set one that runs ahead
};

class DetectedPageCache {
 public:
  // Reads the file `name` in `folder` (see OpenPrivateCacheFolder). Without
  // a private folder it holds and keeps nothing; without a `buildId` too.
  // A file that is not this build's whole cache is ignored, and replaced by Save.
  DetectedPageCache(const std::string& folder, std::string name, std::string buildId,
                    WallClock clock = SystemWallClock, IFileOps& ops = SystemFileOps());
  ~DetectedPageCache();
  DetectedPageCache(const DetectedPageCache&) = delete;
  DetectedPageCache& operator=(const DetectedPageCache&) = delete;

  // The page an earlier run detected for the file in this state; kNone when
  // none did. Any thread, until Save.
  CodePage Find(const PageCacheKey& key) const;
  // Keeps a page just detected for the file read in this state, unless the
  // file may still be changing within its stamps (IsRacy). Any thread, until Save.
  void Remember(const PageCacheKey& key, CodePage page);
  // Writes the pages read and learnt when anything is new, the oldest used
  // dropped past kMaxPageCacheEntries. Once, after every searcher stopped.
  // A cache not in use says why its folder could not be used, or that there was none.
  Outcome<> Save();

  // Whether the folder is private and the build known: the cache is in use.
  bool InUse() const { return folder_.Valid(); }
  size_t EntriesRead() const { return entries_.size(); }

 private:
  std::vector<PageCacheEntry> ReadEntries(bool& whole) const;
  Outcome<> WriteEntries(const std::vector<PageCacheEntry>& entries) const;
  // Removes the temporary files of runs that were killed before their rename.
  Outcome<> RemoveStaleTemporaries() const;

  std::string name_;
  std::string buildId_;
  WallClock clock_;
  IFileOps& ops_;
  FileDescriptor folder_;
  // Why folder_ is not open: no build or name to key the cache by (ENOENT), or the folder's failure.
  Outcome<> folderOutcome_ = FileError::System(FileStep::Open, ENOENT);
  std::uint32_t today_ = 0;
  bool fileWasWhole_ = false;  // a file of this build was read, or there was none to read
  std::vector<PageCacheEntry> entries_;  // sorted; never changed while searchers run
  std::unique_ptr<std::atomic<bool>[]> used_;
  std::mutex learntLock_;
  std::vector<PageCacheEntry> learnt_;
};

}  // namespace trawlscope
