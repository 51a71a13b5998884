// The pages of the options sheet (CPropiedadesOpciones, dialogs/options_sheet.h). Each page
// shows and edits plain copies of settings (its m_settings, dialogs/core/options_rules.h);
// none touches the document or the options store while the sheet is open.
#pragma once

#include "dialogs/core/options_rules.h"
#include "widgets/dialog_vscroll.h"
#include "widgets/numeric_edit.h"

// Capture page: automatic-capture interval and lateral offset.
class CPageCaptura : public CPropertyPageVScroll {
 public:
  // metrica: the unit system in force when the sheet opens (chooses the labels' units).
  CPageCaptura(int metrica, UINT templateId = 202);
  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override;

  void OnOffsetSide();
  void OnNoOffset();
  void OnDistancePlus();
  void OnDistanceMinus();

  CaptureSettings m_settings;
  int m_metrica;

 private:
  void EnableDistance(bool enable);
  void ReadDistance();
  void StepDistance(int delta);
  DECLARE_MESSAGE_MAP()
};

// Units page: coordinate display, geographic format, UTM zone, user projection.
class CPaginaUnidades : public CPropertyPageVScroll {
 public:
  explicit CPaginaUnidades(const ProjectionRecord& projection, UINT templateId = 151);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  void OnGeographic();
  void OnUtm();
  void OnProjection();
  void OnAutoZone();
  void OnProjectionDialog();

  UnitsSettings m_settings;

 private:
  void Apply(const units_page::Enabling& enabling);
  bool AutoZoneChecked();
  DECLARE_MESSAGE_MAP()
};

// Other settings: bearing unit and unit system.
class CPaginaOtras : public CPropertyPageVScroll {
 public:
  explicit CPaginaOtras(UINT templateId = 150);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnMetric();
  void OnImperial();

  OtherSettings m_settings;

 private:
  DECLARE_MESSAGE_MAP()
};

// HDOP filter: on/off, limit with its slider, and where it applies.
class CPageFiltro : public CPropertyPageVScroll {
 public:
  explicit CPageFiltro(UINT templateId = 182);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnFilterOn();

  FilterSettings m_settings;

 private:
  void EnableFilterControls();
  CNumericEdit m_limitEdit;
  DECLARE_MESSAGE_MAP()
};

// Naming of new waypoints.
class CPageWptName : public CPropertyPageVScroll {
 public:
  explicit CPageWptName(UINT templateId = 184);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnNaming();

  WaypointNameSettings m_settings;

 private:
  DECLARE_MESSAGE_MAP()
};

// Display and behaviour: new feature type, map font size, overlay, start-up and notices.
class CPageColores : public CPropertyPageVScroll {
 public:
  explicit CPageColores(UINT templateId = 142);
  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnFontSizeChosen();

  DisplaySettings m_settings;

 private:
  DECLARE_MESSAGE_MAP()
};

// Key and hardware-button actions of the map view.
class CPageKeys : public CPropertyPageVScroll {
 public:
  explicit CPageKeys(UINT templateId = 185);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  KeySettings m_settings;
};

// Navigation display style and its approach sound.
class CPageNav : public CPropertyPageVScroll {
 public:
  // metrica: the unit system in force when the sheet opens (1 shows yards).
  CPageNav(int metrica, UINT templateId = 196);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnSound();

  NavSettings m_settings;
  int m_metrica;

 private:
  DECLARE_MESSAGE_MAP()
};
