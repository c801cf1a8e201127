#pragma once
// The simulated desktop behind the POSIX platform layer. Tests use it to put
// windows on the "desktop", script the answers of dialogs, tick timers and
// read back, in order, everything the program asked of the system.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace sim {

using platform::WindowHandle;

using MessageHandler =
    std::function<std::intptr_t(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)>;

// Clears windows, journal, scripted answers, timers' state and the registry of
// program starts. Tests call it in SetUp.
void Reset();

// A top-level window of a class, answering messages through the handler; a
// handler that returns kNoAnswer leaves the message unanswered, as a window
// that does not answer in time.
constexpr std::intptr_t kNoAnswer = INTPTR_MIN;
WindowHandle AddWindow(const std::string& className, MessageHandler handler = {});
void RemoveWindow(WindowHandle window);
bool WindowExists(WindowHandle window);

// Every call the program made of the system, one line each, in order:
//   "send <hwnd> <msg> <wParam> <lParam>"  (numbers in decimal)
//   "foreground <hwnd>"
//   "getplacement <hwnd>" / "setplacement <hwnd> <showCmd>"
//   "showwindow <hwnd> <showCmd>"
//   "winexec <commandLine> <show>"  (the command line in UTF-8, as handed over)
//   "msgbox <owner> <flags> <caption>|<text>"  (in the system code page)
//   "openfile <owner> <filter>"
//   "browsefolder <owner> <title>|<preselected folder (UTF-8) or nothing>"
//   "tray <add|modify|delete> <hwnd> <id> ..."  (see Tray)
//   "tray balloon <hwnd> <id>"  (what it showed: TrayBalloons)
//   "readtext <hwnd> <address>"  (a text read from another program's memory)
//   "beep"
//   "wait <ms>"  (nothing waits: the hook below runs instead)
// Messages that the sim delivers to the program's own windows are not listed.
const std::vector<std::string>& Journal();
void ClearJournal();
// Only the lines that start with the prefix.
std::vector<std::string> JournalLines(const std::string& prefix);

// Scripted answers; when none is queued a message box answers IDOK (1) and
// the open-file dialog is cancelled.
void QueueMessageBoxAnswer(int answer);
// Names are the user's, in UTF-16; the std::string forms are UTF-8.
void QueueOpenFileAnswer(std::optional<std::string> fileName);
void QueueOpenFileAnswer(std::u16string fileName);
// The folder browser: cancelled (the default), a folder confirmed, or an item
// without a file-system path (My Computer itself) confirmed.
struct FolderAnswer {
  bool confirmed = false;
  std::optional<std::u16string> path;
};
inline FolderAnswer FolderCancelled() { return {false, std::nullopt}; }
inline FolderAnswer FolderChosen(std::u16string path) { return {true, std::move(path)}; }
FolderAnswer FolderChosen(const std::string& path);
inline FolderAnswer FolderWithoutPath() { return {true, std::nullopt}; }
void QueueFolderAnswer(FolderAnswer answer);
// Called while a message box is "up" (after it is journaled), so a test can
// act as the events that arrive during a modal loop.
void SetMessageBoxHook(std::function<void(const std::string& text)> hook);

// Called for each Wait, as the world moving on while the program waits.
void SetWaitHook(std::function<void()> hook);

// Called for each WinExec; a test may add the player's window here.
void SetStartProgramHook(std::function<void(const std::string& commandLine)> hook);

// The last foreground window set through the program.
WindowHandle ForegroundWindow();

// Placement of a window, as GetPlacement answers it.
void SetWindowShowCmd(WindowHandle window, std::uint32_t showCmd);
std::uint32_t WindowShowCmd(WindowHandle window);
// As Wine treats another process's window: SetPlacement leaves its show state
// as it was (ShowWindowAs still changes it).
void SetWindowIgnoresPlacement(WindowHandle window, bool ignores);

// Timers: fire every enabled timer once.
void TickTimers();
int EnabledTimerCount();

// Work area answered by QueryWorkArea.
void SetWorkArea(const platform::Rect& rect);

// The program file path answered by ProgramFilePath.
void SetProgramFilePath(const std::string& path);

// Hidden windows of the program itself (main window, tray windows): send a
// message to one as the shell or the system would.
std::intptr_t DeliverToProgramWindow(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam);
// Closes the main window as WM_CLOSE would: returns whether it closed.
// A close the program posted to itself is journaled "post close".
bool CloseMainWindow();

}  // namespace sim

namespace sim {
// Sends a message to every hidden window of the program, as a shell broadcast.
void BroadcastToProgramWindows(std::uint32_t message);
// The icons in the notification area, in the order the shell holds them:
// (id, icon file name or "-").
std::vector<std::pair<std::uint32_t, std::string>> TrayIcons();
// The same with the icon files' whole paths.
std::vector<std::pair<std::uint32_t, std::string>> TrayIconFiles();
// The tip of each icon in the notification area, by id.
std::map<std::uint32_t, std::string> TrayTips();
// Empties the notification area, as an Explorer restart does.
void ClearTray();
// The balloons shown over icons in the notification area, in order.
struct Balloon {
  std::uint32_t id;
  std::u16string title;
  std::u16string text;
};
std::vector<Balloon> TrayBalloons();
void SetHighContrast(bool on);
// A text in the memory of a window's program, for platform/OtherProgram.h:
// the address it can be read at (0 for no such window).
std::uintptr_t PutWideText(WindowHandle window, std::u16string text);
std::uintptr_t PutAnsiText(WindowHandle window, std::string text);
void SetWindowCaption(WindowHandle window, std::u16string caption);
// The whole program lost activation to another program.
void Deactivate();
int HintHidePause();
bool ShowMainForm();
}  // namespace sim
