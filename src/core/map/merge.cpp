#include "merge.h"

#include "files/safefile.h"
#include "markerfile.h"
#include "objects.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string_view>
#include <sys/stat.h>

namespace veldor {
namespace {

bool hasObject(const TMapCell& c)
{
    return c.Object != 0 && c.Object != 'n';
}

// The groups' tables share one layout in both atlases, so they are walked side by side; the labyrinth of a
// record is its slot, the index modulo the group's slot count.
void mergeCells(Atlas& ours, const Atlas& theirs, const MergeOptions& options, MergeResult& result)
{
    const std::pair<MapTable, int> groups[] = {{MapTable::Map1, 1}, {MapTable::Map2, 2}, {MapTable::Map3, 3}};
    for (const auto& [table, group] : groups) {
        auto* mine = reinterpret_cast<TMapCell*>(ours.bytes(table).data());
        const auto* other = reinterpret_cast<const TMapCell*>(theirs.bytes(table).data());
        const std::size_t count = ours.bytes(table).size() / sizeof(TMapCell);
        for (std::size_t i = 0; i < count; ++i) {
            const CellTake take = TakeCell(mine[i], other[i]);
            if (take == CellTake::Nothing)
                continue;
            const unsigned lab = Atlas::labOfRecord(group, i);
            if (take == CellTake::Junk) {
                ++result.labs[lab].cellsSkipped;
                continue;
            }
            ++result.labs[lab].cells;
            if (options.cellTaken) {
                const Atlas::CellRun run = Atlas::labCells(lab);
                const Atlas::CellPlace p = Atlas::placeInRun(lab, (i - run.first) / run.step);
                options.cellTaken({lab, p.level, p.x, p.y});
            }
        }
    }
}

// Text of the lists as the program writes it: one cell's "L-3(12x7); " (a damaged or hostile file's bytes would
// fill the memos with junk), naming a cell of that labyrinth on the level the entry is filed under, whose cell in
// the atlas it came from holds the list's object.
bool wellFormed(const std::string& entry, const Atlas& theirs, unsigned lab, int filedLevel, ListKind kind)
{
    int level = -1;
    int x = 0;
    int y = 0;
    char tail[4] = {};
    int used = 0;
    if (std::sscanf(entry.c_str(), "L-%2d(%3dx%3d%3c%n", &level, &x, &y, tail, &used) != 4 ||
        static_cast<std::size_t>(used) != entry.size() || std::string_view(tail, 3) != "); " || level != filedLevel ||
        PositionEntry(level, x, y) != entry)
        return false;
    const TMapCell* cell = theirs.cell(lab, level, x, y); // null off the labyrinth's size
    return cell != nullptr && cell->Object == ListObject(kind);
}

void mergeMarkers(Atlas& ours, const Atlas& theirs, const MergeOptions& options, MergeResult& result)
{
    int taken = 0;
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab) {
        MergeCounts& counts = result.labs[lab];
        for (int level = 0; level < kLevelCount; ++level) {
            const Atlas::SharedMarkers marks = theirs.levelMarkers(lab, level);
            if (!marks)
                continue;
            for (const auto& [spot, text] : *marks) {
                const int x = Atlas::SpotX(spot);
                const int y = Atlas::SpotY(spot);
                if (!ours.markText(lab, level, x, y).empty() ||
                    (options.skipMarker && options.skipMarker({lab, level, x, y}, text)))
                    continue;
                if (taken >= options.maxMarkers) {
                    ++counts.markersSkipped;
                    continue;
                }
                ++taken;
                ++counts.markers;
                result.markersTaken.push_back({lab, level, x, y});
                if (text.size() <= kMaxMarkerTaken) {
                    ours.setMarkText(lab, level, x, y, text);
                } else {
                    ++counts.markersCut;
                    ours.setMarkText(lab, level, x, y, text.substr(0, kMaxMarkerTaken - 1) + '\x85'); // "…"
                }
            }
        }
    }
}

void mergeLists(Atlas& ours, const Atlas& theirs, unsigned lab, MergeCounts& counts)
{
    for (ListKind kind : {ListKind::Exits, ListKind::Transitions, ListKind::Traps, ListKind::Flags}) {
        std::string memo = MemoText(ours, lab, kind);
        for (int level = 0; level < kLevelCount; ++level) {
            const TLevelLists& other = *theirs.levelLists(lab, level);
            TLevelLists& mine = *ours.levelLists(lab, level);
            for (int k = 0; k < ListSlots(kind); ++k) {
                const std::string entry = SlotText(other, kind, k);
                if (entry.empty() || !wellFormed(entry, theirs, lab, level, kind) ||
                    memo.find(entry) != std::string::npos)
                    continue;
                if (AppendEntry(mine, kind, entry)) {
                    ++counts.entries;
                    memo = MemoText(ours, lab, kind);
                } else {
                    ++counts.dropped;
                }
            }
        }
    }
}

} // namespace

MergeCounts MergeResult::total() const
{
    MergeCounts sum;
    for (const MergeCounts& c : labs) {
        sum.cells += c.cells;
        sum.cellsSkipped += c.cellsSkipped;
        sum.entries += c.entries;
        sum.dropped += c.dropped;
        sum.markers += c.markers;
        sum.markersCut += c.markersCut;
        sum.markersSkipped += c.markersSkipped;
    }
    return sum;
}

CellTake TakeCell(TMapCell& m, const TMapCell& o)
{
    if (o.Explored == 0 || m.Explored != 0 || hasObject(m))
        return CellTake::Nothing;
    if (!WellFormedCell(o))
        return CellTake::Junk;
    for (std::uint8_t TMapCell::*side : {&TMapCell::North, &TMapCell::South, &TMapCell::West, &TMapCell::East}) {
        if (m.*side == 0)
            m.*side = o.*side;
    }
    m.Explored = o.Explored;
    m.Object = o.Object;
    return CellTake::Taken;
}

char ListObject(ListKind kind)
{
    switch (kind) {
    case ListKind::Exits:
        return Obj::Exit;
    case ListKind::Transitions:
        return Obj::Descent;
    case ListKind::Traps:
        return Obj::Trap;
    case ListKind::Flags:
        return Obj::Flag;
    }
    return 0;
}

bool WellFormedCell(const TMapCell& c)
{
    const bool sides = c.North <= 8 && c.South <= 8 && c.West <= 8 && c.East <= 8;
    return sides && c.Explored <= 1 && (c.Object == 0 || c.Object == Obj::None || FindObjectKind(c.Object));
}

MergeResult MergeAtlas(Atlas& ours, const Atlas& theirs, const MergeOptions& options)
{
    MergeResult result;
    mergeCells(ours, theirs, options, result);
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab)
        mergeLists(ours, theirs, lab, result.labs[lab]);
    mergeMarkers(ours, theirs, options, result);
    return result;
}

OtherMaps LoadOtherMaps(Atlas& theirs, const std::string& folder)
{
    OtherMaps other;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    const MapFilesReport read = LoadMaps(theirs, folder, false); // never opens a pipe or a device
    const char* const untouched = ": файл пропущен, ваши карты не тронуты";
    for (const auto& file : MapFiles()) {
        struct stat st
        {
        };
        const std::string path = prefix + file.name;
        auto skip = [&](const std::string& why, FileError kind) {
            auto table = theirs.bytes(file.table);
            std::fill(table.begin(), table.end(), 0);
            other.report.problems.push_back({file.name, why + untouched, kind});
        };
        if (::lstat(path.c_str(), &st) != 0 && errno == ENOENT) {
            other.missing.emplace_back(file.name);
        } else if (std::string odd; isOddFile(path, &odd)) {
            skip(odd, FileError::NotRegular);
        } else if (::stat(path.c_str(), &st) != 0) {
            skip(describeError(errno), errorKind(errno));
        } else if (static_cast<std::size_t>(st.st_size) != file.size) {
            skip("размер " + std::to_string(st.st_size) + " байт, а у файла карт он " + std::to_string(file.size),
                 FileError::Damaged);
        } else {
            for (const FileProblem& p : read.problems)
                if (p.file == file.name)
                    skip(p.reason, p.kind);
        }
    }
    const MarkersLoad markers = LoadMarkers(theirs, folder, kMaxOtherMarkersBytes);
    if (markers.unread)
        other.report.problems.push_back({kMarkersFileName, "не прочитан, маркеры из него не взяты", markers.kind});
    else if (markers.kind == FileError::TooLarge)
        other.report.problems.push_back(
            {kMarkersFileName,
             "больше " + std::to_string(kMaxOtherMarkersBytes >> 20) + " МБ: маркеры взяты только из его начала",
             markers.kind});
    return other;
}

bool SameFolder(const std::string& a, const std::string& b)
{
    struct stat sa
    {
    };
    struct stat sb
    {
    };
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && S_ISDIR(sa.st_mode) &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

} // namespace veldor
