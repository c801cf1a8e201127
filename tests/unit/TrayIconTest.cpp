#include "MainTestSupport.h"

namespace kvtest {
namespace {

class TrayIconTest : public MainFixture {
 protected:
  std::string H(const TTrayIcon& icon) { return std::to_string(icon.Handle()); }
};

TEST_F(TrayIconTest, EveryShellCallNamesTheButtonAndAddsAndChangesCarryItsImage) {
  Bare();
  TTrayIcon icon;
  icon.SetInfo(3, "C:\\Kelvane\\icon\\Pause.ico");
  icon.ShowIcon();
  icon.HideIcon();
  icon.HideIcon();
  icon.ChangeIcon("C:\\Kelvane\\icon\\Play.ico");
  icon.ShowIcon();
  icon.ShowIcon();
  EXPECT_EQ(sim::Journal(), (std::vector<std::string>{
                                "tray add " + H(icon) + " 3 Pause.ico", "tray delete " + H(icon) + " 3",
                                "tray delete " + H(icon) + " 3", "tray modify " + H(icon) + " 3 Play.ico",
                                "tray add " + H(icon) + " 3 Play.ico", "tray add " + H(icon) + " 3 Play.ico"}));
  EXPECT_EQ(Tray().size(), 1u);  // the second add changed nothing
}

TEST_F(TrayIconTest, ChangeIconThatCannotLoadKeepsTheOldImageAndLeavesTheShellAlone) {
  Bare();
  TTrayIcon icon;
  icon.SetInfo(2, "C:\\Kelvane\\icon\\Play.ico");
  icon.ShowIcon();
  WriteFile("C:\\Kelvane\\icon\\Broken.ico", "not an icon");
  sim::ClearJournal();
  for (const char* path : {"C:\\Kelvane\\icon\\Missing.ico", "C:\\Kelvane\\icon\\Broken.ico"}) {
    EXPECT_THROW(icon.ChangeIcon(path), platform::Error) << path;
  }
  EXPECT_TRUE(sim::JournalLines("tray").empty());
  EXPECT_EQ(Tray(), (std::vector<std::pair<std::uint32_t, std::string>>{{2, "Play.ico"}}));
  try {
    icon.ChangeIcon("C:\\Kelvane\\icon\\Missing.ico");
  } catch (const platform::Error& e) {
    EXPECT_EQ(std::string(e.what()), "ファイル C:\\Kelvane\\icon\\Missing.ico は開けません");
  }
}

TEST_F(TrayIconTest, EventsReportClicksRestartAndBothKindsOfLoadErrorToTheOwner) {
  Bare();
  TTrayIcon icon;
  std::vector<std::string> heard;
  icon.OnClick = [&](std::uint32_t id, TrayClickKind kind) {
    heard.push_back("click " + std::to_string(id) + " " + std::to_string(kind));
  };
  icon.OnTaskbarCreated = [&] { heard.push_back("restart"); };
  icon.OnPathError = [&](const std::string& text) { heard.push_back("path " + text); };
  icon.OnLoadError = [&](const platform::Error& e) { heard.push_back(std::string("load ") + e.what()); };
  icon.SetInfo(4, "C:\\Kelvane\\icon\\Stop.ico");
  icon.SetInfo(4, "C:\\Kelvane\\icon\\Missing.ico");
  WriteFile("C:\\Kelvane\\icon\\Broken.ico", "not an icon");
  icon.SetInfo(4, "C:\\Kelvane\\icon\\Broken.ico");
  sim::DeliverToProgramWindow(icon.Handle(), platform::kTrayCallbackMessage, 0, 0x0202);
  sim::DeliverToProgramWindow(icon.Handle(), platform::kTrayCallbackMessage, 0, 0x0208);
  sim::DeliverToProgramWindow(icon.Handle(), platform::kTrayCallbackMessage, 0, 0x0205);
  sim::BroadcastToProgramWindows(platform::RegisterMessageName(kTaskbarCreatedMessage));
  ASSERT_EQ(heard.size(), 6u);
  EXPECT_EQ(heard[0], std::string("path ") + kTrayIconPathError);
  EXPECT_EQ(heard[1].rfind("load ", 0), 0u) << heard[1];
  EXPECT_EQ(heard[2], "click 4 0");
  EXPECT_EQ(heard[3], "click 4 1");
  EXPECT_EQ(heard[4], "click 4 2");
  EXPECT_EQ(heard[5], "restart");
  // Neither failed load took the image it had.
  icon.ShowIcon();
  EXPECT_EQ(Tray(), (std::vector<std::pair<std::uint32_t, std::string>>{{4, "Stop.ico"}}));
}

TEST_F(TrayIconTest, CallbacksReportLeftMiddleAndRightReleasesOnly) {
  TMain& m = Start();
  player_.Start();
  m.Info.PlayerPath.clear();
  const std::vector<std::pair<std::intptr_t, std::vector<std::string>>> table = {
      {0x0202, {Cmd(40045)}},                  // left release: Play
      {0x0201, {}}, {0x0203, {}}, {0x0200, {}},  // press, double-click, move
      {0x0204, {}}, {0x0205, {}},                // right: the playlist window's business
      {0x0207, {}}, {0x0209, {}},
  };
  for (const auto& [event, want] : table) {
    sim::ClearJournal();
    EXPECT_EQ(sim::DeliverToProgramWindow(m.IconPlay->Handle(), 1124, 0, event), 0);
    EXPECT_EQ(Commands(), want) << std::hex << event;
  }
  sim::ClearJournal();
  sim::DeliverToProgramWindow(m.IconPlay->Handle(), 1124, 0, 0x0208);
  EXPECT_EQ(sim::JournalLines("setplacement").size(), 1u);
}

TEST_F(TrayIconTest, ExplorerRestartPutsBackEveryIconThatWasShownInIdOrder) {
  TMain& m = Start();
  player_.Start();
  player_.state = kc::psPlaying;
  m.Info.ShowNextIcon = false;
  sim::TickTimers();
  m.IconPlay->ChangeIcon("C:\\Kelvane\\icon\\Pause.ico");
  sim::ClearTray();
  sim::BroadcastToProgramWindows(platform::RegisterMessageName("TaskbarCreated"));
  EXPECT_EQ(Tray(), (std::vector<std::pair<std::uint32_t, std::string>>{
                        {1, "Prev.ico"}, {2, "Pause.ico"}, {3, "Pause.ico"}, {4, "Stop.ico"}, {6, "Eject.ico"}}));
}

}  // namespace
}  // namespace kvtest
