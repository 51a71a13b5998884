#include "view/core/hit_tap_modes.h"

#include <initializer_list>

namespace {

bool In(int mode, std::initializer_list<int> modes) {
  for (int m : modes) {
    if (m == mode) return true;
  }
  return false;
}

CommandState EnabledIn(int mode, std::initializer_list<int> modes) {
  return {In(mode, modes), std::nullopt};
}

CommandState CheckedAndEnabled(int mode, std::initializer_list<int> checkedIn,
                               std::initializer_list<int> enabledIn) {
  return {In(mode, enabledIn), In(mode, checkedIn)};
}

}  // namespace

int FirstPointMode(int current) {
  if (In(current, {kTapMeasureUnused, kTapMeasureSecond})) return kTapMeasureFirst;
  if (In(current, {kTapSplitUnused, kTapSplitSecond})) return kTapSplitFirst;
  return current;
}

int SecondPointMode(int current) {
  if (In(current, {kTapMeasureUnused, kTapMeasureFirst})) return kTapMeasureSecond;
  if (In(current, {kTapSplitUnused, kTapSplitFirst})) return kTapSplitSecond;
  return current;
}

std::optional<CommandState> ViewCommandState(UINT id, const ViewCommandContext& c) {
  using namespace view_cmd;
  const int m = c.tapMode;
  const bool receiverReady = c.gpsOn && c.hasFix && !c.splitInProgress;
  switch (id) {
    case kZoomIn:
    case kZoomOut:
    case kZoomFull:
      return EnabledIn(m, {kTapNone, kTapNewLine, kTapAddVertex});
    case kZoomGps:
      return CommandState{(c.gpsOn && m == kTapNone) || In(m, {kTapNewLine, kTapAddVertex}),
                          std::nullopt};
    case kPointQuery:
      return CheckedAndEnabled(m, {kTapPointQuery}, {kTapNone, kTapPointQuery});
    case kTwoPointMeasure:
      return CheckedAndEnabled(m, {kTapMeasureUnused, kTapMeasureFirst, kTapMeasureSecond},
                               {kTapNone, kTapMeasureUnused, kTapMeasureFirst, kTapMeasureSecond});
    case kWaypointByTap:
      return CheckedAndEnabled(m, {kTapWaypoint}, {kTapNone, kTapWaypoint});
    case kNewLineByTap:
      return CheckedAndEnabled(m, {kTapNewLine}, {kTapNone, kTapNewLine});
    case kAddVertexByTap:
      return CheckedAndEnabled(m, {kTapAddVertex}, {kTapNone, kTapAddVertex});
    case kNewRectangleByDrag:
      return CheckedAndEnabled(m, {kTapNewRectangle, kTapRectangleDrag},
                               {kTapNone, kTapNewRectangle, kTapRectangleDrag});
    case kNewCircleByDrag:
      return CheckedAndEnabled(m, {kTapNewCircle, kTapCircleDrag},
                               {kTapNone, kTapNewCircle, kTapCircleDrag});
    case kMoveAllByTap:
      if (receiverReady && !c.definingCircle) {
        return CheckedAndEnabled(m, {kTapMoveAll}, {kTapNone, kTapMoveAll});
      }
      return CommandState{false, std::nullopt};
    case kFirstPoint:
      return CommandState{std::nullopt, In(m, {kTapMeasureFirst, kTapSplitFirst})};
    case kSecondPoint:
      return CommandState{std::nullopt, In(m, {kTapMeasureSecond, kTapSplitSecond})};
    case kEndTapMode:
    case kSplitByLineAgain:
      return EnabledIn(m, {kTapSplitUnused, kTapSplitFirst, kTapSplitSecond});
    case kExtraBar:
      return CommandState{std::nullopt, c.extraBar};
    case kDivide:
      return CommandState{
          !c.splitInProgress && !In(m, {kTapSplitUnused, kTapSplitFirst, kTapSplitSecond}),
          std::nullopt};
    case kSplitByLine:
      return CommandState{!c.splitInProgress, std::nullopt};
    case kCircleFromGps:
      if (receiverReady && m != kTapMoveAll) {
        return CommandState{m == kTapNone, c.definingCircle};
      }
      return CommandState{false, std::nullopt};
    default:
      return std::nullopt;
  }
}
