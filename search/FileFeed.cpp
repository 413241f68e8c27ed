#include "search/FileFeed.h"

#include <chrono>

namespace trawlscope {
namespace {

// The abort flag is a plain atomic that nobody signals: waiters look at it this often.
constexpr auto kAbortPoll = std::chrono::milliseconds(50);

}  // namespace

void FileFeed::Add(std::u16string path) {
  {
    std::lock_guard lock(mutex_);
    waiting_.push_back(std::move(path));
  }
  ready_.notify_one();
}

void FileFeed::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  ready_.notify_all();
}

bool FileFeed::Take(const AbortFlag& abortRequested, size_t& index, std::u16string& path) {
  std::unique_lock lock(mutex_);
  while (waiting_.empty() && !closed_ && !IsAborted(abortRequested)) ready_.wait_for(lock, kAbortPoll);
  if (IsAborted(abortRequested) || waiting_.empty()) return false;
  index = taken_++;
  path = std::move(waiting_.front());
  waiting_.pop_front();
  if (onTaken_) onTaken_(index, path);
  // A hook or a user may abort the run as the file is taken: it is then not processed.
  return !IsAborted(abortRequested);
}

}  // namespace trawlscope
