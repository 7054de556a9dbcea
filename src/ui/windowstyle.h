#pragma once

#include <QProxyStyle>

namespace veldor {

// The application's style: the platform's own, with the password character of the login box and a hint
// delay that the map grid can shorten for every hint of the application.
class WindowStyle : public QProxyStyle
{
    Q_OBJECT
public:
    WindowStyle();

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

    // From now on every hint shows after `ms` milliseconds.
    void setHintDelay(int ms) { m_hintDelay = ms; }
    // Hints fall asleep (the next one waits for the platform's delay again) after `ms` milliseconds unseen.
    void setFallAsleepDelay(int ms) { m_fallAsleepDelay = ms; }

    // The application's style, installed on first use.
    static WindowStyle* install();

private:
    int m_hintDelay = -1;       // the platform's delay
    int m_fallAsleepDelay = -1; // likewise
};

} // namespace veldor
