#pragma once

#include "map/atlas.h"

#include <cstdint>

namespace veldor::levelgrid {

// A level copied out of the atlas for a search: per cell the sides passable toward neighbours on the map,
// whether it is explored and whether a trap lies there.
enum : std::uint8_t
{
    kWest = 1,
    kEast = 2,
    kNorth = 4,
    kSouth = 8,
    kExplored = 16,
    kTrap = 32,
};

// The level into `cells`, a square of side n + 2 (a border of walls around the n x n cells), cell (x, y) at
// y * (n + 2) + x; `objects`, when given, gets the object of each cell at the same place.
void CopyLevel(const Atlas& atlas, unsigned lab, int level, bool passDoors, std::uint8_t* cells,
               char* objects = nullptr);

} // namespace veldor::levelgrid
