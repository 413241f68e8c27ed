#pragma once
// An integer as the UTF-16 digits the settings and the dialogs show.
#include <string>
#include <string_view>

namespace trawlscope {

inline std::u16string DecimalText(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// A count for people to read: "2,641,409". The settings file keeps plain digits.
inline std::u16string GroupedText(unsigned long long value) {
  const std::string digits = std::to_string(value);
  std::u16string text;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += u',';
    text += static_cast<char16_t>(digits[i]);
  }
  return text;
}

}  // namespace trawlscope
