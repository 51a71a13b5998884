#pragma once
// Helpers of the GDAL-side coordinate tests: a scratch folder and PROJ pipelines used as the
// independent reference for what GDAL computes.

#include <proj.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("tvx_coords_gdal_" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A full disk while it lives: no file of this process grows by a byte (the file-size limit,
// whose signal is ignored, so that the write fails with EFBIG instead). Keep it to the write
// under test: output the test itself writes to a file meets the same limit.
class DiskFull {
 public:
  DiskFull() {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit none = old_;
    none.rlim_cur = 0;
    ::setrlimit(RLIMIT_FSIZE, &none);
  }
  ~DiskFull() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, previous_);
  }
  DiskFull(const DiskFull&) = delete;
  DiskFull& operator=(const DiskFull&) = delete;

 private:
  struct rlimit old_ {};
  void (*previous_)(int) = SIG_DFL;
};

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
}

// A PROJ pipeline from WGS84 degrees (longitude, latitude) to whatever its steps produce.
class ProjPipeline {
 public:
  explicit ProjPipeline(const std::string& steps)
      : context_(proj_context_create()),
        pj_(proj_create(context_, ("+proj=pipeline +step +proj=unitconvert +xy_in=deg "
                                   "+xy_out=rad " + steps).c_str())) {
    if (!pj_) throw std::runtime_error("PROJ refused pipeline: " + steps);
  }
  ~ProjPipeline() {
    proj_destroy(pj_);
    proj_context_destroy(context_);
  }
  ProjPipeline(const ProjPipeline&) = delete;
  ProjPipeline& operator=(const ProjPipeline&) = delete;

  std::pair<double, double> Forward(double lon, double lat) const {
    const PJ_COORD out = proj_trans(pj_, PJ_FWD, proj_coord(lon, lat, 0, 0));
    return {out.xy.x, out.xy.y};
  }

 private:
  PJ_CONTEXT* context_;
  PJ* pj_;
};

// Steps from WGS84 (radians) through a position-vector Helmert shift onto another ellipsoid.
inline std::string DatumShiftSteps(const std::string& ellipsoid, const std::string& helmert) {
  return "+step +proj=cart +ellps=WGS84 +step +inv +proj=helmert " + helmert +
         " +convention=position_vector +step +inv +proj=cart " + ellipsoid;
}
