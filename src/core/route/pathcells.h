#pragma once

#include "map/atlas.h"

#include <utility>
#include <vector>

namespace veldor {

// The cells a way passes, for drawing it: a lookup over the 101 x 101 cells a level may have.
class PathCells
{
public:
    void clear() { m_cells.clear(); }
    // The way's cells; those off the 0..100 square are left out.
    void assign(const std::vector<std::pair<int, int>>& path)
    {
        m_cells.assign(kSide * kSide, 0);
        for (const auto& [x, y] : path)
            if (inside(x, y))
                m_cells[index(x, y)] = 1;
    }
    bool contains(int x, int y) const { return !m_cells.empty() && inside(x, y) && m_cells[index(x, y)]; }

private:
    static constexpr int kSide = kGridSide;
    static bool inside(int x, int y) { return x >= 0 && x < kSide && y >= 0 && y < kSide; }
    static std::size_t index(int x, int y) { return static_cast<std::size_t>(x) * kSide + static_cast<std::size_t>(y); }

    std::vector<char> m_cells;
};

} // namespace veldor
