#include "results/RowOrder.h"

#include <algorithm>

namespace trawlscope {

RowOrder::RowOrder(std::vector<RowIndex> hits) : hits_(std::move(hits)), size_(hits_.size()) {}

RowOrder::RowOrder(const std::vector<Stretch>& stretches) {
  placed_.reserve(stretches.size());
  for (const Stretch& stretch : stretches) {
    if (stretch.count == 0) continue;
    placed_.push_back({static_cast<RowIndex>(size_), stretch.firstHit});
    size_ += stretch.count;
  }
}

RowIndex RowOrder::operator[](size_t row) const {
  if (placed_.empty()) return hits_[row];
  const auto after = std::upper_bound(placed_.begin(), placed_.end(), row,
                                      [](size_t r, const Placed& placed) { return r < placed.firstRow; });
  const Placed& in = *(after - 1);
  return static_cast<RowIndex>(in.firstHit + (row - in.firstRow));
}

std::vector<RowIndex> RowOrder::Indices() const {
  std::vector<RowIndex> indices;
  indices.reserve(size_);
  ForEach([&](size_t, RowIndex hit) {
    indices.push_back(hit);
    return true;
  });
  return indices;
}

}  // namespace trawlscope
