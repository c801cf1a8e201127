#pragma once
#include <string>

namespace platform {

// Starts a program from a UTF-8 command line and waits until it waits for
// input (as WinExec does). The answer is WinExec's: above 31 once started,
// else 2 (no such file), 3 (no such path) or 11 (anything else).
unsigned StartProgram(const std::string& commandLine, int showCommand);

}  // namespace platform
