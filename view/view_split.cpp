// Dividing the active feature into two parts: by its vertices, with the modeless divide
// dialog to move the dividing line, or along a line whose ends the user taps on the map.
#include <cstddef>

#include "app/strings.h"
#include "dialogs/measure_dialogs.h"
#include "document/tolvanix_doc.h"
#include "view/core/hit_tap_modes.h"
#include "view/core/nav_labels.h"
#include "view/core/split_area.h"
#include "view/tolvanix_view.h"

namespace {
constexpr UINT kDivideTitleString = 59254;  // "Dividir (%s)"
constexpr UINT kDivideTemplate = 187;
constexpr UINT kGpsOnOffCommand = 32804;
}  // namespace

void CTolvanixView::SplitDialogDeleter::operator()(CDlgDividirArea* dialog) const { delete dialog; }

namespace {

// Commands that add or delete features, or replace the document: new feature and new part,
// the object list and the parts grid, the feature popup's properties (the object list), a
// new or opened document, the start-up wizard and its next step (which may save and start a
// new document); and the new line, rectangle and circle by tap as they switch their tap mode
// on (switching it off stays possible). Besides them the captures into the feature being
// divided, which their own handlers refuse meanwhile: capture a point, add a point,
// automatic capture and averaging.
bool RefusedWhileDividing(UINT id, int tapMode) {
  switch (id) {
    case 32842: case 32871: case 32862: case 32872: case 32820:
    case ID_FILE_NEW: case ID_FILE_OPEN: case 212: case 211:
    case 32801: case 32861: case 32802: case 32803: case 32859:
      return true;
    case 32878: case 32880: case 32879:
      return tapMode == kTapNone;
    default:
      return false;
  }
}

}  // namespace

BOOL CTolvanixView::OnCmdMsg(UINT id, int code, void* extra) {
  CTolvanixDoc* doc = GetDocument();
  if (doc && doc->m_splitInProgress && RefusedWhileDividing(id, m_tapMode)) {
    if (code == CN_UPDATE_COMMAND_UI && extra) static_cast<CCmdUI*>(extra)->Enable(FALSE);
    // Taken (and ignored): nobody further along the route gets it.
    return TRUE;
  }
  const BOOL handled = CView::OnCmdMsg(id, code, extra);
  // Reading switched on or off: the desktop is asked to stay awake, or let go.
  if (code == CN_COMMAND && id == kGpsOnOffCommand) KeepDesktopAwake();
  return handled;
}

void CTolvanixView::OnSplitFeature() {
  CTolvanixDoc* doc = GetDocument();
  const FeatureRecord* feature = doc ? doc->CurrentFeature() : nullptr;
  if (!feature || feature->VertexCount() == 0) return;
  // Its parts are made from its vertices: a locked feature refuses that, as any vertex edit.
  if (!doc->CheckFeatureEditable()) return;
  if (doc->m_gpsOn) doc->ToggleGps();
  doc->m_autoCapture = false;
  const bool numbersWereOn = m_showLabels != 0;
  m_showLabels = 1;
  doc->m_restoreNumbersLayer = numbersWereOn ? 1 : 0;

  const std::string name = feature->name;
  SplitParts parts = SplitByVertices(*feature);
  // Only the parts are shown while the line is moved.
  doc->m_savedVisibility.assign(doc->m_features.size() + 1, 0);
  for (std::size_t i = 0; i < doc->m_features.size(); ++i) {
    doc->m_savedVisibility[i] = doc->m_features[i].visible;
    doc->m_features[i].visible = 0;
  }
  AppendSplitParts(*doc, std::move(parts));
  doc->m_splitInProgress = true;
  doc->m_needsRedraw = true;
  OnZoomFull();

  m_splitDialog.reset(new CDlgDividirArea(doc, kDivideTemplate, this));
  m_splitDialog->m_title = FillFormat(LoadResString(kDivideTitleString), name);
  if (m_splitDialog->Create()) {
    // Over the left half of the view, below the top panels: the map takes the right half.
    RECT box;
    m_splitDialog->GetWindowRect(&box);
    CPoint at(0, 2 * m_rowUnit);
    ClientToScreen(&at);
    m_splitDialog->MoveWindow(at.x, at.y, box.right - box.left, box.bottom - box.top);
    m_splitDialog->ShowWindow(SW_SHOW);
    return;
  }
  // Without its dialog the division could never end: everything goes back as it was.
  m_splitDialog.reset();
  RemoveSplitParts(*doc);
  doc->RestoreVisibility(0);
  doc->m_splitInProgress = false;
  if (!numbersWereOn) m_showLabels = 0;
  RequestRedraw();
}

void CTolvanixView::OnSplitByLine() {
  // A locked feature is not cut: the line is not even begun on it.
  CTolvanixDoc* current = GetDocument();
  if (m_tapMode == kTapNone && current && !current->CheckFeatureEditable()) return;
  if (FrameBars* frame = MainFrameBars()) {
    if (m_extraBar) frame->ToggleBar(1);
    frame->ToggleBar(2);
  }
  m_extraBar = 0;
  m_twoPointBar = !m_twoPointBar;
  ResetPickMarkers();

  const bool splitMode = m_tapMode == kTapSplitFirst || m_tapMode == kTapSplitSecond;
  if (m_tapMode == kTapNone) {
    m_tapMode = kTapSplitFirst;  // the user now taps the first end
    return;
  }
  // Before the second end was tapped the command only ends the tapping; from any other tap
  // mode it ends that mode.
  if (splitMode && m_secondPointSet) {
    if (CTolvanixDoc* doc = GetDocument()) SplitCurrentByLine(*doc);
  }
  // Back in tap mode 0 the two-point bar is not shown (it came up only when a mode that
  // has no bar of its own was ended).
  if (m_twoPointBar) {
    if (FrameBars* frame = MainFrameBars()) frame->ToggleBar(2);
    m_twoPointBar = 0;
  }
  m_secondPointSet = 0;
  m_tapMode = kTapNone;
  Invalidate(TRUE);
}

void CTolvanixView::SplitCurrentByLine(CTolvanixDoc& doc) {
  const FeatureRecord* feature = doc.CurrentFeature();
  if (!feature || feature->VertexCount() == 0) return;
  // The current feature may have changed since the line was begun.
  if (!doc.CheckFeatureEditable()) return;
  // Distances in metres in the UTM zone of the tapped point.
  auto distance = [&doc](const GeoPoint& vertex, const GeoPoint& tapped) {
    return doc.UtmDistance(tapped, vertex);
  };
  const int i1 = NearestVertex(feature->vertices, doc.m_tapPoint1, distance);
  const int i2 = NearestVertex(feature->vertices, doc.m_tapPoint2, distance);
  const TappedEnd a{doc.m_tapPoint1, doc.m_tapPoint1Wgs84, "A"};
  const TappedEnd b{doc.m_tapPoint2, doc.m_tapPoint2Wgs84, "B"};
  AppendSplitParts(doc, SplitByLine(*feature, i1, i2, a, b));
  doc.m_needsRedraw = true;
  doc.SetModifiedFlag(TRUE);
}

void CTolvanixView::RefreshSplitTexts() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !doc->m_splitInProgress || !m_splitDialog || !m_splitDialog->GetSafeHwnd()) return;
  m_splitDialog->RefreshTexts();
}
