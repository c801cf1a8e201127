#include <gtest/gtest.h>

#include "platform/Application.h"
#include "platform/Error.h"
#include "tests/sim/SimDesktop.h"

namespace {

TEST(ErrorDisplayText, AppendsAPeriodUnlessTheLastCharacterSortsAtOrBeforeIt) {
  EXPECT_EQ(platform::FormatErrorDisplayText("abc"), "abc.");
  EXPECT_EQ(platform::FormatErrorDisplayText("abc."), "abc.");
  EXPECT_EQ(platform::FormatErrorDisplayText("abc!"), "abc!");
  EXPECT_EQ(platform::FormatErrorDisplayText("abc "), "abc ");
  EXPECT_EQ(platform::FormatErrorDisplayText("ません"), "ません.");
  EXPECT_EQ(platform::FormatErrorDisplayText(""), "");
}

TEST(ErrorBoundary, AnyEscapingErrorIsShownOnceInTheSystemsLanguageAndGoesNoFurther) {
  sim::Reset();
  platform::app::SetTitle("Kelvane");
  bool after = false;
  // A text of the system's own is data: UTF-8 inside, as FormatMessageW's answer becomes.
  platform::app::RunGuarded([] { throw platform::Error(reinterpret_cast<const char*>(u8"ファイル C:\\x は開けません")); });
  platform::app::RunGuarded([] { throw 42; });
  platform::app::RunGuarded([&] { after = true; });
  EXPECT_TRUE(after);
  EXPECT_EQ(sim::JournalLines("msgbox"),
            (std::vector<std::string>{"msgbox 0 16 Kelvane|ファイル C:\\x は開けません.",
                                      std::string("msgbox 0 16 Kelvane|") + platform::kErrUnknown + "."}));
  sim::Reset();
}

}  // namespace
