#include "platform/detectcache/PageCacheKey.h"

namespace trawlscope {
namespace {

constexpr std::int64_t kNsPerSecond = 1'000'000'000;
// FAT's two-second modification times are the coarsest a desktop meets.
constexpr std::int64_t kRacyWindowNs = 2 * kNsPerSecond;

bool NearOrAfter(std::int64_t stampNs, std::int64_t nowNs) { return stampNs > nowNs - kRacyWindowNs; }

}  // namespace

std::int64_t NanosecondsOf(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * kNsPerSecond + time.tv_nsec;
}

PageCacheKey PageCacheKeyOf(const FileIdentity& identity) {
  return {static_cast<std::uint64_t>(identity.device), static_cast<std::uint64_t>(identity.inode),
          static_cast<std::uint64_t>(identity.size), NanosecondsOf(identity.modified),
          NanosecondsOf(identity.changed)};
}

bool IsRacy(const PageCacheKey& key, std::int64_t nowNs) {
  return NearOrAfter(key.modifiedNs, nowNs) || NearOrAfter(key.changedNs, nowNs);
}

}  // namespace trawlscope
