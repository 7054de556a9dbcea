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

// The tag that starts at `at` ('<'), in lower case.
std::string tagAt(const std::string& text, std::size_t at)
{
    const std::size_t end = text.find('>', at);
    std::string tag = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    for (char& c : tag)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return tag;
}

bool hasAttribute(const std::string& tag, const std::string& name, const std::string& value)
{
    for (const char* quote : {"\"", "'", ""}) {
        std::string needle = name;
        needle += '=';
        needle += quote;
        needle += value;
        if (tag.find(needle) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace

bool ShowsLoginForm(const std::vector<std::string>& lines)
{
    // Most pages never name the login page: they are passed over at the cost of a search.
    bool named = false;
    for (const std::string& line : lines)
        named = named || line.find("login.php") != std::string::npos || line.find("LOGIN.PHP") != std::string::npos;
    if (!named)
        return false;
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    bool form = false;
    bool password = false;
    for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
        const std::string tag = tagAt(text, at);
        if (tag.rfind("<form", 0) == 0 && tag.find("login.php") != std::string::npos)
            form = true;
        else if (form && tag.rfind("<input", 0) == 0 && hasAttribute(tag, "name", "password"))
            password = true;
    }
    return form && password;
}

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
