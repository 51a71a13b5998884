// The stylus on the map view: what a tap does in each tap mode, the popup menus of a tapped
// waypoint or feature, the drags that shape a rectangle or circle, and the pan by drag.
//
// Frames: mouse points are view-client pixels; the view's caches and the pick markers work in
// map-bitmap pixels (client y - 2 x row unit); tapped positions are stored in the working
// datum, in WGS84 and as easting/northing of the display projection.
#include <memory>

#include "app/strings.h"
#include "document/tolvanix_doc.h"
#include "platform/message_box.h"
#include "platform/threads.h"
#include "platform/ui/dc.h"
#include "platform/ui/input.h"
#include "platform/ui/menu.h"
#include "view/core/hit_tap_modes.h"
#include "view/core/hit_test.h"
#include "view/tolvanix_view.h"

namespace {

constexpr UINT kStringLine = 59191;       // "Línea"
constexpr UINT kStringRectangle = 59280;  // "Rectangle"
constexpr UINT kStringCircle = 59281;     // "Circle"
constexpr UINT kStringNavigate = 59152;   // "Navegar"
constexpr UINT kStringDelete = 59153;     // "Borrar"
constexpr UINT kStringEdit = 59154;       // "Editar"
constexpr UINT kStringActivate = 59155;   // "Activar"
constexpr UINT kStringDesign = 59156;     // "Diseño"
constexpr UINT kStringHide = 59157;       // "Ocultar"
constexpr UINT kStringProperties = 59158;  // "Propiedades"

// The area worker is polled every 50 ms before a drag rewrites the feature it may be reading;
// after two seconds the move is given up rather than freezing the stylus.
constexpr DWORD kWorkerPollMs = 50;
constexpr int kWorkerPolls = 40;

// The drag image of a running pan (one view, one pan at a time).
std::unique_ptr<CImageList>& PanImage() {
  static std::unique_ptr<CImageList> image;
  return image;
}

// A menu text: '&' is shown as typed (names are the user's own).
std::string MenuText(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

}  // namespace

void CTolvanixView::ApplyTapAtPoint(CPoint point) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  // The map bitmap starts at MapLeft(): the inverse projection works in its pixels.
  const GeoPoint tap = TapToWorld(*this, point.x - MapLeft(), point.y);
  auto toWgs84 = [doc](GeoPoint p) {
    doc->TransformOutput2(p.x, p.y);
    return p;
  };
  using Projection = CTolvanixDoc::TapProjection;
  // A tapped point is stored with its WGS84 copy, from which new settings derive its
  // working-datum position and map coordinates again (the circle's edge lives for its drag).
  switch (m_tapMode) {
    case kTapPointQuery:
    case kTapWaypoint:
    case kTapNewCircle:
      doc->m_tapPoint1 = tap;
      doc->m_tapPoint1Wgs84 = toWgs84(tap);
      doc->ProjectTappedPoint(1, Projection::Conversion);
      break;
    case kTapMeasureFirst:
    case kTapMeasureSecond: {
      // The measure projects both points in the UTM zone of the point tapped now.
      const bool first = m_tapMode == kTapMeasureFirst;
      (first ? doc->m_tapPoint1 : doc->m_tapPoint2) = tap;
      (first ? doc->m_tapPoint1Wgs84 : doc->m_tapPoint2Wgs84) = toWgs84(tap);
      const Projection zoneOfTap = first ? Projection::ZoneOfPoint1 : Projection::ZoneOfPoint2;
      doc->ProjectTappedPoint(1, zoneOfTap);
      doc->ProjectTappedPoint(2, zoneOfTap);
      break;
    }
    case kTapNewLine:
    case kTapAddVertex:
    case kTapNewRectangle:
    case kTapMoveAll:
    case kTapSplitFirst:
      doc->m_tapPoint1 = tap;
      doc->m_tapPoint1Wgs84 = toWgs84(tap);
      break;
    case kTapRectangleDrag:
    case kTapSplitSecond:
      doc->m_tapPoint2 = tap;
      doc->m_tapPoint2Wgs84 = toWgs84(tap);
      break;
    case kTapCircleDrag: {
      // The circle's edge; its map coordinates are of this drag only.
      doc->m_tapPoint2 = tap;
      const GeoPoint edge = toWgs84(tap);
      doc->m_tapPoint2Wgs84 = edge;
      double e = 0.0, n = 0.0;
      if (doc->ConvertCoordinates(edge.x, edge.y, e, n)) doc->m_tapUtm2 = {e, n};
      doc->m_tapUtm2Made = Projection::None;
      break;
    }
    default:
      break;
  }
}

void CTolvanixView::OnLButtonDown(UINT, CPoint point) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  // Pick markers and hit tests work in map-bitmap pixels (x from MapLeft(), which the hit
  // tests take as their x origin; their y correction is their own).
  const ScreenPoint pixel{point.x - MapLeft(), point.y - 2 * m_rowUnit};
  auto addFeature = [doc](FeatureType type, UINT nameId) -> FeatureRecord& {
    FeatureRecord& feature = doc->AddFeature(type, LoadResString(nameId));
    doc->m_current = static_cast<int>(doc->m_features.size()) - 1;
    return feature;
  };

  // A new press: a long press that never saw its release (the capture went) is over.
  m_contextOnRelease = 0;

  // While an area is divided its parts must stay the last two features: no tap adds one.
  const bool addsFeature =
      m_tapMode == kTapNewLine || m_tapMode == kTapNewRectangle || m_tapMode == kTapNewCircle;
  if (addsFeature && doc->m_splitInProgress) return;

  switch (m_tapMode) {
    case kTapPointQuery:
    case kTapMeasureFirst:
    case kTapSplitFirst:
      ApplyTapAtPoint(point);
      DrawPickMarker(pixel, 1);
      return;
    case kTapMeasureSecond:
    case kTapSplitSecond:
      m_secondPointSet = 1;
      ApplyTapAtPoint(point);
      DrawPickMarker(pixel, 2);
      return;
    case kTapWaypoint:
      ApplyTapAtPoint(point);
      doc->AddWaypoint(doc->m_tapPoint1.x, doc->m_tapPoint1.y, 0);
      m_tapMode = kTapNone;
      ResetGpsMarker();
      return;
    case kTapNewLine:
      addFeature(FeatureType::Line, kStringLine);
      m_tapMode = kTapAddVertex;
      [[fallthrough]];
    case kTapAddVertex:
      // A locked feature takes no vertex, as for a captured point (the document says why).
      if (!doc->CheckFeatureEditable()) return;
      ApplyTapAtPoint(point);
      doc->AddVertexAt(doc->m_tapPoint1Wgs84, doc->m_tapPoint1);
      Invalidate(TRUE);
      return;
    case kTapNewRectangle:
      m_dragFeatureKey = addFeature(FeatureType::Area, kStringRectangle).key;
      ApplyTapAtPoint(point);
      m_tapMode = kTapRectangleDrag;
      SetCapture();
      return;
    case kTapNewCircle:
      // A circle drawn by drag is locked: its shape is its centre and two corners.
      {
        FeatureRecord& circle = addFeature(FeatureType::Circle, kStringCircle);
        circle.editable = 0;
        m_dragFeatureKey = circle.key;
      }
      ApplyTapAtPoint(point);
      m_tapMode = kTapCircleDrag;
      SetCapture();
      return;
    case kTapMoveAll:
      ApplyTapAtPoint(point);
      DrawPickMarker(pixel, 1);
      // The document moves every feature from the reference point it keeps with the circle
      // centre, by the fix minus that point.
      doc->m_circleCentreWgs = doc->m_tapPoint1Wgs84;
      doc->MoveAllFeatures();
      return;
    default:
      break;
  }

  if (ShowPopupOfHit(point)) return;
  SetCapture();
  if (!m_panning) {
    m_panArmed = 1;
    m_panStart = {point.x, point.y};
  }
}

bool CTolvanixView::ShowPopupOfHit(CPoint point) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return false;
  // The hit tests take map-bitmap x (from MapLeft()) and client y.
  const int mapX = point.x - MapLeft();
  if (m_showWaypoints) {
    const int waypoint = HitWaypoint(m_waypointPoints, mapX, point.y, m_rowUnit);
    if (waypoint >= 0 && waypoint < static_cast<int>(doc->m_waypoints.size())) {
      m_popupWaypoint = waypoint;
      ShowWaypointPopup(point);
      return true;
    }
  }
  if (m_showTitles) {
    m_popupFeature =
        HitFeature(doc->m_features, doc->m_current, m_featurePoints, mapX, point.y, m_rowUnit);
    if (m_popupFeature != -1) {
      ShowFeaturePopup(point);
      return true;
    }
  }
  return false;
}

void CTolvanixView::OnContextMenu(CWnd*, CPoint screenPoint) {
  // In a tap mode the stylus is the mode's: a press held still may be a drag about to begin.
  if (m_tapMode != kTapNone) return;
  CPoint point = screenPoint;
  ScreenToClient(&point);
  // The pan that the press armed (or began with a small move) is not made.
  m_panArmed = 0;
  if (m_panning) CancelPan();
  if (GetCapture() == this && GetKeyState(VK_LBUTTON) < 0) {
    // A long press on the map: the popup opens where it was held once the stylus is lifted,
    // so that lifting it does not close the popup at once; until then the stylus moves
    // nothing.
    m_contextOnRelease = 1;
    m_contextPoint = {point.x, point.y};
    return;
  }
  if (GetCapture() == this) ReleaseCapture();
  if (!ShowPopupOfHit(point)) ShowLayerPopup(point);
}

void CTolvanixView::CancelPan() {
  if (PanImage()) {
    CImageList::DragLeave(this);
    CImageList::EndDrag();
    PanImage().reset();
  }
  m_panDelta = {};
  m_panning = 0;
  // The pan image painted the view white: the map is painted again as it stood.
  ResetGpsMarker();
  RequestRedraw();
}

void CTolvanixView::ShowWaypointPopup(CPoint point) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  const WaypointRecord& waypoint = doc->m_waypoints[static_cast<std::size_t>(m_popupWaypoint)];
  const bool navigatingHere = NavigatingToWaypoint(m_popupWaypoint);
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING | MF_GRAYED, 32812, MenuText(waypoint.name));
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING, 32851, LoadResString(kStringProperties));
  menu.AppendMenu(MF_STRING | (navigatingHere ? MF_CHECKED : 0), 32813,
                  LoadResString(kStringNavigate));
  menu.AppendMenu(MF_STRING, view_cmd::kWaypointDelete, LoadResString(kStringDelete));
  menu.AppendMenu(MF_STRING, view_cmd::kWaypointEdit, LoadResString(kStringEdit));
  ClientToScreen(&point);
  menu.TrackPopupMenuEx(0, point.x, point.y, this);
}

void CTolvanixView::ShowFeaturePopup(CPoint point) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING | MF_GRAYED, view_cmd::kFeatureName,
                  MenuText(doc->m_features[static_cast<std::size_t>(m_popupFeature)].name));
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING, view_cmd::kFeatureActivate, LoadResString(kStringActivate));
  menu.AppendMenu(MF_STRING, view_cmd::kFeatureDesign, LoadResString(kStringDesign));
  menu.AppendMenu(MF_STRING, view_cmd::kFeatureHide, LoadResString(kStringHide));
  menu.AppendMenu(MF_STRING, view_cmd::kFeatureProperties, LoadResString(kStringProperties));
  ClientToScreen(&point);
  menu.TrackPopupMenuEx(0, point.x, point.y, this);
}

void CTolvanixView::OnMouseMove(UINT, CPoint point) {
  if (GetCapture() != this || m_contextOnRelease) return;
  if (m_tapMode == kTapRectangleDrag) return DragRectangle(point);
  if (m_tapMode == kTapCircleDrag) return DragCircle(point);

  if (m_panArmed && (point.x != m_panStart.x || point.y != m_panStart.y)) {
    m_panArmed = 0;
    CTolvanixDoc* doc = GetDocument();
    if (!doc || !doc->m_splitInProgress) BeginPanImage(point);
    m_panning = 1;
  }
  if (m_panning) {
    m_panDelta = {point.x - m_panStart.x, point.y - m_panStart.y};
    if (PanImage()) CImageList::DragMove(point);
  }
}

void CTolvanixView::BeginPanImage(CPoint point) {
  const int width = ClientWidth(), height = ClientHeight();
  if (width <= 0 || height <= 0) return;
  CDC* window = GetDC();
  CDC memory;
  CBitmap bitmap;
  if (!memory.CreateCompatibleDC(window) || !bitmap.CreateCompatibleBitmap(window, width, height)) {
    ReleaseDC(window);
    return;
  }
  CBitmap* previous = memory.SelectObject(&bitmap);
  memory.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
  DrawFeatures(&memory);
  if (m_showWaypoints) DrawWaypointIcons(&memory);
  if (m_showWaypointNames) {
    CFont* previousFont = m_font ? memory.SelectObject(m_font.get()) : nullptr;
    DrawWaypointNames(&memory);
    if (previousFont) memory.SelectObject(previousFont);
  }
  memory.SelectObject(previous);
  window->FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
  ReleaseDC(window);

  auto image = std::make_unique<CImageList>();
  if (!image->Create(width, height, ILC_COLOR24 | ILC_MASK, 1, 0) ||
      image->Add(&bitmap, RGB(255, 0, 0)) < 0) {
    return;
  }
  image->BeginDrag(0, point);
  CImageList::DragEnter(this, point);
  PanImage() = std::move(image);
}

void CTolvanixView::OnLButtonUp(UINT, CPoint) {
  if (GetCapture() != this) return;
  if (m_contextOnRelease) {
    m_contextOnRelease = 0;
    ReleaseCapture();
    const CPoint held(m_contextPoint.x, m_contextPoint.y);
    if (!ShowPopupOfHit(held)) ShowLayerPopup(held);
    return;
  }
  if (m_panning && PanImage()) {
    CImageList::DragLeave(this);
    CImageList::EndDrag();
    PanImage().reset();
  }
  EndPanDrag();
  m_panArmed = 0;
  ReleaseCapture();
}

bool CTolvanixView::TakeDraggedFeatureForReshape(FeatureRecord*& feature, int& index) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return false;
  for (int i = 0; doc->m_areaBusy && i < kWorkerPolls; ++i) Sleep(kWorkerPollMs);
  if (doc->m_areaBusy) return false;
  index = -1;
  for (std::size_t i = 0; i < doc->m_features.size(); ++i) {
    if (doc->m_features[i].key == m_dragFeatureKey) index = static_cast<int>(i);
  }
  if (index < 0) return false;
  feature = &doc->m_features[static_cast<std::size_t>(index)];
  feature->FreeVertices();
  return true;
}

void CTolvanixView::FinishReshape(int index) {
  CTolvanixDoc* doc = GetDocument();
  doc->SetModifiedFlag(TRUE);
  doc->StartAreaRecompute(index, TRUE);
  doc->m_needsRedraw = true;
  Invalidate(TRUE);
}

void CTolvanixView::DragRectangle(CPoint point) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  ApplyTapAtPoint(point);
  const std::vector<GeoPoint> wgs84 = RectangleCorners(doc->m_tapPoint1Wgs84, doc->m_tapPoint2Wgs84);
  const std::vector<GeoPoint> working = RectangleCorners(doc->m_tapPoint1, doc->m_tapPoint2);
  FeatureRecord* feature = nullptr;
  int index = -1;
  if (!TakeDraggedFeatureForReshape(feature, index)) return;
  for (std::size_t i = 0; i < wgs84.size(); ++i) feature->AddVertex(wgs84[i], working[i], 0);
  FinishReshape(index);
}

void CTolvanixView::DragCircle(CPoint point) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  ApplyTapAtPoint(point);
  // The square around the circle in the centre's plane, whichever zone the edge is shown in
  // (corners that cannot be taken back to degrees would put metres into the feature).
  GeoPoint wgs84[2], working[2];
  if (!doc->CircleCornersWgs84(doc->m_tapPoint1Wgs84, doc->m_tapPoint2Wgs84, wgs84)) return;
  for (int i = 0; i < 2; ++i) {
    working[i] = wgs84[i];
    doc->TransformOutput(working[i].x, working[i].y);
  }
  FeatureRecord* feature = nullptr;
  int index = -1;
  if (!TakeDraggedFeatureForReshape(feature, index)) return;
  feature->AddVertex(doc->m_tapPoint1Wgs84, doc->m_tapPoint1, 0);
  for (int i = 0; i < 2; ++i) feature->AddVertex(wgs84[i], working[i], 0);
  FinishReshape(index);
}
