#pragma once

#include "map/atlas.h"

#include <string>

namespace veldor {

// Marks set by hand on one cell (labyrinth, level, x, y) from the map's popup menu. Each returns false when it
// did nothing (no labyrinth, a cell outside the map, or a level the mark does not belong on). Marks that
// belong to an object list are entered there too, once.
bool AddTrap(Atlas& atlas, unsigned lab, int level, int x, int y);
bool AddFlag(Atlas& atlas, unsigned lab, int level, int x, int y);
// Only above level 9; the cell below gets the way up.
bool AddDescent(Atlas& atlas, unsigned lab, int level, int x, int y);
// Only below level 0; the cell above gets the way down, and the entry names the upper level.
bool AddAscent(Atlas& atlas, unsigned lab, int level, int x, int y);
// Only on levels 0 and 9.
bool AddExit(Atlas& atlas, unsigned lab, int level, int x, int y);
// code '1'..'6'
bool SetChest(Atlas& atlas, unsigned lab, int level, int x, int y, char code);
bool SetMarker(Atlas& atlas, unsigned lab, int level, int x, int y, const std::string& text);
// Removes the marker and the object, with its list entry and (for ways) the paired cell's mark.
bool ClearCell(Atlas& atlas, unsigned lab, int level, int x, int y);

// The buttons beside the object lists: the kind is taken off every level of the labyrinth, from the lists
// and from the map.
void ClearExits(Atlas& atlas, unsigned lab);
void ClearTransitions(Atlas& atlas, unsigned lab);
void ClearFlags(Atlas& atlas, unsigned lab);
void ClearTraps(Atlas& atlas, unsigned lab);

} // namespace veldor
