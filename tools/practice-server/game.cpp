#include "game.h"

#include <algorithm>
#include <random>
#include <utility>

namespace practice {
namespace {

std::string newToken()
{
    static std::random_device device;
    static const char digits[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 32; ++i)
        token += digits[device() % 16];
    return token;
}

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string positionJson(const Player& p)
{
    return "{\"login\":" + jsonString(p.login) + ",\"level\":" + std::to_string(p.pos.level) +
           ",\"x\":" + std::to_string(p.pos.x) + ",\"y\":" + std::to_string(p.pos.y) +
           ",\"fatigue\":" + std::to_string(p.fatigue) + ",\"combat\":" + (p.combatUntil ? "true" : "false") + "}";
}

} // namespace

Game::Game(Labyrinth labyrinth, GameRules rules) : m_lab(std::move(labyrinth)), m_rules(std::move(rules)) {}

std::optional<std::string> Game::login(const std::string& login, const std::string& password, Clock::time_point now)
{
    if (login.empty() || password.empty())
        return std::nullopt;
    if (!m_rules.password.empty() && password != m_rules.password)
        return std::nullopt;
    std::lock_guard lock(m_mutex);
    expire(now);
    Player p;
    p.login = login;
    p.lastSeen = now;
    p.pos = m_rules.start && m_lab.contains(m_rules.start->level, m_rules.start->x, m_rules.start->y) ? *m_rules.start
                                                                                                      : m_lab.start();
    p.fatigue = m_rules.startFatigue;
    p.recoveredAt = now;
    std::string token = newToken();
    m_sessions[token] = p;
    m_lastToken = token;
    return token;
}

std::map<std::string, Player>::iterator Game::live(const std::string& token, Clock::time_point now)
{
    const auto it = m_sessions.find(token);
    if (it == m_sessions.end())
        return it;
    if (now - it->second.lastSeen > m_rules.sessionIdle) {
        m_sessions.erase(it);
        return m_sessions.end();
    }
    it->second.lastSeen = std::max(it->second.lastSeen, now);
    return it;
}

void Game::expire(Clock::time_point now)
{
    for (auto it = m_sessions.begin(); it != m_sessions.end();)
        it = now - it->second.lastSeen > m_rules.sessionIdle ? m_sessions.erase(it) : std::next(it);
    while (m_sessions.size() >= m_rules.maxSessions) {
        const auto oldest = std::min_element(m_sessions.begin(), m_sessions.end(), [](const auto& a, const auto& b) {
            return a.second.lastSeen < b.second.lastSeen;
        });
        m_sessions.erase(oldest);
    }
}

void Game::update(Player& p, Clock::time_point now)
{
    if (m_rules.recoveryStep.count() > 0 && now > p.recoveredAt) {
        const auto steps = (now - p.recoveredAt) / m_rules.recoveryStep;
        if (steps > 0) {
            p.fatigue = static_cast<int>(std::min<long long>(100, p.fatigue + steps));
            p.recoveredAt += steps * m_rules.recoveryStep;
        }
    }
    if (p.fatigue >= 100)
        p.recoveredAt = now;
    if (p.combatUntil && now >= *p.combatUntil)
        p.combatUntil.reset();
}

std::optional<Player> Game::player(const std::string& token, Clock::time_point now)
{
    std::lock_guard lock(m_mutex);
    const auto it = live(token, now);
    if (it == m_sessions.end())
        return std::nullopt;
    update(it->second, now);
    return it->second;
}

bool Game::move(const std::string& token, Move move, Clock::time_point now)
{
    std::lock_guard lock(m_mutex);
    const auto it = live(token, now);
    if (it == m_sessions.end())
        return false;
    Player& p = it->second;
    update(p, now);
    if (p.combatUntil) {
        p.message = "Идёт бой: сначала закончите его.";
        return false;
    }
    if (p.fatigue < m_rules.minFatigueToMove) {
        p.message = "Вы слишком устали, отдохните.";
        return false;
    }
    const Cell& here = m_lab.at(p.pos.level, p.pos.x, p.pos.y);
    Position to = p.pos;
    switch (move) {
    case Move::West:
    case Move::East:
    case Move::North:
    case Move::South: {
        const Side side = move == Move::West ? West : move == Move::East ? East : move == Move::North ? North : South;
        to = Labyrinth::step(p.pos, side);
        if (here.side[side] == 0 || !m_lab.contains(to.level, to.x, to.y)) {
            p.message = "Там стена.";
            return false;
        }
        break;
    }
    case Move::Down:
        if (here.object != 'd' || p.pos.level + 1 >= m_lab.levels()) {
            p.message = "Здесь нет спуска.";
            return false;
        }
        ++to.level;
        break;
    case Move::Up:
        if (here.object != 'u' || p.pos.level == 0) {
            p.message = "Здесь нет подъема.";
            return false;
        }
        --to.level;
        break;
    }
    p.pos = to;
    p.fatigue = std::max(0, p.fatigue - m_rules.fatiguePerMove);
    p.message.clear();
    if (m_lab.at(to.level, to.x, to.y).object == 'M')
        p.combatUntil = now + m_rules.combatLength;
    m_lastToken = token;
    return true;
}

void Game::endCombat(const std::string& token)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_sessions.find(token);
    if (it != m_sessions.end())
        it->second.combatUntil.reset();
}

void Game::endSessions()
{
    std::lock_guard lock(m_mutex);
    m_sessions.clear();
}

std::string Game::takeMessage(const std::string& token)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_sessions.find(token);
    if (it == m_sessions.end())
        return {};
    return std::exchange(it->second.message, std::string());
}

std::string Game::playersJson()
{
    std::lock_guard lock(m_mutex);
    std::string out = "\"players\":[";
    bool first = true;
    for (const auto& [token, p] : m_sessions) {
        out += first ? "" : ",";
        out += positionJson(p);
        first = false;
    }
    out += "],\"player\":";
    const auto it = m_sessions.find(m_lastToken);
    out += it == m_sessions.end() ? "null" : positionJson(it->second);
    return out;
}

} // namespace practice
