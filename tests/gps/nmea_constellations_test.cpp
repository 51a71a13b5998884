// Receivers that track several constellations: the combined solution under the talker GN,
// one GSA per constellation in each epoch, satellites in view under each system's talker,
// and the fields NMEA 4.10 added.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gps/nmea_parser.h"
#include "tests/gps/nmea_test_support.h"

namespace {

using nmea_test::Framed;

std::vector<NmeaSentenceKind> g_calls;
void Record(NmeaSentenceKind kind) { g_calls.push_back(kind); }

void Feed(CNmeaParser& p, const std::string& text) {
  p.ParseBuffer(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// A GSV sequence of `count` satellites with PRNs first, first + step, ...; the signal id is
// appended when not empty.
std::vector<std::string> GsvSequence(const std::string& talker, int first, int step, int count,
                                     const std::string& signal = "") {
  std::vector<std::string> sentences;
  const int messages = (count + 3) / 4;
  for (int m = 1; m <= messages; ++m) {
    std::string body = talker + "GSV," + std::to_string(messages) + "," + std::to_string(m) + "," +
                       std::to_string(count);
    for (int i = 4 * (m - 1); i < count && i < 4 * m; ++i) {
      body += "," + std::to_string(first + i * step) + ",45,180,40";
    }
    if (!signal.empty()) body += "," + signal;
    sentences.push_back(Framed(body));
  }
  return sentences;
}

void FeedAll(CNmeaParser& p, const std::vector<std::string>& sentences) {
  for (const std::string& s : sentences) Feed(p, s);
}

struct Seen {
  std::uint16_t system;
  std::uint16_t prn;
  bool operator==(const Seen&) const = default;
};

std::vector<Seen> InView(const CNmeaParser& p) {
  std::vector<Seen> seen;
  for (const GpsSatellite& s : p.m_gsv.satellite) {
    if (s.prn != 0) seen.push_back({s.system, s.prn});
  }
  return seen;
}

class NmeaConstellationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    CNmeaParser::SetCallback(&Record);
  }
  void TearDown() override { CNmeaParser::SetCallback(nullptr); }
  CNmeaParser p;
};

TEST_F(NmeaConstellationsTest, PositionSentencesOfEveryTalkerCallBackAlike) {
  const char* const talkers[] = {"GP", "GN", "GL", "GA", "GB", "BD"};
  for (const char* talker : talkers) {
    SCOPED_TRACE(talker);
    CNmeaParser q;
    g_calls.clear();
    const std::string t(talker);
    Feed(q, Framed(t + "GGA,123519,4807.038,N,01131.000,W,1,17,0.7,651.3,M,46.9,M,,"));
    Feed(q, Framed(t + "GSA,A,3,05,07,,,,,,,,,,,1.2,0.7,1.0"));
    // NMEA 4.10: mode indicator and navigational status after the magnetic variation.
    Feed(q, Framed(t + "RMC,123519,A,4807.038,N,01131.000,W,0.5,54.7,150324,0.5,W,D,S"));
    EXPECT_EQ(g_calls, (std::vector<NmeaSentenceKind>{NMEA_GGA, NMEA_GSA, NMEA_RMC}));
    EXPECT_EQ(q.m_gga.fixQuality, 1);
    EXPECT_EQ(q.m_gga.satellites, 17);
    EXPECT_DOUBLE_EQ(q.m_gga.altitude, 651.3);
    EXPECT_NEAR(q.m_gga.longitude, -(11 + 31.0 / 60), 1e-12);
    EXPECT_EQ(q.m_rmc.status, 'A');
    EXPECT_NEAR(q.m_rmc.latitude, 48.1173, 1e-12);
    EXPECT_DOUBLE_EQ(q.m_rmc.course, 54.7);
    EXPECT_DOUBLE_EQ(q.m_rmc.magneticVariation, -0.5);
    EXPECT_EQ(q.m_rmc.year, 24);
    EXPECT_DOUBLE_EQ(q.m_gsa.hdop, 0.7);
  }
  // Other talkers stay ignored; time and navigation sentences come from any of the six.
  CNmeaParser q;
  g_calls.clear();
  Feed(q, Framed("GQGGA,123519,4807.038,N,01131.000,W,1,17,0.7,651.3,M,46.9,M,,"));
  Feed(q, Framed("GQZDA,201530.00,04,07,2002,00,00"));
  EXPECT_TRUE(g_calls.empty());
  EXPECT_EQ(q.m_zda.count, 0u);
  Feed(q, Framed("GNZDA,201530.00,04,07,2002,00,00"));
  Feed(q, Framed("GNRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V"));
  EXPECT_TRUE(g_calls.empty());
  EXPECT_EQ(q.m_zda.count, 1u);
  EXPECT_EQ(q.m_zda.year, 2002);
  EXPECT_EQ(q.m_rmb.count, 1u);
  EXPECT_EQ(q.SentenceCount(), 4u);
}

TEST_F(NmeaConstellationsTest, GsaListsOfOneEpochAreUnited) {
  // NMEA 4.10: a GSA per system, the system id last.
  Feed(p, Framed("GNGSA,A,3,05,07,13,,,,,,,,,,1.5,0.8,1.2,1"));
  Feed(p, Framed("GNGSA,A,3,05,30,,,,,,,,,,,,,,3"));  // Galileo 5 and 30, DOPs left out
  EXPECT_EQ(p.m_gsa.usedCount, 5);
  EXPECT_EQ(p.m_gsa.system, NMEA_SYSTEM_GALILEO);
  EXPECT_EQ(p.IsSatelliteUsed(NMEA_SYSTEM_GPS, 5), 1);
  EXPECT_EQ(p.IsSatelliteUsed(NMEA_SYSTEM_GALILEO, 5), 1);
  EXPECT_EQ(p.IsSatelliteUsed(NMEA_SYSTEM_GALILEO, 7), 0);
  EXPECT_EQ(p.IsSatelliteUsed(NMEA_SYSTEM_GPS, 30), 0);
  EXPECT_DOUBLE_EQ(p.m_gsa.pdop, 1.5);  // the DOPs of the first stand
  EXPECT_DOUBLE_EQ(p.m_gsa.hdop, 0.8);
  EXPECT_EQ(g_calls.size(), 2u);

  // The next epoch starts afresh: after another sentence, or with a system seen already.
  Feed(p, Framed("GNGGA,123520,4807.038,N,01131.000,E,1,05,0.8,545.4,M,46.9,M,,"));
  Feed(p, Framed("GNGSA,A,3,02,,,,,,,,,,,,1.6,0.9,1.3,1"));
  EXPECT_EQ(p.m_gsa.usedCount, 1);
  EXPECT_EQ(p.IsSatelliteUsed(5), 0);
  Feed(p, Framed("GNGSA,A,3,09,,,,,,,,,,,,1.7,1.0,1.4,1"));
  EXPECT_EQ(p.m_gsa.usedCount, 1);
  EXPECT_EQ(p.IsSatelliteUsed(9), 1);
  EXPECT_EQ(p.IsSatelliteUsed(2), 0);

  // Before NMEA 4.10: two GN lists without ids, GLONASS in its own PRN range; or lists under
  // the systems' own talkers.
  Feed(p, Framed("GPVTG,54.7,T,,M,0.5,N,0.9,K,A"));
  Feed(p, Framed("GNGSA,A,3,05,07,,,,,,,,,,,1.5,0.8,1.2"));
  Feed(p, Framed("GNGSA,A,3,65,72,,,,,,,,,,,1.5,0.8,1.2"));
  EXPECT_EQ(p.m_gsa.usedCount, 4);
  EXPECT_EQ(p.IsSatelliteUsed(NMEA_SYSTEM_GLONASS, 72), 1);
  EXPECT_EQ(p.IsSatelliteUsed(NMEA_SYSTEM_GPS, 7), 1);
  Feed(p, Framed("GPVTG,54.7,T,,M,0.5,N,0.9,K,A"));
  Feed(p, Framed("GPGSA,A,3,05,07,,,,,,,,,,,1.5,0.8,1.2"));
  Feed(p, Framed("GLGSA,A,3,65,,,,,,,,,,,,1.5,0.8,1.2"));
  Feed(p, Framed("GPGSA,A,3,09,,,,,,,,,,,,1.5,0.8,1.2"));  // GP again: the next epoch
  EXPECT_EQ(p.m_gsa.usedCount, 1);
  EXPECT_EQ(p.m_gsa.prn[0], 9);
}

TEST_F(NmeaConstellationsTest, SatellitesInViewOfEveryTalkerAreKeptApart) {
  Feed(p, Framed("GNGSA,A,3,05,07,,,,,,,,,,,1.5,0.8,1.2,1"));
  Feed(p, Framed("GNGSA,A,3,66,,,,,,,,,,,,1.5,0.8,1.2,2"));
  // Interleaved sequences: each talker's is assembled on its own. Galileo and BeiDou reuse
  // the GPS PRNs; NMEA 4.10 signal ids end every sentence.
  std::vector<std::string> gp = GsvSequence("GP", 5, 2, 6, "1");  // 5 7 9 11 13 15
  std::vector<std::string> gl = GsvSequence("GL", 65, 1, 5, "1");  // 65 .. 69
  std::vector<std::string> ga = GsvSequence("GA", 5, 1, 3, "7");   // 5 6 7
  std::vector<std::string> gb = GsvSequence("GB", 7, 1, 1, "1");   // 7
  Feed(p, gp[0]);
  Feed(p, gl[0]);
  Feed(p, ga[0]);
  Feed(p, gp[1]);
  Feed(p, gl[1]);
  Feed(p, gb[0]);
  EXPECT_EQ(p.m_gsv.count, 6u);
  EXPECT_EQ(p.m_gsv.satellitesInView, 6 + 5 + 3 + 1);
  const std::vector<Seen> expected = {
      {1, 5},  {1, 7},  {1, 9},  {1, 11}, {1, 13}, {1, 15}, {2, 65}, {2, 66},
      {2, 67}, {2, 68}, {2, 69}, {3, 5},  {3, 6},  {3, 7},  {4, 7}};
  EXPECT_EQ(InView(p), expected);
  const GpsSatellite* t = p.m_gsv.satellite;
  EXPECT_EQ(t[0].usedInFix, 1u);   // GPS 5
  EXPECT_EQ(t[1].usedInFix, 1u);   // GPS 7
  EXPECT_EQ(t[2].usedInFix, 0u);
  EXPECT_EQ(t[7].usedInFix, 1u);   // GLONASS 66
  EXPECT_EQ(t[11].usedInFix, 0u);  // Galileo 5 is not GPS 5
  EXPECT_EQ(t[13].usedInFix, 0u);  // nor Galileo 7
  EXPECT_EQ(t[14].usedInFix, 0u);  // nor BeiDou 7
  EXPECT_EQ(t[11].signal, 7);
  EXPECT_EQ(t[14].signal, 1);
  EXPECT_EQ(t[5].elevation, 45);   // the signal id is not read as a satellite
  EXPECT_EQ(t[5].snr, 40);

  // The next GPS sequence replaces the GPS part alone.
  FeedAll(p, GsvSequence("GP", 20, 1, 2, "1"));
  EXPECT_EQ(p.m_gsv.satellitesInView, 2 + 5 + 3 + 1);
  const std::vector<Seen> after = {{1, 20}, {1, 21}, {2, 65}, {2, 66}, {2, 67}, {2, 68},
                                   {2, 69}, {3, 5},  {3, 6},  {3, 7},  {4, 7}};
  EXPECT_EQ(InView(p), after);

  // GN satellites are told apart by their PRNs; BD is BeiDou like GB.
  CNmeaParser q;
  FeedAll(q, GsvSequence("GN", 64, 1, 3));
  FeedAll(q, GsvSequence("BD", 8, 1, 1));
  EXPECT_EQ(InView(q), (std::vector<Seen>{{4, 8}, {1, 64}, {2, 65}, {2, 66}}));
  EXPECT_EQ(q.m_gsv.satellite[0].signal, 0);

  // NMEA 4.11: QZSS and NavIC satellites under their own talkers, used by system id; their
  // talkers give no position of their own.
  CNmeaParser r;
  g_calls.clear();
  Feed(r, Framed("GNGSA,A,3,02,,,,,,,,,,,,1.5,0.8,1.2,5"));
  FeedAll(r, GsvSequence("GQ", 2, 1, 2, "1"));  // 2 3
  FeedAll(r, GsvSequence("GI", 2, 1, 1, "1"));  // 2
  Feed(r, Framed("GQGGA,123519,4807.038,N,01131.000,W,1,17,0.7,651.3,M,46.9,M,,"));
  EXPECT_EQ(InView(r), (std::vector<Seen>{{5, 2}, {5, 3}, {6, 2}}));
  EXPECT_EQ(r.m_gsv.satellite[0].usedInFix, 1u);
  EXPECT_EQ(r.m_gsv.satellite[1].usedInFix, 0u);
  EXPECT_EQ(r.m_gsv.satellite[2].usedInFix, 0u);  // NavIC 2 is not QZSS 2
  EXPECT_EQ(g_calls, std::vector<NmeaSentenceKind>{NMEA_GSA});
  EXPECT_EQ(r.m_gga.count, 0u);
}

TEST_F(NmeaConstellationsTest, SatellitesInViewFillTheTableAndNoMore) {
  FeedAll(p, GsvSequence("GP", 1, 1, 16));
  FeedAll(p, GsvSequence("GL", 65, 1, 12));
  FeedAll(p, GsvSequence("GA", 1, 1, 12, "7"));
  EXPECT_EQ(p.m_gsv.satellitesInView, 40);
  const std::vector<Seen> seen = InView(p);
  ASSERT_EQ(seen.size(), static_cast<std::size_t>(NmeaGsv::kTableSize));
  EXPECT_EQ(seen[15], (Seen{1, 16}));
  EXPECT_EQ(seen[27], (Seen{2, 76}));
  EXPECT_EQ(seen[35], (Seen{3, 8}));
}

TEST_F(NmeaConstellationsTest, NmeaFourTenGsvWithoutSatellites) {
  // A constellation with nothing in view still sends its signal id.
  FeedAll(p, GsvSequence("GP", 3, 1, 3, "1"));
  Feed(p, Framed("GPGSV,1,1,00,1"));
  EXPECT_EQ(p.m_gsv.satellitesInView, 0);
  EXPECT_EQ(p.m_gsv.satellite[0].prn, 0);  // not PRN 1
  // A two-digit PRN at the end of a short message is a PRN, not a signal id.
  Feed(p, Framed("GPGSV,1,1,01,25"));
  EXPECT_EQ(p.m_gsv.satellite[0].prn, 25);
}

}  // namespace
