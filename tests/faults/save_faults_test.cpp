// Saves under faults, as the program meets them: the process killed (SIGKILL) at any moment
// of a save, a disk that fills up (the file-size limit of the saving process stands in for
// it), and a folder that refuses new files. After each, the saved file is the old one or the
// new one whole, never a mixture; what a killed save left behind goes with the next save.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "coords/datum_files.h"
#include "coords/projection_record.h"
#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "tests/document_main/doc_test_env.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Files beside `file` that a write to it left behind (its temporary files are named
// "." + the file's name + ".tvxsave-" + ...).
std::vector<std::string> Leftovers(const fs::path& file) {
  std::vector<std::string> found;
  const std::string prefix = "." + file.filename().string() + ".tvxsave-";
  for (const auto& entry : fs::directory_iterator(file.parent_path()))
    if (entry.path().filename().string().rfind(prefix, 0) == 0)
      found.push_back(entry.path().filename().string());
  return found;
}

// Runs `save` in a child process and kills it after `delay`; true when the child was killed
// before it finished.
bool KillDuring(const std::function<void()>& save, std::chrono::microseconds delay) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    save();
    ::_exit(0);
  }
  ::usleep(static_cast<useconds_t>(delay.count()));
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFSIGNALED(status);
}

// Runs `save` in a child process that stops at a known point of its write, the moment its file
// would grow past `bytes` (the file-size limit's signal stops it there), and kills it there;
// true when it stopped and was killed, false when the save ended first.
bool KillInsideWrite(const std::function<void()>& save, rlim_t bytes) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    struct sigaction stop {};
    stop.sa_handler = [](int) { ::raise(SIGSTOP); };
    ::sigaction(SIGXFSZ, &stop, nullptr);
    struct rlimit limit = {bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    save();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(pid, &status, WUNTRACED);
  if (!WIFSTOPPED(status)) return false;
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return WIFSIGNALED(status);
}

// Runs `save` in a child process under a fault; the child's exit code.
int RunFaulted(const std::function<void()>& fault, const std::function<int()> save) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    fault();
    ::_exit(save());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A disk with `bytes` free for this process: larger writes fail with EFBIG.
std::function<void()> DiskFullAfter(rlim_t bytes) {
  return [bytes] {
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  };
}

// A folder this process may not write: the test folder's owner alone may, and the saving
// process runs as another user (as "nobody" when the tests run as root).
std::function<void()> FolderReadOnly(const fs::path& folder) {
  return [folder] {
    ::chmod(folder.c_str(), 0555);
    if (::geteuid() == 0) {
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
    }
  };
}

bool ShownContains(const std::string& text) {
  for (const auto& box : platform::MessageBoxScript::TakeShown())
    if (box.text.find(text) != std::string::npos) return true;
  return false;
}

class SaveFaultsTest : public DocTest {
 protected:
  // A document of `vertices` vertices along one area, named by `name`.
  std::unique_ptr<CTolvanixDoc> Document(std::size_t vertices, const std::string& name) {
    auto doc = std::make_unique<CTolvanixDoc>();
    FeatureRecord& f = doc->m_features[0];
    f.name = name;
    for (std::size_t i = 0; i < vertices; ++i) {
      const GeoPoint p{2.0 + 1e-6 * static_cast<double>(i), 41.0 + 1e-6 * static_cast<double>(i % 977)};
      f.AddVertex(p, p, static_cast<std::int32_t>(i % 5000), i % 3 ? "" : "n");
    }
    return doc;
  }

  void TearDown() override {
    ::chmod(dir_.c_str(), 0755);
    ::chmod((dir_ / "internal").c_str(), 0755);
    DocTest::TearDown();
  }
};

TEST_F(SaveFaultsTest, KilledDocumentSaveLeavesOldOrNewFileAndNextSaveTidiesUp) {
  const fs::path path = dir_ / "walk.tvx";
  auto small = Document(50, "old");
  auto large = Document(400000, "new");
  ASSERT_TRUE(small->OnSaveDocument(path.string()));
  const std::string oldBytes = Read(path);

  // How long a whole save takes here, so that the kills fall all over it.
  const fs::path whole = dir_ / "whole.tvx";
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(large->OnSaveDocument(whole.string()));
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  const std::string newBytes = Read(whole);
  ASSERT_NE(oldBytes, newBytes);

  // Kills at moments all over the save: before, inside or after the write, the rename.
  int sawOld = 0, sawNew = 0;
  for (int round = 0; round < 24; ++round) {
    SCOPED_TRACE(round);
    const auto delay = took * round / 18;
    KillDuring([&] { large->OnSaveDocument(path.string()); }, delay);
    const std::string now = Read(path);
    ASSERT_TRUE(now == oldBytes || now == newBytes) << "a mixture of " << now.size() << " bytes";
    (now == oldBytes ? sawOld : sawNew)++;

    // The next save of the document removes what the killed one left.
    ASSERT_TRUE(small->OnSaveDocument(path.string()));
    EXPECT_EQ(Read(path), oldBytes);
    EXPECT_TRUE(Leftovers(path).empty());
  }
  RecordProperty("old", sawOld);
  RecordProperty("new", sawNew);

  // Kills inside the write, wherever the machine's speed puts the moments above: before its
  // first byte and at each eighth of the file. The half-written file is left beside the old
  // one, which stays; the next save removes it.
  for (int eighth = 0; eighth < 8; ++eighth) {
    SCOPED_TRACE("killed at " + std::to_string(eighth) + "/8 of the write");
    const std::size_t written = newBytes.size() * eighth / 8;
    ASSERT_TRUE(KillInsideWrite([&] { large->OnSaveDocument(path.string()); }, written));
    EXPECT_EQ(Read(path), oldBytes);
    const std::vector<std::string> left = Leftovers(path);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(fs::file_size(dir_ / left[0]), written);

    ASSERT_TRUE(small->OnSaveDocument(path.string()));
    EXPECT_EQ(Read(path), oldBytes);
    EXPECT_TRUE(Leftovers(path).empty());
  }
}

TEST_F(SaveFaultsTest, KilledOptionsStoreWriteKeepsEveryValue) {
  for (int k = 0; k < 40; ++k) Store("Other" + std::to_string(k), 1000 + k);
  Store("Huso", 30);
  const fs::path file = dir_ / "registry.ini";
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    KillDuring(
        [&] {
          for (int i = 1; i <= 200; ++i) app_->WriteProfileInt("Opciones", "Huso", 1 + i % 60);
        },
        std::chrono::microseconds(500 + 1500 * round));
    platform::OptionsStore::Instance().SetPath(file.string());
    EXPECT_EQ(platform::OptionsStore::Instance().TakeDamageReport(), "");
    const int huso = app_->GetProfileInt("Opciones", "Huso", -1);
    EXPECT_TRUE(huso >= 1 && huso <= 60) << huso;
    for (int k = 0; k < 40; ++k)
      ASSERT_EQ(app_->GetProfileInt("Opciones", "Other" + std::to_string(k), -1), 1000u + k);
    Store("Huso", 30);
    EXPECT_TRUE(Leftovers(file).empty());
  }
}

TEST_F(SaveFaultsTest, KilledDatumAndProjectionSavesLeaveWholeFiles) {
  const fs::path internal = dir_ / "internal";
  DatumRecord first;
  first.index = kUserDatumIndex;
  first.dX = -87.0;
  DatumRecord second = first;
  second.dX = 12.5;
  second.a = 6378388.0;
  second.b = 6356911.946;
  ASSERT_EQ(SaveUserDatum(internal, first), DatumFileStatus::Ok);

  ProjectionList a, b;
  for (int k = 0; k < 3000; ++k) {
    ProjectionRecord r;
    r.kind = static_cast<std::uint8_t>(k % 38);
    r.p[0] = k;
    a.Store(r, u"A" + std::u16string(1, static_cast<char16_t>(u'a' + k % 26)) + u"x" +
                   std::u16string(1, static_cast<char16_t>(0x100 + k)));
    r.p[1] = -k;
    b.Store(r, u"B" + std::u16string(1, static_cast<char16_t>(0x100 + k)));
  }
  const fs::path projections = internal / kProjectionFileName;
  ASSERT_TRUE(a.Save(projections));

  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    KillDuring(
        [&] {
          for (int i = 0; i < 50; ++i) {
            SaveUserDatum(internal, i % 2 ? first : second);
            (i % 2 ? a : b).Save(projections);
          }
        },
        std::chrono::microseconds(300 + 2000 * round));
    const DatumLoadResult user = LoadUserDatum(internal);
    ASSERT_TRUE(user.ok());
    EXPECT_TRUE(user.datum == first || user.datum == second);
    ProjectionList read;
    read.Load(projections);
    EXPECT_TRUE(read.Records() == a.Records() || read.Records() == b.Records());

    ASSERT_EQ(SaveUserDatum(internal, first), DatumFileStatus::Ok);
    ASSERT_TRUE(a.Save(projections));
    EXPECT_TRUE(Leftovers(internal / kUserDatumFileName).empty());
    EXPECT_TRUE(Leftovers(projections).empty());
  }
}

// A full disk and a folder that refuses the file: every save keeps the old file and says so.
TEST_F(SaveFaultsTest, FullDiskAndReadOnlyFolderKeepTheOldFiles) {
  const fs::path path = dir_ / "walk.tvx";
  const fs::path internal = dir_ / "internal";
  const fs::path projections = internal / kProjectionFileName;
  auto small = Document(50, "old");
  auto large = Document(100000, "new");
  ASSERT_TRUE(small->OnSaveDocument(path.string()));
  Store("Huso", 30);
  DatumRecord user;
  user.index = kUserDatumIndex;
  user.dX = 5.0;
  ASSERT_EQ(SaveUserDatum(internal, user), DatumFileStatus::Ok);
  ProjectionList list;
  ProjectionRecord r;
  r.kind = 18;
  list.Store(r, u"Lambert");
  ASSERT_TRUE(list.Save(projections));

  const std::string document = Read(path);
  const std::string options = Read(dir_ / "registry.ini");
  const std::string datum = Read(internal / kUserDatumFileName);
  const std::string stored = Read(projections);

  struct Fault {
    const char* name;
    std::function<void()> apply;
  };
  const std::vector<Fault> faults = {{"disk full", DiskFullAfter(64)},
                                     {"read-only folders", [&] {
                                        ::chmod(internal.c_str(), 0555);
                                        FolderReadOnly(dir_)();
                                      }}};
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.name);
    // The document: the save fails and the message says the previous file is unchanged.
    EXPECT_EQ(RunFaulted(fault.apply,
                         [&] {
                           platform::MessageBoxScript::TakeShown();
                           if (large->OnSaveDocument(path.string())) return 1;
                           return ShownContains("previous file is unchanged") ? 0 : 2;
                         }),
              0);
    // The options: the document's save of them says they could not be stored.
    EXPECT_EQ(RunFaulted(fault.apply,
                         [&] {
                           auto doc = std::make_unique<CTolvanixDoc>();
                           doc->m_zone = 12;
                           doc->m_autoZone = 0;
                           for (int k = 0; k < 200; ++k)
                             doc->m_waypointPrefix += "long prefix that fills the file ";
                           platform::MessageBoxScript::TakeShown();
                           doc->SaveOptions();
                           return ShownContains("cannot be stored") ? 0 : 2;
                         }),
              0);
    // The language for the next start: said not to be stored, never promised.
    EXPECT_EQ(RunFaulted(fault.apply,
                         [&] {
                           auto doc = std::make_unique<CTolvanixDoc>();
                           platform::MessageBoxScript::TakeShown();
                           doc->OnCmdMsg(32783, CN_COMMAND, nullptr);  // German
                           const auto shown = platform::MessageBoxScript::TakeShown();
                           if (shown.size() != 1) return 1;
                           return shown[0].text.find("cannot be stored") != std::string::npos ? 0 : 2;
                         }),
              0);
    // The user datum and the stored projections.
    EXPECT_EQ(RunFaulted(fault.apply,
                         [&] {
                           DatumRecord other = user;
                           other.dX = -1.0;
                           if (SaveUserDatum(internal, other) != DatumFileStatus::CannotWrite) return 1;
                           ProjectionList more = list;
                           for (int k = 0; k < 10; ++k) more.Store(r, u"P" + std::u16string(1, u'a' + k));
                           return more.Save(projections) ? 2 : 0;
                         }),
              0);
    EXPECT_EQ(Read(path), document);
    EXPECT_EQ(Read(dir_ / "registry.ini"), options);
    EXPECT_EQ(Read(internal / kUserDatumFileName), datum);
    EXPECT_EQ(Read(projections), stored);
    EXPECT_TRUE(Leftovers(path).empty());
    EXPECT_TRUE(Leftovers(dir_ / "registry.ini").empty());
    EXPECT_TRUE(Leftovers(internal / kUserDatumFileName).empty());
    EXPECT_TRUE(Leftovers(projections).empty());
  }
}

// A document file and its exports in a folder that refuses the deletion: each confirmed
// deletion that cannot happen is said, and the files stay.
TEST_F(SaveFaultsTest, ADeletionThatCannotHappenIsSaid) {
  const fs::path folder = dir_ / "lote";
  fs::create_directories(folder);
  for (const char* name : {"lote.tvx", "lote.kml"}) std::ofstream(folder / name) << "x";
  EXPECT_EQ(RunFaulted(FolderReadOnly(folder),
                       [&] {
                         auto doc = std::make_unique<CTolvanixDoc>();
                         platform::MessageBoxScript::TakeShown();
                         platform::FileDialogScript::Push((folder / "lote.tvx").string());
                         for (int i = 0; i < 4; ++i) {
                           platform::MessageBoxScript::Push(IDYES);
                           platform::MessageBoxScript::Push(IDOK);
                         }
                         doc->OnDeleteDocument();
                         int said = 0;
                         for (const auto& box : platform::MessageBoxScript::TakeShown())
                           if (box.text.find("cannot be deleted") != std::string::npos) ++said;
                         return said;
                       }),
            2);
  ::chmod(folder.c_str(), 0755);
  EXPECT_TRUE(fs::exists(folder / "lote.tvx"));
  EXPECT_TRUE(fs::exists(folder / "lote.kml"));
}

}  // namespace
