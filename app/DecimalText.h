#pragma once
// An integer as the UTF-16 digits the settings and the dialogs show.
#include <string>
#include <string_view>

namespace trawlscope {

inline std::u16string DecimalText(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace trawlscope
