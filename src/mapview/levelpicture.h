#pragma once

#include <QImage>
#include <QString>

namespace veldor {

class MapGrid;

// The whole level the grid shows, painted as the grid paints it, under a line with `title`.
QImage LevelPicture(const MapGrid& grid, const QString& title);

// Height of the title line above the grid in a level picture.
constexpr int kPictureTitleHeight = 24;

} // namespace veldor
