#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "coords/transform_set.h"

// The reader thread and the area worker each build their own set from the same settings and
// use it at the same time as the user-interface thread uses its own.
TEST(TransformThreads, SetsBuiltPerThreadAgree) {
  CoordSettings settings;
  settings.coord = 1;
  settings.zone = 32;
  settings.datum.a = 6377397.155;
  settings.datum.b = 6356078.962818189;
  settings.datum.SetShift({598.1, 73.7, 418.2, 0.202, 0.045, -2.455, 6.7});

  auto run = [&settings](std::vector<double>& xs, std::vector<double>& ys) {
    TransformSet set = TransformSet::Build(settings);
    if (!set.Ready()) return;
    for (int round = 0; round < 20; ++round) {
      set.RetargetUtm(UtmTarget::Measuring, 32 + round % 2, true);
      set.RetargetUtm(UtmTarget::Measuring, 32, true);
      for (std::size_t i = 0; i < xs.size(); ++i) {
        double x = 8 + 0.001 * static_cast<double>(i), y = 48;
        set.Transform(TransformId::Utm, x, y);
        xs[i] = x;
        ys[i] = y;
      }
    }
  };
  constexpr std::size_t kPoints = 200;
  std::vector<std::vector<double>> xs(3, std::vector<double>(kPoints)), ys = xs;
  std::thread reader(run, std::ref(xs[1]), std::ref(ys[1]));
  std::thread worker(run, std::ref(xs[2]), std::ref(ys[2]));
  run(xs[0], ys[0]);
  reader.join();
  worker.join();
  EXPECT_GT(xs[0][0], 400000);
  EXPECT_EQ(xs[0], xs[1]);
  EXPECT_EQ(xs[0], xs[2]);
  EXPECT_EQ(ys[0], ys[2]);
}
