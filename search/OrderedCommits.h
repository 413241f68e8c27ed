#pragma once
// Each file's result reaches the run in list order, whichever searcher
// finished it first, so that hits and outcomes come exactly as one searcher
// alone would give them. Any thread.
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>

#include "search/AbortFlag.h"

namespace trawlscope {

class OrderedCommits {
 public:
  using Step = std::function<void()>;

  // At most `window` files may run ahead of the next one to commit, which
  // bounds the results held back behind one slow file.
  explicit OrderedCommits(size_t window) : window_(window) {}

  // Waits until file `index` is within the window; false when the run was
  // aborted meanwhile (the file is then not processed).
  bool WaitForRoom(size_t index, const AbortFlag& abortRequested);

  // Runs `step`, then every step held back behind it, in list order and one
  // at a time.
  void Commit(size_t index, Step step);

  // Once every searcher has stopped: runs the steps still held back, in list
  // order, past the files an abort left out.
  void Flush();

 private:
  void RunReadySteps();  // with the lock held

  std::mutex mutex_;
  std::condition_variable room_;
  std::map<size_t, Step> held_;
  size_t next_ = 0;
  size_t window_;
};

}  // namespace trawlscope
