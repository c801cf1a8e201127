#include "app/MainUnit.h"
#include "platform/Messaging.h"

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

bool TMain::ChangePlayImage(const char* iconFile) {
  const std::string path = Info.AppDir + iconFile;
  try {
    IconPlay->ChangeIcon(path);
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
  const std::int32_t p = Player.LastPlayState;
  if (s == p) return;
  const bool swap = SwapMode();
  switch (s) {
    case kc::psPlaying:
      if (swap && !ChangePlayImage(kc::kIconFiles[3])) return;
      if (p != kc::psPaused) ShowIcons();
      break;
    case kc::psPaused:
      if (swap && !ChangePlayImage(kc::kIconFiles[2])) return;
      if (p != kc::psPlaying) ShowIcons();
      break;
    case kc::psNoPlayer:
      HideIcons();
      if (swap && !ChangePlayImage(kc::kIconFiles[2])) return;
      IconPlay->ShowIcon();
      if (Info.ShowEjectIcon) IconEject->ShowIcon();
      break;
    case kc::psStopped:
      if (p == kc::psNoPlayer) {
        if (swap && !ChangePlayImage(kc::kIconFiles[2])) return;
        IconPlay->ShowIcon();
        if (Info.ShowStopIcon && Info.CloseOnStop) IconStop->ShowIcon();
        if (Info.ShowEjectIcon) IconEject->ShowIcon();
      } else {
        if (swap && !ChangePlayImage(kc::kIconFiles[2])) return;
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
  if (!Info.PlayChangePause) IconPlay->ChangeIcon(Info.AppDir + kc::kIconFiles[2]);
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
