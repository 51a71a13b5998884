#include "coords/grid_reference.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "coords/utm.h"

namespace {

constexpr double kDegree = kPi / 180.0;

// Appends value (>= 0) as exactly `digits` decimal digits, zero-filled (printf "%*.*ld" with
// width and precision = digits; nothing at all for 0 digits).
void AppendDigits(std::string& text, long value, int digits) {
    if (digits <= 0)
        return;
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    const int length = static_cast<int>(result.ptr - buffer);
    if (length < digits)
        text.append(static_cast<std::size_t>(digits - length), '0');
    text.append(buffer, result.ptr);
}

long PowerOfTen(int exponent) {
    long value = 1;
    for (int i = 0; i < exponent; ++i)
        value *= 10;
    return value;
}

// ---- British National Grid ----

// The 500 km and 100 km squares, indexed column + 5 x row from the south-west.
constexpr char kBngLetters[] = "VWXYZQRSTULMNOPFGHJKABCDE";
constexpr double kBngMinEasting = -133134.0;
constexpr double kBngMaxEasting = 759961.0;
constexpr double kBngMinNorthing = -14829.0;
constexpr double kBngMaxNorthing = 1257875.0;

struct BngParameters {
    char ellipsoidCode[3] = "AA";
};
ModuleParameters<BngParameters> g_bng;

// ---- MGRS ----

struct MgrsParameters {
    double a = 6378137.0;
    double f = 0.0033528106647474805;
    char ellipsoidCode[3] = "WE";
    UtmConverter utm; // on (a, f), automatic zone
};
ModuleParameters<MgrsParameters> g_mgrs;
thread_local ModuleParameters<MgrsParameters>::ThreadCopy t_mgrs;

constexpr int kLetterH = 7;
constexpr int kLetterJ = 9;
constexpr int kLetterN = 13;
constexpr int kLetterV = 21;
constexpr int kLetterX = 23;
// Latitude bands of 8 degrees from 80 degrees south, as indices into "ABC...Z".
constexpr int kLatitudeBands[] = {2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 15, 16, 17, 18, 19, 20, 21, 22, 23};

bool UsesOlderRowLettering(const char* code) {
    for (const char* older : {"CC", "CD", "BR", "BN"}) {
        if (std::strcmp(code, older) == 0)
            return true;
    }
    return false;
}

void CopyCode(std::string_view code, char (&target)[3]) {
    const std::size_t length = std::min<std::size_t>(code.size(), 2);
    std::memcpy(target, code.data(), length);
    target[length] = '\0';
}

double RoundToPrecision(double value, int precision) {
    const double divisor = static_cast<double>(PowerOfTen(5 - precision));
    return static_cast<double>(RoundHalfEven(value / divisor)) * divisor;
}

} // namespace

long RoundHalfEven(double x) {
    if (!(std::fabs(x) < 9.0e18)) // NaN or beyond the range of long: no meaningful integer
        return 0;
    if (x < 0.0)
        return -RoundHalfEven(-x);
    const long integer = static_cast<long>(x);
    const double remainder = x - static_cast<double>(integer);
    if (remainder > 0.5 || (remainder == 0.5 && integer % 2 == 1))
        return integer + 1;
    return integer;
}

// ---- British National Grid ----

int SetBngParameters(std::string_view ellipsoidCode) {
    if (ellipsoidCode != "AA")
        return kBngEllipsoidError;
    g_bng.Update([&](BngParameters& bng) {
        CopyCode(ellipsoidCode, bng.ellipsoidCode);
        return 0;
    });
    const double a = 6377563.396; // Airy 1830
    const double b = a * (1.0 - 1.0 / 299.3249646);
    SetTmParameters(a, b, 49.0 * kDegree, -2.0 * kDegree, 400000.0, -100000.0, 0.9996012717);
    return 0;
}

int ConvertGeodeticToBng(double latitude, double longitude, int precision, std::string& text) {
    text.clear();
    int bits = 0;
    if (!(latitude >= 0.8639379797371932 && latitude <= 1.0733774899765127))
        bits |= kBngLatitudeError;
    if (!(longitude >= -0.17453292519943295 && longitude <= 0.061086523819801536))
        bits |= kBngLongitudeError;
    if (precision < 0 || precision > 5)
        bits |= kBngPrecisionError;
    if (bits != 0)
        return bits;

    double easting = 0.0;
    double northing = 0.0;
    bits = TmForward(latitude, longitude, easting, northing);
    if (easting > -2.0 && easting < 0.0)
        easting = 0.0;
    if (northing > -2.0 && northing < 0.0)
        northing = 0.0;
    if (easting < kBngMinEasting || easting > kBngMaxEasting)
        bits |= kBngAreaError;
    if (northing < kBngMinNorthing || northing > kBngMaxNorthing)
        return bits | kBngAreaError;
    if (bits != 0)
        return bits;
    return ConvertTmToBng(easting, northing, precision, text);
}

int ConvertTmToBng(double easting, double northing, int precision, std::string& text) {
    text.clear();
    int bits = 0;
    if (!(easting >= kBngMinEasting && easting <= kBngMaxEasting))
        bits |= kBngEastingError;
    if (!(northing >= kBngMinNorthing && northing <= kBngMaxNorthing))
        bits |= kBngNorthingError;
    if (precision < 0 || precision > 5)
        bits |= kBngPrecisionError;
    if (bits != 0)
        return bits;

    const long e = RoundHalfEven(easting);
    const long n = RoundHalfEven(northing);
    // 500 km square, counted from a false origin 1000 km west and 500 km south of the grid's.
    const long column500 = (e + 1000000) / 500000;
    const long row500 = (n + 500000) / 500000;
    const char first = kBngLetters[column500 + 5 * row500];
    const long inSquareE = e + 1000000 - 500000 * column500;
    const long inSquareN = n + 500000 - 500000 * row500;
    const long column100 = inSquareE / 100000;
    const long row100 = inSquareN / 100000;
    const char second = kBngLetters[column100 + 5 * row100];
    if (CheckBngArea(first, second) != 0)
        return kBngAreaError;
    MakeBngString(first, second, inSquareE - 100000 * column100, inSquareN - 100000 * row100,
                  precision, text);
    return 0;
}

int CheckBngArea(char first, char second) {
    // The 100 km squares that hold land, by their 500 km square.
    const char* valid = nullptr;
    switch (first) {
    case 'H': valid = "LMNOPQRSTUVWXYZ"; break;
    case 'J': valid = "LMQRVW"; break;
    case 'N': valid = "ABCDEFGHJKLMNOPQRSTUWXYZ"; break;
    case 'O': valid = "ABFGHLMNQRSVWX"; break;
    case 'S': valid = "BCDEGHJKMNOPQRSTUVWXYZ"; break;
    case 'T': valid = "ABCFGHLMNQRSVW"; break;
    default: return kBngAreaError;
    }
    return second != '\0' && std::strchr(valid, second) != nullptr ? 0 : kBngAreaError;
}

void MakeBngString(char first, char second, long eastingResidue, long northingResidue,
                   int precision, std::string& text) {
    text.clear();
    text += first;
    text += second;
    text += ' ';
    precision = std::clamp(precision, 0, 5);
    const double divisor = static_cast<double>(PowerOfTen(5 - precision));
    const long limit = PowerOfTen(precision);
    for (const long residue : {eastingResidue, northingResidue}) {
        long value = RoundHalfEven(static_cast<double>(residue) / divisor);
        if (value == limit)
            value = limit - 1;
        AppendDigits(text, value, precision);
    }
}

// ---- MGRS ----

int SetMgrsParameters(double a, double f, std::string_view ellipsoidCode) {
    return g_mgrs.Update([&](MgrsParameters& mgrs) {
        int bits = 0;
        const double inverseFlattening = 1.0 / f;
        if (!(inverseFlattening >= 250.0 && inverseFlattening <= 350.0))
            bits |= kMgrsFlatteningError;
        if (!(a > 0.0))
            bits |= kMgrsAxisAError;
        if (bits != 0)
            return bits;
        mgrs.a = a;
        mgrs.f = f;
        CopyCode(ellipsoidCode, mgrs.ellipsoidCode);
        mgrs.utm.SetParameters(a, f, 0);
        return 0;
    });
}

int ConvertUtmToMgrs(int zone, int hemisphere, double easting, double northing, int precision,
                     std::string& text) {
    text.clear();
    int bits = 0;
    if (zone < 1 || zone > 60)
        bits |= kMgrsZoneError;
    if (!(easting >= 100000.0 && easting <= 900000.0))
        bits |= kMgrsEastingError;
    if (!(northing >= 0.0 && northing <= 10000000.0))
        bits |= kMgrsNorthingError;
    if (precision < 0 || precision > 5)
        bits |= kMgrsPrecisionError;
    if (bits != 0)
        return bits;

    const MgrsParameters& mgrs = g_mgrs.Current(t_mgrs);
    double latitude = 0.0;
    double longitude = 0.0;
    mgrs.utm.UtmToGeodetic(zone, hemisphere, easting, northing, latitude, longitude);

    // The 32V exception: west Norway from 56 to 64 degrees north is lettered in zone 32.
    if (zone == 31 && latitude >= 56.0 * kDegree && latitude < 64.0 * kDegree &&
        (longitude >= 3.0 * kDegree || RoundToPrecision(easting, precision) >= 500000.0)) {
        UtmConverter zone32 = mgrs.utm;
        zone32.SetParameters(mgrs.a, mgrs.f, 32);
        zone32.GeodeticToUtm(latitude, longitude, zone, hemisphere, easting, northing);
    }
    return UtmToMgrsLetters(zone, latitude, easting, northing, precision, text);
}

int UtmToMgrsLetters(int zone, double latitude, double easting, double northing, int precision,
                     std::string& text) {
    text.clear();
    if (precision < 0 || precision > 5)
        return kMgrsPrecisionError;
    easting = RoundToPrecision(easting, precision);
    northing = RoundToPrecision(northing, precision);
    // The last 100 km column (800000-900000) is the eighth letter of the set; an easting rounded
    // up to 900000 would take a ninth letter that belongs to the next zone.
    if (!(easting >= 100000.0 && easting < 900000.0))
        return kMgrsEastingError;
    if (latitude <= 0.0 && northing == 10000000.0) {
        latitude = 0.0;
        northing = 0.0;
    }

    int lowestColumn = 0;
    int highestColumn = 0;
    double falseNorthing = 0.0;
    GetMgrsGridValues(zone, lowestColumn, highestColumn, falseNorthing);
    int letters[3] = {0, 0, 0};
    if (const int bits = GetMgrsLatitudeBand(latitude, letters[0]); bits != 0)
        return bits;

    double grid = northing;
    while (grid >= 2000000.0)
        grid -= 2000000.0;
    grid -= falseNorthing;
    if (grid < 0.0)
        grid += 2000000.0;
    letters[2] = static_cast<int>(grid / 100000.0);
    if (letters[2] > kLetterH)
        ++letters[2];
    if (letters[2] > kLetterN)
        ++letters[2];

    if (letters[0] == kLetterV && zone == 31 && easting == 500000.0)
        easting = 499999.0;
    letters[1] = lowestColumn + static_cast<int>(easting / 100000.0) - 1;
    if (lowestColumn == kLetterJ && letters[1] > kLetterN)
        ++letters[1];

    MakeMgrsString(zone, letters, easting, northing, precision, text);
    return 0;
}

int GetMgrsLatitudeBand(double latitude, int& band) {
    if (latitude >= 72.0 * kDegree && latitude < 84.5 * kDegree) {
        band = kLetterX;
        return 0;
    }
    if (!(latitude > -80.5 * kDegree && latitude < 72.0 * kDegree))
        return kMgrsLatitudeError;
    const int row = static_cast<int>((latitude / kDegree + 80.0) / 8.0 + 1.0e-12);
    band = kLatitudeBands[std::clamp(row, 0, 19)];
    return 0;
}

void GetMgrsGridValues(int zone, int& lowestColumn, int& highestColumn, double& falseNorthing) {
    int set = zone % 6;
    if (set <= 0)
        set += 6;
    switch (set) {
    case 1:
    case 4: lowestColumn = 0; highestColumn = 7; break;   // A-H
    case 2:
    case 5: lowestColumn = 9; highestColumn = 17; break;  // J-R
    default: lowestColumn = 18; highestColumn = 25; break; // S-Z
    }
    const bool even = set % 2 == 0;
    const MgrsParameters& mgrs = g_mgrs.Current(t_mgrs);
    if (UsesOlderRowLettering(mgrs.ellipsoidCode))
        falseNorthing = even ? 500000.0 : 1000000.0;
    else
        falseNorthing = even ? 1500000.0 : 0.0;
}

void MakeMgrsString(int zone, const int letters[3], double easting, double northing,
                    int precision, std::string& text) {
    text.clear();
    if (zone != 0)
        AppendDigits(text, zone, 2);
    else
        text += "  ";
    for (int i = 0; i < 3; ++i)
        text += static_cast<char>('A' + letters[i]);
    precision = std::clamp(precision, 0, 5);
    const double divisor = static_cast<double>(PowerOfTen(5 - precision));
    for (double value : {easting, northing}) {
        value = std::fmod(value, 100000.0);
        if (value >= 99999.5)
            value = 99999.0;
        AppendDigits(text, static_cast<long>(value / divisor), precision);
    }
}

// ---- GEOREF ----

int ConvertGeodeticToGeoref(double latitude, double longitude, int precision, std::string& text) {
    text.clear();
    const double lat = latitude * 57.29577951308232;
    double lon = longitude * 57.29577951308232;
    int bits = 0;
    if (!(lat >= -90.0 && lat <= 90.0))
        bits |= kGeorefLatitudeError;
    if (!(lon >= -180.0 && lon <= 360.0))
        bits |= kGeorefLongitudeError;
    if (precision < 0 || precision > 5)
        bits |= kGeorefPrecisionError;
    if (bits != 0)
        return bits;
    if (lon > 180.0)
        lon -= 360.0;

    // 15-degree quadrangle letters A, B; 1-degree letters C, D; minutes within the degree.
    int letterA = static_cast<int>((lon + 180.0) / 15.0 + 5.0e-7);
    const double lonInQuadrangle = lon - (15.0 * letterA - 180.0);
    int letterC = static_cast<int>(lonInQuadrangle + 5.0e-7);
    double lonMinutes = (lonInQuadrangle - letterC) * 60.0;
    int letterB = static_cast<int>((lat + 90.0) / 15.0 + 5.0e-7);
    const double latInQuadrangle = lat - (15.0 * letterB - 90.0);
    int letterD = static_cast<int>(latInQuadrangle + 5.0e-7);
    double latMinutes = (latInQuadrangle - letterD) * 60.0;

    for (int* letter : {&letterA, &letterB, &letterC, &letterD}) {
        if (*letter >= 8) // skip I
            ++*letter;
        if (*letter >= 14) // skip O
            ++*letter;
    }
    if (letterA == 26) { // longitude 180 belongs to the last quadrangle
        letterA = 25;
        letterC = 16;
        lonMinutes = 59.999;
    }
    if (letterB == 13) { // latitude 90 likewise
        letterB = 12;
        letterD = 16;
        latMinutes = 59.999;
    }
    for (const int letter : {letterA, letterB, letterC, letterD})
        text += static_cast<char>('A' + letter);
    MakeGeorefMinutesString(lonMinutes, precision, text);
    MakeGeorefMinutesString(latMinutes, precision, text);
    return 0;
}

void MakeGeorefMinutesString(double minutes, int precision, std::string& text) {
    precision = std::clamp(precision, 0, 5);
    if (precision == 0)
        return;
    if (minutes == 60.0)
        minutes = 59.999;
    long value = RoundHalfEven(minutes * 1000.0 / static_cast<double>(PowerOfTen(5 - precision)));
    // Minutes that round up to a whole 60 stay in their degree (59 at whole minutes, 5 at tens).
    const long largest = 6 * PowerOfTen(precision - 1) - 1;
    value = std::clamp(value, 0L, largest);
    AppendDigits(text, value, precision);
    if (precision == 1)
        text += '0';
}

// ---- Maidenhead locator ----

std::string& MaidenheadLocator(double latitude, double longitude, std::string& text) {
    // The locator cannot fail; a position that is not a number is taken as 0, 0.
    if (!std::isfinite(latitude))
        latitude = 0.0;
    if (!std::isfinite(longitude))
        longitude = 0.0;
    double x = (latitude * kDegree + kPi / 2.0) * (1.0 / kPi) + 1.0e-15;
    double y = (longitude * kDegree + kPi) * (1.0 / (2.0 * kPi)) + 1.0e-15;
    x = (x - std::floor(x)) * 18.0;
    y = (y - std::floor(y)) * 18.0;
    char locator[18];
    int length = 0;
    auto emit = [&](char base) {
        locator[length++] = static_cast<char>(base + static_cast<int>(std::floor(y)));
        locator[length++] = static_cast<char>(base + static_cast<int>(std::floor(x)));
    };
    emit('A'); // field, 20 x 10 degrees
    for (int i = 0; i < 4; ++i) {
        x = (x - std::floor(x)) * 10.0;
        y = (y - std::floor(y)) * 10.0;
        emit('0');
        x = (x - std::floor(x)) * 24.0;
        y = (y - std::floor(y)) * 24.0;
        emit('A');
    }
    text.append(locator, static_cast<std::size_t>(length));
    if (text.size() > 12)
        text.resize(12);
    return text;
}
