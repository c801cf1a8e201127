#include "platform/Locale.h"

namespace platform {

// The simulated system runs code page 932.
bool IsSystemLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

unsigned SystemCodePage() { return 932; }

}  // namespace platform
