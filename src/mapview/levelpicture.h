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

#include "mapview/cellpainter.h"

#include <vector>

namespace veldor {

class MapIcons;

// One line of the map's legend: what a cell shows and its Russian name.
struct LegendEntry
{
    QString name;
    TMapCell cell{};
    bool marker = false;
    bool player = false;
    bool onPath = false;
    bool onFrontierPath = false;
    bool frontierOpening = false;
};

// Every wall and door colour, every object, the marker, the player, the route and the assistant's way.
std::vector<LegendEntry> LegendEntries();

// The legend's picture of an entry: one cell of `kLegendCell` pixels drawn by the map's own cell painter, on the
// grid's grey with a margin of `kLegendMargin` all round.
QImage LegendPicture(const LegendEntry& entry, const MapIcons& icons);
constexpr int kLegendCell = 15;
constexpr int kLegendMargin = 6;

} // namespace veldor
