#pragma once
// Each file's result reaches the run in list order, whichever searcher
// finished it first, so that hits and outcomes come exactly as one searcher
// alone would give them. Any thread.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "search/AbortFlag.h"
#include "search/run/AdaptiveMutex.h"

namespace trawlscope {

// `Target` is what the steps change: the run's summary.
template <typename Target>
class OrderedCommits {
 public:
  using Step = std::function<void(Target&)>;

  // At most `window` files may run ahead of the next one to commit, which
  // bounds the results held back behind one slow file; a file's step waits
  // in the slot its index names.
  OrderedCommits(size_t window, Target& target) : target_(target), slots_(window), filled_(window, false) {}

  // Waits until file `index` is within the window; false when the run was
  // aborted meanwhile (the file is then not processed).
  bool WaitForRoom(size_t index, const AbortFlag& abortRequested) {
    // There is nearly always room, and the next file to commit only moves
    // on: no lock to learn that.
    if (index < next_.load(std::memory_order_acquire) + slots_.size()) return !IsAborted(abortRequested);
    std::unique_lock lock(mutex_);
    ++waiting_;
    while (index >= next_ + slots_.size() && !IsAborted(abortRequested)) room_.wait_for(lock, kAbortPoll);
    --waiting_;
    return !IsAborted(abortRequested);
  }

  // Runs `step`, then every step held back behind it, in list order and one
  // at a time. `index` must have had room.
  void Commit(size_t index, Step step) {
    std::lock_guard lock(mutex_);
    slots_[index % slots_.size()] = std::move(step);
    filled_[index % slots_.size()] = true;
    const size_t before = next_;
    size_t next = before;
    for (; filled_[next % slots_.size()]; ++next) RunSlot(next % slots_.size());
    next_.store(next, std::memory_order_release);
    // This condition variable takes a lock of its own to notify: only for waiters.
    if (next != before && waiting_ > 0) room_.notify_all();
  }

  // Once every searcher has stopped: runs the steps still held back, in list
  // order, past the files an abort left out.
  void Flush() {
    std::lock_guard lock(mutex_);
    for (size_t k = next_; k < next_ + slots_.size(); ++k)
      if (filled_[k % slots_.size()]) RunSlot(k % slots_.size());
  }

 private:
  // The abort flag is a plain atomic that nobody signals: waiters look at it this often.
  static constexpr auto kAbortPoll = std::chrono::milliseconds(50);

  void RunSlot(size_t slot) {
    filled_[slot] = false;
    Step step = std::move(slots_[slot]);
    if (step) step(target_);
  }

  AdaptiveMutex mutex_;
  std::condition_variable_any room_;
  Target& target_;
  std::vector<Step> slots_;
  std::vector<bool> filled_;
  std::atomic<size_t> next_{0};  // written under the lock
  int waiting_ = 0;              // searchers in WaitForRoom's wait, under the lock
};

}  // namespace trawlscope
