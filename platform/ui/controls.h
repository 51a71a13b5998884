// Control helpers for dialogs and pages: a combo box (drop-down list or drop-down with an
// edit field) by control id, and the re-layout after controls were shown or hidden.
//
//   CComboBox combo(GetDlgItem(1038));
//   combo.ResetContent();
//   combo.AddString("WGS84");
//   combo.SetCurSel(0);
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/dc.h"
#include "platform/ui/wnd.h"

class wxItemContainer;

constexpr int CB_ERR = -1;

// A view over a combo box or choice control; every call does nothing (or answers CB_ERR)
// when the control is missing or of another kind.
class CComboBox {
 public:
  explicit CComboBox(CWnd* control);

  int AddString(const std::string& text);  // index of the new item
  int DeleteString(int index);             // items left, CB_ERR for a bad index
  void ResetContent();                     // no items; an edit field is emptied too
  int GetCount() const;
  int GetCurSel() const;                   // CB_ERR when nothing is selected
  int SetCurSel(int index);                // CB_ERR (and no selection) for -1 or a bad index
  std::string GetLBText(int index) const;

 private:
  wxItemContainer* items_ = nullptr;
};

// Lays out the window's top-level dialog again and fits it to the controls that are shown,
// so that hidden rows take no room and the buttons below them move up.
void RelayoutDialog(CWnd* window);

// --- edits and sliders (platform/ui/controls_edits.cpp) ---
// An edit control and a slider (trackbar) of a dialog or page, taken over by control id so
// that a class of the program sees its typing and scrolling, as subclassed controls did:
//
//   class CMyEdit : public CEdit { void OnChar(UINT ch, UINT rep, UINT flags) override; };
//   m_edit.SubclassDlgItem(1117, this);   // in OnInitDialog

class CEdit : public CWnd {
 public:
  // Takes over the parent's edit control with that id; FALSE when there is none.
  BOOL SubclassDlgItem(UINT id, CWnd* parent);

  // Selection as character positions; SetSel(0, -1) selects all.
  void GetSel(int& start, int& end) const;
  void SetSel(int start, int end);
  BOOL CanUndo() const;
  BOOL IsReadOnly() const;
  int GetWindowTextLength() const;
  void Undo();
  void Cut();
  void Copy();
  void Paste();
  void Clear();  // deletes the selection
  // Whether the clipboard holds text that Paste would insert.
  static BOOL ClipboardHasText();

  // Sets the text as the program does: OnTextUpdate follows, as after typing.
  void SetText(const std::string& text);

 protected:
  // A typed character (a Unicode code point). This default lets it reach the control; an
  // override that does not call it drops the character.
  virtual void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  // The text changed by typing, pasting or SetText (the reflected update notification).
  virtual void OnTextUpdate() {}
  // The user held the stylus (or pressed the context-menu button) at a point given in
  // screen coordinates.
  virtual void OnHold(POINT screenPoint) {}

 private:
  bool passChar_ = false;
  bool updating_ = false;
};

// Scroll codes of slider notifications.
constexpr UINT TB_LINEUP = 0;
constexpr UINT TB_LINEDOWN = 1;
constexpr UINT TB_PAGEUP = 2;
constexpr UINT TB_PAGEDOWN = 3;
constexpr UINT TB_THUMBPOSITION = 4;
constexpr UINT TB_THUMBTRACK = 5;
constexpr UINT TB_TOP = 6;
constexpr UINT TB_BOTTOM = 7;
constexpr UINT TB_ENDTRACK = 8;

class CCustomWnd;

// Puts a window of the program's own in the place of the parent's control with that id
// (same id, position, size and sizer slot); the template's control goes. The replacement is
// created by CCustomWnd::Create with style. FALSE when there is no such control.
BOOL ReplaceDlgItem(CWnd* parent, UINT id, CCustomWnd* replacement, DWORD style);

class CSliderCtrl : public CWnd {
 public:
  // Takes over the parent's slider with that id; FALSE when there is none.
  BOOL SubclassDlgItem(UINT id, CWnd* parent);

  void SetRange(int minimum, int maximum, BOOL redraw = FALSE);
  int GetRangeMin() const;
  int GetRangeMax() const;
  // The control's own position: a vertical slider has its minimum at the top.
  void SetPos(int position);
  int GetPos() const;
  void SetTicFreq(int frequency);
  BOOL IsVertical() const;

 protected:
  // Reflected scroll notifications (code TB_..., position for thumb codes), after the
  // control has moved.
  virtual void OnHScroll(UINT code, UINT position) {}
  virtual void OnVScroll(UINT code, UINT position) {}
};

// --- in-place controls (platform/ui/controls_inplace.cpp) ---
// A control made at run time over part of one of the program's own windows (a grid cell):
// a one-line edit, a combo box with an edit field (drop-down) or without (drop-list), or a
// list of items in rows. The owner sees every key and character before the control acts on
// it, and hears when the keyboard focus leaves the control or an item is chosen; it also
// hears the focus leave before a button, check box, radio button, list or combo box of the
// same window reports a command, also when the desktop reports the command first or moves
// no focus (a quick tap, Enter on the default button). The toolkit's
// popups of the control (a combo's dropped list) count as inside it. Close() hides the
// control at once and destroys it after the event being handled; the object frees itself
// when its window goes (then, or with the parent window); no hook runs after Close().
class InPlaceCommandRule;

class CInPlaceControl {
 public:
  enum class Kind { Edit, DropDown, DropList, ItemList };
  struct Hooks {
    // A key press (virtual key, MK_... modifiers) before the control acts on it: true
    // swallows it.
    std::function<bool(UINT key, UINT modifiers)> keyDown;
    // A key release: true swallows it.
    std::function<bool(UINT key)> keyUp;
    // A typed character (Unicode) before the control takes it: true swallows it.
    std::function<bool(UINT character)> character;
    // The keyboard focus went to a window outside the control.
    std::function<void()> focusLost;
    // An item of a list was chosen by the user.
    std::function<void(int item)> chosen;
    // The window went (with its parent) before Close(): the object is about to be freed.
    std::function<void()> gone;
  };

  // align (edits and edit fields): 0 left, 1 centred, 2 right. nullptr when it cannot be made.
  static CInPlaceControl* Create(Kind kind, CWnd* parent, const RECT& rect, int align,
                                 Hooks hooks);
  ~CInPlaceControl();
  CInPlaceControl(const CInPlaceControl&) = delete;
  CInPlaceControl& operator=(const CInPlaceControl&) = delete;

  void Close();
  bool IsClosed() const;
  std::string GetText() const;
  void SetText(const std::string& text);
  // Character positions; (0, -1) selects all, (n, n) puts the caret at n.
  void SetSel(int start, int end);
  int GetTextLength() const;
  // Types the character as the user would (Backspace deletes before the caret).
  void TypeChar(UINT character);
  void Focus();
  // Whether the keyboard focus is in the control (or its popup).
  bool HasFocus() const;
  void Move(const RECT& rect);  // the parent's client pixels
  RECT GetRect() const;
  int TextWidth(const std::string& text) const;
  void SetFont(CFont* font);
  void SetColours(COLORREF text, COLORREF background);

  // Lists (combo boxes and item lists).
  void AddItem(const std::string& text);
  int GetCount() const;
  void SetCurSel(int index);
  int GetCurSel() const;
  // Combo boxes: drops the list once the control is on the screen; its height at most
  // pixels (0: the toolkit's). The list is as wide as its widest option plus a scroll bar
  // and a digit, at most 200 pixels, and never narrower than the control.
  void ShowDropDown();
  void SetDropHeight(int pixels);
  // Item lists: scrolls to the item and starts the arrow keys from it (not selected).
  void EnsureVisible(int index);
  // Item lists: each item shows the image (any size; drawn as given) and no text; without
  // an image (a missing resource) it shows the text missing instead.
  void AddImageItem(HICON icon, const std::string& missing);

  // The wx control (tests).
  wxWindow* GetWxWindow() const;

 private:
  friend class InPlaceCommandRule;
  // A command of another control of the same top-level window (source) is about to run:
  // the focus-lost hook runs first, as if that control had taken the focus.
  void EndBeforeCommandOf(wxWindow* source);
  CInPlaceControl();
  void Watch(const std::vector<wxWindow*>& targets);
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// --- list-box selections (platform/ui/controls_inplace.cpp) ---
// The selected items of a list box, ascending (any number in a multiple-selection box); an
// item selected or deselected by the program. Nothing happens for a missing control.
std::vector<int> GetListBoxSelections(CWnd* listBox);
void SetListBoxSelection(CWnd* listBox, int index, bool select);

class CBitmap;
// Shows a picture on a push button (beside its caption when it has one); false when the
// control is not a button.
bool SetButtonBitmap(CWnd* button, const CBitmap& picture);
