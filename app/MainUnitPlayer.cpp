#include "app/MainUnit.h"
#include "ui/FrameRules.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/Messaging.h"
#include "platform/OtherProgram.h"
#include "platform/Process.h"
#include "platform/Tray.h"

namespace {

// A command field: the characters at fixed 1-based positions [from, from+count).
// Only a decimal integer (optional sign, digits, leading zeros allowed) is
// accepted; anything else raises the framework's conversion error.
std::int32_t Field(const std::string& text, std::size_t from, std::size_t count) {
  const std::string field = from - 1 < text.size() ? text.substr(from - 1, count) : std::string();
  std::size_t i = 0;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  if (i == field.size()) throw platform::Error(platform::kErrNotInteger, field);
  std::int64_t value = 0;
  for (; i < field.size(); ++i) {
    if (field[i] < '0' || field[i] > '9') throw platform::Error(platform::kErrNotInteger, field);
    value = value * 10 + (field[i] - '0');
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace

bool TMain::FindPlayer() {
  Player.PlayerWnd = platform::FindTopLevelWindow(Player.PlayerWindowClass);
  return Player.PlayerWnd != 0;
}

void TMain::SendPlayerCommand(int slot) {
  if (slot == kc::cmdPrev || slot == kc::cmdNext || slot == kc::cmdPlay) trackWatch_.CommandSent(kc::kTrackCommandPolls);
  const std::string& text = Commands.at(static_cast<std::size_t>(slot));
  const std::string kind = text.substr(0, 3);
  const platform::WindowHandle wnd = Player.PlayerWnd;
  const auto send = [wnd](std::uint32_t message, std::uint32_t wParam, std::intptr_t lParam) {
    return platform::SendWindowMessage(wnd, message, wParam, lParam, kc::kPlayerCommandTimeoutMs);
  };
  if (kind == "COM") {
    const std::int32_t l = Field(text, 11, 1);
    const std::int32_t w = Field(text, 5, 5);
    send(platform::kWmCommand, static_cast<std::uint32_t>(w), l);
  } else if (kind == "USR") {
    const std::int32_t l = Field(text, 7, 3);
    const std::int32_t w = Field(text, 5, 1);
    send(platform::kWmUser, static_cast<std::uint32_t>(w), l);
  } else if (kind == "KEY") {
    const std::uint32_t key = static_cast<std::uint32_t>(Field(text, 5, 3));
    // A player that left the key-down unanswered would only hold us up
    // again with the key-up.
    if (send(platform::kWmKeyDown, key, 0)) send(platform::kWmKeyUp, key, 0);
  }
  platform::BringToForeground(wnd);
}

std::int32_t TMain::QueryPlayState() {
  Player.Answered = false;
  if (!FindPlayer()) return kc::psNoPlayer;
  // A player that does not answer has told us nothing new: the state last
  // recorded stands, and with it the tray's layout.
  std::intptr_t answer = 0;
  if (!AskPlayer(kc::kPlayStateLParam, kc::kPlayStateWParam, &answer)) return Player.LastPlayState;
  Player.Answered = true;
  return static_cast<std::int32_t>(answer);
}

bool TMain::AskPlayer(std::intptr_t lParam, std::uintptr_t wParam, std::intptr_t* answer) {
  return platform::SendWindowMessage(Player.PlayerWnd, platform::kWmUser, wParam, lParam, kc::kPlayStateTimeoutMs,
                                     answer);
}

// The poll tells a move within one period, beside every player. Winamp's own
// "WinampSongChange" broadcast would be quicker for Winamp alone; a second
// road for one player is not worth a move told twice.
void TMain::WatchTrack(std::int32_t state) {
  // Turned off, the poll asks the player nothing beyond its state.
  if (!Info.NotifyTrack || state == kc::psNoPlayer) {
    trackWatch_.Forget();
    return;
  }
  std::intptr_t answer = 0;
  if (!Player.Answered || !AskPlayer(kc::kListPositionLParam, 0, &answer)) return;
  const std::int32_t position = static_cast<std::int32_t>(answer);
  // The caption is the window system's copy: reading it sends the player
  // nothing, and it names the track where the position cannot.
  std::u16string captionTitle;
  if (!TitleFromCaption(platform::WindowCaption(Player.PlayerWnd), &captionTitle) ||
      !IsWellFormedUtf16(captionTitle)) {
    captionTitle.clear();
  }
  if (!trackWatch_.Moved(position, captionTitle, state == kc::psPlaying)) return;
  std::u16string title;
  if (!ReadTrackTitle(position, captionTitle, &title)) return;
  IconPlay->ShowBalloon(CutWithEllipsis(platform::Utf8ToUtf16(kc::kTrackBalloonTitle), platform::kBalloonTitleUnits),
                        CutWithEllipsis(title, platform::kBalloonTextUnits));
}

bool TMain::ReadTrackTitle(std::int32_t position, const std::u16string& captionTitle, std::u16string* title) {
  const platform::WindowHandle wnd = Player.PlayerWnd;
  const auto isAddress = [](std::intptr_t answer) {
    return static_cast<std::uintptr_t>(answer) >= kc::kLowestTitleAddress;
  };
  const std::uintptr_t entry = static_cast<std::uintptr_t>(position);
  // Each text is read at the address that the same question answered: a
  // player may move its texts between two questions.
  std::intptr_t address = 0;
  if (!AskPlayer(kc::kWideTitleLParam, entry, &address)) return false;
  if (isAddress(address) && platform::ReadWideTextOf(wnd, static_cast<std::uintptr_t>(address), kc::kTitleReadUnits,
                                                     title) && !title->empty() && IsWellFormedUtf16(*title)) {
    return true;
  }
  // Players without the wide answer still keep a UTF-16 caption; their
  // answer in the code page loses what it cannot hold, and some give UTF-8
  // there, so it comes last.
  if (!captionTitle.empty()) {
    *title = captionTitle;
    return true;
  }
  if (!AskPlayer(kc::kTitleLParam, entry, &address)) return false;
  std::string ansi;
  if (!isAddress(address) ||
      !platform::ReadAnsiTextOf(wnd, static_cast<std::uintptr_t>(address), kc::kTitleReadUnits, &ansi) ||
      ansi.empty() || !platform::IsExactSystemText(ansi)) {
    return false;
  }
  *title = platform::AnsiToUtf16(ansi);
  return true;
}

bool TMain::EnsurePlayer() {
  if (FindPlayer()) return true;
  if (!Info.PlayerPath.empty() && platform::FileExists(Info.PlayerPath)) {
    platform::StartProgram("\"" + Info.PlayerPath + "\"", platform::kSwShowNormal);
    // One search right after the start decides; a player that makes its
    // window later is found by the next poll.
    if (FindPlayer()) {
      Info.CorrectPath = true;
      return true;
    }
    Info.PlayerPath.clear();
    Info.CorrectPath = false;
    AskPlayerPath();
    return false;
  }
  Info.CorrectPath = false;
  AskPlayerPath();
  return false;
}

void TMain::AskPlayerPath() {
  if (platform::FileExists(Info.PlayerPath)) return;
  platform::ShowMessageBox(0, platform::Utf8ToUtf16(kc::kPlayerPathNotice),
                           platform::Utf8ToUtf16(platform::app::kAppTitle),
                           platform::kMbOk | platform::kMbIconInformation);
  std::u16string chosen;
  if (!platform::ShowOpenFileDialog(platform::app::MainWindow(), kc::kPlayerFileFilter, &chosen)) return;
  std::string path;
  // A path in any script is kept and started exactly; only text that no
  // settings file could hold is refused by name.
  if (!platform::ChosenNameToUtf8(platform::app::MainWindow(), chosen, kc::kPlayerPathUnusable, &path)) return;
  Info.PlayerPath = path;
}

void TMain::PlayPlaylistFiles(const std::vector<std::string>& files, bool addMode,
                              const std::function<void(const std::string& commandLine)>& start) {
  if (!Info.CorrectPath && !EnsurePlayer()) return;
  // The new list's first track is the user's choice, not a move of the player's.
  trackWatch_.CommandSent(kc::kTrackCommandPolls);
  std::vector<std::string> arguments;
  for (const std::string& file : files) arguments.push_back(PlaylistArgument(file));
  for (const std::string& line : PlayCommandLines(Info.PlayerPath, arguments, addMode)) start(line);
}
