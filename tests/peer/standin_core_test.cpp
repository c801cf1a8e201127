#include "standin_core.h"

#include <gtest/gtest.h>

using standin::ParseCommandLine;
using standin::ParsePlaylist;
using standin::Player;
using standin::State;

using Strings = std::vector<std::string>;
using namespace std::string_literals;

TEST(StandinCommandLine, StartWithoutFilesLoadsNothing) {
  EXPECT_TRUE(ParseCommandLine("\"C:\\Player\\winamp.exe\"").files.empty());
  EXPECT_TRUE(ParseCommandLine("C:\\Player\\winamp.exe").files.empty());
  EXPECT_TRUE(ParseCommandLine("\"C:\\Program Files\\Winamp\\winamp.exe\"   ").files.empty());
  EXPECT_TRUE(ParseCommandLine("C:\\Program Files\\Winamp\\winamp.exe").files.empty());
}

TEST(StandinCommandLine, NewPlayListReplaces) {
  // WinExec hands the player path unquoted, even when it holds blanks.
  for (const char* cmd : {"C:\\Player\\winamp.exe \"D:\\My Lists\\Rock.m3u\"",
                          "C:\\Program Files\\Winamp\\winamp.exe \"D:\\My Lists\\Rock.m3u\"",
                          "\"C:\\Program Files\\Winamp\\winamp.exe\" \"D:\\My Lists\\Rock.m3u\""}) {
    standin::Request r = ParseCommandLine(cmd);
    EXPECT_FALSE(r.append) << cmd;
    EXPECT_EQ(r.files, Strings{"D:\\My Lists\\Rock.m3u"}) << cmd;
  }
}

TEST(StandinCommandLine, AddAppends) {
  standin::Request r = ParseCommandLine("C:\\Program Files\\Winamp\\winamp.exe /ADD \"C:\\App\\playlist\\'Rock' Artist 'Owl''s Band'.m3u\"");
  EXPECT_TRUE(r.append);
  EXPECT_EQ(r.files, Strings{"C:\\App\\playlist\\'Rock' Artist 'Owl''s Band'.m3u"});
  EXPECT_TRUE(ParseCommandLine("winamp.exe /add \"x.m3u\"").append);
  EXPECT_FALSE(ParseCommandLine("winamp.exe /NEW \"x.m3u\"").append);
}

TEST(StandinCommandLine, ShiftJisPathWithBackslashTrailByte) {
  // 表 is 0x95 0x5C in Shift-JIS: its trail byte must not end or split the token.
  standin::Request r = ParseCommandLine("C:\\winamp.exe \"D:\\表\\ソ.m3u\"");
  EXPECT_EQ(r.files, Strings{"D:\\表\\ソ.m3u"});
}

TEST(StandinPlaylist, LinesCommentsAndLineEnds) {
  EXPECT_EQ(ParsePlaylist("#EXTM3U\r\nC:\\a.mp3\r\n\r\n#EXTINF:1,x\nb.mp3\rc.mp3"),
            (Strings{"C:\\a.mp3", "b.mp3", "c.mp3"}));
  EXPECT_EQ(ParsePlaylist("\xEF\xBB\xBF" "a.mp3\n   \n"), Strings{"a.mp3"});
  EXPECT_TRUE(ParsePlaylist("").empty());
  EXPECT_TRUE(ParsePlaylist("#only a comment\r\n").empty());
  EXPECT_EQ(ParsePlaylist("曲\\表.mp3\r\n"), Strings{"曲\\表.mp3"});
}

TEST(StandinPlaylist, TitlesComeFromTheExtinfLineBeforeTheirTrackOrFromTheFileName) {
  const auto entries = standin::ParsePlaylistEntries(
      "#EXTM3U\r\n#EXTINF:200,Artist - Song, live\r\nD:\\a.mp3\r\nD:\\b.mp3\r\n#EXTINF:-1\r\nc.mp3\r\n");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].title, "Artist - Song, live");
  EXPECT_EQ(entries[1].title, "") << "a title belongs to the track right after it";
  EXPECT_EQ(entries[2].title, "") << "no comma, no title";
  EXPECT_EQ(standin::FileTitle(L"D:\\My.Music\\01 Intro.mp3"), L"01 Intro");
  EXPECT_EQ(standin::FileTitle(L"D:\\x.y\\name"), L"name");
  EXPECT_EQ(standin::FileTitle(L".hidden"), L".hidden");
  EXPECT_TRUE(standin::IsUtf8Playlist("a.m3u", "\xEF\xBB\xBFx"));
  EXPECT_TRUE(standin::IsUtf8Playlist("a.M3U8", "x"));
  EXPECT_FALSE(standin::IsUtf8Playlist("a.m3u", "x"));
  EXPECT_TRUE(standin::IsPlaylistFile("a.M3U8"));
}

TEST(StandinPlayer, TitlesStayWithTheirTracks) {
  Player p;
  p.replaceAndPlay({"a", "b"}, {L"A"});
  p.append({"c"}, {L"C"});
  EXPECT_EQ(p.title(0), L"A");
  EXPECT_EQ(p.title(1), L"");
  EXPECT_EQ(p.title(2), L"C");
  EXPECT_EQ(p.title(3), L"");
  p.replaceAndPlay({"d"});
  EXPECT_EQ(p.title(0), L"");
}

TEST(StandinPlayer, PauseTogglesAndIsIgnoredWhenStopped) {
  Player p;
  EXPECT_FALSE(p.pause().state);
  EXPECT_EQ(p.state(), State::Stopped);
  EXPECT_TRUE(p.play().state);
  EXPECT_TRUE(p.pause().state);
  EXPECT_EQ(standin::PlayStateAnswer(p.state()), 3);
  EXPECT_TRUE(p.pause().state);
  EXPECT_EQ(standin::PlayStateAnswer(p.state()), 1);
  EXPECT_FALSE(p.play().state) << "play while playing is no state change";
  EXPECT_TRUE(p.stop().state);
  EXPECT_EQ(standin::PlayStateAnswer(p.state()), 0);
}

TEST(StandinPlayer, FadeStopsAndRestoresVolume) {
  Player p;
  p.play();
  EXPECT_TRUE(p.beginFade().state);
  EXPECT_EQ(p.state(), State::Fading);
  EXPECT_EQ(standin::PlayStateAnswer(p.state()), 1) << "still audible while fading";
  p.setVolume(0);
  standin::Changes c = p.endFade();
  EXPECT_TRUE(c.state && c.volume);
  EXPECT_EQ(p.state(), State::Stopped);
  EXPECT_EQ(p.volume(), 100);

  Player paused;
  paused.play();
  paused.pause();
  paused.beginFade();
  EXPECT_EQ(paused.state(), State::Stopped) << "nothing to fade: a paused player just stops";
}

TEST(StandinPlayer, TrackMovesWrapAndKeepState) {
  Player p;
  EXPECT_FALSE(p.next().track);
  p.replaceAndPlay({"a", "b", "c"});
  EXPECT_EQ(p.currentTrackName(), "a");
  p.previous();
  EXPECT_EQ(p.currentTrackName(), "c");
  p.next();
  p.next();
  EXPECT_EQ(p.currentTrackName(), "b");
  EXPECT_EQ(p.state(), State::Playing);
  p.stop();
  p.next();
  EXPECT_EQ(p.state(), State::Stopped);
}

TEST(StandinPlayer, ReplaceStartsOverAndAppendKeepsPlace) {
  Player p;
  standin::Changes c = p.append({"x"});
  EXPECT_TRUE(c.playlist);
  EXPECT_FALSE(c.state) << "appending does not start playback";
  p.replaceAndPlay({"a", "b"});
  p.next();
  p.append({"c"});
  EXPECT_EQ(p.tracks(), (Strings{"a", "b", "c"}));
  EXPECT_EQ(p.currentTrackName(), "b");
  p.replaceAndPlay({});
  EXPECT_EQ(p.state(), State::Stopped);
  EXPECT_EQ(p.currentTrackName(), "(none)");
}

TEST(StandinPaths, UnixJournalPathGoesThroughDriveZ) {
  EXPECT_EQ(standin::UnixPathToWine("/tmp/run 1/journal.txt"), "Z:\\tmp\\run 1\\journal.txt");
  EXPECT_EQ(standin::UnixPathToWine("C:\\j.txt"), "C:\\j.txt");
}

TEST(StandinCommandLine, TheWidePlayMessageEnqueuesItsPathExactly) {
  // A Korean folder and an emoji (a surrogate pair) in one path, as WM_COPYDATA 1100 carries it.
  const std::u16string path = u"C:\\App\\playlist\\'\uC544\uC774\uC720' Album '\U0001F3B5'.m3u8";
  const std::string utf8 = u8"C:\\App\\playlist\\'\uC544\uC774\uC720' Album '\U0001F3B5'.m3u8";
  std::string data;
  for (char16_t unit : path + u'\0') data += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  standin::Request r;
  ASSERT_TRUE(standin::ReadPlayFileW(1100, data.data(), data.size(), &r));
  EXPECT_TRUE(r.append);
  EXPECT_EQ(r.files, Strings{utf8});
  EXPECT_EQ(standin::Utf16(utf8), path);
  // Data past the NUL is not the path's.
  ASSERT_TRUE(standin::ReadPlayFileW(1100, (data + "x\0"s).data(), data.size() + 2, &r));
  EXPECT_EQ(r.files, Strings{utf8});
  // Another kind, an odd size, no NUL or an empty path: not this message.
  const std::string noNul = data.substr(0, data.size() - 2);
  EXPECT_FALSE(standin::ReadPlayFileW(1101, data.data(), data.size(), &r));
  EXPECT_FALSE(standin::ReadPlayFileW(1100, data.data(), data.size() - 1, &r));
  EXPECT_FALSE(standin::ReadPlayFileW(1100, noNul.data(), noNul.size(), &r));
  EXPECT_FALSE(standin::ReadPlayFileW(1100, "\0\0", 2, &r));
  // A lone surrogate the journal cannot hold becomes U+FFFD, not a broken byte.
  EXPECT_EQ(standin::Utf8(u"a\xD800" "b"), u8"a\uFFFDb");
}

TEST(StandinProfile, ByNameFromTheCommandLineAndFoobarsPauseNeverResumes) {
  const standin::Request r = ParseCommandLine("winamp.exe --profile=foobar \"x.m3u\"");
  EXPECT_EQ(r.profile, "foobar");
  EXPECT_EQ(r.files, Strings{"x.m3u"});
  EXPECT_EQ(standin::FindProfile("Winamp"), nullptr);
  Player p;
  p.replaceAndPlay({"D:\\a.mp3"}, {L"a"});
  p.pause(standin::FindProfile("foobar")->pauseResumes);
  p.pause(standin::FindProfile("foobar")->pauseResumes);
  EXPECT_EQ(p.state(), State::Paused);
  EXPECT_EQ(standin::Caption(*standin::FindProfile("foobar"), p, L"idle"), L"0. a - Winamp") << "counted from 0";
}
