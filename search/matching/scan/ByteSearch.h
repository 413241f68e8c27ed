#pragma once
// Finding a short byte string in a large buffer: the hot loop of a run over a
// big tree, which decides for most files that they need no decoding.
#include <cstring>
#include <string>
#include <string_view>

#include "search/matching/scan/ProbeRounds.h"

namespace trawlscope {

class ByteFinder {
 public:
  // `asciiCaseless`: ASCII letters match in either case; other bytes exactly.
  explicit ByteFinder(std::string needle, bool asciiCaseless = false);
  bool FoundIn(std::string_view haystack) const { return Find(haystack, 0) != std::string_view::npos; }
  size_t NeedleSize() const { return needle_.size(); }
  // The first occurrence starting at or after `from`, or npos.
  size_t Find(std::string_view haystack, size_t from) const {
    if (oneByte_ < 0) return FindInBlocks(haystack, from);
    // The C library's own scan, called inline: an expression's one-byte
    // literal (such as "_" in source code) is found every few dozen bytes,
    // so a call must cost little more than the bytes it looks at.
    if (from >= haystack.size()) return std::string_view::npos;
    const void* found = std::memchr(haystack.data() + from, oneByte_, haystack.size() - from);
    return found == nullptr ? std::string_view::npos
                            : static_cast<size_t>(static_cast<const char*>(found) - haystack.data());
  }

  // Whether `haystack` holds a byte from 0x80 up and, when it holds none,
  // whether it holds the needle: both in one pass over bytes read once.
  enum class InAscii { HighByte, Found, NotFound };
  InAscii LookInAscii(std::string_view haystack) const;

 private:
  size_t FindInBlocks(std::string_view haystack, size_t from) const;
  probe_rounds::Needle AsProbed() const;
  bool MatchesAt(const char* at) const;

  std::string needle_;
  bool caseless_;
  // The two needle bytes that candidates are first tested on: the rarest in
  // usual text and code, so that few candidates are compared whole.
  size_t firstProbe_ = 0;
  size_t secondProbe_ = 0;
  int oneByte_ = -1;  // a case-sensitive needle's one byte, or -1
};

}  // namespace trawlscope
