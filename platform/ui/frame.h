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
