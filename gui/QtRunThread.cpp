#include "gui/QtRunThread.h"

#include <QMetaObject>
#include <QThread>
#include <system_error>

namespace trawlscope {

QtRunThread::QtRunThread() = default;

QtRunThread::~QtRunThread() { Join(); }

bool QtRunThread::Start(std::function<void()> work) {
  Join();
  try {
    worker_ = std::thread(std::move(work));
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void QtRunThread::Join() {
  if (worker_.joinable()) worker_.join();
}

void QtRunThread::CallOnUiThread(const std::function<void()>& call) {
  if (QThread::currentThread() == uiReceiver_.thread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(&uiReceiver_, [&call] { call(); }, Qt::BlockingQueuedConnection);
}

}  // namespace trawlscope
