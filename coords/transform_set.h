#pragma once
// The seven coordinate transformations between WGS84 and the working system, built from the
// options (CTolvanixDoc::SetupTransformations):
//
//   WgsToMap2   WGS84 -> working system on the WGS84 ellipsoid (no datum shift)
//   MapToWgs    its inverse
//   Display     WGS84 -> working system on the chosen datum (shown coordinates)
//   Utm         WGS84 -> working system on the chosen datum (measuring: area worker, exports)
//   UtmToWgs    working system on the chosen datum -> WGS84 (the inverse of Display)
//   WgsToDatum  WGS84 -> the chosen datum's geographic system (datum longitude/latitude)
//   DatumToWgs  its inverse
//
// Geographic coordinates are degrees, longitude first; projected ones are easting, northing
// in the working system's unit. The datum shift is applied by PROJ from the datum's
// seven-parameter Helmert shift (position vector, SetTOWGS84); its accuracy is that of the
// shift, typically metres for the shipped datums.
//
// A set is ready only when all seven exist; a transformation that could not be built is never
// used (Transform returns false). A set belongs to one thread: GDAL transformation objects are
// not shared. The reader thread and the area worker each build their own from the same
// settings with Build, on the thread that uses it (a build costs a few milliseconds).

#include <cstddef>
#include <memory>
#include <span>

#include "coords/spatial_reference.h"

class OGRCoordinateTransformation;

enum class TransformId { WgsToMap2, MapToWgs, Display, Utm, UtmToWgs, WgsToDatum, DatumToWgs };
inline constexpr int kTransformCount = 7;

// What a UTM re-targeting moves to another zone (CTolvanixDoc::SetUtmZone and
// ConvertCoordinates): Measuring = Utm; Second = WgsToMap2; Display = Display with UtmToWgs.
enum class UtmTarget { Measuring, Second, Display };

enum class TransformSetFailure {
  None,
  NotBuilt,              // a default-constructed set
  InvalidWorkingSystem,  // Validate refused the working system, or PROJ cannot compute it
  WgsEllipsoidTransform, // WgsToMap2 or MapToWgs could not be created
  UnusableDatum,         // the datum's values cannot describe an ellipsoid
  DatumTransform,        // one of the datum transformations could not be created
};

struct UtmZone {
  int zone = 0;
  bool north = true;
};

class TransformSet {
 public:
  TransformSet();
  ~TransformSet();
  TransformSet(TransformSet&&) noexcept;
  TransformSet& operator=(TransformSet&&) noexcept;
  TransformSet(const TransformSet&) = delete;
  TransformSet& operator=(const TransformSet&) = delete;

  // Builds the working system and the seven transformations. The outcome says what the
  // document takes over from the build (see WorkingSystemOutcome).
  static TransformSet Build(const CoordSettings& settings);

  bool Ready() const;
  TransformSetFailure Failure() const;
  const WorkingSystemOutcome& Outcome() const;

  // The transformation, or null when it was not built.
  OGRCoordinateTransformation* Get(TransformId id) const;

  // One point in place; false (point unchanged) when the transformation is missing or fails.
  bool Transform(TransformId id, double& x, double& y);
  // Points in place (x and y of equal length); `success`, when given, receives a flag per
  // point. Returns the number of points transformed.
  std::size_t Transform(TransformId id, std::span<double> x, std::span<double> y,
                        std::span<int> success = {});

  // Moves a UTM transformation to another zone and hemisphere. Nothing happens when the
  // working system is not UTM (a user projection) or already in that zone. False for a set
  // that is not ready and when the new transformation could not be created: the old one then
  // stays in force.
  bool RetargetUtm(UtmTarget target, int zone, bool north);
  // The zone a UTM transformation is in; zone 0 when the working system is not UTM.
  UtmZone CurrentZone(UtmTarget target) const;

  // WGS84 <-> the working system on the chosen datum laid out in UTM zone `zone` (1-60,
  // northern form), whatever zone the transformations above are in: positions compared with
  // each other are projected into one zone with these, so that no distance or direction is
  // taken between eastings of two zones. A user projection has one plane, its own (the zone
  // is not looked at). The pairs of the last few zones asked for are kept built. False (point
  // unchanged) for a set that is not ready, a zone out of range or a point that fails.
  bool ToZonePlane(int zone, double& x, double& y);
  bool FromZonePlane(int zone, double& x, double& y);

  // The datum's geographic system with its shift (the target of WgsToDatum), or null.
  const OGRSpatialReference* DatumGeographicSystem() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
