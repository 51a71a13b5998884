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
  bool kept = false;  // holds a picture drawn whole (the map's own surface)

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
  // The map's picture, kept from paint to paint at the map's size: a captured point draws
  // again only the part it changed (when nothing else on the map changed since).
  std::unique_ptr<Surface> picture;

  Surface* Picture(CDC* like, int w, int h) {
    if (!picture || picture->width != w || picture->height != h) {
      picture.reset();
      auto made = std::make_unique<Surface>();
      if (!made->Create(like, w, h)) return nullptr;
      picture = std::move(made);
    }
    return picture.get();
  }

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
  const int width = MapWidth(), height = MapHeight();
  if (width <= 0 || height <= 0) return;
  EnsureCaches(width, height);
  Surface* picture = m_draw ? m_draw->Picture(dc, width, height) : nullptr;
  if (!picture) return;
  // Every paint draws the whole map afresh: what a layer switch, a hidden feature or an
  // ended overlay took away must not show through from an older picture.
  RenderMap(&picture->dc, {0, 0, width, height});
  picture->kept = true;
  m_pictureDigest = PictureDigest();
  dc->BitBlt(MapLeft(), 2 * m_rowUnit, width, height, &picture->dc, 0, 0, SRCCOPY);
  RedrawOverlays();
}

int CTolvanixView::MapWidth() const {
  const CTolvanixDoc* doc = GetDocument();
  return doc && doc->m_splitInProgress ? ClientWidth() / 2 : ClientWidth();
}

int CTolvanixView::MapHeight() const { return ClientHeight() - 3 * m_rowUnit; }

FitSource CTolvanixView::MapFitSource() const {
  const CTolvanixDoc* doc = GetDocument();
  FitSource source;
  if (!doc) return source;
  source.features = &doc->m_features;
  source.current = doc->m_current;
  source.waypoints = &doc->m_waypoints;
  source.countWaypoints = m_showWaypoints || m_showWaypointNames;
  source.offsetTrack = doc->m_offsetOn ? &doc->m_trail : nullptr;
  source.hasFix = doc->m_hasFix;
  source.fixLon = doc->m_datumLon;
  source.fixLat = doc->m_datumLat;
  return source;
}

void CTolvanixView::EnsureCaches(int width, int height) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  // A refit when asked for, and whenever the document (or the map's size) has moved past
  // what the caches were made from: an import, a delete, a datum change, a division undone,
  // another document, a resized window.
  if (doc->m_needsRedraw || !doc->m_mapReady || !CachesHold(KeyOf(MapFitSource(), width, height)))
    FitToFeatures(width, height);
}

void CTolvanixView::RenderMap(CDC* dc, const PixelBox& part) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  m_paintPart = part;
  const int ox = part.left, oy = part.top;
  // Each picture starts from the DC's first state (the map's surface is kept from paint to
  // paint; a step such as the titles leaves its background mode behind).
  const int saved = dc->SaveDC();
  // Pattern fills tile from the map's own origin, whatever part of it dc holds.
  dc->SetBrushOrg(-ox, -oy);
  dc->FillSolidRect(0, 0, part.Width(), part.Height(), kWhite);
  CFont* oldFont = m_font ? dc->SelectObject(m_font.get()) : nullptr;
  TEXTMETRIC metrics;
  if (dc->GetTextMetrics(&metrics)) m_textCellWidth = metrics.tmMaxCharWidth;

  if (m_showRuler) DrawRuler(dc);
  if (!m_navActive) {
    dc->SetTextColor(kBlue);
    dc->ExtTextOut(1 - ox, 0 - oy, ETO_OPAQUE, nullptr, doc->m_docName);
    if (const FeatureRecord* current = doc->CurrentFeature())
      dc->ExtTextOut(1 - ox, m_lineHeight - oy, ETO_OPAQUE, nullptr, current->name);
    dc->SetTextColor(kRed);
    if (doc->m_offsetOn)
      dc->ExtTextOut(1 - ox, MapHeight() - m_lineHeight - oy, ETO_OPAQUE, nullptr, "Offset ON");
    dc->SetTextColor(kBlack);
  }
  if (m_showOutlines) DrawFeatures(dc);
  if (m_showLabels) DrawLabels(dc);
  if (m_showPoints) DrawVertexPoints(dc);
  if (m_showNotes) DrawNotes(dc);
  if (m_showWaypoints) DrawWaypointIcons(dc);
  if (m_showWaypointNames) DrawWaypointNames(dc);
  if (m_showTitles) DrawFeatureTitles(dc);
  if (doc->m_offsetOn) DrawOffsetTrack(dc);

  if (oldFont) dc->SelectObject(oldFont);
  dc->RestoreDC(saved);
  m_paintPart = kWholeMap;
}

std::uint64_t CTolvanixView::PictureDigest() const {
  const CTolvanixDoc* doc = GetDocument();
  Digest d;
  if (!doc) return d.Value();
  // The size of the map and of the client (the grid and the ruler go by the client).
  for (int v : {MapWidth(), MapHeight(), ClientWidth(), ClientHeight(), m_lineHeight})
    d.AddInt(v);
  for (const std::vector<ScreenPoint>* cache : {&m_featurePoints, &m_waypointPoints, &m_offsetPoints}) {
    d.AddInt(static_cast<std::int64_t>(cache->size()));
    for (const ScreenPoint& p : *cache) d.AddInt((std::int64_t{p.x} << 32) ^ (p.y & 0xFFFFFFFFu));
  }
  for (int v : {m_showRuler, m_rulerStep, m_showOutlines, m_showLabels, m_showPoints, m_showNotes,
                m_showWaypoints, m_showWaypointNames, m_showTitles, m_overlay,
                static_cast<int>(m_navActive), doc->m_metrica, static_cast<int>(doc->m_offsetOn),
                static_cast<int>(doc->m_splitInProgress), doc->m_current})
    d.AddInt(v);
  d.AddDouble(m_scale);  // the ruler's length
  d.AddText(doc->m_docName);
  for (const FeatureRecord& f : doc->m_features) {
    d.AddInt(f.visible);
    d.AddInt(static_cast<std::int64_t>(f.type));
    d.AddInt(f.colour);
    d.AddInt(f.pattern);
    d.AddText(f.name);
    // The notes there are (a captured vertex comes with none: the picture before it stays
    // that of its feature). Where the vertices lie is the caches' part.
    for (std::size_t k = 0; k < f.vertexNotes.size(); ++k) {
      if (f.vertexNotes[k].empty()) continue;
      d.AddInt(static_cast<std::int64_t>(k));
      d.AddText(f.vertexNotes[k]);
    }
  }
  for (const WaypointRecord& w : doc->m_waypoints) {
    d.AddInt(w.symbol);
    d.AddText(w.name);
  }
  return d.Value();
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
  // Each marker stands on its tapped point where the map now puts it: a refit since the tap
  // (a resized window, a captured point) moved the map under it.
  if (shown1) DrawPickMarker(WorldToBitmap(doc->m_tapPoint1.x, doc->m_tapPoint1.y), 1);
  if (shown2) DrawPickMarker(WorldToBitmap(doc->m_tapPoint2.x, doc->m_tapPoint2.y), 2);
}

bool CTolvanixView::PaintShows(const PixelBox& box) const { return Meets(box, m_paintPart); }

void CTolvanixView::RepaintWhenStale() {
  const int width = MapWidth(), height = MapHeight();
  // No paint runs during a pan; a map without room has no picture.
  if (m_panning || width <= 0 || height <= 0 || !GetDocument()) return;
  if (CachesHold(KeyOf(MapFitSource(), width, height)) && PictureDigest() == m_pictureDigest)
    return;
  Invalidate(FALSE);
}

void CTolvanixView::DrawRuler(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  const int metrica = doc ? doc->m_metrica : 0;
  const RulerScale ruler = ComputeRuler(m_rulerStep, m_scale, metrica);
  const int clientWidth = ClientWidth(), clientHeight = ClientHeight();
  const int ox = m_paintPart.left, oy = m_paintPart.top;
  if (ruler.grid) {
    CPen grid(PS_SOLID, 1, kGridGrey);
    CPen* old = dc->SelectObject(&grid);
    for (int x = ruler.lengthPx; x < clientWidth; x += ruler.lengthPx) {
      if (x < m_paintPart.left - 1 || x > m_paintPart.right) continue;
      dc->MoveTo(x - ox, 0 - oy);
      dc->LineTo(x - ox, clientHeight - oy);
    }
    for (int y = ruler.lengthPx; y < clientHeight; y += ruler.lengthPx) {
      if (y < m_paintPart.top - 1 || y > m_paintPart.bottom) continue;
      dc->MoveTo(0 - ox, y - oy);
      dc->LineTo(clientWidth - ox, y - oy);
    }
    dc->SelectObject(old);
  }
  const RulerPlace at = PlaceRuler(clientHeight, m_lineHeight, HiRes(), DpiX(), DpiY());
  CPen black(PS_SOLID, 1, kBlack);
  CPen* old = dc->SelectObject(&black);
  dc->TextOut(at.x - ox, at.textY - oy, RulerText(ruler.step, metrica));
  dc->MoveTo(at.x - ox, at.barY - oy);
  dc->LineTo(at.x + ruler.lengthPx - ox, at.barY - oy);
  for (int x : {at.x, at.x + ruler.lengthPx}) {
    dc->MoveTo(x - ox, at.tickFrom - oy);
    dc->LineTo(x - ox, at.tickTo - oy);
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

// The cached pixels of one drawn feature, clipped to what the cache holds, moved by the
// origin of the part being painted.
static std::vector<POINT> CachedPixels(const std::vector<ScreenPoint>& cache,
                                       const DrawnFeature& d, std::size_t count,
                                       const PixelBox& part = CTolvanixView::kWholeMap) {
  std::vector<POINT> points;
  points.reserve(std::min(count, cache.size() > d.firstCached ? cache.size() - d.firstCached : 0));
  for (std::size_t k = 0; k < count && d.firstCached + k < cache.size(); ++k) {
    const ScreenPoint& p = cache[d.firstCached + k];
    points.push_back({p.x - part.left, p.y - part.top});
  }
  return points;
}

static PixelBox BoxOf(const std::vector<POINT>& points, int margin) {
  if (points.empty()) return {};
  PixelBox box{points[0].x, points[0].y, points[0].x + 1, points[0].y + 1};
  for (const POINT& p : points) {
    box.left = std::min(box.left, static_cast<int>(p.x));
    box.top = std::min(box.top, static_cast<int>(p.y));
    box.right = std::max(box.right, static_cast<int>(p.x) + 1);
    box.bottom = std::max(box.bottom, static_cast<int>(p.y) + 1);
  }
  return {box.left - margin, box.top - margin, box.right + margin, box.bottom + margin};
}

void CTolvanixView::DrawFeatures(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  // What dc holds, in its own pixels.
  const PixelBox here{0, 0, m_paintPart.Width(), m_paintPart.Height()};
  for (const DrawnFeature& d : FeatureDrawOrder(doc->m_features, doc->m_current)) {
    const FeatureRecord& f = doc->m_features[static_cast<std::size_t>(d.index)];
    const bool isCurrent = d.index == doc->m_current;
    if (f.vertices.empty() || (isCurrent && doc->m_splitInProgress)) continue;
    const std::vector<POINT> points =
        CachedPixels(m_featurePoints, d, f.vertices.size(), m_paintPart);
    if (points.empty()) continue;
    if (isCurrent)
      m_firstPoint = {points[0].x + m_paintPart.left, points[0].y + m_paintPart.top};
    if (!Meets(BoxOf(points, 2), here)) continue;
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
  }
}

void CTolvanixView::DrawVertexPoints(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  // Every mark is the same 3 x 3 square in the same pen and brush, so a mark on a pixel
  // already marked changes nothing: a long walk puts many vertices on one pixel.
  const int w = m_mapWidth, h = m_mapHeight;
  std::vector<bool> marked(static_cast<std::size_t>(std::max(w, 0)) * std::max(h, 0));
  for (const DrawnFeature& d : FeatureDrawOrder(doc->m_features, doc->m_current)) {
    const FeatureRecord& f = doc->m_features[static_cast<std::size_t>(d.index)];
    const std::size_t count = MarkedVertexCount(f.type, f.vertices.size());
    for (std::size_t k = 0; k < count && d.firstCached + k < m_featurePoints.size(); ++k) {
      const ScreenPoint p = m_featurePoints[d.firstCached + k];
      if (!VertexMarkInside(p, w, h)) continue;
      const std::size_t at = static_cast<std::size_t>(p.y) * w + p.x;
      if (marked[at] || !PaintShows({p.x - 1, p.y - 1, p.x + 2, p.y + 2})) continue;
      marked[at] = true;
      const int x = p.x - m_paintPart.left, y = p.y - m_paintPart.top;
      dc->Rectangle(x - 1, y - 1, x + 1, y + 1);
    }
  }
}

void CTolvanixView::DrawLabels(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  char letter = 'A';
  auto label = [&](ScreenPoint p, const std::string& text) {
    if (PaintShows(TextBox(p.x, p.y, text.size(), m_textCellWidth, m_lineHeight)))
      dc->TextOut(p.x - m_paintPart.left, p.y - m_paintPart.top, text);
  };
  for (const DrawnFeature& d : FeatureDrawOrder(doc->m_features, doc->m_current)) {
    const FeatureRecord& f = doc->m_features[static_cast<std::size_t>(d.index)];
    const std::size_t count = std::min(MarkedVertexCount(f.type, f.vertices.size()),
                                       m_featurePoints.size() - std::min(d.firstCached, m_featurePoints.size()));
    if (doc->m_splitInProgress && d.index != doc->m_current) {
      // While an area is divided the other features are told apart by a letter each.
      if (count > 0) label(m_featurePoints[d.firstCached], std::string(1, letter++));
      continue;
    }
    for (std::size_t k = 0; k < count; ++k)
      label(m_featurePoints[d.firstCached + k], VertexLabel(f.type, k));
  }
}

void CTolvanixView::DrawNotes(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  for (const DrawnFeature& d : FeatureDrawOrder(doc->m_features, doc->m_current)) {
    const FeatureRecord& f = doc->m_features[static_cast<std::size_t>(d.index)];
    if (IsCircleType(f.type)) continue;
    const std::size_t count = std::min(f.vertexNotes.size(), f.vertices.size());
    for (std::size_t k = 0; k < count && d.firstCached + k < m_featurePoints.size(); ++k) {
      const std::string& note = f.vertexNotes[k];
      if (note.empty()) continue;
      const ScreenPoint p = m_featurePoints[d.firstCached + k];
      if (PaintShows(TextBox(p.x + 1, p.y + 1, note.size(), m_textCellWidth, m_lineHeight)))
        dc->TextOut(p.x + 1 - m_paintPart.left, p.y + 1 - m_paintPart.top, note);
    }
  }
}

void CTolvanixView::DrawWaypointIcons(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !m_draw) return;
  for (std::size_t i = 0; i < m_waypointPoints.size() && i < doc->m_waypoints.size(); ++i) {
    const std::int32_t symbol = doc->m_waypoints[i].symbol;
    // Only 24 symbols exist; other numbers draw none.
    if (symbol < 0 || symbol >= kWaypointSymbols) continue;
    HICON icon = m_draw->waypointIcons[static_cast<std::size_t>(symbol)];
    const CSize size = GetIconSize(icon);
    const ScreenPoint p = m_waypointPoints[i];
    if (!PaintShows({p.x - 8, p.y - 8, p.x - 8 + size.cx, p.y - 8 + size.cy})) continue;
    dc->DrawIcon(p.x - 8 - m_paintPart.left, p.y - 8 - m_paintPart.top, icon);
  }
}

void CTolvanixView::DrawWaypointNames(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(kBlue);
  for (std::size_t i = 0; i < m_waypointPoints.size() && i < doc->m_waypoints.size(); ++i) {
    const ScreenPoint p = m_waypointPoints[i];
    const std::string& name = doc->m_waypoints[i].name;
    if (PaintShows(TextBox(p.x + 3, p.y + 3, name.size(), m_textCellWidth, m_lineHeight)))
      dc->TextOut(p.x + 3 - m_paintPart.left, p.y + 3 - m_paintPart.top, name);
  }
  dc->SetTextColor(kBlack);
  dc->SetBkMode(oldMode);
}

void CTolvanixView::DrawFeatureTitles(CDC* dc) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !m_draw) return;
  dc->SetBkMode(TRANSPARENT);
  const CSize icon = GetIconSize(m_draw->titleIcon);
  for (const DrawnFeature& d : FeatureDrawOrder(doc->m_features, doc->m_current)) {
    const FeatureRecord& f = doc->m_features[static_cast<std::size_t>(d.index)];
    if (f.vertices.empty() || d.firstCached >= m_featurePoints.size()) continue;
    const ScreenPoint p = m_featurePoints[d.firstCached];
    const PixelBox box = Unite(TextBox(p.x, p.y, f.name.size(), m_textCellWidth, m_lineHeight),
                               {p.x - 3, p.y - 3, p.x - 3 + icon.cx, p.y - 3 + icon.cy});
    if (!PaintShows(box)) continue;
    const int x = p.x - m_paintPart.left, y = p.y - m_paintPart.top;
    dc->TextOut(x, y, f.name);
    dc->DrawIcon(x - 3, y - 3, m_draw->titleIcon);
  }
}

void CTolvanixView::DrawOffsetTrack(CDC* dc) {
  if (m_offsetPoints.size() < 3) return;
  std::vector<POINT> points;
  for (const ScreenPoint& p : m_offsetPoints)
    points.push_back({p.x - m_paintPart.left, p.y - m_paintPart.top});
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
  const int width = MapWidth(), height = MapHeight();
  const FitSource source = MapFitSource();
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
      // still match what is drawn. (A pan in progress refits when it ends.)
      if (!m_panning) doc->m_mapReady = true;
      return -1;
    case SegmentStep::Refit: RequestRedraw(); return 0;
    default: break;
  }
  if (CachesHold(KeyOf(source, width, height))) {
    // A paint since the capture already fitted the map to the new point.
    doc->m_mapReady = true;
    return 0;
  }
  if (step == SegmentStep::Recentre) {
    CentreOnGps();
    return 0;
  }
  // The caches must be those of the document just before this point; when anything else
  // moved on meanwhile (an edit whose repaint has not come yet), the whole map is fitted.
  if (width <= 0 || height <= 0 || !CachesHold(KeyOf(source, width, height, true))) {
    RequestRedraw();
    return 0;
  }
  // Whether the picture kept for the map is that of these caches and of everything else on
  // it as it stands: then only the part the point changes is drawn again.
  const bool pictureKept = PictureDigest() == m_pictureDigest;
  const std::size_t before = current->vertices.size() - 1;
  const ScreenPoint previous = before > 0 ? m_featurePoints.back() : pixel;
  const ScreenPoint first = before > 0 ? m_featurePoints[m_featurePoints.size() - before] : pixel;
  const std::vector<ScreenPoint> oldTrack = m_offsetPoints;

  m_featurePoints.push_back(pixel);
  CacheOffsetTrack(source.offsetTrack);
  m_cacheKey = KeyOf(source, width, height);
  m_cacheKeyValid = true;
  doc->m_mapReady = true;

  // A new feature's first point brings its title and name; a circle is drawn from vertices
  // 1 and 2: those pictures are drawn whole.
  const bool patch = pictureKept && before > 0 && !IsCircleType(current->type);
  PixelBox changed;
  if (patch) {
    PixelBox label;
    if (m_showLabels)
      label = TextBox(pixel.x, pixel.y, VertexLabel(current->type, before).size(), m_textCellWidth,
                      m_lineHeight);
    changed = CapturedPointBox(previous, pixel, first, label, oldTrack, m_offsetPoints, width,
                               height);
  }
  PaintCapturedPoint(patch, changed);
  return 0;
}

void CTolvanixView::PaintCapturedPoint(bool patch, const PixelBox& changed) {
  const int width = MapWidth(), height = MapHeight();
  CClientDC window(this);
  Surface* picture = m_draw ? m_draw->Picture(&window, width, height) : nullptr;
  if (!picture) return;
  if (!patch || !picture->kept) {
    RenderMap(&picture->dc, {0, 0, width, height});
  } else if (!changed.Empty()) {
    // The part the point changed, drawn alone (all layers, in their order) and put into the
    // kept picture: the same pixels as drawing the whole map, at the cost of that part.
    Surface part;
    if (!part.Create(&window, changed.Width(), changed.Height())) {
      RenderMap(&picture->dc, {0, 0, width, height});
    } else {
      RenderMap(&part.dc, changed);
      picture->dc.BitBlt(changed.left, changed.top, changed.Width(), changed.Height(), &part.dc, 0,
                         0, SRCCOPY);
    }
  }
  picture->kept = true;
  m_pictureDigest = PictureDigest();
  window.BitBlt(MapLeft(), 2 * m_rowUnit, width, height, &picture->dc, 0, 0, SRCCOPY);
  RedrawOverlays();
}


// ---------------------------------------------------------------------------------------
// Overlays on the window

CPoint CTolvanixView::MarkerPixel(double lon, double lat) const {
  // The map's own projection, on the window: the map area starts MapLeft() pixels in (the
  // right half while an area is divided) and two panel rows down.
  return CPoint(MapLeft() + WorldToScreenX(lon, MapWidth() - 5),
                WorldToScreenY(lat, MapHeight() - 5));
}

void CTolvanixView::DrawGpsMarker() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !m_draw) return;
  CClientDC window(this);
  SaveUnder* under = DrawResources::Ensure(m_draw->marker, window, kMarkerSize, kMarkerSize);
  if (!under) return;
  if (m_markerSaved) under->Restore(window, m_markerX - 4, m_markerY - 4);
  const CPoint at = MarkerPixel(doc->m_datumLon, doc->m_datumLat);
  m_markerX = at.x;
  m_markerY = at.y;
  under->Save(window, m_markerX - 4, m_markerY - 4);
  m_markerSaved = 1;
  window.DrawIcon(m_markerX - 4, m_markerY - 4, m_draw->gpsIcon);
}

void CTolvanixView::ShowMapUnderMarkers() {
  // During a pan the window shows the dragged image, and the pan's end paints the map anew.
  if (m_panning || !m_draw || (!m_markerSaved && !m_arrowSaved)) return;
  Surface* picture = m_draw->picture.get();
  const int width = MapWidth(), height = MapHeight();
  // A picture of another size is not what the window shows (a paint is on its way).
  if (!picture || !picture->kept || picture->width != width || picture->height != height) return;
  CClientDC window(this);
  const int left = MapLeft(), top = 2 * m_rowUnit;
  // A box of client pixels, cut to the map area (the panels are not the picture's).
  auto showMap = [&](int x, int y, int w, int h) {
    const int x0 = std::max(x, left), y0 = std::max(y, top);
    const int x1 = std::min(x + w, left + width), y1 = std::min(y + h, top + height);
    if (x0 >= x1 || y0 >= y1) return;
    window.BitBlt(x0, y0, x1 - x0, y1 - y0, &picture->dc, x0 - left, y0 - top, SRCCOPY);
  };
  if (m_markerSaved) showMap(m_markerX - 4, m_markerY - 4, kMarkerSize, kMarkerSize);
  if (m_arrowSaved) {
    const int w = m_draw->arrowWidth, h = m_draw->arrowHeight;
    showMap(m_markerX - w / 2, m_markerY - h / 2, w, h);
  }
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
  const int w = m_draw->arrowWidth, h = m_draw->arrowHeight;
  std::unique_ptr<CBitmap> turned = RotateBitmap(
      &m_draw->arrow, static_cast<float>(m_targetBearing * kDegToRad), kWhite);
  std::unique_ptr<CBitmap> mask = MakeMaskBitmap(turned.get(), kWhite);
  if (!turned || !mask) return;

  CClientDC window(this);
  SaveUnder* under = DrawResources::Ensure(m_draw->arrowUnder, window, w, h);
  if (!under) return;
  if (m_arrowSaved) under->Restore(window, m_markerX - w / 2, m_markerY - h / 2);
  const CPoint at = MarkerPixel(doc->m_datumLon, doc->m_datumLat);
  m_markerX = at.x;
  m_markerY = at.y;
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
  const int left = MapLeft() + 1;
  window.TextOut(left, 2 * m_rowUnit,
                 MeasureDistanceText(m_targetName, m_targetDistance, doc->m_metrica));
  window.TextOut(left, m_lineHeight + 2 * m_rowUnit,
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
