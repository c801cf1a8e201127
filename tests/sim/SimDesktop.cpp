// The simulated desktop: everything the program asks of the window system is
// recorded in one journal, in order, and answered from state that tests set.
#include "tests/sim/SimDesktop.h"
#include "tests/sim/SimHotKeys.h"
#include "tests/sim/SimShell.h"

#include <algorithm>
#include <deque>
#include <map>

#include "platform/Application.h"
#include "platform/Beep.h"
#include "platform/Dialogs.h"
#include "platform/common/MessageBoxRedirect.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/HiddenWindow.h"
#include "platform/Locale.h"
#include "platform/Messaging.h"
#include "platform/OtherProgram.h"
#include "platform/Process.h"
#include "platform/Timer.h"
#include "platform/Tray.h"

namespace {

using platform::WindowHandle;

struct SimWindow {
  std::string className;
  sim::MessageHandler handler;
  std::u16string caption;
  // Texts in the window's program's memory, by address.
  std::map<std::uintptr_t, std::u16string> wideTexts;
  std::map<std::uintptr_t, std::string> ansiTexts;
  std::uint32_t showCmd = platform::kSwShowNormal;
  bool ignoresPlacement = false;
};

bool Minimized(std::uint32_t showCmd) {
  return showCmd == 2 /* SW_SHOWMINIMIZED */ || showCmd == 6 /* SW_MINIMIZE */ ||
         showCmd == 7 /* SW_SHOWMINNOACTIVE */;
}

std::uint32_t AfterShow(std::uint32_t showCmd) {
  return showCmd == platform::kSwRestore ? platform::kSwShowNormal : showCmd;
}

struct TrayEntry {
  std::uint32_t hwnd;
  std::uint32_t id;
  std::uint32_t icon;
  std::string tip;
};

struct Desktop {
  WindowHandle nextHandle = 0x100;
  std::map<WindowHandle, SimWindow> windows;            // other programs' windows
  std::map<WindowHandle, platform::HiddenWindow*> own;  // this program's hidden windows
  std::vector<std::string> journal;
  std::deque<int> messageBoxAnswers;
  std::deque<std::optional<std::u16string>> openFileAnswers;
  std::deque<sim::FolderAnswer> folderAnswers;
  std::function<void(const std::string&)> messageBoxHook;
  std::function<void(const std::string&)> startHook;
  std::function<void()> waitHook;
  WindowHandle foreground = 0;
  platform::Rect workArea{0, 0, 1024, 738};
  std::string programPath = "C:\\Kelvane\\kelvane.exe";
  std::vector<TrayEntry> tray;
  std::map<std::uint32_t, std::string> iconFiles;
  std::uint32_t nextIcon = 1;
  std::map<std::string, std::uint32_t> registeredMessages;
  std::uintptr_t nextAddress = 0x10000;
  std::vector<sim::Balloon> balloons;
  bool highContrast = false;
  // Application object
  std::string title;
  int hintHidePause = 2500;
  bool showMainForm = true;
  std::function<void()> onDeactivate;
  platform::MainWindowEvents* mainEvents = nullptr;
  WindowHandle mainWindow = 0;
};

Desktop& D() {
  static Desktop desktop;
  return desktop;
}

std::vector<platform::Timer::Impl*>& Timers() {
  static std::vector<platform::Timer::Impl*> timers;
  return timers;
}

void Log(std::string line) { D().journal.push_back(std::move(line)); }

std::string Num(std::uintmax_t v) { return std::to_string(v); }
std::string SNum(std::intmax_t v) { return std::to_string(v); }

std::string IconName(std::uint32_t icon) {
  auto it = D().iconFiles.find(icon);
  if (it == D().iconFiles.end()) return "-";
  const std::string& path = it->second;
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

namespace platform {

struct Timer::Impl {
  unsigned interval = 1000;
  bool enabled = false;
  std::function<void()> handler;
};

// ---- messaging ----

WindowHandle FindTopLevelWindow(const std::string& className) {
  for (const auto& [handle, window] : D().windows) {
    if (window.className == className) return handle;
  }
  return 0;
}

bool SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                       unsigned, std::intptr_t* answer) {
  Log("send " + Num(window) + " " + Num(message) + " " + Num(wParam) + " " + SNum(lParam));
  auto it = D().windows.find(window);
  if (it == D().windows.end()) return false;
  // The handler may remove the window (a close command); keep a copy.
  sim::MessageHandler handler = it->second.handler;
  const std::intptr_t result = handler ? handler(message, wParam, lParam) : 0;
  if (result == sim::kNoAnswer) return false;
  if (answer) *answer = result;
  return true;
}

bool BringToForeground(WindowHandle window) {
  Log("foreground " + Num(window));
  if (D().windows.count(window) == 0) return false;
  D().foreground = window;
  return true;
}

bool GetPlacement(WindowHandle window, WindowPlacement* placement) {
  Log("getplacement " + Num(window));
  auto it = D().windows.find(window);
  if (it == D().windows.end() || placement->length != sizeof(WindowPlacement)) return false;
  placement->showCmd = it->second.showCmd;
  return true;
}

bool SetPlacement(WindowHandle window, const WindowPlacement* placement) {
  Log("setplacement " + Num(window) + " " + Num(placement->showCmd));
  auto it = D().windows.find(window);
  if (it == D().windows.end() || placement->length != sizeof(WindowPlacement)) return false;
  if (!it->second.ignoresPlacement) it->second.showCmd = AfterShow(placement->showCmd);
  return true;
}

bool IsMinimized(WindowHandle window) {
  auto it = D().windows.find(window);
  return it != D().windows.end() && Minimized(it->second.showCmd);
}

bool ShowWindowAs(WindowHandle window, int showCommand) {
  Log("showwindow " + Num(window) + " " + SNum(showCommand));
  auto it = D().windows.find(window);
  if (it == D().windows.end()) return false;
  const bool wasVisible = it->second.showCmd != 0 /* SW_HIDE */;
  it->second.showCmd = AfterShow(static_cast<std::uint32_t>(showCommand));
  return wasVisible;
}

std::uint32_t RegisterMessageName(const std::string& name) {
  auto& registered = D().registeredMessages;
  auto it = registered.find(name);
  if (it != registered.end()) return it->second;
  const std::uint32_t id = 0xC000 + static_cast<std::uint32_t>(registered.size());
  registered[name] = id;
  return id;
}

bool QueryWorkArea(Rect* rect) {
  *rect = D().workArea;
  return true;
}

bool HighContrastOn() { return D().highContrast; }

std::string SettingChangeArea(std::intptr_t lParam) {
  const char* area = reinterpret_cast<const char*>(lParam);
  return area ? std::string(area) : std::string();
}

// ---- another program's memory and caption ----

namespace {
template <typename Text>
bool ReadTextAt(WindowHandle window, std::uintptr_t address, std::size_t maxUnits,
                std::map<std::uintptr_t, Text> SimWindow::*texts, Text* text) {
  Log("readtext " + Num(window) + " " + Num(address));
  auto it = D().windows.find(window);
  if (it == D().windows.end()) return false;
  auto found = (it->second.*texts).find(address);
  if (found == (it->second.*texts).end()) return false;
  *text = found->second.substr(0, maxUnits);
  return true;
}
}  // namespace

bool ReadWideTextOf(WindowHandle window, std::uintptr_t address, std::size_t maxUnits, std::u16string* text) {
  return ReadTextAt(window, address, maxUnits, &SimWindow::wideTexts, text);
}

bool ReadAnsiTextOf(WindowHandle window, std::uintptr_t address, std::size_t maxBytes, std::string* text) {
  return ReadTextAt(window, address, maxBytes, &SimWindow::ansiTexts, text);
}

std::u16string WindowCaption(WindowHandle window) {
  auto it = D().windows.find(window);
  return it == D().windows.end() ? std::u16string() : it->second.caption;
}

// ---- process start, dialogs, beep ----

unsigned StartProgram(const std::string& commandLine, int showCommand) {
  Log("winexec " + commandLine + " " + SNum(showCommand));
  if (D().startHook) D().startHook(commandLine);
  return 33;
}

int ShowMessageBox(WindowHandle owner, const std::u16string& wideText, const std::u16string& wideCaption,
                   unsigned flags) {
  const std::string text = Utf16ToUtf8(wideText);
  const std::string caption = Utf16ToUtf8(wideCaption);
  if (const auto& redirect = detail::MessageBoxRedirect()) return redirect(text, caption);
  Log("msgbox " + Num(owner) + " " + Num(flags) + " " + caption + "|" + text);
  if (D().messageBoxHook) D().messageBoxHook(text);
  if (D().messageBoxAnswers.empty()) return 1;
  const int answer = D().messageBoxAnswers.front();
  D().messageBoxAnswers.pop_front();
  return answer;
}

bool ShowOpenFileDialog(WindowHandle owner, const std::string& filter, std::u16string* fileName) {
  Log("openfile " + Num(owner) + " " + filter);
  if (D().openFileAnswers.empty()) return false;
  std::optional<std::u16string> answer = D().openFileAnswers.front();
  D().openFileAnswers.pop_front();
  if (!answer) return false;
  *fileName = *answer;
  return true;
}

bool ShowFolderDialog(WindowHandle owner, const std::string& title, std::u16string* directory) {
  const std::string folder = Utf16ToUtf8(*directory);
  const std::string preselected = DirectoryExists(folder) ? folder : "";
  Log("browsefolder " + Num(owner) + " " + title + "|" + preselected);
  if (D().folderAnswers.empty()) return false;
  const sim::FolderAnswer answer = D().folderAnswers.front();
  D().folderAnswers.pop_front();
  if (answer.confirmed && answer.path) *directory = *answer.path;
  return answer.confirmed;
}

void DefaultBeep() { Log("beep"); }

// ---- hidden windows of the program ----

HiddenWindow::HiddenWindow(Handler handler) : handler_(std::move(handler)) {
  handle_ = D().nextHandle++;
  D().own[handle_] = this;
}

HiddenWindow::~HiddenWindow() { D().own.erase(handle_); }

bool HiddenWindow::Dispatch(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                            std::intptr_t* result) {
  bool handled = false;
  app::RunGuarded([&] { handled = handler_ && handler_(message, wParam, lParam, result); });
  return handled;
}

// ---- the notification area ----

bool ShellNotifyIcon(TrayOperation operation, WindowHandle window, std::uint32_t id, IconHandle icon,
                     const std::string& tip) {
  auto& tray = D().tray;
  const std::uint32_t hwnd = static_cast<std::uint32_t>(window);
  auto it = std::find_if(tray.begin(), tray.end(), [&](const TrayEntry& e) { return e.hwnd == hwnd && e.id == id; });
  std::string line = "tray ";
  line += operation == TrayOperation::kAdd      ? "add"
          : operation == TrayOperation::kModify ? "modify"
          : operation == TrayOperation::kDelete ? "delete"
                                                : "op" + Num(static_cast<std::uint32_t>(operation));
  line += " " + Num(hwnd) + " " + Num(id);
  if (operation != TrayOperation::kDelete) line += " " + IconName(static_cast<std::uint32_t>(icon));
  Log(line);
  switch (operation) {
    case TrayOperation::kAdd:
      if (it != tray.end()) return false;
      tray.push_back({hwnd, id, static_cast<std::uint32_t>(icon), tip});
      return true;
    case TrayOperation::kModify:
      if (it == tray.end()) return false;
      it->icon = static_cast<std::uint32_t>(icon);
      it->tip = tip;
      return true;
    case TrayOperation::kDelete:
      if (it == tray.end()) return false;
      tray.erase(it);
      return true;
    default:
      return false;
  }
}

bool ShowTrayBalloon(WindowHandle window, std::uint32_t id, const std::u16string& title, const std::u16string& text) {
  const std::uint32_t hwnd = static_cast<std::uint32_t>(window);
  Log("tray balloon " + Num(hwnd) + " " + Num(id));
  const auto& tray = D().tray;
  if (std::none_of(tray.begin(), tray.end(), [&](const TrayEntry& e) { return e.hwnd == hwnd && e.id == id; })) {
    return false;
  }
  D().balloons.push_back({id, title.substr(0, kBalloonTitleUnits), text.substr(0, kBalloonTextUnits)});
  return true;
}

IconHandle LoadTrayIconFile(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes)) throw Error(kErrCannotOpen, path);
  if (bytes.size() < 6 || bytes.compare(0, 4, std::string("\0\0\1\0", 4)) != 0) {
    throw Error(kErrIconUnreadable, path);
  }
  const std::uint32_t icon = D().nextIcon++;
  D().iconFiles[icon] = path;
  return icon;
}

void DestroyTrayIcon(IconHandle icon) { D().iconFiles.erase(static_cast<std::uint32_t>(icon)); }

// ---- timers ----

Timer::Timer(unsigned intervalMs) : impl_(std::make_unique<Impl>()) {
  impl_->interval = intervalMs;
  Timers().push_back(impl_.get());
}

Timer::~Timer() {
  auto& timers = Timers();
  timers.erase(std::remove(timers.begin(), timers.end(), impl_.get()), timers.end());
}

void Timer::SetOnTimer(std::function<void()> handler) { impl_->handler = std::move(handler); }
void Timer::SetEnabled(bool enabled) {
  if (enabled != impl_->enabled) Log(enabled ? "timer on " + std::to_string(impl_->interval) : "timer off");
  impl_->enabled = enabled;
}
bool Timer::Enabled() const { return impl_->enabled; }

void Wait(unsigned milliseconds) {
  Log("wait " + std::to_string(milliseconds));
  if (D().waitHook) D().waitHook();
}

// ---- the application object ----

namespace app {

void Initialize() {}
void SetTitle(const std::string& title) { D().title = title; }
const std::string& Title() { return D().title; }
void SetHintHidePause(int milliseconds) { D().hintHidePause = milliseconds; }
int HintHidePause() { return D().hintHidePause; }
void SetShowMainForm(bool show) { D().showMainForm = show; }
void SetOnDeactivate(std::function<void()> handler) { D().onDeactivate = std::move(handler); }
void Deactivated() {
  if (D().onDeactivate) RunGuarded(D().onDeactivate);
}

WindowHandle CreateMainWindow(MainWindowEvents* events) {
  D().mainEvents = events;
  D().mainWindow = D().nextHandle++;
  return D().mainWindow;
}

WindowHandle MainWindow() { return D().mainWindow; }

void Run() {}
void CloseMainWindow() { sim::CloseMainWindow(); }
// The test delivers it, as the loop would, with sim::CloseMainWindow.
void PostCloseMainWindow() { Log("post close"); }
// The simulated loop has no keys to hand on.
void AddDialogWindow(WindowHandle) {}
void RemoveDialogWindow(WindowHandle) {}

std::string ProgramFilePath() { return D().programPath; }
// Only the program's entry asks, and it runs on Windows alone.
bool ClaimFirstInstance(const std::string&) { return true; }
bool ShowFirstInstance() { return false; }

}  // namespace app
}  // namespace platform

namespace sim {

void Reset() {
  Desktop& d = D();
  d.windows.clear();
  d.journal.clear();
  d.messageBoxAnswers.clear();
  d.openFileAnswers.clear();
  d.folderAnswers.clear();
  d.messageBoxHook = nullptr;
  d.startHook = nullptr;
  d.waitHook = nullptr;
  d.foreground = 0;
  d.workArea = {0, 0, 1024, 738};
  d.programPath = "C:\\Kelvane\\kelvane.exe";
  d.tray.clear();
  d.balloons.clear();
  d.highContrast = false;
  d.title.clear();
  d.hintHidePause = 2500;
  d.showMainForm = true;
  d.onDeactivate = nullptr;
  d.mainEvents = nullptr;
  platform::RedirectMessageBoxes(nullptr);
  d.mainWindow = 0;
  ResetShell();
  ResetHotKeys();
}

WindowHandle AddWindow(const std::string& className, MessageHandler handler) {
  const WindowHandle handle = D().nextHandle++;
  SimWindow window;
  window.className = className;
  window.handler = std::move(handler);
  D().windows[handle] = std::move(window);
  return handle;
}

void RemoveWindow(WindowHandle window) {
  D().windows.erase(window);
  if (D().foreground == window) D().foreground = 0;
}

bool WindowExists(WindowHandle window) { return D().windows.count(window) != 0; }

const std::vector<std::string>& Journal() { return D().journal; }
void ClearJournal() { D().journal.clear(); }

std::vector<std::string> JournalLines(const std::string& prefix) {
  std::vector<std::string> lines;
  for (const std::string& line : D().journal) {
    if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
  }
  return lines;
}

void QueueMessageBoxAnswer(int answer) { D().messageBoxAnswers.push_back(answer); }
FolderAnswer FolderChosen(const std::string& path) { return {true, platform::Utf8ToUtf16(path)}; }

void QueueOpenFileAnswer(std::u16string fileName) { D().openFileAnswers.push_back(std::move(fileName)); }

void QueueOpenFileAnswer(std::optional<std::string> fileName) {
  if (!fileName) {
    D().openFileAnswers.push_back(std::nullopt);
    return;
  }
  D().openFileAnswers.push_back(platform::Utf8ToUtf16(*fileName));
}
void SetWaitHook(std::function<void()> hook) { D().waitHook = std::move(hook); }

void QueueFolderAnswer(FolderAnswer answer) { D().folderAnswers.push_back(std::move(answer)); }
void SetMessageBoxHook(std::function<void(const std::string&)> hook) {
  D().messageBoxHook = std::move(hook);
}
void SetStartProgramHook(std::function<void(const std::string&)> hook) {
  D().startHook = std::move(hook);
}

WindowHandle ForegroundWindow() { return D().foreground; }

void SetWindowShowCmd(WindowHandle window, std::uint32_t showCmd) {
  auto it = D().windows.find(window);
  if (it != D().windows.end()) it->second.showCmd = showCmd;
}

void SetWindowIgnoresPlacement(WindowHandle window, bool ignores) {
  auto it = D().windows.find(window);
  if (it != D().windows.end()) it->second.ignoresPlacement = ignores;
}

std::uint32_t WindowShowCmd(WindowHandle window) {
  auto it = D().windows.find(window);
  return it == D().windows.end() ? 0 : it->second.showCmd;
}

void TickTimers() {
  std::vector<platform::Timer::Impl*> timers = Timers();
  for (platform::Timer::Impl* timer : timers) {
    // A handler may free another timer; only fire those still alive.
    auto& alive = Timers();
    if (std::find(alive.begin(), alive.end(), timer) == alive.end()) continue;
    if (timer->enabled && timer->handler) platform::app::RunGuarded(timer->handler);
  }
}

int EnabledTimerCount() {
  return static_cast<int>(std::count_if(Timers().begin(), Timers().end(),
                                        [](platform::Timer::Impl* t) { return t->enabled; }));
}

void SetWorkArea(const platform::Rect& rect) { D().workArea = rect; }
void SetProgramFilePath(const std::string& path) { D().programPath = path; }

std::intptr_t DeliverToProgramWindow(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam) {
  auto it = D().own.find(window);
  if (it == D().own.end()) return 0;
  std::intptr_t result = 0;
  it->second->Dispatch(message, wParam, lParam, &result);
  return result;
}

bool CloseMainWindow() {
  platform::MainWindowEvents* events = D().mainEvents;
  if (!events) return false;
  bool mayClose = false;
  platform::app::RunGuarded([&] { mayClose = events->CloseQuery(); });
  if (!mayClose) return false;
  platform::app::RunGuarded([&] { events->Close(); });
  D().mainEvents = nullptr;
  return true;
}

void BroadcastToProgramWindows(std::uint32_t message) {
  std::vector<WindowHandle> handles;
  for (const auto& entry : D().own) handles.push_back(entry.first);
  for (WindowHandle h : handles) DeliverToProgramWindow(h, message, 0, 0);
}

std::vector<std::pair<std::uint32_t, std::string>> TrayIcons() {
  std::vector<std::pair<std::uint32_t, std::string>> icons;
  for (const TrayEntry& e : D().tray) icons.emplace_back(e.id, IconName(e.icon));
  return icons;
}

std::vector<std::pair<std::uint32_t, std::string>> TrayIconFiles() {
  std::vector<std::pair<std::uint32_t, std::string>> icons;
  for (const TrayEntry& e : D().tray) {
    auto it = D().iconFiles.find(e.icon);
    icons.emplace_back(e.id, it == D().iconFiles.end() ? "-" : it->second);
  }
  return icons;
}

std::map<std::uint32_t, std::string> TrayTips() {
  std::map<std::uint32_t, std::string> tips;
  for (const TrayEntry& e : D().tray) tips[e.id] = e.tip;
  return tips;
}

void ClearTray() { D().tray.clear(); }

std::vector<Balloon> TrayBalloons() { return D().balloons; }

void SetHighContrast(bool on) { D().highContrast = on; }

namespace {
template <typename Text>
std::uintptr_t PutText(WindowHandle window, Text text, std::map<std::uintptr_t, Text> SimWindow::*texts) {
  auto it = D().windows.find(window);
  if (it == D().windows.end()) return 0;
  const std::uintptr_t address = D().nextAddress;
  D().nextAddress += 0x100;
  (it->second.*texts)[address] = std::move(text);
  return address;
}
}  // namespace

std::uintptr_t PutWideText(WindowHandle window, std::u16string text) {
  return PutText(window, std::move(text), &SimWindow::wideTexts);
}

std::uintptr_t PutAnsiText(WindowHandle window, std::string text) {
  return PutText(window, std::move(text), &SimWindow::ansiTexts);
}

void SetWindowCaption(WindowHandle window, std::u16string caption) {
  auto it = D().windows.find(window);
  if (it != D().windows.end()) it->second.caption = std::move(caption);
}

void Deactivate() {
  if (D().onDeactivate) platform::app::RunGuarded(D().onDeactivate);
}

int HintHidePause() { return D().hintHidePause; }
bool ShowMainForm() { return D().showMainForm; }

}  // namespace sim
