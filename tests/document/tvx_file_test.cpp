#include "document/tvx_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/document/tvx_test_files.h"

namespace {

using tvxtest::LegacyFile;
using tvxtest::TvxBuilder;

void ExpectSameFeature(const FeatureRecord& a, const FeatureRecord& b) {
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.type, b.type);
  EXPECT_EQ(a.colour, b.colour);
  EXPECT_EQ(a.pattern, b.pattern);
  EXPECT_EQ(a.visible, b.visible);
  EXPECT_EQ(a.editable, b.editable);
  EXPECT_EQ(a.link, b.link);
  EXPECT_EQ(a.subtract, b.subtract);
  EXPECT_EQ(a.vertices, b.vertices);
  EXPECT_EQ(a.wgs84Vertices, b.wgs84Vertices);
  EXPECT_EQ(a.altitudesCm, b.altitudesCm);
  EXPECT_EQ(a.vertexNotes, b.vertexNotes);
}

void ExpectSameContent(const DocumentContent& a, const DocumentContent& b) {
  ASSERT_EQ(a.features.size(), b.features.size());
  for (std::size_t i = 0; i < a.features.size(); ++i) {
    SCOPED_TRACE("feature " + std::to_string(i));
    ExpectSameFeature(a.features[i], b.features[i]);
  }
  EXPECT_EQ(a.kind52Index, b.kind52Index);
  ASSERT_EQ(a.waypoints.size(), b.waypoints.size());
  for (std::size_t i = 0; i < a.waypoints.size(); ++i) {
    const WaypointRecord& p = a.waypoints[i];
    const WaypointRecord& q = b.waypoints[i];
    EXPECT_EQ(p.name, q.name);
    EXPECT_EQ(p.x, q.x);
    EXPECT_EQ(p.y, q.y);
    EXPECT_EQ(p.altitudeCm, q.altitudeCm);
    EXPECT_EQ(p.timeStamp, q.timeStamp);
    EXPECT_EQ(p.symbol, q.symbol);
    EXPECT_EQ(p.zone, q.zone);
  }
  EXPECT_EQ(a.waypointNotes, b.waypointNotes);
}

// A document with every feature type, a part, notes, vertex notes, time-stamped waypoints
// with symbols, and names outside ASCII (including a character beyond the 16-bit plane).
DocumentContent RichDocument() {
  DocumentContent doc;
  const FeatureType types[] = {FeatureType::Area, FeatureType::Line, FeatureType::CircleLine,
                               FeatureType::Circle, FeatureType::Part};
  const char* names[] = {"Parcela Nº 3 – Peñíscola", "Camino 北 \xF0\x9F\x8C\xB2", "", "Círculo",
                         "Era"};
  int k = 0;
  for (FeatureType t : types) {
    FeatureRecord& f = doc.AddFeature(t, names[k], 3 + k, 0x00102030u + k);
    f.visible = k % 2;
    f.editable = (k + 1) % 2;
    for (int i = 0; i < 3 + k; ++i) {
      const GeoPoint p{-3.7 + 0.001 * i + k, 40.4 + 0.0007 * i};
      f.AddVertex(p, p, 65000 + i - 100 * k,
                  i == 1 ? "ÁrbolX" : i == 2 ? "Esquina del muro norte, junto al pozo" : "");
    }
    ++k;
  }
  doc.features.back().link = 0;  // the part belongs to the first area
  doc.features.back().subtract = 0;
  for (int i = 0; i < 3; ++i) {
    doc.waypoints.push_back(WaypointRecord::FromFile(i == 2 ? "Fuente ñ" : "WP" + std::to_string(i),
                                                     31, 0, 0, 0, 1200 * i, -3.5 + i, 40.25, 1200000000 + i,
                                                     i * 7 % 24));
    doc.waypointNotes.push_back(i == 1 ? "Nota con acentos: é à ü" : "");
  }
  return doc;
}

// A content whose every field differs from what the tests' files hold, to see that a
// refused load leaves it alone.
DocumentContent Sentinel() {
  DocumentContent doc;
  doc.AddFeature(FeatureType::Line, "keep").AddVertex({1, 2}, {1, 2}, 3, "k");
  doc.AddFeature(FeatureType::Part, "part");
  doc.waypoints.push_back(WaypointRecord::FromFile("w", 30, 0, 0, 0, 5, 6, 7, 8, 9));
  doc.waypointNotes.push_back("note");
  return doc;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

TEST(TvxWriteTest, MinimalDocumentIsFiveBlocks) {
  DocumentContent doc;
  doc.AddFeature(FeatureType::Area, "");
  const std::string file = WriteTvxFile(doc);

  std::string expected = Bytes({'*', 'T', 'V', 'X', '*', 0, 13, 0, 0, 0, 64, 0, 0, 0});
  expected.resize(64, '\0');
  expected += Bytes({0xE8, 3, 0, 0, 0xE8, 3, 0, 0});
  expected.resize(128, '\0');
  expected += Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0});
  expected.resize(192, '\0');
  // type 5, colour 255, one name, no vertices, pattern 5, visible, editable, link 0,
  // subtract 1
  expected += Bytes({5, 0, 0, 0, 255, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 5, 1, 1, 0, 0, 0, 0, 1,
                     0, 0, 0});
  expected.resize(256, '\0');
  expected += Bytes({1, 0xFF, 0xFE, 0xFF, 0});
  expected.resize(320, '\0');
  EXPECT_EQ(file, expected);

  // A name of n characters lengthens its record by 2n bytes.
  doc.features[0].name = "abc";
  const std::string named = WriteTvxFile(doc);
  ASSERT_EQ(named.size(), 320u + 6);
  EXPECT_EQ(named.substr(256, 11), Bytes({1, 0xFF, 0xFE, 0xFF, 3, 'a', 0, 'b', 0, 'c', 0}));
}

TEST(TvxWriteTest, StringLengthForms) {
  struct Case {
    std::size_t length;
    std::string form;  // the length bytes after the prefix FF FE FF
  };
  const Case cases[] = {
      {254, Bytes({0xFE})},
      {255, Bytes({0xFF, 0xFF, 0x00})},
      {0xFFFD, Bytes({0xFF, 0xFD, 0xFF})},
      {0xFFFE, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    DocumentContent doc;
    // Alternate a two-byte UTF-8 character so the conversion is exercised too: one
    // UTF-16 unit each.
    std::string name;
    for (std::size_t i = 0; i < c.length; ++i) name += (i % 2) ? "ñ" : "a";
    doc.AddFeature(FeatureType::Area, name);
    const std::string file = WriteTvxFile(doc);
    ASSERT_EQ(file.size(), 320 + 2 * c.length + c.form.size() - 1);
    EXPECT_EQ(file.substr(256, 4 + c.form.size()), Bytes({1, 0xFF, 0xFE, 0xFF}) + c.form);
    EXPECT_EQ(file.substr(260 + c.form.size(), 4), Bytes({'a', 0, 0xF1, 0}));

    DocumentContent back;
    TvxFileError error;
    ASSERT_TRUE(ReadTvxFile(file, back, error)) << error.text;
    EXPECT_EQ(back.features.at(0).name, name);
  }
}

TEST(TvxRoundTripTest, EveryRecordSurvivesWriteAndRead) {
  const DocumentContent doc = RichDocument();
  DocumentContent back;
  TvxFileError error;
  TvxLoadInfo info;
  ASSERT_TRUE(ReadTvxFile(WriteTvxFile(doc), back, error, {}, &info)) << error.text;
  ExpectSameContent(back, doc);
  EXPECT_EQ(back.kind52Index, std::vector<int>{4});
  EXPECT_EQ(info.version, 13u);
  EXPECT_EQ(info.blockSize, 64u);
  ASSERT_TRUE(info.lastVertexWgs84.has_value());
  EXPECT_EQ(*info.lastVertexWgs84, doc.features.back().wgs84Vertices.back());
  for (const WaypointRecord& w : back.waypoints) {
    EXPECT_EQ(w.zone, 31);
    EXPECT_EQ(w.south, 0);
    EXPECT_EQ(w.easting, 0.0);
  }
}

TEST(TvxRoundTripTest, DatumConvertsWaypointsAndWorkingVertices) {
  // A stand-in datum shift: the working datum is WGS84 moved by a fixed offset.
  DatumConversion datum;
  datum.toWorking = [](double& x, double& y) { x += 0.25, y -= 0.125; };
  datum.toWgs84 = [](double& x, double& y) { x -= 0.25, y += 0.125; };
  DocumentContent doc;
  doc.AddFeature(FeatureType::Line, "l").AddVertex({1.0, 2.0}, {1.25, 1.875}, 0);
  doc.waypoints.push_back(WaypointRecord::FromFile("w", 31, 0, 0, 0, 0, 3.25, 39.875, 0, 0));
  doc.waypointNotes.emplace_back();

  const std::string file = WriteTvxFile(doc, &datum);
  DocumentContent plain;
  TvxFileError error;
  ASSERT_TRUE(ReadTvxFile(file, plain, error)) << error.text;
  EXPECT_EQ(plain.waypoints[0].x, 3.0);  // stored in WGS84
  EXPECT_EQ(plain.waypoints[0].y, 40.0);
  EXPECT_EQ(plain.features[0].vertices[0], (GeoPoint{1.0, 2.0}));

  DocumentContent back;
  TvxLoadSettings settings;
  settings.datum = &datum;
  ASSERT_TRUE(ReadTvxFile(file, back, error, settings)) << error.text;
  ExpectSameContent(back, doc);
}

TEST(TvxLegacyTest, OldLayoutsReadCorrectly) {
  for (std::uint32_t version : {2u, 11u, 12u}) {
    SCOPED_TRACE(version);
    DocumentContent doc;
    TvxFileError error;
    TvxLoadInfo info;
    ASSERT_TRUE(ReadTvxFile(LegacyFile(version), doc, error, {}, &info)) << error.text;
    EXPECT_EQ(info.version, version);
    ASSERT_EQ(doc.features.size(), 1u);
    const FeatureRecord& f = doc.features[0];
    EXPECT_EQ(f.name, "Campo");
    EXPECT_EQ(f.type, FeatureType::Area);
    EXPECT_EQ(f.colour, 0x00FF00u);
    EXPECT_EQ(f.pattern, 3);
    EXPECT_EQ(f.editable, 0);
    EXPECT_EQ(f.link, 0);
    EXPECT_EQ(f.subtract, 0);
    ASSERT_EQ(f.VertexCount(), 2u);
    EXPECT_EQ(f.wgs84Vertices[0], (GeoPoint{1.0, 40.5}));  // 3 600 000 mas = 1 degree
    EXPECT_EQ(f.wgs84Vertices[1], (GeoPoint{-2.25, 41.0}));
    EXPECT_EQ(f.vertices, f.wgs84Vertices);
    EXPECT_EQ(f.altitudesCm, (std::vector<std::int32_t>{12345, -200}));
    const std::vector<std::string> notes = version < 3    ? std::vector<std::string>{"", ""}
                                           : version < 12 ? std::vector<std::string>{"abcdef", "n2"}
                                                          : std::vector<std::string>{"", "n2"};
    EXPECT_EQ(f.vertexNotes, notes);
    ASSERT_EQ(doc.waypoints.size(), 1u);
    EXPECT_EQ(doc.waypoints[0].name, "Fuente");
    EXPECT_EQ(doc.waypoints[0].x, 2.5);
    EXPECT_EQ(doc.waypoints[0].y, 39.75);
    EXPECT_EQ(doc.waypoints[0].altitudeCm, 9900);
    EXPECT_EQ(doc.waypoints[0].timeStamp, 1000000000);
    EXPECT_EQ(doc.waypoints[0].symbol, 7);
    EXPECT_EQ(doc.waypointNotes, std::vector<std::string>{"Pozo"});
  }
}

TEST(TvxLegacyTest, SingleByteTextIsWindows1252AndCutToItsLimit) {
  TvxBuilder b(11, 64);
  b.Counts(1, 0, 0, 2);
  b.Note({}, std::string(200, 'n'));
  b.ObjectHeader(3, 0, 1, 1);
  b.Name({}, std::string(40, 'x'));
  b.Vertex(0, 0, 0, {}, "\xF1\x80");
  b.ObjectHeader(1, 0, 1, 1);
  b.Name({}, "Ca\xF1" "a \x80");
  b.WaypointPoint(0, 0, 0, 0);
  DocumentContent doc;
  TvxFileError error;
  ASSERT_TRUE(ReadTvxFile(b.bytes, doc, error)) << error.text;
  EXPECT_EQ(doc.waypointNotes.at(0), std::string(159, 'n'));
  EXPECT_EQ(doc.features.at(0).name, std::string(31, 'x'));
  EXPECT_EQ(doc.features[0].vertexNotes.at(0), "ñ€");
  EXPECT_EQ(doc.waypoints.at(0).name, "Caña €");
}

// Strings without the UTF-16 mark are single-byte text with the same length prefix; the
// padding after them is the same, so each such record is 3 bytes shorter than a block when
// its text is empty.
TEST(TvxReadTest, SingleByteStringsInTheUtf16Layout) {
  constexpr std::uint32_t B = 64;
  TvxBuilder b(12, B);
  b.Counts(1, 0, 0, 2);
  b.U8(2), b.Raw("a\xF1"), b.Zeros(B - 4);  // note "añ"
  b.ObjectHeader(1, 0, 1, 1);
  b.Name(u"w");
  b.WaypointPoint(0, 1, 2, 0);
  b.ObjectHeader(3, 0, 1, 3);
  b.U8(1), b.U8(4), b.Raw("Camp"), b.Zeros(B - 5);
  for (int i = 0; i < 3; ++i) {
    b.U16(1), b.U32(0), b.F64(i), b.F64(40), b.I32(i);
    if (i == 1) {
      b.U8(2), b.Raw("n1");
    } else {
      b.U8(0);
    }
    b.Zeros(B - 30);
  }
  // Header blocks, note, waypoint (header, name of one unit, point), feature header, its
  // name of four bytes, three vertices.
  ASSERT_EQ(b.bytes.size(), 3 * B + (B - 1) + B + (B + 2) + B + B + (B + 1) + (B - 3) +
                                (B - 1) + (B - 3));
  DocumentContent doc;
  TvxFileError error;
  ASSERT_TRUE(ReadTvxFile(b.bytes, doc, error)) << error.text;
  EXPECT_EQ(doc.waypointNotes, std::vector<std::string>{"añ"});
  ASSERT_EQ(doc.features.size(), 1u);
  EXPECT_EQ(doc.features[0].name, "Camp");
  EXPECT_EQ(doc.features[0].vertexNotes, (std::vector<std::string>{"", "n1", ""}));
  EXPECT_EQ(doc.features[0].wgs84Vertices.at(2), (GeoPoint{2, 40}));
}

TEST(TvxReadTest, MarkerIsJudgedByBytesOneAndThree) {
  struct Case {
    std::string marker;
    bool accepted;
  };
  const Case cases[] = {{"*TVX*", true}, {"*DOC*", true}, {"xxxXx", true}, {"ABCTE", true},
                        {"*ABC*", false}, {"TVX**", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.marker);
    TvxBuilder b(13, 64, c.marker);
    b.Counts(0, 0, 0, 0);
    DocumentContent doc = Sentinel();
    TvxFileError error;
    EXPECT_EQ(ReadTvxFile(b.bytes, doc, error), c.accepted);
    if (!c.accepted) {
      EXPECT_EQ(error.stringId, kStringUnknownFile);
      EXPECT_EQ(error.text, "Error: Archivo desconocido");
      ExpectSameContent(doc, Sentinel());
    }
  }
}

TEST(TvxReadTest, NotesAlwaysMatchWaypoints) {
  for (std::uint32_t noteCount : {0u, 1u, 3u, 5u}) {
    SCOPED_TRACE(noteCount);
    TvxBuilder b(13, 64);
    b.Counts(noteCount, 0, 0, 3);
    for (std::uint32_t i = 0; i < noteCount; ++i) b.Note(i == 0 ? u"first" : u"more");
    for (int i = 0; i < 3; ++i) {
      b.ObjectHeader(1, 0, 1, 1);
      b.Name(u"w");
      b.WaypointPoint(0, i, i, 0);
    }
    DocumentContent doc;
    TvxFileError error;
    TvxLoadSettings settings;
    settings.emptyFeature = FeatureRecord(FeatureType::Line, "Sin nombre", 2, 99);
    ASSERT_TRUE(ReadTvxFile(b.bytes, doc, error, settings)) << error.text;
    ASSERT_EQ(doc.waypointNotes.size(), 3u);
    EXPECT_EQ(doc.waypointNotes[0], noteCount > 0 ? "first" : "");
    EXPECT_EQ(doc.waypointNotes[2], noteCount >= 3 ? "more" : "");
    // No features in the file: the preferred empty feature stands in.
    ASSERT_EQ(doc.features.size(), 1u);
    EXPECT_EQ(doc.features[0].type, FeatureType::Line);
    EXPECT_EQ(doc.features[0].name, "Sin nombre");
    EXPECT_EQ(doc.features[0].colour, 99u);
  }
}

// Vertices and waypoints whose positions name no place (NaN, 1e300, a projected position
// stored as degrees) are left out and counted; each remaining waypoint keeps its own note, and
// a feature keeps its place in the list (parts name their parent by it).
TEST(TvxReadTest, PositionsThatNameNoPlaceAreLeftOutAndCounted) {
  const double nan = std::nan("");
  DocumentContent doc;
  FeatureRecord& area = doc.AddFeature(FeatureType::Area, "a");
  for (const GeoPoint& p : {GeoPoint{-3.7, 40.4}, GeoPoint{nan, 40.4}, GeoPoint{440000, 4472000},
                            GeoPoint{-3.69, 40.41}}) {
    area.AddVertex(p, p, 7, "n");
  }
  doc.AddFeature(FeatureType::Line, "gone").AddVertex({1e300, 0}, {1e300, 0}, 0);
  FeatureRecord& part = doc.AddFeature(FeatureType::Part, "p");
  part.link = 0;
  part.AddVertex({-3.7, 40.41}, {-3.7, 40.41}, 0);
  for (const auto& [x, y, name] : {std::tuple{-3.5, 40.25, "w0"}, std::tuple{1e300, 0.0, "w1"},
                                    std::tuple{-3.6, 95.0, "w2"}, std::tuple{-3.4, 40.0, "w3"}}) {
    doc.waypoints.push_back(WaypointRecord::FromFile(name, 31, 0, 0, 0, 0, x, y, 0, 0));
    doc.waypointNotes.push_back(std::string("note ") + name);
  }
  DocumentContent back;
  TvxFileError error;
  TvxLoadInfo info;
  ASSERT_TRUE(ReadTvxFile(WriteTvxFile(doc), back, error, {}, &info)) << error.text;
  EXPECT_EQ(info.positionsLeftOut, 5u);
  ASSERT_EQ(back.features.size(), 3u);
  EXPECT_EQ(back.features[0].wgs84Vertices,
            (std::vector<GeoPoint>{{-3.7, 40.4}, {-3.69, 40.41}}));
  EXPECT_EQ(back.features[0].vertexNotes.size(), 2u);
  EXPECT_EQ(back.features[1].VertexCount(), 0u);
  EXPECT_EQ(back.features[2].type, FeatureType::Part);
  EXPECT_EQ(back.features[2].link, 0);
  ASSERT_EQ(back.waypoints.size(), 2u);
  EXPECT_EQ(back.waypoints[0].name, "w0");
  EXPECT_EQ(back.waypoints[1].name, "w3");
  EXPECT_EQ(back.waypointNotes, (std::vector<std::string>{"note w0", "note w3"}));
  ASSERT_TRUE(info.lastVertexWgs84.has_value());
  EXPECT_EQ(*info.lastVertexWgs84, (GeoPoint{-3.7, 40.41}));

  // A datum conversion that cannot place a point leaves it out too.
  DatumConversion datum;
  datum.toWorking = [](double& x, double& y) {
    if (y > 40.405) x = std::nan("");
  };
  datum.toWgs84 = [](double&, double&) {};
  TvxLoadSettings settings;
  settings.datum = &datum;
  DocumentContent shifted;
  ASSERT_TRUE(ReadTvxFile(WriteTvxFile(back), shifted, error, settings, &info)) << error.text;
  EXPECT_EQ(info.positionsLeftOut, 2u);  // the vertex at 40.41 and the part's
  EXPECT_EQ(shifted.features[0].VertexCount(), 1u);
}

TEST(TvxReadTest, BlockSizeOf32IsTheSmallestRead) {
  for (std::uint32_t version : {2u, 11u, 12u}) {
    DocumentContent doc;
    TvxFileError error;
    EXPECT_TRUE(ReadTvxFile(LegacyFile(version, 32), doc, error)) << version << error.text;
  }
  TvxBuilder b(13, 32);
  b.Counts(0, 0, 0, 1);
  b.ObjectHeader(52, 0, 1, 1, 0, 1, 1, 0, 1);
  b.Name(u"p");
  b.Vertex(1, 2, 3);
  DocumentContent doc;
  TvxFileError error;
  ASSERT_TRUE(ReadTvxFile(b.bytes, doc, error)) << error.text;
  EXPECT_EQ(doc.features.at(0).wgs84Vertices.at(0), (GeoPoint{1, 2}));
}

// Every malformed file is refused with a message and leaves the content untouched.
TEST(TvxHostileTest, DamagedFilesAreRefusedAndChangeNothing) {
  struct Damaged {
    std::string what;
    std::string bytes;
    std::string reason;  // a fragment of the expected message
  };
  std::vector<Damaged> files;
  const std::string good = WriteTvxFile(RichDocument());
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    // Every block boundary, and every byte of the first blocks and of the first vertex.
    if (cut % 64 == 0 || cut < 200 || (cut > 380 && cut < 480)) {
      files.push_back({"cut at " + std::to_string(cut), good.substr(0, cut), ""});
    }
  }
  for (std::uint32_t block : {0u, 8u, 31u}) {
    TvxBuilder b(13, block);
    b.Counts(0, 0, 0, 0);
    files.push_back({"block " + std::to_string(block), b.bytes, "block size"});
  }
  for (int which = 0; which < 4; ++which) {
    std::uint32_t counts[4] = {0, 0, 0, 1};
    counts[which] = 0xFFFFFFFF;
    TvxBuilder b(13, 64);
    b.Counts(counts[0], counts[1], counts[2], counts[3]);
    b.ObjectHeader(5, 0, 1, 0);
    b.Name(u"a");
    files.push_back({"count " + std::to_string(which), b.bytes, "more records"});
  }
  for (int which = 0; which < 2; ++which) {
    TvxBuilder b(13, 64);
    b.Counts(0, 0, 0, 1);
    b.ObjectHeader(5, 0, which == 0 ? 0xFFFFFFFF : 1, which == 1 ? 0xFFFFFFFF : 1);
    b.Name(u"a");
    b.Vertex(0, 0, 0);
    files.push_back({"object count " + std::to_string(which), b.bytes, "more records"});
  }
  {
    TvxBuilder b(13, 64);
    b.Counts(0, 0, 0, 2);
    b.ObjectHeader(7, 0, 1, 1);
    b.Name(u"?");
    b.Vertex(0, 0, 0);
    b.ObjectHeader(5, 0, 1, 0);
    b.Name(u"a");
    files.push_back({"unknown type with vertices", b.bytes, "unknown type"});
  }
  {
    TvxBuilder b(13, 64);
    b.Counts(1, 0, 0, 0);
    b.U8(0xFF), b.U16(0xFFFE), b.U8(0xFF), b.U16(0xFFFF), b.U32(0x7FFFFFFF);
    b.Zeros(200);
    files.push_back({"string longer than the file", b.bytes, "ends before"});
  }
  {
    TvxBuilder b(11, 40);
    b.Counts(0, 0, 0, 1);
    b.ObjectHeader(5, 0, 1, 0);
    b.U8(1), b.U8(39), b.Zeros(39);  // a name that overruns its 40-byte record
    b.Zeros(80);
    files.push_back({"legacy name longer than its record", b.bytes, "longer than its record"});
  }

  for (const auto& [what, bytes, reason] : files) {
    SCOPED_TRACE(what);
    for (bool append : {false, true}) {
      DocumentContent doc = Sentinel();
      TvxFileError error;
      const bool ok = append ? AppendTvxFile(bytes, doc, error) : ReadTvxFile(bytes, doc, error);
      EXPECT_FALSE(ok);
      EXPECT_FALSE(error.text.empty());
      EXPECT_NE(error.text.find(reason), std::string::npos) << error.text;
      ExpectSameContent(doc, Sentinel());
    }
  }
}

TEST(TvxHostileTest, HarmlessOddFieldsAreTolerated) {
  TvxBuilder b(14, 64);  // a later version reads as 13
  b.Counts(0, 1, 1, 3);
  b.ReservedBlock();
  b.ReservedBlock();
  b.ObjectHeader(7, 0, 1, 0);  // unknown type without vertices: dropped
  b.Name(u"?");
  b.ObjectHeader(1, 4, 2, 0xFFFFFFFF);  // a waypoint has one point whatever the count
  b.Name(u"old");
  b.Name(u"new");
  b.WaypointPoint(5, 1, 2, 3);
  b.ObjectHeader(3, 0, 0, 0);  // no name record
  DocumentContent doc;
  TvxFileError error;
  ASSERT_TRUE(ReadTvxFile(b.bytes, doc, error)) << error.text;
  ASSERT_EQ(doc.waypoints.size(), 1u);
  EXPECT_EQ(doc.waypoints[0].name, "new");
  EXPECT_EQ(doc.waypoints[0].symbol, 4);
  ASSERT_EQ(doc.features.size(), 1u);
  EXPECT_EQ(doc.features[0].type, FeatureType::Line);
  EXPECT_EQ(doc.features[0].name, "");
}

TEST(TvxAppendTest, ImportKeepsOrReplacesAndPartsKeepTheirParent) {
  DocumentContent file;
  file.AddFeature(FeatureType::Area, "parent").AddVertex({1, 1}, {1, 1}, 0);
  file.AddFeature(FeatureType::Part, "part").link = 0;
  file.waypoints.push_back(WaypointRecord::FromFile("fw", 31, 0, 0, 0, 0, 1, 1, 0, 0));
  file.waypointNotes.push_back("fn");
  const std::string bytes = WriteTvxFile(file);

  struct Case {
    const char* what;
    int existingFeatures;  // 1 = only the initial empty feature
    std::vector<std::string> names;
    std::vector<int> parts;
  };
  const Case cases[] = {
      {"lone empty feature is replaced", 1, {"parent", "part"}, {1}},
      {"two features are kept", 2, {"e0", "e1", "parent", "part"}, {3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DocumentContent doc;
    for (int i = 0; i < c.existingFeatures; ++i) {
      FeatureRecord& f = doc.AddFeature(FeatureType::Area, "e" + std::to_string(i));
      if (c.existingFeatures > 1) f.AddVertex({0, 0}, {0, 0}, 0);
    }
    doc.waypoints.push_back(WaypointRecord::FromFile("dw", 31, 0, 0, 0, 0, 0, 0, 0, 0));
    doc.waypointNotes.push_back("dn");
    TvxFileError error;
    TvxLoadInfo info;
    ASSERT_TRUE(AppendTvxFile(bytes, doc, error, {}, &info)) << error.text;
    std::vector<std::string> names;
    for (const FeatureRecord& f : doc.features) names.push_back(f.name);
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(doc.kind52Index, c.parts);
    const FeatureRecord& part = doc.features.at(c.parts.at(0));
    EXPECT_EQ(doc.features.at(part.link).name, "parent");
    EXPECT_EQ(info.firstNewFeature, c.names.size() - 2);
    ASSERT_EQ(doc.waypoints.size(), 2u);
    EXPECT_EQ(doc.waypoints[1].name, "fw");
    EXPECT_EQ(doc.waypointNotes, (std::vector<std::string>{"dn", "fn"}));
  }

  // A file without objects leaves the initial empty feature; an open replaces features.
  TvxBuilder empty(13, 64);
  empty.Counts(0, 0, 0, 0);
  DocumentContent doc;
  doc.AddFeature(FeatureType::Area, "initial");
  TvxFileError error;
  ASSERT_TRUE(AppendTvxFile(empty.bytes, doc, error)) << error.text;
  ASSERT_EQ(doc.features.size(), 1u);
  EXPECT_EQ(doc.features[0].name, "initial");
  DocumentContent opened = Sentinel();
  ASSERT_TRUE(ReadTvxFile(bytes, opened, error)) << error.text;
  ASSERT_EQ(opened.features.size(), 2u);
  EXPECT_EQ(opened.features[1].link, 0);
  EXPECT_EQ(opened.waypoints.size(), 2u);  // an open adds to the waypoints it finds
  EXPECT_EQ(opened.waypointNotes.size(), 2u);
}

class TvxSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tvx_save_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::filesystem::path dir_;
};

TEST_F(TvxSaveTest, SaveReplacesTheFileWhole) {
  const std::string path = (dir_ / "campo.tvx").string();
  std::string error;
  ASSERT_TRUE(SaveTvxFileAtomically(path, Sentinel(), error)) << error;
  const DocumentContent doc = RichDocument();
  ASSERT_TRUE(SaveTvxFileAtomically(path, doc, error)) << error;
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes, error)) << error;
  EXPECT_EQ(bytes, WriteTvxFile(doc));
  EXPECT_EQ(Listing(), std::vector<std::string>{"campo.tvx"});
}

TEST_F(TvxSaveTest, FailedSaveLeavesTheOldFileAndSaysSo) {
  // The destination is a folder: the rename fails after the data were written.
  std::filesystem::create_directory(dir_ / "busy.tvx");
  std::ofstream(dir_ / "busy.tvx" / "inside") << "x";
  std::string error;
  EXPECT_FALSE(SaveTvxFileAtomically((dir_ / "busy.tvx").string(), RichDocument(), error));
  EXPECT_NE(error.find("unchanged"), std::string::npos) << error;
  EXPECT_EQ(Listing(), std::vector<std::string>{"busy.tvx"});

  error.clear();
  EXPECT_FALSE(SaveTvxFileAtomically((dir_ / "missing" / "a.tvx").string(), Sentinel(), error));
  EXPECT_FALSE(error.empty());
  std::string bytes;
  EXPECT_FALSE(ReadFileBytes((dir_ / "none.tvx").string(), bytes, error));
}

// The fuzz target's seed files: small valid files of several versions. They are
// regenerated with TVX_WRITE_FUZZ_SEEDS=1 and must always load.
TEST(TvxFuzzSeedsTest, SeedFilesLoad) {
  DocumentContent minimal;
  minimal.AddFeature(FeatureType::Area, "");
  TvxBuilder oldest(1, 64, "ADxTx");
  oldest.Counts(0, 0, 0, 1);
  oldest.ObjectHeader(3, 0, 1, 1);
  oldest.Name({}, "L");
  oldest.Vertex(0.5, 0.25, 7);
  const std::pair<const char*, std::string> seeds[] = {
      {"v13_minimal.tvx", WriteTvxFile(minimal)},
      {"v13_rich.tvx", WriteTvxFile(RichDocument())},
      {"v12.tvx", LegacyFile(12)},
      {"v12_block32.tvx", LegacyFile(12, 32)},
      {"v11.tvx", LegacyFile(11)},
      {"v2.tvx", LegacyFile(2)},
      {"v1_oldest_marker.tvx", oldest.bytes},
  };
  const std::filesystem::path folder =
      std::filesystem::path(TVX_SOURCE_DIR) / "tests/fuzz/corpus/fuzz_tvx_file";
  const bool write = std::getenv("TVX_WRITE_FUZZ_SEEDS") != nullptr;
  for (const auto& [name, bytes] : seeds) {
    SCOPED_TRACE(name);
    const std::string path = (folder / name).string();
    if (write) std::ofstream(path, std::ios::binary) << bytes;
    std::string stored;
    std::string why;
    ASSERT_TRUE(ReadFileBytes(path, stored, why)) << why;
    EXPECT_EQ(stored, bytes);
    DocumentContent doc;
    TvxFileError error;
    EXPECT_TRUE(ReadTvxFile(stored, doc, error)) << error.text;
  }
}

}  // namespace
