// The document file (".tvx") as the document uses it: saving through a temporary file, reading
// a file into a new document or importing it into the open one, and the steps after a load.
// The bytes themselves are read and written by document/tvx_file.*.
#include <functional>
#include <optional>
#include <string_view>

#include "app/strings.h"
#include "document/geo_position.h"
#include "document/tolvanix_doc.h"
#include "document/tvx_file.h"
#include "platform/message_box.h"
#include "platform/wait_cursor.h"
#include "platform/win_app.h"
#include "platform/window_messages.h"

namespace {

constexpr char kCaption[] = "Tolvanix PDA";
constexpr UINT kStringNoName = 59167;  // "Sin nombre"

// The conversions between WGS84 (the file) and the working datum (waypoints and the working
// vertex lists in memory); both empty while the working datum is WGS84.
DatumConversion FileDatum(CTolvanixDoc& doc) {
  DatumConversion conversion;
  if (doc.m_datum.index > 0) {
    conversion.toWorking = [&doc](double& x, double& y) { doc.TransformOutput(x, y); };
    conversion.toWgs84 = [&doc](double& x, double& y) { doc.TransformOutput2(x, y); };
  }
  return conversion;
}

// The feature a load that leaves none adds: the preferred type, named "Sin nombre", with the
// pattern and colour the options give new features.
FeatureRecord NewEmptyFeature(const CTolvanixDoc& doc) {
  std::int32_t pattern = kDefaultFeaturePattern;
  COLORREF colour = kDefaultFeatureColour;
  if (CWinApp* app = AfxGetApp()) {
    pattern = static_cast<std::int32_t>(
        app->GetProfileInt("Opciones", "Pattern", kDefaultFeaturePattern));
    colour = app->GetProfileInt("Opciones", "Color", static_cast<int>(kDefaultFeatureColour));
  }
  return FeatureRecord(doc.m_newFeatureKind ? FeatureType::Line : FeatureType::Area,
                       LoadResString(kStringNoName), pattern, colour);
}

}  // namespace

const DocumentContent& CTolvanixDoc::ContentToSave(DocumentContent& scratch) const {
  // The division's parts are the last two features; m_savedVisibility holds the visible flags
  // of the features before them as they were when it began.
  if (!m_splitInProgress || m_features.size() < 2) return m_content;
  scratch = m_content;
  scratch.features.erase(scratch.features.end() - 2, scratch.features.end());
  for (std::size_t i = 0; i < scratch.features.size() && i < m_savedVisibility.size(); ++i) {
    scratch.features[i].visible = m_savedVisibility[i];
  }
  scratch.RebuildPartIndex();
  return scratch;
}

std::uint64_t CTolvanixDoc::ContentDigest() const {
  // The bytes a save writes, with the waypoints as held (in the working datum).
  DocumentContent scratch;
  return std::hash<std::string>{}(WriteTvxFile(ContentToSave(scratch)));
}

BOOL CTolvanixDoc::OnSaveDocument(const std::string& path) {
  HoldPosition hold(*this);
  std::string error;
  const DatumConversion datum = FileDatum(*this);
  bool saved;
  {
    const platform::WaitCursor wait;
    DocumentContent scratch;
    saved = SaveTvxFileAtomically(path, ContentToSave(scratch), error,
                                  m_datum.index > 0 ? &datum : nullptr);
  }
  if (!saved) {
    MessageBox(m_hwndView, error, kCaption, MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  SetModifiedFlag(FALSE);
  m_hasFile = true;
  return TRUE;
}

bool CTolvanixDoc::ReadDocumentArchive(CArchive& ar) {
  HoldPosition hold(*this);
  const std::string_view bytes = ar.Bytes();
  const DatumConversion datum = FileDatum(*this);
  TvxLoadSettings settings{m_datum.index > 0 ? &datum : nullptr, NewEmptyFeature(*this)};
  TvxLoadInfo info;
  TvxFileError error;

  bool ok;
  std::optional<platform::WaitCursor> wait;
  wait.emplace();
  if (m_appendOnLoad) {
    // The import adds to the open document; the reader merges only a file it read whole.
    ok = AppendTvxFile(bytes, m_content, error, settings, &info);
    if (ok) SetModifiedFlag(TRUE);
  } else {
    // The file is read whole before the open document is given up for it.
    DocumentContent staged;
    ok = ReadTvxFile(bytes, staged, error, settings, &info);
    if (ok) {
      OnNewDocument();
      m_content = std::move(staged);
      ++m_featureEpoch;
    }
  }
  m_openingFile = false;
  if (!ok) {
    wait.reset();
    std::string text = error.stringId ? LoadResString(error.stringId) : std::string();
    if (text.empty()) text = error.text;
    MessageBox(m_hwndView, text, kCaption, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  FinishLoad(info.lastVertexWgs84 ? &*info.lastVertexWgs84 : nullptr);
  // An opened file is the document as saved; an import is work not on disk yet.
  if (!m_appendOnLoad) SetModifiedFlag(FALSE);
  if (info.partsWithoutParent > 0) {
    const std::string text =
        info.partsWithoutParent == 1
            ? std::string("A part in the file names a feature the file does not hold. It was "
                          "loaded as an area of its own.")
            : std::to_string(info.partsWithoutParent) +
                  " parts in the file name features the file does not hold. They were loaded "
                  "as areas of their own.";
    MessageBox(m_hwndView, text, kCaption, MB_OK | MB_ICONEXCLAMATION);
  }
  if (info.positionsLeftOut > 0) {
    // The document no longer holds what the file does: a save writes it without them.
    SetModifiedFlag(TRUE);
    MessageBox(m_hwndView, PositionsLeftOutText(info.positionsLeftOut, false), kCaption,
               MB_OK | MB_ICONEXCLAMATION);
  }
  return true;
}

void CTolvanixDoc::FinishLoad(const GeoPoint* lastVertexWgs84) {
  if (m_current < 0 || static_cast<std::size_t>(m_current) >= m_features.size()) m_current = 0;
  if (lastVertexWgs84 != nullptr) m_lastCaptureWgs84 = *lastVertexWgs84;
  RecomputeAreasAndWait(-1);
  m_hasFile = true;
  m_needsRedraw = true;
  PostMessage(m_hwndView, WM_DIBUJAR_CAMPOS, 0, 0);
}
