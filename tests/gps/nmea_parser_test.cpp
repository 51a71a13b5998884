#include "gps/nmea_parser.h"

#include <gtest/gtest.h>

#include "tests/gps/nmea_test_support.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using nmea_test::Framed;

std::vector<NmeaSentenceKind> g_calls;
void Record(NmeaSentenceKind kind) { g_calls.push_back(kind); }

void Feed(CNmeaParser& p, const std::string& s) {
  p.ParseBuffer(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

const std::string kGgaBody = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
const std::string kGga = "$" + kGgaBody + "*47\r\n";

class NmeaParserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    CNmeaParser::SetCallback(&Record);
  }
  void TearDown() override { CNmeaParser::SetCallback(nullptr); }
  CNmeaParser p;
};

TEST_F(NmeaParserTest, GgaExample) {
  Feed(p, kGga);
  EXPECT_NEAR(p.m_gga.latitude, 48.1173, 1e-12);
  EXPECT_NEAR(p.m_gga.longitude, 11.0 + 31.0 / 60.0, 1e-12);
  EXPECT_EQ(p.m_gga.hour, 12);
  EXPECT_EQ(p.m_gga.minute, 35);
  EXPECT_DOUBLE_EQ(p.m_gga.second, 19.0);
  EXPECT_EQ(p.m_gga.fixQuality, 1);
  EXPECT_EQ(p.m_gga.satellites, 8);
  EXPECT_DOUBLE_EQ(p.m_gga.hdop, 0.9);
  EXPECT_DOUBLE_EQ(p.m_gga.altitude, 545.4);
  EXPECT_EQ(p.m_gga.count, 1u);
  EXPECT_EQ(p.SentenceCount(), 1u);
  EXPECT_EQ(g_calls, std::vector<NmeaSentenceKind>{NMEA_GGA});
}

// Variants of the example: whether each is accepted (stored and counted) and whether the
// sentence counter sees it.
struct Variant {
  const char* name;
  std::string text;
  bool stored;
  unsigned sentences;
};

TEST_F(NmeaParserTest, ChecksumAndFramingVariants) {
  const std::string body = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.9,M,46.9,M,,";  // checksum 4A
  const std::vector<Variant> variants = {
      {"wrong checksum", "$" + kGgaBody + "*48\r\n", false, 0},
      {"no checksum, CR", "$" + kGgaBody + "\r\n", true, 1},
      {"upper-case checksum 4A", "$" + body + "*4A\r\n", true, 1},
      {"lower-case second digit", "$" + body + "*4a\r\n", false, 0},
      {"noise before the dollar", "xx\r\n,*$" + kGgaBody + "*47\r\n", true, 1},
      {"talker GN", Framed("GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"), true, 1},
      {"talker GL", Framed("GLGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"), true, 1},
      {"talker GQ", Framed("GQGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"), false, 1},
      {"proprietary", Framed("PGGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"), false, 1},
      {"address of 7 characters", Framed("GPGGAXY,1,2"), false, 1},
      {"address of 8 characters", Framed("GPGGAXYZ,1,2"), false, 0},
      {"data of 255 characters", Framed("GPGGA," + std::string(255, '1')), true, 1},
      {"data of 256 characters", Framed("GPGGA," + std::string(256, '1')), false, 0},
      {"LF only runs into the next sentence", "$" + kGgaBody + "\n" + kGga, false, 0},
  };
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.name);
    CNmeaParser q;
    g_calls.clear();
    Feed(q, v.text);
    EXPECT_EQ(q.m_gga.count, v.stored ? 1u : 0u);
    EXPECT_EQ(g_calls.size(), v.stored ? 1u : 0u);
    EXPECT_EQ(q.SentenceCount(), v.sentences);
  }
}

TEST_F(NmeaParserTest, GetFieldTable) {
  struct Case {
    const char* data;
    int n;
    int found;
    const char* text;
  } cases[] = {
      {"a,bc,,d", 0, 1, "a"},
      {"a,bc,,d", 1, 1, "bc"},
      {"a,bc,,d", 2, 0, ""},
      {"a,bc,,d", 3, 1, "d"},
      {"a,bc,,d", 4, 0, ""},
      {"a,", 1, 1, ""},  // a trailing empty field is found and empty
      {"", 0, 1, ""},
      {"", 1, 0, ""},
      {"12345678901234567890123456789,x", 0, 1, "123456789012345678901234"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.data) + " #" + std::to_string(c.n));
    char buffer[CNmeaParser::kFieldBufferSize] = "junk";
    EXPECT_EQ(CNmeaParser::GetField(c.data, c.n, buffer, sizeof buffer), c.found);
    EXPECT_STREQ(buffer, c.text);
  }
  char buffer[4];
  EXPECT_EQ(CNmeaParser::GetField(nullptr, 0, buffer, 4), 0);
  EXPECT_EQ(CNmeaParser::GetField("x", 0, nullptr, 4), 0);
  EXPECT_EQ(CNmeaParser::GetField("x", 0, buffer, 0), 0);
}

// Data handed to the dispatcher directly may still hold a "*": a field ends there, and a
// field that starts with it is missing, as GetField reads them.
TEST_F(NmeaParserTest, StarInDataGivenToTheDispatcher) {
  p.ProcessSentence("GPZDA", "201530.00,04,07,*12");
  EXPECT_EQ(p.m_zda.month, 7);
  EXPECT_EQ(p.m_zda.year, 1);  // missing year
  p.ProcessSentence("GPRMB", "A,0.66,L,003*7,004*,4917.24,*,12309.57,W,*5");
  EXPECT_STREQ(p.m_rmb.originId, "003");
  EXPECT_STREQ(p.m_rmb.destinationId, "004");
  EXPECT_NEAR(p.m_rmb.destinationLatitude, 49 + 17.24 / 60, 1e-12);
  EXPECT_NEAR(p.m_rmb.destinationLongitude, -(123 + 9.57 / 60), 1e-12);
  EXPECT_EQ(p.m_rmb.range, 0.0);
  char buffer[CNmeaParser::kFieldBufferSize];
  EXPECT_EQ(CNmeaParser::GetField("003*7,*", 0, buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "003");
  EXPECT_EQ(CNmeaParser::GetField("003*7,*", 1, buffer, sizeof buffer), 0);
}

TEST_F(NmeaParserTest, ResetValues) {
  NmeaState s = p.Snapshot();
  EXPECT_EQ(s.gsa.mode, 'M');
  EXPECT_EQ(s.gsa.fixType, 1);
  EXPECT_EQ(s.rmb.status, 'V');
  EXPECT_EQ(s.rmb.steer, '?');
  EXPECT_EQ(s.rmb.arrivalStatus, 'V');
  EXPECT_STREQ(s.rmb.originId, "");
  EXPECT_EQ(s.rmc.status, 'V');
  EXPECT_EQ(s.rmc.day, 1);
  EXPECT_EQ(s.rmc.month, 1);
  EXPECT_EQ(s.rmc.year, 2000);
  EXPECT_EQ(s.zda.year, 2000);
  EXPECT_EQ(s.gga.latitude, 0.0);
  EXPECT_EQ(s.sentenceCount, 0u);
}

TEST_F(NmeaParserTest, RmcZdaRmbValues) {
  Feed(p, Framed("GPRMC,081836.75,A,3751.65,S,14507.36,E,000.0,360.0,150324,011.3,W"));
  EXPECT_EQ(p.m_rmc.day, 15);
  EXPECT_EQ(p.m_rmc.month, 3);
  EXPECT_EQ(p.m_rmc.year, 24);
  EXPECT_DOUBLE_EQ(p.m_rmc.second, 36.7);
  EXPECT_EQ(p.m_rmc.status, 'A');
  EXPECT_NEAR(p.m_rmc.latitude, -(37 + 51.65 / 60), 1e-12);
  EXPECT_NEAR(p.m_rmc.longitude, 145 + 7.36 / 60, 1e-12);
  EXPECT_DOUBLE_EQ(p.m_rmc.course, 360.0);
  EXPECT_DOUBLE_EQ(p.m_rmc.magneticVariation, -11.3);
  EXPECT_EQ(g_calls, std::vector<NmeaSentenceKind>{NMEA_RMC});

  Feed(p, Framed("GPZDA,201530.00,04,07,2002,-05,30"));
  EXPECT_EQ(p.m_zda.hour, 20);
  EXPECT_EQ(p.m_zda.second, 30);
  EXPECT_EQ(p.m_zda.year, 2002);
  EXPECT_EQ(p.m_zda.zoneMinutes, 30);
  Feed(p, Framed("GPZDA,201530.00,,,,,"));
  EXPECT_EQ(p.m_zda.day, 1);
  EXPECT_EQ(p.m_zda.year, 1);

  Feed(p, Framed("GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V"));
  EXPECT_EQ(p.m_rmb.steer, 'L');
  EXPECT_STREQ(p.m_rmb.destinationId, "004");
  EXPECT_NEAR(p.m_rmb.destinationLongitude, -(123 + 9.57 / 60), 1e-12);
  EXPECT_DOUBLE_EQ(p.m_rmb.bearing, 52.5);
  EXPECT_EQ(p.m_rmb.count, 1u);
  EXPECT_EQ(g_calls.size(), 1u);  // ZDA and RMB do not call back
}

TEST_F(NmeaParserTest, GsvMessageThreeAndUsedFlags) {
  Feed(p, Framed("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"));
  EXPECT_EQ(p.m_gsa.prn[1], 5);
  EXPECT_EQ(p.m_gsa.prn[2], 0);
  EXPECT_DOUBLE_EQ(p.m_gsa.vdop, 2.1);
  Feed(p, Framed("GPGSV,3,3,10,24,10,250,41,25,20,310,"));
  const GpsSatellite* t = p.m_gsv.satellite;
  EXPECT_EQ(p.m_gsv.satellitesInView, 10);
  EXPECT_EQ(t[8].prn, 24);
  EXPECT_EQ(t[8].elevation, 10);
  EXPECT_EQ(t[8].azimuth, 250);
  EXPECT_EQ(t[8].snr, 41);
  EXPECT_EQ(t[8].usedInFix, 1u);
  EXPECT_EQ(t[9].prn, 25);
  EXPECT_EQ(t[9].snr, 0);
  EXPECT_EQ(t[9].usedInFix, 0u);
  EXPECT_EQ(t[10].prn, 0);
  EXPECT_EQ(t[11].azimuth, 0);
  EXPECT_EQ(t[7].prn, 0);  // other messages untouched
  EXPECT_EQ(p.m_gsv.count, 1u);

  // Refused GSV: message 0, too many messages, missing numbers.
  for (const char* body : {"GPGSV,3,0,10,01,1,1,1", "GPGSV,9,1,10,01,1,1,1", "GPGSV,,1,10,01,1,1,1",
                           "GPGSV,3,,10,01,1,1,1", "GPGSV,3,12,10,01,1,1,1"}) {
    Feed(p, Framed(body));
  }
  EXPECT_EQ(p.m_gsv.count, 1u);
  EXPECT_EQ(p.m_gsv.satellite[0].prn, 0);
}

TEST_F(NmeaParserTest, EmptyPositionKeepsPreviousAndCallsBack) {
  Feed(p, kGga);
  Feed(p, Framed("GPGGA,123520,,,,,0,00,,,M,,M,,"));
  EXPECT_NEAR(p.m_gga.latitude, 48.1173, 1e-12);
  EXPECT_EQ(p.m_gga.fixQuality, 0);
  EXPECT_EQ(p.m_gga.second, 20.0);
  EXPECT_EQ(g_calls.size(), 2u);
}

// Faults of the original design that are mended.
TEST_F(NmeaParserTest, HemisphereOnlyTurnsACoordinateOfTheSameSentence) {
  Feed(p, Framed("GPGGA,123519,4807.038,S,01131.000,W,1,08,0.9,545.4,M,46.9,M,,"));
  EXPECT_LT(p.m_gga.latitude, 0);
  Feed(p, Framed("GPGGA,123520,,S,,W,1,08,0.9,545.4,M,46.9,M,,"));
  EXPECT_NEAR(p.m_gga.latitude, -48.1173, 1e-12);
  EXPECT_NEAR(p.m_gga.longitude, -(11 + 31.0 / 60), 1e-12);
  Feed(p, Framed("GPRMC,123519,A,4807.038,S,01131.000,W,0,0,150324,,"));
  Feed(p, Framed("GPRMC,123520,A,,S,,W,0,0,150324,,"));
  EXPECT_NEAR(p.m_rmc.latitude, -48.1173, 1e-12);
  EXPECT_NEAR(p.m_rmc.longitude, -(11 + 31.0 / 60), 1e-12);
}

TEST_F(NmeaParserTest, ThreeDigitPrnsAreReadWhole) {
  Feed(p, Framed("GPGSA,A,3,120,131,05,,,,,,,,,,1.0,1.0,1.0"));
  EXPECT_EQ(p.m_gsa.prn[0], 120);
  EXPECT_EQ(p.m_gsa.prn[1], 131);
  Feed(p, Framed("GPGSV,1,1,02,131,31,225,36,132,10,100,20"));
  EXPECT_EQ(p.m_gsv.satellite[0].prn, 131);
  EXPECT_EQ(p.m_gsv.satellite[0].usedInFix, 1u);
  EXPECT_EQ(p.m_gsv.satellite[1].usedInFix, 0u);
  EXPECT_EQ(p.IsSatelliteUsed(0), 0);
}

TEST_F(NmeaParserTest, ShortFieldsAndGarbledNumbers) {
  Feed(p, Framed("GPGGA,1,4,N,1,E,,1,x,nan,M"));
  EXPECT_EQ(p.m_gga.hour, 1);
  EXPECT_EQ(p.m_gga.minute, 0);
  EXPECT_EQ(p.m_gga.second, 0.0);
  EXPECT_EQ(p.m_gga.latitude, 4.0);
  EXPECT_EQ(p.m_gga.longitude, 1.0);
  EXPECT_EQ(p.m_gga.satellites, 1);
  EXPECT_EQ(p.m_gga.hdop, 0.0);
  EXPECT_EQ(p.m_gga.altitude, 0.0);  // "nan" is not a number
  Feed(p, Framed("GPRMC,12,A,4,N,1,E,,,1,,"));
  EXPECT_EQ(p.m_rmc.day, 1);
  EXPECT_EQ(p.m_rmc.month, 0);
  EXPECT_EQ(p.m_rmc.year, 0);
  EXPECT_EQ(p.m_gga.count, 1u);
  EXPECT_EQ(p.m_rmc.count, 1u);
}

TEST(NmeaParserNoCallback, FeedingWithoutCallbackIsSafe) {
  CNmeaParser::SetCallback(nullptr);
  CNmeaParser q;
  Feed(q, kGga);
  EXPECT_EQ(q.m_gga.count, 1u);
}

std::string ReadLog(const char* name) {
  std::ifstream in(std::string(TVX_SOURCE_DIR) + "/tests/data/nmea/" + name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST_F(NmeaParserTest, ByteAtATimeEqualsWholeBuffer) {
  const std::string log = ReadLog("walk_1hz.nmea");
  ASSERT_GT(log.size(), 10000u);
  CNmeaParser whole, bytewise, chunked;
  Feed(whole, log);
  std::vector<NmeaSentenceKind> wholeCalls = g_calls;
  g_calls.clear();
  for (char c : log) bytewise.ProcessByte(static_cast<std::uint8_t>(c));
  std::vector<NmeaSentenceKind> byteCalls = g_calls;
  for (std::size_t at = 0; at < log.size(); at += 37) Feed(chunked, log.substr(at, 37));

  // Independent count: every line of the log is one sentence with a valid checksum.
  std::size_t lines = 0, withCallback = 0;
  for (std::size_t at = 0; (at = log.find('$', at)) != std::string::npos; ++at) {
    ++lines;
    std::string head = log.substr(at + 1, 5);
    std::string kind = head.substr(2);
    withCallback += (head[0] == 'G' && (head[1] == 'P' || head[1] == 'N')) &&
                    (kind == "GGA" || kind == "GSA" || kind == "RMC");
  }
  EXPECT_EQ(whole.SentenceCount(), lines);
  EXPECT_EQ(wholeCalls.size(), withCallback);
  EXPECT_EQ(byteCalls, wholeCalls);

  for (const CNmeaParser* other : {&bytewise, &chunked}) {
    NmeaState a = whole.Snapshot(), b = other->Snapshot();
    EXPECT_EQ(a.sentenceCount, b.sentenceCount);
    EXPECT_EQ(a.gga.latitude, b.gga.latitude);
    EXPECT_EQ(a.gga.longitude, b.gga.longitude);
    EXPECT_EQ(a.gga.count, b.gga.count);
    EXPECT_EQ(a.rmc.course, b.rmc.course);
    EXPECT_EQ(a.gsv.count, b.gsv.count);
    EXPECT_EQ(0, std::memcmp(a.gsv.satellite, b.gsv.satellite, sizeof a.gsv.satellite));
  }
  // Last epoch of the log: 10:16:59 at 40 deg 25.0067' N, 3 deg 42.1950' W (independent
  // of the parser: read off the file's last GPGGA).
  EXPECT_EQ(whole.m_gga.minute, 16);
  EXPECT_EQ(whole.m_gga.second, 59.0);
  EXPECT_LT(whole.m_gga.longitude, -3.70);
  EXPECT_EQ(whole.m_gsv.satellite[9].prn, 131);
}

}  // namespace
