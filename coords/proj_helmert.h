#pragma once
// PROJ's own choice of a transformation from a geographic system to WGS 84, as the three- or
// seven-parameter Helmert shift that SetTOWGS84 takes (position vector; metres, arc-seconds,
// parts per million). PROJ orders the transformations it knows for the system's area of use
// (accuracy, extent, availability); a shift is taken from the first Helmert transformation in
// that order. The datum catalogue generator and the EPSG check of the projection dialog both
// ask this.

#include <proj.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

struct ProjHelmert {
  std::string authority;  // "EPSG"
  std::string code;       // the transformation's code, e.g. "1314"
  std::string name;       // "OSGB36 to WGS 84 (6)"
  std::array<double, 7> shift{};
  double accuracy = -1.0;  // metres; negative when PROJ does not know it
};

struct ProjTransformations {
  // PROJ's first choice, whatever its method (a grid, a concatenation), or empty when PROJ
  // knows no transformation but a ballpark one.
  std::string firstName;
  bool firstIsHelmert = false;
  // Every Helmert transformation, in PROJ's order of preference.
  std::vector<ProjHelmert> helmerts;
};

// PROJ's transformations from the geographic system authority:code to WGS 84 (EPSG:4326) that
// touch the system's area of use, ballpark ones left out. Nothing when the system is unknown.
// `ctx` belongs to the calling thread; null gives the call a quiet context of its own.
std::optional<ProjTransformations> ProjTransformationsToWgs84(PJ_CONTEXT* ctx,
                                                              const std::string& authority,
                                                              const std::string& code);

// The first Helmert shift PROJ would use, or nothing.
std::optional<ProjHelmert> ProjPreferredHelmert(PJ_CONTEXT* ctx, const std::string& authority,
                                                const std::string& code);
