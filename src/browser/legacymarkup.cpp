#include "legacymarkup.h"

#include <QSet>

namespace veldor {
namespace {

bool isBlock(const QString& tag)
{
    static const QSet<QString> block{
        QStringLiteral("ADDRESS"),  QStringLiteral("ARTICLE"), QStringLiteral("ASIDE"),  QStringLiteral("BLOCKQUOTE"),
        QStringLiteral("BODY"),     QStringLiteral("CENTER"),  QStringLiteral("DD"),     QStringLiteral("DIR"),
        QStringLiteral("DIV"),      QStringLiteral("DL"),      QStringLiteral("DT"),     QStringLiteral("FIELDSET"),
        QStringLiteral("FIGURE"),   QStringLiteral("FOOTER"),  QStringLiteral("FORM"),   QStringLiteral("FRAMESET"),
        QStringLiteral("H1"),       QStringLiteral("H2"),      QStringLiteral("H3"),     QStringLiteral("H4"),
        QStringLiteral("H5"),       QStringLiteral("H6"),      QStringLiteral("HEADER"), QStringLiteral("HR"),
        QStringLiteral("LI"),       QStringLiteral("MAIN"),    QStringLiteral("MENU"),   QStringLiteral("NAV"),
        QStringLiteral("NOSCRIPT"), QStringLiteral("OL"),      QStringLiteral("P"),      QStringLiteral("PRE"),
        QStringLiteral("SECTION"),  QStringLiteral("TABLE"),   QStringLiteral("TBODY"),  QStringLiteral("TD"),
        QStringLiteral("TFOOT"),    QStringLiteral("TH"),      QStringLiteral("THEAD"),  QStringLiteral("TR"),
        QStringLiteral("UL"),       QStringLiteral("CAPTION")};
    return block.contains(tag);
}

// Elements whose text the browser writes as it is, up to their end tag.
bool isRawText(const QString& tag)
{
    static const QSet<QString> raw{QStringLiteral("SCRIPT"),   QStringLiteral("STYLE"),    QStringLiteral("XMP"),
                                   QStringLiteral("NOEMBED"),  QStringLiteral("NOFRAMES"), QStringLiteral("PLAINTEXT"),
                                   QStringLiteral("NOSCRIPT"), QStringLiteral("IFRAME")};
    return raw.contains(tag);
}

bool isPlainWord(QStringView value)
{
    if (value.isEmpty())
        return false;
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        if (!((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_'))
            return false;
    }
    return true;
}

void appendEscaped(QString& out, QStringView text)
{
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case 0xA0:
            out += QLatin1String("&nbsp;");
            break;
        default:
            out += c;
        }
    }
}

} // namespace

QString LegacyMarkup(const QString& html)
{
    QString out;
    out.reserve(html.size() + html.size() / 16);
    const qsizetype n = html.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype lt = html.indexOf(QLatin1Char('<'), i);
        if (lt < 0) {
            out += QStringView(html).mid(i);
            break;
        }
        out += QStringView(html).mid(i, lt - i);
        i = lt;
        if (QStringView(html).mid(i).startsWith(QLatin1String("<!--"))) {
            const qsizetype end = html.indexOf(QLatin1String("-->"), i + 4);
            const qsizetype stop = end < 0 ? n : end + 3;
            out += QStringView(html).mid(i, stop - i);
            i = stop;
            continue;
        }
        const bool endTag = i + 1 < n && html[i + 1] == QLatin1Char('/');
        qsizetype p = i + (endTag ? 2 : 1);
        const qsizetype nameStart = p;
        while (p < n && html[p] != QLatin1Char(' ') && html[p] != QLatin1Char('>'))
            ++p;
        const QString tag = html.mid(nameStart, p - nameStart).toUpper();
        if (endTag) {
            out += QLatin1String("</") + tag + QLatin1Char('>');
            i = p < n ? p + 1 : n;
            continue;
        }
        if (isBlock(tag))
            out += QLatin1String("\r\n");
        out += QLatin1Char('<') + tag;
        // Attributes, each ` name="value"` with no double quote inside the value.
        while (p < n && html[p] == QLatin1Char(' ')) {
            const qsizetype eq = html.indexOf(QLatin1String("=\""), p);
            const qsizetype close = eq < 0 ? -1 : html.indexOf(QLatin1Char('"'), eq + 2);
            if (close < 0) {
                p = n;
                break;
            }
            const QStringView name = QStringView(html).mid(p + 1, eq - p - 1);
            const QStringView value = QStringView(html).mid(eq + 2, close - eq - 2);
            if (name == QLatin1String("id") && isPlainWord(value)) {
                out += QLatin1String(" id=");
                out += value;
            } else
                out += QStringView(html).mid(p, close + 1 - p);
            p = close + 1;
        }
        out += QLatin1Char('>');
        i = p < n ? p + 1 : n;
        if (!isRawText(tag))
            continue;
        // Raw text runs to the element's end tag (to the end for PLAINTEXT).
        qsizetype end = n;
        if (tag != QLatin1String("PLAINTEXT")) {
            const QString closing = QLatin1String("</") + tag;
            end = html.indexOf(closing, i, Qt::CaseInsensitive);
            if (end < 0)
                end = n;
        }
        if (tag == QLatin1String("IFRAME"))
            appendEscaped(out, QStringView(html).mid(i, end - i));
        else
            out += QStringView(html).mid(i, end - i);
        i = end;
    }
    return out;
}

} // namespace veldor
