#include "frontier.h"

#include "route/levelgrid.h"
#include "route/wayfinder.h"

#include <algorithm>
#include <string>

namespace veldor {
using namespace levelgrid;

const FrontierRoute& FrontierSearch::find(const Atlas& atlas, unsigned lab, int level, int viewX, int viewY,
                                          bool passDoors)
{
    m_route = FrontierRoute{};
    const int n = LabSide(lab);
    if (n == 0 || level < 0 || level >= kLevelCount || viewX < 1 || viewX > n || viewY < 1 || viewY > n)
        return m_route;

    m_width = n + 2;
    m_cells.assign(static_cast<std::size_t>(m_width) * m_width, 0);
    CopyLevel(atlas, lab, level, passDoors, m_cells.data());

    const int start = viewY * m_width + viewX;
    if ((m_cells[start] & kExplored) == 0 || !anyOpening())
        return m_route;
    bool blocked = false;
    bool found = search(start, false, blocked);
    if (!found && blocked) {
        found = search(start, true, blocked);
        m_route.throughTrap = found;
    }
    if (!found)
        return m_route;
    for (int at = m_found; at != -1; at = at == start ? -1 : m_from[at])
        m_route.path.emplace_back(at % m_width, at / m_width);
    std::reverse(m_route.path.begin(), m_route.path.end());
    m_route.opening = {m_opening % m_width, m_opening / m_width};
    return m_route;
}

bool FrontierSearch::anyOpening() const
{
    // A well explored level has few openings or none; this look over the whole level is cheaper than a search.
    const int steps[] = {-1, 1, -m_width, m_width};
    const std::uint8_t sides[] = {kWest, kEast, kNorth, kSouth};
    for (std::size_t at = 0; at < m_cells.size(); ++at) {
        const std::uint8_t bits = m_cells[at];
        if ((bits & kExplored) == 0 || (bits & 15) == 0)
            continue;
        for (int d = 0; d < 4; ++d) {
            if ((bits & sides[d]) != 0 && (m_cells[at + steps[d]] & kExplored) == 0)
                return true;
        }
    }
    return false;
}

bool FrontierSearch::search(int start, bool trapsAllowed, bool& blocked)
{
    m_from.assign(m_cells.size(), -1);
    m_queue.clear();
    m_queue.push_back(start);
    m_from[start] = start;
    const int steps[] = {-1, 1, -m_width, m_width};
    const std::uint8_t sides[] = {kWest, kEast, kNorth, kSouth};
    for (std::size_t head = 0; head < m_queue.size(); ++head) {
        const int at = m_queue[head];
        const std::uint8_t bits = m_cells[at];
        for (int d = 0; d < 4; ++d) {
            if ((bits & sides[d]) == 0)
                continue;
            const int next = at + steps[d];
            const std::uint8_t there = m_cells[next];
            if ((there & kTrap) != 0 && !trapsAllowed) {
                blocked = true;
                continue;
            }
            if ((there & kExplored) == 0) {
                m_found = at;
                m_opening = next;
                return true;
            }
        }
        for (int d = 0; d < 4; ++d) {
            const int next = at + steps[d];
            if ((bits & sides[d]) == 0 || m_from[next] != -1)
                continue;
            if ((m_cells[next] & kTrap) != 0 && !trapsAllowed)
                continue;
            m_from[next] = at;
            m_queue.push_back(next);
        }
    }
    return false;
}

FrontierSearch::Advice FrontierSearch::advise(const Atlas& atlas, unsigned lab, int level, int viewX, int viewY,
                                              bool passDoors)
{
    Advice advice;
    find(atlas, lab, level, viewX, viewY, passDoors);
    // The rest lies behind doors the player does not want to pass: say so rather than "Всё исследовано".
    if (!m_route.found() && !passDoors && find(atlas, lab, level, viewX, viewY, true).found()) {
        find(atlas, lab, level, viewX, viewY, false); // the route shown again
        advice.text = u8"Дальше только через двери";
    } else {
        advice.text = FrontierText(m_route);
    }
    advice.hint = m_route.throughTrap ? u8"Другого пути нет: путь проходит через известную ловушку" : advice.text;
    return advice;
}

std::u8string FrontierText(const FrontierRoute& route)
{
    if (!route.found())
        return u8"Всё исследовано";
    std::u8string text = u8"До неисследованного: " + StepCount(route.steps());
    if (route.throughTrap)
        text += u8", через ловушку";
    return text;
}

} // namespace veldor
