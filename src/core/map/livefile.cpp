#include "livefile.h"

#include "map/merge.h"
#include "text/hash.h"

#include <charconv>
#include <cstdio>
#include <map>

namespace veldor {
namespace {

constexpr std::string_view kHeader = "veldor-live 1\n";

bool onMap(const AtlasPlace& p)
{
    const int n = LabSide(p.lab);
    return n > 0 && p.level >= 0 && p.level < kLevelCount && p.x >= 1 && p.x <= n && p.y >= 1 && p.y <= n;
}

void put(std::string& out, std::int64_t value)
{
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.push_back(' ');
    out.append(buffer, end);
}

void putPlace(std::string& out, const AtlasPlace& p)
{
    for (std::int64_t v : {std::int64_t{p.lab}, std::int64_t{p.level}, std::int64_t{p.x}, std::int64_t{p.y}})
        put(out, v);
}

// The numbers of a record after its word; false when one does not read or more follow.
template <std::size_t N>
bool numbers(std::string_view text, std::array<std::int64_t, N>& v, std::string_view* rest = nullptr)
{
    const char* p = text.data();
    const char* const stop = p + text.size();
    for (std::int64_t& value : v) {
        if (p == stop || *p != ' ')
            return false;
        const auto [next, ec] = std::from_chars(p + 1, stop, value);
        if (ec != std::errc())
            return false;
        p = next;
    }
    if (rest) {
        *rest = std::string_view(p, static_cast<std::size_t>(stop - p));
        return true;
    }
    return p == stop;
}

AtlasPlace placeOf(std::int64_t lab, std::int64_t level, std::int64_t x, std::int64_t y)
{
    if (lab < 1 || lab > kLabyrinthCount || level < 0 || level >= kLevelCount || x < 0 || x > kMaxMapSide || y < 0 ||
        y > kMaxMapSide)
        return {};
    return {static_cast<unsigned>(lab), static_cast<int>(level), static_cast<int>(x), static_cast<int>(y)};
}

bool fromHex(std::string_view hex, std::string& out)
{
    if (hex.size() % 2 != 0 || hex.size() > 2 * kMaxMarkerTaken + 2)
        return false;
    out.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        unsigned byte = 0;
        if (std::from_chars(hex.data() + i, hex.data() + i + 2, byte, 16).ptr != hex.data() + i + 2)
            return false;
        out.push_back(static_cast<char>(byte));
    }
    return !out.empty();
}

// One record line into the file; false when it does not read or lies off the atlas.
bool readRecord(std::string_view line, LiveFile& live)
{
    const std::size_t space = line.find(' ');
    const std::string_view word = line.substr(0, space);
    const std::string_view args = space == std::string_view::npos ? std::string_view() : line.substr(space);
    if (word == "started" || word == "written" || word == "sequence") {
        std::array<std::int64_t, 1> v{};
        if (!numbers(args, v) || v[0] < 0)
            return false;
        if (word == "started")
            live.startedMs = v[0];
        else if (word == "written")
            live.writtenMs = v[0];
        else
            live.sequence = static_cast<std::uint64_t>(v[0]);
        return true;
    }
    if (word == "place") {
        std::array<std::int64_t, 5> v{};
        if (!numbers(args, v) || !onMap(placeOf(v[0], v[1], v[2], v[3])))
            return false;
        live.place = placeOf(v[0], v[1], v[2], v[3]);
        live.placeMs = v[4];
        return true;
    }
    if (word == "cell") {
        std::array<std::int64_t, 10> v{};
        if (!numbers(args, v))
            return false;
        const AtlasPlace p = placeOf(v[0], v[1], v[2], v[3]);
        for (std::size_t i = 4; i < v.size(); ++i)
            if (v[i] < 0 || v[i] > 255)
                return false;
        TMapCell c{static_cast<std::uint8_t>(v[4]), static_cast<std::uint8_t>(v[5]), static_cast<std::uint8_t>(v[6]),
                   static_cast<std::uint8_t>(v[7]), static_cast<std::uint8_t>(v[8]), static_cast<char>(v[9])};
        if (!onMap(p) || !WellFormedCell(c) || c.Explored == 0)
            return false;
        live.cells.push_back({p, c});
        return true;
    }
    if (word == "marker") {
        std::array<std::int64_t, 4> v{};
        std::string_view rest;
        LiveMarker marker;
        if (!numbers(args, v, &rest) || rest.size() < 2 || rest[0] != ' ' || !fromHex(rest.substr(1), marker.text))
            return false;
        marker.place = placeOf(v[0], v[1], v[2], v[3]);
        if (!onMap(marker.place))
            return false;
        live.markers.push_back(std::move(marker));
        return true;
    }
    if (word == "link") {
        std::array<std::int64_t, 7> v{};
        if (!numbers(args, v) || v[0] < 1 || v[0] > kLabyrinthCount)
            return false;
        const AtlasPlace from = placeOf(v[0], v[1], v[2], v[3]);
        const AtlasPlace to = placeOf(v[0], v[4], v[5], v[6]);
        const LevelLink link{static_cast<unsigned>(v[0]), {from.level, from.x, from.y}, {to.level, to.x, to.y}};
        if (!onMap(from) || !onMap(to) || !LevelLinks::valid(link))
            return false;
        live.links.push_back(link);
        return true;
    }
    return false; // a record this copy does not know
}

} // namespace

std::string WriteLiveFile(const LiveFile& live)
{
    std::string out(kHeader);
    out += "started";
    put(out, live.startedMs);
    out += "\nwritten";
    put(out, live.writtenMs);
    out += "\nsequence";
    put(out, static_cast<std::int64_t>(live.sequence));
    out += '\n';
    if (live.place) {
        out += "place";
        putPlace(out, *live.place);
        put(out, live.placeMs);
        out += '\n';
    }
    for (const LiveCell& c : live.cells) {
        out += "cell";
        putPlace(out, c.place);
        for (int byte : {int{c.cell.North}, int{c.cell.South}, int{c.cell.West}, int{c.cell.East}, int{c.cell.Explored},
                         int{static_cast<unsigned char>(c.cell.Object)}})
            put(out, byte);
        out += '\n';
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    for (const LiveMarker& m : live.markers) {
        out += "marker";
        putPlace(out, m.place);
        out += ' ';
        for (const char ch : m.text) {
            out.push_back(kDigits[static_cast<unsigned char>(ch) >> 4]);
            out.push_back(kDigits[static_cast<unsigned char>(ch) & 15]);
        }
        out += '\n';
    }
    for (const LevelLink& l : live.links) {
        out += "link";
        putPlace(out, {l.lab, l.from.level, l.from.x, l.from.y});
        for (int v : {l.to.level, l.to.x, l.to.y})
            put(out, v);
        out += '\n';
    }
    char end[64];
    std::snprintf(end, sizeof end, "end %zu %016llx\n", out.size(),
                  static_cast<unsigned long long>(Fnv1a(out.data(), out.size())));
    return out + end;
}

LiveRead ReadLiveFile(std::string_view bytes)
{
    LiveRead read;
    if (bytes.size() > LiveFile::kMaxBytes + 64) {
        read.status = LiveStatus::TooLarge;
        return read;
    }
    if (bytes.substr(0, kHeader.size()) != kHeader.substr(0, std::min(kHeader.size(), bytes.size())))
        return read; // NotLive
    // The end line: "end <length> <checksum>" naming exactly the bytes before it.
    const std::size_t endAt = bytes.size() >= 2 ? bytes.rfind("\nend ", bytes.size() - 2) : std::string_view::npos;
    if (bytes.size() < kHeader.size() || bytes.back() != '\n' || endAt == std::string_view::npos) {
        read.status = LiveStatus::Incomplete;
        return read;
    }
    const std::string_view body = bytes.substr(0, endAt + 1);
    unsigned long long length = 0;
    unsigned long long sum = 0;
    char tail = 0;
    const std::string endLine(bytes.substr(endAt + 1));
    if (std::sscanf(endLine.c_str(), "end %llu %16llx%c", &length, &sum, &tail) != 3 || tail != '\n') {
        read.status = LiveStatus::Incomplete;
        return read;
    }
    if (length != body.size()) {
        read.status = LiveStatus::Incomplete;
        return read;
    }
    if (sum != Fnv1a(body.data(), body.size())) {
        read.status = LiveStatus::BadChecksum;
        return read;
    }
    if (body.size() > LiveFile::kMaxBytes) {
        read.status = LiveStatus::TooLarge;
        return read;
    }
    std::size_t start = kHeader.size();
    while (start < body.size()) {
        const std::size_t stop = body.find('\n', start);
        if (!readRecord(body.substr(start, stop - start), read.live))
            ++read.skipped;
        start = stop + 1;
    }
    read.status = LiveStatus::Ok;
    return read;
}

MemberStamp ReadMemberStamp(std::string_view text)
{
    MemberStamp stamp;
    const auto value = [&](std::string_view key) -> std::int64_t {
        for (std::size_t at = 0; (at = text.find(key, at)) != std::string_view::npos; at += key.size()) {
            if (at != 0 && text[at - 1] != '\n')
                continue;
            std::int64_t v = 0;
            const char* begin = text.data() + at + key.size();
            if (std::from_chars(begin, text.data() + text.size(), v).ec == std::errc() && v >= 0)
                return v;
        }
        return 0;
    };
    stamp.startedMs = value("startedMs=");
    stamp.writtenMs = value("writtenMs=");
    return stamp;
}

bool LiveIsCurrent(const LiveFile& live, const MemberStamp& stamp)
{
    return live.startedMs >= stamp.startedMs && live.writtenMs >= stamp.writtenMs;
}

LiveTake TakeLiveFile(Atlas& ours, LevelLinks& links, const LiveFile& live, const LiveTakeOptions& options)
{
    LiveTake taken;
    std::map<std::pair<unsigned, ListKind>, std::string> memos;
    for (const LiveCell& c : live.cells) {
        TMapCell* mine = ours.cell(c.place.lab, c.place.level, c.place.x, c.place.y);
        if (!mine)
            continue;
        const CellTake take = TakeCell(*mine, c.cell);
        if (take == CellTake::Junk)
            ++taken.cellsSkipped;
        if (take != CellTake::Taken)
            continue;
        ++taken.cells;
        taken.cellsTaken.push_back(c.place);
        // The entry the object stands for, as the recorder enters it. The labyrinth's memo is made once per list:
        // a file of thousands of objects must not lay it out again for each.
        for (ListKind kind : {ListKind::Exits, ListKind::Transitions, ListKind::Traps, ListKind::Flags}) {
            if (mine->Object != ListObject(kind))
                continue;
            const std::string entry = PositionEntry(c.place.level, c.place.x, c.place.y);
            TLevelLists* lists = ours.levelLists(c.place.lab, c.place.level);
            auto memo = memos.find({c.place.lab, kind});
            if (memo == memos.end())
                memo = memos.emplace(std::make_pair(c.place.lab, kind), MemoText(ours, c.place.lab, kind)).first;
            if (lists && memo->second.find(entry) == std::string::npos && AppendEntry(*lists, kind, entry)) {
                memo->second += entry;
                ++taken.entries;
            }
        }
    }
    std::size_t room = options.markerRoom;
    for (const LiveMarker& m : live.markers) {
        const AtlasPlace& p = m.place;
        if (room == 0 || !ours.markText(p.lab, p.level, p.x, p.y).empty() ||
            (options.skipMarker && options.skipMarker(p, m.text)))
            continue;
        --room;
        ours.setMarkText(p.lab, p.level, p.x, p.y,
                         m.text.size() <= kMaxMarkerTaken ? m.text : m.text.substr(0, kMaxMarkerTaken - 1) + '\x85');
        ++taken.markers;
        taken.markersTaken.push_back(p);
    }
    LevelLinks theirs;
    for (const LevelLink& l : live.links)
        theirs.add(l);
    taken.links = static_cast<int>(TakeLinks(links, LinksBetweenStairs(theirs, ours), ours));
    return taken;
}

} // namespace veldor
