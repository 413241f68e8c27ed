#pragma once
// The files of a run as the listing finds them: the listing adds them, the
// searchers take them in list order, each with its index, and the end of the
// listing closes the feed. Add and Close on the listing's thread, Take on any.
// The files end up in the run's list, which nobody else touches meanwhile.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "search/AbortFlag.h"
#include "search/run/AdaptiveMutex.h"
#include "search/listing/FileList.h"

namespace trawlscope {

class FileFeed {
 public:
  // Runs under the feed's lock each time a file is taken, so that its calls
  // come in list order: progress, and the tests' hooks.
  using OnTaken = std::function<void(size_t index, const std::u16string& path)>;
  FileFeed(FileList& files, OnTaken onTaken) : files_(files), onTaken_(std::move(onTaken)) {}

  void Add(std::u16string path);
  // Hands the files added since the last time to the searchers: the listing
  // calls it before anything that may keep it away a while.
  void Publish();
  void Close();

  // The next file, which stays valid while the feed lives; null once the
  // feed is closed and empty, or the run aborted before a file was taken.
  const std::u16string* Take(const AbortFlag& abortRequested, size_t& index);

 private:
  // The listing's own: files not yet handed over. Handing them over in
  // batches keeps the listing and the searchers off each other's lock.
  std::vector<std::u16string> pending_;

  AdaptiveMutex mutex_;
  std::condition_variable_any ready_;
  // Every file of the run, kept until its end: a path is freed by the thread
  // that made it, not by a searcher, whose frees would queue on the
  // listing's allocator.
  FileList& files_;
  size_t taken_ = 0;
  bool closed_ = false;
  std::atomic<int> waiting_{0};
  OnTaken onTaken_;
};

}  // namespace trawlscope
