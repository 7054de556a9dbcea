// A member's live file as the sync engine delivers it: any bytes must read without harm, a record is taken only
// when it lies on the atlas, what is read writes back and reads back the same, and taking it in touches only the
// cells it names, where ours knew nothing. The input is tried as it is and sealed with its own length and checksum
// (past the check, where the records are read).
#include "map/atlas.h"
#include "map/levellinks.h"
#include "map/livefile.h"
#include "text/hash.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool onMap(const veldor::AtlasPlace& p)
{
    const int n = veldor::LabSide(p.lab);
    return n > 0 && p.level >= 0 && p.level < veldor::kLevelCount && p.x >= 1 && p.x <= n && p.y >= 1 && p.y <= n;
}

void check(const std::string& bytes)
{
    const veldor::LiveRead read = veldor::ReadLiveFile(bytes);
    if (read.status != veldor::LiveStatus::Ok)
        return;
    const veldor::LiveFile& live = read.live;
    for (const veldor::LiveCell& c : live.cells)
        if (!onMap(c.place) || c.cell.Explored == 0)
            std::abort();
    for (const veldor::LiveMarker& m : live.markers)
        if (!onMap(m.place) || m.text.empty())
            std::abort();
    if (live.place && !onMap(*live.place))
        std::abort();
    const std::string again = veldor::WriteLiveFile(live);
    const veldor::LiveRead reread = veldor::ReadLiveFile(again);
    if (reread.status != veldor::LiveStatus::Ok || reread.skipped != 0 || veldor::WriteLiveFile(reread.live) != again)
        std::abort();

    static auto* ours = new veldor::Atlas; // put back afterwards: clearing the whole atlas each run is slow
    veldor::LevelLinks links;
    const veldor::LiveTake taken = veldor::TakeLiveFile(*ours, links, live, {1000, {}});
    for (const veldor::AtlasPlace& p : taken.cellsTaken) {
        bool named = false;
        for (const veldor::LiveCell& c : live.cells)
            named = named || c.place == p;
        if (!named)
            std::abort();
        *ours->cell(p.lab, p.level, p.x, p.y) = veldor::TMapCell{};
    }
    for (const veldor::AtlasPlace& p : taken.markersTaken)
        ours->clearMarkText(p.lab, p.level, p.x, p.y);
    for (unsigned lab = 1; lab <= veldor::kLabyrinthCount; ++lab)
        for (int level = 0; level < veldor::kLevelCount; ++level)
            if (veldor::TLevelLists* lists = ours->levelLists(lab, level); taken.entries > 0)
                *lists = veldor::TLevelLists{};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string raw(reinterpret_cast<const char*>(data), size);
    check(raw);
    std::string body = "veldor-live 1\n" + raw;
    if (!body.empty() && body.back() != '\n')
        body += '\n';
    char end[64];
    std::snprintf(end, sizeof end, "end %zu %016llx\n", body.size(),
                  static_cast<unsigned long long>(veldor::Fnv1a(body.data(), body.size())));
    check(body + end);
    return 0;
}
