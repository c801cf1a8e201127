#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <map>
#include <vector>

#include "platform/Application.h"
#include "platform/HiddenWindow.h"
#include "platform/Locale.h"
#include "platform/Timer.h"
#include "platform/win32/LateLoad.h"

namespace platform {

namespace {

struct AppState {
  std::string title;
  int hintHidePause = 2500;
  bool showMainForm = true;
  std::function<void()> onDeactivate;
  HWND mainWindow = nullptr;
  std::vector<HWND> dialogWindows;
};

LPCWSTR W(const std::u16string& text) { return reinterpret_cast<LPCWSTR>(text.c_str()); }

AppState& S() {
  static AppState state;
  return state;
}

const wchar_t kMainClass[] = L"TMain";
const wchar_t kHiddenClass[] = L"KelvaneHiddenWindow";

// Registered once: another program's window may already use any WM_USER
// number for a meaning of its own.
UINT ShowFirstMessage() {
  static const UINT message = RegisterWindowMessageW(L"Kelvane.ShowFirstInstance");
  return message;
}

// Each window of our classes keeps its object in its user data, set from the
// creation's parameter before any other message arrives.
template <typename T>
T* ObjectOf(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindowEvents* events = ObjectOf<MainWindowEvents>(hwnd, message, lParam);
  switch (message) {
    case WM_CLOSE: {
      bool mayClose = false;
      app::RunGuarded([&] { mayClose = events && events->CloseQuery(); });
      if (mayClose) {
        app::RunGuarded([&] { events->Close(); });
        // Closed for good: nothing more reaches the events.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
      }
      return 0;
    }
    case WM_QUERYENDSESSION: {
      // Windows only asks: the settings are saved, the rest of the shutdown
      // path is the session's end.
      bool mayClose = true;
      app::RunGuarded([&] { mayClose = !events || events->SessionEndQuery(); });
      return mayClose ? TRUE : FALSE;
    }
    case WM_ENDSESSION:
      if (events) app::RunGuarded([&] { events->SessionEnd(wParam != FALSE); });
      return 0;
    case WM_ACTIVATEAPP:
      if (!wParam) app::Deactivated();
      return 0;
    case WM_DESTROY:
      if (hwnd == S().mainWindow) {
        S().mainWindow = nullptr;
        PostQuitMessage(0);
      }
      return 0;
    default:
      if (message == ShowFirstMessage() && message != 0) {
        if (events) app::RunGuarded([&] { events->ShowRequested(); });
        return 0;
      }
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT CALLBACK HiddenWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* window = ObjectOf<HiddenWindow>(hwnd, message, lParam);
  std::intptr_t result = 0;
  if (window && window->Dispatch(message, wParam, lParam, &result)) return result;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterClassOnce(const wchar_t* name, WNDPROC proc) {
  WNDCLASSW wc{};
  if (GetClassInfoW(GetModuleHandleW(nullptr), name, &wc)) return;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

}  // namespace

// ---- hidden windows ----

HiddenWindow::HiddenWindow(Handler handler) : handler_(std::move(handler)) {
  RegisterClassOnce(kHiddenClass, HiddenWndProc);
  // Top-level (not message-only) so that shell broadcasts reach it.
  HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, kHiddenClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, GetModuleHandleW(nullptr), this);
  handle_ = reinterpret_cast<WindowHandle>(hwnd);
}

HiddenWindow::~HiddenWindow() {
  HWND hwnd = reinterpret_cast<HWND>(handle_);
  if (hwnd) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
  }
}

bool HiddenWindow::Dispatch(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                            std::intptr_t* result) {
  bool handled = false;
  app::RunGuarded([&] { handled = handler_ && handler_(message, wParam, lParam, result); });
  return handled;
}

// ---- timers ----

struct Timer::Impl {
  unsigned interval = 1000;
  bool enabled = false;
  UINT_PTR id = 0;
  std::function<void()> handler;
};

namespace {

std::map<UINT_PTR, Timer::Impl*>& LiveTimers() {
  static std::map<UINT_PTR, Timer::Impl*> timers;
  return timers;
}

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = LiveTimers().find(id);
  if (it == LiveTimers().end() || !it->second->enabled || !it->second->handler) return;
  std::function<void()> handler = it->second->handler;
  app::RunGuarded(handler);
}

void Arm(Timer::Impl* t) {
  if (t->id) {
    KillTimer(nullptr, t->id);
    LiveTimers().erase(t->id);
    t->id = 0;
  }
  if (t->enabled && t->interval > 0) {
    t->id = SetTimer(nullptr, 0, t->interval, TimerProc);
    if (t->id) LiveTimers()[t->id] = t;
  }
}

}  // namespace

Timer::Timer(unsigned intervalMs) : impl_(std::make_unique<Impl>()) { impl_->interval = intervalMs; }
Timer::~Timer() {
  impl_->enabled = false;
  Arm(impl_.get());
}
void Timer::SetOnTimer(std::function<void()> handler) { impl_->handler = std::move(handler); }
void Timer::SetEnabled(bool enabled) {
  if (enabled == impl_->enabled) return;
  impl_->enabled = enabled;
  Arm(impl_.get());
}
bool Timer::Enabled() const { return impl_->enabled; }

void Wait(unsigned milliseconds) { Sleep(milliseconds); }

// ---- COM, begun when first needed ----

namespace late {

namespace {
bool comBegun = false;
}  // namespace

bool ComReady() {
  static const auto begin = Function<decltype(&CoInitialize)>(L"ole32.dll", "CoInitialize");
  if (!comBegun && begin) comBegun = SUCCEEDED(begin(nullptr));
  return comBegun;
}

void ComEnd() {
  // Begun, ole32 is there.
  if (comBegun) Function<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize")();
  comBegun = false;
}

}  // namespace late

// ---- the application object ----

namespace app {

void Initialize() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
}

void SetTitle(const std::string& title) { S().title = title; }
const std::string& Title() { return S().title; }
void SetHintHidePause(int milliseconds) { S().hintHidePause = milliseconds; }
int HintHidePause() { return S().hintHidePause; }
void SetShowMainForm(bool show) { S().showMainForm = show; }
void SetOnDeactivate(std::function<void()> handler) { S().onDeactivate = std::move(handler); }

void Deactivated() {
  if (S().onDeactivate) RunGuarded(S().onDeactivate);
}

WindowHandle CreateMainWindow(MainWindowEvents* events) {
  RegisterClassOnce(kMainClass, MainWndProc);
  // A tool window that is never shown: no taskbar button, nothing on screen.
  S().mainWindow = CreateWindowExW(WS_EX_TOOLWINDOW, kMainClass, W(Utf8ToUtf16(S().title)), WS_POPUP, 0, 0, 0,
                                   0, nullptr, nullptr, GetModuleHandleW(nullptr), events);
  if (S().showMainForm) ShowWindow(S().mainWindow, SW_SHOWNORMAL);
  return reinterpret_cast<WindowHandle>(S().mainWindow);
}

WindowHandle MainWindow() { return reinterpret_cast<WindowHandle>(S().mainWindow); }

namespace {

// F10, or Alt pressed and released alone, opens the menu bar of the window
// that has the keys, as in any Windows program. The default handling of the
// key messages does this on Windows, but under Wine it does not reach a window
// whose keys go through the dialog manager and a tree view; so the loop does
// it itself, and keeps the release from the default handling so that the menu
// is never opened twice.
class MenuKeys {
 public:
  // True when the message was the release that opens the menu bar (sent).
  bool Handle(const MSG& msg) {
    const bool menuKey = msg.wParam == VK_F10 || msg.wParam == VK_MENU;
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        // Any other key in between (Alt+F4, Alt+Tab, Shift+F10) is a chord.
        if (!menuKey || (GetKeyState(VK_SHIFT) & 0x8000)) {
          pending_ = 0;
        } else if (!(msg.lParam & (1 << 30))) {  // not an auto-repeat
          pending_ = static_cast<UINT>(msg.wParam);
        }
        return false;
      case WM_KEYUP:
      case WM_SYSKEYUP: {
        const bool opens = menuKey && pending_ == msg.wParam;
        pending_ = 0;
        if (!opens) return false;
        HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        if (!root || !GetMenu(root)) return false;
        SendMessageW(root, WM_SYSCOMMAND, SC_KEYMENU, 0);
        return true;
      }
      default:
        return false;
    }
  }

 private:
  UINT pending_ = 0;
};

}  // namespace

void Run() {
  MSG msg;
  // The W forms: a character typed into one of the program's Unicode windows
  // reaches it whole, not narrowed to the system code page on the way.
  MenuKeys menuKeys;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (menuKeys.Handle(msg)) continue;
    bool dialogKey = false;
    for (HWND dialog : S().dialogWindows) {
      if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) {
        dialogKey = true;
        break;
      }
    }
    if (dialogKey) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  late::ComEnd();
}

void CloseMainWindow() {
  if (S().mainWindow) SendMessageW(S().mainWindow, WM_CLOSE, 0, 0);
}

void PostCloseMainWindow() {
  if (S().mainWindow) PostMessageW(S().mainWindow, WM_CLOSE, 0, 0);
}

void AnswerWhileBusy() {
  MSG msg;
  while (S().mainWindow && PeekMessageW(&msg, S().mainWindow, WM_CLOSE, WM_CLOSE, PM_REMOVE | PM_NOYIELD)) {
    DispatchMessageW(&msg);
  }
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_NOYIELD);
}

void AddDialogWindow(WindowHandle window) {
  auto& list = S().dialogWindows;
  HWND hwnd = reinterpret_cast<HWND>(window);
  if (std::find(list.begin(), list.end(), hwnd) == list.end()) list.push_back(hwnd);
}

void RemoveDialogWindow(WindowHandle window) {
  auto& list = S().dialogWindows;
  list.erase(std::remove(list.begin(), list.end(), reinterpret_cast<HWND>(window)), list.end());
}

bool ClaimFirstInstance(const std::string& name) {
  // "Local\": the namespace of this logon session. The handle stays open
  // until the process ends, and the object with it.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, W(Utf8ToUtf16("Local\\" + name)));
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  // Without the object (no rights, no memory) one copy too many is better
  // than none.
  return true;
}

bool ShowFirstInstance() {
  // The first copy may still be starting: its main window comes a moment
  // after the object.
  for (int attempt = 0; attempt < 50; ++attempt) {
    HWND first = FindWindowW(kMainClass, W(Utf8ToUtf16(S().title)));
    if (first) {
      DWORD process = 0;
      GetWindowThreadProcessId(first, &process);
      // Started by the user, this copy may hand the foreground on.
      AllowSetForegroundWindow(process);
      return PostMessageW(first, ShowFirstMessage(), 0, 0) != FALSE;
    }
    Sleep(100);
  }
  return false;
}

std::string ProgramFilePath() {
  wchar_t buffer[MAX_PATH * 2] = {};
  const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 2);
  return Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(buffer), n));
}

}  // namespace app
}  // namespace platform
