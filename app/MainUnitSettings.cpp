#include "app/MainUnit.h"

#include <algorithm>

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
    platform::ShowMessageBox(platform::app::MainWindow(), platform::Message(kc::kSettingsUnreadNotice, path).Face(),
                             platform::Utf8ToUtf16(platform::kWarningCaption),
                             platform::kMbOk | platform::kMbIconWarning);
  }
  const char* S = kc::kSectionSetting;
  for (const TSetting& row : kSettings) {
    switch (row.Kind) {
      case TSettingKind::Flag: Info.*row.Flag = ini.ReadBool(S, row.Key, row.Default != 0); break;
      case TSettingKind::Number:
        Info.*row.Number = std::clamp(ini.ReadInteger(S, row.Key, row.Default), row.Lowest, row.Highest);
        break;
      case TSettingKind::Text: Info.*row.Text = ini.ReadString(S, row.Key, ""); break;
      case TSettingKind::AlwaysOn: Info.*row.Flag = true; break;
      case TSettingKind::Measure:
        (Frame->*row.SetMeasure)(ini.ReadInteger(S, row.Key, (Frame->*row.Measure)()));
        break;
      case TSettingKind::Shortcut: {
        platform::HotKey key;
        const bool known = ParseHotKey(ini.ReadString(S, row.Key, HotKeyText(row.ShortcutDefault)), &key);
        Info.*row.Shortcut = known ? key : row.ShortcutDefault;
        break;
      }
    }
  }
  // The folder of the last save: a shortcut made there would start a
  // program that is no longer where it points.
  if (ini.ReadString(kc::kSectionInfo, "Path", "") != Info.AppDir && IsStartupRegistered()) {
    UnregisterStartup();
    RegisterStartup();
  }
  CheckVersionUpgrade(ini.ReadString(kc::kSectionInfo, "Version", ""));
}

void TMain::SaveSettings() {
  if (settingsUnread_) return;
  // Unknown lines of the file survive: the file is read, edited and written
  // whole. A failed write raises before anything of the old file is lost.
  platform::ProfileFile ini(SettingsFileName());
  const char* I = kc::kSectionInfo;
  const char* S = kc::kSectionSetting;
  ini.WriteString(I, "ApplicationName", platform::app::kAppTitle);
  ini.WriteString(I, "Version", kc::kVersionWritten);
  ini.WriteString(I, "Path", Info.AppDir);
  for (const TSetting& row : kSettings) {
    switch (row.Kind) {
      case TSettingKind::Flag:
      case TSettingKind::AlwaysOn: ini.WriteBool(S, row.Key, Info.*row.Flag); break;
      case TSettingKind::Number: ini.WriteInteger(S, row.Key, Info.*row.Number); break;
      case TSettingKind::Text: ini.WriteString(S, row.Key, Info.*row.Text); break;
      case TSettingKind::Measure: ini.WriteInteger(S, row.Key, (Frame->*row.Measure)()); break;
      case TSettingKind::Shortcut: ini.WriteString(S, row.Key, HotKeyText(Info.*row.Shortcut)); break;
    }
  }
  ini.Save();
}
