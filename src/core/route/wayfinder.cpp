#include "wayfinder.h"

#include "route/levelgrid.h"

#include <algorithm>

namespace veldor {
using namespace levelgrid;
// Beside levelgrid's bits: a learned link leaves the cell.
constexpr std::uint8_t kLinked = 64;

LevelCell WayFinder::cellOf(int node) const
{
    const int level = node / m_plane;
    const int inPlane = node % m_plane;
    return {level, inPlane % m_width, inPlane / m_width};
}

bool WayFinder::isTarget(int node) const
{
    if (m_toUnknown)
        return unknownWayOut(node);
    const char object = m_objects[static_cast<std::size_t>(node)];
    switch (m_kind) {
    case WayTarget::Cell:
        return node == m_target;
    case WayTarget::Level:
        return node / m_plane == m_targetLevel;
    case WayTarget::Exit:
        return object == 'E' || (object == 'u' && node < m_plane);
    // A stair leads on from the level it is on: down, deeper than the player stands; up, higher.
    case WayTarget::Descent:
        return object == 'd' && node / m_plane >= m_fromLevel;
    case WayTarget::Ascent:
        return object == 'u' && node / m_plane <= m_fromLevel;
    }
    return false;
}

bool WayFinder::unknownWayOut(int node) const
{
    const char object = m_objects[static_cast<std::size_t>(node)];
    if ((object != 'd' && object != 'u') || (m_cells[static_cast<std::size_t>(node)] & kLinked) != 0)
        return false;
    if (m_kind == WayTarget::Exit)
        return object == 'u';
    const int level = node / m_plane;
    return m_targetLevel > level ? object == 'd' : m_targetLevel < level && object == 'u';
}

void WayFinder::copy(const Atlas& atlas, const LevelLinks& links, unsigned lab, bool passDoors)
{
    const std::size_t size = static_cast<std::size_t>(m_plane) * kLevelCount;
    m_cells.assign(size, 0);
    m_objects.assign(size, 0);
    for (int level = 0; level < kLevelCount; ++level) {
        const auto at = static_cast<std::size_t>(level) * static_cast<std::size_t>(m_plane);
        CopyLevel(atlas, lab, level, passDoors, m_cells.data() + at, m_objects.data() + at);
    }
    m_links.clear();
    for (const LevelLink& link : links.of(lab)) {
        const int a = node(link.from);
        const int b = node(link.to);
        m_links.emplace_back(a, b);
        // Stairs go both ways: the cell it led to takes the player back when it is a way up or down itself.
        const char there = m_objects[static_cast<std::size_t>(b)];
        if (there == 'u' || there == 'd')
            m_links.emplace_back(b, a);
    }
    std::sort(m_links.begin(), m_links.end());
    for (const auto& [a, b] : m_links)
        m_cells[static_cast<std::size_t>(a)] |= kLinked;
}

int WayFinder::searchAll(int start)
{
    // A chosen cell nobody explored is no target itself; the way can still be known part of the way.
    for (const bool toUnknown : {false, true}) {
        if (!toUnknown && !m_targetExplored)
            continue;
        m_toUnknown = toUnknown;
        bool blocked = false;
        int found = search(start, false, blocked);
        if (found < 0 && blocked) {
            found = search(start, true, blocked);
            m_way.throughTrap = found >= 0;
        }
        if (found >= 0) {
            m_way.endsAtUnknownLink = toUnknown;
            m_way.unknownDown = toUnknown && m_objects[static_cast<std::size_t>(found)] == 'd';
            return found;
        }
    }
    return -1;
}

const Way& WayFinder::find(const Atlas& atlas, const LevelLinks& links, unsigned lab, LevelCell from, WayTarget kind,
                           LevelCell target, bool passDoors)
{
    m_way = Way{};
    m_way.kind = kind;
    m_way.target = target;
    m_way.fromLevel = from.level;
    const int n = LabSide(lab);
    auto onMap = [n](const LevelCell& c) {
        return c.level >= 0 && c.level < kLevelCount && c.x >= 1 && c.x <= n && c.y >= 1 && c.y <= n;
    };
    if (n == 0 || !onMap(from) || (kind == WayTarget::Cell && !onMap(target))) {
        m_way.problem = !onMap(from) ? WayProblem::StartUnexplored : WayProblem::TargetUnexplored;
        return m_way;
    }

    m_width = n + 2;
    m_plane = m_width * m_width;
    copy(atlas, links, lab, passDoors);

    const int start = node(from);
    m_kind = kind;
    m_target = kind == WayTarget::Cell ? node(target) : -1;
    m_targetLevel = target.level;
    m_fromLevel = from.level;
    m_targetExplored = m_target < 0 || (m_cells[static_cast<std::size_t>(m_target)] & kExplored) != 0;
    if ((m_cells[static_cast<std::size_t>(start)] & kExplored) == 0) {
        m_way.problem = WayProblem::StartUnexplored;
        return m_way;
    }
    const int found = searchAll(start);
    if (found < 0) {
        m_way.problem = why(atlas, links, lab, start, passDoors);
        return m_way;
    }
    for (int at = found; at != -1; at = at == start ? -1 : m_from[static_cast<std::size_t>(at)])
        m_way.path.push_back(cellOf(at));
    std::reverse(m_way.path.begin(), m_way.path.end());
    for (std::size_t i = 1; i < m_way.path.size(); ++i) {
        if (m_way.path[i].level != m_way.path[i - 1].level) {
            m_way.changesLevel = true;
            m_way.via = m_way.path[i - 1];
            m_way.viaLevel = m_way.path[i].level;
            break;
        }
    }
    return m_way;
}

WayProblem WayFinder::why(const Atlas& atlas, const LevelLinks& links, unsigned lab, int start, bool passDoors)
{
    if (!m_targetExplored && m_targetLevel == m_fromLevel)
        return WayProblem::TargetUnexplored;
    // Is there anything of the kind asked for at all?
    bool known = m_kind == WayTarget::Cell;
    bool onThisLevel = m_kind == WayTarget::Cell && m_targetLevel == m_fromLevel;
    for (std::size_t i = 0; !known || !onThisLevel ? i < m_cells.size() : false; ++i) {
        const int at = static_cast<int>(i);
        if ((m_cells[i] & kExplored) != 0 &&
            (m_kind == WayTarget::Level ? at / m_plane == m_targetLevel : m_kind != WayTarget::Cell && isTarget(at))) {
            known = true;
            onThisLevel = onThisLevel || at / m_plane == m_fromLevel;
        }
    }
    if (!known)
        return WayProblem::NoTargetKnown;
    if (!passDoors) {
        // Would it be there through the doors?
        copy(atlas, links, lab, true);
        const Way kept = m_way;
        const bool throughDoor = searchAll(start) >= 0;
        m_way = kept;
        copy(atlas, links, lab, false);
        if (throughDoor)
            return WayProblem::ClosedDoor;
    }
    if (!m_targetExplored)
        return WayProblem::TargetUnexplored;
    return onThisLevel ? WayProblem::NoPassage : WayProblem::NoStairBetween;
}

int WayFinder::search(int start, bool trapsAllowed, bool& blocked)
{
    m_from.assign(m_cells.size(), -1);
    m_queue.clear();
    m_queue.push_back(start);
    m_from[static_cast<std::size_t>(start)] = start;
    const int steps[] = {-1, 1, -m_width, m_width};
    const std::uint8_t sides[] = {kWest, kEast, kNorth, kSouth};
    auto visit = [&](int at, int next) {
        const std::uint8_t there = m_cells[static_cast<std::size_t>(next)];
        if ((there & kExplored) == 0 || m_from[static_cast<std::size_t>(next)] != -1)
            return;
        if ((there & kTrap) != 0 && !trapsAllowed && next != m_target) {
            blocked = true;
            return;
        }
        m_from[static_cast<std::size_t>(next)] = at;
        m_queue.push_back(next);
    };
    for (std::size_t head = 0; head < m_queue.size(); ++head) {
        const int at = m_queue[head];
        if (isTarget(at))
            return at;
        const std::uint8_t bits = m_cells[static_cast<std::size_t>(at)];
        for (int d = 0; d < 4; ++d)
            if ((bits & sides[d]) != 0)
                visit(at, at + steps[d]);
        if ((bits & kLinked) != 0) {
            const auto range = std::equal_range(m_links.begin(), m_links.end(), std::pair{at, 0},
                                                [](const auto& a, const auto& b) { return a.first < b.first; });
            for (auto it = range.first; it != range.second; ++it)
                visit(at, it->second);
        }
    }
    return -1;
}

std::u8string StepCount(int n)
{
    const int tens = n % 100;
    const int units = n % 10;
    std::u8string word = u8"шагов";
    if (tens < 11 || tens > 14) {
        if (units == 1)
            word = u8"шаг";
        else if (units >= 2 && units <= 4)
            word = u8"шага";
    }
    const std::string number = std::to_string(n);
    return std::u8string(number.begin(), number.end()) + u8" " + word;
}

namespace {

std::u8string text(const std::string& s)
{
    return std::u8string(s.begin(), s.end());
}

std::u8string at(const LevelCell& c)
{
    return text(std::to_string(c.x) + "x" + std::to_string(c.y));
}

std::u8string noWay(const Way& way)
{
    switch (way.problem) {
    case WayProblem::StartUnexplored:
        return u8"Пути нет: клетка, где вы стоите, ещё не исследована";
    case WayProblem::TargetUnexplored:
        return u8"Пути нет: клетка " + at(way.target) + u8" на уровне " + text(std::to_string(way.target.level)) +
               u8" не исследована";
    case WayProblem::NoTargetKnown:
        switch (way.kind) {
        case WayTarget::Exit:
            return u8"Пути нет: ни одного выхода с уровня " + text(std::to_string(way.fromLevel)) +
                   u8" ещё не известно";
        case WayTarget::Descent:
            return u8"Пути нет: ни одного спуска ниже уровня " + text(std::to_string(way.fromLevel)) +
                   u8" ещё не известно";
        case WayTarget::Ascent:
            return u8"Пути нет: ни одного подъёма выше уровня " + text(std::to_string(way.fromLevel)) +
                   u8" ещё не известно";
        default:
            return u8"Пути нет: на уровне " + text(std::to_string(way.target.level)) +
                   u8" ещё нет исследованных клеток";
        }
    case WayProblem::ClosedDoor:
        return u8"Пути нет: на пути дверь — включите «Проходить через двери»";
    case WayProblem::NoStairBetween:
        return u8"Пути нет: ни одного спуска или подъёма туда ещё не известно";
    case WayProblem::NoPassage:
    case WayProblem::None:
        break;
    }
    return u8"Пути нет: известные проходы туда не ведут";
}

} // namespace

std::u8string WayText(const Way& way)
{
    if (!way.found())
        return noWay(way);
    if (way.endsAtUnknownLink && way.end().level != way.fromLevel) {
        // Known as far as a stair of another level nobody took yet.
        return (way.unknownDown ? u8"Путь известен до спуска " : u8"Путь известен до подъёма ") + at(way.end()) +
               u8" на уровне " + text(std::to_string(way.end().level)) + u8": " + StepCount(way.steps()) +
               (way.throughTrap ? u8", через ловушку" : u8"");
    }
    std::u8string out = u8"Путь: " + StepCount(way.steps());
    if (way.changesLevel) {
        out += (way.viaLevel > way.via.level ? u8", через спуск " : u8", через подъём ") + at(way.via) +
               u8" на уровень " + text(std::to_string(way.viaLevel));
    }
    if (way.endsAtUnknownLink) {
        // The last cell is the way down or up: toward a deeper level it is a way down.
        out += (way.unknownDown ? u8", дальше — спуск " : u8", дальше — подъём ") + at(way.end()) +
               u8", куда он ведёт, ещё не известно";
    }
    if (way.throughTrap)
        out += u8", через ловушку";
    return out;
}

} // namespace veldor
