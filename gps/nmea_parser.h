// NMEA 0183 parser: turns the receiver's byte stream into the last values of the
// sentences GGA, GSA, GSV, RMC (from the talkers GP, GN, GL, GA, GB and BD alike) and
// GPRMB and GPZDA.
//
// A multi-constellation receiver sends its combined solution with the talker GN, one GSA
// per constellation in each epoch (NMEA 4.10 adds the system id) and the satellites in view
// of each constellation under its own talker. The satellites in use are the union of the
// GSA lists of one epoch (the GSA sentences that follow each other); each talker's GSV
// sequence is assembled in a table of its own, and the satellites in view are those of
// every talker put together (a single talker's table is shown as it is). Satellites are
// told apart by system and PRN, so Galileo 5 is not GPS 5.
//
// Positions are WGS84 degrees as the receiver sends them (south and west negative),
// altitude in metres as sent, speed in knots, course/azimuth/elevation in degrees,
// SNR in dB-Hz. Numbers are read in the C locale whatever the user's locale is.
//
// Threads: one thread feeds the parser at a time (the GPS reader thread or a log
// replay). The process-wide callback runs on that thread, inside ParseBuffer, and may
// read the blocks directly. Any other thread (status displays) takes Snapshot(),
// which copies the blocks under the parser's lock.
//
// No allocation per byte or per sentence: the byte machine fills fixed buffers and the
// sentence handlers read fields through a 25-byte buffer on the stack.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

enum NmeaSentenceKind : int {
  NMEA_RMC = 0,
  NMEA_GGA = 1,
  NMEA_GSA = 2,
};

using NmeaCallback = void (*)(NmeaSentenceKind kind);

enum NmeaParseState : std::int32_t {
  NMEA_WAIT_START = 0,
  NMEA_ADDRESS = 1,
  NMEA_DATA = 2,
  NMEA_CHECKSUM_1 = 3,
  NMEA_CHECKSUM_2 = 4,
};

// Satellite systems by their NMEA 4.10 system ids; 0 = not known.
enum NmeaSystem : std::uint16_t {
  NMEA_SYSTEM_UNKNOWN = 0,
  NMEA_SYSTEM_GPS = 1,  // GPS, and the SBAS and QZSS satellites a GP talker reports
  NMEA_SYSTEM_GLONASS = 2,
  NMEA_SYSTEM_GALILEO = 3,
  NMEA_SYSTEM_BEIDOU = 4,
  NMEA_SYSTEM_QZSS = 5,
  NMEA_SYSTEM_NAVIC = 6,
};

struct GpsSatellite {
  std::uint16_t prn = 0;
  std::uint16_t snr = 0;        // dB-Hz
  std::uint32_t usedInFix = 0;  // 0/1: in the satellites in use of the last GSA epoch
  std::uint16_t azimuth = 0;    // degrees
  std::uint16_t elevation = 0;  // degrees
  std::uint16_t system = 0;     // NmeaSystem
  std::uint16_t signal = 0;     // NMEA 4.10 signal id of its GSV; 0 when none was sent
};

struct GpsSatelliteId {
  std::uint16_t system = 0;  // NmeaSystem
  std::uint16_t prn = 0;
};

struct NmeaGga {
  std::uint8_t hour = 0;
  std::uint8_t minute = 0;
  double second = 0;        // whole seconds and at most one decimal
  double latitude = 0;      // degrees, south negative
  double longitude = 0;     // degrees, west negative
  std::uint8_t fixQuality = 0;  // 0 no fix, 1 GPS, 2 DGPS, ...
  std::uint8_t satellites = 0;  // in use
  double hdop = 0;
  double altitude = 0;      // metres, as sent
  std::uint32_t count = 0;
};

struct NmeaGsa {
  static constexpr int kMaxUsed = 72;  // twelve for each of six systems
  char mode = 'M';
  std::uint8_t fixType = 1;  // 1 none, 2 2D, 3 3D
  std::uint16_t prn[12] = {};  // as the last GSA sentence sent them
  double pdop = 0;
  double hdop = 0;
  double vdop = 0;
  std::uint32_t count = 0;
  std::uint16_t system = 0;  // of the last GSA: its system id, else its talker's; 0 not known
  // Satellites in use: the union of the lists of the epoch's GSA sentences.
  std::uint16_t usedCount = 0;
  GpsSatelliteId used[kMaxUsed] = {};
};

struct NmeaGsv {
  static constexpr int kTableSize = 36;  // four satellites per message, messages 1..9
  std::uint16_t satellitesInView = 0;  // as reported: the sum over the talkers
  GpsSatellite satellite[kTableSize] = {};
  std::uint32_t count = 0;
};

struct NmeaRmb {
  char status = 'V';
  double crossTrackError = 0;
  char steer = '?';
  char originId[32] = {};
  char destinationId[32] = {};
  double destinationLatitude = 0;   // degrees, south negative
  double destinationLongitude = 0;  // degrees, west negative
  double range = 0;
  double bearing = 0;
  double closingVelocity = 0;
  char arrivalStatus = 'V';
  std::uint32_t count = 0;
};

struct NmeaRmc {
  std::uint8_t hour = 0;
  std::uint8_t minute = 0;
  double second = 0;
  char status = 'V';        // 'A' valid, 'V' void
  double latitude = 0;
  double longitude = 0;
  double speed = 0;         // knots over ground
  double course = 0;        // degrees
  std::uint8_t day = 1;
  std::uint8_t month = 1;
  std::uint16_t year = 2000;  // the two digits as sent once a date arrived (24 for 2024)
  double magneticVariation = 0;  // degrees, west negative
  std::uint32_t count = 0;
};

struct NmeaZda {
  std::uint8_t hour = 0;
  std::uint8_t minute = 0;
  std::uint8_t second = 0;
  std::uint8_t day = 1;
  std::uint8_t month = 1;
  std::uint16_t year = 2000;  // four digits as sent
  std::uint8_t zoneHours = 0;
  std::uint8_t zoneMinutes = 0;
  std::uint32_t count = 0;
};

// The stored values of all sentence kinds at one moment.
struct NmeaState {
  std::uint32_t sentenceCount = 0;
  NmeaGga gga;
  NmeaGsa gsa;
  NmeaGsv gsv;
  NmeaRmb rmb;
  NmeaRmc rmc;
  NmeaZda zda;
};

class CNmeaParser {
 public:
  static constexpr int kFieldBufferSize = 25;  // a field is read as at most 24 characters

  CNmeaParser();
  virtual ~CNmeaParser();
  CNmeaParser(const CNmeaParser&) = delete;
  CNmeaParser& operator=(const CNmeaParser&) = delete;

  // One callback for all parsers of the process, called after GGA, GSA and RMC were
  // stored. Null (the default) means nobody is told. Returns 1.
  static int SetCallback(NmeaCallback callback);

  // Feeds bytes through the byte machine; a sentence may arrive split over any number
  // of calls. Returns 1.
  int ParseBuffer(const std::uint8_t* bytes, std::size_t length);
  void ProcessByte(std::uint8_t c);

  // Runs the handler of a complete sentence; counts every sentence. Returns 1.
  int ProcessSentence(const char* address, const char* data);

  // Copies field n (0 = first after the address) of data into buffer, cut to size - 1
  // characters. Returns 1 when the field is present and not empty; otherwise the
  // buffer is emptied (when there is one) and 0 is returned.
  static int GetField(const char* data, int n, char* buffer, int size);

  // 1 when prn is non-zero and in the satellites in use of the last GSA epoch (of any
  // system; with a system, of that system only).
  int IsSatelliteUsed(std::uint16_t prn) const;
  int IsSatelliteUsed(std::uint16_t system, std::uint16_t prn) const;

  // The system a talker ("GP", "GL", ...) reports; 0 for GN and unknown talkers.
  static std::uint16_t TalkerSystem(const char* talker);
  // The system of a PRN in the numbering of NMEA 2.3 receivers that send several systems
  // under one talker (GLONASS 65-96, BeiDou 201-237 and 401-437, Galileo 301-336); GPS
  // (with SBAS and QZSS) otherwise.
  static std::uint16_t SystemOfPrn(std::uint16_t prn);

  // A consistent copy of everything stored, for threads other than the feeding one.
  NmeaState Snapshot() const;
  std::uint32_t SentenceCount() const { return m_sentenceCount.load(std::memory_order_relaxed); }

  // The stored blocks. The feeding thread (and so the callback) reads them directly.
  NmeaGga m_gga;
  NmeaGsa m_gsa;
  NmeaGsv m_gsv;
  NmeaRmb m_rmb;
  NmeaRmc m_rmc;
  NmeaZda m_zda;

 private:
  class Fields;

  void Reset();
  void DropSentence() { m_state = NMEA_WAIT_START; }
  void DispatchCurrent();
  // The GSV table of one talker (GP, GL, GA, GB and BD, GN).
  struct GsvTalker {
    bool active = false;      // has sent a GSV
    std::uint16_t system = 0; // what its satellites are; 0: told by their PRNs
    std::uint16_t inView = 0;
    std::uint8_t messages = 0;  // of its last sequence
    GpsSatellite satellite[NmeaGsv::kTableSize] = {};
  };
  static constexpr int kGsvTalkers = 7;
  static int GsvTalkerIndex(const char* talker);

  void HandleGga(const Fields& f);
  void HandleGsa(const Fields& f, std::uint16_t talkerSystem, bool continuesRun);
  void HandleGsv(const Fields& f, int talker);
  void PublishSatellitesInView();
  void HandleRmb(const Fields& f);
  void HandleRmc(const Fields& f);
  void HandleZda(const Fields& f);
  static void Notify(NmeaSentenceKind kind);

  // Byte machine.
  NmeaParseState m_state = NMEA_WAIT_START;
  std::uint8_t m_checksum = 0;
  std::uint8_t m_receivedChecksum = 0;
  std::uint16_t m_index = 0;
  char m_address[8] = {};
  char m_data[256] = {};
  std::atomic<std::uint32_t> m_sentenceCount{0};

  // Sentence state of the feeding thread.
  bool m_lastWasGsa = false;          // the sentence dispatched last was a GSA
  std::uint32_t m_gsaRunSystems = 0;  // bit per system id of the GSA sentences of this run
  GsvTalker m_gsvTalker[kGsvTalkers];

  // Held while a handler stores and while Snapshot copies.
  mutable std::mutex m_blockLock;

  static std::atomic<NmeaCallback> s_callback;
};
