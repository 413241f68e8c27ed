#pragma once
#include <atomic>
#include <memory>
#include <vector>

#include "search/Hit.h"

namespace trawlscope {

// The hits of a run in discovery order. The worker appends; while a run goes
// on the UI thread may call only Count(), which never touches the vector's
// storage that an append may be moving.
class HitList {
 public:
  static constexpr size_t kInitialRoom = 1000;

  // Worker thread, or the UI thread while no run is in progress.
  void Clear() {
    hits_.clear();
    count_.store(0, std::memory_order_release);
  }
  void Reserve(size_t room) { hits_.reserve(room); }
  void Append(std::unique_ptr<Hit> hit) {
    hits_.push_back(std::move(hit));
    count_.store(hits_.size(), std::memory_order_release);
  }

  // Moves every hit of `other` to the end, in their order.
  void Take(HitList&& other) {
    if (hits_.empty() && hits_.capacity() < other.hits_.size()) hits_.reserve(other.hits_.size());
    for (auto& hit : other.hits_) hits_.push_back(std::move(hit));
    other.Clear();
    count_.store(hits_.size(), std::memory_order_release);
  }

  // Any thread.
  size_t Count() const { return count_.load(std::memory_order_acquire); }

  // Only while no run is in progress.
  size_t size() const { return hits_.size(); }
  const Hit& operator[](size_t i) const { return *hits_[i]; }
  auto begin() const { return hits_.begin(); }
  auto end() const { return hits_.end(); }

 private:
  std::vector<std::unique_ptr<Hit>> hits_;
  std::atomic<size_t> count_{0};
};

}  // namespace trawlscope
