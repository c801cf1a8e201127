// The library against hostile input and interruptions: stored lines that
// point outside the cache, keys whose file names meet, an update stopped at
// every change it makes, files that are not files or far too large. Each case
// is judged by what is on disk afterwards.
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <set>

#include "LibraryTestSupport.h"
#include "library/LibraryUpdate.h"
#include "library/PathText.h"
#include "ui/FrameRules.h"
#include "platform/FileSystem.h"
#include "tests/support/CountingProgress.h"

namespace {

using libtest::Mp3WithTag;

class LibraryBadInputTest : public libtest::LibraryFixture {
 protected:
  void SetUp() override {
    LibraryFixture::SetUp();
    sim::StopChangesAfter(-1);
  }
  void TearDown() override {
    sim::StopChangesAfter(-1);
    LibraryFixture::TearDown();
  }
  struct Result {
    std::vector<int> counts;
    std::vector<std::string> failures;
    TLibraryUpdate::Outcome outcome;
  };
  Result Update(std::string folder = "D:\\Lists") {
    TCountingProgress progress;
    TLibraryContext context{"C:\\App\\", check};
    context.UnicodeLibrary = unicode;
    TLibraryUpdate update(context, progress);
    const auto outcome = update.Run(&folder);
    return {{progress.Skipped(), progress.Updated(), progress.Added(), progress.Deleted()}, progress.Failures, outcome};
  }
  std::string Cache(const std::string& name) { return Get("C:\\App\\playlist\\" + name); }
  bool Cached(const std::string& name) { return Exists("C:\\App\\playlist\\" + name); }
  static bool Mentions(const std::vector<std::string>& failures, const std::string& text) {
    for (const auto& f : failures) {
      if (f.find(text) != std::string::npos) return true;
    }
    return false;
  }
  // Every file of the cache folder with its bytes, and "playlist.log".
  std::map<std::string, std::string> Snapshot() {
    std::map<std::string, std::string> files;
    for (const std::string& name : Names("C:\\App\\playlist")) files[name] = Cache(name);
    files["<playlist.log>"] = Get("C:\\App\\playlist.log");
    return files;
  }
  // A new root for each round, so that no name the file system remembers
  // from the last round is taken for one of this round.
  void Fresh() {
    mapped_.reset();
    mapped_ = std::make_unique<kvtest::MappedRoot>(std::initializer_list<const char*>{"C/App", "D/Lists", "D/Music"});
    root_ = mapped_->path;
  }

  bool check = true;
  bool unicode = false;
};

// ---- Stored lists: lines of "playlist.log" and of a ".log" ----

TEST_F(LibraryBadInputTest, StoredLinesNeverDeleteOutsideThePlaylistsOwnFiles) {
  Put("C:\\App\\Notes.log", "'Notes' Artist.dat\r\n");
  Put("C:\\Other\\Keep.log", "x\r\n");
  Put("C:\\App\\playlist\\Star.log", "'Star' Artist.dat\r\n");
  Put("C:\\App\\playlist\\Gone.log", "'Gone' Artist.dat\r\nGone.mp3log\r\n");
  Put("C:\\App\\playlist\\'Gone' Artist.dat", "");
  Put("C:\\App\\playlist\\Gone.mp3log", "");
  Put("C:\\App\\playlist.log",
      "'../Notes.m3u'=1\r\n"
      "'D:\\x\\../../Other/Keep.m3u'=1\r\n"
      "'D:\\Lists\\*.m3u'=1\r\n"
      "'D:\\Lists\\..'=1\r\n"
      "'C:Star.m3u'=1\r\n"
      "'D:\\Lists\\Gone.m3u'=1\r\n");
  const Result r = Update();
  EXPECT_TRUE(Exists("C:\\App\\Notes.log"));
  EXPECT_TRUE(Exists("C:\\Other\\Keep.log"));
  // "C:Star.m3u" is a drive and a name: its name part is plain, and is the
  // one that stands for a playlist of the cache.
  EXPECT_FALSE(Cached("Star.log"));
  EXPECT_EQ(Names("C:\\App\\playlist"), std::vector<std::string>{});
  EXPECT_EQ(r.counts, (std::vector<int>{0, 0, 0, 2}));
  ASSERT_EQ(r.failures.size(), 4u);
  EXPECT_TRUE(Mentions(r.failures, "'../Notes.m3u'=1"));
  EXPECT_TRUE(Mentions(r.failures, "Other/Keep.m3u"));
  EXPECT_TRUE(Mentions(r.failures, "*.m3u"));
  EXPECT_TRUE(Mentions(r.failures, "'D:\\Lists\\..'=1"));
  EXPECT_EQ(r.outcome, TLibraryUpdate::Outcome::DoneWithFailures);
  // The skipped lines are not carried into the new record: said once.
  EXPECT_EQ(Get("C:\\App\\playlist.log"), "");
  EXPECT_EQ(Update().failures, std::vector<std::string>{});
}

TEST_F(LibraryBadInputTest, ALogDeletesOnlyItsOwnPlaylistsFiles) {
  Put("D:\\Music\\a.mp3", Mp3WithTag("Band A", "First"));
  Put("D:\\Lists\\All.m3u", "D:\\Music\\a.mp3\r\n");
  Put("D:\\Lists\\Rock.m3u", "D:\\Music\\a.mp3\r\n");
  Put("C:\\App\\keep.txt", "mine");
  Update();
  const auto all = Snapshot();
  // A damaged Rock.log naming another playlist's cache and files outside.
  Put("C:\\App\\playlist\\Rock.log",
      Cache("Rock.log") + "All.log\r\n'All' Artist.dat\r\n..\\keep.txt\r\nC:keep.txt\r\nRock.log\r\n");
  // Rebuilt (its playlist changed): Rock's own old files go, nothing else.
  Put("D:\\Lists\\Rock.m3u", "D:\\Music\\a.mp3\r\nD:\\Music\\a.mp3\r\n", 1100000000);
  Result r = Update();
  EXPECT_EQ(r.counts, (std::vector<int>{1, 1, 0, 0}));
  EXPECT_EQ(r.failures.size(), 5u);
  EXPECT_TRUE(Mentions(r.failures, "All.log"));
  EXPECT_TRUE(Cached("All.log"));
  EXPECT_TRUE(Cached("'All' Artist.dat"));
  EXPECT_TRUE(Exists("C:\\App\\keep.txt"));
  EXPECT_EQ(Cache("Rock.log"), "'Rock' Artist.dat\r\n'Rock' Artist 'Band A'.m3u\r\n'Rock' Album.dat\r\n"
                               "'Rock' Album 'First'.m3u\r\nRock.mp3log\r\n");
  // Vanished with a damaged .log again: the purge keeps to Rock's files.
  Put("C:\\App\\playlist\\Rock.log", Cache("Rock.log") + "All.log\r\n");
  std::filesystem::remove(Host("D:\\Lists\\Rock.m3u"));
  r = Update();
  EXPECT_EQ(r.counts, (std::vector<int>{1, 0, 0, 1}));
  ASSERT_EQ(r.failures.size(), 1u);
  EXPECT_TRUE(Mentions(r.failures, "All.log"));
  std::map<std::string, std::string> left = Snapshot();
  left.erase("<playlist.log>");
  std::map<std::string, std::string> expected = all;
  expected.erase("<playlist.log>");
  for (auto it = expected.begin(); it != expected.end();) {
    it = it->first.find("Rock") != std::string::npos ? expected.erase(it) : std::next(it);
  }
  EXPECT_EQ(left, expected);
}

TEST(LibraryPathText, PlainNamesAndAbsolutePaths) {
  for (const char* plain : {"Rock.log", "'Rock' Artist 'a''b'.m3u", "..log", ".hidden", u8"表.log",
                            u8"ポ.m3u8"}) {
    EXPECT_TRUE(IsPlainFileName(plain)) << plain;
  }
  for (const char* bad : {"", ".", "..", "../x", "a\\b", "a/b", "C:x", "x:", "*.log", "a?", "a|b", "<a>", "\"a\""}) {
    EXPECT_FALSE(IsPlainFileName(bad)) << bad;
  }
  for (const char* absolute : {"C:\\", "c:/App", "\\\\server\\share"}) EXPECT_TRUE(IsAbsolutePath(absolute));
  for (const char* relative : {"", "App", "C:", "C:App", "\\App", "/App", "\\\\\\x", ".\\App"}) {
    EXPECT_FALSE(IsAbsolutePath(relative)) << relative;
  }
}

// ---- Derived names: keys that meet in one file name ----

TEST_F(LibraryBadInputTest, KeysSharingAFileNameShareTheFileAndLoseNoTrack) {
  check = false;
  // A 30-byte Shift-JIS field cut after a lead byte meets the same text
  // whole; a slash beside its full-width form; and a literal "%81".
  Put("D:\\Music\\1.mp3", Mp3WithTag("Same\x81", "X"));
  Put("D:\\Music\\2.mp3", Mp3WithTag("Same\x82", "X"));
  Put("D:\\Music\\3.mp3", Mp3WithTag("Same", "X"));
  Put("D:\\Music\\4.mp3", Mp3WithTag("AC/DC", "X"));
  Put("D:\\Music\\5.mp3", Mp3WithTag("AC\x81\x5E" "DC", "X"));
  Put("D:\\Music\\6.mp3", Mp3WithTag("AC/DC", "X"));
  Put("D:\\Music\\7.mp3", Mp3WithTag("same%81", "X"));
  Put("D:\\Lists\\L.m3u", "D:\\Music\\1.mp3\r\nD:\\Music\\2.mp3\r\nD:\\Music\\3.mp3\r\nD:\\Music\\4.mp3\r\n"
                          "D:\\Music\\5.mp3\r\nD:\\Music\\6.mp3\r\nD:\\Music\\7.mp3\r\n");
  ASSERT_TRUE(Update().failures.empty());
  EXPECT_EQ(SafeKeyForFileName("a\x09"), "a%09");
  EXPECT_EQ(SafeKeyForFileName(u8"表/"), u8"表／");
  // Every key of the index finds, through the window's mapping, a file that
  // holds its tracks; files shared by keys hold them in index order.
  const TLines keys = ParseTextList(LibraryText(Cache("'L' Artist.dat")));
  ASSERT_EQ(keys.size(), 4u);
  std::map<std::string, std::string> expected;
  std::map<std::string, std::string> trackOf = {
      {"Same", "123"}, {"AC/DC", "4 6"}, {u8"AC／DC", "5"}, {"same%81", "7"}};
  const TLibraryContext context{"C:\\App\\"};
  for (const std::string& key : keys) {
    std::string& content = expected[sim::HostPath("C:\\App\\playlist\\" + GeneratedPlaylistFileName(context, "L", "Artist", key))];
    for (const char number : trackOf.at(key)) {
      if (number != ' ') content += std::string("D:\\Music\\") + number + ".mp3\r\n";
    }
  }
  EXPECT_EQ(expected.size(), 3u);  // Same (three), AC／DC (twice), same%81
  for (const auto& [host, content] : expected) {
    std::ifstream in(host, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), content) << host;
  }
  // The .log names each file once: the files it lists are all there.
  const TLines logged = ParseTextList(Cache("L.log"));
  EXPECT_EQ(logged.size(), 2u + 3u + 1u);
  // Two long albums whose 32-bit hashes are equal (a birthday search finds
  // such pairs in a second): a file each, which the window finds.
  const std::string one = std::string(260, 'A') + "UH6e44Y7", other = std::string(260, 'A') + "bubQJt82";
  ASSERT_EQ(GeneratedPlaylistFileName(context, "Long", "Album", one),
            GeneratedPlaylistFileName(context, "Long", "Album", other));
  Put("D:\\Music\\8.mp3", libtest::Rmp3(libtest::Chunk("IPRD", one + '\0')));
  Put("D:\\Music\\9.mp3", libtest::Rmp3(libtest::Chunk("IPRD", other + '\0')));
  Put("D:\\Lists\\Long.m3u", "D:\\Music\\8.mp3\r\nD:\\Music\\9.mp3\r\n");
  ASSERT_TRUE(Update().failures.empty());
  const std::string longList = "Long";
  for (const auto& [album, track] : {std::pair(one, "8"), std::pair(other, "9")}) {
    const std::string file = PlaylistFileOfNode(TTreeKind::Album, album, &longList, "D:\\Lists", TLibraryContext{"C:\\App\\"});
    EXPECT_EQ(Get(file), std::string("D:\\Music\\") + track + ".mp3\r\n") << file;
  }
  std::filesystem::remove(Host("D:\\Lists\\Long.m3u"));
  std::filesystem::remove(Host("D:\\Lists\\L.m3u"));
  Update();
  EXPECT_EQ(Names("C:\\App\\playlist"), std::vector<std::string>{});
}

// ---- Control bytes in keys: the index and the file names agree ----

// Every line of an index, read as the playlist window reads it, names a
// generated file that holds tracks, and every generated file is named by a
// line: nothing is split, nothing lost after a NUL.
void ExpectIndexNamesItsFiles(const std::string& index, const std::string& base, const std::string& kind,
                              const std::vector<std::string>& names) {
  const std::string prefix = "'" + base + "' " + kind + " '";
  std::set<std::string> named, generated;
  for (const std::string& key : ParseTextList(index)) {
    named.insert(GeneratedPlaylistFileName(TLibraryContext{"C:\\App\\"}, base, kind, key));
  }
  for (const std::string& name : names) {
    if (name.compare(0, prefix.size(), prefix) == 0) generated.insert(name);
  }
  EXPECT_EQ(named, generated) << kind;
}

TEST_F(LibraryBadInputTest, ControlBytesInKeysNeitherSplitTheIndexNorLoseItsFiles) {
  using libtest::Chunk;
  using libtest::Rmp3;
  Put("D:\\Music\\cr.mp3", Mp3WithTag("Band\rSplit", "Alb\nLF"));
  Put("D:\\Music\\run.mp3", Mp3WithTag(" band\r\n\tsplit\x01", "\tAlb LF"));
  // INFO texts as their writers leave them: zero-ended, padded to even.
  Put("D:\\Music\\bee.rmp", Rmp3(Chunk("IART", std::string("Bee Gees\0\0", 10)) +
                                   Chunk("IPRD", std::string("Odessa\0Junk\0", 12))));
  Put("D:\\Music\\nul.rmp", Rmp3(Chunk("IART", std::string("\0Hidden\0", 8)) +
                                   Chunk("IID3", libtest::Id3v1("Id3 Artist", "Id3 Album"))));
  Put("D:\\Music\\zed.mp3", Mp3WithTag("Zed", "Zulu"));
  Put("D:\\Lists\\L.m3u", "D:\\Music\\cr.mp3\r\nD:\\Music\\run.mp3\r\nD:\\Music\\bee.rmp\r\n"
                          "D:\\Music\\nul.rmp\r\nD:\\Music\\zed.mp3\r\n");
  ASSERT_TRUE(Update().failures.empty());
  // A run of control bytes is one blank; an INFO text ends at its zero (and
  // one that begins with it is empty, so the ID3v1 block inside counts).
  EXPECT_EQ(Cache("'L' Artist.dat"), "Band Split\r\nBee Gees\r\nId3 Artist\r\nZed\r\n");
  EXPECT_EQ(Cache("'L' Album.dat"), "Alb LF\r\nId3 Album\r\nOdessa\r\nZulu\r\n");
  EXPECT_EQ(Cache("'L' Artist 'Band Split'.m3u"), "D:\\Music\\cr.mp3\r\nD:\\Music\\run.mp3\r\n");
  EXPECT_EQ(Cache("'L' Album 'Alb LF'.m3u"), "D:\\Music\\cr.mp3\r\nD:\\Music\\run.mp3\r\n");
  EXPECT_EQ(Cache("'L' Artist 'Bee Gees'.m3u"), "D:\\Music\\bee.rmp\r\n");
  const std::vector<std::string> names = Names("C:\\App\\playlist");
  ExpectIndexNamesItsFiles(Cache("'L' Artist.dat"), "L", "Artist", names);
  ExpectIndexNamesItsFiles(Cache("'L' Album.dat"), "L", "Album", names);
  for (const std::string& name : names) EXPECT_EQ(name.find('%'), std::string::npos) << name;
}

TEST_F(LibraryBadInputTest, ALibraryWhoseKeysHeldControlBytesIsBuiltAgainOnce) {
  check = false;
  Put("D:\\Music\\cr.mp3", Mp3WithTag("Band\rSplit", "First"));
  Put("D:\\Lists\\L.m3u", "D:\\Music\\cr.mp3\r\n");
  // The library as the program wrote it before: the raw key in the index,
  // the escaped byte in the name, and no key record.
  Put("C:\\App\\playlist.log", "'D:\\Lists\\L.m3u'=816199941\r\n");
  Put("C:\\App\\playlist\\'L' Artist.dat", "Band\rSplit\r\n");
  Put("C:\\App\\playlist\\'L' Artist 'Band%0DSplit'.m3u", "D:\\Music\\cr.mp3\r\n");
  Put("C:\\App\\playlist\\'L' Album.dat", "First\r\n");
  Put("C:\\App\\playlist\\'L' Album 'First'.m3u", "D:\\Music\\cr.mp3\r\n");
  Put("C:\\App\\playlist\\L.log",
      "'L' Artist.dat\r\n'L' Artist 'Band%0DSplit'.m3u\r\n'L' Album.dat\r\n'L' Album 'First'.m3u\r\n");
  // The playlist is unchanged, yet built again, and counted as updated.
  EXPECT_EQ(Update().counts, (std::vector<int>{0, 1, 0, 0}));
  EXPECT_EQ(Names("C:\\App\\playlist"),
            (std::vector<std::string>{"'L' Album 'First'.m3u", "'L' Album.dat", "'L' Artist 'Band Split'.m3u",
                                      "'L' Artist.dat", "L.log"}));
  EXPECT_EQ(Cache("'L' Artist.dat"), "Band Split\r\n");
  EXPECT_EQ(Get("C:\\App\\playlist.keys"), "Keys=2\r\nReadID3v2=0\r\nPaths=2\r\nCodePage=932\r\n");
  // Once: the record now says how the keys were made.
  EXPECT_EQ(Update().counts, (std::vector<int>{1, 0, 0, 0}));
  // A record that cannot be read, or that says otherwise, builds again.
  Put("C:\\App\\playlist.keys", "Keys=1\r\n");
  EXPECT_EQ(Update().counts, (std::vector<int>{0, 1, 0, 0}));
  EXPECT_EQ(Update().counts, (std::vector<int>{1, 0, 0, 0}));
}

// A library made on code page 1252 and updated on 932: its ".log" would
// name other files, so every file of it goes and the library is built anew,
// once, with the option either way.
TEST_F(LibraryBadInputTest, ALibraryOfAnotherCodePageIsBuiltAnewWithoutItsOldFiles) {
  for (const bool on : {false, true}) {
    SCOPED_TRACE(on ? "option on" : "option off");
    Fresh();
    Put("D:\\Music\\a.mp3", Mp3WithTag("Caf\x83\x8E", "First"));  // 932 bytes of a name
    Put("D:\\Lists\\L.m3u", "D:\\Music\\a.mp3\r\n");
    unicode = false;
    Update();
    const auto fresh = Names("C:\\App\\playlist");
    // What a build on 1252 leaves: its ".log" names "Café" in 1252 bytes,
    // which 932 reads as another name, beside the file it names.
    const std::string record = Get("C:\\App\\playlist.keys");
    Put("C:\\App\\playlist.keys", record.substr(0, record.find("CodePage=")) + "CodePage=1252\r\n");
    Put("C:\\App\\playlist\\L.log", Cache("L.log") + "'L' Album 'Caf\xE9'.m3u\r\n");
    const std::string cafe = u8"Caf\u00E9";
    Put("C:\\App\\playlist\\'L' Album '" + cafe + "'.m3u", "D:\\Music\\a.mp3\r\n");
    unicode = on;
    EXPECT_EQ(Update().counts, (std::vector<int>{0, 0, 1, 0}));
    if (!on) { EXPECT_EQ(Names("C:\\App\\playlist"), fresh); }
    for (const std::string& name : Names("C:\\App\\playlist")) {
      EXPECT_EQ(name.find(cafe), std::string::npos) << name;
      if (on) { EXPECT_NE(name.substr(name.size() - 4), ".m3u") << name; }
    }
    EXPECT_NE(Get("C:\\App\\playlist.keys").find("CodePage=932\r\n"), std::string::npos);
    EXPECT_EQ(Update().counts, (std::vector<int>{1, 0, 0, 0}));
  }
}

// ---- Kill points: an update stopped after each change it makes ----

class LibraryKillTest : public LibraryBadInputTest, public ::testing::WithParamInterface<bool> {
 protected:
  void Library() {
    Put("D:\\Music\\a.mp3", Mp3WithTag("Band A", "First"));
    Put("D:\\Music\\b.mp3", Mp3WithTag("Band B", "Second"));
    Put("D:\\Music\\c.mp3", Mp3WithTag("Band C", "Third"));
    Put("D:\\Lists\\Retag.m3u", "D:\\Music\\a.mp3\r\nD:\\Music\\b.mp3\r\n");
    Put("D:\\Lists\\Edit.m3u", "D:\\Music\\b.mp3\r\n");
    Put("D:\\Lists\\Gone.m3u", "D:\\Music\\c.mp3\r\n");
    Put("D:\\Lists\\Same.m3u", "D:\\Music\\c.mp3\r\n");
    Put("D:\\Lists\\Empties.m3u", "D:\\Music\\c.mp3\r\n");
  }
  // What the interrupted update was to do: a track retagged under another
  // artist, a playlist edited, one removed, one added, and the only track of
  // one gone (its .mp3log must go too).
  void Changes() {
    Put("D:\\Music\\a.mp3", Mp3WithTag("Band Z", "First"), 1100000000);
    Put("D:\\Lists\\Edit.m3u", "D:\\Music\\c.mp3\r\n", 1100000000);
    std::filesystem::remove(Host("D:\\Lists\\Gone.m3u"));
    Put("D:\\Lists\\New.m3u", "D:\\Music\\a.mp3\r\n");
    Put("D:\\Lists\\Empties.m3u", "D:\\Music\\none.mp3\r\n", 1100000000);
  }
  // Every file of the cache but the .logs is named by some .log.
  std::vector<std::string> Unlisted() {
    std::set<std::string> listed;
    for (const std::string& name : Names("C:\\App\\playlist")) {
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".log") == 0) {
        for (const std::string& line : ParseTextList(LibraryText(Cache(name)))) listed.insert(line);
      }
    }
    std::vector<std::string> unlisted;
    for (const std::string& name : Names("C:\\App\\playlist")) {
      if (name.compare(name.size() - 4, 4, ".log") != 0 && !listed.count(name)) unlisted.push_back(name);
    }
    return unlisted;
  }
};

// The update stopped is to make the changes above, or to build every
// playlist again because the Unicode option was turned off (which the next
// update turns on again); either way it ends as the update never stopped.
TEST_P(LibraryKillTest, EveryStopLeavesAStateTheNextUpdateRepairs) {
  check = GetParam();
  for (const bool optionChange : {false, true}) {
    SCOPED_TRACE(optionChange ? "option turned off" : "changes");
    // A new library, its update stopped after `stop` changes, then the next
    // update; gives the changes the stopped update made.
    const auto round = [&](long stop) {
      Fresh();
      Library();
      unicode = optionChange;
      Update();
      unicode = false;
      if (!optionChange) Changes();
      sim::StopChangesAfter(stop);
      const Result stopped = Update();
      const long made = sim::ChangesMade();
      sim::StopChangesAfter(-1);
      if (made < stop) { EXPECT_EQ(stopped.failures, std::vector<std::string>{}); }  // it was not stopped
      EXPECT_EQ(Unlisted(), std::vector<std::string>{});
      unicode = optionChange;
      EXPECT_EQ(Update().failures, std::vector<std::string>{});
      return made;
    };
    const auto files = [this] {
      auto files = Snapshot();
      files["<keys>"] = Get("C:\\App\\playlist.keys");
      return files;
    };
    const long total = round(1L << 30);
    const auto reference = files();
    for (long stop = 0; stop < total; ++stop) {
      SCOPED_TRACE("stopped after " + std::to_string(stop) + " changes");
      round(stop);
      EXPECT_EQ(files(), reference);
      EXPECT_EQ(Update().counts, (std::vector<int>{5, 0, 0, 0}));
      // Nothing is left behind once every playlist is gone.
      for (const std::string& name : Names("D:\\Lists")) std::filesystem::remove(root_ + "/D/Lists/" + name);
      Update();
      EXPECT_EQ(Names("C:\\App\\playlist"), std::vector<std::string>{});
      if (::testing::Test::HasFailure()) break;
    }
    EXPECT_GT(total, 10);
  }
}

INSTANTIATE_TEST_SUITE_P(TrackCheck, LibraryKillTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "On" : "Off"; });

// ---- Files that are not files, or far too large ----

TEST_F(LibraryBadInputTest, APipeListedAsATrackIsATrackFailureNotAHang) {
  Put("D:\\Music\\a.mp3", Mp3WithTag("Band A", "First"));
  ASSERT_EQ(mkfifo(Host("D:\\Music\\pipe.mp3").c_str(), 0644), 0);
  ASSERT_EQ(mkfifo((root_ + "/D/Lists/Piped.m3u").c_str(), 0644), 0);
  Put("D:\\Lists\\L.m3u", "D:\\Music\\pipe.mp3\r\nD:\\Music\\a.mp3\r\n");
  const Result r = Update();
  // Both playlists failed (one for its track): counted nowhere, built again
  // next time.
  EXPECT_EQ(r.counts, (std::vector<int>{0, 0, 0, 0}));
  ASSERT_EQ(r.failures.size(), 2u);
  EXPECT_TRUE(Mentions(r.failures, "pipe.mp3"));
  EXPECT_TRUE(Mentions(r.failures, "Piped.m3u"));
  EXPECT_EQ(Cache("'L' Artist 'Band A'.m3u"), "D:\\Music\\a.mp3\r\n");
  EXPECT_FALSE(Cached("Piped.log"));
}

TEST_F(LibraryBadInputTest, AbsurdlyLargeListsAreRefusedAndTheUpdateGoesOn) {
  check = false;
  Put("D:\\Music\\a.mp3", Mp3WithTag("Band A", "First"));
  Put("D:\\Lists\\A.m3u", "D:\\Music\\a.mp3\r\n");
  Put("D:\\Lists\\Huge.m3u", "D:\\Music\\a.mp3\r\n");
  Update();
  // Sparse: as large as declared, without the disk space.
  ASSERT_EQ(truncate(Host("D:\\Lists\\Huge.m3u").c_str(), static_cast<off_t>(kMaxTextListBytes) + 1), 0);
  sim::SetLastWriteTime("D:\\Lists\\Huge.m3u", 1100000000);
  Result r = Update();
  EXPECT_EQ(r.counts, (std::vector<int>{1, 0, 0, 0}));
  ASSERT_EQ(r.failures.size(), 1u);
  EXPECT_TRUE(Mentions(r.failures, "Huge.m3u"));
  EXPECT_EQ(Cache("'Huge' Artist.dat"), "Band A\r\n");  // its old index stays
  EXPECT_EQ(Get("C:\\App\\playlist.log"), "'D:\\Lists\\A.m3u'=816199941\r\n'D:\\Lists\\Huge.m3u'=\r\n");
  // An absurd "playlist.log" stops the update before the scan; nothing goes.
  ASSERT_EQ(truncate(Host("C:\\App\\playlist.log").c_str(), static_cast<off_t>(kMaxTextListBytes) + 1), 0);
  r = Update();
  EXPECT_EQ(r.outcome, TLibraryUpdate::Outcome::DoneWithFailures);
  EXPECT_TRUE(Mentions(r.failures, "playlist.log"));
  EXPECT_TRUE(Cached("A.log"));
}

// ---- The playlist folder chosen as the cache folder ----

TEST_F(LibraryBadInputTest, TheCacheFolderIsRefusedAsThePlaylistFolderHoweverSpelled) {
  Put("D:\\Music\\a.mp3", Mp3WithTag("Band A", "First"));
  Put("D:\\Lists\\A.m3u", "D:\\Music\\a.mp3\r\n");
  Update();
  const auto before = Snapshot();
  for (const char* spelling : {"C:\\App\\playlist", "c:\\APP\\Playlist\\", "C:/App/playlist", "C:\\App\\.\\playlist"}) {
    EXPECT_EQ(Update(spelling).outcome, TLibraryUpdate::Outcome::FolderIsCache) << spelling;
    EXPECT_EQ(Snapshot(), before) << spelling;
  }
  TLibraryContext context{"C:\\App\\", false};
  EXPECT_TRUE(IsLibraryCacheFolder(context, "C:\\APP\\PLAYLIST"));
  EXPECT_FALSE(IsLibraryCacheFolder(context, "C:\\App"));
  EXPECT_FALSE(IsLibraryCacheFolder(context, "D:\\Lists"));
  // A caller that scans without Run is refused by the scan itself.
  TCountingProgress progress;
  TLibraryUpdate update(context, progress);
  ASSERT_TRUE(update.ReadPreviousList());
  EXPECT_FALSE(update.Scan("C:\\App\\playlist"));
  EXPECT_EQ(progress.Failures.size(), 1u);
  EXPECT_EQ(Snapshot(), before);
}

}  // namespace
