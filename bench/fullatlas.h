#pragma once

#include "map/atlas.h"

#include <memory>

namespace veldor::bench {

// Every cell of every labyrinth explored with passages and a door, the objects taken in turn from `objects`,
// every object list full.
inline std::unique_ptr<Atlas> FullAtlas(const char* objects = "n")
{
    const int kinds = static_cast<int>(std::char_traits<char>::length(objects));
    auto atlas = std::make_unique<Atlas>();
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab) {
        const int n = LabSide(lab);
        for (int level = 0; level < kLevelCount; ++level) {
            for (int x = 1; x <= n; ++x)
                for (int y = 1; y <= n; ++y)
                    *atlas->cell(lab, level, x, y) = TMapCell{1, 1, 2, 1, 1, objects[(x * 7 + y) % kinds]};
            for (ListKind kind : {ListKind::Transitions, ListKind::Traps, ListKind::Flags, ListKind::Exits})
                for (int k = 0; k < ListSlots(kind); ++k)
                    AppendEntry(*atlas->levelLists(lab, level), kind, PositionEntry(level, k + 1, 1));
        }
    }
    return atlas;
}

} // namespace veldor::bench
