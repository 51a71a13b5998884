#include "coords/datum_files.h"

#include <algorithm>
#include <array>
#include <optional>

#include "coords/record_io.h"

namespace {

constexpr std::size_t kNameUnits = 30;
constexpr std::size_t kNameBytes = 2 * kNameUnits;

std::optional<DatumRecord> DecodeAt(const std::vector<std::uint8_t>& bytes, std::size_t record) {
  const std::size_t offset = record * kDatumRecordSize;
  if (offset + kDatumRecordSize > bytes.size()) return std::nullopt;
  return DecodeDatumRecord(
      std::span<const std::uint8_t, kDatumRecordSize>(bytes.data() + offset, kDatumRecordSize));
}

}  // namespace

std::string DatumFileStatusText(DatumFileStatus status, int index, int heldIndex) {
  const std::string number = std::to_string(index);
  switch (status) {
    case DatumFileStatus::Ok:
      return "";
    case DatumFileStatus::ListFileMissing:
      return std::string("The datum list \"internal/") + kDatumListFileName + "\" cannot be opened.";
    case DatumFileStatus::NamesFileMissing:
      return std::string("The datum names \"internal/") + kDatumNamesFileName +
             "\" cannot be opened.";
    case DatumFileStatus::UserFileMissing:
      return "Open error";
    case DatumFileStatus::IndexOutOfRange:
      return "Datum " + number + " is not in the datum list (1-270).";
    case DatumFileStatus::ShortFile:
      return "The datum files end before datum " + number + ".";
    case DatumFileStatus::BadRecord:
      return "The values stored for datum " + number + " cannot describe a datum.";
    case DatumFileStatus::WrongIndex:
      return "Datum " + number + " cannot be used: record " + number + " of the datum list " +
             "\"internal/" + kDatumListFileName + "\", which belongs to datum " + number +
             ", holds datum " + std::to_string(heldIndex) + ".";
    case DatumFileStatus::CannotWrite:
      return "Creation error";
  }
  return "";
}

DatumFileStatus DatumCatalogue::Open(const std::filesystem::path& internalDir,
                                     DatumCatalogue& out) {
  const auto data = ReadWholeFile(internalDir / kDatumListFileName);
  if (!data) return DatumFileStatus::ListFileMissing;
  const auto names = ReadWholeFile(internalDir / kDatumNamesFileName);
  if (!names) return DatumFileStatus::NamesFileMissing;

  DatumCatalogue catalogue;
  // Trailing bytes shorter than a record are not a record.
  const std::size_t count =
      std::min<std::size_t>(data->size() / kDatumRecordSize, kLastListDatumIndex);
  for (std::size_t k = 0; k < count; ++k) catalogue.records_.push_back(*DecodeAt(*data, k));
  const std::size_t nameCount =
      std::min<std::size_t>(names->size() / kNameBytes, kDatumNameCount);
  for (std::size_t k = 0; k < nameCount; ++k)
    catalogue.names_.push_back(Utf16ToUtf8(ReadUtf16Field(*names, k * kNameBytes, kNameUnits)));
  out = std::move(catalogue);
  return DatumFileStatus::Ok;
}

std::vector<std::string> DatumCatalogue::ComboEntries() const {
  std::vector<std::string> entries = names_;
  if (!entries.empty()) entries.pop_back();
  entries.push_back(kUserDatumComboText);
  return entries;
}

DatumLoadResult DatumCatalogue::Datum(int index) const {
  DatumLoadResult result;
  if (index < kFirstListDatumIndex || index > kLastListDatumIndex) {
    result.status = DatumFileStatus::IndexOutOfRange;
    return result;
  }
  if (index > DatumCount() || index >= static_cast<int>(names_.size())) {
    result.status = DatumFileStatus::ShortFile;
    return result;
  }
  DatumRecord datum = records_[static_cast<std::size_t>(index - 1)];
  // A record that does not carry its own number is not the datum asked for.
  if (datum.index != index) {
    result.status = DatumFileStatus::WrongIndex;
    result.heldIndex = datum.index;
    return result;
  }
  if (!IsUsableDatum(datum)) {
    result.status = DatumFileStatus::BadRecord;
    return result;
  }
  datum.NegateShift();
  result.datum = datum;
  result.name = names_[static_cast<std::size_t>(index)];
  return result;
}

DatumLoadResult LoadListDatum(const std::filesystem::path& internalDir, int index) {
  DatumCatalogue catalogue;
  const DatumFileStatus status = DatumCatalogue::Open(internalDir, catalogue);
  if (status != DatumFileStatus::Ok) {
    DatumLoadResult result;
    result.status = status;
    return result;
  }
  return catalogue.Datum(index);
}

DatumLoadResult LoadUserDatum(const std::filesystem::path& internalDir) {
  DatumLoadResult result;
  const auto bytes = ReadWholeFile(internalDir / kUserDatumFileName);
  if (!bytes) {
    result.status = DatumFileStatus::UserFileMissing;
    return result;
  }
  const auto datum = DecodeAt(*bytes, 0);
  if (!datum) {
    result.status = DatumFileStatus::ShortFile;
    return result;
  }
  if (!IsUsableDatum(*datum)) {
    result.status = DatumFileStatus::BadRecord;
    return result;
  }
  result.datum = *datum;
  // The index is the option "Datum": the user datum is always 271, whatever an older
  // program version left in the file.
  result.datum.index = kUserDatumIndex;
  result.name = kUserDatumName;
  return result;
}

DatumFileStatus SaveUserDatum(const std::filesystem::path& internalDir, const DatumRecord& datum) {
  if (!IsUsableDatum(datum)) return DatumFileStatus::BadRecord;
  std::array<std::uint8_t, kDatumRecordSize> bytes{};
  EncodeDatumRecord(datum, bytes);
  return ReplaceFileContents(internalDir / kUserDatumFileName, bytes) ? DatumFileStatus::Ok
                                                                      : DatumFileStatus::CannotWrite;
}

DatumPageChoice ChooseDatumForPage(const DatumCatalogue& catalogue,
                                   const std::filesystem::path& internalDir, int index,
                                   const DatumRecord& shown) {
  DatumPageChoice choice;
  choice.values = shown;
  if (index == kUserDatumIndex) {
    choice.editable = true;
    const auto bytes = ReadWholeFile(internalDir / kUserDatumFileName);
    const auto datum = bytes ? DecodeAt(*bytes, 0) : std::nullopt;
    if (datum && IsUsableDatum(*datum)) choice.values = *datum;
    else choice.status = bytes ? DatumFileStatus::BadRecord : DatumFileStatus::UserFileMissing;
    choice.values.index = kUserDatumIndex;
    return choice;
  }
  if (index < kFirstListDatumIndex) {
    choice.values = Wgs84DatumRecord();
    choice.code = choice.values.CodeText();
    return choice;
  }
  const DatumLoadResult loaded = catalogue.Datum(index);
  choice.status = loaded.status;
  choice.heldIndex = loaded.heldIndex;
  if (loaded.ok()) {
    choice.values = loaded.datum;
    choice.code = loaded.datum.CodeText();
  }
  return choice;
}
