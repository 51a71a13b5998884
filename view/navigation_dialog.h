// The navigation target dialog (template 235): an object (every feature, then "WPT") in
// combo 1263 and one of its points in combo 1264.
#pragma once

#include <optional>

#include "view/core/nav_labels.h"
#include "widgets/dialog_vscroll.h"

class CTolvanixDoc;

class CDlgNavigateDestination : public CDialogVScroll {
 public:
  static constexpr UINT kTemplate = 235;

  explicit CDlgNavigateDestination(CTolvanixDoc* doc, CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  // Fills the point combo for the chosen object; nothing without a chosen object.
  void OnSelchangeObject();
  // Without a choice in either combo the dialog ends as cancelled.
  void OnOK() override;

  CTolvanixDoc* m_doc;
  // The target on IDOK; its title has "WPT: " before a waypoint's name when the option
  // "NavStyle" shows targets on the map rather than in the compass.
  std::optional<NavChoice> m_target;

  DECLARE_MESSAGE_MAP()
};
