// The document side of the document/view framework (no windows): modified flag, title
// and path, new/open/save hooks, the save prompt, and the views attached to a document.
#pragma once

#include <string>
#include <vector>

#include "platform/cmd_target.h"

class CDocTemplate;

// What a document sees of a view: the windowed CView implements it.
class DocumentView {
 public:
  virtual ~DocumentView() = default;
  // hint and hintObject are whatever the caller of UpdateAllViews passed.
  virtual void OnUpdate(DocumentView* sender, LPARAM hint, void* hintObject) = 0;
  // The window the view's messages go to (nullptr before it exists).
  virtual HWND GetViewWindow() const = 0;
};

// The bytes of a document file. Loading: the whole file, read before Serialize runs.
// Storing: Serialize appends; the document writes the file afterwards, through a temporary
// file and a rename, so a failed save leaves the previous file in place.
class CArchive {
 public:
  enum Mode { load, store };
  CArchive(Mode mode, std::string path) : mode_(mode), path_(std::move(path)) {}

  bool IsLoading() const { return mode_ == load; }
  bool IsStoring() const { return mode_ == store; }
  const std::string& GetFilePath() const { return path_; }
  std::string& Bytes() { return bytes_; }
  // Reads up to size bytes from the current position; returns how many were read.
  size_t Read(void* buffer, size_t size);
  void Write(const void* data, size_t size);

 private:
  Mode mode_;
  std::string path_;
  std::string bytes_;
  size_t position_ = 0;
};

// String ids the framework uses for its own prompts.
constexpr UINT AFX_IDS_UNTITLED = 61443;
constexpr UINT AFX_IDP_ASK_TO_SAVE = 61699;

class CDocument : public CCmdTarget {
 public:
  CDocument();
  ~CDocument() override;

  const std::string& GetTitle() const { return title_; }
  virtual void SetTitle(const std::string& title);
  const std::string& GetPathName() const { return pathName_; }
  // Also sets the title to the file's name.
  virtual void SetPathName(const std::string& path, BOOL addToMru = TRUE);

  virtual BOOL IsModified() { return modified_; }
  virtual void SetModifiedFlag(BOOL modified = TRUE) { modified_ = modified != FALSE; }

  // Empties the document for a new one: DeleteContents, not modified, no path.
  virtual BOOL OnNewDocument();
  // Reads the file and runs Serialize on it; a file that cannot be read gives a message
  // and FALSE with the content untouched by the read.
  virtual BOOL OnOpenDocument(const std::string& path);
  // Runs Serialize into a buffer and writes it; FALSE (after a message) when it fails.
  virtual BOOL OnSaveDocument(const std::string& path);
  virtual void DeleteContents() {}
  virtual void Serialize(CArchive& ar) {}
  virtual void OnCloseDocument();

  // Asks "Save changes to ...?" when modified: Yes saves, No discards, Cancel returns FALSE.
  virtual BOOL SaveModified();
  // Saves under the current path (or asks for one).
  virtual BOOL DoFileSave();
  // Saves to path; an empty path asks for one (PromptSaveAsPath).
  virtual BOOL DoSave(const std::string& path, BOOL replace = TRUE);
  // The path a "save as" chooses; empty means cancelled. No dialog in this layer.
  virtual std::string PromptSaveAsPath() { return {}; }

  void AddView(DocumentView* view);
  void RemoveView(DocumentView* view);
  const std::vector<DocumentView*>& GetViews() const { return views_; }
  DocumentView* GetFirstView() const { return views_.empty() ? nullptr : views_.front(); }
  void UpdateAllViews(DocumentView* sender, LPARAM hint = 0, void* hintObject = nullptr);

  CDocTemplate* m_pDocTemplate = nullptr;

 protected:
  void OnFileSave();
  void OnFileSaveAs();

 private:
  std::string title_;
  std::string pathName_;
  bool modified_ = false;
  std::vector<DocumentView*> views_;

  DECLARE_MESSAGE_MAP()
};
