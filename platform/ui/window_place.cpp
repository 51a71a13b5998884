#include "platform/ui/window_place.h"

#include <wx/display.h>
#include <wx/toplevel.h>

#include <dlfcn.h>

#include <algorithm>
#include <map>
#include <set>

namespace platform::ui {
namespace {

struct ComingBack {
  wxRect covering, windowed;
};
std::map<wxWindow*, ComingBack>& Returning() {
  static std::map<wxWindow*, ComingBack> returning;
  return returning;
}

std::set<wxWindow*>& Placed() {
  static std::set<wxWindow*> placed;
  return placed;
}

// The display's work area where window stands (or, for a window not on the screen yet, where
// its owner stands).
wxRect WorkArea(const wxWindow* window) {
  int index = window ? wxDisplay::GetFromWindow(window) : wxNOT_FOUND;
  if (index == wxNOT_FOUND) index = 0;
  return wxDisplay(static_cast<unsigned>(index)).GetClientArea();
}

}  // namespace

void NoteProgramPlaced(wxWindow* window) {
  if (!window || !Placed().insert(window).second) return;
  window->Bind(wxEVT_DESTROY, [window](wxWindowDestroyEvent& event) {
    event.Skip();
    if (event.GetEventObject() == window) Placed().erase(window);
  });
}

bool IsProgramPlaced(wxWindow* window) { return Placed().count(window) != 0; }

void NoteComingBack(wxWindow* frame, const wxRect& covering, const wxRect& windowed) {
  if (!frame) return;
  const bool first = Returning().count(frame) == 0;
  Returning()[frame] = {covering, windowed};
  if (!first) return;
  frame->Bind(wxEVT_DESTROY, [frame](wxWindowDestroyEvent& event) {
    event.Skip();
    if (event.GetEventObject() == frame) Returning().erase(frame);
  });
}

wxRect OwnerRect(wxWindow* owner) {
  if (!owner) return {};
  const wxRect now = owner->GetScreenRect();
  const auto back = Returning().find(owner);
  if (back == Returning().end()) return now;
  auto* frame = dynamic_cast<wxTopLevelWindow*>(owner);
  // Still as it was when it left full screen: the window manager has not answered yet.
  if (now == back->second.covering && frame && !frame->IsFullScreen()) return back->second.windowed;
  Returning().erase(back);
  return now;
}

wxPoint CentredOn(const wxRect& owner, const wxSize& size, const wxRect& area) {
  auto along = [](int ownerStart, int ownerLength, int length, int areaStart, int areaLength) {
    const int centred = ownerStart + (ownerLength - length) / 2;
    // Past the far edge it comes back inside; the near edge wins when it cannot fit at all.
    return std::max(std::min(centred, areaStart + areaLength - length), areaStart);
  };
  return {along(owner.x, owner.width, size.x, area.x, area.width),
          along(owner.y, owner.height, size.y, area.y, area.height)};
}

void PlaceOverOwner(wxTopLevelWindow* window) {
  if (!window || window->IsShown() || IsProgramPlaced(window)) return;
  wxWindow* parent = window->GetParent();
  wxWindow* owner = parent ? wxGetTopLevelParent(parent) : nullptr;
  if (owner && !owner->IsShown()) owner = nullptr;
  const wxRect area = WorkArea(owner);
  const wxPoint at = CentredOn(owner ? OwnerRect(owner) : area, window->GetSize(), area);
  window->Move(at);
  // wx counts a window that is not on the screen yet as standing where it was last put (at
  // first (0, 0)), and a move there asks nothing of the toolkit, which would then centre the
  // dialog on its parent as the display last saw the parent: the place is given to the
  // toolkit itself.
  using MoveFn = void (*)(GtkWidget*, int, int);
  static auto move = reinterpret_cast<MoveFn>(dlsym(RTLD_DEFAULT, "gtk_window_move"));
  if (move && window->GetHandle()) move(window->GetHandle(), at.x, at.y);
}

}  // namespace platform::ui
