#pragma once
// A run's worker on a std::thread; its calls to the UI thread are queued to
// the Qt event loop and waited for.
#include <QObject>
#include <thread>

#include "app/RunThread.h"

namespace trawlscope {

class QtRunThread final : public IRunThread {
 public:
  // Create on the UI thread.
  QtRunThread();
  ~QtRunThread() override;
  bool Start(std::function<void()> work) override;
  void Join() override;
  void CallOnUiThread(const std::function<void()>& call) override;

 private:
  QObject uiReceiver_;  // lives on the UI thread: queued calls run there
  std::thread worker_;
};

}  // namespace trawlscope
