#pragma once
// A gzip file of one member inflated in one call by libdeflate, which is
// some three times faster than the streaming zlib inflate libarchive uses:
// that inflate was most of the cost of searching manual pages as they ship.
// Only for what the gzip trailer vouches for; anything else is left to the
// general reader, which names damage and stops bombs at their limit.
#include <cstddef>
#include <string>
#include <string_view>

struct libdeflate_decompressor;

namespace trawlscope {

class WholeGzip {
 public:
  WholeGzip() = default;
  ~WholeGzip();
  WholeGzip(const WholeGzip&) = delete;
  WholeGzip& operator=(const WholeGzip&) = delete;

  // Whether `packed` starts as gzip and its trailer's size (the size modulo
  // 4 GiB) fits `limit` and is one that deflate can reach from its length,
  // so that trying costs no more room than the member may take.
  static bool Suits(std::string_view packed, size_t limit);

  // Inflates `packed` into `out` (replacing what it held): true when it is
  // exactly one gzip member of the size its trailer says. False for more
  // members, bytes after the member, damage, or more bytes than the trailer
  // said, with `out` unspecified.
  bool Inflate(std::string_view packed, std::string& out);

 private:
  libdeflate_decompressor* decompressor_ = nullptr;
};

}  // namespace trawlscope
