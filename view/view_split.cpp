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
}  // namespace

void CTolvanixView::SplitDialogDeleter::operator()(CDlgDividirArea* dialog) const { delete dialog; }

void CTolvanixView::OnSplitFeature() {
  CTolvanixDoc* doc = GetDocument();
  const FeatureRecord* feature = doc ? doc->CurrentFeature() : nullptr;
  if (!feature || feature->VertexCount() == 0) return;
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
  if (!splitMode) return;
  // Before the second end was tapped the command only ends the tapping.
  if (m_secondPointSet) {
    if (CTolvanixDoc* doc = GetDocument()) SplitCurrentByLine(*doc);
  }
  m_secondPointSet = 0;
  m_tapMode = kTapNone;
  Invalidate(TRUE);
}

void CTolvanixView::SplitCurrentByLine(CTolvanixDoc& doc) {
  const FeatureRecord* feature = doc.CurrentFeature();
  if (!feature || feature->VertexCount() == 0) return;
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
