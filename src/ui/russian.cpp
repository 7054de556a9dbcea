#include "russian.h"

#include "files/safefile.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>

namespace veldor {

QString counted(qint64 n, const char* one, const char* few, const char* many)
{
    const qint64 tens = n % 100;
    const qint64 units = n % 10;
    const char* word = many;
    if (tens < 11 || tens > 14) {
        if (units == 1)
            word = one;
        else if (units >= 2 && units <= 4)
            word = few;
    }
    return QLocale(QLocale::Russian).toString(n) + QLatin1Char(' ') + QString::fromUtf8(word);
}

QString AgoText(qint64 ms)
{
    const qint64 seconds = std::max<qint64>(0, ms / 1000);
    if (seconds < 60)
        return QStringLiteral("%1 с назад").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1 мин назад").arg(seconds / 60);
    return QStringLiteral("%1 ч назад").arg(seconds / 3600);
}

QString cellCount(qint64 n)
{
    return counted(n, "клетка", "клетки", "клеток");
}

QString entryCount(qint64 n)
{
    return counted(n, "запись", "записи", "записей");
}

QString markerCount(qint64 n)
{
    return counted(n, "маркер", "маркера", "маркеров");
}

QString markerLimits(qint64 cut, qint64 skipped, qint64 maxChars, qint64 maxMarkers)
{
    QStringList parts;
    if (cut > 0)
        parts << QStringLiteral("%1 длиннее %2 знаков: взято только их начало").arg(markerCount(cut)).arg(maxChars);
    if (skipped > 0)
        parts << QStringLiteral("%1 не взято: за один раз берётся не больше %2")
                     .arg(markerCount(skipped), QLocale(QLocale::Russian).toString(maxMarkers));
    return parts.isEmpty() ? QString() : QStringLiteral("Маркеры: ") + parts.join(QStringLiteral("; ")) + u'.';
}

QString fileErrorText(int errorNumber, const QString& toolkitText)
{
    return errorNumber != 0 ? QString::fromStdString(describeError(errorNumber)) : toolkitText;
}

} // namespace veldor
