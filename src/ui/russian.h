#pragma once

#include <QString>

namespace veldor {

// A count with its noun in the right Russian form: 1 клетка, 2 клетки, 5 клеток, 21 клетка, 1 472 200 клеток.
QString counted(qint64 n, const char* one, const char* few, const char* many);
// The counts the window writes most: "3 клетки", "1 запись", "5 маркеров".
QString cellCount(qint64 n);
QString entryCount(qint64 n);
QString markerCount(qint64 n);
// What was left of another player's markers: "Маркеры: 3 маркера длиннее 500 знаков: взято только их начало; …".
QString markerLimits(qint64 cut, qint64 skipped, qint64 maxChars, qint64 maxMarkers);

// How long ago, in words that do not change with the number: "12 с назад", "5 мин назад", "2 ч назад".
QString AgoText(qint64 ms);

// Why a file operation failed, in Russian: from the system's error number when the failing call left one,
// otherwise the toolkit's own words.
QString fileErrorText(int errorNumber, const QString& toolkitText);

} // namespace veldor
