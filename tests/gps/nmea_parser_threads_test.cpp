// The reader thread feeds the parser while the user-interface thread takes snapshots for
// its status texts: every snapshot is consistent (run under ThreadSanitizer too).
#include "gps/nmea_parser.h"

#include <gtest/gtest.h>

#include "tests/gps/nmea_test_support.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace {

using nmea_test::Framed;

std::atomic<int> g_callbacks{0};
void Count(NmeaSentenceKind) { ++g_callbacks; }

TEST(NmeaParserThreadsTest, SnapshotsWhileFeeding) {
  CNmeaParser::SetCallback(&Count);
  CNmeaParser parser;
  // Two alternating fixes whose latitude and altitude belong together.
  const std::string a = Framed("GPGGA,120000,1000.000,N,00100.000,E,1,05,1.0,100.0,M,,M,,");
  const std::string b = Framed("GPGGA,120001,2000.000,S,00200.000,W,2,09,2.0,200.0,M,,M,,");
  constexpr int kRounds = 20000;
  std::atomic<bool> done{false};
  std::thread reader([&] {
    for (int i = 0; i < kRounds; ++i) {
      const std::string& s = (i % 2) ? b : a;
      parser.ParseBuffer(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    }
    done = true;
  });
  int torn = 0;
  while (!done.load()) {
    NmeaState s = parser.Snapshot();
    if (s.gga.count == 0) continue;
    bool first = s.gga.latitude > 0 && s.gga.altitude == 100.0 && s.gga.fixQuality == 1;
    bool second = s.gga.latitude < 0 && s.gga.altitude == 200.0 && s.gga.fixQuality == 2;
    torn += !(first || second);
  }
  reader.join();
  CNmeaParser::SetCallback(nullptr);
  EXPECT_EQ(torn, 0);
  EXPECT_EQ(parser.Snapshot().gga.count, static_cast<unsigned>(kRounds));
  EXPECT_EQ(g_callbacks.load(), kRounds);
}

}  // namespace
