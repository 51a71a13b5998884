// The program's answer to the document's questions (document/document_dialogs.h): each
// override opens the real dialog. Installed once at start-up by InstallProgramDialogs;
// tests install their own fakes instead.
//
// Shared by the dialogs' authors: each adds its overrides inside a block of its own
// (// --- <topic> (dialogs/<file>.cpp) ---) and keeps the bodies in that file.
#pragma once

#include <functional>

#include "document/document_dialogs.h"

class ProgramDialogs : public DocumentDialogs {
 public:
  // --- frame and view: set by the frame once the view exists ---
  // (the frame/view overrides are forwarded to what the frame registers here)
  // What the main frame registers when it is created and clears when it goes; a missing
  // function does nothing (no frame yet, or none in a headless test).
  struct FrameViewHooks {
    std::function<void()> showShellBars;
    std::function<void()> enterWizardMeasuring;
    std::function<void()> leaveWizardMeasuring;
    std::function<void()> stopAutoCapture;
    std::function<void()> toggleAutoCapture;
    std::function<void(bool)> setMeasureButton;
    std::function<void()> updateInfoPanels;
    std::function<void()> rebuildNavigation;
    std::function<void()> inputPanelDown;
    std::function<void()> resetView;
  };
  static void SetFrameViewHooks(FrameViewHooks hooks) { FrameView() = std::move(hooks); }
  void ShowShellBars() override { Run(FrameView().showShellBars); }
  void EnterWizardMeasuring() override { Run(FrameView().enterWizardMeasuring); }
  void LeaveWizardMeasuring() override { Run(FrameView().leaveWizardMeasuring); }
  void StopAutoCapture() override { Run(FrameView().stopAutoCapture); }
  bool ToggleAutoCapture() override {
    if (!FrameView().toggleAutoCapture) return false;
    FrameView().toggleAutoCapture();
    return true;
  }
  void SetMeasureButton(bool running) override {
    if (FrameView().setMeasureButton) FrameView().setMeasureButton(running);
  }
  void UpdateInfoPanels() override { Run(FrameView().updateInfoPanels); }
  void RebuildNavigation() override { Run(FrameView().rebuildNavigation); }
  void InputPanelDown() override { Run(FrameView().inputPanelDown); }
  void ResetView() override { Run(FrameView().resetView); }

 private:
  // User-interface thread only, like every dialog.
  static FrameViewHooks& FrameView() {
    static FrameViewHooks hooks;
    return hooks;
  }
  static void Run(const std::function<void()>& hook) {
    if (hook) hook();
  }

 public:

  // --- feature dialogs (dialogs/feature_dialogs.cpp) ---
  std::optional<std::vector<int>> ChoosePointsToDelete(CTolvanixDoc& doc) override;
  std::optional<int> PickInsertPosition(CTolvanixDoc& doc) override;
  void EditNotes(CTolvanixDoc& doc) override;
  void ObjectGrid(CTolvanixDoc& doc, int current) override;
  void ObjectList(CTolvanixDoc& doc, int current) override;
  // --- end feature dialogs ---

  // --- waypoint dialogs (dialogs/waypoint_dialogs.cpp) ---
  bool WaypointTable(CTolvanixDoc& doc, std::vector<WaypointRecord>& waypoints,
                     std::vector<std::string>& notes, int select) override;
  // The name dialog, titled with the suggested name; nothing when cancelled.
  std::optional<std::string> FeatureName(CTolvanixDoc& doc, const std::string& suggested) override;
  // --- end waypoint dialogs ---

  // --- measuring dialogs (dialogs/measure_dialogs.cpp) ---
  // The point-distance dialog, modal; fixes reach it while it runs.
  void PointDistance(CTolvanixDoc& doc, bool hasFix, int metrica) override;
  void UpdatePointDistance(double datumLon, double datumLat) override;
  class CDlgPointDistance* m_pointDistance = nullptr;  // while it runs
  // The map view's waypoint properties: the coordinates page, then name and note.
  bool WaypointProperties(CTolvanixDoc& doc, WaypointPropertyTexts& texts) override;
  // --- end measuring dialogs ---

  // --- wizard (dialogs/wizard.cpp) ---
  std::optional<int> WizardStart(CTolvanixDoc& doc) override;
  std::optional<std::string> WizardSummary(CTolvanixDoc& doc,
                                           const WizardSummaryTexts& texts) override;
  WizardEndChoice WizardEnd(CTolvanixDoc& doc) override;
  // --- end wizard ---
};

// Installs one ProgramDialogs as the document's dialogs (start-up).
void InstallProgramDialogs();
