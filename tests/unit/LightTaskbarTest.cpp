// The buttons' pictures follow the taskbar: the light set while the system
// says its taskbar is light, today's pictures otherwise.
#include "MainTestSupport.h"
#include "tests/sim/SimShell.h"

namespace kvtest {
namespace {

using Files = std::vector<std::pair<std::uint32_t, std::string>>;

class LightTaskbarTest : public MainFixture {
 protected:
  void SetUp() override {
    MainFixture::SetUp();
    // A light set without Eject: that button keeps today's picture.
    for (const char* name : {"Prev", "Play", "Pause", "Stop", "Next"}) {
      WriteFile(std::string("C:\\Kelvane\\icon\\light\\") + name + ".ico", MinimalIco());
    }
  }
  void SetTaskbar(std::uint32_t light) { sim::SetUserRegistryNumber(kc::kPersonalizeKey, "SystemUsesLightTheme", light); }
  // The setting change as the system broadcasts it to every top-level window.
  void Broadcast(TMain& m, std::uintptr_t setting, const char* area) {
    for (int id = 1; id <= 6; ++id) {
      sim::DeliverToProgramWindow(m.IconById(id)->Handle(), platform::kWmSettingChange, setting,
                                  reinterpret_cast<std::intptr_t>(area));
    }
  }
  static std::string Light(const char* name) { return std::string("C:\\Kelvane\\icon\\light\\") + name + ".ico"; }
  static std::string Usual(const char* name) { return std::string("C:\\Kelvane\\icon\\") + name + ".ico"; }
};

TEST_F(LightTaskbarTest, EveryShownButtonSwapsAtTheColourChangeFileByFileKeepingTheSwapAndBack) {
  WriteIni("[Setting]\r\nPlayChangePause=1\r\nShowPauseIcon=0\r\n");
  TMain& m = Start();
  player_.Start();
  player_.state = kc::psPlaying;
  sim::TickTimers();
  const Files usual = {{1, Usual("Prev")}, {2, Usual("Pause")}, {4, Usual("Stop")}, {5, Usual("Next")},
                       {6, Usual("Eject")}};
  ASSERT_EQ(sim::TrayIconFiles(), usual);

  SetTaskbar(1);
  Broadcast(m, 0, "Environment");
  Broadcast(m, 0, nullptr);
  EXPECT_EQ(sim::TrayIconFiles(), usual) << "only a change of the colours is looked at";
  Broadcast(m, 0, "ImmersiveColorSet");
  EXPECT_EQ(sim::TrayIconFiles(), (Files{{1, Light("Prev")}, {2, Light("Pause")}, {4, Light("Stop")},
                                         {5, Light("Next")}, {6, Usual("Eject")}}));
  // The swap goes on in the light set, and the layout keeps the buttons.
  player_.state = kc::psPaused;
  sim::TickTimers();
  EXPECT_EQ(sim::TrayIconFiles()[1], (std::pair<std::uint32_t, std::string>{2, Light("Play")}));

  SetTaskbar(0);
  Broadcast(m, 0, "ImmersiveColorSet");
  EXPECT_EQ(sim::TrayIconFiles()[1], (std::pair<std::uint32_t, std::string>{2, Usual("Play")}));
  EXPECT_EQ(sim::TrayIconFiles().size(), 5u);
}

TEST_F(LightTaskbarTest, StartUpFollowsTheTaskbarAndHighContrastOrNoValueMeansTodaysPictures) {
  SetTaskbar(1);
  Start();
  EXPECT_EQ(sim::TrayIconFiles(), (Files{{2, Light("Play")}, {6, Usual("Eject")}}));
  sim::CloseMainWindow();

  sim::SetHighContrast(true);
  TMain& m = Start();
  EXPECT_EQ(sim::TrayIconFiles(), (Files{{2, Usual("Play")}, {6, Usual("Eject")}}));
  sim::SetHighContrast(false);
  Broadcast(m, platform::kSpiSetHighContrast, nullptr);
  EXPECT_EQ(sim::TrayIconFiles(), (Files{{2, Light("Play")}, {6, Usual("Eject")}}));
  sim::CloseMainWindow();

  sim::RemoveUserRegistryKey(kc::kPersonalizeKey);
  Start();
  EXPECT_EQ(sim::TrayIconFiles(), (Files{{2, Usual("Play")}, {6, Usual("Eject")}}));
}

}  // namespace
}  // namespace kvtest
