// Texts of targets and points built from the language module's formats.
//
// Translated formats come from the string table and may hold anything; they are never handed
// to printf. Only their first "%d" or "%s" is filled; "%%" stands for "%".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// format with its first %d or %s replaced by value.
std::string FillFormat(const std::string& format, const std::string& value);

// A vertex as listed and as a navigation title: pointFormat ("Punto %d") with the 1-based
// number, followed by " (note)" when the note is not empty.
std::string VertexLabel(const std::string& pointFormat, int oneBasedNumber, const std::string& note);

#include "document/records.h"

// A navigation target chosen by object (a feature index, or the feature count for the
// waypoints) and point (vertex or waypoint index).
struct NavChoice {
  bool isVertex = false;
  int feature = -1;  // of a vertex
  int index = -1;    // vertex or waypoint index
  // The record the target belongs to (the waypoint's key, or the feature's for a vertex) and,
  // for a vertex, the vertex's own key: what the target follows when the lists change
  // (FollowNavTarget).
  std::uint64_t key = 0;
  std::uint64_t vertexKey = 0;
  // Title: a waypoint's name ("WPT: " in front for the map overlay); a vertex's feature name,
  // a blank and VertexLabel.
  std::string title;
  double lon = 0.0, lat = 0.0;  // working datum
  std::int32_t altitudeCm = 0;
};

// nullopt when the object or the point does not exist.
std::optional<NavChoice> ChooseNavTarget(const DocumentContent& content, int object, int point,
                                         const std::string& pointFormat, bool overlayTitle);

// The target found again after the waypoints or features changed: the waypoint whose key is
// `key`, or the vertex whose key is `vertexKey` in the feature whose key is `key`, at its
// present index, position and title (a vertex's title names its present number). index, the
// target's row before, is looked at first. nullopt when that waypoint, feature or vertex is
// gone: a target is never another record found at the old row number.
std::optional<NavChoice> FollowNavTarget(const DocumentContent& content, bool isVertex,
                                         std::uint64_t key, std::uint64_t vertexKey, int index,
                                         const std::string& pointFormat, bool overlayTitle);
