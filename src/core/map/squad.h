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

// A member's name in the folder: letters of one alphabet (Latin, Greek or Cyrillic, never mixed: «Рutnik» with a
// Cyrillic «Р» would pass for «Putnik»), digits, '-' and '_', 1 to 32 characters (UTF-8).
bool ValidMemberName(std::string_view utf8);
// Whether two different names look alike on screen (letters of other alphabets that look Latin, and case).
bool NamesLookAlike(std::string_view a, std::string_view b);

// Why `shared` cannot be the group's shared folder of a window working in `work` (the same folder, one inside
// the other); empty when it can. In Russian.
std::string SharedFolderProblem(const std::string& shared, const std::string& work);

// What stands at our own subfolder `<shared>/<name>`, looked at without following links.
enum class OwnFolder
{
    Missing, // to be made (the shared folder itself is there)
    Folder,
    Link,
    Other, // a file, a pipe, a device
    NoSharedFolder,
};
OwnFolder LookAtOwnFolder(const std::string& shared, const std::string& name);

// A name a sync engine or an editor uses for something not (yet) a file of its own: a file still arriving, a
// partial download, a conflict copy, a lock. Such entries are never read.
bool IsSyncTemporary(std::string_view name);

class Atlas;
class LevelLinks;

// The disk a folder lies on, 0 when it is not there (or is no folder).
std::uint64_t DeviceOf(const std::string& folder);
// The disk the shared folder should be on: the one it was on (`before`), or where it is now when our own member
// file in our subfolder `own` names this installation `id` (the share mounted anew, under another device number).
std::uint64_t ExpectedDevice(const std::string& own, const std::string& id, std::uint64_t now, std::uint64_t before);
// Why the shared folder cannot be used: not there, or on another disk than expected; empty when it can. In Russian.
std::string UnreachableText(const std::string& folder, std::uint64_t device, std::uint64_t expected);
// What our files in the group folder would hold, in brief: a write-out that would change nothing is left out.
std::uint64_t AtlasFingerprint(const Atlas& atlas);

// Our own files in the group folder: the four map files, the markers, the links and member.txt, written into
// `<shared>/<name>/` through a handle of that folder (made when missing, never through a link), each whole or not
// at all; the shared folder itself is never made.
struct MemberFiles
{
    std::string name;
    std::string id;        // this installation's
    std::string version;   // of the program, for member.txt
    std::string writtenAt; // the time, for member.txt
    // When this run of the program started and when the maps were written, for the live file's readers.
    std::int64_t startedMs = 0;
    std::int64_t writtenMs = 0;
};
struct MemberWriteOut
{
    std::uint64_t fingerprint = 0; // of the atlas written (or found already written)
    std::string problem;           // why nothing, or not everything, was written; empty when all was. In Russian
    bool otherId = false;          // member.txt there named another installation
    std::uint64_t device = 0;      // the disk the shared folder was found on
};
// `before`: the fingerprint last written (nothing is written when it is unchanged and the files are there);
// `device`: the disk the shared folder was on before (0: not known yet).
MemberWriteOut WriteMemberFolder(const Atlas& atlas, const LevelLinks& links, const std::string& shared,
                                 const MemberFiles& member, std::uint64_t before, std::uint64_t device);

// Our live file into our subfolder, replaced whole through a handle of it, only once the full write-out has made
// the folder and only on the disk the share is expected on. Why it was not written; empty when it was.
std::string WriteLiveFileIn(const std::string& shared, const std::string& name, const std::string& bytes,
                            std::uint64_t device);

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
    // What keeps the files from being read, in Russian: a file missing, not a regular file, of another size.
    std::string problem;
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
// One member's subfolder looked at again (after reading it, to see whether it changed meanwhile).
SquadMemberScan ScanSquadMember(const std::string& folder, const std::string& name);

} // namespace veldor
