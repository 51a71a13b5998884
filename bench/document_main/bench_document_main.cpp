// The document's main road under load.
//
// FixIntake: sentences from the parser to an accepted position transformed into the working
// datum and the map (no window to tell): fixes per second. Target: at least 50,000.
// AreaOf100kVertices: area, length and perimeter of a 100,000-vertex feature through the
// document (copy, worker thread with its own transformations, result stored). Target: under
// 100 ms. MeasureOnly: the same measurement on a ready transformation set.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "document/doc_area.h"
#include "document/tolvanix_doc.h"

namespace {

std::string Sentence(const std::string& body) {
  unsigned char sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return "$" + body + tail;
}

// 1000 GGA sentences along a line north-east from 40.4 N 3.7 W, about 1 m apart.
std::string Walk() {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) {
    const double lat = 40.4 + i * 1e-5, lon = 3.7 - i * 1e-5;
    const int latDeg = static_cast<int>(lat), lonDeg = static_cast<int>(lon);
    char body[128];
    std::snprintf(body, sizeof body, "GPGGA,120000.00,%02d%09.6f,N,%03d%09.6f,W,1,08,1.0,650.0,M,50.0,M,,",
                  latDeg, (lat - latDeg) * 60.0, lonDeg, (lon - lonDeg) * 60.0);
    bytes += Sentence(body);
  }
  return bytes;
}

std::vector<GeoPoint> Ring(std::size_t n) {
  std::vector<GeoPoint> ring(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double a = 2.0 * 3.141592653589793 * static_cast<double>(i) / static_cast<double>(n);
    ring[i] = {3.0 + 0.01 * std::cos(a), 45.0 + 0.01 * std::sin(a)};
  }
  return ring;
}

void BM_FixIntake(benchmark::State& state) {
  CTolvanixDoc doc;
  const std::string bytes = Walk();
  for (auto _ : state) {
    doc.FeedNmea(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  if (doc.m_gpsMapX == 0.0) state.SkipWithError("the fixes were not transformed");
  state.SetItemsProcessed(state.iterations() * 1000);
  state.counters["fixes_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 1000, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FixIntake)->Unit(benchmark::kMillisecond);

void BM_AreaOf100kVertices(benchmark::State& state) {
  CTolvanixDoc doc;
  FeatureRecord& f = doc.m_features[0];
  for (const GeoPoint& p : Ring(100000)) f.AddVertex(p, p, 0);
  for (auto _ : state) doc.RecomputeAreasAndWait(0);
  if (doc.m_features[0].area <= 0.0) state.SkipWithError("no area measured");
}
BENCHMARK(BM_AreaOf100kVertices)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MeasureOnly100kVertices(benchmark::State& state) {
  CTolvanixDoc doc;
  TransformSet set = TransformSet::Build(doc.CurrentCoordSettings());
  AreaJob job;
  job.wgs84 = Ring(100000);
  for (auto _ : state) benchmark::DoNotOptimize(MeasureAreaJob(job, set));
}
BENCHMARK(BM_MeasureOnly100kVertices)->Unit(benchmark::kMillisecond);

}  // namespace
