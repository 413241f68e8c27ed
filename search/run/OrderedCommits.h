#pragma once
// Each file's result reaches the run in list order, whichever searcher
// finished it first, so that hits and outcomes come exactly as one searcher
// alone would give them. Any thread.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
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
  // in the slot its index names. Parts handed over before a file is done
  // are held back up to `heldBudget` bytes in all.
  OrderedCommits(size_t window, Target& target, size_t heldBudget = SIZE_MAX)
      : target_(target), slots_(window), filled_(window, false), parts_(window), budget_(heldBudget) {}

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

  // A part of file `index`'s result (of `bytes` in memory), handed over
  // while the file is still worked on: run at once when the file is the next
  // to commit, else held back until it is. Once the parts held back pass the
  // budget, the caller waits until its file is the next or room is made
  // again; the next file never waits, so the run always moves on. `index`
  // must have had room; its step, committed later, runs after its parts.
  void HandOver(size_t index, Step part, size_t bytes, const AbortFlag& abortRequested) {
    std::unique_lock lock(mutex_);
    if (index == next_) {
      // Its parts held back before ran when it became the next.
      part(target_);
      return;
    }
    parts_[index % slots_.size()].push_back({std::move(part), bytes});
    held_ += bytes;
    if (held_ <= budget_) return;
    ++waiting_;
    while (index != next_ && held_ > budget_ && !IsAborted(abortRequested)) room_.wait_for(lock, kAbortPoll);
    --waiting_;
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
    // The parts of the file that is now the next go out, so that its searcher goes on.
    if (next != before) RunParts(next % slots_.size());
    next_.store(next, std::memory_order_release);
    // This condition variable takes a lock of its own to notify: only for waiters.
    if (next != before && waiting_ > 0) room_.notify_all();
  }

  // Once every searcher has stopped: runs the steps still held back, in list
  // order, past the files an abort left out.
  void Flush() {
    std::lock_guard lock(mutex_);
    for (size_t k = next_; k < next_ + slots_.size(); ++k) RunSlot(k % slots_.size());
  }

 private:
  // The abort flag is a plain atomic that nobody signals: waiters look at it this often.
  static constexpr auto kAbortPoll = std::chrono::milliseconds(50);

  struct Part {
    Step step;
    size_t bytes;
  };

  void RunParts(size_t slot) {
    for (Part& part : parts_[slot]) {
      part.step(target_);
      held_ -= part.bytes;
    }
    parts_[slot].clear();
  }

  // The file's parts held back, then its step when it has one.
  void RunSlot(size_t slot) {
    if (!parts_[slot].empty()) RunParts(slot);
    if (!filled_[slot]) return;
    filled_[slot] = false;
    Step step = std::move(slots_[slot]);
    if (step) step(target_);
  }

  AdaptiveMutex mutex_;
  std::condition_variable_any room_;
  Target& target_;
  std::vector<Step> slots_;
  std::vector<bool> filled_;
  std::vector<std::vector<Part>> parts_;  // handed over ahead of their file's turn
  size_t budget_;
  size_t held_ = 0;  // the bytes of the parts in parts_
  std::atomic<size_t> next_{0};  // written under the lock
  int waiting_ = 0;              // searchers in WaitForRoom's or HandOver's wait, under the lock
};

}  // namespace trawlscope
