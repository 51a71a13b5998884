// The waypoint table's rules without windows: coordinate texts, cell checks, reading the
// rows back, and the switch between the geographic and the projected display.
#include <gtest/gtest.h>

#include <cmath>

#include "dialogs/core/waypoint_import.h"
#include "dialogs/core/waypoint_table.h"
#include "tests/waypoints/waypoint_test_data.h"

namespace {

using namespace waypoint_table;
using tvxtest::WriteShapefile;

WaypointRecord Waypoint(const char* name, double lon, double lat, int altitudeCm, int stamp) {
  WaypointRecord w = tvxtest::Waypoint(name, lon, lat, altitudeCm, stamp);
  w.symbol = 3;
  return w;
}

TEST(WaypointTexts, GeographicFormatsWriteAndReadBack) {
  const struct {
    double value;
    int geoType;
    bool longitude;
    const char* text;
  } cases[] = {
      {-3.5, 0, true, "-3.5000000"},
      {-3.5, 1, true, "-03 30.0000"},   // "%03d": the sign takes a place
      {-3.5, 1, false, "-3 30.0000"},
      {40.25, 1, false, "40 15.0000"},
      {2.175, 2, true, "002 10 30.0"},
      {-0.5, 1, true, "-00 30.0000"},    // the sign survives a zero degree
      {-0.5, 2, false, "-0 30 0.0"},
      {1.9999999999, 1, true, "002 0.0000"},  // 59.99999 minutes round into a degree
      {-120.0, 2, true, "-120 00 0.0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatGeo(c.value, c.geoType, c.longitude), c.text) << c.value << " " << c.geoType;
  }
  // Texts as a user types them.
  EXPECT_DOUBLE_EQ(ParseGeo("-3 30.0000", 1), -3.5);
  EXPECT_DOUBLE_EQ(ParseGeo("-003 30.0000", 1), -3.5);
  EXPECT_DOUBLE_EQ(ParseGeo("002 10 30.0", 2), 2.175);
  EXPECT_DOUBLE_EQ(ParseGeo("-00 30 00.0", 2), -0.5);
  EXPECT_DOUBLE_EQ(ParseGeo(" 12.25x", 0), 12.25);
  EXPECT_DOUBLE_EQ(ParseGeo("12", 1), 12.0);
  EXPECT_DOUBLE_EQ(ParseGeo("", 2), 0.0);

  // Round trips within the shown precision, over the whole range of both axes.
  for (int geoType = 0; geoType <= 2; ++geoType) {
    const double tolerance = geoType == 0 ? 5e-8 : geoType == 1 ? 1e-4 / 60 : 0.05 / 3600;
    for (double v = -179.987654; v < 180; v += 7.3197) {
      const bool lon = std::fabs(v) > 90;
      EXPECT_NEAR(ParseGeo(FormatGeo(v, geoType, lon), geoType), v, tolerance + 1e-12)
          << v << " " << geoType << " " << FormatGeo(v, geoType, lon);
    }
  }
}

TEST(WaypointTexts, CellChecksNamesAndTheNoteCounter) {
  // A cell holds what its column holds or is refused with the column's message; no text is
  // read as 0 (or as the number it begins with).
  constexpr UINT kCell = kStringCellError;
  const struct {
    int mode, geoType, column;
    const char* text;
    UINT problem;
  } cells[] = {
      {kProjected, 0, kZone, "0", 59185},    {kProjected, 0, kZone, "61", 59185},
      {kProjected, 0, kZone, "", 0},         {kProjected, 0, kZone, "60", 0},
      {kProjected, 0, kZone, "abc", 59185},  {kProjected, 0, kZone, "30abc", 59185},
      {kProjected, 0, kZone, "30.5", 59185}, {kProjected, 0, kZone, " 31 ", 0},
      {kProjected, 0, kX, "999999", 0},      {kProjected, 0, kX, "abc", kCell},
      {kProjected, 0, kY, "4472000x", kCell}, {kProjected, 0, kY, "nan", kCell},
      {kProjected, 0, kY, "1e6", kCell},     {kProjected, 0, kY, "-12.5", 0},
      {kProjected, 0, kHemisphere, "N", 0},  {kProjected, 0, kHemisphere, "s", 0},
      {kProjected, 0, kHemisphere, " n ", 0}, {kProjected, 0, kHemisphere, "", 0},
      {kProjected, 0, kHemisphere, "x", kCell}, {kProjected, 0, kHemisphere, "no", kCell},
      {kProjected, 0, kHemisphere, "N S", kCell},
      {kProjected, 0, kAltitude, "abc", kCell}, {kProjected, 0, kAltitude, "651.3", 0},
      {kGeographic, 0, kAltitude, "1e12", kCell}, {kGeographic, 2, kAltitude, "99999999", kCell},
      {kGeographic, 0, kX, "-180", 0},       {kGeographic, 0, kX, "180.5", 59186},
      {kGeographic, 0, kY, "-90.01", 59187}, {kGeographic, 2, kY, "089 59 59.9", 0},
      {kGeographic, 0, kY, "abc", 59187},    {kGeographic, 0, kX, "abc", 59186},
      {kGeographic, 0, kY, "40,5", 59187},   {kGeographic, 0, kY, "40 30", 59187},
      {kGeographic, 1, kY, "40 30", 0},      {kGeographic, 1, kY, "40 30 0", 59187},
      {kGeographic, 2, kY, "40 23 60.0", 0}, {kGeographic, 2, kY, "40 x 1", 59187},
      {kGeographic, 2, kY, "-3 -30 0", 59187}, {kGeographic, 2, kY, "40.5 30 0", 59187},
      // Tested as read: 90 degrees and 30 minutes lie beyond the pole.
      {kGeographic, 1, kY, "90 30.0000", 59187}, {kGeographic, 2, kX, "180 00 0.1", 59186},
      {kGeographic, 1, kY, "40.4", 0},       {kGeographic, 1, kName, "abc", 0},
  };
  for (const auto& c : cells) {
    EXPECT_EQ(CellProblem(c.mode, c.geoType, c.column, c.text), c.problem)
        << c.mode << " " << c.geoType << " " << c.column << " '" << c.text << "'";
  }
  EXPECT_EQ(SouthOf("N"), 0);
  EXPECT_EQ(SouthOf(" n\t"), 0);
  EXPECT_EQ(SouthOf("S"), 1);
  EXPECT_EQ(SouthOf("s "), 1);
  EXPECT_EQ(SouthOf("x"), std::nullopt);
  EXPECT_EQ(SouthOf(""), std::nullopt);
  // A lone number is decimal degrees in every format, as the check reads it.
  EXPECT_DOUBLE_EQ(ParseGeo("40.4", 2), 40.4);
  EXPECT_DOUBLE_EQ(ParseGeo("-3.5", 1), -3.5);
  EXPECT_DOUBLE_EQ(ParseGeo("40 23 60.0", 2), 40.4);
  EXPECT_EQ(NumberOf(".5"), 0.5);
  EXPECT_EQ(NumberOf("7."), 7.0);
  EXPECT_EQ(NumberOf("+-3"), std::nullopt);

  EXPECT_EQ(CutName(std::string(31, 'a')), std::string(30, 'a'));
  EXPECT_EQ(CutName("Año", 2), "Añ");
  EXPECT_EQ(CutName("short"), "short");

  EXPECT_EQ(NoteCounterText(0), "159/159");
  EXPECT_EQ(NoteCounterText(150), "009/159");
  EXPECT_EQ(NoteCounterText(159), "000/159");
}

// A flat stand-in for UTM: 100 km per degree around each zone's central meridian, and the
// false northing of the southern hemisphere.
class FlatProjector : public Projector {
 public:
  bool ProjectionDisplay() const override { return false; }
  int DisplayZone(const WaypointRecord& first) override {
    return static_cast<int>(std::floor((first.x + 180) / 6)) + 1;
  }
  bool ToProjected(double lon, double lat, int zone, bool north, double& e, double& n) override {
    e = 500000 + (lon - (zone * 6 - 183)) * 100000;
    n = lat * 100000 + (north ? 0 : 10000000);
    return true;
  }
  bool ToGeographic(double e, double n, int zone, bool north, double& lon, double& lat) override {
    if (fail) return false;
    lon = (e - 500000) / 100000 + (zone * 6 - 183);
    lat = (n - (north ? 0 : 10000000)) / 100000;
    return true;
  }
  bool fail = false;
};

TEST(WaypointTableRows, BlankedRowsGoTypedRowsComeAndNotesAndStampsStayWithTheirRows) {
  Table table({Waypoint("a", 1, 2, 150, 11), Waypoint("b", 3, 4, 0, 22), Waypoint("c", 5, 6, 0, 33)},
              {"note a", "note b", "note c"}, 0, false);
  ASSERT_EQ(table.Rows().size(), 7u);
  EXPECT_EQ(table.ColumnCount(), 5);
  EXPECT_EQ(table.Rows()[0].cells[kAltitude], "1.50");
  table.BlankRow(1);
  Row& spare = table.Rows()[4];
  spare.cells[kName] = std::string(35, 'n');
  spare.cells[kX] = "7.5";
  spare.cells[kY] = "-8.25";
  spare.cells[kAltitude] = "12.346";

  FlatProjector projector;
  std::vector<WaypointRecord> waypoints;
  std::vector<std::string> notes;
  table.Finish(projector, waypoints, notes);
  ASSERT_EQ(waypoints.size(), 3u);
  EXPECT_EQ(waypoints[0].name, "a");
  EXPECT_EQ(waypoints[1].name, "c");
  EXPECT_EQ(waypoints[1].timeStamp, 33);
  EXPECT_EQ(waypoints[1].symbol, 3);
  EXPECT_EQ(waypoints[2].name, std::string(30, 'n'));
  EXPECT_EQ(waypoints[2].x, 7.5);
  EXPECT_EQ(waypoints[2].y, -8.25);
  EXPECT_EQ(waypoints[2].altitudeCm, 1235);  // to the nearest centimetre
  EXPECT_EQ(waypoints[2].timeStamp, 0);
  EXPECT_EQ(notes, (std::vector<std::string>{"note a", "note c", ""}));
}

TEST(WaypointTableRows, ProjectedDisplayUsesTheFirstZoneAndEachRowsHemisphereAndComesBack) {
  Table table({Waypoint("a", 3.25, 40.5, 0, 1), Waypoint("b", 8.0, -2.0, 0, 2)}, {"x", "y"}, 1,
              false);
  FlatProjector projector;
  ASSERT_TRUE(table.SwitchMode(kProjected, projector));
  EXPECT_FALSE(table.SwitchMode(kProjected, projector));
  EXPECT_EQ(table.ColumnCount(), 7);
  const auto& rows = table.Rows();
  EXPECT_EQ(rows[0].cells[kX], "525000.000");
  EXPECT_EQ(rows[0].cells[kY], "4050000.000");
  EXPECT_EQ(rows[0].cells[kZone], "31");
  EXPECT_EQ(rows[0].cells[kHemisphere], "N");
  EXPECT_EQ(rows[1].cells[kZone], "31");  // the first waypoint's zone for every row
  EXPECT_EQ(rows[1].cells[kHemisphere], "S");
  EXPECT_EQ(rows[1].cells[kY], "9800000.000");

  // A zone typed into row 1 re-expresses its easting in the new zone.
  table.Rows()[1].cells[kZone] = "32";
  ASSERT_EQ(table.ChangeZone(1, 31, projector), ZoneChange::kReexpressed);
  EXPECT_EQ(table.Rows()[1].cells[kX], "400000.000");
  EXPECT_EQ(table.ChangeZone(1, 32, projector), ZoneChange::kNone);  // no change

  std::vector<WaypointRecord> waypoints;
  std::vector<std::string> notes;
  table.Finish(projector, waypoints, notes);
  ASSERT_EQ(waypoints.size(), 2u);
  EXPECT_NEAR(waypoints[0].x, 3.25, 1e-9);
  EXPECT_NEAR(waypoints[0].y, 40.5, 1e-9);
  EXPECT_NEAR(waypoints[1].x, 8.0, 1e-9);
  EXPECT_NEAR(waypoints[1].y, -2.0, 1e-9);
  EXPECT_EQ(waypoints[1].zone, 32);
  EXPECT_EQ(waypoints[1].south, 1);
  EXPECT_EQ(notes, (std::vector<std::string>{"x", "y"}));

  // Back to geographic: the rows show the converted positions in the chosen format.
  ASSERT_TRUE(table.SwitchMode(kGeographic, projector));
  EXPECT_EQ(table.Rows()[0].cells[kX], "003 15.0000");
  EXPECT_EQ(table.Rows()[1].cells[kY], "-2 0.0000");

  // A new projected row that cannot be converted is left out; a converted one keeps its place.
  ASSERT_TRUE(table.SwitchMode(kProjected, projector));
  table.Rows()[2].cells[kX] = "500000";
  table.Rows()[2].cells[kY] = "100";
  table.Rows()[2].cells[kZone] = "31";
  table.Rows()[2].cells[kHemisphere] = "N";
  projector.fail = true;
  table.Finish(projector, waypoints, notes);
  ASSERT_EQ(waypoints.size(), 2u);
  EXPECT_NEAR(waypoints[0].x, 3.25, 1e-9);
}

// The N / S cell is read without regard to case or blanks, in the read-back and in the zone
// change: a lower-case "n" keeps the waypoint north.
TEST(WaypointTableRows, TheHemisphereIsReadWhateverItsCaseAndBlanks) {
  for (const char* north : {"N", "n", " n ", "N\t"}) {
    SCOPED_TRACE(north);
    Table table({Waypoint("a", 3.25, 40.4, 0, 1), Waypoint("b", 3.5, 40.5, 0, 2)}, {"", ""}, 0,
                false);
    FlatProjector projector;
    ASSERT_TRUE(table.SwitchMode(kProjected, projector));
    table.Rows()[0].cells[kHemisphere] = north;
    table.Rows()[1].cells[kHemisphere] = north;
    table.Rows()[1].cells[kZone] = "32";
    ASSERT_EQ(table.ChangeZone(1, 31, projector), ZoneChange::kReexpressed);
    EXPECT_EQ(table.Rows()[1].cells[kY], "4050000.000");
    std::vector<WaypointRecord> waypoints;
    std::vector<std::string> notes;
    table.Finish(projector, waypoints, notes);
    ASSERT_EQ(waypoints.size(), 2u);
    EXPECT_EQ(waypoints[0].south, 0);
    EXPECT_NEAR(waypoints[0].y, 40.4, 1e-9);
    EXPECT_NEAR(waypoints[1].x, 3.5, 1e-9);
    EXPECT_NEAR(waypoints[1].y, 40.5, 1e-9);
  }
  Table table({Waypoint("a", 3.25, 40.4, 0, 1)}, {""}, 0, false);
  FlatProjector projector;
  ASSERT_TRUE(table.SwitchMode(kProjected, projector));
  table.Rows()[0].cells[kHemisphere] = " s";
  std::vector<WaypointRecord> waypoints;
  std::vector<std::string> notes;
  table.Finish(projector, waypoints, notes);
  ASSERT_EQ(waypoints.size(), 1u);
  EXPECT_EQ(waypoints[0].south, 1);
  EXPECT_NEAR(waypoints[0].y, 40.4 - 100, 1e-9);  // the same northing, south of the equator
}

TEST(WaypointTableRows, UneditedOkKeepsEveryPositionAndAltitudeBitForBit) {
  // Values the cells cannot show exactly (more decimals than "%.7f", "%.3f" and "%.2f").
  const std::vector<WaypointRecord> start{Waypoint("a", 3.123456789012, 40.98765432109, 12345, 1),
                                          Waypoint("b", -8.000000049, -2.33333333333, -7, 2)};
  for (int geoType : {0, 1, 2}) {
    Table table(start, {"", ""}, geoType, false);
    FlatProjector projector;
    std::vector<WaypointRecord> waypoints;
    std::vector<std::string> notes;
    table.Finish(projector, waypoints, notes);
    ASSERT_EQ(waypoints.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
      EXPECT_EQ(waypoints[i].x, start[i].x) << geoType;
      EXPECT_EQ(waypoints[i].y, start[i].y) << geoType;
      EXPECT_EQ(waypoints[i].altitudeCm, start[i].altitudeCm) << geoType;
    }
    // Through the projected display and back, and OK in the projected display.
    ASSERT_TRUE(table.SwitchMode(kProjected, projector));
    table.Finish(projector, waypoints, notes);
    for (std::size_t i = 0; i < 2; ++i) {
      EXPECT_EQ(waypoints[i].x, start[i].x) << geoType;
      EXPECT_EQ(waypoints[i].y, start[i].y) << geoType;
      EXPECT_EQ(waypoints[i].altitudeCm, start[i].altitudeCm) << geoType;
    }
    ASSERT_TRUE(table.SwitchMode(kGeographic, projector));
    // Only the edited cell changes its waypoint.
    table.Rows()[1].cells[kAltitude] = "2.50";
    table.Finish(projector, waypoints, notes);
    EXPECT_EQ(waypoints[0].x, start[0].x);
    EXPECT_EQ(waypoints[1].y, start[1].y);
    EXPECT_EQ(waypoints[1].altitudeCm, 250);
  }
}

TEST(WaypointTableRows, ProjectedRowTypedWithoutZoneOrHemisphereTakesTheDisplaysOwn) {
  // The first waypoint lies south: a typed row without N/S is southern too.
  Table table({Waypoint("a", 3.25, -10.5, 0, 1)}, {""}, 0, false);
  FlatProjector projector;
  ASSERT_TRUE(table.SwitchMode(kProjected, projector));
  Row& typed = table.Rows()[1];
  typed.cells[kName] = "new";
  typed.cells[kX] = "550000";
  typed.cells[kY] = "9000000";
  std::vector<WaypointRecord> waypoints;
  std::vector<std::string> notes;
  table.Finish(projector, waypoints, notes);
  ASSERT_EQ(waypoints.size(), 2u);
  EXPECT_EQ(waypoints[1].zone, 31);
  EXPECT_EQ(waypoints[1].south, 1);
  EXPECT_NEAR(waypoints[1].x, 3.5, 1e-9);
  EXPECT_NEAR(waypoints[1].y, -10.0, 1e-9);

  // A zone typed without N/S, in a table whose first waypoint is northern.
  Table north({Waypoint("a", 9.5, 10.0, 0, 1)}, {""}, 0, false);
  ASSERT_TRUE(north.SwitchMode(kProjected, projector));
  Row& zoned = north.Rows()[1];
  zoned.cells[kX] = "500000";
  zoned.cells[kY] = "100000";
  zoned.cells[kZone] = "31";
  north.Finish(projector, waypoints, notes);
  ASSERT_EQ(waypoints.size(), 2u);
  EXPECT_EQ(waypoints[1].south, 0);
  EXPECT_NEAR(waypoints[1].x, 3.0, 1e-9);
  EXPECT_NEAR(waypoints[1].y, 1.0, 1e-9);
}

// What OK, the switch of display and the export find before they read the rows: the first
// cell that keeps a row with a longitude or easting from being read. An empty latitude or
// northing is not the equator, and a projected position must convert to one on the earth
// whatever the projector hands back; a row without longitude or easting is skipped.
TEST(WaypointTableRows, RowsThatCannotBeReadAreRefusedAtTheirFirstBadCell) {
  constexpr UINT kCell = kStringCellError;
  struct Typed {
    std::size_t row;
    int column;
    const char* text;
  };
  const struct {
    const char* what;
    int mode;
    std::vector<Typed> typed;
    std::optional<Refusal> refusal;
  } cases[] = {
      {"as written", kGeographic, {}, std::nullopt},
      {"latitude cleared", kGeographic, {{0, kY, ""}}, Refusal{0, kY, 59187}},
      {"latitude blanks", kGeographic, {{0, kY, "  "}}, Refusal{0, kY, 59187}},
      {"longitude cleared", kGeographic, {{0, kX, ""}}, std::nullopt},
      {"longitude blanks", kGeographic, {{0, kX, " "}}, std::nullopt},
      {"new row, longitude only", kGeographic, {{1, kName, "n"}, {1, kX, "3.5"}},
       Refusal{1, kY, 59187}},
      {"new row, latitude only", kGeographic, {{1, kName, "n"}, {1, kY, "40"}}, std::nullopt},
      {"altitude", kGeographic, {{0, kAltitude, "abc"}}, Refusal{0, kAltitude, kCell}},
      {"later rows after the first refusal", kGeographic, {{0, kY, ""}, {1, kX, "3.5"}},
       Refusal{0, kY, 59187}},
      {"projected as written", kProjected, {}, std::nullopt},
      {"northing cleared", kProjected, {{0, kY, ""}}, Refusal{0, kY, kCell}},
      {"easting beyond the earth", kProjected, {{0, kX, "9000000000"}}, Refusal{0, kX, kCell}},
      {"northing beyond the pole", kProjected, {{0, kY, "9999999"}}, Refusal{0, kX, kCell}},
      {"new row, easting only", kProjected, {{1, kX, "500000"}}, Refusal{1, kY, kCell}},
      {"zone", kProjected, {{0, kZone, "61"}}, Refusal{0, kZone, 59185}},
      {"new row converts", kProjected, {{1, kX, "500000"}, {1, kY, "100"}}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Table table({Waypoint("a", 3.25, 40.5, 0, 1)}, {""}, 0, false);
    FlatProjector projector;
    if (c.mode == kProjected) {
      ASSERT_TRUE(table.SwitchMode(kProjected, projector));
    }
    for (const Typed& t : c.typed) table.Rows()[t.row].cells[t.column] = t.text;
    const std::optional<Refusal> refusal = table.Unreadable(projector);
    ASSERT_EQ(refusal.has_value(), c.refusal.has_value());
    if (refusal) {
      EXPECT_EQ(refusal->row, c.refusal->row);
      EXPECT_EQ(refusal->column, c.refusal->column);
      EXPECT_EQ(refusal->message, c.refusal->message);
    } else {
      // Readable: a row without longitude or easting is skipped, not read as 0.
      std::vector<WaypointRecord> waypoints;
      std::vector<std::string> notes;
      table.Finish(projector, waypoints, notes);
      for (const WaypointRecord& w : waypoints) EXPECT_NE(w.x, 0.0);
    }
  }
}

// The check after an edit of a projected row's cells judges a position once both coordinates
// are given; a zone typed into a row re-expresses only a whole position, and refuses one
// that does not convert.
TEST(WaypointTableRows, ARowsPositionIsJudgedOnceGivenAndTheZoneChangeNeedsAWholeOne) {
  Table table({Waypoint("a", 3.25, 40.5, 0, 1)}, {""}, 0, false);
  FlatProjector projector;
  EXPECT_FALSE(table.NamesNoPlace(0, projector));  // geographic display
  ASSERT_TRUE(table.SwitchMode(kProjected, projector));
  std::vector<Row>& rows = table.Rows();
  EXPECT_FALSE(table.NamesNoPlace(0, projector));
  rows[1].cells[kX] = "9000000000";
  EXPECT_FALSE(table.NamesNoPlace(1, projector)) << "a row being filled";
  rows[1].cells[kY] = "100";
  EXPECT_TRUE(table.NamesNoPlace(1, projector));
  rows[1].cells[kX] = "500000";
  EXPECT_FALSE(table.NamesNoPlace(1, projector));
  rows[1].cells[kHemisphere] = "S";  // 10,000 km south of the equator: beyond the pole
  EXPECT_TRUE(table.NamesNoPlace(1, projector));

  // Northing cleared, then a new zone: nothing to re-express (it stays empty, not 0).
  rows[0].cells[kY] = "";
  rows[0].cells[kZone] = "32";
  EXPECT_EQ(table.ChangeZone(0, 31, projector), ZoneChange::kNone);
  EXPECT_EQ(rows[0].cells[kY], "");
  EXPECT_EQ(rows[0].cells[kX], "525000.000");
  // A zone where there was none says which zone the numbers are in.
  rows[0].cells[kY] = "4050000";
  EXPECT_EQ(table.ChangeZone(0, 0, projector), ZoneChange::kNone);
  EXPECT_EQ(rows[0].cells[kX], "525000.000");
  // An emptied zone is the display's: nothing to convert into.
  rows[0].cells[kZone] = "";
  EXPECT_EQ(table.ChangeZone(0, 31, projector), ZoneChange::kNone);
  EXPECT_EQ(rows[0].cells[kX], "525000.000");
  rows[0].cells[kZone] = "32";
  projector.fail = true;
  EXPECT_EQ(table.ChangeZone(0, 31, projector), ZoneChange::kFailed);
  EXPECT_EQ(rows[0].cells[kX], "525000.000");
  EXPECT_EQ(rows[0].cells[kZone], "32");
  projector.fail = false;
  EXPECT_EQ(table.ChangeZone(0, 31, projector), ZoneChange::kReexpressed);
  EXPECT_EQ(rows[0].cells[kX], "-75000.000");
}

TEST(WaypointImport, PointsWithTheirNamesAndAltitudesAndOtherShapesRefused) {
  for (const char* field : {"NAME", "PROBENUMME"}) {
    const std::string path = WriteShapefile("tvx_points_", SHPT_POINTZ, field);
    const PointImportResult read = ReadShapefilePoints(path);
    ASSERT_EQ(read.status, PointImportStatus::Ok);
    ASSERT_EQ(read.points.size(), 2u);
    EXPECT_EQ(read.points[0].x, -3.5);
    EXPECT_EQ(read.points[0].y, 40.25);
    EXPECT_EQ(AltitudeCentimetres(read.points[0].z), 61235);  // to the nearest centimetre
    EXPECT_EQ(AltitudeCentimetres(read.points[1].z), -700);
    EXPECT_EQ(read.points[0].name, "Fuente") << field;
    EXPECT_EQ(read.points[1].name, "Pozo \u00f1") << field;
  }
  const std::string other = WriteShapefile("tvx_points_other_", SHPT_POINT, "LABEL");
  const PointImportResult unnamed = ReadShapefilePoints(other);
  ASSERT_EQ(unnamed.points.size(), 2u);
  EXPECT_EQ(unnamed.points[1].name, "");
  EXPECT_EQ(unnamed.points[1].z, 0.0);

  EXPECT_EQ(ReadShapefilePoints(WriteShapefile("tvx_line_", SHPT_ARC, "NAME")).status,
            PointImportStatus::NotPoints);
  EXPECT_EQ(ReadShapefilePoints("/nonexistent/none.shp").status, PointImportStatus::OpenFailed);
  EXPECT_EQ(AltitudeCentimetres(1e300), 0);
}

}  // namespace
