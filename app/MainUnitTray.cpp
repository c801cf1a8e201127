#include "app/MainUnit.h"
#include "platform/FileSystem.h"
#include "platform/Messaging.h"
#include "platform/ShellLink.h"

void TMain::TrayClick(std::uint32_t id, std::uint8_t kind) {
  if (kind == tcRight) {
    // A right click never searches for or starts the player.
    if (Frame) Frame->ShowFrame();
    return;
  }
  if (kind == tcMiddle) {
    // Placing another program's window waits for that program: one that
    // leaves even a null message unanswered is not touched.
    if (!platform::SendWindowMessage(Player.PlayerWnd, platform::kWmNull, 0, 0, kc::kPlayStateTimeoutMs)) return;
    platform::WindowPlacement placement;
    placement.length = sizeof(placement);
    platform::GetPlacement(Player.PlayerWnd, &placement);
    placement.showCmd = platform::kSwRestore;
    platform::SetPlacement(Player.PlayerWnd, &placement);
    // Wine's SetWindowPlacement leaves another process's minimised window as it
    // was, while its ShowWindow restores it. On Windows the window is already
    // restored here and this changes nothing.
    if (platform::IsMinimized(Player.PlayerWnd)) platform::ShowWindowAs(Player.PlayerWnd, platform::kSwRestore);
    platform::BringToForeground(Player.PlayerWnd);
    return;
  }
  if (kind != tcLeft) return;

  if (!FindPlayer() && !EnsurePlayer()) return;
  switch (id) {
    case 1:
      if (Info.FadeoutOnChange) FadeoutChange(kc::cmdPrev); else SendPlayerCommand(kc::cmdPrev);
      break;
    case 2:
      SendPlayerCommand(Player.LastPlayState == kc::psPlaying && SwapMode() ? kc::cmdPause : kc::cmdPlay);
      break;
    case 3:
      SendPlayerCommand(kc::cmdPause);
      break;
    case 4:
      SendPlayerCommand(Info.FadeoutOnStop ? kc::cmdFadeoutStop : kc::cmdStop);
      if (Info.CloseOnStop) SendPlayerCommand(kc::cmdClose);
      break;
    case 5:
      if (Info.FadeoutOnChange) FadeoutChange(kc::cmdNext); else SendPlayerCommand(kc::cmdNext);
      break;
    case 6:
      platform::BringToForeground(Player.PlayerWnd);
      SendPlayerCommand(kc::cmdEject);
      break;
    default:
      break;
  }
}

void TMain::FadeoutChange(int slot) {
  // No poll may come between the steps: each send waits for the player.
  Timer.SetEnabled(false);
  SendPlayerCommand(kc::cmdFadeoutStop);
  SendPlayerCommand(slot);
  SendPlayerCommand(kc::cmdPlay);
  Timer.SetEnabled(true);
}

void TMain::HideIcons() {
  for (int id = 1; id <= 6; ++id) IconById(id)->HideIcon();
}

void TMain::ShowIcons() {
  HideIcons();
  const bool wanted[7] = {false, Info.ShowPrevIcon, Info.ShowPlayIcon, Info.ShowPauseIcon,
                          Info.ShowStopIcon, Info.ShowNextIcon, Info.ShowEjectIcon};
  for (int id = 1; id <= 6; ++id) {
    if (wanted[id]) IconById(id)->ShowIcon();
  }
}

void TMain::RestoreTrayIcons() {
  for (int id = 1; id <= 6; ++id) {
    TTrayIcon* icon = IconById(id);
    if (icon && icon->InTray()) icon->ShowIcon();
  }
}

std::string TMain::IconPath(int file) const {
  const std::string usual = Info.AppDir + kc::kIconFiles[file];
  if (!lightIcons_) return usual;
  // File by file: a light set that lacks a picture, or none at all, leaves
  // today's picture (the user's own, maybe) on that button.
  const std::string light = Info.AppDir + kc::kLightIconFiles[file];
  return platform::FileExists(light) ? light : usual;
}

bool TMain::TaskbarIsLight() const {
  // High contrast paints the taskbar in the user's colours; today's pictures
  // carry a badge of their own that reads on any of them.
  if (platform::HighContrastOn()) return false;
  std::uint32_t light = 0;
  return platform::ReadCurrentUserNumber(kc::kPersonalizeKey, kc::kLightTaskbarValue, &light) && light != 0;
}

void TMain::FollowTaskbarColours() {
  const bool light = TaskbarIsLight();
  if (light == lightIcons_) return;
  lightIcons_ = light;
  // Hidden buttons too: they come back with the picture for the taskbar.
  for (int id = 1; id <= 6; ++id) {
    const std::string path = IconPath(id == 2 ? playImage_ : id);
    if (platform::FileExists(path)) IconById(id)->ChangeIcon(path);
  }
}

bool TMain::ChangePlayImage(int file) {
  const std::string path = IconPath(file);
  try {
    IconPlay->ChangeIcon(path);
    playImage_ = file;
    failedSwapImage_.clear();
    return true;
  } catch (...) {
    // The tick ends here either way and the next one retries; the box is
    // shown once, or every tick would stack another modal box on the last.
    if (failedSwapImage_ == path) return false;
    failedSwapImage_ = path;
    throw;
  }
}

void TMain::TimerTimer() {
  const std::int32_t s = QueryPlayState();
  if (s != Player.LastPlayState) LayOutButtons(s);
  // After the layout: a button taken out and put back loses its balloon.
  WatchTrack(s);
}

void TMain::LayOutButtons(std::int32_t s) {
  const std::int32_t p = Player.LastPlayState;
  const bool swap = SwapMode();
  switch (s) {
    case kc::psPlaying:
      if (swap && !ChangePlayImage(3)) return;
      if (p != kc::psPaused) ShowIcons();
      break;
    case kc::psPaused:
      if (swap && !ChangePlayImage(2)) return;
      if (p != kc::psPlaying) ShowIcons();
      break;
    case kc::psNoPlayer:
      HideIcons();
      if (swap && !ChangePlayImage(2)) return;
      IconPlay->ShowIcon();
      if (Info.ShowEjectIcon) IconEject->ShowIcon();
      break;
    case kc::psStopped:
      if (p == kc::psNoPlayer) {
        if (swap && !ChangePlayImage(2)) return;
        IconPlay->ShowIcon();
        if (Info.ShowStopIcon && Info.CloseOnStop) IconStop->ShowIcon();
        if (Info.ShowEjectIcon) IconEject->ShowIcon();
      } else {
        if (swap && !ChangePlayImage(2)) return;
        IconPrev->HideIcon();
        IconPause->HideIcon();
        IconNext->HideIcon();
        if (!Info.CloseOnStop) IconStop->HideIcon();
      }
      break;
    default:
      break;
  }
  Player.LastPlayState = s;
}

void TMain::SettingsChanged() {
  // The Play button may be showing the Pause image of a swap now turned off.
  if (!Info.PlayChangePause) {
    IconPlay->ChangeIcon(IconPath(2));
    playImage_ = 2;
  }
  // Eject is offered in every state, so it need not wait for the poll.
  if (Info.ShowEjectIcon) {
    IconEject->ShowIcon();
  } else {
    IconEject->HideIcon();
  }
  // The next poll sees a change whenever a player runs and lays the
  // buttons out with the new settings.
  Player.LastPlayState = kc::psNoPlayer;
  // Keys the user has just chosen are reported if they cannot be had; the
  // others are only tried again, as a key held elsewhere was named before.
  RegisterHotKeys(WantedKeys(Info) != lastWanted_);
}
