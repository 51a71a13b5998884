// The waypoint table without windows: the texts of its cells, how they are read back into
// waypoints, the checks of typed cells, and the switch between the projected and the
// geographic display.
//
// Coordinates: longitude and latitude are degrees in the working datum (the document's
// waypoint frame); easting and northing are metres (or the projection's unit) of UTM in the
// row's zone and hemisphere, or of the user projection when the document displays one
// ("PROJ": no zone or hemisphere columns). Altitudes are metres in the cells and centimetres
// in the records. Numbers are written and read in the C locale.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "document/records.h"
#include "platform/win_types.h"

namespace waypoint_table {

enum Column { kSymbol = 0, kName = 1, kX = 2, kY = 3, kAltitude = 4, kZone = 5, kHemisphere = 6 };
enum Mode { kProjected = 0, kGeographic = 1 };
inline constexpr int kColumnCount = 7;
inline constexpr int kSpareRows = 4;         // empty rows below the waypoints for new ones
inline constexpr std::size_t kMaxName = 30;  // characters kept of a typed name

// Geographic text by the option "GeoType": 0 "%.7f" degrees; 1 degrees and decimal minutes
// ("%03d %.4f" longitude, "%02d %.4f" latitude); 2 degrees, minutes and seconds ("%03d %02d
// %.1f", "%02d %02d %.1f"), rounded to the last decimal shown with rounded seconds and minutes
// carried (coords/angle_text.h); minutes and seconds are written without sign, and a value
// between -1 and 0 keeps its sign on the degrees ("-00 30.0000" for -0.5).
std::string FormatGeo(double value, int geoType, bool longitude);
// Reads such a text back. The sign is that of the degrees (a leading minus), which also
// applies to the minutes and seconds: "-3 30.0000" in format 1 is -3.5. A text of one number
// is decimal degrees in every format ("40.4" is 40.4 degrees, not 40).
double ParseGeo(const std::string& text, int geoType);
// The value of a geographic text when it is one: one number (decimal degrees), or in formats
// 1 and 2 whole degrees and minutes (and seconds) as the table writes them, blank-separated,
// the sign on the degrees only. nullopt for anything else ("abc", "40 x", "-3 -30").
std::optional<double> GeoValueOf(const std::string& text, int geoType);
// The leading decimal number of a text, as the C library's atof reads it (0 without one).
double LeadingNumber(const std::string& text);
// The value of a text that is wholly a finite decimal number in the C locale, blanks around
// it allowed ("-3.5", " 12 ", "7."); nullopt for anything else ("abc", "12x", "1,5", "nan").
std::optional<double> NumberOf(const std::string& text);
// The hemisphere of an N / S cell read without regard to case or surrounding blanks: 0 for
// "N", 1 for "S"; nullopt for any other text, an empty one included.
std::optional<int> SouthOf(const std::string& text);

// The check of a typed cell: 0 when it is accepted, else the string of the message, with
// "%d" for the grid row ("...\nRow %d"). An empty (or blank) cell is accepted: an empty
// longitude or easting removes the row; an empty zone or hemisphere takes the display's; an
// empty latitude or northing is left for the row's check when the table is read (a row being
// filled is typed one cell at a time). Any other text must be what the column holds, whatever
// the display:
// - geographic longitude (59186) and latitude (59187): a text of GeoType within 180 or 90
//   degrees, tested as it will be read;
// - projected zone (59185): a whole number from 1 to 60;
// - easting, northing, altitude (a number the records can hold) and N / S: string
//   kStringCellError ("Error in %s\nRow %d"), "%s" for the column's header.
inline constexpr UINT kStringZoneError = 59185, kStringLongitudeError = 59186,
                      kStringLatitudeError = 59187, kStringCellError = 59336;
UINT CellProblem(int mode, int geoType, int column, const std::string& text);

// name cut to its first `chars` characters (UTF-8 aware).
std::string CutName(const std::string& name, std::size_t chars = kMaxName);

// The counter of the waypoint properties page: "%03d/159" of the characters left.
inline constexpr int kMaxNote = 159;
std::string NoteCounterText(int noteLength);

// The conversions the table needs from the document.
class Projector {
 public:
  virtual ~Projector() = default;
  // The document displays a user projection: no zone or hemisphere.
  virtual bool ProjectionDisplay() const = 0;
  // The UTM zone the projected display uses for all rows (the document's zone, refreshed
  // from the first waypoint's longitude when the zone is automatic).
  virtual int DisplayZone(const WaypointRecord& first) = 0;
  // The document's zone as it stands (the projected display of a table without waypoints).
  virtual int DocumentZone() const { return 0; }
  // Working-datum degrees -> projected, and back; false when the point cannot be converted.
  virtual bool ToProjected(double lon, double lat, int zone, bool north, double& easting,
                           double& northing) = 0;
  virtual bool ToGeographic(double easting, double northing, int zone, bool north, double& lon,
                            double& lat) = 0;
};

// A cell that keeps the table from being read, and the string of its message as CellProblem
// gives it.
struct Refusal {
  std::size_t row;  // index into Table::Rows()
  int column;
  UINT message;
};

// What an accepted edit of a row's zone did to its easting and northing.
enum class ZoneChange {
  kNone,         // nothing to re-express (same zone, no N / S, or a coordinate not given)
  kReexpressed,  // converted from the old zone into the new one
  kFailed,       // the position cannot be expressed in the new zone: the edit is refused
};

struct Row {
  std::array<std::string, kColumnCount> cells;
  // The cells as the table wrote them from `origin`: a cell the user left as it was gives
  // back the value it was written from, not the rounded text.
  std::array<std::string, kColumnCount> written;
  int symbol = 0;
  // The waypoint the row was made from: what the table does not show (its time stamp) and
  // its note go back with it.
  std::optional<WaypointRecord> origin;
  std::string note;
};

class Table {
 public:
  // The rows of the waypoints (geographic display) and the spare rows.
  Table(const std::vector<WaypointRecord>& waypoints, const std::vector<std::string>& notes,
        int geoType, bool projectionDisplay);

  int Mode() const { return mode_; }
  bool ProjectionDisplay() const { return projection_; }
  int GeoType() const { return geoType_; }
  // 5 in the geographic display and for "PROJ", else 7.
  int ColumnCount() const;
  std::vector<Row>& Rows() { return rows_; }
  const std::vector<Row>& Rows() const { return rows_; }

  void AppendEmptyRow();
  void BlankRow(std::size_t row);
  // A new waypoint (an import) as the first row, written in the current display from its
  // geographic (x, y) or projected (easting, northing, zone, south) values.
  void InsertFirst(const WaypointRecord& waypoint, const std::string& note = {});

  // The first cell, in row order, that keeps the rows from being read back: in every row with
  // a longitude or easting (the others are skipped), a cell the user changed that CellProblem
  // refuses, an empty latitude or northing (it would read as the equator), and in the
  // projected display an easting and northing that do not convert to a longitude and latitude
  // on the earth (IsGeographicPosition; the easting's cell is named). OK, the switch of display
  // and the export read the rows only when this finds nothing.
  std::optional<Refusal> Unreadable(Projector& projector) const;
  // After an edit of a projected row's coordinates, zone or hemisphere: true when its easting
  // and northing are both given and do not convert (with the row's zone and hemisphere, or
  // the display's for empty ones) to a position on the earth. A row being filled, with one
  // coordinate still empty, is not judged here.
  bool NamesNoPlace(std::size_t row, Projector& projector) const;

  // Reads the rows back in the display shown (rows without column 2 are skipped) and
  // writes them again in the other one. False when the display is already `mode`.
  bool SwitchMode(int mode, Projector& projector);
  // The waypoints and notes the table hands back on OK: longitude and latitude from the
  // projected values when the projected display is shown (each row with its own zone and
  // hemisphere; a row typed without zone takes the display's zone, one without N/S the first
  // waypoint's hemisphere). Cells left as the table wrote them keep the exact values they
  // came from.
  void Finish(Projector& projector, std::vector<WaypointRecord>& waypoints,
              std::vector<std::string>& notes) const;
  // After an accepted edit of a row's zone (projected display, not "PROJ"): easting and
  // northing re-expressed from `oldZone` into the new zone through geographic coordinates.
  // Nothing changes when the hemisphere cell, the easting, the northing or the new zone is
  // empty, the old zone is none or the zone did not change (kNone), nor when the position
  // does not convert (kFailed).
  ZoneChange ChangeZone(std::size_t row, int oldZone, Projector& projector);

 private:
  struct ReadRow {
    std::size_t index = 0;  // in rows_
    WaypointRecord record;
    std::string note;
    bool fromWaypoint = false;
    bool positionKept = false;  // the row's coordinates are those it was written from
  };
  std::vector<ReadRow> ReadBack() const;
  void WriteRow(Row& row, const WaypointRecord& w) const;
  // Longitude and latitude of a projected read-back record; false when it does not convert
  // to a position on the earth.
  static bool Locate(ReadRow& row, Projector& projector);
  // Longitude and latitude of projected read-back records; rows that cannot be converted
  // keep the position they came with, or are dropped when they came with none.
  void ToGeographic(std::vector<ReadRow>& rows, Projector& projector) const;

  std::vector<Row> rows_;
  int mode_ = kGeographic;
  // The zone of the projected display and the hemisphere of its first waypoint (1 south).
  int displayZone_ = 0;
  int displaySouth_ = 0;
  int geoType_;
  bool projection_;
};

}  // namespace waypoint_table
