#pragma once
// The projection dialog (CDlgProjection, template 205) without its window: the method combo's
// texts, which parameter rows a method shows and with which labels, the list of stored
// projections ("internal/tvxprj.bin") and what choosing, deleting and OK do to the edited
// record. The dialog moves these values into and out of its controls.
//
// The edited record is the caller's (the document's or the units page's). Opening zeroes it
// and takes the newest stored projection's kind and parameters (not its name); OK stores it
// under the typed name at the front of the list and rewrites the file.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "coords/projection_record.h"
#include "platform/win_types.h"

inline constexpr int kProjectionMethodCombo = 1200;
inline constexpr int kProjectionDeleteButton = 1201;
inline constexpr int kProjectionSavedCombo = 1202;
inline constexpr int kProjectionFirstEdit = 1160;   // p1..p8: 1160-1167
inline constexpr int kProjectionFirstLabel = 1180;  // their labels: 1180-1187
inline constexpr int kProjectionRows = 8;

// One message box the dialog shows: text, caption and style (icon).
struct FormMessage {
  std::string text;
  std::string caption;
  UINT style = 0;
};

// The method combo's 44 texts, index = ProjectionKind.
std::vector<std::string> ProjectionMethodComboTexts();

// What the parameter rows show for a method: the eight labels (empty = row hidden) and, for
// the grid references, the text that goes into the name field.
struct ProjectionRowsView {
  std::array<std::string, kProjectionRows> labels;
  int visibleRows = 0;
  bool setsName = false;
  std::string nameText;
  bool RowVisible(int row) const { return !labels[static_cast<std::size_t>(row)].empty(); }
};
ProjectionRowsView ProjectionRowsFor(int kind);

// CDlgProjection::ValidateProjection: the messages for the edited record (EPSG codes only)
// and whether the dialog may close. An EPSG code that is not a projected system is refused;
// a known one may tell the user to set its datum shift on the datum page.
struct ProjectionValidation {
  bool accepted = true;
  std::vector<FormMessage> messages;
};
ProjectionValidation ValidateProjectionRecord(const ProjectionRecord& record);

class ProjectionForm {
 public:
  ProjectionForm(ProjectionRecord* edited, std::filesystem::path file)
      : edited_(edited), file_(std::move(file)) {}

  // CDlgProjection::OnInitDialog after the method combo is filled: loads the file, zeroes the
  // record and, when something is stored, chooses the newest entry. Returns the rows to show.
  ProjectionRowsView Open();

  // CDlgProjection::OnSelchangeMethod: the record takes the kind, its parameters become 0.
  ProjectionRowsView SelectMethod(int kind);
  // CDlgProjection::OnSelchangeSaved: kind and parameters of stored entry `index` (not its
  // name). Nothing happens for an index outside the list (returns false).
  bool SelectSaved(int index, ProjectionRowsView& rows);
  // CDlgProjection::OnDeleteProjection: removes the entry from the list (the file is written
  // only on OK) and zeroes the record. False for an index outside the list.
  bool DeleteSaved(int index);

  enum class OkOutcome { Cancel, StayOpen, Stored };
  struct OkResult {
    OkOutcome outcome = OkOutcome::Cancel;
    std::vector<FormMessage> messages;
  };
  // CDlgProjection::OnOK with the record already holding the typed parameters and `kind` the
  // method combo's choice: an empty name cancels; a refused EPSG code keeps the dialog open;
  // otherwise the record is stored under the name (cut to 30 characters) and the file
  // rewritten. A file that cannot be written is said so; the projection stays in force.
  OkResult Ok(const std::string& name, int kind);

  const ProjectionList& List() const { return list_; }
  std::vector<std::string> SavedNames() const { return list_.Names(); }
  const ProjectionRecord& Edited() const { return *edited_; }

 private:
  ProjectionRecord* edited_;
  std::filesystem::path file_;
  ProjectionList list_;
};
