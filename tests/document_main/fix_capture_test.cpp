// Fix intake and capture: positions from sentences, the lateral offset, the HDOP filter and
// the cases in which capture is refused.
#include <geodesic.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>

#include "doc_test_env.h"
#include "document/doc_options.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "platform/threads.h"

namespace {

// About 10 m of latitude, in degrees.
constexpr double kTenMetresLat = 10.0 / 111132.0;

class FixCaptureTest : public DocTest {};

TEST_F(FixCaptureTest, SentencesSetThePosition) {
  CTolvanixDoc& doc = MakeDoc();
  // RMC alone positions the document, even void, but gives no fix.
  Feed(Rmc(2.5, 41.5, 'V'));
  EXPECT_NEAR(doc.m_gpsLon, 2.5, 1e-9);
  EXPECT_NEAR(doc.m_gpsLat, 41.5, 1e-9);
  EXPECT_FALSE(doc.m_hasFix);

  Feed(Gga(2.6, 41.6, 1, 1.4, -12.347));
  EXPECT_TRUE(doc.m_hasFix);
  EXPECT_EQ(doc.m_altitudeCm, -1235);  // to the nearest centimetre
  EXPECT_NEAR(doc.m_hdop, 1.4, 1e-12);
  // After a GGA the RMC no longer moves the position.
  Feed(Rmc(3.0, 42.0));
  EXPECT_NEAR(doc.m_gpsLon, 2.6, 1e-9);
  // A GGA without a fix clears the fix and keeps the position.
  Feed(Gga(4.0, 43.0, 0, 2.0));
  EXPECT_FALSE(doc.m_hasFix);
  EXPECT_NEAR(doc.m_gpsLon, 2.6, 1e-9);
  EXPECT_NEAR(doc.m_hdop, 2.0, 1e-12);

  // Map coordinates: UTM of the zone that follows the position (31 at 2.6 E); reference
  // values from PROJ's cs2cs.
  EXPECT_EQ(doc.m_zone, 31);
  EXPECT_NEAR(doc.m_gpsMapX, 466666.27, 0.01);
  EXPECT_NEAR(doc.m_gpsMapY, 4605443.49, 0.01);
  platform::PumpMessages();
  EXPECT_EQ(view_.Count(WM_REFRESH_GPS), 2);  // the void RMC and the GGA with a fix
  EXPECT_EQ(doc.SatIndicatorText(), "Sat 8 HDOP 2.0");
}

// Metres become centimetres to the nearest centimetre; an altitude beyond what the records
// hold is refused and the last one stays.
TEST_F(FixCaptureTest, AltitudesToTheNearestCentimetre) {
  CTolvanixDoc& doc = MakeDoc();
  const std::pair<double, std::int32_t> fixes[] = {
      {651.3, 65130}, {0.29, 29}, {-0.07, -7}, {1.006, 101}, {545.4, 54540}, {-12.346, -1235}};
  for (const auto& [metres, centimetres] : fixes) {
    Feed(Gga(2.6, 41.6, 1, 1.4, metres));
    EXPECT_EQ(doc.m_altitudeCm, centimetres) << metres;
  }
  Feed(Gga(2.6, 41.6, 1, 1.4, 651.3));
  for (const char* altitude : {"30000000.0", "-21474836.49", "1e300"}) {
    Feed(Sentence(std::string("GPGGA,120001.00,4136.000000,N,00236.000000,E,1,09,1.3,") + altitude +
                  ",M,50.0,M,,"));
    EXPECT_EQ(doc.m_satellites, 9) << altitude;  // the rest of the sentence is taken
    EXPECT_EQ(doc.m_altitudeCm, 65130) << altitude;
  }
  Feed(Gga(2.6, 41.6, 1, 1.4, 21474836.47));
  EXPECT_EQ(doc.m_altitudeCm, 2147483647);

  EXPECT_EQ(CentimetresFromMetres(-21474836.48), std::optional<std::int32_t>(-2147483648));
  EXPECT_EQ(CentimetresFromMetres(21474836.48), std::nullopt);
  EXPECT_EQ(CentimetresFromMetres(std::nan("")), std::nullopt);
  EXPECT_EQ(CentimetresFromMetres(-HUGE_VAL), std::nullopt);

  // Captured with the fix: the vertex and the waypoint keep the rounded altitude.
  Feed(Gga(2.6, 41.6, 1, 1.4, 651.3));
  doc.CapturePoint();
  doc.OnAddWaypoint();
  ASSERT_EQ(doc.m_features[0].VertexCount(), 1u);
  EXPECT_EQ(doc.m_features[0].altitudesCm[0], 65130);
  ASSERT_EQ(doc.m_waypoints.size(), 1u);
  EXPECT_EQ(doc.m_waypoints[0].altitudeCm, 65130);
}

// Walking due north past three fixes 10 m apart: the offset point lies level with the middle
// fix, at the offset distance to the right (east) or, for side 1, to the left (west).
TEST_F(FixCaptureTest, OffsetLandsOnTheSideChosen) {
  struct Case {
    int side;
    double expectedDx;
  };
  for (const Case c : {Case{0, 5.0}, Case{1, -5.0}, Case{3, 5.0}}) {
    SCOPED_TRACE(c.side);
    Store("Offsetestado", c.side);
    Store("Offsetdist", 5);
    CTolvanixDoc& doc = MakeDoc();
    doc.ToggleOffset();
    double middleX = 0.0, middleY = 0.0;
    for (int i = 0; i < 3; ++i) {
      const double lat = 45.0 + i * kTenMetresLat;
      if (i == 1) {
        ASSERT_TRUE(doc.ConvertCoordinates(3.0, lat, middleX, middleY));
      }
      Feed(Gga(3.0, lat));
    }
    EXPECT_NEAR(doc.m_gpsMapX - middleX, c.expectedDx, 0.01);
    EXPECT_NEAR(doc.m_gpsMapY - middleY, 0.0, 0.01);
    // The walker's own last position is kept beside the offset one.
    EXPECT_NEAR(doc.m_offsetLat, 45.0 + 2 * kTenMetresLat, 1e-9);
  }
}

TEST_F(FixCaptureTest, OffsetNeedsThreeDistinctFixes) {
  Store("Offsetestado", 0);
  CTolvanixDoc& doc = MakeDoc();
  doc.ToggleOffset();
  Feed(Gga(3.0, 45.0));
  Feed(Gga(3.0, 45.0));
  platform::PumpMessages();
  EXPECT_EQ(view_.Count(WM_REFRESH_GPS), 0);  // the first two fixes post nothing
  Feed(Gga(3.0, 45.0));
  platform::PumpMessages();
  EXPECT_EQ(view_.Count(WM_REFRESH_GPS), 0);  // standing still: no direction, no offset
  EXPECT_NEAR(doc.m_gpsLat, 45.0, 1e-9);
}

// The options change the map system (UTM of zone 30 chosen by hand at 3 E) while the offset
// is on: the walker's fixes are laid into the new system, and no fix is moved by a direction
// of travel taken between two systems.
TEST_F(FixCaptureTest, OffsetGoesOnInANewMapSystem) {
  Store("Offsetestado", 0);
  Store("Offsetdist", 5);
  CTolvanixDoc& doc = MakeDoc();
  doc.ToggleOffset();
  for (int i = 0; i < 3; ++i) Feed(Gga(3.0, 45.0 + i * kTenMetresLat));
  ASSERT_NEAR(doc.m_gpsLat, 45.0 + kTenMetresLat, 1e-6);  // the offset point

  struct SheetAnswer {
    SheetAnswer() {
      CTolvanixDoc::SetOptionsSheet([](CTolvanixDoc&, CTolvanixDoc::OptionValues& v) {
        v.coord = 1;  // UTM, zone 30 by hand, as the units page gives them
        v.autoZone = 0;
        v.zone = 30;
        return true;
      });
    }
    ~SheetAnswer() { CTolvanixDoc::SetOptionsSheet(nullptr); }
  } answer;
  ASSERT_TRUE(doc.OnCmdMsg(32778, CN_COMMAND, nullptr));
  ASSERT_EQ(doc.m_zone, 30);

  for (int i = 3; i < 6; ++i) {
    SCOPED_TRACE(i);
    const double walkerLat = 45.0 + i * kTenMetresLat;
    Feed(Gga(3.0, walkerLat));
    // Within the offset distance (5 m, about 7e-5 degrees of longitude here) of the walker.
    EXPECT_NEAR(doc.m_gpsLon, 3.0, 1e-4);
    EXPECT_NEAR(doc.m_gpsLat, walkerLat, 2 * kTenMetresLat);
  }
  EXPECT_NEAR(doc.m_gpsLat, 45.0 + 4 * kTenMetresLat, 1e-6);  // level with the middle fix
}

// Positions on both sides of a UTM zone boundary, or of the equator, while the zone follows
// the position (the default): each fix is shown in its own zone, but what is built from two
// of them is what the geodesic between them on the WGS84 ellipsoid gives (PROJ's geodesic
// routines; UTM's scale is within 0.1 % of 1 there): the distance from the last captured
// point (the length panel, automatic capture), a circle from the receiver, the offset point
// of a walk from one to the other, and the area of a square across.
TEST_F(FixCaptureTest, ValuesOfTwoPositionsAcrossAZoneBoundaryAgreeWithTheGeodesic) {
  struct Row {
    const char* where;
    GeoPoint a, b;  // WGS84 degrees, about 150 m apart
  };
  const Row rows[] = {
      {"0 E, zones 30 and 31 (the demonstration's field)", {-0.0009, 51.4776}, {0.0011, 51.4783}},
      {"6 E, zones 31 and 32", {5.9990, 45.0}, {6.0012, 45.0006}},
      {"6 W, zones 29 and 30, south of the equator", {-6.0008, -0.5}, {-5.9992, -0.4994}},
      {"the equator, zone 31", {3.2, -0.0006}, {3.2007, 0.0007}},
      {"180, zones 60 and 1", {179.9993, -17.0}, {-179.9991, -16.9994}},
  };
  geod_geodesic wgs84;
  geod_init(&wgs84, 6378137.0, 1 / 298.257223563);
  auto inverse = [&](GeoPoint p, GeoPoint q, double* azimuthAtQ = nullptr) {
    double s = 0, azi1 = 0, azi2 = 0;
    geod_inverse(&wgs84, p.y, p.x, q.y, q.x, &s, &azi1, &azi2);
    if (azimuthAtQ) *azimuthAtQ = azi2;
    return s;
  };
  auto direct = [&](GeoPoint p, double azimuth, double s, double* azimuthThere = nullptr) {
    GeoPoint q;
    double azi2 = 0;
    geod_direct(&wgs84, p.y, p.x, azimuth, s, &q.y, &q.x, &azi2);
    if (azimuthThere) *azimuthThere = azi2;
    return q;
  };
  constexpr double kPi = 3.14159265358979323846;

  for (const Row& r : rows) {
    SCOPED_TRACE(r.where);
    double azimuth = 0;
    geod_inverse(&wgs84, r.a.y, r.a.x, r.b.y, r.b.x, nullptr, &azimuth, nullptr);
    const double ab = inverse(r.a, r.b);
    ASSERT_GT(ab, 100.0);
    ASSERT_LT(ab, 200.0);

    // The distance from the last captured point.
    {
      CTolvanixDoc& doc = MakeDoc();
      Feed(Gga(r.a.x, r.a.y));
      doc.CapturePoint();
      Feed(Gga(r.b.x, r.b.y));
      EXPECT_NEAR(doc.DistanceFromLastCapture(), ab, 0.001 * ab);
    }
    // A circle from the receiver: its centre where it was started, its edge at the fix.
    {
      CTolvanixDoc& doc = MakeDoc();
      Feed(Gga(r.a.x, r.a.y));
      doc.OnAddCircle();
      Feed(Gga(r.b.x, r.b.y));
      doc.UpdateCircleFromPosition();
      doc.RecomputeAreasAndWait(-1);
      const FeatureRecord& circle = doc.m_features.back();
      ASSERT_EQ(circle.VertexCount(), 3u);
      EXPECT_NEAR(circle.area, kPi * ab * ab, 0.002 * kPi * ab * ab);
      EXPECT_NEAR(circle.perimeter, 2 * kPi * ab, 0.001 * 2 * kPi * ab);
      for (int corner : {1, 2})
        EXPECT_NEAR(inverse(r.a, circle.wgs84Vertices[corner]), ab * std::sqrt(2.0), 0.001 * ab);
    }
    // The offset of a walk from a to b over its middle: 10 m to the right of the middle fix.
    {
      Store("Offsetestado", 0);
      Store("Offsetdist", 10);
      CTolvanixDoc& doc = MakeDoc();
      doc.ToggleOffset();
      double along = 0;
      const GeoPoint middle = direct(r.a, azimuth, ab / 2, &along);
      for (const GeoPoint& p : {r.a, middle, r.b}) Feed(Gga(p.x, p.y));
      const GeoPoint truth = direct(middle, along + 90.0, 10.0);
      EXPECT_LT(inverse(truth, {doc.m_gpsLon, doc.m_gpsLat}), 0.05)
          << doc.m_gpsLon << " " << doc.m_gpsLat;
      doc.CapturePoint();
      ASSERT_EQ(doc.m_features[0].VertexCount(), 1u);
      EXPECT_LT(inverse(truth, doc.m_features[0].wgs84Vertices[0]), 0.05);
      Store("Offsetestado", 2);
    }
    // A square of side ab with two corners on each side.
    {
      CTolvanixDoc& doc = MakeDoc();
      FeatureRecord& square = doc.m_features[0];
      const GeoPoint corners[] = {r.a, r.b, direct(r.b, azimuth + 90.0, ab), direct(r.a, azimuth + 90.0, ab)};
      geod_polygon polygon;
      geod_polygon_init(&polygon, 0);
      for (const GeoPoint& c : corners) {
        square.AddVertex(c, c, 0);
        geod_polygon_addpoint(&wgs84, &polygon, c.y, c.x);
      }
      double area = 0, perimeter = 0;
      geod_polygon_compute(&wgs84, &polygon, 0, 1, &area, &perimeter);
      doc.RecomputeAreasAndWait(-1);
      EXPECT_NEAR(square.area, std::fabs(area), 0.002 * std::fabs(area));
      EXPECT_NEAR(square.perimeter, perimeter, 0.001 * perimeter);
    }
  }
}

TEST_F(FixCaptureTest, HdopFilterAtBelowAndAboveItsLimit) {
  Store("FiltroHestado", 1);
  Store("FiltroHvalor", 30);
  CTolvanixDoc& doc = MakeDoc();
  struct Case {
    double hdop;
    bool captured;
  };
  int beeps = platform::BeepsRequested();
  std::size_t vertices = 0;
  for (const Case c : {Case{2.9, true}, Case{3.0, true}, Case{3.1, false}}) {
    SCOPED_TRACE(c.hdop);
    Feed(Gga(3.0, 45.0 + vertices * kTenMetresLat, 1, c.hdop));
    doc.CapturePoint();
    if (c.captured) ++vertices;
    EXPECT_EQ(doc.m_features[0].VertexCount(), vertices);
    EXPECT_EQ(platform::BeepsRequested() - beeps, c.captured ? 0 : 1);
  }
  // The filter applies only to the kinds of capture it is set for.
  doc.m_filterPoints = 0;
  doc.CapturePoint();
  EXPECT_EQ(doc.m_features[0].VertexCount(), vertices + 1);
}

TEST_F(FixCaptureTest, CaptureRefusedWithoutPositionAndOnALockedFeature) {
  CTolvanixDoc& doc = MakeDoc();
  Feed(Gga(0.0, 0.0));
  doc.CapturePoint();
  doc.AddWaypoint(doc.m_datumLon, doc.m_datumLat, 0);
  EXPECT_EQ(doc.m_features[0].VertexCount(), 0u);
  EXPECT_TRUE(doc.m_waypoints.empty());

  Feed(Gga(3.0, 45.0));
  doc.m_features[0].editable = 0;
  doc.m_features[0].name = "Olivar";
  doc.SetModifiedFlag(FALSE);  // a locked feature as a file holds it
  doc.m_autoCapture = true;
  platform::MessageBoxScript::TakeShown();
  doc.CapturePoint();
  EXPECT_EQ(doc.m_features[0].VertexCount(), 0u);
  EXPECT_FALSE(doc.m_autoCapture);  // automatic capture stops on a locked feature
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].text.find("bloqueado"), std::string::npos);
  EXPECT_NE(shown[0].text.find("Olivar"), std::string::npos);
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(FixCaptureTest, CaptureStoresBothFramesAndPostsTheSegment) {
  Store("SoundCapture", 1);
  CTolvanixDoc& doc = MakeDoc();
  Feed(Gga(3.0, 45.0, 1, 1.0, 123.456));
  const int sounds = platform::SoundsRequested();
  doc.CapturePoint();
  EXPECT_EQ(platform::SoundsRequested() - sounds, 1);
  const FeatureRecord& f = doc.m_features[0];
  ASSERT_EQ(f.VertexCount(), 1u);
  EXPECT_NEAR(f.wgs84Vertices[0].x, 3.0, 1e-9);
  EXPECT_EQ(f.vertices[0], f.wgs84Vertices[0]);  // datum 0: the working datum is WGS84
  EXPECT_EQ(f.altitudesCm[0], 12346);  // 123.456 m to the nearest centimetre
  EXPECT_TRUE(doc.IsModified());
  platform::PumpMessages();
  EXPECT_EQ(view_.Count(WM_ADD_SEGMENTO), 1);
}

// The capture sound goes to the player as a file of its own in the temporary folder, made anew
// under a name no one can foresee and readable by the user alone: links someone left in the
// shared folder under names the program could take lead it nowhere. The file goes when the
// program ends.
TEST_F(FixCaptureTest, TheCaptureSoundsFileIsPrivateAndGoesWithTheProgram) {
  namespace fs = std::filesystem;
  const fs::path temporary = dir_ / "tmp";
  fs::create_directories(temporary);
  const fs::path victim = dir_ / "notes.txt";
  std::ofstream(victim) << "the user's notes";
  auto capture = [&] {
    ::unsetenv("TVX_NO_SOUND");
    ::setenv("TMPDIR", temporary.c_str(), 1);
    ::setenv("PATH", "", 1);  // no player is started
    // Names a program writing there might take: by process and sound, and its own
    // temporary file beside such a name.
    const std::string pid = std::to_string(::getpid());
    for (const std::string& name : {"tvx-sound-" + pid + "-1.wav", std::string("tvx-sound-1.wav"),
                                    "tvx-sound-" + pid + "-1.wav.tmp" + pid})
      fs::create_symlink(victim, temporary / name);
    Store("SoundCapture", 1);
    CTolvanixDoc& doc = MakeDoc();
    Feed(Gga(3.0, 45.0));
    doc.CapturePoint();
    int files = 0, privateFiles = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(temporary)) {
      if (entry.is_symlink()) continue;
      ++files;
      if ((entry.status().permissions() & fs::perms::all) ==
          (fs::perms::owner_read | fs::perms::owner_write))
        ++privateFiles;
    }
    std::ifstream in(victim);
    const std::string notes((std::istreambuf_iterator<char>(in)), {});
    for (const fs::directory_entry& entry : fs::directory_iterator(temporary))
      if (entry.is_symlink()) fs::remove(entry.path());
    doc_.reset();
    app_.reset();
    std::exit(notes != "the user's notes" ? 3 : files != 1 ? 2 : privateFiles != 1 ? 4 : 0);
  };
  EXPECT_EXIT(capture(), ::testing::ExitedWithCode(0), "");
  EXPECT_TRUE(fs::is_empty(temporary));
}

// Captures restart the measurement up to the 200th vertex; past it they mark the measures out
// of date instead.
TEST_F(FixCaptureTest, MeasuresGoOutOfDatePastTwoHundredVertices) {
  CTolvanixDoc& doc = MakeDoc();
  for (int i = 0; i < 198; ++i) {
    const GeoPoint p{3.0 + i * 1e-4, 45.0 + (i % 2) * 1e-4};
    doc.m_features[0].AddVertex(p, p, 0);
  }
  doc.RecomputeAreasAndWait(0);
  struct Step {
    std::size_t vertices;
    int countAtLastStart;
    bool valid;
  };
  for (const Step s : {Step{199, 199, true}, Step{200, 200, true}, Step{201, 200, false}}) {
    SCOPED_TRACE(s.vertices);
    Feed(Gga(2.9, 45.0 + s.vertices * 1e-5));
    doc.CapturePoint();
    EXPECT_EQ(doc.m_features[0].VertexCount(), s.vertices);
    EXPECT_EQ(doc.m_lastVertexCount, s.countAtLastStart);
    while (doc.m_areaBusy) Sleep(5);
    doc.ApplyAreaResults();
    EXPECT_EQ(doc.CurrentMeasuresUpToDate(), s.valid);
  }
}

// Automatic capture by distance in each unit system: metres, yards, US survey yards.
TEST_F(FixCaptureTest, AutomaticCaptureByDistanceInEveryUnitSystem) {
  struct Case {
    int metrica;
    double threshold;  // metres at which an interval of 10 units is passed
  };
  for (const Case c : {Case{0, 10.0}, Case{1, 10.0 / 1.0936}, Case{2, 10.0 * 0.9144018288}}) {
    SCOPED_TRACE(c.metrica);
    Store("Metrica", c.metrica);
    CTolvanixDoc& doc = MakeDoc();
    Feed(Gga(3.0, 45.0));
    doc.CapturePoint();
    for (double metres : {c.threshold - 0.05, c.threshold + 0.05}) {
      Feed(Gga(3.0, 45.0 + metres / 111132.0));
      doc.AutoCaptureCheck();
    }
    EXPECT_EQ(doc.m_features[0].VertexCount(), 2u);
    EXPECT_NEAR(doc.DistanceFromLastCapture(), 0.0, 1e-9);
  }
}

TEST_F(FixCaptureTest, WaypointsAreNamedByPrefixAndNumber) {
  CTolvanixDoc& doc = MakeDoc();
  Feed(Rmc(3.0, 45.0));
  Feed(Gga(3.0, 45.0));
  for (int i = 0; i < 4; ++i) doc.OnAddWaypoint();
  ASSERT_EQ(doc.m_waypoints.size(), 4u);
  EXPECT_EQ(doc.m_waypoints[3].name, "Sin nombre 4");
  EXPECT_EQ(doc.m_waypointNotes.size(), 4u);
  // The GPS date and time stamp it (14 May 2026, 12:00:00 local time).
  EXPECT_EQ(doc.m_waypoints[0].FormatDate(), "14/05/2026");
  EXPECT_EQ(doc.m_waypoints[0].FormatTime(), "12:00:00");

  doc.m_waypointNaming = 0;  // ask: without a dialog the name stays empty, the waypoint is added
  doc.OnAddWaypoint();
  EXPECT_EQ(doc.m_waypoints.back().name, "");
}

TEST_F(FixCaptureTest, AveragingAndCombinedCapture) {
  CTolvanixDoc& doc = MakeDoc();
  AverageTexts texts;
  Feed(Gga(3.0, 45.0, 1, 1.0, 100.0));
  ASSERT_TRUE(doc.AddAverageSample(texts));
  Feed(Gga(3.0002, 45.0002, 1, 1.0, 101.0));
  ASSERT_TRUE(doc.AddAverageSample(texts));
  EXPECT_EQ(texts.longitude, "3.0001000");
  EXPECT_EQ(texts.latitude, "45.0001000");
  EXPECT_EQ(texts.count, "2");
  EXPECT_EQ(texts.altitude, "100.50");
  EXPECT_EQ(texts.zone, "31 T");

  doc.CaptureCombined(3);
  ASSERT_EQ(doc.m_waypoints.size(), 1u);
  EXPECT_EQ(doc.m_waypoints[0].altitudeCm, 10050);
  ASSERT_EQ(doc.m_features[0].VertexCount(), 1u);
  EXPECT_NEAR(doc.m_features[0].wgs84Vertices[0].y, 45.0001, 1e-12);
}

// Averaging sessions as the view runs them (samples on each position, the combined capture at
// the end, the samples dropped): a session without an accepted sample stores nothing and
// says why, whatever an earlier session averaged.
TEST_F(FixCaptureTest, CombinedCaptureNeedsASampleOfItsOwnSession) {
  Store("FiltroHestado", 1);
  Store("FiltroHvalor", 30);
  Store("FiltroPro", 1);
  CTolvanixDoc& doc = MakeDoc();
  platform::MessageBoxScript::TakeShown();
  doc.CaptureCombined(3);  // before any position at all
  EXPECT_TRUE(doc.m_waypoints.empty());
  EXPECT_EQ(doc.m_features[0].VertexCount(), 0u);
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Sin cobertura");
  EXPECT_FALSE(doc.IsModified());

  AverageTexts texts;
  Feed(Gga(3.0, 45.0, 1, 1.0, 651.3));
  ASSERT_TRUE(doc.AddAverageSample(texts));
  doc.CaptureCombined(3);
  doc.m_samples.clear();
  ASSERT_EQ(doc.m_waypoints.size(), 1u);
  EXPECT_EQ(doc.m_waypoints[0].altitudeCm, 65130);

  Feed(Gga(3.001, 45.001, 1, 3.5));  // the filter refuses the only sample of this session
  EXPECT_FALSE(doc.AddAverageSample(texts));
  for (int mode : {1, 2, 3}) doc.CaptureCombined(mode);
  EXPECT_EQ(doc.m_waypoints.size(), 1u);
  EXPECT_EQ(doc.m_features[0].VertexCount(), 1u);
  EXPECT_EQ(platform::MessageBoxScript::TakeShown().size(), 3u);

  Feed(Gga(3.002, 45.002, 1, 1.0));  // the next session averages its own samples only
  ASSERT_TRUE(doc.AddAverageSample(texts));
  EXPECT_EQ(texts.count, "1");
  doc.CaptureCombined(1);
  ASSERT_EQ(doc.m_waypoints.size(), 2u);
  EXPECT_NEAR(doc.m_waypoints[1].x, 3.002, 1e-9);
}

TEST_F(FixCaptureTest, CircleNeedsAPosition) {
  CTolvanixDoc& doc = MakeDoc();
  platform::MessageBoxScript::TakeShown();
  doc.OnAddCircle();
  EXPECT_FALSE(doc.m_definingCircle);
  EXPECT_EQ(doc.m_features.size(), 1u);
  EXPECT_EQ(doc.m_current, 0);
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Sin cobertura");
}

TEST_F(FixCaptureTest, CircleFollowsTheWalker) {
  CTolvanixDoc& doc = MakeDoc();
  Feed(Gga(3.0, 45.0));
  doc.OnAddCircle();
  ASSERT_EQ(doc.m_current, 1);
  EXPECT_EQ(doc.m_features[1].type, FeatureType::Circle);
  EXPECT_EQ(doc.m_features[1].editable, 0);
  Feed(Gga(3.0, 45.0 + kTenMetresLat));
  doc.UpdateCircleFromPosition();
  doc.RecomputeAreasAndWait(1);
  const FeatureRecord& circle = doc.m_features[1];
  ASSERT_EQ(circle.VertexCount(), 3u);
  // Radius 10 m (to the UTM scale at the point).
  EXPECT_NEAR(circle.area, 314.16, 0.5);
  EXPECT_NEAR(circle.perimeter, 62.83, 0.05);
  doc.OnAddCircle();
  EXPECT_FALSE(doc.m_definingCircle);
}

// Moving every feature (the map's move tap keeps its reference point where the circle keeps
// its centre) while a circle is walked: the circle is moved with the rest and finished, its
// centre the same point in both frames; the next fix leaves it as it is.
TEST_F(FixCaptureTest, MovingEveryFeatureFinishesACircleBeingWalked) {
  CTolvanixDoc& doc = MakeDoc();
  Feed(Gga(3.0, 45.0));
  doc.OnAddCircle();
  Feed(Gga(3.0, 45.0 + 2 * kTenMetresLat));
  doc.UpdateCircleFromPosition();
  const FeatureRecord& circle = doc.m_features.back();
  ASSERT_EQ(circle.VertexCount(), 3u);
  doc.m_circleCentreWgs = {3.001, 45.001};  // the tapped reference point
  doc.MoveAllFeatures();
  EXPECT_FALSE(doc.m_definingCircle);
  const std::vector<GeoPoint> moved = circle.wgs84Vertices;
  Feed(Gga(3.0, 45.0 + 4 * kTenMetresLat));
  doc.UpdateCircleFromPosition();
  EXPECT_EQ(circle.wgs84Vertices, moved);
  for (std::size_t i = 0; i < circle.VertexCount(); ++i) {
    EXPECT_NEAR(circle.vertices[i].x, circle.wgs84Vertices[i].x, 1e-9) << i;  // datum 0
    EXPECT_NEAR(circle.vertices[i].y, circle.wgs84Vertices[i].y, 1e-9) << i;
  }
}

}  // namespace
