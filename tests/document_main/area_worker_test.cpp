// The area worker: measures against worked-out values, starts that overlap, and the fix intake
// on a reader thread beside the user-interface thread (built and run under ThreadSanitizer).
#include <proj.h>

#include <atomic>
#include <cmath>
#include <thread>

#include <fstream>

#include "coords/projection_record.h"
#include "doc_test_env.h"
#include "document/doc_area.h"
#include "document/doc_options.h"
#include "document/measures.h"
#include "platform/threads.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// UTM zone 31 north (WGS84) to longitude/latitude with PROJ itself: the worker must measure
// the plane figure back.
std::vector<GeoPoint> FromUtm31(const std::vector<GeoPoint>& plane) {
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* pj = proj_create_crs_to_crs(ctx, "EPSG:32631", "EPSG:4326", nullptr);
  PJ* norm = proj_normalize_for_visualization(ctx, pj);
  std::vector<GeoPoint> out;
  for (const GeoPoint& p : plane) {
    PJ_COORD c = proj_trans(norm, PJ_FWD, proj_coord(p.x, p.y, 0, 0));
    out.push_back({c.xy.x, c.xy.y});
  }
  proj_destroy(norm);
  proj_destroy(pj);
  proj_context_destroy(ctx);
  return out;
}

class AreaWorkerTest : public DocTest {
 protected:
  FeatureRecord& Feature(FeatureType type, const std::vector<GeoPoint>& plane) {
    FeatureRecord& f = doc_->AddFeature(type, "test");
    for (const GeoPoint& p : FromUtm31(plane)) f.AddVertex(p, p, 0);
    return f;
  }
};

TEST_F(AreaWorkerTest, CircleOfRadiusTen) {
  MakeDoc();
  Feature(FeatureType::Circle, CirclePolygon({500000.0, 4980000.0}, 10.0));
  doc_->RecomputeAreasAndWait(1);
  const FeatureRecord& c = doc_->m_features[1];
  EXPECT_NEAR(c.area, 314.159, 0.001);
  EXPECT_NEAR(c.length, 62.832, 0.001);
  EXPECT_NEAR(c.perimeter, 62.832, 0.001);
}

TEST_F(AreaWorkerTest, RotatedSquareOfHundredMetres) {
  MakeDoc();
  for (double degrees : {0.0, 17.0, 45.0, 130.0}) {
    SCOPED_TRACE(degrees);
    const double a = degrees * kPi / 180.0;
    std::vector<GeoPoint> square;
    for (auto [u, v] : {std::pair{0, 0}, {100, 0}, {100, 100}, {0, 100}}) {
      square.push_back({480000.0 + u * std::cos(a) - v * std::sin(a),
                        4650000.0 + u * std::sin(a) + v * std::cos(a)});
    }
    Feature(FeatureType::Area, square);
    const int index = static_cast<int>(doc_->m_features.size()) - 1;
    doc_->RecomputeAreasAndWait(index);
    const FeatureRecord& f = doc_->m_features[index];
    EXPECT_NEAR(f.area, 10000.0, 0.01);
    EXPECT_NEAR(f.length, 300.0, 0.001);
    EXPECT_NEAR(f.perimeter, 400.0, 0.001);
  }
}

// A start while the worker runs is never lost: the last shape is the one measured.
TEST_F(AreaWorkerTest, QuickStartsGiveTheFinalResult) {
  MakeDoc();
  FeatureRecord& f = doc_->m_features[0];
  const std::vector<GeoPoint> plane = {{500000, 5000000}, {500200, 5000000}, {500200, 5000100},
                                       {500000, 5000100}, {499900, 5000050}};
  const std::vector<GeoPoint> wgs = FromUtm31(plane);
  for (std::size_t i = 0; i < wgs.size(); ++i) {
    f.AddVertex(wgs[i], wgs[i], 0);
    doc_->StartAreaRecompute(-1, FALSE);
  }
  // The view's loop: messages until the results are stored.
  for (int i = 0; i < 200 && (doc_->m_areaBusy || view_.Count(WM_DIBUJAR_CAMPOS) == 0); ++i)
    platform::WaitAndPumpMessages(50);
  platform::WaitAndPumpMessages(50);
  EXPECT_FALSE(doc_->m_areaBusy);
  EXPECT_TRUE(doc_->CurrentMeasuresUpToDate());
  EXPECT_NEAR(doc_->m_features[0].area, 200.0 * 100.0 + 0.5 * 100.0 * 100.0, 0.01);
  EXPECT_GE(view_.Count(WM_DIBUJAR_CAMPOS), 1);
}

TEST_F(AreaWorkerTest, DegenerateFeaturesDoNotCrash) {
  MakeDoc();
  Feature(FeatureType::Circle, {{500000, 5000000}, {499990, 5000010}});  // two vertices
  doc_->m_features.push_back(FeatureRecord(FeatureType::Area, "empty"));
  doc_->RecomputeAreasAndWait(-1);
  EXPECT_EQ(doc_->m_features[1].area, 0.0);
  EXPECT_TRUE(doc_->CurrentMeasuresUpToDate());
  doc_->DeleteAllFeatures();
  doc_->RecomputeAreasAndWait(-1);
  doc_->StartAreaRecompute(-1, TRUE);
  EXPECT_EQ(WaitForSingleObject(doc_->m_areaEvent, 0), WAIT_OBJECT_0);
}

// Square of `side` metres in UTM 31 with its south-west corner at (x0, y0), and a fifth vertex
// that adds a triangle of `side` x side / 2 on its west side.
std::vector<GeoPoint> SquarePlus(double x0, double y0, double side, bool fifth) {
  std::vector<GeoPoint> plane = {{x0, y0}, {x0 + side, y0}, {x0 + side, y0 + side}, {x0, y0 + side}};
  if (fifth) plane.push_back({x0 - side, y0 + side / 2});
  return plane;
}

// The skip of unchanged features looks at the feature itself: a feature edited down to the
// vertex count of the feature measured just before it is measured again.
TEST_F(AreaWorkerTest, EditedFeatureWithTheCountOfTheOneMeasuredBeforeIsMeasured) {
  MakeDoc();
  doc_->DeleteAllFeatures();
  Feature(FeatureType::Area, SquarePlus(500000, 5000000, 100, true));  // B, 5 vertices
  Feature(FeatureType::Area, SquarePlus(501000, 5000000, 50, false));  // A, 4 vertices
  doc_->RecomputeAreasAndWait(0);
  doc_->RecomputeAreasAndWait(1);  // A is measured last, with 4 vertices
  ASSERT_NEAR(doc_->m_features[0].area, 15000.0, 0.01);
  ASSERT_NEAR(doc_->m_features[1].area, 2500.0, 0.01);

  // The user goes back to B and deletes its last point: 4 vertices, as A had.
  doc_->m_current = 0;
  doc_->OnDeleteLastPoint();
  for (int i = 0; i < 200 && doc_->m_areaBusy; ++i) platform::WaitAndPumpMessages(20);
  platform::WaitAndPumpMessages(50);
  EXPECT_NEAR(doc_->m_features[0].area, 10000.0, 0.01);
  EXPECT_NEAR(doc_->m_features[0].perimeter, 400.0, 0.001);
  EXPECT_EQ(doc_->GetAreaText(0, false).find('*'), std::string::npos);

  // Deleting the other feature's point too, and adding one back to B: each is measured.
  doc_->m_current = 1;
  doc_->OnDeleteLastPoint();  // A: 3 vertices, a right triangle of 50 x 50
  doc_->m_current = 0;
  const GeoPoint extra = FromUtm31({{500000 - 100, 5000050}})[0];
  doc_->AddVertexAt(extra, extra);  // B: 5 vertices again
  doc_->RecomputeAreasAndWait(-1);
  EXPECT_NEAR(doc_->m_features[1].area, 1250.0, 0.01);
  EXPECT_NEAR(doc_->m_features[0].area, 15000.0, 0.01);
}

// Measurements under way when features are deleted end up in the features they measured,
// never in whichever feature took the index.
TEST_F(AreaWorkerTest, DeletingFeaturesWhileTheyAreMeasuredKeepsEveryAreaRight) {
  MakeDoc();
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    doc_->DeleteAllFeatures();
    // Same vertex counts, different sizes: a result stored at a moved index would show.
    for (int k = 0; k < 6; ++k) {
      const double side = 20.0 + 10 * k;
      Feature(FeatureType::Area, SquarePlus(500000 + 1000 * k, 5000000, side, false)).name =
          std::to_string(static_cast<int>(side));
    }
    for (int k = 0; k < 6; ++k) doc_->StartAreaRecompute(k, TRUE);
    doc_->DeleteFeature(round % 3);
    doc_->DeleteFeature(2);
    for (int i = 0; i < 400 && doc_->m_areaBusy; ++i) platform::WaitAndPumpMessages(5);
    platform::WaitAndPumpMessages(50);
    ASSERT_EQ(doc_->m_features.size(), 4u);
    for (const FeatureRecord& f : doc_->m_features) {
      const double side = std::stod(f.name);
      EXPECT_NEAR(f.area, side * side, 0.01) << f.name;
    }
  }
}

// A loaded document's features are measured side by side on helper threads, each with its
// own transformation set: the results, in job order, are those of one thread alone.
TEST_F(AreaWorkerTest, SideBySideMeasuresMatchOneThread) {
  std::vector<AreaJob> jobs;
  for (int k = 0; k < 12; ++k) {
    const double side = 50.0 + 10.0 * k;
    const double a = 13.0 * k * kPi / 180.0;
    std::vector<GeoPoint> square;
    for (auto [u, v] : {std::pair{0.0, 0.0}, {side, 0.0}, {side, side}, {0.0, side}})
      square.push_back({470000.0 + 1000.0 * k + u * std::cos(a) - v * std::sin(a),
                        4900000.0 + u * std::sin(a) + v * std::cos(a)});
    AreaJob job;
    job.index = k;
    job.type = k % 3 == 0 ? FeatureType::Line : FeatureType::Area;
    job.wgs84 = FromUtm31(square);
    jobs.push_back(std::move(job));
  }
  const CoordSettings settings;
  TransformSet set = TransformSet::Build(settings);
  ASSERT_TRUE(set.Ready());
  const std::vector<AreaResult> together = MeasureSideBySide(jobs, set, settings);
  ASSERT_EQ(together.size(), jobs.size());
  for (std::size_t k = 0; k < jobs.size(); ++k) {
    SCOPED_TRACE(k);
    const AreaResult alone = MeasureAreaJob(jobs[k], set);
    ASSERT_TRUE(together[k].ok);
    EXPECT_EQ(together[k].index, jobs[k].index);
    EXPECT_DOUBLE_EQ(together[k].measures.area, alone.measures.area);
    EXPECT_DOUBLE_EQ(together[k].measures.perimeter, alone.measures.perimeter);
    const double side = 50.0 + 10.0 * static_cast<double>(k);
    EXPECT_NEAR(together[k].measures.area, side * side, 1e-3);
    EXPECT_NEAR(together[k].measures.perimeter, 4.0 * side, 1e-4);
  }
}

// UTM zone 11 north (WGS84) to longitude/latitude, many points at once.
std::vector<GeoPoint> FromUtm11(std::vector<GeoPoint> plane) {
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* pj = proj_create_crs_to_crs(ctx, "EPSG:32611", "EPSG:4326", nullptr);
  PJ* norm = proj_normalize_for_visualization(ctx, pj);
  proj_trans_generic(norm, PJ_FWD, &plane[0].x, sizeof(GeoPoint), plane.size(), &plane[0].y,
                     sizeof(GeoPoint), plane.size(), nullptr, 0, 0, nullptr, 0, 0);
  proj_destroy(norm);
  proj_destroy(pj);
  proj_context_destroy(ctx);
  return plane;
}

// The options are applied (command 32778) while the worker measures a large field under the
// old ones: every area stored afterwards is a fresh measurement under the new settings, none
// a figure of the old plane read in the new unit. The user projection in US survey feet is
// given up for UTM in metres, as the units page gives it.
TEST_F(AreaWorkerTest, OptionsAppliedWhileAFieldIsMeasuredStoreMeasuresOfTheNewSettings) {
  ProjectionRecord feet;
  feet.kind = static_cast<std::uint8_t>(ProjectionKind::EpsgCode);
  feet.p[0] = 2229;  // California zone 5, US survey feet
  feet.SetName(std::string("EPSG 2229"));
  std::array<std::uint8_t, kProjectionRecordSize> bytes{};
  EncodeProjectionRecord(feet, bytes);
  std::ofstream(dir_ / "internal" / "tvxprj.bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  Store("Coord", 2);
  CTolvanixDoc& doc = MakeDoc();
  ASSERT_EQ(doc.m_coord, 2);
  doc.DeleteAllFeatures();

  // A field of 300 000 vertices on a circle of 600 m radius keeps the worker busy for a
  // while; two squares of 100 m and 300 m beside it.
  constexpr int kRing = 300000;
  std::vector<GeoPoint> ring(kRing);
  for (int i = 0; i < kRing; ++i) {
    const double a = 2.0 * kPi * i / kRing;
    ring[i] = {441000.0 + 600.0 * std::cos(a), 3761000.0 + 600.0 * std::sin(a)};
  }
  FeatureRecord& large = doc.AddFeature(FeatureType::Area, "large");
  large.ReserveVertices(kRing);
  for (const GeoPoint& p : FromUtm11(std::move(ring))) large.AddVertex(p, p, 0);
  for (double side : {100.0, 300.0}) {
    FeatureRecord& square = doc.AddFeature(FeatureType::Area, "square");
    for (const GeoPoint& p : FromUtm11({{443000, 3760000},
                                        {443000 + side, 3760000},
                                        {443000 + side, 3760000 + side},
                                        {443000, 3760000 + side}}))
      square.AddVertex(p, p, 0);
  }
  doc.m_current = 1;

  struct SheetAnswer {
    SheetAnswer() {
      CTolvanixDoc::SetOptionsSheet([](CTolvanixDoc&, CTolvanixDoc::OptionValues& v) {
        v.coord = 1;  // UTM
        return true;
      });
    }
    ~SheetAnswer() { CTolvanixDoc::SetOptionsSheet(nullptr); }
  } answer;
  doc.StartAreaRecompute(0, TRUE);  // the large field is being measured
  ASSERT_TRUE(doc.OnCmdMsg(32778, CN_COMMAND, nullptr));
  ASSERT_EQ(doc.m_coord, 1);
  for (int i = 0; i < 1000 && doc.m_areaBusy; ++i) platform::WaitAndPumpMessages(20);
  platform::PumpMessages();

  std::vector<double> stored;
  for (const FeatureRecord& f : doc.m_features) stored.push_back(f.area);
  doc.RecomputeAreasAndWait(-1);
  for (std::size_t k = 0; k < stored.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_DOUBLE_EQ(stored[k], doc.m_features[k].area);
  }
  EXPECT_NEAR(stored[1], 100.0 * 100.0, 0.5);  // square metres
  EXPECT_NEAR(stored[2], 300.0 * 300.0, 1.0);
  EXPECT_NEAR(stored[0], kPi * 600.0 * 600.0, 50.0);
  EXPECT_TRUE(doc.CurrentMeasuresUpToDate());
}

// A reader thread feeds sentences while the user-interface thread captures, measures and
// reads the fix: every vertex is a whole fix, and the measures come out right.
TEST_F(AreaWorkerTest, IntakeOnAReaderThreadBesideCapture) {
  CTolvanixDoc& doc = MakeDoc();
  const std::vector<GeoPoint> corners =
      FromUtm31({{500000, 5000000}, {500100, 5000000}, {500100, 5000100}, {500000, 5000100}});
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    for (int i = 0; !stop; ++i) {
      const GeoPoint& p = corners[i % 4];
      const std::string s = Gga(p.x, p.y);
      doc.FeedNmea(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    }
  });
  // The reader's first fix waits for its own transformations to be built.
  for (int i = 0; i < 500 && doc.m_gpsLat == 0.0; ++i) Sleep(10);
  for (int i = 0; i < 300; ++i) {
    if (doc.m_hasFix) {
      doc.CapturePoint();
      const GpsFix fix = doc.TakeFix();
      EXPECT_EQ(fix.gpsLon, fix.datumLon);
    }
    doc.StartAreaRecompute(-1, FALSE);
    platform::PumpMessages();
  }
  stop = true;
  reader.join();
  const FeatureRecord& f = doc.m_features[0];
  ASSERT_GT(f.VertexCount(), 0u);
  for (const GeoPoint& v : f.wgs84Vertices) {
    bool isCorner = false;
    for (const GeoPoint& c : corners)
      isCorner |= std::fabs(v.x - c.x) < 1e-6 && std::fabs(v.y - c.y) < 1e-6;
    EXPECT_TRUE(isCorner);
  }
  doc.RecomputeAreasAndWait(0);
  std::vector<GeoPoint> plane;
  for (const GeoPoint& v : f.wgs84Vertices) {
    for (std::size_t k = 0; k < 4; ++k)
      if (std::fabs(v.x - corners[k].x) < 1e-6 && std::fabs(v.y - corners[k].y) < 1e-6)
        plane.push_back({k == 1 || k == 2 ? 100.0 : 0.0, k >= 2 ? 100.0 : 0.0});
  }
  // The sentences carry minutes to six decimals (about 2 mm), and every segment repeats the
  // rounding of its two corners, so the allowance grows with the number of segments.
  EXPECT_NEAR(f.perimeter, ClosedPerimeter(plane), 0.003 * static_cast<double>(plane.size()));
}

}  // namespace
