#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ConstUnit.h"
#include "app/HotKeyRules.h"
#include "app/NowPlaying.h"
#include "platform/Application.h"
#include "platform/HiddenWindow.h"
#include "platform/Timer.h"
#include "platform/Types.h"
#include "tray/TrayIconUnit.h"
#include "ui/FrameView.h"
#include "ui/ProgramView.h"

class TMP3Tag;

// The connection to the player.
struct TPlayer {
  platform::WindowHandle PlayerWnd = 0;
  std::int32_t LastPlayState = kc::psNoPlayer;
  // The last play-state query was answered (not a stale state kept).
  bool Answered = false;
  std::string PlayerWindowClass = kc::kPlayerWindowClass;
};

// The hidden main object: owns the player connection, the tray buttons, the
// poll timer and every setting.
class TMain : public platform::MainWindowEvents, public TProgramView {
 public:
  TMain();
  ~TMain() override;

  // Start-up and shutdown
  void FormCreate();
  bool FormCloseQuery();
  void FormClose();
  bool CloseQuery() override { return FormCloseQuery(); }
  void Close() override { FormClose(); }
  // Another start of the program found this one running.
  void ShowRequested() override;
  bool SessionEndQuery() override;
  void SessionEnd(bool ending) override;
  // The update looks at no message either until then.
  bool CloseAwaited() const override { return closeAfterUpdate_ || sessionEnding_; }
  void InitCommandTable();
  void InitDefaults();
  // Created hidden, before the settings that size it are read.
  void CreatePlaylistWindow();
  void CheckVersionUpgrade(const std::string& storedVersion);
  void ShowError(const std::string& text);
  void AppDeactivate();

  // Settings file
  std::string SettingsFileName() const;
  void LoadSettings();
  void SaveSettings();

  // Startup shortcut
  void RegisterStartup() override;
  void UnregisterStartup() override;
  bool IsStartupRegistered() override;
  // The current user's Startup folder, read afresh; empty when neither the
  // registry nor the shell names one.
  std::string StartupFolder() const;

  // Player
  bool FindPlayer();
  void SendPlayerCommand(int slot);
  std::int32_t QueryPlayState();
  bool EnsurePlayer();
  void AskPlayerPath();
  void PlayPlaylistFiles(const std::vector<std::string>& files, bool addMode,
                         const std::function<void(const std::string& commandLine)>& start) override;

  // Tray buttons and poll
  void TrayClick(std::uint32_t id, std::uint8_t kind);
  void ShowIcons();
  void HideIcons();
  void TimerTimer();
  // What is playing: a balloon over the Play button when the player moved on
  // to another track by itself.
  void WatchTrack(std::int32_t state);
  // The title of a list entry, as the player names it (the caption's title
  // stands in where the player has no UTF-16 answer); false when the player
  // did not answer or gave no well-formed text.
  bool ReadTrackTitle(std::int32_t position, const std::u16string& captionTitle, std::u16string* title);
  // The light or dark pictures, as the taskbar is now.
  void FollowTaskbarColours();
  bool TaskbarIsLight() const;
  // A picture's file (an index of kIconFiles) for the present taskbar.
  std::string IconPath(int file) const;
  // Explorer restarted: the shell has forgotten every icon.
  void RestoreTrayIcons();

  // System-wide keys. Each key wanted and not held yet is claimed; those
  // held and no longer wanted are let go. When `tell`, the keys that could
  // not be had are named in one message.
  void RegisterHotKeys(bool tell);
  void ReleaseHotKeys();
  // A key held by the program was pressed: what its click would do.
  void HotKeyPressed(int id);

  // Library update, run from the playlist window with that window disabled
  TUpdateOutcome UpdatePlaylists(TUpdateProgress& progress) override;

  TInfo& Settings() override { return Info; }
  void SettingsChanged() override;

  TTrayIcon* IconById(int id) const;
  bool SwapMode() const { return Info.PlayChangePause && !Info.ShowPauseIcon; }

  platform::Timer Timer{kc::kPollIntervalMs};
  std::unique_ptr<TMP3Tag> MP3Tag;
  TPlayer Player;
  TInfo Info;
  // The playlist window; `Frame` is the program-wide reference to it.
  std::unique_ptr<TFrameView> FrameWindow;
  std::array<std::string, 11> Commands;  // slots 1..10

  std::unique_ptr<TTrayIcon> IconPrev;
  std::unique_ptr<TTrayIcon> IconPlay;
  std::unique_ptr<TTrayIcon> IconPause;
  std::unique_ptr<TTrayIcon> IconStop;
  std::unique_ptr<TTrayIcon> IconNext;
  std::unique_ptr<TTrayIcon> IconEject;

 private:
  void FadeoutChange(int slot);
  void LayOutButtons(std::int32_t state);
  // False when the image failed as it did on the last tick: the tick then
  // ends quietly. A new failure is raised.
  bool ChangePlayImage(int file);
  bool AskPlayer(std::intptr_t lParam, std::uintptr_t wParam, std::intptr_t* answer);

  TTrackWatch trackWatch_;
  bool lightIcons_ = false;
  // The picture the Play button shows: Play, or Pause in swap mode.
  int playImage_ = 2;

  // The swap image that failed to load last; its error is shown once, not
  // on every tick that retries it.
  std::string failedSwapImage_;
  // Hears the keys and the session's changes; made when a key is first wanted.
  std::unique_ptr<platform::HiddenWindow> keyWindow_;
  std::vector<TWantedKey> heldKeys_;
  // What the settings asked for at the last registration.
  std::vector<TWantedKey> lastWanted_;
  // The settings file existed but could not be read at start-up.
  bool settingsUnread_ = false;
  bool updating_ = false;
  bool closeAfterUpdate_ = false;
  bool sessionEnding_ = false;
};
