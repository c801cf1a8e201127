#include "app/MainUnit.h"
#include "library/PathText.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/ProfileFile.h"
#include "platform/Timer.h"

std::string TMain::SettingsFileName() const {
  // The program file's own name with ".ini": remote.exe keeps remote.ini.
  return ChangeExtension(platform::app::ProgramFilePath(), kc::kIniExtension);
}

void TMain::LoadSettings() {
  const std::string path = SettingsFileName();
  platform::ProfileFile ini(path);
  for (int retry = 0; ini.Unreadable() && retry < kc::kSettingsReadRetries; ++retry) {
    platform::Wait(kc::kSettingsReadRetryMs);
    ini = platform::ProfileFile(path);
  }
  // Saving the defaults at exit would wipe every setting the user has, so a
  // file that stayed unreadable is left alone for the whole run.
  settingsUnread_ = ini.Unreadable();
  if (settingsUnread_) {
    platform::ShowMessageBox(platform::app::MainWindow(), platform::FormatFace(kc::kSettingsUnreadNotice, path),
                             platform::FixedToUtf16(kc::kWarningCaption), platform::kMbOk | platform::kMbIconWarning);
  }
  const char* S = kc::kSectionSetting;
  Player.PlayerPath = ini.ReadString(S, "PlayerPath", "");
  Player.CorrectPath = ini.ReadBool(S, "CorrectPath", false);
  // The window's own measures are the defaults, and each value read is applied
  // to it at once.
  Frame->SetFrameWidth(ini.ReadInteger(S, "Width", Frame->FrameWidth()));
  Frame->SetFrameHeight(ini.ReadInteger(S, "Height", Frame->FrameHeight()));
  Frame->SetPlaylistTreeWidth(ini.ReadInteger(S, "PlaylistTreeWidth", Frame->PlaylistTreeWidth()));
  Frame->SetArtistTreeHeight(ini.ReadInteger(S, "ArtistTreeHeight", Frame->ArtistTreeHeight()));
  // The folder of the last save: a shortcut made there would start a
  // program that is no longer where it points.
  if (ini.ReadString(kc::kSectionInfo, "Path", "") != Info.AppDir && IsStartupRegistered()) {
    UnregisterStartup();
    RegisterStartup();
  }
  Info.PlayOnStartup = ini.ReadBool(S, "PlayOnStartup", false);
  Info.PlayChangePause = ini.ReadBool(S, "PlayChangePause", false);
  Info.CloseOnStop = ini.ReadBool(S, "CloseOnStop", true);
  std::int32_t pos = ini.ReadInteger(S, "PlaylistPos", 3);
  if (pos < 0) pos = 0;
  if (pos > 3) pos = 3;
  Info.PlaylistPos = pos;
  Info.AutoHide = ini.ReadBool(S, "AutoHide", true);
  Info.FadeoutOnStop = ini.ReadBool(S, "FadeoutOnStop", false);
  Info.FadeoutOnChange = ini.ReadBool(S, "FadeoutOnChange", false);
  Info.ShowPrevIcon = ini.ReadBool(S, "ShowPrevIcon", true);
  Info.ShowPlayIcon = true;
  Info.ShowPauseIcon = ini.ReadBool(S, "ShowPauseIcon", true);
  Info.ShowStopIcon = ini.ReadBool(S, "ShowStopIcon", true);
  Info.ShowNextIcon = ini.ReadBool(S, "ShowNextIcon", true);
  Info.ShowEjectIcon = ini.ReadBool(S, "ShowEjectIcon", true);
  Info.PlayListPath = ini.ReadString(S, "PlayListPath", "");
  Info.CheckMP3OnUpdate = ini.ReadBool(S, "CheckMP3OnUpdate", true);
  Info.ReadID3v2 = ini.ReadBool(S, "ReadID3v2", false);
  CheckVersionUpgrade(ini.ReadString(kc::kSectionInfo, "Version", ""));
}

void TMain::SaveSettings() {
  if (settingsUnread_) return;
  // Unknown lines of the file survive: the file is read, edited and written
  // whole. A failed write raises before anything of the old file is lost.
  platform::ProfileFile ini(SettingsFileName());
  const char* I = kc::kSectionInfo;
  const char* S = kc::kSectionSetting;
  ini.WriteString(I, "ApplicationName", kc::kAppTitle);
  ini.WriteString(I, "Version", kc::kVersionWritten);
  ini.WriteString(I, "Path", Info.AppDir);
  ini.WriteString(S, "PlayerPath", Player.PlayerPath);
  ini.WriteBool(S, "CorrectPath", Player.CorrectPath);
  ini.WriteInteger(S, "Width", Frame->FrameWidth());
  ini.WriteInteger(S, "Height", Frame->FrameHeight());
  ini.WriteInteger(S, "PlaylistTreeWidth", Frame->PlaylistTreeWidth());
  ini.WriteInteger(S, "ArtistTreeHeight", Frame->ArtistTreeHeight());
  ini.WriteBool(S, "ShowPrevIcon", Info.ShowPrevIcon);
  ini.WriteBool(S, "ShowPlayIcon", Info.ShowPlayIcon);
  ini.WriteBool(S, "ShowPauseIcon", Info.ShowPauseIcon);
  ini.WriteBool(S, "ShowStopIcon", Info.ShowStopIcon);
  ini.WriteBool(S, "ShowNextIcon", Info.ShowNextIcon);
  ini.WriteBool(S, "ShowEjectIcon", Info.ShowEjectIcon);
  ini.WriteBool(S, "PlayOnStartup", Info.PlayOnStartup);
  ini.WriteBool(S, "PlayChangePause", Info.PlayChangePause);
  ini.WriteBool(S, "CloseOnStop", Info.CloseOnStop);
  ini.WriteInteger(S, "PlaylistPos", Info.PlaylistPos);
  ini.WriteBool(S, "AutoHide", Info.AutoHide);
  ini.WriteBool(S, "FadeoutOnStop", Info.FadeoutOnStop);
  ini.WriteBool(S, "FadeoutOnChange", Info.FadeoutOnChange);
  ini.WriteString(S, "PlayListPath", Info.PlayListPath);
  ini.WriteBool(S, "CheckMP3OnUpdate", Info.CheckMP3OnUpdate);
  ini.WriteBool(S, "ReadID3v2", Info.ReadID3v2);
  ini.Save();
}
