#include "results/ShownRows.h"

#include <algorithm>
#include <bit>

namespace trawlscope {
namespace {

constexpr size_t kWordRows = 64;

}  // namespace

void ShownRows::Add(bool shown) {
  if (rows_ % kBlockRows == 0) before_.push_back(count_);
  if (rows_ % kWordRows == 0) bits_.push_back(0);
  if (shown) {
    bits_.back() |= std::uint64_t{1} << (rows_ % kWordRows);
    ++count_;
  }
  ++rows_;
}

void ShownRows::Finish() {
  if (count_ * kSparse >= rows_) {
    bits_.shrink_to_fit();
    before_.shrink_to_fit();
    return;
  }
  places_.reserve(count_);
  for (size_t word = 0; word < bits_.size(); ++word)
    for (std::uint64_t bits = bits_[word]; bits != 0; bits &= bits - 1)
      places_.push_back(static_cast<std::uint32_t>(word * kWordRows + static_cast<size_t>(std::countr_zero(bits))));
  std::vector<std::uint64_t>().swap(bits_);
  std::vector<size_t>().swap(before_);
  sparse_ = true;
}

size_t ShownRows::operator[](size_t k) const {
  if (sparse_) return places_[k];
  // The last block with at most k shown rows before it holds the row.
  const size_t block = static_cast<size_t>(std::upper_bound(before_.begin(), before_.end(), k) - before_.begin()) - 1;
  size_t left = k - before_[block];
  size_t word = block * (kBlockRows / kWordRows);
  for (;; ++word) {
    const size_t inWord = static_cast<size_t>(std::popcount(bits_[word]));
    if (left < inWord) break;
    left -= inWord;
  }
  std::uint64_t bits = bits_[word];
  for (; left > 0; --left) bits &= bits - 1;
  return word * kWordRows + static_cast<size_t>(std::countr_zero(bits));
}

}  // namespace trawlscope
