// tolvanixpda: one running copy per program file; a second one brings the first to the
// front and ends.
#include <filesystem>

#include "platform/modules.h"
#include "platform/options_store.h"
#include "platform/ui/application.h"

extern "C" const TvxResourceBlob* tvx_program_resources();

int main(int argc, char** argv) {
  // Before anything that can be waited on: a termination request from now on ends the
  // program through its exit command once it runs.
  platform::ui::InstallTerminationHandlers();
  platform::SetProgramResources(tvx_program_resources());
  std::filesystem::path store = platform::OptionsStore::Instance().Path();
  std::error_code ignored;
  std::filesystem::create_directories(store.parent_path(), ignored);
  platform::SingleInstance instance(GetModuleFileName(nullptr), store.parent_path().string());
  if (!instance.TryAcquire() && instance.AskRunningCopyToRaise()) return 0;
  return platform::ui::RunApplication(argc, argv, &instance);
}
