#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>

namespace veldor {

// Logs in again by itself when the game frame shows the login form during play (the session ended) and automatic
// login is on: at most once a minute, and at most five times an hour however often the game comes back between
// them. Two attempts that did not bring the game back are said in the status bar, and no more are made until the
// game shows again (a wrong password is not sent over and over).
class SessionKeeper : public QObject
{
    Q_OBJECT
public:
    static constexpr int kGapMs = 60000;
    static constexpr int kHourMs = 3600 * 1000;
    static constexpr int kPerHour = 5;

    // `canLogIn`: automatic login is on and a password is stored; `logIn` shows the login form and sends it.
    SessionKeeper(std::function<bool()> canLogIn, std::function<void()> logIn, QObject* parent = nullptr);
    void setGap(int ms) { m_gap = ms; }
    void setHour(int ms) { m_hour = ms; }

    // The game frame was read: the login form, or the game.
    void gameRead(bool showsLoginForm);
    int failures() const { return m_failures; }
    // An attempt is due, or under way.
    bool scheduled() const { return m_timer.isActive(); }

signals:
    // A text for the status bar; empty when the game is back.
    void status(const QString& text);

private:
    void attempt();
    void timeUp();

    std::function<bool()> m_canLogIn;
    std::function<void()> m_logIn;
    int m_gap = kGapMs;
    int m_hour = kHourMs;
    QElapsedTimer m_clock;
    std::deque<qint64> m_attempts; // the times of this hour's attempts, on m_clock
    QTimer m_timer;                // the next attempt, or the end of the one under way
    QElapsedTimer m_lastAttempt;
    bool m_pending = false; // an attempt is under way: the game has not shown since
    int m_failures = 0;
    bool m_told = false;
};

} // namespace veldor
