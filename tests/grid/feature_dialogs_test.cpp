// The feature dialogs from the English module's templates under Xvfb, over a real document:
// the object list's grid, deleting selected features, type changes, the visible check box,
// the parts grid, and the point choosers.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/radiobut.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>

#include <filesystem>
#include <functional>

#include "app/strings.h"
#include "dialogs/feature_dialogs.h"
#include "dialogs/program_dialogs.h"
#include "dialogs/waypoint_dialogs.h"
#include "widgets/colour_picker.h"
#include "document/tolvanix_doc.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/ui/modal_windows.h"
#include "platform/options_store.h"
#include "platform/win_app.h"
#include "tests/support/program_windows.h"
#include "tests/support/wx_test_environment.h"
#include "tests/view/real_input.h"

extern "C" const TvxResourceBlob* tvx_program_resources();

namespace {

class FeatureDialogs : public tvxtest::ModuleWindowTest {
 protected:
  FeatureDialogs() : ModuleWindowTest(TVX_BINARY_DIR "/internal/tvx_en.dll") {}
  void SetUp() override {
    static bool resources = [] {
      platform::SetProgramResources(tvx_program_resources());
      return true;
    }();
    (void)resources;
    ModuleWindowTest::SetUp();
    if (IsSkipped()) return;
    setenv("TVX_NO_SOUND", "1", 1);
    dir_ = std::filesystem::temp_directory_path() / ("tvx_features_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_ / "internal");
    for (const char* file : {"tvxdatum.bin", "tvxdtmlist.bin"}) {
      std::filesystem::path shipped = std::filesystem::path(TVX_BINARY_DIR) / "internal" / file;
      if (std::filesystem::exists(shipped) && !std::filesystem::exists(dir_ / "internal" / file)) {
        std::filesystem::copy_file(shipped, dir_ / "internal" / file);
      }
    }
    ModuleDirectory = dir_.string() + "/";
    platform::OptionsStore::Instance().SetPath((dir_ / "registry.ini").string());
    app_ = std::make_unique<CWinApp>("tolvanixpda");
    app_->SetRegistryKey("Vorel - Tolvanix PDA");
    doc_ = std::make_unique<CTolvanixDoc>();
  }
  void TearDown() override {
    doc_.reset();
    app_.reset();
    platform::OptionsStore::Instance().SetPath("");
    std::filesystem::remove_all(dir_);
    ModuleWindowTest::TearDown();
  }
  void Click(CDialog& dlg, int id) {
    wxWindow* button = dlg.GetDlgItemWindow(id);
    ASSERT_NE(button, nullptr) << id;
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const FeatureRecord& f : doc_->m_features) names.push_back(f.name);
    return names;
  }
  std::filesystem::path dir_;
  std::unique_ptr<CWinApp> app_;
  std::unique_ptr<CTolvanixDoc> doc_;
};

TEST_F(FeatureDialogs, ObjectListShowsEveryFeatureAndDeletesExactlyTheSelectedOnes) {
  doc_->m_features[0].name = "A";
  doc_->AddFeature(FeatureType::Area, "B");
  doc_->AddFeature(FeatureType::Line, "C");
  doc_->AddFeature(FeatureType::Area, "D");
  CDlgObjectList dlg(0, doc_.get());
  int rows = 0;
  std::string typeOfC, header;
  wxTheApp->CallAfter([&] {
    rows = dlg.m_Grid.GetRowCount();
    typeOfC = dlg.m_Grid.GetItemText(3, 1);
    header = dlg.m_Grid.GetItemText(0, 3);
    dlg.m_Grid.SetSelectedRange(2, 0, 2, 4);
    for (int c = 0; c < 5; ++c) {
      dlg.m_Grid.SetItemState(4, c, dlg.m_Grid.GetItemState(4, c) | GVIS_SELECTED);
    }
    Click(dlg, 1072);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(rows, 5);
  EXPECT_EQ(typeOfC, LoadResString(59191));
  EXPECT_EQ(header, LoadResString(59197));
  EXPECT_EQ(Names(), (std::vector<std::string>{"A", "C"}));
}

TEST_F(FeatureDialogs, DeletingFeaturesKeepsTheCurrentIndexUnlessItFallsOffTheEnd) {
  // A B C D with C current: deleting A leaves index 2 current, which is now D.
  doc_->m_features[0].name = "A";
  for (const char* name : {"B", "C", "D"}) doc_->AddFeature(FeatureType::Area, name);
  doc_->m_current = 2;
  CDlgObjectList first(2, doc_.get());
  wxTheApp->CallAfter([&] {
    first.m_Grid.SetSelectedRange(1, 0, 1, 4);
    Click(first, 1072);
    Click(first, IDOK);
  });
  first.DoModal();
  EXPECT_EQ(Names(), (std::vector<std::string>{"B", "C", "D"}));
  EXPECT_EQ(doc_->m_current, 2);

  // B C D with D current: deleting D and B takes the index back one step each time.
  CDlgObjectList second(2, doc_.get());
  wxTheApp->CallAfter([&] {
    second.m_Grid.SetSelectedRange(1, 0, 1, 4);
    for (int c = 0; c < 5; ++c) {
      second.m_Grid.SetItemState(3, c, second.m_Grid.GetItemState(3, c) | GVIS_SELECTED);
    }
    Click(second, 1072);
    Click(second, IDOK);
  });
  second.DoModal();
  EXPECT_EQ(Names(), (std::vector<std::string>{"C"}));
  EXPECT_EQ(doc_->m_current, 0);
}

TEST_F(FeatureDialogs, TypeChangesAndTheVisibleBoxReachTheDocument) {
  doc_->m_features[0].type = FeatureType::Circle;
  doc_->m_features[0].visible = 1;
  CDlgObjectList dlg(0, doc_.get());
  std::vector<FeatureType> types;
  std::vector<int> patterns;
  wxTheApp->CallAfter([&] {
    const std::string line = LoadResString(59191);
    const std::string area = LoadResString(59190);
    for (const std::string& chosen : {line, area}) {
      dlg.m_Grid.OnEndEditCell(1, 1, chosen);  // as the drop-down list ends
      types.push_back(doc_->m_features[0].type);
      patterns.push_back(doc_->m_features[0].pattern);
    }
    // A tap on the visible box of row 1 toggles it and stores the grid at once.
    CClientDC dc(&dlg.m_Grid);
    dlg.m_Grid.OnDraw(&dc);
    RECT cell;
    dlg.m_Grid.GetCellRect(1, 3, &cell);
    CPoint box(cell.left + 8, (cell.top + cell.bottom) / 2);
    platform::ui::SimulateMouse(&dlg.m_Grid, platform::ui::MouseAction::LeftDown, box);
    platform::ui::SimulateMouse(&dlg.m_Grid, platform::ui::MouseAction::LeftUp, box);
    Click(dlg, IDOK);
  });
  dlg.DoModal();
  EXPECT_EQ(types, (std::vector<FeatureType>{FeatureType::CircleLine, FeatureType::Circle}));
  EXPECT_EQ(patterns, (std::vector<int>{6, 0}));
  EXPECT_EQ(doc_->m_features[0].visible, 0);
}

TEST_F(FeatureDialogs, AColourCellOpensTheAreaDesignAndTakesItsChoice) {
  doc_->m_features[0].pattern = 0;
  doc_->m_features[0].colour = 0x0000FF;
  CDlgObjectList dlg(0, doc_.get());
  int shownPattern = -2;
  bool radiosEnabled = false;
  // The design dialog runs inside the key press: it is answered once it is on the screen
  // (the vertical-line pattern chosen).
  wxTimer answer;
  answer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    for (wxWindow* top : wxTopLevelWindows) {
      auto* dialog = dynamic_cast<CDlgAreaDesign*>(CWnd::FromWxWindow(top));
      if (!dialog || !tvxtest::OnScreen(top)) continue;
      answer.Stop();
      auto* solid = static_cast<wxRadioButton*>(dialog->GetDlgItemWindow(1077));
      shownPattern = solid && solid->GetValue() ? 0 : -1;
      radiosEnabled = solid && solid->IsEnabled();
      static_cast<wxRadioButton*>(dialog->GetDlgItemWindow(1079))->SetValue(true);
      Click(*dialog, IDOK);
    }
  });
  wxTheApp->CallAfter([&] {
    auto* top = dynamic_cast<wxTopLevelWindow*>(dlg.GetWxWindow());
    ASSERT_TRUE(top && tvxtest::PumpUntil([&] {
      return tvxtest::OnScreen(top) && (!tvxtest::WindowManagerRuns() || top->IsActive());
    }));
    RECT cell;
    dlg.m_Grid.GetCellRect(1, 2, &cell);
    tvxtest::RealClick(dlg.m_Grid, (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    ASSERT_EQ(dlg.m_Grid.GetFocusCell(), GridCellId(1, 2));
    answer.Start(50);
    tvxtest::RealKey(dlg.m_Grid, WXK_F2);
    tvxtest::PumpUntil([&] { return shownPattern != -2; });
    Click(dlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(shownPattern, 0);
  EXPECT_TRUE(radiosEnabled);
  EXPECT_EQ(doc_->m_features[0].pattern, 2);
  EXPECT_EQ(doc_->m_features[0].colour, 0x0000FFu);
}

// The design dialog as the screen shows it: its colour picker's swatch in the chosen colour,
// and in a colour tapped in the picker's popup once the popup has closed.
TEST_F(FeatureDialogs, TheDesignDialogsSwatchShowsTheColourOnTheScreen) {
  CDlgAreaDesign area(static_cast<int>(FeatureType::Area));
  area.m_pattern = 0;
  area.m_color = 0x00FF00;
  int before = -1, after = -1;
  COLORREF tapped = 0;
  std::vector<COLORREF> keyed;
  bool stillOpen = false;
  // The steps stop at the first failure; the dialog is closed in any case.
  auto steps = [&] {
    auto* top = dynamic_cast<wxTopLevelWindow*>(area.GetWxWindow());
    ASSERT_TRUE(top && tvxtest::ShowOnScreen(top));
    CColourPicker& picker = area.m_colourPicker;
    auto swatch = [&](COLORREF colour) {
      return tvxtest::PixelsOnScreen(picker.GetWxWindow()->GetScreenRect(), colour);
    };
    tvxtest::PumpUntil([&] { return (before = swatch(RGB(0, 255, 0))) > 50; });
    CRect r;
    picker.GetClientRect(&r);
    tvxtest::RealClick(picker, r.Width() / 2, r.Height() / 2);
    ASSERT_TRUE(tvxtest::PumpUntil([&] {
      CColourPickerPopup* p = picker.GetPopup();
      return p && tvxtest::OnScreen(p->GetWxWindow());
    }));
    CColourPickerPopup* popup = picker.GetPopup();
    const CPoint cell = popup->Layout().CellRect(13).CenterPoint();
    tvxtest::RealClick(*popup, cell.x, cell.y);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return !picker.IsPopupOpen(); }));
    tapped = picker.GetColour();
    tvxtest::PumpUntil([&] { return (after = swatch(tapped)) > 50; });

    // The popup takes the keys inside the modal dialog: Escape closes the popup only, and
    // an arrow and Enter choose the next colour.
    for (int key : {WXK_ESCAPE, WXK_RETURN}) {
      tvxtest::RealClick(picker, r.Width() / 2, r.Height() / 2);
      if (!tvxtest::PumpUntil([&] {
            CColourPickerPopup* p = picker.GetPopup();
            return p && tvxtest::OnScreen(p->GetWxWindow());
          }))
        break;
      tvxtest::RealKey(picker, WXK_RIGHT);
      tvxtest::PumpUntil([&] { return picker.GetPopup()->GetHighlightedCell() == 14; });
      tvxtest::RealKey(picker, key);
      if (!tvxtest::PumpUntil([&] { return !picker.IsPopupOpen(); })) picker.OnClicked();
      keyed.push_back(picker.GetColour());
    }
    stillOpen = top->IsShown();
  };
  wxTheApp->CallAfter([&] {
    steps();
    if (area.m_colourPicker.IsPopupOpen()) area.m_colourPicker.OnClicked();
    if (area.GetDialog() && area.GetDialog()->IsModal()) Click(area, IDCANCEL);
  });
  area.DoModal();
  EXPECT_GT(before, 50);
  EXPECT_NE(tapped, RGB(0, 255, 0));
  EXPECT_GT(after, 50) << "the swatch shows the tapped colour";
  EXPECT_EQ(keyed, (std::vector<COLORREF>{tapped, RGB(123, 123, 192)}));  // blue-grey
  EXPECT_TRUE(stillOpen);
}

// A request to end the program while the design dialog's colour popup is open (SIGTERM,
// Ctrl+C): the modal windows are ended innermost first, as their user ends them, before the
// program's exit command may destroy anything: the popup as Escape ends it (the colour as it
// was), then the dialog as its close button does (cancelled).
TEST_F(FeatureDialogs, ARequestToEndUnderTheColourPopupEndsThePopupThenTheDialog) {
  CDlgAreaDesign area(static_cast<int>(FeatureType::Area));
  area.m_pattern = 0;
  area.m_color = 0x00FF00;
  std::vector<std::string> ended;  // what each step of the request ended
  bool popupSeenOpen = false;
  wxTheApp->CallAfter([&] {
    auto* top = dynamic_cast<wxTopLevelWindow*>(area.GetWxWindow());
    ASSERT_TRUE(top && tvxtest::ShowOnScreen(top));
    CColourPicker& picker = area.m_colourPicker;
    CRect r;
    picker.GetClientRect(&r);
    tvxtest::RealClick(picker, r.Width() / 2, r.Height() / 2);
    ASSERT_TRUE(tvxtest::PumpUntil([&] {
      CColourPickerPopup* p = picker.GetPopup();
      return p && tvxtest::OnScreen(p->GetWxWindow());
    }));
    popupSeenOpen = true;
    // As the program's end request does on each tick, until no modal window is left (a
    // window asked to end counts until it has gone).
    while (platform::ui::AnyModalWindowOpen() && ended.size() < 4) {
      bool asked = false;
      ASSERT_TRUE(tvxtest::PumpUntil([&] {
        asked = asked || !platform::ui::AnyModalWindowOpen() || platform::ui::EndInnermostModalWindow();
        return asked;
      }));
      tvxtest::PumpUntil([&] { return !picker.IsPopupOpen() || !top->IsShown(); });
      ended.push_back(picker.IsPopupOpen() ? "?" : top->IsShown() ? "popup" : "dialog");
      if (!top->IsShown()) break;
    }
  });
  EXPECT_EQ(area.DoModal(), IDCANCEL);
  EXPECT_TRUE(popupSeenOpen);
  EXPECT_EQ(ended, (std::vector<std::string>{"popup", "dialog"}));
  EXPECT_FALSE(platform::ui::AnyModalWindowOpen());
  EXPECT_EQ(area.m_color, 0x00FF00u);
}

TEST_F(FeatureDialogs, ALineDesignHasNoPatternAndAnAreaDesignBecomesTheDefault) {
  CDlgAreaDesign line(static_cast<int>(FeatureType::Line));
  line.m_pattern = 2;
  bool radioEnabled = true, labelEnabled = true;
  wxTheApp->CallAfter([&] {
    radioEnabled = line.GetDlgItemWindow(1080)->IsEnabled();
    labelEnabled = line.GetDlgItemWindow(1090)->IsEnabled();
    Click(line, IDOK);
  });
  EXPECT_EQ(line.DoModal(), IDOK);
  EXPECT_FALSE(radioEnabled);
  EXPECT_FALSE(labelEnabled);
  EXPECT_EQ(line.m_pattern, -1);

  CDlgAreaDesign area(static_cast<int>(FeatureType::Area));
  area.m_pattern = 4;
  area.m_color = 0x00FF00;
  wxTheApp->CallAfter([&] {
    Click(area, 1091);
    Click(area, IDCANCEL);
  });
  area.DoModal();
  EXPECT_EQ(app_->GetProfileInt("Opciones", "Pattern", -9), 4u);
  EXPECT_EQ(app_->GetProfileInt("Opciones", "Color", -9), 0x00FF00u);
  FeatureRecord& later = doc_->AddFeature(FeatureType::Area, "later");
  EXPECT_EQ(later.pattern, 4);
  EXPECT_EQ(later.colour, 0x00FF00u);
}

TEST_F(FeatureDialogs, AnAreaShownWithoutAPatternTakesTheCheckedRadio) {
  CDlgAreaDesign area(static_cast<int>(FeatureType::Area));
  area.m_pattern = -1;
  wxTheApp->CallAfter([&] {
    static_cast<wxRadioButton*>(area.GetDlgItemWindow(1082))->SetValue(true);
    Click(area, IDOK);
  });
  EXPECT_EQ(area.DoModal(), IDOK);
  EXPECT_EQ(area.m_pattern, 5);  // the sixth radio: rising diagonal
}

TEST_F(FeatureDialogs, PartsGridClosesAtOnceWithoutPartsAndSubtractsOnRequest) {
  CDlgObjectGrid none(0, doc_.get());
  EXPECT_EQ(none.DoModal(), IDOK);

  // A field of about 100 m x 100 m and a hole of a quarter of it.
  for (auto [x, y] : {std::pair{0, 0}, {2, 0}, {2, 2}, {0, 2}}) {
    const GeoPoint p{2.0 + x * 0.0006, 41.0 + y * 0.00045};
    doc_->m_features[0].AddVertex(p, p, 0);
  }
  FeatureRecord& part = doc_->AddFeature(FeatureType::Part, "hole");
  part.link = 0;
  part.subtract = 0;
  for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
    const GeoPoint p{2.0 + x * 0.0006, 41.0 + y * 0.00045};
    part.AddVertex(p, p, 0);
  }
  doc_->RecomputeAreasAndWait(-1);
  CDlgObjectGrid dlg(0, doc_.get());
  int rows = 0;
  std::string summary, expectedSummary, subtractHeader;
  wxTheApp->CallAfter([&] {
    rows = dlg.m_Grid.GetRowCount();
    subtractHeader = dlg.m_Grid.GetItemText(0, 2);  // the column of check boxes
    Click(dlg, 1286);
    summary = dlg.GetDlgItemText(1289);
    expectedSummary = doc_->m_features[0].name + "\nArea without its parts: " +
                      doc_->GetAreaText(0, true) + "\nGross area: " + doc_->GetAreaText(0, false);
    Click(dlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(doc_->m_features[1].subtract, 1);
  // Each text says what it is: the parts' check boxes subtract, the summary's two areas
  // differ by the subtracted part.
  EXPECT_EQ(subtractHeader, "Subtract");
  EXPECT_EQ(summary, expectedSummary);
  EXPECT_NE(doc_->GetAreaText(0, true), doc_->GetAreaText(0, false));
}

TEST_F(FeatureDialogs, PointChoosersListLabelsWithNotesAndHandBackTheChoice) {
  FeatureRecord& feature = doc_->m_features[0];
  for (int i = 0; i < 3; ++i) feature.AddVertex({-3.0 + i * 1e-4, 40.0}, {-3.0 + i * 1e-4, 40.0}, 0);
  feature.vertexNotes[1] = "abc";
  CDlgDeletePoints del(feature.name, doc_.get());
  std::vector<std::string> labels;
  wxTheApp->CallAfter([&] {
    auto* list = static_cast<wxListBox*>(del.GetDlgItemWindow(1010));
    for (unsigned i = 0; i < list->GetCount(); ++i) labels.push_back(list->GetString(i).utf8_string());
    list->SetSelection(0);
    list->SetSelection(2);
    Click(del, IDOK);
  });
  EXPECT_EQ(del.DoModal(), IDOK);
  EXPECT_EQ(labels, (std::vector<std::string>{"Point 1", "Point 2 (abc)", "Point 3"}));
  EXPECT_EQ(del.m_chosen, (std::vector<int>{0, 2}));

  CDlgPickPoint pick("Insert", doc_.get());
  int items = 0;
  wxTheApp->CallAfter([&] {
    auto* combo = static_cast<wxChoice*>(pick.GetDlgItemWindow(1012));
    items = static_cast<int>(combo->GetCount());
    combo->SetSelection(1);
    Click(pick, IDOK);
  });
  EXPECT_EQ(pick.DoModal(), IDOK);
  EXPECT_EQ(items, 2);  // every point but the last
  EXPECT_EQ(pick.m_index, 1);
}

TEST_F(FeatureDialogs, NotesLongerThanSixCharactersAreRefusedAndShortOnesKept) {
  FeatureRecord& feature = doc_->m_features[0];
  for (int i = 0; i < 2; ++i) feature.AddVertex({-3.0 + i * 1e-4, 40.0}, {-3.0 + i * 1e-4, 40.0}, 0);
  CDlgNotas dlg(doc_.get());
  std::string labelAfter;
  wxTheApp->CallAfter([&] {
    auto* list = static_cast<wxListBox*>(dlg.GetDlgItemWindow(1103));
    auto select = [&](int index) {
      list->SetSelection(index);
      dlg.OnSelchangeVertex();
    };
    select(0);
    platform::MessageBoxScript::Push(IDOK);
    dlg.SetDlgItemText(1104, "toolong");
    select(1);  // refused: the list stays on the first point
    dlg.SetDlgItemText(1104, "gate");
    select(1);
    labelAfter = list->GetString(0).utf8_string();
    Click(dlg, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Please enter no more than 6 characters.");
  EXPECT_EQ(feature.vertexNotes, (std::vector<std::string>{"gate", ""}));
  EXPECT_EQ(labelAfter, "Point 1 *");

  // The note is taken when the edit is left, also on the way to Cancel.
  CDlgNotas again(doc_.get());
  wxTheApp->CallAfter([&] {
    static_cast<wxListBox*>(again.GetDlgItemWindow(1103))->SetSelection(1);
    again.OnSelchangeVertex();
    again.SetDlgItemText(1104, "post");
    Click(again, IDCANCEL);
  });
  EXPECT_EQ(again.DoModal(), IDCANCEL);
  EXPECT_EQ(feature.vertexNotes, (std::vector<std::string>{"gate", "post"}));
}

}  // namespace

namespace {

TEST_F(FeatureDialogs, ObjectListOpensOnTheFeatureItsOpenerNames) {
  doc_->m_features[0].name = "A";
  doc_->AddFeature(FeatureType::Area, "B");
  doc_->AddFeature(FeatureType::Line, "C");
  doc_->m_current = 0;
  CDlgObjectList dlg(2, doc_.get());  // Properties of the tapped "C"
  int chosen = -1;
  std::string detailsName;
  wxTheApp->CallAfter([&] {
    chosen = CComboBox(dlg.GetDlgItem(1075)).GetCurSel();
    detailsName = dlg.m_details.GetItemText(0, 1);
    Click(dlg, IDOK);
  });
  dlg.DoModal();
  EXPECT_EQ(chosen, 2);
  EXPECT_EQ(detailsName, "C");
}

TEST_F(FeatureDialogs, ALinesDefaultDesignKeepsThePatternOfNewAreas) {
  app_->WriteProfileInt("Opciones", "Pattern", 3);
  CDlgAreaDesign line(static_cast<int>(FeatureType::Line));
  line.m_color = 0x0000FF;
  wxTheApp->CallAfter([&] {
    Click(line, 1091);
    Click(line, IDCANCEL);
  });
  line.DoModal();
  EXPECT_EQ(app_->GetProfileInt("Opciones", "Pattern", -9), 3u);
  EXPECT_EQ(app_->GetProfileInt("Opciones", "Color", -9), 0x0000FFu);
  EXPECT_EQ(doc_->AddFeature(FeatureType::Area, "later").pattern, 3);
}

}  // namespace

namespace {

// Real input on the modal dialogs: waiting for the dialog, clicks on grid cells (Ctrl held
// when asked) and a quick tap on a button (press and release at once, as a stylus taps).
bool DialogOnScreen(CDialog& dlg) {
  auto* top = dynamic_cast<wxTopLevelWindow*>(dlg.GetWxWindow());
  return top && tvxtest::PumpUntil([&] {
           return tvxtest::OnScreen(top) && (!tvxtest::WindowManagerRuns() || top->IsActive());
         });
}

void ClickCell(CGridCtrl& grid, int row, int col, bool ctrl = false) {
  RECT cell;
  grid.GetCellRect(row, col, &cell);
  wxUIActionSimulator input;
  if (ctrl) input.KeyDown(WXK_CONTROL);
  tvxtest::RealClick(grid, (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
  if (ctrl) input.KeyUp(WXK_CONTROL);
  tvxtest::InputHandled();
}

void QuickTap(CDialog& dlg, int id) {
  const wxRect button = dlg.GetDlgItemWindow(id)->GetScreenRect();
  wxUIActionSimulator input;
  input.MouseMove(button.x + button.width / 2, button.y + button.height / 2);
  input.MouseDown();
  input.MouseUp();
}

// The object list, noting the first name as its OK command leaves it.
class ObjectListSeen : public CDlgObjectList {
 public:
  using CDlgObjectList::CDlgObjectList;
  void OnOK() override {
    CDlgObjectList::OnOK();
    atOK = m_doc->m_features[0].name;
  }
  std::string atOK;
};

// A button of the object list or the waypoint table tapped while the name of the first row
// is being typed: the button's command finds the name stored (and a rebuilt grid keeps it).
struct QuickTapCase {
  const char* what;
  bool waypoints;   // the waypoint table, else the object list
  int button;
  bool otherRow;    // the second row is selected (the one the button acts on), not the first
  std::function<bool(CGridCtrl&)> done;  // the button's command has run
  std::vector<std::string> names;        // afterwards, after OK
};

TEST_F(FeatureDialogs, AButtonTappedWhileANameIsTypedFindsTheNameStored) {
  const std::string imported = (dir_ / "more.tvx").string();
  {
    CTolvanixDoc other;
    other.m_features[0].name = "Imp";
    ASSERT_TRUE(other.OnSaveDocument(imported));
  }
  auto rows = [](int n) { return [n](CGridCtrl& grid) { return grid.GetRowCount() == n; }; };
  const QuickTapCase cases[] = {
      {"object list, OK", false, IDOK, false, nullptr, {"qx", "B", "C"}},
      {"object list, New", false, 1071, false, rows(5), {"qx", "B", "C", LoadResString(59167)}},
      {"object list, Delete", false, 1072, true, rows(3), {"qx", "C"}},
      {"object list, Import", false, 1073, false, rows(5), {"qx", "B", "C", "Imp"}},
      {"waypoint table, Add row", true, 1021, false, rows(9), {"qx", "B"}},
      {"waypoint table, Blank rows", true, 1022, true,
       [](CGridCtrl& grid) { return grid.GetItemText(2, 1).empty(); }, {"qx"}},
  };
  for (const QuickTapCase& c : cases) {
    SCOPED_TRACE(c.what);
    doc_ = std::make_unique<CTolvanixDoc>();
    doc_->m_features[0].name = "A";
    doc_->AddFeature(FeatureType::Area, "B");
    doc_->AddFeature(FeatureType::Area, "C");
    platform::FileDialogScript::Clear();
    platform::FileDialogScript::Push(imported);
    std::unique_ptr<CDialog> dlg;
    CGridCtrl* grid = nullptr;
    ObjectListSeen* list = nullptr;
    CDlgWaypointTable* table = nullptr;
    int nameCol = 0;
    if (c.waypoints) {
      std::vector<WaypointRecord> waypoints(2);
      waypoints[0].name = "A";
      waypoints[1].name = "B";
      for (WaypointRecord& w : waypoints) {
        w.x = -3.5;
        w.y = 40.25;
      }
      // Opened on B (as B's popup opens it): a tap on A's name makes A's cell the current
      // one, and the typing replaces its name (a tap on the current cell would edit its text).
      auto made = std::make_unique<CDlgWaypointTable>("WGS84", 1, waypoints,
                                                      std::vector<std::string>{"", ""},
                                                      doc_.get());
      table = made.get();
      grid = &made->m_Grid;
      dlg = std::move(made);
      nameCol = 1;
    } else {
      auto made = std::make_unique<ObjectListSeen>(0, doc_.get());
      list = made.get();
      grid = &made->m_Grid;
      dlg = std::move(made);
    }
    bool editing = false;
    wxTheApp->CallAfter([&] {
      if (!DialogOnScreen(*dlg)) return dlg->EndDialog(IDCANCEL);
      if (c.otherRow) {
        // The second row selected; the first has the focus without being selected.
        ClickCell(*grid, 2, nameCol + 1);
        ClickCell(*grid, 1, nameCol + 1, true);
        ClickCell(*grid, 1, nameCol, true);
      } else {
        ClickCell(*grid, 1, nameCol);
      }
      tvxtest::RealKey(*grid, 'q');
      tvxtest::RealKey(*grid, 'x');
      editing = grid->GetCell(1, nameCol)->IsEditing();
      QuickTap(*dlg, c.button);
      tvxtest::PumpUntil([&] { return !dlg->GetDialog()->IsModal() || (c.done && c.done(*grid)); });
      if (dlg->GetDialog()->IsModal()) Click(*dlg, IDOK);
    });
    EXPECT_EQ(dlg->DoModal(), IDOK);
    EXPECT_TRUE(editing);
    std::vector<std::string> names;
    if (table) {
      for (const WaypointRecord& w : table->m_waypoints) names.push_back(w.name);
    } else {
      EXPECT_EQ(list->atOK, "qx");
      names = Names();
    }
    EXPECT_EQ(names, c.names);
  }
  platform::FileDialogScript::Clear();
}

}  // namespace

namespace {

// The message boxes the program shows while it lives, with their texts; a box is closed from
// its title bar by the timer of the test, as a user closes it.
class BoxesClosed : public wxModalDialogHook {
 public:
  BoxesClosed() : windows_(::getpid()) {
    Register();
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
      if (!open_) return;
      for (const tvxtest::ProgramWindow& w : windows_.Shown())
        if (w.title == open_->GetTitle().utf8_string()) windows_.Close(w);
    });
    timer_.Start(50);
  }
  ~BoxesClosed() override { Unregister(); }
  bool Open() const { return open_ != nullptr; }
  std::vector<std::string> texts;

 protected:
  int Enter(wxDialog* dialog) override {
    if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) {
      texts.push_back(box->GetMessage().utf8_string());
      open_ = box;
    }
    return wxID_NONE;
  }
  void Exit(wxDialog* dialog) override {
    if (dialog == open_) open_ = nullptr;
  }

 private:
  tvxtest::ProgramWindows windows_;
  wxTimer timer_;
  wxMessageDialogBase* open_ = nullptr;
};

// The waypoint table as its command opens it (in the projected display when chosen in its
// list); keys typed on a cell of a waypoint at 40.4° N, then OK clicked, with or without Enter
// before: a letter of the N / S cell read whatever its case; any other text, a latitude that is
// not a number, a zone beyond 60 and an easting that names no place on the earth refused with a
// box and the old value kept; a latitude or northing cleared on the waypoint's row refused at
// OK. A refusal on the way to OK leaves the table open on the cell, where a good value typed
// and OK are taken.
TEST_F(FeatureDialogs, TextTypedIntoTheWaypointTableIsReadAsMeantOrRefused) {
  ProgramDialogs dialogs;
  CTolvanixDoc::SetDocumentDialogs(&dialogs);
  const struct {
    bool projected;
    int column;
    const char* typed;  // '\b' for Backspace
    bool enter;         // Enter ends the edit before OK is clicked
    const char* shown;  // in the cell once the edit ended; nullptr: the text it had before
    std::vector<std::string> boxes;
    const char* retyped;  // typed where the refused table stays, then OK; nullptr: it closed
    double longitude, latitude, within;
  } cases[] = {
      {true, 6, "n", true, "N", {}, nullptr, -3.7, 40.4, 1e-7},
      // The same easting and northing, south.
      {true, 6, "s", true, "S", {}, nullptr, -3.827, -49.898, 1e-3},
      {true, 6, "x", true, nullptr, {"Error in N / S\nRow 1"}, nullptr, -3.7, 40.4, 1e-7},
      {false, 3, "abc", true, nullptr, {"Error in Latitude\nRow 1"}, nullptr, -3.7, 40.4, 1e-7},
      {false, 3, "abc", false, nullptr, {"Error in Latitude\nRow 1"}, "41.5", -3.7, 41.5, 1e-7},
      {true, 5, "61", false, nullptr, {"Error in zone\nRow 1"}, "31", -3.7, 40.4, 1e-7},
      // Beyond the earth in zone 30, refused as the edit ends; then on its central meridian
      // (PROJ: EPSG:32630 -> 4326).
      {true, 2, "9000000000", true, nullptr, {"Error in Easting\nRow 1"}, nullptr, -3.7, 40.4,
       1e-7},
      {true, 2, "9000000000", false, nullptr, {"Error in Easting\nRow 1"}, "500000", -3.0,
       40.4021188, 1e-6},
      // Cleared: the waypoint is not moved to the equator.
      {false, 3, "x\b", false, "", {"Error in Latitude\nRow 1"}, "41.5", -3.7, 41.5, 1e-7},
      {true, 3, "x\b", true, "", {"Error in Northing\nRow 1"}, "4430000", -3.6960822, 40.0181164,
       1e-6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + (c.enter ? ", Enter" : "") + ", OK");
    doc_->m_geoType = 0;
    WaypointRecord w;
    w.name = "Pozo";
    w.x = -3.7;
    w.y = 40.4;
    doc_->m_waypoints = {w};
    doc_->m_waypointNotes = {""};
    BoxesClosed boxes;
    std::string before, shown;
    bool stayed = false, onTheCell = false, storedMeanwhile = true, ended = false;
    // The steps stop at the first that fails; the table is closed in any case.
    auto steps = [&](CDlgWaypointTable& table) {
      if (!DialogOnScreen(table)) return;
      CGridCtrl& grid = table.m_Grid;
      if (c.projected) {
        // "UTM" chosen in the display list: a tap opens the list (which takes the pointer's
        // release itself), Escape closes it with the keys on the list's button, and Up takes
        // the item above "Lat / Lon".
        const wxRect list = table.GetDlgItemWindow(1020)->GetScreenRect();
        wxUIActionSimulator keys;
        keys.MouseMove(list.x + list.width / 2, list.y + list.height / 2);
        tvxtest::InputHandled();
        keys.MouseClick();
        tvxtest::InputHandled();
        tvxtest::ProgramWindows windows(::getpid());
        if (!tvxtest::PumpUntil([&] { return windows.PopupOpen(); })) return;
        keys.Char(WXK_ESCAPE);
        tvxtest::InputHandled();
        if (!tvxtest::PumpUntil([&] { return !windows.PopupOpen(); })) return;
        keys.Char(WXK_UP);
        tvxtest::InputHandled();
        if (!tvxtest::PumpUntil([&] { return grid.GetColumnCount() == 7; })) return;
      }
      grid.EnsureVisible(1, c.column);
      ClickCell(grid, 1, c.column);
      if (grid.GetFocusCell() != GridCellId(1, c.column)) return;
      before = grid.GetItemText(1, c.column);
      // Typed on the current cell: the first key opens its edit with the key in place of the
      // text. (An edit opened by the first key may take its release itself, and a box Enter's.)
      auto type = [&](const char* text) {
        wxUIActionSimulator typing;
        for (const char* key = text; *key; ++key) {
          typing.Char(*key == '\b' ? int{WXK_BACK} : *key);
          tvxtest::InputHandled();
        }
        return tvxtest::PumpUntil([&] { return grid.GetCell(1, c.column)->IsEditing(); });
      };
      // OK clicked with the pointer; the loop runs until the table closed or the boxes the
      // click set off are closed and what followed them has run.
      auto ok = [&] {
        tvxtest::RealClick(*table.GetDlgItemWindow(IDOK));
        tvxtest::PumpUntil([&] {
          return !table.GetDialog()->IsModal() ||
                 (boxes.texts.size() >= c.boxes.size() && !boxes.Open());
        });
        tvxtest::InputHandled();
        return !table.GetDialog()->IsModal();
      };
      if (!type(c.typed)) return;
      if (c.enter) {
        wxUIActionSimulator keys;
        keys.Char(WXK_RETURN);
        tvxtest::InputHandled();
        if (!tvxtest::PumpUntil([&] { return !grid.GetCell(1, c.column)->IsEditing(); })) return;
        shown = grid.GetItemText(1, c.column);
      }
      if (ok()) {
        ended = true;
        return;
      }
      stayed = true;
      if (!c.enter) shown = grid.GetItemText(1, c.column);
      onTheCell = grid.GetFocusCell() == GridCellId(1, c.column) &&
                  !grid.GetCell(1, c.column)->IsEditing();
      storedMeanwhile = doc_->m_waypoints.size() != 1 || doc_->m_waypoints[0].x != -3.7 ||
                        doc_->m_waypoints[0].y != 40.4;
      if (c.retyped && type(c.retyped)) ended = ok();
    };
    wxTheApp->CallAfter([&] {
      for (wxWindow* top : wxTopLevelWindows) {
        auto* table = dynamic_cast<CDlgWaypointTable*>(CWnd::FromWxWindow(top));
        if (!table) continue;
        steps(*table);
        if (table->GetDialog()->IsModal()) table->EndDialog(IDCANCEL);
      }
    });
    ASSERT_TRUE(doc_->OnCmdMsg(32864, CN_COMMAND, nullptr));
    ASSERT_TRUE(ended) << "the table was not ended with its OK button";
    EXPECT_EQ(shown, c.shown ? c.shown : before);
    EXPECT_EQ(boxes.texts, c.boxes);
    EXPECT_EQ(stayed, c.retyped != nullptr) << "the table stayed open after the refusal";
    if (c.retyped) {
      EXPECT_TRUE(onTheCell) << "the refused table is on the cell";
      EXPECT_FALSE(storedMeanwhile);
    }
    ASSERT_EQ(doc_->m_waypoints.size(), 1u);
    EXPECT_NEAR(doc_->m_waypoints[0].x, c.longitude, c.within);
    EXPECT_NEAR(doc_->m_waypoints[0].y, c.latitude, c.within);
  }
  CTolvanixDoc::SetDocumentDialogs(nullptr);
}

}  // namespace
