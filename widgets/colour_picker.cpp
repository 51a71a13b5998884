#include "widgets/colour_picker.h"

#include "platform/ui/controls.h"
#include "platform/ui/dc.h"

using namespace widgets;

namespace {

// The handheld's rule for a high-resolution screen: at least 480 pixels wide.
bool HiResScreen() { return GetSystemMetrics(SM_CXSCREEN) >= 480; }

CRect ClientRectOf(const CWnd* w) {
  CRect r;
  w->GetClientRect(&r);
  return r;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The popup

BEGIN_MESSAGE_MAP(CColourPickerPopup, CCustomWnd)
  ON_WM_KEYDOWN()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_KILLFOCUS()
  ON_MESSAGE(WM_QUERYNEWPALETTE, &CColourPickerPopup::OnQueryNewPalette)
  ON_MESSAGE(WM_PALETTECHANGED, &CColourPickerPopup::OnPaletteChanged)
END_MESSAGE_MAP()

CColourPickerPopup::CColourPickerPopup() {
  // A cell held still before the release is a choice like any other, not a hold gesture.
  EnableTapAndHold(false);
  Initialise();
}
CColourPickerPopup::~CColourPickerPopup() = default;

void CColourPickerPopup::Initialise() {
  hiRes_ = HiResScreen();
  dpi_ = platform::ui::LogicalDpi();
  metrics_ = MetricsFor(dpi_, hiRes_, GetSystemMetrics(SM_CXEDGE));
  highlighted_ = chosen_ = kCellNone;
  font_.CreateFont(hiRes_ ? -26 : -11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                   DEFAULT_PITCH, "Tahoma");
}

bool CColourPickerPopup::Create(CPoint at, COLORREF colour, CColourPicker* parent,
                                const std::string& automaticText, const std::string& cancelText) {
  picker_ = parent;
  initial_ = current_ = colour;
  automaticText_ = automaticText;
  cancelText_ = cancelText;
  ended_ = false;
  SetWindowSize(at);
  if (!CreatePopup(parent, layout_.window)) return false;
  chosen_ = highlighted_ = CellForColour(colour, layout_.HasAutomatic(), layout_.HasCancel());
  SetCapture();
  modal_ = std::make_unique<platform::ui::ModalWindowScope>([this] { EndSelection(CPN_SELENDCANCEL); });
  return true;
}

void CColourPickerPopup::PostNcDestroy() { modal_.reset(); }

void CColourPickerPopup::ReleaseInput() { modal_.reset(); }

void CColourPickerPopup::SetWindowSize(CPoint at) {
  CDC measure;
  measure.CreateCompatibleDC(nullptr);
  CFont* old = measure.SelectObject(&font_);
  const CSize automatic = automaticText_.empty() ? CSize() : measure.GetTextExtent(automaticText_);
  const CSize cancel = cancelText_.empty() ? CSize() : measure.GetTextExtent(cancelText_);
  measure.SelectObject(old);
  metrics_.textCellHeight =
      TextCellHeight(metrics_, std::max(automatic.cy, cancel.cy), hiRes_, dpi_);
  CRect picker;
  if (picker_) picker_->GetWindowRect(&picker);
  const CRect screen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  layout_ = LayoutPopup(at, picker.top, metrics_, automatic, cancel, screen);
}

void CColourPickerPopup::ChangeSelection(int cell) {
  if (cell >= kColourCount) cell = kCellCancel;
  const int old = highlighted_;
  highlighted_ = cell;
  if (m_wnd) {
    CClientDC dc(this);
    if (old != kCellNone) DrawCell(&dc, old);
    if (cell != kCellNone) DrawCell(&dc, cell);
  }
  current_ = ColourOfCell(cell, initial_);
  if (picker_) picker_->SendMessage(CPN_SELCHANGE, current_, 0);
}

void CColourPickerPopup::DrawCell(CDC* dc, int cell) {
  CRect rect = layout_.CellRect(cell);
  if (rect.IsRectEmpty()) return;
  const bool text = cell == kCellAutomatic || cell == kCellCancel;
  COLORREF background = GetSysColor(COLOR_3DFACE);
  if (cell == chosen_ && cell != highlighted_)
    background = GetSysColor(text ? COLOR_3DLIGHT : COLOR_3DHIGHLIGHT);
  dc->FillSolidRect(&rect, background);
  if (cell == highlighted_) {
    CRect edge = rect;
    dc->DrawEdge(&edge, BDR_RAISEDINNER, BF_RECT);
  }
  if (cell == chosen_) {
    CRect edge = rect;
    dc->DrawEdge(&edge, BDR_SUNKENOUTER, BF_RECT);
  }
  if (text) {
    CFont* old = dc->SelectObject(&font_);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(GetSysColor(COLOR_BTNTEXT));
    dc->DrawText(cell == kCellAutomatic ? automaticText_ : cancelText_, &rect,
                 DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc->SelectObject(old);
    return;
  }
  const int inset = hiRes_ ? (dpi_ * layout_.margin + 48) / 96 : layout_.margin;
  rect.DeflateRect(inset + 1, inset + 1);
  CPen pen(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW));
  CBrush brush(ColourTable()[cell].colour);
  CPen* oldPen = dc->SelectObject(&pen);
  CBrush* oldBrush = dc->SelectObject(&brush);
  dc->Rectangle(&rect);
  dc->SelectObject(oldPen);
  dc->SelectObject(oldBrush);
}

void CColourPickerPopup::OnDraw(CDC* dc) {
  CRect client = ClientRectOf(this);
  dc->FillSolidRect(&client, GetSysColor(COLOR_3DFACE));
  if (layout_.HasAutomatic()) DrawCell(dc, kCellAutomatic);
  for (int i = 0; i < kColourCount; ++i) DrawCell(dc, i);
  if (layout_.HasCancel()) DrawCell(dc, kCellCancel);
  dc->DrawEdge(&client, EDGE_RAISED, BF_RECT);
}

void CColourPickerPopup::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  switch (key) {
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      ChangeSelection(CellAfterKey(highlighted_, key, layout_.HasAutomatic(), layout_.HasCancel()));
      return;
    case VK_RETURN:
    case VK_SPACE:
      EndSelection(CPN_SELENDOK);
      return;
    case VK_ESCAPE:
      current_ = initial_;
      EndSelection(CPN_SELENDCANCEL);
      return;
    default:
      CCustomWnd::OnKeyDown(key, repeat, flags);
  }
}

void CColourPickerPopup::OnLButtonDown(UINT, CPoint point) {
  const int cell = layout_.CellAt(point);
  if (cell != kCellNone) ChangeSelection(cell);
}

void CColourPickerPopup::OnLButtonUp(UINT, CPoint point) {
  const bool inside = ClientRectOf(this).PtInRect(point);
  EndSelection(inside ? CPN_SELENDOK : CPN_SELENDCANCEL);
}

void CColourPickerPopup::OnKillFocus(CWnd*) {
  if (GetCapture() == this) ReleaseCapture();
}

LRESULT CColourPickerPopup::OnQueryNewPalette(WPARAM, LPARAM) {
  Invalidate();
  return TRUE;
}

LRESULT CColourPickerPopup::OnPaletteChanged(WPARAM wParam, LPARAM) {
  if (reinterpret_cast<HWND>(wParam) != m_hWnd) Invalidate();
  return 0;
}

void CColourPickerPopup::EndSelection(UINT message) {
  if (ended_) return;
  ended_ = true;
  modal_.reset();  // the input is free again at once (the window itself goes later)
  if (GetCapture() == this) ReleaseCapture();
  if (message == CPN_SELENDCANCEL) current_ = initial_;
  if (picker_) picker_->SendMessage(message, current_, 0);
  DestroyWindow();
}

// ---------------------------------------------------------------------------------------
// The picker button

BEGIN_MESSAGE_MAP(CColourPicker, CCustomWnd)
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_LBUTTONUP()
  ON_WM_KEYDOWN()
  ON_WM_GETDLGCODE()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_MESSAGE(CPN_SELENDOK, &CColourPicker::OnSelEndOK)
  ON_MESSAGE(CPN_SELENDCANCEL, &CColourPicker::OnSelEndCancel)
  ON_MESSAGE(CPN_SELCHANGE, &CColourPicker::OnSelChange)
END_MESSAGE_MAP()

CColourPicker::CColourPicker()
    : m_background(GetSysColor(COLOR_BTNFACE)), m_text(GetSysColor(COLOR_BTNTEXT)) {
  EnableTapAndHold(false);
}

CColourPicker::~CColourPicker() = default;

BOOL CColourPicker::SubclassDlgItem(UINT id, CWnd* parent) {
  if (!ReplaceDlgItem(parent, id, this, WS_CHILD | WS_VISIBLE | WS_TABSTOP)) return FALSE;
  SizeToArrow();
  return TRUE;
}

BOOL CColourPicker::Create(CWnd* parent, const RECT& rect, UINT id, DWORD style) {
  if (!CCustomWnd::Create(parent, rect, id, style | WS_TABSTOP)) return FALSE;
  SizeToArrow();
  return TRUE;
}

void CColourPicker::SizeToArrow() {
  CRect window;
  GetWindowRect(&window);
  const PickerGeometry g = PickerGeometryFor(window.Size(), GetSystemMetrics(SM_CXEDGE),
                                             GetSystemMetrics(SM_CYEDGE));
  CPoint topLeft = window.TopLeft();
  if (CWnd* parent = GetParent()) parent->ScreenToClient(&topLeft);
  if (g.size != window.Size()) MoveWindow(topLeft.x, topLeft.y, g.size.cx, g.size.cy);
  m_arrow = g.arrow;
}

COLORREF CColourPicker::GetColour() const { return m_mode == 1 ? m_text : m_background; }

void CColourPicker::SetColour(COLORREF colour) {
  (m_mode == 1 ? m_text : m_background) = colour;
  Invalidate(FALSE);
}

void CColourPicker::Notify(UINT message, COLORREF colour) {
  if (CWnd* parent = GetParent()) parent->SendMessage(message, colour, GetDlgCtrlID());
}

void CColourPicker::OnDraw(CDC* dc) {
  CRect client = ClientRectOf(this);
  const bool enabled = IsWindowEnabled() != FALSE;
  dc->FillSolidRect(&client, GetSysColor(COLOR_3DFACE));

  CRect arrow = m_arrow;
  UINT state = DFCS_SCROLLDOWN;
  if (m_pressed || m_popupOpen) state |= DFCS_PUSHED;
  if (!enabled) state |= DFCS_INACTIVE;
  dc->DrawFrameControl(&arrow, DFC_SCROLL, state);

  CRect swatch = client;
  swatch.right = m_arrow.left;
  dc->DrawEdge(&swatch, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  const bool automaticBack = m_background == kAutomaticColour || !enabled;
  dc->FillSolidRect(&swatch, automaticBack ? GetSysColor(COLOR_3DFACE) : m_background);

  if (const std::string text = GetWindowText(); !text.empty()) {
    dc->SetBkMode(TRANSPARENT);
    if (enabled) {
      dc->SetTextColor(m_text == kAutomaticColour ? RGB(0, 0, 0) : m_text);
      dc->DrawText(text, &swatch, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else {
      CRect embossed = swatch;
      embossed.OffsetRect(1, 1);
      dc->SetTextColor(GetSysColor(COLOR_3DHIGHLIGHT));
      dc->DrawText(text, &embossed, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      dc->SetTextColor(GetSysColor(COLOR_3DSHADOW));
      dc->DrawText(text, &swatch, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
  }
  if (m_focused) {
    CRect focus = swatch;
    focus.DeflateRect(1, 1);
    dc->DrawFocusRect(&focus);
  }
}

void CColourPicker::OnClicked() {
  if (m_popupOpen) {
    const COLORREF initial = m_popup->GetInitialColour();
    m_popup->ReleaseInput();
    m_popup->DestroyWindow();
    OnSelEndCancel(initial, 0);
    return;
  }
  m_popupOpen = true;
  CRect window;
  GetWindowRect(&window);
  m_popup = std::make_unique<CColourPickerPopup>();
  if (!m_popup->Create(CPoint(window.left, window.bottom), GetColour(), this, m_automaticText,
                      m_cancelText)) {
    m_popupOpen = false;
    return;
  }
  Invalidate(FALSE);
  Notify(CPN_DROPDOWN, GetColour());
}

void CColourPicker::OnLButtonDown(UINT, CPoint) {
  if (!IsWindowEnabled()) return;
  m_pressed = true;
  SetCapture();
  Invalidate(FALSE);
}

void CColourPicker::OnLButtonUp(UINT, CPoint point) {
  if (!m_pressed) return;
  m_pressed = false;
  if (GetCapture() == this) ReleaseCapture();
  Invalidate(FALSE);
  if (ClientRectOf(this).PtInRect(point)) OnClicked();
}

void CColourPicker::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  // The desktop gives the keys to the window the user worked last (the button just tapped),
  // not to the popup: while it is open they are the popup's.
  if (m_popupOpen && m_popup && m_popup->m_hWnd) {
    m_popup->OnKeyDown(key, repeat, flags);
    return;
  }
  if (key == VK_SPACE || key == VK_RETURN) {
    OnClicked();
    return;
  }
  CCustomWnd::OnKeyDown(key, repeat, flags);
}

UINT CColourPicker::OnGetDlgCode() {
  // While the popup is open Enter and Escape end it rather than the dialog.
  return m_popupOpen ? DLGC_WANTALLKEYS : CCustomWnd::OnGetDlgCode();
}

void CColourPicker::OnSetFocus(CWnd*) {
  m_focused = true;
  Invalidate(FALSE);
}

void CColourPicker::OnKillFocus(CWnd*) {
  m_focused = false;
  Invalidate(FALSE);
}

LRESULT CColourPicker::OnSelEndOK(WPARAM colour, LPARAM) {
  const auto c = static_cast<COLORREF>(colour);
  m_popupOpen = false;
  SetColour(c);
  Notify(CPN_CLOSEUP, c);
  Notify(CPN_SELENDOK, c);
  // The parent may have changed the colour in its end-OK handler.
  if (GetColour() != c) Notify(CPN_SELCHANGE, c);
  return TRUE;
}

LRESULT CColourPicker::OnSelEndCancel(WPARAM colour, LPARAM) {
  const auto c = static_cast<COLORREF>(colour);
  m_popupOpen = false;
  SetColour(c);
  Notify(CPN_CLOSEUP, c);
  Notify(CPN_SELENDCANCEL, c);
  return TRUE;
}

LRESULT CColourPicker::OnSelChange(WPARAM colour, LPARAM) {
  const auto c = static_cast<COLORREF>(colour);
  if (m_trackSelection) SetColour(c);
  Notify(CPN_SELCHANGE, c);
  return TRUE;
}
