#include "document/export_shapefile.h"

#include <shapefil.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <utility>

#include "app/strings.h"
#include "document/geo_position.h"
#include "document/shapefile_check.h"
#include "document/tvx_file.h"
#include "platform/files.h"

namespace {

// ---- Files through shapelib, in memory until they are complete --------------------------

// Shapelib seeks before every record it writes, and a seek flushes a stdio buffer: written
// straight to disk, a million points cost millions of system calls. The writers therefore let
// shapelib work on memory files and write the finished files in one go each; a failed write
// (a full disk) is then a plain, checked file write.
using MemoryFiles = std::map<std::string, std::string>;

struct MemoryFile {
  std::string* data;
  std::size_t position = 0;
};

// The file set of the writer whose shapelib calls run on this thread (set around Create,
// which is where shapelib opens its files).
thread_local MemoryFiles* t_files = nullptr;

MemoryFile* Memory(SAFile file) { return reinterpret_cast<MemoryFile*>(file); }

SAFile MemoryOpen(const char* name, const char* access) {
  if (!t_files) return nullptr;
  auto it = t_files->find(name);
  if (access[0] == 'w') {
    it = t_files->insert_or_assign(name, std::string()).first;
  } else if (it == t_files->end()) {
    return nullptr;
  }
  return reinterpret_cast<SAFile>(new MemoryFile{&it->second});
}

SAOffset MemoryRead(void* p, SAOffset size, SAOffset count, SAFile file) {
  MemoryFile* f = Memory(file);
  if (size == 0) return 0;
  const std::size_t available = f->data->size() > f->position ? f->data->size() - f->position : 0;
  const SAOffset items = std::min<SAOffset>(count, available / size);
  std::memcpy(p, f->data->data() + f->position, items * size);
  f->position += items * size;
  return items;
}

SAOffset MemoryWrite(void* p, SAOffset size, SAOffset count, SAFile file) {
  MemoryFile* f = Memory(file);
  const std::size_t bytes = size * count;
  if (f->data->size() < f->position + bytes) f->data->resize(f->position + bytes);
  std::memcpy(f->data->data() + f->position, p, bytes);
  f->position += bytes;
  return count;
}

SAOffset MemorySeek(SAFile file, SAOffset offset, int whence) {
  MemoryFile* f = Memory(file);
  const std::size_t base = whence == SEEK_CUR ? f->position : whence == SEEK_END ? f->data->size() : 0;
  f->position = base + offset;
  return 0;
}

SAOffset MemoryTell(SAFile file) { return Memory(file)->position; }
int MemoryFlush(SAFile) { return 0; }

int MemoryClose(SAFile file) {
  delete Memory(file);
  return 0;
}

int MemoryRemove(const char* name) {
  if (t_files) t_files->erase(name);
  return 0;
}

void IgnoreError(const char*) {}  // failures reach the user through the writers' results

SAHooks MemoryHooks() {
  SAHooks hooks;
  SASetupDefaultHooks(&hooks);
  hooks.FOpen = MemoryOpen;
  hooks.FRead = MemoryRead;
  hooks.FWrite = MemoryWrite;
  hooks.FSeek = MemorySeek;
  hooks.FTell = MemoryTell;
  hooks.FFlush = MemoryFlush;
  hooks.FClose = MemoryClose;
  hooks.Remove = MemoryRemove;
  hooks.Error = IgnoreError;
  return hooks;
}

constexpr const char* kExtensions[] = {".shp", ".shx", ".dbf"};

// The name of the three files without their extension.
std::string ShapefileBase(const std::string& path) {
  return HasExtension(path, ".shp") ? path.substr(0, path.size() - 4) : path;
}

// base + mark + process id + extension: the names shapelib writes under, in memory only.
constexpr const char* kMark = ".tvxtmp";
constexpr int kNameWidth = 35;
constexpr int kWaypointTextWidth = 30;
constexpr int kStampWidth = 20;

// The three files of one export: shapelib writes them in memory (under names beside the target
// that are never on disk), and Commit puts them in place as files that replace the old ones
// (through a link, the file it leads to) only when all three were written whole.
class ShapefileWriter {
 public:
  ShapefileWriter(const std::string& path)
      : base_(ShapefileBase(path)),
        temporary_(base_ + kMark + std::to_string(getpid())),
        hooks_(MemoryHooks()) {}

  ~ShapefileWriter() { Close(); }

  // Empty on success, else the message of what failed.
  std::string Create(int shapeType, const std::string& shownPath) {
    // The target folder must take the files: their temporary files are created at once.
    for (std::size_t i = 0; i < std::size(kExtensions); ++i) {
      targets_[i] = std::make_unique<platform::ReplacingFile>(base_ + kExtensions[i]);
      if (!targets_[i]->Open()) return "Unable to create shp file\n";
    }
    // The file names stay those on disk: shapelib derives the .shx name from the .shp one.
    t_files = &files_;
    shp_ = SHPCreateLL((temporary_ + ".shp").c_str(), shapeType, &hooks_);
    if (!shp_) {
      t_files = nullptr;
      return "Unable to create shp file\n";
    }
    // LDID 87: the table's texts are in the Windows ANSI code page.
    dbf_ = DBFCreateLL((temporary_ + ".dbf").c_str(), "LDID/87", &hooks_);
    t_files = nullptr;
    if (!dbf_) return "DBFCreate(" + shownPath + ") failed\n";
    return {};
  }

  bool AddField(const char* name, DBFFieldType type, int width, int decimals) {
    return DBFAddField(dbf_, name, type, width, decimals) >= 0;
  }

  // The shape's record number, or -1.
  int Write(int shapeType, int count, const double* x, const double* y, const double* z) {
    SHPObject* shape = SHPCreateSimpleObject(shapeType, count, x, y, z);
    if (!shape) return -1;
    const int record = SHPWriteObject(shp_, -1, shape);
    SHPDestroyObject(shape);
    if (record < 0) failed_ = true;
    return record;
  }

  // A number in a numeric field: printf "%<width>.<decimals>f" in the C locale, as shapelib
  // writes it (the integer fields have 0 decimals); false when it does not fit the field.
  // Formatted here because shapelib's printf per field is most of a large export's time.
  bool Number(int record, int field, double value) {
    int width = 0, decimals = 0;
    DBFGetFieldInfo(dbf_, field, nullptr, &width, &decimals);
    number_.Bytes().clear();
    number_.Fixed(value, decimals);
    const std::string& digits = number_.Bytes();
    if (digits.size() > static_cast<std::size_t>(width)) return false;
    cell_.assign(static_cast<std::size_t>(width) - digits.size(), ' ');
    cell_ += digits;
    return DBFWriteAttributeDirectly(dbf_, record, field, cell_.data()) != 0;
  }
  // A UTF-8 text in the table's code page, cut to the field's width.
  bool Text(int record, int field, const std::string& utf8, int width) {
    std::string text = ToMultiByte(utf8);
    if (text.size() > static_cast<std::size_t>(width)) text.resize(width);
    return DBFWriteStringAttribute(dbf_, record, field, text.c_str()) != 0;
  }

  // Closes the files and puts them in place; empty on success, else the message.
  std::string Commit() {
    Close();
    if (failed_) return "Unable to write shp file\n";
    for (std::size_t i = 0; i < std::size(kExtensions); ++i) {
      targets_[i]->Write(files_[temporary_ + kExtensions[i]]);
      if (targets_[i]->Failed()) return "Unable to write shp file\n";
    }
    for (const auto& target : targets_) {
      if (!target->Commit()) return "Unable to write shp file\n";
    }
    return {};
  }

 private:
  void Close() {
    if (shp_) SHPClose(shp_);
    if (dbf_) DBFClose(dbf_);
    shp_ = nullptr;
    dbf_ = nullptr;
  }

  std::string base_;
  std::string temporary_;
  SAHooks hooks_;
  MemoryFiles files_;
  std::unique_ptr<platform::ReplacingFile> targets_[std::size(kExtensions)];
  SHPHandle shp_ = nullptr;
  DBFHandle dbf_ = nullptr;
  ExportText number_;  // reused by Number
  std::string cell_;
  bool failed_ = false;
};

ShpWriteResult Failure(std::string message) { return {false, std::move(message)}; }

ShpWriteResult Finish(ShapefileWriter& writer) {
  std::string message = writer.Commit();
  if (!message.empty()) return Failure(std::move(message));
  return {true, {}};
}

// Adds X, Y and Z: 14.8 for degrees, 11.3 for metres.
bool AddCoordinateFields(ShapefileWriter& writer, int coordMode) {
  const int width = coordMode == 0 ? 14 : 11;
  const int decimals = coordMode == 0 ? 8 : 3;
  return writer.AddField("X", FTDouble, width, decimals) &&
         writer.AddField("Y", FTDouble, width, decimals) &&
         writer.AddField("Z", FTDouble, width, decimals);
}

// The coordinates of a feature's points: degrees in geographic mode, else output coordinates
// (the zone set at the first point of the export).
void FeatureCoordinates(ExportSource& source, const ExportedPoints& points, int datumChoice,
                        int coordMode, ZoneOnce& zone, std::vector<OutputPoint>& out) {
  if (coordMode == 0) {
    out.resize(points.Count());
    for (std::size_t i = 0; i < out.size(); ++i) {
      const GeoPoint& g = points.Geographic(datumChoice, i);
      out[i] = {g.x, g.y, points.AltitudeM(i)};
    }
    return;
  }
  if (points.Count() > 0) zone.Before(points.Record().wgs84Vertices[0].y);
  source.VertexOutputs(datumChoice, points.Record(), out);
}

const char kAddFieldFailed[] = "DBFAddField failed\n";
const char kWriteAttributeFailed[] = "DBFWriteAttribute failed\n";

}  // namespace

std::vector<std::string> ShapefileFiles(const std::string& path) {
  const std::string base = ShapefileBase(path);
  std::vector<std::string> files;
  for (const char* ext : kExtensions) files.push_back(base + ext);
  return files;
}

int ShapeTypeForFeatures(const std::vector<FeatureRecord>& features) {
  if (features.size() != 1) return kShpPolygon;
  const FeatureType type = features.front().type;
  return type == FeatureType::Line || type == FeatureType::CircleLine ? kShpArc : kShpPolygon;
}

ShpWriteResult ExportShpPoints(const std::string& path, ExportSource& source, int datumChoice,
                               int coordMode, int zone) {
  ShapefileWriter writer(path);
  if (std::string message = writer.Create(kShpPoint, path); !message.empty()) {
    return Failure(std::move(message));
  }
  if (!writer.AddField("NUMBER", FTInteger, 5, 0) || !AddCoordinateFields(writer, coordMode)) {
    return Failure(kAddFieldFailed);
  }
  ZoneOnce zoneOnce(source, datumChoice, zone);
  std::vector<OutputPoint> coordinates;
  for (const FeatureRecord& feature : source.Features()) {
    const ExportedPoints points(source, feature);
    FeatureCoordinates(source, points, datumChoice, coordMode, zoneOnce, coordinates);
    for (std::size_t i = 0; i < coordinates.size(); ++i) {
      const OutputPoint& p = coordinates[i];
      const int record = writer.Write(kShpPoint, 1, &p.x, &p.y, nullptr);
      if (record < 0) return Failure("Unable to write shp file\n");
      if (!writer.Number(record, 0, static_cast<double>(i + 1)) || !writer.Number(record, 1, p.x) ||
          !writer.Number(record, 2, p.y) || !writer.Number(record, 3, p.z)) {
        return Failure(kWriteAttributeFailed);
      }
    }
  }
  return Finish(writer);
}

ShpWriteResult ExportShpShapes(const std::string& path, ExportSource& source, int shapeType,
                               int datumChoice, int coordMode, int zone, bool closeRings) {
  ShapefileWriter writer(path);
  if (std::string message = writer.Create(shapeType, path); !message.empty()) {
    return Failure(std::move(message));
  }
  if (!writer.AddField("NAME", FTString, kNameWidth, 0)) return Failure(kAddFieldFailed);
  ZoneOnce zoneOnce(source, datumChoice, zone);
  std::vector<OutputPoint> coordinates;
  std::vector<double> xs, ys, zs;
  for (const FeatureRecord& feature : source.Features()) {
    const ExportedPoints points(source, feature);
    if (points.Count() == 0) continue;
    FeatureCoordinates(source, points, datumChoice, coordMode, zoneOnce, coordinates);
    xs.clear();
    ys.clear();
    zs.clear();
    for (const OutputPoint& p : coordinates) {
      xs.push_back(p.x);
      ys.push_back(p.y);
      zs.push_back(p.z);
    }
    if (closeRings) {
      xs.push_back(xs.front());
      ys.push_back(ys.front());
      zs.push_back(zs.front());
    }
    const int record = writer.Write(shapeType, static_cast<int>(xs.size()), xs.data(), ys.data(),
                                    zs.data());
    if (record < 0) return Failure("Unable to write shp file\n");
    if (!writer.Text(record, 0, feature.name, kNameWidth)) return Failure(kWriteAttributeFailed);
  }
  return Finish(writer);
}

ShpWriteResult ExportWaypointsShp(const std::string& path, ExportSource& source,
                                  const std::vector<WaypointRecord>& waypoints, int datumChoice,
                                  int coordMode, int zone) {
  ShapefileWriter writer(path);
  if (std::string message = writer.Create(kShpPoint, path); !message.empty()) {
    return Failure(std::move(message));
  }
  if (!writer.AddField("NUMBER", FTInteger, 5, 0) ||
      !writer.AddField("NAME", FTString, kWaypointTextWidth, 0) ||
      !writer.AddField("PROBENUMME", FTString, kWaypointTextWidth, 0) ||
      !AddCoordinateFields(writer, coordMode) ||
      !writer.AddField("DATE", FTString, kStampWidth, 0) ||
      !writer.AddField("TIME", FTString, kStampWidth, 0)) {
    return Failure(kAddFieldFailed);
  }
  ZoneOnce zoneOnce(source, datumChoice, zone);
  for (std::size_t k = 0; k < waypoints.size(); ++k) {
    const WaypointRecord& w = waypoints[k];
    OutputPoint p{w.x, w.y, w.altitudeCm * 0.01};
    if (coordMode == 0) {
      if (datumChoice == 0 && source.DatumIndex() != 0) source.WorkingToWgs84(p.x, p.y);
    } else {
      zoneOnce.Before(w.y);
      source.WaypointOutput(datumChoice, w, p.x, p.y, p.z);
    }
    const int record = writer.Write(kShpPoint, 1, &p.x, &p.y, nullptr);
    if (record < 0) return Failure("Unable to write shp file\n");
    const bool written = writer.Number(record, 0, static_cast<double>(k + 1)) &&
                         writer.Text(record, 1, w.name, kWaypointTextWidth) &&
                         writer.Text(record, 2, w.name, kWaypointTextWidth) &&
                         writer.Number(record, 3, p.x) && writer.Number(record, 4, p.y) &&
                         writer.Number(record, 5, p.z) &&
                         writer.Text(record, 6, w.FormatDate(), kStampWidth) &&
                         writer.Text(record, 7, w.FormatTime(), kStampWidth);
    if (!written) return Failure(kWriteAttributeFailed);
  }
  return Finish(writer);
}

// ---- Import -----------------------------------------------------------------------------

std::string UnreadableShapefileText(const std::string& path) {
  return LoadResString(kStringUnknownFile) + "\n" + path;
}

int ShpImportMode(int datumChoice, int coordMode) {
  if (datumChoice == 0) return coordMode == 0 ? 0 : 1;
  return coordMode == 0 ? 2 : 3;
}

namespace {

struct ShpCloser {
  void operator()(SHPInfo* h) const { SHPClose(h); }
};
struct DbfCloser {
  void operator()(DBFInfo* h) const { DBFClose(h); }
};
struct ObjectDestroyer {
  void operator()(SHPObject* o) const { SHPDestroyObject(o); }
};

bool IsUtf8CodePage(const char* codePage) {
  if (!codePage) return false;
  const std::string cp(codePage);
  return cp.find("UTF-8") != std::string::npos || cp.find("UTF8") != std::string::npos ||
         cp.find("utf-8") != std::string::npos || cp == "65001";
}

// The vertex in both frames by the import's conversion mode.
void ConvertVertex(ExportSource& conv, int mode, const ShpImportSettings& s, double x, double y,
                   GeoPoint& wgs84, GeoPoint& working) {
  if (mode == 2) {
    working = {x, y};
    wgs84 = working;
    if (conv.DatumIndex() > 0) conv.WorkingToWgs84(wgs84.x, wgs84.y);
    return;
  }
  wgs84 = {x, y};
  if (mode == 1 || mode == 3) conv.UtmToWgs84(mode == 1 ? 0 : 1, s.zone, s.north, wgs84.x, wgs84.y);
  working = wgs84;
  if (conv.DatumIndex() > 0) conv.Wgs84ToWorking(working.x, working.y);
}

}  // namespace

ShpImportResult ImportShapefile(const std::string& path, const ShpImportSettings& settings,
                                ExportSource& conversions, const DbfFieldChooser& chooser,
                                const std::string& unnamed) {
  ShpImportResult result;
  SAHooks hooks;
  SASetupDefaultHooks(&hooks);
  hooks.Error = IgnoreError;
  // A damaged file is refused before shapelib reads it; a damaged table is left unread (and
  // said so: the shapes then come in unnamed).
  if (!ShapefileAtPathIsSound(path)) return result;
  std::unique_ptr<SHPInfo, ShpCloser> shp(SHPOpenLL(path.c_str(), "rb", &hooks));
  if (!shp) return result;
  const std::string dbfPath = ReplaceExtension(path, ".dbf");
  const DbfTable table = DbfAtPath(dbfPath);
  std::unique_ptr<DBFInfo, DbfCloser> dbf(
      table == DbfTable::Sound ? DBFOpenLL(dbfPath.c_str(), "rb", &hooks) : nullptr);
  result.tableRefused = table == DbfTable::Damaged || (table == DbfTable::Sound && !dbf);

  int count = 0;
  int type = 0;
  SHPGetInfo(shp.get(), &count, &type, nullptr, nullptr);
  result.shapeType = type;
  result.shapeCount = count;
  if (type != kShpArc && type != kShpPolygon && type != kShpArcZ && type != kShpPolygonZ) {
    result.status = ShpImportStatus::UnsupportedType;
    return result;
  }
  result.status = ShpImportStatus::Ok;

  int nameField = -1;
  bool utf8Names = false;
  if (dbf) {
    std::vector<DbfTextField> fields;
    const int fieldCount = DBFGetFieldCount(dbf.get());
    for (int i = 0; i < fieldCount; ++i) {
      char name[XBASE_FLDNAME_LEN_READ + 1] = {};
      if (DBFGetFieldInfo(dbf.get(), i, name, nullptr, nullptr) == FTString) {
        fields.push_back({FromMultiByte(name), i});
      }
    }
    if (!fields.empty() && chooser) {
      const int chosen = chooser(fields);
      if (chosen >= 0 && static_cast<std::size_t>(chosen) < fields.size()) {
        nameField = fields[chosen].index;
      }
    }
    utf8Names = IsUtf8CodePage(DBFGetCodePage(dbf.get()));
  }

  const int mode = ShpImportMode(settings.datumChoice, settings.coordMode);
  const int records = dbf ? DBFGetRecordCount(dbf.get()) : 0;
  for (int i = 0; i < count; ++i) {
    std::unique_ptr<SHPObject, ObjectDestroyer> shape(SHPReadObject(shp.get(), i));
    if (!shape || shape->nSHPType == SHPT_NULL) continue;
    std::string name;
    if (nameField >= 0 && i < records) {
      const char* text = DBFReadStringAttribute(dbf.get(), i, nameField);
      if (text) name = utf8Names ? std::string(text) : FromMultiByte(text);
    }
    if (name.empty()) name = unnamed;
    const bool line = shape->nSHPType == kShpArc || shape->nSHPType == kShpArcZ;
    FeatureRecord& feature = result.features.emplace_back(
        line ? FeatureType::Line : FeatureType::Area, std::move(name));
    feature.editable = 0;
    feature.ReserveVertices(shape->nVertices);
    for (int v = 0; v < shape->nVertices; ++v) {
      GeoPoint wgs84, working;
      ConvertVertex(conversions, mode, settings, shape->padfX[v], shape->padfY[v], wgs84, working);
      // A point that names no place after the conversion chosen is left out (and counted).
      if (!IsGeographicPosition(wgs84) || !IsGeographicPosition(working)) {
        ++result.positionsLeftOut;
        continue;
      }
      const double z = shape->padfZ ? shape->padfZ[v] : 0.0;
      // An altitude the records cannot hold is left out.
      const std::int32_t altitude = CentimetresFromMetres(z).value_or(0);
      feature.AddVertex(wgs84, working, altitude);
    }
    // A shape none of whose points is a place comes in as nothing.
    if (shape->nVertices > 0 && feature.VertexCount() == 0) result.features.pop_back();
  }
  return result;
}
