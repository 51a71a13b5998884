// A recorded walk round a known field (tools/walk_gen) replayed through the document's parser
// on this thread, with automatic capture by distance: the measured area and perimeter match
// the field's.
#include <fstream>
#include <sstream>

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

}  // namespace
