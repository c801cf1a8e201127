#include "MainTestSupport.h"

namespace kvtest {
namespace {

using Ids = std::vector<std::uint32_t>;

class PollTest : public MainFixture {
 protected:
  TMain& Ready(bool closeOnStop, bool swap = false) {
    TMain& m = Bare();
    m.Info.CloseOnStop = closeOnStop;
    m.Info.PlayChangePause = swap;
    m.Info.ShowPauseIcon = !swap;
    m.IconPrev = std::make_unique<TTrayIcon>();
    m.IconPlay = std::make_unique<TTrayIcon>();
    m.IconPause = std::make_unique<TTrayIcon>();
    m.IconStop = std::make_unique<TTrayIcon>();
    m.IconNext = std::make_unique<TTrayIcon>();
    m.IconEject = std::make_unique<TTrayIcon>();
    for (int id = 1; id <= 6; ++id) {
      m.IconById(id)->Tip = kc::kTrayTips[id];
      m.IconById(id)->SetInfo(id, m.Info.AppDir + kc::kIconFiles[id]);
    }
    return m;
  }
};

TEST_F(PollTest, LayoutFollowsEveryStateChange) {
  struct Row {
    std::int32_t from, to;
    bool closeOnStop;
    Ids before, after;  // before: what is in the tray when the change is seen
  };
  const Ids all = {1, 2, 3, 4, 5, 6};
  const std::vector<Row> table = {
      {kc::psNoPlayer, kc::psPlaying, false, {}, all},
      {kc::psStopped, kc::psPlaying, false, {2, 6}, all},
      {kc::psPaused, kc::psPlaying, false, {2}, {2}},
      {kc::psNoPlayer, kc::psPaused, false, {}, all},
      {kc::psStopped, kc::psPaused, true, {}, all},
      {kc::psPlaying, kc::psPaused, false, {6}, {6}},
      {kc::psPlaying, kc::psStopped, false, all, {2, 6}},
      {kc::psPlaying, kc::psStopped, true, all, {2, 4, 6}},
      {kc::psPaused, kc::psStopped, false, all, {2, 6}},
      {kc::psNoPlayer, kc::psStopped, false, {1}, {1, 2, 6}},
      {kc::psNoPlayer, kc::psStopped, true, {1}, {1, 2, 4, 6}},
      {kc::psPlaying, kc::psNoPlayer, false, all, {2, 6}},
      {kc::psStopped, kc::psNoPlayer, true, {4}, {2, 6}},
  };
  for (const Row& row : table) {
    TMain& m = Ready(row.closeOnStop);
    if (player_.wnd) player_.Close();
    // Put the tray into the "before" set and record `from` as the last state.
    sim::ClearTray();
    for (std::uint32_t id : row.before) m.IconById(static_cast<int>(id))->ShowIcon();
    m.Player.LastPlayState = row.from;
    if (row.to != kc::psNoPlayer) {
      player_.Start();
      player_.state = row.to;
    }
    m.TimerTimer();
    EXPECT_EQ(TrayIds(), row.after) << row.from << " -> " << row.to << " closeOnStop " << row.closeOnStop;
    EXPECT_EQ(m.Player.LastPlayState, row.to);
  }
}

TEST_F(PollTest, ShowIconsTakesEverythingOutThenAddsTheWantedInIdOrder) {
  TMain& m = Ready(true);
  m.Info.ShowPauseIcon = m.Info.ShowNextIcon = false;
  sim::ClearTray();
  m.IconEject->ShowIcon();
  sim::ClearJournal();
  m.ShowIcons();
  std::vector<std::string> ops;
  for (const std::string& line : sim::JournalLines("tray ")) ops.push_back(line.substr(5, line.find(' ', 5) - 5) + line.substr(line.find(' ', line.find(' ', 5) + 1), 2));
  EXPECT_EQ(ops, (std::vector<std::string>{"delete 1", "delete 2", "delete 3", "delete 4", "delete 5", "delete 6",
                                           "add 1", "add 2", "add 4", "add 6"}));
  m.Info.ShowPrevIcon = m.Info.ShowStopIcon = m.Info.ShowEjectIcon = false;
  m.ShowIcons();
  EXPECT_EQ(TrayIds(), Ids{2});
}

TEST_F(PollTest, SteadyStateTouchesNothing) {
  TMain& m = Ready(true);
  player_.Start();
  player_.state = kc::psPlaying;
  m.TimerTimer();
  sim::ClearJournal();
  m.TimerTimer();
  m.TimerTimer();
  EXPECT_TRUE(sim::JournalLines("tray").empty());
  EXPECT_EQ(sim::Journal().size(), 2u);  // one query per tick
}

TEST_F(PollTest, SwapModeShowsThePauseImageOnlyWhilePlaying) {
  TMain& m = Ready(false, true);
  player_.Start();
  const std::vector<std::pair<std::int32_t, std::string>> steps = {
      {kc::psPlaying, "Pause.ico"}, {kc::psPaused, "Play.ico"},    {kc::psPlaying, "Pause.ico"},
      {kc::psStopped, "Play.ico"},  {kc::psPlaying, "Pause.ico"}, {kc::psNoPlayer, "Play.ico"},
  };
  for (const auto& [state, image] : steps) {
    if (state == kc::psNoPlayer) player_.Close(); else player_.state = state;
    m.TimerTimer();
    EXPECT_EQ(PlayImage(), image) << "state " << state;
  }
  // The tip names the button, not the image it shows.
  EXPECT_EQ(sim::TrayTips()[2], "Kelvane - Play");
  // Outside swap mode the poll never changes the image.
  TMain& n = Ready(false, false);
  player_.Start();
  sim::ClearJournal();
  player_.state = kc::psPlaying;
  n.TimerTimer();
  EXPECT_TRUE(sim::JournalLines("tray modify").empty());
}

TEST_F(PollTest, UnknownAnswerIsRecordedAndChangesNoButton) {
  TMain& m = Ready(false);
  player_.Start();
  player_.state = kc::psPlaying;
  m.TimerTimer();
  player_.state = 2;
  sim::ClearJournal();
  m.TimerTimer();
  EXPECT_EQ(m.Player.LastPlayState, 2);
  EXPECT_TRUE(sim::JournalLines("tray").empty());
  // A known state afterwards always counts as a change.
  player_.state = kc::psPlaying;
  m.TimerTimer();
  EXPECT_EQ(TrayIds(), (Ids{1, 2, 3, 4, 5, 6}));
}

TEST_F(PollTest, AFailingSwapImageEndsTheTickIsRetriedAndIsShownOnce) {
  TMain& m = Ready(false, true);
  player_.Start();
  std::filesystem::remove(sim::HostPath("C:\\Kelvane\\icon\\Pause.ico"));
  player_.state = kc::psPlaying;
  sim::ClearJournal();
  for (int tick = 0; tick < 3; ++tick) platform::app::RunGuarded([&] { m.TimerTimer(); });
  ASSERT_EQ(sim::JournalLines("msgbox").size(), 1u);
  EXPECT_NE(sim::JournalLines("msgbox")[0].find("ファイル C:\\Kelvane\\icon\\Pause.ico は開けません."), std::string::npos);
  EXPECT_EQ(m.Player.LastPlayState, kc::psNoPlayer);  // not recorded: the layout was not made
  EXPECT_TRUE(sim::JournalLines("tray add").empty());
  WriteFile("C:\\Kelvane\\icon\\Pause.ico", MinimalIco());
  platform::app::RunGuarded([&] { m.TimerTimer(); });
  EXPECT_EQ(m.Player.LastPlayState, kc::psPlaying);
  EXPECT_EQ(PlayImage(), "Pause.ico");
}

}  // namespace
}  // namespace kvtest
