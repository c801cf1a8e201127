#include <windows.h>

#include "platform/Locale.h"

namespace platform {

bool IsSystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

unsigned SystemCodePage() { return GetACP(); }

}  // namespace platform
