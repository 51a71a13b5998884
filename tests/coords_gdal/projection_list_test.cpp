#include <gtest/gtest.h>

#include <cmath>

#include "coords/projection_methods.h"
#include "coords/projection_record.h"
#include "coords/record_io.h"
#include "tests/coords_gdal/test_support.h"

namespace {

ProjectionRecord Record(ProjectionKind kind, double p1) {
  ProjectionRecord r;
  r.kind = static_cast<std::uint8_t>(kind);
  r.p[0] = p1;
  return r;
}

}  // namespace

TEST(ProjectionList, StoringAgainReplacesOneOlderEntryWhateverItsCase) {
  ScratchFolder dir;
  const auto file = dir.path() / kProjectionFileName;
  ProjectionList list;
  list.Store(Record(ProjectionKind::LambertConformalConic2SP, 1), u"lambert");
  list.Store(Record(ProjectionKind::Mollweide, 2), u"Ñandú");
  list.Store(Record(ProjectionKind::LambertConformalConic2SP, 3), u"Lambert");
  list.Store(Record(ProjectionKind::Bonne, 4), u"ñANDÚ");
  ASSERT_TRUE(list.Save(file));

  ProjectionList read;
  const auto loaded = read.Load(file);
  EXPECT_TRUE(loaded.fileFound);
  EXPECT_EQ(read.Names(), (std::vector<std::string>{"ñANDÚ", "Lambert"}));
  EXPECT_EQ(read.Records()[1].p[0], 3);
  EXPECT_EQ(ReadNewestProjection(file).record, read.Records()[0]);

  // Only the first older duplicate goes (a file written elsewhere may hold two).
  std::vector<std::uint8_t> two(2 * kProjectionRecordSize, 0);
  for (std::size_t k = 0; k < 2; ++k) {
    ProjectionRecord a = Record(ProjectionKind::Robinson, double(k + 1));
    a.SetName(std::u16string(u"A"));
    EncodeProjectionRecord(a, std::span<std::uint8_t, kProjectionRecordSize>(
                                  two.data() + k * kProjectionRecordSize, kProjectionRecordSize));
  }
  WriteBytes(file, two);
  ProjectionList twice;
  twice.Load(file);
  twice.Store(Record(ProjectionKind::Robinson, 3), u"a");
  ASSERT_EQ(twice.Records().size(), 2u);
  EXPECT_EQ(twice.Records()[0].Name(), "a");
  EXPECT_EQ(twice.Records()[1].p[0], 2);
  EXPECT_FALSE(twice.Remove(5));
}

TEST(ProjectionList, LongNameFillsTheFieldWithoutTerminator) {
  ProjectionList list;
  list.Store(Record(ProjectionKind::Krovak, 0), u"Sistema de coordenadas del norte 1234");  // 37
  const ProjectionRecord& r = list.Records()[0];
  EXPECT_EQ(r.Name(), "Sistema de coordenadas del nor");
  std::array<std::uint8_t, kProjectionRecordSize> bytes{};
  EncodeProjectionRecord(r, bytes);
  for (std::size_t k = 64; k < 124; k += 2) EXPECT_NE(ReadLeUint16(bytes, k), 0) << k;
  EXPECT_EQ(bytes[126], 15);
  EXPECT_EQ(DecodeProjectionRecord(bytes), r);
}

TEST(ProjectionList, BadFileContentIsLeftOutAndAFailedSaveKeepsTheOldFile) {
  ScratchFolder dir;
  const auto file = dir.path() / kProjectionFileName;
  EXPECT_FALSE(ReadNewestProjection(file).fileFound);
  EXPECT_FALSE(ProjectionList().Load(file).fileFound);

  std::vector<std::uint8_t> bytes(3 * kProjectionRecordSize + 10, 0);
  bytes[126] = 200;                                   // unknown kind
  WriteLeDouble(bytes, kProjectionRecordSize, NAN);  // p1 not a number
  bytes[2 * kProjectionRecordSize + 126] = 33;        // a good Transverse Mercator
  WriteBytes(file, bytes);
  ProjectionList list;
  const auto loaded = list.Load(file);
  EXPECT_EQ(list.Records().size(), 1u);
  EXPECT_EQ(loaded.skippedRecords, 2u);
  EXPECT_EQ(loaded.ignoredBytes, 10u);
  EXPECT_FALSE(ReadNewestProjection(file).hasRecord);  // the first record is unusable

  list.Store(list.Records()[0], u"Another");
  bool saved = true;
  {
    const DiskFull full;
    saved = list.Save(file);
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadBytes(file), bytes);
}

TEST(ProjectionMethods, LabelRowsMatchTheSetters) {
  struct Row {
    ProjectionKind kind;
    int rows;
    std::string_view firstLabel;
  };
  for (const Row& row : {Row{ProjectionKind::Krovak, 7, "latitude_of_center"},
                         Row{ProjectionKind::Mollweide, 3, "central_meridian"},
                         Row{ProjectionKind::Georef, 0, ""},
                         Row{ProjectionKind::HotineObliqueMercatorTwoPoint, 8, "latitude_of_center"},
                         Row{ProjectionKind::TwoPointEquidistant, 6, "Latitude_Of_1st_Point"},
                         Row{ProjectionKind::EpsgCode, 1, "EPSG Code"},
                         Row{ProjectionKind::UsStatePlane, 1, "State Plane zone"}}) {
    const int kind = static_cast<int>(row.kind);
    EXPECT_EQ(VisibleParameterRows(kind), row.rows) << kind;
    EXPECT_EQ(GetProjectionMethod(kind).labels[0], row.firstLabel) << kind;
  }
  EXPECT_TRUE(GetProjectionMethod(static_cast<int>(ProjectionKind::Georef)).namesProjection);
  EXPECT_EQ(GetProjectionMethod(19).comboText, "Lambert_Conformal_Conic_2SP_Belgium)");
  EXPECT_EQ(GetProjectionMethod(40).comboText, "Military Gird Reference System MGRS");
  // Every row the dialog shows is a parameter the setter takes, and none is missing.
  for (int kind = 0; kind < kProjectionKindCount; ++kind)
    EXPECT_EQ(VisibleParameterRows(kind), GetProjectionMethod(kind).parameterCount) << kind;
  EXPECT_EQ(VisibleParameterRows(kProjectionKindCount), 0);
}
