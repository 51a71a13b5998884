// The option values as the options sheet's pages hand them back to the document
// (CTolvanixDoc::ApplyOptionValues), and the stored form of the document's options.
//
// The options live in section "Opciones" of the options store. Fractional values are stored
// as integers scaled by 10 ("AP", "FiltroHvalor") or 1000 ("NavSoundDistance").
#pragma once

#include <cstdint>
#include <string>

#include "coords/datum_record.h"
#include "coords/projection_record.h"
#include "document/tolvanix_doc.h"

inline constexpr const char* kOptionsSection = "Opciones";

struct CTolvanixDoc::OptionValues {
  DatumRecord datum;  // datum.index is "Datum"
  ProjectionRecord projection;
  int coord = 0;
  int geoType = 2;
  int metrica = 0;
  int feet = 0;
  double autoCaptureDistance = 10.0;
  int wizardOnStart = 0;
  int autoZone = 1;
  int zone = 31;
  int bearingUnit = 0;
  int contextMenu = 1;
  int port = -1;
  int baudIndex = -1;
  int useVirtualPort = 0;
  int stringCoord = 0;
  int gpsEnabled = 1;
  int commEventReader = 0;
  int offsetDistance = 10;
  int offsetSide = 2;
  int notifyActive = 1;
  double hdopLimit = 3.0;
  int hdopFilterOn = 0;
  int hdopBeep = 1;
  int filterPoints = 1;
  int filterAveraging = 1;
  int filterWaypoints = 1;
  int waypointNaming = 2;
  std::string waypointPrefix;
  int newFeatureKind = 0;
  int soundCapture = 0;
  int navStyle = 0;
  int navSound = 1;
  double navSoundDistance = 1.0;
  int fontSize = 8;
};

// A scaled option as stored: value x inverseFactor truncated toward zero, except that a value
// that came from a stored integer (within rounding noise of it) is written back as that
// integer, so loading and saving never drifts (2.9 stored as 29 stays 29; 2.55 gives 25).
std::int32_t ScaledOptionToStored(double value, double inverseFactor);
