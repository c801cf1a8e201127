#pragma once
#include <string>

// A text of the library as the user reads it. The library joins its fixed
// texts (the program's own code page) to names and paths (the system's) in
// one string of bytes; on a system whose code page is not the program's,
// each part must be converted by its own rule, so the fixed texts the library
// may use are found in it again. Anything else is read as the system's text.
std::u16string LibraryTextFace(const std::string& text);
