#pragma once

#include "map/atlas.h"
#include "map/levellinks.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veldor {

// Where a way leads: a chosen cell, the nearest cell of a chosen level, or the nearest known exit (a way up on
// level 0 leads out too), way down or way up.
enum class WayTarget
{
    Cell,
    Level,
    Exit,
    Descent,
    Ascent
};

// The shortest walk from the player's cell over explored cells through known passages (doors only with
// `passDoors`), around known traps when another way exists, and across levels through the learned links (a
// link is walked back too when the cell it leads to is a way up or down itself).
struct Way
{
    std::vector<LevelCell> path; // the player's cell first; empty: no way
    bool throughTrap = false;
    // The way ends on a way down or up nobody has taken yet: where it leads is not known.
    bool endsAtUnknownLink = false;
    bool unknownDown = false; // that way is a way down (else up)
    // The first change of level on the way: the cell of the way down or up and the level it leads to.
    bool changesLevel = false;
    LevelCell via;
    int viaLevel = 0;

    bool found() const { return !path.empty(); }
    int steps() const { return path.empty() ? 0 : static_cast<int>(path.size()) - 1; }
    LevelCell end() const { return path.empty() ? LevelCell{} : path.back(); }
};

class WayFinder
{
public:
    // `target` is the cell for WayTarget::Cell, its level for WayTarget::Level. Nothing is found from or to a cell off
    // the map or not explored.
    const Way& find(const Atlas& atlas, const LevelLinks& links, unsigned lab, LevelCell from, WayTarget kind,
                    LevelCell target, bool passDoors);
    const Way& way() const { return m_way; }

private:
    // Breadth first from the start; the node found, or -1. `blocked` tells whether a trap kept it from somewhere.
    int search(int start, bool trapsAllowed, bool& blocked);
    bool isTarget(int node) const;
    int node(const LevelCell& c) const { return (c.level * m_width + c.y) * m_width + c.x; }
    LevelCell cellOf(int node) const;
    // The ways down and up nobody has taken, that a way could end on: toward the target's level when it is a cell.
    bool unknownWayOut(int node) const;

    std::vector<std::uint8_t> m_cells; // per level, with a border of walls: passable sides, explored, trap, linked
    std::vector<char> m_objects;       // the object of each explored cell
    std::vector<int> m_from;
    std::vector<int> m_queue;
    std::vector<std::pair<int, int>> m_links; // node -> node, sorted
    int m_width = 0;
    int m_plane = 0;
    WayTarget m_kind = WayTarget::Cell;
    int m_target = -1;
    int m_targetLevel = 0;
    bool m_toUnknown = false;
    Way m_way;
};

// "Путь: 37 шагов, через спуск 12x7 на уровень 2", "…, дальше — спуск 12x7, куда он ведёт, ещё не известно",
// "…, через ловушку", or "Пути нет".
std::u8string WayText(const Way& way);

// "5 шагов", "1 шаг", "22 шага".
std::u8string StepCount(int n);

} // namespace veldor
