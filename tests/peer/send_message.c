/* peer_send: sends one window message to the first top-level window of a class and
 * prints the answer, so shell tests can act as Kelvane does.
 *   peer_send <class> <msg> <wParam> <lParam>
 * A class written as #<hex> names a window by its handle instead (a child
 * control, as peer_probe tree prints it).
 * <msg> is a number (decimal or 0x hex) or one of WM_COMMAND, WM_USER, WM_KEYDOWN,
 * WM_KEYUP, WM_CLOSE. Prints the SendMessage answer in decimal; exit code 1 when no
 * window of that class exists, 2 on bad arguments.
 * With "post" as a fifth argument the message is posted and 0 printed. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int parse_number(const char* s, long* out) {
  char* end = NULL;
  long v = strtol(s, &end, 0);
  if (end == s || *end != '\0') return 0;
  *out = v;
  return 1;
}

static int parse_message(const char* s, UINT* out) {
  static const struct { const char* name; UINT msg; } names[] = {
      {"WM_COMMAND", WM_COMMAND}, {"WM_USER", WM_USER}, {"WM_KEYDOWN", WM_KEYDOWN},
      {"WM_KEYUP", WM_KEYUP},     {"WM_CLOSE", WM_CLOSE}};
  long v;
  size_t i;
  for (i = 0; i < sizeof names / sizeof names[0]; ++i) {
    if (_stricmp(s, names[i].name) == 0) {
      *out = names[i].msg;
      return 1;
    }
  }
  if (!parse_number(s, &v)) return 0;
  *out = (UINT)v;
  return 1;
}

int main(int argc, char** argv) {
  UINT msg;
  long wparam, lparam;
  HWND wnd;
  if ((argc != 5 && argc != 6) || !parse_message(argv[2], &msg) || !parse_number(argv[3], &wparam) ||
      !parse_number(argv[4], &lparam) || (argc == 6 && strcmp(argv[5], "post") != 0)) {
    fprintf(stderr, "usage: peer_send <class> <msg> <wParam> <lParam> [post]\n");
    return 2;
  }
  wnd = argv[1][0] == '#' ? (HWND)(UINT_PTR)strtoul(argv[1] + 1, NULL, 16) : FindWindowA(argv[1], NULL);
  if (wnd != NULL && !IsWindow(wnd)) wnd = NULL;
  if (wnd == NULL) {
    fprintf(stderr, "peer_send: no window of class %s\n", argv[1]);
    return 1;
  }
  if (argc == 6) {
    PostMessageA(wnd, msg, (WPARAM)wparam, (LPARAM)lparam);
    printf("0\n");
  } else {
    LRESULT answer = SendMessageA(wnd, msg, (WPARAM)wparam, (LPARAM)lparam);
    printf("%ld\n", (long)answer);
  }
  fflush(stdout);
  return 0;
}
