// A player that stops answering its window messages: the program must neither
// wait for it nor read its silence as an answer.
#include "MainTestSupport.h"

namespace kvtest {
namespace {

class HungPlayerTest : public MainFixture {};

TEST_F(HungPlayerTest, SilenceKeepsTheLayoutAndAClickStartsNoSecondPlayer) {
  WriteIni("[Setting]\r\nPlayerPath=C:\\Winamp\\winamp.exe\r\nCorrectPath=1\r\nCloseOnStop=0\r\n");
  WriteFile("C:\\Winamp\\winamp.exe", "MZ");
  int starts = 0;
  sim::SetStartProgramHook([&](const std::string&) { ++starts; });
  player_.Start();
  player_.state = kc::psPlaying;
  TMain& m = Start();
  m.TimerTimer();
  const std::vector<std::uint32_t> playing = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(TrayIds(), playing);

  // Hung while it was playing; an answer of 0 would read as "stopped" and
  // take Prev, Pause, Stop and Next away.
  sim::SetWindowHung(player_.wnd, true);
  player_.state = kc::psStopped;
  sim::ClearJournal();
  m.TimerTimer();
  m.TimerTimer();
  EXPECT_EQ(TrayIds(), playing);
  EXPECT_EQ(m.Player.LastPlayState, kc::psPlaying);
  EXPECT_TRUE(sim::JournalLines("tray").empty());

  // Its window is still there, so the click finds it, asks once and moves on.
  sim::ClearJournal();
  m.TrayClick(2, tcLeft);
  m.TrayClick(6, tcLeft);
  EXPECT_EQ(starts, 0);
  EXPECT_TRUE(sim::JournalLines("winexec").empty());
  EXPECT_TRUE(sim::JournalLines("msgbox").empty());
  EXPECT_EQ(Commands(), (std::vector<std::string>{Cmd(40045), Msg(platform::kWmKeyDown, 76, 0)}));

  // Answering again, it is read as before.
  sim::SetWindowHung(player_.wnd, false);
  m.TimerTimer();
  EXPECT_EQ(m.Player.LastPlayState, kc::psStopped);
  EXPECT_EQ(TrayIds(), (std::vector<std::uint32_t>{2, 6}));
}

}  // namespace
}  // namespace kvtest
