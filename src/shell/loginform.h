#pragma once

#include <string>

namespace veldor {

// The login form page shown in the game tab at start-up: eight lines, each ending in CR LF (Windows-1251).
// The stored login and password go in as they are, like the original program wrote them.
std::string LoginFormPage(const std::string& gameServer, const std::string& login, const std::string& password);

} // namespace veldor
