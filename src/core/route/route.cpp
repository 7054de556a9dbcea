#include "route.h"

#include "map/objects.h"

namespace veldor {
namespace {

struct Step
{
    int dx;
    int dy;
    std::uint8_t TMapCell::*side;
};
// West, east, north, south: the order every choice is made in.
constexpr Step kSteps[] = {
    {-1, 0, &TMapCell::West},
    {1, 0, &TMapCell::East},
    {0, -1, &TMapCell::North},
    {0, 1, &TMapCell::South},
};

} // namespace

void ExitRoute::findExitPath(const Atlas& atlas, unsigned lab, int level, int viewX, int viewY, bool passDoors)
{
    const int n = LabSide(lab);
    if (n == 0)
        return; // no labyrinth shown: the last route stays as it was
    ExitPath.assign(1, {viewX, viewY});
    const std::int64_t unreachedDist = static_cast<std::int64_t>(n) * n;
    m_target = {0, 0};
    for (int x = 1; x <= n; ++x) {
        for (int y = 1; y <= n; ++y) {
            const TMapCell* c = atlas.cell(lab, level, x, y);
            if (c->Object == Obj::Exit || c->Object == Obj::Ascent)
                m_target = {x, y};
            m_unreached[index(x, y)] = c->Explored != 0 ? 1 : 0;
            m_dist[index(x, y)] = unreachedDist;
        }
    }
    const bool playerOnMap = viewX >= 1 && viewX <= n && viewY >= 1 && viewY <= n;
    if (m_target.first > 0) {
        // Breadth first from the target: every edge costs one step, so each cell's first distance is its
        // shortest, the same values the depth-first relaxation arrives at, without its recursion.
        std::vector<std::pair<int, int>> work;
        work.reserve(static_cast<std::size_t>(n) * n);
        work.push_back(m_target);
        m_dist[index(m_target.first, m_target.second)] = 1;
        m_unreached[index(m_target.first, m_target.second)] = 0;
        for (std::size_t head = 0; head < work.size(); ++head) {
            const auto [x, y] = work[head];
            if (x == viewX && y == viewY)
                continue; // the player's distance is recorded, but the spread stops there
            const TMapCell* c = atlas.cell(lab, level, x, y);
            const std::int64_t d = m_dist[index(x, y)];
            for (const Step& s : kSteps) {
                const int nx = x + s.dx;
                const int ny = y + s.dy;
                if (nx < 1 || nx > n || ny < 1 || ny > n || !Passable(c->*s.side, passDoors))
                    continue;
                const TMapCell* next = atlas.cell(lab, level, nx, ny);
                if (next->Explored == 0 || m_unreached[index(nx, ny)] == 0)
                    continue;
                m_dist[index(nx, ny)] = d + 1;
                m_unreached[index(nx, ny)] = 0;
                work.emplace_back(nx, ny);
            }
        }
    }
    if (!playerOnMap || m_dist[index(viewX, viewY)] >= unreachedDist)
        return;
    int x = viewX;
    int y = viewY;
    for (;;) {
        const TMapCell* c = atlas.cell(lab, level, x, y);
        bool moved = false;
        for (const Step& s : kSteps) {
            const int nx = x + s.dx;
            const int ny = y + s.dy;
            if (nx < 1 || nx > n || ny < 1 || ny > n || !Passable(c->*s.side, passDoors))
                continue;
            if (m_dist[index(x, y)] > m_dist[index(nx, ny)]) {
                x = nx;
                y = ny;
                moved = true;
                break;
            }
        }
        ExitPath.emplace_back(x, y);
        if (x == m_target.first && y == m_target.second)
            return;
        if (!moved)
            return; // nowhere closer to go: keep the route found so far rather than loop for ever
    }
}

} // namespace veldor
