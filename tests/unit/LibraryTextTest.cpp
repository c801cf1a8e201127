// Text list files, quoted text, key-value lines and the locale comparison.
#include "library/TextList.h"

#include <algorithm>

#include "LibraryTestSupport.h"
#include "platform/Error.h"
#include "platform/Locale.h"

namespace {

TEST(LibraryTextList, LineEndsNulAndEmptyLines) {
  struct Case {
    std::string bytes;
    TLines lines;
  } cases[] = {
      {"", {}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}},
      {std::string("\0a", 2), {}},
      {"\r\n", {""}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseTextList(c.bytes), c.lines) << c.bytes;
  EXPECT_EQ(FormatTextList({}), "");
  EXPECT_EQ(FormatTextList({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(LibraryTextList, QuotedTextAndItsInverse) {
  EXPECT_EQ(QuotedText("It's"), "'It''s'");
  EXPECT_EQ(QuotedText("C:\\a'b.mp3"), "'C:\\a''b.mp3'");
  EXPECT_EQ(QuotedText(""), "''");
  for (const std::string s : {"", "x", "''", "a'b'c'", "D:\\Lists\\Rock.m3u"}) EXPECT_EQ(UnquotedText(QuotedText(s)), s);
  EXPECT_EQ(UnquotedText("'ab'cd"), "ab");
  EXPECT_EQ(UnquotedText("noquote"), "");
}

TEST(LibraryTextList, KeysEndAfterTheirClosingQuote) {
  std::string key, value;
  SplitKeyValue("'D:\\a=b.m3u'=123", &key, &value);
  EXPECT_EQ(key, "'D:\\a=b.m3u'");
  EXPECT_EQ(value, "123");
  SplitKeyValue("plain=x=y", &key, &value);
  EXPECT_EQ(key, "plain");
  EXPECT_EQ(value, "x=y");
  SplitKeyValue("no equals", &key, &value);
  EXPECT_EQ(key, "");
  EXPECT_EQ(value, "");
  SplitKeyValue("'open=1", &key, &value);
  EXPECT_EQ(key, "'open");
}

TLines LiveLines(const TKeyValueList& list) {
  TLines out;
  for (std::size_t i = 0; i < list.Lines().size(); ++i) {
    if (list.IsLive(i)) out.push_back(list.Lines()[i]);
  }
  return out;
}

TEST(LibraryTextList, LookupIgnoresCaseFirstLineWinsAndRemovalIsExact) {
  TKeyValueList list({"'A.m3u'=1", "'a.M3U'=2", "'b.m3u'=3"});
  EXPECT_EQ(list.Lookup("'a.m3u'"), "1");
  EXPECT_EQ(list.Lookup("'c.m3u'"), "");
  list.RemoveExact("'a.m3u'");  // byte for byte: no line
  EXPECT_EQ(LiveLines(list).size(), 3u);
  list.RemoveExact("'a.M3U'");
  EXPECT_EQ(list.Lookup("'A.M3U'"), "1");
  list.RemoveExact("'A.m3u'");
  EXPECT_EQ(list.Lookup("'a.m3u'"), "");
  EXPECT_EQ(LiveLines(list), (TLines{"'b.m3u'=3"}));
}

// Enough lines for the lookup to grow its table many times, each key twice
// in different letter case with different values: the first must answer.
std::string ManyStampLines() {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "'D:\\M\\t" + std::to_string(i) + ".mp3'=" + std::to_string(i) + "\r\n";
  for (int i = 0; i < 1000; ++i) text += "'d:\\m\\T" + std::to_string(i) + ".MP3'=x\r\n";
  return text;
}

// The track check reads stamps through TKeyValueLookup and lines through
// ForEachTextLine: both must answer exactly as the list forms do.
TEST(LibraryTextList, InPlaceLinesAndLookupsAgreeWithTheListForms) {
  const std::string texts[] = {
      "",
      "'A.mp3'=1\r\n'a.MP3'=2\r\n'b.mp3'=3\r\n",
      "'D:\\a=b.mp3'=7\r'D:\\A=B.MP3'=8\nno equals\n=9\r\n\r\n'It''s.mp3'=10",
      std::string("'x'=1\r\n\0'y'=2\r\n", 14),
      "'open=1\n'OPEN=2\nplain=x=y\n\x83\x41'=5\n'\x82\x60'=6\n'\x82\x81'=7",
      ManyStampLines(),
  };
  const std::string keys[] = {"'a.mp3'", "'B.MP3'", "'c.mp3'", "'d:\\A=b.mp3'", "'D:\\a", "", "'it''S.mp3'",
                              "'X'", "'y'", "'Open", "PLAIN", "\x83\x41'", "'\x82\x81'", "'\x82\x60'",
                              "'D:\\M\\T0.MP3'", "'d:\\m\\t999.mp3'", "'d:\\m\\t1000.mp3'"};
  for (const std::string& text : texts) {
    TLines visited;
    ForEachTextLine(text, [&](const char* line, std::size_t size) { visited.emplace_back(line, size); });
    EXPECT_EQ(visited, ParseTextList(text)) << text;
    const TKeyValueList list(ParseTextList(text));
    const TKeyValueLookup lookup(text);
    for (const std::string& key : keys) {
      std::string_view found;
      EXPECT_EQ(lookup.Find(key, &found) ? std::string(found) : std::string(), list.Lookup(key))
          << text << " / " << key;
    }
  }
  const TKeyValueLookup lookup("'A.mp3'=1\r\n'a.MP3'=2\r\nbare\r\n");
  std::string_view value;
  ASSERT_TRUE(lookup.Find("'a.mp3'", &value));
  EXPECT_EQ(value, "1");
  EXPECT_FALSE(lookup.Find("'b.mp3'", &value));
  // A line without "=" has the empty key and the empty value.
  ASSERT_TRUE(lookup.Find("", &value));
  EXPECT_EQ(value, "");
}

// The track check asks the stamps in the order its build wrote them.
TEST(LibraryTextList, LookupInLineOrderAnswersFromEachLineAndFallsBackOutOfOrder) {
  const std::string text = ManyStampLines();
  TKeyValueLookup lookup(text);
  std::string_view value;
  for (int i = 0; i < 1000; ++i) {
    ASSERT_TRUE(lookup.FindInLineOrder("'D:\\M\\t" + std::to_string(i) + ".mp3'", &value));
    ASSERT_EQ(value, std::to_string(i));
  }
  // Asked in order, a line whose key repeats an earlier one in another case
  // answers itself; out of order its own line answers too, and a spelling
  // no line has is answered by the first line that compares equal.
  ASSERT_TRUE(lookup.FindInLineOrder("'d:\\m\\T0.MP3'", &value));
  EXPECT_EQ(value, "x");
  ASSERT_TRUE(lookup.FindInLineOrder("'d:\\m\\T499.MP3'", &value));
  EXPECT_EQ(value, "x");
  ASSERT_TRUE(lookup.FindInLineOrder("'D:\\m\\T500.mp3'", &value));
  EXPECT_EQ(value, "500");
  // From the line that answered, order goes on.
  ASSERT_TRUE(lookup.FindInLineOrder("'D:\\M\\t501.mp3'", &value));
  EXPECT_EQ(value, "501");
  EXPECT_FALSE(lookup.FindInLineOrder("'D:\\M\\t1000.mp3'", &value));
  ASSERT_TRUE(lookup.FindInLineOrder("'D:\\M\\t502.mp3'", &value));
  EXPECT_EQ(value, "502");
  ASSERT_TRUE(lookup.FindInLineOrder("'D:\\M\\T503.MP3'", &value));
  EXPECT_EQ(value, "503");
}

TEST(LibraryLocale, ComparisonIgnoresCaseIsTotalAndKeysAgree) {
  // Written in code page 932 bytes, compared as the UTF-8 all text inside is.
  std::string texts[] = {"band a", "BAND A", "Band B", "", "_x", "a", "\x82\x60", "\x82\x81",  // Ａ ａ
                               "\x83\x9F", "\x83\xBF", "\x84\x40", "\x84\x70", "\x84\x4F", "\x84\x80",  // Α α А а О о
                               "\x95\x5C", "\x95\x5Cz", "Z", "\x82\x60\x82\x81", "\x82\x81\x82\x60",
                               "a\x82", "A\x82", "\x84\x50", "\x84\x90"};  // ＡａａＡ, a lone lead byte, П п
  for (std::string& text : texts) text = platform::SystemToUtf8(text);
  const auto u = [](const std::string& ansi) { return platform::SystemToUtf8(ansi); };
  EXPECT_EQ(platform::CompareTextIgnoringCase("band a", "BAND A"), 0);
  EXPECT_EQ(platform::CompareTextIgnoringCase(u("\x82\x60"), u("\x82\x81")), 0);
  EXPECT_EQ(platform::CompareTextIgnoringCase(u("\x84\x4F"), u("\x84\x80")), 0);
  EXPECT_LT(platform::CompareTextIgnoringCase("_x", "a"), 0);
  const std::string motley = u8"Mötley", upper = u8"MÖTLEY";
  EXPECT_EQ(platform::CompareTextIgnoringCase(motley, upper), 0);
  EXPECT_NE(platform::CompareTextIgnoringCase(motley, "Motley"), 0);
  for (const auto& a : texts) {
    for (const auto& b : texts) {
      const int ab = platform::CompareTextIgnoringCase(a, b);
      EXPECT_EQ(ab, -platform::CompareTextIgnoringCase(b, a));
      const std::string ka = platform::CaseInsensitiveKey(a), kb = platform::CaseInsensitiveKey(b);
      EXPECT_EQ(ab == 0, ka == kb) << a << " / " << b;
      EXPECT_EQ(ab < 0, ka < kb) << a << " / " << b;
      // The in-place forms the hash tables use agree with the keys.
      EXPECT_EQ(platform::EqualIgnoringCase(a.data(), a.size(), b.data(), b.size()), ka == kb) << a << " / " << b;
      if (ka == kb) {
        EXPECT_EQ(platform::CaseInsensitiveHash(a.data(), a.size()), platform::CaseInsensitiveHash(b.data(), b.size()));
      }
      for (const auto& c : texts) {
        if (ab <= 0 && platform::CompareTextIgnoringCase(b, c) <= 0) {
          EXPECT_LE(platform::CompareTextIgnoringCase(a, c), 0);
        }
      }
    }
  }
}

class LibraryTextFiles : public libtest::LibraryFixture {};

TEST_F(LibraryTextFiles, ReadAndWriteWholeFiles) {
  TLines lines;
  EXPECT_FALSE(ReadTextList("C:\\App\\none.log", &lines));
  WriteTextList("C:\\App\\x.log", {"a", "b"});
  EXPECT_EQ(Get("C:\\App\\x.log"), "a\r\nb\r\n");
  WriteTextList("C:\\App\\x.log", {});
  EXPECT_TRUE(Exists("C:\\App\\x.log"));
  EXPECT_EQ(Get("C:\\App\\x.log"), "");
  ASSERT_TRUE(ReadTextList("C:\\App\\x.log", &lines));
  EXPECT_TRUE(lines.empty());
  EXPECT_THROW(ReadRequiredTextList("C:\\App\\none.log"), platform::Error);
  EXPECT_THROW(ReadRequiredTextList("C:\\App"), platform::Error);
}

}  // namespace
