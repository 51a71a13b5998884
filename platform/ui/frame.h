// Frame, view and the single-document template.
//
// Commands from menus and toolbars reach the frame and go along the route
// active view -> its document -> frame -> application; update requests (wxEVT_UPDATE_UI)
// take the same route to the ON_UPDATE_COMMAND_UI handlers. A menu item or tool whose
// command no target handles is disabled.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/document.h"
#include "platform/ui/wnd.h"
#include "platform/win_app.h"

class wxFrame;
class CView;

class CFrameWnd : public CWnd {
 public:
  CFrameWnd();
  ~CFrameWnd() override;

  // Creates the top-level window (hidden) and runs OnCreate; FALSE when that fails.
  virtual BOOL LoadFrame(UINT resourceId);
  // Bars and panes; -1 fails the creation.
  virtual int OnCreate() { return 0; }
  // Installs menu menuId of the current resource module as the menu bar.
  BOOL LoadMenuBar(UINT menuId);
  wxFrame* GetFrame() const;

  CView* GetActiveView() const { return m_pActiveView; }
  void SetActiveView(CView* view) { m_pActiveView = view; }
  CDocument* GetActiveDocument() const;
  void RecalcLayout();

  BOOL OnCmdMsg(UINT id, int code, void* extra) override;
  // Asks the document to save changes, then destroys the window.
  virtual void OnClose();

  // Set by the template: told when the window is gone.
  std::function<void()> onDestroyed;

 protected:
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PostNcDestroy() override;
  void OnWindowDestroying() override;

  CView* m_pActiveView = nullptr;
};

class CView : public CWnd, public DocumentView {
 public:
  CView();
  ~CView() override;

  // Creates the view's window filling the frame's client area.
  virtual BOOL Create(CFrameWnd* frame);
  CDocument* GetDocument() const { return m_pDocument; }
  CFrameWnd* GetParentFrame() const { return m_pFrame; }

  virtual void OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
  void OnUpdate(DocumentView* sender, LPARAM hint, void* hintObject) override { Invalidate(); }
  HWND GetViewWindow() const override { return m_hWnd; }
  virtual void OnDraw(CDC* dc) {}

  BOOL OnCmdMsg(UINT id, int code, void* extra) override;

  CDocument* m_pDocument = nullptr;

 protected:
  void PostNcDestroy() override;
  void OnWindowDestroying() override;
  // WM_PAINT without a map entry: OnDraw on a paint DC.
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  CFrameWnd* m_pFrame = nullptr;
  friend class CFrameWnd;
};

// One document, one frame, one view: the first OpenDocumentFile creates all three, later
// ones reuse them after asking to save the current document.
class CSingleDocTemplate : public CDocTemplate {
 public:
  using DocumentFactory = std::function<CDocument*()>;
  using FrameFactory = std::function<CFrameWnd*()>;
  using ViewFactory = std::function<CView*()>;

  CSingleDocTemplate(UINT resourceId, DocumentFactory document, FrameFactory frame,
                     ViewFactory view);
  ~CSingleDocTemplate() override;

  CDocument* OpenDocumentFile(const std::string& path, BOOL makeVisible = TRUE) override;
  CDocument* GetDocument() const override { return document_.get(); }
  CFrameWnd* GetFrame() const { return frame_; }

 private:
  bool CreateDocumentFrameAndView();
  void OnFrameDestroyed();

  DocumentFactory makeDocument_;
  FrameFactory makeFrame_;
  ViewFactory makeView_;
  std::unique_ptr<CDocument> document_;
  CFrameWnd* frame_ = nullptr;  // deletes itself with its window
};

template <class Doc, class Frame, class View>
CSingleDocTemplate* MakeSingleDocTemplate(UINT resourceId) {
  return new CSingleDocTemplate(
      resourceId, [] { return new Doc; }, [] { return new Frame; }, [] { return new View; });
}

// --- bars (platform/ui/frame_bars.cpp) ---
// Toolbars and the status bar of a frame. The frame's client area is shared out by
// LayoutFrameBars: shown top bars from the top in creation order, shown bottom bars from the
// bottom, and the active view takes what is left. Tool clicks and their update requests take
// the frame's command route like menu items.

// The program carries no toolbar bitmaps: a button shows a short glyph text drawn into an
// image of the bar's image size.
class CToolBar : public CWnd {
 public:
  enum class Dock { Top, Bottom };

  CToolBar();
  ~CToolBar() override;

  // Creates the bar (shown or hidden) on frame; images imageWidth x imageHeight pixels.
  BOOL CreateBar(CFrameWnd* frame, Dock dock, int imageWidth, int imageHeight, bool visible);
  void AddButton(UINT commandId, const std::string& glyph, const std::string& tooltip);
  void AddSeparator();
  // A drop-down list with control id on the bar, width pixels wide; its selection changes
  // reach the frame's map as CBN_SELCHANGE. nullptr before CreateBar.
  CWnd* AddComboBox(int controlId, int width);
  // Lays the buttons out after they were added.
  void Realize();
  // Replaces a button's glyph (and so its image).
  void SetButtonGlyph(UINT commandId, const std::string& glyph);
  std::string GetButtonGlyph(UINT commandId) const;
  std::string GetButtonTooltip(UINT commandId) const;
  // Command ids of the buttons in bar order (0 for separators and controls).
  std::vector<UINT> GetButtonIds() const;
  Dock GetDock() const { return dock_; }

 private:
  Dock dock_ = Dock::Top;
  int imageWidth_ = 16;
  int imageHeight_ = 15;
  std::map<UINT, std::string> glyphs_;
};

// The frame's status bar with panes by indicator id (0 for a text pane).
class CStatusBar : public CWnd {
 public:
  CStatusBar();
  ~CStatusBar() override;

  BOOL Create(CFrameWnd* frame);
  BOOL SetIndicators(const UINT* ids, int count);
  // stretch: the pane takes a share of what the fixed panes leave; width in pixels otherwise.
  void SetPaneInfo(int index, UINT id, bool stretch, int width);
  void SetPaneText(int index, const std::string& text);
  std::string GetPaneText(int index) const;
  int CommandToIndex(UINT id) const;
  UINT GetItemID(int index) const;
  int GetCount() const { return static_cast<int>(ids_.size()); }
  int GetPaneWidth(int index) const;  // -1 for a stretching pane
  // Paints the pane itself: text centred, black on green while on, grey on the button face
  // colour while off.
  void SetPaneHighlight(int index, const std::string& text, bool on);
  bool IsPaneHighlighted(int index) const;
  // Tap and hold on the bar (a right click or a long press on the desktop).
  virtual void OnContextMenu() {}

 private:
  void PlaceOverlays();
  std::vector<UINT> ids_;
  std::vector<int> widths_;
  std::map<int, wxWindow*> overlays_;  // children of the bar, destroyed with it
  std::map<int, bool> highlighted_;
};

// Places the frame's shown bars and fills the rest with the active view.
void LayoutFrameBars(CFrameWnd* frame);
// The frame's menu bar shown or hidden.
void ShowFrameMenuBar(CFrameWnd* frame, bool show);
BOOL IsFrameMenuBarVisible(CFrameWnd* frame);
// The frame covers the whole screen above the desktop's own panels (show) or goes back to
// an ordinary window; the frame's bars are left as they are.
void SetFrameFullScreen(CFrameWnd* frame, bool show);
BOOL IsFrameFullScreen(CFrameWnd* frame);
// Each opening of a menu of the frame's menu bar (or of one of its submenus): the commands'
// update handlers run over it, then its items (submenus too) go as a CMenu to onOpen, and
// the checks, grayed states and texts onOpen set are put on the menu being shown: onOpen
// decides last, as on the handheld. The same onOpen also runs a few times a second while the
// program is idle, a menu open or not (opening false): the texts are made ready beforehand and
// the states stay onOpen's. onClose runs when an opened menu of the bar closes again.
class CMenu;
void RouteMenuBarOpen(CFrameWnd* frame, std::function<void(CMenu* menu, bool opening)> onOpen,
                      std::function<void()> onClose = {});
