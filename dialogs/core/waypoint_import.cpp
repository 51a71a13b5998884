#include "dialogs/core/waypoint_import.h"

#include <shapefil.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "document/records.h"
#include "document/shapefile_check.h"
#include "platform/text_encoding.h"

namespace {

void IgnoreError(const char*) {}

struct ShpCloser {
  void operator()(SHPInfo* shp) const { SHPClose(shp); }
};
struct DbfCloser {
  void operator()(DBFInfo* dbf) const { DBFClose(dbf); }
};
struct ObjectDestroyer {
  void operator()(SHPObject* o) const { SHPDestroyObject(o); }
};

std::string DbfPath(const std::string& shp) {
  const std::size_t dot = shp.find_last_of('.');
  const std::size_t slash = shp.find_last_of('/');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? shp.substr(0, dot) : shp) + ".dbf";
}

int TextField(DBFInfo* dbf, const char* name) {
  const int index = DBFGetFieldIndex(dbf, name);
  return index >= 0 && DBFGetFieldInfo(dbf, index, nullptr, nullptr, nullptr) == FTString ? index
                                                                                          : -1;
}

bool Utf8CodePage(const char* codePage) {
  if (!codePage) return false;
  const std::string cp(codePage);
  return cp.find("UTF-8") != std::string::npos || cp.find("UTF8") != std::string::npos ||
         cp == "65001";
}

}  // namespace

int AltitudeCentimetres(double metres) { return CentimetresFromMetres(metres).value_or(0); }

PointImportResult ReadShapefilePoints(const std::string& path) {
  PointImportResult result;
  SAHooks hooks;
  SASetupDefaultHooks(&hooks);
  hooks.Error = IgnoreError;
  // A damaged file is refused before shapelib reads it; a damaged table is left unread (and
  // said so).
  if (!ShapefileAtPathIsSound(path)) return result;
  std::unique_ptr<SHPInfo, ShpCloser> shp(SHPOpenLL(path.c_str(), "rb", &hooks));
  if (!shp) return result;
  int count = 0, type = 0;
  SHPGetInfo(shp.get(), &count, &type, nullptr, nullptr);
  if (type != SHPT_POINT && type != SHPT_POINTZ) {
    result.status = PointImportStatus::NotPoints;
    return result;
  }
  result.status = PointImportStatus::Ok;

  const DbfTable table = DbfAtPath(DbfPath(path));
  std::unique_ptr<DBFInfo, DbfCloser> dbf(
      table == DbfTable::Sound ? DBFOpenLL(DbfPath(path).c_str(), "rb", &hooks) : nullptr);
  result.tableRefused = table == DbfTable::Damaged || (table == DbfTable::Sound && !dbf);
  int nameField = -1;
  bool utf8 = false;
  int records = 0;
  if (dbf) {
    nameField = TextField(dbf.get(), "NAME");
    if (nameField < 0) nameField = TextField(dbf.get(), "PROBENUMME");
    utf8 = Utf8CodePage(DBFGetCodePage(dbf.get()));
    records = DBFGetRecordCount(dbf.get());
  }
  for (int i = 0; i < count; ++i) {
    std::unique_ptr<SHPObject, ObjectDestroyer> shape(SHPReadObject(shp.get(), i));
    if (!shape || shape->nSHPType == SHPT_NULL || shape->nVertices < 1) continue;
    ShapefilePoint point;
    point.x = shape->padfX[0];
    point.y = shape->padfY[0];
    point.z = shape->padfZ ? shape->padfZ[0] : 0.0;
    if (!std::isfinite(point.z)) point.z = 0.0;
    if (nameField >= 0 && i < records) {
      if (const char* text = DBFReadStringAttribute(dbf.get(), i, nameField))
        point.name = utf8 ? std::string(text) : platform::Cp1252ToUtf8(text);
    }
    result.points.push_back(std::move(point));
  }
  return result;
}
