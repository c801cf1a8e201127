#pragma once
// The user's settings, one row each, in the order they are written: the rows
// drive the reading and the writing of the settings file and the options
// dialog's check boxes, so a new flag is its field, one row here and its box
// on the dialog.
#include <cstdint>
#include <string>

#include "platform/HotKeys.h"
#include "ui/FrameView.h"

// The settings (named after their ini keys) and the program folder; texts
// are UTF-8, as all text inside. The playlist window keeps its own measures.
struct TInfo {
  std::string PlayerPath;
  bool CorrectPath = false;
  bool ShowPrevIcon = true;
  bool ShowPlayIcon = true;
  bool ShowPauseIcon = true;
  bool ShowStopIcon = true;
  bool ShowNextIcon = true;
  bool ShowEjectIcon = true;
  std::string AppDir;
  bool PlayOnStartup = false;
  bool PlayChangePause = false;
  bool CloseOnStop = false;
  std::int32_t PlaylistPos = 0;
  bool AutoHide = false;
  bool FadeoutOnStop = false;
  bool FadeoutOnChange = false;
  std::string PlayListPath;
  bool CheckMP3OnUpdate = false;
  bool ReadID3v2 = false;
  // Albums told apart by their album artist, compilations kept together
  // (with ReadID3v2 only).
  bool GroupByAlbumArtist = false;
  // The library's files in UTF-8 (generated playlists as .m3u8), so that
  // names the system code page lacks keep every character.
  bool UnicodeLibrary = false;
  // A balloon with the title when the player moves to another track itself.
  bool NotifyTrack = false;
  // System-wide shortcuts for the buttons and the playlist window, and the
  // keyboard's media keys: off unless the user turns them on.
  bool UseHotKeys = false;
  platform::HotKey HotKeyPrev, HotKeyPlay, HotKeyPause, HotKeyStop, HotKeyNext, HotKeyPlaylist;
  bool UseMediaKeys = false;
};

// Each shortcut's field, in the order of its ids: the tray buttons Prev to
// Next (1..5), then the playlist window (6).
inline constexpr platform::HotKey TInfo::*kShortcutKeys[6] = {
    &TInfo::HotKeyPrev, &TInfo::HotKeyPlay, &TInfo::HotKeyPause,
    &TInfo::HotKeyStop, &TInfo::HotKeyNext, &TInfo::HotKeyPlaylist,
};

enum class TSettingKind {
  Flag,
  Number,    // read within [Lowest, Highest]
  Text,      // "" by default
  AlwaysOn,  // written, never read: the Play button is always offered
  Measure,   // of the playlist window: its present one by default, applied at once
  Shortcut,  // a key with its modifiers, as text ("Ctrl+Alt+End"; empty for none)
};

struct TSetting {
  const char* Key;
  TSettingKind Kind;
  bool TInfo::*Flag = nullptr;
  std::int32_t TInfo::*Number = nullptr;
  std::string TInfo::*Text = nullptr;
  std::int32_t Default = 0;  // a flag's 0 or 1, a number's value
  std::int32_t Lowest = 0, Highest = 0;
  std::int32_t (TFrameView::*Measure)() const = nullptr;
  void (TFrameView::*SetMeasure)(std::int32_t) = nullptr;
  // The name of the flag's check box on the options dialog; none when null.
  const char* Box = nullptr;
  platform::HotKey TInfo::*Shortcut = nullptr;
  platform::HotKey ShortcutDefault{};
};

constexpr TSetting FlagSetting(const char* key, bool TInfo::*field, bool byDefault, const char* box = nullptr) {
  return {key, TSettingKind::Flag, field, nullptr, nullptr, byDefault ? 1 : 0, 0, 0, nullptr, nullptr, box};
}

constexpr TSetting TextSetting(const char* key, std::string TInfo::*field) {
  return {key, TSettingKind::Text, nullptr, nullptr, field};
}

constexpr TSetting MeasureSetting(const char* key, std::int32_t (TFrameView::*measure)() const,
                                  void (TFrameView::*setMeasure)(std::int32_t)) {
  return {key, TSettingKind::Measure, nullptr, nullptr, nullptr, 0, 0, 0, measure, setMeasure};
}

constexpr TSetting ShortcutSetting(const char* key, platform::HotKey TInfo::*field, platform::HotKey byDefault) {
  return {key,     TSettingKind::Shortcut, nullptr, nullptr, nullptr, 0, 0, 0, nullptr, nullptr, nullptr,
          field, byDefault};
}

constexpr platform::HotKey kCtrlAlt(std::uint32_t key) {
  return {platform::kModControl | platform::kModAlt, key};
}

inline constexpr TSetting kSettings[] = {
    TextSetting("PlayerPath", &TInfo::PlayerPath),
    FlagSetting("CorrectPath", &TInfo::CorrectPath, false),
    MeasureSetting("Width", &TFrameView::FrameWidth, &TFrameView::SetFrameWidth),
    MeasureSetting("Height", &TFrameView::FrameHeight, &TFrameView::SetFrameHeight),
    MeasureSetting("PlaylistTreeWidth", &TFrameView::PlaylistTreeWidth, &TFrameView::SetPlaylistTreeWidth),
    MeasureSetting("ArtistTreeHeight", &TFrameView::ArtistTreeHeight, &TFrameView::SetArtistTreeHeight),
    FlagSetting("ShowPrevIcon", &TInfo::ShowPrevIcon, true, "chkPrev"),
    {"ShowPlayIcon", TSettingKind::AlwaysOn, &TInfo::ShowPlayIcon, nullptr, nullptr, 1},
    FlagSetting("ShowPauseIcon", &TInfo::ShowPauseIcon, true, "chkPause"),
    FlagSetting("ShowStopIcon", &TInfo::ShowStopIcon, true, "chkStop"),
    FlagSetting("ShowNextIcon", &TInfo::ShowNextIcon, true, "chkNext"),
    FlagSetting("ShowEjectIcon", &TInfo::ShowEjectIcon, true, "chkEject"),
    FlagSetting("PlayOnStartup", &TInfo::PlayOnStartup, false, "chkPlayOnStartup"),
    FlagSetting("PlayChangePause", &TInfo::PlayChangePause, false, "chkPlayChangePause"),
    FlagSetting("CloseOnStop", &TInfo::CloseOnStop, true, "chkCloseOnStop"),
    {"PlaylistPos", TSettingKind::Number, nullptr, &TInfo::PlaylistPos, nullptr, 3, 0, 3},
    FlagSetting("AutoHide", &TInfo::AutoHide, true, "chkAutoHide"),
    FlagSetting("FadeoutOnStop", &TInfo::FadeoutOnStop, false, "chkFadeoutOnStop"),
    FlagSetting("FadeoutOnChange", &TInfo::FadeoutOnChange, false, "chkFadeoutOnChange"),
    TextSetting("PlayListPath", &TInfo::PlayListPath),
    FlagSetting("CheckMP3OnUpdate", &TInfo::CheckMP3OnUpdate, true, "chkCheckMP3OnUpdate"),
    FlagSetting("ReadID3v2", &TInfo::ReadID3v2, false, "chkReadID3v2"),
    FlagSetting("GroupByAlbumArtist", &TInfo::GroupByAlbumArtist, false, "chkGroupByAlbumArtist"),
    FlagSetting("UnicodeLibrary", &TInfo::UnicodeLibrary, false, "chkUnicodeLibrary"),
    FlagSetting("NotifyTrack", &TInfo::NotifyTrack, false, "chkNotifyTrack"),
    // The shortcuts are edited in a dialog of their own, not by boxes here.
    FlagSetting("UseHotKeys", &TInfo::UseHotKeys, false),
    ShortcutSetting("HotKeyPrev", &TInfo::HotKeyPrev, kCtrlAlt(platform::vk::kPageUp)),
    ShortcutSetting("HotKeyPlay", &TInfo::HotKeyPlay, kCtrlAlt(platform::vk::kInsert)),
    ShortcutSetting("HotKeyPause", &TInfo::HotKeyPause, kCtrlAlt(platform::vk::kHome)),
    ShortcutSetting("HotKeyStop", &TInfo::HotKeyStop, kCtrlAlt(platform::vk::kEnd)),
    ShortcutSetting("HotKeyNext", &TInfo::HotKeyNext, kCtrlAlt(platform::vk::kPageDown)),
    ShortcutSetting("HotKeyPlaylist", &TInfo::HotKeyPlaylist, {}),
    FlagSetting("UseMediaKeys", &TInfo::UseMediaKeys, false),
};
