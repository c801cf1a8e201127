/* peer_probe: answers questions about the windows of the Wine desktop, which X tools
 * cannot see (a Wine virtual desktop is one X window).
 *   peer_probe find <class|-> [title|-] [wait_ms]
 *       first top-level window by class and/or title; waits up to wait_ms for it.
 *       Prints: <hwnd> <left> <top> <right> <bottom> <visible> <client_x> <client_y>
 *       (screen coordinates; client_x/y is where the client area's 0,0 lies)
 *   peer_probe count <class|-> [title|-]     number of top-level windows that match
 *   peer_probe tree <class|-> [title|-]      the window and its descendants
 *   peer_probe controls <class|-> [title|-]  its descendants as they are now:
 *       <hwnd> <enabled> <checked> "<class>" "<text>", the text asked of the control
 *       itself (an edit's typed text, which `tree` cannot see from outside), the
 *       check state 0/1/2 for buttons and - for the rest
 *   peer_probe top                           every top-level window
 *   peer_probe iconic <class|-> [title|-]    1 when the window is minimised, else 0
 *   peer_probe tray                          the taskbar and its notification area
 *   peer_probe foreground                    the foreground window
 *   peer_probe workarea                      <left> <top> <right> <bottom> the system reports
 *   peer_probe treeitems <class|-> [title|-] <n>
 *       the items of the window's n-th tree view (0-based, children in order, depth
 *       first): first "tree <left> <top> <right> <bottom>", then one line per visible
 *       item "<left> <top> <right> <bottom> <selected> <text>" (screen coordinates
 *       of its label). The tree lives in another process: its answers are read
 *       through memory allocated there.
 *   peer_probe acp                           the system's ANSI code page
 *   peer_probe metrics                       <dpi> <menu bar height> of the system
 *   peer_probe holdkey <modifiers> <vk> <ms>
 *       registers the key as a system-wide hot key (modifiers as RegisterHotKey
 *       takes them, numbers in decimal or 0x hex), prints "held" or "refused <error>",
 *       then keeps it for ms milliseconds, printing "pressed" each time it arrives:
 *       another program that holds a key before Kelvane asks for it.
 *   peer_probe balloon                       each notification balloon on screen (a shown
 *       tooltip of the balloon style, as Wine's taskbar makes them): "<title>\t<text>",
 *       both asked of the tooltip in the taskbar's process
 *   peer_probe settingchange <area>          broadcasts WM_SETTINGCHANGE naming the area
 *       (e.g. ImmersiveColorSet) to every top-level window, as the system does when a
 *       setting changes, and returns once all have handled it
 * Window lines: <hwnd> <left> <top> <right> <bottom> <visible> "<class>" "<title>"
 * Texts are asked for in UTF-16 (the W calls), so they read the same on every
 * system code page, and printed as UTF-8; class and title arguments are taken
 * from the UTF-16 command line. Exit code 1 when the window asked for does not
 * exist. */
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const WCHAR* arg_or_null(int argc, WCHAR** argv, int i) {
  if (i >= argc || wcscmp(argv[i], L"-") == 0) return NULL;
  return argv[i];
}

/* UTF-16 text written to stdout as UTF-8. */
static void put_text(const WCHAR* text) {
  char out[4096];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, NULL, NULL);
  if (n > 0) fputs(out, stdout);
}

static void print_window(HWND w, int depth) {
  WCHAR cls[256] = L"", title[512] = L"";
  RECT r = {0, 0, 0, 0};
  int i;
  GetClassNameW(w, cls, 256);
  GetWindowTextW(w, title, 512);
  GetWindowRect(w, &r);
  for (i = 0; i < depth; ++i) printf("  ");
  printf("%p %ld %ld %ld %ld %d \"", (void*)w, r.left, r.top, r.right, r.bottom, IsWindowVisible(w) ? 1 : 0);
  put_text(cls);
  printf("\" \"");
  put_text(title);
  printf("\"\n");
}

static void print_tree(HWND w, int depth) {
  HWND c;
  print_window(w, depth);
  for (c = GetWindow(w, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) print_tree(c, depth + 1);
}

static HWND nth_tree(HWND w, int* n) {
  HWND c, found;
  WCHAR cls[64] = L"";
  for (c = GetWindow(w, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) {
    GetClassNameW(c, cls, 64);
    if (wcscmp(cls, L"SysTreeView32") == 0 && (*n)-- == 0) return c;
    if ((found = nth_tree(c, n)) != NULL) return found;
  }
  return NULL;
}

static int print_tree_items(HWND tree) {
  DWORD pid = 0;
  HANDLE process;
  char* remote;
  HTREEITEM item;
  RECT r;
  GetWindowThreadProcessId(tree, &pid);
  process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process == NULL) return 1;
  remote = (char*)VirtualAllocEx(process, NULL, 4096, MEM_COMMIT, PAGE_READWRITE);
  if (remote == NULL) return 1;
  GetWindowRect(tree, &r);
  printf("tree %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0);
  for (; item != NULL; item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, (LPARAM)item)) {
    TVITEMW tv;
    WCHAR text[512] = L"";
    RECT ir;
    SIZE_T done;
    POINT a, b;
    memset(&tv, 0, sizeof tv);
    tv.mask = TVIF_TEXT | TVIF_STATE;
    tv.hItem = item;
    tv.stateMask = TVIS_SELECTED;
    tv.pszText = (LPWSTR)(remote + 512);
    tv.cchTextMax = 511;
    WriteProcessMemory(process, remote, &tv, sizeof tv, &done);
    SendMessageW(tree, TVM_GETITEMW, 0, (LPARAM)remote);
    ReadProcessMemory(process, remote, &tv, sizeof tv, &done);
    ReadProcessMemory(process, remote + 512, text, sizeof text - sizeof(WCHAR), &done);
    memcpy(&ir, &item, sizeof item);
    WriteProcessMemory(process, remote + 2048, &ir, sizeof ir, &done);
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, (LPARAM)(remote + 2048));
    ReadProcessMemory(process, remote + 2048, &ir, sizeof ir, &done);
    a.x = ir.left; a.y = ir.top; b.x = ir.right; b.y = ir.bottom;
    ClientToScreen(tree, &a);
    ClientToScreen(tree, &b);
    printf("%ld %ld %ld %ld %d ", a.x, a.y, b.x, b.y, (tv.state & TVIS_SELECTED) ? 1 : 0);
    put_text(text);
    printf("\n");
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return 0;
}

/* The title and text of a balloon tooltip in another process: asked through
 * memory allocated there, as the control copies into the caller's buffers. */
static BOOL CALLBACK balloon_proc(HWND w, LPARAM lp) {
  WCHAR cls[64] = L"", text[1024] = L"", title[128] = L"";
  DWORD pid = 0;
  HANDLE process;
  char* remote;
  TTTOOLINFOW ti;
  TTGETTITLE gt;
  SIZE_T done;
  (void)lp;
  GetClassNameW(w, cls, 64);
  if (_wcsicmp(cls, TOOLTIPS_CLASSW) != 0 || !IsWindowVisible(w) || !(GetWindowLongW(w, GWL_STYLE) & TTS_BALLOON))
    return TRUE;
  GetWindowThreadProcessId(w, &pid);
  process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process == NULL) return TRUE;
  remote = (char*)VirtualAllocEx(process, NULL, 8192, MEM_COMMIT, PAGE_READWRITE);
  if (remote != NULL) {
    memset(&ti, 0, sizeof ti);
    ti.cbSize = sizeof ti;
    WriteProcessMemory(process, remote, &ti, sizeof ti, &done);
    if (SendMessageW(w, TTM_ENUMTOOLSW, 0, (LPARAM)remote)) {
      ReadProcessMemory(process, remote, &ti, sizeof ti, &done);
      ti.lpszText = (LPWSTR)(remote + 1024);
      WriteProcessMemory(process, remote, &ti, sizeof ti, &done);
      SendMessageW(w, TTM_GETTEXTW, 1023, (LPARAM)remote);
      ReadProcessMemory(process, remote + 1024, text, sizeof text - sizeof(WCHAR), &done);
    }
    memset(&gt, 0, sizeof gt);
    gt.dwSize = sizeof gt;
    gt.cch = 127;
    gt.pszTitle = (WCHAR*)(remote + 4096);
    WriteProcessMemory(process, remote + 3584, &gt, sizeof gt, &done);
    SendMessageW(w, TTM_GETTITLE, 0, (LPARAM)(remote + 3584));
    ReadProcessMemory(process, remote + 4096, title, sizeof title - sizeof(WCHAR), &done);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  put_text(title);
  printf("\t");
  put_text(text);
  printf("\n");
  return TRUE;
}

static void print_controls(HWND w) {
  HWND c;
  for (c = GetWindow(w, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) {
    WCHAR cls[256] = L"", text[1024] = L"";
    char checked[4] = "-";
    DWORD_PTR done = 0;
    GetClassNameW(c, cls, 256);
    /* Another process's window: its text and state come back through messages. */
    SendMessageTimeoutW(c, WM_GETTEXT, 1024, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &done);
    if (_wcsicmp(cls, L"Button") == 0 &&
        SendMessageTimeoutW(c, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &done)) {
      sprintf(checked, "%d", (int)done);
    }
    printf("%p %d %s \"", (void*)c, IsWindowEnabled(c) ? 1 : 0, checked);
    put_text(cls);
    printf("\" \"");
    put_text(text);
    printf("\"\n");
    print_controls(c);
  }
}

struct match {
  const WCHAR* cls;
  const WCHAR* title;
  int count;
};

static BOOL CALLBACK count_proc(HWND w, LPARAM lp) {
  struct match* m = (struct match*)lp;
  WCHAR cls[256] = L"", title[512] = L"";
  GetClassNameW(w, cls, 256);
  GetWindowTextW(w, title, 512);
  if ((m->cls == NULL || wcscmp(cls, m->cls) == 0) && (m->title == NULL || wcscmp(title, m->title) == 0)) ++m->count;
  return TRUE;
}

static BOOL CALLBACK top_proc(HWND w, LPARAM lp) {
  (void)lp;
  print_window(w, 0);
  return TRUE;
}

int main(void) {
  int argc = 0;
  WCHAR** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const WCHAR* wcmd = argc > 1 ? argv[1] : L"";
  char cmd[32] = "";
  WideCharToMultiByte(CP_UTF8, 0, wcmd, -1, cmd, sizeof cmd - 1, NULL, NULL);
  /* Every answer in the screen's own pixels, whatever the system's DPI. */
  SetProcessDPIAware();
  if (strcmp(cmd, "acp") == 0) {
    printf("%u\n", GetACP());
    return 0;
  }
  if (strcmp(cmd, "find") == 0 && argc >= 3) {
    const WCHAR* cls = arg_or_null(argc, argv, 2);
    const WCHAR* title = arg_or_null(argc, argv, 3);
    DWORD wait_ms = argc > 4 ? (DWORD)_wtol(argv[4]) : 0;
    DWORD start = GetTickCount();
    HWND w;
    RECT r;
    POINT origin = {0, 0};
    while ((w = FindWindowW(cls, title)) == NULL && GetTickCount() - start < wait_ms) Sleep(100);
    if (w == NULL) return 1;
    GetWindowRect(w, &r);
    ClientToScreen(w, &origin);
    printf("%p %ld %ld %ld %ld %d %ld %ld\n", (void*)w, r.left, r.top, r.right, r.bottom, IsWindowVisible(w) ? 1 : 0,
           origin.x, origin.y);
    return 0;
  }
  if (strcmp(cmd, "count") == 0 && argc >= 3) {
    struct match m;
    m.cls = arg_or_null(argc, argv, 2);
    m.title = arg_or_null(argc, argv, 3);
    m.count = 0;
    EnumWindows(count_proc, (LPARAM)&m);
    printf("%d\n", m.count);
    return 0;
  }
  if (strcmp(cmd, "tree") == 0 && argc >= 3) {
    HWND w = FindWindowW(arg_or_null(argc, argv, 2), arg_or_null(argc, argv, 3));
    if (w == NULL) return 1;
    print_tree(w, 0);
    return 0;
  }
  if (strcmp(cmd, "iconic") == 0 && argc >= 3) {
    HWND w = FindWindowW(arg_or_null(argc, argv, 2), arg_or_null(argc, argv, 3));
    if (w == NULL) return 1;
    printf("%d\n", IsIconic(w) ? 1 : 0);
    return 0;
  }
  if (strcmp(cmd, "workarea") == 0) {
    RECT r;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) return 1;
    printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
  }
  if (strcmp(cmd, "top") == 0) {
    EnumWindows(top_proc, 0);
    return 0;
  }
  if (strcmp(cmd, "tray") == 0) {
    HWND w = FindWindowW(L"Shell_TrayWnd", NULL);
    if (w == NULL) return 1;
    print_tree(w, 0);
    return 0;
  }
  if (strcmp(cmd, "foreground") == 0) {
    HWND w = GetForegroundWindow();
    if (w == NULL) return 1;
    print_window(w, 0);
    return 0;
  }
  if (strcmp(cmd, "controls") == 0 && argc >= 3) {
    HWND w = FindWindowW(arg_or_null(argc, argv, 2), arg_or_null(argc, argv, 3));
    if (w == NULL) return 1;
    print_controls(w);
    return 0;
  }
  if (strcmp(cmd, "treeitems") == 0 && argc >= 5) {
    HWND w = FindWindowW(arg_or_null(argc, argv, 2), arg_or_null(argc, argv, 3));
    int n = _wtoi(argv[4]);
    HWND tree = w ? nth_tree(w, &n) : NULL;
    if (tree == NULL) return 1;
    return print_tree_items(tree);
  }
  if (strcmp(cmd, "balloon") == 0) {
    EnumWindows(balloon_proc, 0);
    return 0;
  }
  if (strcmp(cmd, "settingchange") == 0 && argc >= 3) {
    DWORD_PTR done = 0;
    return SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, (LPARAM)argv[2], SMTO_ABORTIFHUNG, 10000, &done)
               ? 0
               : 1;
  }
  if (strcmp(cmd, "metrics") == 0) {
    HDC screen = GetDC(NULL);
    printf("%d %d\n", GetDeviceCaps(screen, LOGPIXELSY), GetSystemMetrics(SM_CYMENU));
    ReleaseDC(NULL, screen);
    return 0;
  }
  if (strcmp(cmd, "holdkey") == 0 && argc >= 5) {
    const UINT modifiers = (UINT)wcstoul(argv[2], NULL, 0), vk = (UINT)wcstoul(argv[3], NULL, 0);
    const DWORD ms = (DWORD)wcstoul(argv[4], NULL, 0), start = GetTickCount();
    MSG msg;
    if (!RegisterHotKey(NULL, 1, modifiers, vk)) {
      printf("refused %lu\n", GetLastError());
      return 1;
    }
    printf("held\n");
    fflush(stdout);
    while (GetTickCount() - start < ms) {
      if (MsgWaitForMultipleObjects(0, NULL, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) continue;
      while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_HOTKEY) {
          printf("pressed\n");
          fflush(stdout);
        }
      }
    }
    return 0;
  }
  fprintf(stderr, "usage: peer_probe find|count|tree|controls|iconic|top|tray|foreground|workarea|treeitems|metrics|acp|"
                  "holdkey|balloon|settingchange ...\n");
  return 2;
}
