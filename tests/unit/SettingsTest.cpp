#include "MainTestSupport.h"

namespace kvtest {
namespace {

using SettingsTest = MainFixture;

TEST_F(SettingsTest, NoFileGivesEveryDefault) {
  TMain& m = Bare();
  m.LoadSettings();
  EXPECT_TRUE(m.Info.ShowPrevIcon && m.Info.ShowPlayIcon && m.Info.ShowPauseIcon && m.Info.ShowStopIcon &&
              m.Info.ShowNextIcon && m.Info.ShowEjectIcon);
  EXPECT_TRUE(m.Info.CloseOnStop);
  EXPECT_TRUE(m.Info.AutoHide);
  EXPECT_TRUE(m.Info.CheckMP3OnUpdate);
  EXPECT_FALSE(m.Info.PlayOnStartup || m.Info.PlayChangePause || m.Info.FadeoutOnStop || m.Info.FadeoutOnChange);
  EXPECT_FALSE(m.Player.CorrectPath);
  EXPECT_EQ(m.Info.PlaylistPos, 3);
  EXPECT_EQ(m.Player.PlayerPath, "");
  EXPECT_EQ(m.Info.PlayListPath, "");
  EXPECT_EQ(m.PlaylistWindow.Width, 410);
  EXPECT_EQ(m.PlaylistWindow.Height, 348);
  EXPECT_EQ(m.PlaylistWindow.PlaylistTreeWidth, 200);
  EXPECT_EQ(m.PlaylistWindow.ArtistTreeHeight, 150);
}

TEST_F(SettingsTest, ValuesAreReadByTheIntegerAndBooleanRules) {
  struct Row {
    const char* line;
    std::function<std::int64_t(const TMain&)> field;
    std::int64_t want;
  };
  const auto pos = [](const TMain& m) { return m.Info.PlaylistPos; };
  const auto close = [](const TMain& m) { return std::int64_t(m.Info.CloseOnStop); };
  const auto fade = [](const TMain& m) { return std::int64_t(m.Info.FadeoutOnStop); };
  const auto play = [](const TMain& m) { return std::int64_t(m.Info.ShowPlayIcon); };
  const auto width = [](const TMain& m) { return std::int64_t(m.PlaylistWindow.Width); };
  const std::vector<Row> table = {
      {"PlaylistPos=7", pos, 3},         {"PlaylistPos=-2", pos, 0},      {"PlaylistPos=0x2", pos, 2},
      {"PlaylistPos=$1", pos, 1},        {"PlaylistPos=  2", pos, 2},     {"PlaylistPos=2x", pos, 3},
      {"PlaylistPos=", pos, 3},          {"CloseOnStop=yes", close, 1},   {"CloseOnStop=0", close, 0},
      {"CloseOnStop=-1", close, 1},      {"FadeoutOnStop=5", fade, 1},    {"FadeoutOnStop=true", fade, 0},
      {"ShowPlayIcon=0", play, 1},       {"Width=4294967296", width, 410}, {"Width=-300", width, -300},
  };
  for (const Row& row : table) {
    WriteIni(std::string("[Setting]\r\n") + row.line + "\r\n");
    TMain& m = Bare();
    m.LoadSettings();
    EXPECT_EQ(row.field(m), row.want) << row.line;
  }
}

TEST_F(SettingsTest, AFreshFileHoldsInfoThenSettingInOrder) {
  TMain& m = Bare();
  m.LoadSettings();
  m.Player.PlayerPath = "C:\\Program Files\\Winamp\\winamp.exe";
  m.Info.PlayListPath = "D:\\リスト";
  m.SaveSettings();
  EXPECT_EQ(ReadFile("C:\\Kelvane\\kelvane.ini"),
            "[Info]\r\nApplicationName=Kelvane\r\nVersion=0.30.03.01\r\nPath=C:\\Kelvane\\\r\n"
            "[Setting]\r\nPlayerPath=C:\\Program Files\\Winamp\\winamp.exe\r\nCorrectPath=0\r\nWidth=410\r\n"
            "Height=348\r\nPlaylistTreeWidth=200\r\nArtistTreeHeight=150\r\nShowPrevIcon=1\r\nShowPlayIcon=1\r\n"
            "ShowPauseIcon=1\r\nShowStopIcon=1\r\nShowNextIcon=1\r\nShowEjectIcon=1\r\nPlayOnStartup=0\r\n"
            "PlayChangePause=0\r\nCloseOnStop=1\r\nPlaylistPos=3\r\nAutoHide=1\r\nFadeoutOnStop=0\r\n"
            "FadeoutOnChange=0\r\nPlayListPath=D:\\リスト\r\nCheckMP3OnUpdate=1\r\n");
}

TEST_F(SettingsTest, UnknownLinesSurviveAndKnownKeysAreReplacedWhereTheyStand) {
  WriteIni("; my notes\r\n[Setting]\r\nShowPlayIcon=0\r\nMyKey=keep me\r\n[Other]\r\nx=1\r\n");
  TMain& m = Bare();
  m.LoadSettings();
  m.SaveSettings();
  const std::string ini = ReadFile("C:\\Kelvane\\kelvane.ini");
  EXPECT_EQ(ini.rfind("; my notes\r\n[Setting]\r\nShowPlayIcon=1\r\nMyKey=keep me\r\n", 0), 0u) << ini;
  EXPECT_NE(ini.find("[Other]\r\nx=1\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("[Info]\r\nApplicationName=Kelvane\r\n"), std::string::npos) << ini;
}

TEST_F(SettingsTest, TheFileFollowsTheProgramFileName) {
  sim::SetProgramFilePath("C:\\Tools\\remote.exe");
  WriteFile("C:\\Tools\\kelvane.ini", "[Setting]\r\nPlaylistPos=0\r\n");
  TMain& m = Bare();
  EXPECT_EQ(m.SettingsFileName(), "C:\\Tools\\remote.ini");
  m.LoadSettings();
  EXPECT_EQ(m.Info.PlaylistPos, 3);
  sim::SetProgramFilePath("C:\\Tools\\noext");
  EXPECT_EQ(m.SettingsFileName(), "C:\\Tools\\noext.ini");
  sim::SetProgramFilePath("C:\\my.dir\\prog");
  EXPECT_EQ(m.SettingsFileName(), "C:\\my.dir\\prog.ini");
}

}  // namespace
}  // namespace kvtest
