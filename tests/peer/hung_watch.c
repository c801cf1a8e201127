/* hung_watch: watches a window of another program for Windows' "not responding"
 * verdict while that program works.
 *   hung_watch <class|-> <title|-> <wait_ms> <max_ms>
 * Waits up to wait_ms for the top-level window to be shown, then asks IsHungAppWindow about it
 * every 100 ms until its one push button is enabled (the work is done), the window
 * is gone, or max_ms have passed. Only calls that send the window no message are
 * made, so a hung program cannot hang the watcher.
 * Prints: samples <n> hung <h> done <0|1>. Exit code 0 when it was never hung and
 * the work ended, 1 otherwise, 2 when the window never appeared. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

typedef BOOL(WINAPI* IsHungFn)(HWND);

static BOOL CALLBACK find_button(HWND w, LPARAM lp) {
  char cls[64] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (_stricmp(cls, "Button") == 0) {
    *(HWND*)lp = w;
    return FALSE;
  }
  return TRUE;
}

int main(int argc, char** argv) {
  const char* cls;
  const char* title;
  DWORD wait_ms, max_ms, start;
  HWND w = NULL, button = NULL;
  IsHungFn is_hung;
  int samples = 0, hung = 0, done = 0;
  if (argc != 5) {
    fprintf(stderr, "usage: hung_watch <class|-> <title|-> <wait_ms> <max_ms>\n");
    return 2;
  }
  cls = strcmp(argv[1], "-") == 0 ? NULL : argv[1];
  title = strcmp(argv[2], "-") == 0 ? NULL : argv[2];
  wait_ms = (DWORD)strtoul(argv[3], NULL, 10);
  max_ms = (DWORD)strtoul(argv[4], NULL, 10);
  is_hung = (IsHungFn)GetProcAddress(GetModuleHandleA("user32.dll"), "IsHungAppWindow");
  if (!is_hung) {
    fprintf(stderr, "no IsHungAppWindow\n");
    return 2;
  }
  start = GetTickCount();
  /* Visible: the dialog shows itself only once it is built (its OK disabled). */
  while ((w = FindWindowA(cls, title)) == NULL || !IsWindowVisible(w)) {
    if (GetTickCount() - start > wait_ms) {
      printf("no window\n");
      return 2;
    }
    Sleep(20);
  }
  EnumChildWindows(w, find_button, (LPARAM)&button);
  start = GetTickCount();
  while (IsWindow(w) && GetTickCount() - start <= max_ms) {
    ++samples;
    if (is_hung(w)) ++hung;
    if (button && IsWindowEnabled(button)) {
      done = 1;
      break;
    }
    Sleep(100);
  }
  printf("samples %d hung %d done %d\n", samples, hung, done);
  fflush(stdout);
  return hung == 0 && done ? 0 : 1;
}
