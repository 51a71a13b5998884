// The feature dialogs' rules without windows: point labels, type changes, rows written back
// into features, parts of a feature and the order of deletions.
#include <gtest/gtest.h>

#include "dialogs/core/feature_rules.h"

namespace {

using namespace feature_rules;

FeatureRecord WithPoints(int count, std::vector<std::string> notes = {}) {
  FeatureRecord feature(FeatureType::Area, "f");
  for (int i = 0; i < count; ++i) {
    feature.AddVertex({1.0 * i, 2.0}, {1.0 * i, 2.0}, 0,
                      i < static_cast<int>(notes.size()) ? notes[i] : std::string());
  }
  return feature;
}

TEST(FeatureRules, PointLabelsCarryTheirNotesPerList) {
  FeatureRecord feature = WithPoints(3, {"", "abc", ""});
  EXPECT_EQ(PointLabels("Punto %d", feature, LabelStyle::WithNote, false),
            (std::vector<std::string>{"Punto 1", "Punto 2 (abc)", "Punto 3"}));
  EXPECT_EQ(PointLabels("Punto %d", feature, LabelStyle::Starred, false)[1], "Punto 2 *");
  EXPECT_EQ(PointLabels("Punto %d", feature, LabelStyle::WithNote, true).size(), 2u);
  EXPECT_TRUE(PointLabels("P %d", WithPoints(1), LabelStyle::WithNote, true).empty());
  EXPECT_TRUE(PointLabels("P %d", WithPoints(0), LabelStyle::WithNote, false).empty());
  // A language text without a field, or with a surplus one, still gives a label.
  EXPECT_EQ(FormatText("Point", {"3"}), "Point");
  EXPECT_EQ(FormatText("%s: %s (100%%)", {"a"}), "a:  (100%)");
}

TEST(FeatureRules, TypeChoicesFollowTheCircleAndPartRules) {
  struct Case {
    FeatureType old;
    const char* chosen;
    FeatureType type;
    int pattern;
  };
  for (Case c : {Case{FeatureType::Circle, "Línea", FeatureType::CircleLine, 6},
                 Case{FeatureType::CircleLine, "AREA", FeatureType::Circle, 0},
                 Case{FeatureType::Part, "Area", FeatureType::Area, 0},
                 Case{FeatureType::Area, "Line", FeatureType::Line, 6},
                 Case{FeatureType::Line, "area", FeatureType::Area, 0}}) {
    TypeChange change = ChangeType(c.old, c.chosen, "Area");
    EXPECT_EQ(change.type, c.type) << c.chosen;
    EXPECT_EQ(change.pattern, c.pattern) << c.chosen;
  }
  EXPECT_EQ(TypeTextIndex(FeatureType::Part), 0);
  EXPECT_EQ(TypeTextIndex(FeatureType::CircleLine), 1);
}

TEST(FeatureRules, RowsGoBackIntoFeaturesWithNamesCutAndCirclesKeepingTheirLock) {
  FeatureRecord circle(FeatureType::Circle, "c");
  circle.editable = 1;
  RowValues row;
  row.name = std::string(28, 'a') + "ñéx";  // 31 characters, 33 bytes
  row.colour = 0x00FF00;
  row.pattern = 3;
  row.visible = false;
  row.editable = false;
  row.subtract = true;
  StoreRow(circle, row, false);
  EXPECT_EQ(circle.name, std::string(28, 'a') + "ñé");
  EXPECT_EQ(circle.editable, 1);
  EXPECT_EQ(circle.visible, 0);
  EXPECT_EQ(circle.pattern, 3);
  FeatureRecord part(FeatureType::Part, "p");
  part.subtract = 0;
  StoreRow(part, row, true);
  EXPECT_EQ(part.editable, 0);
  EXPECT_EQ(part.subtract, 1);
}

TEST(FeatureRules, PartsAndDeletionOrder) {
  std::vector<FeatureRecord> features;
  features.emplace_back(FeatureType::Area, "a");
  features.emplace_back(FeatureType::Part, "p1");
  features.emplace_back(FeatureType::Area, "b");
  features.emplace_back(FeatureType::Part, "p2");
  features[1].link = 0;
  features[3].link = 2;
  EXPECT_EQ(LinkedParts(features, 0), (std::vector<int>{1}));
  EXPECT_EQ(LinkedParts(features, 2), (std::vector<int>{3}));
  EXPECT_TRUE(LinkedParts(features, 1).empty());
  EXPECT_EQ(FeaturesToDelete({3, 1, 3, 0}), (std::vector<int>{2, 0}));
}

}  // namespace
