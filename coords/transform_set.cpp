#include "coords/transform_set.h"

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <ogr_spatialref.h>

namespace {

struct TransformDeleter {
  void operator()(OGRCoordinateTransformation* t) const {
    OGRCoordinateTransformation::DestroyCT(t);
  }
};
using TransformPtr = std::unique_ptr<OGRCoordinateTransformation, TransformDeleter>;

TransformPtr Create(const OGRSpatialReference& from, const OGRSpatialReference& to) {
  return TransformPtr(OGRCreateCoordinateTransformation(&from, &to));
}

// GDAL accepts a few methods (Tunisia Mining Grid) that PROJ cannot compute: their
// transformations can be created but fail on every point. PROJ computes what it can write
// as a PROJ string.
bool ProjCanCompute(const OGRSpatialReference& srs) {
  char* text = nullptr;
  CPLPushErrorHandler(CPLQuietErrorHandler);
  const OGRErr error = srs.exportToProj4(&text);
  CPLPopErrorHandler();
  CPLFree(text);
  return error == OGRERR_NONE;
}

// One point in place; false (point unchanged) when t is missing or fails.
bool TransformOne(OGRCoordinateTransformation* t, double& x, double& y) {
  double tx = x, ty = y;
  int ok = FALSE;
  if (!t || !t->Transform(1, &tx, &ty, nullptr, &ok) || !ok) return false;
  x = tx;
  y = ty;
  return true;
}

constexpr std::size_t Slot(TransformId id) { return static_cast<std::size_t>(id); }
constexpr std::size_t Slot(UtmTarget target) { return static_cast<std::size_t>(target); }

}  // namespace

struct TransformSet::Impl {
  OGRSpatialReference wgs84 = NewWgs84SpatialReference();
  std::array<TransformPtr, kTransformCount> transforms;
  // Target systems of the re-targetable transformations, by UtmTarget.
  std::array<OGRSpatialReference, 3> targets;
  std::array<UtmZone, 3> zones{};
  OGRSpatialReference datumGeographic;
  bool hasDatumGeographic = false;
  WorkingSystemOutcome outcome;
  TransformSetFailure failure = TransformSetFailure::NotBuilt;
  // Zone planes (ToZonePlane): the pairs last asked for, the oldest replaced first.
  struct ZonePlane {
    int zone = 0;  // 0: empty slot
    TransformPtr to, from;
  };
  std::array<ZonePlane, 4> planes;
  std::size_t nextPlane = 0;

  // The pair of one zone, built when first asked for; null when it cannot be.
  ZonePlane* Plane(int zone);

  bool Add(TransformId id, const OGRSpatialReference& from, const OGRSpatialReference& to) {
    transforms[Slot(id)] = Create(from, to);
    return transforms[Slot(id)] != nullptr;
  }

  void BuildAll(const CoordSettings& settings);
};

void TransformSet::Impl::BuildAll(const CoordSettings& settings) {
  OGRSpatialReference working = NewSpatialReference();
  outcome = BuildWorkingSystem(settings, working);
  if (working.Validate() != OGRERR_NONE || !ProjCanCompute(working)) {
    failure = TransformSetFailure::InvalidWorkingSystem;
    return;
  }

  // The working system on the WGS84 ellipsoid: the map's own transformations.
  working.SetGeogCS("PRJ WGS84", "PRJ WGS84", "WGS84", 6378137.0, 298.257223563, nullptr, 0.0,
                    nullptr, 0.0);
  UseLongitudeFirst(working);
  targets[Slot(UtmTarget::Second)] = working;
  if (!Add(TransformId::WgsToMap2, wgs84, working) || !Add(TransformId::MapToWgs, working, wgs84)) {
    failure = TransformSetFailure::WgsEllipsoidTransform;
    return;
  }

  // The working system on the chosen datum, with its shift to WGS84.
  const DatumRecord& datum = settings.datum;
  if (!IsUsableDatum(datum)) {
    failure = TransformSetFailure::UnusableDatum;
    return;
  }
  working.SetGeogCS("PRJ DATUM", "PRJ DATUM", "DATUM", datum.a, InverseFlattening(datum), nullptr,
                    0.0, nullptr, 0.0);
  working.SetTOWGS84(datum.dX, datum.dY, datum.dZ, datum.rX, datum.rY, datum.rZ, datum.s);
  UseLongitudeFirst(working);
  targets[Slot(UtmTarget::Measuring)] = working;
  targets[Slot(UtmTarget::Display)] = working;
  if (!Add(TransformId::Display, wgs84, working) || !Add(TransformId::Utm, wgs84, working) ||
      !Add(TransformId::UtmToWgs, working, wgs84)) {
    failure = TransformSetFailure::DatumTransform;
    return;
  }
  OGRSpatialReference* geographic = working.CloneGeogCS();
  if (!geographic) {
    failure = TransformSetFailure::DatumTransform;
    return;
  }
  datumGeographic = *geographic;
  OGRSpatialReference::DestroySpatialReference(geographic);
  UseLongitudeFirst(datumGeographic);
  hasDatumGeographic = true;
  if (!Add(TransformId::WgsToDatum, wgs84, datumGeographic) ||
      !Add(TransformId::DatumToWgs, datumGeographic, wgs84)) {
    failure = TransformSetFailure::DatumTransform;
    return;
  }

  if (outcome.isUtm) zones.fill(UtmZone{settings.zone, true});
  failure = TransformSetFailure::None;
}

TransformSet::Impl::ZonePlane* TransformSet::Impl::Plane(int zone) {
  if (failure != TransformSetFailure::None) return nullptr;
  // A user projection is one plane whatever the zone.
  const int key = outcome.isUtm ? zone : -1;
  if (outcome.isUtm && (zone < 1 || zone > 60)) return nullptr;
  for (ZonePlane& p : planes)
    if (p.zone == key && p.to && p.from) return &p;
  OGRSpatialReference system = targets[Slot(UtmTarget::Measuring)];
  if (outcome.isUtm) {
    if (system.SetUTM(zone, TRUE) != OGRERR_NONE) return nullptr;
    UseLongitudeFirst(system);
  }
  TransformPtr to = Create(wgs84, system);
  TransformPtr from = Create(system, wgs84);
  if (!to || !from) return nullptr;
  ZonePlane& slot = planes[nextPlane];
  nextPlane = (nextPlane + 1) % planes.size();
  slot = ZonePlane{key, std::move(to), std::move(from)};
  return &slot;
}

TransformSet::TransformSet() : impl_(std::make_unique<Impl>()) {}
TransformSet::~TransformSet() = default;
TransformSet::TransformSet(TransformSet&&) noexcept = default;
TransformSet& TransformSet::operator=(TransformSet&&) noexcept = default;

TransformSet TransformSet::Build(const CoordSettings& settings) {
  TransformSet set;
  set.impl_->BuildAll(settings);
  return set;
}

bool TransformSet::Ready() const {
  if (!impl_ || impl_->failure != TransformSetFailure::None) return false;
  for (const auto& t : impl_->transforms)
    if (!t) return false;
  return true;
}

TransformSetFailure TransformSet::Failure() const {
  return impl_ ? impl_->failure : TransformSetFailure::NotBuilt;
}

const WorkingSystemOutcome& TransformSet::Outcome() const {
  static const WorkingSystemOutcome kNone;
  return impl_ ? impl_->outcome : kNone;
}

OGRCoordinateTransformation* TransformSet::Get(TransformId id) const {
  return impl_ ? impl_->transforms[Slot(id)].get() : nullptr;
}

bool TransformSet::Transform(TransformId id, double& x, double& y) {
  return TransformOne(Get(id), x, y);
}

std::size_t TransformSet::Transform(TransformId id, std::span<double> x, std::span<double> y,
                                    std::span<int> success) {
  OGRCoordinateTransformation* t = Get(id);
  const std::size_t n = std::min(x.size(), y.size());
  std::vector<int> local;
  if (success.size() < n) {
    local.assign(n, FALSE);
    success = local;
  }
  std::fill(success.begin(), success.begin() + static_cast<std::ptrdiff_t>(n), FALSE);
  if (!t || n == 0 || n > static_cast<std::size_t>(INT_MAX)) return 0;
  t->Transform(static_cast<int>(n), x.data(), y.data(), nullptr, success.data());
  std::size_t count = 0;
  for (std::size_t k = 0; k < n; ++k)
    if (success[k]) ++count;
  return count;
}

bool TransformSet::RetargetUtm(UtmTarget target, int zone, bool north) {
  if (!impl_ || impl_->failure != TransformSetFailure::None) return false;
  Impl& s = *impl_;
  if (!s.outcome.isUtm) return true;  // a user projection keeps its own system
  if (zone < 1 || zone > 60) return false;
  UtmZone& current = s.zones[Slot(target)];
  if (current.zone == zone && current.north == north) return true;

  OGRSpatialReference system = s.targets[Slot(target)];
  if (system.SetUTM(zone, north ? TRUE : FALSE) != OGRERR_NONE) return false;
  UseLongitudeFirst(system);
  TransformPtr forward = Create(s.wgs84, system);
  if (!forward) return false;
  if (target == UtmTarget::Display) {
    TransformPtr inverse = Create(system, s.wgs84);
    if (!inverse) return false;
    s.transforms[Slot(TransformId::UtmToWgs)] = std::move(inverse);
  }
  const TransformId id = target == UtmTarget::Measuring ? TransformId::Utm
                         : target == UtmTarget::Second  ? TransformId::WgsToMap2
                                                        : TransformId::Display;
  s.transforms[Slot(id)] = std::move(forward);
  s.targets[Slot(target)] = system;
  current = UtmZone{zone, north};
  return true;
}

bool TransformSet::ToZonePlane(int zone, double& x, double& y) {
  Impl::ZonePlane* plane = impl_ ? impl_->Plane(zone) : nullptr;
  return plane && TransformOne(plane->to.get(), x, y);
}

bool TransformSet::FromZonePlane(int zone, double& x, double& y) {
  Impl::ZonePlane* plane = impl_ ? impl_->Plane(zone) : nullptr;
  return plane && TransformOne(plane->from.get(), x, y);
}

UtmZone TransformSet::CurrentZone(UtmTarget target) const {
  if (!impl_ || !impl_->outcome.isUtm) return UtmZone{0, true};
  return impl_->zones[Slot(target)];
}

const OGRSpatialReference* TransformSet::DatumGeographicSystem() const {
  return impl_ && impl_->hasDatumGeographic ? &impl_->datumGeographic : nullptr;
}
