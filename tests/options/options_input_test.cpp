// The options sheet driven as a user drives it: the pointer on its tabs and the keys that
// change pages, with the toolkit's own notebook deciding what is shown, and what the screen
// then shows read back.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/bookctrl.h>
#include <wx/notebook.h>
#include <wx/propdlg.h>
#include <wx/uiaction.h>

#include <functional>

#include "dialogs/options_sheet.h"
#include "platform/message_box.h"
#include "platform/win_app.h"
#include "tests/options/doc_window_test.h"
#include "tests/options/window_helpers.h"
#include "tests/support/wx_test_environment.h"
#include "tests/view/real_input.h"

namespace {

class OptionsSheetInput : public optstest::DocWindowTest {
 protected:

  // Runs the sheet; drive(sheet) runs once the sheet is on the screen (placed and active
  // under a window manager).
  bool Run(std::function<void(CPropiedadesOpciones&)> drive, bool gpsOpen = false) {
    OptionsSheetContext context;
    context.gpsOpen = gpsOpen;
    context.beforeShow = [drive](CPropiedadesOpciones& sheet) {
      wxTheApp->CallAfter([drive, &sheet] {
        wxPropertySheetDialog* dialog = sheet.GetSheetDialog();
        tvxtest::PumpUntil([dialog] {
          return tvxtest::OnScreen(dialog) &&
                 (!tvxtest::WindowManagerRuns() || dialog->IsActive());
        });
        drive(sheet);
      });
    };
    return RunOptionsSheet(context, options, view);
  }

  CTolvanixDoc::OptionValues options;
  ViewOptionValues view;
};

// Where the notebook shows the tab of page index, in screen pixels (empty when its tab is
// scrolled out of sight).
wxRect TabOnScreen(wxBookCtrlBase* book, int index) {
  const wxSize size = book->GetClientSize();
  wxRect found;
  for (int y = 1; y < 60 && y < size.y; y += 2) {
    for (int x = 1; x < size.x; x += 2) {
      if (book->HitTest(wxPoint(x, y)) != index) continue;
      if (found.IsEmpty()) found = wxRect(x, y, 1, 1);
      else found.Union(wxRect(x, y, 1, 1));
    }
  }
  if (found.IsEmpty()) return found;
  return wxRect(book->ClientToScreen(found.GetTopLeft()), found.GetSize());
}

bool PageShown(CPropertySheet& sheet, int index) {
  CPropertyPage* page = sheet.GetPage(index);
  return sheet.GetActiveIndex() == index && page->GetWxWindow() &&
         tvxtest::OnScreen(page->GetWxWindow());
}

void PressKeys(wxWindow* target, int key, int modifiers) {
  wxUIActionSimulator input;
  const wxRect r = target->GetScreenRect();
  if (!r.Contains(wxGetMousePosition())) {
    input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
    tvxtest::InputHandled();
  }
  tvxtest::EventsHeard releases(wxEVT_KEY_UP);
  input.Char(key, modifiers);
  tvxtest::PumpUntil([&] { return releases.count > 0; });
  tvxtest::InputHandled();
}

// A tab clicked with the pointer shows its page, and Ctrl+PgDn / Ctrl+PgUp walk through
// every page and back.
TEST_F(OptionsSheetInput, TabsAndKeysShowEveryPage) {
  std::vector<int> clicked, walked, back;
  int pages = 0;
  const bool ok = Run([&](CPropiedadesOpciones& sheet) {
    pages = sheet.GetPageCount();
    wxBookCtrlBase* book = sheet.GetSheetDialog()->GetBookCtrl();
    const wxRect tab = TabOnScreen(book, 1);
    if (!tab.IsEmpty()) {
      wxUIActionSimulator input;
      input.MouseMove(tab.x + tab.width / 2, tab.y + tab.height / 2);
      tvxtest::InputHandled();
      tvxtest::ClickHere(input, false);
      tvxtest::PumpUntil([&] { return PageShown(sheet, 1); });
      if (PageShown(sheet, 1)) clicked.push_back(1);
    }
    for (int i = 2; i < pages; ++i) {
      PressKeys(book, WXK_PAGEDOWN, wxMOD_CONTROL);
      tvxtest::PumpUntil([&] { return PageShown(sheet, i); });
      if (PageShown(sheet, i)) walked.push_back(i);
    }
    for (int i = pages - 2; i >= 0; --i) {
      PressKeys(book, WXK_PAGEUP, wxMOD_CONTROL);
      tvxtest::PumpUntil([&] { return PageShown(sheet, i); });
      if (PageShown(sheet, i)) back.push_back(i);
    }
    optstest::PressSheet(sheet, wxID_CANCEL);
  });
  EXPECT_FALSE(ok);
  ASSERT_GT(pages, 2);
  EXPECT_EQ(clicked, std::vector<int>{1});
  std::vector<int> forward, backward;
  for (int i = 2; i < pages; ++i) forward.push_back(i);
  for (int i = pages - 2; i >= 0; --i) backward.push_back(i);
  EXPECT_EQ(walked, forward);
  EXPECT_EQ(back, backward);
}

}  // namespace
