// The one way files come into the document: Shapefiles are imported as features, NMEA logs are
// replayed through the document's parser as if the receiver were connected, every other file is
// read as a document file; the file's final extension tells them apart. The object list's
// Import adds a file to the open document.
#include <algorithm>
#include <fstream>

#include "app/strings.h"
#include "document/document_dialogs.h"
#include "document/export_source.h"
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

}  // namespace

OpenedFileKind OpenedFileKindOf(const std::string& path) {
  // By the final extension only: "track.nmea.tvx" is the document saved from
  // "track.nmea.shp", and a folder named "logs.nmea" holds documents like any other.
  if (HasExtension(path, ".shp")) return OpenedFileKind::Shapefile;
  if (HasExtension(path, ".nmea")) return OpenedFileKind::NmeaLog;
  return OpenedFileKind::Document;
}

BOOL CTolvanixDoc::OnOpenDocument(const std::string& path) {
  BOOL opened = FALSE;
  switch (OpenedFileKindOf(path)) {
    case OpenedFileKind::Shapefile:
      opened = OpenShapefile(path);
      break;
    case OpenedFileKind::NmeaLog: {
      std::string bytes;
      if (!ReadBytesOrSay(path, bytes)) return FALSE;
      if (!m_appendOnLoad) OnNewDocument();
      ReplayNmea(bytes);
      opened = TRUE;
      break;
    }
    case OpenedFileKind::Document:
      opened = ReadDocumentFile(path) ? TRUE : FALSE;
      break;
  }
  // The document is named after the file it now holds (the one on the command line at
  // start-up, the one chosen later); Save writes there only when that is a document file
  // (SetPathName). A refused file names nothing; an import adds to the document and keeps
  // its name.
  if (opened && !m_appendOnLoad) SetPathName(path);
  return opened;
}

bool CTolvanixDoc::ReadBytesOrSay(const std::string& path, std::string& bytes) {
  std::string error;
  if (ReadFileBytes(path, bytes, error)) return true;
  // Nothing was read: the open document stays as it was.
  m_openingFile = false;
  MessageBox(m_hwndView, error, kCaption, MB_OK | MB_ICONEXCLAMATION);
  return false;
}

bool CTolvanixDoc::ReadDocumentFile(const std::string& path) {
  std::string bytes;
  if (!ReadBytesOrSay(path, bytes)) return false;
  CArchive archive(CArchive::load, path);
  archive.Bytes() = std::move(bytes);
  return ReadDocumentArchive(archive);
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
  if (path.empty()) return false;
  m_appendOnLoad = true;
  // Any other name than a Shapefile's is read as a document file (a log is not replayed into
  // the work): a file that is none says so rather than nothing happening.
  if (OpenedFileKindOf(path) == OpenedFileKind::Shapefile) {
    added = OpenShapefile(path) != FALSE;
  } else {
    added = ReadDocumentFile(path);
  }
  m_appendOnLoad = false;
  return added;
}
