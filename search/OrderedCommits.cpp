#include "search/OrderedCommits.h"

#include <chrono>

namespace trawlscope {
namespace {

// The abort flag is a plain atomic that nobody signals: waiters look at it this often.
constexpr auto kAbortPoll = std::chrono::milliseconds(50);

}  // namespace

bool OrderedCommits::WaitForRoom(size_t index, const AbortFlag& abortRequested) {
  std::unique_lock lock(mutex_);
  while (index >= next_ + window_) {
    if (IsAborted(abortRequested)) return false;
    room_.wait_for(lock, kAbortPoll);
  }
  return !IsAborted(abortRequested);
}

void OrderedCommits::Commit(size_t index, Step step) {
  std::lock_guard lock(mutex_);
  held_.emplace(index, std::move(step));
  RunReadySteps();
}

void OrderedCommits::RunReadySteps() {
  const size_t before = next_;
  for (auto it = held_.begin(); it != held_.end() && it->first == next_; it = held_.erase(it), ++next_)
    if (it->second) it->second();
  if (next_ != before) room_.notify_all();
}

void OrderedCommits::Flush() {
  std::lock_guard lock(mutex_);
  for (auto& [index, step] : held_)
    if (step) step();
  held_.clear();
}

}  // namespace trawlscope
