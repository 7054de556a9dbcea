#include "levelgrid.h"

namespace veldor::levelgrid {

void CopyLevel(const Atlas& atlas, unsigned lab, int level, bool passDoors, std::uint8_t* cells, char* objects)
{
    const int n = LabSide(lab);
    const int width = n + 2;
    // The cells of a level lie far apart in the atlas, a fixed distance from one another: walk them by pointer.
    const TMapCell* first = atlas.cell(lab, level, 1, 1);
    const std::ptrdiff_t alongY = n > 1 ? atlas.cell(lab, level, 1, 2) - first : 0;
    const std::ptrdiff_t alongX = n > 1 ? atlas.cell(lab, level, 2, 1) - first : 0;
    for (int x = 1; x <= n; ++x) {
        const TMapCell* c = first + (x - 1) * alongX;
        for (int y = 1; y <= n; ++y, c += alongY) {
            std::uint8_t bits = 0;
            if (c->Explored != 0)
                bits |= kExplored;
            if (c->Object == 'L')
                bits |= kTrap;
            if (x > 1 && Passable(c->West, passDoors))
                bits |= kWest;
            if (x < n && Passable(c->East, passDoors))
                bits |= kEast;
            if (y > 1 && Passable(c->North, passDoors))
                bits |= kNorth;
            if (y < n && Passable(c->South, passDoors))
                bits |= kSouth;
            const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(y) * width + x;
            cells[at] = bits;
            if (objects != nullptr)
                objects[at] = c->Object;
        }
    }
}

} // namespace veldor::levelgrid
