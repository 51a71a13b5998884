// The document's export commands and Shapefile import over a real document: the hold flag on
// every way out, files that cannot be created, the replace question of every save dialog over
// the files the save writes, saves through links, the zone kept across a circle's outline,
// track file names, and imports that find nothing readable.
#include <gtest/gtest.h>
#include <proj.h>
#include <shapefil.h>

#include <algorithm>
#include <cmath>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "coords/projection_record.h"
#include "dialogs/export_settings_form.h"
#include "document/doc_options.h"
#include "document/export_prompts.h"
#include "document/export_shapefile.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/wait_cursor.h"
#include "tests/document_main/doc_test_env.h"

namespace {

// Whether the dialog's form shows the control enabled, so that the user can change it.
bool Offered(const DialogLayout& layout, int id) {
  for (const ControlState& c : layout.controls) {
    if (c.id == id) return c.visible && c.enabled;
  }
  return true;  // a control the form leaves alone is always there
}

// Answers the settings dialogs as their users can: the scripted wish is taken only on the
// controls the dialog's form offers for the question; everything else stays as the dialog
// proposes it.
class ScriptedPrompts : public ExportPrompts {
 public:
  bool AskZoneDatum(const ZoneDatumQuestion& q, ZoneDatumAnswer& a) override {
    asked.push_back("zone-datum mode " + std::to_string(q.mode));
    holdWhileAsked = TheDocument() && TheDocument()->m_holdPosition;
    a = InitialAnswer(q);
    if (Offered(ZoneDatumLayout(q.mode), kZoneDatumZone)) a.zone = zoneDatum.zone;
    a.datumChoice = Datum(q, zoneDatum.datumChoice, a.datumChoice);
    return answer;
  }
  bool AskDxf(const DxfQuestion& q, DxfAnswer& a) override {
    a = InitialAnswer(q);
    if (Offered(DxfLayout(q.mode), kDxfZone)) a.zone = dxf.zone;
    a.datumChoice = Datum(q, dxf.datumChoice, a.datumChoice);
    a.flat = dxf.flat;
    return answer;
  }
  bool AskCoordSystem(const CoordSystemQuestion& q, CoordSystemAnswer& a) override {
    asked.push_back(q.lockKindCombo ? "coord import" : "coord export");
    holdWhileAsked = TheDocument() && TheDocument()->m_holdPosition;
    a = InitialAnswer(q);
    if (coord.coordKind == 0 || Offered(CoordSystemLayout(q, a.coordKind), kCoordProjectedRadio)) {
      a.coordKind = coord.coordKind;
    }
    const DialogLayout shown = CoordSystemLayout(q, a.coordKind);
    if (Offered(shown, kCoordZone)) a.zone = coord.zone;
    if (Offered(shown, kCoordHemisphere)) a.hemisphere = coord.hemisphere;
    if (Offered(shown, kCoordKind)) a.kind = coord.kind;
    a.datumChoice = Datum(q, coord.datumChoice, a.datumChoice);
    return answer;
  }
  static int Datum(const DatumQuestion& q, int wanted, int proposed) {
    return wanted >= 0 && static_cast<std::size_t>(wanted) < DatumComboFor(q).items.size()
               ? wanted
               : proposed;
  }
  int AskNameField(const std::vector<std::string>&) override { return 0; }

  bool answer = true;
  bool holdWhileAsked = false;
  std::vector<std::string> asked;
  ZoneDatumAnswer zoneDatum{30, 0};
  DxfAnswer dxf{0, 30, 0};
  CoordSystemAnswer coord{0, 30, 0, 0, 2};
};

class DocExportTest : public DocTest {
 protected:
  void SetUp() override {
    DocTest::SetUp();
    auto owned = std::make_unique<ScriptedPrompts>();
    prompts = owned.get();
    SetExportPrompts(std::move(owned));
    platform::FileDialogScript::Clear();
    platform::MessageBoxScript::Clear();
    Store("Coord", 1);
    MakeDoc();
    ASSERT_TRUE(doc_->m_transformsReady);
  }
  void TearDown() override {
    SetExportPrompts(nullptr);
    DocTest::TearDown();
  }
  void AddLine(const std::string& name, double lon, double lat, int count) {
    FeatureRecord& f = doc_->AddFeature(FeatureType::Line, name);
    for (int i = 0; i < count; ++i) {
      const GeoPoint p{lon + i * 1e-4, lat + i * 1e-4};
      f.AddVertex(p, p, 1000 + i);
    }
  }
  void AddCircle(double lon, double lat) {
    // Corners 10 m from the centre in the zone of the centre, by the document's own UTM.
    int zone = 0;
    CTolvanixDoc::UtmZoneFromLongitude(lon, zone);
    doc_->SetUtmZone(zone, true, 1);
    double e = lon, n = lat;
    doc_->m_transforms.Transform(TransformId::WgsToMap2, e, n);
    FeatureRecord& c = doc_->AddFeature(FeatureType::Circle, "Circle");
    for (auto [de, dn] : {std::pair{0.0, 0.0}, {-10.0, 10.0}, {10.0, -10.0}}) {
      double x = e + de, y = n + dn;
      doc_->m_transforms.Transform(TransformId::MapToWgs, x, y);
      c.AddVertex({x, y}, {x, y}, 500);
    }
  }
  std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  ScriptedPrompts* prompts = nullptr;
};

TEST_F(DocExportTest, HoldFlagIsClearedOnEveryWayOut) {
  using Command = void (CTolvanixDoc::*)();
  const Command commands[] = {&CTolvanixDoc::OnExportGeographicTxt, &CTolvanixDoc::OnExportUtmTxt,
                              &CTolvanixDoc::OnExportKml,           &CTolvanixDoc::OnExportDxf,
                              &CTolvanixDoc::OnExportShp,           &CTolvanixDoc::OnExportPlt,
                              &CTolvanixDoc::OnExportTrk};
  AddLine("L", -3.7, 40.4, 3);
  // Folders where the files would go: the name typed is completed to a folder's name.
  for (const char* ext : {"txt", "kml", "dxf", "shp", "plt", "trk"}) {
    for (const char* stem : {"blocked.", "blocked_1."}) {
      std::filesystem::create_directories(dir_ / (std::string(stem) + ext));
    }
  }
  for (Command command : commands) {
    prompts->answer = false;  // settings cancelled
    (doc_.get()->*command)();
    EXPECT_FALSE(doc_->m_holdPosition);
    prompts->answer = true;
    platform::FileDialogScript::Push("");  // file dialog cancelled
    (doc_.get()->*command)();
    EXPECT_FALSE(doc_->m_holdPosition);
    platform::FileDialogScript::Push((dir_ / "blocked").string());  // cannot be written
    (doc_.get()->*command)();
    EXPECT_FALSE(doc_->m_holdPosition);
    const auto shown = platform::MessageBoxScript::TakeShown();
    ASSERT_EQ(shown.size(), 1u) << "every failed export says so, KML included";
  }
  EXPECT_TRUE(prompts->holdWhileAsked);

  // The waypoint table's export holds the position like the others.
  WaypointRecord w;
  w.x = -3.7;
  w.y = 40.4;
  prompts->holdWhileAsked = false;
  platform::FileDialogScript::Push((dir_ / "wpt.shp").string());
  EXPECT_TRUE(doc_->ExportWaypointsShp({w}));
  EXPECT_TRUE(prompts->holdWhileAsked);
  EXPECT_FALSE(doc_->m_holdPosition);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "wpt.shp"));
}

// Every save dialog of the program, its name typed without the extension where files of the
// completed name are there: the replace question names exactly the files the save would
// write over (a Shapefile's three, the numbered files of several tracks, not the file named
// when it is not written). No leaves every file as it was and the dialog open for another
// name (here left); Yes writes them.
TEST_F(DocExportTest, TheReplaceQuestionCoversEveryFileTheSaveWritesUnderTheCompletedName) {
  using Command = std::function<void(CTolvanixDoc&)>;
  const auto command = [](void (CTolvanixDoc::*c)()) { return Command([c](CTolvanixDoc& d) { (d.*c)(); }); };
  const Command waypointShp = [](CTolvanixDoc& d) { d.ExportWaypointsShp(d.m_waypoints); };
  const struct {
    const char* what;
    Command run;
    int features;                      // lines in the document
    std::vector<std::string> present;  // files there before, with their own bytes
    std::vector<std::string> asked;    // the files the question names
  } cases[] = {
      {"save as", command(&CTolvanixDoc::OnFileSaveAs), 1, {"keep.tvx"}, {"keep.tvx"}},
      {"geographic list", command(&CTolvanixDoc::OnExportGeographicTxt), 1, {"keep.txt"}, {"keep.txt"}},
      {"UTM list", command(&CTolvanixDoc::OnExportUtmTxt), 1, {"keep.txt"}, {"keep.txt"}},
      {"KML", command(&CTolvanixDoc::OnExportKml), 1, {"keep.kml"}, {"keep.kml"}},
      {"DXF", command(&CTolvanixDoc::OnExportDxf), 1, {"keep.dxf"}, {"keep.dxf"}},
      {"Shapefile, a table alone", command(&CTolvanixDoc::OnExportShp), 1, {"keep.dbf"}, {"keep.dbf"}},
      {"Shapefile", command(&CTolvanixDoc::OnExportShp), 2, {"keep.shp", "keep.shx", "keep.dbf"},
       {"keep.shp", "keep.shx", "keep.dbf"}},
      {"waypoint Shapefile", waypointShp, 1, {"keep.shx"}, {"keep.shx"}},
      {"PLT", command(&CTolvanixDoc::OnExportPlt), 1, {"keep.plt"}, {"keep.plt"}},
      {"PLT, several features", command(&CTolvanixDoc::OnExportPlt), 3, {"keep.plt", "keep_2.plt"},
       {"keep_2.plt"}},
      {"TRK", command(&CTolvanixDoc::OnExportTrk), 1, {"keep.trk"}, {"keep.trk"}},
      {"TRK, several features", command(&CTolvanixDoc::OnExportTrk), 2, {"keep_1.trk", "keep_2.trk"},
       {"keep_1.trk", "keep_2.trk"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    platform::FileDialogScript::Clear();
    platform::MessageBoxScript::Clear();
    const std::filesystem::path folder = dir_ / "saves";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    doc_->DeleteAllFeatures();
    for (int k = 0; k < c.features; ++k) AddLine("L" + std::to_string(k), -3.7, 40.4 + k * 0.01, 3);
    doc_->m_waypoints.assign(1, WaypointRecord::FromFile("W", 0, 0, 0, 0, 0, -3.7, 40.4, 0, 0));
    for (const std::string& file : c.present) std::ofstream(folder / file) << "own " << file;
    std::vector<std::string> asked;
    for (const std::string& file : c.asked) asked.push_back((folder / file).string());
    const auto listing = [&] {
      std::vector<std::string> names;
      for (const auto& e : std::filesystem::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
      }
      std::sort(names.begin(), names.end());
      return names;
    };
    const std::vector<std::string> before = listing();

    platform::FileDialogScript::Push((folder / "keep").string(), platform::ReplaceAnswer::No);
    platform::FileDialogScript::Push("");  // then leaves the dialog
    c.run(*doc_);
    std::vector<platform::ShownFileDialog> shown = platform::FileDialogScript::TakeShown();
    EXPECT_EQ(shown.size(), 2u) << "No leaves the dialog open";
    EXPECT_EQ(shown.at(0).replaceAsked, asked);
    EXPECT_EQ(shown.at(0).refused, "");
    EXPECT_EQ(listing(), before);
    for (const std::string& file : c.present) {
      EXPECT_EQ(Read(folder / file), "own " + file) << file;
    }

    platform::FileDialogScript::Push((folder / "keep").string(), platform::ReplaceAnswer::Yes);
    c.run(*doc_);
    shown = platform::FileDialogScript::TakeShown();
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown.at(0).replaceAsked, asked);
    for (const std::string& file : asked) {
      EXPECT_NE(Read(file), "own " + std::filesystem::path(file).filename().string()) << file;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "keep")) << "nothing under the name as typed";
    EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty()) << "no failure";
  }
}

// A name chosen in the save dialog that is a symbolic link (to the card the work goes to):
// the link stays, and the file it leads to holds what was written, with the permissions it
// had (a file only its owner may read stays so).
TEST_F(DocExportTest, ASaveThroughALinkReplacesTheFileItLeadsToWithItsPermissions) {
  namespace fs = std::filesystem;
  using Command = void (CTolvanixDoc::*)();
  const struct {
    const char* what;
    Command run;
    std::vector<std::string> files;
  } cases[] = {
      {"KML", &CTolvanixDoc::OnExportKml, {"keep.kml"}},
      {"Shapefile", &CTolvanixDoc::OnExportShp, {"keep.shp", "keep.shx", "keep.dbf"}},
      {"save as", &CTolvanixDoc::OnFileSaveAs, {"keep.tvx"}},
  };
  AddLine("L", -3.7, 40.4, 3);
  for (const auto& c : cases) {
    for (bool link : {true, false}) {
      SCOPED_TRACE(std::string(c.what) + (link ? ", through links" : ", plain files"));
      platform::FileDialogScript::Clear();
      const fs::path card = dir_ / "card", saves = dir_ / "saves";
      const fs::path target = link ? card : saves;  // where the files are
      fs::remove_all(card);
      fs::remove_all(saves);
      fs::create_directories(card);
      fs::create_directories(saves);
      std::vector<std::string> asked;
      for (const std::string& file : c.files) {
        std::ofstream(target / file) << "own " << file;
        fs::permissions(target / file, fs::perms::owner_read | fs::perms::owner_write);
        // One link relative to its folder, the others absolute.
        if (link) {
          fs::create_symlink(file == c.files.front() ? fs::path("../card") / file : card / file,
                             saves / file);
        }
        asked.push_back((saves / file).string());
      }
      platform::FileDialogScript::Push((saves / "keep").string(), platform::ReplaceAnswer::Yes);
      (doc_.get()->*c.run)();
      const auto shown = platform::FileDialogScript::TakeShown();
      EXPECT_EQ(shown.size(), 1u);
      if (!shown.empty()) {
        EXPECT_EQ(shown[0].replaceAsked, asked);
      }
      for (const std::string& file : c.files) {
        EXPECT_EQ(fs::is_symlink(saves / file), link) << file;
        EXPECT_NE(Read(target / file), "own " + file) << file;
        EXPECT_EQ(fs::status(target / file).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write)
            << file;
      }
      std::vector<std::string> left;
      for (const auto& e : fs::directory_iterator(target)) {
        left.push_back(e.path().filename().string());
      }
      std::sort(left.begin(), left.end());
      std::vector<std::string> expected = c.files;
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(left, expected) << "no file left beside them";
      EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty()) << "no failure";
    }
  }
}

TEST_F(DocExportTest, CircleOutlineKeepsTheZoneOfWhatFollows) {
  doc_->DeleteAllFeatures();
  AddLine("West", -3.7, 40.4, 2);  // zone 30
  AddCircle(3.5, 40.4);            // zone 31
  AddLine("West again", -3.7, 40.4, 2);
  FeatureRecord outline(FeatureType::Circle, "o");
  const UtmZone before = doc_->m_transforms.CurrentZone(UtmTarget::Second);
  EXPECT_NEAR(doc_->BuildCircleOutline(1, outline, true), 10.0, 1e-3);
  doc_->BuildCircleOutline(1, outline, false);
  EXPECT_EQ(outline.VertexCount(), 63u);
  EXPECT_EQ(doc_->m_transforms.CurrentZone(UtmTarget::Second).zone, before.zone);

  prompts->zoneDatum = {30, 0};
  platform::FileDialogScript::Push((dir_ / "utm").string());
  doc_->OnExportUtmTxt();
  const auto lines = Lines(Read(dir_ / "utm.txt"));
  ASSERT_EQ(lines.size(), 1u + 3 + (1 + 63) + 3);
  EXPECT_EQ(lines[1], "West");
  EXPECT_EQ(lines[68], "West again");
  // The same vertices after the circle are written in the same zone as before it.
  EXPECT_EQ(lines[2], lines[69]);
  EXPECT_EQ(lines[3], lines[70]);
}

TEST_F(DocExportTest, TracksGoToOneFilePerFeature) {
  doc_->DeleteAllFeatures();
  for (const char* name : {"A", "B", "C"}) AddLine(name, -3.7, 40.4, 2);
  platform::FileDialogScript::Push((dir_ / "survey.trk").string());
  doc_->OnExportTrk();
  for (const char* file : {"survey_1.trk", "survey_2.trk", "survey_3.trk"}) {
    EXPECT_TRUE(std::filesystem::exists(dir_ / file)) << file;
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "survey.trk"));
}

TEST_F(DocExportTest, ShapefileRoundTripThroughTheCommands) {
  doc_->DeleteAllFeatures();
  AddLine("Uno", -3.7, 40.4, 4);
  AddLine("Dos", -3.6, 40.3, 3);
  prompts->coord = {0, 30, 0, 0, 3};  // geographic, WGS84, as lines
  platform::FileDialogScript::Push((dir_ / "rt.shp").string());
  doc_->OnExportShp();
  const std::vector<FeatureRecord> exported = doc_->m_features;

  doc_->OnNewDocument();
  ASSERT_EQ(doc_->m_features.size(), 1u);
  ASSERT_TRUE(doc_->ImportShapefile((dir_ / "rt.shp").string(), false));
  ASSERT_EQ(doc_->m_features.size(), 2u);  // the empty starting feature gave way
  for (std::size_t k = 0; k < 2; ++k) {
    EXPECT_EQ(doc_->m_features[k].name, exported[k].name);
    EXPECT_EQ(doc_->m_features[k].editable, 0);
    EXPECT_EQ(doc_->m_features[k].wgs84Vertices, exported[k].wgs84Vertices);
  }
  EXPECT_EQ(doc_->m_current, 1);
  EXPECT_EQ(prompts->asked.back(), "coord import");
}

// A line in UTM zone 30 on WGS84 imported as "WGS84, projected" while a user projection on
// another datum is the working system: the vertices land where the file says.
TEST_F(DocExportTest, ProjectedWgs84ImportUnderAUserProjectionLandsOnTheSource) {
  CTolvanixDoc::OptionValues v = doc_->CurrentOptionValues();
  v.datum.index = 271;  // International 1924 shifted as ED50 in Spain
  v.datum.a = 6378388.0;
  v.datum.b = 6356911.946;
  v.datum.dX = -87.0;
  v.datum.dY = -98.0;
  v.datum.dZ = -121.0;
  v.coord = 2;
  v.projection.kind = static_cast<std::uint8_t>(ProjectionKind::EpsgCode);
  v.projection.p[0] = 23030;  // ED50 / UTM zone 30N
  v.projection.SetName(std::string("ED50 UTM 30"));
  doc_->ApplyOptionValues(v);
  ASSERT_EQ(doc_->m_coord, 2);

  const std::vector<GeoPoint> source = {{-3.70, 40.40}, {-3.68, 40.41}, {-3.66, 40.43}};
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* raw = proj_create_crs_to_crs(ctx, "EPSG:4326", "EPSG:32630", nullptr);
  PJ* pj = proj_normalize_for_visualization(ctx, raw);
  proj_destroy(raw);
  std::vector<double> xs, ys;
  for (const GeoPoint& p : source) {
    const PJ_COORD c = proj_trans(pj, PJ_FWD, proj_coord(p.x, p.y, 0, 0));
    xs.push_back(c.xy.x);
    ys.push_back(c.xy.y);
  }
  proj_destroy(pj);
  proj_context_destroy(ctx);
  const std::string path = (dir_ / "utm30.shp").string();
  SHPHandle shp = SHPCreate(path.c_str(), SHPT_ARC);
  ASSERT_NE(shp, nullptr);
  SHPObject* line = SHPCreateSimpleObject(SHPT_ARC, 3, xs.data(), ys.data(), nullptr);
  SHPWriteObject(shp, -1, line);
  SHPDestroyObject(line);
  SHPClose(shp);

  // Projected on WGS84: the dialog shows the user projection's name for it and asks no zone.
  prompts->coord = {1, 30, 0, 0, 3};
  doc_->OnNewDocument();
  ASSERT_TRUE(doc_->ImportShapefile(path, false));
  ASSERT_EQ(doc_->m_features.size(), 1u);
  const FeatureRecord& f = doc_->m_features[0];
  ASSERT_EQ(f.VertexCount(), source.size());
  for (std::size_t i = 0; i < source.size(); ++i) {
    SCOPED_TRACE(i);
    const double north = (f.wgs84Vertices[i].y - source[i].y) * 111320.0;
    const double east =
        (f.wgs84Vertices[i].x - source[i].x) * 111320.0 * std::cos(source[i].y * M_PI / 180.0);
    EXPECT_LT(std::hypot(east, north), 1.0);
  }
}

TEST_F(DocExportTest, OpeningAShapefileThatImportsNothingKeepsANewModifiedDocument) {
  doc_->DeleteAllFeatures();
  AddLine("Uno", -3.7, 40.4, 4);
  platform::FileDialogScript::Push((dir_ / "c.shp").string());
  doc_->OnExportShp();
  doc_->SetModifiedFlag(FALSE);

  prompts->answer = false;  // coordinate dialog cancelled: no message
  EXPECT_TRUE(doc_->OnOpenDocument((dir_ / "c.shp").string()));
  ASSERT_EQ(doc_->m_features.size(), 1u);
  EXPECT_EQ(doc_->m_features[0].VertexCount(), 0u);
  EXPECT_TRUE(doc_->IsModified());
  EXPECT_TRUE(platform::MessageBoxScript::TakeShown().empty());

  // Without its index shapelib cannot open the file: said so, and the new document stays.
  std::filesystem::remove(dir_ / "c.shx");
  doc_->m_features[0].AddVertex({-3.7, 40.4}, {-3.7, 40.4}, 0);
  doc_->SetModifiedFlag(FALSE);
  prompts->answer = true;
  EXPECT_TRUE(doc_->OnOpenDocument((dir_ / "c.shp").string()));
  ASSERT_EQ(doc_->m_features.size(), 1u);
  EXPECT_EQ(doc_->m_features[0].VertexCount(), 0u);
  EXPECT_TRUE(doc_->IsModified());
  EXPECT_EQ(platform::MessageBoxScript::TakeShown().size(), 1u);
}

TEST_F(DocExportTest, ImportWithoutReadableShapesKeepsTheCurrentFeature) {
  doc_->DeleteAllFeatures();
  AddLine("Uno", -3.7, 40.4, 4);
  prompts->coord = {0, 30, 0, 0, 2};
  platform::FileDialogScript::Push((dir_ / "broken.shp").string());
  doc_->OnExportShp();
  // Keep the header and the index, lose the records.
  std::filesystem::resize_file(dir_ / "broken.shp", 100);

  doc_->OnNewDocument();
  doc_->ImportShapefile((dir_ / "broken.shp").string(), false);
  ASSERT_EQ(doc_->m_features.size(), 1u);
  EXPECT_EQ(doc_->m_current, 0);
  EXPECT_NE(doc_->CurrentFeature(), nullptr);

  // A POINT file is refused with its message.
  platform::FileDialogScript::Push((dir_ / "points.shp").string());
  prompts->coord.kind = kShpKindPoints;
  doc_->m_features[0].AddVertex({-3.7, 40.4}, {-3.7, 40.4}, 0);
  doc_->OnExportShp();
  platform::MessageBoxScript::TakeShown();
  EXPECT_FALSE(doc_->ImportShapefile((dir_ / "points.shp").string(), false));
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Only ARC/POLYGON are geometry supported for now!");
  EXPECT_EQ(shown[0].caption, "Error!");
}

}  // namespace

namespace {

// The wait cursor of each long command: put up once for the command and down when it ends.
TEST_F(DocExportTest, WaitCursorShowsForLoadSaveExportImportReplayAndMoveAll) {
  doc_->DeleteAllFeatures();
  AddLine("Uno", -3.7, 40.4, 4);
  auto shownFor = [](const std::function<void()>& command) {
    const int before = platform::WaitCursorShownCount();
    command();
    EXPECT_FALSE(platform::WaitCursorShowing());
    return platform::WaitCursorShownCount() - before;
  };
  const std::string tvx = (dir_ / "w.tvx").string();
  EXPECT_GE(shownFor([&] { ASSERT_TRUE(doc_->OnSaveDocument(tvx)); }), 1) << "save";
  EXPECT_GE(shownFor([&] { ASSERT_TRUE(doc_->OnOpenDocument(tvx)); }), 1) << "load";
  platform::FileDialogScript::Push((dir_ / "w.kml").string());
  EXPECT_EQ(shownFor([&] { doc_->OnExportKml(); }), 1) << "text export";
  prompts->coord = {0, 30, 0, 0, 3};
  platform::FileDialogScript::Push((dir_ / "w.shp").string());
  EXPECT_EQ(shownFor([&] { doc_->OnExportShp(); }), 1) << "shapefile export";
  EXPECT_GE(shownFor([&] { doc_->ImportShapefile((dir_ / "w.shp").string(), true); }), 1)
      << "import";
  {
    std::ofstream log(dir_ / "w.nmea");
    log << "$GPRMC,120000,A,4024.000,N,00342.000,W,0.0,0.0,091226,,*05\r\n";
  }
  EXPECT_GE(shownFor([&] { doc_->OnOpenDocument((dir_ / "w.nmea").string()); }), 1) << "replay";
  doc_->SetGpsPosition(-3.7, 40.4);
  doc_->m_circleCentreWgs = {-3.6, 40.5};
  EXPECT_EQ(shownFor([&] { doc_->MoveAllFeatures(); }), 1) << "move all";
  // Nothing is waited for when the user cancels.
  prompts->answer = false;
  EXPECT_EQ(shownFor([&] { doc_->OnExportDxf(); }), 0);
  platform::MessageBoxScript::TakeShown();
}

}  // namespace
