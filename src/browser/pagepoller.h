#pragma once

#include "reader/pagetext.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QTimer;

namespace veldor {

class BrowserView;

// A named frame of the game: the browser it was reported by; the frame is found again by its name.
struct FrameRef
{
    QPointer<BrowserView> browser;
    bool valid() const { return !browser.isNull(); }
};

// The game's named frames as their loads are reported (the last load wins, in any tab, but only a frame whose
// document came from the game server: another site's frames of the same names are nobody's), and the polling
// tick: once the game frame is known, each tick reads the game frame and the chat frame and hands both on.
// A load of the game frame (or of the combat frame) is read at once, out of turn, and the heartbeat is timed
// from there: a step shows on the map as soon as the page shows it, however quickly the player walks.
// A tick waits for its reads, so ticks never overlap (a load during a tick is read right after it); a read
// that never answers ends the tick after a limit.
class PagePoller : public QObject
{
    Q_OBJECT
public:
    static constexpr int kInterval = 500;
    // A read that never answers (its page went away) must not stop the polling for good.
    static constexpr int kWatchdog = 5000;
    void setWatchdog(int ms) { m_watchdog = ms; }

    // gameOrigin: the game server's origin ("http://host:port"); frames from elsewhere are never the game's.
    explicit PagePoller(QString gameOrigin, QObject* parent = nullptr);
    const QString& gameOrigin() const { return m_gameOrigin; }

    // pollTimer: the next tick; stopped while a tick's reads are under way.
    QTimer* timer() const { return m_timer; }

    FrameRef NoCombatFrame;
    FrameRef ChoutFrame;
    FrameRef ChinpFrame;
    FrameRef ShowInfoFrame;
    FrameRef YourArmyFrame;

    // A frame of a page finished loading: remembered by its name; the game frame starts the polling and,
    // like the combat frame, is read at once.
    void frameLoaded(BrowserView* browser, const QString& frameName, const QString& origin);
    // A frame changed its document without loading: the game frame is read at once, or right after the read
    // under way. No load for the key queue: a change is not the page's answer to a move.
    void frameChanged(BrowserView* browser, const QString& frameName, const QString& origin);
    // The game frame reported so far is not the game (the login page loaded meanwhile).
    void forgetGame() { NoCombatFrame = {}; }
    // One tick: asks both frames for their markup, unless a frame is unknown.
    void tick();
    // A tick now, or right after the one under way.
    void readNow();
    // The last read followed a load of the game frame (the page answered something), not only the heartbeat.
    bool readAfterLoad() const { return m_readAfterLoad; }

signals:
    // The combat frame loaded (sent before it is remembered).
    void combatFrameLoaded();
    // Both frames were read, as Windows-1251 lines; the receivers run before the next tick is timed.
    void pageRead(const veldor::PageLines& game, const veldor::PageLines& chout);
    // A tick that read the page ended: the time from asking for the markup to the end of `pageRead`.
    void tickDone(qint64 nanoseconds);

private:
    void finish(quint64 serial, bool readOk);

    QString m_gameOrigin;
    QTimer* m_timer = nullptr;
    int m_watchdog = kWatchdog;
    bool m_running = false;
    bool m_readAgain = false;  // a load came while a tick's reads were under way
    bool m_gameUnread = false; // the game frame loaded and has not been read since
    bool m_readAfterLoad = false;
    quint64 m_serial = 0;
    QElapsedTimer m_clock;
    PageLines m_game;
    PageLines m_chout;
};

} // namespace veldor
