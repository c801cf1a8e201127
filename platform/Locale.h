#pragma once
#include <string>

namespace platform {

// The double-byte lead-byte test of the system code page (932: 0x81-0x9F,
// 0xE0-0xFC).
bool IsLeadByte(unsigned char byte);

}  // namespace platform
