#include <wx/bitmap.h>
#include <wx/choice.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/statusbr.h>
#include <wx/time.h>
#include <wx/toolbar.h>

#include <map>
#include <memory>
#include <set>

#include "platform/ui/command_ids.h"
#include "platform/ui/control_notify.h"
#include "platform/ui/frame.h"
#include "platform/ui/menu.h"
#include "platform/ui/window_place.h"
#include "platform/ui/wx_text.h"

using platform::ui::CommandToWxId;
using platform::ui::FromWx;
using platform::ui::ToWx;
using platform::ui::WxIdToCommand;

namespace {

// Frames whose size handler shares out the client area (user-interface thread only).
std::set<wxWindow*>& LaidOutFrames() {
  static std::set<wxWindow*> frames;
  return frames;
}

void EnsureBarLayout(wxFrame* frame) {
  if (!LaidOutFrames().insert(frame).second) return;
  frame->Bind(wxEVT_SIZE, [frame](wxSizeEvent&) {
    if (auto* owner = dynamic_cast<CFrameWnd*>(CWnd::FromWxWindow(frame))) LayoutFrameBars(owner);
  });
  frame->Bind(wxEVT_DESTROY, [frame](wxWindowDestroyEvent& event) {
    event.Skip();
    if (event.GetEventObject() == frame) LaidOutFrames().erase(frame);
  });
}

// A button image: the glyph centred on the bar's background, in the largest font that fits.
wxBitmap GlyphBitmap(const std::string& glyph, int width, int height) {
  wxBitmap bitmap(width, height);
  wxMemoryDC dc(bitmap);
  dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
  dc.Clear();
  dc.SetTextForeground(*wxBLACK);
  wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  const wxString text = ToWx(glyph);
  for (int points = std::max(6, height * 3 / 4); points >= 5; --points) {
    font.SetPointSize(points);
    dc.SetFont(font);
    wxSize extent = dc.GetTextExtent(text);
    if (extent.x <= width && extent.y <= height) break;
  }
  wxSize extent = dc.GetTextExtent(text);
  dc.DrawText(text, (width - extent.x) / 2, (height - extent.y) / 2);
  dc.SelectObject(wxNullBitmap);
  return bitmap;
}

// The status pane painted over by SetPaneHighlight.
class PaneOverlay : public wxWindow {
 public:
  explicit PaneOverlay(wxStatusBar* bar) : wxWindow(bar, wxID_ANY) {
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
      wxPaintDC dc(this);
      dc.SetBackground(wxBrush(background_));
      dc.Clear();
      dc.SetTextForeground(foreground_);
      wxSize size = GetClientSize();
      wxSize extent = dc.GetTextExtent(text_);
      dc.DrawText(text_, (size.x - extent.x) / 2, (size.y - extent.y) / 2);
    });
  }
  // A painted pane, never a place for the keys (Tab must not move them here off the view).
  bool AcceptsFocus() const override { return false; }
  bool AcceptsFocusFromKeyboard() const override { return false; }
  void Set(const wxString& text, const wxColour& background, const wxColour& foreground) {
    text_ = text;
    background_ = background;
    foreground_ = foreground;
    Refresh();
  }

 private:
  wxString text_;
  wxColour background_, foreground_;
};

// The wx menu's items appended to menu, with their enabled and checked states.
void FillFromWx(CMenu& menu, wxMenu* source) {
  for (wxMenuItem* item : source->GetMenuItems()) {
    if (item->IsSeparator()) {
      menu.AppendMenu(MF_SEPARATOR);
    } else if (wxMenu* sub = item->GetSubMenu()) {
      CMenu popup;
      popup.CreatePopupMenu();
      FillFromWx(popup, sub);
      menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(&popup), FromWx(item->GetItemLabel()));
    } else {
      const UINT flags = MF_STRING | (item->IsEnabled() ? 0 : MF_GRAYED) |
                         (item->IsCheckable() && item->IsChecked() ? MF_CHECKED : 0);
      menu.AppendMenu(flags, WxIdToCommand(item->GetId()), FromWx(item->GetItemLabel()));
    }
  }
}

// What menu says of each command put on the wx menu's items; an item menu no longer has
// (deleted by the open handler) goes from the wx menu too.
void CopyToWx(const CMenu& menu, wxMenu* target) {
  const wxMenuItemList items = target->GetMenuItems();
  for (wxMenuItem* item : items) {
    if (item->IsSeparator()) continue;
    if (wxMenu* sub = item->GetSubMenu()) {
      CopyToWx(menu, sub);
      continue;
    }
    const UINT id = WxIdToCommand(item->GetId());
    if (id == 0) continue;
    const UINT state = menu.GetMenuState(id, MF_BYCOMMAND);
    if (state == kMenuNoItem) {
      target->Destroy(item);
      continue;
    }
    item->Enable((state & (MF_GRAYED | MF_DISABLED)) == 0);
    if (item->IsCheckable()) item->Check((state & MF_CHECKED) != 0);
    const std::string text = menu.GetMenuString(id, MF_BYCOMMAND);
    if (!text.empty() && text != FromWx(item->GetItemLabel())) item->SetItemLabel(ToWx(text));
  }
}

}  // namespace

// ------------------------------------------------------------------------------------------
// Toolbars
// ------------------------------------------------------------------------------------------

CToolBar::CToolBar() = default;
CToolBar::~CToolBar() = default;

BOOL CToolBar::CreateBar(CFrameWnd* frame, Dock dock, int imageWidth, int imageHeight,
                         bool visible) {
  if (!frame || !frame->GetFrame() || m_wnd) return FALSE;
  dock_ = dock;
  imageWidth_ = imageWidth;
  imageHeight_ = imageHeight;
  auto* bar = new wxToolBar(frame->GetFrame(), wxID_ANY, wxDefaultPosition, wxDefaultSize,
                            wxTB_HORIZONTAL | wxTB_FLAT | wxTB_NODIVIDER);
  bar->SetToolBitmapSize(wxSize(imageWidth, imageHeight));
  Attach(bar);
  platform::ui::RouteControlNotifications(frame, bar);
  EnsureBarLayout(frame->GetFrame());
  bar->Show(visible);
  return TRUE;
}

void CToolBar::AddButton(UINT commandId, const std::string& glyph, const std::string& tooltip) {
  auto* bar = dynamic_cast<wxToolBar*>(m_wnd);
  if (!bar) return;
  glyphs_[commandId] = glyph;
  bar->AddTool(CommandToWxId(commandId), ToWx(glyph), GlyphBitmap(glyph, imageWidth_, imageHeight_),
               ToWx(tooltip));
}

void CToolBar::AddSeparator() {
  if (auto* bar = dynamic_cast<wxToolBar*>(m_wnd)) bar->AddSeparator();
}

CWnd* CToolBar::AddComboBox(int controlId, int width) {
  auto* bar = dynamic_cast<wxToolBar*>(m_wnd);
  if (!bar) return nullptr;
  auto* choice = new wxChoice(bar, controlId, wxDefaultPosition, wxSize(width, -1));
  bar->AddControl(choice);
  return GetDlgItem(controlId);
}

void CToolBar::Realize() {
  if (auto* bar = dynamic_cast<wxToolBar*>(m_wnd)) bar->Realize();
}

void CToolBar::SetButtonGlyph(UINT commandId, const std::string& glyph) {
  auto* bar = dynamic_cast<wxToolBar*>(m_wnd);
  if (!bar || !glyphs_.count(commandId)) return;
  glyphs_[commandId] = glyph;
  bar->SetToolNormalBitmap(CommandToWxId(commandId), GlyphBitmap(glyph, imageWidth_, imageHeight_));
}

std::string CToolBar::GetButtonGlyph(UINT commandId) const {
  auto it = glyphs_.find(commandId);
  return it == glyphs_.end() ? std::string() : it->second;
}

std::string CToolBar::GetButtonTooltip(UINT commandId) const {
  auto* bar = dynamic_cast<wxToolBar*>(m_wnd);
  const wxToolBarToolBase* tool = bar ? bar->FindById(CommandToWxId(commandId)) : nullptr;
  return tool ? FromWx(tool->GetShortHelp()) : std::string();
}

std::vector<UINT> CToolBar::GetButtonIds() const {
  std::vector<UINT> ids;
  auto* bar = dynamic_cast<wxToolBar*>(m_wnd);
  if (!bar) return ids;
  for (size_t i = 0; i < bar->GetToolsCount(); ++i) {
    const wxToolBarToolBase* tool = bar->GetToolByPos(static_cast<int>(i));
    ids.push_back(tool && tool->IsButton() ? WxIdToCommand(tool->GetId()) : 0);
  }
  return ids;
}

// ------------------------------------------------------------------------------------------
// Status bar
// ------------------------------------------------------------------------------------------

CStatusBar::CStatusBar() = default;
CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CFrameWnd* frame) {
  if (!frame || !frame->GetFrame() || m_wnd) return FALSE;
  wxStatusBar* bar = frame->GetFrame()->CreateStatusBar(1);
  if (!bar) return FALSE;
  Attach(bar);
  EnsureBarLayout(frame->GetFrame());
  bar->Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent&) { OnContextMenu(); });
  bar->EnableTouchEvents(wxTOUCH_PRESS_GESTURES);
  bar->Bind(wxEVT_LONG_PRESS, [this](wxLongPressEvent&) { OnContextMenu(); });
  bar->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
    event.Skip();
    PlaceOverlays();
  });
  return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count) {
  auto* bar = dynamic_cast<wxStatusBar*>(m_wnd);
  if (!bar || !ids || count <= 0) return FALSE;
  ids_.assign(ids, ids + count);
  widths_.assign(count, -1);
  bar->SetFieldsCount(count);
  std::vector<int> styles(count, wxSB_FLAT);
  bar->SetStatusStyles(count, styles.data());
  return TRUE;
}

void CStatusBar::SetPaneInfo(int index, UINT id, bool stretch, int width) {
  auto* bar = dynamic_cast<wxStatusBar*>(m_wnd);
  if (!bar || index < 0 || index >= GetCount()) return;
  ids_[index] = id;
  widths_[index] = stretch ? -1 : width;
  bar->SetStatusWidths(GetCount(), widths_.data());
  PlaceOverlays();
}

int CStatusBar::GetPaneWidth(int index) const {
  return index >= 0 && index < GetCount() ? widths_[index] : 0;
}

void CStatusBar::SetPaneText(int index, const std::string& text) {
  auto* bar = dynamic_cast<wxStatusBar*>(m_wnd);
  if (bar && index >= 0 && index < GetCount()) bar->SetStatusText(ToWx(text), index);
}

std::string CStatusBar::GetPaneText(int index) const {
  auto* bar = dynamic_cast<wxStatusBar*>(m_wnd);
  if (!bar || index < 0 || index >= GetCount()) return {};
  return FromWx(bar->GetStatusText(index));
}

int CStatusBar::CommandToIndex(UINT id) const {
  for (int i = 0; i < GetCount(); ++i) {
    if (ids_[i] == id) return i;
  }
  return -1;
}

UINT CStatusBar::GetItemID(int index) const {
  return index >= 0 && index < GetCount() ? ids_[index] : 0;
}

void CStatusBar::SetPaneHighlight(int index, const std::string& text, bool on) {
  auto* bar = dynamic_cast<wxStatusBar*>(m_wnd);
  if (!bar || index < 0 || index >= GetCount()) return;
  auto& overlay = overlays_[index];
  if (!overlay) overlay = new PaneOverlay(bar);
  const wxColour background =
      on ? wxColour(0, 255, 0) : wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
  const wxColour foreground = on ? *wxBLACK : wxColour(180, 180, 180);
  static_cast<PaneOverlay*>(overlay)->Set(ToWx(text), background, foreground);
  highlighted_[index] = on;
  PlaceOverlays();
}

bool CStatusBar::IsPaneHighlighted(int index) const {
  auto it = highlighted_.find(index);
  return it != highlighted_.end() && it->second;
}

void CStatusBar::PlaceOverlays() {
  auto* bar = dynamic_cast<wxStatusBar*>(m_wnd);
  if (!bar) return;
  for (auto& [index, overlay] : overlays_) {
    wxRect rect;
    if (!overlay || !bar->GetFieldRect(index, rect)) continue;
    // One pixel inside the pane on each side.
    rect.Deflate(1);
    overlay->SetSize(rect);
  }
}

// ------------------------------------------------------------------------------------------
// Frame layout and full screen
// ------------------------------------------------------------------------------------------

void LayoutFrameBars(CFrameWnd* frame) {
  wxFrame* window = frame ? frame->GetFrame() : nullptr;
  if (!window) return;
  const wxSize client = window->GetClientSize();
  int top = 0;
  int bottom = client.y;
  for (wxWindow* child : window->GetChildren()) {
    auto* bar = dynamic_cast<wxToolBar*>(child);
    if (!bar || bar == window->GetToolBar() || !bar->IsShown()) continue;
    auto* owner = dynamic_cast<CToolBar*>(CWnd::FromWxWindow(bar));
    const int height = bar->GetBestSize().y;
    if (owner && owner->GetDock() == CToolBar::Dock::Bottom) {
      bottom -= height;
      bar->SetSize(0, bottom, client.x, height);
    } else {
      bar->SetSize(0, top, client.x, height);
      top += height;
    }
  }
  CView* view = frame->GetActiveView();
  if (wxWindow* viewWindow = view ? view->GetWxWindow() : nullptr) {
    viewWindow->SetSize(0, top, client.x, std::max(0, bottom - top));
  }
}

void ShowFrameMenuBar(CFrameWnd* frame, bool show) {
  wxFrame* window = frame ? frame->GetFrame() : nullptr;
  if (!window || !window->GetMenuBar()) return;
  window->GetMenuBar()->Show(show);
  window->SendSizeEvent();
}

BOOL IsFrameMenuBarVisible(CFrameWnd* frame) {
  wxFrame* window = frame ? frame->GetFrame() : nullptr;
  return window && window->GetMenuBar() && window->GetMenuBar()->IsShown();
}

void SetFrameFullScreen(CFrameWnd* frame, bool show) {
  wxFrame* window = frame ? frame->GetFrame() : nullptr;
  if (!window || window->IsFullScreen() == show) return;
  // The frame's place and size before it covered the screen (outer, screen pixels).
  static std::map<wxWindow*, wxRect> windowed;
  if (show) windowed[window] = window->GetRect();
  const wxRect covering = window->GetRect();
  // Border and caption only: the bars are the program's to show and hide.
  window->ShowFullScreen(show, wxFULLSCREEN_NOBORDER | wxFULLSCREEN_NOCAPTION);
  const auto before = windowed.find(window);
  if (show || before == windowed.end()) return;
  // Under a window manager the frame is back in its place only once the manager answered;
  // a dialog opened before then opens over that place, not over the whole screen.
  if (window->GetRect() == covering) platform::ui::NoteComingBack(window, covering, before->second);
  windowed.erase(before);
}

BOOL IsFrameFullScreen(CFrameWnd* frame) {
  wxFrame* window = frame ? frame->GetFrame() : nullptr;
  return window && window->IsFullScreen();
}

void RouteMenuBarOpen(CFrameWnd* frame, std::function<void(CMenu* menu, bool opening)> onOpen,
                      std::function<void()> onClose) {
  wxFrame* window = frame ? frame->GetFrame() : nullptr;
  if (!window || !onOpen) return;
  auto prepare = [onOpen](wxMenu* shown, bool opening) {
    CMenu menu;
    menu.CreatePopupMenu();
    FillFromWx(menu, shown);
    onOpen(&menu, opening);
    CopyToWx(menu, shown);
  };
  window->Bind(wxEVT_MENU_OPEN, [prepare, window](wxMenuEvent& event) {
    wxMenu* shown = event.GetMenu();
    if (!shown || event.IsPopup()) return event.Skip();
    // The commands' update handlers first, then onOpen, whose states stand (as the idle pass
    // below leaves them): the frame's own update of the menu after this one is not run.
    shown->UpdateUI(window->GetEventHandler());
    wxMenu* top = shown;
    while (top->GetParent()) top = top->GetParent();
    prepare(top, true);
  });
  if (onClose) {
    window->Bind(wxEVT_MENU_CLOSE, [onClose](wxMenuEvent& event) {
      event.Skip();
      wxMenu* shown = event.GetMenu();
      if (!shown || event.IsPopup() || shown->GetParent()) return;
      onClose();
    });
  }
  // A menu is sized when it opens, before the open handler changes its texts: the texts are
  // therefore also made ready beforehand, when the pointer comes onto the menu bar and, a few
  // times a second, while the program is idle (the keyboard opens menus too).
  wxMenuBar* bar = window->GetMenuBar();
  if (!bar) return;
  auto prepareAll = [prepare, bar] {
    for (size_t i = 0; i < bar->GetMenuCount(); ++i) prepare(bar->GetMenu(i), false);
  };
  bar->Bind(wxEVT_ENTER_WINDOW, [prepareAll](wxMouseEvent& event) {
    event.Skip();
    prepareAll();
  });
  auto last = std::make_shared<wxLongLong>(0);
  window->Bind(wxEVT_IDLE, [prepareAll, last, bar](wxIdleEvent& event) {
    event.Skip();
    const wxLongLong now = wxGetLocalTimeMillis();
    if (now - *last < 300 || !bar->IsShown()) return;
    *last = now;
    prepareAll();
  });
}
