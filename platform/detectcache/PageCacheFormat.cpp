#include "platform/detectcache/PageCacheFormat.h"

#include <boost/crc.hpp>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace trawlscope {
namespace {

constexpr char kMagic[8] = {'T', 'S', 'P', 'A', 'G', 'E', 'S', '\n'};
// A new layout of the entries is a new version; an older file is then foreign.
constexpr std::uint32_t kVersion = 1;
// Magic, version, entry count, build-id length, the build-id's room.
constexpr size_t kHeaderBytes = sizeof kMagic + 3 * 4 + kMaxBuildIdBytes;
// Device, inode, size, modified and changed times, page, last use.
constexpr size_t kEntryBytes = 5 * 8 + 2 * 4;
constexpr size_t kChecksumBytes = 4;

// Little-endian whatever the machine, so that a file never reads as another's numbers.
template <typename Number>
void Put(std::string& out, Number value) {
  auto bits = static_cast<std::uint64_t>(value);
  for (size_t i = 0; i < sizeof(Number); ++i, bits >>= 8) out.push_back(static_cast<char>(bits & 0xFF));
}

template <typename Number>
Number Take(std::string_view bytes, size_t& at) {
  std::uint64_t bits = 0;
  for (size_t i = 0; i < sizeof(Number); ++i)
    bits |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  at += sizeof(Number);
  return static_cast<Number>(bits);
}

// Boost's header-only CRC-32, the same sum as zlib's: a library loaded for
// this alone would cost every run its start-up.
std::uint32_t Checksum(std::string_view bytes) {
  boost::crc_32_type crc;
  crc.process_bytes(bytes.data(), bytes.size());
  return crc.checksum();
}

}  // namespace

std::string EncodePageCache(std::string_view buildId, const std::vector<PageCacheEntry>& entries) {
  std::string out;
  out.reserve(kHeaderBytes + entries.size() * kEntryBytes + kChecksumBytes);
  out.append(kMagic, sizeof kMagic);
  Put<std::uint32_t>(out, kVersion);
  Put<std::uint32_t>(out, static_cast<std::uint32_t>(entries.size()));
  Put<std::uint32_t>(out, static_cast<std::uint32_t>(buildId.size()));
  out.append(buildId);
  out.append(kMaxBuildIdBytes - buildId.size(), '\0');
  for (const PageCacheEntry& entry : entries) {
    Put<std::uint64_t>(out, entry.key.device);
    Put<std::uint64_t>(out, entry.key.inode);
    Put<std::uint64_t>(out, entry.key.size);
    Put<std::int64_t>(out, entry.key.modifiedNs);
    Put<std::int64_t>(out, entry.key.changedNs);
    Put<std::uint32_t>(out, entry.page);
    Put<std::uint32_t>(out, entry.lastUsedDay);
  }
  Put<std::uint32_t>(out, Checksum(out));
  return out;
}

std::optional<std::vector<PageCacheEntry>> DecodePageCache(std::string_view bytes, std::string_view buildId) {
  if (buildId.empty() || buildId.size() > kMaxBuildIdBytes) return std::nullopt;
  if (bytes.size() < kHeaderBytes + kChecksumBytes) return std::nullopt;
  if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return std::nullopt;
  size_t at = sizeof kMagic;
  const auto version = Take<std::uint32_t>(bytes, at);
  const auto count = Take<std::uint32_t>(bytes, at);
  const auto idLength = Take<std::uint32_t>(bytes, at);
  if (version != kVersion || count > kMaxPageCacheEntries || idLength != buildId.size()) return std::nullopt;
  if (bytes.size() != kHeaderBytes + size_t{count} * kEntryBytes + kChecksumBytes) return std::nullopt;
  if (bytes.substr(at, idLength) != buildId) return std::nullopt;
  size_t checksumAt = bytes.size() - kChecksumBytes;
  if (Take<std::uint32_t>(bytes, checksumAt) != Checksum(bytes.substr(0, bytes.size() - kChecksumBytes)))
    return std::nullopt;
  at = kHeaderBytes;
  std::vector<PageCacheEntry> entries(count);
  for (PageCacheEntry& entry : entries) {
    entry.key.device = Take<std::uint64_t>(bytes, at);
    entry.key.inode = Take<std::uint64_t>(bytes, at);
    entry.key.size = Take<std::uint64_t>(bytes, at);
    entry.key.modifiedNs = Take<std::int64_t>(bytes, at);
    entry.key.changedNs = Take<std::int64_t>(bytes, at);
    entry.page = Take<std::uint32_t>(bytes, at);
    entry.lastUsedDay = Take<std::uint32_t>(bytes, at);
    if (entry.page == codepage::kNone) return std::nullopt;
  }
  // Lookups halve the entries: an order the writer would never leave means another writer.
  const auto ascending = [](const PageCacheEntry& a, const PageCacheEntry& b) { return a.key < b.key; };
  if (std::adjacent_find(entries.begin(), entries.end(), [&](const auto& a, const auto& b) {
        return !ascending(a, b);
      }) != entries.end())
    return std::nullopt;
  return entries;
}

}  // namespace trawlscope
