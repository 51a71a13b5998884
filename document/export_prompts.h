// What the export and import commands ask the user before a file is written or read: the
// coordinate system, datum and zone. The dialogs room answers with its settings dialogs
// (InstallExportDialogs); tests answer with their own. Every question returns false when the
// user cancelled.
#pragma once

#include <memory>
#include <string>
#include <vector>

// The datum combos offer "WGS84 / GRS80" (choice 0) and, while a user datum is active
// (datumIndex > 0), that datum's name (choice 1, proposed).
struct DatumQuestion {
  std::string datumName;
  int datumIndex = 0;
};

// Zone and datum (text, PLT and TRK exports). Mode 2 asks only the datum.
struct ZoneDatumQuestion : DatumQuestion {
  int zone = 1;
  int mode = 0;
};
struct ZoneDatumAnswer {
  int zone = 1;
  int datumChoice = 0;
};

// DXF: datum, zone and the choice of radio group 1142 (1 = flat, altitudes left out).
struct DxfQuestion : DatumQuestion {
  int zone = 1;
  int mode = 0;
};
struct DxfAnswer {
  int datumChoice = 0;
  int zone = 1;
  int flat = 0;
};

// Coordinate system of a Shapefile export or import.
struct CoordSystemQuestion : DatumQuestion {
  std::string projectionText;  // caption of the projected choice in mode 2
  int zone = 1;
  int mode = 0;
  bool hideHemisphere = false;
  bool lockKindCombo = false;   // combo 1231 (export kind) disabled
  bool lockCoordKind = false;   // geographic/projected choice, zone and hemisphere disabled
  int kind = 0;                 // combo 1231 proposed
  // The texts of combo 1231 and of its label when the question is not the export's
  // (empty: the template's own).
  std::vector<std::string> kindItems;
  std::string kindLabel;
};
struct CoordSystemAnswer {
  int coordKind = 0;   // 0 geographic, 1 projected (UTM)
  int zone = 1;
  int hemisphere = 0;  // 0 north, 1 south
  int datumChoice = 0;
  int kind = 0;        // combo 1231
};

class ExportPrompts {
 public:
  virtual ~ExportPrompts() = default;
  virtual bool AskZoneDatum(const ZoneDatumQuestion& question, ZoneDatumAnswer& answer) = 0;
  virtual bool AskDxf(const DxfQuestion& question, DxfAnswer& answer) = 0;
  virtual bool AskCoordSystem(const CoordSystemQuestion& question, CoordSystemAnswer& answer) = 0;
  // Index of the DBF text field chosen to name imported shapes, or -1.
  virtual int AskNameField(const std::vector<std::string>& fieldNames) = 0;
};

// The prompts the document's commands use; without any installed every question is cancelled.
void SetExportPrompts(std::unique_ptr<ExportPrompts> prompts);
ExportPrompts* GetExportPrompts();
