#pragma once
// Shared by the message-box implementations: the handler that answers boxes
// for an unattended program, or an empty one.
#include <functional>
#include <string>

namespace platform::detail {

const std::function<int(const std::string& text, const std::string& caption)>& MessageBoxRedirect();

}  // namespace platform::detail
