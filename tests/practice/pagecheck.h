#pragma once

// What a client can tell from a served game frame, decoded without the server's help: used to check that
// the pages and the truth file say the same thing.
#include <QRegularExpression>
#include <QString>
#include <array>

namespace practice::test {

struct SeenCell
{
    bool ok = false;
    int level = -1, x = -1, y = -1, fatigue = -1;
    std::array<int, 4> side{}; // N, S, W, E: 0 none, 1 arrow, 2..8 door; -1 for an unknown picture
    char object = 'n';
    bool chest8 = false;
    bool combat = false;
};

inline int sideCode(const QString& div, const char* arrow)
{
    static const char* doors[] = {"go10_s.gif", "go5_s.gif", "go2_s.gif", "go4_s.gif",
                                  "go3_s.gif",  "go6_s.gif", "go7_s.gif"};
    const QRegularExpression img(QStringLiteral("/img/([a-z0-9_]+\\.gif)"));
    int found = 0;
    int code = 0;
    for (auto it = img.globalMatch(div); it.hasNext();) {
        const QString name = it.next().captured(1);
        ++found;
        if (name == QLatin1String(arrow))
            code = 1;
        else {
            code = -1;
            for (int k = 0; k < 7; ++k)
                if (name == QLatin1String(doors[k]))
                    code = k + 2;
        }
    }
    return found > 1 ? -1 : code;
}

inline SeenCell readGamePage(const QString& page)
{
    SeenCell c;
    if (page.contains(QStringLiteral("name=\"your_army\""))) {
        c.combat = true;
        return c;
    }
    const auto title = QRegularExpression(QStringLiteral("<b>L-(\\d+)\\((\\d+),(\\d+)\\)</b>")).match(page);
    const auto hru =
        QRegularExpression(QStringLiteral("<div id=\"hru\" name=\"hru\">измотанность: (\\d+)%")).match(page);
    if (!title.hasMatch() || !hru.hasMatch())
        return c;
    c.level = title.captured(1).toInt();
    c.x = title.captured(2).toInt();
    c.y = title.captured(3).toInt();
    c.fatigue = hru.captured(1).toInt();
    const char* ids[] = {"d1", "d7", "d3", "d5"};
    const char* arrows[] = {"go_n_s.gif", "go_s_s.gif", "go_w_s.gif", "go_e_s.gif"};
    for (int s = 0; s < 4; ++s) {
        const QString open = QStringLiteral("<div id=\"%1\" name=\"%1\">").arg(QLatin1String(ids[s]));
        const int at = page.indexOf(open);
        if (at < 0)
            return c;
        const int end = page.indexOf(QStringLiteral("</div>"), at);
        c.side[s] = sideCode(page.mid(at, end - at), arrows[s]);
    }
    const bool items = page.contains(QStringLiteral("Вещи тут:"));
    int marks = 0;
    auto mark = [&](const char* text, char code) {
        if (page.contains(QLatin1String(text))) {
            c.object = code;
            ++marks;
        }
    };
    mark("trap", 'L');
    mark("flag.jpg", 'F');
    mark("go_d_s.gif", 'd');
    mark("go_u_s.gif", 'u');
    mark("go_out_s.gif", 'E');
    mark("onclick=\"javascript: oIm(", 'M');
    const char* chests[] = {"unlock_2_s.gif", "unlock_3_s.gif", "unlock_4_s.gif",
                            "unlock_5_s.gif", "unlock_6_s.gif", "unlock_7_s.gif"};
    for (int k = 0; k < 6; ++k)
        mark(chests[k], char('1' + k));
    mark("unlock_10_s.gif", '4');
    c.chest8 = page.contains(QLatin1String("unlock_8_s.gif"));
    if (items && marks == 0 && !c.chest8) {
        c.object = 'r';
        ++marks;
    }
    c.ok = marks <= 1 && (items == (c.object == 'r' || (c.object >= '1' && c.object <= '6') || c.chest8));
    return c;
}

} // namespace practice::test
