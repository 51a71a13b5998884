#include "dialogs/core/waypoint_table.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string_view>

#include "coords/angle_text.h"
#include "document/geo_position.h"

namespace waypoint_table {

namespace {

std::string Fixed(double value, int decimals) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                 decimals);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

std::string Padded(long long value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

bool StartsNegative(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  return first != std::string::npos && text[first] == '-';
}

// The blank-separated fields of a text.
std::vector<std::string> Fields(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> fields;
  for (std::string field; in >> field;) fields.push_back(field);
  return fields;
}

std::string AltitudeText(std::int32_t centimetres) { return Fixed(centimetres * 0.01, 2); }

bool Blank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

}  // namespace

double LeadingNumber(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return 0.0;
  const char* begin = text.data() + first;
  const char* end = text.data() + text.size();
  bool negative = false;
  if (*begin == '+' || *begin == '-') {
    negative = *begin == '-';
    ++begin;
  }
  double value = 0.0;
  auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ptr == begin) return 0.0;  // no number; out-of-range values saturate as atof does
  if (ec == std::errc::result_out_of_range) value = HUGE_VAL;
  return negative ? -value : value;
}

std::string FormatGeo(double value, int geoType, bool longitude) {
  AngleTextStyle style;
  style.degreeWidth = longitude ? 3 : 2;
  if (geoType == 1) {
    style.decimals = 4;
    return DegreesMinutesText(value, style);
  }
  if (geoType == 2) return DegreesMinutesSecondsText(value, style);
  return Fixed(value, 7);
}

std::optional<double> NumberOf(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const std::size_t last = text.find_last_not_of(" \t");
  const std::string_view number(text.data() + first, last - first + 1);
  std::size_t i = 0;
  const bool negative = number[0] == '-';
  if (number[0] == '+' || number[0] == '-') ++i;
  // Digits with at most one point, and at least one digit: no exponent, no "inf" or "nan".
  int digits = 0;
  bool point = false;
  for (std::size_t k = i; k < number.size(); ++k) {
    if (number[k] == '.' && !point) {
      point = true;
    } else if (number[k] >= '0' && number[k] <= '9') {
      ++digits;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  double value = 0.0;
  const auto [end, ec] = std::from_chars(number.data() + i, number.data() + number.size(), value,
                                         std::chars_format::fixed);
  if (ec != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
    return std::nullopt;
  return negative ? -value : value;
}

std::optional<double> GeoValueOf(const std::string& text, int geoType) {
  const std::vector<std::string> fields = Fields(text);
  if (fields.size() == 1) return NumberOf(fields[0]);
  const std::size_t most = geoType == 1 ? 2 : geoType == 2 ? 3 : 1;
  if (fields.empty() || fields.size() > most) return std::nullopt;
  // Whole degrees (and whole minutes before seconds), then the last field's decimals; only
  // the degrees carry a sign.
  double value = 0.0, unit = 1.0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::optional<double> field = NumberOf(fields[i]);
    if (!field) return std::nullopt;
    const bool last = i + 1 == fields.size();
    if ((i > 0 && (fields[i][0] == '-' || fields[i][0] == '+')) ||
        (!last && *field != std::trunc(*field)))
      return std::nullopt;
    value += std::fabs(*field) / unit;
    unit *= 60.0;
  }
  return StartsNegative(text) ? -value : value;
}

double ParseGeo(const std::string& text, int geoType) {
  if (const std::optional<double> value = GeoValueOf(text, geoType)) return *value;
  if (geoType != 1 && geoType != 2) return LeadingNumber(text);
  const std::vector<std::string> fields = Fields(text);
  auto field = [&](std::size_t i) { return i < fields.size() ? LeadingNumber(fields[i]) : 0.0; };
  const double sign = StartsNegative(text) ? -1.0 : 1.0;
  const double degrees = std::trunc(std::fabs(field(0)));
  if (geoType == 1) return sign * (degrees + std::fabs(field(1)) / 60.0);
  const double minutes = std::trunc(std::fabs(field(1)));
  return sign * (degrees + minutes / 60.0 + std::fabs(field(2)) / 3600.0);
}

std::optional<int> SouthOf(const std::string& text) {
  const std::vector<std::string> fields = Fields(text);
  if (fields.size() != 1 || fields[0].size() != 1) return std::nullopt;
  switch (fields[0][0]) {
    case 'N':
    case 'n': return 0;
    case 'S':
    case 's': return 1;
    default: return std::nullopt;
  }
}

UINT CellProblem(int mode, int geoType, int column, const std::string& text) {
  if (Blank(text)) return 0;
  auto number = NumberOf(text);
  if (column == kAltitude) {
    return number && CentimetresFromMetres(*number) ? 0 : kStringCellError;
  }
  if (mode == kProjected) {
    switch (column) {
      case kX:
      case kY: return number ? 0 : kStringCellError;
      case kZone:
        return number && *number == std::trunc(*number) && *number >= 1 && *number <= 60
                   ? 0
                   : kStringZoneError;
      case kHemisphere: return SouthOf(text) ? 0 : kStringCellError;
      default: return 0;
    }
  }
  const std::optional<double> value = GeoValueOf(text, geoType);
  if (column == kX && !(value && std::fabs(*value) <= 180)) return kStringLongitudeError;
  if (column == kY && !(value && std::fabs(*value) <= 90)) return kStringLatitudeError;
  return 0;
}

std::string CutName(const std::string& name, std::size_t chars) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if ((static_cast<unsigned char>(name[i]) & 0xC0) != 0x80 && count++ == chars)
      return name.substr(0, i);
  }
  return name;
}

std::string NoteCounterText(int noteLength) {
  const int left = kMaxNote - noteLength;
  return (left < 0 ? "-" + Padded(-left, 2) : Padded(left, 3)) + "/159";
}

// ---------------------------------------------------------------------------------------------

Table::Table(const std::vector<WaypointRecord>& waypoints, const std::vector<std::string>& notes,
             int geoType, bool projectionDisplay)
    : geoType_(geoType), projection_(projectionDisplay) {
  for (std::size_t i = 0; i < waypoints.size(); ++i) {
    Row row;
    row.origin = waypoints[i];
    row.note = i < notes.size() ? notes[i] : std::string();
    WriteRow(row, waypoints[i]);
    rows_.push_back(std::move(row));
  }
  for (int i = 0; i < kSpareRows; ++i) AppendEmptyRow();
}

int Table::ColumnCount() const { return mode_ == kProjected && !projection_ ? 7 : 5; }

void Table::AppendEmptyRow() { rows_.emplace_back(); }

void Table::BlankRow(std::size_t row) {
  if (row < rows_.size()) rows_[row] = Row{};
}

void Table::InsertFirst(const WaypointRecord& waypoint, const std::string& note) {
  Row row;
  row.origin = waypoint;
  row.note = note;
  WriteRow(row, waypoint);
  rows_.insert(rows_.begin(), std::move(row));
}

void Table::WriteRow(Row& row, const WaypointRecord& w) const {
  row.cells = {};
  row.symbol = w.symbol;
  row.cells[kName] = w.name;
  if (mode_ == kGeographic) {
    row.cells[kX] = FormatGeo(w.x, geoType_, true);
    row.cells[kY] = FormatGeo(w.y, geoType_, false);
  } else {
    row.cells[kX] = Fixed(w.easting, 3);
    row.cells[kY] = Fixed(w.northing, 3);
    if (!projection_) {
      row.cells[kZone] = std::to_string(w.zone);
      row.cells[kHemisphere] = w.south > 0 ? "S" : "N";
    }
  }
  row.cells[kAltitude] = AltitudeText(w.altitudeCm);
  row.written = row.cells;
}

std::vector<Table::ReadRow> Table::ReadBack() const {
  std::vector<ReadRow> out;
  // A hemisphere left empty is the first waypoint's.
  int firstSouth = displaySouth_;
  bool firstSeen = false;
  for (std::size_t index = 0; index < rows_.size(); ++index) {
    const Row& row = rows_[index];
    if (Blank(row.cells[kX])) continue;
    ReadRow r;
    r.index = index;
    if (row.origin) r.record = *row.origin;
    r.fromWaypoint = row.origin.has_value();
    r.note = row.note;
    WaypointRecord& w = r.record;
    auto unchanged = [&](int column) {
      return r.fromWaypoint && row.cells[column] == row.written[column];
    };
    if (!unchanged(kName)) w.name = CutName(row.cells[kName]);
    w.symbol = row.symbol;
    // An altitude the records cannot hold keeps the waypoint's own (0 for a new row).
    if (!unchanged(kAltitude)) {
      if (const auto altitudeCm = CentimetresFromMetres(LeadingNumber(row.cells[kAltitude])))
        w.altitudeCm = *altitudeCm;
    }
    if (mode_ == kGeographic) {
      if (!unchanged(kX)) w.x = ParseGeo(row.cells[kX], geoType_);
      if (!unchanged(kY)) w.y = ParseGeo(row.cells[kY], geoType_);
    } else {
      r.positionKept = unchanged(kX) && unchanged(kY) &&
                       (projection_ || (unchanged(kZone) && unchanged(kHemisphere)));
      if (!r.positionKept) {
        w.easting = LeadingNumber(row.cells[kX]);
        w.northing = LeadingNumber(row.cells[kY]);
        if (!projection_) {
          w.zone = Blank(row.cells[kZone])
                       ? displayZone_
                       : static_cast<std::int32_t>(LeadingNumber(row.cells[kZone]));
          w.south = SouthOf(row.cells[kHemisphere]).value_or(firstSouth);
        }
      }
      if (!firstSeen) firstSouth = w.south > 0 ? 1 : 0;
    }
    firstSeen = true;
    out.push_back(std::move(r));
  }
  return out;
}

bool Table::Locate(ReadRow& r, Projector& projector) {
  if (r.positionKept) return true;
  WaypointRecord& w = r.record;
  double lon = 0, lat = 0;
  if (!projector.ToGeographic(w.easting, w.northing, w.zone, w.south <= 0, lon, lat) ||
      !IsGeographicPosition(lon, lat))
    return false;
  w.x = lon;
  w.y = lat;
  return true;
}

void Table::ToGeographic(std::vector<ReadRow>& rows, Projector& projector) const {
  std::vector<ReadRow> kept;
  for (ReadRow& r : rows) {
    // A new row that does not convert has no position to keep.
    if (!Locate(r, projector) && !r.fromWaypoint) continue;
    kept.push_back(std::move(r));
  }
  rows = std::move(kept);
}

std::optional<Refusal> Table::Unreadable(Projector& projector) const {
  const int columns = ColumnCount();
  for (std::size_t index = 0; index < rows_.size(); ++index) {
    const Row& row = rows_[index];
    if (Blank(row.cells[kX])) continue;
    // Cells left as the table wrote them give back the values they came from.
    for (int column = kName; column < columns; ++column) {
      if (row.origin && row.cells[column] == row.written[column]) continue;
      if (const UINT problem = CellProblem(mode_, geoType_, column, row.cells[column]))
        return Refusal{index, column, problem};
    }
    if (Blank(row.cells[kY]))
      return Refusal{index, kY, mode_ == kGeographic ? kStringLatitudeError : kStringCellError};
  }
  if (mode_ != kProjected) return std::nullopt;
  for (ReadRow& r : ReadBack()) {
    if (!Locate(r, projector)) return Refusal{r.index, kX, kStringCellError};
  }
  return std::nullopt;
}

bool Table::NamesNoPlace(std::size_t index, Projector& projector) const {
  if (mode_ != kProjected || index >= rows_.size()) return false;
  const Row& row = rows_[index];
  if (Blank(row.cells[kX]) || Blank(row.cells[kY])) return false;
  for (ReadRow& r : ReadBack()) {
    if (r.index == index) return !Locate(r, projector);
  }
  return false;
}

bool Table::SwitchMode(int mode, Projector& projector) {
  if (mode == mode_) return false;
  std::vector<ReadRow> read = ReadBack();
  if (mode_ == kProjected) ToGeographic(read, projector);
  if (mode == kProjected) {
    const int zone =
        read.empty() ? projector.DocumentZone() : projector.DisplayZone(read.front().record);
    displayZone_ = zone;
    displaySouth_ = !read.empty() && read.front().record.y < 0 ? 1 : 0;
    for (ReadRow& r : read) {
      WaypointRecord& w = r.record;
      const bool north = w.y >= 0;
      double e = 0, n = 0;
      if (projector.ToProjected(w.x, w.y, zone, north, e, n)) {
        w.easting = e;
        w.northing = n;
      }
      w.zone = zone;
      w.south = north ? 0 : 1;
    }
  }
  mode_ = mode;
  rows_.clear();
  for (ReadRow& r : read) {
    Row row;
    row.origin = r.record;
    row.note = std::move(r.note);
    WriteRow(row, r.record);
    rows_.push_back(std::move(row));
  }
  for (int i = 0; i < kSpareRows; ++i) AppendEmptyRow();
  return true;
}

void Table::Finish(Projector& projector, std::vector<WaypointRecord>& waypoints,
                   std::vector<std::string>& notes) const {
  std::vector<ReadRow> read = ReadBack();
  if (mode_ == kProjected) ToGeographic(read, projector);
  waypoints.clear();
  notes.clear();
  for (ReadRow& r : read) {
    waypoints.push_back(std::move(r.record));
    notes.push_back(std::move(r.note));
  }
}

ZoneChange Table::ChangeZone(std::size_t index, int oldZone, Projector& projector) {
  if (index >= rows_.size() || mode_ != kProjected || projection_) return ZoneChange::kNone;
  Row& row = rows_[index];
  const std::optional<int> south = SouthOf(row.cells[kHemisphere]);
  // A row without both coordinates has nothing to re-express (an empty northing would be
  // read as the equator and written back as one); a zone typed where there was none says
  // which zone the typed coordinates are in, and an emptied one gives the row the display's.
  if (!south || Blank(row.cells[kX]) || Blank(row.cells[kY]) || Blank(row.cells[kZone]) ||
      oldZone < 1 || oldZone > 60)
    return ZoneChange::kNone;
  const int zone = static_cast<int>(LeadingNumber(row.cells[kZone]));
  if (zone == oldZone) return ZoneChange::kNone;
  const bool north = *south == 0;
  double lon = 0, lat = 0, e = 0, n = 0;
  if (!projector.ToGeographic(LeadingNumber(row.cells[kX]), LeadingNumber(row.cells[kY]), oldZone,
                              north, lon, lat) ||
      !IsGeographicPosition(lon, lat) || !projector.ToProjected(lon, lat, zone, north, e, n) ||
      !std::isfinite(e) || !std::isfinite(n))
    return ZoneChange::kFailed;
  row.cells[kX] = Fixed(e, 3);
  row.cells[kY] = Fixed(n, 3);
  row.cells[kAltitude] = Fixed(LeadingNumber(row.cells[kAltitude]), 2);
  row.cells[kZone] = std::to_string(zone);
  return ZoneChange::kReexpressed;
}

}  // namespace waypoint_table
