#include "platform/document.h"

#include <algorithm>
#include <cstring>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/win_app.h"

size_t CArchive::Read(void* buffer, size_t size) {
  size_t n = std::min(size, bytes_.size() - std::min(position_, bytes_.size()));
  if (n) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

void CArchive::Write(const void* data, size_t size) {
  bytes_.append(static_cast<const char*>(data), size);
}

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
  ON_COMMAND(ID_FILE_SAVE, &CDocument::OnFileSave)
  ON_COMMAND(ID_FILE_SAVE_AS, &CDocument::OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::CDocument() = default;
CDocument::~CDocument() = default;

void CDocument::SetTitle(const std::string& title) { title_ = title; }

void CDocument::SetPathName(const std::string& path, BOOL) {
  pathName_ = path;
  size_t slash = path.find_last_of('/');
  SetTitle(slash == std::string::npos ? path : path.substr(slash + 1));
}

BOOL CDocument::OnNewDocument() {
  DeleteContents();
  pathName_.clear();
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnOpenDocument(const std::string& path) {
  auto bytes = platform::ReadWholeFile(path);
  if (!bytes) {
    AfxMessageBox("Cannot open the file " + path + ".", MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  CArchive archive(CArchive::load, path);
  archive.Bytes() = std::move(*bytes);
  DeleteContents();
  Serialize(archive);
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnSaveDocument(const std::string& path) {
  CArchive archive(CArchive::store, path);
  Serialize(archive);
  std::string why;
  if (!platform::WriteFileReplacing(path, archive.Bytes(), &why)) {
    AfxMessageBox("Cannot save the file " + path + ": " + why, MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  SetModifiedFlag(FALSE);
  return TRUE;
}

void CDocument::OnCloseDocument() {
  DeleteContents();
  views_.clear();
}

BOOL CDocument::SaveModified() {
  if (!IsModified()) return TRUE;
  std::string name = GetTitle();
  if (name.empty()) name = AfxLoadString(AFX_IDS_UNTITLED);
  if (name.empty()) name = "Untitled";
  std::string prompt = AfxLoadString(AFX_IDP_ASK_TO_SAVE);
  if (prompt.empty()) prompt = "Save changes to %1?";
  if (size_t at = prompt.find("%1"); at != std::string::npos) prompt.replace(at, 2, name);
  switch (AfxMessageBox(prompt, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDCANCEL:
      return FALSE;
    case IDYES:
      return DoFileSave();
    default:
      return TRUE;
  }
}

BOOL CDocument::DoFileSave() { return DoSave(GetPathName()); }

BOOL CDocument::DoSave(const std::string& path, BOOL replace) {
  std::string target = path.empty() ? PromptSaveAsPath() : path;
  if (target.empty()) return FALSE;
  if (!OnSaveDocument(target)) return FALSE;
  if (replace) SetPathName(target);
  return TRUE;
}

void CDocument::OnFileSave() { DoFileSave(); }
void CDocument::OnFileSaveAs() { DoSave({}); }

void CDocument::AddView(DocumentView* view) {
  if (view && std::find(views_.begin(), views_.end(), view) == views_.end()) {
    views_.push_back(view);
  }
}

void CDocument::RemoveView(DocumentView* view) {
  views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
}

void CDocument::UpdateAllViews(DocumentView* sender, LPARAM hint, void* hintObject) {
  for (DocumentView* view : std::vector<DocumentView*>(views_)) {
    if (view != sender) view->OnUpdate(sender, hint, hintObject);
  }
}
