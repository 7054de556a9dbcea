#include "keywalker.h"

#include "browser/browserview.h"
#include "browser/pagebridge.h"
#include "browser/pagepoller.h"
#include "reader/pagereader.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

namespace veldor {
namespace {

std::optional<ArrowKey> arrowOf(int key)
{
    switch (key) {
    case Qt::Key_Up:
        return ArrowKey::Up;
    case Qt::Key_Down:
        return ArrowKey::Down;
    case Qt::Key_Left:
        return ArrowKey::Left;
    case Qt::Key_Right:
        return ArrowKey::Right;
    default:
        return std::nullopt;
    }
}

} // namespace

KeyWalker::KeyWalker(QPlainTextEdit* box, PagePoller* poller, const ReaderState& reader, MoveScript moveScript,
                     QObject* parent)
    : QObject(parent), m_box(box), m_poller(poller), m_reader(reader), m_moveScript(std::move(moveScript))
{
    m_clock.start();
    m_box->installEventFilter(this);
    m_dropNotice.setSingleShot(true);
    m_dropNotice.setInterval(1500);
    connect(&m_dropNotice, &QTimer::timeout, this, &KeyWalker::showState);
}

void KeyWalker::showState()
{
    const bool walking = m_box->hasFocus();
    m_box->setPlainText(walking ? QStringLiteral("стрелки: ходьба") : QStringLiteral("управление с клавиатуры"));
    m_box->setStyleSheet(walking ? QStringLiteral("QPlainTextEdit { border: 2px solid palette(highlight); }")
                                 : QString());
}

void KeyWalker::tellDropped()
{
    if (m_queue.takeDropped() == 0)
        return;
    tell(QStringLiteral("шаги сброшены"));
}

void KeyWalker::tell(const QString& text)
{
    m_box->setPlainText(text);
    m_dropNotice.start();
}

void KeyWalker::takeStair(bool down)
{
    const FrameRef& game = m_poller->NoCombatFrame;
    const char stair = down ? 'd' : 'u';
    if (!game.valid() || !m_standingOn || m_standingOn() != stair)
        return; // no way down or up here: nothing happens
    m_queue.clear();
    // The link the reader knows the stair by, clicked in the page as a person clicks it.
    const QString image = down ? QStringLiteral("go_d_s.gif") : QStringLiteral("go_u_s.gif");
    runPageScript(game.browser->page(), QStringLiteral("no_combat"), m_poller->gameOrigin(),
                  QStringLiteral("(function(){var all=document.getElementsByTagName('img');"
                                 "for(var i=0;i<all.length;i++){if(all[i].src.indexOf('%1')>=0){"
                                 "var a=all[i].closest('a');(a||all[i]).click();return;}}})()")
                      .arg(image));
}

bool KeyWalker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_box)
        return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Arrows walk with any modifier: Alt+Left must not go back in the browser meanwhile.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (arrowOf(key) || key == Qt::Key_PageDown || key == Qt::Key_PageUp) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp) {
            if (!key->isAutoRepeat())
                takeStair(key->key() == Qt::Key_PageDown);
            return true; // the box has nothing to scroll
        }
        arrowPressed(key->key(), key->isAutoRepeat());
        break; // the box still gets the key
    }
    case QEvent::FocusIn:
        showState();
        break;
    case QEvent::FocusOut:
        // The player clicked the page or another control: keys typed for the map are not for there.
        m_queue.clear();
        m_queue.takeDropped();
        m_dropNotice.stop();
        showState();
        break;
    default:
        break;
    }
    return false;
}

void KeyWalker::arrowPressed(int key, bool autoRepeat)
{
    const std::optional<ArrowKey> arrow = arrowOf(key);
    if (arrow && m_queue.press(*arrow, autoRepeat, m_clock.elapsed()))
        send(*arrow);
    tellDropped();
}

void KeyWalker::pageRead()
{
    if (const std::optional<ArrowKey> next = m_queue.read(place(), m_clock.elapsed(), m_poller->readAfterLoad()))
        send(*next);
    tellDropped();
}

void KeyWalker::send(ArrowKey key)
{
    const std::optional<std::string> script = m_moveScript(key);
    const FrameRef& game = m_poller->NoCombatFrame;
    if (!script || !game.valid()) {
        m_queue.clear(); // the keys after it were meant from a cell the player will not reach
        if (m_closedDoor && m_closedDoor(key))
            tell(QStringLiteral("дверь: включите «Проходить через двери»"));
        return;
    }
    runPageScript(game.browser->page(), QStringLiteral("no_combat"), m_poller->gameOrigin(),
                  QString::fromStdString(*script));
    m_queue.sent(place(), m_clock.elapsed());
}

MoveQueue::Place KeyWalker::place() const
{
    return {m_reader.PageLevel, m_reader.ViewX, m_reader.ViewY};
}

} // namespace veldor
