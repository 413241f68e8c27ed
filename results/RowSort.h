#pragma once
// The sorted orders of the result list's rows, made off the UI thread.
#include <atomic>
#include <optional>
#include <vector>

#include "results/RowTable.h"

namespace trawlscope {

// Every hit's index, sorted stably by `column`'s key (see ArrangeRows);
// nothing once `cancel` is set. Any thread, while `hits` does not change.
std::optional<RowOrder> SortedOrder(const HitList& hits, ResultColumn column, bool descending,
                                                 const std::atomic<bool>& cancel);

}  // namespace trawlscope
