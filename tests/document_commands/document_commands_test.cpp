// Document commands with the dialogs answered by a fake: vertex and feature deletion, the
// texts, the update handlers, file naming and deletion, and the wizard's save-and-new.
#include <fstream>

#include "document/document_dialogs.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "tests/document_main/doc_test_env.h"

namespace {

class FakeDialogs : public DocumentDialogs {
 public:
  std::optional<std::vector<int>> ChoosePointsToDelete(CTolvanixDoc&) override { return points; }
  WizardEndChoice WizardEnd(CTolvanixDoc&) override { return end; }
  std::optional<std::string> FeatureName(CTolvanixDoc&, const std::string& suggested) override {
    suggestedName = suggested;
    return name;
  }

  std::optional<std::vector<int>> points;
  WizardEndChoice end = WizardEndChoice::Leave;
  std::optional<std::string> name;
  std::string suggestedName;
};

class DocumentCommandsTest : public DocTest {
 protected:
  void SetUp() override {
    DocTest::SetUp();
    CTolvanixDoc::SetDocumentDialogs(&fake_);
    platform::MessageBoxScript::Clear();
    platform::FileDialogScript::Clear();
  }
  void TearDown() override {
    CTolvanixDoc::SetDocumentDialogs(nullptr);
    DocTest::TearDown();
  }

  // Features by type; parts name the index given.
  void Features(CTolvanixDoc& doc, std::initializer_list<std::pair<FeatureType, int>> list) {
    doc.DeleteAllFeatures();
    int n = 0;
    for (auto [type, link] : list) {
      FeatureRecord& f = doc.AddFeature(type, "f" + std::to_string(n++));
      f.link = link;
    }
  }
  static std::vector<std::string> Names(const CTolvanixDoc& doc) {
    std::vector<std::string> names;
    for (const FeatureRecord& f : doc.m_features) names.push_back(f.name);
    return names;
  }

  FakeDialogs fake_;
};

using FT = FeatureType;

TEST_F(DocumentCommandsTest, DeletingFeaturesKeepsPartsOnTheirParentsAndTheCurrentIndexValid) {
  CTolvanixDoc& doc = MakeDoc();
  Features(doc, {{FT::Area, 0}, {FT::Part, 0}, {FT::Part, 0}, {FT::Area, 0}, {FT::Part, 3},
                 {FT::Line, 0}});
  doc.m_current = 3;
  doc.DeleteFeature(0);  // the area and its two parts
  EXPECT_EQ(Names(doc), (std::vector<std::string>{"f3", "f4", "f5"}));
  EXPECT_EQ(doc.m_features[1].link, 0) << "the later part still names its own area";
  EXPECT_EQ(doc.m_kind52Index, std::vector<int>{1});
  EXPECT_EQ(doc.m_current, 0) << "the current feature moved down with the list";

  doc.m_current = 2;
  doc.DeleteFeature(2);  // the current one, the last
  EXPECT_EQ(doc.m_current, 1);
  doc.DeleteFeature(1);  // a part alone: its parent stays
  EXPECT_EQ(Names(doc), std::vector<std::string>{"f3"});
  doc.DeleteFeature(0);
  ASSERT_EQ(doc.m_features.size(), 1u) << "a document always holds a feature";
  EXPECT_EQ(doc.m_current, 0);
  EXPECT_EQ(doc.m_features[0].VertexCount(), 0u);
  doc.DeleteFeature(5);  // out of range: nothing
  EXPECT_EQ(doc.m_features.size(), 1u);
}

// A part that has parts of its own: deleting it leaves them as areas, and no link names a
// feature that merely took a deleted index.
TEST_F(DocumentCommandsTest, DeletingAPartWithPartsOfItsOwnLeavesNoWrongLink) {
  CTolvanixDoc& doc = MakeDoc();
  Features(doc, {{FT::Area, 0}, {FT::Part, 0}, {FT::Part, 1}, {FT::Area, 0}, {FT::Part, 3},
                 {FT::Part, 1}});
  doc.DeleteFeature(1);
  EXPECT_EQ(Names(doc), (std::vector<std::string>{"f0", "f2", "f3", "f4", "f5"}));
  for (const FeatureRecord& f : doc.m_features) {
    SCOPED_TRACE(f.name);
    if (f.name == "f2" || f.name == "f5") {
      EXPECT_EQ(f.type, FT::Area) << "its parent is gone";
    } else if (f.name == "f4") {
      EXPECT_EQ(f.type, FT::Part);
      EXPECT_EQ(doc.m_features.at(f.link).name, "f3");
    }
  }
  EXPECT_EQ(doc.m_kind52Index, std::vector<int>{3});
  // No area is lessened by a former part that now names it by accident.
  doc.m_features[1].area = 10.0;
  doc.m_features[4].area = 3.0;
  EXPECT_EQ(doc.GetAreaText(1, true), doc.GetAreaText(1, false));
}

TEST_F(DocumentCommandsTest, DeletePointsRemovesExactlyTheChosenVertices) {
  CTolvanixDoc& doc = MakeDoc();
  FeatureRecord& f = *doc.CurrentFeature();
  for (int i = 0; i < 6; ++i) f.AddVertex({double(i), 0}, {double(i), 1}, i, "n" + std::to_string(i));
  fake_.points = std::vector<int>{1, 4};  // the second and the fifth
  doc.OnDeletePoints();
  const FeatureRecord& g = doc.m_features[0];
  ASSERT_EQ(g.VertexCount(), 4u);
  EXPECT_EQ(g.vertices.size(), 4u);
  EXPECT_EQ(g.altitudesCm, (std::vector<std::int32_t>{0, 2, 3, 5}));
  EXPECT_EQ(g.vertexNotes, (std::vector<std::string>{"n0", "n2", "n3", "n5"}));
  EXPECT_TRUE(doc.IsModified());

  doc.SetModifiedFlag(FALSE);
  fake_.points = std::vector<int>{};  // an empty choice changes nothing
  doc.OnDeletePoints();
  EXPECT_FALSE(doc.IsModified());

  doc.m_features[0].editable = 0;  // a locked feature refuses, with its message
  doc.OnDeleteLastPoint();
  EXPECT_EQ(doc.m_features[0].VertexCount(), 4u);
  EXPECT_EQ(platform::MessageBoxScript::TakeShown().size(), 1u);
}

TEST_F(DocumentCommandsTest, TextsMarkOutOfDateMeasuresAndSumOnlySeveralAreas) {
  CTolvanixDoc& doc = MakeDoc();
  Features(doc, {{FT::Area, 0}, {FT::Part, 0}, {FT::Part, 0}, {FT::Line, 0}});
  doc.m_features[0].area = 1000.0;
  doc.m_features[1].area = 100.0;  // subtracts
  doc.m_features[2].area = 50.0;
  doc.m_features[2].subtract = 0;
  doc.m_features[0].length = 120.0;
  doc.m_features[0].perimeter = 130.0;
  std::string expected;
  EXPECT_EQ(doc.GetAreaText(0, true), doc.FormatArea(expected, 900.0));
  EXPECT_EQ(doc.GetAreaText(-1, false), doc.FormatArea(expected, 1000.0));
  // A vertex taken into the area since its last measurement: its own texts say so, whichever
  // feature is current, and no other feature's do.
  const GeoPoint corner{3.0, 45.0};
  doc.m_features[0].AddVertex(corner, corner, 0);
  for (int current : {0, 3}) {
    doc.m_current = current;
    EXPECT_EQ(doc.GetAreaText(0, false), doc.FormatArea(expected, 1000.0) + " *");
    EXPECT_EQ(doc.GetLengthText(0, 0), doc.FormatLength(expected, 120.0) + " *");
    EXPECT_EQ(doc.GetLengthText(1, 0), doc.FormatLength(expected, 130.0));
    EXPECT_EQ(doc.GetAreaText(2, false), doc.FormatArea(expected, 50.0));
  }
  doc.m_current = 0;

  EXPECT_EQ(doc.TotalVisibleArea(), "") << "a single visible area";
  FeatureRecord& second = doc.AddFeature(FT::Area, "b");
  second.area = 500.0;
  EXPECT_EQ(doc.TotalVisibleArea(), doc.FormatArea(expected, 1500.0));
  second.visible = 0;
  EXPECT_EQ(doc.TotalVisibleArea(), "");
}

TEST_F(DocumentCommandsTest, UpdateHandlersAndNewParts) {
  CTolvanixDoc& doc = MakeDoc();
  Features(doc, {{FT::Area, 0}, {FT::Area, 0}});
  auto enabled = [&](UINT id) {
    CCmdUI ui(id);
    EXPECT_TRUE(doc.OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui));
    return ui.enabled.value_or(false);
  };
  doc.m_current = 1;
  EXPECT_FALSE(enabled(32872));
  EXPECT_FALSE(enabled(32824));
  EXPECT_FALSE(enabled(ID_FILE_SAVE));
  fake_.name = "Hueco";
  doc.OnNewKind52();
  EXPECT_EQ(fake_.suggestedName, LoadResString(59287));
  EXPECT_EQ(doc.m_features.back().link, 1);
  EXPECT_EQ(doc.m_current, 2);
  doc.m_current = 1;
  EXPECT_TRUE(enabled(32872)) << "a part names the current feature";
  doc.m_features[0].AddVertex({1, 1}, {1, 1}, 0);
  EXPECT_TRUE(enabled(32824));
  doc.m_uiBusy = true;
  EXPECT_FALSE(enabled(32824));
  EXPECT_FALSE(enabled(32862));
  doc.m_hasFile = true;
  EXPECT_TRUE(enabled(ID_FILE_SAVE));

  // Capture commands: an open receiver with a fix, and no dialog in progress.
  struct CaptureCase { bool gpsOn, hasFix, uiBusy, expected; };
  for (UINT id : {32801u, 32803u, 32859u}) {
    for (const CaptureCase& c : {CaptureCase{false, false, false, false},
                                 CaptureCase{true, false, false, false},
                                 CaptureCase{false, true, false, false},
                                 CaptureCase{true, true, true, false},
                                 CaptureCase{true, true, false, true}}) {
      doc.m_gpsOn = c.gpsOn;
      doc.m_hasFix = c.hasFix;
      doc.m_uiBusy = c.uiBusy;
      EXPECT_EQ(enabled(id), c.expected) << id << " on " << c.gpsOn << " fix " << c.hasFix
                                         << " busy " << c.uiBusy;
    }
  }
  doc.m_gpsOn = false;
  doc.m_hasFix = false;
}

TEST_F(DocumentCommandsTest, NamingAndDeletionActOnTheFinalExtensionOnly) {
  CTolvanixDoc& doc = MakeDoc();
  const auto campo = dir_ / "campo";
  std::filesystem::create_directories(campo);
  std::ofstream(campo / "norte.v2.tvx") << "x";
  platform::FileDialogScript::Push((campo / "norte.v2.tvx").string());
  EXPECT_EQ(doc.FileDialog(true), (campo / "norte.v2.tvx").string());
  EXPECT_EQ(doc.m_docName, "norte.v2");
  EXPECT_EQ(doc.m_docFolder, campo.string());
  platform::FileDialogScript::Push("");
  EXPECT_EQ(doc.FileDialog(false), "") << "cancelled";
  EXPECT_EQ(doc.m_docName, "norte.v2");

  // A folder named like a document file: its siblings are not companions.
  const auto folder = dir_ / "lote.tvx.d";
  const auto decoy = dir_ / "lote.shp.d";
  std::filesystem::create_directories(folder);
  std::filesystem::create_directories(decoy);
  for (const auto& p : {folder / "f.tvx", folder / "f.shp", folder / "f.kml", decoy / "f.shp"}) {
    std::ofstream(p) << "x";
  }
  platform::FileDialogScript::Push((folder / "f.tvx").string());
  for (int i = 0; i < 3; ++i) platform::MessageBoxScript::Push(IDYES);
  doc.OnDeleteDocument();
  EXPECT_EQ(platform::MessageBoxScript::TakeShown().size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(folder / "f.tvx"));
  EXPECT_FALSE(std::filesystem::exists(folder / "f.shp"));
  EXPECT_FALSE(std::filesystem::exists(folder / "f.kml"));
  EXPECT_TRUE(std::filesystem::exists(decoy / "f.shp"));
}

TEST_F(DocumentCommandsTest, WizardSaveAndNewGoesOnOnlyAfterASuccessfulSave) {
  CTolvanixDoc& doc = MakeDoc();
  doc.m_features[0].AddVertex({1, 1}, {1, 1}, 0);
  doc.SetModifiedFlag(TRUE);
  doc.m_wizardMode = 1;
  fake_.end = WizardEndChoice::SaveAndNewDocument;

  platform::FileDialogScript::Push("");  // no folder yet: save as, cancelled
  doc.OnWizardNext();
  EXPECT_EQ(doc.m_features[0].VertexCount(), 1u) << "the measured work stays";
  EXPECT_TRUE(doc.IsModified());

  // A document without a file of its own (an opened Shapefile's) is asked a name, the one it
  // bears proposed in its folder.
  doc.m_docFolder = dir_.string();
  doc.m_docName = "medida";
  platform::FileDialogScript::TakeShown();
  platform::FileDialogScript::Push((dir_ / "medida.tvx").string());
  doc.OnWizardNext();
  const auto asked = platform::FileDialogScript::TakeShown();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].request.initialName, (dir_ / "medida.tvx").string());
  EXPECT_TRUE(std::filesystem::exists(dir_ / "medida.tvx"));
  EXPECT_EQ(doc.m_features[0].VertexCount(), 0u) << "a new document after the save";
  EXPECT_FALSE(doc.IsModified());
}

}  // namespace
