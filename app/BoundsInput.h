#pragma once
// Reading the size and time bounds of a search as a user writes them, in the
// batch tool's options and the dialog's fields alike.
#include <cstdint>
#include <optional>
#include <string_view>

namespace trawlscope {

// A number of bytes, or of 1024s, 1024² or 1024³ with k, M or G after it
// (either case): "4096", "10k", "5M", "1G". Nothing when it is not one.
std::optional<std::uint64_t> ReadSize(std::string_view text);

// A moment in seconds since the epoch: an ISO 8601 date, or date and time to
// the minute or second ("2026-12-01", "2026-12-01T10:00", "2026-12-01 10:00:30"),
// in local time unless an offset follows ("Z", "+09:00", "-0500"); or a span
// back from `now`, in days or hours ("7d", "12h"). Nothing when it is neither.
std::optional<std::int64_t> ReadMoment(std::string_view text, std::int64_t now);

}  // namespace trawlscope
