#include "coords/ui/datum_page_form.h"

#include "app/strings.h"

namespace {

constexpr UINT kIdsResourceFileMissing = 59168;

std::string ResourceFileMissingText() {
  std::string text = LoadResString(kIdsResourceFileMissing);
  return text.empty() ? "Error Fatal: No se encontró el archivo de recursos" : text;
}

}  // namespace

DatumPageValues ToDatumPageValues(const DatumRecord& datum) {
  return {datum.a, datum.b, datum.dX, datum.dY, datum.dZ, datum.rX, datum.rY, datum.rZ, datum.s};
}

void FromDatumPageValues(const DatumPageValues& values, DatumRecord& datum) {
  datum.a = values[0];
  datum.b = values[1];
  datum.SetShift({values[2], values[3], values[4], values[5], values[6], values[7], values[8]});
}

bool DatumPageEditable(int index) { return index == kUserDatumIndex; }

std::string DatumPageOpenFailureText(DatumFileStatus status) {
  return ResourceFileMissingText() + "\n" + DatumFileStatusText(status);
}

std::string DatumChoiceMessage(const DatumPageChoice& choice, int index) {
  if (choice.status == DatumFileStatus::Ok || choice.status == DatumFileStatus::UserFileMissing)
    return "";
  return DatumFileStatusText(choice.status, index, choice.heldIndex);
}

std::string TypedDatumProblem(int index, const DatumRecord& datum) {
  if (!DatumPageEditable(index) || IsUsableDatum(datum)) return "";
  return "The user datum needs a semi-major axis a larger than the semi-minor axis b, "
         "and b larger than 0 (metres).";
}
