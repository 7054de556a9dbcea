#include "map/survey.h"

#include "map/objects.h"
#include "text/cp1251.h"

#include <algorithm>
#include <charconv>
#include <tuple>

namespace veldor {

LevelCounts& LevelCounts::operator+=(const LevelCounts& o)
{
    explored += o.explored;
    cells += o.cells;
    exits += o.exits;
    transitions += o.transitions;
    traps += o.traps;
    flags += o.flags;
    markers += o.markers;
    return *this;
}

std::array<LevelCounts, kLevelCount> CountLevels(const Atlas& atlas, unsigned lab)
{
    std::array<LevelCounts, kLevelCount> levels{};
    const Atlas::CellRun run = Atlas::labCells(lab);
    const auto* cells = reinterpret_cast<const TMapCell*>(atlas.bytes(run.table).data());
    // The labyrinth's cells run level by level within each (x, y).
    for (std::size_t k = 0; k < run.count; ++k) {
        const TMapCell& c = cells[run.first + k * run.step];
        LevelCounts& level = levels[static_cast<std::size_t>(Atlas::placeInRun(lab, k).level)];
        ++level.cells;
        level.explored += c.Explored != 0 ? 1 : 0;
        level.exits += c.Object == Obj::Exit ? 1 : 0;
        level.transitions += c.Object == Obj::Descent || c.Object == Obj::Ascent ? 1 : 0;
        level.traps += c.Object == Obj::Trap ? 1 : 0;
        level.flags += c.Object == Obj::Flag ? 1 : 0;
    }
    for (int level = 0; level < kLevelCount; ++level)
        if (const auto marks = atlas.levelMarkers(lab, level))
            levels[static_cast<std::size_t>(level)].markers = static_cast<int>(marks->size());
    return levels;
}

LevelCounts CountLabyrinth(const Atlas& atlas, unsigned lab)
{
    LevelCounts all;
    for (const LevelCounts& level : CountLevels(atlas, lab))
        all += level;
    return all;
}

namespace {

// Windows-1251 text folded for comparing: lower case, ё as е.
std::string folded(std::string text)
{
    for (char& ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF))
            ch = static_cast<char>(b + 0x20);
        else if (b == 0xA8 || b == 0xB8) // Ё, ё
            ch = static_cast<char>(0xE5);
    }
    return text;
}

bool contains(const std::string& text, const std::string& foldedQuery)
{
    return folded(text).find(foldedQuery) != std::string::npos;
}

// "L-3(12x7); " names the cell (12, 7) of level 3; nothing else names a cell.
bool parseEntry(const std::string& entry, int& level, int& x, int& y)
{
    const char* p = entry.data();
    const char* end = p + entry.size();
    if (entry.size() < 8 || entry.compare(0, 2, "L-") != 0)
        return false;
    p += 2;
    auto number = [&](int& out, char after) {
        const auto [next, ec] = std::from_chars(p, end, out);
        if (ec != std::errc() || next == end || *next != after)
            return false;
        p = next + 1;
        return true;
    };
    return number(level, '(') && number(x, 'x') && number(y, ')') && level >= 0 && level < kLevelCount;
}

constexpr std::pair<ListKind, std::u8string_view> kListNames[] = {{ListKind::Exits, u8"Список выходов"},
                                                                  {ListKind::Transitions, u8"Список переходов"},
                                                                  {ListKind::Traps, u8"Список ловушек"},
                                                                  {ListKind::Flags, u8"Список флагов"}};

// The finds of one labyrinth, in order of level, x, y.
void searchLab(const Atlas& atlas, unsigned lab, const std::string& query, const std::array<bool, 256>& objects,
               std::size_t limit, SearchResult& result)
{
    std::vector<Found> finds;
    const bool keep = result.found.size() < limit;
    for (const Atlas::Marker& m : atlas.markers(lab)) {
        if (contains(m.text, query)) {
            ++result.total;
            if (keep)
                finds.push_back({{lab, m.level, m.x, m.y}, u8"Маркер: " + cp1251::toUtf8(m.text)});
        }
    }
    for (int level = 0; level < kLevelCount; ++level) {
        const TLevelLists& lists = *atlas.levelLists(lab, level);
        for (const auto& [kind, name] : kListNames) {
            for (int k = 0; k < ListSlots(kind); ++k) {
                const std::string entry = SlotText(lists, kind, k);
                if (entry.empty() || !contains(entry, query))
                    continue;
                ++result.total;
                int l = level;
                int x = 0;
                int y = 0;
                if (!parseEntry(entry, l, x, y))
                    l = level;
                if (keep)
                    finds.push_back({{lab, l, x, y}, std::u8string(name) + u8": " + cp1251::toUtf8(entry)});
            }
        }
    }
    const Atlas::CellRun run = Atlas::labCells(lab);
    const auto* cells = reinterpret_cast<const TMapCell*>(atlas.bytes(run.table).data());
    for (std::size_t k = 0; k < run.count; ++k) {
        const char object = cells[run.first + k * run.step].Object;
        if (!objects[static_cast<unsigned char>(object)])
            continue;
        ++result.total;
        if (!keep)
            continue;
        const Atlas::CellPlace at = Atlas::placeInRun(lab, k);
        finds.push_back({{lab, at.level, at.x, at.y}, std::u8string(FindObjectKind(object)->name)});
    }
    std::stable_sort(finds.begin(), finds.end(), [](const Found& a, const Found& b) {
        return std::tie(a.level, a.x, a.y) < std::tie(b.level, b.x, b.y);
    });
    for (Found& f : finds) {
        if (result.found.size() >= limit)
            break;
        result.found.push_back(std::move(f));
    }
}

} // namespace

SearchResult SearchAtlas(const Atlas& atlas, std::u8string_view query, unsigned first, std::size_t limit)
{
    SearchResult result;
    const std::string wanted = folded(cp1251::fromUtf8(query));
    if (wanted.empty())
        return result;
    std::array<bool, 256> objects{};
    for (const ObjectKind& kind : kObjectKinds)
        objects[static_cast<unsigned char>(kind.code)] = contains(cp1251::fromUtf8(kind.name), wanted);
    // What players and the game page call them: a word of these begun in the box finds the kinds beside it.
    static const struct
    {
        std::u8string_view word;
        std::string_view codes;
    } kWords[] = {
        {u8"монстр", "M"},  {u8"моб", "M"},      {u8"бой", "M"},       {u8"вещи", "r"},          {u8"добыча", "r"},
        {u8"предмет", "r"}, {u8"переход", "du"}, {u8"лестница", "du"}, {u8"вниз", "d"},          {u8"вверх", "u"},
        {u8"ловушк", "L"},  {u8"западня", "L"},  {u8"клад", "123456"}, {u8"сокровищ", "123456"}, {u8"знамя", "F"},
        {u8"флажок", "F"},  {u8"наружу", "E"},   {u8"портал", "E"},
    };
    for (const auto& w : kWords)
        if (folded(cp1251::fromUtf8(w.word)).starts_with(wanted) ||
            wanted.starts_with(folded(cp1251::fromUtf8(w.word))))
            for (const char code : w.codes)
                objects[static_cast<unsigned char>(code)] = true;
    if (first >= 1 && first <= kLabyrinthCount)
        searchLab(atlas, first, wanted, objects, limit, result);
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab) {
        if (lab != first)
            searchLab(atlas, lab, wanted, objects, limit, result);
    }
    return result;
}

} // namespace veldor
