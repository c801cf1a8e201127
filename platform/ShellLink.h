#pragma once
// The current user's registry and the shell's links: what the Startup
// shortcut is made of.
#include <cstdint>
#include <string>

namespace platform {

// Opens HKEY_CURRENT_USER\<key> (creating it, with full access, when it is
// missing), then its subkey <subKey>, and reads the string value <valueName>.
// Empty when the subkey or the value is missing or is not a string.
std::string ReadCurrentUserString(const std::string& key, const std::string& subKey,
                                  const std::string& valueName);

// HKEY_CURRENT_USER\<keyPath>, value <valueName> as a DWORD, read without
// creating anything. False when the key or the value is missing or is not a
// DWORD.
bool ReadCurrentUserNumber(const std::string& keyPath, const std::string& valueName, std::uint32_t* value);

// The shell's own answer for the current user's Startup folder
// (SHGetFolderPathA, CSIDL_STARTUP), without creating it. False when the
// shell has none.
bool QueryShellStartupFolder(std::string* folder);

// Writes a shell link at linkFile (replacing any file of that name) that
// starts target in workingFolder. Raises Error when the link object or one
// of its interfaces cannot be had; whether the file was written is not
// reported: the caller looks for it.
void SaveShellLink(const std::string& linkFile, const std::string& target,
                   const std::string& workingFolder);

}  // namespace platform
