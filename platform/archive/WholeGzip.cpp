#include "platform/archive/WholeGzip.h"

#include <libdeflate.h>

#include <cstdint>

namespace trawlscope {
namespace {

// The gzip header's fixed part, and the trailer: CRC-32 then the size.
constexpr size_t kHeaderBytes = 10;
constexpr size_t kTrailerBytes = 8;
// Deflate writes at most 258 bytes for every two bits it reads.
constexpr uint64_t kMostExpansion = 1032;

uint32_t TrailerSize(std::string_view packed) {
  const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(packed[i])); };
  const size_t at = packed.size() - 4;
  return byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16 | byte(at + 3) << 24;
}

// Where the deflate data begins after the header and its optional fields;
// 0 when the header is not one to trust.
size_t DeflateStart(std::string_view packed) {
  constexpr unsigned char kText = 1, kHeaderCrc = 2, kExtra = 4, kName = 8, kComment = 16;
  if (packed.size() < kHeaderBytes + kTrailerBytes) return 0;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(packed[i]); };
  const size_t end = packed.size() - kTrailerBytes;
  const unsigned char flags = byte(3);
  if ((flags & ~(kText | kHeaderCrc | kExtra | kName | kComment)) != 0) return 0;
  size_t at = kHeaderBytes;
  if ((flags & kExtra) != 0) {
    if (at + 2 > end) return 0;
    at += 2 + (byte(at) | byte(at + 1) << 8);
  }
  for (const unsigned char text : {kName, kComment}) {
    if ((flags & text) == 0) continue;
    while (at < end && byte(at) != 0) ++at;
    ++at;  // the terminating NUL
  }
  if ((flags & kHeaderCrc) != 0) at += 2;
  return at < end ? at : 0;
}

}  // namespace

WholeGzip::~WholeGzip() {
  if (decompressor_ != nullptr) libdeflate_free_decompressor(decompressor_);
}

bool WholeGzip::Suits(std::string_view packed, size_t limit) {
  if (packed.size() < kHeaderBytes + kTrailerBytes) return false;
  if (packed[0] != '\x1f' || packed[1] != '\x8b' || packed[2] != '\x08') return false;
  const uint64_t size = TrailerSize(packed);
  return size <= limit && size <= kMostExpansion * packed.size();
}

bool WholeGzip::Inflate(std::string_view packed, std::string& out) {
  if (decompressor_ == nullptr) decompressor_ = libdeflate_alloc_decompressor();
  const size_t start = DeflateStart(packed);
  if (decompressor_ == nullptr || start == 0) return false;
  // The room the trailer names and no more: a member that would run past it
  // fails here rather than growing.
  out.resize(TrailerSize(packed));
  const size_t deflateBytes = packed.size() - kTrailerBytes - start;
  size_t read = 0, written = 0;
  const libdeflate_result result = libdeflate_deflate_decompress_ex(
      decompressor_, packed.data() + start, deflateBytes, out.data(), out.size(), &read, &written);
  // Ending anywhere but at the trailer is another member or junk after it,
  // which libarchive decides about. The CRC is not checked, as libarchive
  // does not check it either: it cost a third of the inflate.
  return result == LIBDEFLATE_SUCCESS && read == deflateBytes && written == out.size();
}

}  // namespace trawlscope
