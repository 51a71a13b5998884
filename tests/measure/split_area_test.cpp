// Dividing a ring into two parts and moving the dividing line: worked-out polygons (convex
// and concave) and the invariant that the signed areas of the two parts add up to the whole.
#include <gtest/gtest.h>

#include <random>

#include "view/core/split_area.h"

namespace {

// A feature whose working-datum vertices are the given plane points; the WGS84 copy is
// shifted so that tests see which list a vertex came from, and each vertex has its own
// altitude and note.
FeatureRecord Ring(const std::vector<GeoPoint>& points, FeatureType type = FeatureType::Area) {
  FeatureRecord f(type, "Field");
  for (std::size_t i = 0; i < points.size(); ++i) {
    f.AddVertex({points[i].x + 100, points[i].y + 100}, points[i], static_cast<int>(i) * 10,
                "n" + std::to_string(i));
  }
  return f;
}

double Planar(const GeoPoint& a, const GeoPoint& b) { return std::hypot(a.x - b.x, a.y - b.y); }

// The working-datum points of a part, to compare with the expected ring.
std::vector<GeoPoint> Points(const FeatureRecord& f) { return f.vertices; }

const std::vector<GeoPoint> kSquare{{0, 0}, {2, 0}, {2, 2}, {0, 2}};
// An L: the long arm along the x axis, the short one up the y axis; area 4 + 2 = 6.
const std::vector<GeoPoint> kEll{{0, 0}, {4, 0}, {4, 1}, {1, 1}, {1, 3}, {0, 3}};

TEST(SplitByVertices, CutsFromTheFirstVertexToTheMiddleOne) {
  struct Case {
    std::vector<GeoPoint> ring;
    std::vector<GeoPoint> first, second;
    double area1, area2;
  };
  const Case cases[] = {
      {kSquare, {{0, 0}, {2, 0}, {2, 2}}, {{2, 2}, {0, 2}, {0, 0}}, 2.0, 2.0},
      {{{0, 0}, {2, 0}, {3, 2}, {1, 3}, {-1, 2}},
       {{0, 0}, {2, 0}, {3, 2}},
       {{3, 2}, {1, 3}, {-1, 2}, {0, 0}},
       2.0, 6.0},
      // Concave: the cut from (0,0) to the inner corner (1,1) stays inside the L.
      {kEll, {{0, 0}, {4, 0}, {4, 1}, {1, 1}}, {{1, 1}, {1, 3}, {0, 3}, {0, 0}}, 3.5, 2.5},
      {{{5, 5}}, {{5, 5}}, {{5, 5}, {5, 5}}, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    const SplitParts parts = SplitByVertices(Ring(c.ring));
    EXPECT_EQ(Points(parts.first), c.first);
    EXPECT_EQ(Points(parts.second), c.second);
    EXPECT_DOUBLE_EQ(std::fabs(ShoelaceArea(parts.first.vertices)), c.area1);
    EXPECT_DOUBLE_EQ(std::fabs(ShoelaceArea(parts.second.vertices)), c.area2);
    EXPECT_DOUBLE_EQ(c.area1 + c.area2, std::fabs(ShoelaceArea(c.ring)));
  }
}

TEST(SplitByVertices, PartsCarryEveryVertexValueAndTheirOwnLook) {
  const SplitParts parts = SplitByVertices(Ring(kSquare));
  const FeatureRecord& second = parts.second;  // vertices 2, 3, 0
  ASSERT_EQ(second.VertexCount(), 3u);
  EXPECT_EQ(second.wgs84Vertices[1], (GeoPoint{100, 102}));
  EXPECT_EQ(second.altitudesCm, (std::vector<std::int32_t>{20, 30, 0}));
  EXPECT_EQ(second.vertexNotes, (std::vector<std::string>{"n2", "n3", "n0"}));
  EXPECT_EQ(parts.first.name, "Field 1/2");
  EXPECT_EQ(second.name, "Field 2/2");
  EXPECT_EQ(parts.first.colour, 0x0000FF00u);  // green
  EXPECT_EQ(second.colour, 0x000000FFu);       // red
  EXPECT_EQ(parts.first.pattern, 0);
  EXPECT_EQ(parts.first.type, FeatureType::Area);
  EXPECT_EQ(parts.first.visible, 1);
  EXPECT_EQ(parts.first.editable, 1);
}

TEST(SplitByVertices, PartsOfAPartStayWithItsParentAndSubtractNothingMore) {
  FeatureRecord part = Ring(kSquare, FeatureType::Part);
  part.link = 3;
  const SplitParts parts = SplitByVertices(part);
  for (const FeatureRecord* p : {&parts.first, &parts.second}) {
    EXPECT_EQ(p->type, FeatureType::Part);
    EXPECT_EQ(p->link, 3);
    EXPECT_EQ(p->subtract, 0);
    EXPECT_NE(p->colour, 0u);
  }
  EXPECT_EQ(SplitByVertices(Ring({})).first.VertexCount(), 0u);
}

TEST(SplitByLine, TappedEndsBecomeVerticesOfBothParts) {
  const FeatureRecord square = Ring(kSquare);
  const TappedEnd a{{0.1, 0.1}, {100.1, 100.1}, "A"};
  const TappedEnd b{{1.9, 1.9}, {101.9, 101.9}, "B"};
  const int i1 = NearestVertex(square.vertices, a.working, Planar);
  const int i2 = NearestVertex(square.vertices, b.working, Planar);
  ASSERT_EQ(i1, 0);
  ASSERT_EQ(i2, 2);

  // The diagonal halves the square, whichever tap came first.
  for (bool swapped : {false, true}) {
    const SplitParts parts = swapped ? SplitByLine(square, i2, i1, b, a)
                                     : SplitByLine(square, i1, i2, a, b);
    EXPECT_DOUBLE_EQ(std::fabs(ShoelaceArea(parts.first.vertices)), 2.0);
    EXPECT_DOUBLE_EQ(std::fabs(ShoelaceArea(parts.second.vertices)), 2.0);
  }
  const SplitParts parts = SplitByLine(square, i1, i2, a, b);
  EXPECT_EQ(Points(parts.first),
            (std::vector<GeoPoint>{{1.9, 1.9}, {2, 2}, {0, 2}, {0, 0}, {0.1, 0.1}}));
  EXPECT_EQ(Points(parts.second),
            (std::vector<GeoPoint>{{0.1, 0.1}, {0, 0}, {2, 0}, {2, 2}, {1.9, 1.9}}));
  EXPECT_EQ(parts.second.vertexNotes.front(), "A");
  EXPECT_EQ(parts.second.vertexNotes.back(), "B");
  EXPECT_EQ(parts.second.altitudesCm.front(), 0);
  EXPECT_EQ(parts.second.wgs84Vertices.back(), (GeoPoint{101.9, 101.9}));
}

TEST(SplitByLine, BothEndsNearOneVertexAndTies) {
  const FeatureRecord square = Ring(kSquare);
  // (1, 0) is as far from vertex 0 as from vertex 1: the lower index wins.
  EXPECT_EQ(NearestVertex(square.vertices, {1, 0}, Planar), 0);
  EXPECT_EQ(NearestVertex({}, {1, 0}, Planar), -1);

  const TappedEnd a{{2.1, 0.1}, {}, "A"}, b{{1.9, -0.1}, {}, "B"};
  const SplitParts parts = SplitByLine(square, 1, 1, a, b);
  EXPECT_EQ(Points(parts.first),
            (std::vector<GeoPoint>{{2.1, 0.1}, {2, 0}, {2, 2}, {0, 2}, {0, 0}, {2, 0}, {1.9, -0.1}}));
  EXPECT_EQ(Points(parts.second), (std::vector<GeoPoint>{{1.9, -0.1}, {2, 0}, {2.1, 0.1}}));
  EXPECT_EQ(SplitByLine(square, 0, 4, a, b).first.VertexCount(), 0u);
}

TEST(SplitByLine, ConcaveRingWithALineOutsideStillAddsUpSigned) {
  // From near (4,0) to near (1,3): the line runs outside the L's inner corner.
  const FeatureRecord ell = Ring(kEll);
  const TappedEnd a{{3.9, 0.1}, {}, "A"}, b{{1, 2.9}, {}, "B"};
  const int i1 = NearestVertex(ell.vertices, a.working, Planar);
  const int i2 = NearestVertex(ell.vertices, b.working, Planar);
  ASSERT_EQ(i1, 1);
  ASSERT_EQ(i2, 4);
  const SplitParts parts = SplitByLine(ell, i1, i2, a, b);
  EXPECT_NEAR(ShoelaceArea(parts.first.vertices) + ShoelaceArea(parts.second.vertices),
              ShoelaceArea(kEll), 1e-12);
  EXPECT_EQ(parts.first.VertexCount() + parts.second.VertexCount(), ell.VertexCount() + 6);  // both ends twice, and i1, i2 in both
}

TEST(DividingLine, StepsHandOneVertexAcrossAndKeepTheWhole) {
  SplitParts parts = SplitByVertices(Ring(kSquare));  // [0,1,2] and [2,3,0]
  ASSERT_TRUE(MoveDividingLine(parts.first, parts.second, DividingLineStep::EndABackward));
  EXPECT_EQ(Points(parts.first), (std::vector<GeoPoint>{{0, 2}, {0, 0}, {2, 0}, {2, 2}}));
  EXPECT_EQ(Points(parts.second), (std::vector<GeoPoint>{{2, 2}, {0, 2}}));
  EXPECT_EQ(parts.first.vertexNotes.front(), "n3");
  ASSERT_TRUE(MoveDividingLine(parts.first, parts.second, DividingLineStep::EndAForward));
  EXPECT_EQ(Points(parts.first), (std::vector<GeoPoint>{{0, 0}, {2, 0}, {2, 2}}));
  EXPECT_EQ(Points(parts.second), (std::vector<GeoPoint>{{2, 2}, {0, 2}, {0, 0}}));
  ASSERT_TRUE(MoveDividingLine(parts.first, parts.second, DividingLineStep::EndBForward));
  EXPECT_EQ(Points(parts.first), (std::vector<GeoPoint>{{0, 0}, {2, 0}, {2, 2}, {0, 2}}));
  EXPECT_EQ(Points(parts.second), (std::vector<GeoPoint>{{0, 2}, {0, 0}}));
  ASSERT_TRUE(MoveDividingLine(parts.first, parts.second, DividingLineStep::EndBBackward));
  EXPECT_EQ(Points(parts.second), (std::vector<GeoPoint>{{2, 2}, {0, 2}, {0, 0}}));

  // A part of one vertex gives nothing away.
  SplitParts single = SplitByVertices(Ring({{5, 5}}));
  EXPECT_FALSE(MoveDividingLine(single.first, single.second, DividingLineStep::EndAForward));
  EXPECT_FALSE(MoveDividingLine(single.first, single.second, DividingLineStep::EndBBackward));
  EXPECT_EQ(single.first.VertexCount(), 1u);
}

TEST(DividingLine, AnySeriesOfStepsOnRandomRingsKeepsTheSignedAreaOfTheWhole) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> coordinate(-50, 50);
  std::uniform_int_distribution<int> stepOf(0, 3), sizeOf(3, 12);
  double worst = 0;
  for (int round = 0; round < 200; ++round) {
    std::vector<GeoPoint> ring(sizeOf(random));
    for (GeoPoint& p : ring) p = {coordinate(random), coordinate(random)};
    SplitParts parts = SplitByVertices(Ring(ring));
    const std::size_t vertices = parts.first.VertexCount() + parts.second.VertexCount();
    for (int press = 0; press < 20; ++press) {
      MoveDividingLine(parts.first, parts.second, static_cast<DividingLineStep>(stepOf(random)));
      ASSERT_EQ(parts.first.VertexCount() + parts.second.VertexCount(), vertices);
      // Each part still runs from one end of the line to the other.
      ASSERT_EQ(parts.first.vertices.front(), parts.second.vertices.back());
      ASSERT_EQ(parts.first.vertices.back(), parts.second.vertices.front());
      const double sum = ShoelaceArea(parts.first.vertices) + ShoelaceArea(parts.second.vertices);
      worst = std::max(worst, std::fabs(sum - ShoelaceArea(ring)));
    }
  }
  EXPECT_LT(worst, 1e-9);
}

}  // namespace
