#pragma once
// Another program seen through its window: the caption the window system
// keeps for it, and texts in that program's memory whose address it told us.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace platform {

// Reads a text that ends in a NUL from the memory of the program that owns
// `window` (OpenProcess with PROCESS_VM_READ on GetWindowThreadProcessId,
// then ReadProcessMemory): at most `maxUnits` units, fewer when the NUL comes
// first. False when the program cannot be opened or nothing can be read at
// the address. The program may move its texts at any time: ask it for the
// address again before every read.
bool ReadWideTextOf(WindowHandle window, std::uintptr_t address, std::size_t maxUnits, std::u16string* text);
// The same for a text of the system code page.
bool ReadAnsiTextOf(WindowHandle window, std::uintptr_t address, std::size_t maxBytes, std::string* text);

// GetWindowTextW. For another program's window no message is sent, so a
// program that does not answer cannot hold us up.
std::u16string WindowCaption(WindowHandle window);

}  // namespace platform
