// What differs between two versions of the atlas, as the journal's changes.
#include "journalrecords.h"

#include <cstring>
#include <utility>

namespace veldor::journal {
namespace {

// Cells that hold the same bytes in a row go into one record from this many on.
constexpr std::size_t kFillFrom = 4;
// Cells of their own per record, well within a record's limit.
constexpr std::size_t kCellsPerRecord = std::size_t{1} << 20;

// Changed cells of one labyrinth, given in the labyrinth's order, written as few records as they allow: a row of
// cells holding the same bytes as one filled record, the others with their own bytes.
class CellRecorder
{
public:
    CellRecorder(const Atlas::CellRun& run, std::vector<journal::Change>& out) : m_run(run), m_out(out) {}
    ~CellRecorder() { flush(); }
    CellRecorder(const CellRecorder&) = delete;
    CellRecorder& operator=(const CellRecorder&) = delete;

    void add(std::size_t k, const TMapCell& cell)
    {
        if (!m_row.empty() && k != m_start + m_row.size())
            flush();
        if (m_row.empty())
            m_start = k;
        m_row.push_back(cell);
    }

private:
    static bool same(const TMapCell& a, const TMapCell& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
    void emit(std::size_t from, std::size_t count, bool fill)
    {
        while (count > 0) {
            const std::size_t n = fill ? count : std::min(count, kCellsPerRecord);
            m_out.emplace_back(journal::Cells{
                m_run.table, static_cast<std::uint32_t>(m_run.first + (m_start + from) * m_run.step),
                static_cast<std::uint8_t>(m_run.step), static_cast<std::uint32_t>(n), fill,
                std::string(reinterpret_cast<const char*>(&m_row[from]), (fill ? 1 : n) * sizeof(TMapCell))});
            from += n;
            count -= n;
        }
    }
    void flush()
    {
        std::size_t own = 0; // where the cells with bytes of their own began
        for (std::size_t i = 0; i < m_row.size();) {
            std::size_t j = i + 1;
            while (j < m_row.size() && same(m_row[j], m_row[i]))
                ++j;
            if (j - i >= kFillFrom) {
                emit(own, i - own, false);
                emit(i, j - i, true);
                own = j;
            }
            i = j;
        }
        emit(own, m_row.size() - own, false);
        m_row.clear();
    }

    Atlas::CellRun m_run;
    std::vector<journal::Change>& m_out;
    std::size_t m_start = 0;
    std::vector<TMapCell> m_row;
};

} // namespace

// What differs between two versions of the atlas: cells and lists of one labyrinth (0: of all), every marker.
std::vector<journal::Change> diff(const Atlas& was, const Atlas& now, unsigned lab)
{
    std::vector<journal::Change> changes;
    for (unsigned l = lab == 0 ? 1 : lab; l <= (lab == 0 ? kLabyrinthCount : lab); ++l) {
        const Atlas::CellRun run = Atlas::labCells(l);
        if (run.count == 0)
            continue;
        {
            const auto* a = reinterpret_cast<const TMapCell*>(now.bytes(run.table).data());
            const auto* b = reinterpret_cast<const TMapCell*>(was.bytes(run.table).data());
            CellRecorder cells(run, changes);
            for (std::size_t k = 0; k < run.count; ++k) {
                const std::size_t at = run.first + k * run.step;
                if (std::memcmp(&a[at], &b[at], sizeof(TMapCell)) != 0)
                    cells.add(k, a[at]);
            }
        }
        const std::span<const std::uint8_t> lists = now.bytes(MapTable::MapCrd);
        const std::span<const std::uint8_t> listsWas = was.bytes(MapTable::MapCrd);
        for (int level = 0; level < kLevelCount; ++level) {
            const std::size_t at = ((l - 1) * kLevelCount + static_cast<std::size_t>(level)) * sizeof(TLevelLists);
            const auto* a = lists.data() + at;
            const auto* b = listsWas.data() + at;
            if (std::memcmp(a, b, sizeof(TLevelLists)) == 0)
                continue;
            std::size_t first = 0;
            while (a[first] == b[first])
                ++first;
            std::size_t last = sizeof(TLevelLists) - 1;
            while (a[last] == b[last])
                --last;
            changes.emplace_back(
                journal::Patch{MapTable::MapCrd, static_cast<std::uint32_t>(at + first),
                               std::string(reinterpret_cast<const char*>(a + first), last - first + 1)});
        }
    }
    // Markers: levels that still share theirs are the same.
    for (unsigned l = 1; l <= kLabyrinthCount; ++l)
        for (int level = 0; level < kLevelCount; ++level)
            DiffMarkers(
                was.levelMarkers(l, level), now.levelMarkers(l, level),
                [&](std::uint16_t spot, const std::string&, const std::string& text) {
                    changes.emplace_back(journal::MarkerSet{{l, level, Atlas::SpotX(spot), Atlas::SpotY(spot)}, text});
                });
    return changes;
}

} // namespace veldor::journal
