// A document under test: a private options store and program folder (with the shipped datum
// files), the program's own strings, no sound, and a stand-in for the map view that counts
// the messages the document posts to it.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "app/strings.h"
#include "document/tolvanix_doc.h"
#include "platform/cmd_target.h"
#include "platform/modules.h"
#include "platform/options_store.h"
#include "platform/win_app.h"
#include "platform/window_messages.h"

extern "C" const TvxResourceBlob* tvx_program_resources();

// Counts every message delivered to it.
class ViewStub : public CCmdTarget {
 public:
  ViewStub() : hwnd(platform::AttachWindow(this)) {}
  ~ViewStub() override { platform::DetachWindow(hwnd); }
  LRESULT WindowProc(UINT message, WPARAM, LPARAM) override {
    ++received[message];
    return 0;
  }
  int Count(UINT message) const {
    auto it = received.find(message);
    return it == received.end() ? 0 : it->second;
  }
  HWND hwnd;
  std::map<UINT, int> received;
};

// An NMEA sentence with its checksum and line end.
inline std::string Sentence(const std::string& body) {
  unsigned char sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return "$" + body + tail;
}

inline std::string NmeaAngle(double degrees, bool latitude) {
  const double a = degrees < 0 ? -degrees : degrees;
  const int whole = static_cast<int>(a);
  char text[40];
  std::snprintf(text, sizeof text, latitude ? "%02d%09.6f,%c" : "%03d%09.6f,%c", whole,
                (a - whole) * 60.0, latitude ? (degrees < 0 ? 'S' : 'N') : (degrees < 0 ? 'W' : 'E'));
  return text;
}

// GGA of a fix at lon/lat (degrees) with the quality, HDOP and altitude (metres) given.
inline std::string Gga(double lon, double lat, int quality = 1, double hdop = 1.0,
                       double altitude = 100.0) {
  char rest[64];
  std::snprintf(rest, sizeof rest, ",%d,08,%.1f,%.3f,M,50.0,M,,", quality, hdop, altitude);
  return Sentence("GPGGA,120000.00," + NmeaAngle(lat, true) + "," + NmeaAngle(lon, false) + rest);
}

inline std::string Rmc(double lon, double lat, char status = 'A') {
  return Sentence(std::string("GPRMC,120000.00,") + status + "," + NmeaAngle(lat, true) + "," +
                  NmeaAngle(lon, false) + ",0.5,10.0,140526,,,A");
}

class DocTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static bool resources = [] {
      platform::SetProgramResources(tvx_program_resources());
      return true;
    }();
    (void)resources;
    setenv("TVX_NO_SOUND", "1", 1);
    dir_ = std::filesystem::temp_directory_path() /
           ("tvx_doc_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ / "internal");
    for (const char* file : {"tvxdatum.bin", "tvxdtmlist.bin"}) {
      std::filesystem::path shipped = std::filesystem::path(TVX_BINARY_DIR) / "internal" / file;
      if (std::filesystem::exists(shipped))
        std::filesystem::copy_file(shipped, dir_ / "internal" / file);
    }
    ModuleDirectory = dir_.string() + "/";
    platform::OptionsStore::Instance().SetPath((dir_ / "registry.ini").string());
    app_ = std::make_unique<CWinApp>("tolvanixpda");
    app_->SetRegistryKey("Vorel - Tolvanix PDA");
  }

  void TearDown() override {
    doc_.reset();
    app_.reset();
    platform::OptionsStore::Instance().SetPath("");
    std::filesystem::remove_all(dir_);
  }

  void Store(const std::string& name, int value) {
    app_->WriteProfileInt("Opciones", name, value);
  }

  CTolvanixDoc& MakeDoc() {
    doc_ = std::make_unique<CTolvanixDoc>();
    doc_->m_hwndView = view_.hwnd;
    return *doc_;
  }

  void Feed(const std::string& text) {
    doc_->FeedNmea(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  }

  std::filesystem::path dir_;
  std::unique_ptr<CWinApp> app_;
  ViewStub view_;
  std::unique_ptr<CTolvanixDoc> doc_;
};
