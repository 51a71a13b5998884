#pragma once
// The three datum files of the program's "internal" folder and the rules for reading them.
//
//   tvxdatum.bin      DatumRecord array; record k-1 is datum k (1-270) and holds k as its
//                     index. The seven shift values are stored negated: they are turned back
//                     when read, so what a loader returns is what SetTOWGS84 takes.
//   tvxdtmlist.bin    272 names of 30 UTF-16 units; name k belongs to datum k (0 WGS84, 271
//                     stands for the user datum and is never shown).
//   tvxdatumuser.bin  one DatumRecord, the user datum, shift stored as used.
//
// Nothing here shows a message or ends the program: every function hands back a status, and
// the document (CTolvanixDoc::LoadDatum, LoadUserDatum, SaveUserDatum) and the datum page
// decide what to tell the user. A file that is missing, too short or holds unusable values is
// refused as a whole, never read in part.

#include <filesystem>
#include <string>
#include <vector>

#include "coords/datum_record.h"

inline constexpr const char* kDatumListFileName = "tvxdatum.bin";
inline constexpr const char* kDatumNamesFileName = "tvxdtmlist.bin";
inline constexpr const char* kUserDatumFileName = "tvxdatumuser.bin";

// What the datum page puts in place of the names file's last entry.
inline constexpr const char* kUserDatumComboText = "User defined / Definido por usuario";
// The document's name for the user datum and for WGS84.
inline constexpr const char* kUserDatumName = "User defined";
inline constexpr const char* kWgs84DatumName = "WGS84 / GRS80";

enum class DatumFileStatus {
  Ok,
  ListFileMissing,    // tvxdatum.bin cannot be opened
  NamesFileMissing,   // tvxdtmlist.bin cannot be opened
  UserFileMissing,    // tvxdatumuser.bin cannot be opened
  IndexOutOfRange,    // not a list datum index (1-270)
  ShortFile,          // the file ends before the record asked for
  BadRecord,          // the record's values cannot describe a datum
  WrongIndex,         // the record in datum k's place holds another datum's number
  CannotWrite,        // the user datum file could not be replaced; the old one is kept
};

// An English description of a failure for the message box ("" for Ok): index is the datum
// asked for, heldIndex the number its record holds (WrongIndex).
std::string DatumFileStatusText(DatumFileStatus status, int index = 0, int heldIndex = 0);

struct DatumLoadResult {
  DatumFileStatus status = DatumFileStatus::Ok;
  DatumRecord datum;  // shift as used; valid only when ok()
  std::string name;   // UTF-8
  int heldIndex = 0;  // WrongIndex: the number the record holds instead
  bool ok() const { return status == DatumFileStatus::Ok; }
};

// The shipped list held in memory: both files read whole. The datum page keeps one of these
// for its life instead of an open file.
class DatumCatalogue {
 public:
  // Reads both files from the folder. Missing files are refused; a data file with fewer
  // records than 270 leaves the later indices unavailable.
  static DatumFileStatus Open(const std::filesystem::path& internalDir, DatumCatalogue& out);

  // Number of list datums the data file holds (at most 270).
  int DatumCount() const { return static_cast<int>(records_.size()); }
  // Names 0-271 as stored (UTF-8); a short names file gives fewer.
  const std::vector<std::string>& Names() const { return names_; }
  // The combo list of the datum page: the stored names with the last entry (the user datum's
  // place) replaced by kUserDatumComboText, so that it has index 271.
  std::vector<std::string> ComboEntries() const;

  // Datum `index` (1-270) with its shift as used and its name.
  DatumLoadResult Datum(int index) const;

 private:
  std::vector<DatumRecord> records_;  // as stored (shift negated)
  std::vector<std::string> names_;
};

// CTolvanixDoc::LoadDatum: datum `index` (1-270) of the shipped list and its name.
DatumLoadResult LoadListDatum(const std::filesystem::path& internalDir, int index);

// CTolvanixDoc::LoadUserDatum: the user datum, named "User defined", index 271.
DatumLoadResult LoadUserDatum(const std::filesystem::path& internalDir);

// CTolvanixDoc::SaveUserDatum: replaces the user datum file (through a temporary file).
// An unusable record is refused (BadRecord) and the file is left alone.
DatumFileStatus SaveUserDatum(const std::filesystem::path& internalDir, const DatumRecord& datum);

// What the datum page shows for a choice of the combo (CPageDatum::OnSelchangeDatum):
// 0 (or below) WGS84 read-only; 1-270 the list datum read-only; 271 the user datum, editable,
// with an empty code, or the values shown so far when there is no user file.
struct DatumPageChoice {
  DatumRecord values;
  std::string code;
  bool editable = false;
  DatumFileStatus status = DatumFileStatus::Ok;  // a failed read keeps `shown`
  int heldIndex = 0;                             // as DatumLoadResult::heldIndex
};
DatumPageChoice ChooseDatumForPage(const DatumCatalogue& catalogue,
                                   const std::filesystem::path& internalDir, int index,
                                   const DatumRecord& shown);
