#pragma once
// Where a run publishes how far it has come, for whoever shows it to read at
// its own pace: the run never waits for a display.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "search/listing/FileList.h"
#include "search/listing/PathHelpers.h"

namespace trawlscope {

enum class RunPhase : std::uint8_t { Idle, Listing, Searching, Replacing };

struct ProgressSnapshot {
  RunPhase phase = RunPhase::Idle;  // Listing while the listing goes on, searching or not
  size_t started = 0;               // files whose turn has come, in list order
  size_t listed = 0;                // files listed so far; the total once listing is done
  size_t filesChanged = 0;          // a replace: files written so far
  std::u16string fileName;          // the file whose turn came last, without its folder
  size_t filesLeftOut = 0;          // by "!" patterns, ignore rules, the version-control option and the bounds
  size_t foldersLeftOut = 0;        // the same for folders, whose files are never looked at
  bool listingWhole = false;        // the listing ran to its end, not stopped by an abort
};

// Any thread.
class RunProgress {
 public:
  void Start(RunPhase workPhase) {
    std::lock_guard lock(mutex_);
    now_ = {};
    now_.phase = RunPhase::Listing;
    current_.store(nullptr, std::memory_order_relaxed);
    workPhase_ = workPhase;
    listed_.store(0, std::memory_order_relaxed);
    started_.store(0, std::memory_order_relaxed);
    filesLeftOut_.store(0, std::memory_order_relaxed);
    foldersLeftOut_.store(0, std::memory_order_relaxed);
  }
  // Once a file, on the listing's thread: no lock for it to share with the searchers.
  void FileListed() { listed_.fetch_add(1, std::memory_order_relaxed); }
  // On the listing's thread, as FileListed.
  void Omitted(LeftOut what) {
    (what == LeftOut::File ? filesLeftOut_ : foldersLeftOut_).fetch_add(1, std::memory_order_relaxed);
  }
  void ListingDone(bool whole) {
    std::lock_guard lock(mutex_);
    now_.phase = workPhase_;
    now_.listingWhole = whole;
  }
  // Once a file, in list order, under the feed's lock: kept short. `path`
  // stays as it is until Finish(), and its name is taken only when a
  // display reads.
  void FileStarted(const std::u16string& path) {
    started_.fetch_add(1, std::memory_order_relaxed);
    current_.store(&path, std::memory_order_release);
  }
  void FileChanged() {
    std::lock_guard lock(mutex_);
    ++now_.filesChanged;
  }
  // Once every searcher has stopped, before the run's file list may go.
  void Finish() {
    std::lock_guard lock(mutex_);
    if (const std::u16string* path = current_.exchange(nullptr)) now_.fileName = FileNameViewOf(*path);
    now_.phase = RunPhase::Idle;
  }
  ProgressSnapshot Read() const {
    std::lock_guard lock(mutex_);
    ProgressSnapshot snapshot = now_;
    if (const std::u16string* path = current_.load(std::memory_order_acquire)) snapshot.fileName = FileNameViewOf(*path);
    snapshot.listed = listed_.load(std::memory_order_relaxed);
    snapshot.started = started_.load(std::memory_order_relaxed);
    snapshot.filesLeftOut = filesLeftOut_.load(std::memory_order_relaxed);
    snapshot.foldersLeftOut = foldersLeftOut_.load(std::memory_order_relaxed);
    return snapshot;
  }

 private:
  mutable std::mutex mutex_;
  ProgressSnapshot now_;
  std::atomic<size_t> listed_{0};
  std::atomic<size_t> started_{0};
  std::atomic<size_t> filesLeftOut_{0};
  std::atomic<size_t> foldersLeftOut_{0};
  std::atomic<const std::u16string*> current_{nullptr};  // a path of the run's file list
  RunPhase workPhase_ = RunPhase::Searching;
};

}  // namespace trawlscope
