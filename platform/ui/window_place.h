// Where the program's top-level windows open. A dialog, a modeless dialog or a property
// sheet opens over the window it belongs to: centred on its owner's window and kept on the
// owner's screen. A window the program moved itself before it was shown (CWnd::MoveWindow:
// the compass in the screen's corner, the divide dialog beside the map) keeps that place.
#pragma once

#include <wx/gdicmn.h>

class wxTopLevelWindow;
class wxWindow;

namespace platform::ui {

// Records that the program gave window (top-level, not shown yet) its place.
void NoteProgramPlaced(wxWindow* window);
bool IsProgramPlaced(wxWindow* window);

// A frame leaving full screen under a window manager stands where it stood before (outer
// rect windowed) only once the manager has answered; until then wx still gives it the rect
// covering the screen. Owners are taken at windowed meanwhile.
void NoteComingBack(wxWindow* frame, const wxRect& covering, const wxRect& windowed);
// owner's outer rect on the screen, or where it is coming back to.
wxRect OwnerRect(wxWindow* owner);

// A window of size (outer pixels) centred on owner (screen pixels), moved into area: where
// it is wider or taller than area, its left or top edge stays on it.
wxPoint CentredOn(const wxRect& owner, const wxSize& size, const wxRect& area);

// Places window, before it is shown, centred on its owner's top-level window (the screen
// when it has none) and inside that screen's work area; nothing for a window the program
// placed itself.
void PlaceOverOwner(wxTopLevelWindow* window);

}  // namespace platform::ui
