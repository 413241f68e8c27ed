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
  if (decompressor_ == nullptr) return false;
  // The room the trailer names and no more: a member that would run past it
  // fails here rather than growing.
  out.resize(TrailerSize(packed));
  size_t read = 0, written = 0;
  const libdeflate_result result = libdeflate_gzip_decompress_ex(decompressor_, packed.data(), packed.size(),
                                                                 out.data(), out.size(), &read, &written);
  // libdeflate checks the trailer's CRC and size; bytes left after it are
  // another member or junk, which the general reader decides about.
  if (result != LIBDEFLATE_SUCCESS || read != packed.size() || written != out.size()) return false;
  return true;
}

}  // namespace trawlscope
