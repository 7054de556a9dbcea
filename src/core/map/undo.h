#pragma once

#include "map/atlas.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace veldor {

// The changes made to the map by hand or by a command, to be taken back and done again. The page reader's
// changes are never recorded: an undo puts back only the cell bytes, list slots and markers that still hold
// what the action left there, so whatever the game showed since stays.
class UndoHistory
{
public:
    struct Limits
    {
        std::size_t actions = 100;
        std::size_t bytes = std::size_t{64} << 20;
    };

    // The part of the atlas an action may change, taken just before it: one labyrinth's cells, lists and
    // markers, or every labyrinth's for 0.
    class Before
    {
    public:
        Before(const Atlas& atlas, unsigned lab);

    private:
        friend class UndoHistory;
        struct Lab
        {
            unsigned lab;
            std::vector<TMapCell> cells;
            std::vector<TLevelLists> lists;
            std::array<Atlas::SharedMarkers, kLevelCount> markers; // shared with the atlas until it changes
        };
        unsigned m_lab;
        std::vector<Lab> m_labs;
    };

    UndoHistory() = default;
    explicit UndoHistory(Limits limits);

    // Records what changed since `before` under the action's name; an action that changed nothing is not
    // recorded. A new action ends what could be redone. Returns whether it was recorded.
    bool record(const Before& before, const Atlas& atlas, std::string name);

    // A change worked out on a copy of the atlas (on another thread, say): what changed on the copy since
    // `before`. Applying it does it on the atlas, byte by byte where the atlas still holds what the copy held
    // before (newer truth stays), and records it like `record`; nothing (false) when it changes nothing.
    class Prepared;
    static Prepared prepare(const Before& before, const Atlas& copy, std::string name);
    bool apply(Prepared prepared, Atlas& atlas);
    // Another's change (a group member's merge) done on the atlas and kept out of the history: a cell, list slot
    // or marker changes only where it still holds exactly what the copy held, so that whatever the atlas learned
    // since stays whole. Whether it changed anything.
    static bool takeIn(const Prepared& prepared, Atlas& atlas);

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    // Name of what undo (redo) would take back (do again), empty when nothing.
    std::string undoName() const;
    std::string redoName() const;

    // Takes back the newest action (does again the last one taken back). Returns the labyrinth it changed (0:
    // several), nothing when there was nothing to do.
    std::optional<unsigned> undo(Atlas& atlas);
    std::optional<unsigned> redo(Atlas& atlas);

    std::size_t undoCount() const { return m_undo.size(); }
    // Memory the history holds, counted against the limit.
    std::size_t bytes() const { return m_bytes; }

private:
    // Changed units (cells or list slots) `stride` bytes apart from `first`; `data` holds each unit's bytes
    // before and after the action, one after the other.
    struct Run
    {
        MapTable table;
        std::uint32_t first;
        std::uint32_t stride;
        std::uint32_t count;
        std::uint16_t unit;
        std::vector<std::uint8_t> data;
    };
    struct MarkerChange : AtlasPlace
    {
        std::string before;
        std::string after;
    };
    struct Action
    {
        std::string name;
        unsigned lab;
        std::vector<Run> runs;
        std::vector<MarkerChange> markers;
        std::size_t bytes = 0;
    };

    // Adds a changed unit to the last run when it continues it, else starts a run.
    static void addUnit(std::vector<Run>& runs, MapTable table, std::size_t offset, std::size_t unit,
                        const std::uint8_t* before, const std::uint8_t* after, std::size_t stride);
    // `whole`: a unit changes only where it holds all of what it held, never byte by byte.
    static bool apply(const Action& action, Atlas& atlas, bool forward, bool whole = false);
    // Records the prepared action, done on `atlas` first unless that is null (already done there).
    bool push(Prepared prepared, Atlas* atlas);
    void trim();
    // The newest action of `from` done (forward) or taken back on the atlas, then moved onto `to`.
    static std::optional<unsigned> move(std::deque<Action>& from, std::deque<Action>& to, Atlas& atlas, bool forward);

    Limits m_limits;
    std::deque<Action> m_undo;
    std::deque<Action> m_redo;
    std::size_t m_bytes = 0;
};

class UndoHistory::Prepared
{
public:
    bool empty() const { return !m_action; }

private:
    friend class UndoHistory;
    std::optional<Action> m_action;
};

} // namespace veldor
