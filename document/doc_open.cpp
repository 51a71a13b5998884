// The one way files come into the document: Shapefiles are imported as features, NMEA logs are
// replayed through the document's parser as if the receiver were connected, every other file is
// read as a document file. The object list's Import adds a file to the open document.
#include <algorithm>
#include <fstream>

#include "app/strings.h"
#include "document/document_dialogs.h"
#include "document/geo_position.h"
#include "document/tolvanix_doc.h"
#include "document/tvx_file.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/wait_cursor.h"
#include "platform/win_app.h"

namespace {

constexpr char kCaption[] = "Tolvanix PDA";
constexpr UINT kStringImport = 59223;  // "Importar"
// The parser is fed as the reader thread feeds it: in small pieces.
constexpr std::size_t kReplayChunk = 32;

bool Contains(const std::string& path, const char* what) {
  return path.find(what) != std::string::npos;
}

}  // namespace

BOOL CTolvanixDoc::OnOpenDocument(const std::string& path) {
  BOOL opened = FALSE;
  if (Contains(path, ".shp")) {
    opened = OpenShapefile(path);
  } else {
    std::string bytes, error;
    if (!ReadFileBytes(path, bytes, error)) {
      // Nothing was read: the open document stays as it was.
      m_openingFile = false;
      MessageBox(m_hwndView, error, kCaption, MB_OK | MB_ICONEXCLAMATION);
      return FALSE;
    }
    if (Contains(path, ".nmea")) {
      if (!m_appendOnLoad) OnNewDocument();
      ReplayNmea(bytes);
      opened = TRUE;
    } else {
      CArchive archive(CArchive::load, path);
      archive.Bytes() = std::move(bytes);
      opened = ReadDocumentArchive(archive) ? TRUE : FALSE;
    }
  }
  // The document is named after the file it now holds (the one on the command line at
  // start-up, the one chosen later), and Save writes there. A refused file names nothing; an
  // import adds to the document and keeps its name.
  if (opened && !m_appendOnLoad) SetPathName(path);
  return opened;
}

void CTolvanixDoc::ReplayNmea(const std::string& bytes) {
  const platform::WaitCursor wait;
  m_replayingNmea = true;
  // The parser is fed from one source only: the receiver stays off after the replay.
  if (m_gpsOn) ToggleGps();
  m_captureFirstFix = true;
  m_autoCapture = false;
  m_replayPositionsLeftOut = 0;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  for (std::size_t at = 0; at < bytes.size(); at += kReplayChunk) {
    FeedNmea(data + at, std::min(kReplayChunk, bytes.size() - at));
  }
  m_replayingNmea = false;
  // Captures during the replay measured nothing: the final measurement must run even when the
  // vertex count happens to equal that of the last start.
  StartAreaRecompute(m_current, TRUE);
  if (m_replayPositionsLeftOut > 0) {
    const platform::WaitCursorPause told;
    MessageBox(m_hwndView, PositionsLeftOutText(m_replayPositionsLeftOut, false), kCaption,
               MB_OK | MB_ICONEXCLAMATION);
  }
}

BOOL CTolvanixDoc::OpenShapefile(const std::string& path) {
  // A file that cannot be opened at all is reported before the open document is given up.
  if (!std::ifstream(path, std::ios::binary)) {
    m_openingFile = false;
    MessageBox(m_hwndView, "Cannot read " + path + ".", kCaption, MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  if (!m_appendOnLoad) OnNewDocument();
  // The import (document/doc_export.cpp) asks for the coordinate system, reports a refused
  // file itself, measures the new features and makes the last one current.
  const bool imported = ImportShapefile(path, m_appendOnLoad);
  m_openingFile = false;
  KeepCurrentValid();
  return imported ? TRUE : FALSE;
}

bool CTolvanixDoc::ImportFromObjectList() {
  platform::FileDialogRequest request;
  request.open = true;
  request.filter = "All files|*.tvx,*.shp|Tolvanix PDA (*.tvx)|*.tvx|ESRI Shapefile (*.shp)|*.shp|";
  request.defaultExtension = "tvx";
  request.title = LoadResString(kStringImport);
  const std::string path = platform::ShowFileDialog(request);
  bool added = false;
  m_appendOnLoad = true;
  if (Contains(path, ".shp")) {
    added = OpenShapefile(path) != FALSE;
  } else if (Contains(path, ".tvx")) {
    added = OnOpenDocument(path) != FALSE;
  }
  m_appendOnLoad = false;
  return added;
}
