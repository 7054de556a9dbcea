#pragma once

#include "map/atlas.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>

namespace veldor {

enum class ArrowKey
{
    Up,
    Down,
    Left,
    Right
};

// The game page's movement script for an arrow key ("goTo(3)" for up), or nothing when the player is too
// tired, no position is known yet, or the atlas shows no passage on that side of the player's cell. Doors
// count as passages only when `passDoors` is on.
std::optional<std::string> KeyMoveScript(const Atlas& atlas, unsigned lab, int level, int viewX, int viewY, int fatigue,
                                         bool passDoors, ArrowKey key);

// Arrow keys pressed faster than the page answers. A key is sent only when no move is under way, so that it
// is tested against the cell the player really stands in; keys pressed meanwhile are the player's plan: they
// wait (sixteen at most) and go, one each, as the page shows each step. A held key never waits: a press the
// system marks as a repeat, or a press of the same key within kRepeatMs of the last, walks only when nothing is
// under way, so a held key stops at most one step after its release. A move the page answers without (a load
// that shows the player where he was) was refused: the waiting keys go, and so they do when no answer came
// within kAnswerMs.
class MoveQueue
{
public:
    static constexpr std::size_t kMaxWaiting = 16;
    static constexpr std::int64_t kAnswerMs = 2000;
    static constexpr std::int64_t kRepeatMs = 60;

    struct Place
    {
        int level = 0;
        int x = 0;
        int y = 0;
        bool operator==(const Place&) const = default;
    };

    // A key pressed at `nowMs`: true when it is to be tested and sent at once.
    bool press(ArrowKey key, bool autoRepeat, std::int64_t nowMs);
    // The key was sent from `from`: a move is under way until the page shows the player elsewhere.
    void sent(const Place& from, std::int64_t nowMs);
    // The page was read with the player at `at` (`loaded`: just after the game page loaded): once the move under
    // way shows, the next waiting key.
    std::optional<ArrowKey> read(const Place& at, std::int64_t nowMs, bool loaded = false);
    // Forget the move under way and the waiting keys (a key the atlas refused, a click elsewhere).
    void clear();
    // Keys dropped (too many, refused, cleared) since the last call.
    std::size_t takeDropped() { return std::exchange(m_dropped, 0); }

    bool underWay() const { return m_underWay; }
    std::size_t waiting() const { return m_waiting.size(); }

private:
    void expire(std::int64_t nowMs);

    bool m_underWay = false;
    bool m_seenBeforeLoad = false; // the last step showed on a read before its page's load was reported
    Place m_from;
    std::int64_t m_sentAt = 0;
    std::deque<ArrowKey> m_waiting;
    std::optional<ArrowKey> m_lastKey;
    std::int64_t m_lastPressAt = 0;
    std::size_t m_dropped = 0;
};

} // namespace veldor
