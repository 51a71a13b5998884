#include "platform/ui/property_sheet.h"

#include <algorithm>

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/panel.h>
#include <wx/propdlg.h>
#include <wx/sizer.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

#include "platform/modules.h"
#include "platform/ui/control_notify.h"
#include "platform/ui/wx_text.h"
#include "platform/ui/xrc_resources.h"
#include "platform/win_app.h"

using platform::ui::ToWx;

namespace {

wxString IdName(UINT id) { return wxString::Format("%u", id); }

// A window on the screen that grew past the right or bottom edge of its display's work area
// moves back onto it (as far as it fits), its buttons within reach again.
void KeepOnDisplay(wxWindow* window) {
  const int index = wxDisplay::GetFromWindow(window);
  const wxRect area = wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
  wxRect r = window->GetRect();
  if (r.GetRight() > area.GetRight()) r.x = std::max(area.x, area.GetRight() + 1 - r.width);
  if (r.GetBottom() > area.GetBottom()) r.y = std::max(area.y, area.GetBottom() + 1 - r.height);
  if (r.GetPosition() != window->GetPosition()) window->Move(r.GetPosition());
}

// The page template's node in the current resource module, nullptr when it has none.
const wxXmlNode* PageTemplateNode(UINT id) {
  const wxXmlNode* node =
      platform::ui::XrcResources(AfxGetResourceHandle())->GetResourceNode(IdName(id));
  return node && node->GetAttribute("class") == "wxPanel" ? node : nullptr;
}

wxString PageCaption(const wxXmlNode* node) {
  for (const wxXmlNode* child = node->GetChildren(); child; child = child->GetNext()) {
    if (child->GetName() == "title") return child->GetNodeContent();
  }
  return IdName(0);
}

}  // namespace

CPropertyPage::CPropertyPage(UINT templateId) : m_nIDTemplate(templateId) {}

CPropertyPage::~CPropertyPage() {
  if (m_wnd) m_wnd->Destroy();
}

BOOL CPropertyPage::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

BOOL CPropertyPage::OnSetActive() { return TRUE; }

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

void CPropertyPage::OnOK() {
  if (!UpdateData(TRUE)) return;
  if (sheet_) sheet_->EndDialog(IDOK);
}

void CPropertyPage::OnCancel() {
  if (sheet_) sheet_->EndDialog(IDCANCEL);
}

BOOL CPropertyPage::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return !dx.Failed();
}

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT selectPage)
    : CPropertySheet(AfxLoadString(captionId), parent, selectPage) {}

CPropertySheet::CPropertySheet(const std::string& caption, CWnd* parent, UINT selectPage)
    : m_caption(caption), m_pParentWnd(parent), m_nStartPage(selectPage) {}

CPropertySheet::~CPropertySheet() {
  if (m_wnd) m_wnd->Destroy();
}

void CPropertySheet::AddPage(CPropertyPage* page) {
  page->sheet_ = this;
  pages_.push_back(page);
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
  return index >= 0 && index < GetPageCount() ? pages_[static_cast<size_t>(index)] : nullptr;
}

wxPropertySheetDialog* CPropertySheet::GetSheetDialog() const {
  return static_cast<wxPropertySheetDialog*>(m_wnd);
}

int CPropertySheet::GetActiveIndex() const {
  wxPropertySheetDialog* dialog = GetSheetDialog();
  return dialog ? dialog->GetBookCtrl()->GetSelection() : static_cast<int>(m_nStartPage);
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(GetActiveIndex()); }

bool CPropertySheet::PreparePage(int index) {
  CPropertyPage* page = GetPage(index);
  if (!page) return false;
  wxPropertySheetDialog* dialog = GetSheetDialog();
  if (!page->created_) {
    wxPanel* holder = holders_[static_cast<size_t>(index)];
    auto* panel = new wxPanel;
    if (!platform::ui::XrcResources(AfxGetResourceHandle())
             ->LoadPanel(panel, holder, IdName(page->m_nIDTemplate))) {
      delete panel;
      return false;
    }
    holder->GetSizer()->Add(panel, 1, wxEXPAND);
    page->Attach(panel);
    platform::ui::RouteControlNotifications(page, panel);
    panel->Bind(wxEVT_BUTTON, [page](wxCommandEvent& event) {
      if (!page->OnCmdMsg(static_cast<UINT>(event.GetId()), CN_COMMAND, nullptr)) event.Skip();
    });
    page->created_ = true;
    page->OnInitDialog();
    // A page larger than those shown so far widens the sheet.
    dialog->GetSizer()->SetSizeHints(dialog);
    dialog->Layout();
    // The book gives the page its place only when it shows it: until then the page is laid
    // out at its own size, not at the book's first guess, which no control could hold.
    holder->SetSize(holder->GetBestSize());
    holder->Layout();
    if (dialog->IsShown()) KeepOnDisplay(dialog);
  }
  if (!page->OnSetActive()) return false;
  page->shown_ = true;
  return true;
}

bool CPropertySheet::ShowPage(int index) {
  if (!PreparePage(index)) return false;
  GetSheetDialog()->GetBookCtrl()->ChangeSelection(static_cast<size_t>(index));
  return true;
}

bool CPropertySheet::MayLeaveFor(int index) {
  CPropertyPage* current = GetActivePage();
  if (current == GetPage(index)) return true;
  if (current && current->shown_ && !current->OnKillActive()) return false;
  return PreparePage(index);
}

BOOL CPropertySheet::SetActivePage(int index) {
  if (!GetSheetDialog()) {
    if (index < 0 || index >= GetPageCount()) return FALSE;
    m_nStartPage = static_cast<UINT>(index);
    return TRUE;
  }
  if (GetActivePage() == GetPage(index)) return TRUE;
  if (!MayLeaveFor(index)) return FALSE;
  GetSheetDialog()->GetBookCtrl()->ChangeSelection(static_cast<size_t>(index));
  return TRUE;
}

INT_PTR CPropertySheet::DoModal() {
  for (CPropertyPage* page : pages_) {
    if (!PageTemplateNode(page->m_nIDTemplate)) return -1;
  }
  CWnd* parent = m_pParentWnd;
  if (!parent) {
    CWinApp* app = AfxGetApp();
    parent = app ? app->m_pMainWnd : nullptr;
  }
  auto* dialog = new wxPropertySheetDialog(parent ? parent->GetWxWindow() : nullptr, wxID_ANY,
                                           ToWx(m_caption));
  dialog->CreateButtons(wxOK | wxCANCEL);
  Attach(dialog);
  wxBookCtrlBase* book = dialog->GetBookCtrl();
  holders_.clear();
  for (CPropertyPage* page : pages_) {
    auto* holder = new wxPanel(book);
    holder->SetSizer(new wxBoxSizer(wxVERTICAL));
    book->AddPage(holder, PageCaption(PageTemplateNode(page->m_nIDTemplate)));
    holders_.push_back(holder);
    page->created_ = page->shown_ = false;
  }
  dialog->Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) {
    if (event.GetId() == wxID_OK) PressOk();
    else if (event.GetId() == wxID_CANCEL) PressCancel();
    else event.Skip();
  });
  dialog->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { PressCancel(); });
  // A tab clicked, Ctrl+PgDn / Ctrl+PgUp, Ctrl+Tab or the tabs' scroll arrows: the book makes
  // the change itself unless the page shown refuses to be left or the new one to be shown.
  // (Changing the selection from inside this event instead is not shown by every toolkit.)
  book->Bind(wxEVT_BOOKCTRL_PAGE_CHANGING, [this](wxBookCtrlEvent& event) {
    if (event.GetEventObject() != GetSheetDialog()->GetBookCtrl()) return event.Skip();
    if (!MayLeaveFor(event.GetSelection())) event.Veto();
  });
  result_ = IDCANCEL;
  OnInitDialog();
  dialog->LayoutDialog();
  // The first page that agrees to be shown, from the one asked for.
  bool shown = false;
  for (int i = 0; i < GetPageCount() && !shown; ++i) {
    shown = ShowPage((static_cast<int>(m_nStartPage) + i) % GetPageCount());
  }
  if (shown) {
    dialog->LayoutDialog();
    ActivateWhenShown(dialog);
    dialog->ShowModal();
  }
  delete dialog;
  holders_.clear();
  for (CPropertyPage* page : pages_) page->created_ = false;
  return result_;
}

void CPropertySheet::EndDialog(int result) {
  if (collecting_) requested_ = result;
  else Finish(result);
}

void CPropertySheet::Finish(int result) {
  result_ = result;
  if (wxPropertySheetDialog* dialog = GetSheetDialog(); dialog && dialog->IsModal()) {
    dialog->EndModal(result);
  }
}

void CPropertySheet::PressOk() {
  const int active = GetActiveIndex();
  if (CPropertyPage* page = GetPage(active); page && page->shown_ && !page->OnKillActive()) return;
  for (int i = 0; i < GetPageCount(); ++i) {
    CPropertyPage* page = GetPage(i);
    if (!page->shown_) continue;
    collecting_ = true;
    requested_ = 0;
    page->OnOK();
    collecting_ = false;
    if (requested_ == IDCANCEL) return Finish(IDCANCEL);
    if (requested_ != IDOK) {
      if (i != active) ShowPage(i);
      return;
    }
  }
  Finish(IDOK);
}

void CPropertySheet::PressCancel() {
  collecting_ = true;
  for (CPropertyPage* page : pages_) {
    if (page->shown_) page->OnCancel();
  }
  collecting_ = false;
  Finish(IDCANCEL);
}
