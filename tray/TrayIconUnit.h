#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Error.h"
#include "platform/HiddenWindow.h"
#include "platform/Tray.h"

// Which button was released over the icon.
enum TrayClickKind : std::uint8_t { tcLeft = 0, tcMiddle = 1, tcRight = 2 };

inline constexpr const char* kTaskbarCreatedMessage = "TaskbarCreated";
inline constexpr const char* kTrayIconPathError =
    "トレイアイコンに割り当てるアイコンのパスが不正です。開発者に連絡してください。<Error : TrayIconUnit.SetInfo.1>";

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
  // The system's notification balloon over the icon, when it is in the tray.
  void ShowBalloon(const std::u16string& title, const std::u16string& text);

  // Events, wired by the owner. A click is a button released over the icon.
  std::function<void(std::uint32_t id, TrayClickKind kind)> OnClick;
  // Explorer restarted and the shell has forgotten every icon.
  std::function<void()> OnTaskbarCreated;
  // A system setting changed: the SystemParametersInfo setting and the area
  // by name that the change names (either may be 0 or empty).
  std::function<void(std::uintptr_t setting, const std::string& area)> OnSettingChange;
  // SetInfo was given an icon path where there is no file (kTrayIconPathError).
  std::function<void(const std::string& text)> OnPathError;
  // SetInfo found the file but could not load it as an icon: the load's error.
  std::function<void(const platform::Error& error)> OnLoadError;

  std::int32_t IconId = 0;
  // The fixed text naming the button, shown by the shell for the icon. It
  // names the button, not the image: the Play button keeps its tip while it
  // shows the Pause image.
  std::string Tip;

  platform::WindowHandle Handle() const { return window_.Handle(); }
  // Whether the program last put this icon into the tray (rather than took it
  // out); the shell forgets every icon when Explorer restarts.
  bool InTray() const { return inTray_; }

 private:
  void Click(TrayClickKind kind);
  bool WndProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t* result);
  void ReplaceIcon(platform::IconHandle icon);

  platform::IconHandle icon_ = 0;
  bool inTray_ = false;
  platform::HiddenWindow window_;
};
