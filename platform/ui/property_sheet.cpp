#include "platform/ui/property_sheet.h"

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/panel.h>
#include <wx/propdlg.h>
#include <wx/sizer.h>
#include <wx/xml/xml.h>
#include <wx/weakref.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>

#include "platform/modules.h"
#include "platform/ui/control_notify.h"
#include "platform/ui/window_place.h"
#include "platform/ui/wx_text.h"
#include "platform/ui/xrc_resources.h"
#include "platform/win_app.h"

using platform::ui::ToWx;

namespace {

wxString IdName(UINT id) { return wxString::Format("%u", id); }

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
    // A page larger than those shown so far widens the sheet, which stays on the screen.
    dialog->GetSizer()->SetSizeHints(dialog);
    dialog->Layout();
    if (dialog->IsShown()) {
      const wxRect area = wxDisplay(dialog).GetClientArea();
      const wxRect r = dialog->GetScreenRect();
      const wxPoint inside(std::max(area.x, std::min(r.x, area.GetRight() + 1 - r.width)),
                           std::max(area.y, std::min(r.y, area.GetBottom() + 1 - r.height)));
      if (inside != r.GetPosition()) dialog->Move(inside);
    }
    // The book gives the page its place only when it shows it: until then the page is laid
    // out at its own size, not at the book's first guess, which no control could hold.
    holder->SetSize(holder->GetBestSize());
    holder->Layout();
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
  // A tab clicked, the tab row's arrows or the arrow keys on the tabs: the book asks in the
  // middle of that input. The sheet answers no, asks the pages once the input is done and turns
  // the page itself if they agree: a message shown inside the toolkit's press would leave the
  // row's arrow pressed and repeating, and a change made inside this event is not shown by
  // every toolkit.
  book->Bind(wxEVT_BOOKCTRL_PAGE_CHANGING, [this](wxBookCtrlEvent& event) {
    if (event.GetEventObject() != GetSheetDialog()->GetBookCtrl()) return event.Skip();
    event.Veto();
    const int index = event.GetSelection();
    const bool keysStayOnTabs = keysOnTabs_;
    GetSheetDialog()->CallAfter([this, index, keysStayOnTabs] { TurnTo(index, keysStayOnTabs); });
  });
  dialog->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
    if (!TurnPageByKey(event)) event.Skip();
  });
  result_ = IDCANCEL;
  OnInitDialog();
  HoldEveryPage();
  dialog->LayoutDialog();
  // The first page that agrees to be shown, from the one asked for.
  bool shown = false;
  for (int i = 0; i < GetPageCount() && !shown; ++i) {
    shown = ShowPage((static_cast<int>(m_nStartPage) + i) % GetPageCount());
  }
  if (shown) {
    dialog->LayoutDialog();
    platform::ui::PlaceOverOwner(dialog);
    ActivateWhenShown(dialog);
    // The keys are on the first page as soon as the sheet is on the screen (and again once
    // the toolkit has shown it, which can move them).
    if (CPropertyPage* page = GetActivePage(); page && page->GetWxWindow())
      page->GetWxWindow()->SetFocus();
    KeysToShownPage();
    dialog->ShowModal();
  }
  delete dialog;
  holders_.clear();
  for (CPropertyPage* page : pages_) page->created_ = false;
  return result_;
}

// The sheet is made as large as its largest page from the start, as the handheld's sheets are:
// a page shown later does not grow it (its buttons would leave the screen, the tabs and their
// arrows move away from under the pointer). Each template is laid out once, without its page.
void CPropertySheet::HoldEveryPage() {
  wxSize largest;
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    auto* probe = new wxPanel;
    if (platform::ui::XrcResources(AfxGetResourceHandle())
            ->LoadPanel(probe, holders_[i], IdName(pages_[i]->m_nIDTemplate))) {
      largest.IncTo(probe->GetBestSize());
      probe->Destroy();
    } else {
      delete probe;
    }
  }
  for (wxPanel* holder : holders_) holder->SetMinSize(largest);
}

// Shows page index as the user asked, if the shown page may be left and the new one shown;
// the keys then go to the new page (or stay on the tabs, where the arrow keys walk them), or
// back to what the refusing page pointed at.
void CPropertySheet::TurnTo(int index, bool keysStayOnTabs) {
  if (index == GetActiveIndex()) return;
  if (SetActivePage(index)) {
    // (The book gives the keys to the page it shows.)
    if (keysStayOnTabs) GetSheetDialog()->GetBookCtrl()->SetFocus();
    else KeysToShownPage();
  } else {
    KeysBackTo(wxWindow::FindFocus());
  }
}

// Ctrl+Tab and Ctrl+PgDn show the next page, Ctrl+Shift+Tab and Ctrl+PgUp the one before,
// wherever the keys are in the sheet (the toolkit's book answers only some of them, and only
// while the keys are on its tabs); from the last page the next one is the first.
bool CPropertySheet::TurnPageByKey(const wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  const int modifiers = event.GetModifiers();
  if (modifiers == wxMOD_NONE && wxWindow::FindFocus() == GetSheetDialog()->GetBookCtrl() &&
      (key == WXK_LEFT || key == WXK_RIGHT || key == WXK_UP || key == WXK_DOWN ||
       key == WXK_HOME || key == WXK_END)) {
    // The book turns the page for these; the keys stay on the tabs.
    keysOnTabs_ = true;
    GetSheetDialog()->CallAfter([this] { keysOnTabs_ = false; });
    return false;
  }
  int step = 0;
  if (key == WXK_TAB && (modifiers == wxMOD_CONTROL || modifiers == (wxMOD_CONTROL | wxMOD_SHIFT)))
    step = modifiers == wxMOD_CONTROL ? 1 : -1;
  else if (modifiers == wxMOD_CONTROL && (key == WXK_PAGEDOWN || key == WXK_NUMPAD_PAGEDOWN))
    step = 1;
  else if (modifiers == wxMOD_CONTROL && (key == WXK_PAGEUP || key == WXK_NUMPAD_PAGEUP))
    step = -1;
  if (step == 0) return false;
  const int count = GetPageCount();
  TurnTo((GetActiveIndex() + step + count) % count, false);
  return true;
}

// The keys go to the shown page's first control that takes them, once the toolkit is done
// with the input that changed the page (a click on a tab gives them to the tabs).
void CPropertySheet::KeysToShownPage() {
  GetSheetDialog()->CallAfter([this] {
    CPropertyPage* page = GetActivePage();
    wxWindow* window = page ? page->GetWxWindow() : nullptr;
    if (window && !window->IsDescendant(wxWindow::FindFocus())) window->SetFocus();
  });
}

// After a change refused, the keys go back to the control the refusing page chose (its
// message put them on the value it could not take), not to the tab the toolkit left them on.
void CPropertySheet::KeysBackTo(wxWindow* control) {
  if (!control) return;
  GetSheetDialog()->CallAfter([control = wxWeakRef<wxWindow>(control)] {
    if (control) control->SetFocus();
  });
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
