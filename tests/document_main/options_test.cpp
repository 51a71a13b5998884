// The document's options: defaults from an empty store, stored values kept through a load
// and a save, damaged values, and what the options sheet's values change.
#include <proj.h>

#include <fstream>

#include "coords/projection_record.h"
#include "coords/record_io.h"
#include "doc_test_env.h"
#include "document/doc_options.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"

namespace {

// Points through PROJ from one system to another (longitude first for geographic ones).
std::vector<GeoPoint> Reproject(const char* from, const char* to, const std::vector<GeoPoint>& in) {
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* pj = proj_create_crs_to_crs(ctx, from, to, nullptr);
  PJ* norm = proj_normalize_for_visualization(ctx, pj);
  std::vector<GeoPoint> out;
  for (const GeoPoint& p : in) {
    PJ_COORD c = proj_trans(norm, PJ_FWD, proj_coord(p.x, p.y, 0, 0));
    out.push_back({c.xy.x, c.xy.y});
  }
  proj_destroy(norm);
  proj_destroy(pj);
  proj_context_destroy(ctx);
  return out;
}

ProjectionRecord EpsgProjection(int code) {
  ProjectionRecord r;
  r.kind = static_cast<std::uint8_t>(ProjectionKind::EpsgCode);
  r.p[0] = code;
  r.SetName("EPSG " + std::to_string(code));
  return r;
}

class OptionsTest : public DocTest {
 protected:
  std::optional<std::int32_t> Stored(const std::string& name) {
    return platform::OptionsStore::Instance().GetInt(app_->ProfileKey("Opciones"), name);
  }
  FeatureRecord& AddField(const std::string& name, const std::vector<GeoPoint>& wgs84) {
    FeatureRecord& f = doc_->AddFeature(FeatureType::Area, name);
    for (const GeoPoint& p : wgs84) f.AddVertex(p, p, 0);
    return f;
  }
};

// A field measured under one user projection, then another projection in US survey feet:
// the area shown is that of a fresh measurement, not the old figure read in the new unit.
TEST_F(OptionsTest, AnotherUserProjectionMeasuresEveryFeatureAgain) {
  CTolvanixDoc& doc = MakeDoc();
  Store("Metrica", 0);
  CTolvanixDoc::OptionValues v = doc.CurrentOptionValues();
  v.coord = 2;
  v.projection = EpsgProjection(32611);
  doc.ApplyOptionValues(v);
  ASSERT_EQ(doc.m_coord, 2);
  // About 1012 m x 1012 m in UTM 11 north, and a second, smaller field.
  const double x0 = 440000, y0 = 3760000, side = 1012.0;
  AddField("north", Reproject("EPSG:32611", "EPSG:4326",
                              {{x0, y0}, {x0 + side, y0}, {x0 + side, y0 + side}, {x0, y0 + side}}));
  AddField("south", Reproject("EPSG:32611", "EPSG:4326",
                              {{x0, y0 - 500}, {x0 + 300, y0 - 500}, {x0 + 300, y0 - 200}}));
  doc.RecomputeAreasAndWait(-1);
  const std::string before = doc.GetAreaText(1, false);
  EXPECT_EQ(before, "102.4144 ha");

  v = doc.CurrentOptionValues();
  v.projection = EpsgProjection(2229);  // California zone 5, US survey feet
  doc.ApplyOptionValues(v);
  ASSERT_EQ(doc.m_coord, 2);
  const std::string shown[] = {doc.GetAreaText(1, false), doc.GetAreaText(2, false)};
  doc.RecomputeAreasAndWait(-1);
  EXPECT_EQ(shown[0], doc.GetAreaText(1, false));
  EXPECT_EQ(shown[1], doc.GetAreaText(2, false));
  // The same ground in another plane: within a few tenths of a per cent.
  EXPECT_NEAR(std::stod(shown[0]), 102.4144, 0.5);
}

// A new datum moves the working-datum positions of every feature (not only the current one)
// and of the waypoints, as PROJ converts their WGS84 positions; back to WGS84 they return.
TEST_F(OptionsTest, ADatumChangeMovesEveryWorkingPosition) {
  CTolvanixDoc& doc = MakeDoc();
  const std::vector<GeoPoint> field = {{-3.70, 40.40}, {-3.69, 40.40}, {-3.69, 40.41}};
  const std::vector<GeoPoint> other = {{2.10, 41.38}, {2.11, 41.39}};
  doc.m_features[0].AddVertex(field[0], field[0], 0);
  for (std::size_t i = 1; i < field.size(); ++i) doc.m_features[0].AddVertex(field[i], field[i], 0);
  AddField("other", other);
  doc.m_current = 1;
  WaypointRecord w;
  w.x = -3.695;
  w.y = 40.405;
  doc.m_waypoints.push_back(w);
  doc.m_waypointNotes.push_back("");
  doc.SetModifiedFlag(FALSE);  // the work as saved

  CTolvanixDoc::OptionValues v = doc.CurrentOptionValues();
  v.datum.index = 271;  // International 1924 shifted as ED50 in Spain
  v.datum.a = 6378388.0;
  v.datum.b = 6356911.946;
  v.datum.dX = -87.0;
  v.datum.dY = -98.0;
  v.datum.dZ = -121.0;
  doc.ApplyOptionValues(v);
  ASSERT_EQ(doc.m_datum.index, 271);
  const char* ed50 = "+proj=longlat +ellps=intl +towgs84=-87,-98,-121,0,0,0,0 +no_defs +type=crs";
  const std::vector<GeoPoint> expected[] = {Reproject("EPSG:4326", ed50, field),
                                            Reproject("EPSG:4326", ed50, other)};
  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    const FeatureRecord& f = doc.m_features[k];
    ASSERT_EQ(f.VertexCount(), expected[k].size());
    for (std::size_t i = 0; i < f.VertexCount(); ++i) {
      EXPECT_NEAR(f.vertices[i].x, expected[k][i].x, 1e-7);
      EXPECT_NEAR(f.vertices[i].y, expected[k][i].y, 1e-7);
      EXPECT_GT(std::fabs(f.vertices[i].x - f.wgs84Vertices[i].x), 1e-4);  // about 100 m off
    }
  }
  const GeoPoint wExpected = Reproject("EPSG:4326", ed50, {{-3.695, 40.405}})[0];
  EXPECT_NEAR(doc.m_waypoints[0].x, wExpected.x, 1e-7);
  EXPECT_NEAR(doc.m_waypoints[0].y, wExpected.y, 1e-7);
  // The waypoints are held in the working datum, the file keeps WGS84: no edit to save.
  EXPECT_FALSE(doc.IsModified());

  doc.m_waypoints[0].name = "Pozo";  // unsaved work stays unsaved work
  v = doc.CurrentOptionValues();
  v.datum.index = 0;
  doc.ApplyOptionValues(v);
  EXPECT_TRUE(doc.IsModified());
  for (const FeatureRecord& f : doc.m_features) {
    for (std::size_t i = 0; i < f.VertexCount(); ++i) EXPECT_EQ(f.vertices[i], f.wgs84Vertices[i]);
  }
  EXPECT_NEAR(doc.m_waypoints[0].x, -3.695, 1e-7);
  EXPECT_NEAR(doc.m_waypoints[0].y, 40.405, 1e-7);
}

TEST_F(OptionsTest, DefaultsFromAnEmptyStore) {
  CTolvanixDoc& doc = MakeDoc();
  EXPECT_EQ(doc.m_port, -1);
  EXPECT_EQ(doc.m_baudIndex, -1);
  EXPECT_EQ(doc.m_zone, 31);
  EXPECT_EQ(doc.m_autoZone, 1);
  EXPECT_DOUBLE_EQ(doc.m_autoCaptureDistance, 10.0);
  EXPECT_DOUBLE_EQ(doc.m_hdopLimit, 3.0);
  EXPECT_EQ(doc.m_hdopFilterOn, 0);
  EXPECT_EQ(doc.m_waypointNaming, 2);
  EXPECT_EQ(doc.m_waypointPrefix, "Sin nombre");
  EXPECT_DOUBLE_EQ(doc.m_navSoundDistance, 1.0);
  EXPECT_EQ(doc.m_offsetSide, 2);
  EXPECT_DOUBLE_EQ(doc.m_offsetMetres, 10.0);
  EXPECT_EQ(doc.m_coord, 0);
  EXPECT_EQ(doc.m_datum.index, 0);
  EXPECT_EQ(doc.m_datumName, "WGS84 / GRS80");
  EXPECT_EQ(doc.m_projectionName, "UTM");
  EXPECT_TRUE(doc.m_transformsReady);  // ready from the first fix, without a projection file
  // One empty area named "Sin nombre", pattern and colour of new features.
  ASSERT_EQ(doc.m_features.size(), 1u);
  EXPECT_EQ(doc.m_features[0].type, FeatureType::Area);
  EXPECT_EQ(doc.m_features[0].name, "Sin nombre");
  EXPECT_EQ(doc.m_features[0].pattern, 5);
  EXPECT_EQ(doc.m_features[0].colour, 255u);
}

// Every value the document writes, stored first with a value other than its default.
TEST_F(OptionsTest, EveryStoredValueSurvivesLoadAndSave) {
  const std::vector<std::pair<const char*, int>> values = {
      {"Puerto", 3},        {"Baudios", 2},         {"Metrica", 1},      {"Feet", 1},
      {"AP", 29},           {"Huso", 30},           {"Esp", 1},          {"Datum", 0},
      {"Menu", 0},          {"Coord", 1},           {"GeoType", 1},      {"Auto", 0},
      {"Rumbo", 1},         {"GPS", 0},             {"Edm", 1},          {"Offsetdist", 7},
      {"Offsetestado", 1},  {"Notificaractiva", 0}, {"FiltroHvalor", 23}, {"FiltroHestado", 1},
      {"FiltroBeep", 0},    {"FiltroPuntos", 0},    {"FiltroPro", 0},    {"FiltroWpt", 0},
      {"WptName", 1},       {"ObjPref", 1},         {"SoundCapture", 1}, {"StringCoord", 0},
      {"NavStyle", 2},      {"NavSound", 0},        {"NavSoundDistance", 2345}};
  for (const auto& [name, value] : values) Store(name, value);
  app_->WriteProfileString("Opciones", "WptNamePrefix", "Mojón");

  CTolvanixDoc& doc = MakeDoc();
  EXPECT_EQ(doc.m_features[0].type, FeatureType::Line);  // ObjPref 1
  EXPECT_NEAR(doc.m_offsetMetres, 7 * 0.3048, 1e-12);    // feet with Metrica 1
  // Wipe the store, then write it again from the document.
  std::filesystem::remove(dir_ / "registry.ini");
  doc.SaveOptions();
  for (const auto& [name, value] : values) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Stored(name), value);
  }
  EXPECT_EQ(Stored("Vsp"), 0);
  EXPECT_EQ(app_->GetProfileString("Opciones", "WptNamePrefix"), "Mojón");
  EXPECT_FALSE(Stored("Idioma").has_value());  // read, never written by the document
}

TEST_F(OptionsTest, ScaledValuesNeverDrift) {
  // Stored integers whose scaled value is not exact in binary come back as they were.
  for (int stored : {1, 3, 7, 29, 33, 57, 99, 123, 999}) {
    EXPECT_EQ(ScaledOptionToStored(stored * 0.1, 10.0), stored);
    EXPECT_EQ(ScaledOptionToStored(stored * 0.001, 1000.0), stored);
  }
  // A value typed with more digits than the store keeps is truncated.
  EXPECT_EQ(ScaledOptionToStored(2.55, 10.0), 25);
  EXPECT_EQ(ScaledOptionToStored(0.1234, 1000.0), 123);
}

TEST_F(OptionsTest, ValuesOutOfRangeFallBackToDefaults) {
  Store("Datum", 999);
  Store("Huso", 75);
  Store("Coord", 7);
  Store("AP", -20);
  CTolvanixDoc& doc = MakeDoc();
  EXPECT_EQ(doc.m_datum.index, 0);
  EXPECT_EQ(doc.m_zone, 31);
  EXPECT_EQ(doc.m_coord, 0);
  EXPECT_DOUBLE_EQ(doc.m_autoCaptureDistance, 10.0);
  EXPECT_TRUE(doc.m_transformsReady);
}

TEST_F(OptionsTest, MissingOrShortProjectionFileFallsBackToGeographicAndSaysSo) {
  Store("Coord", 2);
  for (bool present : {false, true}) {
    SCOPED_TRACE(present);
    if (present) std::ofstream(dir_ / "internal" / "tvxprj.bin", std::ios::binary) << "too short";
    platform::MessageBoxScript::TakeShown();
    CTolvanixDoc& doc = MakeDoc();
    EXPECT_EQ(doc.m_coord, 0);
    EXPECT_EQ(doc.m_projectionName, "UTM");
    EXPECT_TRUE(doc.m_transformsReady);
    auto shown = platform::MessageBoxScript::TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "The projection cannot be configured");
  }
}

TEST_F(OptionsTest, GridReferenceIsCoordTwoInTheStore) {
  // The stored projection is MGRS: in memory "Coord" 0 with the grid-reference kind set.
  ProjectionRecord mgrs;
  mgrs.kind = static_cast<std::uint8_t>(ProjectionKind::Mgrs);
  mgrs.SetName(std::string("MGRS"));
  std::array<std::uint8_t, kProjectionRecordSize> bytes{};
  EncodeProjectionRecord(mgrs, bytes);
  std::ofstream(dir_ / "internal" / "tvxprj.bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  Store("Coord", 2);
  Store("StringCoord", 2);
  CTolvanixDoc& doc = MakeDoc();
  EXPECT_EQ(doc.m_coord, 0);
  EXPECT_EQ(doc.m_stringCoord, 2);
  doc.SaveOptions();
  EXPECT_EQ(Stored("Coord"), 2);
  EXPECT_EQ(doc.m_coord, 0);
  double e = 0, n = 0;
  ASSERT_TRUE(doc.ConvertCoordinates(3.0, 45.0, e, n));
  EXPECT_EQ(doc.GridRefText().substr(0, 3), "31T");
}

TEST_F(OptionsTest, SheetValuesAreTakenAndStored) {
  CTolvanixDoc& doc = MakeDoc();
  CTolvanixDoc::OptionValues v = doc.CurrentOptionValues();
  v.autoCaptureDistance = 0.05;  // below the smallest interval
  v.hdopLimit = 2.55;
  v.offsetSide = 0;
  v.offsetDistance = 12;
  v.metrica = 2;
  v.coord = 1;  // UTM keeps the zone choice (the geographic display always follows the position)
  v.autoZone = 0;
  v.zone = 33;
  v.datum.index = 271;  // a user datum typed on the datum page
  v.datum.a = 6378388.0;
  v.datum.b = 6356911.946;
  v.datum.dX = -87.0;
  doc.ApplyOptionValues(v);
  EXPECT_DOUBLE_EQ(doc.m_autoCaptureDistance, 0.1);
  EXPECT_EQ(Stored("AP"), 1);
  EXPECT_EQ(Stored("FiltroHvalor"), 25);
  EXPECT_NEAR(doc.m_offsetMetres, 12 * 0.3048, 1e-12);
  EXPECT_EQ(doc.m_zone, 33);
  EXPECT_EQ(doc.m_autoZone, 0);
  EXPECT_EQ(doc.m_datumName, "User defined");
  EXPECT_TRUE(std::filesystem::exists(dir_ / "internal" / "tvxdatumuser.bin"));
  EXPECT_TRUE(doc.m_transformsReady);

  // Side 2: no offset, and the distance is cleared.
  v = doc.CurrentOptionValues();
  v.offsetSide = 2;
  doc.m_offsetOn = true;
  doc.ApplyOptionValues(v);
  EXPECT_FALSE(doc.m_offsetOn);
  EXPECT_EQ(doc.m_offsetDistance, 0);
}

// The GPS page is offered only while the receiver is closed: its values are taken then alone.
TEST_F(OptionsTest, GpsValuesAreTakenOnlyWhileTheReceiverIsClosed) {
  Store("GPS", 0);
  for (bool open : {true, false}) {
    SCOPED_TRACE(open);
    CTolvanixDoc& doc = MakeDoc();
    CTolvanixDoc::OptionValues v = doc.CurrentOptionValues();
    v.port = 4;
    v.baudIndex = 8;
    v.commEventReader = 1;
    doc.m_gpsOn = open;
    doc.ApplyOptionValues(v);
    doc.m_gpsOn = false;
    EXPECT_EQ(doc.m_port, open ? -1 : 4);
    EXPECT_EQ(doc.m_baudIndex, open ? -1 : 8);
    EXPECT_EQ(doc.m_commEventReader, open ? 0 : 1);
    EXPECT_EQ(doc.m_gpsEnabled, open ? 0 : 1);
    EXPECT_EQ(Stored("Puerto"), open ? -1 : 4);
    EXPECT_EQ(Stored("Vsp"), 0);
  }
}

TEST_F(OptionsTest, MissingDatumFileKeepsUnsavedWork) {
  // Working on list datum 5 when the datum file goes; then datum 12 is chosen.
  Store("Datum", 5);
  CTolvanixDoc& doc = MakeDoc();
  ASSERT_EQ(doc.m_datum.index, 5);
  const std::string inForce = doc.m_datumName;
  std::filesystem::remove(dir_ / "internal" / "tvxdatum.bin");
  doc.SetModifiedFlag(TRUE);
  CTolvanixDoc::OptionValues v = doc.CurrentOptionValues();
  v.datum.index = 12;
  platform::MessageBoxScript::TakeShown();
  doc.ApplyOptionValues(v);
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_FALSE(shown.empty());
  EXPECT_NE(shown[0].text.find("Error Fatal"), std::string::npos);
  EXPECT_EQ(doc.m_datum.index, 5);  // the datum in force stays
  EXPECT_EQ(doc.m_datumName, inForce);
  EXPECT_TRUE(doc.IsModified());
}

// A datum list whose record for datum 12 holds another number: at start-up and when datum 12
// is chosen the user is told which record is wrong and why; the program goes on, on WGS84 at
// start-up and on the datum in force when chosen.
TEST_F(OptionsTest, DamagedDatumListSaysWhichRecordIsWrongAndWhy) {
  const std::filesystem::path list = dir_ / "internal" / "tvxdatum.bin";
  std::vector<std::uint8_t> bytes(std::filesystem::file_size(list));
  std::ifstream(list, std::ios::binary).read(reinterpret_cast<char*>(bytes.data()), bytes.size());
  WriteLeInt32(bytes, 11 * kDatumRecordSize + 72, 13);  // record 12 holds datum 13
  std::ofstream(list, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::string expected =
      "Datum 12 cannot be used: record 12 of the datum list \"internal/tvxdatum.bin\", which "
      "belongs to datum 12, holds datum 13.";

  Store("Datum", 12);
  platform::MessageBoxScript::TakeShown();
  CTolvanixDoc& doc = MakeDoc();
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, expected);
  EXPECT_EQ(shown[0].caption, "Tolvanix PDA");
  EXPECT_EQ(doc.m_datum.index, 0);
  EXPECT_TRUE(doc.m_transformsReady);

  CTolvanixDoc::OptionValues v = doc.CurrentOptionValues();
  v.datum.index = 5;
  doc.ApplyOptionValues(v);
  ASSERT_EQ(doc.m_datum.index, 5);
  v.datum.index = 12;
  doc.ApplyOptionValues(v);
  shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, expected);
  EXPECT_EQ(doc.m_datum.index, 5);
}

// The datum file is missing when the program starts. Without unsaved work the program closes
// once its main window exists; with unsaved work by then it keeps running on WGS84, and saving
// the options later keeps the stored datum choice.
TEST_F(OptionsTest, MissingDatumFileAtStartUp) {
  std::filesystem::remove(dir_ / "internal" / "tvxdatum.bin");
  Store("Datum", 12);
  ViewStub frame;
  for (bool unsavedWork : {false, true}) {
    SCOPED_TRACE(unsavedWork);
    frame.received.clear();
    platform::MessageBoxScript::TakeShown();
    CTolvanixDoc& doc = MakeDoc();
    auto shown = platform::MessageBoxScript::TakeShown();
    ASSERT_FALSE(shown.empty());
    EXPECT_NE(shown[0].text.find("Error Fatal"), std::string::npos);
    EXPECT_EQ(doc.m_datum.index, 0);
    if (unsavedWork) doc.SetModifiedFlag(TRUE);  // a log replayed from the command line
    app_->m_hMainWnd = frame.hwnd;               // the main window exists now
    platform::WaitAndPumpMessages(50);
    platform::PumpMessages();
    EXPECT_EQ(frame.Count(WM_CLOSE), unsavedWork ? 0 : 1);
    if (unsavedWork) {
      doc.ApplyOptionValues(doc.CurrentOptionValues());
      EXPECT_EQ(Stored("Datum"), 12);
      EXPECT_EQ(doc.m_datum.index, 0);
      doc.SaveOptions();
      EXPECT_EQ(Stored("Datum"), 12);
    }
    app_->m_hMainWnd = nullptr;
    doc_.reset();
  }
}

TEST_F(OptionsTest, SavePromptReportsAFailedSave) {
  CTolvanixDoc& doc = MakeDoc();
  doc.SetModifiedFlag(TRUE);
  // Yes, but no folder and no save-as dialog: the save does not happen, the caller stops.
  platform::MessageBoxScript::Push(IDYES);
  EXPECT_FALSE(doc.SaveModified());
  EXPECT_TRUE(doc.IsModified());
  platform::MessageBoxScript::Push(IDCANCEL);
  EXPECT_FALSE(doc.SaveModified());
  platform::MessageBoxScript::Push(IDNO);
  EXPECT_TRUE(doc.SaveModified());
  // Yes with a name and folder but no file of the document's own: the name is asked for,
  // proposed in that folder; the file named is written.
  doc.m_docFolder = dir_.string();
  doc.m_docName = "parcela";
  platform::FileDialogScript::TakeShown();
  platform::MessageBoxScript::Push(IDYES);
  platform::FileDialogScript::Push((dir_ / "parcela.tvx").string());
  EXPECT_TRUE(doc.SaveModified());
  EXPECT_TRUE(std::filesystem::exists(dir_ / "parcela.tvx"));
  const auto asked = platform::FileDialogScript::TakeShown();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].request.initialName, (dir_ / "parcela.tvx").string());
}

}  // namespace
