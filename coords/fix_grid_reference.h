#pragma once
// The grid-reference text shown for a fix (option "StringCoord", GridReferenceKind), with
// precision 5; "Error" when the British National Grid refuses the position.

#include <string>

#include "coords/transform_set.h"

// wgsLon, wgsLat: the fix in WGS84 degrees. zone, north, easting, northing: the fix in UTM on
// the chosen datum as the set's display transformation gave it (for MGRS). The set's own
// WGS84-to-datum transformation gives the position in the working datum for the others.
std::string FixGridReference(TransformSet& set, int kind, double wgsLon, double wgsLat, int zone,
                             bool north, double easting, double northing);
