#include <windows.h>

#include <vector>

#include "platform/Locale.h"

namespace platform {

int CompareTextIgnoringCase(const std::string& a, const std::string& b) {
  const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                    b.data(), static_cast<int>(b.size()));
  return result == 0 ? 0 : result - CSTR_EQUAL;
}

// LCMapStringA sort keys order exactly as CompareStringA with the same flags.
std::string CaseInsensitiveKey(const std::string& text) {
  if (text.empty()) return std::string();
  const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int length = static_cast<int>(text.size());
  char small[256];
  int size = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.data(), length, small, sizeof small);
  if (size > 0) return std::string(small, static_cast<std::size_t>(size));
  size = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.data(), length, nullptr, 0);
  if (size <= 0) return std::string();
  std::vector<char> key(static_cast<std::size_t>(size));
  size = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.data(), length, key.data(), size);
  return std::string(key.data(), static_cast<std::size_t>(size > 0 ? size : 0));
}

}  // namespace platform
