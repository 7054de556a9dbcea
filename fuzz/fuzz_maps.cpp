// Map files as found on disk, ours at start-up or another player's for a merge: any content in any of the four
// files must load without harm, what loads is what the object lists show afterwards, and a merge of it never
// changes what our atlas already knew and adds nothing the second time.
#include "map/mapfiles.h"
#include "map/merge.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

// Our side of the merge: a few explored and marked cells in each group and full lists.
const veldor::Atlas& ourBase()
{
    static auto* base = [] {
        auto* a = new veldor::Atlas;
        for (unsigned lab : {1u, 7u, 14u, 20u}) {
            *a->cell(lab, 0, 1, 1) = veldor::TMapCell{1, 1, 1, 1, 1, 'n'};
            *a->cell(lab, 16, 30, 30) = veldor::TMapCell{0, 0, 0, 0, 0, 'L'};
            for (int k = 0; k < 10; ++k)
                veldor::AppendEntry(*a->levelLists(lab, 3), veldor::ListKind::Traps, veldor::PositionEntry(3, k, k));
        }
        return a;
    }();
    return *base;
}

bool sameCell(const veldor::TMapCell* a, const veldor::TMapCell* b)
{
    return std::memcmp(a, b, sizeof *a) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static auto* atlas = new veldor::Atlas;
    static auto* ours = new veldor::Atlas;
    static const std::string folder = [] {
        char tmpl[] = "/tmp/veldor-fuzz-maps-XXXXXX";
        return std::string(::mkdtemp(tmpl));
    }();
    if (size < 1)
        return 0;
    const auto& files = veldor::MapFiles();
    // The first byte picks the file that holds the rest (the others are absent) and whose reading it is.
    const std::size_t chosen = data[0] % files.size();
    const bool forMerge = (data[0] / files.size()) % 2 == 1;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string path = folder + "/" + files[i].name;
        std::remove(path.c_str());
        if (i == chosen) {
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(data) + 1, static_cast<std::streamsize>(size - 1));
        }
    }
    if (forMerge) {
        const veldor::OtherMaps other = veldor::LoadOtherMaps(*atlas, folder);
        if (other.present() != 1)
            std::abort();
    } else {
        veldor::LoadMaps(*atlas, folder);
    }
    // Damaged length bytes in the lists must not read beyond their slots.
    std::size_t total = 0;
    for (unsigned lab = 1; lab <= 20; ++lab)
        for (auto kind :
             {veldor::ListKind::Exits, veldor::ListKind::Transitions, veldor::ListKind::Traps, veldor::ListKind::Flags})
            total += veldor::MemoText(*atlas, lab, kind).size();
    if (total > 340u * 19u * 255u)
        std::abort();
    if (!forMerge)
        return 0;

    *ours = ourBase();
    veldor::MergeAtlas(*ours, *atlas);
    for (unsigned lab : {1u, 7u, 14u, 20u}) {
        if (!sameCell(ours->cell(lab, 0, 1, 1), ourBase().cell(lab, 0, 1, 1)) ||
            !sameCell(ours->cell(lab, 16, 30, 30), ourBase().cell(lab, 16, 30, 30)) ||
            veldor::MemoText(*ours, lab, veldor::ListKind::Traps).find(veldor::PositionEntry(3, 9, 9)) ==
                std::string::npos)
            std::abort();
    }
    const veldor::MergeCounts again = veldor::MergeAtlas(*ours, *atlas).total();
    if (again.cells != 0 || again.entries != 0)
        std::abort();
    return 0;
}
