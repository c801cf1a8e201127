#include "MainTestSupport.h"
#include "platform/ShellLink.h"
#include "tests/sim/SimShell.h"

namespace kvtest {
namespace {

const char kStartup[] = "C:\\Users\\me\\Start Menu\\Programs\\Startup";
const char kLink[] = "C:\\Users\\me\\Start Menu\\Programs\\Startup\\Kelvane.lnk";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class StartupShortcutTest : public MainFixture {
 protected:
  void SetUp() override {
    MainFixture::SetUp();
    sim::SetUserRegistryString(kShellFolders, "Startup", kStartup);
    std::filesystem::create_directories(sim::HostPath("C:\\Users\\me\\Start Menu\\Programs") + "/Startup");
  }
  std::vector<std::string> Boxes() { return sim::JournalLines("msgbox "); }
  std::string WarningBox() {
    return "msgbox " + std::to_string(platform::app::MainWindow()) + " 48 警告|" + kc::kStartupDeleteFailed;
  }
  std::vector<std::string> StartupEntries() {
    std::vector<std::string> names;
    for (const auto& e : platform::FindEntries(std::string(kStartup) + "\\*")) {
      if (e.name != "." && e.name != "..") names.push_back(e.name);
    }
    return names;
  }
};

TEST_F(StartupShortcutTest, RegisterWritesALinkToKelvaneExeInTheProgramFolderAndUnregisterRemovesIt) {
  // Whatever the program file is called, the link names kelvane.exe.
  sim::SetProgramFilePath("C:\\Apps\\Remote\\remote.exe");
  TMain& m = Bare();
  EXPECT_FALSE(m.IsStartupRegistered());
  m.RegisterStartup();
  const auto link = sim::ReadShellLink(kLink);
  ASSERT_TRUE(link);
  EXPECT_EQ(link->target, "C:\\Apps\\Remote\\kelvane.exe");
  EXPECT_EQ(link->workingFolder, "C:\\Apps\\Remote\\");
  EXPECT_TRUE(m.IsStartupRegistered());

  m.UnregisterStartup();
  EXPECT_FALSE(platform::FileExists(kLink));
  EXPECT_FALSE(m.IsStartupRegistered());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(StartupShortcutTest, UnregisteringWhatIsNotThereWarns) {
  TMain& m = Bare();
  m.UnregisterStartup();
  EXPECT_EQ(Boxes(), std::vector<std::string>{WarningBox()});
}

TEST_F(StartupShortcutTest, OnlyTheExactNameCountsButRegisterAndUnregisterTreatOtherCasesAsTheSameFile) {
  WriteFile(std::string(kStartup) + "\\kelvane.lnk", "by hand");
  WriteFile(std::string(kStartup) + "\\Kelvane.lnk.bak", "x");
  TMain& m = Bare();
  EXPECT_FALSE(m.IsStartupRegistered());
  m.RegisterStartup();
  EXPECT_EQ(sim::ReadShellLink(std::string(kStartup) + "\\kelvane.lnk")->target, "C:\\Kelvane\\kelvane.exe");
  EXPECT_EQ(StartupEntries().size(), 2u);
  m.UnregisterStartup();
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(StartupEntries(), std::vector<std::string>{"Kelvane.lnk.bak"});

  // A folder of that name is an entry of the folder too.
  platform::MakeDirectory(kLink);
  EXPECT_TRUE(m.IsStartupRegistered());
}

TEST_F(StartupShortcutTest, TheFolderIsReadAfreshEachTime) {
  TMain& m = Bare();
  m.RegisterStartup();
  sim::SetUserRegistryString(kShellFolders, "Startup", "C:\\Elsewhere");
  EXPECT_FALSE(m.IsStartupRegistered());
  sim::SetUserRegistryString(kShellFolders, "Startup", kStartup);
  EXPECT_TRUE(m.IsStartupRegistered());
}

TEST_F(StartupShortcutTest, AnEmptyRegistryValueFallsBackOnTheShellsStartupFolder) {
  sim::SetUserRegistryString(kShellFolders, "Startup", "");
  sim::SetShellStartupFolder(std::string(kStartup));
  TMain& m = Bare();
  m.RegisterStartup();
  EXPECT_TRUE(platform::FileExists(kLink));
  EXPECT_TRUE(m.IsStartupRegistered());
  m.UnregisterStartup();
  EXPECT_FALSE(platform::FileExists(kLink));
}

TEST_F(StartupShortcutTest, WithoutAnyStartupFolderNothingIsWrittenListedOrDeletedInTheCurrentFolder) {
  sim::RemoveUserRegistryKey(kShellFolders);
  sim::RemoveUserRegistryKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer");
  sim::SetCurrentFolder("C:\\Kelvane");
  // Files that an empty folder would have turned the operations onto.
  WriteFile("C:\\Kelvane.lnk", "at the drive root");
  TMain& m = Bare();
  m.RegisterStartup();
  EXPECT_FALSE(m.IsStartupRegistered());
  m.UnregisterStartup();
  EXPECT_EQ(ReadFile("C:\\Kelvane.lnk"), "at the drive root");
  EXPECT_FALSE(platform::FileExists("C:\\Kelvane\\Kelvane.lnk"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{WarningBox()});
  // The Explorer key is made when missing, as the registry is opened for writing.
  EXPECT_TRUE(sim::UserRegistryKeyExists("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"));
}

TEST_F(StartupShortcutTest, ALinkObjectThatCannotBeMadeRaisesAndWritesNothing) {
  sim::FailShellLinks(true);
  TMain& m = Bare();
  EXPECT_THROW(m.RegisterStartup(), platform::Error);
  EXPECT_TRUE(StartupEntries().empty());
}

// --- re-pointing at start-up ---

TEST_F(StartupShortcutTest, AMovedProgramRemakesAnExistingLinkForItsNewFolder) {
  WriteIni("[Info]\r\nPath=D:\\Old\\\r\n");
  sim::SetProgramFilePath("C:\\Kelvane\\kelvane.exe");
  platform::SaveShellLink(kLink, "D:\\Old\\kelvane.exe", "D:\\Old\\");
  TMain& m = Bare();
  m.LoadSettings();
  const auto link = sim::ReadShellLink(kLink);
  ASSERT_TRUE(link);
  EXPECT_EQ(link->target, "C:\\Kelvane\\kelvane.exe");
  EXPECT_EQ(link->workingFolder, "C:\\Kelvane\\");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(StartupShortcutTest, TheStoredFolderIsComparedExactly) {
  struct Row {
    const char* ini;
    bool remade;
  };
  const Row rows[] = {
      {"[Info]\r\nPath=C:\\Kelvane\\\r\n", false},
      {"[Info]\r\nPath=c:\\kelvane\\\r\n", true},  // letter case counts
      {"[Info]\r\nPath=C:\\Kelvane\r\n", true},
      {"[Info]\r\nPath=\r\n", true},
      {"", true},  // a first start
  };
  for (const Row& row : rows) {
    WriteIni(row.ini);
    platform::SaveShellLink(kLink, "stale", "stale");
    TMain& m = Bare();
    m.LoadSettings();
    EXPECT_EQ(sim::ReadShellLink(kLink)->target, row.remade ? "C:\\Kelvane\\kelvane.exe" : "stale") << row.ini;
  }
}

TEST_F(StartupShortcutTest, AMovedProgramWithoutALinkCreatesNone) {
  WriteIni("[Info]\r\nPath=D:\\Old\\\r\n");
  TMain& m = Bare();
  m.LoadSettings();
  EXPECT_TRUE(StartupEntries().empty());
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace kvtest
