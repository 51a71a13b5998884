// The area worker: measures features (area, open length, closed perimeter) on a thread of its
// own so that capture stays responsive.
//
// The user-interface thread hands over a job: a copy of the feature's WGS84 vertices and its
// type. The worker projects the copy into UTM of the zone of its westernmost vertex (northern
// hemisphere, on the chosen datum; or into the user projection) with a transformation set it
// builds itself, measures it in that plane (document/measures.h) and leaves the result for the
// user-interface thread, which stores it into the feature. The worker never touches the
// document's feature list, so the list may change while it runs.
//
// Every job is measured under the coordinate settings in force when it was asked for: Submit
// takes them with the job, and a run that meets a job of newer settings builds its set anew
// before measuring it.
//
// Jobs are kept per feature: a job for a feature that already has one waiting replaces it
// (only its newest shape matters); a job asked for while the worker runs waits and is taken
// by the same run, so no request is ever lost. One worker thread at a time; it ends when no
// job is left. When many points wait at once (a document just loaded), the worker measures
// several features side by side on short-lived helper threads and reports their results as
// its own, in feature order.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "coords/spatial_reference.h"
#include "coords/transform_set.h"
#include "document/measures.h"
#include "document/records.h"
#include "platform/win_types.h"

// Coordinate settings and the generation that names them: each change of the settings gets a
// new generation.
struct VersionedCoordSettings {
  CoordSettings settings;
  std::uint64_t generation = 0;
};

struct AreaJob {
  int index = 0;            // feature index in the document at submission
  std::uint64_t epoch = 0;  // the document's feature-list epoch at submission
  FeatureType type = FeatureType::Area;
  std::uint64_t revision = 0;   // the feature's shape revision at submission
  std::vector<GeoPoint> wgs84;  // WGS84 degrees, longitude x
  // The settings the job is measured under (set by AreaWorker::Submit).
  VersionedCoordSettings settings;
};

struct AreaResult {
  int index = 0;
  std::uint64_t epoch = 0;
  std::size_t vertexCount = 0;  // of the measured copy
  std::uint64_t revision = 0;   // shape revision of the measured copy
  FeatureType type = FeatureType::Area;
  FeatureMeasures measures;
  bool ok = false;  // false: the vertices could not be projected (measures not stored)
};

// Measures one job with a transformation set of the calling thread (built from the document's
// coordinate settings). Vertices that cannot be projected give a result that is not ok.
AreaResult MeasureAreaJob(const AreaJob& job, TransformSet& set);
// Measures jobs at the same time on the calling thread (with `set`) and on up to three helper
// threads, each with a set built there from `settings`; results in job order.
std::vector<AreaResult> MeasureSideBySide(const std::vector<AreaJob>& jobs, TransformSet& set,
                                          const CoordSettings& settings);

class AreaWorker {
 public:
  // settings: the coordinate settings in force, read by Submit on the submitting thread; the
  // worker thread builds its own transformation set from those of each job. busy: set while
  // a worker runs or a job waits (written under the worker's lock, so it never reads false
  // while work is under way). finished: called on the worker thread after each result was
  // stored; idle is true when that result was the last one asked for.
  AreaWorker(std::function<VersionedCoordSettings()> settings, std::atomic<bool>& busy,
             std::function<void(bool idle)> finished);
  ~AreaWorker();  // waits for a running worker
  AreaWorker(const AreaWorker&) = delete;
  AreaWorker& operator=(const AreaWorker&) = delete;

  // Queues the job under the settings in force now (replacing a waiting one of the same
  // feature) and starts a worker thread when none runs. False when no thread could be started
  // (the job is dropped).
  bool Submit(AreaJob job);
  // Results finished since the last call, oldest first.
  std::vector<AreaResult> TakeResults();
  bool Busy() const;
  // Waits until no worker runs and no job waits; false on time-out.
  bool WaitIdle(std::uint32_t milliseconds);

 private:
  void Run();
  // The next job, or for a large batch all those asked under the same settings as it.
  std::vector<AreaJob> TakeJobs();

  // Points waiting in all jobs from which they are measured side by side: below it, starting
  // helper threads (each builds its transformation set, a few milliseconds) costs more than
  // it saves.
  static constexpr std::size_t kSideBySidePoints = 200'000;

  std::function<VersionedCoordSettings()> settings_;
  std::atomic<bool>& busy_;
  std::function<void(bool)> finished_;
  mutable std::mutex mutex_;
  std::condition_variable idle_;
  std::map<int, AreaJob> pending_;  // by feature index
  std::vector<AreaResult> results_;
  bool running_ = false;
  HANDLE thread_ = nullptr;  // the running (or last) worker thread
};
