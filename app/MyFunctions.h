#pragma once
#include <string>

#include "platform/Types.h"

// Replaces the eleven single-byte characters that file names cannot hold (and
// the comma and semicolon) by their full-width Shift-JIS forms, leaving
// double-byte characters whole.
std::string MakeFileNameSafe(const std::string& text);

// The desktop work area: the screen minus the taskbar.
bool GetWorkArea(platform::Rect* rect);
