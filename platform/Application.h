#pragma once
#include <exception>
#include <functional>
#include <string>

#include "platform/Types.h"

namespace platform {

// What the hidden main window tells its owner.
class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  // Asked before the window closes (WM_CLOSE, end of session). False vetoes.
  virtual bool CloseQuery() = 0;
  // The window is closing for good.
  virtual void Close() = 0;
  // The session is ending (WM_QUERYENDSESSION): false refuses. The close
  // query answers unless the owner has to finish something first.
  virtual bool SessionEndQuery() { return CloseQuery(); }
  // WM_ENDSESSION: the session ends (true; the process may be ended as soon
  // as this returns) or goes on after all (false).
  virtual void SessionEnd(bool ending) { (void)ending; }
  // A later start of the program asks this, the first, to show itself.
  virtual void ShowRequested() {}
};

// The application object: one per process.
namespace app {

// The program's name: the title set at start, and the caption of its boxes
// that name no other.
inline constexpr const char* kAppTitle = "Kelvane";

void Initialize();
void SetTitle(const std::string& title);
const std::string& Title();
void SetHintHidePause(int milliseconds);
int HintHidePause();
void SetShowMainForm(bool show);
void SetOnDeactivate(std::function<void()> handler);
// The program lost activation to another program: any of its windows may be
// the one told (a hidden window is not told everywhere).
void Deactivated();

// Creates the hidden main window (no taskbar button) and returns it.
WindowHandle CreateMainWindow(MainWindowEvents* events);
WindowHandle MainWindow();
// Runs the message loop until the main window has closed.
void Run();
// Asks the main window to close, as its close box would: the close query may
// refuse, and the program goes on.
void CloseMainWindow();
// The same close, asked once the handler running now has returned to the loop.
void PostCloseMainWindow();
// For a long run on the program's thread (the library update): tells Windows
// the thread lives and hands over the messages sent to the program (a close,
// the session's end) and a close posted to the main window (as taskkill
// does), so that it can stop the run; nothing else is taken from the queue,
// so no click or key is handled before the run ends.
void AnswerWhileBusy();
// Modeless windows whose keys (Tab, Enter, Esc) the loop hands to the dialog
// manager while they exist.
void AddDialogWindow(WindowHandle window);
void RemoveDialogWindow(WindowHandle window);

// One copy per user session: true for the first, which then holds a named
// object until it exits; false when another copy holds it already.
bool ClaimFirstInstance(const std::string& name);
// From a later copy: asks the first copy's main window (created with the
// same title) to show itself, and lets it come to the front. False when no
// such window appeared within a few seconds.
bool ShowFirstInstance();

// Full path of the running program file.
std::string ProgramFilePath();

// The general error display: the error text (see FormatErrorDisplayText), the
// title as caption, a stop icon. The loop goes on afterwards.
void ShowErrorDisplay(const std::u16string& message);

// Runs one event handler: an error escaping it goes to the general error
// display, never further.
void RunGuarded(const std::function<void()>& handler);

}  // namespace app
}  // namespace platform
