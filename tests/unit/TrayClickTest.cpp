#include "MainTestSupport.h"

namespace kvtest {
namespace {

class TrayClickTest : public MainFixture {
 protected:
  TMain& Ready() {
    TMain& m = Bare();
    m.Info.CloseOnStop = false;
    if (player_.wnd) player_.Close();
    player_.Start();
    sim::ClearJournal();
    return m;
  }
};

TEST_F(TrayClickTest, LeftClickOnEachButtonSendsItsCommands) {
  struct Row {
    std::uint32_t id;
    bool fadeStop, closeOnStop, fadeChange;
    std::vector<int> commands;  // WM_COMMAND ids in order; 76 = eject key
  };
  const std::vector<Row> table = {
      {1, false, false, false, {40044}},
      {1, false, false, true, {40147, 40044, 40045}},
      {2, false, false, false, {40045}},
      {3, false, false, false, {40046}},
      {4, false, false, false, {40047}},
      {4, true, false, false, {40147}},
      {4, false, true, false, {40047, 40001}},
      {4, true, true, false, {40147, 40001}},
      {5, false, false, false, {40048}},
      {5, false, false, true, {40147, 40048, 40045}},
      {6, false, false, false, {76}},
      {7, false, false, false, {}},
  };
  for (const Row& row : table) {
    TMain& m = Ready();
    m.Info.FadeoutOnStop = row.fadeStop;
    m.Info.CloseOnStop = row.closeOnStop;
    m.Info.FadeoutOnChange = row.fadeChange;
    std::vector<std::string> want;
    for (int c : row.commands) {
      if (c == 76) {
        want.push_back(Msg(0x100, 76, 0));
        want.push_back(Msg(0x101, 76, 0));
      } else {
        want.push_back(Cmd(c));
      }
    }
    m.TrayClick(row.id, tcLeft);
    EXPECT_EQ(Commands(), want) << "id " << row.id << " fadeStop " << row.fadeStop << " close "
                                << row.closeOnStop << " fadeChange " << row.fadeChange;
  }
}

TEST_F(TrayClickTest, FadeoutChangeKeepsThePollOffBetweenItsSteps) {
  TMain& m = Ready();
  m.Info.FadeoutOnChange = true;
  m.Timer.SetEnabled(true);
  player_.state = kc::psPaused;
  sim::ClearJournal();
  m.TrayClick(5, tcLeft);
  const std::string fg = "foreground " + std::to_string(player_.wnd);
  EXPECT_EQ(sim::Journal(), (std::vector<std::string>{"timer off", Cmd(40147), fg, Cmd(40048), fg, Cmd(40045), fg,
                                                       "timer on 500"}));
  // Whatever the player was doing, the sequence ends with it playing.
  EXPECT_EQ(player_.state, kc::psPlaying);
}

TEST_F(TrayClickTest, PlayInSwapModePausesOnlyWhenTheLastPollSawPlaying) {
  for (bool swap : {false, true}) {
    for (std::int32_t last : {kc::psNoPlayer, kc::psStopped, kc::psPlaying, kc::psPaused}) {
      TMain& m = Ready();
      m.Info.PlayChangePause = true;
      m.Info.ShowPauseIcon = !swap;
      m.Player.LastPlayState = last;
      m.TrayClick(2, tcLeft);
      const int want = swap && last == kc::psPlaying ? 40046 : 40045;
      EXPECT_EQ(Commands(), std::vector<std::string>{Cmd(want)}) << "swap " << swap << " last " << last;
    }
  }
}

TEST_F(TrayClickTest, EjectBringsThePlayerForwardBeforeTheKey) {
  TMain& m = Ready();
  m.TrayClick(6, tcLeft);
  const std::string fg = "foreground " + std::to_string(player_.wnd);
  EXPECT_EQ(sim::Journal(), (std::vector<std::string>{fg, Msg(0x100, 76, 0), Msg(0x101, 76, 0), fg}));
}

TEST_F(TrayClickTest, MiddleClickRestoresTheLastFoundPlayerWithoutSearchingOrStarting) {
  for (std::uint32_t id = 1; id <= 6; ++id) {
    TMain& m = Ready();
    m.FindPlayer();
    sim::SetWindowShowCmd(player_.wnd, 2 /* minimised */);
    sim::ClearJournal();
    m.TrayClick(id, tcMiddle);
    const std::string h = std::to_string(player_.wnd);
    EXPECT_EQ(sim::Journal(), (std::vector<std::string>{Msg(0, 0, 0), "getplacement " + h, "setplacement " + h + " 9",
                                                         "foreground " + h}));
    EXPECT_EQ(sim::WindowShowCmd(player_.wnd), 1u);
  }
  // With no player found yet nothing answers, and nothing is started.
  TMain& m = Ready();
  m.TrayClick(2, tcMiddle);
  EXPECT_EQ(sim::Journal(), std::vector<std::string>{"send 0 0 0 0"});
}

TEST_F(TrayClickTest, MiddleClickFallsBackToShowWindowOnlyWhenThePlacementLeftThePlayerMinimised) {
  struct Row {
    bool ignoresPlacement;     // as Wine treats another process's window
    std::uint32_t before;      // show state when clicked
    bool showWindow;           // a ShowWindow(SW_RESTORE) between placement and foreground
    std::uint32_t after;
  };
  const std::vector<Row> table = {
      {true, 2, true, 1},   // minimised, placement ignored: restored by ShowWindow
      {true, 6, true, 1},
      {true, 7, true, 1},
      {true, 1, false, 1},  // not minimised: nothing to restore
      {true, 3, false, 3},  // maximised stays as Wine leaves it
      {false, 2, false, 1}, // the placement did it, as on Windows
  };
  for (const Row& row : table) {
    TMain& m = Ready();
    m.FindPlayer();
    sim::SetWindowShowCmd(player_.wnd, row.before);
    sim::SetWindowIgnoresPlacement(player_.wnd, row.ignoresPlacement);
    sim::ClearJournal();
    m.TrayClick(4, tcMiddle);
    const std::string h = std::to_string(player_.wnd);
    std::vector<std::string> want = {Msg(0, 0, 0), "getplacement " + h, "setplacement " + h + " 9"};
    if (row.showWindow) want.push_back("showwindow " + h + " 9");
    want.push_back("foreground " + h);
    EXPECT_EQ(sim::Journal(), want) << "ignores " << row.ignoresPlacement << " before " << row.before;
    EXPECT_EQ(sim::WindowShowCmd(player_.wnd), row.after) << "ignores " << row.ignoresPlacement << " before "
                                                          << row.before;
  }
  // A player that has closed since the last search: nothing to show, nothing started.
  TMain& m = Ready();
  m.FindPlayer();
  player_.Close();
  sim::ClearJournal();
  m.TrayClick(2, tcMiddle);
  EXPECT_TRUE(sim::JournalLines("showwindow").empty());
  EXPECT_TRUE(sim::JournalLines("winexec").empty());
}

TEST_F(TrayClickTest, RightAndUnknownClicksSearchForNothingAndStartNothing) {
  for (std::uint8_t kind : {std::uint8_t{2}, std::uint8_t{3}, std::uint8_t{255}}) {
    TMain& m = Bare();
    m.Info.PlayerPath = "C:\\Winamp\\winamp.exe";
    WriteFile(m.Info.PlayerPath, "MZ");
    m.TrayClick(2, kind);
    EXPECT_TRUE(sim::Journal().empty()) << int(kind);
  }
}

TEST_F(TrayClickTest, LeftClickWithoutPlayerStartsItFirst) {
  TMain& m = Bare();
  m.Info.PlayerPath = "C:\\Program Files\\Winamp\\winamp.exe";
  WriteFile(m.Info.PlayerPath, "MZ");
  sim::SetStartProgramHook([this](const std::string&) { player_.Start(); });
  m.TrayClick(6, tcLeft);
  const std::string fg = "foreground " + std::to_string(player_.wnd);
  EXPECT_EQ(sim::Journal(), (std::vector<std::string>{"winexec \"C:\\Program Files\\Winamp\\winamp.exe\" 1", fg,
                                                       Msg(0x100, 76, 0), Msg(0x101, 76, 0), fg}));
  EXPECT_TRUE(m.Info.CorrectPath);
}

TEST_F(TrayClickTest, LeftClickSendsNothingWhenThePlayerCannotBeStarted) {
  TMain& m = Bare();
  m.TrayClick(2, tcLeft);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(sim::JournalLines("msgbox").size(), 1u);
  EXPECT_EQ(sim::JournalLines("openfile").size(), 1u);
}

}  // namespace
}  // namespace kvtest
