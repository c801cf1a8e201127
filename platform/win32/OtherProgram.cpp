#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/OtherProgram.h"

namespace platform {

namespace {

HWND H(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// Read in pieces that stay within one page each: a short text may lie just
// before a page the program cannot be read at, and a read that touches it
// fails whole.
template <typename Char>
bool ReadTextOf(WindowHandle window, std::uintptr_t address, std::size_t maxUnits, std::basic_string<Char>* text) {
  DWORD processId = 0;
  GetWindowThreadProcessId(H(window), &processId);
  if (processId == 0 || address == 0) return false;
  HANDLE process = OpenProcess(PROCESS_VM_READ, FALSE, processId);
  if (!process) return false;
  constexpr std::uintptr_t kPage = 4096;
  text->clear();
  bool readAny = false;
  std::vector<Char> piece;
  for (std::uintptr_t at = address; text->size() < maxUnits;) {
    std::size_t units = std::min<std::size_t>((kPage - at % kPage) / sizeof(Char), maxUnits - text->size());
    if (units == 0) units = 1;  // a unit that straddles two pages
    piece.resize(units);
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<LPCVOID>(at), piece.data(), units * sizeof(Char), &got) ||
        got < sizeof(Char)) {
      break;
    }
    readAny = true;
    const auto end = piece.begin() + static_cast<std::ptrdiff_t>(got / sizeof(Char));
    const auto nul = std::find(piece.begin(), end, Char(0));
    text->append(piece.begin(), nul);
    if (nul != end) break;
    at += got;
  }
  CloseHandle(process);
  return readAny;
}

}  // namespace

bool ReadWideTextOf(WindowHandle window, std::uintptr_t address, std::size_t maxUnits, std::u16string* text) {
  return ReadTextOf(window, address, maxUnits, text);
}

bool ReadAnsiTextOf(WindowHandle window, std::uintptr_t address, std::size_t maxBytes, std::string* text) {
  return ReadTextOf(window, address, maxBytes, text);
}

std::u16string WindowCaption(WindowHandle window) {
  WCHAR caption[1024] = {};
  const int n = GetWindowTextW(H(window), caption, 1024);
  return std::u16string(caption, caption + std::max(n, 0));
}

}  // namespace platform
