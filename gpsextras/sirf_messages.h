// SiRF binary protocol frames and the NMEA sentence that switches a SiRF receiver from
// NMEA to binary. Nothing is read back: whether the receiver took a setting is unknown.
//
// Frame on the wire (payload of 1..100 bytes, first byte the message id):
//   A0 A2 | length (2, big-endian) | payload | checksum (2, big-endian) | B0 B3
// checksum = sum of the payload bytes & 0x7FFF.
#pragma once

#include <cstddef>
#include <cstdint>

#include "serial/serial.h"

constexpr std::size_t kSirfMaxPayload = 100;
constexpr std::size_t kSirfMaxFrame = kSirfMaxPayload + 8;

// Writes the frame into frame (room for kSirfMaxFrame bytes); returns its length, or 0
// (nothing written) for a payload of 0 or more than 100 bytes.
std::size_t BuildSirfFrame(std::uint8_t* frame, const std::uint8_t* payload, std::size_t length);

// Completes an NMEA sentence that starts with "$": "*", the XOR of the characters after
// the "$" up to the first "*" (or the end) as two upper-case hex digits, CR and LF. The
// five characters and a new terminator are written from the first "*" or the terminator on,
// so the buffer needs strlen(text) + 6 bytes. Other texts are left alone.
void AppendNmeaChecksum(char* text);

// Each returns the code of its last CSerial::WriteBuffer.
LONG SendStaticNavigation(CSerial& port, bool on);   // message 143
LONG SendSbasSetting(CSerial& port, bool on);        // message 133, then 138 10 ms later
LONG SendSwitchToNmea(CSerial& port, int baudIndex); // message 129 at the index's rate
LONG SendSwitchToSirf(CSerial& port, int baudIndex); // "$PSRF100,0,<rate>,8,1,0*hh\r\n"
