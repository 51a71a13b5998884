// SiRF frames and the "$PSRF100" sentence, byte for byte against values worked out by
// hand from the protocol's rules (start A0 A2, big-endian length, payload, 15-bit sum,
// end B0 B3; NMEA XOR checksum).
#include "gpsextras/sirf_messages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gpsextras/receiver_setup.h"
#include "tests/gpsextras/extras_test_support.h"

namespace {

using extras_test::Bytes;

std::string Frame(const std::vector<std::uint8_t>& payload) {
  std::uint8_t frame[kSirfMaxFrame + 8];
  std::size_t n = BuildSirfFrame(frame, payload.data(), payload.size());
  return std::string(reinterpret_cast<char*>(frame), n);
}

TEST(SirfFrameTest, Table) {
  EXPECT_EQ(Frame({0x8F, 0x01}), Bytes("A0 A2 00 02 8F 01 00 90 B0 B3"));
  EXPECT_EQ(Frame({0x81}), Bytes("A0 A2 00 01 81 00 81 B0 B3"));
  EXPECT_EQ(Frame({0x8A, 0x00, 0x12}), Bytes("A0 A2 00 03 8A 00 12 00 9C B0 B3"));
  EXPECT_EQ(Frame({0x85, 0x01, 0, 0, 0, 0, 0}), Bytes("A0 A2 00 07 85 01 00 00 00 00 00 00 86 B0 B3"));

  std::string hundred = Frame(std::vector<std::uint8_t>(100, 0xFF));
  ASSERT_EQ(hundred.size(), 108u);
  EXPECT_EQ(hundred.substr(0, 4), Bytes("A0 A2 00 64"));
  EXPECT_EQ(hundred.substr(104), Bytes("63 9C B0 B3"));  // 100 x 255 = 25500

  std::uint8_t frame[kSirfMaxFrame + 8] = {0x55};
  std::vector<std::uint8_t> tooLong(101, 1);
  EXPECT_EQ(BuildSirfFrame(frame, tooLong.data(), tooLong.size()), 0u);
  EXPECT_EQ(BuildSirfFrame(frame, tooLong.data(), 0), 0u);
  EXPECT_EQ(frame[0], 0x55);  // nothing written
}

TEST(NmeaChecksumTest, AppendedChecksums) {
  struct Case {
    const char* text;
    const char* completed;
  } cases[] = {
      {"$PSRF100,0,4800,8,1,0", "$PSRF100,0,4800,8,1,0*0F\r\n"},
      {"$PSRF100,0,115200,8,1,0", "$PSRF100,0,115200,8,1,0*04\r\n"},
      {"$PSRF100,0,9600,8,1,0*junk", "$PSRF100,0,9600,8,1,0*0C\r\n"},
      {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
       "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"},
      {"$", "$*00\r\n"},
      {"PSRF100,0", "PSRF100,0"},  // no "$": left alone
  };
  for (const Case& c : cases) {
    char buffer[128] = {};
    std::snprintf(buffer, sizeof buffer, "%s", c.text);
    AppendNmeaChecksum(buffer);
    EXPECT_STREQ(buffer, c.completed);
    // A buffer of exactly the size the declaration asks for is enough (the address
    // sanitizer build sees any byte written beyond it).
    std::vector<char> exact(std::strlen(c.text) + 6);
    std::memcpy(exact.data(), c.text, std::strlen(c.text) + 1);
    AppendNmeaChecksum(exact.data());
    EXPECT_STREQ(exact.data(), c.completed);
  }
}

TEST(ReceiverSetupTest, NamesAndPositionSentences) {
  EXPECT_EQ(PortName(0), "COM0:");
  EXPECT_EQ(PortName(9), "COM9:");
  EXPECT_EQ(PortName(10), "");
  EXPECT_EQ(PortName(-1), "");
  EXPECT_TRUE(HasNmeaPositionSentence("xx$GPRMC,1"));
  EXPECT_TRUE(HasNmeaPositionSentence(std::string("\0\0$GPGGA,", 9)));  // after binary bytes
  EXPECT_FALSE(HasNmeaPositionSentence("$GPGSV,3,1,10\r\n$GPGSA,A,3"));
  // Multi-constellation receivers and receivers of one other system.
  for (const char* text : {"$GNRMC,1", "$GNGGA,", "$GLGGA,", "$GARMC,", "$GBGGA,", "$BDRMC,", "GNGGA"}) {
    EXPECT_TRUE(HasNmeaPositionSentence(text)) << text;
  }
  for (const char* text : {"$GNGSA,A,3\r\n$GLGSV,1,1", "$GQRMC,1", "$PGRMC", "RMC,GGA", "$GN\r\nRMC"}) {
    EXPECT_FALSE(HasNmeaPositionSentence(text)) << text;
  }
}

}  // namespace
