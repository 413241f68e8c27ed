#pragma once
// Where a run's worker executes, and how it reaches the UI thread: behind a
// seam so that tests can run both on one thread.
#include <functional>

namespace trawlscope {

class IRunThread {
 public:
  virtual ~IRunThread() = default;
  // Starts `work` on a new thread; false when no thread could be started.
  virtual bool Start(std::function<void()> work) = 0;
  // Waits for the last started work to end (it has ended or is ending).
  virtual void Join() = 0;
  // From the worker: runs `call` on the UI thread and returns once it is done.
  virtual void CallOnUiThread(const std::function<void()>& call) = 0;
};

}  // namespace trawlscope
