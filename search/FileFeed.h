#pragma once
// The files of a run as the listing finds them: the listing adds them, the
// searchers take them in list order, each with its index, and the end of the
// listing closes the feed. Any thread.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "search/AbortFlag.h"

namespace trawlscope {

class FileFeed {
 public:
  // Runs under the feed's lock each time a file is taken, so that its calls
  // come in list order: progress, and the tests' hooks.
  using OnTaken = std::function<void(size_t index, const std::u16string& path)>;
  explicit FileFeed(OnTaken onTaken) : onTaken_(std::move(onTaken)) {}

  void Add(std::u16string path);
  void Close();

  // The next file; false once the feed is closed and empty, or the run aborted.
  bool Take(const AbortFlag& abortRequested, size_t& index, std::u16string& path);

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::u16string> waiting_;
  size_t taken_ = 0;
  bool closed_ = false;
  OnTaken onTaken_;
};

}  // namespace trawlscope
