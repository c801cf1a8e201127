#include <gtest/gtest.h>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/Locale.h"
#include "tests/sim/SimDesktop.h"

namespace {

TEST(ErrorDisplayText, AppendsAPeriodUnlessTheLastCharacterSortsAtOrBeforeIt) {
  EXPECT_EQ(platform::FormatErrorDisplayText(u"abc"), u"abc.");
  EXPECT_EQ(platform::FormatErrorDisplayText(u"abc."), u"abc.");
  EXPECT_EQ(platform::FormatErrorDisplayText(u"abc!"), u"abc!");
  EXPECT_EQ(platform::FormatErrorDisplayText(u"abc "), u"abc ");
  EXPECT_EQ(platform::FormatErrorDisplayText(u"ません"), u"ません.");
  EXPECT_EQ(platform::FormatErrorDisplayText(u""), u"");
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

// A chosen folder or player in any script is taken, as UTF-8; only a name
// with a lone surrogate, which no file has, is refused with the warning.
TEST(ChosenName, AnyScriptIsTakenAndOnlyALoneSurrogateIsRefused) {
  sim::Reset();
  std::string utf8 = "kept";
  EXPECT_TRUE(platform::ChosenNameToUtf8(0, u"D:\\\uC74C\uC545 \U0001F600", "%s", &utf8));
  EXPECT_EQ(utf8, platform::Utf16ToUtf8(u"D:\\\uC74C\uC545 \U0001F600"));
  EXPECT_TRUE(sim::JournalLines("msgbox").empty());
  utf8 = "kept";
  EXPECT_FALSE(platform::ChosenNameToUtf8(0, std::u16string(u"D:\\") + char16_t(0xD800), "%s", &utf8));
  EXPECT_EQ(utf8, "kept");
  EXPECT_EQ(sim::JournalLines("msgbox").size(), 1u);
  sim::Reset();
}

}  // namespace
