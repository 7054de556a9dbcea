#include "pagepoller.h"

#include "browser/browserview.h"
#include "browser/pagebridge.h"
#include "ui/qtcodec.h"

#include <QTimer>

namespace veldor {

PagePoller::PagePoller(QString gameOrigin, QObject* parent)
    : QObject(parent), m_gameOrigin(std::move(gameOrigin)), m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("pollTimer"));
    m_timer->setInterval(kInterval);
}

void PagePoller::frameLoaded(BrowserView* browser, const QString& frameName, const QString& origin)
{
    if (origin.isEmpty() || origin != m_gameOrigin)
        return;
    if (frameName == QLatin1String("your_army")) {
        emit combatFrameLoaded();
        YourArmyFrame = {browser};
        if (NoCombatFrame.valid())
            readNow();
    } else if (frameName == QLatin1String("chinp")) {
        ChinpFrame = {browser};
    } else if (frameName == QLatin1String("show_info")) {
        ShowInfoFrame = {browser};
    } else if (frameName == QLatin1String("chout")) {
        ChoutFrame = {browser};
        if (m_gameUnread) // the game frame came first and waited for this one
            readNow();
    } else if (frameName == QLatin1String("no_combat")) {
        NoCombatFrame = {browser};
        m_gameUnread = true;
        readNow();
    }
}

void PagePoller::frameChanged(BrowserView* browser, const QString& frameName, const QString& origin)
{
    if (origin == m_gameOrigin && frameName == QLatin1String("no_combat") && NoCombatFrame.valid() &&
        NoCombatFrame.browser == browser)
        readNow();
}

void PagePoller::readNow()
{
    if (m_running)
        m_readAgain = true;
    else
        tick();
}

void PagePoller::tick()
{
    if (!NoCombatFrame.valid() || !ChoutFrame.valid()) {
        // Once the game is known the heartbeat goes on, whatever it finds.
        if (NoCombatFrame.valid())
            m_timer->start();
        return;
    }
    // The reads answer later; the timer waits for them.
    m_timer->stop();
    m_readAfterLoad = m_gameUnread;
    m_gameUnread = false;
    m_running = true;
    m_clock.start();
    const quint64 serial = ++m_serial;
    QPointer<PagePoller> self(this);
    QTimer::singleShot(m_watchdog, this, [this, serial] { finish(serial, false); });
    auto take = [self, serial](const std::optional<QString>& game, const std::optional<QString>& chout) {
        if (!self || serial != self->m_serial)
            return;
        if (game && chout) {
            self->m_game = SplitPageLines(toCp1251(*game));
            self->m_chout = SplitPageLines(toCp1251(*chout));
        }
        self->finish(serial, game && chout);
    };
    if (NoCombatFrame.browser == ChoutFrame.browser) {
        // The usual case, both frames in one page: one round trip to the page instead of two.
        readTwoFramesMarkup(NoCombatFrame.browser->page(), QStringLiteral("no_combat"), QStringLiteral("chout"),
                            m_gameOrigin, take);
        return;
    }
    readFrameMarkup(NoCombatFrame.browser->page(), QStringLiteral("no_combat"), m_gameOrigin,
                    [self, serial, take](const std::optional<QString>& game) {
                        if (!self || serial != self->m_serial)
                            return;
                        if (!game || !self->ChoutFrame.valid()) {
                            take(std::nullopt, std::nullopt);
                            return;
                        }
                        readFrameMarkup(self->ChoutFrame.browser->page(), QStringLiteral("chout"), self->m_gameOrigin,
                                        [take, game](const std::optional<QString>& chout) { take(game, chout); });
                    });
}

void PagePoller::finish(quint64 serial, bool readOk)
{
    if (!m_running || serial != m_serial)
        return;
    ++m_serial; // late answers of this tick are ignored
    if (readOk) {
        emit pageRead(m_game, m_chout);
        m_game.clear();
        emit tickDone(m_clock.nsecsElapsed());
    }
    m_running = false;
    if (m_readAgain) {
        m_readAgain = false;
        // Next turn of the event loop: the answer may come from a page being destroyed (its tab closed).
        QTimer::singleShot(0, this, [this] {
            if (!m_running)
                tick();
        });
        return;
    }
    m_timer->start(); // the next heartbeat, timed from this read
}

} // namespace veldor
