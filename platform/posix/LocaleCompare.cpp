// The simulated system's locale comparison: UTF-8 text with letter case
// folded (platform/posix/CaseFold.h), then compared byte for byte, which is
// the order of the code points. A total order whose equality is exactly
// "same text once case is folded".
#include <cstring>
#include <functional>

#include "platform/Locale.h"
#include "platform/posix/CaseFold.h"

namespace platform {

void AppendCaseInsensitiveKey(const char* text, std::size_t size, std::string* key) {
  sim::AppendFolded(text, size, sim::LowerLetter, key);
}

// The tests' stand-in needs no speed: hash and equality go through the key.
std::size_t CaseInsensitiveHash(const char* text, std::size_t size) {
  std::string key;
  AppendCaseInsensitiveKey(text, size, &key);
  return std::hash<std::string>()(key);
}

bool EqualIgnoringCase(const char* a, std::size_t aSize, const char* b, std::size_t bSize) {
  std::string keyA, keyB;
  AppendCaseInsensitiveKey(a, aSize, &keyA);
  AppendCaseInsensitiveKey(b, bSize, &keyB);
  return keyA == keyB;
}

std::string CaseInsensitiveKey(const std::string& text) {
  std::string key;
  AppendCaseInsensitiveKey(text.data(), text.size(), &key);
  return key;
}

int CompareTextIgnoringCase(const std::string& a, const std::string& b) {
  const std::string ka = CaseInsensitiveKey(a);
  const std::string kb = CaseInsensitiveKey(b);
  const int c = std::memcmp(ka.data(), kb.data(), ka.size() < kb.size() ? ka.size() : kb.size());
  if (c != 0) return c < 0 ? -1 : 1;
  return ka.size() < kb.size() ? -1 : ka.size() > kb.size() ? 1 : 0;
}

}  // namespace platform
