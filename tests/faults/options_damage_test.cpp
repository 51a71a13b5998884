// The options file damaged by hand or by another program: the program starts with the
// defaults of what it cannot read, says so once, and keeps every other value, including the
// lines it could not read, through its own saves.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/message_box.h"
#include "tests/document_main/doc_test_env.h"

namespace {

namespace fs = std::filesystem;

const char kSection[] = "[HKEY_CURRENT_USER\\software\\Vorel - Tolvanix PDA\\tolvanixpda\\Opciones]\n";

class OptionsDamageTest : public DocTest {
 protected:
  fs::path File() const { return dir_ / "registry.ini"; }
  std::string Text() const {
    std::ifstream in(File(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  void Write(const std::string& text) {
    std::ofstream(File(), std::ios::binary | std::ios::trunc) << text;
  }
  // The notices about unreadable settings shown since the last call.
  std::vector<std::string> Notices() {
    std::vector<std::string> texts;
    for (const auto& box : platform::MessageBoxScript::TakeShown())
      if (box.text.find("cannot be read") != std::string::npos) texts.push_back(box.text);
    return texts;
  }
  // A new start of the program on the same file.
  CTolvanixDoc& Start() {
    platform::OptionsStore::Instance().SetPath(File().string());
    return MakeDoc();
  }
};

TEST_F(OptionsDamageTest, CutShortFileKeepsWhatPrecedesTheCut) {
  Store("Huso", 30);
  Store("Puerto", 4);
  Store("Metrica", 1);
  app_->WriteProfileString("Opciones", "WptNamePrefix", "Mojón");
  const std::string whole = Text();
  // Cut inside the value of "Metrica" (the third value): its digits are incomplete.
  const std::size_t metrica = whole.find("Metrica=dword:");
  ASSERT_NE(metrica, std::string::npos);
  Write(whole.substr(0, metrica + 18) + "\n");

  platform::MessageBoxScript::TakeShown();
  CTolvanixDoc& doc = Start();
  EXPECT_EQ(doc.m_zone, 30);
  EXPECT_EQ(doc.m_port, 4);
  EXPECT_EQ(doc.m_metrica, 0);  // default, not a number made of the digits left
  EXPECT_EQ(doc.m_waypointPrefix, "Sin nombre");
  const auto notices = Notices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("Metrica"), std::string::npos);

  // A second document of the same run does not say it again.
  MakeDoc();
  EXPECT_TRUE(Notices().empty());
}

TEST_F(OptionsDamageTest, BinaryBytesAndForeignLinesSurviveTheProgramsSaves) {
  std::string garbage = "Col\x01or=\xff\xfe\x00\x07 binary";
  garbage[6] = '\0';  // a NUL inside the line
  Write(std::string("; kept comment\n") + kSection + "Huso=dword:0000001e\n" + garbage +
        "\nNavStyle=dword:0000000z\nTheirOwn=\"value of another tool\"\n");
  platform::MessageBoxScript::TakeShown();
  CTolvanixDoc& doc = Start();
  EXPECT_EQ(doc.m_zone, 30);
  EXPECT_EQ(doc.m_navStyle, 0);
  ASSERT_EQ(Notices().size(), 1u);

  doc.m_zone = 12;
  doc.SaveOptions();
  const std::string text = Text();
  EXPECT_NE(text.find("; kept comment"), std::string::npos);
  EXPECT_NE(text.find(garbage), std::string::npos);
  EXPECT_NE(text.find("TheirOwn=\"value of another tool\""), std::string::npos);
  // The program's own value replaces the unreadable line of that name.
  EXPECT_EQ(text.find("NavStyle=dword:0000000z"), std::string::npos);
  EXPECT_EQ(app_->GetProfileInt("Opciones", "Huso", 0), 12u);
  EXPECT_EQ(app_->GetProfileString("Opciones", "TheirOwn", ""), "value of another tool");
}

TEST_F(OptionsDamageTest, RepeatedNamesAndValuesOutOfRange) {
  Write(std::string(kSection) + "Huso=dword:00000014\nhuso=dword:00000015\nDatum=dword:7fffffff\n" +
        "WptName=dword:00000009\nFiltroHvalor=dword:ffffffff\n" + kSection +
        "Huso=dword:00000016\nPuerto=dword:00000003\n");
  platform::MessageBoxScript::TakeShown();
  CTolvanixDoc& doc = Start();
  EXPECT_EQ(doc.m_zone, 20);  // the first of the repeated values
  EXPECT_EQ(doc.m_port, 3);   // a value of the repeated section is read too
  EXPECT_EQ(doc.m_datum.index, 0);
  EXPECT_EQ(doc.m_waypointNaming, 2);
  EXPECT_DOUBLE_EQ(doc.m_hdopLimit, 3.0);
  const auto notices = Notices();
  ASSERT_EQ(notices.size(), 1u);
  for (const char* name : {"Datum", "WptName", "FiltroHvalor"})
    EXPECT_NE(notices[0].find(name), std::string::npos) << name;

  doc.SaveOptions();
  const std::string text = Text();
  // One value per name afterwards.
  std::size_t count = 0;
  for (std::size_t at = 0; (at = text.find("uso=dword:", at)) != std::string::npos; ++at) ++count;
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(app_->GetProfileInt("Opciones", "Puerto", 0), 3u);
}

TEST_F(OptionsDamageTest, AnotherProgramWritingMeanwhileLosesNothing) {
  for (int k = 0; k < 30; ++k) Store("Tool" + std::to_string(k), k);
  const std::string theirs = Text() + "Extra=dword:00000007\n";
  // The other program rewrites the file in place, pausing half-way through.
  std::size_t cut = theirs.size() / 2;
  while (theirs[cut - 1] == '\n') ++cut;  // inside a line
  std::thread other([&] {
    std::ofstream out(File(), std::ios::binary | std::ios::trunc);
    out << theirs.substr(0, cut) << std::flush;
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    out << theirs.substr(cut) << std::flush;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  CTolvanixDoc& doc = Start();
  doc.SaveOptions();
  other.join();
  for (int k = 0; k < 30; ++k)
    EXPECT_EQ(app_->GetProfileInt("Opciones", "Tool" + std::to_string(k), 99), static_cast<UINT>(k));
  EXPECT_EQ(app_->GetProfileInt("Opciones", "Extra", 0), 7u);
  EXPECT_EQ(app_->GetProfileInt("Opciones", "Huso", 0), 31u);
}

}  // namespace
