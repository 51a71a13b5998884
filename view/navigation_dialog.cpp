#include "view/navigation_dialog.h"

#include "app/strings.h"
#include "document/tolvanix_doc.h"
#include "platform/ui/control_notify.h"
#include "platform/ui/controls.h"

namespace {
constexpr int kObjectCombo = 1263;
constexpr int kPointCombo = 1264;
constexpr UINT kPointFormatString = 59175;  // "Punto %d"
}  // namespace

BEGIN_MESSAGE_MAP(CDlgNavigateDestination, CDialogVScroll)
  ON_CBN_SELCHANGE(1263, &CDlgNavigateDestination::OnSelchangeObject)
END_MESSAGE_MAP()

CDlgNavigateDestination::CDlgNavigateDestination(CTolvanixDoc* doc, CWnd* parent)
    : CDialogVScroll(kTemplate, parent), m_doc(doc) {}

BOOL CDlgNavigateDestination::OnInitDialog() {
  CDialogVScroll::OnInitDialog();
  CComboBox objects(GetDlgItem(kObjectCombo));
  objects.ResetContent();
  for (const FeatureRecord& f : m_doc->m_features) objects.AddString(f.name);
  objects.AddString("WPT");
  objects.SetCurSel(0);
  OnSelchangeObject();
  return TRUE;
}

void CDlgNavigateDestination::OnSelchangeObject() {
  const int object = CComboBox(GetDlgItem(kObjectCombo)).GetCurSel();
  if (object < 0) return;
  CComboBox points(GetDlgItem(kPointCombo));
  points.ResetContent();
  const auto& features = m_doc->m_features;
  if (static_cast<std::size_t>(object) >= features.size()) {
    for (const WaypointRecord& w : m_doc->m_waypoints) points.AddString(w.name);
  } else {
    const FeatureRecord& f = features[object];
    const std::string format = LoadResString(kPointFormatString);
    for (std::size_t i = 0; i < f.VertexCount(); ++i) {
      points.AddString(VertexLabel(format, static_cast<int>(i) + 1, f.vertexNotes[i]));
    }
  }
  points.SetCurSel(0);
}

void CDlgNavigateDestination::OnOK() {
  const int object = CComboBox(GetDlgItem(kObjectCombo)).GetCurSel();
  const int point = CComboBox(GetDlgItem(kPointCombo)).GetCurSel();
  m_target = ChooseNavTarget(m_doc->m_content, object, point, LoadResString(kPointFormatString),
                             m_doc->m_navStyle != 0);
  EndDialog(m_target ? IDOK : IDCANCEL);
}
