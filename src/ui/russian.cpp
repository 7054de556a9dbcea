#include "russian.h"

#include "text/safefile.h"

#include <QLocale>

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

QString fileErrorText(int errorNumber, const QString& toolkitText)
{
    return errorNumber != 0 ? QString::fromStdString(describeError(errorNumber)) : toolkitText;
}

} // namespace veldor
