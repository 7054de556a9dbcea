#pragma once

#include "map/atlas.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veldor {

// What a level (or a whole labyrinth) holds: explored cells of all its cells, and the marks on its map. A way
// down and a way up both count as transitions.
struct LevelCounts
{
    int explored = 0;
    int cells = 0;
    int exits = 0;
    int transitions = 0;
    int traps = 0;
    int flags = 0;
    int markers = 0;
    // Explored share in whole percent, rounded down (0 for no cells).
    int percent() const { return cells == 0 ? 0 : static_cast<int>(explored * 100LL / cells); }
    LevelCounts& operator+=(const LevelCounts& other);
};

// Every level of the labyrinth, counted in one pass; all zero outside 1..20.
std::array<LevelCounts, kLevelCount> CountLevels(const Atlas& atlas, unsigned lab);
// The labyrinth's levels summed.
LevelCounts CountLabyrinth(const Atlas& atlas, unsigned lab);

// One place a search found: the cell (x and y 0 for a list entry that names no cell) and what is there, in
// Russian ("Маркер: …", "Ловушка", "Список флагов: …").
struct Found : AtlasPlace
{
    std::u8string what;
};

struct SearchResult
{
    std::vector<Found> found; // the first `limit` of them
    std::size_t total = 0;    // all of them
};

// Marker texts, list entries and objects whose Russian name ("сундук", "ловушка", "спуск", "выход"…) contain
// `query` (UTF-8), without regard to case or to ё against е. The labyrinth `first` comes first, then the
// others by number; within one, by level, then x, then y. An empty query finds nothing.
SearchResult SearchAtlas(const Atlas& atlas, std::u8string_view query, unsigned first, std::size_t limit = 1000);

} // namespace veldor
