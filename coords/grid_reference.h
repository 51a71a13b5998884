#pragma once
// Grid-reference texts of a position (8-bit ASCII):
//  - British National Grid: the program's own Transverse Mercator on the Airy 1830 ellipsoid
//    (OSGB36 latitude/longitude in, "TG 5140913177" out); uses the module-wide Transverse
//    Mercator parameters that SetBngParameters sets up.
//  - MGRS: from a UTM zone, hemisphere, easting and northing ("32VLK1234567890"), on the
//    ellipsoid of SetMgrsParameters (WGS84 at start).
//  - GEOREF: 15-degree and 1-degree letters plus minutes, on latitude/longitude.
//  - Maidenhead locator: 12 characters from latitude/longitude in degrees.
// Angles are radians unless stated, lengths metres. Precision 0-5 is the number of digits of
// each of easting and northing (GEOREF: minutes to 10, 1, 0.1, 0.01 or 0.001).
// All functions may be called from any thread at the same time (see ModuleParameters).

#include <string>
#include <string_view>

enum GridReferenceKind : int {
    kGridReferenceNone = 0,
    kGridReferenceMaidenhead = 1,
    kGridReferenceMgrs = 2,
    kGridReferenceBng = 3,
    kGridReferenceGeoref = 4,
};

// Round half to even, symmetric about zero: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2, -2.7 -> -3.
long RoundHalfEven(double x);

// British National Grid error bits.
inline constexpr int kBngLatitudeError = 0x01;  // outside 49.5..61.5 degrees north
inline constexpr int kBngLongitudeError = 0x02; // outside 10 degrees west..3.5 degrees east
inline constexpr int kBngEastingError = 0x04;   // outside -133134..759961 m
inline constexpr int kBngNorthingError = 0x08;  // outside -14829..1257875 m
inline constexpr int kBngAreaError = 0x10;      // outside the grid or in a square without land
inline constexpr int kBngPrecisionError = 0x20; // precision outside 0..5
inline constexpr int kBngEllipsoidError = 0x40; // ellipsoid code other than "AA"

int SetBngParameters(std::string_view ellipsoidCode);
int ConvertGeodeticToBng(double latitude, double longitude, int precision, std::string& text);
int ConvertTmToBng(double easting, double northing, int precision, std::string& text);
int CheckBngArea(char first, char second);
// The two square letters, a blank, then the easting and northing residues (metres inside the
// 100 km square) to the given precision.
void MakeBngString(char first, char second, long eastingResidue, long northingResidue,
                   int precision, std::string& text);

// MGRS error bits.
inline constexpr int kMgrsLatitudeError = 0x01;   // no latitude band
inline constexpr int kMgrsPrecisionError = 0x08;  // precision outside 0..5
inline constexpr int kMgrsAxisAError = 0x10;      // set-up: a <= 0
inline constexpr int kMgrsFlatteningError = 0x20; // set-up: 1/f outside 250..350
inline constexpr int kMgrsEastingError = 0x40;    // easting outside 100000..900000 (also after
                                                  // rounding to the precision: 900000)
inline constexpr int kMgrsNorthingError = 0x80;   // northing outside 0..10000000
inline constexpr int kMgrsZoneError = 0x100;      // zone outside 1..60

// ellipsoidCode: the datum's two-letter ellipsoid code; "CC", "CD", "BR" and "BN" select the
// older lettering of the 100 km rows.
int SetMgrsParameters(double a, double f, std::string_view ellipsoidCode);
int ConvertUtmToMgrs(int zone, int hemisphere, double easting, double northing, int precision,
                     std::string& text);
int UtmToMgrsLetters(int zone, double latitude, double easting, double northing, int precision,
                     std::string& text);
// Latitude band as an index into "ABC...Z"; returns kMgrsLatitudeError outside 80.5 S..84.5 N.
int GetMgrsLatitudeBand(double latitude, int& band);
// Column letters (indices into "ABC...Z") and the row false northing of a zone's set.
void GetMgrsGridValues(int zone, int& lowestColumn, int& highestColumn, double& falseNorthing);
void MakeMgrsString(int zone, const int letters[3], double easting, double northing,
                    int precision, std::string& text);

// GEOREF error bits.
inline constexpr int kGeorefLatitudeError = 0x01;
inline constexpr int kGeorefLongitudeError = 0x02;  // outside -180..360 degrees
inline constexpr int kGeorefPrecisionError = 0x80;

int ConvertGeodeticToGeoref(double latitude, double longitude, int precision, std::string& text);
// Appends the minutes (0 <= minutes <= 60) with the precision's digits.
void MakeGeorefMinutesString(double minutes, int precision, std::string& text);

// Latitude and longitude in degrees; appends the 12-character locator to text (cut to 12).
std::string& MaidenheadLocator(double latitude, double longitude, std::string& text);
