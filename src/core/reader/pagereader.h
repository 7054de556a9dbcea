#pragma once

#include "map/atlas.h"
#include "reader/pagetext.h"

#include <string>
#include <string_view>

namespace veldor {

// What the reader knows of the player between ticks.
struct ReaderState
{
    int PosX = 0; // the position as the page wrote it
    int PosY = 0;
    int PageLevel = 0; // the level the page names
    int Fatigue = 0;
    int ViewX = 0; // the player's cell on the map, as last recorded
    int ViewY = 0;
    bool SoundArmed = false;
    bool LevelChanged = false;
};

// The window as the reader sees it.
class ReaderHost
{
public:
    virtual ~ReaderHost() = default;
    // The labyrinth the player is in (the page does not say): what the page shows is recorded there, on the
    // level the page names, whatever the window shows meanwhile.
    virtual unsigned playerLab() const = 0;
    // The level shown (the one the level box says).
    virtual int shownLevel() const = 0;
    virtual bool soundsEnabled() const = 0;
    // Shows another level: the level kept as shown, the level box and a repaint of the grid.
    virtual void showLevel(int level) = 0;
    virtual void updateLevelStatistics() = 0;
    virtual void playSound(std::string_view fileName) = 0;
    virtual void setCoordinatesText(const std::string& text) = 0;
    // The object lists of the current labyrinth changed; the memos show them anew.
    virtual void objectListsChanged() = 0;
    // The player stands at a new place: select and show it, then repaint.
    virtual void followPlayer(int viewX, int viewY) = 0;
    // Caption prefix (level, position, fatigue), or empty for the plain title.
    virtual void setCaptionPrefix(const std::string& prefix) = 0;
};

enum class TickOutcome
{
    Recognised, // ran to the end and refreshed the caption
    Stopped,    // an unreadable number or a short page ended the tick; nothing more changed
};

// One recognition run over the page text of a tick: fatigue, level, position, the move and level rules, the
// cell's passages and objects into the atlas, the view and the caption.
TickOutcome RecognizePage(const PageLines& lines, Atlas& atlas, ReaderState& state, ReaderHost& host);

// The cell part of a tick for the cell (x, y) of the shown labyrinth and level.
void RecognizeCell(const PageLines& lines, Atlas& atlas, ReaderState& state, ReaderHost& host, int x, int y);

// Whether the page shows a labyrinth's cell (its title with level and position), not a combat or another page.
bool ShowsLabyrinth(const PageLines& lines);

// The caption prefix for a state and level, e.g. "L - 2 (14,7) измотанность: 35%" (Windows-1251).
std::string CaptionPrefix(const ReaderState& state, int level);

} // namespace veldor
