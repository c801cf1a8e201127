#include "MainTestSupport.h"
#include "app/HotKeyRules.h"
#include "tests/sim/SimHotKeys.h"
#include "ui/OptionRules.h"

namespace platform {
// Failures name the keys as the settings file does.
void PrintTo(const HotKey& key, std::ostream* out) { *out << '"' << HotKeyText(key) << '"'; }
}  // namespace platform

namespace kvtest {
namespace {

using platform::HotKey;
constexpr std::uint32_t kCtrlAltMods = platform::kModControl | platform::kModAlt;

TEST(HotKeyTextTest, EveryKeyComesBackFromItsText) {
  for (std::uint32_t modifiers = 0; modifiers < 16; ++modifiers) {
    for (std::uint32_t key = 1; key <= 0xFE; ++key) {
      const HotKey written{modifiers, key};
      HotKey read{7, 7};
      ASSERT_TRUE(ParseHotKey(HotKeyText(written), &read)) << HotKeyText(written);
      EXPECT_EQ(read, written) << HotKeyText(written);
    }
  }
}

TEST(HotKeyTextTest, TextsAsAPersonTypesThemAndOnesThatNameNoKey) {
  struct Row {
    const char* text;
    bool known;
    HotKey key;
  };
  const Row rows[] = {
      {"Ctrl+Alt+PageUp", true, {kCtrlAltMods, 0x21}},
      {" ctrl + ALT + pageup ", true, {kCtrlAltMods, 0x21}},
      {"Alt+Ctrl+End", true, {kCtrlAltMods, 0x23}},
      {"Win+Shift+f12", true, {platform::kModWin | platform::kModShift, 0x7B}},
      {"Ctrl+Key186", true, {platform::kModControl, 186}},
      {"0", true, {0, '0'}},
      {"Num0", true, {0, 0x60}},
      {"", true, {}},
      {"   ", true, {}},
      {"Ctrl+Alt", false, {}},
      {"Ctrl+Ctrl+A", false, {}},
      {"Hyper+A", false, {}},
      {"Ctrl++A", false, {}},
      {"Ctrl+Alt+PgUp", false, {}},
      {"Key33", false, {}},  // PageUp has a name of its own
      {"Ctrl+Alt+End+", false, {}},
  };
  for (const Row& row : rows) {
    HotKey key{9, 9};
    EXPECT_EQ(ParseHotKey(row.text, &key), row.known) << row.text;
    if (row.known) {
      EXPECT_EQ(key, row.key) << row.text;
    }
  }
  EXPECT_EQ(HotKeyText({kCtrlAltMods | platform::kModShift | platform::kModWin, 0x22}), "Ctrl+Alt+Shift+Win+PageDown");
}

class HotKeyTest : public MainFixture {
 protected:
  static HotKey CtrlAlt(std::uint32_t key) { return {kCtrlAltMods, key}; }
  std::vector<std::string> Boxes() { return sim::JournalLines("msgbox"); }
  std::string HeldBox(const std::string& keys) {
    return "msgbox " + std::to_string(platform::app::MainWindow()) + " 48 警告|" +
           "次のショートカットキーは他のプログラムが使っているため登録できませんでした:" + keys;
  }
  std::vector<int> HeldIds() {
    std::vector<int> ids;
    for (const auto& [id, key] : sim::ProgramHotKeys()) ids.push_back(id);
    return ids;
  }
  void PressOk(TMain& m, const std::function<void(TInfo&)>& change) {
    TOptionControls c;
    c.LoadControls(m.Info);
    change(c.Marks);
    ApplyOptions(c, m, nullptr);
  }
};

TEST_F(HotKeyTest, AKeyHeldElsewhereIsNamedOnceAndTheOthersWorkAsTheirButtons) {
  WriteIni("[Setting]\r\nUseHotKeys=1\r\nUseMediaKeys=1\r\nFadeoutOnChange=1\r\nCloseOnStop=0\r\n"
           "HotKeyPlaylist=Ctrl+Alt+P\r\n");
  sim::HoldKeyElsewhere(CtrlAlt(platform::vk::kEnd), true);
  sim::HoldKeyElsewhere({0, platform::vk::kMediaPlayPause}, true);
  player_.Start();
  TMain& m = Start();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{HeldBox("\r\n Ctrl+Alt+End (Stop)\r\n MediaPlayPause (Play/Pause)")}));
  EXPECT_EQ(HeldIds(), (std::vector<int>{hkPrev, hkPlay, hkPause, hkNext, hkPlaylist, hkMediaPrev, hkMediaStop,
                                         hkMediaNext}));

  // Next fades as its button does; the media Stop key is the Stop button.
  sim::ClearJournal();
  ASSERT_TRUE(sim::PressHotKey(CtrlAlt(platform::vk::kPageDown)));
  ASSERT_TRUE(sim::PressHotKey({0, platform::vk::kMediaStop}));
  EXPECT_EQ(Commands(), (std::vector<std::string>{Cmd(40147), Cmd(40048), Cmd(40045), Cmd(40047)}));
  framestandin::Calls().events.clear();
  ASSERT_TRUE(sim::PressHotKey(CtrlAlt('P')));
  EXPECT_EQ(framestandin::Calls().events, (std::vector<std::string>{"show"}));

  // The other program lets its key go; the user comes back to the session
  // and it is taken without a word.
  sim::HoldKeyElsewhere(CtrlAlt(platform::vk::kEnd), false);
  sim::ChangeSession(platform::kSessionUnlock);
  EXPECT_EQ(HeldIds().size(), 9u);
  EXPECT_TRUE(Boxes().empty());

  // OK without a change tells nothing again; a new key that is held is named.
  PressOk(m, [](TInfo&) {});
  EXPECT_TRUE(Boxes().empty());
  sim::HoldKeyElsewhere(CtrlAlt('Q'), true);
  PressOk(m, [](TInfo& marks) { marks.HotKeyPlaylist = CtrlAlt('Q'); });
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         HeldBox("\r\n Ctrl+Alt+Q (プレイリストウインドウ)\r\n MediaPlayPause (Play/Pause)")}));
  EXPECT_EQ(HeldIds().size(), 8u);

  PressOk(m, [](TInfo& marks) { marks.UseHotKeys = false; });
  EXPECT_EQ(HeldIds(), (std::vector<int>{hkMediaPrev, hkMediaStop, hkMediaNext}));
  EXPECT_TRUE(sim::CloseMainWindow());
  EXPECT_TRUE(sim::ProgramHotKeys().empty());
  EXPECT_FALSE(sim::SessionWatched());
}

}  // namespace
}  // namespace kvtest
