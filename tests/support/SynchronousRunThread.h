#pragma once
// A run "thread" that runs the work at once on the caller's thread, and the
// worker's calls to the UI thread at once too: a whole run happens inside
// Start, deterministically, with no thread and no wait.
#include <functional>

#include "app/RunThread.h"

namespace trawlscope::test {

class SynchronousRunThread final : public IRunThread {
 public:
  bool refuseToStart = false;  // as when no thread can be created
  int starts = 0;
  int joins = 0;

  bool Start(std::function<void()> work) override {
    if (refuseToStart) return false;
    ++starts;
    work();
    return true;
  }
  void Join() override { ++joins; }
  void CallOnUiThread(const std::function<void()>& call) override { call(); }
};

}  // namespace trawlscope::test
