#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// Writes UTF-8 text to stdout or stderr: on a console in UTF-16, so every
// name shows exactly; redirected, in the system code page as a file or a
// pipe has always had it (a character the code page lacks becomes its
// default character).
void WriteConsoleText(std::FILE* stream, const std::string& text);

// The program's arguments in UTF-8, the program's name first. On Windows
// they are taken from the UTF-16 command line: argv holds them in the system
// code page, where a folder named in another script has already become "?".
std::vector<std::string> CommandLineArguments(int argc, char** argv);

}  // namespace platform
