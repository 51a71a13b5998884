#include "tests/support/program_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>

namespace tvxtest {
namespace {

Display* Dpy(void* display) { return static_cast<Display*>(display); }

// Windows come and go while they are looked at: an error about one that has just gone is
// no fault of the test. The toolkit's own handler is put back afterwards.
int IgnoreError(Display*, XErrorEvent*) { return 0; }
class IgnoreErrors {
 public:
  explicit IgnoreErrors(Display* d) : display_(d), previous_(XSetErrorHandler(&IgnoreError)) {}
  ~IgnoreErrors() {
    XSync(display_, False);
    XSetErrorHandler(previous_);
  }

 private:
  Display* display_;
  int (*previous_)(Display*, XErrorEvent*);
};

// The window's _NET_WM_PID, 0 when it has none.
unsigned long PidOf(Display* d, Window w) {
  static const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  unsigned long pid = 0;
  if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                         &data) == Success &&
      data && format == 32 && count == 1) {
    pid = *reinterpret_cast<unsigned long*>(data);
  }
  if (data) XFree(data);
  return pid;
}

void Collect(Display* d, Window w, unsigned long pid, std::vector<ProgramWindow>& out) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(d, w, &attributes)) return;
  if (attributes.map_state == IsViewable && !attributes.override_redirect && PidOf(d, w) == pid) {
    ProgramWindow found;
    found.id = w;
    char* name = nullptr;
    if (XFetchName(d, w, &name) && name) {
      found.title = name;
      XFree(name);
    }
    Window child = 0;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &found.rect.x, &found.rect.y, &child);
    found.rect.width = attributes.width;
    found.rect.height = attributes.height;
    out.push_back(found);
    return;
  }
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &count)) return;
  for (unsigned int i = 0; i < count; ++i) Collect(d, children[i], pid, out);
  if (children) XFree(children);
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const ScreenRect& r) {
  return out << r.x << "," << r.y << " " << r.width << "x" << r.height;
}

bool OpensOver(const ScreenRect& window, const ScreenRect& owner, const ScreenRect& screen,
               int tolerance) {
  const int dx = (window.x + window.width / 2) - (owner.x + owner.width / 2);
  const int dy = (window.y + window.height / 2) - (owner.y + owner.height / 2);
  const bool onScreen = window.x >= screen.x && window.y >= screen.y &&
                        window.x + window.width <= screen.x + screen.width &&
                        window.y + window.height <= screen.y + screen.height;
  return std::abs(dx) <= tolerance && std::abs(dy) <= tolerance && onScreen;
}

ProgramWindows::ProgramWindows(pid_t pid) : display_(XOpenDisplay(nullptr)), pid_(pid) {}

ProgramWindows::~ProgramWindows() {
  if (display_) XCloseDisplay(Dpy(display_));
}

std::vector<ProgramWindow> ProgramWindows::Shown() {
  std::vector<ProgramWindow> out;
  if (!display_) return out;
  const IgnoreErrors ignore(Dpy(display_));
  Collect(Dpy(display_), DefaultRootWindow(Dpy(display_)), static_cast<unsigned long>(pid_), out);
  return out;
}

ProgramWindow ProgramWindows::Find(const std::string& title) {
  for (const ProgramWindow& w : Shown()) {
    if (w.title == title) return w;
  }
  return {};
}

bool ProgramWindows::PopupOpen() {
  if (!display_) return false;
  Display* d = Dpy(display_);
  const IgnoreErrors ignore(d);
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return false;
  bool open = false;
  for (unsigned int i = 0; i < count && !open; ++i) {
    XWindowAttributes attributes;
    open = XGetWindowAttributes(d, children[i], &attributes) && attributes.override_redirect &&
           attributes.map_state == IsViewable && attributes.width > 1 && attributes.height > 1;
  }
  if (children) XFree(children);
  return open;
}

void ProgramWindows::Resize(const ProgramWindow& window, int width, int height) {
  if (!display_ || !window.id) return;
  const IgnoreErrors ignore(Dpy(display_));
  XResizeWindow(Dpy(display_), window.id, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XFlush(Dpy(display_));
}

void ProgramWindows::Move(const ProgramWindow& window, int x, int y) {
  if (!display_ || !window.id) return;
  const IgnoreErrors ignore(Dpy(display_));
  XMoveWindow(Dpy(display_), window.id, x, y);
  XFlush(Dpy(display_));
}

void ProgramWindows::Close(const ProgramWindow& window) {
  if (!display_ || !window.id) return;
  Display* d = Dpy(display_);
  const IgnoreErrors ignore(d);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window.id;
  event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, window.id, False, NoEventMask, &event);
  XFlush(d);
}

ScreenRect ProgramWindows::Screen() {
  if (!display_) return {};
  Display* d = Dpy(display_);
  return {0, 0, DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d))};
}

std::vector<std::uint32_t> ProgramWindows::Pixels(const ScreenRect& rect) {
  std::vector<std::uint32_t> out;
  const ScreenRect screen = Screen();
  ScreenRect part = rect;
  part.x = std::max(rect.x, 0);
  part.y = std::max(rect.y, 0);
  part.width = std::min(rect.x + rect.width, screen.width) - part.x;
  part.height = std::min(rect.y + rect.height, screen.height) - part.y;
  if (!display_ || part.width <= 0 || part.height <= 0) return out;
  Display* d = Dpy(display_);
  const IgnoreErrors ignore(d);
  XImage* image = XGetImage(d, DefaultRootWindow(d), part.x, part.y, static_cast<unsigned>(part.width),
                            static_cast<unsigned>(part.height), AllPlanes, ZPixmap);
  if (!image) return out;
  out.reserve(static_cast<size_t>(part.width) * static_cast<size_t>(part.height));
  for (int y = 0; y < part.height; ++y) {
    for (int x = 0; x < part.width; ++x) out.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)));
  }
  XDestroyImage(image);
  return out;
}

}  // namespace tvxtest
