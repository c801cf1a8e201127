#pragma once
// The user's settings, one row each: {ini key, field, default, kind}. The
// rows drive the reading and the writing of the settings file (in this order)
// and the options dialog's check boxes, so a new flag is one row here and
// one box on the dialog.
#include <cstdint>
#include <string>

// The options dialog's check boxes. Startup stands for the shortcut, not a
// setting.
enum class TOptionBox {
  Prev,
  Pause,
  PlayChangePause,
  Stop,
  CloseOnStop,
  Next,
  Eject,
  Startup,
  PlayOnStartup,
  FadeoutOnStop,
  FadeoutOnChange,
  AutoHide,
  CheckMP3OnUpdate,
  ReadID3v2,
  NotifyTrack,
  Count,
  None = Count,
};

// The settings (named after their ini keys) and the program folder.
struct TInfo {
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
  bool NotifyTrack = false;
};

enum class TSettingKind {
  Flag,
  Number,    // read within [Lowest, Highest]
  Text,
  AlwaysOn,  // written, never read: the Play button is always offered
};

struct TSetting {
  const char* Key;
  TSettingKind Kind;
  bool TInfo::*Flag = nullptr;
  std::int32_t TInfo::*Number = nullptr;
  std::string TInfo::*Text = nullptr;
  std::int32_t Default = 0;  // a flag's 0 or 1, a number's value; a text's is ""
  TOptionBox Box = TOptionBox::None;
  std::int32_t Lowest = 0, Highest = 0;
};

constexpr TSetting FlagSetting(const char* key, bool TInfo::*field, bool byDefault, TOptionBox box) {
  return {key, TSettingKind::Flag, field, nullptr, nullptr, byDefault ? 1 : 0, box};
}

inline constexpr TSetting kSettings[] = {
    FlagSetting("ShowPrevIcon", &TInfo::ShowPrevIcon, true, TOptionBox::Prev),
    {"ShowPlayIcon", TSettingKind::AlwaysOn, &TInfo::ShowPlayIcon, nullptr, nullptr, 1},
    FlagSetting("ShowPauseIcon", &TInfo::ShowPauseIcon, true, TOptionBox::Pause),
    FlagSetting("ShowStopIcon", &TInfo::ShowStopIcon, true, TOptionBox::Stop),
    FlagSetting("ShowNextIcon", &TInfo::ShowNextIcon, true, TOptionBox::Next),
    FlagSetting("ShowEjectIcon", &TInfo::ShowEjectIcon, true, TOptionBox::Eject),
    FlagSetting("PlayOnStartup", &TInfo::PlayOnStartup, false, TOptionBox::PlayOnStartup),
    FlagSetting("PlayChangePause", &TInfo::PlayChangePause, false, TOptionBox::PlayChangePause),
    FlagSetting("CloseOnStop", &TInfo::CloseOnStop, true, TOptionBox::CloseOnStop),
    {"PlaylistPos", TSettingKind::Number, nullptr, &TInfo::PlaylistPos, nullptr, 3, TOptionBox::None, 0, 3},
    FlagSetting("AutoHide", &TInfo::AutoHide, true, TOptionBox::AutoHide),
    FlagSetting("FadeoutOnStop", &TInfo::FadeoutOnStop, false, TOptionBox::FadeoutOnStop),
    FlagSetting("FadeoutOnChange", &TInfo::FadeoutOnChange, false, TOptionBox::FadeoutOnChange),
    {"PlayListPath", TSettingKind::Text, nullptr, nullptr, &TInfo::PlayListPath},
    FlagSetting("CheckMP3OnUpdate", &TInfo::CheckMP3OnUpdate, true, TOptionBox::CheckMP3OnUpdate),
    FlagSetting("ReadID3v2", &TInfo::ReadID3v2, false, TOptionBox::ReadID3v2),
    FlagSetting("NotifyTrack", &TInfo::NotifyTrack, false, TOptionBox::NotifyTrack),
};
