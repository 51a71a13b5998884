// What the document asks of the windows above it: the dialogs its commands open and the few
// things it has the frame and the view do around them.
//
// The document never includes a dialog, view or frame header. Its commands call this interface;
// the program installs the real implementation (CTolvanixDoc::SetDocumentDialogs) and tests
// install a fake that gives the answers. Every method of the base class does nothing and answers
// "cancelled", which is what the document sees while no implementation is installed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "document/records.h"

class CTolvanixDoc;

// What the wizard's summary dialog shows of the feature just measured.
struct WizardSummaryTexts {
  std::string name;
  std::string area;       // parts subtracted
  std::string length;     // open length
  std::string perimeter;
  std::string vertices;   // "%d"
};

// The answers of the wizard's end dialog.
enum class WizardEndChoice {
  NextInSameDocument = 1,
  SaveAndNewDocument = 2,
  Leave = 3,
};

// What the waypoint properties sheet shows on its coordinates page (built with the option
// "Coord") and edits on its properties page (name and note, in and out).
struct WaypointPropertyTexts {
  int coord = 0;
  std::string longitude, latitude, easting, northing, zone, altitude, date, time;
  std::string name, note;
};

class DocumentDialogs {
 public:
  virtual ~DocumentDialogs() = default;

  // Delete-points dialog over the current feature's vertices: the chosen vertex indices.
  virtual std::optional<std::vector<int>> ChoosePointsToDelete(CTolvanixDoc& doc) {
    return std::nullopt;
  }
  // Point-picking dialog: the vertex index before which the fix is inserted (may equal the
  // vertex count: after the last one).
  virtual std::optional<int> PickInsertPosition(CTolvanixDoc& doc) { return std::nullopt; }
  // Notes of the current feature (the dialog writes the notes itself on OK).
  virtual void EditNotes(CTolvanixDoc& doc) {}
  // Point-to-point distance dialog, modal; while it runs, UpdatePointDistance gives it each
  // new working-datum position (degrees).
  virtual void PointDistance(CTolvanixDoc& doc, bool hasFix, int metrica) {}
  virtual void UpdatePointDistance(double datumLon, double datumLat) {}
  // Object grid of the current feature's parts, and the object list; both edit the document
  // themselves.
  virtual void ObjectGrid(CTolvanixDoc& doc, int current) {}
  virtual void ObjectList(CTolvanixDoc& doc, int current) {}
  // Waypoint table over copies of the waypoints and their notes, opened on waypoint
  // `select`'s row; true (OK) hands the edited copies back. A copy keeps its record's key,
  // so an edited waypoint stays the same waypoint; rows typed or imported are new ones.
  virtual bool WaypointTable(CTolvanixDoc& doc, std::vector<WaypointRecord>& waypoints,
                             std::vector<std::string>& notes, int select) {
    return false;
  }
  // Waypoint properties sheet (coordinates page, then properties page): true on OK, with the
  // edited name and note in texts.
  virtual bool WaypointProperties(CTolvanixDoc& doc, WaypointPropertyTexts& texts) {
    return false;
  }
  // Name dialog of a new feature, opened with the suggested name.
  virtual std::optional<std::string> FeatureName(CTolvanixDoc& doc, const std::string& suggested) {
    return std::nullopt;
  }

  // Start-up wizard: the choice made on its page (1 area, 2 line ...), nullopt when cancelled
  // or left without a choice.
  virtual std::optional<int> WizardStart(CTolvanixDoc& doc) { return std::nullopt; }
  // Summary of the measured feature: the name given to it on OK.
  virtual std::optional<std::string> WizardSummary(CTolvanixDoc& doc,
                                                   const WizardSummaryTexts& texts) {
    return std::nullopt;
  }
  virtual WizardEndChoice WizardEnd(CTolvanixDoc& doc) { return WizardEndChoice::Leave; }

  // Frame and view.
  virtual void ShowShellBars() {}          // before a dialog while full screen
  virtual void EnterWizardMeasuring() {}   // the wizard's full-screen measuring state
  virtual void LeaveWizardMeasuring() {}
  virtual void StopAutoCapture() {}        // the view's automatic-capture toggle, to off
  // The view's automatic-capture toggle (command 32802): true when a view took it.
  virtual bool ToggleAutoCapture() { return false; }
  // The full-screen toolbar's start/pause button shows a running or a paused measurement.
  virtual void SetMeasureButton(bool running) {}
  virtual void UpdateInfoPanels() {}
  virtual void RebuildNavigation() {}      // after the waypoints changed while navigating
  virtual void InputPanelDown() {}
  // A new document starts: the view's zoom, pan, caches and tap mode start afresh.
  virtual void ResetView() {}
};
