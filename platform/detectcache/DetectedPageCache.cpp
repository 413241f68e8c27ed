#include "platform/detectcache/DetectedPageCache.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "platform/detectcache/CacheFolder.h"
#include "platform/detectcache/PageCacheFormat.h"

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

bool ReadAllAt(int fd, std::string& bytes, size_t size) {
  bytes.resize(size);
  for (size_t done = 0; done < size;) {
    const ssize_t got = pread(fd, bytes.data() + done, size - done, static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(put));
  }
  return true;
}

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
                                     WallClock clock)
    : name_(std::move(name)), buildId_(std::move(buildId)), clock_(clock) {
  if (buildId_.empty() || buildId_.size() > kMaxBuildIdBytes || name_.empty() ||
      name_.find('/') != std::string::npos)
    return;
  folderFd_ = OpenPrivateCacheFolder(folder);
  if (folderFd_ < 0) return;
  today_ = static_cast<std::uint32_t>(std::max<std::int64_t>(0, clock_() / kNsPerDay));
  entries_ = ReadEntries(fileWasWhole_);
  used_ = std::make_unique<std::atomic<bool>[]>(entries_.size());
}

DetectedPageCache::~DetectedPageCache() {
  if (folderFd_ >= 0) close(folderFd_);
}

std::vector<PageCacheEntry> DetectedPageCache::ReadEntries(bool& whole) const {
  whole = false;
  const int fd = openat(folderFd_, name_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    whole = errno == ENOENT;
    return {};
  }
  struct stat info;
  std::string bytes;
  const bool ours = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
                    (info.st_mode & kOthersBits) == 0 && info.st_size <= kMaxFileBytes;
  const bool read = ours && ReadAllAt(fd, bytes, static_cast<size_t>(info.st_size));
  close(fd);
  if (!read) return {};
  auto entries = DecodePageCache(bytes, buildId_);
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
  if (folderFd_ < 0 || page == codepage::kNone || IsRacy(key, clock_())) return;
  const std::lock_guard<std::mutex> lock(learntLock_);
  learnt_.push_back({key, page, today_});
}

bool DetectedPageCache::Save() {
  if (folderFd_ < 0) return false;
  // Uses are kept by the day: a second run on the same day writes nothing.
  bool changed = !fileWasWhole_ || !learnt_.empty();
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (used_[i].load(std::memory_order_relaxed) && entries_[i].lastUsedDay != today_) {
      entries_[i].lastUsedDay = today_;
      changed = true;
    }
  }
  if (!changed) return true;
  std::sort(learnt_.begin(), learnt_.end(), KeyBefore);
  std::vector<PageCacheEntry> entries = Merge(entries_, learnt_);
  // What other runs wrote since this one read the file is kept too.
  bool whole = false;
  const std::vector<PageCacheEntry> onDisk = ReadEntries(whole);
  if (whole && !onDisk.empty()) entries = Merge(onDisk, entries);
  DropOldestUsed(entries);
  RemoveStaleTemporaries();
  return WriteEntries(entries);
}

void DetectedPageCache::RemoveStaleTemporaries() const {
  const int fd = dup(folderFd_);
  DIR* folder = fd >= 0 ? fdopendir(fd) : nullptr;
  if (folder == nullptr) {
    if (fd >= 0) close(fd);
    return;
  }
  // By the system's clock, as the files' times go, whatever clock the run was given.
  const std::string prefix = name_ + ".";
  for (const dirent* entry; (entry = readdir(folder)) != nullptr;) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(prefix) || !name.ends_with(kTemporarySuffix)) continue;
    struct stat info;
    if (fstatat(folderFd_, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        NanosecondsOf(info.st_mtim) < SystemWallClock() - kStaleTemporaryNs)
      unlinkat(folderFd_, entry->d_name, 0);
  }
  closedir(folder);
}

bool DetectedPageCache::WriteEntries(const std::vector<PageCacheEntry>& entries) const {
  // A name of this process's own: runs writing at once never share a temporary file.
  static std::atomic<unsigned> serial{0};
  const std::string temporary =
      name_ + "." + std::to_string(getpid()) + "." + std::to_string(serial.fetch_add(1)) + std::string(kTemporarySuffix);
  const int fd = openat(folderFd_, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        kPrivateFile);
  if (fd < 0) return false;
  // No fsync: a file cut short by a crash fails its checksum and is only a cache.
  const bool written = fchmod(fd, kPrivateFile) == 0 && WriteAll(fd, EncodePageCache(buildId_, entries));
  const bool closed = close(fd) == 0;
  if (written && closed && renameat(folderFd_, temporary.c_str(), folderFd_, name_.c_str()) == 0) return true;
  unlinkat(folderFd_, temporary.c_str(), 0);
  return false;
}

}  // namespace trawlscope
