#pragma once
// Test controls of the simulated registry and shell links behind
// platform/ShellLink.h. A link is a small text file in the simulated file
// system, so listing and deleting it go through the ordinary file calls.
#include <cstdint>
#include <optional>
#include <string>

namespace sim {

// Forgets every registry value, the shell's Startup folder and any planned
// failure. sim::Reset calls it.
void ResetShell();

// HKEY_CURRENT_USER\<keyPath> value <name>; keyPath holds the subkey too
// ("Software\...\Explorer\Shell Folders"). Key names ignore letter case.
void SetUserRegistryString(const std::string& keyPath, const std::string& name, const std::string& value);
void SetUserRegistryNumber(const std::string& keyPath, const std::string& name, std::uint32_t value);
void RemoveUserRegistryKey(const std::string& keyPath);
bool UserRegistryKeyExists(const std::string& keyPath);

// What QueryShellStartupFolder answers; none by default.
void SetShellStartupFolder(std::optional<std::string> folder);

// Makes the creation of link objects fail, as a broken COM registration would.
void FailShellLinks(bool fail);

struct ShellLinkContents {
  std::string target;
  std::string workingFolder;
};
// Reads back a link written by SaveShellLink; none when the file is not one.
std::optional<ShellLinkContents> ReadShellLink(const std::string& linkFile);

}  // namespace sim
