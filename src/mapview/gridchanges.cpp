#include "gridchanges.h"

#include "mapgrid.h"

#include <cstring>

namespace veldor {

void GridChanges::copyLevel(const Atlas& atlas, unsigned lab, int level, std::vector<TMapCell>& out)
{
    const int n = LabSide(lab);
    out.clear();
    if (n == 0 || level < 0 || level >= kLevelCount)
        return;
    out.reserve(static_cast<std::size_t>(n) * n);
    for (int x = 1; x <= n; ++x)
        for (int y = 1; y <= n; ++y)
            out.push_back(*atlas.cell(lab, level, x, y));
}

void GridChanges::before(const Atlas& atlas, unsigned lab, int level, Cells marked)
{
    m_lab = lab;
    m_level = level;
    m_marked = std::move(marked);
    copyLevel(atlas, lab, level, m_cells);
}

bool GridChanges::after(const Atlas& atlas, unsigned lab, int level, const Cells& marked, MapGrid& grid)
{
    if (lab != m_lab || level != m_level) {
        grid.viewport()->update();
        return true;
    }
    bool changed = false;
    // Compared in the order copyLevel took them.
    const int n = LabSide(lab);
    std::size_t i = 0;
    for (int x = 1; x <= n && i < m_cells.size(); ++x) {
        for (int y = 1; y <= n; ++y, ++i) {
            if (std::memcmp(atlas.cell(lab, level, x, y), &m_cells[i], sizeof(TMapCell)) != 0) {
                grid.updateCell(x, y);
                changed = true;
            }
        }
    }
    for (const auto& [x, y] : m_marked)
        grid.updateCell(x, y);
    for (const auto& [x, y] : marked)
        grid.updateCell(x, y);
    return changed;
}

} // namespace veldor
