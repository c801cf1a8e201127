// What is playing: the balloon over the Play button when the player moves on
// to another track by itself, the title read from the player, and the rules
// under them.
#include <algorithm>

#include "MainTestSupport.h"
#include "app/NowPlaying.h"
#include "platform/Locale.h"

namespace kvtest {
namespace {

TEST(NowPlayingRulesTest, TheCaptionLosesItsListNumberAndThePlayersNameOnlyAndOtherFormsNameNoTitle) {
  const std::vector<std::pair<std::u16string, std::u16string>> rows = {
      {u"12. Artist - Song - Winamp", u"Artist - Song"},
      {u"0. Artist - Song - Winamp", u"Artist - Song"},
      {u"3. 1999 - Prince - Winamp [Paused]", u"1999 - Prince"},
      {u"12.Song - Winamp", u"12.Song"},
      {u"7. Song - Winamp Remix", u""},
      {u"Song - Winamp [Live]", u""},
      {u"Winamp 5.9", u""},
      {u"3.  - Winamp", u""},
  };
  for (const auto& [caption, want] : rows) {
    std::u16string title;
    EXPECT_EQ(TitleFromCaption(caption, &title), !want.empty()) << platform::Utf16ToUtf8(caption);
    if (!want.empty()) { EXPECT_EQ(title, want); }
  }
}

TEST(NowPlayingRulesTest, ALongTitleKeepsItsStartAndEndsInAnEllipsisWithoutHalfAPair) {
  EXPECT_EQ(CutWithEllipsis(std::u16string(255, u'a'), 255), std::u16string(255, u'a'));
  EXPECT_EQ(CutWithEllipsis(std::u16string(256, u'a'), 255), std::u16string(254, u'a') + u"\u2026");
  // U+1D11E is a surrogate pair that the cut would split.
  EXPECT_EQ(CutWithEllipsis(std::u16string(253, u'a') + u"\U0001D11Eb", 255), std::u16string(253, u'a') + u"\u2026");
}

TEST(NowPlayingRulesTest, OnlyMovesThePlayerMakesByItselfWhilePlayingAreTold) {
  TTrackWatch watch;
  EXPECT_FALSE(watch.Moved(4, u"", true)) << "the first position seen is only noted";
  EXPECT_TRUE(watch.Moved(5, u"", true));
  EXPECT_FALSE(watch.Moved(5, u"", true)) << "once per move";
  EXPECT_FALSE(watch.Moved(6, u"", false)) << "not while paused or stopped";
  EXPECT_FALSE(watch.Moved(6, u"", true)) << "nor later, once playing again";
  watch.CommandSent(2);
  EXPECT_FALSE(watch.Moved(7, u"", true));
  EXPECT_FALSE(watch.Moved(8, u"", true)) << "still the answer to the command";
  EXPECT_TRUE(watch.Moved(9, u"", true));
  watch.Forget();
  EXPECT_FALSE(watch.Moved(0, u"", true));
  // Where the position stays at 0, the caption's title tells the move.
  EXPECT_FALSE(watch.Moved(0, u"A", true)) << "no title before to compare with";
  EXPECT_TRUE(watch.Moved(0, u"B", true));
  EXPECT_FALSE(watch.Moved(0, u"B", true));
  EXPECT_FALSE(watch.Moved(0, u"", true)) << "a caption between tracks names nothing";
  EXPECT_FALSE(watch.Moved(0, u"C", true)) << "nor is it a title to compare with";
  EXPECT_TRUE(watch.Moved(3, u"C", true));
  EXPECT_FALSE(watch.Moved(3, u"D", true)) << "elsewhere the position decides alone";
}

// A player with a play list of titles that hands out where each lies in its
// memory, at a new place every time it is asked.
class TrackNoticeTest : public MainFixture {
 protected:
  void SetUp() override {
    MainFixture::SetUp();
    WriteIni("[Setting]\r\nNotifyTrack=1\r\n");
  }
  void StartPlayer() {
    player_.wnd = sim::AddWindow(kc::kPlayerWindowClass, [this](std::uint32_t m, std::uintptr_t w, std::intptr_t l) {
      const int n = static_cast<int>(titles_.size());
      if (m == platform::kWmCommand && w == 40048) position_ = (position_ + 1) % n;
      if (m == platform::kWmCommand && w == 40044) position_ = (position_ + n - 1) % n;
      if (m != platform::kWmUser) return player_.Handle(m, w, l);
      switch (l) {
        case 125: return std::intptr_t{position_};
        case 213:
          if (wide_ != kAnswer) return wide_;
          return static_cast<std::intptr_t>(sim::PutWideText(player_.wnd, titles_.at(w)));
        case 212:
          if (ansi_ != kAnswer) return ansi_;
          return static_cast<std::intptr_t>(sim::PutAnsiText(player_.wnd, platform::Utf16ToAnsi(titles_.at(w))));
        default: return player_.Handle(m, w, l);
      }
    });
    player_.state = kc::psPlaying;
  }
  std::vector<std::u16string> BalloonTexts() {
    std::vector<std::u16string> texts;
    for (const sim::Balloon& b : sim::TrayBalloons()) texts.push_back(b.text);
    return texts;
  }
  std::vector<std::string> UserMessages() {
    std::vector<std::string> lParams;
    for (const std::string& line : Messages()) {
      if (line.find(" 1024 ") != std::string::npos) lParams.push_back(line.substr(line.find(" 1024 ") + 6));
    }
    return lParams;
  }

  static constexpr std::intptr_t kAnswer = -2;
  std::vector<std::u16string> titles_ = {u"Intro", u"Bj\u00f6rk \u2013 J\u00f3ga \u266a", u"\u4e09\u66f2\u76ee"};
  std::int32_t position_ = 0;
  std::intptr_t wide_ = kAnswer;
  std::intptr_t ansi_ = kAnswer;
};

TEST_F(TrackNoticeTest, TheTitleComesFromTheWideAnswerThenTheCaptionThenTheCodePageAndOnlyAsWellFormedText) {
  const std::u16string third = titles_[2];
  const std::u16string loneHalf{u'A', char16_t(0xD834)};
  struct Row {
    const char* what;
    std::u16string wide;  // "-" for the player's own title, empty for no answer
    std::u16string caption;
    std::string ansi;  // "-" for the player's own title, empty for no answer
    std::u16string want;  // empty: no balloon
    bool asksAnsi;
  };
  const std::vector<Row> rows = {
      {"the wide answer wins", u"-", u"3. Other - Winamp", "-", third, false},
      {"then the caption's title", u"", u"2. " + third + u" - Winamp", "-", third, false},
      {"also when the wide answer is no text", loneHalf, third + u" - Winamp", "-", third, false},
      {"the code page last", u"", u"Winamp 5.9", "-", third, true},
      {"nothing that is no text of the code page", u"", u"Winamp 5.9", "\x81", u"", true},
      {"nothing without an answer", u"", u"", "", u"", true},
  };
  for (const Row& row : rows) {
    Start();
    StartPlayer();
    if (row.wide != u"-") wide_ = row.wide.empty() ? 0 : static_cast<std::intptr_t>(sim::PutWideText(player_.wnd, row.wide));
    if (row.ansi != "-") ansi_ = row.ansi.empty() ? 0 : static_cast<std::intptr_t>(sim::PutAnsiText(player_.wnd, row.ansi));
    sim::TickTimers();
    position_ = 2;
    sim::SetWindowCaption(player_.wnd, row.caption);
    sim::ClearJournal();
    sim::TickTimers();
    EXPECT_EQ(BalloonTexts(), row.want.empty() ? std::vector<std::u16string>{} : std::vector<std::u16string>{row.want})
        << row.what;
    const std::vector<std::string> asked = UserMessages();
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "2 212"), row.asksAnsi ? 1 : 0) << row.what;
    main_.reset();
    sim::Reset();
    position_ = 0;
    wide_ = ansi_ = kAnswer;
  }
}

TEST_F(TrackNoticeTest, TurnedOffPausedOrUnansweredNothingIsShownAndOffNothingMoreIsAsked) {
  WriteIni("[Setting]\r\nNotifyTrack=0\r\n");
  TMain& m = Start();
  StartPlayer();
  sim::TickTimers();
  position_ = 1;
  sim::ClearJournal();
  sim::TickTimers();
  EXPECT_EQ(Messages(), std::vector<std::string>{Query()});

  m.Info.NotifyTrack = true;
  sim::TickTimers();
  player_.state = kc::psPaused;
  position_ = 2;
  sim::TickTimers();
  player_.state = kc::psPlaying;
  sim::TickTimers();
  // A player that stops answering right after a move: no balloon, and no
  // second wait for its other title.
  wide_ = sim::kNoAnswer;
  position_ = 0;
  sim::ClearJournal();
  sim::TickTimers();
  EXPECT_EQ(UserMessages(), (std::vector<std::string>{"0 104", "0 125", "0 213"}));
  // Closed and started again elsewhere in its list: a new player, not a move.
  wide_ = kAnswer;
  player_.Close();
  sim::TickTimers();
  position_ = 1;
  StartPlayer();
  sim::TickTimers();
  EXPECT_TRUE(sim::TrayBalloons().empty());
}

}  // namespace
}  // namespace kvtest
