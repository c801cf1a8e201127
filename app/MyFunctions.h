#pragma once
#include <string>

#include "platform/Types.h"

// The desktop work area: the screen minus the taskbar.
bool GetWorkArea(platform::Rect* rect);
