#include "platform/common/MessageBoxRedirect.h"

#include "platform/Dialogs.h"

namespace platform {
namespace {
std::function<int(const std::string&, const std::string&)>& Handler() {
  static std::function<int(const std::string&, const std::string&)> handler;
  return handler;
}
}  // namespace

void RedirectMessageBoxes(std::function<int(const std::string& text, const std::string& caption)> handler) {
  Handler() = std::move(handler);
}

namespace detail {
const std::function<int(const std::string&, const std::string&)>& MessageBoxRedirect() { return Handler(); }
}  // namespace detail
}  // namespace platform
