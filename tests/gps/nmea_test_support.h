// Sentences for the parser's tests, framed with a checksum worked out here,
// independently of the parser.
#pragma once

#include <cstdio>
#include <string>

namespace nmea_test {

inline std::string Framed(const std::string& body) {
  unsigned cs = 0;
  for (char c : body) cs ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", cs);
  return "$" + body + tail;
}

}  // namespace nmea_test
