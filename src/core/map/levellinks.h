#pragma once

#include <cstddef>
#include <string>
#include <tuple>
#include <vector>

namespace veldor {

// A cell of a labyrinth's level.
struct LevelCell
{
    int level = 0;
    int x = 0;
    int y = 0;
    bool operator==(const LevelCell&) const = default;
    friend bool operator<(const LevelCell& a, const LevelCell& b)
    {
        return std::tie(a.level, a.x, a.y) < std::tie(b.level, b.x, b.y);
    }
};

// What the player learned walking: a way down or up at `from`, and the cell of another level the next page
// showed. Kept in links.txt beside the map files, one link a line: "lab level x y level x y".
struct LevelLink
{
    unsigned lab = 0;
    LevelCell from;
    LevelCell to;
    bool operator==(const LevelLink&) const = default;
    friend bool operator<(const LevelLink& a, const LevelLink& b)
    {
        return std::tie(a.lab, a.from, a.to) < std::tie(b.lab, b.from, b.to);
    }
};

class LevelLinks
{
public:
    // More than a player could walk in years; a file with more is not ours.
    static constexpr std::size_t kMaxLinks = 100000;
    static constexpr const char* kFileName = "links.txt";

    // False when it was known already or lies off the atlas (both cells in the labyrinth's bounds, on two levels).
    bool add(const LevelLink& link);
    bool contains(const LevelLink& link) const;
    // Another player's links taken in; how many were new.
    std::size_t addAll(const LevelLinks& other);
    const std::vector<LevelLink>& all() const { return m_links; }
    std::vector<LevelLink> of(unsigned lab) const;
    // The links of one labyrinth go (its map was cleared); whether any went.
    bool removeLab(unsigned lab);
    void clear() { m_links.clear(); }
    bool empty() const { return m_links.empty(); }
    bool operator==(const LevelLinks&) const = default;

    // The file's text; and the links read from one, lines that do not hold a link on the atlas counted in
    // `skipped` and left out, and links past the first kMaxLinks counted in `overLimit`.
    std::string text() const;
    static LevelLinks parse(const std::string& text, std::size_t* skipped = nullptr, std::size_t* overLimit = nullptr);
    static bool valid(const LevelLink& link);

private:
    std::vector<LevelLink> m_links; // sorted
};

class Atlas;

// The page showed another level right after the player stood on `before`: when that cell holds a way down or up,
// the two cells are linked. Whether a link was learned.
bool LearnLink(const Atlas& atlas, LevelLinks& links, unsigned lab, LevelCell before, LevelCell after);

// Of another player's links, those their own maps bear out: a way down at `from` and a way up at `to` (or a way
// up and a way down, for a link that leads higher).
LevelLinks LinksBetweenStairs(const LevelLinks& theirs, const Atlas& theirMaps);
// Takes in another player's links that nothing of ours contradicts: a cell of ours explored at either end without
// that stair, or a link of ours from the same cell to another. How many were new.
std::size_t TakeLinks(LevelLinks& ours, const LevelLinks& theirs, const Atlas& ourMaps);

// links.txt in the folder: missing is no links; a file that is not one we can read is left unread, and one with
// more links than we keep is read as far as that; either is named in `problem` and must not be replaced.
struct LinksLoad
{
    LevelLinks links;
    bool unread = false; // not read whole: never to be replaced by what was read
    std::string problem;
};
LinksLoad LoadLinks(const std::string& folder);
// Written whole through a temporary file (in another player's or the group's folder never through a link); the
// error in Russian when it failed.
std::string SaveLinks(const LevelLinks& links, const std::string& folder, bool stayInFolder = false);

} // namespace veldor
