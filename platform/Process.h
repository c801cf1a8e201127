#pragma once
#include <string>

namespace platform {

// WinExec: starts a program from a command line; the answer is the system's.
unsigned StartProgram(const std::string& commandLine, int showCommand);

}  // namespace platform
