// The map view's pending tap operation (what the next stylus tap on the map does) and the
// rules by which the view's commands switch it and show it in menus and toolbars.
#pragma once

#include <optional>

#include "platform/win_types.h"

// Values of CTolvanixView::m_tapMode.
enum TapMode : int {
  kTapNone = 0,           // hit test, popup menu, else arm a pan
  kTapPointQuery = 1,     // point 1 := tap, coordinate band
  kTapMeasureUnused = 2,  // never entered; the point switches treat it as a measure mode
  kTapMeasureFirst = 3,   // two-point measure, first point
  kTapMeasureSecond = 4,  // two-point measure, second point
  kTapWaypoint = 5,       // one waypoint at the tap, then back to none
  kTapNewLine = 6,        // first tap creates a line, then as kTapAddVertex
  kTapAddVertex = 7,      // every tap appends a vertex to the current feature
  kTapNewRectangle = 8,   // a tap creates a rectangle and starts its drag
  kTapRectangleDrag = 9,
  kTapNewCircle = 10,     // a tap creates a locked circle and starts its drag
  kTapCircleDrag = 11,
  kTapMoveAll = 12,       // the tap is the reference point every feature is moved from
  kTapSplitUnused = 13,   // never entered; the point switches treat it as a split mode
  kTapSplitFirst = 14,    // split by line, first point
  kTapSplitSecond = 15,   // split by line, second point
};

// Command ids of the view's tap-mode and zoom commands.
namespace view_cmd {
constexpr UINT kShowWaypoints = 32800;
constexpr UINT kAutoCapture = 32802;
constexpr UINT kZoomFull = 32805;
constexpr UINT kZoomGps = 32806;
constexpr UINT kZoomIn = 32807;
constexpr UINT kZoomBar = 32808;
constexpr UINT kStopNavigation = 32809;
constexpr UINT kZoomOut = 32811;
constexpr UINT kWaypointName = 32812;
constexpr UINT kWaypointNavigate = 32813;
constexpr UINT kWaypointDelete = 32814;
constexpr UINT kWaypointEdit = 32815;
constexpr UINT kFeatureName = 32816;
constexpr UINT kFeatureActivate = 32817;
constexpr UINT kFeatureDesign = 32818;
constexpr UINT kFeatureHide = 32819;
constexpr UINT kFeatureProperties = 32820;
constexpr UINT kRuler = 32823;
constexpr UINT kShowNotes = 32833;
constexpr UINT kShowWaypointNames = 32840;
constexpr UINT kPointQuery = 32845;
constexpr UINT kWaypointProperties = 32851;
constexpr UINT kDivide = 32852;
constexpr UINT kShowOutlines = 32855;
constexpr UINT kShowTitles = 32856;
constexpr UINT kShowLabels = 32857;
constexpr UINT kShowPoints = 32858;
constexpr UINT kStopNavigationRepaint = 32876;
constexpr UINT kAddVertexByTap = 32877;
constexpr UINT kNewLineByTap = 32878;
constexpr UINT kNewCircleByDrag = 32879;
constexpr UINT kNewRectangleByDrag = 32880;
constexpr UINT kExtraBar = 32881;
constexpr UINT kCircleFromGps = 32882;
constexpr UINT kFirstPoint = 32883;
constexpr UINT kSecondPoint = 32884;
constexpr UINT kSplitByLine = 32885;
constexpr UINT kEndTapMode = 32887;
constexpr UINT kSplitByLineAgain = 32888;
constexpr UINT kMoveAllByTap = 32889;
constexpr UINT kTwoPointMeasure = 1157;
constexpr UINT kWaypointByTap = 1158;
}  // namespace view_cmd

// A command switching between none and mode: any other mode goes to none, none goes to mode.
inline int ToggleTapMode(int current, int mode) { return current != kTapNone ? kTapNone : mode; }

// Command 32883 (first point) and 32884 (second point): the measure or split mode moves to the
// point chosen; any other mode stays.
int FirstPointMode(int current);
int SecondPointMode(int current);

// The stylus release ends the drag modes (8 to 11); the others stay.
inline int TapModeAfterRelease(int current) {
  return current >= kTapNewRectangle && current <= kTapCircleDrag ? kTapNone : current;
}

// What a command's update handler sets; an unset field leaves the item as it is.
struct CommandState {
  std::optional<bool> enabled;
  std::optional<bool> checked;
};

// What the update handlers of the view's commands look at.
struct ViewCommandContext {
  int tapMode = kTapNone;
  bool gpsOn = false;
  bool hasFix = false;
  bool splitInProgress = false;
  bool definingCircle = false;
  bool extraBar = false;
};

// The state the view's update handler gives command id; nullopt for a command the view has no
// update handler for (its document's or frame's handler then answers).
std::optional<CommandState> ViewCommandState(UINT id, const ViewCommandContext& context);
