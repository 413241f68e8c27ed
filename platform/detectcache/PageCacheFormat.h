#pragma once
// The bytes of the cache file of detected code pages: a header naming the
// build whose detector gave the answers, the entries sorted by key, and a
// CRC-32 of everything before it. A file that is not exactly that (cut
// short, damaged, another build's, another program's) is not read at all.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/detectcache/PageCacheKey.h"

namespace trawlscope {

// Longer build-ids are not GNU ld's (SHA-1, 20 bytes) nor lld's (up to 32).
inline constexpr size_t kMaxBuildIdBytes = 64;
// Entries a file may hold: some 5 MB, read in a few milliseconds.
inline constexpr size_t kMaxPageCacheEntries = 100'000;

// `entries` sorted by key, without two of one key, at most kMaxPageCacheEntries;
// `buildId` at most kMaxBuildIdBytes and not empty.
std::string EncodePageCache(std::string_view buildId, const std::vector<PageCacheEntry>& entries);

// The entries, sorted by key, of a file `buildId` wrote; nullopt for any other bytes.
std::optional<std::vector<PageCacheEntry>> DecodePageCache(std::string_view bytes, std::string_view buildId);

}  // namespace trawlscope
