#include <gtest/gtest.h>

#include "library/PathText.h"

namespace {

TEST(MakeFileNameSafe, ReplacesTheElevenCharactersByFullWidthForms) {
  const std::vector<std::pair<std::string, std::string>> table = {
      {"\\", "\x81\x8F"}, {"/", "\x81\x5E"}, {":", "\x81\x46"}, {",", "\x81\x43"},
      {";", "\x81\x47"},  {"*", "\x81\x96"}, {"?", "\x81\x48"}, {"\"", "\x81\x68"},
      {"<", "\x81\x83"},  {">", "\x81\x84"}, {"|", "\x81\x62"},
  };
  for (const auto& [in, out] : table) EXPECT_EQ(MakeFileNameSafe("a" + in + "b"), "a" + out + "b") << in;
  EXPECT_EQ(MakeFileNameSafe("Up/Down"), "Up／Down");
  EXPECT_EQ(MakeFileNameSafe("What?"), "What？");
  EXPECT_EQ(MakeFileNameSafe("It's a.b c"), "It's a.b c");
}

TEST(MakeFileNameSafe, LeavesDoubleByteCharactersWhoseTrailByteIsABackslash) {
  // "ソ" and "表" end in 0x5C, the backslash's code.
  EXPECT_EQ(MakeFileNameSafe("ソ表\\"), "ソ表\x81\x8F");
  EXPECT_EQ(std::string("ソ"), "\x83\x5C");
}

TEST(MakeFileNameSafe, IsIdempotentAndNeverReadsPastALoneLeadByte) {
  for (const std::string& text : {std::string("a/b:c"), std::string("ソ/"), std::string("x\x83"),
                                  std::string("\x83"), std::string("<>|\"*?")}) {
    const std::string once = MakeFileNameSafe(text);
    EXPECT_EQ(MakeFileNameSafe(once), once) << text;
    EXPECT_EQ(once.find('\0'), std::string::npos);
  }
  // The cut-off lead byte is dropped so it cannot pair with what follows.
  EXPECT_EQ(MakeFileNameSafe("x\x83"), "x");
  EXPECT_EQ(MakeFileNameSafe("x\x83") + ".m3u", "x.m3u");
}

}  // namespace
