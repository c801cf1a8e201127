// winamp_standin: a small player that answers the window messages and command lines
// Kelvane drives, so tests and the demo can run without the real player. It plays
// nothing; it keeps a play list and a play state, shows them, and writes every message
// it receives to a journal that tests read while it runs.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "standin_core.h"

namespace {

const char kClassName[] = "Winamp v1.x";
const wchar_t kClassNameW[] = L"Winamp v1.x";
const wchar_t kTitle[] = L"Winamp stand-in";
const char kMutexName[] = "KelvaneWinampStandinRunning";
// Marks our own WM_COPYDATA (a second start's whole command line, UTF-16 with
// its NUL) so a stray one from another program is not taken as a command line.
const ULONG_PTR kCopyDataCmdLine = 0x4B564C57;

const UINT kMsgOpenDialog = WM_APP + 1;
// Posted by a test (wParam: milliseconds): the player stops answering for that long.
const UINT kMsgHang = WM_APP + 2;
// Posted by a test: the track ends and the player goes on to the next entry by itself.
const UINT kMsgTrackEnds = WM_APP + 3;

enum ButtonId { kIdPlay = 1001, kIdPause, kIdStop, kIdClose, kIdList };

struct ButtonDef {
  ButtonId id;
  const char* name;
  int x;
};
// Client coordinates, documented in README.md so e2e tests can click them.
const ButtonDef kButtons[] = {
    {kIdPlay, "Play", 8}, {kIdPause, "Pause", 88}, {kIdStop, "Stop", 168}, {kIdClose, "Close", 248}};
const int kButtonY = 300, kButtonW = 72, kButtonH = 26;

std::string g_journalPath;
standin::Player g_player;
const standin::Profile* g_profile;
UINT g_songChangeMessage;
std::wstring g_captionTitle;
HWND g_wnd, g_lblState, g_lblTrack, g_lblVolume, g_list;
bool g_key76Down;
// The titles as the player hands them out: an address in our memory, read
// by the asking program. One buffer of each kind that every answer
// overwrites, or (a player that moves its texts) a new place at each answer.
wchar_t g_wideBuffer[4096];
char g_ansiBuffer[8192];
std::deque<std::unique_ptr<wchar_t[]>> g_movingWide;
std::deque<std::unique_ptr<char[]>> g_movingAnsi;

// wchar_t is UTF-16 here: the core's UTF-16 texts are handed to the W calls as they are.
std::string Utf8(const wchar_t* text) { return standin::Utf8(reinterpret_cast<const char16_t*>(text)); }
std::wstring Wide(const std::string& utf8) {
  const std::u16string text = standin::Utf16(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string ExeDir() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
  std::string path = Utf8(std::wstring(buf, n).c_str());
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string JournalPath() {
  wchar_t buf[2048];
  DWORD n = GetEnvironmentVariableW(L"KELVANE_PLAYER_JOURNAL", buf, 2048);
  if (n > 0 && n < 2048) return standin::UnixPathToWine(Utf8(buf));
  return ExeDir() + "journal.txt";
}

// One open-append-close per line: tests read the file while we run, and a second
// instance appends to the same file. Lines are UTF-8, so a name in any script
// is found as it is.
void Journal(const std::string& line) {
  HANDLE f = CreateFileW(Wide(g_journalPath).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(f);
}

void Journalf(const char* fmt, ...) {
  char buf[4096];
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  Journal(buf);
}

void ShowVolume() {
  char buf[64];
  snprintf(buf, sizeof buf, "Volume: %d%%", g_player.volume());
  SetWindowTextA(g_lblVolume, buf);
  // The fade runs inside one message, so paint now rather than when the queue is idle.
  UpdateWindow(g_lblVolume);
}

void ShowTrack() {
  std::string text = "Track: " + g_player.currentTrackName();
  SetWindowTextW(g_lblTrack, Wide(text).c_str());
  if (!g_player.tracks().empty()) SendMessageW(g_list, LB_SETCURSEL, g_player.current(), 0);
  UpdateWindow(g_lblTrack);
}

void ShowPlaylist() {
  SendMessageW(g_list, LB_RESETCONTENT, 0, 0);
  int n = 1;
  for (const std::string& t : g_player.tracks()) {
    std::wstring item = Wide(std::to_string(n++) + ". " + t);
    SendMessageW(g_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
}

std::wstring FromCodePage(const std::string& bytes, UINT codePage) {
  std::wstring out(bytes.size(), L'\0');
  int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0],
                              static_cast<int>(out.size()));
  out.resize(n > 0 ? n : 0);
  return out;
}

std::string InCodePage(const std::wstring& text, UINT codePage) {
  int n = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n : 1, '\0');
  WideCharToMultiByte(codePage, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

// Copies a text with its NUL into a buffer of `size` units (cut to fit).
template <typename Char>
LRESULT Hand(const std::basic_string<Char>& text, Char* buffer, std::size_t size) {
  const std::size_t n = text.size() < size ? text.size() : size - 1;
  std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), buffer);
  buffer[n] = Char(0);
  return reinterpret_cast<LRESULT>(buffer);
}

// A new place for each answer; the place handed out before now holds other
// text, as with a player that reuses its memory. The last few are kept so
// that a late reader reads the other text rather than freed memory.
template <typename Char>
LRESULT HandMoving(const std::basic_string<Char>& text, std::deque<std::unique_ptr<Char[]>>* places) {
  static const char kOther[] = "(this title has moved)";
  if (!places->empty()) Hand(std::basic_string<Char>(kOther, kOther + sizeof kOther - 1), places->back().get(), sizeof kOther);
  places->emplace_back(new Char[text.size() + sizeof kOther]);
  if (places->size() > 16) places->pop_front();
  return Hand(text, places->back().get(), text.size() + sizeof kOther);
}

// WM_USER 212 and 213: where the title of an entry lies in our memory, or 0
// for an entry that is not in the list or a question the player does not know.
LRESULT TitleAddress(WPARAM index, bool wide) {
  const bool inList = index < g_player.tracks().size();
  const std::wstring title = g_player.title(inList ? static_cast<int>(index) : -1);
  switch (g_profile->titles) {
    case standin::TitleMemory::OneBuffer:
      if (!inList) return 0;
      return wide ? Hand(title, g_wideBuffer, sizeof g_wideBuffer / sizeof g_wideBuffer[0])
                  : Hand(InCodePage(title, CP_ACP), g_ansiBuffer, sizeof g_ansiBuffer);
    case standin::TitleMemory::NewEachCall:
      if (!inList) return 0;
      return wide ? HandMoving(title, &g_movingWide) : HandMoving(InCodePage(title, CP_ACP), &g_movingAnsi);
    case standin::TitleMemory::PlayingUtf8:
      if (wide || g_player.tracks().empty()) return 0;
      return Hand(InCodePage(g_player.title(g_player.current()), CP_UTF8), g_ansiBuffer, sizeof g_ansiBuffer);
    case standin::TitleMemory::CodePageOnly:
      if (wide || !inList) return 0;
      return Hand(InCodePage(title, CP_ACP), g_ansiBuffer, sizeof g_ansiBuffer);
  }
  return 0;
}

// The caption follows the track and the state, as the player's does; a
// player that announces its title changes does so once the caption is new.
void ShowCaption() {
  SetWindowTextW(g_wnd, standin::Caption(*g_profile, g_player, kTitle).c_str());
  const std::wstring title = g_player.tracks().empty() ? std::wstring() : g_player.title(g_player.current());
  if (title == g_captionTitle) return;
  g_captionTitle = title;
  if (g_profile->announcesSongChange && !title.empty()) PostMessageW(HWND_BROADCAST, g_songChangeMessage, 0, 0);
}

// Applies what the player model reports: journal lines first, then the window.
void Apply(const standin::Changes& c) {
  if (c.playlist) {
    Journalf("PLAYLIST %u tracks", static_cast<unsigned>(g_player.tracks().size()));
    ShowPlaylist();
  }
  if (c.track && !g_player.tracks().empty()) Journalf("TRACK %d", g_player.current());
  if (c.state) {
    Journalf("STATE %s", standin::StateName(g_player.state()));
    std::string text = std::string("State: ") + standin::StateName(g_player.state());
    SetWindowTextA(g_lblState, text.c_str());
    UpdateWindow(g_lblState);
  }
  if (c.track || c.playlist) ShowTrack();
  if (c.volume) ShowVolume();
  if (c.track || c.playlist || c.state) ShowCaption();
}

// The fade is done inside the WM_COMMAND that asks for it, so the sender's
// SendMessage returns once the player has stopped and its next command finds it stopped.
void FadeOutThenStop() {
  if (!g_profile->fades) {
    Apply(g_player.stop());
    return;
  }
  standin::Changes c = g_player.beginFade();
  Apply(c);
  if (g_player.state() != standin::State::Fading) return;
  const int steps = 20;
  for (int i = 1; i <= steps; ++i) {
    Sleep(standin::kFadeMs / steps);
    g_player.setVolume(100 - 100 * i / steps);
    ShowVolume();
  }
  Apply(g_player.endFade());
}

void PlayerCommand(WPARAM id) {
  switch (id) {
    case standin::kCmdPrev: Apply(g_player.previous()); break;
    case standin::kCmdPlay: Apply(g_player.play()); break;
    case standin::kCmdPause: Apply(g_player.pause(g_profile->pauseResumes)); break;
    case standin::kCmdStop: Apply(g_player.stop()); break;
    case standin::kCmdNext: Apply(g_player.next()); break;
    case standin::kCmdFadeoutStop: FadeOutThenStop(); break;
    case standin::kCmdClose: DestroyWindow(g_wnd); break;
    default: break;
  }
}

void ButtonClick(WORD id) {
  for (const ButtonDef& b : kButtons) {
    if (b.id == id) Journalf("BUTTON %s", b.name);
  }
  switch (id) {
    case kIdPlay: PlayerCommand(standin::kCmdPlay); break;
    // The player's own Pause button resumes in every player.
    case kIdPause: Apply(g_player.pause()); break;
    case kIdStop: PlayerCommand(standin::kCmdStop); break;
    case kIdClose: PlayerCommand(standin::kCmdClose); break;
    default: break;
  }
}

// Files are named in UTF-8; the tracks of a play list in the system code page
// are made UTF-8 too, so that every path is held in one form.
void LoadFiles(const standin::Request& req) {
  std::vector<std::string> tracks;
  std::vector<std::wstring> titles;
  for (const std::string& file : req.files) {
    if (standin::IsPlaylistFile(file)) {
      std::string bytes;
      HANDLE f = CreateFileW(Wide(file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
      if (f != INVALID_HANDLE_VALUE) {
        char buf[8192];
        DWORD got = 0;
        while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
        CloseHandle(f);
      }
      const UINT codePage = standin::IsUtf8Playlist(file, bytes) ? CP_UTF8 : CP_ACP;
      for (const standin::ListEntry& e : standin::ParsePlaylistEntries(bytes)) {
        const std::wstring path = FromCodePage(e.path, codePage);
        tracks.push_back(Utf8(path.c_str()));
        titles.push_back(e.title.empty() ? standin::FileTitle(path) : FromCodePage(e.title, codePage));
      }
    } else {
      tracks.push_back(file);
      titles.push_back(standin::FileTitle(Wide(file)));
    }
  }
  Apply(req.append ? g_player.append(tracks, titles) : g_player.replaceAndPlay(tracks, titles));
}

void RunCommandLine(const std::string& cmdline) {
  standin::Request req = standin::ParseCommandLine(cmdline);
  if (!req.files.empty()) LoadFiles(req);
}

void OpenFileDialog() {
  Journal("DIALOG open");
  wchar_t file[MAX_PATH] = L"";
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = g_wnd;
  ofn.lpstrFilter = L"Playlists (*.m3u;*.m3u8)\0*.m3u;*.m3u8\0All files (*.*)\0*.*\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = L"Open file";
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (GetOpenFileNameW(&ofn)) {
    Journal("DIALOG chose " + Utf8(file));
    standin::Request req;
    req.files.push_back(Utf8(file));
    LoadFiles(req);
  } else {
    Journal("DIALOG cancelled");
  }
}

// Unicode controls, so that track names in any script show.
HWND MakeChild(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
  HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, g_wnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  return c;
}

void CreateControls() {
  g_lblState = MakeChild(L"STATIC", L"State: stopped", SS_LEFT, 8, 8, 300, 20, 0);
  g_lblTrack = MakeChild(L"STATIC", L"Track: (none)", SS_LEFT | SS_NOPREFIX, 8, 32, 420, 20, 0);
  g_lblVolume = MakeChild(L"STATIC", L"Volume: 100%", SS_LEFT, 8, 56, 300, 20, 0);
  g_list = MakeChild(L"LISTBOX", L"", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 8, 80, 420, 210, kIdList);
  for (const ButtonDef& b : kButtons) {
    MakeChild(L"BUTTON", Wide(b.name).c_str(), BS_PUSHBUTTON, b.x, kButtonY, kButtonW, kButtonH, b.id);
  }
  // Our own font: Japanese track names need a face that has them.
  HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS UI Gothic");
  for (HWND c : {g_lblState, g_lblTrack, g_lblVolume, g_list})
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

bool IsOwnChild(LPARAM lParam) {
  HWND h = reinterpret_cast<HWND>(lParam);
  return h != nullptr && GetParent(h) == g_wnd;
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      g_wnd = hwnd;
      CreateControls();
      return 0;
    case WM_COMMAND: {
      WORD id = LOWORD(wParam);
      // Our buttons (click or keyboard accelerator) are the user's, not a remote command.
      bool local = (id >= kIdPlay && id <= kIdClose) && (IsOwnChild(lParam) || (lParam == 0 && HIWORD(wParam) == 1));
      if (local) {
        ButtonClick(id);
        return 0;
      }
      if (IsOwnChild(lParam)) return 0;  // list box notifications
      Journalf("WM_COMMAND %lu %ld", static_cast<unsigned long>(wParam), static_cast<long>(lParam));
      PlayerCommand(wParam);
      return 0;
    }
    case WM_USER: {
      LRESULT answer = g_profile->unknownAnswer;
      switch (lParam) {
        case standin::kIpcIsPlaying: answer = standin::PlayStateAnswer(g_player.state()); break;
        case standin::kIpcGetListPos: answer = g_profile->answersPosition ? g_player.current() : 0; break;
        case standin::kIpcGetTitle: answer = TitleAddress(wParam, false); break;
        case standin::kIpcGetTitleW: answer = TitleAddress(wParam, true); break;
        default: break;
      }
      Journalf("WM_USER %lu %ld -> %ld", static_cast<unsigned long>(wParam), static_cast<long>(lParam),
               static_cast<long>(answer));
      return answer;
    }
    case WM_KEYDOWN:
      Journalf("WM_KEYDOWN %lu %ld", static_cast<unsigned long>(wParam), static_cast<long>(lParam));
      if (wParam == standin::kKeyOpenFile) g_key76Down = true;
      return 0;
    case WM_KEYUP:
      Journalf("WM_KEYUP %lu %ld", static_cast<unsigned long>(wParam), static_cast<long>(lParam));
      if (wParam == standin::kKeyOpenFile && g_key76Down) {
        g_key76Down = false;
        // Posted, not opened here: the sender's SendMessage must not wait for the user
        // to close a modal dialog.
        PostMessageW(hwnd, kMsgOpenDialog, 0, 0);
      }
      return 0;
    case kMsgOpenDialog:
      OpenFileDialog();
      return 0;
    case kMsgTrackEnds:
      Journal("TRACK END");
      Apply(g_player.next());
      return 0;
    case WM_NULL:
      // Another program asking whether we answer at all.
      if (InSendMessage()) Journal("WM_NULL");
      return 0;
    case kMsgHang:
      // A player that stops answering: nothing of its queue is looked at
      // until the time is up, as when it is stuck in a slow driver.
      Journalf("HANG %lu", static_cast<unsigned long>(wParam));
      Sleep(static_cast<DWORD>(wParam));
      Journal("AWAKE");
      return 0;
    case WM_COPYDATA: {
      const COPYDATASTRUCT* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (cds == nullptr) return FALSE;
      standin::Request req;
      if (standin::ReadPlayFileW(static_cast<unsigned long>(cds->dwData), cds->lpData, cds->cbData, &req)) {
        Journal("COPYDATA 1100 " + req.files[0]);
        LoadFiles(req);
        return TRUE;
      }
      if (cds->dwData != kCopyDataCmdLine || cds->cbData % sizeof(wchar_t) != 0) return FALSE;
      // Up to the NUL the sender includes.
      const std::wstring wide(static_cast<const wchar_t*>(cds->lpData), cds->cbData / sizeof(wchar_t));
      const std::string cmdline = Utf8(wide.c_str());
      Journal("CMDLINE " + cmdline);
      RunCommandLine(cmdline);
      return TRUE;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE) Journal("FOREGROUND");
      break;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  // A Unicode window, so that its caption holds a title in any script.
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A second start hands its command line to the running player and leaves, as the
// real player does, so there is never a second window. Waits briefly for a first
// instance that is still creating its window.
bool HandOverToRunningInstance(const std::wstring& cmdline) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    HWND running = FindWindowA(kClassName, nullptr);
    if (running != nullptr) {
      COPYDATASTRUCT cds = {};
      cds.dwData = kCopyDataCmdLine;
      cds.cbData = static_cast<DWORD>((cmdline.size() + 1) * sizeof(wchar_t));
      cds.lpData = const_cast<wchar_t*>(cmdline.c_str());
      DWORD_PTR result = 0;
      SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 15000, &result);
      return true;
    }
    HANDLE probe = CreateMutexA(nullptr, FALSE, kMutexName);
    bool someoneElse = GetLastError() == ERROR_ALREADY_EXISTS;
    CloseHandle(probe);
    if (!someoneElse) return false;
    Sleep(100);
  }
  return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCmd) {
  g_journalPath = JournalPath();
  const std::wstring wideCmdline = GetCommandLineW();
  const std::string cmdline = Utf8(wideCmdline.c_str());
  Journal("START " + cmdline);

  if (HandOverToRunningInstance(wideCmdline)) return 0;
  // The player it stands in for: named on the command line, else by the
  // environment (so that a player that Kelvane starts is the same), else Winamp.
  std::string profile = standin::ParseCommandLine(cmdline).profile;
  if (profile.empty()) {
    wchar_t buf[64];
    const DWORD n = GetEnvironmentVariableW(L"KELVANE_PLAYER_PROFILE", buf, 64);
    profile = n > 0 && n < 64 ? Utf8(buf) : "winamp";
  }
  g_profile = standin::FindProfile(profile);
  if (g_profile == nullptr) {
    Journal("PROFILE unknown " + profile);
    MessageBoxW(nullptr, Wide("Unknown profile: " + profile + " (winamp, wacup, foobar or mediamonkey)").c_str(),
                kTitle, MB_ICONERROR);
    return 2;
  }
  Journal(std::string("PROFILE ") + g_profile->name);
  g_songChangeMessage = RegisterWindowMessageW(L"WinampSongChange");
  HANDLE running = CreateMutexA(nullptr, FALSE, kMutexName);

  WNDCLASSW wc = {};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassNameW;
  RegisterClassW(&wc);

  RECT r = {0, 0, 436, 334};
  AdjustWindowRect(&r, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE);
  HWND hwnd = CreateWindowExW(0, kClassNameW, kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                              standin::kWindowX, standin::kWindowY, r.right - r.left, r.bottom - r.top, nullptr,
                              nullptr, instance, nullptr);
  if (hwnd == nullptr) return 1;
  ShowWindow(hwnd, showCmd);
  UpdateWindow(hwnd);

  RunCommandLine(cmdline);

  ACCEL keys[] = {{FVIRTKEY, VK_F5, kIdPlay}, {FVIRTKEY, VK_F6, kIdPause}, {FVIRTKEY, VK_F7, kIdStop},
                  {FVIRTKEY, VK_F8, kIdClose}};
  HACCEL accel = CreateAcceleratorTableW(keys, sizeof keys / sizeof keys[0]);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorW(hwnd, accel, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DestroyAcceleratorTable(accel);
  Journal("EXIT");
  CloseHandle(running);
  return 0;
}
