// A private program folder for window tests of the document, frame and view: the shipped
// datum files under "internal/", a private options store, the application object through
// which they read their options, and the program's own resources. Everything is undone
// when the sandbox goes.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/strings.h"
#include "platform/modules.h"
#include "platform/options_store.h"
#include "platform/win_app.h"

extern "C" const TvxResourceBlob* tvx_program_resources();

namespace tvxtest {

class ProgramSandbox {
 public:
  // `name` keeps the folders of test programs that run at once apart.
  explicit ProgramSandbox(const std::string& name) {
    static bool resources = [] {
      platform::SetProgramResources(tvx_program_resources());
      return true;
    }();
    (void)resources;
    setenv("TVX_NO_SOUND", "1", 1);
    dir = std::filesystem::temp_directory_path() / ("tvx_" + name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "internal");
    for (const char* file : {"tvxdatum.bin", "tvxdtmlist.bin"}) {
      const auto shipped = std::filesystem::path(TVX_BINARY_DIR) / "internal" / file;
      if (std::filesystem::exists(shipped)) std::filesystem::copy_file(shipped, dir / "internal" / file);
    }
    ModuleDirectory = dir.string() + "/";
    platform::OptionsStore::Instance().SetPath((dir / "registry.ini").string());
    app = std::make_unique<CWinApp>("tolvanixpda");
    app->SetRegistryKey("Vorel - Tolvanix PDA");
  }
  ~ProgramSandbox() {
    app.reset();
    platform::OptionsStore::Instance().SetPath("");
    std::filesystem::remove_all(dir);
  }
  ProgramSandbox(const ProgramSandbox&) = delete;
  ProgramSandbox& operator=(const ProgramSandbox&) = delete;

  std::filesystem::path dir;
  std::unique_ptr<CWinApp> app;
};

}  // namespace tvxtest
