#include <gtest/gtest.h>

#include "platform/Error.h"

namespace {

TEST(ErrorDisplayText, AppendsAPeriodUnlessTheLastCharacterSortsAtOrBeforeIt) {
  EXPECT_EQ(platform::FormatErrorDisplayText("abc"), "abc.");
  EXPECT_EQ(platform::FormatErrorDisplayText("abc."), "abc.");
  EXPECT_EQ(platform::FormatErrorDisplayText("abc!"), "abc!");
  EXPECT_EQ(platform::FormatErrorDisplayText("abc "), "abc ");
  EXPECT_EQ(platform::FormatErrorDisplayText("ません"), "ません.");
  EXPECT_EQ(platform::FormatErrorDisplayText(""), "");
}

}  // namespace
