// Every exporter on a document of one million vertices (target: at most 2 s each), UTM on the
// program's own Transverse Mercator (DXF also through GDAL, as the document converts); and the Shapefile export against ogr2ogr converting the
// same shapes, reported as the counter "vs_ogr2ogr" (our time / ogr2ogr's time) in one run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "coords/datum_record.h"
#include "coords/transform_set.h"
#include "document/export_file.h"
#include "document/export_formats.h"
#include "document/export_shapefile.h"
#include "tests/exports/export_test_support.h"

using namespace exports_test;
namespace fs = std::filesystem;

namespace {

constexpr int kFeatures = 20;
constexpr int kVerticesPerFeature = 50'000;  // the NUMBER field holds five digits

UtmSource& Document() {
  static UtmSource source = [] {
    UtmSource s;
    for (int f = 0; f < kFeatures; ++f) {
      FeatureRecord feature(f % 2 ? FeatureType::Area : FeatureType::Line,
                            "Feature " + std::to_string(f));
      feature.ReserveVertices(kVerticesPerFeature);
      for (int i = 0; i < kVerticesPerFeature; ++i) {
        const GeoPoint p{-3.8 + f * 0.01 + 1e-6 * i, 40.3 + 1e-7 * i};
        feature.AddVertex(p, p, 60000 + i % 1000, i % 7 ? "" : "n");
      }
      s.features.push_back(std::move(feature));
    }
    for (int w = 0; w < 100; ++w) {
      s.waypoints.push_back(WaypointRecord::FromFile("W" + std::to_string(w), 0, 0, 0, 0, 100,
                                                     -3.7 + w * 1e-3, 40.4, 1700000000, 0));
    }
    return s;
  }();
  return source;
}

// The same document with output coordinates from GDAL (UTM zone 30 on WGS84), as the document
// gives them: point by point, or with `batched` a whole feature in one call.
class GdalSource : public UtmSource {
 public:
  explicit GdalSource(bool batched) : batched_(batched), set_(TransformSet::Build(Settings())) {
    features = Document().features;
    waypoints = Document().waypoints;
  }
  bool VertexOutput(int, const FeatureRecord& r, std::size_t i, double& x, double& y,
                    double& altitudeM) override {
    x = r.wgs84Vertices[i].x;
    y = r.wgs84Vertices[i].y;
    altitudeM = r.altitudesCm[i] * 0.01;
    return set_.Transform(TransformId::WgsToMap2, x, y);
  }
  void VertexOutputs(int datumChoice, const FeatureRecord& r,
                     std::vector<OutputPoint>& points) override {
    if (!batched_) return ExportSource::VertexOutputs(datumChoice, r, points);
    std::vector<double> xs, ys;
    for (const GeoPoint& p : r.wgs84Vertices) {
      xs.push_back(p.x);
      ys.push_back(p.y);
    }
    set_.Transform(TransformId::WgsToMap2, xs, ys);
    points.resize(xs.size());
    for (std::size_t i = 0; i < xs.size(); ++i) points[i] = {xs[i], ys[i], r.altitudesCm[i] * 0.01};
  }

 private:
  static CoordSettings Settings() {
    CoordSettings settings;
    settings.coord = 1;
    settings.zone = 30;
    settings.autoZone = 0;
    settings.datum = Wgs84DatumRecord();
    return settings;
  }
  bool batched_;
  TransformSet set_;
};

// The files of one run (over 600 MB), removed at exit.
struct BenchFolder {
  BenchFolder() { fs::create_directories(path); }
  ~BenchFolder() { fs::remove_all(path); }
  fs::path path = fs::temp_directory_path() / ("tvx_bench_exports_" + std::to_string(::getpid()));
};

fs::path Folder() {
  static const BenchFolder folder;
  return folder.path;
}

// The whole command's work: the text streamed in chunks to a temporary file, one fsync, the
// rename. The time to only produce the text (chunks dropped) is reported apart as format_ms;
// the rest is mostly the disk's.
template <class Write>
void RunText(benchmark::State& state, Write write, const char* name) {
  UtmSource& source = Document();
  const std::string path = (Folder() / name).string();
  for (auto _ : state) {
    ExportFile file(path);
    const bool opened = file.Open();
    ExportText out = file.Text();
    write(source, out);
    out.Finish();
    if (!opened || !file.Commit()) state.SkipWithError("write failed");
  }
  const auto t0 = std::chrono::steady_clock::now();
  ExportText dropped([](std::string_view) {});
  write(source, dropped);
  dropped.Finish();
  const auto t1 = std::chrono::steady_clock::now();
  state.counters["format_ms"] = std::chrono::duration<double, std::milli>(t1 - t0).count();
  state.counters["MB"] = static_cast<double>(fs::file_size(path)) / 1e6;
}

void BM_GeographicList(benchmark::State& state) {
  RunText(state, [](UtmSource& s, ExportText& out) { WriteGeographicList(out, s, 0); }, "geo.txt");
}
void BM_UtmList(benchmark::State& state) {
  RunText(state, [](UtmSource& s, ExportText& out) { WriteUtmList(out, s, 0, 30); }, "utm.txt");
}
void BM_Kml(benchmark::State& state) {
  RunText(state, [](UtmSource& s, ExportText& out) { WriteKml(out, s, "doc.kml"); }, "doc.kml");
}
void BM_Dxf(benchmark::State& state) {
  RunText(state, [](UtmSource& s, ExportText& out) { WriteDxf(out, s, 0, 30, false); }, "doc.dxf");
}
template <bool batched>
void BM_DxfGdal(benchmark::State& state) {
  static GdalSource source(batched);
  RunText(state, [](UtmSource&, ExportText& out) { WriteDxf(out, source, 0, 30, false); },
          "gdal.dxf");
}
// Every feature into one file (the command writes one file per feature).
void BM_PltAllFeatures(benchmark::State& state) {
  RunText(state, [](UtmSource& s, ExportText& out) {
    for (const FeatureRecord& f : s.features) WritePlt(out, s, f, 0);
  }, "all.plt");
}
void BM_TrkAllFeatures(benchmark::State& state) {
  RunText(state, [](UtmSource& s, ExportText& out) {
    for (const FeatureRecord& f : s.features) WriteTrk(out, s, f, 0);
  }, "all.trk");
}

void BM_ShpPointsUtm(benchmark::State& state) {
  const std::string path = (Folder() / "points.shp").string();
  for (auto _ : state) {
    if (!ExportShpPoints(path, Document(), 0, 1, 30).ok) state.SkipWithError("export failed");
  }
}

// Our shapes export and ogr2ogr writing the same shapes (read from our file), in one run.
void BM_ShpShapesVsOgr2ogr(benchmark::State& state) {
  const std::string ours = (Folder() / "shapes.shp").string();
  const std::string theirs = (Folder() / "ogr.shp").string();
  double oursSeconds = 0, theirsSeconds = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    if (!ExportShpShapes(ours, Document(), kShpPolygon, 0, 0, 30, true).ok) {
      state.SkipWithError("export failed");
      break;
    }
    const auto t1 = std::chrono::steady_clock::now();
    state.PauseTiming();
    const std::string command = "ogr2ogr -q -overwrite -f \"ESRI Shapefile\" '" + theirs + "' '" + ours + "'";
    const auto t2 = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("ogr2ogr failed");
      break;
    }
    const auto t3 = std::chrono::steady_clock::now();
    state.ResumeTiming();
    oursSeconds += std::chrono::duration<double>(t1 - t0).count();
    theirsSeconds += std::chrono::duration<double>(t3 - t2).count();
  }
  if (theirsSeconds > 0) state.counters["vs_ogr2ogr"] = oursSeconds / theirsSeconds;
}

}  // namespace

BENCHMARK(BM_GeographicList)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_UtmList)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Kml)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Dxf)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_TEMPLATE(BM_DxfGdal, false)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_TEMPLATE(BM_DxfGdal, true)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PltAllFeatures)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_TrkAllFeatures)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ShpPointsUtm)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ShpShapesVsOgr2ogr)->Unit(benchmark::kMillisecond)->Iterations(2);
