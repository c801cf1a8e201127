#include "app/MyFunctions.h"

#include "platform/Messaging.h"

bool GetWorkArea(platform::Rect* rect) { return platform::QueryWorkArea(rect); }
