#pragma once
// The working spatial reference: the coordinate system in which positions are shown, measured
// and exported, built on GDAL's OGRSpatialReference (PROJ underneath) from the options.
//
// The working system is UTM of a zone (options "Coord" 0 and 1) or a user projection ("Coord"
// 2, a ProjectionRecord), always on the chosen datum. Its geographic part is replaced twice
// (see TransformSet): once by WGS84 for the map's own transformations, once by the datum's
// ellipsoid with its shift to WGS84 for display and measuring.
//
// Every OGRSpatialReference made here has longitude-first axis order
// (OAMS_TRADITIONAL_GIS_ORDER): x is longitude or easting, y latitude or northing, degrees and
// the projection's linear unit.
//
// The functions below have no effect outside their arguments: what the document must change
// (its "Coord", "Auto", "StringCoord", the name shown, the linear unit, the grid-reference
// module's set-up, the "Unknown zone number" message) comes back in a WorkingSystemOutcome, so
// that another thread can build the same system without touching the document.

#include <array>
#include <string>

#include <ogr_spatialref.h>

#include "coords/datum_record.h"
#include "coords/linear_unit.h"
#include "coords/projection_record.h"

inline constexpr const char* kUnknownZoneMessage = "Unknown zone number";
inline constexpr const char* kProjectionNotConfiguredMessage = "The projection cannot be configured";

// The options the working system is built from (the document's members of the same meaning).
struct CoordSettings {
  int coord = 0;        // "Coord": 0 geographic display (UTM for measuring), 1 UTM, 2 projection
  int zone = 31;        // "Huso": UTM zone 1-60, northern hemisphere
  int autoZone = 1;     // "Auto": the zone follows the position
  int stringCoord = 0;  // "StringCoord": grid-reference kind, 0 none .. 4 GEOREF
  ProjectionRecord projection;  // the user projection in force (used when coord is 2)
  DatumRecord datum;            // the chosen datum, shift as used
  // The name shown so far; a system that does not name itself (State Plane) keeps it.
  std::string projectionName;
};

// The grid-reference module's set-up that a grid-reference kind asks for. The document runs
// it (SetMgrsParameters with a, f and code; SetBngParameters with "AA") on the user-interface
// thread; building the system never touches the module's shared parameters.
enum class GridReferenceSetup { None, Mgrs, BritishNationalGrid };

struct WorkingSystemOutcome {
  int coord = 0;
  int autoZone = 1;
  int stringCoord = 0;
  std::string projectionName;  // "UTM" or the projection's name
  LinearUnit linearUnit = LinearUnit::Metre;
  GridReferenceSetup gridSetup = GridReferenceSetup::None;
  double mgrsA = 0.0;  // for GridReferenceSetup::Mgrs: the datum's a, flattening and code
  double mgrsF = 0.0;
  std::string mgrsCode;
  bool unknownStatePlaneZone = false;  // show kUnknownZoneMessage ("Tolvanix PDA", stop icon)
  bool isUtm = false;                  // the working system is UTM of a zone (re-targetable)
};

// An empty system, longitude first.
OGRSpatialReference NewSpatialReference();
// WGS84 geographic ("WGS84" well-known system), longitude first: the document's m_srs.
OGRSpatialReference NewWgs84SpatialReference();
// Forces longitude-first axis order; GDAL resets it on some imports.
void UseLongitudeFirst(OGRSpatialReference& srs);

// CTolvanixDoc::SetWorkingUtm: PROJCS "GEO", UTM zone, northern hemisphere; Auto = 1 and
// the name "UTM" in the outcome.
void SetWorkingUtm(OGRSpatialReference& srs, int zone, WorkingSystemOutcome& outcome);

// CTolvanixDoc::BuildSrsFromProjection: applies the projection's method and parameters (or
// an EPSG code, a State Plane zone, a grid reference over UTM) and sets the linear unit.
// `zone` is the UTM zone for the grid-reference kinds.
void BuildSrsFromProjection(OGRSpatialReference& srs, const ProjectionRecord& projection,
                            const DatumRecord& datum, int zone, WorkingSystemOutcome& outcome);

// Steps 1-3 of CTolvanixDoc::SetupTransformations: the working system from "Coord" and the
// projection, before validation and before its geographic part is set.
WorkingSystemOutcome BuildWorkingSystem(const CoordSettings& settings, OGRSpatialReference& srs);

// CTolvanixDoc::UtmBandLetter: the UTM latitude band of a latitude in degrees, from -81 to 85
// inclusive ("C" .. "X", the last band 80-85 degrees); empty outside.
std::string UtmBandLetter(double latitudeDegrees);

// Points GDAL at "<installPath>/data" (GDAL_DATA and GEOTIFF_CSV) only when that folder exists,
// so that GDAL and PROJ keep finding their own data otherwise. Backslashes in the stored path
// are taken as folder separators. True when the options were set.
bool ConfigureGdalData(const std::string& installPath);

// CDlgProjection::ValidateProjection for an EPSG code (kind 38): the code must import and be a
// projected system. Its shift to WGS84 is handed back for the messages that send the user to the
// datum page: the one GDAL attaches on import, else the Helmert shift PROJ would use for the
// system's area (ProjPreferredHelmert); without either the user only hears of the datum page.
struct EpsgProjectionCheck {
  enum class Result {
    NotEpsg,       // not kind 38: nothing to check
    Refused,       // "Unable to import projection with EPSG Code %d" (string 59252)
    WithShift,     // strings 59250 and 59251 (semi-axes and the seven values)
    WithoutShift,  // string 59250 only
    Accepted,      // GDAL gave no answer about the shift: no message
  };
  Result result = Result::NotEpsg;
  int code = 0;
  double semiMajor = 0.0;
  double semiMinor = 0.0;
  std::array<double, 7> shift{};
  bool accepted() const { return result != Result::Refused; }
};
EpsgProjectionCheck CheckEpsgProjection(const ProjectionRecord& projection);
