// The waypoint dialogs: the table of all waypoints (on copies that the document takes back
// after OK), the name asked for a new waypoint or feature, and the two pages of the map
// view's waypoint properties sheet. Their rules are dialogs/core/waypoint_table.h.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/core/waypoint_table.h"
#include "widgets/dialog_vscroll.h"
#include "widgets/grid_ctrl.h"

class CTolvanixDoc;

constexpr UINT kWaypointTableTemplate = 154;
constexpr UINT kWptNameTemplate = 183;
constexpr UINT kWptPropertiesTemplate = 207;
constexpr UINT kWptCoordsTemplate = 208;

// The name of a new waypoint or feature (at most 30 characters).
class CDlgWptName : public CDialogVScroll {
 public:
  CDlgWptName(const std::string& title, CWnd* parent = nullptr,
              UINT templateId = kWptNameTemplate);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  std::string m_title;
  std::string m_name;  // edit 1124, empty at first
};

// Name and note of a waypoint, with the count of note characters left.
class CPageWPTPropiedades : public CPropertyPageVScroll {
 public:
  CPageWPTPropiedades(const std::string& name, const std::string& note,
                      UINT templateId = kWptPropertiesTemplate);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnNoteChanged();

  std::string m_name;  // edit 1205, at most 30 characters
  std::string m_note;  // edit 1211, at most 159 characters

 private:
  DECLARE_MESSAGE_MAP()
};

// The coordinates of a waypoint as the opener wrote them (read-only texts).
class CPageWPTCoords : public CPropertyPageVScroll {
 public:
  // mode: the document's coordinate display ("Coord"); 2 hides the zone.
  explicit CPageWPTCoords(int mode, UINT templateId = kWptCoordsTemplate);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  int m_mode;
  // The texts by field, each shown in its control: longitude 1212, latitude 1213, easting
  // 1214, northing 1215, altitude 1216, UTM zone 1217 (hidden with its label 1218 in mode 2),
  // date 1251, time 1252.
  enum Field { kLongitude, kLatitude, kEasting, kNorthing, kAltitude, kZone, kDate, kTime };
  static constexpr std::array<int, 8> kFields{1212, 1213, 1214, 1215, 1216, 1217, 1251, 1252};
  std::array<std::string, 8> m_texts;
};

// The grid of all waypoints, in the geographic or the projected display.
class CDlgWaypointTable : public CDialogVScroll {
 public:
  CDlgWaypointTable(const std::string& datumName, int select,
                    const std::vector<WaypointRecord>& waypoints,
                    const std::vector<std::string>& notes, CTolvanixDoc* doc,
                    UINT templateId = kWaypointTableTemplate, CWnd* parent = nullptr);
  ~CDlgWaypointTable() override;
  BOOL OnInitDialog() override;
  void OnOK() override;

  void OnDisplayChosen();  // 1020
  void OnAddRow();         // 1021
  void OnBlankRows();      // 1022
  void OnImport();         // 173
  void OnExport();         // 1238
  void OnGridBeginEdit(NMHDR* header, LRESULT* result);
  void OnGridEndEdit(NMHDR* header, LRESULT* result);

  // After OK: the edited waypoints and their notes.
  std::vector<WaypointRecord> m_waypoints;
  std::vector<std::string> m_notes;
  CGridCtrl m_Grid;  // 171

 private:
  // The grid from the table's rows, and back.
  void ShowRows();
  void TakeRows();
  // False (the display stays) when the rows cannot be read back.
  bool SwitchMode(int mode);
  // The cell's message box ("...\nRow %d"), then the cell is the grid's current one (its
  // row selected, the keys on the grid).
  void Refuse(int row, int column, UINT message);
  // Whether the grid's rows can be read back (OK, the export, a switch of display); else
  // the first cell that cannot is refused.
  bool RowsReadable();
  // Whether a command that reads the rows back is held because the edit that its click
  // ended was just refused: the user meant to correct the cell, which is current again.
  bool HeldByRefusal();
  LRESULT OnRefusalSeen(WPARAM, LPARAM);

  std::string datumName_;
  int select_;
  CTolvanixDoc* doc_;
  std::unique_ptr<waypoint_table::Table> table_;
  int oldZone_ = 0;
  bool editing_ = false;
  // The cell whose edit was refused last, until the events that ended the edit (a click on
  // OK) have run, or an edit begins or ends well.
  std::optional<GridCellId> refused_;

  DECLARE_MESSAGE_MAP()
};

// Makes these dialogs the document's waypoint table, new-feature name and waypoint name
// (start-up).
void InstallWaypointDialogs();
