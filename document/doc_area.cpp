#include "document/doc_area.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <utility>

#include "app/strings.h"
#include "document/doc_messages.h"
#include "document/tolvanix_doc.h"
#include "platform/threads.h"
#include "platform/window_messages.h"

AreaResult MeasureAreaJob(const AreaJob& job, TransformSet& set) {
  AreaResult result;
  result.index = job.index;
  result.epoch = job.epoch;
  result.vertexCount = job.wgs84.size();
  result.revision = job.revision;
  result.type = job.type;
  if (job.wgs84.empty() || !set.Ready()) return result;

  // Measured in the zone of the westernmost vertex, northern hemisphere: one plane for the
  // whole feature, whatever zones it spans.
  double west = job.wgs84.front().x;
  for (const GeoPoint& p : job.wgs84) west = std::min(west, p.x);
  int zone = 0;
  CTolvanixDoc::UtmZoneFromLongitude(west, zone);
  set.RetargetUtm(UtmTarget::Measuring, zone, true);

  // Projected a few thousand points per call, through small buffers that stay in the cache.
  constexpr std::size_t kBatch = 4096;
  std::vector<GeoPoint> plane(job.wgs84.size());
  std::vector<double> xs, ys;
  for (std::size_t first = 0; first < plane.size(); first += kBatch) {
    const std::size_t n = std::min(kBatch, plane.size() - first);
    xs.resize(n);
    ys.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      xs[i] = job.wgs84[first + i].x;
      ys[i] = job.wgs84[first + i].y;
    }
    if (set.Transform(TransformId::Utm, xs, ys) != n) return result;
    for (std::size_t i = 0; i < n; ++i) plane[first + i] = {xs[i], ys[i]};
  }
  result.measures = MeasureProjected(job.type, plane);
  result.ok = true;
  return result;
}

// ---------------------------------------------------------------------------------------------
// AreaWorker
// ---------------------------------------------------------------------------------------------

AreaWorker::AreaWorker(std::function<VersionedCoordSettings()> settings, std::atomic<bool>& busy,
                       std::function<void(bool)> finished)
    : settings_(std::move(settings)), busy_(busy), finished_(std::move(finished)) {}

AreaWorker::~AreaWorker() {
  WaitIdle(INFINITE_WAIT);
  std::lock_guard<std::mutex> lock(mutex_);
  if (thread_) {
    WaitForSingleObject(thread_, INFINITE_WAIT);
    CloseHandle(thread_);
  }
}

bool AreaWorker::Submit(AreaJob job) {
  // Taken here, on the asking thread: a change of settings after this call never reaches the
  // job, and one before it always does.
  job.settings = settings_();
  std::lock_guard<std::mutex> lock(mutex_);
  const int index = job.index;
  pending_[index] = std::move(job);
  busy_ = true;
  if (running_) return true;  // the running worker takes it before it ends
  if (thread_) {
    // The previous worker has stored its last result; at most its report is still running.
    WaitForSingleObject(thread_, INFINITE_WAIT);
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
    busy_ = !pending_.empty();
    idle_.notify_all();
    return false;
  }
  return true;
}

void AreaWorker::Run() {
  // The transformation set belongs to this thread: built here, used here, destroyed here. It
  // is built for the settings of the jobs at hand, again whenever they change: jobs asked for
  // after a change of settings join a running worker.
  TransformSet set;
  std::uint64_t builtFor = 0;
  bool built = false;
  for (;;) {
    std::vector<AreaJob> jobs = TakeJobs();
    const VersionedCoordSettings& asked = jobs.front().settings;
    if (!built || asked.generation != builtFor) {
      set = TransformSet::Build(asked.settings);
      builtFor = asked.generation;
      built = true;
    }
    std::vector<AreaResult> results = MeasureSideBySide(jobs, set, asked.settings);
    for (std::size_t i = 0; i < results.size(); ++i) {
      bool idle = false;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        results_.push_back(std::move(results[i]));
        idle = i + 1 == results.size() && pending_.empty();
        if (idle) {
          running_ = false;
          busy_ = false;
          idle_.notify_all();
        }
      }
      if (finished_) finished_(idle);
      if (idle) return;
    }
  }
}

std::vector<AreaJob> AreaWorker::TakeJobs() {
  std::lock_guard<std::mutex> lock(mutex_);
  // One batch is measured with one transformation set: only jobs asked under the settings of
  // the first one join it.
  const std::uint64_t generation = pending_.begin()->second.settings.generation;
  std::size_t points = 0;
  for (const auto& waiting : pending_) {
    if (waiting.second.settings.generation == generation) points += waiting.second.wgs84.size();
  }
  // A large batch (a loaded or imported document) is taken whole and measured side by side.
  const bool whole = points >= kSideBySidePoints;
  std::vector<AreaJob> jobs;
  for (auto it = pending_.begin(); it != pending_.end();) {
    if (it->second.settings.generation != generation) {
      ++it;
      continue;
    }
    jobs.push_back(std::move(it->second));
    it = pending_.erase(it);
    if (!whole) break;
  }
  return jobs;
}

std::vector<AreaResult> MeasureSideBySide(const std::vector<AreaJob>& jobs, TransformSet& set,
                                          const CoordSettings& settings) {
  std::vector<AreaResult> results(jobs.size());
  std::atomic<std::size_t> next{0};
  auto measureJobs = [&](TransformSet& own) {
    for (std::size_t i = next++; i < jobs.size(); i = next++) results[i] = MeasureAreaJob(jobs[i], own);
  };
  // Every helper builds and uses its own transformation set. Those builds partly wait for one
  // another inside PROJ, so that more than a few threads gain nothing.
  constexpr unsigned kMaxThreads = 4;
  const std::size_t threads = std::min<std::size_t>(
      jobs.size(), std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads));
  std::vector<std::thread> helpers;
  try {
    while (helpers.size() + 1 < threads) {
      helpers.emplace_back([&] {
        TransformSet own = TransformSet::Build(settings);
        measureJobs(own);
      });
    }
  } catch (const std::system_error&) {
    // Fewer threads than asked for: those there are share the jobs.
  }
  measureJobs(set);
  for (std::thread& helper : helpers) helper.join();
  return results;
}

std::vector<AreaResult> AreaWorker::TakeResults() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(results_, {});
}

bool AreaWorker::Busy() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return running_ || !pending_.empty();
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

// ---------------------------------------------------------------------------------------------
// The document's side: starting, waiting, storing results, and the small measuring helpers.
// ---------------------------------------------------------------------------------------------

void CTolvanixDoc::StartAreaRecompute(int index, BOOL force) {
  m_areaIndex = index < 0 ? m_current : index;
  if (m_areaIndex < 0 || static_cast<std::size_t>(m_areaIndex) >= m_features.size()) {
    // An empty feature list: nothing to compute.
    SetEvent(m_areaEvent);
    return;
  }
  FeatureRecord& feature = m_features[m_areaIndex];
  const int n = static_cast<int>(feature.VertexCount());
  if (n == 0) {
    // Nothing to measure; the feature keeps its previous measures.
    SetEvent(m_areaEvent);
    return;
  }
  // A feature is left alone only while it has the shape of its own last measurement: another
  // feature's count says nothing about it, and neither does its own count (a vertex erased
  // and another captured leave the count as it was).
  const bool unchanged = feature.measuredCount >= 0 &&
                         feature.measuredRevision == feature.shapeRevision &&
                         FeatureRecord::SameMeasure(feature.measuredType, feature.type);
  if (unchanged && !force && m_lastVertexCount != -1) return;
  m_lastVertexCount = n;
  feature.measuredCount = n;
  feature.measuredRevision = feature.shapeRevision;
  feature.measuredType = feature.type;
  feature.measurePending = true;
  AreaJob job;
  job.index = m_areaIndex;
  job.epoch = m_featureEpoch;
  job.type = feature.type;
  job.revision = feature.shapeRevision;
  job.wgs84 = feature.wgs84Vertices;  // the worker measures this copy
  m_areaWorker->Submit(std::move(job));
}

void CTolvanixDoc::FeaturesMoved() {
  // Results under way name indices that may hold other features now: they are given up, and
  // every feature still waiting for one is measured again where it stands.
  ++m_featureEpoch;
  for (int i = 0; i < static_cast<int>(m_features.size()); ++i) {
    if (m_features[i].measurePending) StartAreaRecompute(i, TRUE);
  }
}

int CTolvanixDoc::ApplyAreaResults() {
  int stored = 0;
  for (const AreaResult& r : m_areaWorker->TakeResults()) {
    // A result belongs to the feature only while it still has the shape that was measured.
    if (!r.ok || r.epoch != m_featureEpoch || r.index < 0 ||
        static_cast<std::size_t>(r.index) >= m_features.size())
      continue;
    FeatureRecord& feature = m_features[r.index];
    if (feature.shapeRevision != r.revision || feature.VertexCount() != r.vertexCount ||
        !FeatureRecord::SameMeasure(r.type, feature.type)) {
      continue;
    }
    feature.area = r.measures.area;
    feature.length = r.measures.length;
    feature.perimeter = r.measures.perimeter;
    if (feature.measuredRevision == r.revision) feature.measurePending = false;
    ++stored;
  }
  return stored;
}

bool CTolvanixDoc::MeasuresUpToDate(int index) const {
  const int i = index < 0 ? m_current : index;
  if (i < 0 || static_cast<std::size_t>(i) >= m_features.size()) return true;
  return m_features[static_cast<std::size_t>(i)].MeasuresUpToDate();
}

bool CTolvanixDoc::CurrentMeasuresUpToDate() const { return MeasuresUpToDate(-1); }

LRESULT CTolvanixDoc::OnAreaDone(WPARAM, LPARAM) {
  ApplyAreaResults();
  PostMessage(m_hwndView, WM_DIBUJAR_CAMPOS, 0, 0);
  return 0;
}

void CTolvanixDoc::RecomputeAreasAndWait(int index) {
  ResetEvent(m_areaEvent);
  if (index >= 0) {
    StartAreaRecompute(index, TRUE);
  } else {
    for (int i = static_cast<int>(m_features.size()) - 1; i >= 0; --i) StartAreaRecompute(i, TRUE);
  }
  // Bounded work: the worker ends once the jobs just given are measured.
  m_areaWorker->WaitIdle(INFINITE_WAIT);
  ApplyAreaResults();
}

double CTolvanixDoc::CalcDistance(const GeoPoint& a, const GeoPoint& b) { return ::CalcDistance(a, b); }

double CTolvanixDoc::CalcBearing(const GeoPoint& from, const GeoPoint& at) {
  return ::CalcBearing(from, at);
}

double CTolvanixDoc::UtmZoneFromLongitude(double longitude, int& zone) {
  zone = 1 - static_cast<int>((longitude + 180.0) * (-1.0 / 6.0));
  // Longitude 180 is the western edge of zone 1, not a zone 61.
  if (zone > 60) zone -= 60;
  if (zone < 1) zone = 1;
  return zone * 6.0 - 183.0;
}
