// The system-wide keys of platform/HotKeys.h, simulated: one table of held
// keys for the whole desktop, as the system keeps it.
#include "tests/sim/SimHotKeys.h"

#include <algorithm>
#include <map>
#include <set>

#include "tests/sim/SimDesktop.h"

namespace {

struct Claim {
  platform::WindowHandle window;
  int id;
  platform::HotKey key;
};

struct Keys {
  std::vector<Claim> program;
  std::vector<platform::HotKey> elsewhere;
  std::set<platform::WindowHandle> watching;
};

Keys& K() {
  static Keys keys;
  return keys;
}

bool Taken(platform::HotKey key) {
  const Keys& k = K();
  return std::find(k.elsewhere.begin(), k.elsewhere.end(), key) != k.elsewhere.end() ||
         std::any_of(k.program.begin(), k.program.end(), [&](const Claim& c) { return c.key == key; });
}

}  // namespace

namespace platform {

bool ClaimHotKey(WindowHandle window, int id, HotKey key) {
  if (Taken(key) || key.Key == 0) return false;
  K().program.push_back({window, id, key});
  return true;
}

void ReleaseHotKey(WindowHandle window, int id) {
  auto& program = K().program;
  program.erase(std::remove_if(program.begin(), program.end(),
                               [&](const Claim& c) { return c.window == window && c.id == id; }),
                program.end());
}

void WatchSession(WindowHandle window, bool watch) {
  if (watch) {
    K().watching.insert(window);
  } else {
    K().watching.erase(window);
  }
}

}  // namespace platform

namespace sim {

void ResetHotKeys() { K() = Keys(); }

void HoldKeyElsewhere(platform::HotKey key, bool held) {
  auto& elsewhere = K().elsewhere;
  elsewhere.erase(std::remove(elsewhere.begin(), elsewhere.end(), key), elsewhere.end());
  if (held) elsewhere.push_back(key);
}

std::vector<std::pair<int, platform::HotKey>> ProgramHotKeys() {
  std::vector<std::pair<int, platform::HotKey>> held;
  for (const Claim& c : K().program) held.emplace_back(c.id, c.key);
  std::sort(held.begin(), held.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return held;
}

bool PressHotKey(platform::HotKey key) {
  for (const Claim& c : K().program) {
    if (c.key != key) continue;
    DeliverToProgramWindow(c.window, platform::kWmHotKey, static_cast<std::uintptr_t>(c.id), 0);
    return true;
  }
  return false;
}

bool SessionWatched() { return !K().watching.empty(); }

void ChangeSession(std::uintptr_t event) {
  const std::set<platform::WindowHandle> watching = K().watching;
  for (platform::WindowHandle window : watching) {
    DeliverToProgramWindow(window, platform::kWmSessionChange, event, 0);
  }
}

}  // namespace sim
