// Dialogs that help while measuring in the field: the distance between two points (modal,
// fed with fixes while it runs), the divide-area dialog (modeless, top-most, moves the line
// between the two parts of a divided feature) and the averaging dialog (modal, shows the
// running mean of the fixes).
#pragma once

#include <array>
#include <functional>
#include <string>

#include "dialogs/core/measure_points.h"
#include "widgets/context_menu_edit.h"
#include "widgets/dialog_vscroll.h"

class CTolvanixDoc;
struct AverageTexts;

// Template 144: two objects (combos 1042, 1043), their points (lists 1039, 1040) and the
// distance between the chosen points (1041).
class CDlgPointDistance : public CDialogVScroll {
 public:
  CDlgPointDistance(bool gpsConnected, int metrica, CTolvanixDoc* doc, UINT templateId = 144,
                    CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  // The latest fix in the working datum (degrees): kept, and the distance measured again.
  void SetGpsPosition(double lon, double lat);

  void OnSelchangeFirstObject();
  void OnSelchangeSecondObject();
  void OnSelchangePoint();
  // Measures between the chosen points; without a point on either side nothing changes.
  void ComputeDistance();

  CTolvanixDoc* m_doc;
  bool m_gpsConnected;
  int m_metrica;
  int m_featureCount;   // at construction
  int m_waypointCount;  // at construction
  double m_gpsLon = 0.0, m_gpsLat = 0.0;
  CContextMenuEdit m_distance;  // 1041

 private:
  void FillObjects(int comboId);
  void FillPoints(int comboId, int listId);
  MeasureObject ObjectOf(int comboId);

  DECLARE_MESSAGE_MAP()
};

// Template 187, modeless: the two parts of a division are the document's last two features.
// The step buttons 1227/1228 move the first end of the dividing line back and forth, 1229/1230
// the second; 500 ms after the last press both parts are measured again and shown (area with
// parts subtracted in 1219/1220, perimeter in 1221/1222).
class CDlgDividirArea : public CDialogVScroll {
 public:
  static constexpr UINT_PTR kTimerId = 1;
  static constexpr UINT kTimerMilliseconds = 500;

  explicit CDlgDividirArea(CTolvanixDoc* doc, UINT templateId = 187, CWnd* parent = nullptr);

  // Creates the window modeless and top-most, over the parent given at construction.
  BOOL Create();
  BOOL OnInitDialog() override;
  // OK keeps the parts (measured first when a move still waits for the timer), Cancel
  // removes them; both give the other features their visible flags back, end the division
  // and destroy the window.
  void OnOK() override;
  void OnCancel() override;
  void OnStep(UINT id);
  void OnTimer(UINT_PTR id);
  // The four texts of the two parts as they stand in the document.
  void MeasureTexts();
  // MeasureTexts, shown: after new measures or new units (options applied meanwhile).
  void RefreshTexts();
  // Measures both parts again, then shows them and has the map redrawn.
  void Recompute();

  CTolvanixDoc* m_doc;
  std::string m_title;
  std::string m_area1, m_area2, m_length1, m_length2;
  int m_part1 = -1, m_part2 = -1;
  UINT_PTR m_timer = 0;
  bool m_movePending = false;  // the line moved since the parts were last measured
  int m_recomputations = 0;    // how many times the parts were measured again

 protected:
  // Switches the vertex-number layer off again when the division switched it on.
  void OnWindowDestroying() override;

 private:
  void Close(bool keepParts);
  void ShowTexts();

  DECLARE_MESSAGE_MAP()
};

// Template 153: the running mean of the fixes (1044-1049, altitude in 1107). 1050 stops the
// sampling; 1051 (store as a vertex, +2) and 1052 (store as a waypoint, +1) choose what OK
// stores.
class CDlgAveraging : public CDialogVScroll {
 public:
  CDlgAveraging(UINT templateId = 153, CWnd* parent = nullptr);

  // Called by the stop button: the opener ends its sampling.
  void SetStopHandler(std::function<void()> stop) { m_stop = std::move(stop); }
  // Called by OK with the choice and the altitude (centimetres): the opener stores the mean.
  // An answer of false means the vertex was refused (the current feature is locked) and the
  // mean is still there: the dialog stays open on it without the vertex, so that it can be
  // stored as a waypoint or dropped with Cancel. Without a handler OK ends the dialog.
  void SetStoreHandler(std::function<bool(int choice, int altitudeCm)> store) {
    m_store = std::move(store);
  }

  BOOL OnInitDialog() override;
  // The texts of the latest mean.
  void ShowTexts(const AverageTexts& texts);
  void OnStop();
  void OnStoreVertex();
  void OnStoreWaypoint();
  // Reads the altitude; a text that is not a number is reported and keeps the dialog open.
  void OnOK() override;

  int m_choice = 0;      // 1 waypoint, 2 vertex, 3 both
  int m_altitudeCm = 0;  // on OK
  // 1044 longitude, 1045 latitude, 1046 easting, 1047 northing, 1048 zone, 1049 sample count,
  // 1107 altitude (metres; the user may correct it before OK).
  static constexpr std::array<int, 7> kFields{1044, 1045, 1046, 1047, 1048, 1049, 1107};
  std::array<CContextMenuEdit, 7> m_fields;

 private:
  std::function<void()> m_stop;
  std::function<bool(int, int)> m_store;

  DECLARE_MESSAGE_MAP()
};
