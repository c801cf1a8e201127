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
