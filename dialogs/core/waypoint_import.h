// The points of an ESRI Shapefile for the waypoint table's import: position as stored (x, y
// in the file's system), Z (metres, 0 without) and the name from the DBF text field "NAME",
// else "PROBENUMME" (empty without either).
#pragma once

#include <string>
#include <vector>

struct ShapefilePoint {
  double x = 0.0, y = 0.0, z = 0.0;
  std::string name;  // UTF-8
};

enum class PointImportStatus { Ok, OpenFailed, NotPoints };

struct PointImportResult {
  PointImportStatus status = PointImportStatus::OpenFailed;
  std::vector<ShapefilePoint> points;  // in file order; null shapes are left out
  // A .dbf is there but damaged or unreadable: it was left unread and the points are unnamed.
  bool tableRefused = false;
};

// Only POINT (1) and POINTZ (11) files are read; any other shape type gives NotPoints.
PointImportResult ReadShapefilePoints(const std::string& path);

// Centimetres of a Z value, to the nearest; 0 for values a 32-bit count cannot hold.
int AltitudeCentimetres(double metres);
