#include "view/navigation_wnd.h"

#include "app/strings.h"
#include "platform/ui/dc.h"
#include "platform/ui/input.h"
#include "platform/ui/menu.h"
#include "view/core/nav_compass.h"

namespace {

constexpr UINT kStopNavigationCommand = 32809;
constexpr UINT kExitString = 59188;   // "Salir"
constexpr UINT kLargeString = 59189;  // "Grande"

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kNeedleBlue = RGB(0, 0, 255);
constexpr COLORREF kSpokeGrey = RGB(200, 200, 200);

int Dpi() { return platform::ui::LogicalDpi(); }

// The extent of a text in the font selected into dc.
TextMeasure MeasureWith(CDC& dc) {
  return [&dc](const std::string& text) {
    const CSize extent = dc.GetTextExtent(text);
    return TextExtent{static_cast<int>(extent.cx), static_cast<int>(extent.cy)};
  };
}

// The rose's common parts: the circle, the labels on their painted boxes and the needle. The
// labels' font is selected into dc.
void DrawRose(CDC& dc, const RoseLayout& rose, COLORREF circle, COLORREF box, COLORREF text) {
  const int dpi = Dpi();
  CPen circlePen(PS_SOLID, ScaleForDpi(2, dpi), circle);
  CPen* oldPen = dc.SelectObject(&circlePen);
  CGdiObject* oldBrush = dc.SelectStockObject(NULL_BRUSH);
  dc.Ellipse(rose.cx - rose.radius, rose.cy - rose.radius, rose.cx + rose.radius,
             rose.cy + rose.radius);

  CPen boxPen(PS_SOLID, 1, box);
  CBrush boxBrush(box);
  dc.SelectObject(&boxPen);
  dc.SelectObject(&boxBrush);
  dc.SetBkMode(TRANSPARENT);
  for (const RoseLabel& label : rose.labels) {
    RECT r{label.left, label.top, label.right, label.bottom};
    dc.Ellipse(&r);
    dc.SetTextColor(label.north ? kRed : text);
    dc.DrawText(label.text, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }

  CPen needlePen(PS_SOLID, ScaleForDpi(3, dpi), kNeedleBlue);
  dc.SelectObject(&needlePen);
  dc.MoveTo(rose.cx, rose.cy);
  dc.LineTo(rose.needleTip.x, rose.needleTip.y);
  if (rose.arrowHead) {
    for (const CompassPoint& end : {rose.arrowLeft, rose.arrowRight}) {
      dc.MoveTo(rose.needleTip.x, rose.needleTip.y);
      dc.LineTo(end.x, end.y);
    }
  }
  dc.SelectObject(oldPen);
  dc.SelectObject(oldBrush);
}

}  // namespace

BEGIN_MESSAGE_MAP(CNavigationWnd, CDialog)
  ON_WM_PAINT()
  ON_WM_CAPTURECHANGED()
  ON_COMMAND(172, &CNavigationWnd::OnToggleSize)
  ON_COMMAND(1123, &CNavigationWnd::OnMenuButton)
  ON_COMMAND(32809, &CNavigationWnd::OnStop)
  ON_MESSAGE(WM_MOVE, &CNavigationWnd::OnMove)
END_MESSAGE_MAP()

CNavigationWnd::CNavigationWnd(const std::string& title, int metrica, CWnd* view, CWnd* parent)
    : CDialog(kTemplate, parent), m_view(view), m_units(metrica), m_title(title) {}

BOOL CNavigationWnd::Create() { return CreateModelessDialog(this, m_pParentWnd); }

BOOL CNavigationWnd::OnInitDialog() {
  CDialog::OnInitDialog();
  // The window paints itself and hears its own moves and capture changes.
  platform::ui::RouteInput(this, GetWxWindow(), true);
  SetWindowText(m_title);
  SetLarge(true);
  return TRUE;
}

void CNavigationWnd::SetLarge(bool large) {
  m_large = large ? 1 : 0;
  const int dpi = Dpi();
  const int width = ScaleForDpi(large ? 200 : 70, dpi);
  const int height = ScaleForDpi(large ? 220 : 90, dpi);
  SetWindowText(large ? m_title : CompassDistanceText(m_distance, m_units == 1));
  MoveWindow(0, 0, width, height, TRUE);
  Invalidate(TRUE);
}

void CNavigationWnd::SetTitle(const std::string& title) {
  if (title == m_title) return;
  m_title = title;
  if (m_large) SetWindowText(m_title);
}

void CNavigationWnd::Update(double course, double bearing, double distance) {
  m_course = course;
  m_bearing = bearing;
  m_distance = distance;
  if (!m_large) SetWindowText(CompassDistanceText(distance, m_units == 1));
  Invalidate(TRUE);
}

void CNavigationWnd::OnPaint() {
  CPaintDC dc(this);
  RECT client;
  GetClientRect(&client);
  if (m_large) {
    DrawLargeRose(dc, client);
  } else {
    DrawSmallRose(dc, client);
  }
}

void CNavigationWnd::CreateLabelFont(CFont& font, bool large) {
  font.CreateFont(CompassLabelFontHeight(Dpi()), 0, 0, 0, large ? FW_BOLD : FW_NORMAL, 0, 0, 0,
                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                  DEFAULT_PITCH, "Arial");
}

void CNavigationWnd::DrawSmallRose(CDC& dc, const RECT& client) {
  dc.FillSolidRect(&client, kBlack);
  CFont font;
  CreateLabelFont(font, false);
  CFont* oldFont = dc.SelectObject(&font);
  m_rose = SmallRoseLayout(client.right, client.bottom, m_course, m_bearing, Dpi(),
                           MeasureWith(dc));
  DrawRose(dc, m_rose, kWhite, kBlack, kWhite);
  dc.SelectObject(oldFont);
}

void CNavigationWnd::DrawLargeRose(CDC& dc, const RECT& client) {
  dc.FillSolidRect(&client, kWhite);
  CFont font;
  CreateLabelFont(font, true);
  CFont* oldFont = dc.SelectObject(&font);
  m_rose = LargeRoseLayout(client.right, client.bottom, m_course, m_bearing, Dpi(),
                           MeasureWith(dc));
  m_needleAngle = m_rose.needleAngle;
  CPen spokePen(PS_SOLID, 1, kSpokeGrey);
  CPen* oldPen = dc.SelectObject(&spokePen);
  for (const CompassPoint& end : m_rose.spokes) {
    dc.MoveTo(m_rose.cx, m_rose.cy);
    dc.LineTo(end.x, end.y);
  }
  dc.SelectObject(oldPen);
  DrawRose(dc, m_rose, kBlack, kWhite, kBlack);
  dc.SelectObject(oldFont);

  // The top line in the window's own font, its box as tall as that font needs.
  const std::string header = CompassHeaderText(m_distance, m_bearing, m_course, m_units == 1);
  const TextExtent box =
      FitTextBox({static_cast<int>(client.right), ScaleForDpi(15, Dpi())}, MeasureWith(dc)(header));
  m_headerBox = RECT{0, 0, client.right, box.cy};
  dc.SetTextColor(kBlack);
  dc.DrawText(header, &m_headerBox, DT_CENTER | DT_SINGLELINE);
}

void CNavigationWnd::OnToggleSize() { SetLarge(!m_large); }

void CNavigationWnd::OnMenuButton() {
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, kStopNavigationCommand, LoadResString(kExitString));
  menu.AppendMenu(MF_STRING | (m_large ? MF_CHECKED : 0), kToggleSizeCommand,
                  LoadResString(kLargeString));
  RECT button{};
  if (CWnd* item = GetDlgItem(kMenuButton)) item->GetWindowRect(&button);
  menu.TrackPopupMenuEx(0, button.left, button.top, this);
}

void CNavigationWnd::OnStop() {
  // The view deletes this window when navigation stops: ask it once this handler is done.
  if (m_view) m_view->PostMessage(WM_COMMAND, kStopNavigationCommand);
}

LRESULT CNavigationWnd::OnMove(WPARAM, LPARAM) {
  if (m_mapCovered) m_mapCovered(false);
  return 0;
}

void CNavigationWnd::OnCancel() {
  if (m_mapCovered) m_mapCovered(false);
  const bool byUser = !m_closedByView;
  DestroyWindow();
  // The view still counts on the compass: it stops navigating (and deletes this object)
  // once this handler has returned.
  if (byUser) OnStop();
}

void CNavigationWnd::Close() {
  m_closedByView = true;
  OnCancel();
}

void CNavigationWnd::OnCaptureChanged(CWnd*) {
  if (m_mapCovered && m_view && GetParent() == m_view) m_mapCovered(true);
}
