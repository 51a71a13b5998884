// The program's main frame with its document and map view, from the English module, under
// Xvfb: its bars, full screen, the ruler combo, the panels after a fix and the GPS state box.
#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/dcscreen.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <dlfcn.h>
#include <geodesic.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "app/languages.h"
#include "app/main_frame.h"
#include "dialogs/program_dialogs.h"
#include "platform/serial_ports.h"
#include "platform/ui/command_ids.h"
#include "platform/wait_cursor.h"
#include "tests/document_main/doc_test_env.h"
#include "tests/support/wx_test_environment.h"
#include "tools/receiver_sim/receiver_simulator.h"
#include "view/tolvanix_view.h"

namespace {

namespace fs = std::filesystem;

class MainFrameTest : public tvxtest::ModuleWindowTest {
 protected:
  MainFrameTest() : ModuleWindowTest(TVX_BINARY_DIR "/internal/tvx_en.dll") {}

  void SetUp() override {
    ModuleWindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    static bool resources = [] {
      platform::SetProgramResources(tvx_program_resources());
      return true;
    }();
    (void)resources;
    setenv("TVX_NO_SOUND", "1", 1);
    dir_ = fs::temp_directory_path() /
           ("tvx_frame_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "internal");
    for (const char* file : {"tvxdatum.bin", "tvxdtmlist.bin"}) {
      fs::path shipped = fs::path(TVX_BINARY_DIR) / "internal" / file;
      if (fs::exists(shipped)) fs::copy_file(shipped, dir_ / "internal" / file);
    }
    ModuleDirectory = dir_.string() + "/";
    platform::OptionsStore::Instance().SetPath((dir_ / "registry.ini").string());
    app_ = std::make_unique<CWinApp>("tolvanixpda");
    app_->SetRegistryKey("Vorel - Tolvanix PDA");
  }

  void TearDown() override {
    if (template_) {
      if (CFrameWnd* frame = template_->GetFrame()) frame->GetFrame()->Destroy();
      tvxtest::PumpUntil([this] { return template_->GetFrame() == nullptr; });
      template_.reset();
    }
    app_.reset();
    platform::OptionsStore::Instance().SetPath("");
    if (!dir_.empty()) fs::remove_all(dir_);
    ModuleWindowTest::TearDown();
  }

  void Store(const std::string& name, int value) { app_->WriteProfileInt("Opciones", name, value); }

  // The program's document, frame and view, shown.
  CMainFrame& Open() {
    template_.reset(MakeSingleDocTemplate<CTolvanixDoc, CMainFrame, CTolvanixView>(128));
    doc_ = dynamic_cast<CTolvanixDoc*>(template_->OpenDocumentFile(""));
    EXPECT_NE(doc_, nullptr);
    frame_ = dynamic_cast<CMainFrame*>(template_->GetFrame());
    EXPECT_NE(frame_, nullptr);
    // Under a window manager the frame is placed, sized and activated some time after it is
    // shown; its bars are laid out once it has its size.
    wxFrame* window = frame_->GetFrame();
    const wxSize asked = window->GetSize();
    frame_->ShowWindow(SW_SHOW);
    tvxtest::PumpUntil([window] { return tvxtest::OnScreen(window); });
    if (tvxtest::WindowManagerRuns()) tvxtest::PumpUntil([window] { return window->IsActive(); });
    tvxtest::PumpUntil([window, asked] { return tvxtest::SizeGiven(window, asked); });
    Settle();
    return *frame_;
  }

  // Runs what is queued, then the update requests that idle time sends to menus and bars.
  void Settle() {
    for (int i = 0; i < 20; ++i) {
      wxTheApp->ProcessPendingEvents();
      wxTheApp->Yield(true);
    }
    if (frame_ && frame_->GetFrame()) frame_->GetFrame()->UpdateWindowUI(wxUPDATE_UI_RECURSE);
  }

  static bool Shown(const CWnd& bar) { return bar.IsWindowVisible() != FALSE; }

  // What a test with a receiver on port 3 and the program's dialogs leaves behind goes, whatever
  // step fails: the receiver switched off, the work unmodified, the port and the scripts gone.
  struct ReceiverGoesAtTheEnd {
    CTolvanixDoc*& doc;
    ~ReceiverGoesAtTheEnd() {
      if (doc && doc->m_gpsOn) doc->ToggleGps();
      if (doc) doc->SetModifiedFlag(FALSE);
      CTolvanixDoc::SetDocumentDialogs(nullptr);
      platform::UnpublishSerialPort(3);
      platform::MessageBoxScript::Clear();
    }
  };

  std::string Pane(int index) { return frame_->m_statusBar.GetPaneText(index); }
  void Feed(const std::string& sentence) {
    doc_->FeedNmea(reinterpret_cast<const std::uint8_t*>(sentence.data()), sentence.size());
  }

  fs::path dir_;
  std::unique_ptr<CWinApp> app_;
  std::unique_ptr<CSingleDocTemplate> template_;
  CTolvanixDoc* doc_ = nullptr;
  CMainFrame* frame_ = nullptr;
};

// Every button of every bar names the command it runs, in its tooltip and its glyph.
TEST_F(MainFrameTest, EveryButtonsTooltipAndGlyphNameItsCommand) {
  CMainFrame& frame = Open();
  struct Expected {
    CToolBar* bar;
    UINT command;
    const char* tooltip;
    const char* glyph;
  };
  const Expected table[] = {
      {&frame.m_commandBar, 32801, "Capture point", "Cap"},
      {&frame.m_commandBar, 32802, "Automatic capture", "AP"},
      {&frame.m_commandBar, 32803, "Start / Stop averaging", "Avg"},
      {&frame.m_commandBar, 32804, "Open / Close GPS", "GPS"},
      {&frame.m_commandBar, 32881, "Show / hide the drawing toolbar", "Draw"},
      {&frame.m_zoomBar, 32807, "Zoom plus", "+"},
      {&frame.m_zoomBar, 32811, "Zoom minus", "\u2212"},
      {&frame.m_zoomBar, 32805, "Zoom full extent", "[ ]"},
      {&frame.m_zoomBar, 32806, "Zoom on GPS", "\u25CE"},
      {&frame.m_zoomBar, 32832, "Offset on / off", "Off"},
      {&frame.m_zoomBar, 32845, "Read screen coordinates", "XY"},
      {&frame.m_zoomBar, 1157, "Measure distance", "\u2194"},
      {&frame.m_zoomBar, 1158, "Waypoint by tapping", "+Wpt"},
      {&frame.m_toolBar1, 32878, "New line by tapping", "+L"},
      {&frame.m_toolBar1, 32877, "Add vertices by tapping", "+Pt"},
      {&frame.m_toolBar1, 32880, "Rectangle", "\u25AD"},
      {&frame.m_toolBar1, 32879, "Circle", "\u25CB"},
      {&frame.m_toolBar1, 32882, "Circle from GPS", "GPS\u25CB"},
      {&frame.m_toolBar1, 32889, "Move all features", "Move"},
  };
  std::set<std::string> tooltips, glyphs;
  std::map<CToolBar*, std::vector<UINT>> order;
  for (const Expected& e : table) {
    EXPECT_EQ(e.bar->GetButtonTooltip(e.command), e.tooltip) << e.command;
    EXPECT_EQ(e.bar->GetButtonGlyph(e.command), e.glyph) << e.command;
    // No two commands share a tooltip or a glyph.
    EXPECT_TRUE(tooltips.insert(e.tooltip).second) << e.tooltip;
    EXPECT_TRUE(glyphs.insert(e.glyph).second) << e.glyph;
    order[e.bar].push_back(e.command);
  }
  for (const auto& [bar, commands] : order) {
    std::vector<UINT> buttons = bar->GetButtonIds();
    std::erase(buttons, 0u);  // the ruler combo's place
    EXPECT_EQ(buttons, commands);
  }
  // The commands that are in the menus carry the same words there.
  wxMenuBar* menus = frame.GetFrame()->GetMenuBar();
  ASSERT_NE(menus, nullptr);
  for (const Expected& e : table) {
    if (e.command != 32801 && e.command != 32802 && e.command != 32804 && e.command != 32806 &&
        e.command != 32832 && e.command != 32882)
      continue;
    wxMenuItem* item = menus->FindItem(platform::ui::CommandToWxId(e.command));
    ASSERT_NE(item, nullptr) << e.command;
    EXPECT_EQ(item->GetItemLabelText().Lower(), wxString::FromUTF8(e.tooltip).Lower()) << e.command;
  }
}

TEST_F(MainFrameTest, StartsWithItsBarsAndTheViewBetweenThem) {
  CMainFrame& frame = Open();
  EXPECT_EQ(frame.GetFrame()->GetTitle(), "Tolvanix PDA");
  EXPECT_TRUE(IsFrameMenuBarVisible(&frame));
  EXPECT_TRUE(Shown(frame.m_statusBar));
  EXPECT_TRUE(Shown(frame.m_commandBar));
  EXPECT_TRUE(Shown(frame.m_zoomBar));
  EXPECT_FALSE(Shown(frame.m_toolBar1));
  EXPECT_FALSE(Shown(frame.m_toolBar2));
  EXPECT_FALSE(Shown(frame.m_fullScreenBar));

  EXPECT_EQ(frame.m_statusBar.GetCount(), 3);
  EXPECT_EQ(frame.m_statusBar.GetItemID(1), ID_INDICATOR_SATELLITES);
  EXPECT_EQ(frame.m_statusBar.CommandToIndex(ID_INDICATOR_AUTOCAPTURE), 2);
  // Pane 0 tells the receiver's state from the start.
  EXPECT_EQ(Pane(0), "Disconnected");
  EXPECT_EQ(frame.m_commandBar.GetButtonIds(), (std::vector<UINT>{32801, 32802, 32803, 32804, 32881}));
  EXPECT_EQ(frame.m_commandBar.GetButtonTooltip(32801), "Capture point");
  EXPECT_EQ(frame.m_commandBar.GetButtonTooltip(32804), "Open / Close GPS");
  EXPECT_EQ(frame.m_zoomBar.GetButtonTooltip(32807), "Zoom plus");
  EXPECT_EQ(frame.m_toolBar1.GetButtonTooltip(32880), "Rectangle");

  // The ruler combo: every item, "OFF" while Regla is 0.
  auto* combo = dynamic_cast<wxChoice*>(frame.m_zoomBar.GetDlgItemWindow(IDC_RULER_COMBO));
  ASSERT_NE(combo, nullptr);
  ASSERT_EQ(combo->GetCount(), 8u);
  EXPECT_EQ(combo->GetString(4), " 25");
  EXPECT_EQ(combo->GetSelection(), 1);

  // The map view lies between the zoom toolbar and the command bar.
  wxRect view = frame.GetActiveView()->GetWxWindow()->GetRect();
  wxRect zoom = frame.m_zoomBar.GetWxWindow()->GetRect();
  wxRect command = frame.m_commandBar.GetWxWindow()->GetRect();
  EXPECT_EQ(view.GetTop(), zoom.GetBottom() + 1);
  EXPECT_EQ(view.GetBottom() + 1, command.GetTop());
  EXPECT_GT(view.GetHeight(), 100);
}

// The desktop's font changes as its settings tool changes it: through the toolkit's settings.
bool ChangeDesktopSetting(const char* name, const char* value) {
  using GetSettings = void* (*)();
  using SetProperty = void (*)(void*, const char*, ...);
  auto settings = reinterpret_cast<GetSettings>(dlsym(RTLD_DEFAULT, "gtk_settings_get_default"));
  auto set = reinterpret_cast<SetProperty>(dlsym(RTLD_DEFAULT, "g_object_set"));
  if (!settings || !set || !settings()) return false;
  set(settings(), name, value, nullptr);
  return true;
}

TEST_F(MainFrameTest, DesktopFontOrThemeChangeReachesTheFramesSettingsHandler) {
  CMainFrame& frame = Open();
  wxFrame* window = frame.GetFrame();
  frame.EnterFullScreen();
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return tvxtest::FullScreenSettled(window, true); }));
  // The desktop took the full-screen state away; the next settings change puts it back.
  window->ShowFullScreen(false);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return tvxtest::FullScreenSettled(window, false); }));
  Settle();
  ASSERT_FALSE(IsFrameFullScreen(&frame));
  ASSERT_TRUE(ChangeDesktopSetting("gtk-font-name", "Sans 13"));
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return tvxtest::FullScreenSettled(window, true); }));
  // And again for a new theme.
  window->ShowFullScreen(false);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return tvxtest::FullScreenSettled(window, false); }));
  Settle();
  ASSERT_TRUE(ChangeDesktopSetting("gtk-theme-name", "HighContrast"));
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return tvxtest::FullScreenSettled(window, true); }));
  ChangeDesktopSetting("gtk-theme-name", "Adwaita");
  ChangeDesktopSetting("gtk-font-name", "Sans 10");
  Settle();
  frame.LeaveFullScreen();
  Settle();
}

// Width the toolkit gave an open menu, and the width its items ask for.
struct MenuWidths {
  int allocated = 0;
  int wanted = 0;
};
MenuWidths WidthsOf(wxMenu* menu) {
  using Allocated = int (*)(void*);
  using Preferred = void (*)(void*, int*, int*);
  using Mapped = int (*)(void*);
  auto allocated = reinterpret_cast<Allocated>(dlsym(RTLD_DEFAULT, "gtk_widget_get_allocated_width"));
  auto preferred = reinterpret_cast<Preferred>(dlsym(RTLD_DEFAULT, "gtk_widget_get_preferred_width"));
  auto mapped = reinterpret_cast<Mapped>(dlsym(RTLD_DEFAULT, "gtk_widget_get_mapped"));
  MenuWidths widths;
  if (!allocated || !preferred || !mapped || !menu->m_menu || !mapped(menu->m_menu)) return widths;
  int minimum = 0;
  preferred(menu->m_menu, &minimum, &widths.wanted);
  widths.allocated = allocated(menu->m_menu);
  return widths;
}

TEST_F(MainFrameTest, AMenuWhoseTextsChangeAsItOpensIsWideEnoughForThem) {
  CMainFrame& frame = Open();
  doc_->AddFeature(FeatureType::Area, "Northern boundary of the olive grove");
  doc_->m_current = 1;
  doc_->m_features[1].AddVertex({-3.7, 40.4}, {-3.7, 40.4}, 0);
  frame.GetFrame()->Raise();
  Settle();
  wxMenuBar* bar = frame.GetFrame()->GetMenuBar();
  wxMenu* objects = bar->GetMenu(bar->FindMenu("Objects"));
  ASSERT_NE(objects, nullptr);
  // Where "Objects" stands on the menu bar: after "File" and "GPS".
  const wxRect barRect = bar->GetScreenRect();
  wxScreenDC dc;
  dc.SetFont(bar->GetFont());
  int x = barRect.x;
  for (const char* title : {"File", "GPS"}) x += dc.GetTextExtent(title).x + 18;
  // The pointer comes onto the menu bar from the map, as a hand brings it there (it may
  // still rest on the bar where an earlier test left it), and the bar hears it come.
  bool entered = false;
  auto enter = [&entered](wxMouseEvent& event) {
    event.Skip();
    entered = true;
  };
  bar->Bind(wxEVT_ENTER_WINDOW, enter);
  const wxRect view = frame.GetActiveView()->GetWxWindow()->GetScreenRect();
  wxUIActionSimulator input;
  input.MouseMove(view.x + view.width / 2, view.y + view.height / 2);
  Settle();
  entered = false;
  input.MouseMove(x + dc.GetTextExtent("Objects").x / 2 + 9, barRect.y + barRect.height / 2);
  EXPECT_TRUE(tvxtest::PumpUntil([&] { return entered; }));
  bar->Unbind(wxEVT_ENTER_WINDOW, enter);
  input.MouseClick();
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return WidthsOf(objects).allocated > 0; }));
  Settle();
  wxMenuItem* item = bar->FindItem(platform::ui::CommandToWxId(32853));
  ASSERT_NE(item, nullptr);
  EXPECT_NE(item->GetItemLabelText().Find("olive grove"), wxNOT_FOUND) << item->GetItemLabelText();
  const MenuWidths widths = WidthsOf(objects);
  EXPECT_GE(widths.allocated, widths.wanted);
  input.Char(WXK_ESCAPE);
  Settle();
}

TEST_F(MainFrameTest, FullScreenHidesTheBarsAndLeavingShowsThemAgain) {
  CMainFrame& frame = Open();
  const int normalHeight = frame.GetActiveView()->GetWxWindow()->GetSize().y;
  frame.EnterFullScreen();
  Settle();
  EXPECT_TRUE(frame.IsFullScreen());
  EXPECT_FALSE(IsFrameMenuBarVisible(&frame));
  EXPECT_FALSE(Shown(frame.m_statusBar));
  EXPECT_FALSE(Shown(frame.m_commandBar));
  EXPECT_FALSE(Shown(frame.m_zoomBar));
  EXPECT_TRUE(Shown(frame.m_fullScreenBar));
  EXPECT_EQ(frame.m_fullScreenBar.GetButtonIds(), (std::vector<UINT>{210, 211}));
  EXPECT_GT(frame.GetActiveView()->GetWxWindow()->GetSize().y, normalHeight - 10);

  // The start/pause button follows the measurement.
  const std::string running = frame.m_fullScreenBar.GetButtonGlyph(210);
  frame.SetMeasureButtonBitmap(FALSE);
  EXPECT_NE(frame.m_fullScreenBar.GetButtonGlyph(210), running);
  frame.SetMeasureButtonBitmap(TRUE);
  EXPECT_EQ(frame.m_fullScreenBar.GetButtonGlyph(210), running);

  frame.LeaveFullScreen();
  Settle();
  EXPECT_FALSE(frame.IsFullScreen());
  EXPECT_TRUE(IsFrameMenuBarVisible(&frame));
  EXPECT_TRUE(Shown(frame.m_statusBar));
  EXPECT_TRUE(Shown(frame.m_commandBar));
  EXPECT_TRUE(Shown(frame.m_zoomBar));
  EXPECT_FALSE(Shown(frame.m_fullScreenBar));

  // The zoom toolbar hidden by the view's command stays hidden after full screen.
  auto* view = dynamic_cast<CTolvanixView*>(frame.GetActiveView());
  ASSERT_NE(view, nullptr);
  frame.ToggleBar(0);
  view->m_showZoombar = 0;
  frame.EnterFullScreen();
  frame.LeaveFullScreen();
  EXPECT_FALSE(Shown(frame.m_zoomBar));
  frame.ToggleBar(0);
  EXPECT_TRUE(Shown(frame.m_zoomBar));

  // Toggling a bar twice leaves it as it was.
  frame.ToggleBar(1);
  EXPECT_TRUE(Shown(frame.m_toolBar1));
  frame.ToggleBar(1);
  EXPECT_FALSE(Shown(frame.m_toolBar1));
}

TEST_F(MainFrameTest, WithoutZoombarTheZoomToolbarStaysHiddenAfterFullScreen) {
  Store("Zoombar", 0);
  Store("Regla", 1);
  CMainFrame& frame = Open();
  EXPECT_FALSE(Shown(frame.m_zoomBar));
  auto* combo = dynamic_cast<wxChoice*>(frame.m_zoomBar.GetDlgItemWindow(IDC_RULER_COMBO));
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->GetSelection(), 0);  // "Auto" while the ruler is on
  frame.EnterFullScreen();
  frame.LeaveFullScreen();
  Settle();
  EXPECT_FALSE(Shown(frame.m_zoomBar));
  EXPECT_TRUE(Shown(frame.m_commandBar));
}

TEST_F(MainFrameTest, ChoosingARulerStepSetsTheViewsRuler) {
  CMainFrame& frame = Open();
  auto* view = dynamic_cast<CTolvanixView*>(frame.GetActiveView());
  ASSERT_NE(view, nullptr);
  auto* combo = dynamic_cast<wxChoice*>(frame.m_zoomBar.GetDlgItemWindow(IDC_RULER_COMBO));
  ASSERT_NE(combo, nullptr);
  auto choose = [combo](int item) {
    combo->SetSelection(item);
    wxCommandEvent event(wxEVT_CHOICE, combo->GetId());
    event.SetEventObject(combo);
    event.SetInt(item);
    combo->GetEventHandler()->ProcessEvent(event);
  };
  // The bar's idle updates leave the combo as the frame set it.
  auto* bar = dynamic_cast<wxToolBar*>(frame.m_zoomBar.GetWxWindow());
  ASSERT_NE(bar, nullptr);
  auto usable = [&] { return combo->IsEnabled() && bar->GetToolEnabled(IDC_RULER_COMBO); };
  Settle();
  EXPECT_TRUE(usable());
  frame.EnableRulerCombo(FALSE);
  Settle();
  EXPECT_FALSE(usable());
  frame.EnableRulerCombo(TRUE);
  Settle();
  EXPECT_TRUE(usable());
  choose(4);  // " 25"
  EXPECT_EQ(view->m_showRuler, 1);
  EXPECT_EQ(view->m_rulerStep, 25);
  choose(1);  // "OFF": the step stays
  EXPECT_EQ(view->m_showRuler, 0);
  EXPECT_EQ(view->m_rulerStep, 25);
  choose(0);
  EXPECT_EQ(view->m_showRuler, 1);
  EXPECT_EQ(view->m_rulerStep, -1);
}

TEST_F(MainFrameTest, OpeningAMenuOfTheMenuBarShowsTheViewsStates) {
  CMainFrame& frame = Open();
  auto* view = dynamic_cast<CTolvanixView*>(frame.GetActiveView());
  ASSERT_NE(view, nullptr);
  wxMenuBar* bar = frame.GetFrame()->GetMenuBar();
  ASSERT_NE(bar, nullptr);
  auto open = [&](const char* title) {
    wxMenu* menu = bar->GetMenu(bar->FindMenu(title));
    ASSERT_NE(menu, nullptr);
    wxMenuEvent event(wxEVT_MENU_OPEN, 0, menu);
    frame.GetFrame()->GetEventHandler()->ProcessEvent(event);
  };
  auto item = [bar](UINT command) {
    wxMenuItem* found = bar->FindItem(platform::ui::CommandToWxId(command));
    EXPECT_NE(found, nullptr) << command;
    return found ? found->IsChecked() : false;
  };
  view->m_showRuler = 1;
  view->m_showWaypoints = 0;
  open("View");
  EXPECT_TRUE(item(32823));
  EXPECT_FALSE(item(32800));
  view->m_showRuler = 0;
  open("View");
  EXPECT_FALSE(item(32823));
  // The chosen language is checked in the submenu.
  open("Tools");
  EXPECT_TRUE(item(32782));
  EXPECT_FALSE(item(32785));
}

// Whether an open menu (or submenu) is on the screen.
bool MenuOnScreen(wxMenu* menu) {
  using Mapped = int (*)(void*);
  static auto mapped = reinterpret_cast<Mapped>(dlsym(RTLD_DEFAULT, "gtk_widget_get_mapped"));
  return menu && menu->m_menu && mapped && mapped(menu->m_menu);
}

// Presses the access key of a menu of the frame's menu bar, as a user's keyboard does
// (without a window manager the keys go to the window under the pointer), and waits until
// the menu is on the screen.
bool OpenMenuWithKeys(wxFrame* frame, wxMenu* menu, char key) {
  wxUIActionSimulator input;
  const wxRect r = frame->GetScreenRect();
  input.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
  input.Char(key, wxMOD_ALT);
  return tvxtest::PumpUntil([menu] { return MenuOnScreen(menu); });
}

// Waits until the frame's idle pass (a few times a second, also while a menu is open) has
// gone over the open menus: it puts back what disturb changes, and restored tells when.
template <class Disturb, class Restored>
bool IdlePassRan(Disturb disturb, Restored restored) {
  disturb();
  return tvxtest::PumpUntil(restored);
}

// Each item's enabled state, by command.
std::map<UINT, bool> EnabledStates(wxMenu* menu) {
  std::map<UINT, bool> states;
  for (wxMenuItem* item : menu->GetMenuItems()) {
    if (wxMenu* sub = item->GetSubMenu()) {
      states.merge(EnabledStates(sub));
    } else if (!item->IsSeparator()) {
      states[platform::ui::WxIdToCommand(item->GetId())] = item->IsEnabled();
    }
  }
  return states;
}

// The language menu as the user opens it: only installed modules can be chosen, whichever of
// the frame's passes (the view's menu states, the commands' update handlers, the idle pass
// while the menu is open) ran last; the keyboard skips the others and picks the next
// installed one.
TEST_F(MainFrameTest, LanguageMenuOpenedWithTheKeysOffersOnlyInstalledModules) {
  for (const char* file : {"tvx_en.dll", "tvx_lt.dll"}) std::ofstream(dir_ / "internal" / file) << "x";
  CMainFrame& frame = Open();
  wxMenuBar* bar = frame.GetFrame()->GetMenuBar();
  wxMenu* tools = bar->GetMenu(bar->FindMenu("Tools"));
  wxMenuItem* english = bar->FindItem(platform::ui::CommandToWxId(32782));
  ASSERT_NE(english, nullptr);
  wxMenu* languages = english->GetMenu();
  ASSERT_TRUE(OpenMenuWithKeys(frame.GetFrame(), tools, 't'));
  wxUIActionSimulator input;
  input.Char('l');
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return MenuOnScreen(languages); }));
  ASSERT_TRUE(IdlePassRan([&] { english->Check(false); }, [&] { return english->IsChecked(); }));

  std::map<UINT, bool> expected;
  for (const LanguageModuleInfo& row : kLanguageModules) expected[row.commandId] = row.index == 0 || row.index == 13;
  EXPECT_EQ(EnabledStates(languages), expected);

  // Down from English: Lithuanian, the next installed one.
  platform::MessageBoxScript::Push(IDOK);
  input.Char(WXK_DOWN);
  input.Char(WXK_RETURN);
  ASSERT_TRUE(tvxtest::PumpUntil([&] { return !MenuOnScreen(tools); }));
  Settle();
  EXPECT_EQ(app_->GetProfileInt("Opciones", "Idioma", 0), 13u);
  const auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, kLanguageModules[13].notice);
}

// Items whose state both the view's menu pass and the commands' update handlers decide read
// the same after the menu has opened and after the idle pass: divide and split by line need
// four vertices and no split-by-line tap mode for divide, the object grid needs parts of the
// current feature, inserting a point a fix, the exports something to export.
TEST_F(MainFrameTest, MenuItemsKeepOneStateThroughEveryPass) {
  CMainFrame& frame = Open();
  auto* view = dynamic_cast<CTolvanixView*>(frame.GetActiveView());
  ASSERT_NE(view, nullptr);
  wxMenuBar* bar = frame.GetFrame()->GetMenuBar();
  // Opens a menu with its key, reads its states, lets the idle pass put back a text it sets,
  // reads them again and closes the menu.
  auto passes = [&](const char* title, char key, UINT textItem) {
    wxMenu* menu = bar->GetMenu(bar->FindMenu(title));
    wxMenuItem* item = bar->FindItem(platform::ui::CommandToWxId(textItem));
    std::pair<std::map<UINT, bool>, std::map<UINT, bool>> states;
    if (!menu || !item || !OpenMenuWithKeys(frame.GetFrame(), menu, key)) return states;
    states.first = EnabledStates(menu);
    if (IdlePassRan([&] { item->SetItemLabel("x"); }, [&] { return item->GetItemLabelText() != "x"; }))
      states.second = EnabledStates(menu);
    wxUIActionSimulator().Char(WXK_ESCAPE);
    tvxtest::PumpUntil([&] { return !MenuOnScreen(menu); });
    return states;
  };
  struct Case {
    const char* what;
    std::size_t vertices;
    int tapMode;
    bool withPart;
    bool divide, splitByLine, grid, shapefile;
  };
  const Case cases[] = {
      {"no vertices", 0, 0, false, false, false, false, false},
      {"three vertices", 3, 0, false, false, false, false, true},
      {"five vertices and a part", 5, 0, true, true, true, true, true},
      {"splitting by line", 5, 14, false, false, true, false, true},
  };
  for (const Case& c : cases) {
    doc_->m_features.erase(doc_->m_features.begin() + 1, doc_->m_features.end());
    FeatureRecord& field = doc_->m_features[0];
    field.FreeVertices();
    for (std::size_t i = 0; i < c.vertices; ++i) {
      const GeoPoint p{-3.7 + 0.001 * static_cast<double>(i % 2), 40.4 + 0.001 * static_cast<double>(i / 2)};
      field.AddVertex(p, p, 0);
    }
    if (c.withPart) {
      doc_->AddFeature(FeatureType::Part, "Olive grove");
      doc_->m_features.back().link = 0;
    }
    doc_->m_current = 0;
    view->m_tapMode = c.tapMode;
    const auto objects = passes("Objects", 'o', 32853);
    ASSERT_FALSE(objects.second.empty()) << c.what;
    EXPECT_EQ(objects.first, objects.second) << c.what;
    EXPECT_EQ(objects.second.at(32852), c.divide) << c.what;
    EXPECT_EQ(objects.second.at(32885), c.splitByLine) << c.what;
    EXPECT_EQ(objects.second.at(32872), c.grid) << c.what;
    EXPECT_FALSE(objects.second.at(32860)) << c.what;  // no fix
    const auto file = passes("File", 'f', 32779);
    ASSERT_FALSE(file.second.empty()) << c.what;
    EXPECT_EQ(file.first, file.second) << c.what;
    EXPECT_EQ(file.second.at(32836), c.shapefile) << c.what;
  }
  view->m_tapMode = 0;
  doc_->SetModifiedFlag(FALSE);
}

TEST_F(MainFrameTest, PanelsShowTheFixFedToTheDocument) {
  Store("GeoType", 1);
  CMainFrame& frame = Open();
  auto* view = dynamic_cast<CTolvanixView*>(frame.GetActiveView());
  ASSERT_NE(view, nullptr);
  ASSERT_NE(view->m_positionPanel, nullptr);
  Feed(Gga(-3.5, 40.25, 2, 1.4, 655.5));
  ASSERT_TRUE(tvxtest::PumpUntil([view] { return !view->m_positionPanel->GetWindowText().empty(); }));
  Settle();
  EXPECT_EQ(view->m_positionPanel->GetWindowText(), " Lon -03° 30.0000'\n Lat  40° 15.0000'");
  EXPECT_EQ(view->m_altitudePanel->GetWindowText(), " Altitude 655.50 m\n Azimuth 0.00°");
  EXPECT_EQ(view->m_areaPanel->GetWindowText(), " Area " + doc_->GetAreaText(-1, true));
  EXPECT_NE(view->m_lengthPanel->GetWindowText().find(" | "), std::string::npos);
}

TEST_F(MainFrameTest, PanelsHaveTextsAtStartAndANewDocumentStartsTheViewAfresh) {
  InstallProgramDialogs();  // as at start-up: the document reaches the view through them
  CMainFrame& frame = Open();
  auto* view = dynamic_cast<CTolvanixView*>(frame.GetActiveView());
  ASSERT_NE(view, nullptr);
  ASSERT_NE(view->m_areaPanel, nullptr);
  // Before any fix or measurement the area panel already tells the empty area.
  EXPECT_EQ(view->m_areaPanel->GetWindowText(), " Area " + doc_->GetAreaText(-1, true));

  view->m_zoom = 3.2;
  view->m_featurePoints.push_back({10, 10});
  ASSERT_TRUE(doc_->OnNewDocument());
  EXPECT_DOUBLE_EQ(view->m_zoom, 0.8);
  EXPECT_TRUE(view->m_featurePoints.empty());
  CTolvanixDoc::SetDocumentDialogs(nullptr);
}

TEST_F(MainFrameTest, StatusPanesShowFixQualitySatellitesAndAutomaticCapture) {
  CMainFrame& frame = Open();
  Feed(Gga(-3.5, 40.25, 2, 1.4, 655.5));
  // The fix pane: disconnected while the receiver is closed, the fix quality while it is open.
  frame.UpdateStatusPanes();
  EXPECT_EQ(Pane(0), "Disconnected");
  doc_->m_gpsOn = true;
  frame.UpdateStatusPanes();
  EXPECT_EQ(Pane(0), "DGPS Fix");
  EXPECT_EQ(Pane(1), "Sat 8 HDOP 1.4");
  EXPECT_FALSE(frame.m_statusBar.IsPaneHighlighted(2));
  doc_->m_autoCapture = true;
  frame.UpdateStatusPanes();
  EXPECT_TRUE(frame.m_statusBar.IsPaneHighlighted(2));
  doc_->m_autoCapture = false;
  Feed(Gga(-3.5, 40.25, 9, 1.4, 655.5));
  frame.UpdateStatusPanes();
  EXPECT_EQ(Pane(0), "No coverage");
  doc_->m_gpsOn = false;
}

TEST_F(MainFrameTest, HoldOnTheStatusBarShowsTheGpsState) {
  CMainFrame& frame = Open();
  platform::MessageBoxScript::Push(IDOK);
  wxContextMenuEvent hold(wxEVT_CONTEXT_MENU, frame.m_statusBar.GetWxWindow()->GetId());
  hold.SetEventObject(frame.m_statusBar.GetWxWindow());
  frame.m_statusBar.GetWxWindow()->GetEventHandler()->ProcessEvent(hold);
  auto shown = platform::MessageBoxScript::TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, "GPS STATUS");
  EXPECT_EQ(shown[0].text, "Status: Disconnected\nSatellites 0\nHDOP = 0.0\nVDOP = 0.0\nPDOP = 0.0");
  EXPECT_EQ(shown[0].owner, doc_->m_hwndView);
}

// Runs queued events until pred holds or limit has passed.
template <class Pred>
bool PumpFor(Pred pred, std::chrono::milliseconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (!pred() && std::chrono::steady_clock::now() < end) {
    wxTheApp->ProcessPendingEvents();
    wxTheApp->Yield(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return pred();
}

// A real click in the middle of a window, as the user's pointer gives it.
void ClickAt(wxPoint screen) {
  wxUIActionSimulator pointer;
  pointer.MouseMove(screen);
  PumpFor([] { return false; }, std::chrono::milliseconds(50));
  pointer.MouseClick();
}

// A real click on the first tool of a toolbar (the desktop's toolbar cannot say where a
// tool lies; the first starts at the bar's left end).
void ClickFirstTool(CToolBar& bar) {
  auto* tools = dynamic_cast<wxToolBar*>(bar.GetWxWindow());
  ASSERT_NE(tools, nullptr);
  ASSERT_GE(tools->GetToolsCount(), 1u);
  const wxSize image = tools->GetToolBitmapSize();
  const wxSize size = tools->GetClientSize();
  ASSERT_GT(size.x, image.x);
  ClickAt(tools->ClientToScreen(wxPoint(image.x / 2, size.y / 2)));
}

// The modal dialog on top, once it is shown.
wxDialog* ModalDialog() {
  for (wxWindow* w : wxTopLevelWindows)
    if (auto* d = dynamic_cast<wxDialog*>(w); d && d->IsModal() && d->IsShownOnScreen()) return d;
  return nullptr;
}

// Once a modal dialog is up, clicks its control id with the pointer.
void ClickInDialogOnceShown(int id) {
  auto* poll = new wxTimer;
  poll->Bind(wxEVT_TIMER, [poll, id](wxTimerEvent&) {
    wxDialog* dialog = ModalDialog();
    wxWindow* button = dialog ? dialog->FindWindow(id) : nullptr;
    if (!button || !button->IsShownOnScreen() || !tvxtest::OnScreen(dialog)) return;
    // Under a window manager the dialog's place is final once the manager has placed and
    // activated it: a click sent before can land beside the button, and the dialog waits on.
    if (tvxtest::WindowManagerRuns() && !dialog->IsActive()) return;
    poll->Stop();
    wxTheApp->CallAfter([poll] { delete poll; });
    const wxRect r = button->GetScreenRect();
    ClickAt(wxPoint(r.x + r.width / 2, r.y + r.height / 2));
  });
  poll->Start(50);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The start-up wizard's measurement, as a user walks it: the area category on the wizard's
// page, then the full-screen bar's start/pause button, with a receiver walking the field.
TEST_F(MainFrameTest, WizardAreaMeasurementStartsAndPausesFromTheFullScreenBar) {
  ReceiverSimulator receiver;
  auto epochs = ReceiverSimulator::SplitEpochs(ReadText(TVX_BINARY_DIR "/testdata/walks/field_100x60.nmea"));
  ASSERT_FALSE(epochs.empty());
  ReceiverSimulator::Settings settings;
  settings.epochsPerSecond = 20;
  ASSERT_TRUE(receiver.Start(std::move(epochs), settings));
  ASSERT_TRUE(platform::PublishSerialPort(3, receiver.SlavePath()));
  Store("Puerto", 3);
  Store("Baudios", 1);
  Store("AP", 250);  // a vertex every 25 m
  InstallProgramDialogs();
  CMainFrame& frame = Open();
  ReceiverGoesAtTheEnd cleanup{doc_};

  ClickInDialogOnceShown(1239);  // the area category
  doc_->OnWizard();
  Settle();
  EXPECT_EQ(doc_->m_measureKind, 1);
  EXPECT_TRUE(doc_->m_firstFixPending);
  EXPECT_TRUE(frame.IsFullScreen());
  EXPECT_TRUE(doc_->m_gpsOn);
  EXPECT_FALSE(doc_->m_autoCapture);
  const std::string paused = frame.m_fullScreenBar.GetButtonGlyph(210);

  // Start: the first fix is waited for and taken as the first vertex, then automatic
  // capture runs.
  ClickFirstTool(frame.m_fullScreenBar);  // 210, start/pause
  ASSERT_TRUE(PumpFor([&] { return doc_->m_measuring.load(); }, std::chrono::seconds(15)));
  EXPECT_FALSE(doc_->m_firstFixPending);
  EXPECT_TRUE(doc_->m_autoCapture);
  EXPECT_EQ(doc_->CurrentFeature()->type, FeatureType::Area);
  EXPECT_GE(doc_->CurrentFeature()->VertexCount(), 1u);
  Settle();
  const std::string running = frame.m_fullScreenBar.GetButtonGlyph(210);
  EXPECT_NE(running, paused);
  ASSERT_TRUE(PumpFor([&] { return doc_->CurrentFeature()->VertexCount() >= 3; }, std::chrono::seconds(20)));
  // From here on as with a feature of 200 vertices and more: captures leave its measures
  // out of date, and only the pause measures it.
  PumpFor([&] { return !doc_->m_areaBusy; }, std::chrono::seconds(2));
  doc_->CurrentFeature()->measuredCount = 200;
  const std::size_t before = doc_->CurrentFeature()->VertexCount();
  ASSERT_TRUE(PumpFor([&] { return doc_->CurrentFeature()->VertexCount() >= before + 3; },
                      std::chrono::seconds(20)));
  EXPECT_FALSE(doc_->CurrentMeasuresUpToDate());
  const double outOfDate = doc_->CurrentFeature()->area;

  // Pause: automatic capture stops and the feature is measured.
  ClickFirstTool(frame.m_fullScreenBar);  // 210, start/pause
  ASSERT_TRUE(PumpFor([&] { return !doc_->m_measuring; }, std::chrono::seconds(3)));
  EXPECT_FALSE(doc_->m_autoCapture);
  Settle();
  EXPECT_EQ(frame.m_fullScreenBar.GetButtonGlyph(210), paused);
  ASSERT_TRUE(PumpFor([&] { return doc_->CurrentMeasuresUpToDate() && !doc_->m_areaBusy; }, std::chrono::seconds(3)));
  Settle();
  EXPECT_NE(doc_->CurrentFeature()->area, outOfDate);
  EXPECT_GT(doc_->CurrentFeature()->area, 0.0);
  const std::size_t vertices = doc_->CurrentFeature()->VertexCount();
  PumpFor([] { return false; }, std::chrono::milliseconds(1500));
  EXPECT_EQ(doc_->CurrentFeature()->VertexCount(), vertices) << "nothing is captured while paused";

  doc_->OnGpsOnOff();
  EXPECT_FALSE(doc_->m_gpsOn);
  frame.LeaveFullScreen();
}

// The start button while the receiver sends no fix: the wait shows (the wait cursor), a second
// press is answered while it waits, and the end of a wait without a fix is said; nothing
// starts. The receiver is a pseudo-terminal that sends only what the test writes.
TEST_F(MainFrameTest, StartWaitingForTheFirstFixShowsTheWaitAnswersASecondPressAndSaysWhenItGivesUp) {
  platform::PseudoTerminal receiver;
  ASSERT_TRUE(receiver.Create());
  ASSERT_TRUE(platform::PublishSerialPort(3, receiver.SlavePath()));
  Store("Puerto", 3);
  Store("Baudios", 1);
  Store("Offsetestado", 2);  // no offset: the wait ends soon after a position
  InstallProgramDialogs();
  CMainFrame& frame = Open();
  ReceiverGoesAtTheEnd cleanup{doc_};
  ClickInDialogOnceShown(1239);  // the area category
  doc_->OnWizard();
  Settle();
  ASSERT_TRUE(frame.IsFullScreen());
  ASSERT_TRUE(doc_->m_firstFixPending);
  ASSERT_TRUE(PumpFor([&] { return tvxtest::OnScreen(frame.m_fullScreenBar.GetWxWindow()); },
                      std::chrono::seconds(5)));
  Settle();

  // Start: the wait cursor is up while the first fix is awaited.
  const int waitsBefore = platform::WaitCursorShownCount();
  ClickFirstTool(frame.m_fullScreenBar);  // 210, start/pause
  ASSERT_TRUE(PumpFor([&] { return platform::WaitCursorShowing() && wxIsBusy(); }, std::chrono::seconds(5)));
  EXPECT_GT(platform::WaitCursorShownCount(), waitsBefore);

  // A second press is answered; the wait goes on.
  platform::MessageBoxScript::Push(IDOK);
  ClickFirstTool(frame.m_fullScreenBar);
  std::vector<platform::ShownMessageBox> shown;
  ASSERT_TRUE(PumpFor([&] {
    for (auto& box : platform::MessageBoxScript::TakeShown()) shown.push_back(box);
    return !shown.empty();
  }, std::chrono::seconds(5)));
  EXPECT_EQ(shown[0].text, "Waiting for the first GPS position.\nWait please");
  EXPECT_EQ(shown[0].owner, doc_->m_hwndView);
  EXPECT_TRUE(platform::WaitCursorShowing());
  EXPECT_TRUE(doc_->m_firstFixPending);

  // A position without a fix (a void RMC) ends the wait: given up, and said so.
  platform::MessageBoxScript::Push(IDOK);
  const std::string voidRmc = "$GPRMC,123519,V,4807.038,N,01131.000,E,000.0,000.0,230394,,\r\n";
  ASSERT_TRUE(receiver.Write(voidRmc.data(), voidRmc.size()));
  shown.clear();
  ASSERT_TRUE(PumpFor([&] {
    for (auto& box : platform::MessageBoxScript::TakeShown()) shown.push_back(box);
    return !shown.empty();
  }, std::chrono::seconds(20)));
  EXPECT_EQ(shown[0].text, "No GPS position came: the measurement has not started.");
  EXPECT_FALSE(platform::WaitCursorShowing());
  EXPECT_FALSE(wxIsBusy());
  EXPECT_TRUE(doc_->m_firstFixPending);
  EXPECT_FALSE(doc_->m_measuring);
  EXPECT_EQ(doc_->CurrentFeature()->VertexCount(), 0u);

  doc_->OnGpsOnOff();
  frame.LeaveFullScreen();
}

// The toolkit's own message box (a native dialog without wxWidgets controls): the screen
// rectangle of its button for a response (GTK_RESPONSE_OK -5), once the box is on the screen
// and, under a window manager, placed and active; empty before. GTK's calls are looked up at
// run time, as the other helpers do.
wxRect NativeBoxButton(wxDialog* box, int response) {
  using ForResponse = void* (*)(void*, int);
  using Toplevel = void* (*)(void*);
  using Translate = int (*)(void*, void*, int, int, int*, int*);
  using Size = int (*)(void*);
  using WindowOf = void* (*)(void*);
  using Origin = int (*)(void*, int*, int*);
  using Flag = int (*)(void*);
  static auto forResponse = reinterpret_cast<ForResponse>(dlsym(RTLD_DEFAULT, "gtk_dialog_get_widget_for_response"));
  static auto toplevel = reinterpret_cast<Toplevel>(dlsym(RTLD_DEFAULT, "gtk_widget_get_toplevel"));
  static auto translate = reinterpret_cast<Translate>(dlsym(RTLD_DEFAULT, "gtk_widget_translate_coordinates"));
  static auto width = reinterpret_cast<Size>(dlsym(RTLD_DEFAULT, "gtk_widget_get_allocated_width"));
  static auto height = reinterpret_cast<Size>(dlsym(RTLD_DEFAULT, "gtk_widget_get_allocated_height"));
  static auto windowOf = reinterpret_cast<WindowOf>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
  static auto origin = reinterpret_cast<Origin>(dlsym(RTLD_DEFAULT, "gdk_window_get_origin"));
  static auto viewable = reinterpret_cast<Flag>(dlsym(RTLD_DEFAULT, "gdk_window_is_viewable"));
  static auto active = reinterpret_cast<Flag>(dlsym(RTLD_DEFAULT, "gtk_window_is_active"));
  void* dialog = box ? box->GetHandle() : nullptr;
  if (!dialog || !forResponse || !toplevel || !translate || !width || !height || !windowOf || !origin ||
      !viewable || !active)
    return {};
  void* button = forResponse(dialog, response);
  void* top = button ? toplevel(button) : nullptr;
  void* window = top ? windowOf(top) : nullptr;
  if (!window || !viewable(window)) return {};
  if (tvxtest::WindowManagerRuns() && !active(top)) return {};
  // A window manager keeps a dialog above the window it belongs to; without one the toolkit's
  // raising of the parent as a later box opened can leave it below (as a manager never would).
  if (!tvxtest::WindowManagerRuns()) {
    using Raise = void (*)(void*);
    static auto raise = reinterpret_cast<Raise>(dlsym(RTLD_DEFAULT, "gdk_window_raise"));
    if (raise) raise(window);
  }
  int x = 0, y = 0, ox = 0, oy = 0;
  if (!translate(button, top, 0, 0, &x, &y)) return {};
  origin(window, &ox, &oy);
  return wxRect(ox + x, oy + y, width(button), height(button));
}

// The message boxes shown while it lives, as wxWidgets hands them to their modal loops.
class BoxesShown : public wxModalDialogHook {
 public:
  BoxesShown() { Register(); }
  ~BoxesShown() override { Unregister(); }
  struct Box {
    wxDialog* dialog;
    std::string text;
    bool open;
  };
  std::vector<Box> boxes;
  // The newest box still open with that text, or null.
  wxDialog* Open(const std::string& text) const {
    for (auto it = boxes.rbegin(); it != boxes.rend(); ++it)
      if (it->open && it->text == text) return it->dialog;
    return nullptr;
  }
  int Count(const std::string& text) const {
    return static_cast<int>(std::count_if(boxes.begin(), boxes.end(), [&](const Box& b) { return b.text == text; }));
  }

 protected:
  int Enter(wxDialog* dialog) override {
    if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) boxes.push_back({dialog, box->GetMessage().utf8_string(), true});
    return wxID_NONE;
  }
  void Exit(wxDialog* dialog) override {
    for (Box& b : boxes)
      if (b.dialog == dialog) b.open = false;
  }
};

const std::string kWaitingBox = "Waiting for the first GPS position.\nWait please";
const std::string kGivenUpBox = "No GPS position came: the measurement has not started.";

// The first-fix wait with the program's real boxes on the screen, answered with the pointer:
// the second press's box is open when the wait ends without a fix, and the box that says so
// comes over it; both are answered with a click on their OK buttons. The wait cursor is down
// from the moment the wait has ended, boxes open or not, and stays down.
TEST_F(MainFrameTest, FirstFixWaitThatEndsUnderItsOwnBoxLeavesTheOrdinaryPointer) {
  platform::PseudoTerminal receiver;
  ASSERT_TRUE(receiver.Create());
  ASSERT_TRUE(platform::PublishSerialPort(3, receiver.SlavePath()));
  Store("Puerto", 3);
  Store("Baudios", 1);
  Store("Offsetestado", 2);  // no offset: the wait ends soon after a position
  InstallProgramDialogs();
  CMainFrame& frame = Open();
  ReceiverGoesAtTheEnd cleanup{doc_};
  ClickInDialogOnceShown(1239);  // the area category
  doc_->OnWizard();
  Settle();
  ASSERT_TRUE(doc_->m_firstFixPending);
  ASSERT_TRUE(PumpFor([&] { return tvxtest::OnScreen(frame.m_fullScreenBar.GetWxWindow()); },
                      std::chrono::seconds(5)));
  Settle();
  ClickFirstTool(frame.m_fullScreenBar);  // 210: the wait begins
  ASSERT_TRUE(PumpFor([&] { return doc_->FirstFixWaitRunning() && wxIsBusy(); }, std::chrono::seconds(5)));

  // From here the boxes hold the loop: a timer, which runs inside their loops too, does the
  // user's part. Each step waits for what the last one set off.
  BoxesShown watch;
  enum Step { kPressAgain, kEndTheWait, kAnswerGivenUp, kAnswerWaiting, kDone } step = kPressAgain;
  bool cursorWhileBoxesOpen = true, waitRunningWhileBoxesOpen = true;
  int ticks = 0, allTicks = 0;
  wxTimer user;
  user.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    static bool clicking = false;
    if (clicking) return;
    clicking = true;
    if (++allTicks > 300) {
      // Thirty seconds without the boxes going: they are answered through the toolkit, so
      // that the test fails instead of waiting in their loops for ever.
      using Response = void (*)(void*, int);
      static auto response = reinterpret_cast<Response>(dlsym(RTLD_DEFAULT, "gtk_dialog_response"));
      for (const auto& b : watch.boxes)
        if (b.open && response && b.dialog->GetHandle()) response(b.dialog->GetHandle(), -4);
      step = kDone;
      clicking = false;
      return;
    }
    auto clickOk = [&](wxDialog* box) {
      const wxRect r = NativeBoxButton(box, -5);
      if (r.IsEmpty()) return false;
      wxUIActionSimulator pointer;
      pointer.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
      pointer.MouseClick();
      return true;
    };
    switch (step) {
      case kPressAgain:
        step = kEndTheWait;
        ClickFirstTool(frame.m_fullScreenBar);  // 210 again: "Waiting..."
        break;
      case kEndTheWait:
        if (wxDialog* waiting = watch.Open(kWaitingBox); waiting && !NativeBoxButton(waiting, -5).IsEmpty()) {
          // A position without a fix (a void RMC) ends the wait while the box is open.
          const std::string voidRmc = "$GPRMC,123519,V,4807.038,N,01131.000,E,000.0,000.0,230394,,\r\n";
          if (receiver.Write(voidRmc.data(), voidRmc.size())) step = kAnswerGivenUp;
        }
        break;
      case kAnswerGivenUp:
        // Clicked again should a click come before the box takes the pointer.
        if (wxDialog* givenUp = watch.Open(kGivenUpBox)) {
          if (ticks == 0) {
            cursorWhileBoxesOpen = wxIsBusy() || platform::WaitCursorShowing();
            waitRunningWhileBoxesOpen = doc_->FirstFixWaitRunning();
          }
          if (ticks++ % 10 == 0) clickOk(givenUp);
        } else if (watch.Count(kGivenUpBox) > 0) {
          step = kAnswerWaiting;
          ticks = 0;
        }
        break;
      case kAnswerWaiting:
        if (wxDialog* waiting = watch.Open(kWaitingBox)) {
          if (ticks++ % 10 == 0) clickOk(waiting);
        } else {
          step = kDone;
        }
        break;
      case kDone:
        break;
    }
    clicking = false;
  });
  user.Start(100);
  const bool done = PumpFor([&] { return step == kDone && !watch.Open(kWaitingBox); }, std::chrono::seconds(40));
  user.Stop();
  ASSERT_TRUE(done) << "step " << step;
  ASSERT_LE(allTicks, 300) << "the boxes did not take the clicks";
  EXPECT_FALSE(cursorWhileBoxesOpen);
  EXPECT_FALSE(waitRunningWhileBoxesOpen);
  EXPECT_EQ(watch.Count(kWaitingBox), 1);
  EXPECT_EQ(watch.Count(kGivenUpBox), 1);
  Settle();
  EXPECT_FALSE(platform::WaitCursorShowing());
  EXPECT_FALSE(wxIsBusy());
  EXPECT_TRUE(doc_->m_firstFixPending);
  EXPECT_FALSE(doc_->m_measuring);

  doc_->OnGpsOnOff();
  frame.LeaveFullScreen();
}

// The measurement left while its first fix is awaited (the wizard's next step, 211, whose
// summary and last question then come; or a new document): the wait is over and the cursor
// down at once, and nothing of the wait comes afterwards (its "No GPS position came" box
// never shows over the summary).
TEST_F(MainFrameTest, LeavingTheMeasurementDuringTheFirstFixWaitEndsTheWait) {
  platform::PseudoTerminal receiver;
  ASSERT_TRUE(receiver.Create());
  ASSERT_TRUE(platform::PublishSerialPort(3, receiver.SlavePath()));
  Store("Puerto", 3);
  Store("Baudios", 1);
  Store("Offsetestado", 2);
  InstallProgramDialogs();
  CMainFrame& frame = Open();
  ReceiverGoesAtTheEnd cleanup{doc_};
  BoxesShown watch;
  // A box that should not come is counted and answered, so that the test goes on to fail.
  wxTimer stray;
  stray.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    using Response = void (*)(void*, int);
    static auto response = reinterpret_cast<Response>(dlsym(RTLD_DEFAULT, "gtk_dialog_response"));
    for (const auto& b : watch.boxes)
      if (b.open && response && b.dialog->GetHandle()) response(b.dialog->GetHandle(), -4);
  });
  stray.Start(500);
  struct Leave {
    const char* what;
    std::function<void()> command;
    int dialogs;  // the wizard's dialogs that come
  };
  const Leave leaves[] = {
      {"the wizard's next step (211)", [&] { ASSERT_TRUE(frame.OnCmdMsg(211, CN_COMMAND, nullptr)); }, 2},
      // File > New as the application runs it (the test's template is not the application's).
      {"a new document", [&] { ASSERT_NE(template_->OpenDocumentFile(""), nullptr); }, 0},
  };
  for (const Leave& leave : leaves) {
    SCOPED_TRACE(leave.what);
    ClickInDialogOnceShown(1239);  // the area category
    doc_->OnWizard();
    Settle();
    ASSERT_TRUE(doc_->m_firstFixPending);
    ASSERT_TRUE(PumpFor([&] { return tvxtest::OnScreen(frame.m_fullScreenBar.GetWxWindow()); },
                        std::chrono::seconds(5)));
    Settle();
    ClickFirstTool(frame.m_fullScreenBar);  // 210: the wait begins
    ASSERT_TRUE(PumpFor([&] { return doc_->FirstFixWaitRunning() && wxIsBusy(); }, std::chrono::seconds(5)));
    // A position without a fix: left alone, the wait would end and say so a moment later.
    const std::string voidRmc = "$GPRMC,123519,V,4807.038,N,01131.000,E,000.0,000.0,230394,,\r\n";
    ASSERT_TRUE(receiver.Write(voidRmc.data(), voidRmc.size()));

    // The wizard's dialogs are closed from their title bars once the state under them was read.
    int dialogsClosed = 0;
    bool cursorUnderDialogs = false, waitUnderDialogs = false;
    wxTimer user;
    user.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
      wxDialog* dialog = ModalDialog();
      if (!dialog || dynamic_cast<wxMessageDialogBase*>(dialog) || !tvxtest::OnScreen(dialog)) return;
      cursorUnderDialogs = cursorUnderDialogs || wxIsBusy() || platform::WaitCursorShowing();
      waitUnderDialogs = waitUnderDialogs || doc_->FirstFixWaitRunning();
      ++dialogsClosed;
      dialog->Close();
    });
    user.Start(100);
    leave.command();
    user.Stop();
    EXPECT_FALSE(doc_->FirstFixWaitRunning());
    EXPECT_FALSE(platform::WaitCursorShowing());
    EXPECT_FALSE(wxIsBusy());
    EXPECT_FALSE(cursorUnderDialogs);
    EXPECT_FALSE(waitUnderDialogs);
    EXPECT_EQ(dialogsClosed, leave.dialogs);  // for 211 the summary and the last question
    // Whatever the wait had posted is handled by now: nothing is said of it.
    Settle();
    PumpFor([] { return !wxTheApp->HasPendingEvents(); }, std::chrono::seconds(2));
    EXPECT_EQ(watch.Count(kGivenUpBox), 0);
    EXPECT_FALSE(wxIsBusy());
    if (frame.IsFullScreen()) frame.LeaveFullScreen();
  }
  if (doc_->m_gpsOn) doc_->OnGpsOnOff();
}

// One epoch of a recorded walk: its GGA position and its RMC time.
struct WalkEpoch {
  std::string bytes;
  bool fix = false;
  GeoPoint position;  // WGS84 degrees
  int hour = 0, minute = 0, second = 0;
};

// NMEA ddmm.mmmm or dddmm.mmmm with its hemisphere letter, in degrees.
double NmeaDegrees(const std::string& field, const std::string& hemisphere, int degreeDigits) {
  if (field.size() <= static_cast<std::size_t>(degreeDigits)) return 0.0;
  const double value = std::stod(field.substr(0, degreeDigits)) + std::stod(field.substr(degreeDigits)) / 60.0;
  return hemisphere == "S" || hemisphere == "W" ? -value : value;
}

std::vector<WalkEpoch> ReadWalk(const std::string& path) {
  std::vector<WalkEpoch> walk;
  for (std::string& bytes : ReceiverSimulator::SplitEpochs(ReadText(path))) {
    WalkEpoch epoch;
    std::istringstream lines(bytes);
    for (std::string line; std::getline(lines, line);) {
      std::vector<std::string> f;
      std::istringstream fields(line);
      for (std::string x; std::getline(fields, x, ',');) f.push_back(x);
      if (f.size() > 6 && f[0].find("GGA") != std::string::npos) {
        epoch.fix = !f[6].empty() && f[6] != "0";
        if (epoch.fix) epoch.position = {NmeaDegrees(f[4], f[5], 3), NmeaDegrees(f[2], f[3], 2)};
      } else if (f.size() > 1 && f[0].find("RMC") != std::string::npos && f[1].size() >= 6) {
        epoch.hour = std::stoi(f[1].substr(0, 2));
        epoch.minute = std::stoi(f[1].substr(2, 2));
        epoch.second = std::stoi(f[1].substr(4, 2));
      }
    }
    epoch.bytes = std::move(bytes);
    walk.push_back(std::move(epoch));
  }
  return walk;
}

// The distance of the length panel's first part ("12.3 m" or "2629.41 km"), in metres.
double PanelDistance(const std::string& panel) {
  std::istringstream text(panel);
  double value = -1.0;
  std::string unit;
  text >> value >> unit;
  return unit == "km" ? value * 1000.0 : value;
}

// The demonstration's walk (round a field across the 0° meridian, where UTM zones 30 and 31
// meet; the zone follows the position, as by default) from a receiver on a pseudo-terminal,
// each epoch handled by the view before the next is sent: the lateral offset on (10 m to the
// right), automatic capture every 10 m, then a circle from the receiver walked across the
// meridian. Against PROJ's geodesic routines on the WGS84 ellipsoid: every vertex lies 10 m
// to the right of the walker's middle fix and is taken once 10 m are walked from the one
// before (not sooner, where the meridian is crossed), the length panel shows the distance
// from the last vertex, and the circle's area is that of its radius walked.
TEST_F(MainFrameTest, TheDemonstrationWalkAcrossAZoneBoundaryKeepsItsVerticesCircleAndPanels) {
  const std::vector<WalkEpoch> walk = ReadWalk(TVX_BINARY_DIR "/testdata/walks/field_demo.nmea");
  ASSERT_GT(walk.size(), 800u);
  platform::PseudoTerminal receiver;
  ASSERT_TRUE(receiver.Create());
  ASSERT_TRUE(platform::PublishSerialPort(3, receiver.SlavePath()));
  Store("Puerto", 3);
  Store("Baudios", 1);
  Store("Offsetestado", 0);  // to the right
  Store("Offsetdist", 10);
  Store("AP", 100);          // 10 m
  CMainFrame& frame = Open();
  ReceiverGoesAtTheEnd cleanup{doc_};
  auto* view = dynamic_cast<CTolvanixView*>(frame.GetActiveView());
  ASSERT_NE(view, nullptr);
  view->RunCommand(32804);  // GPS on
  ASSERT_TRUE(PumpFor([&] { return doc_->m_gpsOn && !doc_->m_gpsBusy; }, std::chrono::seconds(5)));
  view->RunCommand(32832);  // the lateral offset
  ASSERT_TRUE(doc_->m_offsetOn);
  ASSERT_EQ(doc_->m_autoZone, 1);

  geod_geodesic wgs84;
  geod_init(&wgs84, 6378137.0, 1 / 298.257223563);
  auto distance = [&](GeoPoint p, GeoPoint q) {
    double s = 0;
    geod_inverse(&wgs84, p.y, p.x, q.y, q.x, &s, nullptr, nullptr);
    return s;
  };
  // The offset point of three fixes: 10 m to the right of the middle one, square to the
  // direction from the first to the last.
  auto offsetPoint = [&](GeoPoint p0, GeoPoint p1, GeoPoint p2) {
    double azi1 = 0, azi2 = 0;
    geod_inverse(&wgs84, p0.y, p0.x, p2.y, p2.x, nullptr, &azi1, &azi2);
    GeoPoint q;
    geod_direct(&wgs84, p1.y, p1.x, (azi1 + azi2) / 2 + 90.0, 10.0, &q.y, &q.x, nullptr);
    return q;
  };
  // Sends one epoch and runs the loop until the view has handled its position.
  auto send = [&](const WalkEpoch& epoch) {
    ASSERT_TRUE(receiver.Write(epoch.bytes.data(), epoch.bytes.size()));
    // The epoch's RMC is read after its GGA has been taken and announced.
    ASSERT_TRUE(PumpFor([&] {
      return doc_->m_gpsHour == epoch.hour && doc_->m_gpsMinute == epoch.minute && doc_->m_gpsSecond == epoch.second;
    }, std::chrono::seconds(10))) << epoch.bytes;
    bool handled = false;
    wxTheApp->CallAfter([&] { handled = true; });
    ASSERT_TRUE(PumpFor([&] { return handled; }, std::chrono::seconds(10)));
  };

  const FeatureRecord& field = doc_->m_features[0];
  std::vector<GeoPoint> walker;
  std::size_t at = 0;
  int west = 0, east = 0, panelsRead = 0;
  // Lap one and the start of lap two: the field's vertices.
  for (; at < walk.size() && walker.size() < 420; ++at) {
    if (!walk[at].fix) continue;
    SCOPED_TRACE(walk[at].bytes.substr(0, 40));
    const std::size_t before = field.VertexCount();
    const GeoPoint lastBefore = before ? field.wgs84Vertices.back() : GeoPoint{};
    send(walk[at]);
    if (HasFatalFailure()) return;
    walker.push_back(walk[at].position);
    if (walker.size() < 3) continue;
    const GeoPoint truth = offsetPoint(walker[walker.size() - 3], walker[walker.size() - 2], walker.back());
    const GeoPoint fix{doc_->m_gpsLon, doc_->m_gpsLat};
    ASSERT_LT(distance(truth, fix), 0.05) << fix.x << " " << fix.y;
    if (walker.size() == 3) {
      view->RunCommand(32801);  // the first vertex by hand
      ASSERT_EQ(field.VertexCount(), 1u);
      view->RunCommand(32802);  // then automatic capture
      ASSERT_TRUE(doc_->m_autoCapture);
    }
    if (field.VertexCount() > before) {
      ASSERT_EQ(field.VertexCount(), before + 1);
      EXPECT_LT(distance(truth, field.wgs84Vertices.back()), 0.05) << "vertex " << before;
      (field.wgs84Vertices.back().x < 0 ? west : east) += 1;
      // Automatic capture takes a vertex once 10 m are walked from the last one (planar
      // metres, within UTM's scale of the geodesic), never sooner.
      if (before > 0) {
        EXPECT_GT(distance(lastBefore, fix), 10.0 * 0.999) << "vertex " << before;
      }
    } else if (before > 0) {
      EXPECT_LT(distance(lastBefore, fix), 10.0 * 1.001) << "no vertex after vertex " << before - 1;
    }
    if (before > 0) {
      // The panel was written as the fix came, from the last vertex then (or, once a new
      // vertex has been measured, from that one).
      const double shown = PanelDistance(view->m_lengthPanel->GetWindowText());
      const double fromBefore = distance(lastBefore, fix);
      const double fromNow = distance(field.wgs84Vertices.back(), fix);
      EXPECT_TRUE(std::fabs(shown - fromBefore) < 0.06 + 0.001 * fromBefore || std::fabs(shown - fromNow) < 0.06)
          << view->m_lengthPanel->GetWindowText() << ": " << fromBefore << " m from the last vertex";
      ++panelsRead;
    }
  }
  EXPECT_GT(west, 5);
  EXPECT_GT(east, 5);
  EXPECT_GT(panelsRead, 300);

  // A circle from the receiver, started a few metres west of the meridian on the way east
  // and walked until the walker is 20 m past it.
  view->RunCommand(32802);  // automatic capture off
  bool started = false;
  for (; at + 1 < walk.size(); ++at) {
    if (!walk[at].fix) continue;
    send(walk[at]);
    if (HasFatalFailure()) return;
    const double lon = doc_->m_gpsLon;
    if (!started && lon < -0.0001 && lon > -0.0006 && walk[at + 1].position.x > walk[at].position.x) {
      view->RunCommand(32882);
      ASSERT_TRUE(doc_->m_definingCircle);
      started = true;
    } else if (started && lon > 0.0003) {
      break;
    }
  }
  ASSERT_TRUE(started);
  view->RunCommand(32882);  // the circle ends
  ASSERT_FALSE(doc_->m_definingCircle);
  const FeatureRecord& circle = doc_->m_features.back();
  ASSERT_EQ(circle.type, FeatureType::Circle);
  ASSERT_EQ(circle.VertexCount(), 3u);
  doc_->RecomputeAreasAndWait(doc_->m_current);
  constexpr double kPi = 3.14159265358979323846;
  const double r = distance(circle.wgs84Vertices[0], {doc_->m_gpsLon, doc_->m_gpsLat});
  ASSERT_GT(r, 20.0);
  EXPECT_NEAR(circle.area, kPi * r * r, 0.002 * kPi * r * r);
  for (int corner : {1, 2}) EXPECT_NEAR(distance(circle.wgs84Vertices[0], circle.wgs84Vertices[corner]), r * std::sqrt(2.0), 0.05);
  Settle();
  EXPECT_EQ(view->m_areaPanel->GetWindowText(), " Area " + doc_->GetAreaText(-1, true));
  doc_->SetModifiedFlag(FALSE);
}

// While the receiver is read, a fix that stops arriving turns the status pane to no
// coverage.
std::atomic<std::int64_t> g_clockShiftMs{0};
std::int64_t ShiftedClock() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
             .count() +
         g_clockShiftMs.load();
}

TEST_F(MainFrameTest, StatusPaneTellsAFixThatStoppedArriving) {
  CTolvanixDoc::SetFixClock(&ShiftedClock);
  g_clockShiftMs = 0;
  Open();
  doc_->m_gpsOn = true;
  Feed(Gga(-3.5, 40.25, 1, 1.4, 655.5));
  ASSERT_TRUE(PumpFor([&] { return Pane(0) == "GPS Fix 3D"; }, std::chrono::seconds(2)));
  g_clockShiftMs = CTolvanixDoc::kFixTimeoutMs + 500;
  // The pane's own update, twice a second.
  EXPECT_TRUE(PumpFor([&] { return Pane(0) == "No coverage"; }, std::chrono::seconds(2))) << Pane(0);
  EXPECT_FALSE(doc_->m_hasFix);
  doc_->m_gpsOn = false;
  CTolvanixDoc::SetFixClock(nullptr);
}

}  // namespace
