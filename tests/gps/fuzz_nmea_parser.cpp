// Feeds arbitrary bytes to the NMEA parser: whole, one byte per call and in uneven
// chunks. Any memory fault is caught by the sanitizers; a difference between the three
// parsers' stored values is a fault of the byte machine's fast path.
#include "gps/nmea_parser.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

void Same(const NmeaState& a, const NmeaState& b) {
  bool same = a.sentenceCount == b.sentenceCount && a.gga.count == b.gga.count &&
              a.gsa.count == b.gsa.count && a.gsv.count == b.gsv.count && a.rmb.count == b.rmb.count &&
              a.rmc.count == b.rmc.count && a.zda.count == b.zda.count &&
              std::memcmp(&a.gga.latitude, &b.gga.latitude, sizeof(double)) == 0 &&
              std::memcmp(&a.rmc.longitude, &b.rmc.longitude, sizeof(double)) == 0 &&
              std::memcmp(a.gsv.satellite, b.gsv.satellite, sizeof a.gsv.satellite) == 0 &&
              a.gsv.satellitesInView == b.gsv.satellitesInView && a.gsa.usedCount == b.gsa.usedCount &&
              std::memcmp(a.gsa.used, b.gsa.used, sizeof a.gsa.used) == 0 &&
              std::memcmp(a.rmb.destinationId, b.rmb.destinationId, sizeof a.rmb.destinationId) == 0;
  if (!same) std::abort();
}

void Ignore(NmeaSentenceKind) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CNmeaParser::SetCallback(size % 2 ? &Ignore : nullptr);
  CNmeaParser whole, bytewise, chunked;
  whole.ParseBuffer(data, size);
  for (std::size_t i = 0; i < size; ++i) bytewise.ProcessByte(data[i]);
  std::size_t step = size ? 1 + data[0] % 17 : 1;
  for (std::size_t at = 0; at < size; at += step) chunked.ParseBuffer(data + at, std::min(step, size - at));
  NmeaState a = whole.Snapshot();
  Same(a, bytewise.Snapshot());
  Same(a, chunked.Snapshot());

  // The field reader on the raw bytes as one data part.
  char text[300];
  std::size_t n = std::min(size, sizeof text - 1);
  std::memcpy(text, data, n);
  text[n] = '\0';
  char field[CNmeaParser::kFieldBufferSize];
  for (int k = 0; k < 20; ++k) CNmeaParser::GetField(text, k, field, sizeof field);
  whole.ProcessSentence("GPGSV", text);
  whole.ProcessSentence("GLGSV", text);
  whole.ProcessSentence("GNGSA", text);
  whole.ProcessSentence("GAGSA", text);
  whole.ProcessSentence("GPRMB", text);
  return 0;
}
