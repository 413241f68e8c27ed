#include "gui/dialogs/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include "app/SettingsStore.h"

namespace trawlscope {
namespace {

// A window manager frames a new window within moments; one that has not by
// then never will (a platform without frames).
constexpr int kFramingWaitMs = 3000;
const char kWatchName[] = "trawlscope-framing-watch";

ScreenRect DesktopArea() {
  const QRect area = QGuiApplication::primaryScreen()->availableVirtualGeometry();
  return {area.left(), area.top(), area.right() + 1, area.bottom() + 1};
}

// Waits on the window's own events for its frame to appear, applies the
// frame once more and goes. Deleted with the window or when the wait ends.
class FramingWatch final : public QObject {
 public:
  FramingWatch(QWidget& window, const ScreenRect& frame) : QObject(&window), window_(window), frame_(frame) {
    setObjectName(QLatin1String(kWatchName));
    window.installEventFilter(this);
    QTimer::singleShot(kFramingWaitMs, this, [this] { deleteLater(); });
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (watched == &window_ && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show) &&
        FrameExtra(window_).width + FrameExtra(window_).height > 0) {
      window_.removeEventFilter(this);
      MoveFrameTo(window_, KeptOnScreen(frame_, DesktopArea()));
      deleteLater();
    }
    return false;
  }

 private:
  QWidget& window_;
  ScreenRect frame_;
};

}  // namespace

ScreenSize DesktopSize() {
  const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
  return {desktop.right() + 1, desktop.bottom() + 1};
}

ScreenRect FrameOf(const QWidget& window) {
  const QRect frame = window.frameGeometry();
  return {frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1};
}

ScreenSize FrameExtra(const QWidget& window) {
  const QRect outer = window.frameGeometry(), inner = window.geometry();
  return {outer.width() - inner.width(), outer.height() - inner.height()};
}

void MoveFrameTo(QWidget& window, const ScreenRect& frame) {
  window.move(frame.left, frame.top);
  const ScreenSize extra = FrameExtra(window);
  window.resize(frame.right - frame.left - extra.width, frame.bottom - frame.top - extra.height);
}

void PlaceFrame(QWidget& window, const ScreenRect& frame) {
  for (QObject* old : window.findChildren<QObject*>(QLatin1String(kWatchName), Qt::FindDirectChildrenOnly)) delete old;
  MoveFrameTo(window, frame);
  if (FrameExtra(window).width + FrameExtra(window).height == 0) new FramingWatch(window, frame);
}

}  // namespace trawlscope
