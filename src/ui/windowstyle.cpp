#include "windowstyle.h"

#include <QApplication>

namespace veldor {

WindowStyle::WindowStyle() = default;

int WindowStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                           QStyleHintReturn* returnData) const
{
    if (hint == SH_LineEdit_PasswordCharacter)
        return '*';
    if (hint == SH_ToolTip_WakeUpDelay && m_hintDelay >= 0)
        return m_hintDelay;
    if (hint == SH_ToolTip_FallAsleepDelay && m_fallAsleepDelay >= 0)
        return m_fallAsleepDelay;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

WindowStyle* WindowStyle::install()
{
    if (auto* style = qobject_cast<WindowStyle*>(QApplication::style()))
        return style;
    auto* style = new WindowStyle;
    QApplication::setStyle(style); // the application owns it
    return style;
}

} // namespace veldor
