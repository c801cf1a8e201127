#pragma once

namespace platform {

// The system's default beep.
void DefaultBeep();

}  // namespace platform
