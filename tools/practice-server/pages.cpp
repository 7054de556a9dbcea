#include "pages.h"

#include "text/htmltext.h"

#include <map>

namespace practice::pages {
namespace {

const char* kHead = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">";

std::string page(const std::string& title, const std::string& headExtra, const std::string& body)
{
    return std::string(kHead) + "<title>" + title + "</title>" + headExtra + "</head>\r\n<body>\r\n" + body +
           "\r\n</body></html>\r\n";
}

const char* kGameStyle =
    "<style>body{font-family:sans-serif;background:#efe6d0;margin:8px}"
    ".top{font-weight:bold;color:#5a3d1e}.msg{color:#a00;min-height:1.2em}"
    ".nav{display:grid;grid-template-columns:40px 40px 40px;grid-template-rows:40px 40px 40px;margin:8px 0}"
    ".nav div{display:flex;align-items:center;justify-content:center}"
    "#d1{grid-column:2;grid-row:1}#d3{grid-column:1;grid-row:2}#d5{grid-column:3;grid-row:2}"
    "#d7{grid-column:2;grid-row:3}.here{grid-column:2;grid-row:2;background:#c8b88a;border-radius:4px}"
    ".thing{margin:4px 0}.bottom{color:#777;font-size:small;margin-top:12px}img{vertical-align:middle}</style>";

// goTo(n): 1 west, 2 east, 3 north, 4 south; 5 down, 6 up. The server moves the player, then the frame reloads,
// or (rewriting) takes the new page's body into the document without loading, as many browser games do.
std::string gameScript(bool rewrite)
{
    return std::string("<script>function send(n){var r=new XMLHttpRequest();r.open('POST','/move.php',true);"
                       "r.setRequestHeader('Content-Type','application/x-www-form-urlencoded');") +
           (rewrite ? "r.onloadend=function(){var d=new DOMParser().parseFromString(r.responseText,'text/html');"
                      "if(d.body&&d.getElementById('title'))document.body.innerHTML=d.body.innerHTML;"
                      "else location.reload();};"
                    : "r.onloadend=function(){location.reload();};") +
           "r.send('dir='+n);}"
           "function goTo(n){send(n);}function goDown(){send(5);}function goUp(){send(6);}"
           "function oIm(id){var e=document.getElementById('mob');if(e)e.textContent='Монстр #'+id+': готов к бою.';}"
           "</script>";
}

std::string sideDiv(const Cell& cell, Side side)
{
    static const char* const ids[] = {"d1", "d7", "d3", "d5"};
    static const int moves[] = {3, 4, 1, 2};
    std::string div = std::string("<div id=\"") + ids[side] + "\" name=\"" + ids[side] + "\">";
    const int code = cell.side[side];
    if (code != 0) {
        const char* img = code == 1 ? arrowImage(side) : doorImage(code);
        div += "<a href=\"javascript:goTo(" + std::to_string(moves[side]) + ")\"><img src=\"/img/" + img +
               "\" width=\"32\" height=\"32\" border=\"0\"></a>";
    }
    return div + "</div>";
}

std::string chestName(const std::string& image)
{
    static const std::map<std::string, std::string> names = {
        {"unlock_2_s.gif", "Красный сундук"}, {"unlock_3_s.gif", "Зеленый сундук"},
        {"unlock_4_s.gif", "Синий сундук"},   {"unlock_5_s.gif", "Белый сундук"},
        {"unlock_10_s.gif", "Белый сундук"},  {"unlock_6_s.gif", "Железный сундук"},
        {"unlock_7_s.gif", "Золотой сундук"}, {"unlock_8_s.gif", "Старый сундук"},
    };
    const auto it = names.find(image);
    return it == names.end() ? "Сундук" : it->second;
}

} // namespace

std::string escape(const std::string& text)
{
    return veldor::HtmlEscape(text);
}

std::string loginForm(const std::string& notice)
{
    std::string body = "<div class=\"top\">Тирмора: лабиринт для практики</div>\r\n";
    if (!notice.empty())
        body += "<div class=\"msg\" style=\"color:#a00\">" + escape(notice) + "</div>\r\n";
    body += "<form method=\"post\" action=\"/login.php\"><table>"
            "<tr><td>Логин</td><td><input name=\"login\" size=\"16\"></td></tr>"
            "<tr><td>Пароль</td><td><input name=\"password\" size=\"16\" type=\"password\"></td></tr>"
            "<tr><td colspan=\"2\" align=\"right\"><input value=\"Войти\" type=\"submit\"></td></tr>"
            "</table></form>";
    return page("Вход в игру", "", body);
}

std::string frameset()
{
    return std::string(kHead) +
           "<title>Тирмора</title></head>\r\n"
           "<frameset rows=\"*,110,34\" border=\"1\">"
           "<frameset cols=\"*,190\"><frame name=\"no_combat\" src=\"/game.php\">"
           "<frame name=\"show_info\" src=\"/info.php\"></frameset>"
           "<frame name=\"chout\" src=\"/chout.php\"><frame name=\"chinp\" src=\"/chinp.php\" scrolling=\"no\">"
           "</frameset></html>\r\n";
}

std::string gameFrame(const Labyrinth& lab, const Player& player, const std::string& message, int padding, bool rewrite)
{
    const Position p = player.pos;
    const Cell& cell = lab.at(p.level, p.x, p.y);
    std::string body;
    body += "<div class=\"top\">Тирмора: лабиринт для практики</div>\r\n";
    body += "<div id=\"hru\" name=\"hru\">измотанность: " + std::to_string(player.fatigue) + "%</div>\r\n";
    body += "<div id=\"title\" name=\"title\"><b>L-" + std::to_string(p.level) + "(" + std::to_string(p.x) + "," +
            std::to_string(p.y) + ")</b> Подземелье</div>\r\n";
    body += "<div class=\"msg\">" + escape(message) + "</div>\r\n";
    body += "<div class=\"nav\">\r\n" + sideDiv(cell, North) + "\r\n" + sideDiv(cell, West) +
            "\r\n<div class=\"here\">&#9679;</div>\r\n" + sideDiv(cell, East) + "\r\n" + sideDiv(cell, South) +
            "\r\n</div>\r\n";
    switch (cell.object) {
    case 'L':
        body +=
            "<div class=\"thing\"><img src=\"/img/trap.gif\" width=\"32\" height=\"32\"> Под ногами ловушка!</div>\r\n";
        break;
    case 'F':
        body +=
            "<div class=\"thing\"><img src=\"/img/flag.jpg\" width=\"32\" height=\"32\"> Здесь стоит флаг.</div>\r\n";
        break;
    case 'd':
        body += "<div class=\"thing\"><a href=\"javascript:goDown()\"><img src=\"/img/go_d_s.gif\" width=\"32\" "
                "height=\"32\" border=\"0\"> Спуститься ниже</a></div>\r\n";
        break;
    case 'u':
        body += "<div class=\"thing\"><a href=\"javascript:goUp()\"><img src=\"/img/go_u_s.gif\" width=\"32\" "
                "height=\"32\" border=\"0\"> Подняться выше</a></div>\r\n";
        break;
    case 'E':
        body += "<div class=\"thing\"><img src=\"/img/go_out_s.gif\" width=\"32\" height=\"32\"> Выход из "
                "лабиринта</div>\r\n";
        break;
    case 'M':
        body += "<div class=\"thing\">Рядом бродит <a href=\"#\" onclick=\"javascript: oIm(" +
                std::to_string(p.x * 1000 + p.y) +
                ");return false;\">Скелет-воин</a> <span id=\"mob\"></span></div>\r\n";
        break;
    case 'r':
        body += "<div class=\"thing\">Вещи тут: Зелье лечения, 12 монет</div>\r\n";
        break;
    default:
        break;
    }
    if (!cell.chestImage.empty()) {
        body += "<div class=\"thing\">Вещи тут: <img src=\"/img/" + cell.chestImage +
                "\" width=\"32\" height=\"32\"> " + chestName(cell.chestImage) + "</div>\r\n";
    }
    for (int written = 0; written < padding;) {
        const std::string line =
            "<div class=\"log\"><span>12:34</span> Вы нашли 3 монеты и кусок старой карты.</div>\r\n";
        body += line;
        written += static_cast<int>(line.size());
    }
    body += "<div class=\"bottom\">Ходите стрелками на странице или клавишами в программе.</div>";
    // A tired player's page shows the recovered fatigue by itself, as the game's does.
    const std::string refresh = player.fatigue < 20 ? "<meta http-equiv=\"refresh\" content=\"3\">" : "";
    return page("Подземелье", refresh + kGameStyle + gameScript(rewrite), body);
}

std::string combatFrame(const Player& player)
{
    std::string body = "<div class=\"top\">Бой! Игрок " + escape(player.login) + " против монстра.</div>\r\n";
    body += "<iframe name=\"your_army\" src=\"/army.php\" width=\"320\" height=\"120\"></iframe>\r\n";
    body +=
        "<form method=\"post\" action=\"/endcombat.php\"><input type=\"submit\" value=\"Закончить бой\"></form>\r\n";
    body += "<div class=\"bottom\">Бой закончится сам через несколько секунд.</div>";
    return page("Бой", "<meta http-equiv=\"refresh\" content=\"1\">" + std::string(kGameStyle), body);
}

std::string army()
{
    return page("Ваша армия", "", "<div>Ваша армия: 1 воин.</div>");
}

std::string chatOutput()
{
    return page("Чат", "",
                "<div>[12:00] Страж: Добро пожаловать в лабиринт для практики!</div>\r\n"
                "<div>[12:01] Страж: Ходите стрелками, карта рисуется сама.</div>");
}

std::string chatInput()
{
    return page("Ввод", "", "<form onsubmit=\"return false\"><input name=\"text\" size=\"60\"></form>");
}

std::string infoPanel(const Player& player)
{
    return page("Игрок", "",
                "<div>Игрок: " + escape(player.login) + "</div>\r\n<div>Уровень: " + std::to_string(player.pos.level) +
                    "</div>");
}

std::string playerInfo(const std::string& nick)
{
    return page("Информация об игроке", "",
                "<div class=\"top\">Информация об игроке</div>\r\n<div id=\"nick\">Ник: " + escape(nick) +
                    "</div>\r\n<div>Клан: нет</div>");
}

std::string notFound()
{
    return page("Нет такой страницы", "", "<div>Нет такой страницы.</div>");
}

std::string image(const std::string& name)
{
    struct Look
    {
        const char* colour;
        const char* text;
    };
    static const std::map<std::string, Look> looks = {
        {"go_n_s.gif", {"#4a7", "&#8593;"}}, {"go_s_s.gif", {"#4a7", "&#8595;"}},
        {"go_w_s.gif", {"#4a7", "&#8592;"}}, {"go_e_s.gif", {"#4a7", "&#8594;"}},
        {"go10_s.gif", {"#a52", "2"}},       {"go5_s.gif", {"#a52", "3"}},
        {"go2_s.gif", {"#a52", "4"}},        {"go4_s.gif", {"#a52", "5"}},
        {"go3_s.gif", {"#a52", "6"}},        {"go6_s.gif", {"#a52", "7"}},
        {"go7_s.gif", {"#a52", "8"}},        {"go_d_s.gif", {"#36c", "&#8600;"}},
        {"go_u_s.gif", {"#36c", "&#8599;"}}, {"go_out_s.gif", {"#c90", "&#10162;"}},
        {"trap.gif", {"#c33", "!"}},         {"flag.jpg", {"#33c", "F"}},
        {"unlock_2_s.gif", {"#d22", "C"}},   {"unlock_3_s.gif", {"#2a2", "C"}},
        {"unlock_4_s.gif", {"#22d", "C"}},   {"unlock_5_s.gif", {"#eee", "C"}},
        {"unlock_10_s.gif", {"#eee", "C"}},  {"unlock_6_s.gif", {"#888", "C"}},
        {"unlock_7_s.gif", {"#db2", "C"}},   {"unlock_8_s.gif", {"#765", "C"}},
    };
    const auto it = looks.find(name);
    if (it == looks.end())
        return {};
    return std::string("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\">"
                       "<rect x=\"1\" y=\"1\" width=\"30\" height=\"30\" rx=\"5\" fill=\"") +
           it->second.colour +
           "\" stroke=\"#333\"/><text x=\"16\" y=\"23\" font-size=\"20\" text-anchor=\"middle\" "
           "font-family=\"sans-serif\" fill=\"#000\">" +
           it->second.text + "</text></svg>";
}

} // namespace practice::pages
