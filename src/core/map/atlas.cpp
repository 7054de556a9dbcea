#include "atlas.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace veldor {
namespace {

constexpr std::array<std::u8string_view, kLabyrinthCount> kNames = {
    u8"Башня Хаоса",
    u8"Долина Магов",
    u8"Пещеры Драконов",
    u8"Замок Паладинов",
    u8"Башня Смерти",
    u8"Призрачная Башня",
    u8"Лабиринт Наемников",
    u8"Канализация Столицы",
    u8"Канализация Илдиора",
    u8"Горный Замок (Штурм)",
    u8"Болотный Замок (Штурм)",
    u8"Лесной Замок (Штурм)",
    u8"Пустынный Замок (Штурм)",
    u8"Лагденойский Лес",
    u8"Болото",
    u8"Столичный Лес",
    u8"Илдиорский Лес",
    u8"Горный Замок",
    u8"Болотный Замок",
    u8"Лесной Замок",
};

// Pointer to the first byte of a slot and its size.
std::pair<std::uint8_t*, std::size_t> slotBytes(TLevelLists& lists, ListKind kind, int k)
{
    switch (kind) {
    case ListKind::Transitions:
        return {lists.Transitions[k].bytes.data(), 256};
    case ListKind::Traps:
        return {lists.Traps[k].bytes.data(), 256};
    case ListKind::Flags:
        return {lists.Flags[k].bytes.data(), 256};
    case ListKind::Exits:
        return {lists.Exits[k].bytes.data(), 51};
    }
    return {nullptr, 0};
}

bool validSlot(ListKind kind, int k)
{
    return k >= 0 && k < ListSlots(kind);
}

std::size_t levelIndex(unsigned lab, int level)
{
    return (lab - 1) * kLevelCount + static_cast<unsigned>(level);
}

bool validMark(unsigned lab, int level, int x, int y)
{
    return lab >= 1 && lab <= kLabyrinthCount && level >= 0 && level < kLevelCount && x >= 1 && x <= kMaxMapSide &&
           y >= 1 && y <= kMaxMapSide;
}

} // namespace

int LabGroup(unsigned lab)
{
    if (lab >= 1 && lab <= 6)
        return 1;
    if (lab >= 7 && lab <= 13)
        return 2;
    if (lab >= 14 && lab <= 20)
        return 3;
    return 0;
}

int MapSide(int group)
{
    switch (group) {
    case 1:
        return 30;
    case 2:
        return 40;
    case 3:
        return 100;
    default:
        return 0;
    }
}

unsigned FirstLabOfGroup(int group)
{
    return group == 1 ? 1 : group == 2 ? 7 : 14;
}

int GroupSlots(int group)
{
    return group == 1 ? 6 : (group == 2 || group == 3) ? 7 : 0;
}

std::u8string_view LabyrinthName(unsigned lab)
{
    return lab >= 1 && lab <= kLabyrinthCount ? kNames[lab - 1] : std::u8string_view{};
}

int ListSlots(ListKind kind)
{
    return kind == ListKind::Traps ? 10 : 3;
}

int ListMaxLength(ListKind kind)
{
    return kind == ListKind::Exits ? 50 : 255;
}

std::string SlotText(const TLevelLists& lists, ListKind kind, int k)
{
    if (!validSlot(kind, k))
        return {};
    auto [p, size] = slotBytes(const_cast<TLevelLists&>(lists), kind, k);
    const std::size_t len = std::min<std::size_t>(p[0], size - 1);
    return std::string(reinterpret_cast<const char*>(p + 1), len);
}

void SetSlotText(TLevelLists& lists, ListKind kind, int k, std::string_view text)
{
    if (!validSlot(kind, k))
        return;
    auto [p, size] = slotBytes(lists, kind, k);
    const std::size_t len = std::min(text.size(), size - 1);
    p[0] = static_cast<std::uint8_t>(len);
    std::copy_n(text.data(), len, p + 1);
}

bool AppendEntry(TLevelLists& lists, ListKind kind, std::string_view text)
{
    for (int k = 0; k < ListSlots(kind); ++k) {
        if (slotBytes(lists, kind, k).first[0] == 0) {
            SetSlotText(lists, kind, k, text);
            return true;
        }
    }
    return false;
}

void ClearList(TLevelLists& lists, ListKind kind)
{
    for (int k = 0; k < ListSlots(kind); ++k)
        slotBytes(lists, kind, k).first[0] = 0;
}

std::string PositionEntry(int level, int x, int y)
{
    return "L-" + std::to_string(level) + "(" + std::to_string(x) + "x" + std::to_string(y) + "); ";
}

TMapCell* Atlas::cell(unsigned lab, int level, int x, int y)
{
    return const_cast<TMapCell*>(std::as_const(*this).cell(lab, level, x, y));
}

const TMapCell* Atlas::cell(unsigned lab, int level, int x, int y) const
{
    const int group = LabGroup(lab);
    const int n = MapSide(group);
    if (group == 0 || level < 0 || level >= kLevelCount || x < 1 || x > n || y < 1 || y > n)
        return nullptr;
    const std::size_t slots = static_cast<std::size_t>(GroupSlots(group));
    const std::size_t slot = lab - FirstLabOfGroup(group);
    const std::size_t index =
        ((static_cast<std::size_t>(x - 1) * n + static_cast<std::size_t>(y - 1)) * kLevelCount + level) * slots + slot;
    switch (group) {
    case 1:
        return &m_map1[index];
    case 2:
        return &m_map2[index];
    default:
        return &m_map3[index];
    }
}

TLevelLists* Atlas::levelLists(unsigned lab, int level)
{
    return const_cast<TLevelLists*>(std::as_const(*this).levelLists(lab, level));
}

const TLevelLists* Atlas::levelLists(unsigned lab, int level) const
{
    if (lab < 1 || lab > kLabyrinthCount || level < 0 || level >= kLevelCount)
        return nullptr;
    return &m_crd[(lab - 1) * kLevelCount + static_cast<unsigned>(level)];
}

Atlas::CellRun Atlas::labCells(unsigned lab)
{
    const int group = LabGroup(lab);
    if (group == 0)
        return {};
    const auto n = static_cast<std::size_t>(MapSide(group));
    const auto table = group == 1 ? MapTable::Map1 : group == 2 ? MapTable::Map2 : MapTable::Map3;
    return {table, lab - FirstLabOfGroup(group), static_cast<std::size_t>(GroupSlots(group)), n * n * kLevelCount};
}

Atlas::CellPlace Atlas::placeInRun(unsigned lab, std::size_t k)
{
    const int n = MapSide(LabGroup(lab));
    if (n == 0)
        return {};
    const auto cell = static_cast<int>(k / kLevelCount);
    return {static_cast<int>(k % kLevelCount), cell / n + 1, cell % n + 1};
}

unsigned Atlas::labOfRecord(int group, std::size_t index)
{
    return FirstLabOfGroup(group) + static_cast<unsigned>(index % static_cast<std::size_t>(GroupSlots(group)));
}

std::size_t Atlas::listsOffset(unsigned lab)
{
    return (lab - 1) * static_cast<std::size_t>(kLevelCount) * sizeof(TLevelLists);
}

std::span<std::uint8_t> Atlas::bytes(MapTable table)
{
    const auto s = std::as_const(*this).bytes(table);
    return {const_cast<std::uint8_t*>(s.data()), s.size()};
}

std::span<const std::uint8_t> Atlas::bytes(MapTable table) const
{
    auto view = [](const auto& arr) {
        return std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(arr.data()),
                                             sizeof(arr[0]) * arr.size());
    };
    switch (table) {
    case MapTable::Map1:
        return view(m_map1);
    case MapTable::Map2:
        return view(m_map2);
    case MapTable::Map3:
        return view(m_map3);
    case MapTable::MapCrd:
        return view(m_crd);
    }
    return {};
}

std::string Atlas::markText(unsigned lab, int level, int x, int y) const
{
    if (!validMark(lab, level, x, y))
        return {};
    const auto& marks = m_marks[levelIndex(lab, level)];
    if (!marks)
        return {};
    const auto it = marks->find(MarkerSpot(x, y));
    return it == marks->end() ? std::string{} : it->second;
}

Atlas::LevelMarkers* Atlas::writableMarkers(unsigned lab, int level)
{
    auto& shared = m_marks[levelIndex(lab, level)];
    if (!shared || shared.use_count() > 1) {
        // Another copy of the atlas still reads the old one.
        auto own = shared ? std::make_shared<LevelMarkers>(*shared) : std::make_shared<LevelMarkers>();
        LevelMarkers* marks = own.get();
        shared = std::move(own);
        return marks;
    }
    // The last other owner may have just let go on another thread: see its reads before writing. Every level
    // was made writable here, so writing through it is sound.
    std::atomic_thread_fence(std::memory_order_acquire);
    return const_cast<LevelMarkers*>(shared.get());
}

void Atlas::setMarkText(unsigned lab, int level, int x, int y, std::string text)
{
    if (text.empty()) {
        clearMarkText(lab, level, x, y);
        return;
    }
    if (!validMark(lab, level, x, y))
        return;
    const auto& shared = m_marks[levelIndex(lab, level)];
    const auto spot = MarkerSpot(x, y);
    if (shared) {
        const auto it = shared->find(spot);
        if (it != shared->end() && it->second == text)
            return; // unchanged: the level stays shared
    }
    (*writableMarkers(lab, level))[spot] = std::move(text);
}

void Atlas::clearMarkText(unsigned lab, int level, int x, int y)
{
    if (!validMark(lab, level, x, y))
        return;
    const auto& shared = m_marks[levelIndex(lab, level)];
    if (!shared || !shared->contains(MarkerSpot(x, y)))
        return;
    LevelMarkers* marks = writableMarkers(lab, level);
    marks->erase(MarkerSpot(x, y));
    if (marks->empty())
        m_marks[levelIndex(lab, level)].reset();
}

Atlas::SharedMarkers Atlas::levelMarkers(unsigned lab, int level) const
{
    if (lab < 1 || lab > kLabyrinthCount || level < 0 || level >= kLevelCount)
        return nullptr;
    return m_marks[levelIndex(lab, level)];
}

std::size_t Atlas::markerCount(unsigned lab) const
{
    std::size_t count = 0;
    for (unsigned l = 1; l <= kLabyrinthCount; ++l) {
        if (lab != 0 && l != lab)
            continue;
        for (int level = 0; level < kLevelCount; ++level)
            if (const auto& marks = m_marks[levelIndex(l, level)])
                count += marks->size();
    }
    return count;
}

std::vector<Atlas::Marker> Atlas::markers(unsigned onlyLab) const
{
    std::vector<Marker> out;
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab) {
        if (onlyLab != 0 && lab != onlyLab)
            continue;
        for (int level = 0; level < kLevelCount; ++level)
            if (const auto& marks = m_marks[levelIndex(lab, level)])
                for (const auto& [spot, text] : *marks)
                    out.push_back({{lab, level, SpotX(spot), SpotY(spot)}, text});
    }
    return out;
}

void Atlas::clear()
{
    m_map1.fill({});
    m_map2.fill({});
    m_map3.fill({});
    for (auto& lists : m_crd)
        lists = TLevelLists{};
    m_marks.fill(nullptr);
}

std::string MemoText(const Atlas& atlas, unsigned lab, ListKind kind)
{
    std::string text;
    for (int level = 0; level < kLevelCount; ++level) {
        const TLevelLists* lists = atlas.levelLists(lab, level);
        if (!lists)
            return text;
        for (int k = 0; k < ListSlots(kind); ++k)
            text += SlotText(*lists, kind, k);
    }
    return text;
}

} // namespace veldor
