#pragma once
// The rows a filter lets through, as places in the order it filtered. A
// filter's first letters let most rows through: kept as an index a row, they
// would cost as much as a second order. They are kept as one bit a row,
// with where every kSampleEvery-th shown row stands, or, when few are shown,
// as their places.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace trawlscope {

class ShownRows {
 public:
  // Rows one after another, in the filtered order.
  void Add(bool shown);
  // When all are added: fewer than one in kSparse shown are kept as places.
  void Finish();

  size_t size() const { return count_; }
  // The place of the `k`-th shown row in the filtered order.
  size_t operator[](size_t k) const;

  static constexpr size_t kBlockRows = 512;
  static constexpr size_t kSparse = 32;

 private:
  std::vector<std::uint64_t> bits_;
  std::vector<size_t> before_;  // shown rows before each block
  std::vector<std::uint32_t> places_;  // when few are shown
  bool sparse_ = false;
  size_t rows_ = 0;
  size_t count_ = 0;
};

}  // namespace trawlscope
