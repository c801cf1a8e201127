#pragma once
#include <cstdint>
#include <functional>

#include "platform/Types.h"

namespace platform {

// A top-level window that is never shown: it exists so that the shell (tray
// callbacks, "TaskbarCreated" broadcasts) has a window to talk to. A handler
// that returns false leaves the message to the default handling.
class HiddenWindow {
 public:
  using Handler = std::function<bool(std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam, std::intptr_t* result)>;
  explicit HiddenWindow(Handler handler);
  ~HiddenWindow();
  HiddenWindow(const HiddenWindow&) = delete;
  HiddenWindow& operator=(const HiddenWindow&) = delete;

  WindowHandle Handle() const { return handle_; }

 private:
  WindowHandle handle_ = 0;
  Handler handler_;

 public:
  // For the implementations' window procedures.
  bool Dispatch(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                std::intptr_t* result);
};

}  // namespace platform
