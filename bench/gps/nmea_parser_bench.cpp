// Parser throughput on a realistic mixed receiver log (GGA, GSA, GSV, RMC, VTG, other
// talkers and a proprietary sentence), repeated to a few megabytes so the measurement is
// not dominated by the callback-free start of each run. Reports MB/s and sentences/s.
#include "gps/nmea_parser.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string MixedLog() {
  std::ifstream in(std::string(TVX_SOURCE_DIR) + "/tests/data/nmea/walk_1hz.nmea", std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string one = ss.str();
  std::string log;
  while (log.size() < (4u << 20)) log += one;
  return log;
}

void OnSentence(NmeaSentenceKind) { benchmark::ClobberMemory(); }

void BM_ParseMixedLog(benchmark::State& state) {
  static const std::string log = MixedLog();
  if (log.empty()) {
    state.SkipWithError("sample log missing");
    return;
  }
  CNmeaParser::SetCallback(&OnSentence);
  CNmeaParser parser;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(log.data());
  // The reader thread hands over up to 255 bytes per read.
  const std::size_t chunk = static_cast<std::size_t>(state.range(0));
  std::uint32_t before = parser.SentenceCount();
  for (auto _ : state) {
    for (std::size_t at = 0; at < log.size(); at += chunk) {
      parser.ParseBuffer(bytes + at, std::min(chunk, log.size() - at));
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(log.size()));
  state.counters["sentences/s"] =
      benchmark::Counter(static_cast<double>(parser.SentenceCount() - before), benchmark::Counter::kIsRate);
  CNmeaParser::SetCallback(nullptr);
}
BENCHMARK(BM_ParseMixedLog)->Arg(255)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
