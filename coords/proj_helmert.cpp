#include "coords/proj_helmert.h"

#include <memory>

namespace {

struct PjDeleter {
  void operator()(PJ* p) const { proj_destroy(p); }
};
using PjPtr = std::unique_ptr<PJ, PjDeleter>;

struct ContextDeleter {
  void operator()(PJ_CONTEXT* c) const { proj_context_destroy(c); }
};

struct ListDeleter {
  void operator()(PJ_OBJ_LIST* l) const { proj_list_destroy(l); }
};
struct FactoryDeleter {
  void operator()(PJ_OPERATION_FACTORY_CONTEXT* f) const {
    proj_operation_factory_context_destroy(f);
  }
};

std::string Text(const char* text) { return text ? text : ""; }

}  // namespace

std::optional<ProjTransformations> ProjTransformationsToWgs84(PJ_CONTEXT* ctx,
                                                              const std::string& authority,
                                                              const std::string& code) {
  std::unique_ptr<PJ_CONTEXT, ContextDeleter> own;
  if (!ctx) {
    // A context of this call: quiet, since PROJ reports every grid it cannot open here.
    own.reset(proj_context_create());
    if (!own) return std::nullopt;
    proj_log_level(own.get(), PJ_LOG_NONE);
    ctx = own.get();
  }
  PjPtr source(proj_create_from_database(ctx, authority.c_str(), code.c_str(), PJ_CATEGORY_CRS,
                                         false, nullptr));
  PjPtr wgs84(proj_create_from_database(ctx, "EPSG", "4326", PJ_CATEGORY_CRS, false, nullptr));
  if (!source || !wgs84) return std::nullopt;

  std::unique_ptr<PJ_OPERATION_FACTORY_CONTEXT, FactoryDeleter> factory(
      proj_create_operation_factory_context(ctx, nullptr), FactoryDeleter{});
  if (!factory) return std::nullopt;
  // As for a transformation created between the two systems: every operation that touches the
  // source system's area; the order does not depend on which grids are installed here.
  proj_operation_factory_context_set_spatial_criterion(ctx, factory.get(),
                                                       PROJ_SPATIAL_CRITERION_PARTIAL_INTERSECTION);
  proj_operation_factory_context_set_grid_availability_use(ctx, factory.get(),
                                                           PROJ_GRID_AVAILABILITY_IGNORED);
  std::unique_ptr<PJ_OBJ_LIST, ListDeleter> list(
      proj_create_operations(ctx, source.get(), wgs84.get(), factory.get()));
  if (!list) return std::nullopt;

  ProjTransformations result;
  bool first = true;
  const int count = proj_list_get_count(list.get());
  for (int k = 0; k < count; ++k) {
    PjPtr op(proj_list_get(ctx, list.get(), k));
    if (!op || proj_coordoperation_has_ballpark_transformation(ctx, op.get())) continue;
    ProjHelmert helmert;
    const bool isHelmert =
        proj_coordoperation_get_towgs84_values(ctx, op.get(), helmert.shift.data(), 7, false) != 0;
    if (first) {
      result.firstName = Text(proj_get_name(op.get()));
      result.firstIsHelmert = isHelmert;
      first = false;
    }
    if (!isHelmert) continue;
    helmert.authority = Text(proj_get_id_auth_name(op.get(), 0));
    helmert.code = Text(proj_get_id_code(op.get(), 0));
    helmert.name = Text(proj_get_name(op.get()));
    helmert.accuracy = proj_coordoperation_get_accuracy(ctx, op.get());
    for (double& v : helmert.shift)
      if (v == 0.0) v = 0.0;  // no negative zeros
    result.helmerts.push_back(std::move(helmert));
  }
  return result;
}

std::optional<ProjHelmert> ProjPreferredHelmert(PJ_CONTEXT* ctx, const std::string& authority,
                                                const std::string& code) {
  auto found = ProjTransformationsToWgs84(ctx, authority, code);
  if (!found || found->helmerts.empty()) return std::nullopt;
  return found->helmerts.front();
}
