#pragma once

#include "map/atlas.h"

#include <QColor>
#include <QRect>
#include <array>

class QPainter;

namespace veldor {

class MapIcons;

// Colours of the side codes 0..8; code 1, a plain passage, is not drawn.
extern const std::array<QColor, 9> kSideColours;

// The explore assistant's dots and outline: a colour no door, wall, route dot or player uses.
extern const QColor kFrontierColour;

// What one body cell of the map shows.
struct CellInputs
{
    const TMapCell* cell = nullptr; // nullptr when no labyrinth is shown
    bool marker = false;
    bool onPath = false;
    int group = 0;
    bool player = false;
    bool onFrontierPath = false;  // on the explore assistant's way
    bool frontierOpening = false; // the unexplored cell it leads into
};

// Draws a cell over the grid's own grey background: marker square, explored fill with walls and doors, the
// route dot, the object icon, the explore assistant's dot or outline and the player, each over the earlier ones. The
// icons are those of `icons`, scaled to the cell size by their owner.
void PaintMapCell(QPainter& painter, const QRect& rect, const CellInputs& in, const MapIcons& icons);

// Draws a line from one point to the other in a colour and width.
void DrawSide(QPainter& painter, QPoint from, QPoint to, const QColor& colour, int width);

} // namespace veldor
