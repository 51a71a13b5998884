// The user projection file ("internal/tvxprj.bin") as the projection dialog lists it and as
// the document takes its newest record at start-up; a list that loads stores and loads back
// the same records.
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "coords/projection_record.h"
#include "tests/fuzz/fuzz_input.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path folder = fuzz::Folder();
  const std::filesystem::path file = folder / kProjectionFileName;
  fuzz::WriteFile(file, std::string_view(reinterpret_cast<const char*>(data), size));

  const NewestProjection newest = ReadNewestProjection(file);
  Check(newest.fileFound);
  if (newest.hasRecord) Check(IsUsableProjection(newest.record));

  ProjectionList list;
  const ProjectionList::LoadResult loaded = list.Load(file);
  Check(loaded.fileFound);
  Check(loaded.ignoredBytes == size % kProjectionRecordSize);
  Check(list.Records().size() + loaded.skippedRecords == size / kProjectionRecordSize);
  for (const ProjectionRecord& r : list.Records()) Check(IsUsableProjection(r));
  // The first usable record is the newest exactly when the file's first record is usable.
  if (newest.hasRecord) Check(!list.Empty() && list.Records().front() == newest.record);
  (void)list.Names();

  // Storing a name again and writing the list: the file reads back as the list.
  ProjectionRecord edited;
  if (!list.Empty()) edited = list.Records().front();
  list.Store(edited, list.Empty() ? std::u16string(u"fuzz") : list.Records().front().Name16());
  Check(list.Save(file));
  ProjectionList again;
  again.Load(file);
  Check(again.Records() == list.Records());
  return 0;
}
