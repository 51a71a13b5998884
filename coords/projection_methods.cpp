#include "coords/projection_methods.h"

namespace {

using Labels = std::array<std::string_view, 8>;

constexpr Labels kStdParallelsCenter = {"standard_parallel_1", "standard_parallel_2",
                                        "latitude_of_center", "longitude_of_center",
                                        "false_easting", "false_northing"};
constexpr Labels kCenter = {"latitude_of_center", "longitude_of_center", "false_easting",
                            "false_northing"};
constexpr Labels kStdParallelMeridian = {"standard_parallel_1", "central_meridian",
                                         "false_easting", "false_northing"};
constexpr Labels kOrigin = {"latitude_of_origin", "central_meridian", "false_easting",
                            "false_northing"};
constexpr Labels kMeridian = {"central_meridian", "false_easting", "false_northing"};
constexpr Labels kGeostationary = {"central_meridian", "satellite_height", "false_easting",
                                   "false_northing"};
constexpr Labels kHotine = {"latitude_of_center", "longitude_of_center", "azimuth",
                            "rectified_grid_angle", "scale_factor", "false_easting",
                            "false_northing"};
constexpr Labels kHotineTwoPoint = {"latitude_of_center", "latitude_of_point_1",
                                    "longitude_of_point_1", "latitude_of_point_2",
                                    "longitude_of_point_2", "scale_factor", "false_easting",
                                    "false_northing"};
constexpr Labels kKrovak = {"latitude_of_center", "longitude_of_center", "azimuth",
                            "pseudo_standard_parallel_1", "scale_factor", "false_easting",
                            "false_northing"};
constexpr Labels kStdParallelsOrigin = {"standard_parallel_1", "standard_parallel_2",
                                        "latitude_of_origin", "central_meridian",
                                        "false_easting", "false_northing"};
constexpr Labels kOriginScale = {"latitude_of_origin", "central_meridian", "scale_factor",
                                 "false_easting", "false_northing"};
constexpr Labels kMercator2SP = {"standard_parallel_1", "latitude_of_origin", "central_meridian",
                                 "false_easting", "false_northing"};
constexpr Labels kCenterLongitude = {"longitude_of_center", "false_easting", "false_northing"};
constexpr Labels kSwiss = {"latitude_of_center", "central_meridian", "false_easting",
                           "false_northing"};
constexpr Labels kTwoPoints = {"Latitude_Of_1st_Point", "Longitude_Of_1st_Point",
                               "Latitude_Of_2nd_Point", "Longitude_Of_2nd_Point",
                               "false_easting", "false_northing"};
constexpr Labels kEpsg = {"EPSG Code"};
constexpr Labels kStatePlane = {"State Plane zone"};
constexpr Labels kNone = {};

constexpr ProjectionMethod Method(std::string_view text, int count, const Labels& labels) {
  return ProjectionMethod{text, 0, count, labels, 0, false};
}

constexpr ProjectionMethod GridReference(std::string_view text) {
  return ProjectionMethod{text, 0, 0, kNone, 0, true};
}

constexpr std::array<ProjectionMethod, kProjectionKindCount> kMethods = {{
    Method("Albers_Conic_Equal_Area", 6, kStdParallelsCenter),
    Method("Azimuthal_Equidistant", 4, kCenter),
    Method("Bonne", 4, kStdParallelMeridian),
    Method("Cylindrical_Equal_Area", 4, kStdParallelMeridian),
    Method("Cassini_Soldner", 4, kOrigin),
    Method("Equidistant_Conic", 6, kStdParallelsCenter),
    Method("Eckert_IV", 3, kMeridian),
    Method("Eckert_VI", 3, kMeridian),
    Method("Equirectangular", 4, kOrigin),
    Method("Geostationary_Satellite", 4, kGeostationary),
    Method("Goode_Homolosine", 3, kMeridian),
    Method("Gall_Stereographic", 3, kMeridian),
    Method("Gnomonic", 4, kOrigin),
    Method("Hotine_Oblique_Mercator", 7, kHotine),
    Method("Hotine_Oblique_Mercator_Two_Point_Natural_Origin", 8, kHotineTwoPoint),
    Method("Krovak", 7, kKrovak),
    Method("Lambert_Azimuthal_Equal_Area", 4, kCenter),
    Method("Lambert_Conformal_Conic_2SP", 6, kStdParallelsOrigin),
    Method("Lambert_Conformal_Conic_1SP", 5, kOriginScale),
    Method("Lambert_Conformal_Conic_2SP_Belgium)", 6, kStdParallelsOrigin),
    Method("Miller_Cylindrical", 4, kCenter),
    Method("Mercator_1SP", 5, kOriginScale),
    Method("Mercator_2SP", 5, kMercator2SP),
    Method("Mollweide", 3, kMeridian),
    Method("New_Zealand_Map_Grid", 4, kOrigin),
    Method("Oblique_Stereographic", 5, kOriginScale),
    Method("Orthographic", 4, kOrigin),
    Method("Polyconic", 4, kOrigin),
    Method("Polar_Stereographic", 5, kOriginScale),
    Method("Robinson", 3, kCenterLongitude),
    Method("Sinusoidal", 3, kCenterLongitude),
    Method("Stereographic", 5, kOriginScale),
    Method("Swiss_Oblique_Cylindrical", 4, kSwiss),
    Method("Transverse_Mercator", 5, kOriginScale),
    Method("Tunisia_Mining_Grid", 4, kOrigin),
    Method("Transverse_Mercator_South_Orientated", 5, kOriginScale),
    Method("Two_Point_Equidistant", 6, kTwoPoints),
    Method("VanDerGrinten", 3, kMeridian),
    ProjectionMethod{"EPSG Code", kEpsgCodeStringId, 1, kEpsg, kEpsgCodeStringId, false},
    GridReference("Maidenhead Grid"),
    GridReference("Military Gird Reference System MGRS"),
    GridReference("British National Grid (BNG)"),
    GridReference("GEOREF"),
    ProjectionMethod{"US State Plane", 0, 1, kStatePlane, kStatePlaneZoneStringId, false},
}};

}  // namespace

const ProjectionMethod& GetProjectionMethod(int kind) {
  static constexpr ProjectionMethod kUnknown{};
  if (kind < 0 || kind >= kProjectionKindCount) return kUnknown;
  return kMethods[static_cast<std::size_t>(kind)];
}

int VisibleParameterRows(int kind) {
  int rows = 0;
  for (std::string_view label : GetProjectionMethod(kind).labels)
    if (!label.empty()) ++rows;
  return rows;
}
