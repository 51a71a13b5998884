// The three datum files of the internal folder, built from one input (list, names, user
// datum), read the ways the document and the datum page read them. What a loader hands back
// as usable must be usable, and a user datum that loads must store and load back the same.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "coords/datum_files.h"
#include "tests/fuzz/fuzz_input.h"

using fuzz::Check;

namespace {

void CheckLoaded(const DatumLoadResult& result, int index) {
  if (!result.ok()) return;
  Check(IsUsableDatum(result.datum));
  Check(result.datum.index == index);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = fuzz::Split(data, size, 3);
  const std::filesystem::path folder = fuzz::Folder();
  fuzz::WriteFile(folder / kDatumListFileName, parts[0]);
  fuzz::WriteFile(folder / kDatumNamesFileName, parts[1]);
  fuzz::WriteFile(folder / kUserDatumFileName, parts[2]);

  DatumCatalogue catalogue;
  if (DatumCatalogue::Open(folder, catalogue) == DatumFileStatus::Ok) {
    Check(catalogue.DatumCount() <= kLastListDatumIndex);
    Check(catalogue.Names().size() <= static_cast<std::size_t>(kDatumNameCount));
    Check(!catalogue.ComboEntries().empty());
    for (int index = -1; index <= kUserDatumIndex + 1; ++index) {
      CheckLoaded(catalogue.Datum(index), index);
      const DatumPageChoice choice = ChooseDatumForPage(catalogue, folder, index, DatumRecord{});
      Check(choice.editable == (index == kUserDatumIndex));
    }
  }
  const int index = size > 0 ? data[size - 1] + (size > 1 ? data[size - 2] % 2 : 0) * 256 : 1;
  CheckLoaded(LoadListDatum(folder, index), index);

  const DatumLoadResult user = LoadUserDatum(folder);
  CheckLoaded(user, kUserDatumIndex);
  if (user.ok()) {
    Check(SaveUserDatum(folder, user.datum) == DatumFileStatus::Ok);
    const DatumLoadResult again = LoadUserDatum(folder);
    Check(again.ok());
    // NaN never passes as usable, so the records compare as values.
    Check(again.datum == user.datum);
  }
  return 0;
}
