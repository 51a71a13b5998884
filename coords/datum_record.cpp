#include "coords/datum_record.h"

#include <cmath>

#include "coords/record_io.h"

namespace {
constexpr std::size_t kShiftOffset = 16;
constexpr std::size_t kIndexOffset = 72;
constexpr std::size_t kCodeOffset = 76;
}  // namespace

void DatumRecord::SetShift(const std::array<double, 7>& shift) {
  dX = shift[0], dY = shift[1], dZ = shift[2];
  rX = shift[3], rY = shift[4], rZ = shift[5];
  s = shift[6];
}

void DatumRecord::NegateShift() {
  auto shift = Shift();
  // 0.0 stays +0.0 so that a negated record compares and prints like the original.
  for (double& v : shift) v = (v == 0.0) ? 0.0 : -v;
  SetShift(shift);
}

std::string DatumRecord::CodeText() const {
  std::u16string text;
  for (char16_t u : code) {
    if (u == 0) break;
    text += u;
  }
  return Utf16ToUtf8(text);
}

void DatumRecord::SetCodeText(const std::string& utf8) {
  const std::u16string text = CutUtf16(Utf8ToUtf16(utf8), code.size());
  code.fill(0);
  for (std::size_t k = 0; k < text.size(); ++k) code[k] = text[k];
}

DatumRecord Wgs84DatumRecord() { return DatumRecord{}; }

bool IsUsableDatum(const DatumRecord& datum) {
  if (!std::isfinite(datum.a) || !std::isfinite(datum.b)) return false;
  for (double v : datum.Shift())
    if (!std::isfinite(v)) return false;
  return datum.b > 0.0 && datum.b < datum.a;
}

double InverseFlattening(const DatumRecord& datum) { return 1.0 / (1.0 - datum.b / datum.a); }

void EncodeDatumRecord(const DatumRecord& datum, std::span<std::uint8_t, kDatumRecordSize> out) {
  WriteLeDouble(out, 0, datum.a);
  WriteLeDouble(out, 8, datum.b);
  const auto shift = datum.Shift();
  for (std::size_t k = 0; k < shift.size(); ++k) WriteLeDouble(out, kShiftOffset + 8 * k, shift[k]);
  WriteLeInt32(out, kIndexOffset, datum.index);
  for (std::size_t k = 0; k < datum.code.size(); ++k)
    WriteLeUint16(out, kCodeOffset + 2 * k, datum.code[k]);
}

DatumRecord DecodeDatumRecord(std::span<const std::uint8_t, kDatumRecordSize> bytes) {
  DatumRecord datum;
  datum.a = ReadLeDouble(bytes, 0);
  datum.b = ReadLeDouble(bytes, 8);
  std::array<double, 7> shift{};
  for (std::size_t k = 0; k < shift.size(); ++k) shift[k] = ReadLeDouble(bytes, kShiftOffset + 8 * k);
  datum.SetShift(shift);
  datum.index = ReadLeInt32(bytes, kIndexOffset);
  for (std::size_t k = 0; k < datum.code.size(); ++k)
    datum.code[k] = ReadLeUint16(bytes, kCodeOffset + 2 * k);
  return datum;
}
