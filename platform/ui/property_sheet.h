// Property sheets: a modal dialog with one tab per page and OK and Cancel below them.
//
// A page's template is an XRC "wxPanel" object named by its numeric id; its <title> child
// is the tab's caption:
//   <object class="wxPanel" name="143"><title>Datum</title> ... controls named by id ... </object>
//
// A page's window is made the first time the page is shown (OnInitDialog runs then), and
// OnSetActive runs each time it is shown: a page that answers FALSE is not shown (the sheet
// stays on the page it was on, or, at the start, tries the next one). Leaving a page runs
// OnKillActive (by default the data exchange with its checks); a failure keeps the page.
//
// The user turns the page with a tab, the tab row's arrows (when the tabs do not fit), the
// arrow keys on the tabs, and anywhere in the sheet Ctrl+Tab / Ctrl+PgDn (next, the first
// after the last) and Ctrl+Shift+Tab / Ctrl+PgUp (back). The keys then go to the new page's
// first control (they stay on the tabs when the arrow keys walk them), or after a refusal to
// the control the refusing page chose. The sheet is as large as its largest template from
// the start.
//
// OK runs OnKillActive of the shown page and then OnOK of every page that has been shown,
// in page order; each page ends the sheet with IDOK through EndDialog (the default OnOK does
// after a good data exchange). A page that does not is shown and the sheet stays open.
// Pages never shown keep the values they were given. Cancel runs OnCancel of the shown pages
// and ends the sheet with IDCANCEL.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/dialog.h"

class CPropertySheet;
class wxPanel;
class wxPropertySheetDialog;
class wxKeyEvent;
class wxWindow;

class CPropertyPage : public CWnd {
 public:
  explicit CPropertyPage(UINT templateId);
  ~CPropertyPage() override;

  virtual BOOL OnInitDialog();
  virtual BOOL OnSetActive();
  virtual BOOL OnKillActive();
  virtual void OnOK();
  virtual void OnCancel();
  // TRUE: controls -> members (with checks); FALSE: members -> controls.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  virtual void DoDataExchange(CDataExchange* pDX) {}

  // The sheet that shows the page (nullptr before it is added to one).
  CPropertySheet* GetSheet() const { return sheet_; }
  // Whether the page has been shown in the sheet's current run.
  bool WasShown() const { return shown_; }

  UINT m_nIDTemplate;

 private:
  friend class CPropertySheet;
  CPropertySheet* sheet_ = nullptr;
  bool created_ = false;
  bool shown_ = false;
};

class CPropertySheet : public CWnd {
 public:
  CPropertySheet(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
  CPropertySheet(const std::string& caption, CWnd* parent = nullptr, UINT selectPage = 0);
  ~CPropertySheet() override;

  // The sheet does not own its pages; they must outlive DoModal.
  void AddPage(CPropertyPage* page);
  int GetPageCount() const { return static_cast<int>(pages_.size()); }
  CPropertyPage* GetPage(int index) const;
  int GetActiveIndex() const;
  CPropertyPage* GetActivePage() const;
  // Shows a page while the sheet is open (leaving the current one first); FALSE when refused.
  BOOL SetActivePage(int index);

  // IDOK or IDCANCEL; IDCANCEL without showing anything when no page can be shown;
  // -1 when a page's template is missing.
  virtual INT_PTR DoModal();
  virtual BOOL OnInitDialog() { return TRUE; }
  void EndDialog(int result);

  wxPropertySheetDialog* GetSheetDialog() const;

  std::string m_caption;
  CWnd* m_pParentWnd;
  UINT m_nStartPage;

 private:
  // Makes the page's window the first time and asks the page to be shown; FALSE when refused.
  bool PreparePage(int index);
  bool ShowPage(int index);
  // Whether the shown page may be left for page index, which is then ready to be shown.
  bool MayLeaveFor(int index);
  void HoldEveryPage();
  void TurnTo(int index, bool keysStayOnTabs);
  bool TurnPageByKey(const wxKeyEvent& event);
  void KeysToShownPage();
  void KeysBackTo(wxWindow* control);
  void PressOk();
  void PressCancel();
  void Finish(int result);

  std::vector<CPropertyPage*> pages_;
  std::vector<wxPanel*> holders_;
  int result_ = IDCANCEL;
  bool collecting_ = false;  // inside OK or Cancel: EndDialog only records its wish
  int requested_ = 0;
  bool keysOnTabs_ = false;  // the page changes by the arrow keys on the tabs
};
