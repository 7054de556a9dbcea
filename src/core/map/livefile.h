#pragma once

#include "map/atlas.h"
#include "map/levellinks.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veldor {

// A member's live file in its subfolder of the group folder: what its atlas gained since its last full write-out
// (cells, markers, links learned) and where it stands, replaced whole every few seconds while the member walks.
// It ends with its own length and checksum, so a copy the sync engine has only half delivered is told from a
// whole one without waiting for the files to rest. Older copies of the program never read it.
struct LiveCell
{
    AtlasPlace place;
    TMapCell cell{};
};
struct LiveMarker
{
    AtlasPlace place;
    std::string text; // Windows-1251
};
struct LiveFile
{
    static constexpr const char* kFileName = "live.txt";
    static constexpr std::size_t kMaxBytes = std::size_t{1} << 20;

    std::int64_t startedMs = 0; // when that run of the member's program started
    std::int64_t writtenMs = 0; // when the file was written
    std::uint64_t sequence = 0; // counts the files of one run
    // Where the member stands, and since when; none when they keep it to themselves.
    std::optional<AtlasPlace> place;
    std::int64_t placeMs = 0;
    std::vector<LiveCell> cells;
    std::vector<LiveMarker> markers;
    std::vector<LevelLink> links;
};

std::string WriteLiveFile(const LiveFile& live);

enum class LiveStatus
{
    Ok,
    Incomplete,  // no end line, or fewer bytes than it names: still arriving
    BadChecksum, // the bytes are not the ones written
    TooLarge,
    NotLive, // not a live file at all
};
struct LiveRead
{
    LiveStatus status = LiveStatus::NotLive;
    LiveFile live;
    std::size_t skipped = 0; // records that did not read or lie off the atlas
};
LiveRead ReadLiveFile(std::string_view bytes);

// What member.txt says of the member's last full write-out: the run that wrote it and when.
struct MemberStamp
{
    std::int64_t startedMs = 0;
    std::int64_t writtenMs = 0;
};
MemberStamp ReadMemberStamp(std::string_view memberTxt);
// A live file older than the member's full maps, or from an earlier run than the one that wrote them, adds
// nothing.
bool LiveIsCurrent(const LiveFile& live, const MemberStamp& stamp);

// Takes a live file in with the group's rules: a cell only where ours knows nothing (as a merge takes it), with the
// list entry its object stands for; a marker only where we have none, cut and bounded like a merge's; a link only
// between stairs our atlas (with their cells) bears out.
struct LiveTakeOptions
{
    std::size_t markerRoom = 0; // markers the group may still bring
    std::function<bool(const AtlasPlace&, const std::string&)> skipMarker;
};
struct LiveTake
{
    int cells = 0;
    int cellsSkipped = 0; // junk cells
    int entries = 0;
    int markers = 0;
    int links = 0;
    std::vector<AtlasPlace> cellsTaken;
    std::vector<AtlasPlace> markersTaken;
};
LiveTake TakeLiveFile(Atlas& ours, LevelLinks& links, const LiveFile& live, const LiveTakeOptions& options);

} // namespace veldor
