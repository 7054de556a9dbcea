#pragma once

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QString>

namespace veldor {

// A control with its object name (the name of its member in its part's controls, found by it in tests) and hint.
template <class W>
W* named(W* widget, const char* name, const QString& hint = {})
{
    widget->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty())
        widget->setToolTip(hint);
    return widget;
}

inline QLabel* label(const char* name, const QString& text, QWidget* parent)
{
    return named(new QLabel(text, parent), name);
}

// A menu item with its object name.
inline QAction* item(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

inline QMenu* submenu(QWidget* parent, const char* name, const QString& caption)
{
    return named(new QMenu(caption, parent), name);
}

} // namespace veldor
