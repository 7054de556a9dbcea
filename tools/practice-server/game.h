#pragma once

#include "labyrinth.h"

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace practice {

using Clock = std::chrono::steady_clock;

struct GameRules
{
    int startFatigue = 100;   // percent
    int minFatigueToMove = 5; // a move needs at least this much
    int fatiguePerMove = 1;
    std::chrono::milliseconds recoveryStep{2000}; // one percent back per step
    std::chrono::milliseconds combatLength{3000};
    std::string password;      // empty: any non-empty password is accepted
    int pagePadding = 0;       // bytes of log lines added to the game frame, to serve pages as large as real ones
    bool rewriteMoves = false; // a move rewrites the game frame's document instead of loading it again
    std::chrono::milliseconds answerDelay{0}; // every page this late, as from a game server over the internet
    std::chrono::seconds sessionIdle{3600};   // a session unused this long is gone
    std::size_t maxSessions = 10000;          // past this the least recently used session goes
    std::optional<Position> start;            // where players begin, when not at the labyrinth's own start
};

struct Player
{
    std::string login;
    Position pos;
    int fatigue = 100;
    Clock::time_point recoveredAt{};
    std::optional<Clock::time_point> combatUntil;
    std::string message; // why the last move was refused, shown once on the next page
    Clock::time_point lastSeen{};
};

enum class Move
{
    West = 1,
    East = 2,
    North = 3,
    South = 4,
    Down = 5,
    Up = 6
};

// The game's state: the labyrinth and the players behind session tokens. Every call takes the time, so
// that fatigue and combats can be tested without waiting.
class Game
{
public:
    Game(Labyrinth labyrinth, GameRules rules);

    const Labyrinth& labyrinth() const { return m_lab; }
    const GameRules& rules() const { return m_rules; }

    // A session token for a good login, nothing for an empty login or a wrong password.
    std::optional<std::string> login(const std::string& login, const std::string& password, Clock::time_point now);
    // The player of a session, brought up to `now` (fatigue recovered, a finished combat ended).
    std::optional<Player> player(const std::string& token, Clock::time_point now);
    // False with the reason stored as the player's message when the move is refused.
    bool move(const std::string& token, Move move, Clock::time_point now);
    void endCombat(const std::string& token);
    // Every session ends, as when they expire.
    void endSessions();
    // Takes the message of the last refused move.
    std::string takeMessage(const std::string& token);

    // "players":{...},"player":{...} for the truth file; "player" is the one who moved last.
    std::string playersJson();

private:
    void update(Player& p, Clock::time_point now);
    // The session's player, or the end of the map when there is none or it expired (it is then removed).
    std::map<std::string, Player>::iterator live(const std::string& token, Clock::time_point now);
    void expire(Clock::time_point now);

    std::mutex m_mutex;
    Labyrinth m_lab;
    GameRules m_rules;
    std::map<std::string, Player> m_sessions;
    std::string m_lastToken;
};

} // namespace practice
