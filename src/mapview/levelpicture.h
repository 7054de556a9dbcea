#pragma once

#include "mapview/mapgrid.h"

#include <QImage>
#include <QString>

namespace veldor {

// The whole level the grid shows, painted as the grid paints it (or by `painter`), under a line with `title`.
QImage LevelPicture(const MapGrid& grid, const QString& title, const MapGrid::CellPainter& painter = {});

// Height of the title line above the grid in a level picture.
constexpr int kPictureTitleHeight = 24;

} // namespace veldor
