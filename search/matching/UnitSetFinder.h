#pragma once
// Finds the next UTF-16 code unit that is one of a few given units: the
// units that fold to the first unit of a case-insensitive search text. Most
// of a text holds none of them, so it is passed over eight units at a time.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace trawlscope {

class UnitSetFinder {
 public:
  // Sets of more than kMaxUnits units are looked for one unit at a time.
  static constexpr size_t kMaxUnits = 4;

  explicit UnitSetFinder(std::u16string_view units);

  // The first offset in [from, end) whose unit is in the set, or `end`.
  // `end` is at most text.size().
  size_t Find(std::u16string_view text, size_t from, size_t end) const;

 private:
  bool Holds(char16_t unit) const;

  std::array<char16_t, kMaxUnits> units_{};
  size_t count_ = 0;
  std::u16string many_;  // the set when it is too large for units_
};

}  // namespace trawlscope
