#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veldor {

constexpr unsigned kLabyrinthCount = 20;
constexpr int kLevelCount = 17; // levels 0..16
constexpr int kMaxMapSide = 100;
// Coordinates 0..kMaxMapSide of one row or column, as indexed tables of cells hold them (0: the grid's headers).
constexpr int kGridSide = kMaxMapSide + 1;

// Group 1, 2 or 3 of a labyrinth number, 0 for a number outside 1..20.
int LabGroup(unsigned lab);
// Side N of a group's maps (x and y run 1..N), 0 for no group.
int MapSide(int group);
// Side of the labyrinth's maps, 0 outside 1..20.
inline int LabSide(unsigned lab)
{
    return MapSide(LabGroup(lab));
}
// The lowest labyrinth number of a group (its slot 0 in the group's table).
unsigned FirstLabOfGroup(int group);
// Labyrinth slots per level in a group's table.
int GroupSlots(int group);
// Name of a labyrinth as listed in the labyrinth box, empty outside 1..20.
std::u8string_view LabyrinthName(unsigned lab);

// Side codes: 0 no passage known, 1 plain passage, 2..8 doors.
// Object: one of the codes of map/objects.h (0 and 'n' both mean nothing).
struct TMapCell
{
    std::uint8_t North;
    std::uint8_t South;
    std::uint8_t West;
    std::uint8_t East;
    std::uint8_t Explored;
    char Object;
};
static_assert(sizeof(TMapCell) == 6);

// A cell of the atlas: a labyrinth, a level, and x, y on it.
struct AtlasPlace
{
    unsigned lab = 0;
    int level = 0;
    int x = 0;
    int y = 0;
    bool operator==(const AtlasPlace&) const = default;
};

// Whether a side can be walked through: a plain passage always, a door only while doors may be passed.
constexpr bool Passable(std::uint8_t side, bool passDoors)
{
    return side == 1 || (passDoors && side >= 2 && side <= 8);
}

// A length byte followed by up to Size - 1 characters (Windows-1251).
template <std::size_t Size>
struct TextSlot
{
    std::array<std::uint8_t, Size> bytes;
};

struct TLevelLists
{
    std::array<TextSlot<256>, 3> Transitions;
    std::array<TextSlot<256>, 10> Traps;
    std::array<TextSlot<256>, 3> Flags;
    std::array<TextSlot<51>, 3> Exits;
};
static_assert(sizeof(TLevelLists) == 4249);
static_assert(offsetof(TLevelLists, Traps) == 768);
static_assert(offsetof(TLevelLists, Flags) == 3328);
static_assert(offsetof(TLevelLists, Exits) == 4096);

enum class ListKind
{
    Transitions,
    Traps,
    Flags,
    Exits
};

int ListSlots(ListKind kind);
int ListMaxLength(ListKind kind);
// Text of slot k (0-based); a damaged length byte longer than the slot is cut to the slot.
std::string SlotText(const TLevelLists& lists, ListKind kind, int k);
void SetSlotText(TLevelLists& lists, ListKind kind, int k, std::string_view text);
// Stores the text in the first empty slot, cut to the slot's maximum length; false when every slot is taken.
bool AppendEntry(TLevelLists& lists, ListKind kind, std::string_view text);
void ClearList(TLevelLists& lists, ListKind kind);

// "L-3(12x7); " names the cell (12, 7) of level 3 in the object lists.
std::string PositionEntry(int level, int x, int y);

// The four tables whose bytes are also the map files.
enum class MapTable
{
    Map1,
    Map2,
    Map3,
    MapCrd
};

class Atlas
{
public:
    static constexpr std::size_t kMap1Cells = 30 * 30 * 17 * 6;
    static constexpr std::size_t kMap2Cells = 40 * 40 * 17 * 7;
    static constexpr std::size_t kMap3Cells = 100 * 100 * 17 * 7;
    static constexpr std::size_t kCrdRecords = kLabyrinthCount * kLevelCount;

    // The cell of (labyrinth, level, x, y), or nullptr when any index lies outside its table: the one way in,
    // so that nothing read from a page or a file can address past the tables.
    TMapCell* cell(unsigned lab, int level, int x, int y);
    const TMapCell* cell(unsigned lab, int level, int x, int y) const;

    // The object lists of (labyrinth, level), or nullptr outside 1..20 / 0..16.
    TLevelLists* levelLists(unsigned lab, int level);
    const TLevelLists* levelLists(unsigned lab, int level) const;

    std::span<std::uint8_t> bytes(MapTable table);
    std::span<const std::uint8_t> bytes(MapTable table) const;

    // Where a labyrinth's cells lie in their table: `count` cells from cell number `first`, `step` cells apart
    // (count 0 outside 1..20).
    struct CellRun
    {
        MapTable table = MapTable::Map1;
        std::size_t first = 0;
        std::size_t step = 1;
        std::size_t count = 0;
    };
    static CellRun labCells(unsigned lab);
    // Where the k-th cell of labCells(lab) lies: the cells run level by level within each (x, y).
    struct CellPlace
    {
        int level = 0;
        int x = 0;
        int y = 0;
    };
    static CellPlace placeInRun(unsigned lab, std::size_t k);
    // The labyrinth a record of a group's cell table belongs to.
    static unsigned labOfRecord(int group, std::size_t index);
    // Where a labyrinth's level lists begin in the MapCrd table, in bytes.
    static std::size_t listsOffset(unsigned lab);

    // Free-text markers, kept in memory only. x and y run 1..100 in every labyrinth.
    std::string markText(unsigned lab, int level, int x, int y) const;
    void setMarkText(unsigned lab, int level, int x, int y, std::string text);
    void clearMarkText(unsigned lab, int level, int x, int y);
    struct Marker : AtlasPlace
    {
        std::string text;
    };
    // Every marker (of one labyrinth, or of all for 0), by labyrinth, level, x, y.
    std::vector<Marker> markers(unsigned lab = 0) const;

    // The markers of one level by MarkerSpot(x, y), in x, y order. Copies of an atlas share a level's markers
    // until one of them changes it, so copying millions of markers costs next to nothing and two atlases that
    // share a level need no comparison there.
    using LevelMarkers = std::map<std::uint16_t, std::string>;
    using SharedMarkers = std::shared_ptr<const LevelMarkers>;
    // Null when the level has none (or is outside 1..20 / 0..16).
    SharedMarkers levelMarkers(unsigned lab, int level) const;
    std::size_t markerCount(unsigned lab = 0) const;
    // Every level's markers at once, as this atlas holds them now (cheap: they are shared, not copied).
    using MarkerLevels = std::array<SharedMarkers, kCrdRecords>;
    const MarkerLevels& markerLevels() const { return m_marks; }
    void setMarkerLevels(const MarkerLevels& levels) { m_marks = levels; }
    static std::uint16_t MarkerSpot(int x, int y) { return static_cast<std::uint16_t>(x * kGridSide + y); }
    static int SpotX(std::uint16_t spot) { return spot / kGridSide; }
    static int SpotY(std::uint16_t spot) { return spot % kGridSide; }

    // Every table back to zero and no markers, as at the start of a run.
    void clear();

private:
    std::array<TMapCell, kMap1Cells> m_map1{};
    std::array<TMapCell, kMap2Cells> m_map2{};
    std::array<TMapCell, kMap3Cells> m_map3{};
    std::array<TLevelLists, kCrdRecords> m_crd{};
    LevelMarkers* writableMarkers(unsigned lab, int level);
    MarkerLevels m_marks{};
};

// Calls `changed(spot, before, after)` for each cell whose marker text differs between two versions of a
// level's markers (an empty text: no marker); levels that share their markers cost nothing.
template <class F>
void DiffMarkers(const Atlas::SharedMarkers& before, const Atlas::SharedMarkers& after, F changed)
{
    if (before == after)
        return;
    static const Atlas::LevelMarkers none;
    const Atlas::LevelMarkers& a = before ? *before : none;
    const Atlas::LevelMarkers& b = after ? *after : none;
    static const std::string empty;
    auto i = a.begin();
    auto j = b.begin();
    while (i != a.end() || j != b.end()) {
        if (j == b.end() || (i != a.end() && i->first < j->first)) {
            changed(i->first, i->second, empty);
            ++i;
        } else if (i == a.end() || j->first < i->first) {
            changed(j->first, empty, j->second);
            ++j;
        } else {
            if (i->second != j->second)
                changed(i->first, i->second, j->second);
            ++i;
            ++j;
        }
    }
}

// Concatenation of the list's slots over levels 0..16 of the labyrinth, the text its memo shows.
std::string MemoText(const Atlas& atlas, unsigned lab, ListKind kind);

} // namespace veldor
