#pragma once
// Window frames as the placement rule sees them: outer rectangles in screen
// pixels, right and bottom exclusive.
#include <QWidget>

#include "app/PlaceableWindow.h"

namespace trawlscope {

ScreenSize DesktopSize();
ScreenRect FrameOf(const QWidget& window);
// Moves and resizes so that the window's outer frame is `frame`.
void MoveFrameTo(QWidget& window, const ScreenRect& frame);

}  // namespace trawlscope
