#include "wayguide.h"

#include "ui/qtcodec.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace veldor {
namespace {

constexpr int kSide = kGridSide;

std::size_t index(int level, int x, int y)
{
    return (static_cast<std::size_t>(level) * kSide + static_cast<std::size_t>(x)) * kSide +
           static_cast<std::size_t>(y);
}

bool inside(int level, int x, int y)
{
    return level >= 0 && level < kLevelCount && x >= 0 && x < kSide && y >= 0 && y < kSide;
}

} // namespace

WayGuide::WayGuide(Work work, QObject* parent) : QObject(parent), m_work(std::move(work))
{
    // Escape with the pointer over the map (which never takes the keyboard) or in the keyboard box.
    qApp->installEventFilter(this);
}

bool WayGuide::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !m_asked || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape ||
        !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != m_work.window || !m_work.escapeHere())
        return false;
    clear();
    return true;
}

void WayGuide::askTo(QPoint cell)
{
    askAt(m_work.shownLab(), WayTarget::Cell, {m_work.shownLevel(), cell.x(), cell.y()});
}

void WayGuide::askAt(unsigned lab, WayTarget kind, LevelCell target)
{
    if (lab != m_work.lab()) {
        emit refused(QStringLiteral("Путь прокладывается в лабиринте, где вы стоите"));
        return;
    }
    ask(kind, target);
}

void WayGuide::ask(WayTarget kind, LevelCell target)
{
    if (m_work.player().x == 0) {
        emit refused(QStringLiteral("Где вы стоите, ещё не известно: путь прокладывается от вашей клетки"));
        return;
    }
    m_asked = true;
    m_kind = kind;
    m_target = target;
    update();
    if (!m_asked) // arrived before it began
        emit refused(QStringLiteral("Вы уже здесь"));
}

void WayGuide::clear()
{
    if (!m_asked)
        return;
    m_asked = false;
    m_lines.clear();
    emit changed();
}

void WayGuide::update()
{
    if (!m_asked)
        return;
    const LevelCell player = m_work.player();
    const Way& way =
        m_finder.find(*m_work.atlas, *m_work.links, m_work.lab(), player, m_kind, m_target, m_work.passDoors());
    // Arrived: the way is done.
    if (way.found() && way.steps() == 0 && !way.endsAtUnknownLink) {
        clear();
        return;
    }
    m_lines.assign(static_cast<std::size_t>(kLevelCount) * kSide * kSide, 0);
    const auto& path = way.path;
    auto join = [&](const LevelCell& a, const LevelCell& b) {
        if (a.level != b.level || !inside(a.level, a.x, a.y))
            return;
        const int toward = b.x < a.x ? 1 : b.x > a.x ? 2 : b.y < a.y ? 4 : 8;
        m_lines[index(a.level, a.x, a.y)] |= static_cast<std::uint8_t>(toward);
    };
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (inside(path[i].level, path[i].x, path[i].y))
            m_lines[index(path[i].level, path[i].x, path[i].y)] |= 16;
        if (i > 0)
            join(path[i], path[i - 1]);
        if (i + 1 < path.size())
            join(path[i], path[i + 1]);
    }
    emit changed();
}

void WayGuide::walked()
{
    if (m_asked && !way().found()) {
        clear(); // "Пути нет" was the answer to where the player stood
        return;
    }
    update();
}

void WayGuide::changed()
{
    emit wayChanged(text(), levelsCrossed());
}

QString WayGuide::text() const
{
    return m_asked ? fromUtf8Text(WayText(way())) : QString();
}

bool WayGuide::isTarget(int level, int x, int y) const
{
    if (!m_asked)
        return false;
    const LevelCell cell{level, x, y};
    return m_kind == WayTarget::Cell ? cell == m_target : way().found() && cell == way().end();
}

int WayGuide::linesAt(int level, int x, int y) const
{
    return m_lines.empty() || !inside(level, x, y) ? 0 : m_lines[index(level, x, y)];
}

std::vector<int> WayGuide::levelsCrossed() const
{
    std::vector<int> levels;
    for (int level = 0; m_asked && level < kLevelCount; ++level)
        if (crosses(level))
            levels.push_back(level);
    return levels;
}

bool WayGuide::crosses(int level) const
{
    for (const LevelCell& c : way().path)
        if (c.level == level)
            return true;
    return false;
}

} // namespace veldor
