// The coordinate dialogs in a real wxWidgets application (under Xvfb): the datum page in a
// property sheet and the projection dialog, opened by template id from the English module,
// driven through their controls, with message boxes answered from the script.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <wx/app.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/propdlg.h>
#include <wx/textctrl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "tests/support/wx_test_environment.h"
#include "app/strings.h"
#include "coords/record_io.h"
#include "coords/transform_set.h"
#include "coords/ui/dlg_projection.h"
#include "coords/ui/page_datum.h"
#include "platform/message_box.h"
#include "platform/modules.h"
#include "platform/threads.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/win_app.h"
#include "tests/coords_gdal/test_support.h"

namespace {

CWinApp g_app("tvxtest");

using tvxtest::WxEnvironment;

const std::string kBuiltInternal = std::string(TVX_BINARY_DIR) + "/internal/";

// A program folder of its own: the module's strings and templates, and the datum files the
// build generated copied into its "internal" folder when asked.
class CoordsWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!WxEnvironment::ready) GTEST_SKIP() << "needs a display (the test command runs Xvfb)";
    module_ = LoadLibrary((kBuiltInternal + "tvx_en.dll").c_str());
    ASSERT_NE(module_, nullptr);
    AfxSetResourceHandle(module_);
    std::filesystem::create_directories(internal());
    ModuleDirectory = dir.path().string() + "/";
    platform::MessageBoxScript::Clear();
  }
  void TearDown() override {
    AfxSetResourceHandle(nullptr);
    if (module_) FreeLibrary(module_);
  }
  std::filesystem::path internal() const { return dir.path() / "internal"; }
  void CopyDatumFiles() {
    for (const char* name : {kDatumListFileName, kDatumNamesFileName})
      std::filesystem::copy_file(kBuiltInternal + name, internal() / name);
  }
  ScratchFolder dir;
  HMODULE module_ = nullptr;
};

template <class T>
T* Control(CWnd& wnd, int id) {
  return dynamic_cast<T*>(wnd.GetDlgItemWindow(id));
}

void Type(CWnd& wnd, int id, const char* text) {
  Control<wxTextCtrl>(wnd, id)->ChangeValue(wxString::FromUTF8(text));
}

// Selects an item as the user does: the control changes, then it tells its window.
void Choose(CWnd& wnd, int id, int index) {
  wxWindow* control = wnd.GetDlgItemWindow(id);
  auto* items = dynamic_cast<wxItemContainer*>(control);
  items->SetSelection(index);
  wxCommandEvent event(dynamic_cast<wxComboBox*>(control) ? wxEVT_COMBOBOX : wxEVT_CHOICE, id);
  event.SetEventObject(control);
  event.SetInt(index);
  control->ProcessWindowEvent(event);
}

void Click(wxWindow* button) {
  wxCommandEvent event(wxEVT_BUTTON, button->GetId());
  event.SetEventObject(button);
  button->ProcessWindowEvent(event);
}

void PressSheetOk(CPropertySheet& sheet) { Click(sheet.GetSheetDialog()->FindWindow(wxID_OK)); }

double Shown(CWnd& wnd, int id) {
  double value = 0;
  EXPECT_TRUE(ParseDialogNumber(wnd.GetDlgItemText(id), value)) << id;
  return value;
}

bool Enabled(CWnd& wnd, int id) { return wnd.GetDlgItemWindow(id)->IsEnabled(); }

TEST_F(CoordsWindows, DatumPageShowsListDatumsNegatedAndTakesATypedUserDatum) {
  CopyDatumFiles();
  const auto stored = ReadBytes(internal() / kDatumListFileName);
  const int k = 100;  // stored negated in the list file: the page shows the shift as used
  const double storedDx = ReadLeDouble(stored, (k - 1) * 80 + 16);
  const double storedA = ReadLeDouble(stored, (k - 1) * 80);

  CPropertySheet sheet(std::string("Options"));
  CPageDatum page;
  page.m_datumIndex = 0;
  page.m_values = DatumRecord{};
  sheet.AddPage(&page);
  bool readOnlyAtStart = true, userEditable = false, stayed = false;
  int entries = 0;
  std::string last;
  wxTheApp->CallAfter([&] {
    CComboBox combo(page.GetDlgItem(1038));
    entries = combo.GetCount();
    last = combo.GetLBText(entries - 1);
    readOnlyAtStart = !Enabled(page, 1028) && !Enabled(page, 1036) && !Enabled(page, 1232);
    Choose(page, 1038, k);
    EXPECT_DOUBLE_EQ(Shown(page, 1030), -storedDx);
    EXPECT_DOUBLE_EQ(Shown(page, 1028), storedA);
    // The user datum without a file: the values stay and become editable.
    Choose(page, 1038, 271);
    userEditable = Enabled(page, 1028) && Enabled(page, 1036) && !Enabled(page, 1232);
    EXPECT_DOUBLE_EQ(Shown(page, 1030), -storedDx);
    Type(page, 1028, "6356000");  // a below b: refused with a message
    platform::MessageBoxScript::Push(IDOK);
    PressSheetOk(sheet);
    stayed = sheet.GetSheetDialog()->IsModal();
    Type(page, 1028, "6378388");
    Type(page, 1029, "6356911.946");
    Type(page, 1030, "-87");
    PressSheetOk(sheet);
  });
  ASSERT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(entries, 272);
  EXPECT_EQ(last, "User defined / Definido por usuario");
  EXPECT_TRUE(readOnlyAtStart);
  EXPECT_TRUE(userEditable);
  EXPECT_TRUE(stayed);
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find("semi-major"), std::string::npos);
  EXPECT_EQ(page.m_datumIndex, 271);
  EXPECT_EQ(page.m_values.a, 6378388);
  EXPECT_EQ(page.m_values.b, 6356911.946);
  EXPECT_EQ(page.m_values.dX, -87);
  EXPECT_EQ(page.m_values.CodeText(), "");
}

TEST_F(CoordsWindows, DatumPageWithoutItsFilesSaysSoAndDoesNotOpen) {
  CPropertySheet sheet(std::string("Options"));
  CPageDatum page;
  page.m_datumIndex = 12;
  sheet.AddPage(&page);
  platform::MessageBoxScript::Push(IDOK);
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find("Fatal Error: The resource file was not found"), std::string::npos);
  EXPECT_NE(shown[0].text.find("tvxdatum.bin"), std::string::npos);
  EXPECT_EQ(page.m_datumIndex, 12);
}

// A list whose record for datum 12 holds another number: choosing datum 12 says which record
// is wrong and why, and the values shown so far stay.
TEST_F(CoordsWindows, DatumPageSaysWhichRecordOfADamagedListIsWrong) {
  CopyDatumFiles();
  auto bytes = ReadBytes(internal() / kDatumListFileName);
  WriteLeInt32(bytes, 11 * kDatumRecordSize + 72, 13);
  WriteBytes(internal() / kDatumListFileName, bytes);

  CPropertySheet sheet(std::string("Options"));
  CPageDatum page;
  page.m_datumIndex = 0;
  page.m_values = Wgs84DatumRecord();
  sheet.AddPage(&page);
  double aAfter = 0;
  wxTheApp->CallAfter([&] {
    platform::MessageBoxScript::Push(IDOK);
    Choose(page, 1038, 12);
    aAfter = Shown(page, 1028);
    Click(sheet.GetSheetDialog()->FindWindow(wxID_CANCEL));
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text,
            "Datum 12 cannot be used: record 12 of the datum list \"internal/tvxdatum.bin\", which "
            "belongs to datum 12, holds datum 13.");
  EXPECT_EQ(aAfter, Wgs84DatumRecord().a);
}

TEST_F(CoordsWindows, DatumPageHelpOpensTheDatumSection) {
  CopyDatumFiles();
  std::filesystem::copy_file(kBuiltInternal + "tvx_en.htm", internal() / "tvx_en.htm");
  const auto opened = dir.path() / "opened";
  std::filesystem::create_directories(dir.path() / "bin");
  // The stand-in writes the address aside and renames it, so the file is there only whole.
  std::ofstream(dir.path() / "bin" / "xdg-open")
      << "#!/bin/sh\nprintf '%s' \"$1\" > '" << opened.string() << ".part' && mv '"
      << opened.string() << ".part' '" << opened.string() << "'\n";
  ::chmod((dir.path() / "bin" / "xdg-open").c_str(), 0755);
  const std::string oldPath = std::getenv("PATH");
  ::setenv("PATH", ((dir.path() / "bin").string() + ":" + oldPath).c_str(), 1);

  CPropertySheet sheet(std::string("Options"));
  CPageDatum page;
  page.m_datumIndex = 0;
  sheet.AddPage(&page);
  wxTheApp->CallAfter([&] {
    Click(page.GetDlgItemWindow(1037));
    Click(sheet.GetSheetDialog()->FindWindow(wxID_CANCEL));
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  ::setenv("PATH", oldPath.c_str(), 1);
  // The browser is started without waiting for it: wait (boundedly) for its stand-in's file.
  for (int i = 0; i < 3000 && !std::filesystem::exists(opened); ++i) wxMilliSleep(10);
  std::ifstream in(opened);
  const std::string url((std::istreambuf_iterator<char>(in)), {});
  ASSERT_GE(url.size(), 17u) << url;
  EXPECT_EQ(url.substr(0, 7), "file://");
  EXPECT_EQ(url.substr(url.size() - 17), "/tvx_en.htm#datum");
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());
}

TEST_F(CoordsWindows, ProjectionDialogShowsTheMethodsRowsAndStoresOnOk) {
  const auto file = internal() / kProjectionFileName;
  ProjectionRecord older;
  older.kind = static_cast<std::uint8_t>(ProjectionKind::Mollweide);
  older.p = {15, 100, 200};
  older.SetName(std::string("World"));
  std::vector<std::uint8_t> bytes(128);
  EncodeProjectionRecord(older, std::span<std::uint8_t, 128>(bytes.data(), 128));
  WriteBytes(file, bytes);

  ProjectionRecord record;
  record.kind = 5;
  CDlgProjection dlg(205, &record);
  int startMethod = -1, krovakRows = 0, georefRows = -1;
  std::string startName, georefName;
  double startP2 = 0;
  bool stayed = false;
  wxTheApp->CallAfter([&] {
    startMethod = Control<wxChoice>(dlg, 1200)->GetSelection();
    startName = dlg.GetDlgItemText(1202);
    startP2 = Shown(dlg, 1161);
    auto rows = [&] {
      int n = 0;
      for (int id = 1160; id < 1168; ++id) n += dlg.GetDlgItemWindow(id)->IsShown();
      return n;
    };
    Choose(dlg, 1200, static_cast<int>(ProjectionKind::Georef));
    georefRows = rows();
    georefName = dlg.GetDlgItemText(1202);
    Choose(dlg, 1200, static_cast<int>(ProjectionKind::EpsgCode));
    EXPECT_EQ(dlg.GetDlgItemText(1180), "EPSG Code");
    Type(dlg, 1160, "4326");
    dlg.SetDlgItemText(1202, "Geographic");
    platform::MessageBoxScript::Push(IDOK);
    Click(dlg.GetDlgItemWindow(1));
    stayed = dlg.GetDialog()->IsModal();
    Choose(dlg, 1200, static_cast<int>(ProjectionKind::Krovak));
    krovakRows = rows();
    Type(dlg, 1160, "49.5");
    Type(dlg, 1164, "0.9999");
    Type(dlg, 1162, "treinta");  // not a number: said, dialog stays
    platform::MessageBoxScript::Push(IDOK);
    Click(dlg.GetDlgItemWindow(1));
    Type(dlg, 1162, "30.28813972");
    dlg.SetDlgItemText(1202, "Krovak CZ");
    Click(dlg.GetDlgItemWindow(1));
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(startMethod, static_cast<int>(ProjectionKind::Mollweide));
  EXPECT_EQ(startName, "World");
  EXPECT_EQ(startP2, 100);
  EXPECT_EQ(georefRows, 0);
  EXPECT_EQ(georefName, "GEOREF");
  EXPECT_TRUE(stayed);
  EXPECT_EQ(krovakRows, 7);
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "Unable to import projection with EPSG Code 4326");
  EXPECT_EQ(shown[1].text, "Please enter a number.");
  EXPECT_EQ(record.Kind(), ProjectionKind::Krovak);
  EXPECT_EQ(record.Name(), "Krovak CZ");
  EXPECT_EQ(record.p[0], 49.5);
  EXPECT_EQ(record.p[2], 30.28813972);
  const auto after = ReadBytes(file);
  ASSERT_EQ(after.size(), 256u);
  EXPECT_EQ(after[126], static_cast<int>(ProjectionKind::Krovak));
  EXPECT_EQ(ReadLeDouble(after, 4 * 8), 0.9999);
  EXPECT_EQ(after[128 + 126], static_cast<int>(ProjectionKind::Mollweide));

  // The dialog bases add nothing to the framework's map.
  EXPECT_TRUE(CDialogVScroll::GetThisMessageMap()->entries.empty());
  EXPECT_EQ(CDialogVScroll::GetThisMessageMap()->base, &CDialog::GetThisMessageMap);
  EXPECT_EQ(CDlgProjection::GetThisMessageMap()->base, &CDialogVScroll::GetThisMessageMap);
}

TEST_F(CoordsWindows, ProjectionDialogDeleteThenCancelKeepsTheFile) {
  const auto file = internal() / kProjectionFileName;
  std::vector<std::uint8_t> bytes(256);
  for (int k = 0; k < 2; ++k) {
    ProjectionRecord r;
    r.kind = static_cast<std::uint8_t>(ProjectionKind::Robinson);
    r.SetName(std::string(k ? "B" : "A"));
    EncodeProjectionRecord(r, std::span<std::uint8_t, 128>(bytes.data() + 128 * k, 128));
  }
  WriteBytes(file, bytes);
  ProjectionRecord record;
  CDlgProjection dlg(205, &record);
  int left = 0;
  wxTheApp->CallAfter([&] {
    Click(dlg.GetDlgItemWindow(1201));
    left = CComboBox(dlg.GetDlgItem(1202)).GetCount();
    Click(dlg.GetDlgItemWindow(2));
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(left, 1);
  EXPECT_EQ(ReadBytes(file), bytes);
}

}  // namespace

// Choosing EPSG 27700 (British National Grid) in the projection dialog: the second message gives
// the ellipsoid and the seven values to copy; typed into the datum page as the user datum, they
// put a London point where PROJ's own OSGB36 to WGS 84 transformation puts it.
TEST_F(CoordsWindows, EpsgBritishNationalGridGivesTheShiftToCopyToTheDatumPage) {
  ProjectionRecord record;
  CDlgProjection dlg(205, &record);
  wxTheApp->CallAfter([&] {
    Choose(dlg, 1200, static_cast<int>(ProjectionKind::EpsgCode));
    Type(dlg, 1160, "27700");
    dlg.SetDlgItemText(1202, "British National Grid");
    platform::MessageBoxScript::Push(IDOK);
    platform::MessageBoxScript::Push(IDOK);
    Click(dlg.GetDlgItemWindow(1));
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, LoadResString(59250));
  EXPECT_EQ(shown[1].caption, "EPSG Code");
  EXPECT_EQ(shown[1].style & MB_ICONMASK, MB_ICONINFORMATION);
  char values[9][32] = {};
  ASSERT_EQ(std::sscanf(shown[1].text.c_str(),
                        "Ellipsoid: a = %31[^,], b = %31[^\n]\nShift: dX = %31[^,], dY = %31[^,], "
                        "dZ = %31[^\n]\nRotation: rX = %31[^,], rY = %31[^,], rZ = %31[^\n]\n"
                        "Scale: %31s",
                        values[0], values[1], values[2], values[3], values[4], values[5],
                        values[6], values[7], values[8]),
            9)
      << shown[1].text;

  CopyDatumFiles();
  CPropertySheet sheet(std::string("Options"));
  CPageDatum page;
  page.m_datumIndex = 0;
  page.m_values = DatumRecord{};
  sheet.AddPage(&page);
  wxTheApp->CallAfter([&] {
    Choose(page, 1038, 271);
    for (int k = 0; k < 9; ++k) Type(page, 1028 + k, values[k]);
    PressSheetOk(sheet);
  });
  ASSERT_EQ(sheet.DoModal(), IDOK);
  ASSERT_EQ(page.m_datumIndex, 271);

  CoordSettings settings;
  settings.datum = page.m_values;
  TransformSet set = TransformSet::Build(settings);
  ASSERT_TRUE(set.Ready());
  const double lon = -0.1276, lat = 51.5067;  // OSGB36, Charing Cross
  double x = lon, y = lat;
  ASSERT_TRUE(set.Transform(TransformId::DatumToWgs, x, y));

  PJ_CONTEXT* ctx = proj_context_create();
  PJ* raw = proj_create_crs_to_crs(ctx, "EPSG:4277", "EPSG:4326", nullptr);
  PJ* proj = proj_normalize_for_visualization(ctx, raw);
  const PJ_COORD out = proj_trans(proj, PJ_FWD, proj_coord(lon, lat, 0, 0));
  proj_destroy(proj);
  proj_destroy(raw);
  proj_context_destroy(ctx);
  // Degrees to metres near London: within 2 cm.
  EXPECT_NEAR((x - out.lp.lam) * 69400.0, 0.0, 0.02);
  EXPECT_NEAR((y - out.lp.phi) * 111250.0, 0.0, 0.02);
}
