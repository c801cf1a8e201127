#pragma once
#include <cstdint>
#include <string>

#include "platform/HiddenWindow.h"
#include "platform/Tray.h"

// One notification-area button: a window that is never shown, so that the
// shell has somewhere to report mouse events on the icon.
class TTrayIcon {
 public:
  TTrayIcon();
  ~TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  void FormClose();
  void SetInfo(std::int32_t id, const std::string& iconPath);
  void ShowIcon();
  void HideIcon();
  void ChangeIcon(const std::string& iconPath);

  std::int32_t IconId = 0;
  platform::NotifyIconData NotifyData{};

  platform::WindowHandle Handle() const { return window_.Handle(); }
  platform::IconHandle Icon() const { return icon_; }
  // Whether the program last put this icon into the tray (rather than took it
  // out); the shell forgets every icon when Explorer restarts.
  bool InTray() const { return inTray_; }

 private:
  bool WndProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t* result);
  // The record filled anew before every call: the button's identity alone
  // (a delete), or with message, image and tip (an add or a modify).
  void FillIdentity();
  void FillForAddOrModify();
  void ReplaceIcon(platform::IconHandle icon);

  platform::IconHandle icon_ = 0;
  bool inTray_ = false;
  platform::HiddenWindow window_;
};
