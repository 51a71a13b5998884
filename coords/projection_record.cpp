#include "coords/projection_record.h"

#include <cmath>

#include "coords/record_io.h"

namespace {

constexpr std::size_t kNameOffset = 64;
constexpr std::size_t kKindOffset = 126;

std::span<const std::uint8_t, kProjectionRecordSize> RecordAt(const std::vector<std::uint8_t>& bytes,
                                                              std::size_t k) {
  return std::span<const std::uint8_t, kProjectionRecordSize>(
      bytes.data() + k * kProjectionRecordSize, kProjectionRecordSize);
}

}  // namespace

std::u16string ProjectionRecord::Name16() const {
  std::u16string text;
  for (char16_t u : name) {
    if (u == 0) break;
    text += u;
  }
  return text;
}

std::string ProjectionRecord::Name() const { return Utf16ToUtf8(Name16()); }

void ProjectionRecord::SetName(std::u16string_view name16) {
  const std::u16string cut = CutUtf16(name16, kProjectionNameUnits);
  name.fill(0);
  for (std::size_t k = 0; k < cut.size(); ++k) name[k] = cut[k];
}

void ProjectionRecord::SetName(const std::string& utf8) { SetName(Utf8ToUtf16(utf8)); }

void EncodeProjectionRecord(const ProjectionRecord& record,
                            std::span<std::uint8_t, kProjectionRecordSize> out) {
  for (std::size_t k = 0; k < record.p.size(); ++k) WriteLeDouble(out, 8 * k, record.p[k]);
  for (std::size_t k = 0; k < kProjectionNameUnits; ++k)
    WriteLeUint16(out, kNameOffset + 2 * k, record.name[k]);
  WriteLeUint16(out, 124, 0);
  out[kKindOffset] = record.kind;
  out[127] = 0;
}

ProjectionRecord DecodeProjectionRecord(std::span<const std::uint8_t, kProjectionRecordSize> bytes) {
  ProjectionRecord record;
  for (std::size_t k = 0; k < record.p.size(); ++k) record.p[k] = ReadLeDouble(bytes, 8 * k);
  for (std::size_t k = 0; k < kProjectionNameUnits; ++k)
    record.name[k] = ReadLeUint16(bytes, kNameOffset + 2 * k);
  record.kind = bytes[kKindOffset];
  return record;
}

bool IsUsableProjection(const ProjectionRecord& record) {
  if (record.kind >= kProjectionKindCount) return false;
  for (double v : record.p)
    if (!std::isfinite(v)) return false;
  return true;
}

ProjectionList::LoadResult ProjectionList::Load(const std::filesystem::path& file) {
  LoadResult result;
  records_.clear();
  const auto bytes = ReadWholeFile(file);
  if (!bytes) return result;
  result.fileFound = true;
  const std::size_t count = bytes->size() / kProjectionRecordSize;
  result.ignoredBytes = bytes->size() % kProjectionRecordSize;
  for (std::size_t k = 0; k < count; ++k) {
    const ProjectionRecord record = DecodeProjectionRecord(RecordAt(*bytes, k));
    if (IsUsableProjection(record)) records_.push_back(record);
    else ++result.skippedRecords;
  }
  return result;
}

bool ProjectionList::Save(const std::filesystem::path& file) const {
  std::vector<std::uint8_t> bytes(records_.size() * kProjectionRecordSize);
  for (std::size_t k = 0; k < records_.size(); ++k)
    EncodeProjectionRecord(records_[k], std::span<std::uint8_t, kProjectionRecordSize>(
                                            bytes.data() + k * kProjectionRecordSize,
                                            kProjectionRecordSize));
  return ReplaceFileContents(file, bytes);
}

void ProjectionList::Store(ProjectionRecord record, std::u16string_view name) {
  record.SetName(name);
  records_.insert(records_.begin(), record);
  const std::u16string stored = record.Name16();
  for (std::size_t k = 1; k < records_.size(); ++k) {
    if (EqualsIgnoringCase(records_[k].Name16(), stored)) {
      records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(k));
      break;
    }
  }
}

bool ProjectionList::Remove(std::size_t index) {
  if (index >= records_.size()) return false;
  records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

std::vector<std::string> ProjectionList::Names() const {
  std::vector<std::string> names;
  names.reserve(records_.size());
  for (const auto& record : records_) names.push_back(record.Name());
  return names;
}

NewestProjection ReadNewestProjection(const std::filesystem::path& file) {
  NewestProjection newest;
  const auto bytes = ReadWholeFile(file);
  if (!bytes) return newest;
  newest.fileFound = true;
  if (bytes->size() < kProjectionRecordSize) return newest;
  const ProjectionRecord record = DecodeProjectionRecord(RecordAt(*bytes, 0));
  if (!IsUsableProjection(record)) return newest;
  newest.hasRecord = true;
  newest.record = record;
  return newest;
}
