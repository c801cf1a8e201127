#pragma once
#include <functional>
#include <memory>

namespace platform {

// A timer component: fires its handler on the UI thread every interval while
// enabled. Re-enabling restarts the period.
class Timer {
 public:
  explicit Timer(unsigned intervalMs = 1000);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void SetOnTimer(std::function<void()> handler);
  void SetEnabled(bool enabled);
  bool Enabled() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// Blocks this thread for a moment (Sleep): for a short retry, never for
// anything the user waits on.
void Wait(unsigned milliseconds);

}  // namespace platform
