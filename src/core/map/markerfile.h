#pragma once

#include "atlas.h"
#include "files/safefile.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace veldor {

// The text markers of the atlas kept beside the map files, in a file of their own: `markers.txt`, UTF-8, one
// marker a line: labyrinth, level, x, y and the text, separated by tabs; a backslash, a line break, a carriage
// return and a tab inside a text are written \\, \n, \r and \t. Lines starting with '#' are comments. The map
// files themselves know nothing of it, so older copies of the program read them as before.
extern const char* const kMarkersFileName;

std::string SerializeMarkers(const Atlas& atlas);
std::string SerializeMarkers(const Atlas::MarkerLevels& markers);

struct MarkersRead
{
    int markers = 0; // set in the atlas
    int damaged = 0; // lines skipped
};
// Sets the markers of `utf8` in the atlas; a damaged line is skipped and counted.
MarkersRead ParseMarkers(std::string_view utf8, Atlas& atlas);

struct MarkersLoad
{
    MarkersRead read;
    std::string problem; // in Russian, empty when the file was read (or there is none yet), or only its start
    bool unread = false; // the file is there but was not read whole: a save must not replace it
    FileError kind = FileError::None;
};
// Reads the markers file of `folder` into the atlas, whatever its size; a missing file is no problem. Another
// player's file is read only up to `maxBytes` (the rest is told as not read).
MarkersLoad LoadMarkers(Atlas& atlas, const std::string& folder, std::uint64_t maxBytes = UINT64_MAX);

// Writes the markers file of `folder` whole or not at all.
FileResult SaveMarkers(const Atlas& atlas, const std::string& folder, LinkPolicy links = LinkPolicy::FollowLinks);
FileResult SaveMarkers(const Atlas::MarkerLevels& markers, const std::string& folder,
                       LinkPolicy links = LinkPolicy::FollowLinks);

} // namespace veldor
