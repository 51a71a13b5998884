// CColourPicker: a button showing a colour swatch with a drop-down arrow; tapping it opens
// CColourPickerPopup, a palette of 40 named colours (widgets/core/colour_palette.h) with an
// "Automatic" cell above and a "Cancel" cell below. The choice reaches the button's parent
// as window messages with wParam the colour (COLORREF, kAutomaticColour for automatic) and
// lParam the picker's control id:
//
//   BEGIN_MESSAGE_MAP(CDlgAreaDesign, CDialogVScroll)
//     ON_MESSAGE(CPN_SELENDOK, &CDlgAreaDesign::OnColourChosen)
//   END_MESSAGE_MAP()
//   m_colour.SubclassDlgItem(1105, this);   // in OnInitDialog: takes the template's button's place
//   m_colour.SetColour(RGB(255, 0, 0));
#pragma once

#include <memory>
#include <string>

#include "platform/ui/input.h"
#include "platform/ui/modal_windows.h"
#include "widgets/core/colour_palette.h"

constexpr UINT CPN_SELCHANGE = 0x7E9;   // highlighted cell changed (or after OK, see below)
constexpr UINT CPN_DROPDOWN = 0x7EA;    // the popup opened
constexpr UINT CPN_CLOSEUP = 0x7EB;     // the popup closed (before end-OK or end-cancel)
constexpr UINT CPN_SELENDOK = 0x7EC;    // a colour was chosen
constexpr UINT CPN_SELENDCANCEL = 0x7ED;// the popup was cancelled

class CColourPicker;

class CColourPickerPopup : public CCustomWnd {
 public:
  CColourPickerPopup();
  ~CColourPickerPopup() override;

  // Opens at the screen point (the picker's bottom-left corner) on colour, and takes the
  // stylus; either text may be empty (no such cell). FALSE when the window cannot be made.
  bool Create(CPoint at, COLORREF colour, CColourPicker* parent, const std::string& automaticText,
              const std::string& cancelText);

  int GetHighlightedCell() const { return highlighted_; }
  int GetChosenCell() const { return chosen_; }
  COLORREF GetCurrentColour() const { return current_; }
  COLORREF GetInitialColour() const { return initial_; }
  const widgets::PopupLayout& Layout() const { return layout_; }
  // The popup no longer holds the input (it is being closed).
  void ReleaseInput();

  void OnDraw(CDC* dc) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnKillFocus(CWnd* newWindow);
  LRESULT OnQueryNewPalette(WPARAM, LPARAM);
  LRESULT OnPaletteChanged(WPARAM, LPARAM);

  DECLARE_MESSAGE_MAP()

 protected:
  void PostNcDestroy() override;

 private:
  void Initialise();
  void SetWindowSize(CPoint at);
  void ChangeSelection(int cell);
  void DrawCell(CDC* dc, int cell);
  // Ends with CPN_SELENDOK or CPN_SELENDCANCEL: the picker hears the colour, the window goes.
  void EndSelection(UINT message);

  CColourPicker* picker_ = nullptr;
  widgets::PopupMetrics metrics_;
  widgets::PopupLayout layout_;
  bool hiRes_ = false;
  int dpi_ = 96;
  int highlighted_ = widgets::kCellNone;
  int chosen_ = widgets::kCellNone;
  COLORREF initial_ = 0;
  COLORREF current_ = 0;
  std::string automaticText_;
  std::string cancelText_;
  CFont font_;
  bool ended_ = false;
  // While open the popup holds the stylus: a modal window to the program, which ends it as
  // Escape does when the program must end.
  std::unique_ptr<platform::ui::ModalWindowScope> modal_;
};

class CColourPicker : public CCustomWnd {
 public:
  CColourPicker();
  ~CColourPicker() override;

  // Takes the place of the parent's control with that id (same id, position and sizer slot)
  // and sizes itself; FALSE when there is no such control.
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  BOOL Create(CWnd* parent, const RECT& rect, UINT id, DWORD style = WS_CHILD | WS_VISIBLE) override;

  // The text colour in mode 1, else the background colour.
  COLORREF GetColour() const;
  void SetColour(COLORREF colour);
  // 1: the picker edits the text colour; 2: the background colour (the default).
  void SetMode(int mode) { m_mode = mode; }
  // On: the swatch follows the highlighted cell while the popup is open.
  void SetTrackSelection(bool on) { m_trackSelection = on; }
  bool IsPopupOpen() const { return m_popupOpen; }
  CColourPickerPopup* GetPopup() { return m_popupOpen ? m_popup.get() : nullptr; }

  void OnDraw(CDC* dc) override;  // DrawItem
  void OnClicked();
  void OnLButtonDown(UINT flags, CPoint point);
  // A second tap soon after the first at the same place comes as a double click: it is a tap.
  void OnLButtonDblClk(UINT flags, CPoint point) { OnLButtonDown(flags, point); }
  void OnLButtonUp(UINT flags, CPoint point);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  UINT OnGetDlgCode();
  void OnSetFocus(CWnd* oldWindow);
  void OnKillFocus(CWnd* newWindow);
  LRESULT OnSelEndOK(WPARAM colour, LPARAM);
  LRESULT OnSelEndCancel(WPARAM colour, LPARAM);
  LRESULT OnSelChange(WPARAM colour, LPARAM);

  DECLARE_MESSAGE_MAP()

 private:
  void SizeToArrow();
  void Notify(UINT message, COLORREF colour);

  bool m_popupOpen = false;
  bool m_trackSelection = false;
  COLORREF m_background;
  COLORREF m_text;
  int m_mode = 2;
  CRect m_arrow;
  std::string m_automaticText = "Automatic";
  std::string m_cancelText = "Cancel";
  // A new popup each time: the last one's window may still be on its way out.
  std::unique_ptr<CColourPickerPopup> m_popup;
  bool m_pressed = false;
  bool m_focused = false;
};
