#pragma once

#include <string>

namespace veldor {

// The login form page shown in the game tab at start-up: eight lines, each ending in CR LF (Windows-1251).
// The login and password are quoted and escaped, so that whatever they hold the form posts them unchanged.
std::string LoginFormPage(const std::string& gameServer, const std::string& login, const std::string& password);

} // namespace veldor
