// Texts of the info panels and the status pane, and the frame's bar rules, headless.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <limits>
#include <string_view>

#include "view/core/info_format.h"
#include "view/core/info_frame.h"
#include "platform/modules.h"
#include "view/core/info_panels.h"

extern "C" const TvxResourceBlob* tvx_program_resources();

namespace {

// Texts from the string table come from the program's own (Spanish) table here.
struct ProgramStrings : ::testing::Environment {
  void SetUp() override { platform::SetProgramResources(tvx_program_resources()); }
};
const auto* const g_programStrings = ::testing::AddGlobalTestEnvironment(new ProgramStrings);

std::string Printf(const char* format, double value) {
  char text[128];
  std::snprintf(text, sizeof text, format, value);
  return text;
}
std::string Printf(const char* format, long long value) {
  char text[128];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// The C library in the C locale is the reference for every conversion with its own value kind.
TEST(FormatText, NumbersPrintAsTheCLibraryPrintsThemWhateverTheLocale) {
  const char* const doubleFormats[] = {"%.2f", "%.1f", "%.7f", "%.4f", "%f", "%8.2f", "%-8.1f|",
                                       "%08.3f", "%+.1f", "%.0f", "%e", "%.3e", "%g", "%.10g",
                                       "%E", "%+.2E", "%G", "%.3G", "%F"};
  const double values[] = {0.0, -0.0, 0.005, 1.005, -3.25, 123456.789, 2.1222105, -0.04,
                           41.38, 1e-7, 99.95, 4474000.049999, 1.0 / 3.0};
  const char* const intFormats[] = {"%d",  "%03d", "%02d",  "%5d",  "%-4d|", "%+d",  "%x",
                                    "%X",  "%.3d", "%06.3d", "%.0d", "%+x",  "% X", "%08.2x"};
  const long long ints[] = {0, 3, -3, 7, -100, 12345, 255};
  std::setlocale(LC_ALL, "C");
  std::vector<std::string> expected;
  for (const char* f : doubleFormats)
    for (double v : values) expected.push_back(Printf(f, v));
  for (const char* f : intFormats)
    for (long long v : ints) expected.push_back(Printf(f, v));
  // A comma locale, when installed, must change nothing.
  const bool comma = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "fr_FR.UTF-8");
  size_t n = 0;
  for (const char* f : doubleFormats)
    for (double v : values) EXPECT_EQ(FormatText(f, {v}), expected[n++]) << f << " " << v << comma;
  for (const char* f : intFormats)
    for (long long v : ints) {
      const char conversion = std::string_view(f).back();
      if (v < 0 && (conversion == 'x' || conversion == 'X')) { ++n; continue; }
      EXPECT_EQ(FormatText(f, {std::int64_t{v}}), expected[n++]) << f << " " << v;
    }
  std::setlocale(LC_ALL, "C");
}

TEST(FormatText, TranslatedTextsWithOtherConversionsNeverMisreadAValue) {
  struct Case {
    const char* format;
    std::string expected;
  } cases[] = {
      {"Estado: %s\nSatélites %d\nHDOP = %.1f", "Estado: Conectado\nSatélites 7\nHDOP = 1.3"},
      {"%d m", "12 m"},                  // a double through %d: truncated
      {"%s|%s", "12.75|"},               // a double through %s; a missing value prints nothing
      {"100%% %.1f", "100% 12.8"},
      {"%5s|%-5s|", "   ab|ab   |"},
      {"tail %", "tail %"},              // an unfinished conversion stays as written
      {"%ld %lf", "12 12.750000"},
      {"%y %d", "%y 12"},
  };
  EXPECT_EQ(FormatText(cases[0].format, {std::string("Conectado"), std::int64_t{7}, 1.25}),
            "Estado: Conectado\nSatélites 7\nHDOP = 1.2");  // round half to even, as printf
  EXPECT_EQ(FormatText(cases[1].format, {12.75}), cases[1].expected);
  EXPECT_EQ(FormatText(cases[2].format, {12.75}), cases[2].expected);
  EXPECT_EQ(FormatText(cases[3].format, {12.75}), cases[3].expected);
  EXPECT_EQ(FormatText(cases[4].format, {std::string("ab"), std::string("ab")}), cases[4].expected);
  EXPECT_EQ(FormatText(cases[5].format, {1.0}), cases[5].expected);
  EXPECT_EQ(FormatText(cases[6].format, {std::int64_t{12}, 12.75}), cases[6].expected);
  EXPECT_EQ(FormatText(cases[7].format, {12.0}), cases[7].expected);
  // A value no integer holds, given to "%d", prints 0 rather than an undefined conversion.
  EXPECT_EQ(FormatText("%d|%d", {1e300, std::numeric_limits<double>::quiet_NaN()}), "0|0");
}

TEST(PositionPanel, EveryCoordinateModeGivesItsWorkedOutText) {
  PositionPanelInput geo;
  geo.datumLon = -3.7575;  // 3° 45' 27" W
  geo.datumLat = 40.4169;  // 40° 25' 0.84" N
  struct Case {
    int stringCoord, coord, geoType, linearUnit;
    std::string expected;
  } cases[] = {
      {0, 0, 0, 0, " Lon -3.7575000°\n Lat 40.4169000°"},
      {0, 0, 1, 0, " Lon -03° 45.4500'\n Lat  40° 25.0140'"},
      {0, 0, 2, 0, " Lon -03° 45' 27.0\"\n Lat  40° 25' 0.8\""},
      {0, 0, 3, 0, ""},                            // unknown GeoType: empty panel
      {0, 1, 0, 0, " E 440123.4 m 30 T\n N 4474321.9 m"},
      {0, 2, 0, 0, " X 440123.4 m\n Y 4474321.9 m"},
      {0, 2, 0, 1, " X 440123.4 ft\n Y 4474321.9 ft"},
      {0, 2, 0, 2, " X 440123.4 ftUS\n Y 4474321.9 ftUS"},
      {0, 3, 0, 0, ""},
      {1, 1, 0, 0, " Maidenhead\n REF"},             // a grid reference wins over Coord
      {2, 0, 2, 0, " MGRS\n REF"},
      {3, 2, 0, 0, " BNG\n REF"},
      {4, 0, 0, 0, " GEOREF\n REF"},
      {5, 0, 0, 0, ""},
  };
  for (const Case& c : cases) {
    PositionPanelInput in = geo;
    in.stringCoord = c.stringCoord;
    in.coord = c.coord;
    in.geoType = c.geoType;
    in.linearUnit = c.linearUnit;
    in.gridRefText = "REF";
    in.mapX = 440123.44;
    in.mapY = 4474321.94;
    in.zone = 30;
    in.band = "T";
    EXPECT_EQ(PositionPanelText(in), c.expected)
        << c.stringCoord << " " << c.coord << " " << c.geoType << " " << c.linearUnit;
  }
}

// West of Greenwich and south of the equator the signs stay with the degrees and the minutes
// and seconds are those of the magnitude; between 0 and -1 degree the sign is kept too.
TEST(PositionPanel, NegativeAnglesKeepTheirSignAndTheirSeconds) {
  PositionPanelInput in;
  in.geoType = 2;
  in.datumLon = -(70 + 15.0 / 60 + 30.0 / 3600);  // 70° 15' 30" W
  in.datumLat = -(0 + 30.0 / 60 + 15.5 / 3600);   // 0° 30' 15.5" S
  EXPECT_EQ(PositionPanelText(in), " Lon -70° 15' 30.0\"\n Lat  -0° 30' 15.5\"");
  in.geoType = 1;
  in.datumLon = -3.5;
  in.datumLat = -0.25;
  EXPECT_EQ(PositionPanelText(in), " Lon -03° 30.0000'\n Lat  -0° 15.0000'");
  in.datumLon = 123.5;
  in.datumLat = 5.5;
  EXPECT_EQ(PositionPanelText(in), " Lon 123° 30.0000'\n Lat  05° 30.0000'");
  // Rounded seconds and minutes carry: 40.4 degrees is 40° 24', never 40° 23' 60.0".
  in.geoType = 2;
  in.datumLon = -3.7;
  in.datumLat = 40.4;
  EXPECT_EQ(PositionPanelText(in), " Lon -03° 42' 0.0\"\n Lat  40° 24' 0.0\"");
  in.datumLon = -(179 + 59.0 / 60 + 59.97 / 3600);
  in.datumLat = -(89 + 59.99997 / 60);
  EXPECT_EQ(PositionPanelText(in), " Lon -180° 00' 0.0\"\n Lat  -90° 00' 0.0\"");
  in.geoType = 1;
  EXPECT_EQ(PositionPanelText(in), " Lon -179° 59.9995'\n Lat  -90° 0.0000'");
}

TEST(OtherPanels, AltitudeLengthAreaAndFixQualityTexts) {
  // The program's own table: metres/feet and degrees/grads.
  EXPECT_EQ(AltitudePanelText(0, 0, 12345, 90.0), " Altitud 123.45 m\n Acimut 90.00°");
  EXPECT_EQ(AltitudePanelText(0, 1, -250, 90.0), " Altitud -2.50 m\n Acimut 100.00 g");
  EXPECT_EQ(AltitudePanelText(1, 0, 30480, 359.994), " Altitud 1000.0 ft\n Acimut 359.99°");
  EXPECT_EQ(AltitudePanelText(1, 1, 30480, 180.0), " Altitud 1000.0 ft\n Acimut 200.00 g");
  // US survey feet: 1200/3937 m each; 1000 m are 3280.8 of them (3280.8 international too).
  EXPECT_EQ(AltitudePanelText(2, 0, 1219202, 0.0), " Altitud 40000.0 ft\n Acimut 0.00°");

  EXPECT_EQ(LengthPanelText("12.5 m", "340.1 m *"), "12.5 m | 340.1 m *");

  EXPECT_EQ(AreaPanelText(FeatureType::Area, "1.25 ha", 4), " Área 1.25 ha");
  EXPECT_EQ(AreaPanelText(FeatureType::Circle, "3.14 m2", 0), " Área 3.14 m2");
  EXPECT_EQ(AreaPanelText(FeatureType::Part, "2 ha *", 9), " Área 2 ha *");
  EXPECT_EQ(AreaPanelText(FeatureType::Line, "1 ha", 17), " Puntos 17");
  EXPECT_EQ(AreaPanelText(FeatureType::CircleLine, "1 ha", 0), " Puntos 0");

  const char* const expected[] = {"Sin cobertura", "GPS Fix 3D", "DGPS Fix",   "PPS Fix",
                                  "RTK Fixed",     "RTK Float",  "Estimated", "GPS Manual",
                                  "GPS Sim",       "Sin cobertura", "Sin cobertura"};
  for (int q = 0; q <= 10; ++q) EXPECT_EQ(FixQualityText(true, q), expected[q]) << q;
  EXPECT_EQ(FixQualityText(true, 255), "Sin cobertura");
  EXPECT_EQ(FixQualityText(false, 1), "Desconectado");
}

TEST(FrameRules, DpiScalingRulerItemsAndPaneWidths) {
  EXPECT_EQ(DpiScaled(96, 26), 26);
  EXPECT_EQ(DpiScaled(192, 26), 52);
  EXPECT_EQ(DpiScaled(131, 15), 20);  // 20.47 -> 20
  EXPECT_EQ(DpiScaled(128, 50), 67);  // 66.67 -> 67
  EXPECT_EQ(DpiScaled(144, 1), 2);    // 1.5 rounds up: (144 + 48) / 96

  ASSERT_EQ(RulerComboItems().size(), 8u);
  EXPECT_EQ(RulerComboItems()[0], "Auto");
  EXPECT_EQ(RulerComboItems()[1], "OFF");
  EXPECT_EQ(RulerComboItems()[4], " 25");
  EXPECT_EQ(RulerComboItems()[7], "  1");
  const int steps[] = {-1, 0, 100, 50, 25, 10, 5, 1};
  for (int item = 0; item < 8; ++item) {
    RulerChoice choice = RulerChoiceForItem(item);
    EXPECT_EQ(choice.show, item != 1) << item;
    if (item == 1) EXPECT_FALSE(choice.step.has_value());
    else EXPECT_EQ(choice.step, steps[item]) << item;
  }
  EXPECT_FALSE(RulerChoiceForItem(8).show);
  EXPECT_FALSE(RulerChoiceForItem(-1).show);
  EXPECT_EQ(InitialRulerItem(0), 1);
  EXPECT_EQ(InitialRulerItem(1), 0);

  EXPECT_EQ(StatusPaneWidthsFor(false, 192).satellites, 40);
  EXPECT_EQ(StatusPaneWidthsFor(false, 192).autoCapture, 13);
  EXPECT_EQ(StatusPaneWidthsFor(true, 192).satellites, 80);
  EXPECT_EQ(StatusPaneWidthsFor(true, 192).autoCapture, 30);  // 15 scaled, not 13
}

}  // namespace
