#pragma once
// The one place each test build says where the file seam's contract runs:
// natively a folder of the mapped stand-in, on Windows a real temporary one.
#include <string>

namespace contract {

// A new empty folder as a Windows path ending in "\".
std::string NewFolder(const std::string& name);
void RemoveFolder(const std::string& folder);
// Makes a file or a folder directly, past the seam under test.
void PutFile(const std::string& path, const std::string& bytes);
void PutFolder(const std::string& path);

}  // namespace contract
