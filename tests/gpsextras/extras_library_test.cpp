// The library as the program uses it: loaded by path, its exports bound by name, one
// detection, and unloaded again.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gpsextras/extras_exports.h"
#include "tests/gpsextras/extras_test_support.h"
#include "tools/receiver_sim/receiver_simulator.h"

namespace {

struct HostBox {
  HWND owner;
  std::string text;
  std::string caption;
  UINT style;
};
std::vector<HostBox> g_hostBoxes;

}  // namespace

// The host program's message boxes, which the library looks up by name.
extern "C" __attribute__((visibility("default"))) int TvxHostMessageBox(HWND owner, const char* text,
                                                                        const char* caption, UINT style) {
  g_hostBoxes.push_back({owner, text, caption, style});
  return IDOK;
}

namespace {

const std::string kLibrary = std::string(TVX_BINARY_DIR) + "/internal/tolvanixextras.dll";

TEST(ExtrasLibraryTest, ExportsByNameOnly) {
  void* library = dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const char* name : {"AutoDetectGPS", "GetPuerto", "GetBaudios", "Switch", "MostrarGPSWindows", "ForceNMEA"}) {
    EXPECT_NE(dlsym(library, name), nullptr) << name;
  }
  for (const char* name : {"BuildSirfFrame", "DetectedPort", "MessageOwner", "TvxHostMessageBox"}) {
    EXPECT_EQ(dlsym(library, name), nullptr) << name;
  }
  dlclose(library);
}

TEST(ExtrasLibraryTest, DetectionThroughTheLoadedLibrary) {
  extras_test::IsolatePorts();
  std::vector<std::string> epochs = {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"};
  ReceiverSimulator::Settings settings;
  settings.epochsPerSecond = 10;
  settings.onlyAtBaud = 115200;
  ReceiverSimulator receiver;
  ASSERT_TRUE(receiver.Start(epochs, settings));
  extras_test::MapPort(2, receiver.SlavePath());

  void* library = dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto autoDetect = reinterpret_cast<AutoDetectGPSFn>(dlsym(library, "AutoDetectGPS"));
  auto getPuerto = reinterpret_cast<GetPuertoFn>(dlsym(library, "GetPuerto"));
  auto getBaudios = reinterpret_cast<GetBaudiosFn>(dlsym(library, "GetBaudios"));
  ASSERT_TRUE(autoDetect && getPuerto && getBaudios);
  const HWND owner = reinterpret_cast<HWND>(0x4711);
  EXPECT_EQ(autoDetect(owner, "Tolvanix PDA"), TRUE);
  EXPECT_EQ(getPuerto(), 2);
  EXPECT_EQ(getBaudios(), 8);
  ASSERT_EQ(g_hostBoxes.size(), 1u);
  EXPECT_EQ(g_hostBoxes[0].text, "Port COM:2\nBaud 115200");
  EXPECT_EQ(g_hostBoxes[0].owner, owner);
  dlclose(library);

  // A fresh load knows nothing of the last detection.
  library = dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(reinterpret_cast<GetPuertoFn>(dlsym(library, "GetPuerto"))(), 0);
  dlclose(library);
}

}  // namespace
