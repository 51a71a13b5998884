// The program's single document: the measured features and waypoints, the averaging samples,
// the last GPS fix, the options, the working coordinate system and the area worker.
//
// Coordinate frames used by the members below:
//   WGS84 degrees      as the receiver sends them (longitude x, latitude y);
//   working datum      degrees on the datum chosen in the options (equal to WGS84 for "Datum" 0);
//   map coordinates    easting/northing of the displayed projection (UTM of "Huso" or the user
//                      projection), in its linear unit (metres unless m_linearUnit says feet).
//
// Threads. The user-interface thread owns the features, waypoints, samples and options. The
// thread that feeds the NMEA parser (the GPS reader thread, or the user-interface thread while
// a log is replayed) runs OnGpsPosition/SetGpsPosition and writes the fix members; those are
// atomics, written together under m_fixLock so that TakeFix() gives one consistent fix. The
// fix intake uses a transformation set of its own (never the user-interface thread's), and the
// area worker builds its own too and never touches m_features: it measures a copy and the
// user-interface thread stores the results.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "coords/datum_record.h"
#include "coords/projection_record.h"
#include "coords/spatial_reference.h"
#include "coords/transform_set.h"
#include "document/records.h"
#include "gps/nmea_parser.h"
#include "gps/gps_link.h"
#include "platform/document.h"
#include "platform/wait_cursor.h"

class CCmdUI;
class AreaWorker;

// The texts of the averaging dialog after a sample (longitude/latitude in the working datum).
struct AverageTexts {
  std::string longitude;  // "%.7f"
  std::string latitude;
  std::string easting;    // "%.2f"
  std::string northing;
  std::string zone;       // "%d " and the latitude band letter
  std::string count;      // "%d"
  std::string altitude;   // "%.2f" metres
};

// One consistent copy of the last fix (see CTolvanixDoc::TakeFix).
struct GpsFix {
  double gpsLon = 0.0, gpsLat = 0.0;      // WGS84 degrees
  double datumLon = 0.0, datumLat = 0.0;  // working datum degrees
  double mapX = 0.0, mapY = 0.0;          // map coordinates
  std::int32_t altitudeCm = 0;
  double hdop = 0.0;
  bool hasFix = false;
};

// One plane in which positions are compared with each other: the working system, for UTM laid
// out in one zone (CTolvanixDoc::PlaneFor). Coordinates in map units.
class PositionPlane {
 public:
  PositionPlane() = default;
  PositionPlane(TransformSet* set, int zone) : set_(set), zone_(zone) {}
  bool Ready() const { return set_ != nullptr; }
  int Zone() const { return zone_; }
  // WGS84 degrees -> plane, and back, in place; false (point unchanged) when it fails.
  bool Project(GeoPoint& p) const { return set_ && set_->ToZonePlane(zone_, p.x, p.y); }
  bool Unproject(GeoPoint& p) const { return set_ && set_->FromZonePlane(zone_, p.x, p.y); }
  // The planar distance between two WGS84 positions; false when either cannot be projected.
  bool Distance(GeoPoint a, GeoPoint b, double& distance) const;

 private:
  TransformSet* set_ = nullptr;
  int zone_ = 0;
};

// What an opened file is taken for, by its final extension (without case): ".shp" a
// Shapefile, ".nmea" a log to replay, anything else a document file.
enum class OpenedFileKind { Document, Shapefile, NmeaLog };
OpenedFileKind OpenedFileKindOf(const std::string& path);

class CTolvanixDoc : public CDocument {
 public:
  CTolvanixDoc();
  ~CTolvanixDoc() override;

  BOOL OnNewDocument() override;
  // Asks "Save changes to %1?" with the document's name; Yes saves as the Save command does
  // and answers TRUE only when the save succeeded (a failed or cancelled save keeps the
  // document and stops the caller).
  BOOL SaveModified() override;

  // Modified: marked so by a command, or holding other features, waypoints, notes, parts or
  // designs than the file it was last read from or written to (a new document: than when it
  // was made). Whatever path changes the records, the document knows it is modified; a change
  // undone again leaves it as it was. Clearing the flag takes the content as it stands as the
  // saved one. The content is compared on each call (time linear in its size): for the save
  // questions and commands, not for every repaint.
  BOOL IsModified() override;
  void SetModifiedFlag(BOOL modified = TRUE) override;

  // The receiver start-up set-up the constructor runs when "SNAuto" or "SBASAuto" is set
  // (mode 0 static navigation, 1 SBAS, 2 both; port and baud index); installed by the
  // receiver dialogs. Without one nothing runs.
  static void SetReceiverStartup(std::function<void(int mode, int port, int baudIndex)> run);

  // ---------------------------------------------------------------------------------------
  // Features (user-interface thread)
  // ---------------------------------------------------------------------------------------
  // Appends a new feature; a part's index joins m_kind52Index. Pattern and colour of a new
  // feature come from Opciones\Pattern and Opciones\Color (5 and 255 when absent).
  FeatureRecord& AddFeature(FeatureType type, const std::string& name);
  void AppendFeature(FeatureRecord&& record);
  void DeleteAllFeatures();
  // The current feature, or nullptr when the list is empty or m_current is out of range.
  FeatureRecord* CurrentFeature();

  // ---------------------------------------------------------------------------------------
  // Options (document/doc_options.cpp)
  // ---------------------------------------------------------------------------------------
  void LoadOptions();
  void SaveOptions();
  // Command 32778: the options sheet fills a copy of the option values (hook installed by
  // the dialogs; without one nothing happens) and ApplyOptionValues takes them.
  void ApplyOptions();
  struct OptionValues;  // what the options sheet's pages hand back (document/doc_options.h)
  void ApplyOptionValues(const OptionValues& values);
  OptionValues CurrentOptionValues() const;
  static void SetOptionsSheet(std::function<bool(CTolvanixDoc&, OptionValues&)> sheet);
  // Reads "internal/tvxprj.bin" and sets the transformations up (start-up).
  void LoadProjection();

  // ---------------------------------------------------------------------------------------
  // Coordinates (document/doc_coords.cpp): thin wrappers over coords/
  // ---------------------------------------------------------------------------------------
  std::string& FormatArea(std::string& text, double area) const;
  std::string& FormatLength(std::string& text, double length) const;
  // Builds the user-interface thread's transformation set from the options; false when the
  // working system or a transformation could not be built.
  bool SetupTransformations();
  // SetupTransformations; on failure "Coord" 0, again, and "The projection cannot be
  // configured". m_transformsReady is cleared around it.
  void SetupTransformationsOrFallBack();
  void SetWorkingUtm(OGRSpatialReference& srs);
  void BuildSrsFromProjection(OGRSpatialReference& srs);
  static std::string UtmBandLetter(double latitude);
  // Datum loaders: a missing or unusable file shows a message; the program is closed only
  // while the document holds no unsaved work, else the datum stays as it was.
  bool LoadDatum();
  bool LoadUserDatum();
  bool SaveUserDatum();
  void DestroySrsObjects();
  // After a datum change: the working-datum vertices of every feature, the waypoints and the
  // averaged position anew from their WGS84 positions (the waypoints' given, taken before the
  // change).
  void RederiveWorkingDatum(const std::vector<GeoPoint>& waypointsWgs84);
  // The stored "Datum" choice while its file could not be loaded at start-up (the datum in
  // force is then WGS84); -1 while the datum in force is the stored one.
  int m_unloadedDatumIndex = -1;
  // The settings the working system is built from (any thread); generation, when given,
  // receives the number that names them (a new one with every change).
  CoordSettings CurrentCoordSettings(std::uint64_t* generation = nullptr) const;

  // ---------------------------------------------------------------------------------------
  // Fix intake (document/doc_fix.cpp); runs on the thread that feeds m_nmea
  // ---------------------------------------------------------------------------------------
  static void OnGpsPosition(NmeaSentenceKind kind);
  void HandleSentence(NmeaSentenceKind kind);  // OnGpsPosition on this document
  // ggaFix: the position is a GGA fix's, which counts as the current fix once stored.
  void SetGpsPosition(double lon, double lat, bool ggaFix = false);
  bool UpdateOffsetPosition();
  void UpdateCircleFromPosition();  // user-interface thread, from WM_REFRESH_GPS
  void OnCapturePoint();            // commands 32801 and 32861
  void OnUpdateCapturePoint(CCmdUI* ui);  // 32801, 32803, 32859
  void OnUpdateSatIndicator(CCmdUI* ui);  // status pane 59142: "Sat %d HDOP %.1f"
  std::string SatIndicatorText() const;
  void OnWaitForFix();              // command 210
  // The measurement starts or pauses (after the first-fix wait when one was pending).
  void ToggleMeasurement();
  GpsFix TakeFix() const;
  // Feeds bytes to the parser on the calling thread (log replay, tests).
  void FeedNmea(const std::uint8_t* bytes, std::size_t length);

  // Old fixes. While the GPS is read live, a fix whose last position sentence is more than
  // kFixTimeoutMs old (the receiver went silent or away) is no fix: capture, automatic
  // capture, averaging and waypoints refuse it, and the status says so. A replayed log is
  // not timed. The clock is monotonic, in milliseconds; tests may put their own in
  // (nullptr: the system's again); it is read on any thread.
  static constexpr std::int64_t kFixTimeoutMs = 5000;
  using FixClock = std::int64_t (*)();
  static void SetFixClock(FixClock clock);
  static std::int64_t FixClockNow();
  bool FixIsStale() const;
  // m_hasFix, and not stale.
  bool HasCurrentFix() const;
  // A stale fix stops counting as one: m_hasFix and the fix quality are cleared and the
  // view is told. True when that happened (user-interface thread).
  bool ExpireStaleFix();

  // ---------------------------------------------------------------------------------------
  // Capture (document/doc_capture.cpp); user-interface thread (and the replaying thread)
  // ---------------------------------------------------------------------------------------
  bool HdopRejects(std::int32_t filterApplies);
  void CapturePoint();
  void AutoCaptureCheck();
  // The planar distance (map units) from the last captured position to the fix, in the
  // plane of the last captured position; 0 while the current feature has no vertex.
  double DistanceFromLastCapture();
  void AddVertexAt(const GeoPoint& wgs84, const GeoPoint& working);
  void AddWaypoint(double x, double y, std::int32_t altitudeCm);
  void OnAddWaypoint();             // command 32863
  void OnUpdateAddWaypoint(CCmdUI* ui);
  // False when the HDOP filter refused the fix (nothing changes).
  bool AddAverageSample(AverageTexts& texts);
  // 1 waypoint, 2 vertex, 3 both. A vertex needs the current feature unlocked (its message
  // otherwise); a waypoint alone does not. False when nothing was stored: the samples are
  // still there to be stored another way.
  bool CaptureCombined(int mode);
  void ToggleOffset();
  void OnToggleOffset();            // command 32832
  void OnUpdateToggleOffset(CCmdUI* ui);
  void OnAddCircle();               // command 32882
  // The lock (a feature's editable flag 0): every command that changes a feature's vertices
  // or makes features from them asks here first, for the feature it works on (negative: the
  // current one). TRUE when that feature is editable; else the lock's message (string 59244
  // with its name), automatic capture off, and FALSE: the command changes nothing.
  BOOL CheckFeatureEditable(int index = -1);
  std::string NextWaypointName();
  // Asks for a waypoint name (option "WptName" 0); installed by the dialogs. Without one the
  // name is empty.
  static void SetWaypointNameDialog(std::function<std::string()> dialog);

  // ---------------------------------------------------------------------------------------
  // Area worker and measures (document/doc_area.cpp)
  // ---------------------------------------------------------------------------------------
  void StartAreaRecompute(int index, BOOL force);
  void RecomputeAreasAndWait(int index);
  // Stores finished measurements into their features (user-interface thread); called by the
  // document's own message handler and by RecomputeAreasAndWait. Returns how many.
  int ApplyAreaResults();
  // After features were deleted or the list replaced in part: measurements under way are
  // given up and the features that waited for one are measured again at their new indices.
  void FeaturesMoved();
  // True when feature index's (negative: the current feature's) measures are those of its
  // present shape, or it has no vertex: its latest measurement has come back and it has not
  // changed since. Each feature keeps its own state (FeatureRecord::MeasuresUpToDate); the
  // texts mark what they show by it (" *").
  bool MeasuresUpToDate(int index) const;
  bool CurrentMeasuresUpToDate() const;
  static double CalcDistance(const GeoPoint& a, const GeoPoint& b);
  static double UtmZoneFromLongitude(double longitude, int& zone);
  static double CalcBearing(const GeoPoint& from, const GeoPoint& at);
  double UtmDistance(const GeoPoint& a, const GeoPoint& b);
  void SetUtmZone(int zone, bool north, int which);
  // WGS84 degrees -> map coordinates of the display projection, and the grid-reference text
  // (user-interface thread's transformations). False while the transformations are not ready.
  // With "Auto" the zone is that of the point: map coordinates of two points may be of two
  // zones, so nothing measured between positions is taken from them (see PlaneFor).
  bool ConvertCoordinates(double lon, double lat, double& easting, double& northing);
  // The plane for values made of two or more positions (a distance, a direction, the lateral
  // offset, a circle's radius and corners): the working system in map units, for UTM laid out
  // in one zone for all of them, the zone of the first position (WGS84) named, the one kept
  // (the last captured point, a circle's centre, the oldest fix of the offset), while the zone
  // follows the position, else "Huso". A walk across a zone boundary thus never measures
  // between eastings of two zones. The calling thread's transformations; not ready while
  // they are not.
  PositionPlane PlaneFor(const GeoPoint& firstWgs84);
  // The corners (centre x - r, centre y + r) and (centre x + r, centre y - r) of the square
  // around the circle about `centre` through `edge`, laid out in the centre's plane (PlaneFor)
  // and given back in WGS84 degrees; false when a point cannot be projected.
  bool CircleCornersWgs84(const GeoPoint& centre, const GeoPoint& edge, GeoPoint corners[2]);
  void TransformOutput(double& x, double& y);   // WGS84 -> working datum
  void TransformOutput2(double& x, double& y);  // working datum -> WGS84
  bool GetVertexOutputCoords(int mode, int feature, int vertex, double& x, double& y,
                             double& altitudeM);
  bool GetRecordVertexOutputCoords(int mode, const FeatureRecord& record, int vertex, double& x,
                                   double& y, double& altitudeM);
  bool GetWaypointOutputCoords(int mode, int waypoint, double& x, double& y, double& altitudeM);
  std::string GridRefText() const;
  // The fix's own grid-reference text and UTM zone (its map coordinates' zone while the zone
  // follows the position), whatever other points were converted since: the position panel's.
  std::string FixGridRefText() const;
  int FixZone() const;

  // ---------------------------------------------------------------------------------------
  // Language commands and exit
  // ---------------------------------------------------------------------------------------
  void OnLanguageEn();
  void OnLanguageDe();
  void OnLanguageFr();
  void OnLanguageSp();
  void OnLanguagePt();
  void OnLanguageDu();
  void OnLanguageRu();
  void OnLanguageLv();
  void OnLanguagePl();
  void OnLanguageRo();
  void OnLanguageIt();
  void OnLanguageHu();
  void OnLanguageBg();
  void OnLanguageLt();
  void OnLanguageCh();
  // Exit command: GPS off, then the main window is asked to close.
  void OnAppExit();

  // --- file (document/doc_file.cpp) ---
  // Writes through a temporary file renamed over the destination: a failed save says why,
  // leaves the previous file as it was and the document modified. Fixes are dropped meanwhile.
  BOOL OnSaveDocument(const std::string& path) override;
  // The content a save writes: the document's own, except that while an area is being
  // divided it is the document without the division (its two parts left out and every
  // feature as visible as before the division began); scratch holds that copy.
  const DocumentContent& ContentToSave(DocumentContent& scratch) const;
  // Reads a document file from a loading archive. Without m_appendOnLoad the file's features
  // replace the document's; with it they are added after them. The file's waypoints and notes
  // always go after the document's. The file is parsed whole before anything changes: a
  // refused file shows why and leaves the document exactly as it was (false).
  bool ReadDocumentArchive(CArchive& ar);
  // After a load or import: measures of every feature, the last-capture position, a valid
  // current index, the view told to redraw.
  void FinishLoad(const GeoPoint* lastVertexWgs84);
  // Set by the object list's import for the length of one load: add to the open document.
  bool m_appendOnLoad = false;
  // --- end file ---

  // --- commands (document/doc_commands.cpp) ---
  // The dialogs and window steps of the commands (document/document_dialogs.h); nullptr
  // restores the default, which does nothing and answers "cancelled".
  static void SetDocumentDialogs(class DocumentDialogs* dialogs);
  static class DocumentDialogs& Dialogs();

  void OnDeletePoints();     // 32854
  void OnDeleteLastPoint();  // 32853
  void OnInsertPoint();      // 32860
  void OnNotes();            // 32835
  void OnPointDistance();    // 32824 (between vertices), 32825 (between waypoints)
  void OnUpdatePointDistanceVertices(CCmdUI* ui);
  void OnUpdatePointDistanceWaypoints(CCmdUI* ui);
  void UpdatePointDistance();  // the view, after each position refresh
  void OnObjectGrid();         // 32872
  void OnUpdateObjectGrid(CCmdUI* ui);
  void OnObjectList();  // 32862
  void OnUpdateObjectList(CCmdUI* ui);
  void OnUpdateLanguage(CCmdUI* ui);  // commands 32782-32796
  void OnWaypointTable();  // 32864
  // The waypoint table with waypoint `select`'s row current (the popup's "Edit").
  void ShowWaypointTable(int select = 0);
  void OnNewObject();  // 32842
  void OnUpdateNewObject(CCmdUI* ui);  // also 32802
  void OnNewKind52();  // 32871
  void NewFeatureDialog(FeatureType type);
  void NotifyActiveFeature();
  void OnFileOpen();     // ID_FILE_OPEN
  void OnFileSaveAs();   // ID_FILE_SAVE_AS
  void OnUpdateFileSave(CCmdUI* ui);  // ID_FILE_SAVE
  void OnSave();            // 1260 and ID_FILE_SAVE
  // Save As with the file dialog; Save into SavePath() (Save As without one: the exit's, New's,
  // Open's and the wizard's saves too). True only when the file was written; a failed or
  // cancelled save keeps the document's name.
  bool SaveAs();
  bool SaveByName();
  // The framework's Save without a path asks through FileDialog.
  std::string PromptSaveAsPath() override;
  // The document's identity from the file it was opened from or saved to: m_docName and
  // m_docFolder from the path, the title the name. A Shapefile or NMEA log that was opened
  // lends its name and folder but is no file of the document's: the document has no path, and
  // its save asks for a name (proposing the name with ".tvx" in that folder, so the dialog
  // asks before a document of that name is replaced).
  void SetPathName(const std::string& path, BOOL addToMru = TRUE) override;
  // The file Save writes: the one the document was read from as a document file or saved
  // to; empty without one (Save asks for a name).
  std::string SavePath() const;
  void OnDeleteDocument();  // 1261
  void OnWizard();          // 212
  void OnWizardNext();      // 211

  // The common ending of an edit: modified, the current feature re-measured, the view redrawn.
  void RefreshAfterEdit();
  // Deletes feature index and, when it is not a part, its parts; every remaining part keeps
  // naming its own parent, and the current index stays on an existing feature (a feature of
  // the preferred type is added when none is left).
  void DeleteFeature(int index);
  void DeleteWaypoint(int index);
  // Area of a feature (negative index: the current one), optionally less its subtracting
  // parts; " *" while the measures are out of date.
  std::string GetAreaText(int index, bool subtractParts);
  // which 0 open length (" *" while out of date), 1 closed perimeter, 2 distance from the last
  // captured point (0 without a fix).
  std::string GetLengthText(int which, int index);
  // Sum of the visible areas; empty unless at least two were summed and the sum is above 0.
  std::string TotalVisibleArea();
  void ShowGpsStatus();
  // Shifts every vertex by the stored reference point (m_circleCentreWgs, WGS84) minus the fix.
  void MoveAllFeatures();
  // Puts back the visible flags kept in m_savedVisibility for all features but the last n.
  void RestoreVisibility(int n);
  // The open or save dialog of document files; on OK sets m_docName and m_docFolder from the
  // chosen path (the open command puts them back: an open names the document only once the
  // file is in it). Returns the full path, empty when cancelled.
  std::string FileDialog(bool open);
  // Deletes the companion of path with the final extension oldExtension replaced by
  // newExtension, when it exists and the user confirms. True when a file was deleted.
  bool ConfirmDelete(const std::string& path, const std::string& oldExtension,
                     const std::string& newExtension);
  DocumentView* FindView() const;
  // m_docName = the path's file name without its final extension ("Untitled" when empty),
  // m_docFolder = the path before its last '/' (empty when there is none).
  void TakeIdentityFromPath(const std::string& path);
  // The last-capture position from the current feature's last vertex (after vertex edits).
  void UpdateLastCaptureFromFeature();
  // At least one feature, and m_current on one of them.
  void KeepCurrentValid();

  int m_wizardChoice = 0;  // the start-up wizard's choice (1 area, 2 line ...)
  // Visible flags kept by the area-splitting dialog while it shows only the area it divides.
  std::vector<std::int32_t> m_savedVisibility;
  // --- end commands ---

  // --- open (document/doc_open.cpp) ---
  // Opens a Shapefile, replays an NMEA log or reads a document file, by the path's final
  // extension (OpenedFileKindOf). Without m_appendOnLoad the file goes into a new document. A
  // file that cannot be read or is refused is reported and leaves the document as it was
  // (FALSE).
  BOOL OnOpenDocument(const std::string& path) override;
  // Reads a document file (into a new document, or with m_appendOnLoad into this one); a file
  // that cannot be read or is none is reported (false).
  bool ReadDocumentFile(const std::string& path);
  // The whole file; one that cannot be read is reported (false).
  bool ReadBytesOrSay(const std::string& path, std::string& bytes);
  // The NMEA log bytes through the document's parser, as from a live receiver but in replay
  // mode (no refresh posted; the first fix and then automatic capture by distance captured).
  void ReplayNmea(const std::string& bytes);
  // The object list's Import: asks for a document file or Shapefile and adds it to the open
  // document (any name but a Shapefile's is read as a document file). True when something was
  // added.
  bool ImportFromObjectList();
  // A Shapefile's lines and polygons as locked features: into a new document, or with
  // m_appendOnLoad after the open document's features. A file that cannot be read is reported
  // and leaves the document as it was; a refused or cancelled import gives FALSE.
  BOOL OpenShapefile(const std::string& path);
  // --- end open ---

  // --- exports (document/doc_export.cpp) ---
  // The export commands: each asks its settings and a file name, holds m_holdPosition for its
  // whole run and reports a file it could not write.
  void OnExportGeographicTxt();  // 32780
  void OnExportUtmTxt();         // 32779
  void OnExportKml();            // 32838
  void OnExportDxf();            // 32781
  void OnExportShp();            // 32836
  void OnExportPlt();            // 32843
  void OnExportTrk();            // 32844
  // A circle's radius in metres (radiusOnly), or its outline of one point per metre appended
  // to out (returns 0). The output transformations keep the zone they had.
  double BuildCircleOutline(int feature, FeatureRecord& out, bool radiusOnly);
  // The Shapefile writers over the document's features; a failure is shown and gives false.
  bool ExportShpPoints(const std::string& path, int shapeType, int datumChoice, int coordMode,
                       int zone);
  bool ExportShpShapes(const std::string& path, int shapeType, int datumChoice, int coordMode,
                       int zone, bool closeRings);
  // The waypoint table's export of its own copy of the waypoints (asks settings and a name).
  bool ExportWaypointsShp(const std::vector<WaypointRecord>& waypoints);
  // Imports the lines and polygons of a Shapefile as locked features (document open, or the
  // object list's Import when fromObjectList). False only for a refused shape type; a
  // cancelled dialog or an unreadable file imports nothing and gives true (the new document).
  bool ImportShapefile(const std::string& path, bool fromObjectList);
  // Projected coordinates read from a Shapefile to WGS84 degrees in place: UTM of the zone and
  // hemisphere, or while Coord is 2 the user projection (zone and hemisphere then do not
  // count), on WGS84 for datum choice 0 and on the working datum otherwise, as the Shapefile
  // writers put them.
  bool ProjectedToWgs84(int datumChoice, int zone, bool north, double& x, double& y);
  // --- end exports ---

  // ===== Members ============================================================================

  // Features, waypoints, notes: the content a document file holds. The named references are
  // the document's own names for its parts.
  DocumentContent m_content;
  std::vector<FeatureRecord>& m_features = m_content.features;
  std::vector<int>& m_kind52Index = m_content.kind52Index;
  std::vector<WaypointRecord>& m_waypoints = m_content.waypoints;
  std::vector<std::string>& m_waypointNotes = m_content.waypointNotes;
  int m_current = 0;  // index of the current feature

  // Averaging (user-interface thread): samples in WGS84, the mean in both frames.
  std::vector<WaypointRecord> m_samples;
  double m_avgX = 0.0, m_avgY = 0.0;      // working datum
  double m_avgLon = 0.0, m_avgLat = 0.0;  // WGS84
  double m_avgAltitudeCm = 0.0;

  // Last fix: written by the feeding thread, read by the user-interface thread.
  std::atomic<double> m_gpsLon{0.0}, m_gpsLat{0.0};      // WGS84 degrees
  std::atomic<double> m_datumLon{0.0}, m_datumLat{0.0};  // working datum degrees
  std::atomic<std::int32_t> m_altitudeCm{0};
  std::atomic<double> m_hdop{0.0}, m_pdop{0.0}, m_vdop{0.0};
  std::atomic<std::int32_t> m_satellites{0};
  std::atomic<std::uint8_t> m_fixQuality{0};
  std::atomic<double> m_course{0.0};
  std::atomic<std::int32_t> m_gpsDay{0}, m_gpsMonth{0}, m_gpsYear{0};  // year: two digits
  std::atomic<std::uint8_t> m_gpsHour{0}, m_gpsMinute{0}, m_gpsSecond{0};
  std::atomic<double> m_gpsMapX{0.0}, m_gpsMapY{0.0};        // map coordinates
  std::atomic<int> m_gpsZone{0};  // UTM zone of m_gpsMapX/Y (0: none yet)
  std::atomic<double> m_offsetLon{0.0}, m_offsetLat{0.0};    // walker before the offset, datum
  std::atomic<std::int32_t> m_offsetFixCount{0};  // fixes in the offset history since it was on
  // The walker's last three fixes P0..P2, WGS84 (under m_intakeLock): projected into one
  // plane each time the offset is made, whatever zone or settings each came under.
  std::array<GeoPoint, 3> m_offsetHistory{};

  // GPS link state. The receiver link's own members (port threads, virtual port) are in the
  // "gps" block below.
  std::atomic<bool> m_gpsOn{false};
  std::atomic<bool> m_hasFix{false};
  std::atomic<bool> m_ggaSeen{false};
  // When the last position sentence of live reading came (FixClockNow); 0: none since the
  // GPS was switched on. Written with the fix under m_fixLock.
  std::atomic<std::int64_t> m_lastFixMs{0};
  std::atomic<bool> m_holdPosition{false};    // a long operation runs: fixes are dropped
  std::atomic<bool> m_replayingNmea{false};   // a log is replayed on the user-interface thread
  std::size_t m_replayPositionsLeftOut = 0;    // fixes of the replayed log that named no place
  std::atomic<bool> m_captureFirstFix{false};
  std::atomic<bool> m_definingCircle{false};
  CNmeaParser m_nmea;

  // Capture state (user-interface thread unless marked).
  std::atomic<bool> m_autoCapture{false};
  GeoPoint m_lastCaptureWgs84;  // the last captured position, WGS84 (its plane: PlaneFor)
  std::atomic<bool> m_offsetOn{false};          // read by the feeding thread
  std::atomic<double> m_offsetMetres{0.0};      // map units; read by the feeding thread
  std::vector<GeoPoint> m_trail;                // offset positions at capture time, datum
  // Circle being defined: centre in the working datum and WGS84 (its plane: PlaneFor), and
  // which feature it is (FeatureRecord::key): whatever feature is current meanwhile, only
  // that one is reshaped.
  GeoPoint m_circleCentreDatum, m_circleCentreWgs;
  std::uint64_t m_circleKey = 0;

  // Measurement start (command 210).
  std::int16_t m_measureKind = 0;  // 0 none, 1 area, 2 line
  std::atomic<bool> m_measuring{false};
  std::atomic<bool> m_firstFixPending{false};
  std::atomic<bool> m_firstFixWaitDone{false};

  // Area computation.
  std::atomic<bool> m_areaBusy{false};   // a worker runs
  int m_areaIndex = 0;                   // feature of the last start
  int m_lastVertexCount = -1;            // vertex count at the last start; -1 forces
  HANDLE m_areaEvent = nullptr;          // auto-reset: set when a computation ends

  // Coordinates. m_srs is WGS84 geographic; m_transforms is the user-interface thread's
  // transformation set (the seven transformations between WGS84, the working system and the
  // datum); other threads build their own from CurrentCoordSettings().
  OGRSpatialReference m_srs;
  TransformSet m_transforms;
  ProjectionRecord m_projection;
  DatumRecord m_datum;  // m_datum.index is the option "Datum"
  std::string m_datumName;
  std::string m_projectionName;
  std::uint8_t m_linearUnit = 0;  // LinearUnit of the working system
  std::atomic<bool> m_transformsReady{false};

  // Options (section "Opciones"); see document/doc_options.cpp for the stored form.
  std::int16_t m_language = 0;          // Idioma
  int m_coord = 0;                      // Coord: 0 geographic, 1 UTM, 2 user projection
  int m_geoType = 2;                    // GeoType
  int m_metrica = 0;                    // Metrica: 0 metric, 1 imperial, 2 US survey feet
  int m_feet = 0;                       // Feet
  double m_autoCaptureDistance = 10.0;  // AP (x 0.1): metres, yards with Metrica 1
  int m_wizardOnStart = 0;              // Esp
  std::atomic<int> m_autoZone{1};       // Auto (read by the feeding thread)
  std::atomic<int> m_zone{31};          // Huso (written by the feeding thread with Auto)
  int m_bearingUnit = 0;                // Rumbo: 0 degrees, else grads
  int m_contextMenu = 1;                // Menu
  int m_port = -1;                      // Puerto: COM port number, -1 not configured
  int m_baudIndex = -1;                 // Baudios: BaudIndex, -1 not configured
  int m_useVirtualPort = 0;             // Vsp
  int m_stringCoord = 0;                // StringCoord: GridReferenceKind
  int m_gpsEnabled = 1;                 // GPS
  int m_commEventReader = 0;            // Edm
  int m_offsetDistance = 10;            // Offsetdist: metres, feet with Metrica 1 or more
  std::atomic<int> m_offsetSide{2};     // Offsetestado: 1 left, else right; 2 no offset
  int m_notifyActive = 1;               // Notificaractiva
  double m_hdopLimit = 3.0;             // FiltroHvalor (x 0.1)
  int m_hdopFilterOn = 0;               // FiltroHestado
  int m_hdopBeep = 1;                   // FiltroBeep
  int m_filterPoints = 1;               // FiltroPuntos
  int m_filterAveraging = 1;            // FiltroPro
  int m_filterWaypoints = 1;            // FiltroWpt
  int m_waypointNaming = 2;             // WptName: 0 ask, 1 default name, 2 prefix and number
  std::string m_waypointPrefix;         // WptNamePrefix
  int m_newFeatureKind = 0;             // ObjPref: 0 area, else line
  int m_soundCapture = 0;               // SoundCapture
  int m_navStyle = 0;                   // NavStyle
  int m_navSound = 1;                   // NavSound
  double m_navSoundDistance = 1.0;      // NavSoundDistance (x 0.001)
  int m_fontSize = 8;                   // Fontsize (handed to the view)

  // Document identity and opening.
  std::string m_docName;    // display name ("Untitled", string 61443, for a new one)
  std::string m_docFolder;  // folder of the document file; empty until opened or saved
  bool m_openingFile = false;
  bool m_hasFile = false;

  // User interface.
  HWND m_hwndView = nullptr;  // window that receives the document's posted messages
  bool m_uiBusy = false;
  std::atomic<bool> m_needsRedraw{true};
  std::atomic<bool> m_mapReady{true};
  void* m_pointDistanceDlg = nullptr;
  bool m_pointDistanceOpen = false;
  int m_wizardMode = 0;
  bool m_splitInProgress = false;  // an area is being divided (capture command refused)

  // Tapped points: working datum, WGS84 copies, and their map coordinates.
  GeoPoint m_tapPoint1, m_tapPoint2;
  GeoPoint m_tapPoint1Wgs84, m_tapPoint2Wgs84;
  GeoPoint m_tapUtm1, m_tapUtm2;
  // How a tapped point's map coordinates are made from it.
  enum class TapProjection : std::uint8_t {
    None,          // not kept (a drag makes them for its own moves)
    Conversion,    // the coordinate conversion of its WGS84 copy (point query, circle)
    ZoneOfPoint1,  // its working-datum position through the measuring transformation, in the
    ZoneOfPoint2,  // UTM zone of point 1's or point 2's longitude (the two-point measure)
  };
  // m_tapUtm1 (slot 1) or m_tapUtm2 (slot 2) made from its tapped point; how is kept, so that
  // new settings make them again (again: so made, leaving the fix's grid-reference text and
  // zone alone).
  void ProjectTappedPoint(int slot, TapProjection how, bool again = false);
  // After the options were applied: the tapped points' working-datum positions (when the datum
  // changed) and their map coordinates anew from the WGS84 copies under the settings now in
  // force, so that nothing measured between them is of older settings.
  void RederiveTappedPoints(bool datumChanged);
  TapProjection m_tapUtm1Made = TapProjection::None, m_tapUtm2Made = TapProjection::None;

 private:
  void ExportTracks(bool plt);  // exports block: PLT or TRK, one file per feature
  void ChooseLanguage(int index);
  // Shared by the options paths: offset distance in map units from Offsetdist and Metrica.
  void UpdateOffsetMetres();
  // The calling thread's own transformation set, rebuilt when the settings changed (the fix
  // intake and the area worker; a set is used and destroyed only by the thread that built it).
  TransformSet& ThreadTransforms();
  bool ConvertWith(TransformSet& set, double lon, double lat, double& easting,
                   double& northing, std::string* gridText, int* zoneUsed = nullptr);
  void ShowFatalDataFileMessage(const std::string& text);
  LRESULT OnAreaDone(WPARAM, LPARAM);
  // A data file missing before the main window exists: the exit command once the loop runs,
  // unless unsaved work exists by then.
  LRESULT OnDeferredExit(WPARAM, LPARAM);
  // The exit command after a data file the program cannot do without was missing (exit code 1).
  void ExitForMissingDataFile();
  LRESULT OnFirstFixWaitDone(WPARAM, LPARAM);
  // The reader of switch-on number wParam lost its receiver: the switch-off is finished here.
  LRESULT OnGpsLost(WPARAM, LPARAM);
  // The end of every switch-off: the fix state cleared, the view told, the walk's offset
  // track dropped.
  void ClearGpsState();
  unsigned m_gpsGeneration = 0;  // switch-ons so far (user-interface thread)
  // The offset of the walker's fix (WGS84) taken into the history P0..P2: false until three
  // fixes are known or while the walker stands still; else the offset point in WGS84. The
  // three are laid out in P0's plane (PlaneFor).
  bool OffsetPoint(const GeoPoint& walkerWgs84, GeoPoint& offsetWgs84);
  // Datum and map coordinates of a WGS84 fix with the calling thread's transformations;
  // false (map unchanged) while they are not ready.
  bool ConvertFix(double lon, double lat, double& datumLon, double& datumLat, double& mapX,
                  double& mapY, std::string& gridText, int* zone = nullptr);
  // The calling thread's transformations: the user-interface thread's set, or the thread's own.
  TransformSet& OwnTransforms();
  void PlayCaptureSound();
 public:
  // Ends a first-fix wait under way, whatever boxes are open: its thread stopped, the wait
  // cursor down, and its report (posted or to come) dropped, so nothing starts or is said
  // afterwards. Whenever the measurement is left (the wizard's next step, a new document,
  // the program's end).
  void StopFirstFixWait();
  bool FirstFixWaitRunning() const { return m_firstFixWaitCursor != nullptr; }

 private:

  mutable std::mutex m_fixLock;       // the fix members are written together under it
  std::mutex m_intakeLock;            // one feeding thread at a time; guards m_offsetHistory
  mutable std::mutex m_settingsLock;  // guards m_coordSettings and m_gridRefText
  CoordSettings m_coordSettings;
  std::uint64_t m_coordGeneration = 0;  // under m_settingsLock; unique in the process
  std::string m_gridRefText;     // of the last point converted
  std::string m_fixGridRefText;  // of the fix
  std::unique_ptr<AreaWorker> m_areaWorker;
  // What the content held when it was last read, written or made new (ContentDigest).
  std::uint64_t m_savedDigest = 0;
  std::uint64_t ContentDigest() const;
  std::uint64_t m_featureEpoch = 0;  // changes when the feature list is replaced
  HWND m_docWindow = nullptr;  // the document's own message target (area results)
  HANDLE m_firstFixThread = nullptr;
  std::atomic<bool> m_stopFirstFixWait{false};
  WPARAM m_firstFixWaitNumber = 0;  // the wait under way, or the last one; its report names it
  // Up from the start of a first-fix wait until its end is handled: the user sees the wait.
  std::unique_ptr<platform::WaitCursor> m_firstFixWaitCursor;

  DECLARE_MESSAGE_MAP()

  // --- gps (document/doc_gps.cpp) ---
 public:
  // Switching GPS reading on and off; user-interface thread. The reader thread feeds m_nmea
  // (the fix intake then runs on it); with m_useVirtualPort the receiver is shared through
  // the virtual port and the reader reads "COM0:" behind the bridge.
  void OnGpsOnOff();  // command 32804
  // On when m_gpsOn is clear, else off. Switching off returns within about a second even
  // with a silent receiver or a failed bridge; it then clears the fix state.
  void ToggleGps();
  // Writes the virtual port driver's registry entry (HKEY_LOCAL_MACHINE\Drivers\VirtualComPort).
  void SetupVirtualComPort();
  // A switch-on or switch-off is in progress: set by the user-interface thread, cleared by
  // the reader (port set up or failed), the bridge (failed) or the end of the switch-off.
  std::atomic<bool> m_gpsBusy{false};
  // The bridge forwards the receiver's bytes (bridge thread writes, both threads clear).
  std::atomic<bool> m_virtualPortRunning{false};
  // The reader and bridge threads with their events (GpsStopEvent, GpsThread,
  // m_virtualPortReady, m_virtualPortDone). The destructor shuts it down first, so no
  // thread outlives anything it uses.
  GpsLink m_gpsLink;
  // --- end gps ---

  // --- split (view/view_split.cpp) ---
 public:
  // 0 when dividing an area switched the view's vertex-number layer on, so that closing the
  // divide dialog switches it off again; 1 when the layer was on already (user-interface
  // thread).
  std::uint8_t m_restoreNumbersLayer = 1;
  // --- end split ---
};

// The one document (set by its constructor); nullptr when none exists.
CTolvanixDoc* TheDocument();

// Sets the document's hold flag for its lifetime, so that no fix is taken into the lists
// while a long operation reads or writes them; cleared on every way out.
class HoldPosition {
 public:
  explicit HoldPosition(CTolvanixDoc& doc) : doc_(doc) { doc_.m_holdPosition = true; }
  ~HoldPosition() { doc_.m_holdPosition = false; }
  HoldPosition(const HoldPosition&) = delete;
  HoldPosition& operator=(const HoldPosition&) = delete;

 private:
  CTolvanixDoc& doc_;
};
