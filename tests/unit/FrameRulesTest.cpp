// The playlist window's rules without a window, and how the main object drives
// the window through its stand-in: created hidden before the settings size it,
// filled after them, shown by a right click, hidden when the program loses
// activation.
#include "MainTestSupport.h"
#include "ui/FrameRules.h"

#include <set>

namespace kvtest {
namespace {

using FrameRulesTest = MainFixture;

const TLibraryContext kApp{"C:\\App\\"};

TEST(FrameRules, CornerPlacementUsesOnlyTheWorkAreasRightAndBottom) {
  struct Row {
    int pos;
    platform::Rect area;
    int left, top;
  };
  const platform::Rect bottomBar{0, 0, 1024, 738};
  const platform::Rect topBar{0, 30, 1024, 768};
  const std::vector<Row> table = {
      {0, bottomBar, 0, 0}, {1, bottomBar, 0, 390}, {2, bottomBar, 614, 0}, {3, bottomBar, 614, 390},
      // The area's own top is not used: top-left is (0, 0), under a taskbar at the top.
      {0, topBar, 0, 0},    {3, topBar, 614, 420},
  };
  for (const Row& row : table) {
    int left = -1, top = -1;
    ASSERT_TRUE(CornerPosition(row.pos, row.area, 410, 348, &left, &top)) << row.pos;
    EXPECT_EQ(left, row.left) << row.pos;
    EXPECT_EQ(top, row.top) << row.pos;
  }
  int left = 7, top = 7;
  EXPECT_FALSE(CornerPosition(4, bottomBar, 410, 348, &left, &top));
  EXPECT_FALSE(CornerPosition(-1, bottomBar, 410, 348, &left, &top));
  EXPECT_EQ(left, 7);
}

TEST(FrameRules, CommandLinesReplaceOnceThenAddInOrder) {
  const std::vector<std::string> args = {" \"D:\\L\\A.m3u\"", " \"D:\\L\\B.m3u\"", " \"D:\\L\\C.m3u\""};
  EXPECT_EQ(PlayCommandLines("C:\\Player\\winamp.exe", args, false),
            (std::vector<std::string>{"C:\\Player\\winamp.exe \"D:\\L\\A.m3u\"",
                                      "C:\\Player\\winamp.exe /ADD \"D:\\L\\B.m3u\"",
                                      "C:\\Player\\winamp.exe /ADD \"D:\\L\\C.m3u\""}));
  EXPECT_EQ(PlayCommandLines("C:\\Player\\winamp.exe", args, true)[0], "C:\\Player\\winamp.exe /ADD \"D:\\L\\A.m3u\"");
  // A player path with a blank would start "C:\Program" with the rest as arguments.
  EXPECT_EQ(PlayCommandLines("C:\\Program Files\\Winamp\\winamp.exe", {args[0]}, false)[0],
            "\"C:\\Program Files\\Winamp\\winamp.exe\" \"D:\\L\\A.m3u\"");
  // No known player path while the player runs: the quoted file alone.
  EXPECT_EQ(PlayCommandLines("", {args[0]}, false)[0], " \"D:\\L\\A.m3u\"");
}

TEST(FrameRules, NodesNameTheLibrarysFiles) {
  const std::string rock = "Rock";
  EXPECT_EQ(PlaylistArgument(PlaylistFileOfNode(TTreeKind::Artist, "Owl's Band", &rock, "D:\\L", kApp)),
            " \"C:\\App\\playlist\\'Rock' Artist 'Owl''s Band'.m3u\"");
  EXPECT_EQ(PlaylistFileOfNode(TTreeKind::Album, "A/B: live", &rock, "D:\\L", kApp),
            u8"C:\\App\\playlist\\'Rock' Album 'A\uFF0FB\uFF1A live'.m3u");
  // A name that begins with blanks keeps them, as the index writer kept them.
  EXPECT_EQ(PlaylistFileOfNode(TTreeKind::Artist, "  Lead", &rock, "D:\\L", kApp),
            "C:\\App\\playlist\\'Rock' Artist '  Lead'.m3u");
  EXPECT_EQ(PlaylistFileOfNode(TTreeKind::Playlist, "My.Songs", nullptr, "D:\\L", kApp), "D:\\L\\My.Songs.m3u");
  EXPECT_EQ(PlaylistFileOfNode(TTreeKind::Album, "First", &rock, "D:\\L",
                               TLibraryContext{"C:\\App\\", false, false, false, nullptr, true}),
            "C:\\App\\playlist\\'Rock' Album 'First'.m3u8");
  // An album told apart by its album artist is found by its index line, and
  // shows that artist only beside an album named alike (whatever the case).
  EXPECT_EQ(PlaylistFileOfNode(TTreeKind::Album, "It's Live\tAC/DC", &rock, "D:\\L", kApp),
            u8"C:\\App\\playlist\\'Rock' Album 'AC\uFF0FDC' 'It''s Live'.m3u");
  EXPECT_EQ(AlbumNodeTexts({"Live", "live\tB", "Solo\tC"}), (std::vector<std::string>{"Live", "live (B)", "Solo"}));
  // Without a playlist an artist or album has no file.
  EXPECT_EQ(PlaylistFileOfNode(TTreeKind::Album, "First", nullptr, "D:\\L", kApp), "");
  EXPECT_EQ(IndexFilePath("C:\\App\\", "Owl's", "Artist"), "C:\\App\\playlist\\'Owl''s' Artist.dat");
}

TEST_F(FrameRulesTest, IndexLinesAreWholeTopLevelNodesAndPlaylistsComeInSearchOrder) {
  WriteFile("C:\\App\\playlist\\'Rock' Artist.dat", "  Lead\r\nBeta\r\n\tTabbed\r\n\r\nLast");
  std::vector<std::string> nodes;
  ASSERT_TRUE(ReadIndexNodes("C:\\App\\playlist\\'Rock' Artist.dat", &nodes));
  EXPECT_EQ(nodes, (std::vector<std::string>{"  Lead", "Beta", "\tTabbed", "", "Last"}));
  EXPECT_FALSE(ReadIndexNodes("C:\\App\\playlist\\'Pop' Artist.dat", &nodes));
  EXPECT_TRUE(nodes.empty());

  // ".m3u" and ".m3u8" by their own names; of "Both" only its ".m3u8" counts.
  const std::set<std::string> lists = {"My.Songs.m3u", "B.M3U", "Folder.m3u", "both.M3U8", u8"\uC74C\U0001F3B5.m3u8"};
  for (const char* other : {"other.txt", "Both.m3u", "Old.m3u8.bak", "x.m3u9"}) WriteFile(std::string("D:\\L\\") + other, "");
  for (const std::string& name : lists) {
    if (name != "Folder.m3u") WriteFile("D:\\L\\" + name, "");
  }
  std::filesystem::create_directories(sim::HostPath("D:\\L\\Folder.m3u"));
  std::vector<std::string> expected;
  for (const platform::FoundEntry& e : platform::FindEntries("D:\\L\\*")) {
    if (lists.count(e.name)) expected.push_back(e.name.substr(0, e.name.rfind('.')));
  }
  ASSERT_EQ(expected.size(), lists.size());
  EXPECT_EQ(PlaylistNodeNames("D:\\L"), expected);
  EXPECT_EQ(PlaylistFileOfNode(TTreeKind::Playlist, "Both", nullptr, "D:\\L", kApp), "D:\\L\\Both.m3u8");
  EXPECT_TRUE(PlaylistNodeNames("D:\\Missing").empty());
}

TEST_F(FrameRulesTest, PlayingLooksForThePlayerOnlyWhileItsPathIsNotKnownToWork) {
  std::vector<std::string> started;
  auto start = [&](const std::string& line) { started.push_back(line); };
  TMain& m = Bare();
  m.Info.PlayerPath = "C:\\Player\\winamp.exe";

  // Known to work, no player running: no search, the command line starts it.
  m.Info.CorrectPath = true;
  m.PlayPlaylistFiles({"D:\\L\\A.m3u", "D:\\L\\B.m3u"}, false, start);
  EXPECT_EQ(started, (std::vector<std::string>{"C:\\Player\\winamp.exe \"D:\\L\\A.m3u\"",
                                               "C:\\Player\\winamp.exe /ADD \"D:\\L\\B.m3u\""}));
  EXPECT_TRUE(sim::JournalLines("winexec").empty());

  // Not known, no player, no such file: the player is asked for, nothing plays.
  started.clear();
  m.Info.CorrectPath = false;
  m.PlayPlaylistFiles({"D:\\L\\A.m3u"}, true, start);
  EXPECT_TRUE(started.empty());
  EXPECT_EQ(sim::JournalLines("msgbox").size(), 1u);
  EXPECT_EQ(sim::JournalLines("openfile").size(), 1u);

  // Not known, the player runs: found, then played; an empty path leaves the file alone.
  player_.Start();
  m.Info.PlayerPath.clear();
  m.PlayPlaylistFiles({"D:\\L\\A.m3u"}, true, start);
  EXPECT_EQ(started, (std::vector<std::string>{" /ADD \"D:\\L\\A.m3u\""}));
}

TEST_F(FrameRulesTest, StartUpCreatesTheWindowBeforeTheSettingsAndFillsItAfter) {
  WriteIni("[Setting]\r\nWidth=500\r\nArtistTreeHeight=90\r\nPlayListPath=D:\\Lists\r\n");
  TMain& m = Start();
  EXPECT_EQ(framestandin::Calls().events, (std::vector<std::string>{"create", "load D:\\Lists"}));
  EXPECT_FALSE(framestandin::Calls().visible);
  EXPECT_EQ(m.FrameWindow->FrameWidth(), 500);
  EXPECT_EQ(m.FrameWindow->FrameHeight(), 348);
  EXPECT_EQ(m.FrameWindow->ArtistTreeHeight(), 90);
  EXPECT_EQ(Frame, m.FrameWindow.get());

  // What the user made of the window is what the next start finds.
  m.FrameWindow->SetPlaylistTreeWidth(240);
  ASSERT_TRUE(sim::CloseMainWindow());
  const std::string ini = ReadFile("C:\\Kelvane\\kelvane.ini");
  for (const char* line : {"\nWidth=500\r", "\nHeight=348\r", "\nPlaylistTreeWidth=240\r", "\nArtistTreeHeight=90\r"}) {
    EXPECT_NE(ini.find(line), std::string::npos) << line;
  }
}

TEST_F(FrameRulesTest, ARightClickOnAnyIconShowsTheWindowAndLosingActivationHidesIt) {
  TMain& m = Start();
  sim::ClearJournal();
  for (std::uint32_t id = 1; id <= 6; ++id) {
    m.TrayClick(id, tcRight);
    EXPECT_TRUE(framestandin::Calls().visible) << id;
    sim::Deactivate();
    EXPECT_FALSE(framestandin::Calls().visible) << id;
  }
  // Neither searched for nor started the player.
  EXPECT_TRUE(sim::Journal().empty());
}

}  // namespace
}  // namespace kvtest
