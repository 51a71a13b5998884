// Everything the map view paints: the map bitmap of a paint, the incremental picture after a
// captured point, and the overlays painted straight onto the window (GPS marker, target
// arrow, pick markers, the coordinate and distance bands).
//
// Pixel positions come from the caches of the fit (map-bitmap pixels); what is painted onto
// the window adds 2 * m_rowUnit to y, where the map area starts below the two top panel rows.
#include <algorithm>
#include <array>
#include <cmath>

#include "app/strings.h"
#include "document/tolvanix_doc.h"
#include "platform/modules.h"
#include "platform/ui/dc.h"
#include "platform/ui/input.h"
#include "platform/win_app.h"
#include "view/core/hit_tap_modes.h"
#include "view/core/view_paint_rules.h"
#include "view/tolvanix_view.h"

namespace {

constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kBlack = 0;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kGridGrey = 0xC8C8C8;
constexpr int kMarkerSize = 9;  // GPS and pick markers and their save-unders
constexpr int kWaypointSymbols = 24;
constexpr UINT kGpsIconId = 176;
constexpr UINT kPickIconId = 1146;
constexpr UINT kTitleIconId = 169;
constexpr UINT kFirstWaypointIconId = 500;
constexpr UINT kArrowBitmapId = 234;
constexpr UINT kDistanceLabelId = 59249;
constexpr double kDegToRad = 0.017453292519943295;

// A memory DC with its own bitmap, selected for its whole life.
struct Surface {
  CDC dc;
  CBitmap bitmap;
  CBitmap* previous = nullptr;
  int width = 0, height = 0;

  bool Create(CDC* like, int w, int h) {
    if (!dc.CreateCompatibleDC(like) || !bitmap.CreateCompatibleBitmap(like, w, h)) return false;
    previous = dc.SelectObject(&bitmap);
    width = w;
    height = h;
    return true;
  }
  ~Surface() {
    if (previous) dc.SelectObject(previous);
  }
};

// One window rectangle kept aside so that an overlay can be taken off again.
struct SaveUnder {
  Surface surface;
  void Save(CDC& window, int x, int y) {
    surface.dc.BitBlt(0, 0, surface.width, surface.height, &window, x, y, SRCCOPY);
  }
  void Restore(CDC& window, int x, int y) {
    window.BitBlt(x, y, surface.width, surface.height, &surface.dc, 0, 0, SRCCOPY);
  }
};

// An icon drawn by the program when the resource module has none: width x height on white,
// white being transparent.
template <class Paint>
HICON MakeIcon(int width, int height, Paint paint) {
  CDC dc;
  CBitmap bitmap;
  if (!dc.CreateCompatibleDC(nullptr) || !bitmap.CreateCompatibleBitmap(nullptr, width, height))
    return nullptr;
  CBitmap* old = dc.SelectObject(&bitmap);
  dc.FillSolidRect(0, 0, width, height, kWhite);
  paint(dc);
  dc.SelectObject(old);
  CImageList list;
  if (!list.Create(width, height, ILC_COLOR24 | ILC_MASK, 1, 0)) return nullptr;
  if (list.Add(&bitmap, kWhite) < 0) return nullptr;
  return list.ExtractIcon(0);
}

HICON LoadIconOr(HMODULE module, UINT id, HICON fallback) {
  HICON icon = LoadIcon(module, id);
  if (!icon) return fallback;
  DestroyIcon(fallback);
  return icon;
}

void Disc(CDC& dc, int size, COLORREF fill, COLORREF edge) {
  CPen pen(PS_SOLID, 1, edge);
  CBrush brush(fill);
  CPen* oldPen = dc.SelectObject(&pen);
  CBrush* oldBrush = dc.SelectObject(&brush);
  dc.Ellipse(0, 0, size, size);
  dc.SelectObject(oldPen);
  dc.SelectObject(oldBrush);
}

// Waypoint symbol i: one of four shapes in one of six colours.
void PaintSymbol(CDC& dc, int i) {
  static constexpr COLORREF kColours[6] = {0x0000C0, 0xC00000, 0x008000,
                                           0x00A0E0, 0x800080, 0x404040};
  CPen pen(PS_SOLID, 1, kBlack);
  CBrush brush(kColours[(i / 4) % 6]);
  CPen* oldPen = dc.SelectObject(&pen);
  CBrush* oldBrush = dc.SelectObject(&brush);
  switch (i % 4) {
    case 0: dc.Ellipse(3, 3, 14, 14); break;
    case 1: dc.Rectangle(4, 4, 13, 13); break;
    case 2: {
      const POINT tri[3] = {{8, 2}, {14, 13}, {2, 13}};
      dc.Polygon(tri, 3);
      break;
    }
    default: {
      const POINT diamond[4] = {{8, 2}, {14, 8}, {8, 14}, {2, 8}};
      dc.Polygon(diamond, 4);
      break;
    }
  }
  dc.SelectObject(oldPen);
  dc.SelectObject(oldBrush);
}

// The target arrow: pointing up (north), on white.
void PaintArrow(CDC& dc, int size) {
  CPen pen(PS_SOLID, 1, kBlack);
  CBrush brush(kRed);
  CPen* oldPen = dc.SelectObject(&pen);
  CBrush* oldBrush = dc.SelectObject(&brush);
  const int m = size / 2;
  const POINT arrow[7] = {{m, 1},           {size - 3, m},      {m + 3, m},
                          {m + 3, size - 2}, {m - 3, size - 2}, {m - 3, m},
                          {2, m}};
  dc.Polygon(arrow, 7);
  dc.SelectObject(oldPen);
  dc.SelectObject(oldBrush);
}

POINT ToPoint(ScreenPoint p) { return {p.x, p.y}; }

}  // namespace

struct CTolvanixView::DrawResources {
  HICON gpsIcon = nullptr;
  HICON pickIcon = nullptr;
  HICON titleIcon = nullptr;
  std::array<HICON, kWaypointSymbols> waypointIcons{};
  CBitmap arrow;
  int arrowWidth = 0, arrowHeight = 0;
  // Save-unders: GPS marker, pick slots 1 and 2, target arrow (created on first use).
  std::unique_ptr<SaveUnder> marker, pick1, pick2, arrowUnder;

  DrawResources() {
    // Icons of the language module, else the program's own drawing of them.
    HMODULE language = AfxGetResourceHandle();
    gpsIcon = LoadIconOr(language, kGpsIconId, MakeIcon(kMarkerSize, kMarkerSize, [](CDC& dc) {
                           Disc(dc, kMarkerSize, kRed, kBlack);
                         }));
    pickIcon = LoadIconOr(language, kPickIconId, MakeIcon(kMarkerSize, kMarkerSize, [](CDC& dc) {
                            CPen pen(PS_SOLID, 1, 0xFF00FF);
                            CPen* old = dc.SelectObject(&pen);
                            dc.MoveTo(0, 4);
                            dc.LineTo(kMarkerSize, 4);
                            dc.MoveTo(4, 0);
                            dc.LineTo(4, kMarkerSize);
                            dc.SelectObject(old);
                          }));
    titleIcon = LoadIconOr(language, kTitleIconId, MakeIcon(7, 7, [](CDC& dc) {
                             CPen pen(PS_SOLID, 1, kBlue);
                             CPen* old = dc.SelectObject(&pen);
                             dc.SelectStockObject(NULL_BRUSH);
                             dc.Rectangle(0, 0, 7, 7);
                             dc.SelectObject(old);
                           }));
    // Waypoint symbols and the arrow are the program's own resources.
    SetResourceModule(AfxGetApp(), 1);
    for (int i = 0; i < kWaypointSymbols; ++i) {
      HICON own = LoadIcon(nullptr, kFirstWaypointIconId + static_cast<UINT>(i));
      waypointIcons[static_cast<std::size_t>(i)] =
          own ? own : MakeIcon(16, 16, [i](CDC& dc) { PaintSymbol(dc, i); });
    }
    const bool arrowLoaded = arrow.LoadBitmap(kArrowBitmapId);
    AfxSetResourceHandle(language);
    if (!arrowLoaded) {
      constexpr int kArrowSize = 25;
      CDC dc;
      dc.CreateCompatibleDC(nullptr);
      arrow.CreateCompatibleBitmap(nullptr, kArrowSize, kArrowSize);
      CBitmap* old = dc.SelectObject(&arrow);
      dc.FillSolidRect(0, 0, kArrowSize, kArrowSize, kWhite);
      PaintArrow(dc, kArrowSize);
      dc.SelectObject(old);
    }
    const CSize size = arrow.GetSize();
    arrowWidth = size.cx;
    arrowHeight = size.cy;
  }
  ~DrawResources() {
    for (HICON icon : {gpsIcon, pickIcon, titleIcon}) DestroyIcon(icon);
    for (HICON icon : waypointIcons) DestroyIcon(icon);
  }

  static SaveUnder* Ensure(std::unique_ptr<SaveUnder>& slot, CDC& window, int w, int h) {
    if (!slot) {
      auto made = std::make_unique<SaveUnder>();
      if (!made->surface.Create(&window, w, h)) return nullptr;
      slot = std::move(made);
    }
    return slot.get();
  }
};

void CTolvanixView::FontDeleter::operator()(CFont* font) const { delete font; }
void CTolvanixView::DrawResourcesDeleter::operator()(DrawResources* resources) const {
  delete resources;
}

// ---------------------------------------------------------------------------------------
// Info panels

BOOL CClickWnd::CreatePanel(CWnd* parent, UINT id) {
  // A panel only shows text: the keyboard stays with the map view under it.
  SetTakesFocus(false);
  if (!Create(parent, RECT{0, 0, 1, 1}, id, WS_CHILD | WS_VISIBLE | WS_BORDER)) return FALSE;
  SetTimer(1, 200);  // picks up text set without a repaint
  return TRUE;
}

void CClickWnd::OnTimer(UINT_PTR) {
  if (GetWindowText() != m_shownText) Invalidate(TRUE);
}

void CClickWnd::MovePanel(const PanelRect& rect) {
  MoveWindow(rect.x, rect.y, rect.width, rect.height, TRUE);
  ShowWindow(SW_SHOW);
}

void CClickWnd::SetWindowText(const std::string& text) {
  if (text == GetWindowText()) return;
  CWnd::SetWindowText(text);
  Invalidate(TRUE);
}

void CClickWnd::OnDraw(CDC* dc) {
  RECT r;
  GetClientRect(&r);
  dc->FillSolidRect(&r, kWhite);
  // The window's own font: the panel rows are sized for it.
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(kBlack);
  m_shownText = GetWindowText();
  dc->DrawText(m_shownText, &r, DT_LEFT | DT_NOPREFIX);
}

void CClickWnd::OnLButtonDown(UINT, CPoint) {
  // A tap on a panel is a tap on the view: the view takes the keys.
  if (CWnd* view = GetParent()) view->SetFocus();
  OnPanelTap();
}
void CClickWnd::OnLButtonUp(UINT, CPoint) {}
void CClickWnd::OnMouseMove(UINT, CPoint) {}

BEGIN_MESSAGE_MAP(CClickWnd, CCustomWnd)
  ON_WM_TIMER()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

void CClickNotifyWnd::OnPanelTap() {
  if (m_hwndNotify) ::PostMessage(m_hwndNotify, WM_CALCULAR_AREA, 0, 0);
}

// ---------------------------------------------------------------------------------------
// The map bitmap

void CTolvanixView::CreateDrawResources() {
  if (!m_draw) m_draw.reset(new DrawResources);
}

void CTolvanixView::SetMapFont(int pointSize) {
  LOGFONT lf;  // every attribute zero but the height: the default face
  lf.lfHeight = MapFontHeight(pointSize, DpiY());
  lf.lfWeight = FW_DONTCARE;
  m_font.reset();
  auto font = std::unique_ptr<CFont, FontDeleter>(new CFont);
  if (font->CreateFontIndirect(&lf)) m_font = std::move(font);
  m_lineHeight = std::abs(lf.lfHeight);
}

int CTolvanixView::DpiX() { return platform::ui::LogicalDpi(); }
int CTolvanixView::DpiY() { return platform::ui::LogicalDpi(); }
bool CTolvanixView::HiRes() { return GetSystemMetrics(SM_CXSCREEN) >= 480; }

void CTolvanixView::OnDraw(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (m_panning || !doc) return;
  // While an area is divided the map takes the right half; the divide dialog the left.
  const int left = MapLeft();
  const int width = doc->m_splitInProgress ? ClientWidth() / 2 : ClientWidth();
  const int height = ClientHeight() - 3 * m_rowUnit;
  if (width <= 0 || height <= 0) return;
  if (doc->m_needsRedraw) FitToFeatures(width, height);
  if (!doc->m_mapReady) return;

  Surface map;
  if (!map.Create(dc, width, height)) return;
  CDC& mem = map.dc;
  // Every paint starts from a clean map: what a layer switch, a hidden feature or an ended
  // overlay took away must not show through from the window's old picture.
  mem.FillSolidRect(0, 0, width, height, kWhite);
  CFont* oldFont = m_font ? mem.SelectObject(m_font.get()) : nullptr;

  if (m_showRuler) DrawRuler(&mem);
  if (!m_navActive) {
    mem.SetTextColor(kBlue);
    mem.ExtTextOut(1, 0, ETO_OPAQUE, nullptr, doc->m_docName);
    if (const FeatureRecord* current = doc->CurrentFeature())
      mem.ExtTextOut(1, m_lineHeight, ETO_OPAQUE, nullptr, current->name);
    mem.SetTextColor(kRed);
    if (doc->m_offsetOn) mem.ExtTextOut(1, height - m_lineHeight, ETO_OPAQUE, nullptr, "Offset ON");
    mem.SetTextColor(kBlack);
  }
  if (m_showOutlines) DrawFeatures(&mem);
  if (m_showLabels) DrawLabels(&mem);
  if (m_showPoints) DrawVertexPoints(&mem);
  if (m_showNotes) DrawNotes(&mem);
  if (m_showWaypoints) DrawWaypointIcons(&mem);
  if (m_showWaypointNames) DrawWaypointNames(&mem);
  if (m_showTitles) DrawFeatureTitles(&mem);
  if (doc->m_offsetOn) DrawOffsetTrack(&mem);

  dc->BitBlt(left, 2 * m_rowUnit, width, height, &mem, 0, 0, SRCCOPY);
  if (oldFont) mem.SelectObject(oldFont);
  RedrawOverlays();
}

void CTolvanixView::RedrawOverlays() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  // The paint replaced the map under every overlay: what the save-unders hold is gone.
  ResetGpsMarker();
  if (doc->m_hasFix && !m_panning && m_focused) {
    if (!m_navActive) {
      DrawGpsMarker();
    } else if (doc->m_navStyle != 0) {
      DrawMeasureOverlay();
    }
  }
  // The pick markers of the tap mode in progress, with their band.
  const bool picking = m_tapMode == kTapPointQuery || m_tapMode == kTapMeasureFirst ||
                       m_tapMode == kTapMeasureSecond || m_tapMode == kTapMoveAll ||
                       m_tapMode == kTapSplitFirst || m_tapMode == kTapSplitSecond;
  if (!picking) return;
  const bool shown1 = m_pick1Saved != 0, shown2 = m_pick2Saved != 0;
  ResetPickMarkers();
  if (shown1) DrawPickMarker(m_pickPoint1, 1);
  if (shown2) DrawPickMarker(m_pickPoint2, 2);
}

void CTolvanixView::DrawRuler(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  const int metrica = doc ? doc->m_metrica : 0;
  const RulerScale ruler = ComputeRuler(m_rulerStep, m_scale, metrica);
  const int clientWidth = ClientWidth(), clientHeight = ClientHeight();
  if (ruler.lengthPx > 0) {
    CPen grid(PS_SOLID, 1, kGridGrey);
    CPen* old = dc->SelectObject(&grid);
    for (int x = ruler.lengthPx; x < clientWidth; x += ruler.lengthPx) {
      dc->MoveTo(x, 0);
      dc->LineTo(x, clientHeight);
    }
    for (int y = ruler.lengthPx; y < clientHeight; y += ruler.lengthPx) {
      dc->MoveTo(0, y);
      dc->LineTo(clientWidth, y);
    }
    dc->SelectObject(old);
  }
  const RulerPlace at = PlaceRuler(clientHeight, m_lineHeight, HiRes(), DpiX(), DpiY());
  CPen black(PS_SOLID, 1, kBlack);
  CPen* old = dc->SelectObject(&black);
  dc->TextOut(at.x, at.textY, RulerText(ruler.step, metrica));
  dc->MoveTo(at.x, at.barY);
  dc->LineTo(at.x + ruler.lengthPx, at.barY);
  for (int x : {at.x, at.x + ruler.lengthPx}) {
    dc->MoveTo(x, at.tickFrom);
    dc->LineTo(x, at.tickTo);
  }
  dc->SelectObject(old);
}

void CTolvanixView::MakeFeatureBrush(CDC* dc, std::unique_ptr<CPen>& pen,
                                     std::unique_ptr<CBrush>& brush, int feature) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || feature < 0 || feature >= static_cast<int>(doc->m_features.size())) return;
  const FeatureRecord& f = doc->m_features[static_cast<std::size_t>(feature)];
  const COLORREF colour = f.colour;
  pen = std::make_unique<CPen>(IsDashedOutline(f.type) ? PS_DASH : PS_SOLID, 1, colour);
  brush = std::make_unique<CBrush>();
  const FillPattern pattern = PatternCells(f.pattern & 0xFF);  // one byte in the file
  if (pattern.hollow) {
    LOGBRUSH none;
    none.lbStyle = BS_NULL;
    brush->CreateBrushIndirect(&none);
    return;
  }
  CDC cells;
  CBitmap bitmap;
  if (!cells.CreateCompatibleDC(dc) || !bitmap.CreateCompatibleBitmap(dc, 5, 5)) return;
  CBitmap* old = cells.SelectObject(&bitmap);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x)
      cells.SetPixel(x, y, pattern.ink[static_cast<std::size_t>(y * 5 + x)] ? colour : kWhite);
  cells.SelectObject(old);
  brush->CreatePatternBrush(&bitmap);
}

// The cached pixels of one drawn feature, clipped to what the cache holds.
static std::vector<POINT> CachedPixels(const std::vector<ScreenPoint>& cache,
                                       const DrawnFeature& d, std::size_t count) {
  std::vector<POINT> points;
  for (std::size_t k = 0; k < count && d.firstCached + k < cache.size(); ++k)
    points.push_back(ToPoint(cache[d.firstCached + k]));
  return points;
}

void CTolvanixView::DrawFeatures(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  for (const DrawnFeature& d : FeatureDrawOrder(doc->m_features, doc->m_current)) {
    const FeatureRecord& f = doc->m_features[static_cast<std::size_t>(d.index)];
    const bool isCurrent = d.index == doc->m_current;
    if (f.vertices.empty() || (isCurrent && doc->m_splitInProgress)) continue;
    const std::vector<POINT> points = CachedPixels(m_featurePoints, d, f.vertices.size());
    if (points.empty()) continue;
    std::unique_ptr<CPen> pen;
    std::unique_ptr<CBrush> brush;
    MakeFeatureBrush(dc, pen, brush, d.index);
    CPen* oldPen = pen ? dc->SelectObject(pen.get()) : nullptr;
    CBrush* oldBrush = brush ? dc->SelectObject(brush.get()) : nullptr;
    const FeatureShape shape = ShapeOf(f.type);
    const int oldRop = m_overlay && shape != FeatureShape::Polyline ? dc->SetROP2(R2_MASKPEN) : 0;
    const int n = static_cast<int>(points.size());
    if (shape == FeatureShape::Polyline) {
      dc->Polyline(points.data(), n);
    } else if (shape == FeatureShape::Polygon || (shape == FeatureShape::Ellipse && n >= 3)) {
      // Fill first without an outline, then the outline without a fill: the fill's 5 x 5
      // cells then land whole on pixels (a pen on the filling call shifts them by half a
      // pixel on the desktop's renderer). The pixels are those of one filled, outlined shape.
      auto shapeCall = [&] {
        if (shape == FeatureShape::Polygon)
          dc->Polygon(points.data(), n);
        else
          dc->Ellipse(points[1].x, points[1].y, points[2].x, points[2].y);
      };
      CGdiObject* penNow = dc->SelectStockObject(NULL_PEN);
      shapeCall();
      dc->SelectObject(penNow);
      CGdiObject* brushNow = dc->SelectStockObject(NULL_BRUSH);
      shapeCall();
      dc->SelectObject(brushNow);
    }
    if (oldRop) dc->SetROP2(oldRop);
    if (oldPen) dc->SelectObject(oldPen);
    if (oldBrush) dc->SelectObject(oldBrush);
    if (isCurrent) m_firstPoint = {points[0].x, points[0].y};
  }
}

void CTolvanixView::DrawVertexPoints(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  for (const DrawnFeature& d : FeatureDrawOrder(doc->m_features, doc->m_current)) {
    const FeatureRecord& f = doc->m_features[static_cast<std::size_t>(d.index)];
    for (const POINT& p : CachedPixels(m_featurePoints, d, MarkedVertexCount(f.type, f.vertices.size())))
      if (VertexMarkInside({p.x, p.y}, m_mapWidth, m_mapHeight))
        dc->Rectangle(p.x - 1, p.y - 1, p.x + 1, p.y + 1);
  }
}

void CTolvanixView::DrawLabels(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  char letter = 'A';
  for (const DrawnFeature& d : FeatureDrawOrder(doc->m_features, doc->m_current)) {
    const FeatureRecord& f = doc->m_features[static_cast<std::size_t>(d.index)];
    const std::vector<POINT> points =
        CachedPixels(m_featurePoints, d, MarkedVertexCount(f.type, f.vertices.size()));
    if (doc->m_splitInProgress && d.index != doc->m_current) {
      // While an area is divided the other features are told apart by a letter each.
      if (!points.empty()) dc->TextOut(points[0].x, points[0].y, std::string(1, letter++));
      continue;
    }
    for (std::size_t k = 0; k < points.size(); ++k)
      dc->TextOut(points[k].x, points[k].y, VertexLabel(f.type, k));
  }
}

void CTolvanixView::DrawNotes(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  for (const DrawnFeature& d : FeatureDrawOrder(doc->m_features, doc->m_current)) {
    const FeatureRecord& f = doc->m_features[static_cast<std::size_t>(d.index)];
    if (IsCircleType(f.type)) continue;
    const std::vector<POINT> points = CachedPixels(m_featurePoints, d, f.vertices.size());
    for (std::size_t k = 0; k < points.size() && k < f.vertexNotes.size(); ++k)
      if (!f.vertexNotes[k].empty()) dc->TextOut(points[k].x + 1, points[k].y + 1, f.vertexNotes[k]);
  }
}

void CTolvanixView::DrawWaypointIcons(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !m_draw) return;
  for (std::size_t i = 0; i < m_waypointPoints.size() && i < doc->m_waypoints.size(); ++i) {
    const std::int32_t symbol = doc->m_waypoints[i].symbol;
    // Only 24 symbols exist; other numbers draw none.
    if (symbol < 0 || symbol >= kWaypointSymbols) continue;
    const ScreenPoint p = m_waypointPoints[i];
    dc->DrawIcon(p.x - 8, p.y - 8, m_draw->waypointIcons[static_cast<std::size_t>(symbol)]);
  }
}

void CTolvanixView::DrawWaypointNames(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(kBlue);
  for (std::size_t i = 0; i < m_waypointPoints.size() && i < doc->m_waypoints.size(); ++i)
    dc->TextOut(m_waypointPoints[i].x + 3, m_waypointPoints[i].y + 3, doc->m_waypoints[i].name);
  dc->SetTextColor(kBlack);
  dc->SetBkMode(oldMode);
}

void CTolvanixView::DrawFeatureTitles(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !m_draw) return;
  dc->SetBkMode(TRANSPARENT);
  for (const DrawnFeature& d : FeatureDrawOrder(doc->m_features, doc->m_current)) {
    const FeatureRecord& f = doc->m_features[static_cast<std::size_t>(d.index)];
    const std::vector<POINT> points = CachedPixels(m_featurePoints, d, f.vertices.empty() ? 0 : 1);
    if (points.empty()) continue;
    dc->TextOut(points[0].x, points[0].y, f.name);
    dc->DrawIcon(points[0].x - 3, points[0].y - 3, m_draw->titleIcon);
  }
}

void CTolvanixView::DrawOffsetTrack(CDC* dc) {
  if (m_offsetPoints.size() < 3) return;
  std::vector<POINT> points;
  for (const ScreenPoint& p : m_offsetPoints) points.push_back(ToPoint(p));
  CPen pen(PS_DASH, 1, kBlue);
  CPen* old = dc->SelectObject(&pen);
  dc->Polyline(points.data(), static_cast<int>(points.size()));
  dc->SelectObject(old);
}

// ---------------------------------------------------------------------------------------
// A captured point

LRESULT CTolvanixView::OnAddSegmento(WPARAM, LPARAM) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return -1;
  FeatureRecord* current = doc->CurrentFeature();
  ScreenPoint pixel;
  if (current && !current->vertices.empty())
    pixel = WorldToBitmap(current->vertices.back().x, current->vertices.back().y);
  const SegmentStep step =
      DecideSegmentStep(m_panning != 0, m_featurePoints.size(), doc->m_needsRedraw,
                        current && current->visible && !current->vertices.empty(), pixel,
                        m_mapWidth, m_mapHeight);
  switch (step) {
    case SegmentStep::Ignore:
      // Nothing of the picture changed (the vertex went into a hidden feature): the caches
      // still match what is drawn.
      if (!m_panning) doc->m_mapReady = true;
      return -1;
    case SegmentStep::Refit: RequestRedraw(); return 0;
    case SegmentStep::Recentre: CentreOnGps(); return 0;
    case SegmentStep::Draw: break;
  }
  const bool withOffset = doc->m_offsetOn && doc->m_trail.size() >= 3;
  ScreenPoint offsetPixel;
  if (withOffset) {
    const GeoPoint& p = doc->m_trail[doc->m_trail.size() - 2];
    offsetPixel = WorldToBitmap(p.x, p.y);
  }

  const int width = ClientWidth(), height = ClientHeight() - 3 * m_rowUnit;
  if (width <= 0 || height <= 0) return -1;
  CClientDC window(this);
  Surface map;
  if (!map.Create(&window, width, height)) return -1;
  CDC& mem = map.dc;
  mem.BitBlt(0, 0, width, height, &window, 0, 2 * m_rowUnit, SRCCOPY);
  m_featurePoints.push_back(pixel);
  if (withOffset) AppendOffsetPixel(m_offsetPoints, offsetPixel);
  doc->m_mapReady = true;

  mem.FillSolidRect(0, 0, width, height, kWhite);
  if (!m_showOutlines) {
    if (m_showPoints) DrawVertexPoints(&mem);
  } else {
    DrawFeatures(&mem);
    if (doc->m_offsetOn) DrawOffsetTrack(&mem);
    if (current->type == FeatureType::Area) {
      // The closing side of the area as it stands.
      CPen dashed(PS_DASH, 1, kBlack);
      CPen* old = mem.SelectObject(&dashed);
      mem.MoveTo(pixel.x, pixel.y);
      mem.LineTo(m_firstPoint.x, m_firstPoint.y);
      mem.SelectObject(old);
    }
  }
  CFont* oldFont = m_font ? mem.SelectObject(m_font.get()) : nullptr;
  if (m_showTitles) {
    mem.SetTextColor(kBlue);
    mem.TextOut(1, 0, current->name);
    mem.SetTextColor(kBlack);
    DrawFeatureTitles(&mem);
  }
  window.BitBlt(0, 2 * m_rowUnit, width, height, &mem, 0, 0, SRCCOPY);
  if (oldFont) mem.SelectObject(oldFont);
  return 0;
}

// ---------------------------------------------------------------------------------------
// Overlays on the window

void CTolvanixView::DrawGpsMarker() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !m_draw) return;
  CClientDC window(this);
  SaveUnder* under = DrawResources::Ensure(m_draw->marker, window, kMarkerSize, kMarkerSize);
  if (!under) return;
  if (m_markerSaved) under->Restore(window, m_markerX - 4, m_markerY - 4);
  m_markerX = WorldToScreenX(doc->m_datumLon, ClientWidth() - 5);
  m_markerY = WorldToScreenY(doc->m_datumLat, ClientHeight() - 3 * m_rowUnit - 5);
  under->Save(window, m_markerX - 4, m_markerY - 4);
  m_markerSaved = 1;
  window.DrawIcon(m_markerX - 4, m_markerY - 4, m_draw->gpsIcon);
}

std::unique_ptr<CBitmap> CTolvanixView::RotateBitmap(CBitmap* bitmap, float angle,
                                                     COLORREF background) {
  if (!bitmap) return nullptr;
  const CSize size = bitmap->GetSize();
  const int w = size.cx, h = size.cy;
  CDC source, target;
  auto turned = std::make_unique<CBitmap>();
  if (!source.CreateCompatibleDC(nullptr) || !target.CreateCompatibleDC(nullptr) ||
      !turned->CreateCompatibleBitmap(nullptr, w, h))
    return nullptr;
  CBitmap* oldSource = source.SelectObject(bitmap);
  CBitmap* oldTarget = target.SelectObject(turned.get());
  target.FillSolidRect(0, 0, w, h, background);
  for (int row = 0; row < h; ++row) {
    for (int col = 0; col < w; ++col) {
      int sc, sr;
      if (RotatedSourcePixel(col, row, w, h, angle, sc, sr))
        target.SetPixelV(col, row, source.GetPixel(sc, sr));
    }
  }
  source.SelectObject(oldSource);
  target.SelectObject(oldTarget);
  return turned;
}

std::unique_ptr<CBitmap> CTolvanixView::MakeMaskBitmap(CBitmap* bitmap, COLORREF background) {
  if (!bitmap) return nullptr;
  const CSize size = bitmap->GetSize();
  CDC source, target;
  auto mask = std::make_unique<CBitmap>();
  if (!source.CreateCompatibleDC(nullptr) || !target.CreateCompatibleDC(nullptr) ||
      !mask->CreateBitmap(size.cx, size.cy, 1, 1, nullptr))
    return nullptr;
  CBitmap* oldSource = source.SelectObject(bitmap);
  CBitmap* oldTarget = target.SelectObject(mask.get());
  // White in the mask where the bitmap shows its background, black elsewhere.
  source.SetBkColor(background);
  target.BitBlt(0, 0, size.cx, size.cy, &source, 0, 0, SRCCOPY);
  // The bitmap's background turned black, so that OR-ing it leaves what lies below.
  source.SetBkColor(kWhite);
  source.SetTextColor(kBlack);
  source.BitBlt(0, 0, size.cx, size.cy, &target, 0, 0, SRCINVERT);
  source.SelectObject(oldSource);
  target.SelectObject(oldTarget);
  return mask;
}

void CTolvanixView::DrawMeasureOverlay() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !m_draw || m_draw->arrowWidth <= 0) return;
  const int mapHeight = ClientHeight() - 3 * m_rowUnit;
  const int w = m_draw->arrowWidth, h = m_draw->arrowHeight;
  std::unique_ptr<CBitmap> turned = RotateBitmap(
      &m_draw->arrow, static_cast<float>(m_targetBearing * kDegToRad), kWhite);
  std::unique_ptr<CBitmap> mask = MakeMaskBitmap(turned.get(), kWhite);
  if (!turned || !mask) return;

  CClientDC window(this);
  SaveUnder* under = DrawResources::Ensure(m_draw->arrowUnder, window, w, h);
  if (!under) return;
  if (m_arrowSaved) under->Restore(window, m_markerX - w / 2, m_markerY - h / 2);
  m_markerX = WorldToScreenX(doc->m_datumLon, ClientWidth() - 5);
  m_markerY = WorldToScreenY(doc->m_datumLat, mapHeight - 5);
  under->Save(window, m_markerX - w / 2, m_markerY - h / 2);
  m_arrowSaved = 1;

  CDC art;
  art.CreateCompatibleDC(&window);
  CBitmap* old = art.SelectObject(mask.get());
  window.BitBlt(m_markerX - w / 2, m_markerY - h / 2, w, h, &art, 0, 0, SRCAND);
  art.SelectObject(turned.get());
  window.BitBlt(m_markerX - w / 2, m_markerY - h / 2, w, h, &art, 0, 0, SRCPAINT);
  art.SelectObject(old);

  CFont* oldFont = m_font ? window.SelectObject(m_font.get()) : nullptr;
  window.SetTextColor(kBlue);
  window.TextOut(1, 2 * m_rowUnit, MeasureDistanceText(m_targetName, m_targetDistance, doc->m_metrica));
  window.TextOut(1, m_lineHeight + 2 * m_rowUnit,
                 MeasureDeltaText(m_targetDx, m_targetDy, m_targetDz, doc->m_metrica));
  if (oldFont) window.SelectObject(oldFont);
}

// The band under the top panels where a tapped point's text is shown.
static RECT BandRect(const CTolvanixView& view) {
  const int left = view.MapLeft();
  return {left, 2 * view.m_rowUnit, left + view.m_mapWidth + 5, 3 * view.m_rowUnit};
}

static void DrawBand(CTolvanixView& view, CDC* dc, const std::string& text) {
  dc->FillSolidRect(view.MapLeft(), 2 * view.m_rowUnit, view.m_mapWidth + 5,
                    2 * view.m_lineHeight, kWhite);
  CFont* oldFont = view.m_font ? dc->SelectObject(view.m_font.get()) : nullptr;
  dc->SetTextColor(kBlue);
  RECT r = BandRect(view);
  dc->DrawText(text, &r, DT_CENTER);
  dc->SetTextColor(kBlack);
  if (oldFont) dc->SelectObject(oldFont);
}

void CTolvanixView::DrawCursorCoordinates(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  DrawBand(*this, dc,
           TappedPointText(doc->m_coord, doc->m_geoType, doc->m_tapPoint1.x, doc->m_tapPoint1.y,
                           doc->m_tapUtm1.x, doc->m_tapUtm1.y));
}

void CTolvanixView::DrawDistanceBand(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  std::string length;
  doc->FormatLength(length, CTolvanixDoc::CalcDistance(doc->m_tapUtm1, doc->m_tapUtm2));
  DrawBand(*this, dc, LoadResString(kDistanceLabelId) + length);
}

void CTolvanixView::DrawPickMarker(ScreenPoint pixel, int slot) {
  if (!m_draw || (slot != 1 && slot != 2)) return;
  CClientDC window(this);
  std::unique_ptr<SaveUnder>& saveSlot = slot == 1 ? m_draw->pick1 : m_draw->pick2;
  std::uint8_t& saved = slot == 1 ? m_pick1Saved : m_pick2Saved;
  ScreenPoint& at = slot == 1 ? m_pickPoint1 : m_pickPoint2;
  SaveUnder* under = DrawResources::Ensure(saveSlot, window, kMarkerSize, kMarkerSize);
  if (!under) return;
  // Map-bitmap pixels onto the window.
  const int down = 2 * m_rowUnit;
  const int right = MapLeft();
  if (saved) under->Restore(window, at.x + right - 4, at.y + down - 4);
  at = pixel;
  under->Save(window, at.x + right - 4, at.y + down - 4);
  saved = 1;
  window.DrawIcon(at.x + right - 4, at.y + down - 4, m_draw->pickIcon);
  if (slot == 1 && m_tapMode == 1) DrawCursorCoordinates(&window);
  if (((slot == 1 && m_tapMode == 3) || (slot == 2 && m_tapMode == 4)) && m_secondPointSet)
    DrawDistanceBand(&window);
}

// ---------------------------------------------------------------------------------------
// Live drag: straight onto the window, map pixels moved down below the top panels.

void CTolvanixView::DrawFeaturesLive(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  CBitmap pattern;
  CBrush brush;
  if (pattern.LoadBitmap(168)) brush.CreatePatternBrush(&pattern);
  else brush.CreateHatchBrush(HS_DIAGCROSS, 0x808080);
  CBrush* oldBrush = dc->SelectObject(&brush);
  const int down = 2 * m_rowUnit;
  for (const DrawnFeature& d : FeatureDrawOrder(doc->m_features, doc->m_current)) {
    const FeatureRecord& f = doc->m_features[static_cast<std::size_t>(d.index)];
    std::vector<POINT> points = CachedPixels(m_featurePoints, d, f.vertices.size());
    if (points.empty()) continue;
    for (POINT& p : points) p.y += down;
    const int n = static_cast<int>(points.size());
    if (IsCircleType(f.type)) {
      if (n >= 3) dc->Ellipse(points[1].x, points[1].y, points[2].x, points[2].y);
    } else if (f.type == FeatureType::Line) {
      dc->Polyline(points.data(), n);
    } else {
      dc->Polygon(points.data(), n);
    }
  }
  dc->SelectObject(oldBrush);
}

void CTolvanixView::DrawWaypointIconsLive(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !m_draw) return;
  for (std::size_t i = 0; i < m_waypointPoints.size() && i < doc->m_waypoints.size(); ++i) {
    const std::int32_t symbol = doc->m_waypoints[i].symbol;
    if (symbol < 0 || symbol >= kWaypointSymbols) continue;
    dc->DrawIcon(m_waypointPoints[i].x - 8, m_waypointPoints[i].y + 2 * (m_rowUnit - 4),
                 m_draw->waypointIcons[static_cast<std::size_t>(symbol)]);
  }
}

void CTolvanixView::DrawWaypointNamesLive(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(kBlack);
  for (std::size_t i = 0; i < m_waypointPoints.size() && i < doc->m_waypoints.size(); ++i)
    dc->TextOut(m_waypointPoints[i].x + 3, m_waypointPoints[i].y + 2 * m_rowUnit + 3,
                doc->m_waypoints[i].name);
  dc->SetBkMode(oldMode);
}
