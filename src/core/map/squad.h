#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veldor {

// A group's shared folder, kept in step by a sync engine: each member writes only `<folder>/<name>/` and reads
// the others' subfolders. These are the rules for what is there; nothing here writes.

// A member's name in the folder: letters (any alphabet), digits, '-' and '_', 1 to 32 characters (UTF-8).
bool ValidMemberName(std::string_view utf8);

// A name a sync engine or an editor uses for something not (yet) a file of its own: a file still arriving, a
// partial download, a conflict copy, a lock. Such entries are never read.
bool IsSyncTemporary(std::string_view name);

// One map file of a member's subfolder, as a scan saw it.
struct SquadFileStamp
{
    std::uint64_t size = 0;
    std::int64_t modifiedMs = 0; // since the epoch
    bool operator==(const SquadFileStamp&) const = default;
};

// A member's subfolder as a scan saw it: each of the four map files (in the order of MapFiles()), nothing for
// one that is missing or is not a regular file.
struct SquadMemberScan
{
    std::string name;
    std::array<std::optional<SquadFileStamp>, 4> maps{};
    bool operator==(const SquadMemberScan&) const = default;
};

enum class MemberReadiness
{
    Absent,   // not all four files are there
    Arriving, // all four, but one is short or changed less than `quiet` ago
    Ready,    // all four whole and left alone for `quiet`
};

// Whether a member's maps may be read now: all four files at their full sizes, none changed within `quiet`
// before `nowMs` (a sync engine may still be writing the others).
MemberReadiness JudgeMember(const SquadMemberScan& scan, std::int64_t nowMs, std::int64_t quietMs = 2000);

// The members' subfolders of a shared folder: every folder whose name is a valid member name, except ours
// (`own`), whatever else lies there. Links are not followed.
std::vector<SquadMemberScan> ScanSquadFolder(const std::string& folder, std::string_view own);

} // namespace veldor
