#include "gps/nmea_parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <string_view>

std::atomic<NmeaCallback> CNmeaParser::s_callback{nullptr};

namespace {

constexpr std::size_t kMaxFieldChars = CNmeaParser::kFieldBufferSize - 1;

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view SkipSpace(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsCSpace(s[i])) ++i;
  return s.substr(i);
}

// Leading white space and an optional sign, as atoi and atof take them; true for "-".
bool TakeSign(std::string_view& s) {
  s = SkipSpace(s);
  bool negative = !s.empty() && s[0] == '-';
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) s.remove_prefix(1);
  return negative;
}

// atoi in the C locale, saturating instead of overflowing.
int ParseInt(std::string_view s) {
  bool negative = TakeSign(s);
  long long value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<int>::max()) {
      value = std::numeric_limits<int>::max();
      break;
    }
  }
  return static_cast<int>(negative ? -value : value);
}

// atof in the C locale; anything that is not a finite decimal number reads as 0 so a
// garbled field can never put NaN or infinity into a position.
double ParseReal(std::string_view s) {
  bool negative = TakeSign(s);
  double value = 0;
  auto result = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0;
  return negative ? -value : value;
}

// Characters [from, from + count) of a field, clipped at its end.
std::string_view Part(std::string_view field, std::size_t from, std::size_t count) {
  if (from >= field.size()) return {};
  return field.substr(from, count);
}

char FirstChar(std::string_view field) { return field.empty() ? '\0' : field[0]; }

// A field of exactly one hex digit (the NMEA 4.10 system and signal ids); -1 otherwise.
int HexDigit(std::string_view field) {
  if (field.size() != 1) return -1;
  const char c = field[0];
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The talkers whose sentences are taken, in the order their satellites in view are listed,
// and the system each reports (GN, the combined solution, names none).
struct Talker {
  char name[3];
  std::uint16_t system;
};
constexpr Talker kTalkers[] = {{"GP", NMEA_SYSTEM_GPS},     {"GL", NMEA_SYSTEM_GLONASS},
                               {"GA", NMEA_SYSTEM_GALILEO}, {"GB", NMEA_SYSTEM_BEIDOU},
                               {"BD", NMEA_SYSTEM_BEIDOU},  {"GN", NMEA_SYSTEM_UNKNOWN},
                               // NMEA 4.11: satellites only (their fix is the GN one)
                               {"GQ", NMEA_SYSTEM_QZSS},    {"GI", NMEA_SYSTEM_NAVIC}};
constexpr int kFirstSatellitesOnlyTalker = 6;

// Index of a talker in kTalkers; -1 for one whose sentences are ignored.
int TalkerIndex(const char* talker) {
  if (talker == nullptr || talker[0] == '\0') return -1;
  for (int i = 0; i < static_cast<int>(std::size(kTalkers)); ++i) {
    if (talker[0] == kTalkers[i].name[0] && talker[1] == kTalkers[i].name[1]) return i;
  }
  return -1;
}

// "hhmmss" with optional decimals: the seconds keep at most one decimal.
void ParseTime(std::string_view field, std::uint8_t& hour, std::uint8_t& minute, double& second) {
  hour = static_cast<std::uint8_t>(ParseInt(Part(field, 0, 2)));
  minute = static_cast<std::uint8_t>(ParseInt(Part(field, 2, 2)));
  std::size_t secondChars = (field.size() > 6 && field[6] == '.') ? 4 : 2;
  second = ParseReal(Part(field, 4, secondChars));
}

// "ddmm.mmmm" (latitude, degreeDigits 2) or "dddmm.mmmm" (longitude, 3) to degrees.
double ParseCoordinate(std::string_view field, std::size_t degreeDigits) {
  double degrees = ParseInt(Part(field, 0, degreeDigits));
  double minutes = ParseReal(Part(field, degreeDigits, field.size()));
  return minutes * (1.0 / 60.0) + degrees;
}

}  // namespace

// The fields of one sentence's data, split once. A field is "present" exactly when
// GetField would report it found: it does not start with "*", and it is non-empty or
// the last field of the data (which includes field 0 of empty data). A field ends at
// "," or "*" (the byte machine never stores a "*", but ProcessSentence may be handed
// one). Views are cut to 24 characters like GetField's 25-byte buffer.
class CNmeaParser::Fields {
 public:
  explicit Fields(const char* data) : m_data(data) {
    m_start[0] = 0;
    std::size_t i = 0;
    for (; data[i] != '\0'; ++i) {
      if (data[i] != ',') continue;
      if (m_count == kMaxFields) break;  // only reachable through ProcessSentence misuse
      m_start[m_count++] = static_cast<std::uint32_t>(i + 1);
    }
    m_length = i;
  }

  int Count() const { return m_count; }

  bool Has(int n) const {
    if (n < 0 || n >= m_count || m_data[m_start[n]] == '*') return false;
    return n == m_count - 1 || Length(n) > 0;
  }

  // The text of field n cut to 24 characters; empty when missing.
  std::string_view View(int n) const {
    if (!Has(n)) return {};
    std::string_view field(m_data + m_start[n], Length(n));
    return field.substr(0, std::min(field.find('*'), kMaxFieldChars));
  }

  // Latitude in field n, its hemisphere in n + 1, longitude in n + 2 and its hemisphere
  // in n + 3. A hemisphere letter only turns a coordinate read from the same sentence,
  // so an empty coordinate with "S" or "W" cannot flip the stored one.
  void ReadPosition(int n, double& latitude, double& longitude) const {
    if (Has(n)) {
      latitude = ParseCoordinate(View(n), 2);
      if (FirstChar(View(n + 1)) == 'S') latitude = -latitude;
    }
    if (Has(n + 2)) {
      longitude = ParseCoordinate(View(n + 2), 3);
      if (FirstChar(View(n + 3)) == 'W') longitude = -longitude;
    }
  }

 private:
  static constexpr int kMaxFields = 256;  // 255 data characters hold at most 255 commas

  std::size_t Length(int n) const {
    std::size_t end = (n + 1 < m_count) ? m_start[n + 1] - 1 : m_length;
    return end - m_start[n];
  }

  const char* m_data;
  std::uint32_t m_start[kMaxFields];  // left uninitialised: filled up to m_count
  int m_count = 1;
  std::size_t m_length = 0;
};

CNmeaParser::CNmeaParser() { Reset(); }

CNmeaParser::~CNmeaParser() = default;

void CNmeaParser::Reset() {
  std::lock_guard<std::mutex> guard(m_blockLock);
  m_lastWasGsa = false;
  m_gsaRunSystems = 0;
  for (int i = 0; i < kGsvTalkers; ++i) m_gsvTalker[i] = GsvTalker{};
  m_gsvTalker[0].system = NMEA_SYSTEM_GPS;
  m_gsvTalker[1].system = NMEA_SYSTEM_GLONASS;
  m_gsvTalker[2].system = NMEA_SYSTEM_GALILEO;
  m_gsvTalker[3].system = NMEA_SYSTEM_BEIDOU;
  m_gsvTalker[4].system = NMEA_SYSTEM_UNKNOWN;  // GN: told by the PRNs
  m_gsvTalker[5].system = NMEA_SYSTEM_QZSS;
  m_gsvTalker[6].system = NMEA_SYSTEM_NAVIC;
  m_gga = NmeaGga{};
  m_gsa = NmeaGsa{};
  m_gsv = NmeaGsv{};
  m_rmb = NmeaRmb{};
  m_rmc = NmeaRmc{};
  m_zda = NmeaZda{};
  m_state = NMEA_WAIT_START;
  m_sentenceCount.store(0, std::memory_order_relaxed);
}

int CNmeaParser::SetCallback(NmeaCallback callback) {
  s_callback.store(callback, std::memory_order_release);
  return 1;
}

void CNmeaParser::Notify(NmeaSentenceKind kind) {
  if (NmeaCallback callback = s_callback.load(std::memory_order_acquire)) callback(kind);
}

void CNmeaParser::DispatchCurrent() {
  ProcessSentence(m_address, m_data);
}

void CNmeaParser::ProcessByte(std::uint8_t c) {
  switch (m_state) {
    case NMEA_WAIT_START:
      if (c == '$') {
        m_checksum = 0;
        m_index = 0;
        m_state = NMEA_ADDRESS;
      }
      break;
    case NMEA_ADDRESS:
      if (c == ',' || c == '*') {
        m_address[m_index] = '\0';
        m_index = 0;
        m_checksum ^= c;
        m_state = NMEA_DATA;
      } else {
        m_address[m_index++] = static_cast<char>(c);
        m_checksum ^= c;
        if (m_index >= sizeof m_address) DropSentence();
      }
      break;
    case NMEA_DATA:
      if (c == '*') {
        m_data[m_index] = '\0';
        m_state = NMEA_CHECKSUM_1;
      } else if (c == '\r') {
        m_data[m_index] = '\0';
        m_state = NMEA_WAIT_START;
        DispatchCurrent();
      } else {
        m_checksum ^= c;
        m_data[m_index++] = static_cast<char>(c);
        if (m_index >= sizeof m_data) DropSentence();
      }
      break;
    case NMEA_CHECKSUM_1: {
      // A hex digit of either case; anything else just yields a value that will not match.
      int v = c - 48;
      if (v > 9) v = c - 7;
      m_receivedChecksum = static_cast<std::uint8_t>(v << 4);
      m_state = NMEA_CHECKSUM_2;
      break;
    }
    case NMEA_CHECKSUM_2: {
      // Only a digit or an upper-case letter: a lower-case second digit fails to match.
      int v = c - 48;
      if (v > 9) v = c - 55;
      m_receivedChecksum = static_cast<std::uint8_t>(m_receivedChecksum | v);
      m_state = NMEA_WAIT_START;
      if (m_receivedChecksum == m_checksum) DispatchCurrent();
      break;
    }
  }
}

int CNmeaParser::ParseBuffer(const std::uint8_t* bytes, std::size_t length) {
  if (bytes == nullptr) return 1;
  const std::uint8_t* p = bytes;
  const std::uint8_t* const end = bytes + length;
  while (p < end) {
    if (m_state == NMEA_WAIT_START) {
      // Nothing but "$" matters between sentences.
      const void* dollar = std::memchr(p, '$', static_cast<std::size_t>(end - p));
      if (dollar == nullptr) break;
      p = static_cast<const std::uint8_t*>(dollar);
      ProcessByte(*p++);
    } else if (m_state == NMEA_DATA) {
      // The bulk of every sentence: the same steps as ProcessByte, kept in registers.
      std::uint8_t checksum = m_checksum;
      std::size_t index = m_index;
      while (p < end) {
        std::uint8_t c = *p;
        if (c == '*' || c == '\r') break;
        ++p;
        checksum ^= c;
        m_data[index++] = static_cast<char>(c);
        if (index >= sizeof m_data) break;
      }
      m_checksum = checksum;
      m_index = static_cast<std::uint16_t>(index);
      if (index >= sizeof m_data) {
        DropSentence();
      } else if (p < end) {
        ProcessByte(*p++);  // the "*" or CR that ends the data
      }
    } else {
      ProcessByte(*p++);
    }
  }
  return 1;
}

std::uint16_t CNmeaParser::TalkerSystem(const char* talker) {
  const int i = TalkerIndex(talker);
  return i < 0 ? std::uint16_t{NMEA_SYSTEM_UNKNOWN} : kTalkers[i].system;
}

int CNmeaParser::GsvTalkerIndex(const char* talker) {
  switch (TalkerIndex(talker)) {
    case 0: return 0;         // GP
    case 1: return 1;         // GL
    case 2: return 2;         // GA
    case 3: case 4: return 3; // GB, BD
    case 5: return 4;         // GN
    case 6: return 5;         // GQ
    case 7: return 6;         // GI
    default: return -1;
  }
}

std::uint16_t CNmeaParser::SystemOfPrn(std::uint16_t prn) {
  if (prn == 0) return NMEA_SYSTEM_UNKNOWN;
  if (prn >= 65 && prn <= 96) return NMEA_SYSTEM_GLONASS;
  if ((prn >= 201 && prn <= 237) || (prn >= 401 && prn <= 437)) return NMEA_SYSTEM_BEIDOU;
  if (prn >= 301 && prn <= 336) return NMEA_SYSTEM_GALILEO;
  return NMEA_SYSTEM_GPS;
}

int CNmeaParser::ProcessSentence(const char* address, const char* data) {
  m_sentenceCount.store(m_sentenceCount.load(std::memory_order_relaxed) + 1,
                        std::memory_order_relaxed);
  // GSA sentences that follow each other belong to one epoch (one per constellation).
  const bool continuesGsaRun = m_lastWasGsa;
  m_lastWasGsa = false;
  if (address == nullptr || data == nullptr) return 1;
  std::string_view name(address);
  if (name.size() != 5) return 1;
  const int talker = GsvTalkerIndex(address);
  if (talker < 0) return 1;
  std::string_view kind = name.substr(2);
  if (TalkerIndex(address) >= kFirstSatellitesOnlyTalker && kind != "GSA" && kind != "GSV") return 1;
  if (kind == "GGA") {
    HandleGga(Fields(data));
  } else if (kind == "GSA") {
    m_lastWasGsa = true;
    HandleGsa(Fields(data), TalkerSystem(address), continuesGsaRun);
  } else if (kind == "GSV") {
    HandleGsv(Fields(data), talker);
  } else if (kind == "RMC") {
    HandleRmc(Fields(data));
  } else if (kind == "RMB") {
    HandleRmb(Fields(data));
  } else if (kind == "ZDA") {  // the time is the receiver's, whichever system it names
    HandleZda(Fields(data));
  }
  return 1;
}

int CNmeaParser::GetField(const char* data, int n, char* buffer, int size) {
  if (data == nullptr || buffer == nullptr || size < 1) return 0;
  const char* p = data;
  for (int skipped = 0; skipped < n; ++skipped) {
    while (*p != '\0' && *p != ',') ++p;
    if (*p == '\0') {
      buffer[0] = '\0';
      return 0;
    }
    ++p;
  }
  if (*p == ',' || *p == '*') {
    buffer[0] = '\0';
    return 0;
  }
  int copied = 0;
  while (copied < size - 1 && p[copied] != '\0' && p[copied] != ',' && p[copied] != '*') {
    buffer[copied] = p[copied];
    ++copied;
  }
  buffer[copied] = '\0';
  return 1;
}

int CNmeaParser::IsSatelliteUsed(std::uint16_t prn) const {
  return IsSatelliteUsed(NMEA_SYSTEM_UNKNOWN, prn);
}

int CNmeaParser::IsSatelliteUsed(std::uint16_t system, std::uint16_t prn) const {
  if (prn == 0) return 0;
  for (int i = 0; i < m_gsa.usedCount; ++i) {
    const GpsSatelliteId& used = m_gsa.used[i];
    if (used.prn == prn && (system == NMEA_SYSTEM_UNKNOWN || used.system == system)) return 1;
  }
  return 0;
}

NmeaState CNmeaParser::Snapshot() const {
  NmeaState state;
  std::lock_guard<std::mutex> guard(m_blockLock);
  state.sentenceCount = m_sentenceCount.load(std::memory_order_relaxed);
  state.gga = m_gga;
  state.gsa = m_gsa;
  state.gsv = m_gsv;
  state.rmb = m_rmb;
  state.rmc = m_rmc;
  state.zda = m_zda;
  return state;
}

// In every handler a missing field leaves the stored value alone unless a default is named.

void CNmeaParser::HandleGga(const Fields& f) {
  {
    std::lock_guard<std::mutex> guard(m_blockLock);
    NmeaGga& g = m_gga;
    if (f.Has(0)) ParseTime(f.View(0), g.hour, g.minute, g.second);
    f.ReadPosition(1, g.latitude, g.longitude);
    if (f.Has(5)) g.fixQuality = static_cast<std::uint8_t>(FirstChar(f.View(5)) - 48);
    if (f.Has(6)) g.satellites = static_cast<std::uint8_t>(ParseInt(Part(f.View(6), 0, 2)));
    if (f.Has(7)) g.hdop = ParseReal(f.View(7));
    if (f.Has(8)) g.altitude = ParseReal(f.View(8));
    ++g.count;
  }
  Notify(NMEA_GGA);
}

void CNmeaParser::HandleGsa(const Fields& f, std::uint16_t talkerSystem, bool continuesRun) {
  {
    std::lock_guard<std::mutex> guard(m_blockLock);
    NmeaGsa& g = m_gsa;
    // NMEA 4.10 names the system after the DOPs; before it only the talker tells.
    std::uint16_t system = talkerSystem;
    if (const int id = HexDigit(f.View(17)); id >= 1) system = static_cast<std::uint16_t>(id);
    // A GSA of a system the run already holds starts the next epoch.
    const std::uint32_t bit = system != NMEA_SYSTEM_UNKNOWN ? 1u << system : 0u;
    const bool newEpoch = !continuesRun || (m_gsaRunSystems & bit) != 0;
    if (newEpoch) {
      m_gsaRunSystems = 0;
      g.usedCount = 0;
    }
    m_gsaRunSystems |= bit;
    g.system = system;

    if (f.Has(0)) g.mode = FirstChar(f.View(0));
    if (f.Has(1)) g.fixType = static_cast<std::uint8_t>(FirstChar(f.View(1)) - 48);
    // PRNs above 99 (SBAS 120-158, other systems) are read whole.
    for (int k = 0; k < 12; ++k) {
      const auto prn = static_cast<std::uint16_t>(ParseInt(f.View(2 + k)));
      g.prn[k] = prn;
      if (prn == 0) continue;
      const std::uint16_t of = system != NMEA_SYSTEM_UNKNOWN ? system : SystemOfPrn(prn);
      if (IsSatelliteUsed(of, prn) || g.usedCount >= NmeaGsa::kMaxUsed) continue;
      g.used[g.usedCount++] = {of, prn};
    }
    // The epoch's GSA sentences carry the same DOPs; one that leaves them out keeps the
    // values of the others.
    if (newEpoch || f.Has(14)) g.pdop = ParseReal(f.View(14));
    if (newEpoch || f.Has(15)) g.hdop = ParseReal(f.View(15));
    if (newEpoch || f.Has(16)) g.vdop = ParseReal(f.View(16));
    ++g.count;
  }
  Notify(NMEA_GSA);
}

void CNmeaParser::HandleGsv(const Fields& f, int talker) {
  if (!f.Has(0) || !f.Has(1)) return;
  int messages = ParseInt(f.View(0));
  int message = ParseInt(f.View(1));
  if (messages < 0 || messages > 9 || message < 0 || message > 9) return;
  if (messages < 1 || messages > 8 || message < 1) return;
  std::lock_guard<std::mutex> guard(m_blockLock);
  GsvTalker& t = m_gsvTalker[talker];
  // NMEA 4.10 ends the sentence with a signal id (one hex digit) after the satellites.
  int end = f.Count();
  std::uint16_t signal = 0;
  if (end > 3 && (end - 3) % 4 == 1) {
    if (const int id = HexDigit(f.View(end - 1)); id >= 0) {
      signal = static_cast<std::uint16_t>(id);
      --end;
    }
  }
  auto field = [&](int n) { return n < end ? f.View(n) : std::string_view(); };
  t.active = true;
  t.messages = static_cast<std::uint8_t>(messages);
  if (f.Has(2)) t.inView = static_cast<std::uint16_t>(ParseInt(f.View(2)));
  for (int k = 0; k < 4; ++k) {
    GpsSatellite& s = t.satellite[4 * (message - 1) + k];
    int first = 3 + 4 * k;
    s.prn = static_cast<std::uint16_t>(ParseInt(field(first)));
    s.elevation = static_cast<std::uint16_t>(ParseInt(field(first + 1)));
    s.azimuth = static_cast<std::uint16_t>(ParseInt(field(first + 2)));
    s.snr = static_cast<std::uint16_t>(ParseInt(field(first + 3)));
    s.system = t.system != NMEA_SYSTEM_UNKNOWN ? t.system : SystemOfPrn(s.prn);
    if (s.prn == 0) s.system = NMEA_SYSTEM_UNKNOWN;
    s.signal = s.prn == 0 ? 0 : signal;
    s.usedInFix = static_cast<std::uint32_t>(IsSatelliteUsed(s.system, s.prn));
  }
  ++m_gsv.count;
  PublishSatellitesInView();
}

void CNmeaParser::PublishSatellitesInView() {
  NmeaGsv& g = m_gsv;
  int active = 0;
  const GsvTalker* only = nullptr;
  for (const GsvTalker& t : m_gsvTalker) {
    if (!t.active) continue;
    ++active;
    only = &t;
  }
  if (active == 1) {
    // One talker: its table as it stands, message by message.
    std::copy(std::begin(only->satellite), std::end(only->satellite), std::begin(g.satellite));
    g.satellitesInView = only->inView;
    return;
  }
  // Several: each talker's satellites of its last sequence, one talker after the other, as
  // many as the table holds.
  int filled = 0;
  unsigned inView = 0;
  for (const GsvTalker& t : m_gsvTalker) {
    if (!t.active) continue;
    inView += t.inView;
    const int n = std::min<int>({t.inView, 4 * t.messages, NmeaGsv::kTableSize});
    for (int i = 0; i < n && filled < NmeaGsv::kTableSize; ++i) g.satellite[filled++] = t.satellite[i];
  }
  for (; filled < NmeaGsv::kTableSize; ++filled) g.satellite[filled] = GpsSatellite{};
  g.satellitesInView = static_cast<std::uint16_t>(std::min(inView, 0xFFFFu));
}

void CNmeaParser::HandleRmb(const Fields& f) {
  auto copyId = [&](int n, char (&target)[32]) {
    std::string_view id = f.View(n);
    if (!id.empty()) std::memcpy(target, id.data(), id.size());  // at most 24 characters
    target[id.size()] = '\0';
  };
  std::lock_guard<std::mutex> guard(m_blockLock);
  NmeaRmb& r = m_rmb;
  r.status = f.Has(0) ? FirstChar(f.View(0)) : 'V';
  r.crossTrackError = ParseReal(f.View(1));
  r.steer = f.Has(2) ? FirstChar(f.View(2)) : '?';
  copyId(3, r.originId);
  copyId(4, r.destinationId);
  f.ReadPosition(5, r.destinationLatitude, r.destinationLongitude);
  r.range = ParseReal(f.View(9));
  r.bearing = ParseReal(f.View(10));
  r.closingVelocity = ParseReal(f.View(11));
  r.arrivalStatus = f.Has(12) ? FirstChar(f.View(12)) : 'V';
  ++r.count;
}

void CNmeaParser::HandleRmc(const Fields& f) {
  {
    std::lock_guard<std::mutex> guard(m_blockLock);
    NmeaRmc& r = m_rmc;
    if (f.Has(0)) ParseTime(f.View(0), r.hour, r.minute, r.second);
    r.status = f.Has(1) ? FirstChar(f.View(1)) : 'V';
    f.ReadPosition(2, r.latitude, r.longitude);
    r.speed = ParseReal(f.View(6));
    r.course = ParseReal(f.View(7));
    if (f.Has(8)) {
      std::string_view date = f.View(8);
      r.day = static_cast<std::uint8_t>(ParseInt(Part(date, 0, 2)));
      r.month = static_cast<std::uint8_t>(ParseInt(Part(date, 2, 2)));
      r.year = static_cast<std::uint16_t>(ParseInt(Part(date, 4, 2)));
    }
    r.magneticVariation = ParseReal(f.View(9));
    if (f.Has(9) && FirstChar(f.View(10)) == 'W') r.magneticVariation = -r.magneticVariation;
    ++r.count;
  }
  Notify(NMEA_RMC);
}

void CNmeaParser::HandleZda(const Fields& f) {
  std::lock_guard<std::mutex> guard(m_blockLock);
  NmeaZda& z = m_zda;
  if (f.Has(0)) {
    std::string_view time = f.View(0);
    z.hour = static_cast<std::uint8_t>(ParseInt(Part(time, 0, 2)));
    z.minute = static_cast<std::uint8_t>(ParseInt(Part(time, 2, 2)));
    z.second = static_cast<std::uint8_t>(ParseInt(Part(time, 4, 2)));
  }
  z.day = f.Has(1) ? static_cast<std::uint8_t>(ParseInt(f.View(1))) : 1;
  z.month = f.Has(2) ? static_cast<std::uint8_t>(ParseInt(f.View(2))) : 1;
  z.year = f.Has(3) ? static_cast<std::uint16_t>(ParseInt(f.View(3))) : 1;
  z.zoneHours = static_cast<std::uint8_t>(ParseInt(f.View(4)));
  z.zoneMinutes = static_cast<std::uint8_t>(ParseInt(f.View(5)));
  ++z.count;
}
