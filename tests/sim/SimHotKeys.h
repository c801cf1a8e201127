#pragma once
// Test controls of the simulated system-wide keys behind platform/HotKeys.h.
#include <utility>
#include <vector>

#include "platform/HotKeys.h"

namespace sim {

// Forgets every key held and every watch. sim::Reset calls it.
void ResetHotKeys();
// Another program takes the key (claims of it fail) or lets it go.
void HoldKeyElsewhere(platform::HotKey key, bool held);
// The keys the program holds, as (id, key), by id.
std::vector<std::pair<int, platform::HotKey>> ProgramHotKeys();
// The key pressed: the window holding it hears kWmHotKey with its id. False
// when no window of the program holds it.
bool PressHotKey(platform::HotKey key);
// Whether some window of the program watches the session.
bool SessionWatched();
// The session changes (kSessionUnlock, ...): every watching window hears it.
void ChangeSession(std::uintptr_t event);

}  // namespace sim
