#include "dialogs/program_dialogs.h"

#include "document/tolvanix_doc.h"

void InstallProgramDialogs() {
  static ProgramDialogs dialogs;
  CTolvanixDoc::SetDocumentDialogs(&dialogs);
}
