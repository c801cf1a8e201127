#include <gtest/gtest.h>

#include "library/PathText.h"
#include "platform/Locale.h"

namespace {

TEST(MakeFileNameSafe, ReplacesTheElevenCharactersByFullWidthForms) {
  // Off: what the system makes of the code page 932 bytes (the same bytes on
  // disk as ever); on: those characters themselves.
  const struct {
    std::string in, cp932, unicode;
  } table[] = {
      {"\\", "\x81\x8F", u8"￥"}, {"/", "\x81\x5E", u8"／"}, {":", "\x81\x46", u8"："}, {",", "\x81\x43", u8"，"},
      {";", "\x81\x47", u8"；"},  {"*", "\x81\x96", u8"＊"}, {"?", "\x81\x48", u8"？"}, {"\"", "\x81\x68", u8"”"},
      {"<", "\x81\x83", u8"＜"},  {">", "\x81\x84", u8"＞"}, {"|", "\x81\x62", u8"｜"},
  };
  for (const auto& t : table) {
    EXPECT_EQ(MakeFileNameSafe("a" + t.in + "b"), "a" + platform::SystemToUtf8(t.cp932) + "b") << t.in;
    EXPECT_EQ(MakeFileNameSafe("a" + t.in + "b", true), "a" + t.unicode + "b") << t.in;
  }
  // Code page 932 is the simulated system's: both agree there.
  EXPECT_EQ(MakeFileNameSafe("Up/Down"), u8"Up／Down");
  EXPECT_EQ(MakeFileNameSafe("It's a.b c", true), "It's a.b c");
}

TEST(MakeFileNameSafe, LeavesOtherCharactersWholeAndIsIdempotent) {
  // "ソ" and "表" end in 0x5C in Shift-JIS; in UTF-8 no byte of theirs is ASCII.
  EXPECT_EQ(MakeFileNameSafe(u8"ソ表\\"), u8"ソ表￥");
  for (const std::string& text : {std::string("a/b:c"), std::string(u8"ソ/"), std::string(u8"아이유|😀"),
                                  std::string("<>|\"*?")}) {
    const std::string once = MakeFileNameSafe(text, true);
    EXPECT_EQ(MakeFileNameSafe(once, true), once) << text;
  }
}

}  // namespace
