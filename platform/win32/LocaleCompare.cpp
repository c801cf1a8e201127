#include <windows.h>

#include <functional>
#include <vector>

#include "platform/Locale.h"

namespace platform {

int CompareTextIgnoringCase(const std::string& a, const std::string& b) {
  const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                    b.data(), static_cast<int>(b.size()));
  return result == 0 ? 0 : result - CSTR_EQUAL;
}

// LCMapStringA sort keys order exactly as CompareStringA with the same flags.
void AppendCaseInsensitiveKey(const char* text, std::size_t size, std::string* key) {
  if (size == 0) return;
  const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int length = static_cast<int>(size);
  char small[256];
  int written = LCMapStringA(LOCALE_USER_DEFAULT, flags, text, length, small, sizeof small);
  if (written > 0) {
    key->append(small, static_cast<std::size_t>(written));
    return;
  }
  written = LCMapStringA(LOCALE_USER_DEFAULT, flags, text, length, nullptr, 0);
  if (written <= 0) return;
  std::vector<char> large(static_cast<std::size_t>(written));
  written = LCMapStringA(LOCALE_USER_DEFAULT, flags, text, length, large.data(), written);
  if (written > 0) key->append(large.data(), static_cast<std::size_t>(written));
}

std::size_t CaseInsensitiveHash(const char* text, std::size_t size) {
  std::string key;
  AppendCaseInsensitiveKey(text, size, &key);
  return std::hash<std::string>()(key);
}

bool EqualIgnoringCase(const char* a, std::size_t aSize, const char* b, std::size_t bSize) {
  if (aSize == 0 || bSize == 0) return aSize == bSize;
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, static_cast<int>(aSize), b,
                        static_cast<int>(bSize)) == CSTR_EQUAL;
}

std::string CaseInsensitiveKey(const std::string& text) {
  std::string key;
  AppendCaseInsensitiveKey(text.data(), text.size(), &key);
  return key;
}

}  // namespace platform
