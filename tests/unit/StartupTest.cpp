#include "MainTestSupport.h"

namespace kvtest {
namespace {

using StartupTest = MainFixture;

// The journal without the sends of the poll: what start-up asked of the system.
std::vector<std::string> Steps() {
  std::vector<std::string> steps;
  for (const std::string& line : sim::Journal()) {
    if (line.rfind("tray ", 0) == 0) {
      // "tray add <hwnd> <id> ..." -> "tray add <id>"
      std::string op = line.substr(5, line.find(' ', 5) - 5);
      std::size_t idAt = line.find(' ', line.find(' ', 5) + 1) + 1;
      steps.push_back("tray " + op + " " + line.substr(idAt, line.find(' ', idAt) - idAt));
    } else {
      steps.push_back(line.substr(0, line.find(' ') == std::string::npos ? line.size() : line.find(' ')));
    }
  }
  return steps;
}

TEST_F(StartupTest, WithoutSettingsOnlyPlayAndEjectAreShownAndThePollStartsLast) {
  TMain& m = Start();
  EXPECT_EQ(Steps(), (std::vector<std::string>{"tray add 2", "tray add 6", "timer"}));
  EXPECT_EQ(m.Info.AppDir, "C:\\Kelvane\\");
  EXPECT_TRUE(m.Timer.Enabled());
  EXPECT_EQ(sim::JournalLines("timer"), std::vector<std::string>{"timer on 500"});
  EXPECT_EQ(m.Player.PlayerWindowClass, "Winamp v1.x");
  EXPECT_EQ(m.Player.LastPlayState, kc::psNoPlayer);
  for (int slot = 1; slot <= 10; ++slot) EXPECT_EQ(m.Commands[slot], kc::kCommandTexts[slot]);
  EXPECT_TRUE(sim::JournalLines("winexec").empty());
  EXPECT_EQ(Tray(), (std::vector<std::pair<std::uint32_t, std::string>>{{2, "Play.ico"}, {6, "Eject.ico"}}));
}

TEST_F(StartupTest, PlayOnStartupWithoutAPlayerAsksBeforeThePollStarts) {
  WriteIni("[Setting]\r\nPlayOnStartup=1\r\nShowEjectIcon=0\r\n");
  Start();
  EXPECT_EQ(Steps(), (std::vector<std::string>{"tray add 2", "msgbox", "openfile", "timer"}));
}

TEST_F(StartupTest, PlayOnStartupStartsAndPlaysAKnownPlayer) {
  WriteFile("C:\\Winamp\\winamp.exe", "MZ");
  WriteIni("[Setting]\r\nPlayOnStartup=1\r\nPlayerPath=C:\\Winamp\\winamp.exe\r\n");
  sim::SetStartProgramHook([this](const std::string&) { player_.Start(); });
  TMain& m = Start();
  // The first poll comes at once: the buttons of a playing player, in id
  // order, are all there when start-up returns.
  EXPECT_EQ(Steps(), (std::vector<std::string>{"tray add 2", "tray add 6", "winexec", "send", "foreground", "timer",
                                               "send", "tray delete 1", "tray delete 2", "tray delete 3",
                                               "tray delete 4", "tray delete 5", "tray delete 6", "tray add 1",
                                               "tray add 2", "tray add 3", "tray add 4", "tray add 5", "tray add 6"}));
  EXPECT_EQ(Tray().size(), 6u);
  EXPECT_EQ(player_.state, kc::psPlaying);
  EXPECT_TRUE(m.Info.CorrectPath);
}

TEST_F(StartupTest, MissingIconFilesGiveOneBoxEachAndStartUpGoesOn) {
  std::filesystem::remove(sim::HostPath("C:\\Kelvane\\icon\\Prev.ico"));
  std::filesystem::remove(sim::HostPath("C:\\Kelvane\\icon\\Play.ico"));
  Start();
  const auto boxes = sim::JournalLines("msgbox");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], "msgbox " + std::to_string(platform::app::MainWindow()) + " 0 <エラー> Kelvane|" +
                          kTrayIconPathError);
  // Play is added without an image.
  EXPECT_EQ(Tray(), (std::vector<std::pair<std::uint32_t, std::string>>{{2, "-"}, {6, "Eject.ico"}}));
}

TEST_F(StartupTest, UpgradeNoticeComesOnceBeforeAnyIconAndClearsTheTagCaches) {
  WriteIni("[Info]\r\nVersion=0.30.01.0\r\n");
  WriteFile("C:\\Kelvane\\playlist\\Rock.mp3log", "x");
  WriteFile("C:\\Kelvane\\playlist\\Pop.MP3LOG", "x");
  WriteFile("C:\\Kelvane\\playlist\\Rock.log", "x");
  Start();
  ASSERT_EQ(Steps().front(), "msgbox");
  EXPECT_EQ(sim::Journal().front(), "msgbox " + std::to_string(platform::app::MainWindow()) + " 64 情報|" +
                                        kc::kUpgradeNotice);
  EXPECT_FALSE(platform::FileExists("C:\\Kelvane\\playlist\\Rock.mp3log"));
  EXPECT_FALSE(platform::FileExists("C:\\Kelvane\\playlist\\Pop.MP3LOG"));
  EXPECT_TRUE(platform::FileExists("C:\\Kelvane\\playlist\\Rock.log"));
  ASSERT_TRUE(sim::CloseMainWindow());
  main_.reset();
  sim::ClearJournal();
  Start();
  EXPECT_TRUE(sim::JournalLines("msgbox").empty());
}

TEST_F(StartupTest, OtherStoredVersionsGiveNoNotice) {
  for (const char* version : {"0.30.01.00", "0.30.03.01", "", "0.30.1.0"}) {
    WriteIni(std::string("[Info]\r\nVersion=") + version + "\r\n");
    WriteFile("C:\\Kelvane\\playlist\\Rock.mp3log", "x");
    sim::Reset();
    sim::SetProgramFilePath("C:\\Kelvane\\kelvane.exe");
    platform::app::SetTitle(platform::app::kAppTitle);
    Start();
    EXPECT_TRUE(sim::JournalLines("msgbox").empty()) << version;
    EXPECT_TRUE(platform::FileExists("C:\\Kelvane\\playlist\\Rock.mp3log")) << version;
  }
}

TEST_F(StartupTest, ClosingSavesThenRemovesEveryIconInIdOrder) {
  TMain& m = Start();
  player_.Start();
  player_.state = kc::psPlaying;
  sim::TickTimers();
  ASSERT_EQ(Tray().size(), 6u);
  sim::ClearJournal();
  ASSERT_TRUE(sim::CloseMainWindow());
  EXPECT_EQ(Steps(), (std::vector<std::string>{"timer", "tray delete 1", "tray delete 2", "tray delete 3",
                                               "tray delete 4", "tray delete 5", "tray delete 6"}));
  EXPECT_TRUE(Tray().empty());
  EXPECT_NE(ReadFile("C:\\Kelvane\\kelvane.ini").find("Version=0.30.03.01"), std::string::npos);
  (void)m;
}

TEST_F(StartupTest, AFailedSaveIsShownAndVetoesTheClose) {
  // A folder where the settings file should be: it cannot be written.
  std::filesystem::create_directories(sim::HostPath("C:\\Kelvane\\kelvane.ini"));
  TMain& m = Start();
  sim::ClearJournal();
  EXPECT_FALSE(sim::CloseMainWindow());
  const auto boxes = sim::JournalLines("msgbox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "msgbox " + std::to_string(platform::app::MainWindow()) +
                          " 16 Kelvane|C:\\Kelvane\\kelvane.ini に書き込めません.");
  EXPECT_EQ(Tray().size(), 2u);  // still running with its icons
  EXPECT_TRUE(m.Timer.Enabled());
  // The next attempt saves again, and closes once the save succeeds.
  std::filesystem::remove(sim::HostPath("C:\\Kelvane\\kelvane.ini"));
  m.Info.PlayerPath = "C:\\new\\winamp.exe";
  EXPECT_TRUE(sim::CloseMainWindow());
  EXPECT_NE(ReadFile("C:\\Kelvane\\kelvane.ini").find("PlayerPath=C:\\new\\winamp.exe"), std::string::npos);
}

}  // namespace
}  // namespace kvtest
