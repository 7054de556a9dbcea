#pragma once

#include "atlas.h"
#include "files/safefile.h"

#include <string>
#include <vector>

namespace veldor {

struct MapFileInfo
{
    MapTable table;
    const char* name;
    std::size_t size;
};

// The four map files in the order they are read and written.
const std::vector<MapFileInfo>& MapFiles();

struct FileProblem
{
    std::string file;   // bare file name, e.g. "map3.map"
    std::string reason; // in Russian
    FileError kind = FileError::System;
};

struct MapFilesReport
{
    std::vector<FileProblem> problems;
    bool ok() const { return problems.empty(); }
    // One message for the user naming each file and why, or empty when all went well.
    std::string message(const std::string& heading) const;
};

// Reads the four files of `folder` into the atlas. A missing file is created empty; a short file fills the
// table as far as it goes and the rest is zero; a longer one gives its first record. Files on disk are never
// shortened or rewritten here; only the temporary files of a save that was cut short are removed. Problems (a file that
// cannot be read or created) are reported, and the other files are still read. A folder, pipe or device in a map file's
// place is reported and not read. `mayWrite` is false for a copy of the program that does not own the folder (another
// copy may be saving right now): nothing is then removed or created.
MapFilesReport LoadMaps(Atlas& atlas, const std::string& folder, bool mayWrite = true);

// Writes the four tables into the files of `folder`, each replaced whole or not at all: a file that cannot be
// written keeps its old content and is reported; the other files are still written. The atlas is not changed.
MapFilesReport SaveMaps(const Atlas& atlas, const std::string& folder);

// Writes the four tables into a folder the user picked for a copy, each file whole or not at all like a save;
// but a link in a file's place is refused and a hard-linked name gets a file of its own, so that nothing
// outside the folder changes.
MapFilesReport ExportMaps(const Atlas& atlas, const std::string& folder);

} // namespace veldor
