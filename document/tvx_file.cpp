#include "document/tvx_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <new>
#include <utility>
#include <vector>

#include "document/geo_position.h"
#include "platform/files.h"
#include "platform/text_encoding.h"

namespace {

// ---------------------------------------------------------------------------------------
// Text forms of the file: UTF-16LE code units (version 12 on) and Windows-1252 bytes
// (older files). Inside the program text is UTF-8.

using platform::Cp1252ToUtf8;
using platform::Utf16LeToUtf8;
using platform::Utf8ToUtf16;

// ---------------------------------------------------------------------------------------
// Layout constants. Sizes are bytes; a record's padding fills it up to the block size.

constexpr std::uint32_t kObjectWaypoint = static_cast<std::uint32_t>(FeatureType::Waypoint);
constexpr std::uint32_t kSecondBlockValue = 1000;
constexpr std::size_t kHeaderFixed = 14;            // marker, zero byte, version, block size
constexpr std::size_t kObjectHeaderFixed = 27;      // up to the subtract flag
constexpr std::size_t kObjectHeaderFixedOld = 19;   // before version 13
constexpr std::size_t kVertexFixed = 30;            // with an empty note (4 bytes)
constexpr std::size_t kVertexFixedOld = 32;         // versions 3-11: 6 note bytes
constexpr std::size_t kLegacyFixed = 20;            // versions 1-2, vertices and waypoints
constexpr std::size_t kWaypointFixed = 28;
constexpr std::size_t kEmptyStringSize = 4;         // FF FE FF 00
constexpr std::size_t kLegacyVertexNote = 6;
constexpr std::size_t kLegacyNoteKept = 159;
constexpr std::size_t kLegacyNameKept = 31;
constexpr double kMilliarcsecondsPerDegree = 3600000.0;

constexpr std::uint32_t kFirstUtf16Version = 12;
constexpr std::uint32_t kFirstLinkVersion = 13;
constexpr std::uint32_t kFirstDoubleVersion = 3;

// ---------------------------------------------------------------------------------------
// Writing.

void StoreLe(char* to, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) to[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A vertex record with an empty note, before its coordinates and altitude are filled in.
constexpr std::array<char, kTvxWriteBlockSize> kEmptyNoteVertex = [] {
  std::array<char, kTvxWriteBlockSize> r{};
  r[0] = 1;  // u16 1, then u32 0
  r[26] = static_cast<char>(0xFF);  // the empty string: FF FE FF 00
  r[27] = static_cast<char>(0xFE);
  r[28] = static_cast<char>(0xFF);
  return r;
}();

class Writer {
 public:
  explicit Writer(std::size_t expected) { out_.reserve(expected); }

  void U8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void U16(std::uint16_t v) { Le(v, 2); }
  void U32(std::uint32_t v) { Le(v, 4); }
  void I32(std::int32_t v) { Le(static_cast<std::uint32_t>(v), 4); }
  void F64(double v) { Le(std::bit_cast<std::uint64_t>(v), 8); }
  void Zeros(std::size_t n) { out_.append(n, '\0'); }
  void Raw(const char* data, std::size_t n) { out_.append(data, n); }

  // The string form: 0xFF, u16 0xFFFE, the length in UTF-16 units, the units.
  void String(std::string_view utf8) {
    U8(0xFF);
    U16(0xFFFE);
    if (utf8.empty()) {
      U8(0);
      return;
    }
    const std::u16string units = Utf8ToUtf16(utf8);
    const std::size_t length = units.size();
    if (length < 0xFF) {
      U8(static_cast<std::uint8_t>(length));
    } else if (length < 0xFFFE) {
      U8(0xFF);
      U16(static_cast<std::uint16_t>(length));
    } else {
      U8(0xFF);
      U16(0xFFFF);
      U32(static_cast<std::uint32_t>(length));
    }
    for (const char16_t u : units) U16(u);
  }

  std::string Take() { return std::move(out_); }

 private:
  void Le(std::uint64_t v, int bytes) {
    char b[8];
    StoreLe(b, v, bytes);
    out_.append(b, static_cast<std::size_t>(bytes));
  }

  std::string out_;
};

void WriteObjectHeader(Writer& w, std::uint32_t type, std::uint32_t colour,
                       std::uint32_t vertexCount, std::int32_t pattern, std::int32_t visible,
                       std::int32_t editable, std::int32_t link, std::int32_t subtract) {
  w.U32(type);
  w.U32(colour);
  w.U32(1);  // one name record
  w.U32(vertexCount);
  // The flags are 32-bit in memory and one byte in the file.
  w.U8(static_cast<std::uint8_t>(pattern));
  w.U8(static_cast<std::uint8_t>(visible));
  w.U8(static_cast<std::uint8_t>(editable));
  w.U32(static_cast<std::uint32_t>(link));
  w.U32(static_cast<std::uint32_t>(subtract));
  w.Zeros(kTvxWriteBlockSize - kObjectHeaderFixed);
}

void WriteName(Writer& w, const std::string& name) {
  w.U8(1);
  w.String(name);
  w.Zeros(kTvxWriteBlockSize - 1 - kEmptyStringSize);
}

// ---------------------------------------------------------------------------------------
// Reading.

// Thrown inside the parser; the public functions turn it into a TvxFileError.
struct Refusal {
  int stringId;
  const char* text;
};

constexpr const char* kTextUnknownFile = "Error: Archivo desconocido";
constexpr const char* kTextTruncated = "The file ends before its data is complete.";
constexpr const char* kTextBlockSize = "The file states a block size that is too small.";
constexpr const char* kTextCounts = "The file states more records than it holds.";
constexpr const char* kTextLegacyText = "A text in the file is longer than its record.";
constexpr const char* kTextUnknownObject =
    "The file holds an object of unknown type with vertices.";
constexpr const char* kTextMemory = "There is not enough memory to read the file.";

[[noreturn]] void Refuse(const char* text) { throw Refusal{0, text}; }

class Cursor {
 public:
  explicit Cursor(std::string_view bytes) : bytes_(bytes) {}

  std::size_t Remaining() const { return bytes_.size() - pos_; }

  std::uint8_t U8() { return static_cast<std::uint8_t>(Le(1)); }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Le(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Le(4)); }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  double F64() { return std::bit_cast<double>(Le(8)); }

  void Skip(std::uint64_t n) {
    Need(n);
    pos_ += static_cast<std::size_t>(n);
  }
  // Padding whose size the file's own values determine; negative means the record is
  // shorter than what it claims to hold.
  void SkipPadding(std::int64_t n) {
    if (n < 0) Refuse(kTextLegacyText);
    Skip(static_cast<std::uint64_t>(n));
  }
  std::string_view Bytes(std::uint64_t n) {
    Need(n);
    const std::string_view view = bytes_.substr(pos_, static_cast<std::size_t>(n));
    pos_ += static_cast<std::size_t>(n);
    return view;
  }

  // The string form (see Writer::String); without the 0xFF 0xFFFE prefix the text is
  // Windows-1252 bytes.
  std::string String() {
    bool utf16 = false;
    std::uint64_t length = U8();
    if (length == 0xFF) {
      std::uint16_t wide = U16();
      if (wide == 0xFFFE) {
        utf16 = true;
        length = U8();
        if (length == 0xFF) wide = U16();
      }
      if (length == 0xFF) length = wide < 0xFFFF ? wide : U32();
    }
    if (utf16) return Utf16LeToUtf8(Bytes(2 * length));
    return Cp1252ToUtf8(Bytes(length));
  }

  // Refuses a count of records, each at least minSize bytes, that the rest cannot hold.
  void CheckCount(std::uint64_t count, std::uint64_t minSize) const {
    if (count > Remaining() / minSize) Refuse(kTextCounts);
  }

 private:
  void Need(std::uint64_t n) const {
    if (n > Remaining()) Refuse(kTextTruncated);
  }
  std::uint64_t Le(int n) {
    Need(static_cast<std::uint64_t>(n));
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) {
      v |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
    }
    pos_ += static_cast<std::size_t>(n);
    return v;
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
};

// A legacy length-prefixed single-byte text of which at most `kept` bytes are kept.
std::string LegacyText(std::string_view raw, std::size_t kept) {
  return Cp1252ToUtf8(raw.substr(0, kept));
}

// What one file holds, before it is merged into a document.
struct Staged {
  std::uint32_t version = 0;
  std::uint32_t blockSize = 0;
  std::uint32_t objectCount = 0;
  std::vector<std::string> notes;
  std::vector<FeatureRecord> features;
  std::vector<WaypointRecord> waypoints;
  std::optional<GeoPoint> lastVertex;
  std::size_t partsWithoutParent = 0;
  std::size_t positionsLeftOut = 0;
};

class Parser {
 public:
  Parser(std::string_view bytes, const DatumConversion* datum) : in_(bytes), datum_(datum) {}

  Staged Parse() {
    ReadHeader();
    const std::uint32_t noteCount = in_.U32();
    const std::uint32_t reserved1 = in_.U32();
    const std::uint32_t reserved2 = in_.U32();
    s_.objectCount = in_.U32();
    in_.Skip(B_ - 16);
    in_.CheckCount(std::uint64_t{noteCount} + reserved1 + reserved2 + s_.objectCount,
                   MinRecord());

    s_.notes.reserve(noteCount);
    for (std::uint32_t i = 0; i < noteCount; ++i) s_.notes.push_back(ReadNote());
    in_.Skip((std::uint64_t{reserved1} + reserved2) * B_);
    for (std::uint32_t i = 0; i < s_.objectCount; ++i) ReadObject();

    for (FeatureRecord& f : s_.features) {
      if (f.type == FeatureType::Part &&
          (f.link < 0 || static_cast<std::size_t>(f.link) >= s_.features.size())) {
        // A part whose parent the file does not hold is kept as an area of its own.
        f.type = FeatureType::Area;
        f.link = 0;
        ++s_.partsWithoutParent;
      }
    }
    // A waypoint left out takes its note with it (notes pair with waypoints by order).
    for (auto at = leftOutWaypoints_.rbegin(); at != leftOutWaypoints_.rend(); ++at) {
      if (*at < s_.notes.size())
        s_.notes.erase(s_.notes.begin() + static_cast<std::ptrdiff_t>(*at));
    }
    // One note per waypoint: a file without notes gets empty ones, and a file whose note
    // count differs from its waypoints is evened out.
    s_.notes.resize(s_.waypoints.size());
    return std::move(s_);
  }

 private:
  bool Utf16() const { return s_.version >= kFirstUtf16Version; }
  // The shortest record of any kind: one whose string is single-byte text of length 0 (one
  // byte) is 3 bytes shorter than a block, since its padding assumes the 4-byte empty form.
  std::uint64_t MinRecord() const { return B_ - (kEmptyStringSize - 1); }
  bool Doubles() const { return s_.version >= kFirstDoubleVersion; }

  void ReadHeader() {
    if (in_.Remaining() < 4) throw Refusal{kStringUnknownFile, kTextUnknownFile};
    const std::string_view marker = in_.Bytes(std::min<std::size_t>(6, in_.Remaining()));
    // Only bytes 1 and 3 are tested: "*TVX*" and the marker of the oldest files.
    if (!(marker[1] == 'T' || marker[3] == 'X' || marker[1] == 'D' || marker[3] == 'T')) {
      throw Refusal{kStringUnknownFile, kTextUnknownFile};
    }
    s_.version = in_.U32();
    s_.blockSize = B_ = in_.U32();
    if (B_ < kTvxMinBlockSize) Refuse(kTextBlockSize);
    in_.Skip(B_ - kHeaderFixed);
    in_.U32();  // the second block's two values carry nothing
    in_.U32();
    in_.Skip(B_ - 8);
  }

  std::string ReadNote() {
    if (Utf16()) {
      std::string note = in_.String();
      in_.Skip(B_ - kEmptyStringSize);
      return note;
    }
    // Older files give every note five blocks.
    const std::uint8_t length = in_.U8();
    std::string note = LegacyText(in_.Bytes(length), kLegacyNoteKept);
    in_.SkipPadding(std::int64_t{5} * B_ - 1 - length);
    return note;
  }

  std::string ReadName() {
    in_.U8();
    if (Utf16()) {
      std::string name = in_.String();
      in_.Skip(B_ - 1 - kEmptyStringSize);
      return name;
    }
    const std::uint8_t length = in_.U8();
    std::string name = LegacyText(in_.Bytes(length), kLegacyNameKept);
    in_.SkipPadding(std::int64_t{B_} - 2 - length);
    return name;
  }

  // Coordinates of a vertex or waypoint record after its first six bytes.
  GeoPoint ReadPosition() {
    if (Doubles()) {
      const double x = in_.F64();
      const double y = in_.F64();
      return {x, y};
    }
    const double x = in_.I32() / kMilliarcsecondsPerDegree;
    const double y = in_.I32() / kMilliarcsecondsPerDegree;
    return {x, y};
  }

  GeoPoint ToWorking(GeoPoint p) const {
    if (datum_ != nullptr && datum_->toWorking) datum_->toWorking(p.x, p.y);
    return p;
  }

  void ReadObject() {
    const std::uint32_t type = in_.U32();
    const std::uint32_t colour = in_.U32();
    const std::uint32_t nameCount = in_.U32();
    const std::uint32_t vertexCount = in_.U32();
    const std::uint8_t pattern = in_.U8();
    const std::uint8_t visible = in_.U8();
    const std::uint8_t editable = in_.U8();
    std::uint32_t link = 0;
    std::uint32_t subtract = 0;
    if (s_.version >= kFirstLinkVersion) {
      link = in_.U32();
      subtract = in_.U32();
      in_.Skip(B_ - kObjectHeaderFixed);
    } else {
      in_.Skip(B_ - kObjectHeaderFixedOld);
    }

    in_.CheckCount(nameCount, MinRecord());
    std::string name;
    for (std::uint32_t i = 0; i < nameCount; ++i) name = ReadName();

    if (type == kObjectWaypoint) {
      ReadWaypoint(std::move(name), static_cast<std::int32_t>(colour));
      return;
    }
    if (!IsFeatureType(static_cast<std::int32_t>(type))) {
      // What the vertices of an unknown object would mean is not known: refuse the file
      // rather than guess where the next object starts.
      if (vertexCount > 0) Refuse(kTextUnknownObject);
      return;
    }
    in_.CheckCount(vertexCount, MinRecord());
    FeatureRecord& f =
        s_.features.emplace_back(static_cast<FeatureType>(type), std::move(name));
    f.colour = colour;
    f.pattern = pattern;
    f.visible = visible;
    f.editable = editable;
    f.link = static_cast<std::int32_t>(link);
    f.subtract = static_cast<std::int32_t>(subtract);
    f.ReserveVertices(vertexCount);
    for (std::uint32_t i = 0; i < vertexCount; ++i) ReadVertex(f);
  }

  void ReadVertex(FeatureRecord& f) {
    in_.U16();
    in_.U32();
    const GeoPoint wgs84 = ReadPosition();
    const std::int32_t value = in_.I32();
    std::string note;
    if (!Doubles()) {
      in_.U16();
      in_.Skip(B_ - kLegacyFixed);
    } else if (!Utf16()) {
      const std::string_view raw = in_.Bytes(kLegacyVertexNote);
      note = Cp1252ToUtf8(raw.substr(0, raw.find('\0')));
      in_.Skip(B_ - kVertexFixedOld);
    } else {
      note = in_.String();
      in_.Skip(B_ - kVertexFixed);
    }
    const GeoPoint working = ToWorking(wgs84);
    // A vertex that names no place is left out of its feature (document/geo_position.h).
    if (!IsGeographicPosition(wgs84) || !IsGeographicPosition(working)) {
      ++s_.positionsLeftOut;
      return;
    }
    f.AddVertex(wgs84, working, value, std::move(note));
    s_.lastVertex = wgs84;
  }

  void ReadWaypoint(std::string name, std::int32_t symbol) {
    in_.U16();
    const std::int32_t stamp = in_.I32();
    const GeoPoint wgs84 = ReadPosition();
    const std::int32_t altitude = in_.I32();
    in_.U16();
    in_.Skip(B_ - (Doubles() ? kWaypointFixed : kLegacyFixed));
    const GeoPoint working = ToWorking(wgs84);
    const std::size_t index = waypointsRead_++;
    if (!IsGeographicPosition(wgs84) || !IsGeographicPosition(working)) {
      ++s_.positionsLeftOut;
      leftOutWaypoints_.push_back(index);
      return;
    }
    // The projected form is not stored; zone 31 stands until the waypoint table sets it.
    s_.waypoints.push_back(WaypointRecord::FromFile(std::move(name), 31, 0, 0.0, 0.0, altitude,
                                                    working.x, working.y, stamp, symbol));
  }

  Cursor in_;
  const DatumConversion* datum_;
  std::uint32_t B_ = 0;
  Staged s_;
  std::size_t waypointsRead_ = 0;
  std::vector<std::size_t> leftOutWaypoints_;  // their places among the file's waypoints
};

template <typename T>
void MoveAppend(std::vector<T>& to, std::vector<T>& from) {
  for (T& item : from) to.push_back(std::move(item));
}

// Merges a parsed file into the content. Every allocation happens before the first change,
// so the merge either completes or leaves the content as it was.
void Commit(Staged& s, DocumentContent& content, bool append, const TvxLoadSettings& settings,
            TvxLoadInfo* info) {
  // An import into a document that holds nothing but its initial empty feature replaces it.
  const bool dropLoneEmpty = append && content.features.size() == 1 &&
                             content.features.front().vertices.empty() && s.objectCount != 0;
  const std::size_t kept = (append && !dropLoneEmpty) ? content.features.size() : 0;
  for (FeatureRecord& f : s.features) {
    if (f.type == FeatureType::Part) f.link += static_cast<std::int32_t>(kept);
  }

  std::vector<FeatureRecord> replacement;
  if (kept == 0) {
    replacement = std::move(s.features);
    if (replacement.empty()) replacement.push_back(settings.emptyFeature);
  } else {
    content.features.reserve(kept + s.features.size());
  }
  const std::size_t featureTotal = kept == 0 ? replacement.size() : kept + s.features.size();
  content.kind52Index.reserve(featureTotal);
  // Notes stay parallel to waypoints: an existing note list that does not match is evened
  // out before the file's notes go after it.
  const std::size_t oldWaypoints = content.waypoints.size();
  content.waypoints.reserve(oldWaypoints + s.waypoints.size());
  content.waypointNotes.reserve(oldWaypoints + s.notes.size());

  // From here on nothing allocates beyond the reserved capacity.
  if (kept == 0) {
    content.features.swap(replacement);
  } else {
    MoveAppend(content.features, s.features);
  }
  content.RebuildPartIndex();
  content.waypointNotes.resize(oldWaypoints);
  MoveAppend(content.waypoints, s.waypoints);
  MoveAppend(content.waypointNotes, s.notes);
  if (info != nullptr) {
    info->version = s.version;
    info->blockSize = s.blockSize;
    info->firstNewFeature = static_cast<std::uint32_t>(kept);
    info->lastVertexWgs84 = s.lastVertex;
    info->partsWithoutParent = s.partsWithoutParent;
    info->positionsLeftOut = s.positionsLeftOut;
  }
}

bool Load(std::string_view bytes, DocumentContent& content, TvxFileError& error,
          const TvxLoadSettings& settings, TvxLoadInfo* info, bool append) {
  try {
    Staged staged = Parser(bytes, settings.datum).Parse();
    Commit(staged, content, append, settings, info);
    return true;
  } catch (const Refusal& r) {
    error = TvxFileError{r.stringId, r.text};
  } catch (const std::bad_alloc&) {
    error = TvxFileError{0, kTextMemory};
  }
  return false;
}

}  // namespace

bool ReadTvxFile(std::string_view bytes, DocumentContent& content, TvxFileError& error,
                 const TvxLoadSettings& settings, TvxLoadInfo* info) {
  return Load(bytes, content, error, settings, info, false);
}

bool AppendTvxFile(std::string_view bytes, DocumentContent& content, TvxFileError& error,
                   const TvxLoadSettings& settings, TvxLoadInfo* info) {
  return Load(bytes, content, error, settings, info, true);
}

std::string WriteTvxFile(const DocumentContent& content, const DatumConversion* datum) {
  constexpr std::size_t B = kTvxWriteBlockSize;
  const std::size_t featureCount = content.features.size();
  const std::size_t waypointCount = content.waypoints.size();
  std::size_t vertexTotal = 0;
  for (const FeatureRecord& f : content.features) vertexTotal += f.VertexCount();
  // Every record is one block when its strings are empty; strings add to that.
  Writer w((3 + 2 * featureCount + 3 * waypointCount + vertexTotal) * B + 256);

  w.U8('*'), w.U8('T'), w.U8('V'), w.U8('X'), w.U8('*'), w.U8(0);
  w.U32(kTvxWriteVersion);
  w.U32(kTvxWriteBlockSize);
  w.Zeros(B - kHeaderFixed);
  w.U32(kSecondBlockValue);
  w.U32(kSecondBlockValue);
  w.Zeros(B - 8);

  w.U32(static_cast<std::uint32_t>(waypointCount));
  w.U32(0);
  w.U32(0);
  w.U32(static_cast<std::uint32_t>(featureCount + waypointCount));
  w.Zeros(B - 16);

  // Exactly one note per waypoint, whatever the note list holds.
  for (std::size_t i = 0; i < waypointCount; ++i) {
    w.String(i < content.waypointNotes.size() ? content.waypointNotes[i] : std::string());
    w.Zeros(B - kEmptyStringSize);
  }

  for (const FeatureRecord& f : content.features) {
    const std::size_t n = f.VertexCount();
    WriteObjectHeader(w, static_cast<std::uint32_t>(f.type), f.colour,
                      static_cast<std::uint32_t>(n), f.pattern, f.visible, f.editable, f.link,
                      f.subtract);
    WriteName(w, f.name);
    for (std::size_t i = 0; i < n; ++i) {
      const std::int32_t altitude = i < f.altitudesCm.size() ? f.altitudesCm[i] : 0;
      const std::string_view note =
          i < f.vertexNotes.size() ? std::string_view(f.vertexNotes[i]) : std::string_view();
      if (note.empty()) {
        // Most vertices carry no note: their record is one fixed block.
        std::array<char, B> record = kEmptyNoteVertex;
        StoreLe(&record[6], std::bit_cast<std::uint64_t>(f.wgs84Vertices[i].x), 8);
        StoreLe(&record[14], std::bit_cast<std::uint64_t>(f.wgs84Vertices[i].y), 8);
        StoreLe(&record[22], static_cast<std::uint32_t>(altitude), 4);
        w.Raw(record.data(), record.size());
        continue;
      }
      w.U16(1);
      w.U32(0);
      w.F64(f.wgs84Vertices[i].x);
      w.F64(f.wgs84Vertices[i].y);
      w.I32(altitude);
      w.String(note);
      w.Zeros(B - kVertexFixed);
    }
  }

  for (const WaypointRecord& p : content.waypoints) {
    WriteObjectHeader(w, kObjectWaypoint, static_cast<std::uint32_t>(p.symbol), 1, 0, 0, 0, 0,
                      0);
    WriteName(w, p.name);
    double x = p.x;
    double y = p.y;
    if (datum != nullptr && datum->toWgs84) datum->toWgs84(x, y);
    w.U16(1);
    w.I32(p.timeStamp);
    w.F64(x);
    w.F64(y);
    w.I32(p.altitudeCm);
    w.U16(0);
    w.Zeros(B - kWaypointFixed);
  }
  return w.Take();
}

bool SaveTvxFileAtomically(const std::string& path, const DocumentContent& content,
                           std::string& error, const DatumConversion* datum) {
  try {
    std::string why;
    if (platform::WriteFileReplacing(path, WriteTvxFile(content, datum), &why)) return true;
    error = "Cannot save " + path + ": " + why + ". The previous file is unchanged.";
  } catch (const std::bad_alloc&) {
    error = "There is not enough memory to save " + path + ". The previous file is unchanged.";
  }
  return false;
}

bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& error) {
  std::optional<std::string> data = platform::ReadWholeFile(path);
  if (!data) {
    error = "Cannot read " + path + ".";
    return false;
  }
  bytes = std::move(*data);
  return true;
}
