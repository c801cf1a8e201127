// The main object against the stand-in player, over real window messages.
#include <gtest/gtest.h>

#include "WinTestSupport.h"
#include "app/MainUnit.h"
#include "platform/Messaging.h"
#include "platform/OtherProgram.h"

namespace {

using wintest::Process;

class PlayerWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    peer_ = wintest::EnvPath("KELVANE_PEER");
    if (peer_.empty()) GTEST_SKIP() << "KELVANE_PEER is not set";
    journal_ = wintest::TempFolder("kelvane-player-test") + "journal.txt";
    DeleteFileA(journal_.c_str());
    SetEnvironmentVariableA("KELVANE_PLAYER_JOURNAL", journal_.c_str());
  }
  void StartPlayer() {
    ASSERT_TRUE(player_.Start("\"" + peer_ + "\""));
    ASSERT_TRUE(wintest::WaitFor([] { return FindWindowA("Winamp v1.x", nullptr) != nullptr; }, 10000));
  }
  // The journal's lines that record what the player received from outside.
  std::vector<std::string> Received() {
    std::vector<std::string> out;
    for (const std::string& line : wintest::ReadLines(journal_)) {
      if (line.rfind("WM_", 0) == 0) out.push_back(line);
    }
    return out;
  }

  std::string peer_;
  std::string journal_;
  Process player_;
};

TEST_F(PlayerWinTest, EveryCommandSlotReachesThePlayerInOrder) {
  StartPlayer();
  TMain main;
  main.InitCommandTable();
  ASSERT_TRUE(main.FindPlayer());
  for (int slot = 1; slot <= 10; ++slot) {
    if (slot != kc::cmdClose) main.SendPlayerCommand(slot);
  }
  main.SendPlayerCommand(kc::cmdClose);
  EXPECT_EQ(Received(), (std::vector<std::string>{
                            "WM_COMMAND 40045 0", "WM_COMMAND 40047 0", "WM_COMMAND 40046 0", "WM_COMMAND 40044 0",
                            "WM_COMMAND 40048 0", "WM_KEYDOWN 76 0", "WM_KEYUP 76 0", "WM_KEYDOWN 45 0",
                            "WM_KEYUP 45 0", "WM_COMMAND 40147 0", "WM_USER 0 104 -> 0", "WM_COMMAND 40001 0"}));
  EXPECT_TRUE(player_.WaitExit(5000));
}

TEST_F(PlayerWinTest, CommandsBringThePlayerToTheForeground) {
  StartPlayer();
  TMain main;
  main.InitCommandTable();
  ASSERT_TRUE(main.FindPlayer());
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  main.SendPlayerCommand(kc::cmdPlay);
  EXPECT_TRUE(wintest::WaitFor([&] { return GetForegroundWindow() == reinterpret_cast<HWND>(main.Player.PlayerWnd); },
                               3000));
  DestroyWindow(other);
  main.SendPlayerCommand(kc::cmdClose);
}

TEST_F(PlayerWinTest, QueryPlayStateFollowsThePlayerUntilItCloses) {
  TMain main;
  main.InitCommandTable();
  EXPECT_EQ(main.QueryPlayState(), kc::psNoPlayer);
  StartPlayer();
  EXPECT_EQ(main.QueryPlayState(), kc::psStopped);
  main.SendPlayerCommand(kc::cmdPlay);
  EXPECT_EQ(main.QueryPlayState(), kc::psPlaying);
  main.SendPlayerCommand(kc::cmdPause);
  EXPECT_EQ(main.QueryPlayState(), kc::psPaused);
  main.SendPlayerCommand(kc::cmdPause);
  EXPECT_EQ(main.QueryPlayState(), kc::psPlaying);
  main.SendPlayerCommand(kc::cmdStop);
  EXPECT_EQ(main.QueryPlayState(), kc::psStopped);
  main.SendPlayerCommand(kc::cmdClose);
  ASSERT_TRUE(player_.WaitExit(5000));
  EXPECT_EQ(main.QueryPlayState(), kc::psNoPlayer);
  EXPECT_EQ(main.Player.PlayerWnd, 0u);
}

TEST_F(PlayerWinTest, MiddleClickRestoresTheMinimisedPlayerOfAnotherProcess) {
  StartPlayer();
  TMain main;
  main.InitCommandTable();
  ASSERT_TRUE(main.FindPlayer());
  const HWND player = reinterpret_cast<HWND>(main.Player.PlayerWnd);
  ShowWindow(player, SW_MINIMIZE);
  ASSERT_TRUE(wintest::WaitFor([&] { return IsIconic(player) != FALSE; }, 3000));
  main.TrayClick(2, tcMiddle);
  EXPECT_TRUE(wintest::WaitFor([&] { return IsIconic(player) == FALSE && IsWindowVisible(player); }, 3000));
  EXPECT_TRUE(wintest::WaitFor([&] { return GetForegroundWindow() == player; }, 3000));
  main.SendPlayerCommand(kc::cmdClose);
  EXPECT_TRUE(player_.WaitExit(5000));
}

TEST(CodePage, TheSystemRunsCodePage932) { EXPECT_EQ(GetACP(), 932u); }

}  // namespace
