#include "map/undo.h"

#include <cstring>

namespace veldor {
namespace {

constexpr std::size_t kListsBytes = sizeof(TLevelLists);
// A level's lists are compared slot by slot: the 256-byte slots, then the exits' 51-byte ones.
constexpr std::size_t kWideSlots = offsetof(TLevelLists, Exits) / 256;

std::vector<unsigned> labsOf(unsigned lab)
{
    std::vector<unsigned> labs;
    for (unsigned l = 1; l <= kLabyrinthCount; ++l) {
        if (lab == 0 || l == lab)
            labs.push_back(l);
    }
    return labs;
}

} // namespace

UndoHistory::Before::Before(const Atlas& atlas, unsigned lab) : m_lab(lab)
{
    for (unsigned l : labsOf(lab)) {
        Lab& saved = m_labs.emplace_back();
        saved.lab = l;
        const Atlas::CellRun run = Atlas::labCells(l);
        const auto* cells = reinterpret_cast<const TMapCell*>(atlas.bytes(run.table).data());
        saved.cells.resize(run.count);
        for (std::size_t k = 0; k < run.count; ++k)
            saved.cells[k] = cells[run.first + k * run.step];
        const TLevelLists* lists = atlas.levelLists(l, 0);
        saved.lists.assign(lists, lists + kLevelCount);
        for (int level = 0; level < kLevelCount; ++level)
            saved.markers[static_cast<std::size_t>(level)] = atlas.levelMarkers(l, level);
    }
}

UndoHistory::UndoHistory(Limits limits) : m_limits(limits) {}

void UndoHistory::addUnit(std::vector<Run>& runs, MapTable table, std::size_t offset, std::size_t unit,
                          const std::uint8_t* before, const std::uint8_t* after, std::size_t stride)
{
    Run* last = runs.empty() ? nullptr : &runs.back();
    const bool joins = last != nullptr && last->table == table && last->unit == unit && last->stride == stride &&
                       last->first + std::size_t{last->count} * stride == offset;
    if (!joins) {
        runs.push_back({table,
                        static_cast<std::uint32_t>(offset),
                        static_cast<std::uint32_t>(stride),
                        0,
                        static_cast<std::uint16_t>(unit),
                        {}});
        last = &runs.back();
    }
    last->data.insert(last->data.end(), before, before + unit);
    last->data.insert(last->data.end(), after, after + unit);
    ++last->count;
}

bool UndoHistory::record(const Before& before, const Atlas& atlas, std::string name)
{
    return push(prepare(before, atlas, std::move(name)), nullptr);
}

UndoHistory::Prepared UndoHistory::prepare(const Before& before, const Atlas& atlas, std::string name)
{
    Action action{std::move(name), before.m_lab, {}, {}, 0};
    for (const Before::Lab& saved : before.m_labs) {
        const Atlas::CellRun run = Atlas::labCells(saved.lab);
        const auto* cells = reinterpret_cast<const TMapCell*>(atlas.bytes(run.table).data());
        for (std::size_t k = 0; k < run.count; ++k) {
            const TMapCell& now = cells[run.first + k * run.step];
            if (std::memcmp(&now, &saved.cells[k], sizeof(TMapCell)) != 0) {
                addUnit(action.runs, run.table, (run.first + k * run.step) * sizeof(TMapCell), sizeof(TMapCell),
                        reinterpret_cast<const std::uint8_t*>(&saved.cells[k]),
                        reinterpret_cast<const std::uint8_t*>(&now), run.step * sizeof(TMapCell));
            }
        }
        const auto* listsNow = reinterpret_cast<const std::uint8_t*>(atlas.levelLists(saved.lab, 0));
        const auto* listsThen = reinterpret_cast<const std::uint8_t*>(saved.lists.data());
        const std::size_t base = Atlas::listsOffset(saved.lab);
        for (std::size_t level = 0; level < kLevelCount; ++level) {
            for (std::size_t at = 0; at < kListsBytes;) {
                const std::size_t unit = at / 256 < kWideSlots ? 256 : sizeof(TextSlot<51>);
                const std::size_t offset = level * kListsBytes + at;
                if (std::memcmp(listsNow + offset, listsThen + offset, unit) != 0)
                    addUnit(action.runs, MapTable::MapCrd, base + offset, unit, listsThen + offset, listsNow + offset,
                            unit);
                at += unit;
            }
        }
        for (int level = 0; level < kLevelCount; ++level) {
            DiffMarkers(saved.markers[static_cast<std::size_t>(level)], atlas.levelMarkers(saved.lab, level),
                        [&](std::uint16_t spot, const std::string& before, const std::string& after) {
                            action.markers.push_back(
                                {{saved.lab, level, Atlas::SpotX(spot), Atlas::SpotY(spot)}, before, after});
                        });
        }
    }
    Prepared prepared;
    if (action.runs.empty() && action.markers.empty())
        return prepared;
    action.bytes = sizeof(Action) + action.name.size();
    for (Run& run : action.runs) {
        run.data.shrink_to_fit();
        action.bytes += sizeof(Run) + run.data.capacity();
    }
    for (const MarkerChange& m : action.markers)
        action.bytes += sizeof(MarkerChange) + m.before.size() + m.after.size();
    prepared.m_action = std::move(action);
    return prepared;
}

bool UndoHistory::apply(Prepared prepared, Atlas& atlas)
{
    return push(std::move(prepared), &atlas);
}

bool UndoHistory::push(Prepared prepared, Atlas* atlas)
{
    if (!prepared.m_action)
        return false;
    Action& action = *prepared.m_action;
    if (atlas != nullptr)
        apply(action, *atlas, true);
    for (const Action& dropped : m_redo)
        m_bytes -= dropped.bytes;
    m_redo.clear();
    m_bytes += action.bytes;
    m_undo.push_back(std::move(action));
    trim();
    return true;
}

void UndoHistory::trim()
{
    // The oldest fall off; the newest action always stays, even alone over the limit.
    while (m_undo.size() > 1 && (m_undo.size() > m_limits.actions || m_bytes > m_limits.bytes)) {
        m_bytes -= m_undo.front().bytes;
        m_undo.pop_front();
    }
}

std::string UndoHistory::undoName() const
{
    return m_undo.empty() ? std::string{} : m_undo.back().name;
}

std::string UndoHistory::redoName() const
{
    return m_redo.empty() ? std::string{} : m_redo.back().name;
}

bool UndoHistory::takeIn(const Prepared& prepared, Atlas& atlas)
{
    return prepared.m_action && apply(*prepared.m_action, atlas, true, true);
}

bool UndoHistory::apply(const Action& action, Atlas& atlas, bool forward, bool whole)
{
    bool changed = false;
    for (const Run& run : action.runs) {
        std::uint8_t* table = atlas.bytes(run.table).data();
        const bool bytewise = !whole && run.table != MapTable::MapCrd;
        const std::uint8_t* data = run.data.data();
        for (std::uint32_t k = 0; k < run.count; ++k, data += 2 * run.unit) {
            const std::uint8_t* from = forward ? data : data + run.unit;
            const std::uint8_t* to = forward ? data + run.unit : data;
            std::uint8_t* at = table + run.first + std::size_t{k} * run.stride;
            // What changed since (by the reader, most likely) keeps what it holds now: a cell byte by byte (a
            // door seen since stays, the flag on the cell comes back), a list slot as the one entry it is.
            if (!bytewise && std::memcmp(at, from, run.unit) == 0) {
                std::memcpy(at, to, run.unit);
                changed = true;
                continue;
            }
            for (std::uint16_t b = 0; bytewise && b < run.unit; ++b) {
                if (at[b] == from[b] && at[b] != to[b]) {
                    at[b] = to[b];
                    changed = true;
                }
            }
        }
    }
    for (const MarkerChange& m : action.markers) {
        const std::string& from = forward ? m.before : m.after;
        if (atlas.markText(m.lab, m.level, m.x, m.y) == from) {
            atlas.setMarkText(m.lab, m.level, m.x, m.y, forward ? m.after : m.before);
            changed = true;
        }
    }
    return changed;
}

std::optional<unsigned> UndoHistory::undo(Atlas& atlas)
{
    return move(m_undo, m_redo, atlas, false);
}

std::optional<unsigned> UndoHistory::redo(Atlas& atlas)
{
    return move(m_redo, m_undo, atlas, true);
}

std::optional<unsigned> UndoHistory::move(std::deque<Action>& from, std::deque<Action>& to, Atlas& atlas, bool forward)
{
    if (from.empty())
        return std::nullopt;
    apply(from.back(), atlas, forward);
    to.push_back(std::move(from.back()));
    from.pop_back();
    return to.back().lab;
}

} // namespace veldor
