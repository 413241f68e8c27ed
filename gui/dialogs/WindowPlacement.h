#pragma once
// Window frames as the placement rule sees them: outer rectangles in screen
// pixels, right and bottom exclusive.
#include <QWidget>

#include "app/PlaceableWindow.h"

namespace trawlscope {

ScreenSize DesktopSize();
ScreenRect FrameOf(const QWidget& window);
// The frame's width and height beyond the client area; 0 while the window
// manager has not framed the window (or on a platform without frames).
ScreenSize FrameExtra(const QWidget& window);
// Moves and resizes so that the window's outer frame is `frame`, as far as
// the frame's size is known now.
void MoveFrameTo(QWidget& window, const ScreenRect& frame);
// MoveFrameTo now, and again once the window manager has framed the window:
// before that the frame's size is unknown, so the first size is the client's.
// The second time the frame is also kept on the desktop's free area. Call
// before the window is first shown, so that the position is the frame's.
void PlaceFrame(QWidget& window, const ScreenRect& frame);

}  // namespace trawlscope
