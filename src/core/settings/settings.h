#pragma once

#include "files/safefile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veldor {

// The values of user.dat. Texts are Windows-1251. The first eight lines are those every copy of the program
// reads; a ninth line keeps the explore assistant's switch, which older copies never read.
struct Settings
{
    std::string StoredLogin;
    std::string StoredPassword;
    std::int32_t CurLab = 0;
    int CellSize = 15;
    bool AutoLogin = false;
    bool PassDoors = false;    // passDoorsBox
    bool PlaySounds = false;   // soundsBox
    bool HidePanels = false;   // hidePanelsBox
    bool ShowFrontier = false; // frontierBox
};

// What a read of user.dat delivered, in the order the values reach the program. A value is set when it was read
// before the end of the file; a line whose value does not read is left unset (its default) and named in
// `badLines`, and the lines after it are read all the same. `failed`: there was no file to read.
struct SettingsRead
{
    std::optional<std::string> login;
    std::optional<std::string> password;
    std::optional<std::int32_t> curLab;
    // The cell size and the labyrinth box are applied together once both numbers were read.
    std::optional<std::int32_t> cellSize;
    std::optional<bool> autoLogin;
    std::optional<bool> passDoors;
    std::optional<bool> playSounds;
    std::optional<bool> hidePanels;
    // Line nine: a bad value there is taken as "off" and fails nothing, since older copies never wrote it.
    std::optional<bool> showFrontier;
    std::vector<int> badLines; // 3..8, as the file's lines are numbered
    bool failed = false;
};

// Parses user.dat with the reading rules of the original program's text files: a text is the rest of the
// line; an integer skips blanks and line ends, then takes up to 32 characters above code 32; the end of the
// file gives an empty text or 0; a token that is no integer is a bad line. The rest of each line is skipped.
SettingsRead ParseSettings(std::string_view bytes);

// The nine CR LF lines. Line ends inside the login or password would shift every later line, so they are
// written as blanks.
std::string SerializeSettings(const Settings& settings);

// Applies what was read onto `settings`, as the program does: the values read stay, and when there was no file
// the password is forgotten.
void ApplySettingsRead(const SettingsRead& read, Settings& settings);

struct SettingsLoadResult
{
    SettingsRead read;
    FileResult fileReset; // the emptying of a missing or damaged file
    // Why user.dat could not be read at all (a folder, a pipe, a device, over 64 KB); it is then left as it is.
    std::string unreadable;
    FileError unreadableKind = FileError::None;
};

// Reads user.dat at `path`. A missing file is created empty (for the owner only, since it holds a password); a
// damaged one is never emptied: what reads is taken, the rest is named in `read.badLines`.
// Stale temporary files of a killed save are removed first. With `mayWrite` false (another copy of the
// program owns the folder) nothing in the folder is removed, emptied or created.
SettingsLoadResult LoadSettingsFile(const std::string& path, bool mayWrite = true);

// Writes user.dat at `path` whole or not at all, readable and writable by its owner only (it holds a password).
FileResult SaveSettingsFile(const std::string& path, const Settings& settings);

} // namespace veldor
