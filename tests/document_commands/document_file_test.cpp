// The document file through the document: save and open round trips, the state a load leaves,
// hostile and unreadable files refused without touching the open work, failed saves, and the
// replay of a recorded walk through the open command.
#include <cmath>
#include <cstring>
#include <fstream>

#include <shapefil.h>

#include "document/export_prompts.h"
#include "document/tvx_file.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "tests/document_main/doc_test_env.h"

namespace {

// About 100 m by 100 m near 40°N 3.7°W: 0.0011741° of longitude and 0.0009009° of latitude.
constexpr double kLon0 = -3.7, kLat0 = 40.0, kDLon = 0.0011741, kDLat = 0.0009009;

class DocumentFileTest : public DocTest {
 protected:
  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

  // A document with every feature type, a part of the area, notes, waypoints with time stamps,
  // symbols and notes, and names beyond ASCII.
  void FillWithWork(CTolvanixDoc& doc) {
    doc.DeleteAllFeatures();
    FeatureRecord& area = doc.AddFeature(FeatureType::Area, "Campo Ñandú 北");
    const GeoPoint square[] = {{kLon0, kLat0},
                               {kLon0 + kDLon, kLat0},
                               {kLon0 + kDLon, kLat0 + kDLat},
                               {kLon0, kLat0 + kDLat}};
    for (int i = 0; i < 4; ++i) area.AddVertex(square[i], square[i], 61000 + i, i % 2 ? "poste" : "");
    area.colour = 0x00FF8040;
    area.pattern = 3;
    FeatureRecord& line = doc.AddFeature(FeatureType::Line, "Linde");
    line.AddVertex(square[0], square[0], 1);
    line.AddVertex(square[1], square[1], 2);
    line.editable = 0;
    line.visible = 0;
    doc.AddFeature(FeatureType::CircleLine, "c50").AddVertex(square[2], square[2], 3);
    doc.AddFeature(FeatureType::Circle, "c51").AddVertex(square[3], square[3], 4);
    FeatureRecord& part = doc.AddFeature(FeatureType::Part, "Hueco");
    part.link = 0;
    part.subtract = 0;
    part.AddVertex(square[0], square[0], 5);
    doc.m_waypoints.push_back(WaypointRecord::FromFile("Pozo €", 0, 0, 0, 0, 1234, kLon0, kLat0,
                                                       1700000000, 7));
    doc.m_waypoints.push_back(WaypointRecord::FromFile("", 0, 0, 0, 0, -5, kLon0 + 1e-4,
                                                       kLat0 - 1e-4, 0, 23));
    doc.m_waypointNotes = {"nota ç", ""};
    doc.SetModifiedFlag(TRUE);
  }

  // Everything the file keeps, compared in the written form (whose bytes the file tests
  // check against the layout), and what the document derives from it on a load.
  static void ExpectSameContent(const DocumentContent& a, const DocumentContent& b) {
    EXPECT_EQ(WriteTvxFile(a), WriteTvxFile(b));
    ASSERT_EQ(a.features.size(), b.features.size());
    for (std::size_t i = 0; i < a.features.size(); ++i) {
      EXPECT_EQ(a.features[i].vertices, b.features[i].vertices) << i;
    }
    EXPECT_EQ(a.kind52Index, b.kind52Index);
    EXPECT_EQ(a.waypointNotes, b.waypointNotes);
  }

  void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
};

TEST_F(DocumentFileTest, SaveAndOpenGiveTheSameDocument) {
  CTolvanixDoc& doc = MakeDoc();
  FillWithWork(doc);
  const DocumentContent saved = doc.m_content;
  const std::string path = PathOf("campo.tvx");
  ASSERT_TRUE(doc.OnSaveDocument(path));
  EXPECT_FALSE(doc.IsModified());
  EXPECT_TRUE(doc.m_hasFile);
  EXPECT_FALSE(doc.m_holdPosition);

  CTolvanixDoc& fresh = MakeDoc();
  fresh.m_features[0].AddVertex({1, 1}, {1, 1}, 0);  // work the open replaces
  fresh.m_current = 0;
  fresh.SetModifiedFlag(TRUE);
  platform::PumpMessages();
  view_.received.clear();
  app_->SetCommandLine({path});  // opened at start-up: the document takes its name from it
  ASSERT_TRUE(fresh.OnOpenDocument(path));
  ExpectSameContent(saved, fresh.m_content);
  EXPECT_EQ(fresh.m_docName, "campo");
  EXPECT_EQ(fresh.m_docFolder, dir_.string());
  EXPECT_EQ(fresh.m_current, 0);
  EXPECT_FALSE(fresh.IsModified());
  EXPECT_FALSE(fresh.m_holdPosition);
  EXPECT_TRUE(fresh.m_hasFile);
  // Measured on load: the square of about 100 m by 100 m.
  EXPECT_NEAR(fresh.m_features[0].area, 10000.0, 100.0);
  EXPECT_NEAR(fresh.m_features[0].perimeter, 400.0, 2.0);
  platform::PumpMessages();
  EXPECT_GE(view_.Count(WM_DIBUJAR_CAMPOS), 1);

  // The object list's import adds the file after the open work and keeps parts on their
  // own parent.
  fresh.m_appendOnLoad = true;
  ASSERT_TRUE(fresh.OnOpenDocument(path));
  fresh.m_appendOnLoad = false;
  ASSERT_EQ(fresh.m_features.size(), 2 * saved.features.size());
  EXPECT_EQ(fresh.m_features.back().link, static_cast<int>(saved.features.size()));
  EXPECT_EQ(fresh.m_waypoints.size(), 4u);
  EXPECT_EQ(fresh.m_waypointNotes.size(), 4u);
  EXPECT_TRUE(fresh.IsModified()) << "imported work is not on disk yet";
}

// A part whose parent link points outside the file does not make the file unreadable: it
// loads as an area of its own, and the user is told.
TEST_F(DocumentFileTest, PartWithoutItsParentLoadsAsAnArea) {
  CTolvanixDoc& doc = MakeDoc();
  FillWithWork(doc);
  doc.m_features[4].link = 99;  // "Hueco", the part
  const std::string path = PathOf("huerfano.tvx");
  Write(path, WriteTvxFile(doc.m_content));
  const std::size_t features = doc.m_features.size();
  for (bool append : {false, true}) {
    SCOPED_TRACE(append);
    CTolvanixDoc& fresh = MakeDoc();
    fresh.m_appendOnLoad = append;
    platform::MessageBoxScript::Clear();
    ASSERT_TRUE(fresh.OnOpenDocument(path));
    fresh.m_appendOnLoad = false;
    auto shown = platform::MessageBoxScript::TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find("loaded as an area"), std::string::npos);
    ASSERT_EQ(fresh.m_features.size(), features);
    const FeatureRecord& former = fresh.m_features[4];
    EXPECT_EQ(former.name, "Hueco");
    EXPECT_EQ(former.type, FeatureType::Area);
    EXPECT_EQ(former.VertexCount(), 1u);
    EXPECT_TRUE(fresh.m_kind52Index.empty());
    EXPECT_EQ(fresh.m_waypoints.size(), 2u);
  }
}

// Positions that name no place do not come into the document from a document file or an NMEA
// log: they are left out, the user is told how many, and the document opened from the file is
// not the file any more (a save would write it without them).
TEST_F(DocumentFileTest, PositionsThatNameNoPlaceStayOutOfOpenedFilesAndAreCounted) {
  CTolvanixDoc& doc = MakeDoc();
  FillWithWork(doc);
  doc.m_features[0].AddVertex({std::nan(""), kLat0}, {std::nan(""), kLat0}, 0);
  doc.m_features[1].AddVertex({440000, 4472000}, {440000, 4472000}, 0);
  doc.m_waypoints[0].y = 1e300;
  const std::string path = PathOf("lejos.tvx");
  Write(path, WriteTvxFile(doc.m_content));
  CTolvanixDoc& opened = MakeDoc();
  platform::MessageBoxScript::Clear();
  ASSERT_TRUE(opened.OnOpenDocument(path));
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text.rfind("3 points were left out", 0), 0u) << shown[0].text;
  EXPECT_EQ(opened.m_features[0].VertexCount(), 4u);
  EXPECT_EQ(opened.m_features[1].VertexCount(), 2u);
  ASSERT_EQ(opened.m_waypoints.size(), 1u);
  EXPECT_EQ(opened.m_waypointNotes, std::vector<std::string>{""});  // the second waypoint's
  EXPECT_TRUE(opened.IsModified());

  // A replayed log: the fixes at 99.5 degrees north and 999.5 degrees east are not taken; the
  // walk goes on from the last good fix and captures every 5 m.
  Store("AP", 50);
  const double step = 0.0001;  // about 8.5 m of longitude
  const std::string log = Gga(kLon0, kLat0) + Gga(kLon0 + step, 99.5) + Gga(kLon0 + step, kLat0) +
                          Gga(999.5, kLat0) + Gga(kLon0 + 2 * step, kLat0);
  const std::string logPath = PathOf("lejos.nmea");
  Write(logPath, log);
  CTolvanixDoc& replayed = MakeDoc();
  platform::MessageBoxScript::Clear();
  ASSERT_TRUE(replayed.OnOpenDocument(logPath));
  shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text.rfind("2 points were left out", 0), 0u) << shown[0].text;
  ASSERT_EQ(replayed.m_features.size(), 1u);
  ASSERT_EQ(replayed.m_features[0].VertexCount(), 3u);
  for (const GeoPoint& p : replayed.m_features[0].wgs84Vertices) {
    EXPECT_NEAR(p.y, kLat0, 1e-6);
    EXPECT_NEAR(p.x, kLon0, 3 * step);
  }
  EXPECT_NEAR(replayed.m_gpsLat, kLat0, 1e-6);
}

TEST_F(DocumentFileTest, RefusedFilesLeaveTheOpenWorkAlone) {
  CTolvanixDoc& doc = MakeDoc();
  FillWithWork(doc);
  const std::string good = WriteTvxFile(doc.m_content);
  // Offsets of the written layout: block size at 10, note count at 128, object count at 140;
  // the first feature header follows the three head blocks and the two notes (one block each,
  // the first lengthened by its 6 UTF-16 units).
  constexpr std::size_t kFirstFeature = 3 * 64 + (64 + 2 * 6) + 64;
  auto patched = [&](std::size_t offset, std::uint32_t value) {
    std::string bytes = good;
    std::memcpy(bytes.data() + offset, &value, 4);
    return bytes;
  };
  std::vector<std::pair<std::string, std::string>> hostile = {
      {"unknown marker", "*XYZ*" + good.substr(5)},
      {"block size 16", patched(10, 16)},
      {"note count 0xFFFFFFFF", patched(128, 0xFFFFFFFFu)},
      {"object count 0xFFFFFFFF", patched(140, 0xFFFFFFFFu)},
      {"unknown type with vertices", patched(kFirstFeature, 7)},
  };
  for (std::size_t cut = 64; cut < good.size(); cut += 64) {
    hostile.emplace_back("truncated at " + std::to_string(cut), good.substr(0, cut));
  }

  doc.m_docName = "trabajo";
  doc.m_current = 1;
  const DocumentContent before = doc.m_content;
  for (const auto& [what, bytes] : hostile) {
    SCOPED_TRACE(what);
    const std::string path = PathOf("hostil.tvx");
    Write(path, bytes);
    platform::MessageBoxScript::Clear();
    EXPECT_FALSE(doc.OnOpenDocument(path));
    EXPECT_EQ(platform::MessageBoxScript::TakeShown().size(), 1u);
    ExpectSameContent(before, doc.m_content);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.m_current, 1);
    EXPECT_EQ(doc.m_docName, "trabajo");
    EXPECT_FALSE(doc.m_holdPosition);
  }

  // Through the open command: the refused file does not rename the document either.
  doc.m_docFolder = "/trabajos";
  platform::MessageBoxScript::Push(IDNO);  // do not save the work first
  platform::FileDialogScript::Push(PathOf("hostil.tvx"));
  doc.OnFileOpen();
  ExpectSameContent(before, doc.m_content);
  EXPECT_EQ(doc.m_docName, "trabajo");
  EXPECT_EQ(doc.m_docFolder, "/trabajos");

  // Unreadable files of each kind are reported, not opened.
  for (const char* missing : {"/nonexistent/a.tvx", "/nonexistent/a.nmea"}) {
    platform::MessageBoxScript::Clear();
    EXPECT_FALSE(doc.OnOpenDocument(missing)) << missing;
    EXPECT_EQ(platform::MessageBoxScript::TakeShown().size(), 1u);
    ExpectSameContent(before, doc.m_content);
  }
}

TEST_F(DocumentFileTest, FailedSaveSaysSoAndKeepsTheDocumentModified) {
  CTolvanixDoc& doc = MakeDoc();
  FillWithWork(doc);
  Write(PathOf("not_a_folder"), "x");
  platform::MessageBoxScript::Clear();
  EXPECT_FALSE(doc.OnSaveDocument(PathOf("not_a_folder/campo.tvx")));
  EXPECT_EQ(platform::MessageBoxScript::TakeShown().size(), 1u);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_FALSE(doc.m_hasFile);
  EXPECT_FALSE(doc.m_holdPosition);
}

TEST_F(DocumentFileTest, ReplayedWalkIsCapturedWithTheGpsOff) {
  const std::string walk = std::string(TVX_BINARY_DIR) + "/testdata/walks/field_100x60.nmea";
  ASSERT_TRUE(std::filesystem::exists(walk)) << "the walks are written by the tvx_walks target";
  Store("AP", 50);  // capture every 5 m
  CTolvanixDoc& doc = MakeDoc();
  doc.m_gpsOn = true;  // a receiver that counts as connected: the replay switches it off
  platform::PumpMessages();
  view_.received.clear();

  ASSERT_TRUE(doc.OnOpenDocument(walk));
  EXPECT_FALSE(doc.m_gpsOn);
  EXPECT_FALSE(doc.m_replayingNmea);
  ASSERT_EQ(doc.m_features.size(), 1u);
  EXPECT_GT(doc.m_features[0].VertexCount(), 40u);
  // The final measurement runs on the worker; its result arrives as a message.
  for (int i = 0; i < 100 && doc.m_features[0].area == 0.0; ++i) platform::WaitAndPumpMessages(50);
  EXPECT_NEAR(doc.m_features[0].area, 6000.0, 0.03 * 6000.0);
  EXPECT_NEAR(doc.m_features[0].perimeter, 320.0, 0.02 * 320.0);
  EXPECT_EQ(view_.Count(WM_REFRESH_GPS), 0);

  // The replayed work has no file of its own: its save writes neither over the log nor over a
  // document file of the log's name, but asks for a name, proposing that one.
  EXPECT_EQ(doc.GetPathName(), "");
  EXPECT_EQ(doc.SavePath(), "");
  EXPECT_EQ(doc.GetTitle(), "field_100x60");
  const std::string proposed = walk.substr(0, walk.size() - std::strlen(".nmea")) + ".tvx";
  platform::FileDialogScript::Push("");
  EXPECT_FALSE(doc.SaveByName());
  const auto asked = platform::FileDialogScript::TakeShown();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_FALSE(asked[0].request.open);
  EXPECT_EQ(asked[0].request.initialName, proposed);
  EXPECT_FALSE(std::filesystem::exists(proposed));
}

}  // namespace

namespace {

// Answers the import's coordinate dialog with WGS84 degrees and names no field.
class GeographicPrompts : public ExportPrompts {
 public:
  bool AskZoneDatum(const ZoneDatumQuestion&, ZoneDatumAnswer&) override { return false; }
  bool AskDxf(const DxfQuestion&, DxfAnswer&) override { return false; }
  bool AskCoordSystem(const CoordSystemQuestion&, CoordSystemAnswer& answer) override {
    answer = CoordSystemAnswer{};
    return true;
  }
  int AskNameField(const std::vector<std::string>&) override { return -1; }
};

TEST_F(DocumentFileTest, ShapefilesAreChosenFirstAndImportedIntoANewDocument) {
  SetExportPrompts(std::make_unique<GeographicPrompts>());
  // A path naming both kinds is a Shapefile.
  const std::string path = PathOf("track.nmea.shp");
  {
    SHPHandle shp = SHPCreate(path.c_str(), SHPT_ARC);
    ASSERT_NE(shp, nullptr);
    const double x[] = {kLon0, kLon0 + kDLon, kLon0 + kDLon};
    const double y[] = {kLat0, kLat0, kLat0 + kDLat};
    SHPObject* line = SHPCreateSimpleObject(SHPT_ARC, 3, x, y, nullptr);
    SHPWriteObject(shp, -1, line);
    SHPDestroyObject(line);
    SHPClose(shp);
  }
  CTolvanixDoc& doc = MakeDoc();
  FillWithWork(doc);
  const DocumentContent before = doc.m_content;
  EXPECT_FALSE(doc.OnOpenDocument(PathOf("missing.shp")));
  ExpectSameContent(before, doc.m_content);

  ASSERT_TRUE(doc.OnOpenDocument(path));
  ASSERT_EQ(doc.m_features.size(), 1u);
  EXPECT_EQ(doc.m_features[0].type, FeatureType::Line);
  EXPECT_EQ(doc.m_features[0].VertexCount(), 3u);
  EXPECT_EQ(doc.m_features[0].editable, 0);
  EXPECT_TRUE(doc.m_waypoints.empty());
  EXPECT_NEAR(doc.m_features[0].length, 200.0, 2.0);
  SetExportPrompts(nullptr);
}

// The object list's Import of a Shapefile keeps to the rule of every file: points that name no
// place (a UTM line read as degrees, a NaN) are left out and counted; the document keeps what
// it had.
TEST_F(DocumentFileTest, TheObjectListsImportLeavesOutPointsThatNameNoPlace) {
  SetExportPrompts(std::make_unique<GeographicPrompts>());
  const std::string path = PathOf("utm.shp");
  {
    SHPHandle shp = SHPCreate(path.c_str(), SHPT_ARC);
    ASSERT_NE(shp, nullptr);
    const double x[] = {440000, 440100, kLon0, std::nan("")};
    const double y[] = {4472000, 4472100, kLat0, kLat0};
    SHPObject* utm = SHPCreateSimpleObject(SHPT_ARC, 2, x, y, nullptr);
    SHPObject* mixed = SHPCreateSimpleObject(SHPT_ARC, 2, x + 2, y + 2, nullptr);
    SHPWriteObject(shp, -1, utm);
    SHPWriteObject(shp, -1, mixed);
    SHPDestroyObject(utm);
    SHPDestroyObject(mixed);
    SHPClose(shp);
  }
  CTolvanixDoc& doc = MakeDoc();
  FillWithWork(doc);
  const std::size_t before = doc.m_features.size();
  platform::FileDialogScript::Clear();
  platform::FileDialogScript::Push(path);
  platform::MessageBoxScript::Clear();
  EXPECT_TRUE(doc.ImportFromObjectList());
  ASSERT_EQ(doc.m_features.size(), before + 1);
  EXPECT_EQ(doc.m_features.back().wgs84Vertices, (std::vector<GeoPoint>{{kLon0, kLat0}}));
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text.rfind("3 points were left out", 0), 0u) << shown[0].text;
  platform::FileDialogScript::Clear();
  SetExportPrompts(nullptr);
}

}  // namespace
