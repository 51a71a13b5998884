// The feature dialogs: the object list with its grid of all features, the grid of the parts
// linked to one feature, the area design (colour and fill pattern), the notes of the
// vertices, and the two point choosers of the delete-points and insert-point commands.
// The lists and grids work on the document's features directly; the point choosers only
// hand their choice back. Their rules are dialogs/core/feature_rules.h.
#pragma once

#include <string>
#include <vector>

#include "widgets/colour_picker.h"
#include "widgets/dialog_vscroll.h"
#include "widgets/grid_ctrl.h"

class CTolvanixDoc;

// Template ids.
constexpr UINT kDeletePointsTemplate = 141;
constexpr UINT kPickPointTemplate = 148;
constexpr UINT kObjectListTemplate = 156;
constexpr UINT kAreaDesignTemplate = 157;
constexpr UINT kNotesTemplate = 177;
constexpr UINT kObjectGridTemplate = 241;

class CDlgAreaDesign : public CDialogVScroll {
 public:
  CDlgAreaDesign(int featureType, UINT templateId = kAreaDesignTemplate, CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  // Button 1091: the chosen design becomes that of features made later.
  void OnSetDefault();

  int m_tipo;                   // FeatureType code of what is designed
  COLORREF m_color = 255;       // set before DoModal, read after OK
  int m_pattern = 0;            // radio group 1077 (0 solid .. 6 hollow), -1 none
  CColourPicker m_colourPicker;  // control 1076

  DECLARE_MESSAGE_MAP()
};

class CDlgObjectList : public CDialogVScroll {
 public:
  CDlgObjectList(int current, CTolvanixDoc* doc, UINT templateId = kObjectListTemplate,
                 CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void OnOK() override;

  void OnSelchangeNames();   // 1075
  void OnNewFeature();       // 1071
  void OnDeleteFeatures();   // 1072
  void OnImport();           // 1073
  void OnGridClick(NMHDR* header, LRESULT* result);
  void OnGridEndEdit(NMHDR* header, LRESULT* result);

  CTolvanixDoc* m_doc;
  int m_current;
  std::vector<std::string> m_typeTexts;  // "Area", "Línea"
  CGridCtrl m_Grid;                      // 170
  CGridCtrl m_details;                   // two columns inside 1074

  // Storing the grid into the document (also the OK button's work).
  void StoreGrid();
  void FillGrid();
  void FillNames();
  void ShowDetails(int feature);

  DECLARE_MESSAGE_MAP()
};

class CDlgObjectGrid : public CDialogVScroll {
 public:
  CDlgObjectGrid(int current, CTolvanixDoc* doc, UINT templateId = kObjectGridTemplate,
                 CWnd* parent = nullptr);
  // Closes at once with IDOK when the feature has no linked parts.
  INT_PTR DoModal() override;
  BOOL OnInitDialog() override;
  void OnOK() override;

  void OnSubtractAll();     // 1286
  void OnSubtractNone();    // 1287
  void OnDeleteParts();     // 1285
  void OnGridClick(NMHDR* header, LRESULT* result);

  CTolvanixDoc* m_doc;
  int m_current;
  std::vector<int> m_parts;  // feature indices of the linked parts, one per data row
  CGridCtrl m_Grid;          // 1288

  void StoreGrid();
  void FillGrid();
  void ShowSummary();
  void SetSubtractAll(bool subtract);

  DECLARE_MESSAGE_MAP()
};

class CDlgNotas : public CDialog {
 public:
  CDlgNotas(CTolvanixDoc* doc, CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  // The edit's text is the chosen vertex's note as soon as the edit is left, so leaving it
  // for Cancel keeps the note too.
  void OnCancel() override;
  void OnSelchangeVertex();  // 1103

  CTolvanixDoc* m_doc;
  std::string m_title;  // 1105
  std::string m_note;   // 1104
  int m_vertex = -1;    // the vertex whose note the edit shows
  bool m_changed = false;

 private:
  // The edit's text into the shown vertex's note; false (with the framework's message)
  // when it is too long.
  bool TakeNote();
  void FillList();

  DECLARE_MESSAGE_MAP()
};

class CDlgDeletePoints : public CDialogVScroll {
 public:
  CDlgDeletePoints(const std::string& featureName, CTolvanixDoc* doc,
                   UINT templateId = kDeletePointsTemplate, CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void OnOK() override;

  std::string m_title;  // 1011
  int m_count = 0;
  std::vector<int> m_chosen;  // 0-based, ascending

 private:
  CTolvanixDoc* m_doc;
};

class CDlgPickPoint : public CDialog {
 public:
  CDlgPickPoint(const std::string& title, CTolvanixDoc* doc, CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  std::string m_title;
  int m_count = 0;
  int m_index = -1;  // combo 1012's selection

 private:
  CTolvanixDoc* m_doc;
};
