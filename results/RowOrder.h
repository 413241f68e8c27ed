#pragma once
// A sorted order of the result list's rows. A sort by a file's key (its
// name, folder or code page) moves whole stretches of a file's hits, which
// keep their discovery order: such an order is kept as its stretches, a few
// bytes a file, instead of an index a hit, so that the list holds one
// order's worth of memory less while the next sort is made.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace trawlscope {

// A hit's place in discovery order. A list view counts its rows in int, so 32 bits always do.
using RowIndex = std::uint32_t;

class RowOrder {
 public:
  // Hits that follow each other in discovery order, from `firstHit` on.
  struct Stretch {
    RowIndex firstHit;
    RowIndex count;
  };

  explicit RowOrder(std::vector<RowIndex> hits);
  explicit RowOrder(const std::vector<Stretch>& stretches);

  size_t size() const { return size_; }
  RowIndex operator[](size_t row) const;
  // Calls visit(row, hit) for each row in order until it returns false.
  template <typename Visit>
  void ForEach(Visit visit) const;
  std::vector<RowIndex> Indices() const;

 private:
  struct Placed {
    RowIndex firstRow;
    RowIndex firstHit;
  };
  std::vector<RowIndex> hits_;   // an index a row; empty when kept as stretches
  std::vector<Placed> placed_;   // each stretch where its rows start
  size_t size_ = 0;
};

template <typename Visit>
void RowOrder::ForEach(Visit visit) const {
  if (placed_.empty()) {
    for (size_t row = 0; row < hits_.size(); ++row)
      if (!visit(row, hits_[row])) return;
    return;
  }
  for (size_t s = 0; s < placed_.size(); ++s) {
    const size_t end = s + 1 < placed_.size() ? placed_[s + 1].firstRow : size_;
    for (size_t row = placed_[s].firstRow; row < end; ++row)
      if (!visit(row, static_cast<RowIndex>(placed_[s].firstHit + (row - placed_[s].firstRow)))) return;
  }
}

}  // namespace trawlscope
