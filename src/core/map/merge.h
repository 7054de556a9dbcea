#pragma once

#include "atlas.h"
#include "mapfiles.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace veldor {

struct MergeCounts
{
    int cells = 0;          // cells taken from the other atlas
    int cellsSkipped = 0;   // explored cells of theirs holding bytes this program never writes
    int entries = 0;        // list entries added
    int dropped = 0;        // list entries that found their list full
    int markers = 0;        // markers taken for cells that had none of ours
    int markersCut = 0;     // of those, texts cut to kMaxMarkerTaken characters
    int markersSkipped = 0; // left out past kMaxMarkersTaken
};

// What one merge takes of another player's markers at the most: their texts are cut to the first, and past the
// second count the rest are left out.
constexpr std::size_t kMaxMarkerTaken = 500;
constexpr int kMaxMarkersTaken = 50000;
// How much of another player's markers file is read.
constexpr std::uint64_t kMaxOtherMarkersBytes = std::uint64_t{64} << 20;

struct MergeOptions
{
    // Markers taken at the most (the group's bound may leave fewer than one merge's).
    int maxMarkers = kMaxMarkersTaken;
    // A marker of theirs not to take again (taken from that player before); none skipped when empty.
    std::function<bool(const AtlasPlace&, const std::string& text)> skipMarker;
    // Told of each cell taken in.
    std::function<void(const AtlasPlace&)> cellTaken;
};

struct MergeResult
{
    std::array<MergeCounts, kLabyrinthCount + 1> labs{}; // by labyrinth number 1..20; [0] unused
    std::vector<AtlasPlace> markersTaken;                // where each marker taken lies
    MergeCounts total() const;
};

// Takes into `ours` what `theirs` knows and ours does not, never overwriting or erasing anything of ours.
// A cell comes in only where theirs is explored, ours is not and ours holds no object (0 or 'n'): its
// explored byte, its object and its sides, except that a side ours already knows (a passage seen from the
// neighbour) keeps our code. List entries are added as the recorder adds them: not when the labyrinth's
// list shows the text already, into the first free slot of the same level, dropped when every slot is taken.
// A cell of theirs whose bytes are not ones this program writes (side codes 0..8, a known object, explored 0 or 1)
// is junk and never comes in. A marker comes in for a cell that has none of ours, bounded as above. Only entries
// the program writes ("L-3(12x7); ") come in, and only for a cell of the labyrinth's size on the level the entry
// is filed under whose cell in their maps holds that list's object. Merging the same atlas again adds nothing.
MergeResult MergeAtlas(Atlas& ours, const Atlas& theirs, const MergeOptions& options = {});
// Whether every byte of the cell is one the program itself writes.
bool WellFormedCell(const TMapCell& cell);

// One cell of theirs into ours, as a merge takes it: only where theirs is explored, ours is not and holds no
// object; a side ours already knows keeps our code. A cell of theirs with bytes the program never writes is junk.
enum class CellTake
{
    Nothing,
    Taken,
    Junk,
};
CellTake TakeCell(TMapCell& ours, const TMapCell& theirs);
// The object a list's entries stand for in their cells (a way down for the transitions).
char ListObject(ListKind kind);

struct OtherMaps
{
    MapFilesReport report;            // files that are there but could not be read
    std::vector<std::string> missing; // file names not in the folder
    std::size_t present() const { return MapFiles().size() - missing.size(); }
};

// Reads another player's map files and markers without creating, removing or changing anything in their
// folder. Only a regular file of its full size is taken: anything else is named in the report and contributes
// nothing.
OtherMaps LoadOtherMaps(Atlas& theirs, const std::string& folder);

// Whether two paths name the same existing folder (through links, bind mounts or different spellings).
bool SameFolder(const std::string& a, const std::string& b);

} // namespace veldor
