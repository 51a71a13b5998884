// The map view: the document's single view, filling the main frame.
//
// It projects working-datum longitude/latitude onto a local plane and from there onto pixels
// (MapViewState, view/core/view_projection.h, which the view derives from), fits that
// projection to everything shown (again whenever the document or the map's size moved past
// what its pixel caches were made from), draws every layer of the map into an off-screen
// picture that is copied to the window in one step, and paints the GPS marker, pick markers
// and the measure overlay straight onto the window with small save-unders. Its layer switches and key actions live in section "Opciones"
// (ViewSettings, view/core/view_options.h).
//
// Several topics add to this class; each keeps its declarations in its own block below and
// its bodies in its own file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/frame.h"
#include "platform/ui/input.h"
#include "view/core/nav_target.h"
#include "view/core/view_layout.h"
#include "view/core/view_options.h"
#include "view/core/view_paint_rules.h"
#include "view/core/view_projection.h"

class CTolvanixDoc;
namespace platform {
class DesktopAwake;
}
class CPen;
class CBrush;
class CBitmap;
class CFont;
class CNavigationWnd;
class CDlgDividirArea;
class CDlgAveraging;

// The two small text windows the view uses as info panels. A CClickWnd ignores taps; a
// CClickNotifyWnd posts WM_CALCULAR_AREA to m_hwndNotify when tapped.
class CClickWnd : public CCustomWnd {
 public:
  // Creates the child window with a border, visible, with empty text.
  BOOL CreatePanel(CWnd* parent, UINT id);
  // Moves, sizes and shows the panel in one step (client pixels of the parent).
  void MovePanel(const PanelRect& rect);
  // The panel's text (lines separated by '\n'), shown at once. Text set through the plain
  // window (CWnd::SetWindowText) is shown within a fifth of a second.
  void SetWindowText(const std::string& text);
  void OnDraw(CDC* dc) override;
  void OnTimer(UINT_PTR id);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  virtual void OnPanelTap() {}
  std::string m_shownText;  // the text as last painted

  DECLARE_MESSAGE_MAP()
};

class CClickNotifyWnd : public CClickWnd {
 public:
  void OnPanelTap() override;
  HWND m_hwndNotify = nullptr;
};

class CTolvanixView : public CView, public MapViewState, public ViewSettings {
 public:
  CTolvanixView();
  ~CTolvanixView() override;

  CTolvanixDoc* GetDocument() const;

  // Window creation (the view's OnCreate runs inside): map font, row unit, the four panels.
  BOOL Create(CFrameWnd* frame) override;
  int OnCreate();
  void OnInitialUpdate() override;
  // Panels laid out, hot keys registered when activated.
  void OnActivateView(BOOL activate);
  void OnSize(UINT type, int cx, int cy);
  void OnDraw(CDC* dc) override;

  // ---- state, projection and fit (view/view_state.cpp) ----
  // The fit to the map area of width and height pixels (called by OnDraw on a redraw request).
  void FitToFeatures(int width, int height);
  // Pan offsets shifted so that the GPS marker comes to the client centre; refit.
  void CentreOnGps();
  // Places the four panels over the client area.
  void LayoutInfoPanels();
  // A new document: zoom, pan, caches, ruler step and tap mode back to their start.
  void ResetView();
  // Map font of the given point size; m_lineHeight follows.
  void SetMapFont(int pointSize);
  // Forgets the GPS-marker and target-arrow save-unders (after something covered the map);
  // the map is shown again where they stood.
  void ResetGpsMarker();
  // Forgets both pick-marker save-unders.
  void ResetPickMarkers();
  // m_needsRedraw set and the view invalidated with erase: the next paint refits.
  void RequestRedraw();
  // Zoom commands 32807 (in), 32811 (out), 32805 (full extent), 32806 (centre on the GPS).
  void OnZoomIn();
  void OnZoomOut();
  void OnZoomFull();
  void OnZoomGps();
  // End of a pan drag: the button-up handler (which holds the capture and ends the drag
  // image) calls it; drag tap modes 8-11 fall back to 0, a running pan joins the offsets.
  void EndPanDrag();
  // Options of the view, read by the constructor and written by the destructor.
  void LoadViewOptions();
  void SaveViewOptions() const;
  // Client size in pixels.
  int ClientWidth() const;
  int ClientHeight() const;
  // Client x of the map bitmap's left edge: the middle of the view while an area is divided
  // (the map then takes the right half), else 0.
  int MapLeft() const;
  // Screen resolution (logical pixels per inch) and the application's high-resolution flag.
  static int DpiX();
  static int DpiY();
  static bool HiRes();

  // ---- map drawing (view/map_drawing.cpp) ----
  // Size of the map area: the client less the three panel rows; while an area is divided
  // its right half.
  int MapWidth() const;
  int MapHeight() const;
  // What the fit of the map looks at: the document's features, waypoints and offset track.
  FitSource MapFitSource() const;
  // The caches made right for a map area of width x height: a refit when one is asked for
  // or the document (or the map's size) has moved past what they were made from.
  void EnsureCaches(int width, int height);
  // Every layer of the map, in its order, drawn into dc, whose pixel (0, 0) is map-bitmap
  // pixel (part.left, part.top); what lies wholly outside part is left out. The drawing
  // steps below keep to m_paintPart while it runs.
  void RenderMap(CDC* dc, const PixelBox& part);
  // Digest of everything the map's picture is drawn from (caches, layer switches, names,
  // colours, patterns, notes, symbols, sizes).
  std::uint64_t PictureDigest() const;
  // After a captured point joined the caches: the map's picture drawn again where the point
  // changed it (patch) or whole, then shown with the overlays over it.
  void PaintCapturedPoint(bool patch, const PixelBox& changed);
  // Whether a box of map-bitmap pixels meets the part being drawn.
  bool PaintShows(const PixelBox& box) const;
  // The window keeps its picture until it is painted again: an edit that asked for no paint
  // (a design chosen, a table closed) would leave the map showing what the document no longer
  // holds. Timer kPictureTimer looks every kPictureCheckMs whether the caches or the picture
  // fell behind the document and has the map painted again then.
  static constexpr UINT_PTR kPictureTimer = 2;
  static constexpr UINT kPictureCheckMs = 200;
  void RepaintWhenStale();
  void DrawRuler(CDC* dc);
  void DrawFeatures(CDC* dc);
  void DrawLabels(CDC* dc);
  void DrawVertexPoints(CDC* dc);
  void DrawNotes(CDC* dc);
  void DrawWaypointIcons(CDC* dc);
  void DrawWaypointNames(CDC* dc);
  void DrawFeatureTitles(CDC* dc);
  void DrawOffsetTrack(CDC* dc);
  // Pen and fill brush of feature index for dc (the null brush for pattern 6).
  void MakeFeatureBrush(CDC* dc, std::unique_ptr<CPen>& pen, std::unique_ptr<CBrush>& brush,
                        int feature);
  // WM_ADD_SEGMENTO: the new vertex of the current feature added to the picture at once.
  LRESULT OnAddSegmento(WPARAM, LPARAM);
  // Overlays painted straight onto the window.
  // Client pixel of a working-datum position on the map (GPS marker, target arrow).
  CPoint MarkerPixel(double lon, double lat) const;
  void DrawGpsMarker();
  void DrawMeasureOverlay();
  // The map shown again where the GPS marker and the target arrow stand on the window, from
  // the map's kept picture: called as their save-unders are forgotten (the window keeps its
  // picture, so a marker left there would stay beside the next one).
  void ShowMapUnderMarkers();
  void DrawCursorCoordinates(CDC* dc);
  // Pick marker of slot 1 or 2 centred on a map-bitmap pixel (drawn at y + 2 * m_rowUnit);
  // then the coordinate band (slot 1 in tap mode 1) or the distance band (tap modes 3 and 4
  // once both points are set).
  void DrawPickMarker(ScreenPoint pixel, int slot);
  void DrawDistanceBand(CDC* dc);
  // After a paint (which starts from a clean map): the GPS marker or the measure overlay,
  // and the pick markers of the tap mode in progress, drawn again over the new picture.
  void RedrawOverlays();
  // Bitmap helpers of the target arrow.
  std::unique_ptr<CBitmap> RotateBitmap(CBitmap* bitmap, float angle, COLORREF background);
  std::unique_ptr<CBitmap> MakeMaskBitmap(CBitmap* bitmap, COLORREF background);
  // Live-drag helpers of the point drag: straight onto the window (y + 2 * m_rowUnit).
  void DrawFeaturesLive(CDC* dc);
  void DrawWaypointIconsLive(CDC* dc);
  void DrawWaypointNamesLive(CDC* dc);

  // ---- members ----
  static constexpr PixelBox kWholeMap{0, 0, 1 << 29, 1 << 29};
  PixelBox m_paintPart = kWholeMap;  // part of the map being drawn (map-bitmap pixels)
  int m_textCellWidth = 0;           // widest character of the map font, pixels
  std::uint64_t m_pictureDigest = 0;  // PictureDigest of the picture kept for the map
  std::uint8_t m_navActive = 0;  // navigation to a target runs
  std::uint8_t m_focused = 0;    // the view has the focus; the GPS marker is drawn only then
  ScreenPoint m_firstPoint;      // first pixel of the current feature as last drawn
  std::uint32_t m_timerId = 0;   // result of the 15 s idle timer start
  std::int32_t m_rulerStep = -1;  // ruler and grid step in metres or yards; -1 automatic
  std::int32_t m_tapMode = 0;     // pending TapMode
  // Deleters defined beside the drawing code, where the drawing types are complete.
  struct FontDeleter {
    void operator()(CFont* font) const;
  };
  std::unique_ptr<CFont, FontDeleter> m_font;  // map font
  std::int32_t m_lineHeight = 0;  // absolute height of the map font, pixels
  std::uint8_t m_panning = 0;     // a pan drag runs
  ScreenPoint m_panStart;         // client point where a pan was armed
  // Save-under validity: GPS marker, target arrow, pick slots 1 and 2.
  std::uint8_t m_markerSaved = 0;
  std::uint8_t m_arrowSaved = 0;
  std::uint8_t m_pick1Saved = 0;
  std::uint8_t m_pick2Saved = 0;
  ScreenPoint m_pickPoint1, m_pickPoint2;  // map-bitmap pixels of the pick markers as drawn
  std::uint8_t m_secondPointSet = 0;  // the second point of a two-point tap mode is chosen
  // The four info panels (children, ids 162-165).
  CClickWnd* m_positionPanel = nullptr;
  CClickWnd* m_altitudePanel = nullptr;
  CClickNotifyWnd* m_lengthPanel = nullptr;
  CClickNotifyWnd* m_areaPanel = nullptr;
  // Navigation target: written by the navigation code, read by the measure overlay.
  int m_navTargetIndex = -1;       // waypoint navigated to; -1 none
  double m_targetX = 0.0, m_targetY = 0.0;  // projected metres in the target's UTM zone
  std::int32_t m_targetAltitudeCm = 0;
  double m_targetDistance = 0.0;   // metres
  double m_targetDx = 0.0, m_targetDy = 0.0, m_targetDz = 0.0;  // metres
  double m_targetBearing = 0.0;    // degrees
  std::string m_targetName;

  // Drawing resources (icons, arrow bitmap, save-under surfaces): view/map_drawing.cpp.
  struct DrawResources;
  struct DrawResourcesDeleter {
    void operator()(DrawResources* resources) const;
  };
  std::unique_ptr<DrawResources, DrawResourcesDeleter> m_draw;
  // Loads the icons and the arrow bitmap and makes the save-under surfaces (once).
  void CreateDrawResources();

  // --- panels (view/view_panels.cpp) ---
  // Registered-message handlers; each returns 0.
  LRESULT OnRefreshGps(WPARAM, LPARAM);
  LRESULT OnDibujarCampos(WPARAM, LPARAM);
  LRESULT OnCalcularArea(WPARAM, LPARAM);
  // Rebuilds the four panel texts.
  void UpdateInfoPanels();
  // Command 32804 (GPS on/off): enabled state, and the fix quality into the frame's status pane.
  void OnUpdateGpsStatus(CCmdUI* ui);
  // Status pane 59143: checked while automatic capture is on (the frame paints "AP").
  void OnUpdateAutoCapturePane(CCmdUI* ui);
  // Focus and repaint: the GPS marker is drawn only while the view has the focus.
  void OnSetFocus(CWnd* oldWindow);
  void OnKillFocus(CWnd* newWindow);
  BOOL OnEraseBkgnd(CDC* dc);
  void OnExitMenuLoop(BOOL isTrackPopupMenu);
  // While the receiver is read the desktop is asked not to blank the screen or suspend (the
  // handheld's idle timer): timer 1 runs every 15 s meanwhile and asks again when the
  // desktop's service was not there. KeepDesktopAwake follows the document's reading state;
  // the view calls it when reading is switched and on the messages of the reader.
  void KeepDesktopAwake();
  void StartIdleTimer();
  void StopIdleTimer();
  void OnTimer(UINT_PTR id);
  struct DesktopAwakeDeleter {
    void operator()(platform::DesktopAwake* awake) const;
  };
  std::unique_ptr<platform::DesktopAwake, DesktopAwakeDeleter> m_awake;
  // --- end panels ---

  // --- tap (view/view_tap.cpp) ---
  // Stylus on the map: the tap dispatcher by tap mode (hit test and popup menus in mode 0),
  // the drags of a rectangle or circle and the pan, and the release that ends them.
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  // The tapped client pixel taken back to the working datum and stored by tap mode into the
  // document's tapped points (with their WGS84 copies and easting/northing).
  void ApplyTapAtPoint(CPoint point);
  // The popups of a waypoint (m_popupWaypoint) and a feature (m_popupFeature) at a client point.
  void ShowWaypointPopup(CPoint point);
  void ShowFeaturePopup(CPoint point);
  // With no tap mode: the popup of the waypoint symbol or feature title at a client point;
  // false when the point hits neither.
  bool ShowPopupOfHit(CPoint point);
  // The desktop's context gesture (a right click, a long press) at a screen point: the popup
  // the stylus opens there, the layer popup (as on a double tap) away from symbols and titles
  // (a long press opens it when the stylus is lifted). A press that became the gesture
  // neither pans nor taps.
  void OnContextMenu(CWnd* window, CPoint screenPoint);
  // A pan begun by the press that turned into a context gesture: the map goes back to where it
  // stood.
  void CancelPan();
  // Rectangle and circle drags: the feature the drag's first tap made, reshaped from the two
  // tapped points.
  void DragRectangle(CPoint point);
  void DragCircle(CPoint point);
  // Empties the drag's own feature (m_dragFeatureKey) for a reshape once the area worker has
  // let go of it; false when it is gone or the worker is still busy after a bounded wait (the
  // move is then skipped). A drag never reshapes any other feature, whatever is current by
  // then.
  bool TakeDraggedFeatureForReshape(FeatureRecord*& feature, int& index);
  void FinishReshape(int index);
  std::uint64_t m_dragFeatureKey = 0;  // the feature a rectangle or circle drag is making
  // The picture a pan drags: the features, waypoint symbols and names on white.
  void BeginPanImage(CPoint point);

  int m_popupWaypoint = 0;            // waypoint of the waypoint popup
  int m_popupFeature = -1;            // feature of the feature popup; -1 none
  std::uint8_t m_panArmed = 0;        // a tap on empty map waits for the first move
  std::uint8_t m_contextOnRelease = 0;  // a long press waits for its release to open its popup
  ScreenPoint m_contextPoint;         // client point of that long press
  // --- end tap ---

  // --- keys (view/view_keys.cpp) ---
  // Takes the application buttons while m_hotKeys is set, gives them back otherwise.
  void UpdateHotKeys();
  // Runs one KeyAction code (anything outside 0-25 does nothing).
  void RunKeyAction(int code);
  // Runs a command as if chosen from a menu: its update handler first (a disabled command, or
  // one nobody handles, does nothing), then the route view, document, frame, application.
  void RunCommand(UINT id);
  // Enter and the arrows act on release; application buttons arrive as hot keys.
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnKeyUp(UINT key, UINT repeat, UINT flags);
  void OnHotKey(UINT id, UINT modifiers, UINT virtualKey);
  bool m_hotKeysTaken = false;  // the application buttons are the view's
  // --- end keys ---

  // --- commands (view/view_commands.cpp) ---
  // (The zoom commands' handlers are above; their update handlers belong here.)
  // Ends every tap mode: bars 1 and 2 hidden when shown, pick markers forgotten, mode 0.
  void EndTapMode();
  // Automatic capture on or off (nothing while an area is being divided).
  void ToggleAutoCapture();
  // Empties the offset track of the document and the view.
  void ClearOffsetTrack();
  // Check marks, enabled states and texts of the main menu being opened. An item is never
  // enabled here that its command's update handler disables (the command would refuse).
  // opening false: the texts are made ready before any menu opens (the marker stays).
  void UpdateMenuState(CMenu* menu, bool opening = true);
  // Whether the command route (its update handler, else a handler at all) lets command id run.
  bool CommandAllowed(UINT id);
  // The view's popup menus as they open: an item whose command's update handler disables it
  // is greyed, as in the menu bar.
  void OnInitMenuPopup(CMenu* menu, UINT index, BOOL sysMenu);
  // The layer popup on a double tap.
  void OnLButtonDblClk(UINT flags, CPoint point);
  // The layer popup at a client point, when the option "Menu" is on and no tap mode runs;
  // false when it is not offered.
  bool ShowLayerPopup(CPoint point);
  // The one update handler of the view's commands (rules in view/core/hit_tap_modes.h).
  void OnUpdateViewCommand(CCmdUI* ui);
  // The view's place on the command route. While an area is divided the commands that add
  // or delete features are refused here (disabled, and ignored when they come anyway), so
  // that the division's two parts stay the last two features until its dialog closes; so are
  // the captures, which do nothing meanwhile.
  BOOL OnCmdMsg(UINT id, int code, void* extra) override;
  void OnShowWaypoints();
  void OnShowWaypointNames();
  void OnShowOutlines();
  void OnShowLabels();
  void OnShowPoints();
  void OnShowTitles();
  void OnShowNotes();
  void OnRuler();
  void OnZoomBar();
  void OnStopNavigation();
  void OnStopNavigationRepaint();
  void OnWaypointDelete();
  void OnWaypointEdit();
  void OnFeatureActivate();
  void OnFeatureDesign();
  void OnFeatureHide();
  void OnFeatureProperties();
  void OnPointQuery();
  void OnTwoPointMeasure();
  void OnWaypointByTap();
  void OnNewLineByTap();
  void OnAddVertexByTap();
  void OnNewRectangleByDrag();
  void OnNewCircleByDrag();
  void OnMoveAllByTap();
  void OnFirstPoint();
  void OnSecondPoint();
  void OnEndTapMode();
  void OnExtraBar();
  // The closing path of the two-point measure: all tap modes ended, panels laid out again.
  void CloseTapModes();
  // What the view asks of the main frame around its bars. The main frame implements it; the
  // view finds it on its parent frame, and without it these requests do nothing.
  class FrameBars {
   public:
    virtual ~FrameBars() = default;
    virtual void ToggleBar(int bar) = 0;  // 0 zoom toolbar, 1 toolbar 1, 2 toolbar 2
    virtual void ShowShellBars() = 0;     // before a dialog while full screen
    virtual void SetRulerSelection(int item) = 0;
    virtual void EnableRulerCombo(BOOL enable) = 0;
    virtual void ShowCommandBar() {}  // navigation started (full screen hides it)
  };
  FrameBars* MainFrameBars() const;
  std::uint8_t m_twoPointBar = 0;  // frame bar 2 shown for the two-point measure
  std::uint8_t m_extraBar = 0;     // frame bar 1 shown by command 32881
  // --- end commands ---

  // --- split (view/view_split.cpp) ---
  // Command 32852: the modeless divide-area dialog over the current feature.
  void OnSplitFeature();
  // Commands 32885 and 32888: split by line (tap modes 14 and 15).
  void OnSplitByLine();
  // Splits the current feature by the line through the two tapped points.
  void SplitCurrentByLine(CTolvanixDoc& doc);
  // The divide dialog, while open, shows the parts' measures anew (new results, new units).
  void RefreshSplitTexts();
  struct SplitDialogDeleter {
    void operator()(CDlgDividirArea* dialog) const;
  };
  std::unique_ptr<CDlgDividirArea, SplitDialogDeleter> m_splitDialog;
  // --- end split ---

  // --- navigation (view/view_nav.cpp) ---
  void StopNavigation();
  void OnNavigateDestination();  // the navigation target dialog
  void OnNavigateWaypoint();     // the waypoint popup's "Navigate"
  void StartNavigation();        // the compass window on the chosen target
  void SetTargetPoint(double lon, double lat, std::int32_t altitudeCm);
  void SetNavigationTarget(double lon, double lat, std::int32_t altitudeCm, std::uint8_t remember);
  void UpdateNavigation();       // after each position refresh
  // The compass or the overlay from the latest fix; beeps near the target when mayBeep.
  void ShowNavigationReading(bool mayBeep);
  // The navigation target follows its record: called whenever the document's waypoints or
  // features may have changed (the view's OnUpdate, the waypoint table's OK, every fix). The
  // target is found again by its keys (m_navTargetKey, m_navTargetVertexKey) wherever the
  // change put it, and its
  // position and title are taken anew; when its waypoint, feature or vertex is gone,
  // navigation stops and the compass closes.
  void RebuildNavigation();
  // Every UpdateAllViews of the document: repaint, and the target follows its record.
  void OnUpdate(DocumentView* sender, LPARAM hint, void* hintObject) override;
  // Navigation runs to waypoint index (a waypoint target whose record is that waypoint).
  bool NavigatingToWaypoint(int waypoint) const;
  // The compass or the map arrow, whichever NavStyle now asks for (after the options).
  void SyncNavigationDisplay();
  void OnAveraging();            // position averaging dialog
  void EndAveraging();
  void FeedAveraging();          // one sample per position refresh while averaging
  void OnWaypointProperties();   // the waypoint popup's "Properties"
  struct NavWndDeleter {
    void operator()(CNavigationWnd* wnd) const;
  };
  std::unique_ptr<CNavigationWnd, NavWndDeleter> m_navWnd;
  NavTarget m_navTarget;
  std::uint8_t m_navTargetIsPoint = 0;  // the target is a vertex (else a waypoint)
  int m_navTargetFeature = -1;
  // Key of the target's record (NewRecordKey): the waypoint, or the feature of a vertex; 0
  // while not navigating. For a vertex also the vertex's own key (0 for a waypoint).
  // m_navTargetIndex and m_navTargetFeature follow them.
  std::uint64_t m_navTargetKey = 0;
  std::uint64_t m_navTargetVertexKey = 0;
  std::uint8_t m_averaging = 0;
  CDlgAveraging* m_averagingDlg = nullptr;
  // --- end navigation ---

  DECLARE_MESSAGE_MAP()
};
