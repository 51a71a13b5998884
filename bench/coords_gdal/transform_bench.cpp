// A GDAL transformation from WGS84 into UTM on a working datum with a seven-parameter shift:
// one call per point (the fix intake) against batches of 1000 points (area worker, exports),
// and the cost of building a whole set of seven (each reader thread or area worker start).

#include <benchmark/benchmark.h>

#include <vector>

#include "coords/transform_set.h"

namespace {

CoordSettings DatumUtm() {
  CoordSettings settings;
  settings.coord = 1;
  settings.zone = 32;
  settings.datum.a = 6377397.155;
  settings.datum.b = 6356078.962818189;
  settings.datum.SetShift({598.1, 73.7, 418.2, 0.202, 0.045, -2.455, 6.7});
  return settings;
}

void BM_TransformPerPoint(benchmark::State& state) {
  TransformSet set = TransformSet::Build(DatumUtm());
  if (!set.Ready()) {
    state.SkipWithError("transformations not built");
    return;
  }
  double lon = 9.0;
  for (auto _ : state) {
    double x = lon, y = 48.0;
    benchmark::DoNotOptimize(set.Transform(TransformId::Utm, x, y));
    benchmark::DoNotOptimize(x);
    lon = lon < 10.0 ? lon + 1e-6 : 9.0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TransformPerPoint);

void BM_TransformBatch1000(benchmark::State& state) {
  TransformSet set = TransformSet::Build(DatumUtm());
  if (!set.Ready()) {
    state.SkipWithError("transformations not built");
    return;
  }
  constexpr std::size_t kPoints = 1000;
  std::vector<double> xs(kPoints), ys(kPoints);
  std::vector<int> ok(kPoints);
  for (auto _ : state) {
    for (std::size_t i = 0; i < kPoints; ++i) {
      xs[i] = 9.0 + 1e-4 * static_cast<double>(i);
      ys[i] = 48.0 + 5e-5 * static_cast<double>(i);
    }
    benchmark::DoNotOptimize(set.Transform(TransformId::Utm, xs, ys, ok));
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_TransformBatch1000);

void BM_BuildTransformSet(benchmark::State& state) {
  const CoordSettings settings = DatumUtm();
  for (auto _ : state) {
    TransformSet set = TransformSet::Build(settings);
    benchmark::DoNotOptimize(set.Ready());
  }
}
BENCHMARK(BM_BuildTransformSet)->Unit(benchmark::kMillisecond);

}  // namespace
