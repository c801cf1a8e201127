#pragma once
// The playlist window of the native build: no window, only what the main
// object asked of it, in order, and the measures it holds.
#include <string>
#include <vector>

namespace framestandin {

struct Record {
  // "create", "show", "hide", "load <PlayListPath at that moment>"
  std::vector<std::string> events;
  bool visible = false;
};

Record& Calls();
void Reset();

}  // namespace framestandin
