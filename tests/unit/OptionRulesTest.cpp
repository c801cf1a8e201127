#include "MainTestSupport.h"
#include "platform/ShellLink.h"
#include "tests/sim/SimShell.h"
#include "ui/OptionRules.h"

namespace kvtest {
namespace {

// The boxes, by the settings they stand for.
constexpr auto Prev = &TInfo::ShowPrevIcon, Pause = &TInfo::ShowPauseIcon, Swap = &TInfo::PlayChangePause,
               Stop = &TInfo::ShowStopIcon, CloseOnStop = &TInfo::CloseOnStop, Next = &TInfo::ShowNextIcon,
               Eject = &TInfo::ShowEjectIcon;
using Ids = std::vector<std::uint32_t>;

const char kStartup[] = "C:\\Users\\me\\Startup";
const char kLink[] = "C:\\Users\\me\\Startup\\Kelvane.lnk";

class OptionRulesTest : public MainFixture {
 protected:
  void SetUp() override {
    MainFixture::SetUp();
    sim::SetUserRegistryString("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Startup",
                               kStartup);
    std::filesystem::create_directories(sim::HostPath("C:\\Users\\me") + "/Startup");
  }
  // The dialog as FormShow leaves it.
  TOptionControls Opened(TMain& m) {
    TOptionControls c;
    c.LoadControls(m.Info);
    c.LoadStartup(m);
    return c;
  }
};

TEST_F(OptionRulesTest, PauseAndTheSwapExcludeEachOtherOnlyWhenTicked) {
  struct Row {
    bool pause, swap;   // before the click
    bool TInfo::*clicked;
    bool pauseAfter, swapAfter;
  };
  const Row rows[] = {
      {false, true, Pause, true, false},  // ticking Pause drops the swap
      {true, false, Swap, false, true},   // ticking the swap drops Pause
      {true, true, Pause, false, true},   // unticking one leaves the other
      {true, true, Swap, true, false},
      {false, false, Pause, true, false},
      {false, false, Swap, false, true},
  };
  for (const Row& row : rows) {
    TOptionControls c;
    c.Checked(Pause) = row.pause;
    c.Checked(Swap) = row.swap;
    c.SetChecked(row.clicked, !c.Checked(row.clicked));
    EXPECT_EQ(c.Checked(Pause), row.pauseAfter) << row.pause << row.swap << (row.clicked == Pause);
    EXPECT_EQ(c.Checked(Swap), row.swapAfter) << row.pause << row.swap << (row.clicked == Pause);
  }
}

TEST_F(OptionRulesTest, StopEnablesCloseOnStopWithoutTouchingItsMarkAndOkStoresTheMark) {
  TMain& m = Start();
  TOptionControls c = Opened(m);
  ASSERT_TRUE(c.Checked(CloseOnStop) && c.chkCloseOnStopEnabled);
  c.SetChecked(Stop, false);
  EXPECT_FALSE(c.chkCloseOnStopEnabled);
  EXPECT_TRUE(c.Checked(CloseOnStop));
  c.SetChecked(Stop, true);
  EXPECT_TRUE(c.chkCloseOnStopEnabled);

  c.SetChecked(CloseOnStop, false);
  c.SetChecked(Stop, false);
  ApplyOptions(c, m, nullptr);
  EXPECT_FALSE(m.Info.ShowStopIcon);
  EXPECT_FALSE(m.Info.CloseOnStop);
}

TEST_F(OptionRulesTest, TheSettingsReplaceEveryBuiltState) {
  // Every setting the opposite of the state the dialog is built with.
  WriteIni(
      "[Setting]\r\nShowPrevIcon=0\r\nShowPauseIcon=0\r\nShowStopIcon=0\r\nShowNextIcon=0\r\nShowEjectIcon=0\r\n"
      "PlayChangePause=1\r\nCloseOnStop=0\r\nPlayOnStartup=1\r\nPlaylistPos=0\r\nAutoHide=1\r\n"
      "FadeoutOnStop=1\r\nFadeoutOnChange=1\r\nPlayListPath=D:\\Lists\r\nCheckMP3OnUpdate=1\r\nReadID3v2=1\r\n"
      "GroupByAlbumArtist=1\r\nUnicodeLibrary=1\r\nNotifyTrack=1\r\n");
  TMain& m = Start();
  const TOptionControls c = Opened(m);
  for (auto box : {Prev, Pause, Stop, Next, Eject, CloseOnStop}) EXPECT_FALSE(c.Checked(box));
  EXPECT_FALSE(c.chkCloseOnStopEnabled);
  for (auto box : {Swap, &TInfo::PlayOnStartup, &TInfo::AutoHide, &TInfo::FadeoutOnStop, &TInfo::FadeoutOnChange,
                   &TInfo::CheckMP3OnUpdate, &TInfo::ReadID3v2, &TInfo::GroupByAlbumArtist, &TInfo::UnicodeLibrary,
                   &TInfo::NotifyTrack}) {
    EXPECT_TRUE(c.Checked(box));
  }
  EXPECT_TRUE(c.chkGroupByAlbumArtistEnabled);
  EXPECT_EQ(c.cmbPlaylistPos, 0);
  EXPECT_EQ(c.editPlayListPath, "D:\\Lists");
  EXPECT_FALSE(c.chkStartup);

  // OK without a change gives the settings back as they were.
  const TInfo before = m.Info;
  ApplyOptions(c, m, nullptr);
  EXPECT_EQ(m.Info.ShowPrevIcon, before.ShowPrevIcon);
  EXPECT_EQ(m.Info.PlayChangePause, before.PlayChangePause);
  EXPECT_EQ(m.Info.CloseOnStop, before.CloseOnStop);
  EXPECT_EQ(m.Info.PlaylistPos, before.PlaylistPos);
  EXPECT_EQ(m.Info.PlayListPath, before.PlayListPath);
  EXPECT_EQ(m.Info.CheckMP3OnUpdate, before.CheckMP3OnUpdate);
  EXPECT_EQ(m.Info.ReadID3v2, before.ReadID3v2);
  EXPECT_EQ(m.Info.UnicodeLibrary, before.UnicodeLibrary);
  EXPECT_EQ(m.Info.NotifyTrack, before.NotifyTrack);
  EXPECT_TRUE(m.Info.GroupByAlbumArtist);
}

TEST_F(OptionRulesTest, PauseAndTheSwapBothStoredOpenWithTheSwapAndOkDropsPause) {
  WriteIni("[Setting]\r\nShowPauseIcon=1\r\nPlayChangePause=1\r\n");
  TMain& m = Start();
  const TOptionControls c = Opened(m);
  EXPECT_FALSE(c.Checked(Pause));
  EXPECT_TRUE(c.Checked(Swap));
  ApplyOptions(c, m, nullptr);
  EXPECT_FALSE(m.Info.ShowPauseIcon);
  EXPECT_TRUE(m.Info.PlayChangePause);
  EXPECT_TRUE(m.SwapMode());
}

TEST_F(OptionRulesTest, OkChangesPlayImageThenEjectThenTheTreeAndLeavesTheRestToTheNextPoll) {
  WriteIni("[Setting]\r\nShowPauseIcon=0\r\nPlayChangePause=1\r\n");
  player_.Start();
  player_.state = kc::psPlaying;
  TMain& m = Start();
  sim::TickTimers();
  ASSERT_EQ(TrayIds(), (Ids{1, 2, 4, 5, 6}));
  ASSERT_EQ(PlayImage(), "Pause.ico");

  TOptionControls c = Opened(m);
  c.SetChecked(Pause, true);  // drops the swap
  c.SetChecked(Prev, false);
  c.SetChecked(Eject, false);
  c.editPlayListPath = "D:\\New";
  sim::ClearJournal();
  std::size_t journalAtTree = 0;
  std::string pathAtTree;
  ApplyOptions(c, m, [&] {
    journalAtTree = sim::Journal().size();
    pathAtTree = m.Info.PlayListPath;
  });
  const auto tray = sim::JournalLines("tray ");
  ASSERT_EQ(tray.size(), 2u);
  EXPECT_NE(tray[0].find("tray modify"), std::string::npos);
  EXPECT_NE(tray[0].find(" Play.ico"), std::string::npos);
  EXPECT_EQ(tray[1].rfind("tray delete", 0), 0u);
  EXPECT_EQ(journalAtTree, sim::Journal().size());  // the tree last, after both
  EXPECT_EQ(pathAtTree, "D:\\New");
  EXPECT_EQ(m.Player.LastPlayState, kc::psNoPlayer);
  // Prev is still there: it goes when the poll lays the buttons out.
  EXPECT_EQ(TrayIds(), (Ids{1, 2, 4, 5}));
  sim::TickTimers();
  EXPECT_EQ(TrayIds(), (Ids{2, 3, 4, 5}));
  EXPECT_EQ(PlayImage(), "Play.ico");
}

TEST_F(OptionRulesTest, OkWithoutAPlayerChangesOnlyEjectAndThePlayImage) {
  TMain& m = Start();
  ASSERT_EQ(TrayIds(), (Ids{2, 6}));
  TOptionControls c = Opened(m);
  c.SetChecked(Eject, false);
  c.SetChecked(Stop, false);
  c.SetChecked(Pause, false);
  ApplyOptions(c, m, nullptr);
  EXPECT_EQ(TrayIds(), (Ids{2}));
  sim::ClearJournal();
  sim::TickTimers();
  EXPECT_TRUE(sim::JournalLines("tray ").empty());

  c.SetChecked(Eject, true);
  ApplyOptions(c, m, nullptr);
  EXPECT_EQ(TrayIds(), (Ids{2, 6}));
}

TEST_F(OptionRulesTest, TheStartupBoxActsAtOnceAndShowsTheRealState) {
  TMain& m = Start();
  TOptionControls c = Opened(m);
  EXPECT_FALSE(c.chkStartup);
  c.SetStartup(true, m);
  EXPECT_TRUE(c.chkStartup);
  EXPECT_EQ(sim::ReadShellLink(kLink)->target, "C:\\Kelvane\\kelvane.exe");

  // Removed by hand meanwhile: unticking warns and the box stays unticked.
  platform::RemoveFile(kLink);
  c.SetStartup(false, m);
  EXPECT_FALSE(c.chkStartup);
  EXPECT_EQ(sim::JournalLines("msgbox ").size(), 1u);

  // Nowhere to write: the tick snaps back.
  sim::RemoveUserRegistryKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
  c.SetStartup(true, m);
  EXPECT_FALSE(c.chkStartup);
}

TEST_F(OptionRulesTest, OpeningRewritesAPresentShortcutAndCancelKeepsAToggle) {
  TMain& m = Start();
  platform::SaveShellLink(kLink, "D:\\Old\\kelvane.exe", "D:\\Old\\");
  TOptionControls c = Opened(m);
  EXPECT_TRUE(c.chkStartup);
  EXPECT_EQ(sim::ReadShellLink(kLink)->target, "C:\\Kelvane\\kelvane.exe");

  // Untick, change a setting, then cancel: the dialog is dropped unapplied.
  const TInfo before = m.Info;
  c.SetStartup(false, m);
  c.SetChecked(Prev, false);
  c.editPlayListPath = "D:\\Elsewhere";
  EXPECT_FALSE(platform::FileExists(kLink));
  EXPECT_EQ(m.Info.ShowPrevIcon, before.ShowPrevIcon);
  EXPECT_EQ(m.Info.PlayListPath, before.PlayListPath);
  // The next opening shows the shortcut's absence.
  EXPECT_FALSE(Opened(m).chkStartup);
}

}  // namespace
}  // namespace kvtest
