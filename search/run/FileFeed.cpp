#include "search/run/FileFeed.h"

#include <chrono>
#include <iterator>

namespace trawlscope {
namespace {

// The abort flag is a plain atomic that nobody signals: waiters look at it this often.
constexpr auto kAbortPoll = std::chrono::milliseconds(50);

// Files handed over at once while every searcher has work.
constexpr size_t kBatch = 64;

}  // namespace

void FileFeed::Add(std::u16string path) {
  pending_.push_back(std::move(path));
  if (pending_.size() >= kBatch || waiting_.load(std::memory_order_relaxed) > 0) Publish();
}

void FileFeed::Publish() {
  if (pending_.empty()) return;
  {
    std::lock_guard lock(mutex_);
    files_.insert(files_.end(), std::make_move_iterator(pending_.begin()), std::make_move_iterator(pending_.end()));
  }
  pending_.clear();
  ready_.notify_all();
}

void FileFeed::Close() {
  Publish();
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  ready_.notify_all();
}

const std::u16string* FileFeed::Take(const AbortFlag& abortRequested, size_t& index) {
  std::unique_lock lock(mutex_);
  while (taken_ == files_.size() && !closed_ && !IsAborted(abortRequested)) {
    waiting_.fetch_add(1, std::memory_order_relaxed);
    ready_.wait_for(lock, kAbortPoll);
    waiting_.fetch_sub(1, std::memory_order_relaxed);
  }
  if (IsAborted(abortRequested) || taken_ == files_.size()) return nullptr;
  index = taken_++;
  const std::u16string* path = &files_[index];
  // The listing wrote the next path on another core: its first use by a
  // searcher would wait for it.
  if (taken_ < files_.size()) __builtin_prefetch(files_[taken_].data());
  if (onTaken_) onTaken_(index, *path);
  // A hook or a user may abort the run as the file is taken: the caller,
  // which checks the flag before it reads the file, counts it as not searched.
  return path;
}

}  // namespace trawlscope
