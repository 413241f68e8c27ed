#pragma once
// What a file's bytes tell as they are read, while each piece is still in the
// processor's cache: where the first byte from 0x80 up stands and, as long as
// every byte so far is ASCII, whether a needle occurs. A large file is then
// not walked again from memory only to learn that it holds no hit.
#include <cstddef>
#include <string_view>

#include "search/matching/scan/ByteSearch.h"

namespace trawlscope {

class ArrivalScan {
 public:
  // A new file; `needle` (null for none) is looked for while the bytes stay ASCII.
  void Start(const ByteFinder* needle);

  // `soFar` holds every byte read until now, the newest from `newFrom` on.
  void Arrived(std::string_view soFar, size_t newFrom);

  // The offset of the first byte from 0x80 up in the whole file, or `size`
  // when there is none.
  size_t FirstHighByte(size_t size) const { return sawHighByte_ ? firstHighByte_ : size; }

  // Whether the needle was looked for through the whole file (it held only
  // ASCII), and so whether NeedleFound is the answer for all of it.
  bool NeedleSettled() const { return needle_ != nullptr && !sawHighByte_; }
  bool NeedleFound() const { return found_; }

  // Whether the bytes seen so far (all ASCII, no needle) may be let go, all
  // but the last `keptTail`: nothing more is to be learned from them.
  bool MayDropPastBytes(size_t keptTail) const {
    return needle_ != nullptr && !sawHighByte_ && !found_ && needle_->NeedleSize() <= keptTail + 1;
  }

 private:
  const ByteFinder* needle_ = nullptr;
  bool sawHighByte_ = false;
  size_t firstHighByte_ = 0;
  bool found_ = false;
};

}  // namespace trawlscope
