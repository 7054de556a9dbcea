#include "labyrinth.h"

#include <algorithm>
#include <stdexcept>

namespace practice {
namespace {

// splitmix64: fully specified, so a seed gives the same labyrinth with any compiler and library.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t m_state;
};

constexpr const char* kDoorImages[] = {"go10_s.gif", "go5_s.gif", "go2_s.gif", "go4_s.gif",
                                       "go3_s.gif",  "go6_s.gif", "go7_s.gif"};
constexpr const char* kChestImages[] = {"unlock_2_s.gif", "unlock_3_s.gif", "unlock_4_s.gif",
                                        "unlock_5_s.gif", "unlock_6_s.gif", "unlock_7_s.gif"};

// The row of level 0 that starts at the player: every kind of thing the program recognises, one per cell,
// joined by plain passages and by doors of all seven kinds.
struct Showcase
{
    char object;
    const char* chest;
};
constexpr Showcase kShowcase[] = {
    {'n', ""},
    {'L', ""},
    {'F', ""},
    {'r', ""},
    {'1', "unlock_2_s.gif"},
    {'2', "unlock_3_s.gif"},
    {'3', "unlock_4_s.gif"},
    {'4', "unlock_5_s.gif"},
    {'5', "unlock_6_s.gif"},
    {'6', "unlock_7_s.gif"},
    {'4', "unlock_10_s.gif"},
    {'n', "unlock_8_s.gif"},
    {'M', ""},
    {'d', ""},
    {'E', ""},
};
constexpr int kShowcaseLength = sizeof kShowcase / sizeof kShowcase[0];
constexpr int kShowcaseX = 2;
constexpr int kShowcaseY = 2;

} // namespace

const char* doorImage(int code)
{
    return code >= 2 && code <= 8 ? kDoorImages[code - 2] : "";
}

const char* arrowImage(Side side)
{
    switch (side) {
    case North:
        return "go_n_s.gif";
    case South:
        return "go_s_s.gif";
    case West:
        return "go_w_s.gif";
    case East:
        return "go_e_s.gif";
    }
    return "";
}

Side Labyrinth::opposite(Side side)
{
    switch (side) {
    case North:
        return South;
    case South:
        return North;
    case West:
        return East;
    case East:
        return West;
    }
    return North;
}

Position Labyrinth::step(Position p, Side side)
{
    switch (side) {
    case North:
        --p.y;
        break;
    case South:
        ++p.y;
        break;
    case West:
        --p.x;
        break;
    case East:
        ++p.x;
        break;
    }
    return p;
}

bool Labyrinth::contains(int level, int x, int y) const
{
    return level >= 0 && level < m_levels && x >= 1 && x <= m_size && y >= 1 && y <= m_size;
}

const Cell& Labyrinth::at(int level, int x, int y) const
{
    if (!contains(level, x, y))
        throw std::out_of_range("cell outside the labyrinth");
    return m_cells[(static_cast<std::size_t>(level) * m_size + (y - 1)) * m_size + (x - 1)];
}

Cell& Labyrinth::at(int level, int x, int y)
{
    return const_cast<Cell&>(static_cast<const Labyrinth&>(*this).at(level, x, y));
}

void Labyrinth::setSide(int level, int x, int y, Side side, std::uint8_t code)
{
    at(level, x, y).side[side] = code;
    const Position n = step({level, x, y}, side);
    if (contains(level, n.x, n.y))
        at(level, n.x, n.y).side[opposite(side)] = code;
}

Labyrinth Labyrinth::generate(std::uint64_t seed, int size, int levels)
{
    if (size != 30 && size != 40 && size != 100)
        throw std::invalid_argument("size must be 30, 40 or 100");
    if (levels < 1 || levels > 17)
        throw std::invalid_argument("levels must be 1..17");
    Labyrinth lab;
    lab.m_seed = seed;
    lab.m_size = size;
    lab.m_levels = levels;
    lab.m_cells.resize(static_cast<std::size_t>(levels) * size * size);
    lab.m_start = {0, kShowcaseX, kShowcaseY};
    Random rnd(seed);
    const Side sides[] = {North, South, West, East};

    Position down{}; // way down of the level above
    for (int level = 0; level < levels; ++level) {
        std::vector<char> visited(static_cast<std::size_t>(size) * size, 0);
        auto seen = [&](int x, int y) -> char& { return visited[(y - 1) * size + (x - 1)]; };
        std::vector<Position> stack;
        if (level == 0) {
            for (int i = 0; i < kShowcaseLength; ++i) {
                const int x = kShowcaseX + i;
                Cell& c = lab.at(0, x, kShowcaseY);
                c.object = kShowcase[i].object;
                c.chestImage = kShowcase[i].chest;
                seen(x, kShowcaseY) = 1;
                stack.push_back({0, x, kShowcaseY});
                if (i + 1 < kShowcaseLength) {
                    // Connections 1..7 of the row are the seven door kinds, the others plain.
                    const std::uint8_t code = (i >= 1 && i <= 7) ? static_cast<std::uint8_t>(i + 1) : 1;
                    lab.setSide(0, x, kShowcaseY, East, code);
                }
            }
            if (levels == 1)
                lab.at(0, kShowcaseX + 13, kShowcaseY).object = 'n'; // no level below to go down to
        } else {
            seen(down.x, down.y) = 1;
            stack.push_back({level, down.x, down.y});
        }
        // Depth-first carving from what is already open: every cell of the level becomes reachable.
        while (!stack.empty()) {
            const Position p = stack.back();
            Side options[4];
            int count = 0;
            for (Side s : sides) {
                const Position n = step(p, s);
                if (lab.contains(level, n.x, n.y) && !seen(n.x, n.y))
                    options[count++] = s;
            }
            if (count == 0) {
                stack.pop_back();
                continue;
            }
            const Side s = options[rnd.below(count)];
            const Position n = step(p, s);
            lab.setSide(level, p.x, p.y, s, 1);
            seen(n.x, n.y) = 1;
            stack.push_back(n);
        }
        // Some loops, and doors away from the showcase row.
        const int extras = size * size / 12;
        for (int i = 0; i < extras; ++i) {
            const int x = 1 + rnd.below(size);
            const int y = 1 + rnd.below(size);
            const Side s = sides[rnd.below(4)];
            const Position n = step({level, x, y}, s);
            if (!lab.contains(level, n.x, n.y) || (level == 0 && (y == kShowcaseY || n.y == kShowcaseY)))
                continue;
            const bool door = rnd.below(4) == 0;
            lab.setSide(level, x, y, s, door ? static_cast<std::uint8_t>(2 + rnd.below(7)) : 1);
        }

        if (level > 0)
            lab.at(level, down.x, down.y).object = 'u';

        auto freeCell = [&]() {
            for (;;) {
                const int x = 1 + rnd.below(size);
                const int y = 1 + rnd.below(size);
                Cell& c = lab.at(level, x, y);
                if (c.object == 'n' && c.chestImage.empty() && !(level == 0 && y == kShowcaseY))
                    return Position{level, x, y};
            }
        };
        if (level + 1 < levels) {
            if (level == 0) {
                down = {0, kShowcaseX + 13, kShowcaseY};
            } else {
                down = freeCell();
                lab.at(level, down.x, down.y).object = 'd';
            }
        }
        struct Scatter
        {
            char object;
            int count;
        };
        const Scatter scatter[] = {{'L', 5}, {'F', 2}, {'M', 4}, {'r', 3}, {'c', 5}};
        for (const auto& sc : scatter) {
            for (int i = 0; i < sc.count; ++i) {
                const Position p = freeCell();
                Cell& c = lab.at(level, p.x, p.y);
                if (sc.object == 'c') {
                    const int kind = rnd.below(6);
                    c.object = static_cast<char>('1' + kind);
                    c.chestImage = kChestImages[kind];
                } else {
                    c.object = sc.object;
                }
            }
        }
    }
    return lab;
}

std::string Labyrinth::truthJson(const std::string& playersJson) const
{
    std::string out = "{\"seed\":" + std::to_string(m_seed) + ",\"size\":" + std::to_string(m_size) +
                      ",\"start\":{\"level\":0,\"x\":" + std::to_string(m_start.x) +
                      ",\"y\":" + std::to_string(m_start.y) + "}," + playersJson + ",\"levels\":[";
    for (int level = 0; level < m_levels; ++level) {
        out += level ? ",{" : "{";
        out += "\"level\":" + std::to_string(level) + ",\"rows\":[";
        for (int y = 1; y <= m_size; ++y) {
            out += y > 1 ? ",\"" : "\"";
            for (int x = 1; x <= m_size; ++x) {
                const Cell& c = at(level, x, y);
                if (x > 1)
                    out += ' ';
                for (auto code : c.side)
                    out += static_cast<char>('0' + code);
                out += c.object;
            }
            out += '"';
        }
        out += "]}";
    }
    out += "]}";
    return out;
}

} // namespace practice
