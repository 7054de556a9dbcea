#include "app/play/sessionkeeper.h"

namespace veldor {

SessionKeeper::SessionKeeper(std::function<bool()> canLogIn, std::function<void()> logIn, QObject* parent)
    : QObject(parent), m_canLogIn(std::move(canLogIn)), m_logIn(std::move(logIn))
{
    m_clock.start();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SessionKeeper::timeUp);
}

void SessionKeeper::gameRead(bool showsLoginForm)
{
    if (!showsLoginForm) {
        m_timer.stop();
        m_pending = false;
        m_failures = 0;
        if (std::exchange(m_told, false))
            emit status(QString());
        return;
    }
    if (m_pending || m_timer.isActive() || m_failures >= 2 || !m_canLogIn())
        return;
    if (m_lastAttempt.isValid() && m_lastAttempt.elapsed() < m_gap)
        m_timer.start(static_cast<int>(m_gap - m_lastAttempt.elapsed()));
    else
        attempt();
}

void SessionKeeper::attempt()
{
    if (!m_canLogIn())
        return;
    while (!m_attempts.empty() && m_clock.elapsed() - m_attempts.front() >= m_hour)
        m_attempts.pop_front();
    if (static_cast<int>(m_attempts.size()) >= kPerHour) {
        m_told = true;
        emit status(QStringLiteral("Вельдор входил в игру заново %1 раз за час: дальше войдите сами "
                                   "(«Дополнительно» → «Данные»)")
                        .arg(kPerHour));
        return;
    }
    m_attempts.push_back(m_clock.elapsed());
    m_lastAttempt.start();
    m_pending = true;
    m_told = true;
    emit status(QStringLiteral("Сеанс игры закончился: Вельдор входит заново"));
    m_logIn();
    m_timer.start(m_gap); // the game not back by then: the attempt failed
}

void SessionKeeper::timeUp()
{
    if (m_pending) {
        m_pending = false;
        if (++m_failures >= 2) {
            emit status(QStringLiteral("Войти в игру заново не удалось два раза: войдите сами "
                                       "(«Дополнительно» → «Данные»)"));
            return;
        }
    }
    attempt();
}

} // namespace veldor
