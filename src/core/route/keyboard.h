#pragma once

#include "map/atlas.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

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
// is tested against the cell the player really stands in; keys pressed meanwhile wait (three at most) and go,
// one each, as the page shows each step. Auto-repeat never waits: holding a key walks as fast as the game
// answers. A move the page has not shown within kAnswerMs was refused by the game, and the waiting keys go.
class MoveQueue
{
public:
    static constexpr std::size_t kMaxWaiting = 3;
    static constexpr std::int64_t kAnswerMs = 2000;

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
    // The page was read with the player at `at`: once the move under way shows, the next waiting key.
    std::optional<ArrowKey> read(const Place& at, std::int64_t nowMs);
    // Forget the move under way and the waiting keys (a key the atlas refused, a click elsewhere).
    void clear();

    bool underWay() const { return m_underWay; }
    std::size_t waiting() const { return m_waiting.size(); }

private:
    void expire(std::int64_t nowMs);

    bool m_underWay = false;
    Place m_from;
    std::int64_t m_sentAt = 0;
    std::deque<ArrowKey> m_waiting;
};

} // namespace veldor
