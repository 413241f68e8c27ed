// Presses Return in a window, then waits until a top-level window whose title
// starts with PREFIX is mapped and prints the time between the two, in
// seconds. It sleeps on X events rather than polling with xdotool, which on a
// small machine would steal the cores the timed program runs on, and it sends
// the key itself, so that no program start lies inside the measured time.
// Usage: trawlscope-window-wait WINDOW_ID PREFIX [TIMEOUT_SECONDS]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string TitleOf(Display* display, Window window) {
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after,
                         &data) == Success &&
      data != nullptr) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  if (title.empty()) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name != nullptr) {
      title = name;
      XFree(name);
    }
  }
  return title;
}

// Listens to a window and, one level down, to the frames a window manager
// puts around clients.
void Watch(Display* display, Window window) {
  XSelectInput(display, window, StructureNotifyMask | SubstructureNotifyMask | PropertyChangeMask);
}

bool Matches(Display* display, Window window, const std::string& prefix) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) return false;
  return TitleOf(display, window).rfind(prefix, 0) == 0;
}

// An existing window that already matches, watching every window on the way.
bool WatchTree(Display* display, Window window, const std::string& prefix, int depth) {
  Watch(display, window);
  if (depth > 0 && Matches(display, window, prefix)) return true;
  if (depth >= 2) return false;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return false;
  bool found = false;
  for (unsigned i = 0; i < count && !found; ++i) found = WatchTree(display, children[i], prefix, depth + 1);
  if (children != nullptr) XFree(children);
  return found;
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }  // windows may vanish as we look

// As `xdotool key --window` does: a synthetic press and release.
void PressReturn(Display* display, Window window) {
  XKeyEvent key{};
  key.display = display;
  key.window = window;
  key.root = DefaultRootWindow(display);
  key.subwindow = None;
  key.time = CurrentTime;
  key.same_screen = True;
  key.keycode = XKeysymToKeycode(display, XK_Return);
  key.type = KeyPress;
  XSendEvent(display, window, True, KeyPressMask, reinterpret_cast<XEvent*>(&key));
  key.type = KeyRelease;
  XSendEvent(display, window, True, KeyReleaseMask, reinterpret_cast<XEvent*>(&key));
  XFlush(display);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: trawlscope-window-wait WINDOW_ID PREFIX [TIMEOUT_SECONDS]\n");
    return 2;
  }
  const Window target = std::strtoul(argv[1], nullptr, 0);
  const std::string prefix = argv[2];
  const double timeout = argc > 3 ? std::atof(argv[3]) : 120.0;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "cannot open the display\n");
    return 2;
  }
  XSetErrorHandler(IgnoreErrors);
  if (WatchTree(display, DefaultRootWindow(display), prefix, 0)) {
    std::fprintf(stderr, "a window titled \"%s...\" is already shown\n", prefix.c_str());
    return 1;
  }
  XSync(display, False);
  const auto start = std::chrono::steady_clock::now();
  const auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
  const auto done = [&] {
    std::printf("%.3f\n", elapsed());
    return 0;
  };
  PressReturn(display, target);

  pollfd wait{ConnectionNumber(display), POLLIN, 0};
  while (elapsed() < timeout) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      switch (event.type) {
        case CreateNotify: Watch(display, event.xcreatewindow.window); break;
        case ReparentNotify: Watch(display, event.xreparent.window); break;
        case MapNotify:
          if (Matches(display, event.xmap.window, prefix)) return done();
          break;
        case PropertyNotify:
          if (Matches(display, event.xproperty.window, prefix)) return done();
          break;
        default: break;
      }
    }
    poll(&wait, 1, 100);
  }
  std::fprintf(stderr, "no window titled \"%s...\" within %.0f s\n", prefix.c_str(), timeout);
  return 1;
}
