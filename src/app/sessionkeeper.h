#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace veldor {

// Logs in again by itself when the game frame shows the login form during play (the session ended) and automatic
// login is on: at most once a minute. Two attempts that did not bring the game back are said in the status bar,
// and no more are made until the game shows again (a wrong password is not sent over and over).
class SessionKeeper : public QObject
{
    Q_OBJECT
public:
    static constexpr int kGapMs = 60000;

    // `canLogIn`: automatic login is on and a password is stored; `logIn` shows the login form and sends it.
    SessionKeeper(std::function<bool()> canLogIn, std::function<void()> logIn, QObject* parent = nullptr);
    void setGap(int ms) { m_gap = ms; }

    // The game frame was read: the login form, or the game.
    void gameRead(bool showsLoginForm);
    int failures() const { return m_failures; }

signals:
    // A text for the status bar; empty when the game is back.
    void status(const QString& text);

private:
    void attempt();
    void timeUp();

    std::function<bool()> m_canLogIn;
    std::function<void()> m_logIn;
    int m_gap = kGapMs;
    QTimer m_timer; // the next attempt, or the end of the one under way
    QElapsedTimer m_lastAttempt;
    bool m_pending = false; // an attempt is under way: the game has not shown since
    int m_failures = 0;
    bool m_told = false;
};

} // namespace veldor
