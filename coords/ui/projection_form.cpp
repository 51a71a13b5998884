#include "coords/ui/projection_form.h"

#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <locale.h>

#include "app/strings.h"
#include "coords/projection_methods.h"
#include "coords/record_io.h"
#include "coords/spatial_reference.h"

namespace {

constexpr UINT kIdsGoToDatumPage = 59250;
constexpr UINT kIdsEpsgShift = 59251;
constexpr UINT kIdsEpsgRefused = 59252;

constexpr const char* kGoToDatumPage =
    "Go to Datum Page to setup the appropiate conversion from WGS84 ellipsoid";
constexpr const char* kEpsgShift =
    "Ellipsoid: a = %.3f, b = %.3f\nShift: dX = %.3f, dY = %.3f, dZ = %.3f\n"
    "Rotation: rX = %.6f, rY = %.6f, rZ = %.6f\nScale: %.6f";
constexpr const char* kEpsgRefused = "Unable to import projection with EPSG Code %d";
constexpr const char* kEpsgCaption = "EPSG Code";

std::string TextOr(UINT id, const char* fallback) {
  std::string text = LoadResString(id);
  return text.empty() ? fallback : text;
}

// True when the printf format has exactly the conversions `kinds` ('d' an int, 'f' a double)
// in that order, so that a language module's text cannot make snprintf read what was not
// passed.
bool FormatTakes(const std::string& format, const char* kinds) {
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    if (++i < format.size() && format[i] == '%') continue;
    while (i < format.size() && std::strchr("-+ #0", format[i])) ++i;
    while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) ++i;
    if (i < format.size() && format[i] == '.') {
      ++i;
      while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) ++i;
    }
    if (i >= format.size() || next >= std::strlen(kinds)) return false;
    const bool ok = kinds[next] == 'd' ? std::strchr("di", format[i]) != nullptr
                                       : std::strchr("feEgGF", format[i]) != nullptr;
    if (!ok) return false;
    ++next;
  }
  return next == std::strlen(kinds);
}

// snprintf with the C locale's decimal point, whatever the user's locale is.
template <class... Args>
std::string FormatC(const std::string& format, Args... args) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  const locale_t previous = uselocale(cLocale);
  const int length = std::snprintf(nullptr, 0, format.c_str(), args...);
  std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0) std::snprintf(text.data(), text.size() + 1, format.c_str(), args...);
  uselocale(previous);
  return text;
}

std::string CheckedFormat(UINT id, const char* fallback, const char* kinds) {
  std::string format = LoadResString(id);
  return FormatTakes(format, kinds) ? format : std::string(fallback);
}

}  // namespace

std::vector<std::string> ProjectionMethodComboTexts() {
  std::vector<std::string> texts;
  for (int kind = 0; kind < kProjectionKindCount; ++kind) {
    const ProjectionMethod& method = GetProjectionMethod(kind);
    const std::string text(method.comboText);
    texts.push_back(method.comboStringId ? TextOr(method.comboStringId, text.c_str()) : text);
  }
  return texts;
}

ProjectionRowsView ProjectionRowsFor(int kind) {
  ProjectionRowsView view;
  const ProjectionMethod& method = GetProjectionMethod(kind);
  for (int row = 0; row < kProjectionRows; ++row)
    view.labels[static_cast<std::size_t>(row)] = std::string(method.labels[static_cast<std::size_t>(row)]);
  if (method.labelStringId)
    view.labels[0] = TextOr(method.labelStringId, view.labels[0].c_str());
  view.visibleRows = VisibleParameterRows(kind);
  if (method.namesProjection) {
    view.setsName = true;
    view.nameText = std::string(method.comboText);
  }
  return view;
}

ProjectionValidation ValidateProjectionRecord(const ProjectionRecord& record) {
  ProjectionValidation validation;
  const EpsgProjectionCheck check = CheckEpsgProjection(record);
  const std::string caption = TextOr(kEpsgCodeStringId, kEpsgCaption);
  using Result = EpsgProjectionCheck::Result;
  switch (check.result) {
    case Result::NotEpsg:
    case Result::Accepted:
      break;
    case Result::Refused:
      validation.accepted = false;
      validation.messages.push_back(
          {FormatC(CheckedFormat(kIdsEpsgRefused, kEpsgRefused, "d"), check.code), caption,
           MB_OK | MB_ICONSTOP});
      break;
    case Result::WithShift: {
      validation.messages.push_back(
          {TextOr(kIdsGoToDatumPage, kGoToDatumPage), caption, MB_OK | MB_ICONEXCLAMATION});
      const auto& s = check.shift;
      validation.messages.push_back(
          {FormatC(CheckedFormat(kIdsEpsgShift, kEpsgShift, "fffffffff"), check.semiMajor,
                   check.semiMinor, s[0], s[1], s[2], s[3], s[4], s[5], s[6]),
           caption, MB_OK | MB_ICONINFORMATION});
      break;
    }
    case Result::WithoutShift:
      validation.messages.push_back(
          {TextOr(kIdsGoToDatumPage, kGoToDatumPage), caption, MB_OK | MB_ICONEXCLAMATION});
      break;
  }
  return validation;
}

ProjectionRowsView ProjectionForm::Open() {
  list_.Load(file_);
  *edited_ = ProjectionRecord{};
  ProjectionRowsView rows = ProjectionRowsFor(edited_->kind);
  SelectSaved(0, rows);
  return rows;
}

ProjectionRowsView ProjectionForm::SelectMethod(int kind) {
  if (kind < 0 || kind >= kProjectionKindCount) kind = 0;
  edited_->kind = static_cast<std::uint8_t>(kind);
  edited_->p = {};
  return ProjectionRowsFor(kind);
}

bool ProjectionForm::SelectSaved(int index, ProjectionRowsView& rows) {
  if (index < 0 || static_cast<std::size_t>(index) >= list_.Records().size()) return false;
  const ProjectionRecord stored = list_.Records()[static_cast<std::size_t>(index)];
  rows = SelectMethod(stored.kind);
  edited_->p = stored.p;
  return true;
}

bool ProjectionForm::DeleteSaved(int index) {
  if (index < 0 || !list_.Remove(static_cast<std::size_t>(index))) return false;
  *edited_ = ProjectionRecord{};
  return true;
}

ProjectionForm::OkResult ProjectionForm::Ok(const std::string& name, int kind) {
  OkResult result;
  if (name.empty()) return result;
  if (kind >= 0 && kind < kProjectionKindCount) edited_->kind = static_cast<std::uint8_t>(kind);
  ProjectionValidation validation = ValidateProjectionRecord(*edited_);
  result.messages = std::move(validation.messages);
  if (!validation.accepted) {
    result.outcome = OkOutcome::StayOpen;
    return result;
  }
  edited_->SetName(name);
  list_.Store(*edited_, edited_->Name16());
  if (!list_.Save(file_)) {
    result.messages.push_back({"The projection is in use but could not be kept for later: \"" +
                                   file_.string() + "\" cannot be written.",
                               "Tolvanix PDA", MB_OK | MB_ICONEXCLAMATION});
  }
  list_.Clear();
  result.outcome = OkOutcome::Stored;
  return result;
}
