// The rules of the coordinate dialogs without windows: the projection dialog's list, rows and
// OK, the datum page's edits and checks, and the help launcher with a stand-in opener.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <optional>
#include <thread>

#include "coords/projection_methods.h"
#include "coords/record_io.h"
#include "coords/ui/datum_page_form.h"
#include "coords/ui/projection_form.h"
#include "coords/ui/show_help.h"
#include "tests/coords_gdal/test_support.h"

namespace {

ProjectionRecord Stored(ProjectionKind kind, std::initializer_list<double> p, const char* name) {
  ProjectionRecord r;
  r.kind = static_cast<std::uint8_t>(kind);
  std::copy(p.begin(), p.end(), r.p.begin());
  r.SetName(std::string(name));
  return r;
}

void WriteList(const std::filesystem::path& file, const std::vector<ProjectionRecord>& records) {
  std::vector<std::uint8_t> bytes(records.size() * kProjectionRecordSize);
  for (std::size_t k = 0; k < records.size(); ++k)
    EncodeProjectionRecord(records[k], std::span<std::uint8_t, kProjectionRecordSize>(
                                           bytes.data() + k * kProjectionRecordSize,
                                           kProjectionRecordSize));
  WriteBytes(file, bytes);
}

// The name field of record k straight from the file's bytes (UTF-16LE at offset 64).
std::u16string NameInFile(const std::vector<std::uint8_t>& bytes, std::size_t k) {
  std::u16string name;
  for (std::size_t u = 0; u < 30; ++u) {
    const std::size_t at = k * 128 + 64 + 2 * u;
    const char16_t c = static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
    if (!c) break;
    name += c;
  }
  return name;
}

class ProjectionFormTest : public ::testing::Test {
 protected:
  ScratchFolder dir;
  std::filesystem::path file = dir.path() / kProjectionFileName;
  ProjectionRecord edited = Stored(ProjectionKind::Bonne, {9, 9, 9}, "left over");
};

TEST_F(ProjectionFormTest, OpeningTakesTheNewestKindAndParametersButNotItsName) {
  ProjectionForm empty(&edited, file);
  empty.Open();
  EXPECT_EQ(edited, ProjectionRecord{});  // no file: all zero
  EXPECT_TRUE(empty.SavedNames().empty());

  WriteList(file, {Stored(ProjectionKind::TransverseMercator, {0, -3, 0.9996, 500000, 0}, "TM 3W"),
                   Stored(ProjectionKind::Mollweide, {10, 1, 2}, "World")});
  ProjectionForm form(&edited, file);
  const ProjectionRowsView rows = form.Open();
  EXPECT_EQ(edited.Kind(), ProjectionKind::TransverseMercator);
  EXPECT_EQ(edited.p[1], -3);
  EXPECT_EQ(edited.p[3], 500000);
  EXPECT_EQ(edited.Name(), "");
  EXPECT_EQ(rows.visibleRows, 5);
  EXPECT_EQ(form.SavedNames(), (std::vector<std::string>{"TM 3W", "World"}));

  // Choosing the other entry copies its parameters; a method change clears them.
  ProjectionRowsView other;
  ASSERT_TRUE(form.SelectSaved(1, other));
  EXPECT_EQ(edited.p, (std::array<double, 8>{10, 1, 2, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(form.SelectSaved(2, other));
  form.SelectMethod(static_cast<int>(ProjectionKind::Krovak));
  EXPECT_EQ(edited.p, (std::array<double, 8>{}));
}

TEST(ProjectionRows, LabelsAndShownRowsFollowTheMethod) {
  struct Case {
    ProjectionKind kind;
    int rows;
    const char* first;
    const char* last;
    const char* name;
  };
  for (const Case c : {Case{ProjectionKind::Krovak, 7, "latitude_of_center", "false_northing", ""},
                       {ProjectionKind::Mollweide, 3, "central_meridian", "false_northing", ""},
                       {ProjectionKind::HotineObliqueMercatorTwoPoint, 8, "latitude_of_center",
                        "false_northing", ""},
                       {ProjectionKind::EpsgCode, 1, "EPSG Code", "EPSG Code", ""},
                       {ProjectionKind::UsStatePlane, 1, "State Plane zone", "State Plane zone", ""},
                       {ProjectionKind::Georef, 0, "", "", "GEOREF"},
                       {ProjectionKind::Mgrs, 0, "", "", "Military Gird Reference System MGRS"}}) {
    const ProjectionRowsView v = ProjectionRowsFor(static_cast<int>(c.kind));
    SCOPED_TRACE(static_cast<int>(c.kind));
    EXPECT_EQ(v.visibleRows, c.rows);
    EXPECT_EQ(v.labels[0], c.first);
    if (c.rows > 0) {
      EXPECT_EQ(v.labels[static_cast<std::size_t>(c.rows - 1)], c.last);
    }
    for (int row = c.rows; row < kProjectionRows; ++row) EXPECT_FALSE(v.RowVisible(row));
    EXPECT_EQ(v.setsName, *c.name != 0);
    EXPECT_EQ(v.nameText, c.name);
  }
  const auto texts = ProjectionMethodComboTexts();
  ASSERT_EQ(texts.size(), 44u);
  EXPECT_EQ(texts[15], "Krovak");
  EXPECT_EQ(texts[38], "EPSG Code");
  EXPECT_EQ(texts[43], "US State Plane");
}

TEST_F(ProjectionFormTest, OkStoresUnderTheTypedNameReplacingAnOlderOneOfAnyCase) {
  WriteList(file, {Stored(ProjectionKind::Bonne, {1}, "lambert"),
                   Stored(ProjectionKind::Robinson, {2}, "Other")});
  ProjectionForm form(&edited, file);
  form.Open();
  form.SelectMethod(static_cast<int>(ProjectionKind::LambertConformalConic2SP));
  edited.p = {40, 44, 42, 3, 700000, 6600000};
  auto result = form.Ok("Lambert", static_cast<int>(ProjectionKind::LambertConformalConic2SP));
  EXPECT_EQ(result.outcome, ProjectionForm::OkOutcome::Stored);
  EXPECT_TRUE(result.messages.empty());
  const auto bytes = ReadBytes(file);
  ASSERT_EQ(bytes.size(), 2u * 128);
  EXPECT_EQ(NameInFile(bytes, 0), u"Lambert");
  EXPECT_EQ(bytes[126], static_cast<int>(ProjectionKind::LambertConformalConic2SP));
  EXPECT_EQ(ReadLeDouble(bytes, 4 * 8), 700000);
  EXPECT_EQ(NameInFile(bytes, 1), u"Other");
  EXPECT_EQ(edited.Name(), "Lambert");  // the caller's record holds the stored projection

  // 35 characters keep 30, and the field has no terminator.
  ProjectionForm again(&edited, file);
  again.Open();
  again.Ok("Proyeccion conica de Lambert 2SP N3", static_cast<int>(ProjectionKind::Bonne));
  const auto longer = ReadBytes(file);
  EXPECT_EQ(NameInFile(longer, 0), u"Proyeccion conica de Lambert 2");
  for (std::size_t at = 64; at < 124; at += 2) EXPECT_NE(longer[at] | longer[at + 1], 0) << at;
}

TEST_F(ProjectionFormTest, CancelAndEmptyNamesAndDeletesLeaveTheFileAlone) {
  WriteList(file, {Stored(ProjectionKind::Bonne, {1}, "A"), Stored(ProjectionKind::Bonne, {2}, "B")});
  const auto before = ReadBytes(file);
  {
    ProjectionForm form(&edited, file);
    form.Open();
    EXPECT_TRUE(form.DeleteSaved(0));
    EXPECT_EQ(edited, ProjectionRecord{});
    EXPECT_FALSE(form.DeleteSaved(7));
    EXPECT_EQ(form.SavedNames(), std::vector<std::string>{"B"});
    // The dialog is cancelled: the form goes without OK.
  }
  EXPECT_EQ(ReadBytes(file), before);
  ProjectionForm form(&edited, file);
  form.Open();
  EXPECT_EQ(form.Ok("", 3).outcome, ProjectionForm::OkOutcome::Cancel);
  EXPECT_EQ(ReadBytes(file), before);
}

TEST_F(ProjectionFormTest, EpsgCodesAreCheckedBeforeStoring) {
  ProjectionForm form(&edited, file);
  form.Open();
  form.SelectMethod(static_cast<int>(ProjectionKind::EpsgCode));
  edited.p[0] = 4326;  // geographic: refused
  auto refused = form.Ok("Plate carree", static_cast<int>(ProjectionKind::EpsgCode));
  EXPECT_EQ(refused.outcome, ProjectionForm::OkOutcome::StayOpen);
  ASSERT_EQ(refused.messages.size(), 1u);
  EXPECT_EQ(refused.messages[0].text, "Unable to import projection with EPSG Code 4326");
  EXPECT_EQ(refused.messages[0].caption, "EPSG Code");
  EXPECT_EQ(refused.messages[0].style & MB_ICONMASK, MB_ICONSTOP);
  EXPECT_FALSE(std::filesystem::exists(file));

  // British National Grid: the user is sent to the datum page with the ellipsoid and the shift
  // to copy there, PROJ's own for OSGB36 where GDAL attaches none.
  edited.p[0] = 27700;
  auto stored = form.Ok("OSGB", static_cast<int>(ProjectionKind::EpsgCode));
  EXPECT_EQ(stored.outcome, ProjectionForm::OkOutcome::Stored);
  ASSERT_EQ(stored.messages.size(), 2u);
  EXPECT_EQ(stored.messages[0].text,
            "Go to Datum Page to setup the appropiate conversion from WGS84 ellipsoid");
  EXPECT_EQ(stored.messages[0].style & MB_ICONMASK, MB_ICONEXCLAMATION);
  EXPECT_EQ(stored.messages[1].text,
            "Ellipsoid: a = 6377563.396, b = 6356256.909\n"
            "Shift: dX = 446.448, dY = -125.157, dZ = 542.060\n"
            "Rotation: rX = 0.150000, rY = 0.247000, rZ = 0.842000\nScale: -20.489000");
  EXPECT_EQ(stored.messages[1].caption, "EPSG Code");
  EXPECT_EQ(stored.messages[1].style & MB_ICONMASK, MB_ICONINFORMATION);
  EXPECT_EQ(ReadBytes(file).size(), 128u);

  // A system on WGS84 itself has no shift to copy: only the pointer to the datum page.
  edited.p[0] = 32631;
  auto wgs = form.Ok("UTM 31", static_cast<int>(ProjectionKind::EpsgCode));
  ASSERT_EQ(wgs.messages.size(), 1u);
  EXPECT_EQ(wgs.messages[0].style & MB_ICONMASK, MB_ICONEXCLAMATION);
}

TEST_F(ProjectionFormTest, AListThatCannotBeWrittenIsSaidAndTheProjectionStaysInForce) {
  ProjectionForm form(&edited, file);
  form.Open();
  form.SelectMethod(static_cast<int>(ProjectionKind::Mollweide));
  std::optional<ProjectionForm::OkResult> stored;
  {
    const DiskFull full;
    stored = form.Ok("World", static_cast<int>(ProjectionKind::Mollweide));
  }
  auto& result = *stored;
  EXPECT_EQ(result.outcome, ProjectionForm::OkOutcome::Stored);
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_NE(result.messages[0].text.find("cannot be written"), std::string::npos);
  EXPECT_EQ(edited.Kind(), ProjectionKind::Mollweide);
}

TEST(DatumPageForm, EditsMapOntoTheRecordAndOnlyAUsableUserDatumPasses) {
  DatumRecord d;
  d.SetShift({1, 2, 3, 4, 5, 6, 7});
  EXPECT_EQ(ToDatumPageValues(d), (DatumPageValues{6378137.0, 6356752.314, 1, 2, 3, 4, 5, 6, 7}));
  DatumRecord back;
  back.index = 12;
  FromDatumPageValues({6378388, 6356911.946, -87, -98, -121, 0, 0, 0, 0}, back);
  EXPECT_EQ(back.dX, -87);
  EXPECT_EQ(back.b, 6356911.946);
  EXPECT_EQ(back.index, 12);

  for (int index : {0, 1, 270, 272, -1}) EXPECT_FALSE(DatumPageEditable(index)) << index;
  EXPECT_TRUE(DatumPageEditable(271));

  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (auto [a, b, usable] : {std::tuple{6378137.0, 6356752.3, true}, {6356752.3, 6378137.0, false},
                              {6378137.0, 6378137.0, false}, {6378137.0, 0.0, false},
                              {nan, 6356752.3, false}}) {
    DatumRecord typed;
    typed.a = a;
    typed.b = b;
    EXPECT_EQ(TypedDatumProblem(271, typed).empty(), usable) << a << " " << b;
    EXPECT_TRUE(TypedDatumProblem(5, typed).empty());  // list datums are not typed
  }

  EXPECT_NE(DatumPageOpenFailureText(DatumFileStatus::NamesFileMissing).find("tvxdtmlist.bin"),
            std::string::npos);
  DatumPageChoice missingUser;
  missingUser.status = DatumFileStatus::UserFileMissing;
  EXPECT_EQ(DatumChoiceMessage(missingUser, 271), "");
  DatumPageChoice shortList;
  shortList.status = DatumFileStatus::ShortFile;
  EXPECT_NE(DatumChoiceMessage(shortList, 200).find("200"), std::string::npos);
}

// A stand-in for xdg-open on PATH that writes the URL it was given to a file.
class HelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    std::filesystem::create_directories(dir.path() / "bin");
    std::filesystem::create_directories(dir.path() / "prog folder" / "internal");
    std::ofstream(opener()) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << (dir.path() / "opened").string()
                            << ".tmp' && mv '" << (dir.path() / "opened").string() << ".tmp' '"
                            << (dir.path() / "opened").string() << "'\n";
    ::chmod(opener().c_str(), 0755);
  }
  void TearDown() override { ::setenv("PATH", oldPath_.c_str(), 1); }
  std::filesystem::path opener() const { return dir.path() / "bin" / "xdg-open"; }
  std::string folder() const { return (dir.path() / "prog folder").string() + "/"; }
  std::string Opened() {
    const auto file = dir.path() / "opened";
    for (int i = 0; i < 500 && !std::filesystem::exists(file); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  ScratchFolder dir;
  std::string oldPath_;
};

TEST_F(HelpTest, OpensTheLanguagePageOrTheEnglishOneAtTheTopic) {
  ::setenv("PATH", ((dir.path() / "bin").string() + ":/bin:/usr/bin").c_str(), 1);
  const HelpOpening none = OpenHelpPage(folder(), 0, kHelpTopicDatum);
  EXPECT_NE(none.message.find("tvx_en.htm"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "opened"));

  std::ofstream(folder() + "internal/tvx_en.htm") << "<html></html>";
  // Spanish (3) has no page here: the English one opens.
  const HelpOpening opening = OpenHelpPage(folder(), 3, kHelpTopicDatum);
  EXPECT_EQ(opening.message, "");
  const std::string expected = FileUrl(folder() + "internal/tvx_en.htm") + "#datum";
  EXPECT_EQ(opening.url, expected);
  EXPECT_EQ(Opened(), expected);
  EXPECT_EQ(FileUrl("/a b/#1/ñ.htm"), "file:///a%20b/%231/%C3%B1.htm");
}

TEST_F(HelpTest, ADesktopWithoutAnOpenerIsTold) {
  std::ofstream(folder() + "internal/tvx_en.htm") << "<html></html>";
  ::setenv("PATH", (dir.path() / "empty").string().c_str(), 1);
  const HelpOpening opening = OpenHelpPage(folder(), 0);
  EXPECT_NE(opening.message.find("xdg-open"), std::string::npos);
}

}  // namespace
