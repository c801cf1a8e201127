// The profile file: the forms a person may type by hand read as the profile
// functions read them, and writes keep everything the program does not own.
// The same tables run against the real functions in tests/win.
#include "platform/ProfileFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "platform/Error.h"
#include "platform/posix/SimFileSystem.h"
#include "tests/support/MappedRoot.h"

namespace fs = std::filesystem;
using platform::ProfileText;

namespace {

// Shift-JIS characters whose trail byte is one of the bytes the format gives
// a meaning to, spelt out so that the test does not hang on the compiler's
// character set.
const std::string kZo = "\x83\x5D";    // "ゾ": trail byte "]"
const std::string kSo = "\x83\x5C";    // "ソ": trail byte "\"
const std::string kA = "\x83\x41";     // "ア": trail byte "A"
const std::string kFullA = "\x82\x60"; // full-width "Ａ"
// The same characters as names and values are handed in and out: UTF-8.
const std::string kZo8 = u8"ゾ";
const std::string kSo8 = u8"ソ";
const std::string kA8 = u8"ア";
const std::string kTsu8 = u8"ッ";
const std::string kFulla8 = u8"ａ";

struct ReadCase {
  const char* name;
  std::string file;
  std::string section;
  std::string key;
  std::string expected;
};

std::ostream& operator<<(std::ostream& out, const ReadCase& c) { return out << c.name; }

class ProfileReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReadTest, ReadsAsTheProfileFunctions) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(c.expected, ProfileText(c.file).Read(c.section, c.key, "DEF"));
}

INSTANTIATE_TEST_SUITE_P(
    HandTypedForms, ProfileReadTest,
    ::testing::Values(
        ReadCase{"CrLf", "[S]\r\nk=v\r\n", "S", "k", "v"},
        ReadCase{"LoneLf", "[S]\nk=v\n", "S", "k", "v"},
        ReadCase{"LoneCr", "[S]\rk=v\r", "S", "k", "v"},
        ReadCase{"MixedLineEnds", "[T]\r\n[S]\rj=1\nk=v\r\n", "S", "k", "v"},
        ReadCase{"NoFinalLineEnd", "[S]\r\nk=v", "S", "k", "v"},
        ReadCase{"BlanksAroundNameAndValue", "[S]\r\n \t k \t= \t v w \t\r\n", "S", "k", "v w"},
        ReadCase{"BlanksAroundHeader", "  [ S ]  \r\nk=v\r\n", "S", "k", "v"},
        ReadCase{"TextAfterHeader", "[S] ; note\r\nk=v\r\n", "S", "k", "v"},
        ReadCase{"SectionAndKeyCase", "[sEtTiNg]\r\nPLAYERPATH=v\r\n", "Setting", "PlayerPath", "v"},
        ReadCase{"DoubleQuotes", "[S]\r\nk=\"v\"\r\n", "S", "k", "v"},
        ReadCase{"SingleQuotes", "[S]\r\nk='v'\r\n", "S", "k", "v"},
        ReadCase{"QuotesKeepBlanks", "[S]\r\nk=\" v \"\r\n", "S", "k", " v "},
        ReadCase{"OnePairOfQuotesTaken", "[S]\r\nk=\"\"v\"\"\r\n", "S", "k", "\"v\""},
        ReadCase{"UnmatchedQuotesStay", "[S]\r\nk=\"v'\r\n", "S", "k", "\"v'"},
        ReadCase{"OpeningQuoteOnly", "[S]\r\nk=\"v\r\n", "S", "k", "\"v"},
        ReadCase{"LoneQuote", "[S]\r\nk=\"\r\n", "S", "k", "\""},
        ReadCase{"EmptyQuotes", "[S]\r\nk=\"\"\r\n", "S", "k", ""},
        ReadCase{"EmptyValue", "[S]\r\nk=\r\n", "S", "k", ""},
        ReadCase{"EqualsInValue", "[S]\r\nk = a = b\r\n", "S", "k", "a = b"},
        ReadCase{"KeyTwiceFirstWins", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "1"},
        ReadCase{"SectionTwiceFirstWins", "[S]\r\nk=1\r\n[s]\r\nk=2\r\n", "S", "k", "1"},
        ReadCase{"SecondSectionOfANameIsNotSearched", "[S]\r\nk=1\r\n[S]\r\nj=2\r\n", "S", "j", "DEF"},
        ReadCase{"LineWithoutEqualsHasNoValue", "[S]\r\nk\r\n", "S", "k", "DEF"},
        ReadCase{"LineWithoutEqualsHidesALaterKey", "[S]\r\n k \r\nk=1\r\n", "S", "k", "DEF"},
        ReadCase{"BlankLinesAreNothing", "[S]\r\n \t\r\n\r\nk=1\r\n", "S", "k", "1"},
        ReadCase{"CommentedOutKey", "[S]\r\n;k=1\r\n", "S", "k", "DEF"},
        ReadCase{"KeyOfAnotherSection", "[T]\r\nk=1\r\n[S]\r\n", "S", "k", "DEF"},
        ReadCase{"KeyBeforeAnySection", "k=1\r\n[S]\r\n", "S", "k", "DEF"},
        ReadCase{"HeaderWithoutBracketIsNoSection", "[S\r\nk=1\r\n", "S", "k", "DEF"},
        ReadCase{"LastBracketEndsTheName", "[S]]\r\nk=1\r\n", "S]", "k", "1"},
        ReadCase{"MissingSection", "[T]\r\nk=1\r\n", "S", "k", "DEF"},
        ReadCase{"EmptyFile", "", "S", "k", "DEF"},
        ReadCase{"NulEndsValue", std::string("[S]\r\nk=a\0b\r\n", 12), "S", "k", "a"},
        ReadCase{"TrailByteBracketInSection", "[" + kZo + "]\r\nk=v\r\n", kZo8, "k", "v"},
        ReadCase{"TrailByteBracketClosesNoHeader", "[S]\r\n[" + kZo + "\r\nk=v\r\n", "S", "k", "v"},
        ReadCase{"TrailByteBackslashInValue", "[S]\r\nk=C:\\" + kSo + "\\a.exe\r\n", "S", "k",
                 "C:\\" + kSo8 + "\\a.exe"},
        ReadCase{"TrailByteLetterIsNotFolded", "[S]\r\n" + kA + "=v\r\n", "S", kTsu8, "DEF"},
        ReadCase{"TrailByteLetterMatchesItself", "[S]\r\n" + kA + "=v\r\n", "S", kA8, "v"},
        ReadCase{"FullWidthLettersKeepTheirCase", "[S]\r\n" + kFullA + "=v\r\n", "S", kFulla8, "DEF"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileRead, DefaultLosesTrailingSpaces) {
  EXPECT_EQ("dflt", ProfileText("").Read("S", "k", "dflt  "));
}

// Files saved by an editor as Unicode keep their encoding and mark, as the
// profile functions keep them; names and values are seen as UTF-8.
// A line ends at a code unit CR or LF only: "上" (U+4E0A) holds the byte 0x0A.
TEST(ProfileUnicode, MarkedFilesAreReadAndWrittenInTheirOwnEncoding) {
  const auto utf16 = [](const std::u16string& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t c : text) {
      const char high = static_cast<char>(c >> 8);
      const char low = static_cast<char>(c & 0xFF);
      out += bigEndian ? high : low;
      out += bigEndian ? low : high;
    }
    return out;
  };
  // The comment holds characters code page 932 lacks: only the untouched
  // line can bring them back.
  const std::u16string before16 =
      u"; 雪だるま ☃ 😀\r\n[Setting]\r\nPlayListPath=D:\\上リスト\nWidth=500\r\n\r\n[Other]\r\nx=é\r\n";
  const std::u16string after16 =
      u"; 雪だるま ☃ 😀\r\n[Setting]\r\nPlayListPath=D:\\上リスト\r\nWidth=410\r\nPlayerPath=C:\\ソフト\\w.exe\r\n"
      u"\r\n[Other]\r\nx=é\r\n[Info]\r\nPath=C:\\上\\\r\n";
  const std::string before8 =
      std::string("\xEF\xBB\xBF") +
      reinterpret_cast<const char*>(u8"; 雪だるま ☃ 😀\r\n[Setting]\r\nPlayListPath=D:\\上リスト\nWidth=500\r\n\r\n[Other]\r\nx=é\r\n");
  const std::string after8 =
      std::string("\xEF\xBB\xBF") +
      reinterpret_cast<const char*>(u8"; 雪だるま ☃ 😀\r\n[Setting]\r\nPlayListPath=D:\\上リスト\r\nWidth=410\r\n"
                                    u8"PlayerPath=C:\\ソフト\\w.exe\r\n\r\n[Other]\r\nx=é\r\n[Info]\r\nPath=C:\\上\\\r\n");
  const std::vector<std::pair<std::string, std::string>> files = {
      {utf16(before16, false), utf16(after16, false)},
      {utf16(before16, true), utf16(after16, true)},
      {before8, after8},
  };
  for (const auto& file : files) {
    ProfileText text(file.first);
    EXPECT_EQ(u8"D:\\上リスト", text.Read("Setting", "PlayListPath", "DEF"));
    EXPECT_EQ("500", text.Read("Setting", "Width", "DEF"));
    const std::string acute = u8"é";  // not in a macro: its text is a narrow literal too
    EXPECT_EQ(acute, text.Read("Other", "x", "DEF"));
    text.Write("Setting", "Width", "410");
    text.Write("Setting", "PlayerPath", u8"C:\\ソフト\\w.exe");
    text.Write("Info", "Path", u8"C:\\上\\");
    EXPECT_EQ(file.second, text.Render()) << "mark " << std::hex << (0xFF & file.first[0]);
  }
}

TEST(ProfileUnicode, DamagedUnicodeIsReadWithoutFaultAndKept) {
  // An odd last byte of UTF-16 is no character; broken UTF-8 reads as
  // replacement characters; both untouched lines come back as they were.
  ProfileText odd(std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0\x41", 19));
  EXPECT_EQ("v", odd.Read("S", "k", "DEF"));
  EXPECT_EQ(std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0", 22), odd.Render());
  const std::string broken = "\xEF\xBB\xBF[S]\r\nk=\xC3\r\nj=\xF8\x88\x80\x80\x80\r\n";
  ProfileText utf8(broken);
  EXPECT_EQ("DEF", utf8.Read("T", "k", "DEF"));
  EXPECT_EQ(broken, utf8.Render());
  EXPECT_EQ("\xFF\xFE", ProfileText("\xFF\xFE").Render());
}

TEST(ProfileRead, LongValuesAreCutAtTheBufferWithoutSplittingACharacter) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {std::string(3000, 'a'), std::string(2047, 'a')},
      {"\"" + std::string(3000, 'a') + "\"", std::string(2047, 'a')},
      {std::string(2045, 'a') + kA, std::string(2045, 'a') + kA8},
      {std::string(2046, 'a') + kA, std::string(2046, 'a')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.second, ProfileText("[S]\r\nk=" + c.first + "\r\n").Read("S", "k", ""))
        << "value of " << c.first.size() << " bytes";
  }
  // A value the code page cannot hold is cut in UTF-16 units, never inside a pair.
  const std::string korean = std::string(2046, 'a') + u8"한";
  EXPECT_EQ(korean, ProfileText("\xEF\xBB\xBF[S]\r\nk=" + korean + "x\r\n").Read("S", "k", ""));
  const std::string emoji = std::string(2046, 'a') + u8"😀";
  EXPECT_EQ(std::string(2046, 'a'), ProfileText("\xEF\xBB\xBF[S]\r\nk=" + emoji + "\r\n").Read("S", "k", ""));
  EXPECT_EQ(std::string(2047, 'd'), ProfileText("").Read("S", "k", std::string(3000, 'd')));
}

TEST(ProfileInteger, ParsesTheWrittenAndHandTypedForms) {
  struct Case {
    const char* text;
    bool ok;
    std::int32_t value;
  };
  const Case cases[] = {
      {"5", true, 5},
      {"007", true, 7},
      {"-2", true, -2},
      {"+7", true, 7},
      {"  \t12", true, 12},
      {"0x2", true, 2},
      {"0X1f", true, 31},
      {"$10", true, 16},
      {"$7FFFFFFF", true, 2147483647},
      {"$FFFFFFFF", true, -1},
      {"0x80000000", true, -2147483647 - 1},
      {"-$10", true, -16},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"$100000000", false, 0},
      {"-$80000001", false, 0},
      {"99999999999999999999999", false, 0},
      {"", false, 0},
      {" ", false, 0},
      {"yes", false, 0},
      {"true", false, 0},
      {"5x", false, 0},
      {"5 ", false, 0},
      {"1.5", false, 0},
      {"- 5", false, 0},
      {"-", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"0xG", false, 0},
      {"x10", false, 0},
  };
  for (const Case& c : cases) {
    std::int32_t value = 12345;
    EXPECT_EQ(c.ok, platform::ParseProfileInteger(c.text, &value)) << "'" << c.text << "'";
    if (c.ok) {
      EXPECT_EQ(c.value, value) << "'" << c.text << "'";
    }
  }
}

struct WriteCase {
  const char* name;
  std::string file;
  std::vector<std::vector<std::string>> writes;  // section, key, value
  std::string expected;
};

std::ostream& operator<<(std::ostream& out, const WriteCase& c) { return out << c.name; }

class ProfileWriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriteTest, EditsInPlaceAndKeepsTheRest) {
  const WriteCase& c = GetParam();
  ProfileText text(c.file);
  for (const auto& w : c.writes) text.Write(w[0], w[1], w[2]);
  EXPECT_EQ(c.expected, text.Render());
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, ProfileWriteTest,
    ::testing::Values(
        WriteCase{"FreshFileInOrder", "",
                  {{"Info", "ApplicationName", "Kelvane"},
                   {"Info", "Version", "0.30.03.01"},
                   {"Info", "Path", "C:\\Kelvane\\"},
                   {"Setting", "PlayerPath", ""},
                   {"Setting", "CorrectPath", "0"}},
                  "[Info]\r\nApplicationName=Kelvane\r\nVersion=0.30.03.01\r\nPath=C:\\Kelvane\\\r\n"
                  "[Setting]\r\nPlayerPath=\r\nCorrectPath=0\r\n"},
        WriteCase{"ReplacedWhereItStands", "[S]\r\na=1\r\nk=1\r\nb=1\r\n", {{"S", "k", "2"}},
                  "[S]\r\na=1\r\nk=2\r\nb=1\r\n"},
        WriteCase{"ReplacedLineKeepsTheFilesSpelling", "[setting]\r\n  playerpath = x \r\n",
                  {{"Setting", "PlayerPath", "y"}}, "[setting]\r\nplayerpath=y\r\n"},
        // Wine rewrites the whole file and drops blank lines; Windows edits the line.
        WriteCase{"WindowsNotWine_NewKeyBeforeBlankLinesOfItsSection", "[S]\r\na=1\r\n\r\n\r\n[T]\r\nb=1\r\n",
                  {{"S", "k", "2"}}, "[S]\r\na=1\r\nk=2\r\n\r\n\r\n[T]\r\nb=1\r\n"},
        WriteCase{"NewKeyAfterTrailingComment", "[S]\r\na=1\r\n; note\r\n\r\n[T]\r\n",
                  {{"S", "k", "2"}}, "[S]\r\na=1\r\n; note\r\nk=2\r\n\r\n[T]\r\n"},
        WriteCase{"NewKeyInEmptySection", "[S]\r\n[T]\r\n", {{"S", "k", "2"}},
                  "[S]\r\nk=2\r\n[T]\r\n"},
        WriteCase{"NewSectionAtEnd", "[S]\r\na=1\r\n", {{"T", "k", "2"}},
                  "[S]\r\na=1\r\n[T]\r\nk=2\r\n"},
        WriteCase{"NewSectionAfterMissingFinalLineEnd", "[S]\r\na=1", {{"T", "k", "2"}},
                  "[S]\r\na=1\r\n[T]\r\nk=2\r\n"},
        WriteCase{"LoneLfAndCrBecomeCrLf", "[S]\na=1\rb=2\n", {{"S", "a", "3"}},
                  "[S]\r\na=3\r\nb=2\r\n"},
        WriteCase{"FirstOfTwoSectionsIsWritten", "[S]\r\nk=1\r\n[s]\r\nk=2\r\n",
                  {{"S", "k", "9"}, {"S", "j", "8"}}, "[S]\r\nk=9\r\nj=8\r\n[s]\r\nk=2\r\n"},
        WriteCase{"FirstOfTwoKeysIsWritten", "[S]\r\nk=1\r\nk=2\r\n", {{"S", "k", "9"}},
                  "[S]\r\nk=9\r\nk=2\r\n"},
        WriteCase{"LineWithoutEqualsNamedLikeTheKeyTakesTheValue", "[S]\r\n K \r\n",
                  {{"S", "k", "1"}}, "[S]\r\nK=1\r\n"},
        WriteCase{"OtherLineWithoutEqualsStays", "[S]\r\nnot a key\r\n", {{"S", "k", "1"}},
                  "[S]\r\nnot a key\r\nk=1\r\n"},
        WriteCase{"CommentedOutKeyStays", "[S]\r\n;k=1\r\n", {{"S", "k", "2"}},
                  "[S]\r\n;k=1\r\nk=2\r\n"},
        WriteCase{"TrailByteBracketSectionFound", "[" + kZo + "]\r\nk=1\r\n", {{kZo8, "k", "2"}},
                  "[" + kZo + "]\r\nk=2\r\n"},
        WriteCase{"ValueWrittenInTheCodePage", "", {{"S", "k", "D:\\" + kSo8 + "\\" + kA8}},
                  "[S]\r\nk=D:\\" + kSo + "\\" + kA + "\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Windows edits the file where the key stands; Wine rewrites every line in
// its own form (trimmed, blank lines dropped).
TEST(ProfileWrite, WindowsNotWine_LinesItDoesNotOwnSurviveByteForByte) {
  const std::string before =
      "; kept as typed\r\n"
      "stray=before any section\r\n"
      "[Setting]\r\n"
      "  PlayerPath = C:\\old.exe  \r\n"
      "\tUnknownKey =\t\"quoted\" \r\n"
      "not a key line\r\n"
      "\r\n"
      "[Mine] extra\r\n"
      "x = 1\r\n"
      "   \r\n";
  ProfileText text(before);
  text.Write("Setting", "PlayerPath", "C:\\new.exe");
  text.Write("Setting", "AutoHide", "1");
  EXPECT_EQ(
      "; kept as typed\r\n"
      "stray=before any section\r\n"
      "[Setting]\r\n"
      "PlayerPath=C:\\new.exe\r\n"
      "\tUnknownKey =\t\"quoted\" \r\n"
      "not a key line\r\n"
      "AutoHide=1\r\n"
      "\r\n"
      "[Mine] extra\r\n"
      "x = 1\r\n"
      "   \r\n",
      text.Render());
}

TEST(ProfileWrite, WhatIsWrittenReadsBack) {
  ProfileText text("[s]\r\nK=old\r\n");
  const std::string values[] = {"", "C:\\Program Files\\Winamp\\winamp.exe", "-1", kZo8 + kSo8, u8"D:\\음악 😀"};
  for (const std::string& v : values) {
    text.Write("S", "k", v);
    EXPECT_EQ(v, ProfileText(text.Render()).Read("S", "K", "DEF"));
  }
}

// Which encoding a save takes, and what becomes of the lines not written: a
// code page file stays byte for byte itself until a value does not fit; then
// the whole file is UTF-8 with a mark. A marked file keeps its lines' bytes.
TEST(ProfileEncoding, ACodePageFileStaysSoUntilAWrittenValueDoesNotFit) {
  const std::string music = "\x89\xB9\x8A\x79";  // "音楽"
  // "odd" ends in a lead byte without its trail: no character of the code page.
  const auto ansi = [&](const std::string& folder) {
    return "; " + music + "\r\n[Setting]\r\nPlayListPath=D:\\" + folder + "\r\nWidth=500\r\nodd=\x83\r\n";
  };
  const std::string marked = std::string("\xEF\xBB\xBF") + u8"; 😀\r\n[Setting]\r\nPlayListPath=D:\\음악\r\nbad=\xC3\r\n";
  struct Case {
    const char* name;
    std::string file, key, value, expected;
  } cases[] = {
      {"CodePageValue", ansi(kSo), "PlayListPath", u8"D:\\音楽", ansi(music)},
      {"SameValueAgain", ansi(kSo), "PlayListPath", u8"D:\\ソ", ansi(kSo)},
      {"KoreanValue", ansi(kSo), "PlayListPath", u8"D:\\음악",
       std::string("\xEF\xBB\xBF") + u8"; 音楽\r\n[Setting]\r\nPlayListPath=D:\\음악\r\nWidth=500\r\nodd=・\r\n"},
      {"MarkedFile", marked, "Width", "410",
       std::string("\xEF\xBB\xBF") + u8"; 😀\r\n[Setting]\r\nPlayListPath=D:\\음악\r\nbad=\xC3\r\nWidth=410\r\n"},
  };
  for (const Case& c : cases) {
    ProfileText text(c.file);
    text.Write("Setting", c.key, c.value);
    EXPECT_EQ(c.expected, text.Render()) << c.name;
    EXPECT_EQ(c.value, ProfileText(text.Render()).Read("Setting", c.key, "DEF")) << c.name;
  }
}

class ProfileFileTest : public ::testing::Test {
 protected:
  kvtest::MappedRoot mapped_{"C/App"};
  const std::string& root_ = mapped_.path;
  void Put(const std::string& bytes) {
    std::ofstream(root_ + "/C/App/kelvane.ini", std::ios::binary) << bytes;
  }
  std::string Get() {
    std::ifstream in(root_ + "/C/App/kelvane.ini", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  const std::string path_ = "C:\\App\\kelvane.ini";
};

TEST_F(ProfileFileTest, MissingFileGivesDefaultsAndSaveCreatesIt) {
  platform::ProfileFile ini(path_);
  EXPECT_EQ("d", ini.ReadString("Setting", "PlayerPath", "d"));
  EXPECT_EQ(3, ini.ReadInteger("Setting", "PlaylistPos", 3));
  EXPECT_TRUE(ini.ReadBool("Setting", "AutoHide", true));
  EXPECT_FALSE(fs::exists(root_ + "/C/App/kelvane.ini"));
  ini.WriteString("Info", "Version", "0.30.03.01");
  ini.WriteInteger("Setting", "PlaylistPos", -2);
  ini.WriteBool("Setting", "AutoHide", true);
  ini.WriteBool("Setting", "CloseOnStop", false);
  ini.Save();
  EXPECT_EQ("[Info]\r\nVersion=0.30.03.01\r\n[Setting]\r\nPlaylistPos=-2\r\nAutoHide=1\r\nCloseOnStop=0\r\n",
            Get());
}

TEST_F(ProfileFileTest, TypedReadsFallBackToTheKeysDefault) {
  Put("[Setting]\r\nPlaylistPos=0x2\r\nWidth=7\r\nHeight=abc\r\nCloseOnStop=yes\r\n"
      "AutoHide=0\r\nFadeoutOnStop=5\r\nShowPrevIcon=-1\r\nCheckMP3OnUpdate=\r\n"
      "Quoted=\" 42\"\r\n");
  const platform::ProfileFile ini(path_);
  const struct {
    const char* key;
    std::int32_t def;
    std::int32_t integer;
    bool boolDefault;
    bool boolean;
  } cases[] = {
      {"PlaylistPos", 3, 2, false, true},
      {"Width", 410, 7, false, true},
      {"Height", 348, 348, true, true},
      {"CloseOnStop", 1, 1, true, true},
      {"AutoHide", 1, 0, true, false},
      {"FadeoutOnStop", 0, 5, false, true},
      {"ShowPrevIcon", 1, -1, false, true},
      {"CheckMP3OnUpdate", 1, 1, true, true},
      {"Quoted", 0, 42, false, true},
      {"Missing", 9, 9, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.integer, ini.ReadInteger("Setting", c.key, c.def)) << c.key;
    EXPECT_EQ(c.boolean, ini.ReadBool("Setting", c.key, c.boolDefault)) << c.key;
  }
  EXPECT_FALSE(ini.ReadBool("Setting", "CloseOnStop", false));
}

TEST_F(ProfileFileTest, FailedSaveRaisesAndKeepsTheOldFile) {
  const std::string old = "[Setting]\r\nPlayerPath=C:\\old.exe\r\nMine=1\r\n";
  Put(old);
  platform::ProfileFile ini(path_);
  ini.WriteString("Setting", "PlayerPath", "C:\\new.exe");
  sim::LockFile(path_);
  try {
    ini.Save();
    FAIL() << "a save over a locked file succeeded";
  } catch (const platform::Error& e) {
    EXPECT_EQ(platform::Message(platform::kErrCannotWrite, path_).Utf8(), e.what());
  }
  sim::UnlockFile(path_);
  EXPECT_EQ(old, Get());
  ini.Save();
  EXPECT_EQ("[Setting]\r\nPlayerPath=C:\\new.exe\r\nMine=1\r\n", Get());
}

TEST_F(ProfileFileTest, SaveIntoAMissingFolderRaises) {
  const std::string path = "C:\\Gone\\kelvane.ini";
  platform::ProfileFile ini(path);
  ini.WriteString("Info", "Path", "C:\\Gone\\");
  try {
    ini.Save();
    FAIL() << "a save into a missing folder succeeded";
  } catch (const platform::Error& e) {
    EXPECT_EQ(platform::Message(platform::kErrCannotWrite, path).Utf8(), e.what());
  }
}

// The profile functions read such a file as empty. Saving over it would
// replace settings that were never seen with the edits alone.
TEST_F(ProfileFileTest, UnreadableFileReadsAsEmptyAndIsNotSavedOver) {
  const std::string old = "[Setting]\r\nPlayerPath=C:\\p.exe\r\nMine=1\r\n";
  Put(old);
  sim::LockFile(path_);
  platform::ProfileFile ini(path_);
  sim::UnlockFile(path_);
  EXPECT_EQ("d", ini.ReadString("Setting", "PlayerPath", "d"));
  ini.WriteString("Setting", "PlayerPath", "C:\\q.exe");
  try {
    ini.Save();
    FAIL() << "a file that was never read was saved over";
  } catch (const platform::Error& e) {
    EXPECT_EQ(platform::Message(platform::kErrCannotWrite, path_).Utf8(), e.what());
  }
  EXPECT_EQ(old, Get());
}

TEST_F(ProfileFileTest, FolderInThePlaceOfTheFileIsNotWritable) {
  fs::create_directories(root_ + "/C/App/kelvane.ini");
  platform::ProfileFile ini(path_);
  EXPECT_EQ(7, ini.ReadInteger("Setting", "Width", 7));
  ini.WriteInteger("Setting", "Width", 8);
  try {
    ini.Save();
    FAIL() << "saved over a folder";
  } catch (const platform::Error& e) {
    EXPECT_EQ(platform::Message(platform::kErrCannotWrite, path_).Utf8(), e.what());
  }
  EXPECT_TRUE(fs::is_directory(root_ + "/C/App/kelvane.ini"));
}

}  // namespace
