#include "platform/qt/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>

namespace trawlscope {

ScreenSize DesktopSize() {
  const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
  return {desktop.right() + 1, desktop.bottom() + 1};
}

ScreenRect FrameOf(const QWidget& window) {
  const QRect frame = window.frameGeometry();
  return {frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1};
}

void MoveFrameTo(QWidget& window, const ScreenRect& frame) {
  window.move(frame.left, frame.top);
  const QRect outer = window.frameGeometry(), inner = window.geometry();
  window.resize(frame.right - frame.left - (outer.width() - inner.width()),
                frame.bottom - frame.top - (outer.height() - inner.height()));
}

}  // namespace trawlscope
