#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>

#include "coords/datum_files.h"
#include "coords/datum_help.h"
#include "coords/record_io.h"
#include "tests/coords_gdal/test_support.h"

namespace {

const std::filesystem::path kShippedDir = std::filesystem::path(TVX_BINARY_DIR) / "internal";

// A list file of `count` datums; datum k has dX = 87 * k as stored (so -87 k as used).
void WriteListFiles(const std::filesystem::path& dir, int count, std::size_t names = 272) {
  std::vector<std::uint8_t> data(static_cast<std::size_t>(count) * kDatumRecordSize);
  for (int k = 1; k <= count; ++k) {
    DatumRecord stored;
    stored.a = 6378388.0;
    stored.b = 6378388.0 * (1 - 1 / 297.0);
    stored.SetShift({87.0 * k, 98.0, 121.0, 0.5, 0, 0, -1.5});
    stored.index = k;
    stored.SetCodeText("IN");
    EncodeDatumRecord(stored, std::span<std::uint8_t, kDatumRecordSize>(
                                  data.data() + (k - 1) * kDatumRecordSize, kDatumRecordSize));
  }
  WriteBytes(dir / kDatumListFileName, data);
  std::vector<std::uint8_t> list(names * 60, 0);
  for (std::size_t k = 0; k < names; ++k)
    WriteUtf16Field(list, k * 60, 30, Utf8ToUtf16("Datum " + std::to_string(k)));
  WriteBytes(dir / kDatumNamesFileName, list);
}

}  // namespace

TEST(DatumFiles, GeneratedCatalogueReadsBackWithPublishedShifts) {
  DatumCatalogue catalogue;
  ASSERT_EQ(DatumCatalogue::Open(kShippedDir, catalogue), DatumFileStatus::Ok);
  EXPECT_EQ(catalogue.DatumCount(), 270);
  ASSERT_EQ(catalogue.Names().size(), 272u);
  EXPECT_EQ(catalogue.Names().front(), "WGS84 / GRS80");
  EXPECT_EQ(catalogue.ComboEntries().at(271), kUserDatumComboText);

  std::set<std::string> names;
  for (int k = 1; k <= 270; ++k) {
    const DatumLoadResult d = catalogue.Datum(k);
    ASSERT_TRUE(d.ok()) << k;
    EXPECT_EQ(d.datum.index, k);
    EXPECT_FALSE(d.name.empty()) << k;
    names.insert(d.name);
  }
  EXPECT_EQ(names.size(), 270u) << "datum names repeat";

  // Published EPSG values of the datum-wide transformations to WGS 84 (position vector).
  struct Expected {
    const char* name;
    double a, inverseFlattening;
    std::array<double, 7> shift;
    const char* code;
  };
  const Expected expected[] = {
      {"European Datum 1950", 6378388.0, 297.0, {-87, -98, -121, 0, 0, 0, 0}, "IN"},
      {"OSGB36", 6377563.396, 299.3249646, {446.448, -125.157, 542.06, 0.15, 0.247, 0.842, -20.489}, "AA"},
      {"Deutsches Hauptdreiecksnetz", 6377397.155, 299.1528128, {598.1, 73.7, 418.2, 0.202, 0.045, -2.455, 6.7}, "BR"},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.name);
    const auto& all = catalogue.Names();
    const auto it = std::find(all.begin(), all.end(), e.name);
    ASSERT_NE(it, all.end());
    const DatumLoadResult d = catalogue.Datum(static_cast<int>(it - all.begin()));
    ASSERT_TRUE(d.ok());
    EXPECT_DOUBLE_EQ(d.datum.a, e.a);
    EXPECT_NEAR(d.datum.b, e.a * (1 - 1 / e.inverseFlattening), 1e-3);
    for (int i = 0; i < 7; ++i) EXPECT_NEAR(d.datum.Shift()[i], e.shift[i], 1e-9) << i;
    EXPECT_EQ(d.datum.CodeText(), e.code);
  }
}

TEST(DatumFiles, ListShiftIsStoredNegated) {
  ScratchFolder dir;
  WriteListFiles(dir.path(), 2);
  const DatumLoadResult d = LoadListDatum(dir.path(), 1);
  ASSERT_TRUE(d.ok());
  EXPECT_EQ(d.name, "Datum 1");
  EXPECT_EQ(d.datum.Shift(), (std::array<double, 7>{-87, -98, -121, -0.5, 0, 0, 1.5}));
  EXPECT_EQ(d.datum.CodeText(), "IN");
}

TEST(DatumFiles, RefusesWhatCannotBeRead) {
  ScratchFolder dir;
  WriteListFiles(dir.path(), 3);
  // Datum 2 carries the wrong number, datum 3 an impossible ellipsoid.
  auto data = ReadBytes(dir.path() / kDatumListFileName);
  WriteLeInt32(data, kDatumRecordSize + 72, 7);
  WriteLeDouble(data, 2 * kDatumRecordSize + 8, 7e6);
  WriteBytes(dir.path() / kDatumListFileName, data);

  struct Case {
    int index;
    DatumFileStatus status;
  };
  for (const Case c : {Case{0, DatumFileStatus::IndexOutOfRange}, {-1, DatumFileStatus::IndexOutOfRange},
                       {271, DatumFileStatus::IndexOutOfRange}, {300, DatumFileStatus::IndexOutOfRange},
                       {4, DatumFileStatus::ShortFile}, {2, DatumFileStatus::WrongIndex},
                       {3, DatumFileStatus::BadRecord}, {1, DatumFileStatus::Ok}}) {
    EXPECT_EQ(LoadListDatum(dir.path(), c.index).status, c.status) << c.index;
    EXPECT_EQ(DatumFileStatusText(c.status, c.index).empty(), c.status == DatumFileStatus::Ok);
  }
  // The message names the record and what is wrong with it.
  const DatumLoadResult misplaced = LoadListDatum(dir.path(), 2);
  EXPECT_EQ(misplaced.heldIndex, 7);
  EXPECT_EQ(DatumFileStatusText(misplaced.status, 2, misplaced.heldIndex),
            "Datum 2 cannot be used: record 2 of the datum list \"internal/tvxdatum.bin\", which "
            "belongs to datum 2, holds datum 7.");

  // A data file cut inside record 2, a names file too short, then missing files.
  data.resize(kDatumRecordSize + 40);
  WriteBytes(dir.path() / kDatumListFileName, data);
  EXPECT_EQ(LoadListDatum(dir.path(), 2).status, DatumFileStatus::ShortFile);
  WriteListFiles(dir.path(), 3, 2);
  EXPECT_EQ(LoadListDatum(dir.path(), 2).status, DatumFileStatus::ShortFile);
  std::filesystem::remove(dir.path() / kDatumNamesFileName);
  EXPECT_EQ(LoadListDatum(dir.path(), 1).status, DatumFileStatus::NamesFileMissing);
  std::filesystem::remove(dir.path() / kDatumListFileName);
  EXPECT_EQ(LoadListDatum(dir.path(), 1).status, DatumFileStatus::ListFileMissing);
}

TEST(DatumFiles, UserDatumRoundTripAndFailedSaveKeepsOldFile) {
  ScratchFolder dir;
  EXPECT_EQ(LoadUserDatum(dir.path()).status, DatumFileStatus::UserFileMissing);

  DatumRecord user;
  user.a = 6378249.145;
  user.b = 6356514.87;
  user.SetShift({-166, -15, 204, 0.1, -0.2, 0.3, 1.1});
  user.index = 5;  // whatever the caller left there, the user datum loads as 271
  ASSERT_EQ(SaveUserDatum(dir.path(), user), DatumFileStatus::Ok);
  DatumLoadResult loaded = LoadUserDatum(dir.path());
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(loaded.name, "User defined");
  EXPECT_EQ(loaded.datum.Shift(), user.Shift());  // stored as used, not negated
  EXPECT_EQ(loaded.datum.index, kUserDatumIndex);

  const auto before = ReadBytes(dir.path() / kUserDatumFileName);
  DatumRecord impossible = user;
  impossible.b = user.a + 1;
  EXPECT_EQ(SaveUserDatum(dir.path(), impossible), DatumFileStatus::BadRecord);
  DatumFileStatus onFullDisk;
  {
    const DiskFull full;
    onFullDisk = SaveUserDatum(dir.path(), Wgs84DatumRecord());
  }
  EXPECT_EQ(onFullDisk, DatumFileStatus::CannotWrite);
  EXPECT_EQ(ReadBytes(dir.path() / kUserDatumFileName), before);
}

TEST(DatumFiles, DatumPageChoices) {
  ScratchFolder dir;
  WriteListFiles(dir.path(), 2);
  DatumCatalogue catalogue;
  ASSERT_EQ(DatumCatalogue::Open(dir.path(), catalogue), DatumFileStatus::Ok);
  DatumRecord shown;
  shown.a = 1234.0;
  shown.b = 1000.0;

  const DatumPageChoice wgs = ChooseDatumForPage(catalogue, dir.path(), 0, shown);
  EXPECT_EQ(wgs.code, "WE");
  EXPECT_FALSE(wgs.editable);
  EXPECT_EQ(wgs.values.a, 6378137.0);

  const DatumPageChoice list = ChooseDatumForPage(catalogue, dir.path(), 2, shown);
  EXPECT_EQ(list.values.dX, -174.0);
  EXPECT_FALSE(list.editable);

  const DatumPageChoice noUserFile = ChooseDatumForPage(catalogue, dir.path(), 271, shown);
  EXPECT_TRUE(noUserFile.editable);
  EXPECT_EQ(noUserFile.code, "");
  EXPECT_EQ(noUserFile.values.a, 1234.0);
}

TEST(DatumFiles, HelpPageByLanguage) {
  const std::pair<int, const char*> pages[] = {{0, "tvx_en.htm"}, {1, "tvx_de.htm"},
                                               {2, "tvx_fr.htm"}, {3, "tvx_sp.htm"},
                                               {4, "tvx_pt.htm"}, {5, "tvx_en.htm"},
                                               {6, "tvx_ru.htm"}, {-1, "tvx_en.htm"}};
  for (const auto& [language, page] : pages) EXPECT_EQ(HelpPageName(language), page) << language;
  EXPECT_EQ(HelpPageUrl("/opt/tvx/", 2), "file:/opt/tvx/internal/tvx_fr.htm");
}
