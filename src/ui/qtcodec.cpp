#include "qtcodec.h"

#include "text/cp1251.h"

#include <QList>

namespace veldor {

QString fromCp1251(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes)
        text.append(QChar(static_cast<char16_t>(cp1251::toUnicode(static_cast<unsigned char>(c)))));
    return text;
}

std::string toCp1251(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t cp : text.toUcs4())
        out += cp1251::fromUnicode(cp);
    return out;
}

QString fromUtf8Text(std::u8string_view text)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(text.data()), static_cast<qsizetype>(text.size()));
}

} // namespace veldor
