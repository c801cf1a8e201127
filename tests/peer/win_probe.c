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
 *   peer_probe metrics                       <dpi> <menu bar height> of the system
 * Window lines: <hwnd> <left> <top> <right> <bottom> <visible> "<class>" "<title>"
 * Exit code 1 when the window asked for does not exist. */
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char* arg_or_null(int argc, char** argv, int i) {
  if (i >= argc || strcmp(argv[i], "-") == 0) return NULL;
  return argv[i];
}

static void print_window(HWND w, int depth) {
  char cls[256] = "", title[512] = "";
  RECT r = {0, 0, 0, 0};
  int i;
  GetClassNameA(w, cls, sizeof cls);
  GetWindowTextA(w, title, sizeof title);
  GetWindowRect(w, &r);
  for (i = 0; i < depth; ++i) printf("  ");
  printf("%p %ld %ld %ld %ld %d \"%s\" \"%s\"\n", (void*)w, r.left, r.top, r.right, r.bottom,
         IsWindowVisible(w) ? 1 : 0, cls, title);
}

static void print_tree(HWND w, int depth) {
  HWND c;
  print_window(w, depth);
  for (c = GetWindow(w, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) print_tree(c, depth + 1);
}

static HWND nth_tree(HWND w, int* n) {
  HWND c, found;
  char cls[64] = "";
  for (c = GetWindow(w, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) {
    GetClassNameA(c, cls, sizeof cls);
    if (strcmp(cls, "SysTreeView32") == 0 && (*n)-- == 0) return c;
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
    TVITEMA tv;
    char text[1024] = "";
    RECT ir;
    SIZE_T done;
    POINT a, b;
    memset(&tv, 0, sizeof tv);
    tv.mask = TVIF_TEXT | TVIF_STATE;
    tv.hItem = item;
    tv.stateMask = TVIS_SELECTED;
    tv.pszText = remote + 512;
    tv.cchTextMax = 1024;
    WriteProcessMemory(process, remote, &tv, sizeof tv, &done);
    SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)remote);
    ReadProcessMemory(process, remote, &tv, sizeof tv, &done);
    ReadProcessMemory(process, remote + 512, text, sizeof text - 1, &done);
    memcpy(&ir, &item, sizeof item);
    WriteProcessMemory(process, remote + 2048, &ir, sizeof ir, &done);
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, (LPARAM)(remote + 2048));
    ReadProcessMemory(process, remote + 2048, &ir, sizeof ir, &done);
    a.x = ir.left; a.y = ir.top; b.x = ir.right; b.y = ir.bottom;
    ClientToScreen(tree, &a);
    ClientToScreen(tree, &b);
    printf("%ld %ld %ld %ld %d %s\n", a.x, a.y, b.x, b.y, (tv.state & TVIS_SELECTED) ? 1 : 0, text);
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return 0;
}

static void print_controls(HWND w) {
  HWND c;
  for (c = GetWindow(w, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[256] = "", text[1024] = "", checked[4] = "-";
    DWORD_PTR done = 0;
    GetClassNameA(c, cls, sizeof cls);
    /* Another process's window: its text and state come back through messages. */
    SendMessageTimeoutA(c, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &done);
    if (_stricmp(cls, "Button") == 0 &&
        SendMessageTimeoutA(c, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &done)) {
      sprintf(checked, "%d", (int)done);
    }
    printf("%p %d %s \"%s\" \"%s\"\n", (void*)c, IsWindowEnabled(c) ? 1 : 0, checked, cls, text);
    print_controls(c);
  }
}

struct match {
  const char* cls;
  const char* title;
  int count;
};

static BOOL CALLBACK count_proc(HWND w, LPARAM lp) {
  struct match* m = (struct match*)lp;
  char cls[256] = "", title[512] = "";
  GetClassNameA(w, cls, sizeof cls);
  GetWindowTextA(w, title, sizeof title);
  if ((m->cls == NULL || strcmp(cls, m->cls) == 0) && (m->title == NULL || strcmp(title, m->title) == 0)) ++m->count;
  return TRUE;
}

static BOOL CALLBACK top_proc(HWND w, LPARAM lp) {
  (void)lp;
  print_window(w, 0);
  return TRUE;
}

int main(int argc, char** argv) {
  const char* cmd = argc > 1 ? argv[1] : "";
  /* Every answer in the screen's own pixels, whatever the system's DPI. */
  SetProcessDPIAware();
  if (strcmp(cmd, "find") == 0 && argc >= 3) {
    const char* cls = arg_or_null(argc, argv, 2);
    const char* title = arg_or_null(argc, argv, 3);
    DWORD wait_ms = argc > 4 ? (DWORD)atol(argv[4]) : 0;
    DWORD start = GetTickCount();
    HWND w;
    RECT r;
    POINT origin = {0, 0};
    while ((w = FindWindowA(cls, title)) == NULL && GetTickCount() - start < wait_ms) Sleep(100);
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
    HWND w = FindWindowA(arg_or_null(argc, argv, 2), arg_or_null(argc, argv, 3));
    if (w == NULL) return 1;
    print_tree(w, 0);
    return 0;
  }
  if (strcmp(cmd, "iconic") == 0 && argc >= 3) {
    HWND w = FindWindowA(arg_or_null(argc, argv, 2), arg_or_null(argc, argv, 3));
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
    HWND w = FindWindowA("Shell_TrayWnd", NULL);
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
    HWND w = FindWindowA(arg_or_null(argc, argv, 2), arg_or_null(argc, argv, 3));
    if (w == NULL) return 1;
    print_controls(w);
    return 0;
  }
  if (strcmp(cmd, "treeitems") == 0 && argc >= 5) {
    HWND w = FindWindowA(arg_or_null(argc, argv, 2), arg_or_null(argc, argv, 3));
    int n = atoi(argv[4]);
    HWND tree = w ? nth_tree(w, &n) : NULL;
    if (tree == NULL) return 1;
    return print_tree_items(tree);
  }
  if (strcmp(cmd, "metrics") == 0) {
    HDC screen = GetDC(NULL);
    printf("%d %d\n", GetDeviceCaps(screen, LOGPIXELSY), GetSystemMetrics(SM_CYMENU));
    ReleaseDC(NULL, screen);
    return 0;
  }
  fprintf(stderr, "usage: peer_probe find|count|tree|controls|iconic|top|tray|foreground|workarea|treeitems|metrics ...\n");
  return 2;
}
