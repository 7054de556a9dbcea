#include "loginform.h"

#include "text/cp1251.h"
#include "text/htmltext.h"

namespace veldor {
namespace {

std::string quoted(const std::string& value)
{
    // Appended rather than "\"" + ...: GCC 12 at -O3 warns falsely (-Wrestrict) about the prepend.
    std::string out(1, '"');
    out += HtmlEscape(value);
    out += '"';
    return out;
}

} // namespace

std::string LoginFormPage(const std::string& gameServer, const std::string& login, const std::string& password)
{
    const std::string lines[] = {
        "<html><head></head><body><form method=\"post\" action=\"" + gameServer + "/login.php\">",
        "<table>",
        cp1251::fromUtf8(u8"<tbody><tr><td>Логин</td><td><input name=\"login\" size=\"16\" VALUE = ") + quoted(login) +
            "></td></tr>",
        cp1251::fromUtf8(u8"<tr><td>Пароль</td><td><input name=\"password\" size=\"16\" type=\"password\" VALUE = ") +
            quoted(password) + "></td></tr>",
        cp1251::fromUtf8(u8"<tr><td colspan=\"2\" align=\"right\"><input value=\"Войти\" type=\"submit\"></td></tr>"),
        "</tbody></table>",
        "</form>",
        "</body></html>",
    };
    std::string page;
    for (const auto& line : lines)
        page += line + "\r\n";
    return page;
}

LoginForm LoginFormFor(const std::string& gameServer, const std::string& login, const std::string& password,
                       bool autoLogin)
{
    LoginForm form;
    form.tooLong = login.size() > kMaxCredential || password.size() > kMaxCredential;
    form.page = form.tooLong ? LoginFormPage(gameServer, {}, {}) : LoginFormPage(gameServer, login, password);
    form.submit = !form.tooLong && autoLogin && !password.empty();
    return form;
}

} // namespace veldor
