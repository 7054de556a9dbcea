#pragma once

#include "map/atlas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veldor {

// The cells the group's members brought in, as opposed to the player's own (walked, set by hand or merged by hand
// from a folder): only the player's own go out into the group folder, so that a member whose maps another refused
// never reaches them through a third, and each count names the one who mapped the cells. A cell the player walks
// or marks is the player's again. Kept in group-cells.bin in the working folder, a bit a cell.
class GroupCells
{
public:
    static constexpr const char* kFileName = "group-cells.bin";
    static constexpr std::size_t kBits = std::size_t{kLabyrinthCount} * kLevelCount * kGridSide * kGridSide;
    static constexpr std::size_t kBytes = (kBits + 7) / 8;

    void add(const AtlasPlace& place);
    // The player walked or marked the cell: it is theirs.
    void own(const AtlasPlace& place);
    bool fromGroup(const AtlasPlace& place) const;
    std::size_t size() const { return m_count; }
    // The group's cells emptied in a copy of the atlas (the one that goes into the group folder).
    void stripFrom(Atlas& copy) const;

    std::string bytes() const;
    // A file of another size is not ours: nothing is taken from it.
    static GroupCells parse(const std::string& bytes);

private:
    static bool index(const AtlasPlace& place, std::size_t& at);
    std::vector<std::uint8_t> m_bits; // empty until the first cell
    std::size_t m_count = 0;
};

} // namespace veldor
