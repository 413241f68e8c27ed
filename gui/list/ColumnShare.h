#pragma once
// How columns that share a width split it: in proportion, but none below its
// floor while the others have more than theirs to give.
#include <array>
#include <cstddef>
#include <optional>

namespace trawlscope {

// The widths of N columns filling `room` exactly, scaled from `proportions`
// (never from the last widths, so that rounding does not wander as a window
// is resized); nullopt when there is no room or no proportion to share by.
// When the floors do not fit together, the proportions alone decide.
template <size_t N>
std::optional<std::array<int, N>> ShareRoom(int room, const std::array<int, N>& proportions,
                                            const std::array<int, N>& floors) {
  long long shared = 0;
  for (const int p : proportions) shared += p;
  if (shared <= 0 || room <= 0) return std::nullopt;
  long long floorSum = 0;
  for (const int f : floors) floorSum += f;
  std::array<bool, N> pinned{};
  std::array<int, N> widths{};
  // Each pass pins the columns that fell below their floor and shares the rest anew; N passes settle it.
  for (size_t pass = 0; pass <= N; ++pass) {
    long long left = room, weight = 0;
    size_t last = N;
    for (size_t i = 0; i < N; ++i) {
      if (pinned[i]) {
        widths[i] = floors[i];
        left -= floors[i];
      } else {
        weight += proportions[i];
        last = i;
      }
    }
    if (last == N || weight <= 0) break;
    long long given = 0;
    bool settled = true;
    for (size_t i = 0; i < N; ++i) {
      if (pinned[i]) continue;
      widths[i] = static_cast<int>(i == last ? left - given : proportions[i] * left / weight);
      given += widths[i];
      if (floorSum <= room && widths[i] < floors[i]) {
        pinned[i] = true;
        settled = false;
      }
    }
    if (settled) break;
  }
  return widths;
}

}  // namespace trawlscope
