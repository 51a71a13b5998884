// Test data of the waypoint tests: waypoints, and Shapefiles written with shapelib.
#pragma once

#include <shapefil.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "document/records.h"

namespace tvxtest {

inline WaypointRecord Waypoint(const char* name, double lon, double lat, int altitudeCm, int stamp) {
  WaypointRecord w;
  w.name = name;
  w.x = lon;
  w.y = lat;
  w.altitudeCm = altitudeCm;
  w.timeStamp = stamp;
  return w;
}

// The folder of the Shapefiles a test program writes, removed with them when it ends.
inline const std::filesystem::path& ShapefileFolder() {
  static const struct Folder {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("tvx_shapefiles_" + std::to_string(::getpid()));
    Folder() { std::filesystem::create_directories(path); }
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  } folder;
  return folder.path;
}

// A Shapefile written with shapelib: points with Z and a DBF naming them in `field`, or one
// line.
inline std::string WriteShapefile(const std::string& stem, int type, const char* field) {
  const std::string base = (ShapefileFolder() / stem).string();
  SHPHandle shp = SHPCreate(base.c_str(), type);
  DBFHandle dbf = DBFCreate(base.c_str());
  DBFAddField(dbf, "ID", FTInteger, 5, 0);
  DBFAddField(dbf, field, FTString, 20, 0);
  const double xs[] = {-3.5, 2.25}, ys[] = {40.25, -1.5}, zs[] = {612.346, -7.0};
  const char* names[] = {"Fuente", "Pozo \xf1"};  // Windows-1252 n with tilde
  const int count = type == SHPT_ARC ? 1 : 2;
  for (int i = 0; i < count; ++i) {
    SHPObject* o = type == SHPT_ARC
                       ? SHPCreateSimpleObject(type, 2, xs, ys, zs)
                       : SHPCreateSimpleObject(type, 1, &xs[i], &ys[i], &zs[i]);
    SHPWriteObject(shp, -1, o);
    SHPDestroyObject(o);
    DBFWriteIntegerAttribute(dbf, i, 0, i);
    DBFWriteStringAttribute(dbf, i, 1, names[i]);
  }
  SHPClose(shp);
  DBFClose(dbf);
  return base + ".shp";
}

}  // namespace tvxtest
