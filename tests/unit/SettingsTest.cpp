#include "MainTestSupport.h"
#include "platform/Locale.h"

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
  EXPECT_FALSE(m.Info.ReadID3v2 || m.Info.UnicodeLibrary || m.Info.NotifyTrack);
  EXPECT_FALSE(m.Info.PlayOnStartup || m.Info.PlayChangePause || m.Info.FadeoutOnStop || m.Info.FadeoutOnChange);
  EXPECT_FALSE(m.Info.CorrectPath);
  EXPECT_EQ(m.Info.PlaylistPos, 3);
  EXPECT_EQ(m.Info.PlayerPath, "");
  EXPECT_EQ(m.Info.PlayListPath, "");
  EXPECT_EQ(m.FrameWindow->FrameWidth(), 410);
  EXPECT_EQ(m.FrameWindow->FrameHeight(), 348);
  EXPECT_EQ(m.FrameWindow->PlaylistTreeWidth(), 200);
  EXPECT_EQ(m.FrameWindow->ArtistTreeHeight(), 150);
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
  const auto width = [](const TMain& m) { return std::int64_t(m.FrameWindow->FrameWidth()); };
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
  m.Info.PlayerPath = "C:\\Program Files\\Winamp\\winamp.exe";
  // Inside UTF-8; a file of the system code page while every value fits it.
  m.Info.PlayListPath = u8"D:\\リスト";
  m.SaveSettings();
  EXPECT_EQ(ReadFile("C:\\Kelvane\\kelvane.ini"),
            "[Info]\r\nApplicationName=Kelvane\r\nVersion=0.30.03.01\r\nPath=C:\\Kelvane\\\r\n"
            "[Setting]\r\nPlayerPath=C:\\Program Files\\Winamp\\winamp.exe\r\nCorrectPath=0\r\nWidth=410\r\n"
            "Height=348\r\nPlaylistTreeWidth=200\r\nArtistTreeHeight=150\r\nShowPrevIcon=1\r\nShowPlayIcon=1\r\n"
            "ShowPauseIcon=1\r\nShowStopIcon=1\r\nShowNextIcon=1\r\nShowEjectIcon=1\r\nPlayOnStartup=0\r\n"
            "PlayChangePause=0\r\nCloseOnStop=1\r\nPlaylistPos=3\r\nAutoHide=1\r\nFadeoutOnStop=0\r\n"
            "FadeoutOnChange=0\r\nPlayListPath=" + platform::Utf8ToSystem("D:\\リスト") + "\r\nCheckMP3OnUpdate=1\r\nReadID3v2=0\r\nGroupByAlbumArtist=0\r\nUnicodeLibrary=0\r\n"
            "NotifyTrack=0\r\n"
            "UseHotKeys=0\r\nHotKeyPrev=Ctrl+Alt+PageUp\r\nHotKeyPlay=Ctrl+Alt+Insert\r\nHotKeyPause=Ctrl+Alt+Home\r\n"
            "HotKeyStop=Ctrl+Alt+End\r\nHotKeyNext=Ctrl+Alt+PageDown\r\nHotKeyPlaylist=\r\nUseMediaKeys=0\r\n");
}

TEST_F(SettingsTest, EverySettingReadComesBackAsItWas) {
  // No value the default nor the window's own, so none is missed on one side.
  const std::string saved =
      "[Info]\r\nApplicationName=Kelvane\r\nVersion=0.30.03.01\r\nPath=C:\\Kelvane\\\r\n"
      "[Setting]\r\nPlayerPath=D:\\W\\winamp.exe\r\nCorrectPath=1\r\nWidth=500\r\nHeight=400\r\n"
      "PlaylistTreeWidth=240\r\nArtistTreeHeight=90\r\nShowPrevIcon=0\r\nShowPlayIcon=1\r\nShowPauseIcon=0\r\n"
      "ShowStopIcon=0\r\nShowNextIcon=0\r\nShowEjectIcon=0\r\nPlayOnStartup=1\r\nPlayChangePause=1\r\n"
      "CloseOnStop=0\r\nPlaylistPos=1\r\nAutoHide=0\r\nFadeoutOnStop=1\r\nFadeoutOnChange=1\r\n"
      "PlayListPath=D:\\Lists\r\nCheckMP3OnUpdate=0\r\nReadID3v2=1\r\nGroupByAlbumArtist=1\r\nUnicodeLibrary=1\r\nNotifyTrack=1\r\n"
      "UseHotKeys=1\r\n"
      "HotKeyPrev=Shift+F9\r\n"
      "HotKeyPlay=Ctrl+Win+Key186\r\nHotKeyPause=\r\nHotKeyStop=Alt+Pause\r\nHotKeyNext=Ctrl+Shift+Num5\r\n"
      "HotKeyPlaylist=Ctrl+Alt+P\r\nUseMediaKeys=1\r\n";
  WriteIni(saved);
  TMain& m = Bare();
  m.LoadSettings();
  m.SaveSettings();
  EXPECT_EQ(ReadFile("C:\\Kelvane\\kelvane.ini"), saved);
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

// Bad settings files: what the user sees, and what is on disk afterwards.
class SettingsFileBadInputTest : public MainFixture {
 protected:
  const std::string ini_ = "C:\\Kelvane\\kelvane.ini";
  const std::string users_ =
      "[Info]\r\nVersion=0.30.03.01\r\n[Setting]\r\nPlayerPath=C:\\Winamp\\winamp.exe\r\n"
      "PlaylistPos=0\r\nCloseOnStop=0\r\nPlayListPath=D:\\Lists\r\nMine=keep\r\n";
};

TEST_F(SettingsFileBadInputTest, FileHeldThroughStartUpIsNeverSavedOver) {
  WriteIni(users_);
  sim::LockFile(ini_);
  TMain& m = Start();
  const auto boxes = sim::JournalLines("msgbox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "msgbox " + std::to_string(platform::app::MainWindow()) + " 48 警告|" +
                          platform::Message(kc::kSettingsUnreadNotice, ini_).Utf8());
  EXPECT_EQ(sim::JournalLines("wait ").size(), static_cast<std::size_t>(kc::kSettingsReadRetries));
  EXPECT_EQ(m.Info.PlaylistPos, 3);
  EXPECT_EQ(m.Info.PlayerPath, "");
  // Released while the program runs: the exit still leaves it as it is, and
  // says nothing more.
  sim::UnlockFile(ini_);
  m.Info.AutoHide = false;
  EXPECT_TRUE(sim::CloseMainWindow());
  EXPECT_EQ(ReadFile(ini_), users_);
  EXPECT_EQ(sim::JournalLines("msgbox").size(), 1u);
}

TEST_F(SettingsFileBadInputTest, FileHeldForAMomentIsReadOnRetry) {
  WriteIni(users_);
  sim::LockFile(ini_);
  int waits = 0;
  sim::SetWaitHook([&] {
    if (++waits == 2) sim::UnlockFile(ini_);
  });
  TMain& m = Start();
  EXPECT_TRUE(sim::JournalLines("msgbox").empty());
  EXPECT_EQ(waits, 2);
  EXPECT_EQ(m.Info.PlaylistPos, 0);
  EXPECT_EQ(m.Info.PlayerPath, "C:\\Winamp\\winamp.exe");
  m.Info.PlaylistPos = 2;
  EXPECT_TRUE(sim::CloseMainWindow());
  const std::string saved = ReadFile(ini_);
  EXPECT_NE(saved.find("PlaylistPos=2\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("PlayListPath=D:\\Lists\r\nMine=keep\r\n"), std::string::npos) << saved;
}

// Saved as Unicode by an editor: every setting is read, and the file comes
// back in UTF-16 with its mark, holding what its code-page twin would hold.
TEST_F(SettingsFileBadInputTest, UnicodeFileIsReadAndSavedInItsOwnEncoding) {
  const std::u16string users = platform::Utf8ToUtf16(users_ + "Mine2=リスト\r\n");
  std::string utf16 = "\xFF\xFE";
  for (const char16_t c : users) {
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
  }
  const auto saveFrom = [&](const std::string& bytes) {
    WriteIni(bytes);
    TMain& m = Start();
    EXPECT_EQ(m.Info.PlayerPath, "C:\\Winamp\\winamp.exe");
    EXPECT_EQ(m.Info.PlaylistPos, 0);
    EXPECT_FALSE(m.Info.CloseOnStop);
    EXPECT_EQ(m.Info.PlayListPath, "D:\\Lists");
    EXPECT_TRUE(sim::CloseMainWindow());
    return ReadFile(ini_);
  };
  const std::string twin = saveFrom(users_ + platform::Utf8ToSystem("Mine2=リスト\r\n"));
  const std::string saved = saveFrom(utf16);
  ASSERT_EQ(saved.compare(0, 2, "\xFF\xFE"), 0);
  ASSERT_EQ(saved.size() % 2, 0u);
  std::u16string text;
  for (std::size_t i = 2; i < saved.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(saved[i]) | static_cast<unsigned char>(saved[i + 1]) << 8);
  }
  EXPECT_EQ(platform::Utf16ToAnsi(text), twin);
}

TEST_F(SettingsFileBadInputTest, ReadOnlyFileIsReportedAndKeptAndTheCloseWaits) {
  WriteIni(users_);
  const std::filesystem::path host = sim::HostPath(ini_);
  std::filesystem::permissions(host, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  TMain& m = Start();
  m.Info.PlaylistPos = 1;
  EXPECT_FALSE(sim::CloseMainWindow());
  const auto boxes = sim::JournalLines("msgbox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find(platform::Message(platform::kErrCannotWrite, ini_).Utf8() + "."), std::string::npos) << boxes[0];
  EXPECT_EQ(ReadFile(ini_), users_);
  // Once the user clears the attribute, the next exit saves.
  std::filesystem::permissions(host, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  EXPECT_TRUE(sim::CloseMainWindow());
  EXPECT_NE(ReadFile(ini_).find("PlaylistPos=1\r\n"), std::string::npos);
}

}  // namespace
}  // namespace kvtest
