#pragma once
// The rules of the datum page (CPageDatum, template 143) without its window: how a datum maps
// onto the page's nine edits, which edits the user may type in, what the page says when the
// shipped datum files are missing or a datum cannot be read, and the check of a typed user
// datum. The page keeps the shipped list in memory (DatumCatalogue) instead of an open file.

#include <array>
#include <string>

#include "coords/datum_files.h"

// The edits 1028-1036 in order: a, b (metres), dX, dY, dZ (metres), RX, RY, RZ (arc-seconds),
// S (parts per million).
inline constexpr int kDatumPageFirstEdit = 1028;
inline constexpr int kDatumPageValueCount = 9;
using DatumPageValues = std::array<double, kDatumPageValueCount>;

DatumPageValues ToDatumPageValues(const DatumRecord& datum);
// Writes the nine values into the record; index and ellipsoid code are left alone.
void FromDatumPageValues(const DatumPageValues& values, DatumRecord& datum);

// Only the user datum (index 271) is typed by hand; every other choice is shown read-only.
bool DatumPageEditable(int index);

// The message when the page cannot open its datum files: string 59168 ("Fatal Error: The
// resource file was not found") and which file is missing. The page is then not shown; the
// program goes on.
std::string DatumPageOpenFailureText(DatumFileStatus status);

// The message after choosing a datum that could not be read ("" when there is nothing to say:
// a missing user datum file just keeps the values shown, as the user is about to type one).
std::string DatumChoiceMessage(const DatumPageChoice& choice, int index);

// The check when the user leaves the page or presses OK: a typed user datum must describe a
// flattened ellipsoid (finite numbers, 0 < b < a), or it could not be used nor saved. "" when
// fine or when the datum is not typed by hand.
std::string TypedDatumProblem(int index, const DatumRecord& datum);
