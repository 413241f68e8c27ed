#pragma once
// The field rules the journal's records share: TAB-separated fields whose
// bytes that would break a line or a field, and the escape itself, are
// written as %XX.
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trawlscope::record {

std::string Escaped(std::string_view text);
std::optional<std::string> Unescaped(std::string_view text);
std::vector<std::string_view> Fields(std::string_view line);
// A line of a record that carries its own checksum, so that one damaged, or
// cut short by a power failure, is told from a sound one.
std::string CheckedLine(const std::string& body);
// The line's body (without its line break) when its checksum holds.
std::optional<std::string_view> CheckedBody(std::string_view line);
// 64 lowercase hex digits, as ContentHash gives them.
bool IsHash(std::string_view text);

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
  const auto end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return !text.empty() && stop == end && error == std::errc();
}

}  // namespace trawlscope::record
