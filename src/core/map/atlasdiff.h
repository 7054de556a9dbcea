#pragma once

#include "map/atlas.h"

#include <cstddef>
#include <vector>

namespace veldor {

// What sets one atlas apart from another, as a player would count it: the atlas as the files hold it against
// the atlas with the unsaved changes, say.
struct AtlasDiff
{
    std::size_t explored = 0;          // cells explored now that were not before
    std::size_t cleared = 0;           // cells that held something and hold nothing now
    std::size_t changed = 0;           // other cells that differ: marks set by hand, sides
    std::size_t entries = 0;           // list slots that differ
    std::size_t markers = 0;           // markers set, changed or removed
    std::vector<unsigned> labsCleared; // labyrinths that held something and hold nothing now
    bool empty() const { return explored + cleared + changed + entries + markers == 0; }
};

AtlasDiff CompareAtlases(const Atlas& before, const Atlas& after);

} // namespace veldor
