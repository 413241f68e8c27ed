#pragma once
// Where a run publishes how far it has come, for whoever shows it to read at
// its own pace: the run never waits for a display.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace trawlscope {

enum class RunPhase : std::uint8_t { Idle, Listing, Searching, Replacing };

struct ProgressSnapshot {
  RunPhase phase = RunPhase::Idle;  // Listing while the listing goes on, searching or not
  size_t started = 0;               // files whose turn has come, in list order
  size_t listed = 0;                // files listed so far; the total once listing is done
  size_t filesChanged = 0;          // a replace: files written so far
  std::u16string fileName;          // the file whose turn came last, without its folder
};

// Any thread.
class RunProgress {
 public:
  void Start(RunPhase workPhase) {
    std::lock_guard lock(mutex_);
    now_ = {};
    now_.phase = RunPhase::Listing;
    workPhase_ = workPhase;
    listed_.store(0, std::memory_order_relaxed);
    started_.store(0, std::memory_order_relaxed);
  }
  // Once a file, on the listing's thread: no lock for it to share with the searchers.
  void FileListed() { listed_.fetch_add(1, std::memory_order_relaxed); }
  void ListingDone() {
    std::lock_guard lock(mutex_);
    now_.phase = workPhase_;
  }
  // Once a file. The name is for the eye only: while a display is reading,
  // the next file's name will do, and the searcher goes on at once.
  void FileStarted(std::u16string_view fileName) {
    started_.fetch_add(1, std::memory_order_relaxed);
    std::unique_lock lock(mutex_, std::try_to_lock);
    if (lock.owns_lock()) now_.fileName.assign(fileName);
  }
  void FileChanged() {
    std::lock_guard lock(mutex_);
    ++now_.filesChanged;
  }
  void Finish() {
    std::lock_guard lock(mutex_);
    now_.phase = RunPhase::Idle;
  }
  ProgressSnapshot Read() const {
    std::lock_guard lock(mutex_);
    ProgressSnapshot snapshot = now_;
    snapshot.listed = listed_.load(std::memory_order_relaxed);
    snapshot.started = started_.load(std::memory_order_relaxed);
    return snapshot;
  }

 private:
  mutable std::mutex mutex_;
  ProgressSnapshot now_;
  std::atomic<size_t> listed_{0};
  std::atomic<size_t> started_{0};
  RunPhase workPhase_ = RunPhase::Searching;
};

}  // namespace trawlscope
