#pragma once
// Line numbers of hits, as editors and grep -n count them: a line ends at
// each CR LF, each lone CR and each lone LF, and an empty line is a line.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace trawlscope {

// Hits come in ascending order, so the breaks before each one are counted
// once, from where the last count stopped: a file is walked only as far as
// its last hit, with nothing stored per line.
template <typename Unit>
class LineCounter {
 public:
  explicit LineCounter(std::basic_string_view<Unit> text) : text_(text) {}

  // 1-based line of the unit at `position`, which is at most the text's
  // size and not before the position asked for last.
  std::int64_t LineOf(size_t position);

 private:
  std::basic_string_view<Unit> text_;
  size_t counted_ = 0;       // breaks before this offset are in line_
  std::int64_t line_ = 1;
};

extern template class LineCounter<char>;
extern template class LineCounter<char16_t>;

}  // namespace trawlscope
