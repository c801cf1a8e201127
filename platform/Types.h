#pragma once
#include <cstdint>

namespace platform {

// A window as the system names it; 0 is "no window".
using WindowHandle = std::uintptr_t;

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

}  // namespace platform
