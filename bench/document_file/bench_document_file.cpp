// Save and open of a document with one million vertices through the document itself (the
// hold flag, the temporary file and rename, the new document, the measures of every feature
// after the load), reported as vertices per second of elapsed time (the measures run on the area
// worker's thread, which the main thread's CPU time would leave out).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "document/tolvanix_doc.h"
#include "platform/options_store.h"

namespace {

constexpr int kFeatures = 10;
constexpr int kVerticesPerFeature = 100000;
constexpr double kVertexCount = double{kFeatures} * kVerticesPerFeature;

struct Fixture {
  Fixture() {
    dir = std::filesystem::temp_directory_path() / ("tvx_bench_doc_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    platform::OptionsStore::Instance().SetPath((dir / "registry.ini").string());
    doc = std::make_unique<CTolvanixDoc>();
    doc->DeleteAllFeatures();
    for (int k = 0; k < kFeatures; ++k) {
      FeatureRecord& f = doc->AddFeature(k % 2 ? FeatureType::Line : FeatureType::Area,
                                         "Parcela " + std::to_string(k));
      f.ReserveVertices(kVerticesPerFeature);
      for (int i = 0; i < kVerticesPerFeature; ++i) {
        // A walk of about one metre steps.
        const GeoPoint p{-3.7 + 1e-5 * i, 40.4 + 1e-5 * k};
        f.AddVertex(p, p, 65000 + i % 300);
      }
    }
    path = (dir / "million.tvx").string();
  }
  ~Fixture() { std::filesystem::remove_all(dir); }

  std::filesystem::path dir;
  std::unique_ptr<CTolvanixDoc> doc;
  std::string path;
};

Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

void SetRate(benchmark::State& state) {
  state.counters["vertices/s"] = benchmark::Counter(
      kVertexCount * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_DocumentSave(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) {
    if (!f.doc->OnSaveDocument(f.path)) state.SkipWithError("save failed");
  }
  SetRate(state);
}
BENCHMARK(BM_DocumentSave)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DocumentOpen(benchmark::State& state) {
  Fixture& f = TheFixture();
  if (!f.doc->OnSaveDocument(f.path)) state.SkipWithError("save failed");
  CTolvanixDoc reader;
  for (auto _ : state) {
    if (!reader.OnOpenDocument(f.path)) state.SkipWithError("open failed");
  }
  SetRate(state);
}
BENCHMARK(BM_DocumentOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
