// The map view's paint in a real window (run under xvfb-run; it skips without a display).
//
// The scene of a long walk: one area of 10,000 vertices (a ring about 2 km across), 500
// waypoints inside it, the ruler and its grid on, with the default layers (outlines, vertex
// points, waypoint symbols), in a 480 x 560 view.
//
// FullPaint: the paint after any change of the document: the fit to everything shown, then
// the whole map drawn and copied to the window.
// CapturePaint: what a captured point costs the user-interface thread: the view's handler of
// the captured point (the caches extended by one pixel, then the whole map drawn from them).
// Target: under 16 ms (one frame at 60 Hz).
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/strings.h"
#include "document/tolvanix_doc.h"
#include "platform/modules.h"
#include "platform/options_store.h"
#include "platform/threads.h"
#include "platform/ui/application.h"
#include "platform/ui/dc.h"
#include "platform/ui/frame.h"
#include "platform/win_app.h"
#include "view/tolvanix_view.h"

extern "C" const TvxResourceBlob* tvx_program_resources();

namespace {

constexpr double kPi = 3.141592653589793;
constexpr std::size_t kVertices = 10000;
constexpr std::size_t kWaypoints = 500;
constexpr double kLon = 3.0, kLat = 45.0, kRadius = 0.01;  // degrees

// One windowed program for all benchmarks: the toolkit, a private program folder and options
// store, and the view in a plain frame over the document.
class Program {
 public:
  static Program* Get() {
    static Program* program = [] {
      auto* p = new Program;
      if (!p->ready_) {
        delete p;
        return static_cast<Program*>(nullptr);
      }
      return p;
    }();
    return program;
  }

  CTolvanixDoc* doc = nullptr;
  CTolvanixView* view = nullptr;

  // The walk's scene, fitted and painted once.
  void Scene() {
    doc->m_features.clear();
    FeatureRecord& f = doc->AddFeature(FeatureType::Area, "Field");
    for (std::size_t i = 0; i < kVertices; ++i) {
      const double a = 2.0 * kPi * static_cast<double>(i) / static_cast<double>(kVertices);
      const GeoPoint p{kLon + kRadius * std::cos(a), kLat + kRadius * std::sin(a)};
      f.AddVertex(p, p, 0);
    }
    doc->m_current = 0;
    doc->m_waypoints.clear();
    doc->m_waypointNotes.clear();
    for (std::size_t i = 0; i < kWaypoints; ++i) {
      const double a = 2.0 * kPi * static_cast<double>(i) / static_cast<double>(kWaypoints);
      const double r = kRadius * 0.8 * static_cast<double>(i % 10 + 1) / 10.0;
      doc->m_waypoints.emplace_back("W " + std::to_string(i + 1), 0, 0, 0.0, 0.0, 0,
                                    kLon + r * std::cos(a), kLat + r * std::sin(a),
                                    static_cast<std::int32_t>(i % 24));
      doc->m_waypointNotes.emplace_back();
    }
    view->m_showRuler = 1;
    view->m_showOutlines = 1;
    view->m_showPoints = 1;
    view->m_showWaypoints = 1;
    FullPaint();
  }

  void FullPaint() {
    doc->m_needsRedraw = true;
    CClientDC dc(view);
    view->OnDraw(&dc);
  }

  ~Program() = default;

 private:
  Program() {
    if (!std::getenv("DISPLAY")) return;
    wxApp::SetInstance(new wxApp);
    static int argc = 1;
    static char name[] = "bench_map_paint";
    static char* argv[] = {name, nullptr};
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) return;
    platform::SetUiThread();
    platform::ui::InstallWindowedBackends();
    platform::SetProgramResources(tvx_program_resources());
    setenv("TVX_NO_SOUND", "1", 1);
    dir_ = std::filesystem::temp_directory_path() /
           ("tvx_bench_map_paint_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_ / "internal");
    ModuleDirectory = dir_.string() + "/";
    platform::OptionsStore::Instance().SetPath((dir_ / "registry.ini").string());
    app_ = std::make_unique<CWinApp>("tolvanixpda");
    app_->SetRegistryKey("Vorel - Tolvanix PDA");
    template_.reset(MakeSingleDocTemplate<CTolvanixDoc, CFrameWnd, CTolvanixView>(128));
    doc = dynamic_cast<CTolvanixDoc*>(template_->OpenDocumentFile(""));
    if (!doc) return;
    CFrameWnd* frame = template_->GetFrame();
    view = dynamic_cast<CTolvanixView*>(frame->GetActiveView());
    if (!view) return;
    frame->ShowWindow(SW_SHOW);
    frame->GetFrame()->SetClientSize(480, 560);
    for (int i = 0; i < 200 && view->ClientWidth() != 480; ++i) {
      wxTheApp->ProcessPendingEvents();
      wxTheApp->Yield(true);
    }
    std::atexit([] {
      // Everything the benchmark made goes with it.
      if (Program* p = Get()) std::filesystem::remove_all(p->dir_);
    });
    ready_ = view->ClientWidth() == 480;
  }

  bool ready_ = false;
  std::filesystem::path dir_;
  std::unique_ptr<CWinApp> app_;
  std::unique_ptr<CSingleDocTemplate> template_;
};

void BM_FullPaint(benchmark::State& state) {
  Program* p = Program::Get();
  if (!p) return state.SkipWithError("needs a display (run under xvfb-run)");
  p->Scene();
  for (auto _ : state) p->FullPaint();
  if (p->doc->m_needsRedraw || p->view->m_featurePoints.size() != kVertices)
    state.SkipWithError("the paint did not fit the map");
}
BENCHMARK(BM_FullPaint)->Unit(benchmark::kMillisecond);

// Argument 0: the walker goes on round the inside of the ring past the first vertex (the
// triangle the point adds to the area is small). Argument 1: the walker is a quarter lap from
// the first vertex (the triangle, and the part drawn again, spans a quarter of the field).
void BM_CapturePaint(benchmark::State& state) {
  Program* p = Program::Get();
  if (!p) return state.SkipWithError("needs a display (run under xvfb-run)");
  p->Scene();
  FeatureRecord& f = p->doc->m_features[0];
  const double start = state.range(0) == 0 ? 0.0 : kPi / 2;
  std::size_t captured = 0;
  for (auto _ : state) {
    // Each point stays on the map.
    const double a = start + 0.001 * static_cast<double>(captured++);
    const GeoPoint at{kLon + 0.9 * kRadius * std::cos(a), kLat + 0.9 * kRadius * std::sin(a)};
    f.AddVertex(at, at, 0);
    p->doc->m_mapReady = false;
    p->view->SendMessage(WM_ADD_SEGMENTO, 0, 0);
  }
  if (p->doc->m_needsRedraw || p->view->m_featurePoints.size() != f.VertexCount())
    state.SkipWithError("a captured point refitted the map instead of extending it");
  state.counters["vertices"] = static_cast<double>(f.VertexCount());
}
BENCHMARK(BM_CapturePaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

