#include "MainTestSupport.h"

namespace kvtest {
namespace {

class EnsurePlayerTest : public MainFixture {
 protected:
  const std::string notice = std::string("msgbox 0 64 Kelvane|") + kc::kPlayerPathNotice;
  std::string OpenFile() { return "openfile " + std::to_string(platform::app::MainWindow()) + " " + kc::kPlayerFileFilter; }
};

TEST_F(EnsurePlayerTest, RunningPlayerIsFoundAndNothingChanges) {
  TMain& m = Bare();
  player_.Start();
  for (bool correct : {false, true}) {
    m.Info.CorrectPath = correct;
    EXPECT_TRUE(m.EnsurePlayer());
    EXPECT_EQ(m.Info.CorrectPath, correct);
  }
  EXPECT_TRUE(sim::Journal().empty());
}

TEST_F(EnsurePlayerTest, ValidPathStartsThePlayerOnceWithTheQuotedPath) {
  TMain& m = Bare();
  m.Info.PlayerPath = "C:\\Program Files\\Winamp\\winamp.exe";
  WriteFile(m.Info.PlayerPath, "MZ");
  sim::SetStartProgramHook([this](const std::string&) { player_.Start(); });
  EXPECT_TRUE(m.EnsurePlayer());
  EXPECT_TRUE(m.Info.CorrectPath);
  EXPECT_EQ(sim::Journal(), std::vector<std::string>{"winexec \"C:\\Program Files\\Winamp\\winamp.exe\" 1"});
}

TEST_F(EnsurePlayerTest, AProgramThatMakesNoPlayerWindowEmptiesThePathAndAsks) {
  TMain& m = Bare();
  m.Info.PlayerPath = "C:\\Tools\\notepad.exe";
  m.Info.CorrectPath = true;
  WriteFile(m.Info.PlayerPath, "MZ");
  EXPECT_FALSE(m.EnsurePlayer());
  EXPECT_EQ(m.Info.PlayerPath, "");
  EXPECT_FALSE(m.Info.CorrectPath);
  EXPECT_EQ(sim::Journal(), (std::vector<std::string>{"winexec \"C:\\Tools\\notepad.exe\" 1", notice, OpenFile()}));
}

TEST_F(EnsurePlayerTest, MissingOrEmptyPathAsksWithoutStartingAnything) {
  for (const std::string& path : {std::string(), std::string("C:\\Gone\\winamp.exe")}) {
    TMain& m = Bare();
    m.Info.PlayerPath = path;
    m.Info.CorrectPath = true;
    sim::ClearJournal();
    EXPECT_FALSE(m.EnsurePlayer());
    EXPECT_FALSE(m.Info.CorrectPath);
    EXPECT_EQ(m.Info.PlayerPath, path);  // a cancelled dialog keeps the value
    EXPECT_EQ(sim::Journal(), (std::vector<std::string>{notice, OpenFile()}));
  }
}

TEST_F(EnsurePlayerTest, AChosenFileIsStoredAndTriedOnlyAtTheNextClick) {
  TMain& m = Bare();
  sim::QueueOpenFileAnswer(std::string("D:\\Apps\\winamp.exe"));
  EXPECT_FALSE(m.EnsurePlayer());
  EXPECT_EQ(m.Info.PlayerPath, "D:\\Apps\\winamp.exe");
  EXPECT_FALSE(m.Info.CorrectPath);
  EXPECT_TRUE(sim::JournalLines("winexec").empty());

  WriteFile("D:\\Apps\\winamp.exe", "MZ");
  sim::SetStartProgramHook([this](const std::string&) { player_.Start(); });
  sim::ClearJournal();
  m.TrayClick(2, tcLeft);
  EXPECT_EQ(sim::JournalLines("winexec"), std::vector<std::string>{"winexec \"D:\\Apps\\winamp.exe\" 1"});
  EXPECT_EQ(Commands(), std::vector<std::string>{Cmd(40045)});
  EXPECT_TRUE(m.Info.CorrectPath);
}

TEST_F(EnsurePlayerTest, APathInAnyScriptIsKeptAndStartedExactly) {
  // A Korean folder on a Japanese system: no "?" in the setting nor in the
  // command line, which would start nothing at every later click.
  TMain& m = Bare();
  m.Info.PlayerPath = "C:\\Old\\winamp.exe";
  sim::QueueOpenFileAnswer(std::u16string(u"D:\\\uC74C\uC545\\winamp.exe"));
  m.AskPlayerPath();
  const std::string korean = u8"D:\\\uC74C\uC545\\winamp.exe";
  EXPECT_EQ(m.Info.PlayerPath, korean);
  EXPECT_EQ(sim::JournalLines("msgbox").size(), 1u);  // the notice, no refusal
  WriteFile(korean, "MZ");
  sim::SetStartProgramHook([this](const std::string&) { player_.Start(); });
  EXPECT_TRUE(m.EnsurePlayer());
  EXPECT_EQ(sim::JournalLines("winexec"), std::vector<std::string>{"winexec \"" + korean + "\" 1"});
}

TEST_F(EnsurePlayerTest, AskPlayerPathDoesNothingWhenThePathExists) {
  TMain& m = Bare();
  m.Info.PlayerPath = "C:\\Winamp\\winamp.exe";
  WriteFile(m.Info.PlayerPath, "MZ");
  m.AskPlayerPath();
  EXPECT_TRUE(sim::Journal().empty());
}

}  // namespace
}  // namespace kvtest
