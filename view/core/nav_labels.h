// Texts of targets and points built from the language module's formats.
//
// Translated formats come from the string table and may hold anything; they are never handed
// to printf. Only their first "%d" or "%s" is filled; "%%" stands for "%".
#pragma once

#include <string>

// format with its first %d or %s replaced by value.
std::string FillFormat(const std::string& format, const std::string& value);

// A vertex as listed and as a navigation title: pointFormat ("Punto %d") with the 1-based
// number, followed by " (note)" when the note is not empty.
std::string VertexLabel(const std::string& pointFormat, int oneBasedNumber, const std::string& note);
