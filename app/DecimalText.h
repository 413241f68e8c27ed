#pragma once
// An integer as the UTF-16 digits the settings and the dialogs show.
#include <string>
#include <string_view>

namespace trawlscope {

inline std::u16string DecimalText(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// A count with its noun: "1 file", "2 files".
inline std::u16string CountedText(size_t count, std::u16string_view one, std::u16string_view many) {
  return DecimalText(static_cast<long long>(count)) + u" " + std::u16string(count == 1 ? one : many);
}

}  // namespace trawlscope
