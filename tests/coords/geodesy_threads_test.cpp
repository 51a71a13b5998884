// The reader thread and the user-interface thread convert at the same time: each must get the
// results it would get alone (and ThreadSanitizer must see no race on the module parameters).

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "coords/grid_reference.h"
#include "coords/utm.h"

namespace {

constexpr double kDeg = kPi / 180.0;
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84F = 1.0 / 298.257223563;
constexpr double kHayfordA = 6378388.0;
constexpr double kHayfordF = 1.0 / 297.0;
constexpr double kBngLat = 52.657570 * kDeg;
constexpr double kBngLon = 1.717922 * kDeg;

struct UtmResult {
    int zone = 0, hemisphere = 0;
    double easting = 0.0, northing = 0.0;
    bool operator==(const UtmResult&) const = default;
};

UtmResult Utm(double lat, double lon) {
    UtmResult r;
    ConvertGeodeticToUtm(lat, lon, r.zone, r.hemisphere, r.easting, r.northing);
    return r;
}

TEST(GeodesyThreadsTest, ConcurrentSetUpsAndConversions) {
    ASSERT_EQ(SetBngParameters("AA"), 0);
    ASSERT_EQ(SetMgrsParameters(kWgs84A, kWgs84F, "WE"), 0);
    std::string bngExpected;
    ASSERT_EQ(ConvertGeodeticToBng(kBngLat, kBngLon, 5, bngExpected), 0);
    std::string mgrsExpected;
    ASSERT_EQ(ConvertUtmToMgrs(31, 1, 460000.0, 6650000.0, 5, mgrsExpected), 0);
    ASSERT_EQ(SetUtmParameters(kHayfordA, kHayfordF, 0), 0);
    const UtmResult hayford = Utm(-33.0 * kDeg, 18.5 * kDeg);
    ASSERT_EQ(SetUtmParameters(kWgs84A, kWgs84F, 0), 0);
    const UtmResult wgs84 = Utm(-33.0 * kDeg, 18.5 * kDeg);
    ASSERT_NE(hayford, wgs84);

    constexpr int kRounds = 20000;
    std::atomic<int> readerFaults{0};
    std::atomic<int> interfaceFaults{0};
    std::thread reader([&] {
        std::string text;
        for (int i = 0; i < kRounds; ++i) {
            if (i % 100 == 0)
                SetBngParameters("AA");
            if (ConvertGeodeticToBng(kBngLat, kBngLon, 5, text) != 0 || text != bngExpected)
                ++readerFaults;
            if (ConvertUtmToMgrs(31, 1, 460000.0, 6650000.0, 5, text) != 0 || text != mgrsExpected)
                ++readerFaults;
        }
    });
    std::thread userInterface([&] {
        std::string text;
        for (int i = 0; i < kRounds; ++i) {
            const bool useHayford = i % 2 == 1;
            SetUtmParameters(useHayford ? kHayfordA : kWgs84A, useHayford ? kHayfordF : kWgs84F, 0);
            if (Utm(-33.0 * kDeg, 18.5 * kDeg) != (useHayford ? hayford : wgs84))
                ++interfaceFaults;
            if (i % 50 == 0 && SetMgrsParameters(kWgs84A, kWgs84F, "WE") != 0)
                ++interfaceFaults;
            if (ConvertUtmToMgrs(31, 1, 460000.0, 6650000.0, 5, text) != 0 || text != mgrsExpected)
                ++interfaceFaults;
        }
    });
    reader.join();
    userInterface.join();
    EXPECT_EQ(readerFaults.load(), 0);
    EXPECT_EQ(interfaceFaults.load(), 0);
}

} // namespace
