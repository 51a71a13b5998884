// Dividing a measured feature into two parts, and shifting the line between them.
//
// A feature's vertex ring is cut along a dividing line whose ends are a and b: part 1 runs
// [a, ..., b] and part 2 [b, ..., a] along the ring, so the two parts share both ends. The
// parts are plain FeatureRecords named after the divided feature ("<name> 1/2", "<name> 2/2"),
// part 1 green and part 2 red, without fill; every copied vertex keeps its four values
// (working-datum point, WGS84 point, altitude, note).
//
// Nothing here measures: the document's area worker measures the parts once they are in the
// document. Because the parts share the dividing line and run along the ring in the same
// direction, the signed planar areas of the two parts add up to the signed area of the whole
// ring, whatever the line; for a line inside the ring the unsigned areas add up too.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "document/records.h"

class CTolvanixDoc;

struct SplitParts {
  FeatureRecord first;
  FeatureRecord second;
};

// An end of a dividing line tapped on the map: working datum and WGS84 degrees. It becomes a
// vertex of both parts with altitude 0 and its note ("A" for the first end, "B" for the
// second).
struct TappedEnd {
  GeoPoint working;
  GeoPoint wgs84;
  std::string note;
};

// Colours of the two parts (COLORREF 0x00BBGGRR).
constexpr COLORREF kSplitPart1Colour = 0x0000FF00;  // green
constexpr COLORREF kSplitPart2Colour = 0x000000FF;  // red

// An empty part 1 or 2 of `divided` (which = 1 or 2): its type, name with " 1/2" or " 2/2",
// fill pattern 0 and the part's colour. The parts of a part (type 52) belong to the divided
// part's parent and subtract nothing from it, so that the parent does not lose the same
// ground twice.
FeatureRecord MakeSplitPart(const FeatureRecord& divided, int which);

// Appends vertex i of `from` (all four values) to `to`.
void CopyVertex(const FeatureRecord& from, std::size_t i, FeatureRecord& to);

// Cut from the first vertex to the middle one, h = n / 2: part 1 = vertices 0..h, part 2 =
// h..n-1 and vertex 0 again. A single vertex gives part 1 = [0] and part 2 = [0, 0]; an empty
// feature gives two empty parts.
SplitParts SplitByVertices(const FeatureRecord& feature);

// Index of the point nearest to p by the given distance; the lowest index wins a tie (the
// search replaces the best only on a strictly smaller distance). -1 for an empty list.
int NearestVertex(const std::vector<GeoPoint>& points, const GeoPoint& p,
                  const std::function<double(const GeoPoint&, const GeoPoint&)>& distance);

// Cut along the line from a to b, where i1 and i2 are the vertices nearest to a and b:
//   i1 <  i2: part 1 = b, i2..n-1, 0..i1, a;  part 2 = a, i1..i2, b
//   i1 >= i2: part 1 = a, i1..n-1, 0..i2, b;  part 2 = b, i2..i1, a
// (ranges inclusive). Indices outside the ring give two empty parts.
SplitParts SplitByLine(const FeatureRecord& feature, int i1, int i2, const TappedEnd& a,
                       const TappedEnd& b);

// One press of a step button of the divide dialog: moves end a or end b of the dividing line
// one vertex along the ring by handing a vertex from one part to the other.
enum class DividingLineStep {
  EndABackward,  // part 2's next-to-last vertex goes to the front of part 1
  EndAForward,   // part 1's second vertex goes to the end of part 2
  EndBBackward,  // part 1's next-to-last vertex goes to the front of part 2
  EndBForward,   // part 2's second vertex goes to the end of part 1
};

// False (nothing changes) when the part that would lose a vertex has fewer than 2.
bool MoveDividingLine(FeatureRecord& part1, FeatureRecord& part2, DividingLineStep step);

// The document's side of a division (user-interface thread): the parts appended after every
// other feature and measured (waiting for the area worker), and taken off again.
void AppendSplitParts(CTolvanixDoc& doc, SplitParts&& parts);
void RemoveSplitParts(CTolvanixDoc& doc);
