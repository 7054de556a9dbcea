#pragma once

#include "map/atlas.h"
#include "map/levellinks.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veldor {

// Where a way leads: a chosen cell, the nearest cell of a chosen level, or the nearest known exit (a way up on
// level 0 leads out too), way down that leads deeper than the player stands, or way up that leads higher.
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
// Why there is no way.
enum class WayProblem
{
    None,
    StartUnexplored,  // the player's cell is not explored
    TargetUnexplored, // the chosen cell is not explored
    NoTargetKnown,    // no exit, way down or way up of the kind asked for is known
    ClosedDoor,       // a door is in the way while doors are not passed
    NoStairBetween,   // the target is on another level and no known stair leads there
    NoPassage,        // the known passages do not lead there
};

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
    // Without a way: why, with the levels and the cell it concerns.
    WayProblem problem = WayProblem::None;
    int fromLevel = 0;
    LevelCell target;
    WayTarget kind = WayTarget::Cell;

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
    // The levels copied out of the atlas, with the links.
    void copy(const Atlas& atlas, const LevelLinks& links, unsigned lab, bool passDoors);
    // Breadth first from the start, to a target and failing that to a way down or up nobody took; the node
    // found, or -1.
    int searchAll(int start);
    // Breadth first from the start; the node found, or -1. `blocked` tells whether a trap kept it from somewhere.
    int search(int start, bool trapsAllowed, bool& blocked);
    // Why nothing was found (the levels are as copied with `passDoors`).
    WayProblem why(const Atlas& atlas, const LevelLinks& links, unsigned lab, int start, bool passDoors);
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
    int m_fromLevel = 0;
    bool m_targetExplored = true;
    bool m_toUnknown = false;
    Way m_way;
};

// "Путь: 37 шагов, через спуск 12x7 на уровень 2", "…, дальше — спуск 12x7, куда он ведёт, ещё не известно",
// "Путь известен до спуска 18x11 на уровне 1: 45 шагов", "…, через ловушку", or "Пути нет: " and why.
std::u8string WayText(const Way& way);

// "5 шагов", "1 шаг", "22 шага".
std::u8string StepCount(int n);

} // namespace veldor
