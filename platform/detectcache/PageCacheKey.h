#pragma once
// What names one state of one file in the cache of detected code pages: its
// identity and change stamps as fstat gave them when its bytes were read.
#include <compare>
#include <cstdint>

#include "platform/codepage/CodePageTable.h"
#include "platform/files/FileIdentity.h"

namespace trawlscope {

struct PageCacheKey {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;  // since the epoch
  std::int64_t changedNs = 0;
  auto operator<=>(const PageCacheKey&) const = default;
};

struct PageCacheEntry {
  PageCacheKey key;
  CodePage page = codepage::kNone;
  std::uint32_t lastUsedDay = 0;  // days since the epoch
};

PageCacheKey PageCacheKeyOf(const FileIdentity& identity);

// Nanoseconds since the epoch of a timestamp as stat gives it.
std::int64_t NanosecondsOf(const timespec& time);

// Whether a file read at `nowNs` may still change without changing its
// stamps: written within a timestamp tick of the read (filesystems keep time
// in ticks of up to 2 s), or stamped in the future. Its answer is not kept,
// as git treats an index entry written in the same second as its file.
bool IsRacy(const PageCacheKey& key, std::int64_t nowNs);

}  // namespace trawlscope
