#include "widgets/grid_ctrl.h"

#include <algorithm>
#include <vector>

#include "platform/modules.h"
#include "widgets/core/grid_edit_rules.h"
#include "widgets/grid_inplace.h"

namespace {

GridFont ToGridFont(const LOGFONT& lf) {
  GridFont font;
  font.height = lf.lfHeight;
  font.weight = lf.lfWeight;
  font.escapement = lf.lfEscapement;
  font.italic = lf.lfItalic;
  font.faceName = lf.lfFaceName;
  return font;
}

LOGFONT ToLogFont(const GridFont& font) {
  LOGFONT lf;
  lf.lfHeight = font.height;
  lf.lfWeight = font.weight;
  lf.lfEscapement = font.escapement;
  lf.lfOrientation = font.escapement;
  lf.lfItalic = font.italic;
  lf.lfFaceName = font.faceName;
  return lf;
}

// The desktop's font: the cells' until the grid is given one (the grid's own font is its
// cells', see OnGetFont).
CFont* DesktopFont() { return static_cast<CFont*>(GetStockObject(DEFAULT_GUI_FONT)); }

// One 5 x 5 pixel tile of a fill pattern: white with the colour on the middle row (1), the
// middle column (2), both (3), the falling diagonal (4) or the rising diagonal (5).
void MakePatternTile(CBitmap& tile, COLORREF colour, int pattern) {
  std::vector<unsigned char> bits(5 * 4 * 5, 0xFF);  // 32 bits per pixel: B, G, R, unused
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) {
      bool on = (pattern == 1 && y == 2) || (pattern == 2 && x == 2) ||
                (pattern == 3 && (x == 2 || y == 2)) || (pattern == 4 && x == y) ||
                (pattern == 5 && x + y == 4);
      if (!on) continue;
      unsigned char* px = &bits[(y * 5 + x) * 4];
      px[0] = GetBValue(colour);
      px[1] = GetGValue(colour);
      px[2] = GetRValue(colour);
    }
  }
  tile.CreateBitmap(5, 5, 1, 32, bits.data());
}

}  // namespace

// Draws and measures cells on a device context.
class GridDcCanvas : public GridCanvas {
 public:
  explicit GridDcCanvas(CDC* dc) : dc_(dc) { saved_ = dc_->SaveDC(); }
  ~GridDcCanvas() override { dc_->RestoreDC(saved_); }

  COLORREF SysColour(GridSysColour which) override {
    switch (which) {
      case GridSysColour::WindowText: return GetSysColor(COLOR_WINDOWTEXT);
      case GridSysColour::Window: return GetSysColor(COLOR_WINDOW);
      case GridSysColour::BtnFace: return GetSysColor(COLOR_BTNFACE);
      case GridSysColour::BtnShadow: return GetSysColor(COLOR_BTNSHADOW);
      case GridSysColour::BtnHighlight: return GetSysColor(COLOR_BTNHIGHLIGHT);
      case GridSysColour::Highlight: return GetSysColor(COLOR_HIGHLIGHT);
      case GridSysColour::HighlightText: return GetSysColor(COLOR_HIGHLIGHTTEXT);
      case GridSysColour::DarkShadow3D: return GetSysColor(COLOR_3DDKSHADOW);
    }
    return 0;
  }
  void FillRect(const RECT& rect, COLORREF colour) override { dc_->FillSolidRect(&rect, colour); }
  void FrameRect(const RECT& rect, COLORREF colour) override {
    CBrush brush(colour);
    dc_->FrameRect(&rect, &brush);
  }
  void Line(int x1, int y1, int x2, int y2, COLORREF colour) override {
    CPen pen(PS_SOLID, 1, colour);
    CPen* old = dc_->SelectObject(&pen);
    dc_->MoveTo(x1, y1);
    dc_->LineTo(x2, y2);
    dc_->SelectObject(old);
  }
  void SetFont(const GridFont& font) override {
    for (auto& [key, made] : fonts_) {
      if (key == font) {
        dc_->SelectObject(made.get());
        return;
      }
    }
    auto made = std::make_unique<CFont>();
    LOGFONT lf = ToLogFont(font);
    made->CreateFontIndirect(&lf);
    dc_->SelectObject(made.get());
    fonts_.emplace_back(font, std::move(made));
  }
  void DrawText(const std::string& text, const RECT& rect, UINT format, COLORREF colour) override {
    dc_->SetTextColor(colour);
    dc_->SetBkMode(TRANSPARENT);
    RECT r = rect;
    dc_->DrawText(text, &r, format);
  }
  SIZE TextExtent(const std::string& text) override {
    // Drawn on one line, a line feed shows as a space.
    std::string line = text.empty() ? std::string(" ") : text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    CSize size = dc_->GetTextExtent(line);
    return SIZE{text.empty() ? 0 : size.cx, size.cy};
  }
  void DrawCheckBox(const RECT& box, bool checked) override {
    RECT r = box;
    dc_->DrawFrameControl(&r, DFC_BUTTON, DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0));
  }
  void PatternRect(const RECT& rect, COLORREF colour, int pattern, bool fill) override {
    CPen pen(PS_SOLID, 1, colour);
    CPen* oldPen = dc_->SelectObject(&pen);
    CBrush brush;
    CBrush* oldBrush = nullptr;
    if (fill) {
      if (pattern == 0) {
        brush.CreateSolidBrush(colour);
      } else if (pattern == 6) {
        oldBrush = static_cast<CBrush*>(dc_->SelectStockObject(HOLLOW_BRUSH));
      } else {
        CBitmap tile;
        MakePatternTile(tile, colour, pattern >= 1 && pattern <= 5 ? pattern : 0);
        brush.CreatePatternBrush(&tile);
      }
      if (brush.GetSafeHandle()) oldBrush = dc_->SelectObject(&brush);
    }
    dc_->Rectangle(&rect);
    if (oldBrush) dc_->SelectObject(oldBrush);
    dc_->SelectObject(oldPen);
  }
  void DrawIcon(int index, int x, int y) override;
  void Triangle(const POINT points[3], COLORREF colour) override {
    CPen pen(PS_SOLID, 1, colour);
    CBrush brush(colour);
    CPen* oldPen = dc_->SelectObject(&pen);
    CBrush* oldBrush = dc_->SelectObject(&brush);
    dc_->Polygon(points, 3);
    dc_->SelectObject(oldBrush);
    dc_->SelectObject(oldPen);
  }

 private:
  CDC* dc_;
  int saved_ = 0;
  std::vector<std::pair<GridFont, std::unique_ptr<CFont>>> fonts_;
};

// The program's 24 waypoint symbols (its own icon resources 500 to 523), loaded once.
const std::vector<HICON>& GridSymbolIcons() {
  struct Icons {
    std::vector<HICON> list;
    Icons() {
      HMODULE program = GetModuleHandle(nullptr);
      for (UINT id = 500; id < 500 + CGridCellListCtrlIcon::kIconCount; ++id)
        list.push_back(LoadIcon(program, id));
    }
    ~Icons() {
      for (HICON icon : list) DestroyIcon(icon);
    }
  };
  static const Icons icons;
  return icons.list;
}

void GridDcCanvas::DrawIcon(int index, int x, int y) {
  const auto& icons = GridSymbolIcons();
  if (index >= 0 && index < static_cast<int>(icons.size()) && icons[index]) {
    dc_->DrawIconEx(x, y, icons[index], CGridCellListCtrlIcon::kIconSize,
                    CGridCellListCtrlIcon::kIconSize);
  }
}

// ---------------------------------------------------------------- the host

namespace {
GridAreaDesignRunner g_areaDesignRunner = nullptr;
}  // namespace

void SetGridAreaDesignRunner(GridAreaDesignRunner runner) { g_areaDesignRunner = runner; }

class GridWindowHost : public GridHost {
 public:
  explicit GridWindowHost(CGridCtrl* grid) : grid_(grid) {}

  bool HasWindow() const override { return grid_->GetSafeHwnd() != nullptr; }
  SIZE ClientSize() const override {
    RECT r;
    grid_->GetClientRect(&r);
    return SIZE{r.right - r.left, r.bottom - r.top};
  }
  void InvalidateRect(const RECT* rect) override { grid_->CWnd::InvalidateRect(rect, FALSE); }
  LRESULT NotifyOwner(GridNmHdr* record) override {
    CWnd* owner = grid_->GetOwner();
    if (!owner || !owner->GetSafeHwnd()) return 0;
    return owner->SendMessage(WM_NOTIFY, record->idFrom, reinterpret_cast<LPARAM>(record));
  }
  void CommandOwner() override {
    CWnd* owner = grid_->GetOwner();
    if (!owner || !owner->GetSafeHwnd()) return;
    owner->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(ControlId()), 0),
                       reinterpret_cast<LPARAM>(grid_->GetSafeHwnd()));
  }
  HWND Handle() const override { return grid_->GetSafeHwnd(); }
  UINT_PTR ControlId() const override { return static_cast<UINT_PTR>(grid_->GetDlgCtrlID()); }
  bool KeyHeld(UINT key) const override { return GetKeyState(static_cast<int>(key)) < 0; }
  void ShowScrollBar(int bar, bool show) override {
    grid_->CCustomWnd::ShowScrollBar(bar == 0 ? SB_HORZ : SB_VERT, show);
  }
  void SetScrollRange(int bar, int maximum, int page, int position) override {
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = maximum;
    info.nPage = static_cast<UINT>(page);
    info.nPos = position;
    grid_->SetScrollInfo(bar == 0 ? SB_HORZ : SB_VERT, &info);
  }
  GridMetrics Metrics() const override {
    GridMetrics m;
    m.scrollArrowWidth = std::max(8, GetSystemMetrics(SM_CXVSCROLL));
    m.vScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    m.hScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
    return m;
  }
  void SetCursor(GridCursor cursor) override {
    UINT id = cursor == GridCursor::SizeWE ? IDC_SIZEWE
              : cursor == GridCursor::SizeNS ? IDC_SIZENS
                                             : IDC_ARROW;
    ::SetCursor(LoadCursor(nullptr, id));
  }
  void SetCapture(bool capture) override {
    if (capture) {
      grid_->CWnd::SetCapture();
    } else if (GetCapture() == grid_) {
      ReleaseCapture();
    }
  }
  void SetTimer(UINT_PTR id, UINT elapse) override { grid_->CWnd::SetTimer(id, elapse); }
  void KillTimer(UINT_PTR id) override { grid_->CWnd::KillTimer(id); }
  void TakeFocus() override { grid_->CWnd::SetFocus(); }
  void ShowDragLine(bool vertical, int at) override {
    CClientDC dc(grid_);
    RECT client;
    grid_->GetClientRect(&client);
    auto invert = [&](bool v, int pos) {
      RECT line = v ? RECT{pos, client.top, pos + 2, client.bottom}
                    : RECT{client.left, pos, client.right, pos + 2};
      dc.InvertRect(&line);
    };
    if (dragAt_ >= 0) invert(dragVertical_, dragAt_);
    dragVertical_ = vertical;
    dragAt_ = at;
    if (at >= 0) invert(vertical, at);
  }
  GridCanvas* MeasureCanvas() override {
    if (!HasWindow()) return nullptr;
    if (!measureDc_) {
      measureDc_ = std::make_unique<CDC>();
      if (!measureDc_->CreateCompatibleDC(nullptr)) {
        measureDc_.reset();
        return nullptr;
      }
      measureCanvas_ = std::make_unique<GridDcCanvas>(measureDc_.get());
    }
    measureDc_->SelectObject(DesktopFont());
    return measureCanvas_.get();
  }
  GridFont WindowFont() const override {
    LOGFONT lf;
    DesktopFont()->GetLogFont(&lf);
    return ToGridFont(lf);
  }
  GridInPlaceControl* OpenTextEditor(int row, int col, const RECT& rect, UINT format,
                                     const std::string& text, UINT character) override {
    return GridInPlaceEditor::OpenText(grid_, row, col, rect, format, text, character);
  }
  GridInPlaceControl* OpenListEditor(const GridListEditSpec& spec) override {
    return GridInPlaceEditor::OpenList(grid_, spec);
  }
  GridInPlaceControl* OpenIconEditor(CGridCellBase* cell, int row, int col,
                                     const RECT& rect) override {
    return GridInPlaceEditor::OpenIcons(grid_, dynamic_cast<CGridCellListCtrlIcon*>(cell), row,
                                        col, rect);
  }
  bool RunAreaDesign(int featureType, COLORREF& colour, int& pattern) override {
    return g_areaDesignRunner && g_areaDesignRunner(grid_, featureType, colour, pattern);
  }

 private:
  CGridCtrl* grid_;
  std::unique_ptr<CDC> measureDc_;
  std::unique_ptr<GridDcCanvas> measureCanvas_;
  bool dragVertical_ = true;
  int dragAt_ = -1;
};

// ---------------------------------------------------------------- the window

// The framework's select-all edit command.
constexpr UINT kSelectAllCommand = 57642;

BEGIN_MESSAGE_MAP(CGridCtrl, CCustomWnd)
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_MOUSEMOVE()
  ON_WM_KEYDOWN()
  ON_WM_CHAR()
  ON_WM_IME_CHAR()
  ON_WM_SYSKEYDOWN()
  ON_WM_TIMER()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_SIZE()
  ON_WM_GETDLGCODE()
  ON_WM_ERASEBKGND()
  ON_WM_SETCURSOR()
  ON_WM_SETTINGCHANGE()
  ON_COMMAND(kSelectAllCommand, &CGridCtrl::OnEditSelectAll)
  ON_UPDATE_COMMAND_UI(kSelectAllCommand, &CGridCtrl::OnUpdateEditSelectAll)
  ON_NOTIFY(GVN_ENDLABELEDIT, kGridInPlaceId, &CGridCtrl::OnEndInPlaceEdit)
  ON_MESSAGE(WM_SETFONT, &CGridCtrl::OnSetFont)
  ON_MESSAGE(WM_GETFONT, &CGridCtrl::OnGetFont)
END_MESSAGE_MAP()

CGridCtrl::CGridCtrl(int rows, int cols, int fixedRows, int fixedCols)
    : GridCore(rows, cols, fixedRows, fixedCols),
      windowHost_(std::make_unique<GridWindowHost>(this)) {
  SetHost(windowHost_.get());
}

CGridCtrl::~CGridCtrl() {
  // The cells go before the window: nothing may reach the host afterwards. An open edit
  // ends first, without a report (the owner may be going too): a cell closes its editor
  // when it goes.
  SetHost(nullptr);
  DeleteAllItems();
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CGridCtrl::Create(const RECT& rect, CWnd* parent, UINT id, DWORD style) {
  if (!CCustomWnd::Create(parent, rect, id, style | WS_HSCROLL | WS_VSCROLL)) return FALSE;
  EnableTapAndHold(false);
  SetSystemColours(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW),
                   GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW));
  SetGridFont(DesktopFont());
  for (int r = 0; r < GetRowCount(); ++r) m_arRowHeights[r] = GetDefaultCell(false, false)->GetHeight();
  for (int c = 0; c < GetColumnCount(); ++c) m_arColWidths[c] = GetDefaultCell(false, false)->GetWidth();
  ResetScrollBars();
  return TRUE;
}

void CGridCtrl::SetGridFont(CFont* font) {
  if (!font) return;
  LOGFONT lf;
  font->GetLogFont(&lf);
  GridCore::SetFont(ToGridFont(lf), windowHost_->MeasureCanvas());
}

void CGridCtrl::OnDraw(CDC* dc) {
  RECT clip;
  dc->GetClipBox(&clip);
  GridDcCanvas canvas(dc);
  GridCore::OnDraw(&canvas, clip);
}

void CGridCtrl::OnLButtonDown(UINT flags, CPoint point) { GridCore::OnLButtonDown(flags, point); }
void CGridCtrl::OnLButtonUp(UINT flags, CPoint point) { GridCore::OnLButtonUp(flags, point); }
void CGridCtrl::OnLButtonDblClk(UINT flags, CPoint point) {
  GridCore::OnLButtonDblClk(flags, point);
}
void CGridCtrl::OnMouseMove(UINT flags, CPoint point) { GridCore::OnMouseMove(flags, point); }

void CGridCtrl::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (GridCore::OnKeyDown(key)) CWnd::OnKeyDown(key, repeat, flags);
}

void CGridCtrl::OnChar(UINT ch, UINT repeat, UINT flags) {
  if (GridCore::OnChar(ch)) CWnd::OnChar(ch, repeat, flags);
}

void CGridCtrl::OnImeChar(UINT ch, UINT repeat, UINT flags) {
  if (GetKeyState(VK_CONTROL) >= 0 && GetMouseMode() == MOUSE_NOTHING && ch != VK_ESCAPE) {
    GridCellId focus = GetFocusCell();
    OnEditCell(focus.row, focus.col, POINT{-1, -1}, ch);
  }
}

void CGridCtrl::OnSysKeyDown(UINT key, UINT repeat, UINT flags) {
  CWnd::OnSysKeyDown(key, repeat, flags);
}

void CGridCtrl::OnTimer(UINT_PTR id) {
  POINT at;
  GetCursorPos(&at);
  ScreenToClient(&at);
  GridCore::OnTimer(id, at);
}

void CGridCtrl::OnHScroll(UINT code, UINT position, CScrollBar*) {
  GridCore::OnHScroll(static_cast<int>(code), static_cast<int>(position));
}

void CGridCtrl::OnVScroll(UINT code, UINT position, CScrollBar*) {
  GridCore::OnVScroll(static_cast<int>(code), static_cast<int>(position));
}

void CGridCtrl::OnSize(UINT, int cx, int cy) {
  static bool resizing = false;  // the scroll bars' own resizing comes back here
  if (resizing) return;
  resizing = true;
  // The toolkit also reports sizes that did not change (a dialog laying out again, say);
  // only a real change ends an edit.
  if (cx != lastSize_.cx || cy != lastSize_.cy) EndEditing();
  lastSize_ = SIZE{cx, cy};
  ResetScrollBars();
  resizing = false;
}

UINT CGridCtrl::OnGetDlgCode() { return GridCore::OnGetDlgCode(); }

BOOL CGridCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

BOOL CGridCtrl::OnSetCursor(CWnd*, UINT hitTest, UINT) {
  if (hitTest != HTCLIENT) return FALSE;
  UINT id = GetMouseMode() == MOUSE_OVER_ROW_DIVIDE   ? IDC_SIZENS
            : GetMouseMode() == MOUSE_OVER_COL_DIVIDE ? IDC_SIZEWE
                                                      : IDC_ARROW;
  ::SetCursor(LoadCursor(nullptr, id));
  return TRUE;
}

void CGridCtrl::OnSettingChange(UINT, const char*) {
  OnSysColourChange(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW),
                    GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW));
  Refresh();  // shown in the new colours
}

void CGridCtrl::OnEditSelectAll() { SelectAll(); }

void CGridCtrl::OnUpdateEditSelectAll(CCmdUI* ui) { ui->Enable(IsSelectable()); }

LRESULT CGridCtrl::OnSetFont(WPARAM font, LPARAM) {
  SetGridFont(CFont::FromHandle(reinterpret_cast<HFONT>(font)));
  Refresh();
  return Default();
}

LRESULT CGridCtrl::OnGetFont(WPARAM, LPARAM) {
  const GridFont* font = GetDefaultCell(false, false)->GetFont();
  if (!font) return 0;
  if (!cellFont_ || !(*font == cellFontMadeFrom_)) {
    auto made = std::make_unique<CFont>();
    LOGFONT lf = ToLogFont(*font);
    if (!made->CreateFontIndirect(&lf)) return 0;
    cellFont_ = std::move(made);
    cellFontMadeFrom_ = *font;
  }
  return reinterpret_cast<LRESULT>(static_cast<HFONT>(*cellFont_));
}

void CGridCtrl::OnEndInPlaceEdit(NMHDR* header, LRESULT* result) {
  GridCore::OnEndInPlaceEdit(GridDispInfoOf(header));
  *result = 0;
}
