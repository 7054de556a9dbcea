#pragma once

#include "map/atlas.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace veldor {

// The route from the player to a known way out of the level (an exit or a way up), over explored cells and
// recorded passages; doors count only when `passDoors` is on.
class ExitRoute
{
public:
    // ExitPath: (x, y) from the player's cell to the target, in walking order.
    std::vector<std::pair<int, int>> ExitPath;

    // The target is the last exit or way up in column-major order (largest x, then largest y). Dist ends as
    // 1 for the target, 1 + the steps from it for every cell reached, N * N for the rest; the spread does
    // not go on beyond the player's cell.
    void findExitPath(const Atlas& atlas, unsigned lab, int level, int viewX, int viewY, bool passDoors);

    std::int64_t dist(int x, int y) const { return m_dist[index(x, y)]; }
    std::pair<int, int> target() const { return m_target; }

private:
    static std::size_t index(int x, int y)
    {
        return static_cast<std::size_t>(x) * kGridSide + static_cast<std::size_t>(y);
    }

    std::array<std::int64_t, kGridSide * kGridSide> m_dist{};
    std::array<std::int64_t, kGridSide * kGridSide> m_unreached{};
    std::pair<int, int> m_target{0, 0};
};

} // namespace veldor
