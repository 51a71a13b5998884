// The map view's picture in a real frame (under Xvfb): a known square drawn into the view,
// its edges and fill where the fit puts them, the GPS marker over it and taken off again,
// a captured point added to the picture at once, and the grid of the ruler; navigation to a
// waypoint through the program's popups and dialogs, and the compass it opens.
#include <gtest/gtest.h>
#include <shapefil.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>

#include "app/main_frame.h"
#include "app/tolvanix_app.h"
#include "app/strings.h"
#include "dialogs/export_dialogs.h"
#include "dialogs/feature_dialogs.h"
#include "dialogs/measure_dialogs.h"
#include "dialogs/options_sheet.h"
#include "dialogs/program_dialogs.h"
#include "dialogs/waypoint_dialogs.h"
#include "document/export_prompts.h"
#include "document/tolvanix_doc.h"
#include "platform/file_dialog.h"
#include "platform/modules.h"
#include "platform/options_store.h"
#include "platform/ui/dc.h"
#include "platform/message_box.h"
#include "platform/ui/input.h"
#include "platform/ui/menu.h"
#include "platform/win_app.h"
#include "tests/options/window_helpers.h"
#include "tests/support/program_sandbox.h"
#include "tests/support/program_windows.h"
#include "tests/support/wx_test_environment.h"
#include "tests/view/fake_screensaver.h"
#include "tests/view/real_input.h"
#include "view/navigation_wnd.h"
#include "view/tolvanix_view.h"


namespace {

constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kGrey = 0xC8C8C8;

// The square: 0.001 degree of longitude by 0.0005 of latitude at latitude 60, 55.59 m a side.
constexpr double kWest = 10.0, kEast = 10.001, kSouth = 60.0, kNorth = 60.0005;

class ViewWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
    sandbox_ = std::make_unique<tvxtest::ProgramSandbox>("view");
    CWinApp* app = sandbox_->app.get();
    // Only the layers under test.
    for (const char* name : {"Puntos", "Vertices", "Regla", "Labels"})
      app->WriteProfileInt("Opciones", name, 0);

    template_.reset(MakeTemplate());
    doc_ = dynamic_cast<CTolvanixDoc*>(template_->OpenDocumentFile(""));
    ASSERT_NE(doc_, nullptr);
    frame_ = template_->GetFrame();
    view_ = dynamic_cast<CTolvanixView*>(frame_->GetActiveView());
    ASSERT_NE(view_, nullptr);
    frame_->ShowWindow(SW_SHOW);
    frame_->GetFrame()->SetClientSize(241, 330);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->ClientWidth() == 241; }));
    doc_->m_docName.clear();
  }

  void TearDown() override {
    if (frame_) frame_->DestroyWindow();
    // A test skipped without a display made no template.
    if (template_) tvxtest::PumpUntil([&] { return template_->GetFrame() == nullptr; });
    template_.reset();
    sandbox_.reset();
  }

  // The plain frame around the view; the program's own frame with its bars where the bars
  // matter.
  virtual CSingleDocTemplate* MakeTemplate() {
    return MakeSingleDocTemplate<CTolvanixDoc, CFrameWnd, CTolvanixView>(128);
  }

  FeatureRecord& Square(std::int32_t pattern) {
    doc_->m_features.clear();
    FeatureRecord& f = doc_->AddFeature(FeatureType::Area, "");
    for (GeoPoint p : {GeoPoint{kWest, kSouth}, {kEast, kSouth}, {kEast, kNorth}, {kWest, kNorth}})
      f.AddVertex(p, p, 0);
    f.pattern = pattern;
    f.colour = kBlue;
    doc_->m_current = 0;
    return f;
  }

  // A full paint with a refit, as after any change of the document.
  void Paint() {
    view_->RequestRedraw();
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return !doc_->m_needsRedraw; }));
    view_->UpdateWindow();
  }

  COLORREF Pixel(int x, int y) {
    CClientDC dc(view_);
    return dc.GetPixel(x, y);
  }

  // Where the fit must put the square (client pixels): the map area is the client area less
  // three panel rows, 5 pixels of margin; the square fills 0.8 of the smaller side.
  struct Box {
    double left, right, top, bottom;
  };
  Box Expected() const {
    const double mapW = view_->ClientWidth() - 5;
    const double mapH = view_->ClientHeight() - 3 * view_->m_rowUnit - 5;
    const double side = 0.8 * std::min(mapW, mapH);
    const double cx = mapW / 2 + 2, cy = mapH / 2 + 2 + 2 * view_->m_rowUnit;
    return {cx - side / 2, cx + side / 2, cy - side / 2, cy + side / 2};
  }

  std::unique_ptr<tvxtest::ProgramSandbox> sandbox_;
  std::unique_ptr<CSingleDocTemplate> template_;
  CTolvanixDoc* doc_ = nullptr;
  CFrameWnd* frame_ = nullptr;
  CTolvanixView* view_ = nullptr;
};

TEST_F(ViewWindow, SquareEdgesAndFillsWhereTheFitPutsThem) {
  Square(6);  // outline only
  Paint();
  Box b = Expected();
  const int midY = static_cast<int>((b.top + b.bottom) / 2);
  const int midX = static_cast<int>((b.left + b.right) / 2);
  auto blueNear = [&](int x, int y, bool vertical) {
    for (int d = -1; d <= 1; ++d)
      if (Pixel(vertical ? x + d : x, vertical ? y : y + d) == kBlue) return true;
    return false;
  };
  EXPECT_TRUE(blueNear(static_cast<int>(std::lround(b.left)), midY, true));
  EXPECT_TRUE(blueNear(static_cast<int>(std::lround(b.right)), midY, true));
  EXPECT_TRUE(blueNear(midX, static_cast<int>(std::lround(b.top)), false));
  EXPECT_TRUE(blueNear(midX, static_cast<int>(std::lround(b.bottom)), false));
  EXPECT_EQ(Pixel(midX, midY), kWhite) << "pattern 6 leaves the inside unfilled";
  EXPECT_EQ(Pixel(static_cast<int>(b.left) - 4, midY), kWhite);

  Square(0);  // solid fill
  Paint();
  EXPECT_EQ(Pixel(midX, midY), kBlue);
  EXPECT_EQ(Pixel(static_cast<int>(b.right) + 4, midY), kWhite);
}

// Pattern 1 (horizontal lines): one row in five carries the feature's colour, anywhere inside,
// the others are white.
TEST_F(ViewWindow, PatternFillTilesItsFiveByFiveCells) {
  Square(1);
  Paint();
  const Box b = Expected();
  const int midX = static_cast<int>((b.left + b.right) / 2);
  const int midY = static_cast<int>((b.top + b.bottom) / 2);
  int coloured = 0, white = 0;
  for (int y = midY; y < midY + 10; ++y) {
    coloured += Pixel(midX, y) == kBlue;
    white += Pixel(midX, y) == kWhite;
  }
  EXPECT_EQ(coloured, 2);
  EXPECT_EQ(white, 8);
}

TEST_F(ViewWindow, GpsMarkerIsDrawnAndTakenOffAgain) {
  Square(6);
  Paint();
  doc_->m_hasFix = true;
  doc_->m_datumLon = (kWest + kEast) / 2;
  doc_->m_datumLat = (kSouth + kNorth) / 2;
  view_->DrawGpsMarker();
  const Box b = Expected();
  EXPECT_NEAR(view_->m_markerX, (b.left + b.right) / 2, 1.0);
  EXPECT_NEAR(view_->m_markerY, (b.top + b.bottom) / 2, 1.0);
  const int x0 = view_->m_markerX, y0 = view_->m_markerY;
  EXPECT_EQ(Pixel(x0, y0), kRed);

  doc_->m_datumLon = kWest + 0.00025;
  view_->DrawGpsMarker();
  EXPECT_LT(view_->m_markerX, x0 - 20);
  EXPECT_EQ(Pixel(view_->m_markerX, view_->m_markerY), kRed);
  EXPECT_EQ(Pixel(x0, y0), kWhite) << "the old place shows the map again";
}

// The info panels show the texts set on them, also through the plain window.
TEST_F(ViewWindow, PanelsShowTheirTexts) {
  CWnd* panel = view_->m_positionPanel;
  ASSERT_NE(panel, nullptr);
  RECT r;
  panel->GetClientRect(&r);
  auto inked = [&] {
    CClientDC dc(panel);
    int count = 0;
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x) count += dc.GetPixel(x, y) != kWhite;
    return count;
  };
  panel->SetWindowText("");
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return inked() == 0; }));
  panel->SetWindowText(" Lon 2.1222105\n Lat 41.3800000");
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return inked() > 20; }));
}

// With the overlay switch on, a fill combines with what lies below it (pen colour AND
// destination): blue over red gives black, over white stays blue.
TEST_F(ViewWindow, OverlayFillsCombineWithWhatLiesBelow) {
  FeatureRecord& red = Square(0);
  red.colour = kRed;
  FeatureRecord& blue = doc_->AddFeature(FeatureType::Area, "");
  const double mid = (kWest + kEast) / 2, far = kEast + 0.0005;
  for (GeoPoint p : {GeoPoint{mid, kSouth}, {far, kSouth}, {far, kNorth}, {mid, kNorth}})
    blue.AddVertex(p, p, 0);
  blue.pattern = 0;
  blue.colour = kBlue;
  doc_->m_current = 1;  // drawn last
  view_->m_overlay = 1;
  Paint();
  const int w = view_->ClientWidth() - 5, h = view_->ClientHeight() - 3 * view_->m_rowUnit - 5;
  const int y = view_->WorldToScreenY((kSouth + kNorth) / 2, h);
  EXPECT_EQ(Pixel(view_->WorldToScreenX((kWest + mid) / 2, w), y), kRed);
  EXPECT_EQ(Pixel(view_->WorldToScreenX((mid + kEast) / 2, w), y), 0u);
  EXPECT_EQ(Pixel(view_->WorldToScreenX((kEast + far) / 2, w), y), kBlue);
}

// The target arrow turned to the bearing and laid over the map through its mask: east at a
// bearing of 90 degrees, the map showing around it, and taken off again when it moves.
TEST_F(ViewWindow, MeasureArrowTurnsToTheBearingOverTheMap) {
  Square(0);
  Paint();
  doc_->m_datumLon = (kWest + kEast) / 2;
  doc_->m_datumLat = (kSouth + kNorth) / 2;
  view_->m_targetBearing = 90.0;
  view_->DrawMeasureOverlay();
  const int x = view_->m_markerX, y = view_->m_markerY;
  EXPECT_EQ(Pixel(x + 6, y), kRed) << "the head points east";
  EXPECT_EQ(Pixel(x - 9, y), kRed) << "the shaft trails west";
  EXPECT_EQ(Pixel(x, y - 11), kBlue) << "no head north: the map shows through the background";
  EXPECT_EQ(Pixel(x - 6, y - 6), kBlue);

  doc_->m_datumLon = kWest + 0.0002;
  view_->DrawMeasureOverlay();
  EXPECT_EQ(Pixel(x + 6, y), kBlue) << "the old arrow is taken off";
  EXPECT_EQ(Pixel(view_->m_markerX + 6, view_->m_markerY), kRed);
}

TEST_F(ViewWindow, CapturedPointJoinsThePictureAtOnce) {
  FeatureRecord& f = Square(6);
  // Forty vertices along the south, east and north sides, west to west.
  f.FreeVertices();
  for (int i = 0; i < 40; ++i) {
    const double t = i / 39.0 * 3;
    GeoPoint p = t < 1   ? GeoPoint{kWest + t * (kEast - kWest), kSouth}
                 : t < 2 ? GeoPoint{kEast, kSouth + (t - 1) * (kNorth - kSouth)}
                         : GeoPoint{kEast - (t - 2) * (kEast - kWest), kNorth};
    f.AddVertex(p, p, 0);
  }
  Paint();
  ASSERT_EQ(view_->m_featurePoints.size(), 40u);
  const ScreenPoint last = view_->m_featurePoints.back();

  GeoPoint centre{(kWest + kEast) / 2, (kSouth + kNorth) / 2};
  f.AddVertex(centre, centre, 0);
  EXPECT_EQ(view_->OnAddSegmento(0, 0), 0);
  ASSERT_EQ(view_->m_featurePoints.size(), 41u);
  EXPECT_FALSE(doc_->m_needsRedraw) << "drawn from the caches, without a refit";
  const ScreenPoint added = view_->m_featurePoints.back();
  // The new side runs from the old last vertex to the centre.
  const int mx = (last.x + added.x) / 2, my = (last.y + added.y) / 2 + 2 * view_->m_rowUnit;
  bool found = false;
  for (int d = -1; d <= 1 && !found; ++d) found = Pixel(mx, my + d) == kBlue;
  EXPECT_TRUE(found);

  // A point that leaves the map re-centres on the GPS instead of being drawn.
  f.AddVertex({kEast + 0.01, kNorth}, {kEast + 0.01, kNorth}, 0);
  view_->m_markerX = 10;
  view_->m_markerY = 10;
  EXPECT_EQ(view_->OnAddSegmento(0, 0), 0);
  EXPECT_EQ(view_->m_featurePoints.size(), 41u);
  EXPECT_TRUE(doc_->m_needsRedraw);
  EXPECT_EQ(view_->m_offsetX, static_cast<int>(-(10 - view_->ClientWidth() * 0.5)));
}

TEST_F(ViewWindow, RulerGridLinesAtTheStep) {
  Square(6);
  view_->m_showRuler = 1;
  Paint();
  const RulerScale r = ComputeRuler(-1, view_->m_scale, 0);
  ASSERT_GT(r.lengthPx, 5);
  // A vertical grid line at x = L, away from the square.
  const int y = 2 * view_->m_rowUnit + 3;
  EXPECT_EQ(Pixel(r.lengthPx, y), kGrey);
  EXPECT_EQ(Pixel(r.lengthPx + 2, y), kWhite);
}

// ---------------------------------------------------------------------------------------
// What the user does to the picture, with real input, read back after an ordinary repaint.

constexpr COLORREF kGreen = 0x00C000;

class ViewWindowInput : public ViewWindow {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
    // The layer popup is a menu of the language module.
    module_ = LoadLibrary((std::string(TVX_BINARY_DIR) + "/internal/tvx_en.dll").c_str());
    ASSERT_NE(module_, nullptr);
    AfxSetResourceHandle(module_);
    platform::PopupMenuScript::Clear();
    platform::MessageBoxScript::Clear();
    ViewWindow::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    frame_->GetFrame()->Raise();
    doc_->m_notifyActive = 0;
  }
  void TearDown() override {
    ViewWindow::TearDown();
    AfxSetResourceHandle(nullptr);
    if (module_) FreeLibrary(module_);
  }

  // Pixels of one colour in the map area, and those of them outside a client box.
  struct Count {
    int all = 0, outside = 0;
  };
  Count CountColour(COLORREF colour, const Box& inside, double margin) {
    CClientDC dc(view_);
    Count c;
    const int top = 2 * view_->m_rowUnit, bottom = view_->ClientHeight() - view_->m_rowUnit;
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < view_->ClientWidth(); ++x) {
        if (dc.GetPixel(x, y) != colour) continue;
        ++c.all;
        if (x < inside.left - margin || x > inside.right + margin || y < inside.top - margin ||
            y > inside.bottom + margin)
          ++c.outside;
      }
    }
    return c;
  }
  // An ordinary repaint of the whole view, as after being covered.
  void Repaint() {
    view_->Invalidate(TRUE);
    view_->UpdateWindow();
    tvxtest::PumpFor(50);
  }

  // Client pixels of the view on the screen.
  wxRect OnScreen(int x, int y, int width, int height) const {
    CPoint at(x, y);
    view_->ClientToScreen(&at);
    return {at.x, at.y, width, height};
  }
  // The map area (the client between the two top panel rows and the bottom one) on screen.
  wxRect MapArea() const {
    return OnScreen(0, 2 * view_->m_rowUnit, view_->ClientWidth(),
                    view_->ClientHeight() - 3 * view_->m_rowUnit);
  }
  COLORREF ScreenPixel(int x, int y) const {
    const std::vector<COLORREF> one = tvxtest::ScreenPixels(OnScreen(x, y, 1, 1));
    return one.empty() ? CLR_INVALID : one[0];
  }
  // Magenta over the map on the window, until the screen shows it: the next picture of the
  // map is seen to arrive when the magenta has gone. (Nothing may be waiting to be painted.)
  void Smear() {
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return tvxtest::OnScreen(view_->GetWxWindow()); }));
    {
      CClientDC dc(view_);
      dc.FillSolidRect(0, 2 * view_->m_rowUnit, view_->ClientWidth(),
                       view_->ClientHeight() - 3 * view_->m_rowUnit, kMagenta);
    }
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return tvxtest::PixelsOnScreen(MapArea(), kMagenta) > 0; }));
  }
  bool NewPictureShown() {
    return tvxtest::PumpUntil([&] { return tvxtest::PixelsOnScreen(MapArea(), kMagenta) == 0; });
  }
  // An ordinary repaint, as after the map was covered, waited for until the screen shows it
  // (a paint draws the map and puts it on the screen in one step).
  void RepaintOnScreen() {
    view_->m_pictureDigest = 0;
    view_->Invalidate(TRUE);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_pictureDigest != 0; }));
  }
  // How many pixels of a client box of the view the screen shows in the colour.
  int Inked(int x, int y, int width, int height, COLORREF colour) const {
    return tvxtest::PixelsOnScreen(OnScreen(x, y, width, height), colour);
  }
  int NotWhite(int x, int y, int width, int height) const {
    int count = 0;
    for (COLORREF c : tvxtest::ScreenPixels(OnScreen(x, y, width, height))) count += c != kWhite;
    return count;
  }

  static constexpr COLORREF kMagenta = 0xFF00FF;
  HMODULE module_ = nullptr;
};

// A GGA sentence of a fix at lon, lat (east, north), as the receiver sends it.
std::string Gga(double lon, double lat) {
  const int lonDeg = static_cast<int>(lon), latDeg = static_cast<int>(lat);
  char body[128];
  std::snprintf(body, sizeof body,
                "GPGGA,120000.00,%02d%09.6f,N,%03d%09.6f,E,1,08,1.0,650.0,M,50.0,M,,", latDeg,
                (lat - latDeg) * 60.0, lonDeg, (lon - lonDeg) * 60.0);
  unsigned char sum = 0;
  for (const char* c = body; *c; ++c) sum ^= static_cast<unsigned char>(*c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return std::string("$") + body + tail;
}

// Runs act on the first dialog of class Dialog to be shown, from inside its modal loop, as
// the user would act on it once it is up.
template <class Dialog>
class WhenShown : public wxEventFilter {
 public:
  explicit WhenShown(std::function<void(Dialog&)> act) : act_(std::move(act)) {
    wxEvtHandler::AddFilter(this);
  }
  ~WhenShown() override { wxEvtHandler::RemoveFilter(this); }
  int FilterEvent(wxEvent& event) override {
    if (done_ || event.GetEventType() != wxEVT_SHOW) return Event_Skip;
    auto* window = dynamic_cast<wxWindow*>(event.GetEventObject());
    auto* dialog = window ? dynamic_cast<Dialog*>(CWnd::FromWxWindow(window)) : nullptr;
    if (!dialog || !static_cast<wxShowEvent&>(event).IsShown()) return Event_Skip;
    done_ = true;
    wxTheApp->CallAfter([this, dialog] { act_(*dialog); });
    return Event_Skip;
  }
  bool done() const { return done_; }

 private:
  std::function<void(Dialog&)> act_;
  bool done_ = false;
};

// Outlines switched off from the double tap's layer popup: the filled square is gone from
// the screen, not left over from the picture before.
TEST_F(ViewWindowInput, OutlinesOffFromTheLayerPopupTakeTheFillAway) {
  Square(0);
  Paint();
  const Box b = Expected();
  const int midX = static_cast<int>((b.left + b.right) / 2);
  const int midY = static_cast<int>((b.top + b.bottom) / 2);
  ASSERT_EQ(Pixel(midX, midY), kBlue);

  doc_->m_contextMenu = 1;
  platform::PopupMenuScript::Push(32855);  // "Outline"
  tvxtest::RealClick(*view_, 8, 2 * view_->m_rowUnit + 8, true);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_showOutlines == 0; }));
  EXPECT_FALSE(platform::PopupMenuScript::TakeShown().empty());
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return Pixel(midX, midY) == kWhite; }));
  EXPECT_EQ(CountColour(kBlue, b, 0).all, 0);

  // On again from the popup: the square comes back.
  tvxtest::PumpFor(700);  // not a third click of the same double click
  platform::PopupMenuScript::Push(32855);
  tvxtest::RealClick(*view_, 8, 2 * view_->m_rowUnit + 8, true);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_showOutlines == 1; }));
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return Pixel(midX, midY) == kBlue; }));
}

// Hide from the feature popup of a tapped feature: it leaves the screen, and the other one is
// drawn once, where the refit to it alone puts it.
TEST_F(ViewWindowInput, HideFromThePopupRemovesTheFeatureAndRefitsTheOther) {
  FeatureRecord& west = Square(0);
  west.colour = kGreen;
  west.name = "West";
  // A long band north of the square: refitted alone it lies across the middle of the map,
  // away from where the square was drawn.
  FeatureRecord& east = doc_->AddFeature(FeatureType::Area, "Band");
  const double w = kEast - kWest, h = kNorth - kSouth;
  const double south = kNorth + 2 * h, north = kNorth + 2.4 * h, far = kWest + 4 * w;
  for (GeoPoint p : {GeoPoint{kWest, south}, {far, south}, {far, north}, {kWest, north}})
    east.AddVertex(p, p, 0);
  east.pattern = 0;
  east.colour = kRed;
  doc_->m_current = 1;
  view_->m_showTitles = 1;
  Paint();
  ASSERT_GT(CountColour(kGreen, Expected(), 0).all, 100);

  // The west square is cached first (it is not the current feature): its first vertex.
  const ScreenPoint first = view_->m_featurePoints[0];
  platform::PopupMenuScript::Push(32819);  // "Hide"
  tvxtest::RealClick(*view_, first.x, first.y + 2 * view_->m_rowUnit);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return doc_->m_features[0].visible == 0; }));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !doc_->m_needsRedraw; }));
  tvxtest::PumpFor(100);

  EXPECT_EQ(CountColour(kGreen, Expected(), 0).all, 0) << "the hidden feature left the screen";
  // The band alone now spans the fit's width across the middle; no red anywhere else.
  const int mapW = view_->ClientWidth() - 5, mapH = view_->ClientHeight() - 3 * view_->m_rowUnit - 5;
  const Box band{static_cast<double>(view_->WorldToScreenX(kWest, mapW)),
                 static_cast<double>(view_->WorldToScreenX(far, mapW)),
                 static_cast<double>(view_->WorldToScreenY(north, mapH)),
                 static_cast<double>(view_->WorldToScreenY(south, mapH))};
  EXPECT_NEAR(band.right - band.left, 0.8 * mapW, 2.0);
  const Count red = CountColour(kRed, band, 2);
  EXPECT_GT(red.all, 500);
  EXPECT_EQ(red.outside, 0) << "the band is drawn once, at the new scale";
}

// A capture refused by the HDOP filter (application button 1, a real key press) changes
// nothing, and the next repaint still shows the map.
TEST_F(ViewWindowInput, HdopRefusedCaptureLeavesTheMapOnScreen) {
  Square(0);
  Paint();
  const Box b = Expected();
  const int midX = static_cast<int>((b.left + b.right) / 2);
  const int midY = static_cast<int>((b.top + b.bottom) / 2);
  ASSERT_EQ(Pixel(midX, midY), kBlue);

  doc_->m_gpsOn = true;
  doc_->m_hasFix = true;
  // The walker near the south-west corner: the GPS marker stays off the middle.
  doc_->m_gpsLon = doc_->m_datumLon = kWest + 0.1 * (kEast - kWest);
  doc_->m_gpsLat = doc_->m_datumLat = kSouth + 0.1 * (kNorth - kSouth);
  doc_->m_hdopFilterOn = 1;
  doc_->m_filterPoints = 1;
  doc_->m_hdopLimit = 2.0;
  doc_->m_hdop = 9.5;
  doc_->m_hdopBeep = 0;
  view_->m_hotKeys = 1;
  view_->UpdateHotKeys();
  // Application button 1 (F5): capture a point.
  tvxtest::RealKey(*view_, WXK_F5);
  tvxtest::PumpFor(100);
  EXPECT_EQ(doc_->m_features[0].VertexCount(), 4u) << "the filter refused the point";

  Repaint();
  EXPECT_EQ(Pixel(midX, midY), kBlue) << "the map is still drawn";
  doc_->m_gpsOn = false;
  doc_->m_hasFix = false;
}

// A capture into a hidden current feature leaves the map ready as well.
TEST_F(ViewWindowInput, CaptureIntoAHiddenFeatureLeavesTheMapOnScreen) {
  Square(0);
  doc_->AddFeature(FeatureType::Area, "Hidden").visible = 0;
  // Enough cached pixels that the point would be drawn from the caches.
  FeatureRecord& shown = doc_->m_features[0];
  shown.FreeVertices();
  for (int i = 0; i < 40; ++i) {
    const double t = i / 39.0;
    const GeoPoint p = i % 2 ? GeoPoint{kWest + t * (kEast - kWest), kSouth}
                             : GeoPoint{kWest + t * (kEast - kWest), kNorth};
    shown.AddVertex(p, p, 0);
  }
  Paint();
  const Box b = Expected();
  const int midX = static_cast<int>((b.left + b.right) / 2);
  const int midY = static_cast<int>((b.top + b.bottom) / 2);
  const COLORREF before = Pixel(midX, midY);
  doc_->m_current = 1;
  doc_->m_gpsOn = true;
  doc_->m_hasFix = true;
  doc_->m_gpsLon = doc_->m_datumLon = kWest + 0.1 * (kEast - kWest);
  doc_->m_gpsLat = doc_->m_datumLat = kSouth + 0.1 * (kNorth - kSouth);
  doc_->m_hdopFilterOn = 0;
  doc_->m_soundCapture = 0;
  view_->m_hotKeys = 1;
  view_->UpdateHotKeys();
  tvxtest::RealKey(*view_, WXK_F5);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return doc_->m_features[1].VertexCount() == 1; }));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return doc_->m_mapReady.load(); }));
  Repaint();
  EXPECT_EQ(Pixel(midX, midY), before);
  EXPECT_GT(CountColour(kBlue, b, 2).all, 100);
  doc_->m_gpsOn = false;
  doc_->m_hasFix = false;
}

// A paint starts from a clean map but keeps what lies over it: the GPS marker is drawn
// again over the new picture.
TEST_F(ViewWindowInput, GpsMarkerStaysOverARepaint) {
  Square(0);
  doc_->m_hasFix = true;
  doc_->m_datumLon = kWest + 0.25 * (kEast - kWest);
  doc_->m_datumLat = (kSouth + kNorth) / 2;
  Paint();
  view_->m_focused = 1;
  view_->SendMessage(WM_REFRESH_GPS, 0, 0);
  const int x = view_->m_markerX, y = view_->m_markerY;
  ASSERT_EQ(Pixel(x, y), kRed);
  doc_->m_contextMenu = 1;
  platform::PopupMenuScript::Push(32855);  // outlines off: the map under the marker changes
  tvxtest::RealClick(*view_, 8, 2 * view_->m_rowUnit + 8, true);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_showOutlines == 0; }));
  tvxtest::PumpFor(100);
  EXPECT_EQ(Pixel(x + 10, y), kWhite);
  EXPECT_EQ(Pixel(x, y), kRed) << "the marker is drawn over the new picture";
  doc_->m_hasFix = false;
}

// Real keys reach the view's key actions: after the frame is shown, after a tap on the map
// and after a tap on an info panel (the panels do not keep the keyboard focus).
TEST_F(ViewWindowInput, RealKeysRunTheKeyActionsOfTheView) {
  Square(0);
  Paint();
  const Box b = Expected();
  const int midX = static_cast<int>((b.left + b.right) / 2);
  const int midY = static_cast<int>((b.top + b.bottom) / 2);
  ASSERT_EQ(Pixel(midX, midY), kBlue);
  const int fitted = CountColour(kBlue, b, 2).all;
  const double scale = view_->m_scale;

  // The pointer over the map, no tap: the keys go to the frame the view fills.
  CPoint over(midX, midY);
  view_->ClientToScreen(&over);
  wxUIActionSimulator input;
  input.MouseMove(over.x, over.y);
  tvxtest::PumpFor(100);
  EXPECT_TRUE(view_->m_focused) << "the shown frame gives the view the keyboard focus";

  // Up arrow (zoom in by default): the square grows past the fit on the next paint.
  input.Char(WXK_UP);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_scale > scale; }));
  Repaint();
  EXPECT_GT(CountColour(kBlue, b, 2).all, fitted) << "the map is drawn at the new scale";

  // A tap on the position panel leaves the focus with the view: down arrow zooms out again.
  tvxtest::RealClick(*view_->m_positionPanel, 5, 5);
  EXPECT_TRUE(view_->m_focused);
  const double zoomed = view_->m_scale;
  input.Char(WXK_DOWN);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_scale < zoomed; }));

  // Application button 1 (F5) with "outlines on/off" assigned: the fill goes from the screen.
  view_->m_keyActions[0] = 14;
  view_->m_hotKeys = 1;
  view_->UpdateHotKeys();
  tvxtest::RealClick(*view_->m_areaPanel, 5, 5);
  input.Char(WXK_F5);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_showOutlines == 0; }));
  tvxtest::PumpFor(100);
  EXPECT_EQ(Pixel(midX, midY), kWhite);

  // Enter does nothing by default; with "zoom plus" it runs on release, once per press.
  view_->m_keyActions[8] = 7;
  const double before = view_->m_scale;
  input.Char(WXK_RETURN);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_scale > before; }));
  const double once = view_->m_scale;
  tvxtest::PumpFor(100);
  EXPECT_EQ(view_->m_scale, once);
}

// A walk captured automatically past 40 points, fix by fix as the receiver sends them: after
// each captured point the map on the screen still shows every layer (the waypoint and its
// name, the grid, the document's name, the vertex numbers), with the new side, and is the
// picture an ordinary repaint draws.
TEST_F(ViewWindowInput, EveryLayerStaysOnTheMapThroughAnAutomaticWalk) {
  FeatureRecord& f = Square(4);  // a diagonal fill: its cells must meet across a redrawn part
  // Forty vertices along the south, east and north sides, west to west.
  f.FreeVertices();
  for (int i = 0; i < 40; ++i) {
    const double t = i / 39.0 * 3;
    GeoPoint p = t < 1   ? GeoPoint{kWest + t * (kEast - kWest), kSouth}
                 : t < 2 ? GeoPoint{kEast, kSouth + (t - 1) * (kNorth - kSouth)}
                         : GeoPoint{kEast - (t - 2) * (kEast - kWest), kNorth};
    f.AddVertex(p, p, 0);
  }
  f.vertexNotes[20] = "N";
  // In the north-east quarter, away from the walk and from the sides it moves.
  doc_->m_waypoints.emplace_back("Well", 0, 0, 0.0, 0.0, 0, kWest + 0.7 * (kEast - kWest),
                                 kSouth + 0.7 * (kNorth - kSouth), 1);
  doc_->m_waypointNotes.emplace_back();
  doc_->m_docName = "Walk";
  f.name = "Field";
  for (int* layer : {&view_->m_showRuler, &view_->m_showWaypoints, &view_->m_showWaypointNames,
                     &view_->m_showPoints, &view_->m_showLabels, &view_->m_showNotes,
                     &view_->m_showTitles})
    *layer = 1;
  Paint();
  RepaintOnScreen();
  const int top = 2 * view_->m_rowUnit;
  const ScreenPoint well = view_->m_waypointPoints.at(0);
  const RulerScale grid = ComputeRuler(-1, view_->m_scale, 0);
  ASSERT_GT(grid.lengthPx, 5);
  // Where the layers are: the symbol round the waypoint, its name to its lower right, a grid
  // line's grey in the map's first row (above the square), the document's name top left.
  auto layers = [&] {
    struct {
      int symbol, name, grid, title;
    } seen{NotWhite(well.x - 8, top + well.y - 8, 16, 16),
           Inked(well.x + 3, top + well.y + 3, 30, view_->m_lineHeight, kBlue),
           Inked(0, top, view_->ClientWidth(), 1, kGrey),
           Inked(1, top, 40, view_->m_lineHeight, kBlue)};
    return seen;
  };
  const auto before = layers();
  ASSERT_GT(before.symbol, 20);
  ASSERT_GT(before.name, 5);
  ASSERT_GT(before.grid, 0);
  ASSERT_GT(before.title, 5);

  doc_->m_gpsOn = true;
  doc_->m_hdopFilterOn = 0;
  doc_->m_soundCapture = 0;
  doc_->m_autoCapture = true;
  doc_->m_autoCaptureDistance = 1.0;
  // From the north-west corner towards the middle, 3.5 m a fix.
  for (int step = 1; step <= 6; ++step) {
    const double t = step / 12.0;
    const double lon = kWest + t * (kEast - kWest), lat = kNorth - t * (kNorth - kSouth);
    Smear();
    const std::string gga = Gga(lon, lat);
    doc_->FeedNmea(reinterpret_cast<const std::uint8_t*>(gga.data()), gga.size());
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return f.VertexCount() == 40u + step; }))
        << "fix " << step << " captured";
    ASSERT_TRUE(NewPictureShown()) << "the captured point is drawn at once";
    ASSERT_EQ(view_->m_featurePoints.size(), 40u + step);
    ASSERT_FALSE(doc_->m_needsRedraw) << "drawn from the caches, without a refit";
    const auto now = layers();
    EXPECT_EQ(now.symbol, before.symbol) << "after point " << step;
    EXPECT_EQ(now.name, before.name) << "after point " << step;
    EXPECT_EQ(now.grid, before.grid) << "after point " << step;
    EXPECT_EQ(now.title, before.title) << "after point " << step;
  }
  doc_->m_autoCapture = false;
  // The new sides: blue on the way from the corner to the last point.
  const ScreenPoint last = view_->m_featurePoints.back();
  const ScreenPoint corner = view_->m_featurePoints[39];
  EXPECT_GT(Inked(std::min(last.x, corner.x), top + std::min(last.y, corner.y),
                  std::abs(last.x - corner.x) + 1, std::abs(last.y - corner.y) + 1, kBlue), 5);

  // What the walk left on the screen is what a repaint of the whole map draws.
  const std::vector<COLORREF> walked = tvxtest::ScreenPixels(MapArea());
  RepaintOnScreen();
  const std::vector<COLORREF> repainted = tvxtest::ScreenPixels(MapArea());
  ASSERT_EQ(walked.size(), repainted.size());
  int differ = 0;
  for (std::size_t i = 0; i < walked.size(); ++i) differ += walked[i] != repainted[i];
  EXPECT_EQ(differ, 0);
  doc_->m_gpsOn = false;
  doc_->m_hasFix = false;
}

// A datum chosen in the options while the document is still empty: the map keeps its ruler
// and the names of the document and its feature (nothing to fit is no reason to draw nothing).
TEST_F(ViewWindowInput, DatumChangeInAnEmptyDocumentKeepsTheRulerAndTheNames) {
  InstallOptionsSheet();
  doc_->m_docName = "Empty";
  ASSERT_EQ(doc_->m_features.size(), 1u);
  ASSERT_EQ(doc_->m_features[0].VertexCount(), 0u);
  view_->m_showRuler = 1;
  const int top = 2 * view_->m_rowUnit;
  const int mapHeight = view_->ClientHeight() - 3 * view_->m_rowUnit;
  const RulerPlace ruler = PlaceRuler(view_->ClientHeight(), view_->m_lineHeight,
                                      CTolvanixView::HiRes(), CTolvanixView::DpiX(),
                                      CTolvanixView::DpiY());
  auto shown = [&] {
    return std::pair{Inked(1, top, 60, 2 * view_->m_lineHeight, kBlue),
                     Inked(0, top + ruler.textY, 60, ruler.barY - ruler.textY + 1, 0)};
  };
  RepaintOnScreen();
  const auto before = shown();
  ASSERT_GT(before.first, 10) << "the names";
  ASSERT_GT(before.second, 10) << "the ruler";
  ASSERT_LT(ruler.barY, mapHeight);

  bool chosen = false;
  wxTheApp->CallAfter([&] {
    CPropiedadesOpciones* sheet = nullptr;
    for (wxWindow* w : wxTopLevelWindows)
      if (auto* s = dynamic_cast<CPropiedadesOpciones*>(CWnd::FromWxWindow(w))) sheet = s;
    ASSERT_NE(sheet, nullptr);
    for (int i = 0; i < sheet->GetPageCount(); ++i) {
      if (sheet->GetPage(i) == sheet->m_datum.get()) {
        ASSERT_TRUE(sheet->SetActivePage(i));
      }
    }
    chosen = sheet->m_datum->m_comboEnabled != FALSE;
    optstest::Choose(*sheet->m_datum, 1038, 12);
    optstest::PressSheet(*sheet, wxID_OK);
  });
  view_->RunCommand(32778);  // Options
  CTolvanixDoc::SetOptionsSheet(nullptr);
  ASSERT_TRUE(chosen) << "the datum can be chosen while nothing is measured";
  EXPECT_EQ(doc_->m_datum.index, 12);
  RepaintOnScreen();
  EXPECT_EQ(shown(), before);
}

// During a division the map is the right half of the view: the GPS marker of a fix on a
// vertex is drawn on that vertex as the map shows it there.
TEST_F(ViewWindowInput, GpsMarkerDuringADivisionStandsOnItsVertex) {
  Square(0);
  Paint();
  view_->RunCommand(32852);  // Divide
  ASSERT_TRUE(doc_->m_splitInProgress);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !doc_->m_needsRedraw; }));
  RepaintOnScreen();
  // Part 1 (green) holds vertices 0, 1 and 2 of the square; it is cached first.
  ASSERT_EQ(view_->m_featurePoints.size(), 6u);
  const ScreenPoint corner = view_->m_featurePoints[1];  // the south-east corner
  const int x = view_->ClientWidth() / 2 + corner.x, y = 2 * view_->m_rowUnit + corner.y;
  ASSERT_NE(ScreenPixel(x, y), kRed);

  doc_->m_hasFix = true;
  doc_->m_datumLon = kEast;
  doc_->m_datumLat = kSouth;
  view_->m_focused = 1;
  view_->PostMessage(WM_REFRESH_GPS, 0, 0);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_markerSaved != 0; }));
  EXPECT_EQ(view_->m_markerX, x);
  EXPECT_EQ(view_->m_markerY, y);
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return ScreenPixel(x, y) == kRed; }))
      << "the marker stands on the vertex";
  doc_->m_hasFix = false;

  // Cancel ends the division as the dialog's button does.
  CWnd* dialog = view_->m_splitDialog.get();
  ASSERT_NE(dialog, nullptr);
  wxWindow* cancel = dialog->GetDlgItemWindow(IDCANCEL);
  ASSERT_NE(cancel, nullptr);
  tvxtest::RealClick(*cancel);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !doc_->m_splitInProgress; }));
  EXPECT_EQ(doc_->m_features.size(), 1u);
}

// A design chosen for a feature from its popup (no fill) reaches the map when the dialog
// closes, although the command asks for no repaint.
TEST_F(ViewWindowInput, ADesignChosenFromThePopupReachesTheMap) {
  FeatureRecord& f = Square(0);
  f.name = "Field";
  view_->m_showTitles = 1;
  Paint();
  RepaintOnScreen();
  const Box b = Expected();
  const int midX = static_cast<int>((b.left + b.right) / 2);
  const int midY = static_cast<int>((b.top + b.bottom) / 2);
  ASSERT_EQ(ScreenPixel(midX, midY), kBlue);

  WhenShown<CDlgAreaDesign> design([](CDlgAreaDesign& dialog) {
    optstest::Pick(dialog, 1083);  // no fill
    optstest::ClickId(dialog, IDOK);
  });
  platform::PopupMenuScript::Push(32818);  // "Design"
  const ScreenPoint first = view_->m_featurePoints[0];
  tvxtest::RealClick(*view_, first.x, first.y + 2 * view_->m_rowUnit);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return doc_->m_features[0].pattern == 6; }));
  EXPECT_TRUE(design.done());
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return ScreenPixel(midX, midY) == kWhite; }))
      << "the square is shown without its fill";
  EXPECT_FALSE(doc_->m_needsRedraw) << "no refit: the map only painted again";
}

// The gestures that open the map's popups, made with the real pointer at a client point of
// the view; the popup opened is answered by popup (inside the popup's own loop).
enum class Gesture { Tap, DoubleTap, RightClick, LongPress };
const char* Named(Gesture g) {
  switch (g) {
    case Gesture::Tap: return "tap";
    case Gesture::DoubleTap: return "double tap";
    case Gesture::RightClick: return "right click";
    case Gesture::LongPress: return "long press";
  }
  return "";
}
void Make(Gesture gesture, CTolvanixView& view, CPoint at, tvxtest::WhenPopupShown& popup) {
  view.ClientToScreen(&at);
  wxUIActionSimulator input;
  if (gesture != Gesture::DoubleTap) tvxtest::NotPairedWithTheLastClick();
  input.MouseMove(at.x, at.y);
  tvxtest::InputHandled();
  switch (gesture) {
    case Gesture::Tap: input.MouseClick(); break;
    case Gesture::DoubleTap: input.MouseDblClick(); break;
    case Gesture::RightClick: input.MouseClick(wxMOUSE_BTN_RIGHT); break;
    case Gesture::LongPress:
      // Held still until the desktop's long-press time has passed (on a symbol or a title the
      // press has opened the popup already), then lifted.
      input.MouseDown();
      tvxtest::PumpUntil([&] { return popup.opened() || view.m_contextOnRelease; });
      if (!popup.opened()) input.MouseUp();
      break;
  }
  tvxtest::PumpUntil([&] { return popup.done; });
  tvxtest::TheLastClick() = {std::chrono::steady_clock::now(), wxGetMousePosition(), true};
}

// The desktop's context gestures (a right click, a long press) open the popup the stylus
// opens with a tap (a waypoint's symbol, a feature's title) or a double tap (elsewhere on the
// map: the layer popup), at the same place; the item chosen in it with the pointer runs.
TEST_F(ViewWindowInput, RightClickAndLongPressOpenTheTapsPopupsWhereTheTapOpensThem) {
  FeatureRecord& square = Square(0);
  square.name = "Field";
  FeatureRecord& band = doc_->AddFeature(FeatureType::Area, "Band");
  for (GeoPoint p : {GeoPoint{kWest, kNorth + 0.0002}, {kEast, kNorth + 0.0002}, {kEast, kNorth + 0.0003}})
    band.AddVertex(p, p, 0);
  doc_->AddWaypoint((kWest + kEast) / 2, (kSouth + kNorth) / 2, 0);
  view_->m_showWaypoints = 1;
  view_->m_showTitles = 1;
  doc_->m_contextMenu = 1;
  doc_->m_navStyle = 1;  // navigation on the map, no compass window
  auto client = [&](double lon, double lat) {
    const ScreenPoint p = view_->WorldToBitmap(lon, lat);
    return CPoint(p.x, p.y + 2 * view_->m_rowUnit);
  };
  struct Case {
    const char* target;
    std::function<CPoint()> at;
    Gesture reference, gesture;
    UINT command;
    std::function<void()> before;
    std::function<bool()> ran;
  };
  const Case cases[] = {
      {"waypoint", [&] { return client((kWest + kEast) / 2, (kSouth + kNorth) / 2); }, Gesture::Tap,
       Gesture::RightClick, 32813 /* Navigate */, [&] { view_->StopNavigation(); },
       [&] { return view_->m_navActive == 1; }},
      {"waypoint", [&] { return client((kWest + kEast) / 2, (kSouth + kNorth) / 2); }, Gesture::Tap,
       Gesture::LongPress, 32814 /* Delete */, [] {}, [&] { return doc_->m_waypoints.empty(); }},
      {"title", [&] { return client(kWest, kSouth); }, Gesture::Tap, Gesture::RightClick,
       32817 /* Activate */, [&] { doc_->m_current = 1; }, [&] { return doc_->m_current == 0; }},
      {"title", [&] { return client(kWest, kSouth); }, Gesture::Tap, Gesture::LongPress,
       32817 /* Activate */, [&] { doc_->m_current = 1; }, [&] { return doc_->m_current == 0; }},
      {"map", [&] { return CPoint(8, 2 * view_->m_rowUnit + 8); }, Gesture::DoubleTap,
       Gesture::RightClick, 32855 /* Outlines */, [&] { view_->m_showOutlines = 1; },
       [&] { return view_->m_showOutlines == 0; }},
      {"map", [&] { return CPoint(8, 2 * view_->m_rowUnit + 8); }, Gesture::DoubleTap,
       Gesture::LongPress, 32855 /* Outlines */, [&] { view_->m_showOutlines = 1; },
       [&] { return view_->m_showOutlines == 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.target) + ", " + Named(c.gesture));
    c.before();
    Paint();
    const CPoint at = c.at();
    // The stylus's popup there, looked at and closed.
    tvxtest::WhenPopupShown tapped([](wxMenu* menu, const tvxtest::PopupOnScreen&) {
      tvxtest::CloseWithEscape(menu, wxGetMouseState().LeftIsDown());
    });
    Make(c.reference, *view_, at, tapped);
    ASSERT_TRUE(tapped.done) << Named(c.reference) << " opened no popup";
    ASSERT_FALSE(tapped.shown.items.empty());
    // The context gesture's popup, where an item is chosen with the pointer.
    tvxtest::WhenPopupShown context([&](wxMenu* menu, const tvxtest::PopupOnScreen& shown) {
      const tvxtest::PopupOnScreen::Item* item = shown.Find(c.command);
      if (item) {
        tvxtest::ChooseWithPointer(menu, *item, wxGetMouseState().LeftIsDown());
      } else {
        tvxtest::CloseWithEscape(menu, wxGetMouseState().LeftIsDown());
      }
    });
    Make(c.gesture, *view_, at, context);
    ASSERT_TRUE(context.done) << "no popup";
    EXPECT_EQ(context.shown.origin, tapped.shown.origin) << "opened elsewhere";
    ASSERT_EQ(context.shown.items.size(), tapped.shown.items.size());
    for (std::size_t i = 0; i < tapped.shown.items.size(); ++i) {
      EXPECT_EQ(context.shown.items[i].text, tapped.shown.items[i].text);
      EXPECT_EQ(context.shown.items[i].enabled, tapped.shown.items[i].enabled);
    }
    ASSERT_NE(context.shown.Find(c.command), nullptr);
    EXPECT_TRUE(tvxtest::PumpUntil(c.ran)) << "the chosen item did not run";
    // The press neither panned the map nor left the view holding the pointer.
    EXPECT_EQ(view_->m_offsetX, 0);
    EXPECT_EQ(view_->m_offsetY, 0);
    EXPECT_FALSE(view_->m_panning);
    EXPECT_FALSE(view_->m_contextOnRelease);
  }
}

// A feature's popup offers its properties (the object list) except during a division, which
// refuses them: there they are greyed, as in the menu bar.
TEST_F(ViewWindowInput, TheFeaturePopupGreysItsPropertiesDuringADivision) {
  Square(0).name = "Field";
  view_->m_showTitles = 1;
  for (const bool dividing : {false, true}) {
    SCOPED_TRACE(dividing ? "dividing" : "not dividing");
    if (dividing) {
      view_->RunCommand(32852);  // Divide
      ASSERT_TRUE(doc_->m_splitInProgress);
    }
    Paint();
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return !doc_->m_needsRedraw; }));
    // The title of the feature drawn last (during a division the second part), where the map
    // begins in the view.
    const std::vector<DrawnFeature> drawn = FeatureDrawOrder(doc_->m_features, doc_->m_current);
    ASSERT_FALSE(drawn.empty());
    ASSERT_LT(drawn.back().firstCached, view_->m_featurePoints.size());
    const ScreenPoint title = view_->m_featurePoints[drawn.back().firstCached];
    const CPoint at(view_->MapLeft() + title.x, 2 * view_->m_rowUnit + title.y);
    tvxtest::WhenPopupShown popup([](wxMenu* menu, const tvxtest::PopupOnScreen&) {
      tvxtest::CloseWithEscape(menu, wxGetMouseState().LeftIsDown());
    });
    Make(Gesture::Tap, *view_, at, popup);
    ASSERT_TRUE(popup.done) << "no popup";
    const tvxtest::PopupOnScreen::Item* properties = popup.shown.Find(32820);
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(properties->enabled, !dividing);
  }
  tvxtest::RealClick(*view_->m_splitDialog->GetDlgItemWindow(IDCANCEL));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !doc_->m_splitInProgress; }));
}

// The program's frame, whose zoom bar holds the ruler choice: the view has the keys when
// the frame comes up, and gets them back from the choice with a tap on a panel.
class MainFrameKeys : public ViewWindowInput {
 protected:
  CSingleDocTemplate* MakeTemplate() override {
    return MakeSingleDocTemplate<CTolvanixDoc, CMainFrame, CTolvanixView>(128);
  }
};

TEST_F(MainFrameKeys, KeysReachTheViewFromTheStartAndAfterTheRulerChoice) {
  auto* frame = dynamic_cast<CMainFrame*>(frame_);
  ASSERT_NE(frame, nullptr);
  wxUIActionSimulator input;
  CPoint over(view_->ClientWidth() / 2, view_->ClientHeight() / 2);
  view_->ClientToScreen(&over);
  input.MouseMove(over.x, over.y);
  tvxtest::PumpFor(100);

  // Application button 2 (F6) with "ruler on/off" assigned, through the frame's routing.
  view_->m_keyActions[1] = 21;
  view_->m_hotKeys = 1;
  view_->UpdateHotKeys();
  const int ruler = view_->m_showRuler;
  input.Char(WXK_F6);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_showRuler != ruler; }));

  // With the focus on the ruler choice, a tap on a panel gives it back to the view.
  wxWindow* choice = wxWindow::FindWindowById(161, frame->GetFrame());
  ASSERT_NE(choice, nullptr);
  choice->SetFocus();
  tvxtest::PumpFor(100);
  ASSERT_EQ(wxWindow::FindFocus(), choice);
  tvxtest::RealClick(*view_->m_lengthPanel, 5, 5);
  input.Char(WXK_F6);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_showRuler == ruler; }));

  // Tab in the map moves the keys nowhere (a frame has no dialog navigation): the next
  // button still reaches the view.
  input.Char(WXK_TAB);
  input.Char(WXK_F6);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_showRuler != ruler; }));
  EXPECT_EQ(wxWindow::FindFocus(), view_->GetWxWindow());
}

// The program's window made larger and then smaller: the map is fitted to each new size, the
// square filling 0.8 of the map's smaller side around its middle.
TEST_F(MainFrameKeys, AResizedWindowFitsTheMapToItsNewSize) {
  Square(0);
  Paint();
  RepaintOnScreen();
  for (const wxSize size : {wxSize(420, 460), wxSize(200, 260)}) {
    const int width = view_->ClientWidth();
    frame_->GetFrame()->SetClientSize(size);
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->ClientWidth() != width; }));
    // Where the square belongs at the new size: its edges blue, just outside them white.
    auto fitted = [&] {
      const Box b = Expected();
      const int midX = static_cast<int>((b.left + b.right) / 2);
      const int midY = static_cast<int>((b.top + b.bottom) / 2);
      const int in = 3, out = 4;
      return ScreenPixel(static_cast<int>(b.left) + in, midY) == kBlue &&
             ScreenPixel(static_cast<int>(b.right) - in, midY) == kBlue &&
             ScreenPixel(midX, static_cast<int>(b.top) + in) == kBlue &&
             ScreenPixel(midX, static_cast<int>(b.bottom) - in) == kBlue &&
             ScreenPixel(static_cast<int>(b.left) - out, midY) == kWhite &&
             ScreenPixel(static_cast<int>(b.right) + out, midY) == kWhite &&
             ScreenPixel(midX, static_cast<int>(b.top) - out) == kWhite &&
             ScreenPixel(midX, static_cast<int>(b.bottom) + out) == kWhite;
    };
    EXPECT_TRUE(tvxtest::PumpUntil(fitted)) << "at " << size.x << " x " << size.y;
  }
}

// The ruler's grid over the map, read from the screen after an ordinary repaint, with the
// window at its size, maximised (a work area's size where no window manager maximises) and
// full screen, and with each choice of the ruler: the grid's lines stand apart and the map
// shows through, also over points thousands of kilometres apart (a field and a point left
// far away), where the automatic step outgrows 10 km.
TEST_F(MainFrameKeys, TheRulersGridLeavesTheMapSeenAtEverySizeAndStep) {
  auto* frame = dynamic_cast<CMainFrame*>(frame_);
  ASSERT_NE(frame, nullptr);
  wxFrame* window = frame->GetFrame();
  auto* combo = dynamic_cast<wxChoice*>(frame->m_zoomBar.GetDlgItemWindow(IDC_RULER_COMBO));
  ASSERT_NE(combo, nullptr);
  const char* const items[] = {"Auto", "", "100", "50", "25", "10", "5", "1"};
  auto choose = [&](int item) {
    combo->SetSelection(item);
    wxCommandEvent event(wxEVT_CHOICE, combo->GetId());
    event.SetEventObject(combo);
    event.SetInt(item);
    combo->GetEventHandler()->ProcessEvent(event);
  };
  // Share of the map area's pixels that are grid grey on the screen.
  auto greyShare = [&] {
    const std::vector<COLORREF> map = tvxtest::ScreenPixels(MapArea());
    const auto grey = std::count(map.begin(), map.end(), kGrey);
    return map.empty() ? 1.0 : static_cast<double>(grey) / static_cast<double>(map.size());
  };
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return tvxtest::OnScreen(window); }));
  enum class Size { AsOpened, Maximised, FullScreen };
  const char* const sizes[] = {"as opened", "maximised", "full screen"};
  auto sizeTo = [&](Size size) {
    const int width = view_->ClientWidth(), height = view_->ClientHeight();
    if (size == Size::Maximised) {
      if (tvxtest::WindowManagerRuns()) {
        window->Maximize(true);
      } else {
        window->SetSize(wxDisplay(window).GetClientArea());
      }
    }
    if (size == Size::FullScreen) frame->EnterFullScreen();
    if (size == Size::AsOpened) return;
    ASSERT_TRUE(tvxtest::PumpUntil([&] {
      return view_->ClientWidth() > width + 100 && view_->ClientHeight() > height;
    }));
  };
  auto sizeBack = [&](Size size) {
    if (size == Size::FullScreen) frame->LeaveFullScreen();
    if (size == Size::Maximised && tvxtest::WindowManagerRuns()) window->Maximize(false);
    window->SetClientSize(241, 330);
    // Back on the screen at that size (the display answers after the toolkit's record).
    ASSERT_TRUE(tvxtest::PumpUntil([&] {
      return view_->ClientWidth() < 300 && tvxtest::FrameOnScreen(window).width < 300;
    }));
  };

  struct Document {
    const char* what;
    double farLatitude;  // a second feature this far south; 0: none
  };
  for (const Document& d : {Document{"a field", 0.0}, Document{"a field and a far point", 18.0}}) {
    Square(0);
    if (d.farLatitude != 0.0) {
      FeatureRecord& far = doc_->AddFeature(FeatureType::Line, "Far");
      const double south = kSouth - d.farLatitude;
      for (GeoPoint p : {GeoPoint{kWest, south}, {kWest + 0.001, south}}) far.AddVertex(p, p, 0);
    }
    Paint();
    for (Size size : {Size::FullScreen, Size::AsOpened, Size::Maximised}) {
      sizeTo(size);
      for (int item : {0, 2, 3, 4, 5, 6, 7}) {
        choose(item);
        RepaintOnScreen();
        SCOPED_TRACE(std::string(d.what) + ", " + sizes[static_cast<int>(size)] + ", ruler " +
                     items[item]);
        const RulerScale ruler = ComputeRuler(view_->m_rulerStep, view_->m_scale, 0);
        EXPECT_LT(greyShare(), 0.5) << "grid every " << ruler.lengthPx << " pixels";
        if (d.farLatitude == 0.0) {
          // The field itself: its outline where the fit put it.
          EXPECT_GT(tvxtest::PixelsOnScreen(MapArea(), kBlue), 100);
        }
      }
      sizeBack(size);
    }
  }
}

// A point picked for the two-point measure stays on the place it was picked on when the
// window is made larger and the map fitted to the new size.
TEST_F(MainFrameKeys, APickedPointStaysOnItsPlaceWhenTheWindowIsResized) {
  Square(0);
  Paint();
  view_->RunCommand(1157);  // two-point measure: the first point, with its bar
  ASSERT_EQ(view_->m_tapMode, 3);
  RepaintOnScreen();  // the bar took room from the map
  const Box b = Expected();
  const int x = static_cast<int>(b.left) - 15, y = static_cast<int>((b.top + b.bottom) / 2);
  ASSERT_EQ(ScreenPixel(x, y), kWhite);
  tvxtest::RealClick(*view_, x, y);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_pick1Saved != 0; }));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return ScreenPixel(x, y) != kWhite; }));
  const COLORREF marker = ScreenPixel(x, y);
  const GeoPoint picked = doc_->m_tapPoint1;

  const int width = view_->ClientWidth();
  frame_->GetFrame()->SetClientSize(wxSize(420, 460));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->ClientWidth() != width; }));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !doc_->m_needsRedraw && view_->m_mapWidth == view_->ClientWidth() - 5; }));
  const ScreenPoint there = view_->WorldToBitmap(picked.x, picked.y);
  const int nx = there.x, ny = there.y + 2 * view_->m_rowUnit;
  ASSERT_GT(std::abs(nx - x) + std::abs(ny - y), 10) << "the map moved under the point";
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return ScreenPixel(nx, ny) == marker; }))
      << "the marker on the picked point";
  view_->RunCommand(1157);  // closed again
  EXPECT_EQ(view_->m_tapMode, 0);
}

// The menus' texts are made ready while the program waits, which must not hide the GPS
// marker; a menu of the bar opened and closed with real input takes it away only meanwhile.
TEST_F(MainFrameKeys, TheGpsMarkerStaysWhileTheMenusWaitAndComesBackAfterAMenuClosed) {
  Square(0);
  Paint();
  wxUIActionSimulator input;
  CPoint over(view_->ClientWidth() / 2, view_->ClientHeight() / 2);
  view_->ClientToScreen(&over);
  input.MouseMove(over.x, over.y);
  tvxtest::PumpFor(100);
  ASSERT_TRUE(view_->m_focused);
  doc_->m_hasFix = true;
  auto markerAt = [&](double share) {
    doc_->m_datumLon = kWest + share * (kEast - kWest);
    doc_->m_datumLat = (kSouth + kNorth) / 2;
    view_->PostMessage(WM_REFRESH_GPS, 0, 0);
    tvxtest::PumpFor(100);
    return Pixel(view_->m_markerX, view_->m_markerY) == kRed;
  };
  tvxtest::PumpFor(800);  // the idle preparation of the menus runs meanwhile
  EXPECT_TRUE(markerAt(0.25)) << "the marker is drawn for a new position";

  wxMenuBar* bar = frame_->GetFrame()->GetMenuBar();
  ASSERT_NE(bar, nullptr);
  const wxPoint title = bar->GetScreenPosition() + wxPoint(15, bar->GetSize().y / 2);
  input.MouseMove(title);
  input.MouseClick();
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_focused == 0; })) << "a menu opened";
  input.Char(WXK_ESCAPE);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return view_->m_focused != 0; })) << "the menu closed";
  EXPECT_TRUE(markerAt(0.75)) << "the marker is drawn again after the menu";
  doc_->m_hasFix = false;
}

// Whether the list of a choice control is dropped down on the screen.
bool DroppedDown(wxWindow* choice) {
  using GetFn = void (*)(void*, const char*, ...);
  static auto get = reinterpret_cast<GetFn>(dlsym(RTLD_DEFAULT, "g_object_get"));
  int shown = 0;
  if (get && choice && choice->GetHandle()) get(choice->GetHandle(), "popup-shown", &shown, nullptr);
  return shown != 0;
}

// The keys go from the map to another window and come back, each time by real input, while
// the map keeps its picture: the marker of the fix shown before is taken off the map when the
// next fix is drawn elsewhere, not left behind as a second marker. Read from the screen. The
// keys go to the ruler choice of the zoom bar (its list opened with a click and closed with
// Escape) and, under a window manager, to another program's window clicked; they come back
// with a tap on a panel.
TEST_F(MainFrameKeys, NoSecondGpsMarkerAfterTheKeysWentToAnotherWindowAndCameBack) {
  Square(6);
  wxFrame* frame = frame_->GetFrame();
  ASSERT_TRUE(tvxtest::ShowOnScreen(frame));
  Paint();
  RepaintOnScreen();
  wxWindow* choice = wxWindow::FindWindowById(161, frame);
  ASSERT_NE(choice, nullptr);
  // Another program's window beside this one, with a text field that takes the keys.
  const wxRect ours = tvxtest::FrameOnScreen(frame);
  auto* other = new wxFrame(nullptr, wxID_ANY, "other", wxPoint(ours.GetRight() + 20, ours.y),
                            wxSize(160, 120));
  std::unique_ptr<wxFrame, void (*)(wxFrame*)> otherGoes(other, [](wxFrame* f) { f->Destroy(); });
  auto* field = new wxTextCtrl(other, wxID_ANY);
  ASSERT_TRUE(tvxtest::ShowOnScreen(other));

  auto viewHasKeys = [&] { return wxWindow::FindFocus() == view_->GetWxWindow(); };
  // Each way takes the keys from the view by real input.
  struct Away {
    const char* window;
    std::function<void()> go;
  };
  std::vector<Away> ways = {{"the ruler choice's list", [&] {
                               tvxtest::RealClick(*choice);
                               ASSERT_TRUE(tvxtest::PumpUntil([&] { return DroppedDown(choice); }));
                               EXPECT_FALSE(viewHasKeys());
                               wxUIActionSimulator().Char(WXK_ESCAPE);
                               ASSERT_TRUE(tvxtest::PumpUntil([&] { return !DroppedDown(choice); }));
                             }}};
  // (Without a window manager a click does not move the keys to another top-level window.)
  if (tvxtest::WindowManagerRuns()) {
    ways.push_back({"another program's window", [&] {
                      tvxtest::RealClick(*field);
                      ASSERT_TRUE(tvxtest::PumpUntil([&] { return !viewHasKeys(); }));
                    }});
  }

  doc_->m_hasFix = true;
  doc_->m_datumLat = (kSouth + kNorth) / 2;
  auto fixAt = [&](double share) {
    doc_->m_datumLon = kWest + share * (kEast - kWest);
    view_->PostMessage(WM_REFRESH_GPS, 0, 0);
    const CPoint at = view_->MarkerPixel(doc_->m_datumLon, doc_->m_datumLat);
    EXPECT_TRUE(tvxtest::PumpUntil([&] { return ScreenPixel(at.x, at.y) == kRed; }))
        << "the marker for the fix at " << share;
    return at;
  };
  for (const Away& away : ways) {
    SCOPED_TRACE(away.window);
    // The view has the keys (a tap on a panel gives them to it), and a fix is shown.
    tvxtest::RealClick(*view_->m_positionPanel, 5, 5);
    ASSERT_TRUE(tvxtest::PumpUntil(viewHasKeys));
    const CPoint before = fixAt(0.25);

    away.go();
    ASSERT_FALSE(HasFatalFailure());
    tvxtest::RealClick(*view_->m_positionPanel, 5, 5);
    ASSERT_TRUE(tvxtest::PumpUntil(viewHasKeys)) << "the keys came back";

    fixAt(0.75);
    EXPECT_TRUE(tvxtest::PumpUntil([&] { return ScreenPixel(before.x, before.y) == kWhite; }))
        << "the old marker is gone from the map";
  }
  doc_->m_hasFix = false;
}

// ---------------------------------------------------------------------------------------
// Navigation in the program's frame, with the program's dialogs as at start-up.

class ProgramNavigation : public MainFrameKeys {
 protected:
  void SetUp() override {
    MainFrameKeys::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // As at start-up: the document's commands ask through the program's dialogs.
    InstallExportDialogs();
    InstallProgramDialogs();
    InstallWaypointDialogs();
    platform::FileDialogScript::Clear();
    // The map lies right of the screen's top-left corner, where the user puts the compass.
    wxFrame* frame = frame_->GetFrame();
    ASSERT_TRUE(tvxtest::ShowOnScreen(frame));
    frame->SetClientSize(360, 360);
    frame->Move(420, 20);
    // Where the display has it (the toolkit's record moves at once; a window manager moves
    // the window itself a moment later, and taps before then land beside the map).
    const bool placed = tvxtest::PumpUntil([&] {
      return view_->ClientWidth() == 360 && tvxtest::FrameOnScreen(frame).x >= 400;
    });
    ASSERT_TRUE(placed) << view_->ClientWidth() << " " << frame->GetScreenPosition().x;
    doc_->m_navStyle = 0;
    doc_->m_navSound = 0;
    view_->m_showWaypoints = 1;
  }
  void TearDown() override {
    CTolvanixDoc::SetDocumentDialogs(nullptr);
    SetExportPrompts(nullptr);
    CTolvanixDoc::SetWaypointNameDialog(nullptr);
    platform::ui::SetLogicalDpi(0);
    for (const std::string& file : files_) std::filesystem::remove(file);
    MainFrameKeys::TearDown();
  }

  void AddWaypoint(const char* name, double lon, double lat) {
    WaypointRecord w;
    w.name = name;
    w.x = lon;
    w.y = lat;
    doc_->m_waypoints.push_back(w);
    doc_->m_waypointNotes.emplace_back();
  }
  // A real tap on waypoint i's icon, answered in its popup with command (0: dismissed); the
  // popup as it was shown.
  platform::ShownPopupMenu TapWaypoint(std::size_t i, UINT command) {
    Paint();
    EXPECT_LT(i, view_->m_waypointPoints.size());
    if (i >= view_->m_waypointPoints.size()) return {};
    const ScreenPoint p = view_->m_waypointPoints[i];
    platform::PopupMenuScript::TakeShown();
    platform::PopupMenuScript::Push(command);
    tvxtest::RealClick(*view_, p.x, p.y + 2 * view_->m_rowUnit);
    auto shown = platform::PopupMenuScript::TakeShown();
    EXPECT_EQ(shown.size(), 1u);
    return shown.empty() ? platform::ShownPopupMenu{} : shown[0];
  }
  // The target's title as shown: the compass's caption, or the map overlay's target line.
  std::string ShownTitle() {
    return view_->m_navWnd ? view_->m_navWnd->GetWindowText() : view_->m_targetName;
  }
  // The distance shown for the fix the test holds (after the reader's message for it).
  double ShownDistance() {
    view_->SendMessage(WM_REFRESH_GPS, 0, 0);
    return view_->m_navWnd ? view_->m_navWnd->m_distance : view_->m_targetDistance;
  }
  // A Shapefile of one named point (WGS84, Z 0), removed when the test ends.
  std::string PointFile(const char* name, double lon, double lat) {
    const std::string base = sandbox_->dir.string() + "/import";
    SHPHandle shp = SHPCreate(base.c_str(), SHPT_POINTZ);
    DBFHandle dbf = DBFCreate(base.c_str());
    DBFAddField(dbf, "NAME", FTString, 20, 0);
    const double z = 0.0;
    SHPObject* o = SHPCreateSimpleObject(SHPT_POINTZ, 1, &lon, &lat, &z);
    SHPWriteObject(shp, -1, o);
    SHPDestroyObject(o);
    DBFWriteStringAttribute(dbf, 0, 0, name);
    SHPClose(shp);
    DBFClose(dbf);
    for (const char* ext : {".shp", ".shx", ".dbf"}) files_.push_back(base + ext);
    return base + ".shp";
  }
  // The compass opened, on the screen and dragged into the screen's top-left corner, off the
  // map, as a user puts it.
  ::testing::AssertionResult CompassAside() {
    if (!view_->m_navWnd) return ::testing::AssertionFailure() << "no compass";
    wxWindow* compass = view_->m_navWnd->GetWxWindow();
    if (!tvxtest::PumpUntil([&] { return CompassOnScreen(); }))
      return ::testing::AssertionFailure() << "the compass is not on the screen";
    compass->Move(1, 1);
    const wxRect map = view_->GetWxWindow()->GetScreenRect();
    if (!tvxtest::PumpUntil([&] { return !compass->GetScreenRect().Intersects(map); }))
      return ::testing::AssertionFailure() << "the compass stays over the map";
    return ::testing::AssertionSuccess();
  }
  // A compass window on the screen (there is at most one).
  static bool CompassOnScreen() {
    for (wxWindow* top : wxTopLevelWindows)
      if (dynamic_cast<CNavigationWnd*>(CWnd::FromWxWindow(top)) && tvxtest::OnScreen(top))
        return true;
    return false;
  }

  std::vector<std::string> files_;
};

// A grid row clicked, as the user picks a row of the waypoint table.
void ClickRow(CGridCtrl& grid, int row) {
  RECT cell;
  ASSERT_TRUE(grid.GetCellRect(row, 1, &cell));
  tvxtest::RealClick(grid, (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
}

// Navigation to B of A, B, C; the waypoint table (opened from a popup's "Edit", ended with its
// OK button) blanks A, then imports a point that goes first: the compass, or the map's
// target line, keeps showing B, by name and by where it is. Deleting B from its popup stops
// navigation and closes the compass.
TEST_F(ProgramNavigation, TheTargetFollowsItsWaypointThroughTableEditsAndEndsWithIt) {
  Square(6);
  // The walker stands at the square's south-west corner.
  doc_->m_hasFix = true;
  doc_->m_datumLon = kWest;
  doc_->m_datumLat = kSouth;
  for (int style : {0, 1}) {
    SCOPED_TRACE(style == 0 ? "compass" : "map overlay");
    doc_->m_navStyle = style;
    doc_->m_waypoints.clear();
    doc_->m_waypointNotes.clear();
    // Each round on its own line of the map: its first tap is no double click with the last
    // tap of the round before.
    const double lat = kSouth + (0.3 + 0.4 * style) * (kNorth - kSouth);
    AddWaypoint("A", kWest + 0.0002, lat);
    AddWaypoint("B", (kWest + kEast) / 2, lat);
    AddWaypoint("C", kEast - 0.0002, lat);
    const double bLon = doc_->m_waypoints[1].x;
    const std::string title = style == 0 ? "B" : "WPT: B";

    TapWaypoint(1, 32813);  // "Navigate"
    ASSERT_EQ(view_->m_navActive, 1);
    if (style == 0) {
      ASSERT_TRUE(CompassAside());
    }
    const double toB = ShownDistance();
    ASSERT_GT(toB, 20.0);
    EXPECT_EQ(ShownTitle(), title);

    // A's row is picked and blanked.
    int currentRow = -1;
    tvxtest::AnswerWhenOnScreen<CDlgWaypointTable>([&](CDlgWaypointTable& table) {
      currentRow = table.m_Grid.GetFocusCell().row;
      ClickRow(table.m_Grid, 1);
      tvxtest::RealClick(*table.GetDlgItemWindow(1022));  // "Blank rows"
      tvxtest::RealClick(*table.GetDlgItemWindow(IDOK));
    });
    TapWaypoint(2, 32815);  // "Edit" on C
    EXPECT_EQ(currentRow, 3) << "the table opens on C's row";
    ASSERT_EQ(doc_->m_waypoints.size(), 2u);
    ASSERT_EQ(doc_->m_waypoints[0].name, "B");
    ASSERT_EQ(view_->m_navActive, 1) << "B is still there: navigation goes on";
    EXPECT_EQ(ShownTitle(), title);
    EXPECT_EQ(view_->m_navTarget.lon, bLon);
    EXPECT_NEAR(ShownDistance(), toB, 1e-6) << "B is shown, not the row below";

    // A point imported from a Shapefile (the coordinate question answered with its OK) goes
    // first.
    platform::FileDialogScript::Push(PointFile("Well", kEast - 0.0001, kSouth + 0.0001));
    tvxtest::AnswerWhenOnScreen<CDlgWaypointTable>([&](CDlgWaypointTable& table) {
      tvxtest::AnswerWhenOnScreen<CDlgCoordSystem>([&](CDlgCoordSystem& question) {
        tvxtest::RealClick(*question.GetDlgItemWindow(IDOK));
      });
      tvxtest::RealClick(*table.GetDlgItemWindow(173));  // "Import"
      tvxtest::RealClick(*table.GetDlgItemWindow(IDOK));
    });
    TapWaypoint(0, 32815);  // "Edit" on B
    ASSERT_EQ(doc_->m_waypoints.size(), 3u);
    ASSERT_EQ(doc_->m_waypoints[0].name, "Well");
    ASSERT_EQ(view_->m_navActive, 1);
    EXPECT_EQ(static_cast<bool>(view_->m_navWnd), style == 0);
    EXPECT_EQ(ShownTitle(), title);
    EXPECT_EQ(view_->m_navTarget.lon, bLon);
    EXPECT_NEAR(ShownDistance(), toB, 1e-6) << "B is shown, not the imported point";

    // B's popup shows it as the target; deleting it ends navigation and closes the compass.
    const platform::ShownPopupMenu popup = TapWaypoint(1, 32814);  // "Delete"
    ASSERT_GE(popup.items.size(), 4u);
    EXPECT_EQ(popup.items[0].text, "B");
    EXPECT_TRUE(popup.items[3].flags & MF_CHECKED) << "\"Navigate\" is checked on the target";
    ASSERT_EQ(doc_->m_waypoints.size(), 2u);
    EXPECT_EQ(view_->m_navActive, 0);
    EXPECT_FALSE(view_->m_navWnd);
    EXPECT_TRUE(tvxtest::PumpUntil([&] { return !CompassOnScreen(); }));
  }
}

// The compass opens where the user finds it: its large form at the screen's top-left
// corner, off the map of the program's window that lies to the right of it. Read where the
// display has it once it is on the screen (under a window manager: placed and active).
TEST_F(ProgramNavigation, TheCompassOpensAtTheScreensTopLeftCornerOffTheMap) {
  AddWaypoint("Gate", kEast, kNorth);
  Square(6);
  TapWaypoint(0, 32813);  // "Navigate"
  ASSERT_TRUE(view_->m_navWnd);
  auto* compass = dynamic_cast<wxTopLevelWindow*>(view_->m_navWnd->GetWxWindow());
  ASSERT_NE(compass, nullptr);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return CompassOnScreen(); }));
  if (tvxtest::WindowManagerRuns()) {
    ASSERT_TRUE(tvxtest::PumpUntil([&] { return compass->IsActive(); }));
  }
  const wxRect shown = tvxtest::FrameOnScreen(compass);
  EXPECT_EQ(shown.x, 0);
  EXPECT_EQ(shown.y, 0);
  // (Under a window manager the toolkit sizes a first window of its kind by a guess at the
  // manager's frame, which can miss by a few pixels.)
  if (!tvxtest::WindowManagerRuns()) {
    EXPECT_EQ(shown.width, ScaleForDpi(200, CTolvanixView::DpiX()));
    EXPECT_EQ(shown.height, ScaleForDpi(220, CTolvanixView::DpiY()));
  }
  EXPECT_FALSE(shown.Intersects(view_->GetWxWindow()->GetScreenRect())) << "over the map";
  view_->RunCommand(32876);  // stop navigation: the compass closes
}

// The compass's labels are whole: each label's text, in the font it is drawn with, fits the
// box it is drawn in (and the box the window), in both forms, at the desktop's font and dpi
// and at twice that dpi. Read after an ordinary repaint of the compass.
TEST_F(ProgramNavigation, CompassLabelsAreWholeAtTheDesktopFontAndAtAHigherDpi) {
  AddWaypoint("Gate", kEast, kNorth);
  Square(6);
  for (int dpi : {0, 192}) {
    SCOPED_TRACE("dpi " + std::to_string(dpi));
    platform::ui::SetLogicalDpi(dpi);
    TapWaypoint(0, 32813);  // "Navigate": a compass made at this dpi
    ASSERT_TRUE(CompassAside());
    CNavigationWnd& compass = *view_->m_navWnd;
    for (bool large : {true, false}) {
      SCOPED_TRACE(large ? "large" : "small");
      if (static_cast<bool>(compass.m_large) != large) {
        // The compass's own menu button, its "Large" item.
        platform::PopupMenuScript::Push(CNavigationWnd::kToggleSizeCommand);
        tvxtest::RealClick(*compass.GetDlgItemWindow(CNavigationWnd::kMenuButton));
        ASSERT_EQ(static_cast<bool>(compass.m_large), large);
      }
      compass.m_rose.labels.clear();
      compass.Invalidate(TRUE);
      ASSERT_TRUE(tvxtest::PumpUntil([&] { return !compass.m_rose.labels.empty(); }));
      ASSERT_EQ(compass.m_rose.labels.size(), large ? 8u : 4u);
      RECT client;
      compass.GetClientRect(&client);
      CClientDC dc(&compass);
      CFont font;
      CNavigationWnd::CreateLabelFont(font, large);
      CFont* old = dc.SelectObject(&font);
      for (const RoseLabel& label : compass.m_rose.labels) {
        SCOPED_TRACE(label.text);
        const CSize extent = dc.GetTextExtent(label.text);
        EXPECT_LE(extent.cx, label.right - label.left);
        EXPECT_LE(extent.cy, label.bottom - label.top);
        EXPECT_GE(label.left, 0);
        EXPECT_LE(label.right, client.right);
        EXPECT_GE(label.top, 0);
        EXPECT_LE(label.bottom, client.bottom);
      }
      dc.SelectObject(old);
      if (large) {
        // The top line, in the window's own font.
        const CSize extent = dc.GetTextExtent(CompassHeaderText(
            compass.m_distance, compass.m_bearing, compass.m_course, compass.m_units == 1));
        EXPECT_LE(extent.cy, compass.m_headerBox.bottom - compass.m_headerBox.top);
      }
    }
    view_->RunCommand(32876);  // stop navigation: the compass closes
    ASSERT_FALSE(view_->m_navWnd);
  }
}

// The object list, opened from the Objects menu after a division whose dialog moved the
// parts, opens over the program's window (both as the display has them).
TEST_F(ProgramNavigation, TheObjectListAfterADivisionOpensOverTheProgramsWindow) {
  Square(0);
  wxFrame* frame = frame_->GetFrame();
  frame->Move(200, 40);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return std::abs(tvxtest::FrameOnScreen(frame).x - 200) < 20; }));
  Paint();
  view_->RunCommand(32852);  // Divide
  ASSERT_TRUE(doc_->m_splitInProgress);
  CWnd* divide = view_->m_splitDialog.get();
  ASSERT_NE(divide, nullptr);
  // Clicked once it is on the screen where it stays: under a window manager, once the
  // manager has placed and activated it (a click before can land beside the button).
  auto* dialog = dynamic_cast<wxTopLevelWindow*>(divide->GetWxWindow());
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(tvxtest::PumpUntil([&] {
    return tvxtest::OnScreen(dialog) && (!tvxtest::WindowManagerRuns() || dialog->IsActive());
  }));
  // The first end of the line one vertex on: part 1 hands its first vertex to part 2.
  const std::size_t part1 = doc_->m_features.size() - 2;
  const std::size_t before = doc_->m_features[part1].vertices.size();
  tvxtest::RealClick(*divide->GetDlgItemWindow(1228));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return doc_->m_features[part1].vertices.size() == before - 1; }));
  tvxtest::RealClick(*divide->GetDlgItemWindow(IDOK));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !doc_->m_splitInProgress; }));

  tvxtest::ProgramWindows windows(::getpid());
  ASSERT_TRUE(windows.Connected());
  const tvxtest::ProgramWindow program = windows.Find("Tolvanix PDA");
  ASSERT_NE(program.id, 0u);
  tvxtest::ScreenRect list;
  tvxtest::AnswerWhenOnScreen<CDlgObjectList>([&](CDlgObjectList&) {
    tvxtest::ProgramWindow shown;
    tvxtest::PumpUntil([&] {
      shown = windows.Find("Objects");
      return shown.id != 0;
    });
    list = shown.rect;
    windows.Close(shown);  // its close box
  });
  // Objects > Object list, with the keys as the user opens it.
  wxUIActionSimulator input;
  const wxRect r = frame->GetScreenRect();
  input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
  tvxtest::InputHandled();
  input.Char('o', wxMOD_ALT);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return windows.PopupOpen(); }));
  input.Char('l');
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return list.width > 0 && !windows.PopupOpen(); }));
  EXPECT_TRUE(tvxtest::OpensOver(list, program.rect, windows.Screen()))
      << "object list at " << list << ", the program's window at " << program.rect;
}

// During a division every item of the menu bar, as its menu shows it when opened with the
// pointer, is greyed or does something when chosen with the pointer: opens its dialog (closed
// again), asks (a box, a file), changes the map or the document, or hands the help to the
// desktop. The receiver is read and has a fix, so that the captures would otherwise be offered.
TEST_F(ProgramNavigation, DuringADivisionEveryMenuItemIsGreyedOrDoesSomething) {
  FeatureRecord& field = Square(0);
  field.name = "Field";
  doc_->AddFeature(FeatureType::Part, "Olive grove").link = 0;
  doc_->m_current = 0;
  doc_->m_port = -1;  // no receiver port: GPS on/off is not offered
  doc_->m_offsetDistance = 5;
  doc_->m_hdopFilterOn = 0;
  // As at start-up: the program's application object (About), its options sheet, and its
  // English module and help page in the program folder.
  sandbox_->app.reset();
  sandbox_->app = std::make_unique<CTolvanixApp>();
  sandbox_->app->m_pszAppName = "tolvanixpda";
  sandbox_->app->SetRegistryKey("Vorel - Tolvanix PDA");
  sandbox_->app->m_pMainWnd = frame_;
  sandbox_->app->m_hMainWnd = frame_->m_hWnd;
  InstallOptionsSheet();
  for (const char* file : {"tvx_en.dll", "tvx_en.htm"}) {
    std::filesystem::copy_file(std::string(TVX_BINARY_DIR) + "/internal/" + file,
                               sandbox_->dir / "internal" / file);
  }
  Paint();
  view_->RunCommand(32852);  // Divide
  ASSERT_TRUE(doc_->m_splitInProgress);
  // The receiver read, with a fix that stays current while the test runs.
  CTolvanixDoc::SetFixClock([] { return std::int64_t{1000}; });
  doc_->m_gpsOn = true;
  const std::string gga = Gga((kWest + kEast) / 2, (kSouth + kNorth) / 2);
  doc_->FeedNmea(reinterpret_cast<const std::uint8_t*>(gga.data()), gga.size());
  ASSERT_TRUE(doc_->HasCurrentFix());
  // The help goes to the desktop's opener: here a stand-in that leaves a mark.
  const std::filesystem::path bin = sandbox_->dir / "bin", opened = sandbox_->dir / "opened";
  std::filesystem::create_directories(bin);
  std::ofstream(bin / "xdg-open") << "#!/bin/sh\necho \"$1\" > '" << opened.string() << "'\n";
  ::chmod((bin / "xdg-open").c_str(), 0755);
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (bin.string() + ":" + path).c_str(), 1);

  enum class Does { Greyed, Dialog, Box, FileDialog, Changes, Desktop };
  const char* const named[] = {"greyed", "a dialog", "a box", "a file dialog", "a change",
                               "the desktop"};
  // What the map and the document show, to see a command change them.
  auto state = [&] {
    return std::vector<double>{
        double(view_->m_showWaypoints), double(view_->m_showWaypointNames),
        double(view_->m_showOutlines), double(view_->m_showLabels), double(view_->m_showPoints),
        double(view_->m_showTitles), double(view_->m_showNotes), double(view_->m_showRuler),
        double(view_->m_showZoombar), double(view_->m_extraBar), view_->m_zoom,
        double(view_->m_offsetX), double(view_->m_offsetY), double(view_->m_tapMode),
        double(doc_->m_waypoints.size()), double(doc_->m_features.size()),
        double(doc_->m_offsetOn), double(doc_->m_autoCapture), double(doc_->m_current)};
  };
  const std::function<void()> none = [] {};
  auto again = [&](UINT id) { return [this, id] { view_->RunCommand(id); }; };
  struct Row {
    const char* menu;
    const char* submenu;  // nullptr: an item of the menu itself
    UINT id;
    Does does;
    std::function<void()> before, after;
  };
  const Row rows[] = {
      {"File", nullptr, ID_FILE_NEW, Does::Greyed, none, none},
      {"File", nullptr, ID_FILE_OPEN, Does::Greyed, none, none},
      {"File", nullptr, ID_FILE_SAVE, Does::Greyed, none, none},  // no file yet
      {"File", nullptr, ID_FILE_SAVE_AS, Does::FileDialog, none, none},
      // (Delete document, 1261, is taken off the File menu as it opens.)
      {"File", "Export", 32780, Does::Dialog, none, none},
      {"File", "Export", 32779, Does::Dialog, none, none},
      {"File", "Export", 32838, Does::FileDialog, none, none},
      {"File", "Export", 32781, Does::Dialog, none, none},
      {"File", "Export", 32836, Does::Dialog, none, none},
      {"File", "Export", 32843, Does::Dialog, none, none},
      {"File", "Export", 32844, Does::Dialog, none, none},
      {"File", nullptr, 212, Does::Greyed, none, none},  // the wizard
      {"GPS", nullptr, 32804, Does::Greyed, none, none},
      {"GPS", nullptr, 32801, Does::Greyed, none, none},  // capture a point
      {"GPS", nullptr, 32802, Does::Greyed, none, none},  // automatic capture
      {"GPS", nullptr, 32803, Does::Greyed, none, none},  // averaging
      {"GPS", nullptr, 32832, Does::Changes, none, again(32832)},  // offset
      {"GPS", nullptr, 32863, Does::Changes, none, none},          // a waypoint here
      {"GPS", nullptr, 32882, Does::Greyed, none, none},           // circle from the receiver
      {"GPS", nullptr, 32824, Does::Dialog, none, none},
      {"GPS", nullptr, 32825, Does::Dialog, none, none},
      {"Objects", nullptr, 32842, Does::Greyed, none, none},
      {"Objects", nullptr, 32871, Does::Greyed, none, none},  // new part
      {"Objects", nullptr, 32862, Does::Greyed, none, none},
      {"Objects", nullptr, 32872, Does::Greyed, none, none},  // object grid
      {"Objects", nullptr, 32864, Does::Dialog, none, none},
      {"Objects", nullptr, 32835, Does::Dialog, none, none},
      {"Objects", nullptr, 32853, Does::Greyed, none, none},
      {"Objects", nullptr, 32854, Does::Greyed, none, none},
      {"Objects", nullptr, 32860, Does::Greyed, none, none},
      {"Objects", nullptr, 32852, Does::Greyed, none, none},
      {"Objects", nullptr, 32885, Does::Greyed, none, none},
      {"View", nullptr, 32807, Does::Changes, none, none},          // zoom in
      {"View", nullptr, 32805, Does::Changes, none, none},          // all, from zoomed in
      {"View", nullptr, 32811, Does::Changes, none, again(32805)},  // zoom out
      {"View", nullptr, 32806, Does::Changes,                       // on the receiver
       [&] { view_->m_markerX = view_->m_markerY = 5; },
       [&] {
         view_->m_offsetX = view_->m_offsetY = 0;
         view_->RequestRedraw();
       }},
      {"View", nullptr, 32800, Does::Changes, none, again(32800)},
      {"View", nullptr, 32840, Does::Changes, none, again(32840)},
      {"View", nullptr, 32855, Does::Changes, none, again(32855)},
      {"View", nullptr, 32857, Does::Changes, none, again(32857)},
      {"View", nullptr, 32858, Does::Changes, none, again(32858)},
      {"View", nullptr, 32856, Does::Changes, none, again(32856)},
      {"View", nullptr, 32833, Does::Changes, none, again(32833)},
      {"View", nullptr, 32823, Does::Changes, none, again(32823)},
      {"View", nullptr, 32808, Does::Changes, none, again(32808)},
      {"View", nullptr, 32881, Does::Changes, none, again(32881)},
      {"View", nullptr, 32875, Does::Dialog, none, none},   // the navigation target
      {"View", nullptr, 32876, Does::Greyed, none, none},  // no navigation runs
      {"Tools", nullptr, 32778, Does::Dialog, none, none},
      {"Tools", "Language", 32782, Does::Box, none, none},
      // The other modules are not installed in the program folder.
      {"Tools", "Language", 32783, Does::Greyed, none, none},
      {"Tools", "Language", 32784, Does::Greyed, none, none},
      {"Tools", "Language", 32785, Does::Greyed, none, none},
      {"Tools", "Language", 32786, Does::Greyed, none, none},
      {"Tools", "Language", 32788, Does::Greyed, none, none},
      {"Tools", "Language", 32787, Does::Greyed, none, none},
      {"Tools", "Language", 32789, Does::Greyed, none, none},
      {"Tools", "Language", 32790, Does::Greyed, none, none},
      {"Tools", "Language", 32791, Does::Greyed, none, none},
      {"Tools", "Language", 32792, Does::Greyed, none, none},
      {"Tools", "Language", 32793, Does::Greyed, none, none},
      {"Tools", "Language", 32794, Does::Greyed, none, none},
      {"Tools", "Language", 32795, Does::Greyed, none, none},
      {"Tools", "Language", 32796, Does::Greyed, none, none},
      {"Help", nullptr, 32822, Does::Desktop, none, none},
      {"Help", nullptr, 57664, Does::Dialog, none, none},  // About
      // Last: the exit asks to save the work, and is cancelled.
      {"File", nullptr, ID_APP_EXIT, Does::Box, [&] { doc_->SetModifiedFlag(TRUE); }, none},
  };

  wxMenuBar* bar = frame_->GetFrame()->GetMenuBar();
  ASSERT_NE(bar, nullptr);
  // A modal dialog a command opens is seen and closed from inside its loop.
  std::vector<std::string> dialogs;
  wxTimer closer;
  closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    for (wxWindow* top : wxTopLevelWindows) {
      auto* dialog = dynamic_cast<wxDialog*>(top);
      if (!dialog || !dialog->IsModal() || !tvxtest::OnScreen(dialog)) continue;
      dialogs.push_back(dialog->GetTitle().utf8_string());
      dialog->EndModal(wxID_CANCEL);
    }
  });
  closer.Start(50);
  // What a command did, if anything yet.
  auto did = [&](const std::vector<double>& was) -> std::optional<Does> {
    if (!dialogs.empty()) return Does::Dialog;
    if (!platform::MessageBoxScript::TakeShown().empty()) return Does::Box;
    if (!platform::FileDialogScript::TakeShown().empty()) return Does::FileDialog;
    if (std::filesystem::exists(opened)) return Does::Desktop;
    if (state() != was) return Does::Changes;
    return std::nullopt;
  };

  std::set<UINT> listed;
  for (const Row& row : rows) {
    listed.insert(row.id);
    SCOPED_TRACE(std::string(row.menu) + (row.submenu ? std::string(" > ") + row.submenu : "") +
                 " > " + std::to_string(row.id));
    row.before();
    platform::MessageBoxScript::Clear();
    platform::MessageBoxScript::Push(IDCANCEL);
    platform::FileDialogScript::Clear();
    platform::FileDialogScript::Push("");
    dialogs.clear();
    const std::vector<double> was = state();

    wxMenu* menu = bar->GetMenu(bar->FindMenu(row.menu));
    ASSERT_NE(menu, nullptr);
    wxMenu* shown = tvxtest::OpenFromMenuBar(menu, row.submenu);
    ASSERT_NE(shown, nullptr) << "the menu did not open";
    const tvxtest::PopupOnScreen items = tvxtest::ReadPopup(shown);
    const tvxtest::PopupOnScreen::Item* item = items.Find(row.id);
    ASSERT_NE(item, nullptr) << "not in the menu";
    EXPECT_EQ(!item->enabled, row.does == Does::Greyed) << (item->enabled ? "offered" : "greyed");
    if (!item->enabled) {
      tvxtest::CloseMenuBarMenu(menu, row.submenu != nullptr);
      continue;
    }
    tvxtest::ChooseFromMenuBar(menu, *item);
    std::optional<Does> outcome;
    // (What was shown is taken once: the first answer stands.)
    tvxtest::PumpUntil([&] {
      if (!outcome) outcome = did(was);
      return outcome.has_value();
    });
    EXPECT_TRUE(outcome.has_value()) << "offered, and choosing it did nothing";
    if (outcome) {
      EXPECT_STREQ(named[int(*outcome)], named[int(row.does)]);
    }
    row.after();
  }
  closer.Stop();
  setenv("PATH", path.c_str(), 1);
  CTolvanixDoc::SetFixClock(nullptr);

  // Every item the menu bar holds is in the table.
  std::function<void(wxMenu*)> collect = [&](wxMenu* menu) {
    for (wxMenuItem* item : menu->GetMenuItems()) {
      if (wxMenu* sub = item->GetSubMenu()) {
        collect(sub);
      } else if (!item->IsSeparator()) {
        EXPECT_EQ(listed.count(platform::ui::WxIdToCommand(item->GetId())), 1u)
            << item->GetItemLabelText();
      }
    }
  };
  for (std::size_t i = 0; i < bar->GetMenuCount(); ++i) collect(bar->GetMenu(i));
  EXPECT_EQ(bar->FindItem(platform::ui::CommandToWxId(1261)), nullptr)
      << "Delete document is taken off the File menu as it opens";

  // The division is ended as its dialog ends it.
  platform::MessageBoxScript::Clear();
  doc_->m_gpsOn = false;
  tvxtest::RealClick(*view_->m_splitDialog->GetDlgItemWindow(IDCANCEL));
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !doc_->m_splitInProgress; }));
  doc_->SetModifiedFlag(FALSE);
}

// While the receiver is read the desktop is asked to stay awake, and let go when reading
// stops and when the program ends; the desktop's service here is a stand-in on a bus of the
// test's own.
TEST_F(ViewWindowInput, ReadingKeepsTheDesktopAwakeUntilItStops) {
  tvxtest::PrivateSessionBus bus;
  if (bus.address().empty()) GTEST_SKIP() << "no dbus-daemon";
  tvxtest::FakeScreenSaver desktop(bus.address());
  ASSERT_TRUE(desktop.serving());
  setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);

  // The reader's messages: a fix read, and the panels' refresh when reading stops.
  doc_->m_gpsOn = true;
  view_->PostMessage(WM_REFRESH_GPS, 0, 0);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return desktop.held() == 1; }));
  EXPECT_EQ(desktop.lastApplication(), "tolvanixpda");
  view_->PostMessage(WM_REFRESH_GPS, 0, 0);
  tvxtest::PumpFor(100);
  EXPECT_EQ(desktop.inhibits(), 1) << "asked once while reading";
  doc_->m_gpsOn = false;
  view_->PostMessage(WM_DIBUJAR_CAMPOS, 0, 0);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return desktop.held() == 0; }));
  EXPECT_EQ(desktop.uninhibits(), 1);

  // Reading again, then the program ends with it on.
  doc_->m_gpsOn = true;
  view_->PostMessage(WM_REFRESH_GPS, 0, 0);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return desktop.held() == 1; }));
  doc_->m_gpsOn = false;
  frame_->DestroyWindow();
  tvxtest::PumpUntil([&] { return template_->GetFrame() == nullptr; });
  frame_ = nullptr;
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return desktop.held() == 0; }));
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

}  // namespace
