#pragma once

#include "map/atlas.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace veldor {

// The way to the nearest opening into the unknown: an explored cell of the level with a passage (a door too
// when `passDoors` is on) into a neighbour that is not explored. Steps go over explored cells through
// passages, each tested on the side of the cell stepped from, as the exit route does. Known traps ('L') are
// avoided: a route over one is taken only when no route without one exists.
struct FrontierRoute
{
    std::vector<std::pair<int, int>> path; // the player's cell first, the frontier cell last; empty: none
    std::pair<int, int> opening{0, 0};     // the unexplored neighbour the frontier cell opens into
    bool throughTrap = false;

    bool found() const { return !path.empty(); }
    // Moves until the player stands in the opening.
    int steps() const { return static_cast<int>(path.size()); }
};

class FrontierSearch
{
public:
    // Of several openings equally near, the one whose way prefers west, then east, north and south at each
    // step (the exit route's order) wins, and of a cell's openings the first in that order. Nothing is found
    // for a labyrinth outside 1..20, a player off the map or on a cell not explored.
    const FrontierRoute& find(const Atlas& atlas, unsigned lab, int level, int viewX, int viewY, bool passDoors);
    const FrontierRoute& route() const { return m_route; }

    // What the assistant says of the way `find` finds: the label's text and its hint. With doors kept closed
    // and no way without them, it tells whether one lies behind a door (the route stays the one without).
    struct Advice
    {
        std::u8string text;
        std::u8string hint;
    };
    Advice advise(const Atlas& atlas, unsigned lab, int level, int viewX, int viewY, bool passDoors);

private:
    // Breadth first from the start; false when no opening is reachable. `trapsAllowed` lets the search step
    // onto trap cells; `blocked` tells whether a trap kept it from somewhere.
    bool search(int start, bool trapsAllowed, bool& blocked);
    bool anyOpening() const;

    // The level, copied out of the atlas with a border of walls: per cell the passable sides toward neighbours
    // on the map, explored and trap bits.
    std::vector<std::uint8_t> m_cells;
    std::vector<int> m_from; // the cell each cell was reached from, -1 for not reached
    std::vector<int> m_queue;
    int m_width = 0;
    int m_found = -1;
    int m_opening = -1;
    FrontierRoute m_route;
};

// "До неисследованного: 5 шагов" (", через ловушку" when the way crosses one) or "Всё исследовано".
std::u8string FrontierText(const FrontierRoute& route);

} // namespace veldor
