#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace veldor {

// The login form page shown in the game tab at start-up: eight lines, each ending in CR LF (Windows-1251).
// The login and password are quoted and escaped, so that whatever they hold the form posts them unchanged.
std::string LoginFormPage(const std::string& gameServer, const std::string& login, const std::string& password);

// No game takes a login or password longer than this; a form with one would not even show.
constexpr std::size_t kMaxCredential = 255;

// What the game tab shows at start-up for the stored credentials.
struct LoginForm
{
    std::string page;
    bool submit = false;  // automatic login is on and a password is stored: the form is sent at once
    bool tooLong = false; // the credentials are too long: the form comes empty and is not sent
};
LoginForm LoginFormFor(const std::string& gameServer, const std::string& login, const std::string& password,
                       bool autoLogin);

// Whether a page's markup holds the game's login form (a form posted to "login.php" with a password field): the
// game frame shows it when the session has ended.
bool ShowsLoginForm(const std::vector<std::string>& lines);

} // namespace veldor
