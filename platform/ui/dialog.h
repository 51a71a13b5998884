// Modal dialogs from templates of the current resource module, and data exchange
// between their controls (by id) and members.
//
//   class CDlgName : public CDialog {
//    public:
//     CDlgName() : CDialog(154) {}
//     std::string m_name;
//     void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 1279, m_name); }
//   };
//   if (dlg.DoModal() == IDOK) ... m_name holds what was typed
//
// Buttons with id 1 (IDOK) and 2 (IDCANCEL) run OnOK and OnCancel; other buttons go to
// the dialog's message map as commands. Numbers are shown and read in the C locale; a
// text that is not a number gives a message, keeps the dialog open and changes nothing.
#pragma once

#include <string>

#include "platform/ui/wnd.h"

class wxDialog;
class wxTopLevelWindow;

class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate)
      : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
  // Reports a bad value: focus goes to the control and the exchange stops.
  void Fail(int controlId);
  bool Failed() const { return failed_; }

  CWnd* m_pDlgWnd;
  BOOL m_bSaveAndValidate;
  int m_idLastControl = 0;

 private:
  bool failed_ = false;
};

void DDX_Text(CDataExchange* pDX, int id, std::string& value);
void DDX_Text(CDataExchange* pDX, int id, int& value);
void DDX_Text(CDataExchange* pDX, int id, UINT& value);
void DDX_Text(CDataExchange* pDX, int id, double& value);
void DDX_Text(CDataExchange* pDX, int id, float& value);
// Check box: 0 unchecked, 1 checked, 2 indeterminate (three-state boxes).
void DDX_Check(CDataExchange* pDX, int id, int& value);
// Combo box or choice: the selected index, -1 for none.
void DDX_CBIndex(CDataExchange* pDX, int id, int& value);
void DDX_CBString(CDataExchange* pDX, int id, std::string& value);
// List box: the selected index, -1 for none.
void DDX_LBIndex(CDataExchange* pDX, int id, int& value);
// Radio group starting at the button id (the group runs to the next button that starts a
// group): the index of the checked button, -1 for none.
void DDX_Radio(CDataExchange* pDX, int id, int& value);

// Range checks after a DDX_Text, while saving; they fail with the framework's message.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minimum, int maximum);
void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minimum, double maximum);
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int count);

// Numbers as the dialogs show them (C locale, up to 15 significant digits) and read them.
std::string FormatDialogNumber(double value);
bool ParseDialogInteger(const std::string& text, long long& value);
bool ParseDialogNumber(const std::string& text, double& value);

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  ~CDialog() override;

  // IDOK or IDCANCEL (or what EndDialog gave); -1 when the template is missing.
  virtual INT_PTR DoModal();
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  void EndDialog(int result);
  // TRUE: controls -> members (with checks); FALSE: members -> controls.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  virtual void DoDataExchange(CDataExchange* pDX) {}

  wxDialog* GetDialog() const;

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

 private:
  int result_ = IDCANCEL;
};

// Enter and Escape in dialog's window as the handheld's dialog manager takes them: a control
// that asks for the key gets it (a multi-line edit or an edit that takes Enter, a grid's cell
// editor, a control of the program's own that answers WM_GETDLGCODE with DLGC_WANTALLKEYS).
// Otherwise Escape presses the Cancel button, or, in a dialog without one, closes it as its
// close box does (OnCancel); Enter presses the default button (OK when none is marked), and a
// focused push button presses itself. A disabled button takes nothing.
void AnswerDialogKeys(CDialog* dialog, wxDialog* window);

// Once window is on the screen it is brought to the front and takes the keyboard, as a window
// manager activates a new dialog. Without one nothing would: the keys would still come to the
// dialog through the toolkit's modal grab, but the program would go on believing them where it
// last saw them, and Tab from a button or a combo would move nowhere.
void ActivateWhenShown(wxTopLevelWindow* window);

// --- modeless dialogs (platform/ui/dialog_modeless.cpp) ---
// Creates dialog's window from its template (m_nIDTemplate) without a modal loop, as a child
// of parent (nullptr: the main window), routes its buttons and control notifications as
// DoModal does, runs OnInitDialog and fits the window; the caller shows it. OK, Cancel and
// closing the window run OnOK and OnCancel, which in a modeless dialog end with
// DestroyWindow. topMost keeps the window above the program's other windows. FALSE (and no
// window) when the template is missing.
BOOL CreateModelessDialog(CDialog* dialog, CWnd* parent, bool topMost = false);
// --- end modeless dialogs ---
