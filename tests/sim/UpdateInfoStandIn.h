#pragma once
// The native stand-in for the windows an update drives: it keeps the state a
// person would see (counters, bar, texts, OK) and lists, in order, what was
// done to the dialog and the playlist window.
#include <string>
#include <vector>

#include "ui/UpdateInfoView.h"

namespace updateinfostandin {

struct Record {
  // Each dialog ever created, in order (the last one is the newest).
  struct Dialog {
    platform::WindowHandle handle = 0;
    std::string counters[4] = {"0", "0", "0", "0"};
    std::string result = "プレイリストを更新しています。";
    int maximum = 100;
    int position = 0;
    bool okEnabled = false;
    bool closed = false;
  };
  std::vector<Dialog> dialogs;
  // "create", "repaint", "frame repaint", "frame enable", "frame hide",
  // "clear trees", "keep alive", "options browse", "close", "ok enabled",
  // "result <text>".
  std::vector<std::string> events;

  Dialog& Last() { return dialogs.back(); }
  int Count(const std::string& event) const {
    int n = 0;
    for (const std::string& e : events) n += e == event;
    return n;
  }
};

Record& Calls();
void Reset();
// The person presses the dialog's OK: the playlist window enabled, the
// dialog closed. False when there is no dialog or its OK is disabled.
bool PressOK();

}  // namespace updateinfostandin
