// Save and load of a document with one million vertices (ten features of 100 000 each, a
// walk of one metre steps), reported as vertices per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "document/tvx_file.h"

namespace {

constexpr int kFeatures = 10;
constexpr int kVerticesPerFeature = 100000;
constexpr double kVertexCount = double{kFeatures} * kVerticesPerFeature;

const DocumentContent& MillionVertices() {
  static const DocumentContent doc = [] {
    DocumentContent d;
    for (int k = 0; k < kFeatures; ++k) {
      FeatureRecord& f = d.AddFeature(k % 2 ? FeatureType::Line : FeatureType::Area,
                                      "Parcela " + std::to_string(k));
      f.ReserveVertices(kVerticesPerFeature);
      for (int i = 0; i < kVerticesPerFeature; ++i) {
        const GeoPoint p{-3.7 + 1e-5 * i, 40.4 + 1e-5 * k};
        f.AddVertex(p, p, 65000 + i % 300);
      }
    }
    return d;
  }();
  return doc;
}

void SetRate(benchmark::State& state) {
  state.counters["vertices/s"] = benchmark::Counter(
      kVertexCount * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_WriteTvx(benchmark::State& state) {
  const DocumentContent& doc = MillionVertices();
  for (auto _ : state) {
    std::string bytes = WriteTvxFile(doc);
    benchmark::DoNotOptimize(bytes.data());
  }
  SetRate(state);
}
BENCHMARK(BM_WriteTvx)->Unit(benchmark::kMillisecond);

void BM_ReadTvx(benchmark::State& state) {
  const std::string bytes = WriteTvxFile(MillionVertices());
  for (auto _ : state) {
    DocumentContent doc;
    TvxFileError error;
    if (!ReadTvxFile(bytes, doc, error)) state.SkipWithError(error.text.c_str());
    benchmark::DoNotOptimize(doc.features.data());
  }
  SetRate(state);
}
BENCHMARK(BM_ReadTvx)->Unit(benchmark::kMillisecond);

// The whole round through the disk: an atomic save (with its flush) and a load from the file.
void BM_SaveAndLoadFile(benchmark::State& state) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "bench_tvx_file.tvx").string();
  const DocumentContent& doc = MillionVertices();
  for (auto _ : state) {
    std::string why;
    std::string bytes;
    DocumentContent back;
    TvxFileError error;
    if (!SaveTvxFileAtomically(path, doc, why) || !ReadFileBytes(path, bytes, why)) {
      state.SkipWithError(why.c_str());
      break;
    }
    if (!ReadTvxFile(bytes, back, error)) state.SkipWithError(error.text.c_str());
  }
  std::remove(path.c_str());
  SetRate(state);
}
BENCHMARK(BM_SaveAndLoadFile)->Unit(benchmark::kMillisecond);

}  // namespace
