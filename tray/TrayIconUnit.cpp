#include "tray/TrayIconUnit.h"

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Messaging.h"

namespace {
constexpr std::uint32_t kWmLButtonUp = 0x0202;
constexpr std::uint32_t kWmRButtonUp = 0x0205;
constexpr std::uint32_t kWmMButtonUp = 0x0208;

std::uint32_t TaskbarCreatedMessage() {
  static const std::uint32_t message = platform::RegisterMessageName(kTaskbarCreatedMessage);
  return message;
}
}  // namespace

TTrayIcon::TTrayIcon()
    : window_([this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                     std::intptr_t* result) { return WndProc(message, wParam, lParam, result); }) {}

TTrayIcon::~TTrayIcon() { platform::DestroyTrayIcon(icon_); }

void TTrayIcon::FormClose() { HideIcon(); }

void TTrayIcon::SetInfo(std::int32_t id, const std::string& iconPath) {
  IconId = id;
  if (!platform::FileExists(iconPath)) {
    if (OnPathError) OnPathError(kTrayIconPathError);
    return;
  }
  // A file that is there but is no icon must not end start-up: the error is
  // reported and the button keeps the image it had.
  try {
    ReplaceIcon(platform::LoadTrayIconFile(iconPath));
  } catch (const platform::Error& e) {
    if (OnLoadError) OnLoadError(e);
  }
}

void TTrayIcon::ShowIcon() {
  platform::ShellNotifyIcon(platform::TrayOperation::kAdd, Handle(), static_cast<std::uint32_t>(IconId), icon_, Tip);
  inTray_ = true;
}

void TTrayIcon::HideIcon() {
  platform::ShellNotifyIcon(platform::TrayOperation::kDelete, Handle(), static_cast<std::uint32_t>(IconId), 0);
  inTray_ = false;
}

void TTrayIcon::ChangeIcon(const std::string& iconPath) {
  // Loading raises before anything changes: the old image stays and the
  // shell is not called.
  ReplaceIcon(platform::LoadTrayIconFile(iconPath));
  platform::ShellNotifyIcon(platform::TrayOperation::kModify, Handle(), static_cast<std::uint32_t>(IconId), icon_,
                            Tip);
}

void TTrayIcon::ShowBalloon(const std::u16string& title, const std::u16string& text) {
  if (inTray_) platform::ShowTrayBalloon(Handle(), static_cast<std::uint32_t>(IconId), title, text);
}

void TTrayIcon::ReplaceIcon(platform::IconHandle icon) {
  platform::DestroyTrayIcon(icon_);
  icon_ = icon;
}

void TTrayIcon::Click(TrayClickKind kind) {
  if (OnClick) OnClick(static_cast<std::uint32_t>(IconId), kind);
}

bool TTrayIcon::WndProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t* result) {
  if (message == platform::kTrayCallbackMessage) {
    *result = 0;
    switch (static_cast<std::uint32_t>(lParam)) {
      case kWmLButtonUp: Click(tcLeft); break;
      case kWmRButtonUp: Click(tcRight); break;
      case kWmMButtonUp: Click(tcMiddle); break;
      default: break;  // presses, double-clicks and moves are swallowed
    }
    return true;
  }
  if (message == TaskbarCreatedMessage()) {
    // Every button's window hears the broadcast; the owner decides which of
    // them answers, so that the set is put back once.
    if (OnTaskbarCreated) OnTaskbarCreated();
    return false;
  }
  if (message == platform::kWmSettingChange) {
    // Broadcast to every button's window as well.
    if (OnSettingChange) OnSettingChange(wParam, platform::SettingChangeArea(lParam));
    return false;
  }
  return false;
}
