// Checks of an ESRI Shapefile's bytes before shapelib is asked to read it: shapelib trusts the
// headers, the index's record offsets and lengths, each record's part and point counts and the
// table's field layout, and a damaged file can make it read outside its buffers. A file that
// passes these checks holds every byte that shapelib's reads of it take.
#pragma once

#include <string>
#include <string_view>

// The .shp and .shx of a shapefile: both headers, every index entry against the .shp's size,
// every record header against its index entry and every record's counts against its length.
bool ShapeFilesAreSound(std::string_view shp, std::string_view shx);
// A .dbf: header and record lengths, the field descriptors and their offsets within a record,
// and the declared records against the file's size.
bool DbfFileIsSound(std::string_view dbf);

// The same on the files that shapelib would open for `shpPath` (its .shp and .shx, with the
// extension in lower or upper case as shapelib tries them). False when a file cannot be read.
bool ShapefileAtPathIsSound(const std::string& shpPath);
// The .dbf shapelib would open for `dbfPath` (lower or upper case extension): none there (a
// missing table only means unnamed shapes), sound, or there but unreadable or damaged.
enum class DbfTable { Missing, Sound, Damaged };
DbfTable DbfAtPath(const std::string& dbfPath);
// True when there is none to open or it is sound, false when one exists and is damaged.
bool DbfAtPathIsSoundOrMissing(const std::string& dbfPath);
