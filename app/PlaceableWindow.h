#pragma once
// What the window placement rule needs of a top-level window.

namespace trawlscope {

struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const ScreenRect&) const = default;
};

struct ScreenSize {
  int width = 0;
  int height = 0;
};

// UI thread only.
class IPlaceableWindow {
 public:
  virtual ~IPlaceableWindow() = default;
  // The size of the whole desktop, all monitors together.
  virtual ScreenSize VirtualScreenSize() const = 0;
  // Moves and resizes the outer frame, then repaints.
  virtual void MoveTo(const ScreenRect& frame) = 0;
};

}  // namespace trawlscope
