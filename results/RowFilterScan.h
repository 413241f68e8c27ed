#pragma once
// Which hits the result list's filter lets through, found off the UI thread.
#include <atomic>
#include <optional>
#include <vector>

#include "results/RowTable.h"

namespace trawlscope {

struct FilterMatches {
  std::vector<bool> match;  // by discovery index
  bool valid = true;        // false: the expression did not compile; nothing matches
};

// A hit passes when the filter's text (or expression) is found, ignoring
// case, in its full path as shown or in its row's text (left context,
// keyword and right context as one). Nothing once `cancel` is set. Any
// thread, while `hits` does not change.
std::optional<FilterMatches> MatchingHits(const HitList& hits, const RowFilter& filter, const std::atomic<bool>& cancel);

}  // namespace trawlscope
