#pragma once
// Texts of an angle in degrees (a longitude or latitude, any datum) as whole degrees and
// decimal minutes, or as whole degrees, whole minutes and decimal seconds: the position panel,
// the tapped points, the waypoint table and the waypoint properties all write them here.
//
// The angle is rounded once, to the last decimal shown, before it is split, so that seconds
// (or minutes) that round up to 60 carry into the minutes (or degrees): 40.4 degrees is
// 40 24' 0.0", never 40 23' 60.0". Degrees are zero-padded
// to a width that counts the sign ("%03d" prints -3 as "-03"), minutes and seconds are written
// without sign; a value that rounds to zero has no sign, any other negative value keeps it on
// the degrees, also between -1 and 0 ("-00 30.0000" for -0.5). Numbers are in the C locale.
// A value that is not a number gives the C library's text for it ("nan", "-inf").

#include <string>

struct AngleTextStyle {
  int degreeWidth = 2;     // characters of the degrees, the sign included
  int decimals = 1;        // of the minutes (degrees and minutes) or of the seconds, 0 to 6
  // Written after the degrees, the minutes and the seconds (UTF-8).
  const char* degreeMark = "";
  const char* minuteMark = "";
  const char* secondMark = "";
};

// "dd<deg> m.mmmm<min>": the minutes are not zero-padded ("002 7.5000").
std::string DegreesMinutesText(double degrees, const AngleTextStyle& style);
// "dd<deg> mm<min> s.s<sec>": whole minutes in two digits, seconds not zero-padded.
std::string DegreesMinutesSecondsText(double degrees, const AngleTextStyle& style);
