#include "merge.h"

#include <cerrno>
#include <sys/stat.h>

namespace veldor {
namespace {

bool hasObject(const TMapCell& c)
{
    return c.Object != 0 && c.Object != 'n';
}

int mergeCells(Atlas& ours, const Atlas& theirs, unsigned lab)
{
    const int n = LabSide(lab);
    int taken = 0;
    for (int level = 0; level < kLevelCount; ++level) {
        for (int y = 1; y <= n; ++y) {
            for (int x = 1; x <= n; ++x) {
                TMapCell& mine = *ours.cell(lab, level, x, y);
                const TMapCell& other = *theirs.cell(lab, level, x, y);
                if (other.Explored == 0 || mine.Explored != 0 || hasObject(mine))
                    continue;
                for (std::uint8_t TMapCell::*side : {&TMapCell::North, &TMapCell::South, &TMapCell::West,
                                                     &TMapCell::East}) {
                    if (mine.*side == 0)
                        mine.*side = other.*side;
                }
                mine.Explored = other.Explored;
                mine.Object = other.Object;
                ++taken;
            }
        }
    }
    return taken;
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
                if (entry.empty() || memo.find(entry) != std::string::npos)
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
        sum.entries += c.entries;
        sum.dropped += c.dropped;
    }
    return sum;
}

MergeResult MergeAtlas(Atlas& ours, const Atlas& theirs)
{
    MergeResult result;
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab) {
        result.labs[lab].cells = mergeCells(ours, theirs, lab);
        mergeLists(ours, theirs, lab, result.labs[lab]);
    }
    return result;
}

OtherMaps LoadOtherMaps(Atlas& theirs, const std::string& folder)
{
    OtherMaps other;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (const auto& file : MapFiles()) {
        struct stat st
        {
        };
        if (::lstat((prefix + file.name).c_str(), &st) != 0 && errno == ENOENT)
            other.missing.emplace_back(file.name);
    }
    other.report = LoadMaps(theirs, folder, false);
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
