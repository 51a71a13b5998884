// A process's windows as the X server shows them: its top-level windows with their places on
// the screen (the toolkit's native boxes among them), open popup menus, closing and resizing a
// window as a window manager does, and what the screen shows in a rectangle. Tests that start
// the real program read and drive it through these.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tvxtest {

struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const ScreenRect&) const = default;
};
std::ostream& operator<<(std::ostream& out, const ScreenRect& r);

// Whether window opened over owner: their middles at most tolerance pixels apart, and window
// wholly inside screen. (The rects are client areas: under a window manager the title bars
// move them a little, and a window is placed before its own title bar's height is known.)
bool OpensOver(const ScreenRect& window, const ScreenRect& owner, const ScreenRect& screen,
               int tolerance = 16);

struct ProgramWindow {
  unsigned long id = 0;  // the X window
  std::string title;
  ScreenRect rect;       // client area on the screen
};

class ProgramWindows {
 public:
  explicit ProgramWindows(pid_t pid);
  ~ProgramWindows();
  ProgramWindows(const ProgramWindows&) = delete;
  ProgramWindows& operator=(const ProgramWindows&) = delete;

  bool Connected() const { return display_ != nullptr; }
  // The process's top-level windows that are on the screen, in stacking order.
  std::vector<ProgramWindow> Shown();
  // The one with that title; id 0 when it is not on the screen.
  ProgramWindow Find(const std::string& title);
  // Whether a popup (a menu) is open on the screen, whoever's it is.
  bool PopupOpen();
  // Asks the window to close, as its title bar's close button does.
  void Close(const ProgramWindow& window);
  // Asks for a new client size, as a window manager's resize does.
  void Resize(const ProgramWindow& window, int width, int height);
  // Asks for the window to stand at (x, y) of the screen, as a user's drag of its title does.
  void Move(const ProgramWindow& window, int x, int y);
  ScreenRect Screen();
  // The colours of the screen in rect, row by row.
  std::vector<std::uint32_t> Pixels(const ScreenRect& rect);

 private:
  void* display_ = nullptr;
  pid_t pid_;
};

}  // namespace tvxtest
