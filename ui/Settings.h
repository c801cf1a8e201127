#pragma once
// The user's settings, one row each, in the order they are written: the rows
// drive the reading and the writing of the settings file and the options
// dialog's check boxes, so a new flag is its field, one row here and its box
// on the dialog.
#include <cstdint>
#include <string>

#include "ui/FrameView.h"

// The settings (named after their ini keys) and the program folder. The
// playlist window keeps its own measures.
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
};

enum class TSettingKind {
  Flag,
  Number,    // read within [Lowest, Highest]
  Text,      // "" by default
  AlwaysOn,  // written, never read: the Play button is always offered
  Measure,   // of the playlist window: its present one by default, applied at once
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
};
