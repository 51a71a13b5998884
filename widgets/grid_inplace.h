// The grid's in-place editors: a text edit over a text cell, a drop-down list over a combo
// cell and a list of the 24 waypoint symbols over an icon cell. Each finishes once, by
// sending the grid WM_NOTIFY with a GridDispInfo (code GVN_ENDLABELEDIT, control id 8, the
// final text and, in lParam, the key that ended it: 0, Tab, Enter, Escape or 33 to 40), and
// then frees itself.
#pragma once

#include <string>

#include "widgets/core/grid_cell.h"

class CGridCtrl;

class GridInPlaceEditor {
 public:
  static GridInPlaceControl* OpenText(CGridCtrl* grid, int row, int col, const RECT& rect,
                                      UINT format, const std::string& text, UINT character);
  static GridInPlaceControl* OpenList(CGridCtrl* grid, const GridListEditSpec& spec);
  static GridInPlaceControl* OpenIcons(CGridCtrl* grid, CGridCellListCtrlIcon* cell, int row,
                                       int col, const RECT& rect);
};
