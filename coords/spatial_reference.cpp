#include "coords/spatial_reference.h"

#include <cpl_conv.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <optional>
#include <system_error>

#include "coords/proj_helmert.h"

namespace {

// A parameter that stands for an integer (EPSG code, State Plane zone), truncated toward
// zero; nothing for values no integer can hold.
std::optional<int> TruncatedInteger(double value) {
  if (!std::isfinite(value) || value <= double(INT_MIN) - 1.0 || value >= double(INT_MAX) + 1.0)
    return std::nullopt;
  return static_cast<int>(std::trunc(value));
}

void ApplyProjectionMethod(OGRSpatialReference& srs, ProjectionKind kind,
                           const std::array<double, 8>& p) {
  using K = ProjectionKind;
  switch (kind) {
    case K::AlbersConicEqualArea: srs.SetACEA(p[0], p[1], p[2], p[3], p[4], p[5]); break;
    case K::AzimuthalEquidistant: srs.SetAE(p[0], p[1], p[2], p[3]); break;
    case K::Bonne: srs.SetBonne(p[0], p[1], p[2], p[3]); break;
    case K::CylindricalEqualArea: srs.SetCEA(p[0], p[1], p[2], p[3]); break;
    case K::CassiniSoldner: srs.SetCS(p[0], p[1], p[2], p[3]); break;
    case K::EquidistantConic: srs.SetEC(p[0], p[1], p[2], p[3], p[4], p[5]); break;
    case K::EckertIV: srs.SetEckertIV(p[0], p[1], p[2]); break;
    case K::EckertVI: srs.SetEckertVI(p[0], p[1], p[2]); break;
    case K::Equirectangular: srs.SetEquirectangular(p[0], p[1], p[2], p[3]); break;
    case K::GeostationarySatellite: srs.SetGEOS(p[0], p[1], p[2], p[3]); break;
    case K::GoodeHomolosine: srs.SetGH(p[0], p[1], p[2]); break;
    case K::GallStereographic: srs.SetGS(p[0], p[1], p[2]); break;
    case K::Gnomonic: srs.SetGnomonic(p[0], p[1], p[2], p[3]); break;
    case K::HotineObliqueMercator: srs.SetHOM(p[0], p[1], p[2], p[3], p[4], p[5], p[6]); break;
    case K::HotineObliqueMercatorTwoPoint:
      srs.SetHOM2PNO(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]);
      break;
    case K::Krovak: srs.SetKrovak(p[0], p[1], p[2], p[3], p[4], p[5], p[6]); break;
    case K::LambertAzimuthalEqualArea: srs.SetLAEA(p[0], p[1], p[2], p[3]); break;
    case K::LambertConformalConic2SP: srs.SetLCC(p[0], p[1], p[2], p[3], p[4], p[5]); break;
    case K::LambertConformalConic1SP: srs.SetLCC1SP(p[0], p[1], p[2], p[3], p[4]); break;
    case K::LambertConformalConicBelgium: srs.SetLCCB(p[0], p[1], p[2], p[3], p[4], p[5]); break;
    case K::MillerCylindrical: srs.SetMC(p[0], p[1], p[2], p[3]); break;
    case K::Mercator1SP: srs.SetMercator(p[0], p[1], p[2], p[3], p[4]); break;
    case K::Mercator2SP: srs.SetMercator2SP(p[0], p[1], p[2], p[3], p[4]); break;
    case K::Mollweide: srs.SetMollweide(p[0], p[1], p[2]); break;
    case K::NewZealandMapGrid: srs.SetNZMG(p[0], p[1], p[2], p[3]); break;
    case K::ObliqueStereographic: srs.SetOS(p[0], p[1], p[2], p[3], p[4]); break;
    case K::Orthographic: srs.SetOrthographic(p[0], p[1], p[2], p[3]); break;
    case K::Polyconic: srs.SetPolyconic(p[0], p[1], p[2], p[3]); break;
    case K::PolarStereographic: srs.SetPS(p[0], p[1], p[2], p[3], p[4]); break;
    case K::Robinson: srs.SetRobinson(p[0], p[1], p[2]); break;
    case K::Sinusoidal: srs.SetSinusoidal(p[0], p[1], p[2]); break;
    case K::Stereographic: srs.SetStereographic(p[0], p[1], p[2], p[3], p[4]); break;
    case K::SwissObliqueCylindrical: srs.SetSOC(p[0], p[1], p[2], p[3]); break;
    case K::TransverseMercator: srs.SetTM(p[0], p[1], p[2], p[3], p[4]); break;
    case K::TunisiaMiningGrid: srs.SetTMG(p[0], p[1], p[2], p[3]); break;
    case K::TransverseMercatorSouthOrientated: srs.SetTMSO(p[0], p[1], p[2], p[3], p[4]); break;
    case K::TwoPointEquidistant: srs.SetTPED(p[0], p[1], p[2], p[3], p[4], p[5]); break;
    case K::VanDerGrinten: srs.SetVDG(p[0], p[1], p[2]); break;
    default: break;  // handled by the caller or unknown: the system stays as it is
  }
}

}  // namespace

void UseLongitudeFirst(OGRSpatialReference& srs) {
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
}

OGRSpatialReference NewSpatialReference() {
  OGRSpatialReference srs;
  UseLongitudeFirst(srs);
  return srs;
}

OGRSpatialReference NewWgs84SpatialReference() {
  OGRSpatialReference srs;
  srs.SetWellKnownGeogCS("WGS84");
  UseLongitudeFirst(srs);
  return srs;
}

void SetWorkingUtm(OGRSpatialReference& srs, int zone, WorkingSystemOutcome& outcome) {
  outcome.autoZone = 1;
  srs.SetProjCS("GEO");
  outcome.projectionName = "UTM";
  srs.SetUTM(zone, TRUE);
  outcome.isUtm = true;
}

void BuildSrsFromProjection(OGRSpatialReference& srs, const ProjectionRecord& projection,
                            const DatumRecord& datum, int zone, WorkingSystemOutcome& outcome) {
  const auto& p = projection.p;
  switch (projection.Kind()) {
    case ProjectionKind::EpsgCode:
      if (const auto code = TruncatedInteger(p[0]); code && *code > 0) srs.importFromEPSG(*code);
      break;
    case ProjectionKind::MaidenheadGrid:
    case ProjectionKind::Mgrs:
    case ProjectionKind::BritishNationalGrid:
    case ProjectionKind::Georef:
      if (projection.Kind() == ProjectionKind::Mgrs) {
        outcome.gridSetup = GridReferenceSetup::Mgrs;
        outcome.mgrsA = datum.a;
        outcome.mgrsF = datum.a != 0.0 ? (datum.a - datum.b) / datum.a : 0.0;
        outcome.mgrsCode = datum.CodeText();
      } else if (projection.Kind() == ProjectionKind::BritishNationalGrid) {
        outcome.gridSetup = GridReferenceSetup::BritishNationalGrid;
      }
      SetWorkingUtm(srs, zone, outcome);
      // Grid references 1 Maidenhead, 2 MGRS, 3 British National Grid, 4 GEOREF.
      outcome.stringCoord = projection.kind - static_cast<int>(ProjectionKind::MaidenheadGrid) + 1;
      outcome.coord = 0;
      break;
    case ProjectionKind::UsStatePlane: {
      // A State Plane system carries no grid-reference text: a grid-reference choice made
      // earlier would otherwise survive and turn "Coord" back to 0 when the options are saved.
      outcome.stringCoord = 0;
      const auto stateZone = TruncatedInteger(p[0]);
      if (!stateZone || srs.SetStatePlane(*stateZone, TRUE, nullptr, 0.0) != OGRERR_NONE) {
        outcome.coord = 0;
        outcome.unknownStatePlaneZone = true;
      }
      break;
    }
    default:
      ApplyProjectionMethod(srs, projection.Kind(), p);
      break;
  }
  UseLongitudeFirst(srs);
  outcome.linearUnit = LinearUnitFromMetresPerUnit(srs.GetLinearUnits());
}

WorkingSystemOutcome BuildWorkingSystem(const CoordSettings& settings, OGRSpatialReference& srs) {
  WorkingSystemOutcome outcome;
  outcome.coord = settings.coord;
  outcome.autoZone = settings.autoZone;
  outcome.stringCoord = settings.stringCoord;
  outcome.projectionName = settings.projectionName;
  outcome.linearUnit = LinearUnit::Metre;
  UseLongitudeFirst(srs);

  if (settings.coord == 2 && settings.projection.kind > kLastNamedProjectionKind) {
    BuildSrsFromProjection(srs, settings.projection, settings.datum, settings.zone, outcome);
    return outcome;
  }
  outcome.stringCoord = 0;
  switch (settings.coord) {
    case 0:
      SetWorkingUtm(srs, settings.zone, outcome);
      break;
    case 1:
      srs.SetProjCS("UTM");
      outcome.projectionName = "UTM";
      srs.SetUTM(settings.zone, TRUE);
      outcome.isUtm = true;
      break;
    case 2: {
      const std::string name = settings.projection.Name();
      srs.SetProjCS(name.c_str());
      outcome.projectionName = name;
      BuildSrsFromProjection(srs, settings.projection, settings.datum, settings.zone, outcome);
      break;
    }
    default:
      break;  // no working system: validation fails
  }
  return outcome;
}

std::string UtmBandLetter(double latitudeDegrees) {
  static constexpr char kBands[] = "CDEFGHJKLMNPQRSTUVWXX";
  if (!(latitudeDegrees >= -81.0 && latitudeDegrees <= 85.0)) return "";
  const int index = static_cast<int>(std::trunc(latitudeDegrees / 8.0 + 10.0));
  return std::string(1, kBands[std::clamp(index, 0, 20)]);
}

bool ConfigureGdalData(const std::string& installPath) {
  if (installPath.empty()) return false;
  std::string folder = installPath;
  std::replace(folder.begin(), folder.end(), '\\', '/');
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  const std::filesystem::path data = std::filesystem::path(folder) / "data";
  std::error_code error;
  if (!std::filesystem::is_directory(data, error)) return false;
  const std::string value = data.string();
  CPLSetConfigOption("GDAL_DATA", value.c_str());
  CPLSetConfigOption("GEOTIFF_CSV", value.c_str());
  return true;
}

EpsgProjectionCheck CheckEpsgProjection(const ProjectionRecord& projection) {
  EpsgProjectionCheck check;
  if (projection.Kind() != ProjectionKind::EpsgCode) return check;
  const auto code = TruncatedInteger(projection.p[0]);
  check.code = code.value_or(0);
  check.result = EpsgProjectionCheck::Result::Refused;
  if (!code || *code <= 0) return check;
  OGRSpatialReference srs = NewSpatialReference();
  if (srs.importFromEPSG(*code) != OGRERR_NONE || !srs.IsProjected()) return check;
  check.semiMajor = srs.GetSemiMajor();
  check.semiMinor = srs.GetSemiMinor();
  switch (srs.GetTOWGS84(check.shift.data(), 7)) {
    case OGRERR_NONE: check.result = EpsgProjectionCheck::Result::WithShift; break;
    case OGRERR_FAILURE: check.result = EpsgProjectionCheck::Result::WithoutShift; break;
    default: check.result = EpsgProjectionCheck::Result::Accepted; break;
  }
  if (check.result != EpsgProjectionCheck::Result::WithoutShift) return check;

  // GDAL attaches no shift on import unless told to (OSR_ADD_TOWGS84_ON_IMPORT_FROM_EPSG), and
  // its guess (AddGuessedTOWGS84) gives up where PROJ knows several transformations for the
  // area, as for OSGB36. The shift to copy is then PROJ's own first Helmert choice.
  const char* authority = srs.GetAuthorityName("GEOGCS");
  const char* geographic = srs.GetAuthorityCode("GEOGCS");
  if (authority && geographic) {
    if (const auto helmert = ProjPreferredHelmert(nullptr, authority, geographic)) {
      check.shift = helmert->shift;
      check.result = EpsgProjectionCheck::Result::WithShift;
    }
  }
  return check;
}
