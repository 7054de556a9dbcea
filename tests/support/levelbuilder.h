#pragma once

// Hand-made levels, and cells compared byte for byte.
#include "map/atlas.h"

#include <cstdint>
#include <cstring>

namespace veldor::test {

// A passage (or door) between two neighbouring cells, recorded on both as the page reader records it.
inline void openPassage(Atlas& atlas, unsigned lab, int level, int x1, int y1, int x2, int y2, std::uint8_t code)
{
    TMapCell* a = atlas.cell(lab, level, x1, y1);
    TMapCell* b = atlas.cell(lab, level, x2, y2);
    if (x2 == x1 + 1) {
        a->East = code;
        b->West = code;
    } else if (x2 == x1 - 1) {
        a->West = code;
        b->East = code;
    } else if (y2 == y1 + 1) {
        a->South = code;
        b->North = code;
    } else {
        a->North = code;
        b->South = code;
    }
}

inline bool sameCell(const TMapCell& a, const TMapCell& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace veldor::test
