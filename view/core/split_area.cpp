#include "view/core/split_area.h"

#include "document/tolvanix_doc.h"

FeatureRecord MakeSplitPart(const FeatureRecord& divided, int which) {
  FeatureRecord part(divided.type, divided.name + (which == 1 ? " 1/2" : " 2/2"));
  part.pattern = 0;
  part.colour = which == 1 ? kSplitPart1Colour : kSplitPart2Colour;
  if (divided.type == FeatureType::Part) {
    part.link = divided.link;
    part.subtract = 0;
  }
  return part;
}

void CopyVertex(const FeatureRecord& from, std::size_t i, FeatureRecord& to) {
  to.AddVertex(from.wgs84Vertices[i], from.vertices[i], from.altitudesCm[i], from.vertexNotes[i]);
}

namespace {

// Vertices first..last of the ring, inclusive.
void CopyRange(const FeatureRecord& from, std::size_t first, std::size_t last, FeatureRecord& to) {
  for (std::size_t i = first; i <= last; ++i) CopyVertex(from, i, to);
}

void AddEnd(const TappedEnd& end, FeatureRecord& to) {
  to.AddVertex(end.wgs84, end.working, 0, end.note);
}

// Moves vertex `from` of `giver` to position `at` of `taker` (at = taker's count: append).
void HandOver(FeatureRecord& giver, std::size_t from, FeatureRecord& taker, std::size_t at) {
  taker.InsertVertex(at, giver.wgs84Vertices[from], giver.vertices[from], giver.altitudesCm[from],
                     giver.vertexNotes[from]);
}

}  // namespace

SplitParts SplitByVertices(const FeatureRecord& feature) {
  SplitParts parts{MakeSplitPart(feature, 1), MakeSplitPart(feature, 2)};
  const std::size_t n = feature.VertexCount();
  if (n == 0) return parts;
  const std::size_t h = n / 2;
  CopyRange(feature, 0, h, parts.first);
  CopyRange(feature, h, n - 1, parts.second);
  CopyVertex(feature, 0, parts.second);
  return parts;
}

int NearestVertex(const std::vector<GeoPoint>& points, const GeoPoint& p,
                  const std::function<double(const GeoPoint&, const GeoPoint&)>& distance) {
  int best = -1;
  double bestDistance = 0.0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double d = distance(points[i], p);
    if (best < 0 || d < bestDistance) {
      best = static_cast<int>(i);
      bestDistance = d;
    }
  }
  return best;
}

SplitParts SplitByLine(const FeatureRecord& feature, int i1, int i2, const TappedEnd& a,
                       const TappedEnd& b) {
  SplitParts parts{MakeSplitPart(feature, 1), MakeSplitPart(feature, 2)};
  const int n = static_cast<int>(feature.VertexCount());
  if (i1 < 0 || i2 < 0 || i1 >= n || i2 >= n) return parts;
  // The part that goes round through the last vertex and the first one, and the part between.
  const bool ascending = i1 < i2;
  const int low = ascending ? i1 : i2;
  const int high = ascending ? i2 : i1;
  const TappedEnd& atLow = ascending ? a : b;
  const TappedEnd& atHigh = ascending ? b : a;

  AddEnd(atHigh, parts.first);
  CopyRange(feature, high, n - 1, parts.first);
  CopyRange(feature, 0, low, parts.first);
  AddEnd(atLow, parts.first);

  AddEnd(atLow, parts.second);
  CopyRange(feature, low, high, parts.second);
  AddEnd(atHigh, parts.second);
  return parts;
}

bool MoveDividingLine(FeatureRecord& part1, FeatureRecord& part2, DividingLineStep step) {
  const bool part1Gives = step == DividingLineStep::EndAForward || step == DividingLineStep::EndBBackward;
  FeatureRecord& giver = part1Gives ? part1 : part2;
  FeatureRecord& taker = part1Gives ? part2 : part1;
  const std::size_t n = giver.VertexCount();
  if (n < 2) return false;
  switch (step) {
    case DividingLineStep::EndABackward:
    case DividingLineStep::EndBBackward:
      // The giver's next-to-last vertex becomes the taker's first; the giver drops its last.
      HandOver(giver, n - 2, taker, 0);
      giver.PopLastVertex();
      break;
    case DividingLineStep::EndAForward:
    case DividingLineStep::EndBForward:
      // The giver's second vertex becomes the taker's last; the giver drops its first.
      HandOver(giver, 1, taker, taker.VertexCount());
      giver.EraseVertex(0);
      break;
  }
  return true;
}

void AppendSplitParts(CTolvanixDoc& doc, SplitParts&& parts) {
  const int first = static_cast<int>(doc.m_features.size());
  doc.AppendFeature(std::move(parts.first));
  doc.AppendFeature(std::move(parts.second));
  doc.RecomputeAreasAndWait(first);
  doc.RecomputeAreasAndWait(first + 1);
}

void RemoveSplitParts(CTolvanixDoc& doc) {
  for (int i = 0; i < 2 && !doc.m_features.empty(); ++i) doc.m_features.pop_back();
  doc.m_content.RebuildPartIndex();
  doc.KeepCurrentValid();
}
