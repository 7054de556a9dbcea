#include "keyboard.h"

namespace veldor {

std::optional<std::string> KeyMoveScript(const Atlas& atlas, unsigned lab, int level, int viewX, int viewY, int fatigue,
                                         bool passDoors, ArrowKey key)
{
    if (fatigue <= 6 || viewX == 0 || viewY == 0)
        return std::nullopt;
    const TMapCell* cell = atlas.cell(lab, level, viewX, viewY);
    if (!cell)
        return std::nullopt;
    std::uint8_t side = 0;
    const char* script = "";
    switch (key) {
    case ArrowKey::Up:
        side = cell->North;
        script = "goTo(3)";
        break;
    case ArrowKey::Down:
        side = cell->South;
        script = "goTo(4)";
        break;
    case ArrowKey::Left:
        side = cell->West;
        script = "goTo(1)";
        break;
    case ArrowKey::Right:
        side = cell->East;
        script = "goTo(2)";
        break;
    }
    if (!Passable(side, passDoors))
        return std::nullopt;
    return std::string(script);
}

bool MoveQueue::press(ArrowKey key, bool autoRepeat, std::int64_t nowMs)
{
    expire(nowMs);
    // Most systems mark few of a held key's presses as repeats: one close behind the last of its key is one too.
    const bool repeat = autoRepeat || (m_lastKey == key && nowMs - m_lastPressAt < kRepeatMs);
    m_lastKey = key;
    m_lastPressAt = nowMs;
    if (!m_underWay)
        return true;
    if (repeat)
        return false;
    if (m_waiting.size() < kMaxWaiting)
        m_waiting.push_back(key);
    else
        ++m_dropped;
    return false;
}

void MoveQueue::sent(const Place& from, std::int64_t nowMs)
{
    m_underWay = true;
    m_from = from;
    m_sentAt = nowMs;
}

std::optional<ArrowKey> MoveQueue::read(const Place& at, std::int64_t nowMs, bool loaded)
{
    if (!m_underWay)
        return std::nullopt;
    if (at == m_from) {
        if (loaded && !std::exchange(m_seenBeforeLoad, false))
            clear(); // the page answered the move without it: refused
        else
            expire(nowMs);
        return std::nullopt;
    }
    // A page is often read before it has finished loading (its pictures still coming): the load then reported
    // is of this page, not the answer to the next move.
    m_seenBeforeLoad = !loaded;
    m_underWay = false;
    if (m_waiting.empty())
        return std::nullopt;
    const ArrowKey next = m_waiting.front();
    m_waiting.pop_front();
    return next;
}

void MoveQueue::clear()
{
    m_underWay = false;
    m_seenBeforeLoad = false;
    m_dropped += m_waiting.size();
    m_waiting.clear();
}

void MoveQueue::expire(std::int64_t nowMs)
{
    if (m_underWay && nowMs - m_sentAt >= kAnswerMs)
        clear();
}

} // namespace veldor
