#pragma once
#include <cstdio>
#include <string>

namespace platform {

// Writes UTF-8 text to stdout or stderr: on a console in UTF-16, so every
// name shows exactly; redirected, in the system code page as a file or a
// pipe has always had it (a character the code page lacks becomes its
// default character).
void WriteConsoleText(std::FILE* stream, const std::string& text);

}  // namespace platform
