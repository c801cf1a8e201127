#include "MainTestSupport.h"

namespace kvtest {
namespace {

using PlayerCommandTest = MainFixture;

TEST_F(PlayerCommandTest, EverySlotSendsItsMessagesThenBringsThePlayerForward) {
  TMain& m = Bare();
  player_.Start();
  ASSERT_TRUE(m.FindPlayer());
  const std::string fg = "foreground " + std::to_string(player_.wnd);
  // Close (slot 8) comes last: it ends the player.
  const std::vector<std::pair<int, std::vector<std::string>>> table = {
      {kc::cmdPlay, {Cmd(40045)}},
      {kc::cmdStop, {Cmd(40047)}},
      {kc::cmdPause, {Cmd(40046)}},
      {kc::cmdPrev, {Cmd(40044)}},
      {kc::cmdNext, {Cmd(40048)}},
      {kc::cmdEject, {Msg(0x100, 76, 0), Msg(0x101, 76, 0)}},
      {kc::cmdInsertKey, {Msg(0x100, 45, 0), Msg(0x101, 45, 0)}},
      {kc::cmdFadeoutStop, {Cmd(40147)}},
      {kc::cmdIsPlaying, {Msg(0x400, 0, 104)}},
      {kc::cmdClose, {Cmd(40001)}},
  };
  for (const auto& [slot, expected] : table) {
    sim::ClearJournal();
    m.SendPlayerCommand(slot);
    std::vector<std::string> want = expected;
    want.push_back(fg);
    EXPECT_EQ(sim::Journal(), want) << "slot " << slot;
  }
}

TEST_F(PlayerCommandTest, FieldsAreReadByPositionNotBySplittingAtCommas) {
  TMain& m = Bare();
  player_.Start();
  m.FindPlayer();
  m.Commands[1] = "COM,00012,7 trailing";  // position 11 is the whole lParam
  m.Commands[2] = "USR,5,042xyz";
  m.Commands[3] = "KEY,0769";
  for (int slot : {1, 2, 3}) m.SendPlayerCommand(slot);
  EXPECT_EQ(Messages(), (std::vector<std::string>{Msg(0x111, 12, 7), Msg(0x400, 5, 42), Msg(0x100, 76, 0),
                                                   Msg(0x101, 76, 0)}));
}

TEST_F(PlayerCommandTest, UnknownKindSendsNothingButStillBringsThePlayerForward) {
  TMain& m = Bare();
  player_.Start();
  m.FindPlayer();
  m.Commands[1] = "com,40045,0";
  m.SendPlayerCommand(1);
  EXPECT_EQ(sim::Journal(), (std::vector<std::string>{"foreground " + std::to_string(player_.wnd)}));
}

TEST_F(PlayerCommandTest, NonIntegerFieldIsAnErrorAndSendsNothing) {
  TMain& m = Bare();
  player_.Start();
  m.FindPlayer();
  for (const char* text : {"COM,4o045,0", "COM,40045,x", "USR,0,1 4", "KEY,7a", "COM,40045", "KEY,"}) {
    m.Commands[1] = text;
    sim::ClearJournal();
    platform::app::RunGuarded([&] { m.SendPlayerCommand(1); });
    const auto& journal = sim::Journal();
    ASSERT_EQ(journal.size(), 1u) << text;
    EXPECT_EQ(journal[0].rfind("msgbox ", 0), 0u) << text;
    EXPECT_NE(journal[0].find("Kelvane|'"), std::string::npos) << journal[0];
    EXPECT_NE(journal[0].find("' は整数ではありません."), std::string::npos) << journal[0];
  }
}

TEST_F(PlayerCommandTest, QueryFollowsThePlayerAndNeverBringsItForward) {
  TMain& m = Bare();
  EXPECT_EQ(m.QueryPlayState(), kc::psNoPlayer);
  EXPECT_EQ(m.Player.PlayerWnd, 0u);
  player_.Start();
  for (std::int32_t state : {kc::psStopped, kc::psPlaying, kc::psPaused, 7}) {
    player_.state = state;
    EXPECT_EQ(m.QueryPlayState(), state);
    EXPECT_EQ(m.Player.PlayerWnd, player_.wnd);
  }
  player_.Close();
  EXPECT_EQ(m.QueryPlayState(), kc::psNoPlayer);
  EXPECT_EQ(m.Player.PlayerWnd, 0u);
  EXPECT_TRUE(sim::JournalLines("foreground").empty());
}

}  // namespace
}  // namespace kvtest
