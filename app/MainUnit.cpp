#include "app/MainUnit.h"


#include "library/MP3Tag.h"
#include "library/PathText.h"
#include "library/PlaylistScan.h"
#include "platform/Dialogs.h"
#include "platform/Messaging.h"

TProgramView* Main = nullptr;
TFrameView* Frame = nullptr;

// The designed tag reader exists with the object and reads nothing; each
// library update holds its build's own reader here while that build runs.
TMain::TMain() : MP3Tag(std::make_unique<TMP3Tag>()) { Main = this; }

TMain::~TMain() {
  if (Frame == FrameWindow.get()) Frame = nullptr;
  FrameWindow.reset();
  if (Main == static_cast<TProgramView*>(this)) Main = nullptr;
}

void TMain::FormCreate() {
  platform::app::SetOnDeactivate([this] { AppDeactivate(); });
  InitCommandTable();
  InitDefaults();
  CreatePlaylistWindow();
  LoadSettings();
  Frame->LoadPlaylistTree();

  lightIcons_ = TaskbarIsLight();
  IconPrev = std::make_unique<TTrayIcon>();
  IconPlay = std::make_unique<TTrayIcon>();
  IconPause = std::make_unique<TTrayIcon>();
  IconStop = std::make_unique<TTrayIcon>();
  IconNext = std::make_unique<TTrayIcon>();
  IconEject = std::make_unique<TTrayIcon>();
  for (int id = 1; id <= 6; ++id) {
    TTrayIcon* icon = IconById(id);
    icon->OnClick = [this](std::uint32_t clicked, TrayClickKind kind) { TrayClick(clicked, kind); };
    icon->OnPathError = [this](const std::string& text) { ShowError(text); };
    icon->OnLoadError = [](const platform::Error& error) { platform::app::ShowErrorDisplay(error.Face()); };
    icon->Tip = kc::kTrayTips[id];
    icon->SetInfo(id, IconPath(id));
  }
  // Every button hears the shell's restart and the system's setting changes;
  // one of them answers for the set.
  IconPrev->OnTaskbarCreated = [this] { RestoreTrayIcons(); };
  IconPrev->OnSettingChange = [this](std::uintptr_t setting, const std::string& area) {
    if (area == kc::kColourSetArea || setting == platform::kSpiSetHighContrast) FollowTaskbarColours();
  };

  IconPlay->ShowIcon();
  if (Info.ShowEjectIcon) IconEject->ShowIcon();
  if (Info.PlayOnStartup) TrayClick(2, tcLeft);

  Timer.SetOnTimer([this] { TimerTimer(); });
  Timer.SetEnabled(true);
  RegisterHotKeys(true);
  // The first poll at once: the buttons a running player's state calls for
  // are there with the program, not half a second later.
  TimerTimer();
}

bool TMain::FormCloseQuery() {
  // Closing now would leave the update running on, unseen, over the cache
  // that the next start updates too: it stops first and then closes again.
  if (updating_) {
    closeAfterUpdate_ = true;
    return false;
  }
  SaveSettings();
  return true;
}

bool TMain::SessionEndQuery() {
  // Refusing would hold up the user's logoff; the update stops instead and
  // the settings are saved when the end is confirmed, by which time it has.
  if (updating_) {
    sessionEnding_ = true;
    return true;
  }
  return FormCloseQuery();
}

void TMain::SessionEnd(bool ending) {
  if (!sessionEnding_) return;
  sessionEnding_ = false;
  if (ending) SaveSettings();
}

void TMain::FormClose() {
  Timer.SetEnabled(false);
  ReleaseHotKeys();
  for (int id = 1; id <= 6; ++id) {
    if (TTrayIcon* icon = IconById(id)) icon->FormClose();
  }
}

void TMain::InitCommandTable() {
  Info.PlayerPath.clear();
  Player.PlayerWnd = 0;
  Player.LastPlayState = kc::psNoPlayer;
  Player.PlayerWindowClass = kc::kPlayerWindowClass;
  for (int slot = 1; slot <= 10; ++slot) Commands[slot] = kc::kCommandTexts[slot];
}

void TMain::InitDefaults() {
  // FolderPart never takes a separator from inside a double-byte character.
  Info.AppDir = FolderPart(platform::app::ProgramFilePath());
  if (Info.AppDir.empty() || Info.AppDir.back() != '\\') Info.AppDir += '\\';
  Info.ShowPrevIcon = Info.ShowPlayIcon = Info.ShowPauseIcon = true;
  Info.ShowStopIcon = Info.ShowNextIcon = Info.ShowEjectIcon = true;
}

void TMain::CreatePlaylistWindow() {
  FrameWindow = CreateFrame(platform::app::MainWindow());
  Frame = FrameWindow.get();
}

void TMain::CheckVersionUpgrade(const std::string& storedVersion) {
  if (storedVersion != kc::kVersionNeedingUpgrade) return;
  platform::ShowMessageBox(platform::app::MainWindow(), platform::Utf8ToUtf16(kc::kUpgradeNotice),
                           platform::Utf8ToUtf16(kc::kInformationCaption),
                           platform::kMbOk | platform::kMbIconInformation);
  DeleteFilesByMask(Info.AppDir + kc::kMp3LogMask);
}

void TMain::ShowError(const std::string& text) {
  platform::ShowMessageBox(platform::app::MainWindow(), platform::Utf8ToUtf16(text),
                           platform::Utf8ToUtf16(kc::kErrorCaption), platform::kMbOk);
}

void TMain::ShowRequested() {
  // What the user started the program for: its playlist window, as the
  // right click shows it.
  if (Frame) Frame->ShowFrame();
}

void TMain::AppDeactivate() {
  // Whatever AutoHide says: the user went to another program.
  if (Frame) Frame->HideFrame();
}

TTrayIcon* TMain::IconById(int id) const {
  switch (id) {
    case 1: return IconPrev.get();
    case 2: return IconPlay.get();
    case 3: return IconPause.get();
    case 4: return IconStop.get();
    case 5: return IconNext.get();
    case 6: return IconEject.get();
    default: return nullptr;
  }
}
