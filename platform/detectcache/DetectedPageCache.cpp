#include "platform/detectcache/DetectedPageCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "platform/detectcache/CacheFolder.h"
#include "platform/detectcache/PageCacheFormat.h"
#include "platform/files/SystemCalls.h"

namespace trawlscope {
namespace {

constexpr std::int64_t kNsPerDay = 86'400LL * 1'000'000'000;
constexpr mode_t kPrivateFile = 0600;
constexpr mode_t kOthersBits = 0077;
// Far past kMaxPageCacheEntries' size: a larger file is not ours to read.
constexpr off_t kMaxFileBytes = 16 << 20;
// A temporary file this old was left by a run that died before its rename.
constexpr std::int64_t kStaleTemporaryNs = 3600LL * 1'000'000'000;
constexpr std::string_view kTemporarySuffix = ".tmp";

bool KeyBefore(const PageCacheEntry& a, const PageCacheEntry& b) { return a.key < b.key; }

// Both sorted by key; on a key in both, the later use wins.
std::vector<PageCacheEntry> Merge(const std::vector<PageCacheEntry>& a, const std::vector<PageCacheEntry>& b) {
  std::vector<PageCacheEntry> merged;
  merged.reserve(a.size() + b.size());
  std::merge(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(merged), KeyBefore);
  std::vector<PageCacheEntry> unique;
  unique.reserve(merged.size());
  for (const PageCacheEntry& entry : merged) {
    if (!unique.empty() && unique.back().key == entry.key)
      unique.back().lastUsedDay = std::max(unique.back().lastUsedDay, entry.lastUsedDay);
    else
      unique.push_back(entry);
  }
  return unique;
}

// The most recently used kMaxPageCacheEntries, still sorted by key.
void DropOldestUsed(std::vector<PageCacheEntry>& entries) {
  if (entries.size() <= kMaxPageCacheEntries) return;
  std::stable_sort(entries.begin(), entries.end(),
                   [](const PageCacheEntry& a, const PageCacheEntry& b) { return a.lastUsedDay > b.lastUsedDay; });
  entries.resize(kMaxPageCacheEntries);
  std::sort(entries.begin(), entries.end(), KeyBefore);
}

}  // namespace

std::int64_t SystemWallClock() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return NanosecondsOf(now);
}

DetectedPageCache::DetectedPageCache(const std::string& folder, std::string name, std::string buildId,
                                     WallClock clock, IFileOps& ops)
    : name_(std::move(name)), buildId_(std::move(buildId)), clock_(clock), ops_(ops) {
  if (buildId_.empty() || buildId_.size() > kMaxBuildIdBytes || name_.empty() ||
      name_.find('/') != std::string::npos)
    return;
  Outcome<FileDescriptor> opened = OpenPrivateCacheFolder(folder, ops_);
  if (!opened) {
    folderOutcome_ = opened.Failure();
    return;
  }
  folder_ = std::move(opened).Value();
  today_ = static_cast<std::uint32_t>(std::max<std::int64_t>(0, clock_() / kNsPerDay));
  entries_ = ReadEntries(fileWasWhole_);
  used_ = std::make_unique<std::atomic<bool>[]>(entries_.size());
}

DetectedPageCache::~DetectedPageCache() = default;

std::vector<PageCacheEntry> DetectedPageCache::ReadEntries(bool& whole) const {
  whole = false;
  const FileDescriptor file(ops_.OpenAt(folder_.Fd(), name_.c_str(), O_RDONLY | O_CLOEXEC), ops_);
  if (!file.Valid()) {
    whole = errno == ENOENT;
    return {};
  }
  struct stat info;
  const bool ours = ops_.FStat(file.Fd(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
                    (info.st_mode & kOthersBits) == 0 && info.st_size <= kMaxFileBytes;
  // A file that changed size while it was read is not this build's whole cache either.
  if (!ours) return {};
  const Outcome<std::string> bytes = ReadAll(ops_, file.Fd());
  if (!bytes || bytes.Value().size() != static_cast<size_t>(info.st_size)) return {};
  auto entries = DecodePageCache(bytes.Value(), buildId_);
  if (!entries) return {};
  whole = true;
  return std::move(*entries);
}

CodePage DetectedPageCache::Find(const PageCacheKey& key) const {
  const auto found = std::lower_bound(entries_.begin(), entries_.end(), PageCacheEntry{key}, KeyBefore);
  if (found == entries_.end() || found->key != key) return codepage::kNone;
  used_[found - entries_.begin()].store(true, std::memory_order_relaxed);
  return found->page;
}

void DetectedPageCache::Remember(const PageCacheKey& key, CodePage page) {
  if (!folder_.Valid() || page == codepage::kNone || IsRacy(key, clock_())) return;
  const std::lock_guard<std::mutex> lock(learntLock_);
  learnt_.push_back({key, page, today_});
}

Outcome<> DetectedPageCache::Save() {
  if (!folder_.Valid()) return folderOutcome_;
  // Uses are kept by the day: a second run on the same day writes nothing.
  bool changed = !fileWasWhole_ || !learnt_.empty();
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (used_[i].load(std::memory_order_relaxed) && entries_[i].lastUsedDay != today_) {
      entries_[i].lastUsedDay = today_;
      changed = true;
    }
  }
  if (!changed) return Done();
  std::sort(learnt_.begin(), learnt_.end(), KeyBefore);
  std::vector<PageCacheEntry> entries = Merge(entries_, learnt_);
  // What other runs wrote since this one read the file is kept too.
  bool whole = false;
  const std::vector<PageCacheEntry> onDisk = ReadEntries(whole);
  if (whole && !onDisk.empty()) entries = Merge(onDisk, entries);
  DropOldestUsed(entries);
  // Temporaries that stay over cost only room: the write goes on without their removal.
  static_cast<void>(RemoveStaleTemporaries());
  return WriteEntries(entries);
}

Outcome<> DetectedPageCache::RemoveStaleTemporaries() const {
  std::vector<std::string> names;
  if (ops_.ListFolder(folder_.Fd(), names) != 0) return FileError::System(FileStep::List, errno);
  // By the system's clock, as the files' times go, whatever clock the run was given.
  const std::string prefix = name_ + ".";
  Outcome<> outcome = Done();
  for (const std::string& name : names) {
    if (!name.starts_with(prefix) || !name.ends_with(kTemporarySuffix)) continue;
    struct stat info;
    if (ops_.StatAt(folder_.Fd(), name.c_str(), &info) == 0 &&
        NanosecondsOf(info.st_mtim) < SystemWallClock() - kStaleTemporaryNs &&
        ops_.UnlinkAt(folder_.Fd(), name.c_str()) != 0 && errno != ENOENT && outcome)
      outcome = FileError::System(FileStep::Save, errno);
  }
  return outcome;
}

Outcome<> DetectedPageCache::WriteEntries(const std::vector<PageCacheEntry>& entries) const {
  // A name of this process's own: runs writing at once never share a temporary file.
  static std::atomic<unsigned> serial{0};
  const std::string temporary =
      name_ + "." + std::to_string(getpid()) + "." + std::to_string(serial.fetch_add(1)) + std::string(kTemporarySuffix);
  FileDescriptor file(ops_.OpenAt(folder_.Fd(), temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateFile),
                      ops_);
  if (!file.Valid()) return FileError::System(FileStep::CreateTemporary, errno);
  // No fsync: a file cut short by a crash fails its checksum and is only a cache.
  Outcome<> outcome = Done();
  if (ops_.ChangeMode(file.Fd(), kPrivateFile) != 0)
    outcome = FileError::System(FileStep::SetPermissions, errno);
  else
    outcome = WriteAll(ops_, file.Fd(), EncodePageCache(buildId_, entries));
  if (file.Close() != 0 && outcome) outcome = FileError::System(FileStep::Save, errno);
  if (outcome && ops_.RenameAt(folder_.Fd(), temporary.c_str(), name_.c_str()) == 0) return Done();
  if (outcome) outcome = FileError::System(FileStep::Save, errno);
  ops_.UnlinkAt(folder_.Fd(), temporary.c_str());
  return outcome;
}

}  // namespace trawlscope
