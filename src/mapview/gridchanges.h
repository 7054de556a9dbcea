#pragma once

#include "map/atlas.h"

#include <utility>
#include <vector>

namespace veldor {

class MapGrid;

// What a polling tick changed on the shown level, so that only that part of the grid is repainted: the cells
// whose record changed, and the cells drawn with something of the window's own (the player, route dots) as
// they were before and after.
class GridChanges
{
public:
    using Cells = std::vector<std::pair<int, int>>;

    void before(const Atlas& atlas, unsigned lab, int level, Cells marked);
    // Another labyrinth or level than before repaints the grid whole. True when a cell's record changed (or
    // the level is another one).
    bool after(const Atlas& atlas, unsigned lab, int level, const Cells& marked, MapGrid& grid);

private:
    static void copyLevel(const Atlas& atlas, unsigned lab, int level, std::vector<TMapCell>& out);

    unsigned m_lab = 0;
    int m_level = -1;
    std::vector<TMapCell> m_cells;
    Cells m_marked;
};

} // namespace veldor
