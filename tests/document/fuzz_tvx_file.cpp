// Feeds arbitrary bytes to the document-file reader, as an open (even sizes) or an import
// (odd sizes) into a small document, and checks what must always hold afterwards.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "document/tvx_file.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

DocumentContent Start() {
  DocumentContent doc;
  doc.AddFeature(FeatureType::Area, "initial");
  doc.waypoints.push_back(WaypointRecord::FromFile("w", 31, 0, 0, 0, 0, 1, 2, 0, 0));
  doc.waypointNotes.emplace_back("n");
  return doc;
}

void CheckInvariants(const DocumentContent& doc) {
  Check(!doc.features.empty());
  Check(doc.waypointNotes.size() == doc.waypoints.size());
  std::size_t parts = 0;
  for (std::size_t i = 0; i < doc.features.size(); ++i) {
    const FeatureRecord& f = doc.features[i];
    const std::size_t n = f.wgs84Vertices.size();
    Check(f.vertices.size() == n && f.altitudesCm.size() == n && f.vertexNotes.size() == n);
    if (f.type == FeatureType::Part) {
      Check(f.link >= 0 && static_cast<std::size_t>(f.link) < doc.features.size());
      Check(parts < doc.kind52Index.size() &&
            doc.kind52Index[parts] == static_cast<int>(i));
      ++parts;
    }
  }
  Check(parts == doc.kind52Index.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  DocumentContent doc = Start();
  TvxFileError error;
  const bool append = size % 2 == 1;
  const bool ok = append ? AppendTvxFile(bytes, doc, error) : ReadTvxFile(bytes, doc, error);
  if (!ok) {
    Check(!error.text.empty());
    const DocumentContent start = Start();
    Check(doc.features.size() == 1 && doc.features[0].name == start.features[0].name);
    Check(doc.waypoints.size() == 1 && doc.waypointNotes == start.waypointNotes);
    return 0;
  }
  CheckInvariants(doc);

  // What was read writes and reads back to the same shape.
  DocumentContent again;
  Check(ReadTvxFile(WriteTvxFile(doc), again, error));
  Check(again.features.size() == doc.features.size());
  Check(again.waypoints.size() == doc.waypoints.size());
  for (std::size_t i = 0; i < doc.features.size(); ++i) {
    Check(again.features[i].VertexCount() == doc.features[i].VertexCount());
    Check(again.features[i].link == doc.features[i].link);
    Check(again.features[i].name == doc.features[i].name);
    Check(again.features[i].vertexNotes == doc.features[i].vertexNotes);
  }
  return 0;
}
