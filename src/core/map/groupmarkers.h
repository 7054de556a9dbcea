#pragma once

#include "map/merge.h"

#include <cstdint>
#include <string>
#include <unordered_map>

namespace veldor {

class Atlas;

// The markers taken in from the group's members, each by its place and the text as it came: a marker the player
// has written over since is the player's own. Only the player's own go out into the group folder, and the group
// as a whole brings no more than kMax. Kept in group-markers.txt in the working folder ("lab level x y hash" a
// line), beside the markers file older copies of the program read as before.
class GroupMarkers
{
public:
    static constexpr std::size_t kMax = 50000;
    static constexpr const char* kFileName = "group-markers.txt";

    static std::uint64_t TextHash(const std::string& text);

    void add(const AtlasPlace& place, const std::string& text);
    // Whether the marker there is the one the group brought (not rewritten by the player since).
    bool fromGroup(const Atlas& atlas, const AtlasPlace& place) const;
    // Forgets the places the player has written over or cleared; how many of the group's are left.
    std::size_t prune(const Atlas& atlas);
    // How many more the group may still bring.
    std::size_t room(const Atlas& atlas);
    // Removes the group's markers from a copy of the atlas (the one that goes into the group folder).
    void stripFrom(Atlas& copy) const;
    std::size_t size() const { return m_places.size(); }

    std::string text() const;
    static GroupMarkers parse(const std::string& text);

private:
    static std::uint32_t key(const AtlasPlace& place);
    static AtlasPlace place(std::uint32_t key);
    std::unordered_map<std::uint32_t, std::uint64_t> m_places; // place → hash of the text taken
};

} // namespace veldor
