// The registry and shell links of platform/ShellLink.h, simulated.
#include "tests/sim/SimShell.h"

#include <map>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/ShellLink.h"

namespace {

const char kLinkMagic[] = "[SimShellLink]\r\n";

std::string Fold(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

struct Shell {
  // Folded key path -> value name -> value.
  std::map<std::string, std::map<std::string, std::string>> keys;
  std::map<std::string, std::map<std::string, std::uint32_t>> numbers;
  std::optional<std::string> startupFolder;
  bool failLinks = false;
};

Shell& S() {
  static Shell shell;
  return shell;
}

}  // namespace

namespace platform {

std::string ReadCurrentUserString(const std::string& key, const std::string& subKey,
                                  const std::string& valueName) {
  S().keys[Fold(key)];  // created when missing, as with full access
  auto sub = S().keys.find(Fold(key + "\\" + subKey));
  if (sub == S().keys.end()) return std::string();
  auto value = sub->second.find(Fold(valueName));
  return value == sub->second.end() ? std::string() : value->second;
}

bool ReadCurrentUserNumber(const std::string& keyPath, const std::string& valueName, std::uint32_t* value) {
  auto key = S().numbers.find(Fold(keyPath));
  if (key == S().numbers.end()) return false;
  auto found = key->second.find(Fold(valueName));
  if (found == key->second.end()) return false;
  *value = found->second;
  return true;
}

bool QueryShellStartupFolder(std::string* folder) {
  if (!S().startupFolder || S().startupFolder->empty()) return false;
  *folder = *S().startupFolder;
  return true;
}

void SaveShellLink(const std::string& linkFile, const std::string& target, const std::string& workingFolder) {
  if (S().failLinks) throw Error("Class not registered");
  try {
    WriteFileSafely(linkFile, kLinkMagic + target + "\r\n" + workingFolder + "\r\n");
  } catch (const Error&) {
    // IPersistFile::Save's result is not looked at either.
  }
}

}  // namespace platform

namespace sim {

void ResetShell() { S() = Shell(); }

void SetUserRegistryString(const std::string& keyPath, const std::string& name, const std::string& value) {
  S().keys[Fold(keyPath)][Fold(name)] = value;
}

void SetUserRegistryNumber(const std::string& keyPath, const std::string& name, std::uint32_t value) {
  S().numbers[Fold(keyPath)][Fold(name)] = value;
}

void RemoveUserRegistryKey(const std::string& keyPath) {
  S().keys.erase(Fold(keyPath));
  S().numbers.erase(Fold(keyPath));
}

bool UserRegistryKeyExists(const std::string& keyPath) { return S().keys.count(Fold(keyPath)) != 0; }

void SetShellStartupFolder(std::optional<std::string> folder) { S().startupFolder = std::move(folder); }

void FailShellLinks(bool fail) { S().failLinks = fail; }

std::optional<ShellLinkContents> ReadShellLink(const std::string& linkFile) {
  std::string bytes;
  if (!platform::ReadWholeFile(linkFile, &bytes) || bytes.compare(0, sizeof(kLinkMagic) - 1, kLinkMagic) != 0) {
    return std::nullopt;
  }
  const std::size_t start = sizeof(kLinkMagic) - 1;
  const std::size_t split = bytes.find("\r\n", start);
  if (split == std::string::npos) return std::nullopt;
  const std::size_t end = bytes.find("\r\n", split + 2);
  if (end == std::string::npos) return std::nullopt;
  return ShellLinkContents{bytes.substr(start, split - start), bytes.substr(split + 2, end - split - 2)};
}

}  // namespace sim
