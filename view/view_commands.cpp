// The commands the map view handles itself: layer switches, ruler and bars, the tap-mode
// switches, the waypoint and feature popup commands, their update handlers, the layer popup of
// a double tap and the main menu's states when it opens.
#include <algorithm>
#include <functional>

#include "app/languages.h"
#include "app/main_frame.h"
#include "app/strings.h"
#include "dialogs/feature_dialogs.h"
#include "document/document_dialogs.h"
#include "document/tolvanix_doc.h"
#include "platform/message_box.h"
#include "platform/ui/input.h"
#include "platform/ui/menu.h"
#include "view/core/hit_tap_modes.h"
#include "view/core/key_menu_state.h"
#include "view/tolvanix_view.h"

namespace {

constexpr UINT kLayerMenu = 160;

// The main frame's answers to what the view asks of its bars.
class MainFrameBarsAdapter : public CTolvanixView::FrameBars {
 public:
  void ToggleBar(int bar) override { frame->ToggleBar(bar); }
  void ShowShellBars() override { frame->ShowShellBars(); }
  void SetRulerSelection(int item) override { frame->SetRulerSelection(item); }
  void EnableRulerCombo(BOOL enable) override { frame->EnableRulerCombo(enable); }
  void ShowCommandBar() override { frame->ShowCommandBar(); }
  CMainFrame* frame = nullptr;
};

// A layer switch. The waypoint layers change what the fit counts, so they refit; the others
// only repaint.
void ToggleLayer(CTolvanixView& view, std::int32_t& layer, bool refit) {
  layer = !layer;
  if (refit) {
    view.RequestRedraw();
  } else {
    view.Invalidate(FALSE);
  }
}

}  // namespace


CTolvanixView::FrameBars* CTolvanixView::MainFrameBars() const {
  CFrameWnd* parent = GetParentFrame();
  if (auto* bars = dynamic_cast<FrameBars*>(parent)) return bars;
  auto* frame = dynamic_cast<CMainFrame*>(parent);
  if (!frame) return nullptr;
  // One view on the user-interface thread: one adapter serves every request.
  static MainFrameBarsAdapter adapter;
  adapter.frame = frame;
  return &adapter;
}

namespace {

ViewCommandContext CommandContext(const CTolvanixView& view, const CTolvanixDoc& doc) {
  ViewCommandContext context;
  context.tapMode = view.m_tapMode;
  context.gpsOn = doc.m_gpsOn;
  context.hasFix = doc.m_hasFix;
  context.splitInProgress = doc.m_splitInProgress;
  context.definingCircle = doc.m_definingCircle;
  context.extraBar = view.m_extraBar != 0;
  return context;
}

}  // namespace

void CTolvanixView::OnUpdateViewCommand(CCmdUI* ui) {
  CTolvanixDoc* doc = GetDocument();
  if (!ui || !doc) return;
  const std::optional<CommandState> state = ViewCommandState(ui->m_nID, CommandContext(*this, *doc));
  if (!state) return;
  if (state->enabled) ui->Enable(*state->enabled);
  if (state->checked) ui->SetCheck(*state->checked ? 1 : 0);
}

// ---- layers, ruler, bars ----------------------------------------------------------------

void CTolvanixView::OnShowWaypoints() { ToggleLayer(*this, m_showWaypoints, true); }
void CTolvanixView::OnShowWaypointNames() { ToggleLayer(*this, m_showWaypointNames, true); }
void CTolvanixView::OnShowOutlines() { ToggleLayer(*this, m_showOutlines, false); }
void CTolvanixView::OnShowLabels() { ToggleLayer(*this, m_showLabels, false); }
void CTolvanixView::OnShowPoints() { ToggleLayer(*this, m_showPoints, false); }
void CTolvanixView::OnShowTitles() { ToggleLayer(*this, m_showTitles, false); }
void CTolvanixView::OnShowNotes() { ToggleLayer(*this, m_showNotes, false); }

void CTolvanixView::OnRuler() {
  FrameBars* frame = MainFrameBars();
  if (m_showRuler) {
    if (frame) {
      frame->SetRulerSelection(1);  // "OFF"
      frame->EnableRulerCombo(FALSE);
    }
  } else {
    if (frame) {
      frame->SetRulerSelection(0);  // automatic
      frame->EnableRulerCombo(TRUE);
    }
    m_rulerStep = -1;
  }
  m_showRuler = !m_showRuler;
  Invalidate(TRUE);
}

void CTolvanixView::OnZoomBar() {
  if (FrameBars* frame = MainFrameBars()) frame->ToggleBar(0);
  m_showZoombar = !m_showZoombar;
  LayoutInfoPanels();
}

void CTolvanixView::OnExtraBar() {
  if (m_twoPointBar) CloseTapModes();
  if (FrameBars* frame = MainFrameBars()) frame->ToggleBar(1);
  m_extraBar = !m_extraBar;
  LayoutInfoPanels();
  if (CTolvanixDoc* doc = GetDocument()) doc->m_needsRedraw = true;
}

void CTolvanixView::OnStopNavigation() { StopNavigation(); }

void CTolvanixView::OnStopNavigationRepaint() {
  StopNavigation();
  Invalidate(FALSE);
}

// ---- automatic capture -----------------------------------------------------------------

void CTolvanixView::ToggleAutoCapture() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || doc->m_splitInProgress) return;
  doc->m_autoCapture = !doc->m_autoCapture;
  if (doc->m_offsetOn) ClearOffsetTrack();
  if (!doc->m_autoCapture) {
    doc->StartAreaRecompute(doc->m_current, FALSE);
    Invalidate(TRUE);
  }
}

void CTolvanixView::ClearOffsetTrack() {
  if (CTolvanixDoc* doc = GetDocument()) doc->m_trail.clear();
  m_offsetPoints.clear();
}

// ---- popup commands ----------------------------------------------------------------------

void CTolvanixView::OnWaypointDelete() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  doc->DeleteWaypoint(m_popupWaypoint);
  // Navigation to the deleted waypoint ends; to another one it goes on.
  RebuildNavigation();
}

void CTolvanixView::OnWaypointEdit() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc) return;
  if (FrameBars* frame = MainFrameBars()) frame->ShowShellBars();
  doc->ShowWaypointTable(m_popupWaypoint);
}

void CTolvanixView::OnFeatureActivate() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || m_popupFeature < 0 || m_popupFeature >= static_cast<int>(doc->m_features.size())) {
    return;
  }
  doc->m_needsRedraw = true;
  doc->m_current = m_popupFeature;
  UpdateInfoPanels();
  doc->NotifyActiveFeature();
  Invalidate(FALSE);
}

void CTolvanixView::OnFeatureHide() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || m_popupFeature < 0 || m_popupFeature >= static_cast<int>(doc->m_features.size())) {
    return;
  }
  doc->m_features[static_cast<std::size_t>(m_popupFeature)].visible = 0;
  doc->m_needsRedraw = true;
  Invalidate(FALSE);
  const int count = static_cast<int>(doc->m_features.size());
  if (count <= 1 || m_popupFeature != doc->m_current) return;
  doc->m_autoCapture = false;
  // The neighbour before it, else the one after the first, takes over when it is visible.
  const int neighbour = doc->m_current > 0 ? doc->m_current - 1 : 1;
  if (!doc->m_features[static_cast<std::size_t>(neighbour)].visible) return;
  doc->m_current = neighbour;
  UpdateInfoPanels();
  doc->NotifyActiveFeature();
}

void CTolvanixView::OnFeatureProperties() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || m_popupFeature < 0 || m_popupFeature >= static_cast<int>(doc->m_features.size())) {
    return;
  }
  if (FrameBars* frame = MainFrameBars()) frame->ShowShellBars();
  const int before = doc->m_current;
  CTolvanixDoc::Dialogs().ObjectList(*doc, m_popupFeature);
  doc->m_needsRedraw = true;
  UpdateInfoPanels();
  if (doc->m_current != before) doc->NotifyActiveFeature();
}

void CTolvanixView::OnFeatureDesign() {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || m_popupFeature < 0 || m_popupFeature >= static_cast<int>(doc->m_features.size())) {
    return;
  }
  const FeatureRecord& feature = doc->m_features[static_cast<std::size_t>(m_popupFeature)];
  CDlgAreaDesign dialog(static_cast<int>(feature.type), kAreaDesignTemplate, this);
  dialog.m_color = feature.colour;
  dialog.m_pattern = feature.pattern;
  if (FrameBars* frame = MainFrameBars()) frame->ShowShellBars();
  if (dialog.DoModal() != IDOK) return;
  // The feature list may have changed while the dialog was open.
  if (m_popupFeature >= static_cast<int>(doc->m_features.size())) return;
  FeatureRecord& edited = doc->m_features[static_cast<std::size_t>(m_popupFeature)];
  edited.colour = dialog.m_color;
  edited.pattern = dialog.m_pattern & 0xFF;  // one byte in the file
  // Colour and pattern are stored in the document file: offered for saving.
  doc->SetModifiedFlag(TRUE);
}

// ---- tap-mode switches -----------------------------------------------------------------------

void CTolvanixView::CloseTapModes() {
  EndTapMode();
  LayoutInfoPanels();
  UpdateInfoPanels();
}

void CTolvanixView::EndTapMode() {
  if (FrameBars* frame = MainFrameBars()) {
    if (m_extraBar) frame->ToggleBar(1);
    if (m_twoPointBar) frame->ToggleBar(2);
  }
  m_extraBar = 0;
  m_twoPointBar = 0;
  ResetPickMarkers();
  m_tapMode = kTapNone;
  m_secondPointSet = 0;
  Invalidate(TRUE);
}

void CTolvanixView::OnTwoPointMeasure() {
  if (m_tapMode != kTapNone || m_extraBar) return CloseTapModes();
  m_twoPointBar = !m_twoPointBar;
  if (FrameBars* frame = MainFrameBars()) frame->ToggleBar(2);
  m_tapMode = kTapMeasureFirst;
  LayoutInfoPanels();
  UpdateInfoPanels();
}

void CTolvanixView::OnPointQuery() {
  m_pick1Saved = 0;
  if (m_twoPointBar) CloseTapModes();
  if (m_tapMode != kTapNone) {
    m_tapMode = kTapNone;
    Invalidate(TRUE);
  } else {
    m_tapMode = kTapPointQuery;
  }
}

void CTolvanixView::OnWaypointByTap() {
  ResetPickMarkers();
  if (m_twoPointBar) CloseTapModes();
  if (m_tapMode != kTapNone) {
    m_tapMode = kTapNone;
    Invalidate(TRUE);
  } else {
    m_tapMode = kTapWaypoint;
  }
}

void CTolvanixView::OnNewLineByTap() { m_tapMode = ToggleTapMode(m_tapMode, kTapNewLine); }

void CTolvanixView::OnAddVertexByTap() {
  CTolvanixDoc* doc = GetDocument();
  // A locked feature takes no vertex: the document's lock rule says so (the tap mode stays 0).
  if (m_tapMode == kTapNone && doc && doc->CurrentFeature() && !doc->CheckFeatureEditable()) {
    return;
  }
  m_tapMode = ToggleTapMode(m_tapMode, kTapAddVertex);
}

void CTolvanixView::OnNewRectangleByDrag() {
  m_tapMode = ToggleTapMode(m_tapMode, kTapNewRectangle);
}

void CTolvanixView::OnNewCircleByDrag() { m_tapMode = ToggleTapMode(m_tapMode, kTapNewCircle); }

void CTolvanixView::OnMoveAllByTap() { m_tapMode = ToggleTapMode(m_tapMode, kTapMoveAll); }

void CTolvanixView::OnFirstPoint() { m_tapMode = FirstPointMode(m_tapMode); }

void CTolvanixView::OnSecondPoint() { m_tapMode = SecondPointMode(m_tapMode); }

void CTolvanixView::OnEndTapMode() { CloseTapModes(); }

// ---- layer popup and main menu ---------------------------------------------------------------

void CTolvanixView::OnLButtonDblClk(UINT flags, CPoint point) {
  ShowLayerPopup(point);
  CWnd::OnLButtonDblClk(flags, point);
}

bool CTolvanixView::ShowLayerPopup(CPoint point) {
  CTolvanixDoc* doc = GetDocument();
  if (!doc || !doc->m_contextMenu || m_tapMode > kTapNone) return false;
  CMenu menu;
  CMenu* layers = menu.LoadMenu(kLayerMenu) ? menu.GetSubMenu(0) : nullptr;
  if (!layers) return false;
  auto check = [layers](UINT id, bool on) {
    layers->CheckMenuItem(id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
  };
  check(view_cmd::kShowWaypoints, m_showWaypoints);
  check(view_cmd::kShowLabels, m_showLabels);
  check(view_cmd::kShowOutlines, m_showOutlines);
  check(view_cmd::kShowPoints, m_showPoints);
  check(view_cmd::kRuler, m_showRuler);
  check(view_cmd::kShowTitles, m_showTitles);
  if (doc->m_wizardMode) {
    layers->DeleteMenu(view_cmd::kZoomBar, MF_BYCOMMAND);
  } else {
    check(view_cmd::kZoomBar, m_showZoombar);
  }
  CPoint screen = point;
  ClientToScreen(&screen);
  layers->TrackPopupMenuEx(0, screen.x, screen.y, this);
  return true;
}

bool CTolvanixView::CommandAllowed(UINT id) {
  CCmdUI ui(id);
  CFrameWnd* frame = GetParentFrame();
  ui.DoUpdate(frame ? static_cast<CCmdTarget*>(frame) : this, TRUE);
  return ui.enabled.value_or(true);
}

void CTolvanixView::OnInitMenuPopup(CMenu* menu, UINT, BOOL) {
  if (!menu) return;
  for (int i = 0; i < menu->GetMenuItemCount(); ++i) {
    const UINT id = menu->GetMenuItemID(i);
    if (id == 0 || id == kMenuNoItem) continue;  // separators, submenus
    if (menu->GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED) continue;
    if (!CommandAllowed(id)) menu->EnableMenuItem(id, MF_BYCOMMAND | MF_GRAYED);
  }
}

void CTolvanixView::UpdateMenuState(CMenu* menu, bool opening) {
  CTolvanixDoc* doc = GetDocument();
  if (!menu || !doc) return;
  MenuStateInput in;
  in.language = doc->m_language;
  for (int index = 0; index < kLanguageCount; ++index) {
    in.languageMissing[static_cast<std::size_t>(index)] = !LanguageModuleInstalled(index);
  }
  for (const FeatureRecord& f : doc->m_features) in.vertexTotal += f.vertices.size();
  in.waypointCount = doc->m_waypoints.size();
  in.projectionName = doc->m_projectionName;
  in.navigating = m_navActive != 0;
  in.showWaypoints = m_showWaypoints;
  in.showWaypointNames = m_showWaypointNames;
  in.showOutlines = m_showOutlines;
  in.showLabels = m_showLabels;
  in.showPoints = m_showPoints;
  in.showRuler = m_showRuler;
  in.showTitles = m_showTitles;
  in.showNotes = m_showNotes;
  in.featureCount = doc->m_features.size();
  if (const FeatureRecord* current = doc->CurrentFeature()) {
    in.currentName = current->name;
    in.currentVertices = current->vertices.size();
    in.currentWgs84Vertices = current->wgs84Vertices.size();
    in.currentIsPart = current->type == FeatureType::Part;
  }
  const int currentIndex = doc->m_current;
  in.currentHasParts = std::any_of(doc->m_features.begin(), doc->m_features.end(),
                                   [currentIndex](const FeatureRecord& f) {
                                     return f.type == FeatureType::Part && f.link == currentIndex;
                                   });
  in.divideAllowed = CommandAllowed(view_cmd::kDivide);
  in.splitByLineAllowed = CommandAllowed(view_cmd::kSplitByLine);
  in.gpsOn = doc->m_gpsOn;
  in.hasFix = doc->m_hasFix;
  in.splitInProgress = doc->m_splitInProgress;
  in.hasFile = doc->m_hasFile;

  for (const MenuItemState& item : MainMenuStates(in, LoadResString)) {
    if (item.remove) {
      menu->DeleteMenu(item.id, MF_BYCOMMAND);
      continue;
    }
    if (item.text) menu->ModifyMenu(item.id, MF_BYCOMMAND | MF_STRING, item.id, *item.text);
    if (item.enabled) {
      // What the command itself would refuse is not offered (during a division the new part
      // and the parts grid, whatever the current feature holds).
      const bool enabled = *item.enabled && CommandAllowed(item.id);
      menu->EnableMenuItem(item.id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    if (item.checked) {
      menu->CheckMenuItem(item.id, MF_BYCOMMAND | (*item.checked ? MF_CHECKED : MF_UNCHECKED));
    }
  }
  // The GPS marker is not drawn while the menu is open; the end of the menu loop repaints.
  if (opening) m_focused = 0;
}
