#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace practice {

enum Side
{
    North = 0,
    South = 1,
    West = 2,
    East = 3
};

// One cell in the program's own vocabulary: side codes 0 wall, 1 passage, 2..8 doors; object codes
// 'n' nothing, 'L' trap, 'F' flag, 'd' way down, 'u' way up, 'E' exit, 'M' monster, 'r' loot, '1'..'6' chests.
struct Cell
{
    std::array<std::uint8_t, 4> side{};
    char object = 'n';
    // Image of a chest lying here (for '1'..'6', and "unlock_8_s.gif", a chest the program has no code for,
    // on an otherwise empty cell); empty for none.
    std::string chestImage;
};

struct Position
{
    int level = 0;
    int x = 0;
    int y = 0;
    bool operator==(const Position&) const = default;
};

class Labyrinth
{
public:
    // Deterministic for a seed: the same seed, size and level count give the same labyrinth everywhere.
    static Labyrinth generate(std::uint64_t seed, int size, int levels);

    int size() const { return m_size; }
    int levels() const { return m_levels; }
    std::uint64_t seed() const { return m_seed; }
    Position start() const { return m_start; }

    bool contains(int level, int x, int y) const;
    const Cell& at(int level, int x, int y) const;
    Cell& at(int level, int x, int y);

    // The neighbour through a side, or the same position at the edge.
    static Position step(Position p, Side side);
    static Side opposite(Side side);

    // {"seed":..,"size":..,"levels":[{"level":0,"rows":["NSWEo NSWEo ...", ...]}, ...]}: each cell as five
    // characters, the four side codes then the object code; rows run y = 1..N, cells x = 1..N.
    std::string truthJson(const std::string& playersJson) const;

private:
    void setSide(int level, int x, int y, Side side, std::uint8_t code);

    std::uint64_t m_seed = 0;
    int m_size = 0;
    int m_levels = 0;
    Position m_start;
    std::vector<Cell> m_cells;
};

// Door images by side code 2..8, and the plain passage image of each side.
const char* doorImage(int code);
const char* arrowImage(Side side);

} // namespace practice
