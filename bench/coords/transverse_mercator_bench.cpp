// The program's own Transverse Mercator/UTM against PROJ's UTM on the same points (one core).
// Target for the own module: at least 4 million forward conversions per second.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "coords/transverse_mercator.h"
#include "coords/utm.h"
#include "tests/coords/proj_utm.h"

namespace {

constexpr double kDeg = kPi / 180.0;
constexpr int kZone = 33;
constexpr std::size_t kPoints = 4096;

struct Point {
    double lat, lon; // degrees
};

// Random points inside zone 33 north (12..18 degrees east, 0..80 degrees north).
const std::vector<Point>& Points() {
    static const std::vector<Point> points = [] {
        std::mt19937_64 random(33);
        std::uniform_real_distribution<double> lat(0.5, 79.5);
        std::uniform_real_distribution<double> lon(12.01, 17.99);
        std::vector<Point> result(kPoints);
        for (Point& p : result)
            p = {lat(random), lon(random)};
        return result;
    }();
    return points;
}

void BM_OwnUtmForward(benchmark::State& state) {
    SetUtmParameters(6378137.0, 1.0 / 298.257223563, 0);
    const auto& points = Points();
    std::size_t i = 0;
    int zone = 0;
    int hemisphere = 0;
    double e = 0.0;
    double n = 0.0;
    for (auto _ : state) {
        const Point& p = points[i++ % kPoints];
        benchmark::DoNotOptimize(ConvertGeodeticToUtm(p.lat * kDeg, p.lon * kDeg, zone, hemisphere, e, n));
        benchmark::DoNotOptimize(e);
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OwnUtmForward);

void BM_OwnUtmInverse(benchmark::State& state) {
    SetUtmParameters(6378137.0, 1.0 / 298.257223563, 0);
    std::vector<std::pair<double, double>> grid;
    for (const Point& p : Points()) {
        int zone = 0;
        int hemisphere = 0;
        double e = 0.0;
        double n = 0.0;
        ConvertGeodeticToUtm(p.lat * kDeg, p.lon * kDeg, zone, hemisphere, e, n);
        grid.emplace_back(e, n);
    }
    std::size_t i = 0;
    double lat = 0.0;
    double lon = 0.0;
    for (auto _ : state) {
        const auto& [e, n] = grid[i++ % kPoints];
        benchmark::DoNotOptimize(ConvertUtmToGeodetic(kZone, 1, e, n, lat, lon));
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OwnUtmInverse);

void BM_OwnTransverseMercatorForward(benchmark::State& state) {
    TransverseMercator tm;
    tm.SetParameters(6378137.0, 6378137.0 * (1.0 - 1.0 / 298.257223563), 0.0, 15.0 * kDeg, 500000.0,
                     0.0, 0.9996);
    const auto& points = Points();
    std::size_t i = 0;
    double e = 0.0;
    double n = 0.0;
    for (auto _ : state) {
        const Point& p = points[i++ % kPoints];
        benchmark::DoNotOptimize(tm.Forward(p.lat * kDeg, p.lon * kDeg, e, n));
        benchmark::DoNotOptimize(e);
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OwnTransverseMercatorForward);

void ProjUtmBench(benchmark::State& state, PJ_DIRECTION direction) {
    ProjUtm proj;
    PJ* transform = proj.Transform(kZone, true);
    std::vector<std::pair<double, double>> inputs;
    for (const Point& p : Points()) {
        inputs.emplace_back(p.lon, p.lat);
        if (direction == PJ_INV)
            inputs.back() = ProjUtm::Apply(transform, PJ_FWD, p.lon, p.lat);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [x, y] = inputs[i++ % kPoints];
        benchmark::DoNotOptimize(ProjUtm::Apply(transform, direction, x, y));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ProjUtmForward(benchmark::State& state) { ProjUtmBench(state, PJ_FWD); }
BENCHMARK(BM_ProjUtmForward);

void BM_ProjUtmInverse(benchmark::State& state) { ProjUtmBench(state, PJ_INV); }
BENCHMARK(BM_ProjUtmInverse);

} // namespace
