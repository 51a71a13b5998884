#include "gpsextras/sirf_messages.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

LONG SendFrame(CSerial& port, const std::uint8_t* payload, std::size_t length) {
  std::uint8_t frame[kSirfMaxFrame];
  std::size_t size = BuildSirfFrame(frame, payload, length);
  return port.WriteBuffer(frame, static_cast<DWORD>(size));
}

}  // namespace

std::size_t BuildSirfFrame(std::uint8_t* frame, const std::uint8_t* payload, std::size_t length) {
  if (length < 1 || length > kSirfMaxPayload) return 0;
  unsigned sum = 0;
  for (std::size_t i = 0; i < length; ++i) sum += payload[i];
  sum &= 0x7FFF;
  frame[0] = 0xA0;
  frame[1] = 0xA2;
  frame[2] = static_cast<std::uint8_t>(length >> 8);
  frame[3] = static_cast<std::uint8_t>(length & 0xFF);
  std::memcpy(frame + 4, payload, length);
  frame[4 + length] = static_cast<std::uint8_t>(sum >> 8);
  frame[5 + length] = static_cast<std::uint8_t>(sum & 0xFF);
  frame[6 + length] = 0xB0;
  frame[7 + length] = 0xB3;
  return length + 8;
}

void AppendNmeaChecksum(char* text) {
  if (text == nullptr || text[0] != '$') return;
  unsigned x = 0;
  char* p = text + 1;
  for (; *p != '\0' && *p != '*'; ++p) x ^= static_cast<unsigned char>(*p);
  std::snprintf(p, 6, "*%02X\r\n", x & 0xFF);
}

LONG SendStaticNavigation(CSerial& port, bool on) {
  const std::uint8_t payload[] = {0x8F, static_cast<std::uint8_t>(on ? 1 : 0)};
  return SendFrame(port, payload, sizeof payload);
}

LONG SendSbasSetting(CSerial& port, bool on) {
  // DGPS source SBAS (or none), beacon frequency 0, bit rate 0.
  const std::uint8_t source[] = {0x85, static_cast<std::uint8_t>(on ? 1 : 0), 0, 0, 0, 0, 0};
  SendFrame(port, source, sizeof source);
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  // DGPS selection automatic, time-out 18 s.
  const std::uint8_t selection[] = {0x8A, 0x00, 0x12};
  return SendFrame(port, selection, sizeof selection);
}

LONG SendSwitchToNmea(CSerial& port, int baudIndex) {
  const DWORD rate = BaudRateForIndex(baudIndex);
  // Mode 2 keeps the debug setting; then rate (s) and checksum flag per sentence: GGA 1,
  // GLL 1, GSA 5, GSV 5, RMC 1, VTG 1, MSS and the two spare slots off; then the rate.
  const std::uint8_t payload[] = {
      0x81, 0x02, 0x01, 0x01, 0x01, 0x01, 0x05, 0x01, 0x05, 0x01, 0x01, 0x01,
      0x01, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01,
      static_cast<std::uint8_t>((rate >> 8) & 0xFF), static_cast<std::uint8_t>(rate & 0xFF)};
  return SendFrame(port, payload, sizeof payload);
}

LONG SendSwitchToSirf(CSerial& port, int baudIndex) {
  char sentence[48];
  std::snprintf(sentence, sizeof sentence - 5, "$PSRF100,0,%u,8,1,0", static_cast<unsigned>(BaudRateForIndex(baudIndex)));
  AppendNmeaChecksum(sentence);
  return port.WriteBuffer(sentence, static_cast<DWORD>(std::strlen(sentence)));
}
