#include "document/doc_area.h"

#include <algorithm>
#include <utility>

#include "coords/transform_set.h"
#include "platform/threads.h"

namespace {

// UTM zone of a longitude (degrees): 1 + floor((lon + 180) / 6), kept in 1-60.
int ZoneOfLongitude(double longitude) {
  int zone = 1 - static_cast<int>((longitude + 180.0) * (-1.0 / 6.0));
  return std::clamp(zone, 1, 60);
}

}  // namespace

AreaResult MeasureAreaJob(const AreaJob& job, const CoordSettings& settings) {
  AreaResult result;
  result.index = job.index;
  result.epoch = job.epoch;
  result.vertexCount = job.wgs84.size();
  result.type = job.type;
  if (job.wgs84.empty()) return result;

  // The transformation set lives and dies on this thread.
  TransformSet set = TransformSet::Build(settings);
  if (!set.Ready()) return result;

  // Measured in the zone of the westernmost vertex, northern hemisphere (the same plane for
  // the whole feature, whatever zones it spans).
  double west = job.wgs84.front().x;
  for (const GeoPoint& p : job.wgs84) west = std::min(west, p.x);
  set.RetargetUtm(UtmTarget::Measuring, ZoneOfLongitude(west), true);

  std::vector<double> xs(job.wgs84.size());
  std::vector<double> ys(job.wgs84.size());
  for (std::size_t i = 0; i < job.wgs84.size(); ++i) {
    xs[i] = job.wgs84[i].x;
    ys[i] = job.wgs84[i].y;
  }
  if (set.Transform(TransformId::Utm, xs, ys) != xs.size()) return result;

  std::vector<GeoPoint> plane(xs.size());
  for (std::size_t i = 0; i < xs.size(); ++i) plane[i] = {xs[i], ys[i]};
  result.measures = MeasureProjected(job.type, plane);
  result.ok = true;
  return result;
}

AreaWorker::AreaWorker(std::function<CoordSettings()> settings, std::function<void()> finished)
    : settings_(std::move(settings)), finished_(std::move(finished)) {}

AreaWorker::~AreaWorker() {
  WaitIdle(INFINITE_WAIT);
  std::lock_guard<std::mutex> lock(mutex_);
  if (thread_) {
    WaitForSingleObject(thread_, INFINITE_WAIT);
    CloseHandle(thread_);
  }
}

bool AreaWorker::Submit(AreaJob job) {
  std::lock_guard<std::mutex> lock(mutex_);
  const int index = job.index;
  pending_[index] = std::move(job);
  if (running_) return true;  // the running worker takes it before it ends
  if (thread_) {
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  running_ = true;
  thread_ = CreateThread([this]() -> DWORD {
    Run();
    return 0;
  });
  if (!thread_) {
    running_ = false;
    pending_.erase(index);
    idle_.notify_all();
    return false;
  }
  return true;
}

void AreaWorker::Run() {
  for (;;) {
    AreaJob job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (pending_.empty()) {
        running_ = false;
        idle_.notify_all();
        return;
      }
      auto first = pending_.begin();
      job = std::move(first->second);
      pending_.erase(first);
    }
    AreaResult result = MeasureAreaJob(job, settings_());
    {
      std::lock_guard<std::mutex> lock(mutex_);
      results_.push_back(std::move(result));
    }
    if (finished_) finished_();
  }
}

std::vector<AreaResult> AreaWorker::TakeResults() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(results_, {});
}

bool AreaWorker::Busy() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return running_;
}

bool AreaWorker::WaitIdle(std::uint32_t milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  auto idle = [this] { return !running_ && pending_.empty(); };
  if (milliseconds == INFINITE_WAIT) {
    idle_.wait(lock, idle);
    return true;
  }
  return idle_.wait_for(lock, std::chrono::milliseconds(milliseconds), idle);
}
