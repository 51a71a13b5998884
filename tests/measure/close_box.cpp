// The close box of a top-level window pressed as a window manager reports it: the client
// message WM_PROTOCOLS / WM_DELETE_WINDOW sent to the window (the test display runs no
// window manager that could draw the box).
#include <X11/Xlib.h>

#include <functional>
#include <string>

bool PressCloseBox(const std::string& title) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  std::function<Window(Window)> find = [&](Window w) -> Window {
    char* name = nullptr;
    if (XFetchName(display, w, &name) && name) {
      const bool match = title == name;
      XFree(name);
      if (match) return w;
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, w, &root, &parent, &children, &count)) {
      for (unsigned int i = 0; i < count && !found; ++i) found = find(children[i]);
      if (children) XFree(children);
    }
    return found;
  };
  const Window window = find(DefaultRootWindow(display));
  if (window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
  }
  XCloseDisplay(display);
  return window != 0;
}
