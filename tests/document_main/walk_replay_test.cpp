// A recorded walk round a known field (tools/walk_gen) replayed through the document's parser
// on this thread, with automatic capture by distance: the measured area and perimeter match
// the field's.
#include <fstream>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "doc_test_env.h"

namespace {

class WalkReplayTest : public DocTest {};

struct Walk {
  const char* file;
  double area;       // m², the field walked round
  double perimeter;  // m
  bool hdopFilter;
};

TEST_F(WalkReplayTest, AutomaticCaptureMeasuresTheField) {
  // The walks' positions wander by about a metre (correlated noise): 3 % of the area and 2 %
  // of the perimeter cover it and the corners cut by capturing every 5 m.
  for (const Walk w : {Walk{"field_100x60", 6000.0, 320.0, false},
                       Walk{"field_rotated", 9600.0, 400.0, false},
                       Walk{"field_spikes", 6000.0, 320.0, true}}) {
    SCOPED_TRACE(w.file);
    std::ifstream in(std::string(TVX_BINARY_DIR) + "/testdata/walks/" + w.file + ".nmea",
                     std::ios::binary);
    ASSERT_TRUE(in) << "the walks are written by the tvx_walks target";
    std::stringstream bytes;
    bytes << in.rdbuf();

    Store("AP", 50);  // 5 m
    Store("FiltroHestado", w.hdopFilter ? 1 : 0);
    CTolvanixDoc& doc = MakeDoc();
    doc.m_replayingNmea = true;
    doc.m_captureFirstFix = true;
    const std::string text = bytes.str();
    for (std::size_t at = 0; at < text.size(); at += 64)  // in pieces, as a reader reads
      doc.FeedNmea(reinterpret_cast<const std::uint8_t*>(text.data()) + at,
                   std::min<std::size_t>(64, text.size() - at));
    doc.m_replayingNmea = false;
    doc.RecomputeAreasAndWait(-1);

    const FeatureRecord& field = doc.m_features[0];
    EXPECT_GT(field.VertexCount(), 40u);
    EXPECT_NEAR(field.area, w.area, 0.03 * w.area);
    EXPECT_NEAR(field.perimeter, w.perimeter, 0.02 * w.perimeter);
  }
}

// The same walks recorded from receivers that send the talker GN, or the combined solution
// of several constellations in NMEA 4.10 (tools/walk_gen --format), opened as a user opens a
// log: the same vertices and measures as the GPS-only recording, and the satellites of every
// constellation counted.
class MultiConstellationReplay : public WalkReplayTest {
 protected:
  CTolvanixDoc& Open(const std::string& walk) {
    CTolvanixDoc& doc = MakeDoc();
    const std::string path = std::string(TVX_BINARY_DIR) + "/testdata/walks/" + walk + ".nmea";
    EXPECT_TRUE(doc.OnOpenDocument(path)) << path;
    doc.RecomputeAreasAndWait(-1);
    return doc;
  }
};

TEST_F(MultiConstellationReplay, MeasuresAsTheGpsOnlyRecording) {
  struct Forms {
    const char* gps;
    std::vector<const char*> others;
    bool hdopFilter;
  };
  for (const Forms& forms : {Forms{"field_100x60", {"field_100x60_gn", "field_100x60_mixed"}, false},
                             Forms{"field_spikes", {"field_spikes_mixed"}, true}}) {
    Store("AP", 50);  // 5 m
    Store("FiltroHestado", forms.hdopFilter ? 1 : 0);
    const FeatureRecord gps = Open(forms.gps).m_features[0];
    ASSERT_GT(gps.VertexCount(), 40u) << forms.gps;
    for (const char* other : forms.others) {
      SCOPED_TRACE(other);
      CTolvanixDoc& doc = Open(other);
      ASSERT_EQ(doc.m_features.size(), 1u);
      const FeatureRecord& field = doc.m_features[0];
      EXPECT_EQ(field.wgs84Vertices, gps.wgs84Vertices);
      EXPECT_EQ(field.altitudesCm, gps.altitudesCm);
      EXPECT_DOUBLE_EQ(field.area, gps.area);
      EXPECT_DOUBLE_EQ(field.perimeter, gps.perimeter);
      EXPECT_TRUE(doc.m_hasFix);
    }
  }
}

TEST_F(MultiConstellationReplay, CountsTheSatellitesOfEveryConstellation) {
  struct Count {
    const char* walk;
    int inView;
    int glonassUsed;
  };
  for (const Count c : {Count{"field_100x60_gn", 12, 0}, Count{"field_100x60_mixed", 12 + 7 + 6, 4}}) {
    SCOPED_TRACE(c.walk);
    CTolvanixDoc& doc = Open(c.walk);
    const NmeaState s = doc.m_nmea.Snapshot();
    // The receiver's own count of the satellites it uses (GGA) is the union of its GSA lists.
    EXPECT_GT(s.gga.satellites, c.glonassUsed);
    EXPECT_EQ(s.gsa.usedCount, s.gga.satellites);
    EXPECT_EQ(doc.m_satellites, s.gga.satellites);
    EXPECT_EQ(s.gsv.satellitesInView, c.inView);
    int listed = 0, used = 0, glonass = 0, galileo = 0;
    std::set<std::pair<int, int>> distinct;
    for (const GpsSatellite& sat : s.gsv.satellite) {
      if (sat.prn == 0) continue;
      ++listed;
      used += sat.usedInFix;
      distinct.insert({sat.system, sat.prn});
      if (sat.system == NMEA_SYSTEM_GLONASS) glonass += sat.usedInFix;
      if (sat.system == NMEA_SYSTEM_GALILEO) galileo += sat.usedInFix;
    }
    EXPECT_EQ(listed, c.inView);
    EXPECT_EQ(static_cast<int>(distinct.size()), c.inView);
    EXPECT_EQ(used, s.gga.satellites);
    EXPECT_EQ(glonass, c.glonassUsed);
    EXPECT_EQ(galileo, 0) << "Galileo 2, 5 and 7 are not the GPS satellites in use";
  }
}

}  // namespace
