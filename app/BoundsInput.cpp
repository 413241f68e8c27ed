#include "app/BoundsInput.h"

#include <chrono>
#include <ctime>
#include <limits>

namespace trawlscope {
namespace {

constexpr std::int64_t kSecondsPerHour = 3600;
constexpr std::int64_t kSecondsPerDay = 24 * kSecondsPerHour;
// Further back than any file system keeps a time: a larger span is a typo.
constexpr std::uint64_t kMaxDaysBack = 1'000'000;

// All of `text` as a decimal number, without sign or spaces.
std::optional<std::uint64_t> ReadWhole(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const unsigned digit = static_cast<unsigned>(c - '0');
    if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

// Exactly `digits` decimal digits at `at`, which moves past them.
bool ReadDigits(std::string_view text, size_t& at, size_t digits, int& value) {
  if (text.size() - at < digits) return false;
  const std::optional<std::uint64_t> read = ReadWhole(text.substr(at, digits));
  if (!read) return false;
  value = static_cast<int>(*read);
  at += digits;
  return true;
}

bool Skip(std::string_view text, size_t& at, char c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

std::optional<std::int64_t> ReadSpanBack(std::string_view text, std::int64_t now) {
  const std::int64_t unit = text.back() == 'd' ? kSecondsPerDay : kSecondsPerHour;
  const std::optional<std::uint64_t> count = ReadWhole(text.substr(0, text.size() - 1));
  if (!count || *count > kMaxDaysBack * kSecondsPerDay / unit) return std::nullopt;
  return now - static_cast<std::int64_t>(*count) * unit;
}

// "Z", "+HH:MM", "+HHMM" or "+HH" (or "-"), east of UTC in seconds.
std::optional<std::int64_t> ReadOffset(std::string_view text, size_t& at) {
  if (Skip(text, at, 'Z')) return 0;
  const bool east = at < text.size() && text[at] == '+';
  if (!Skip(text, at, '+') && !Skip(text, at, '-')) return std::nullopt;
  int hours = 0, minutes = 0;
  if (!ReadDigits(text, at, 2, hours)) return std::nullopt;
  if (at < text.size()) {
    Skip(text, at, ':');
    if (!ReadDigits(text, at, 2, minutes)) return std::nullopt;
  }
  if (hours > 23 || minutes > 59) return std::nullopt;
  const std::int64_t seconds = hours * kSecondsPerHour + minutes * 60;
  return east ? seconds : -seconds;
}

}  // namespace

std::optional<std::uint64_t> ReadSize(std::string_view text) {
  std::uint64_t unit = 1;
  if (!text.empty()) {
    switch (text.back()) {
      case 'k': case 'K': unit = std::uint64_t{1} << 10; break;
      case 'm': case 'M': unit = std::uint64_t{1} << 20; break;
      case 'g': case 'G': unit = std::uint64_t{1} << 30; break;
      default: break;
    }
  }
  const std::optional<std::uint64_t> count = ReadWhole(unit == 1 ? text : text.substr(0, text.size() - 1));
  if (!count || *count > std::numeric_limits<std::uint64_t>::max() / unit) return std::nullopt;
  return *count * unit;
}

std::optional<std::int64_t> ReadMoment(std::string_view text, std::int64_t now) {
  if (!text.empty() && (text.back() == 'd' || text.back() == 'h')) return ReadSpanBack(text, now);
  size_t at = 0;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!ReadDigits(text, at, 4, year) || !Skip(text, at, '-') || !ReadDigits(text, at, 2, month) ||
      !Skip(text, at, '-') || !ReadDigits(text, at, 2, day))
    return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                                         std::chrono::day(static_cast<unsigned>(day))};
  if (!date.ok()) return std::nullopt;
  if (Skip(text, at, 'T') || Skip(text, at, ' ')) {
    if (!ReadDigits(text, at, 2, hour) || !Skip(text, at, ':') || !ReadDigits(text, at, 2, minute)) return std::nullopt;
    if (Skip(text, at, ':') && !ReadDigits(text, at, 2, second)) return std::nullopt;
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
  }
  const std::int64_t timeOfDay = hour * kSecondsPerHour + minute * 60 + second;
  if (at == text.size()) {
    // mktime weighs daylight saving time as the zone had it on that date.
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local));
  }
  const std::optional<std::int64_t> offset = ReadOffset(text, at);
  if (!offset || at != text.size()) return std::nullopt;
  const std::int64_t days = std::chrono::sys_days(date).time_since_epoch().count();
  return days * kSecondsPerDay + timeOfDay - *offset;
}

}  // namespace trawlscope
