#pragma once

// Input as a person gives it: clicks go to the window at a point, which hands them to whatever widget lies
// under the pointer; keys go to the window, which offers them to its shortcuts and then to the widget with
// the keyboard focus. Nothing is sent to a widget directly.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <optional>

namespace veldor::test::person {

inline QWindow* windowOf(QWidget* widget)
{
    QWidget* top = widget->window();
    if (!top->windowHandle())
        top->winId();
    return top->windowHandle();
}

inline QPoint inWindow(QWidget* widget, QPoint pos)
{
    if (pos.isNull())
        pos = widget->rect().center();
    return widget->mapTo(widget->window(), pos);
}

// The window comes to the front and takes the keyboard, as after a click on its title.
inline bool activate(QWidget* window)
{
    window->raise();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window, 5000);
}

inline void click(QWidget* widget, QPoint pos = {}, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(windowOf(widget), button, modifiers, inWindow(widget, pos));
}

inline void doubleClick(QWidget* widget, QPoint pos = {})
{
    QTest::mouseDClick(windowOf(widget), Qt::LeftButton, {}, inWindow(widget, pos));
}

// Press at a point of the widget, move with the button held by `delta`, release there.
inline void drag(QWidget* widget, QPoint delta, QPoint pos = {})
{
    QWindow* window = windowOf(widget);
    const QPoint from = inWindow(widget, pos);
    QTest::mousePress(window, Qt::LeftButton, {}, from);
    QTest::mouseMove(window, from + delta / 2);
    QTest::mouseMove(window, from + delta);
    QTest::mouseRelease(window, Qt::LeftButton, {}, from + delta);
}

// The pointer moves onto a point of the widget (the display's own pointer, so hover and hints follow).
inline void hover(QWidget* widget, QPoint pos = {})
{
    QTest::mouseMove(windowOf(widget), inWindow(widget, pos));
}

// The wheel turned over a point of the widget (`delta` in eighths of a degree: 120 a notch up), delivered to
// the window as the display delivers it, so that it reaches whatever lies under the pointer.
inline void wheel(QWidget* widget, QPoint pos, int delta, Qt::KeyboardModifiers modifiers = {})
{
    hover(widget, pos);
    const QPoint local = inWindow(widget, pos);
    QWheelEvent event(local, widget->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(windowOf(widget), &event);
}

inline QWidget* focused()
{
    return QApplication::focusWidget();
}

// Keys to the window that has the keyboard; false when nothing has it.
inline bool press(int key, Qt::KeyboardModifiers modifiers = {})
{
    QWidget* focus = focused();
    if (!focus)
        return false;
    QTest::keyClick(windowOf(focus), static_cast<Qt::Key>(key), modifiers);
    return true;
}

// Holds a key down for `ms` as a window system repeats it: a press every 33 ms, only every fourth of them marked
// as a repeat (as X marks them), then the release.
inline bool hold(int key, int ms)
{
    QWidget* focus = focused();
    if (!focus)
        return false;
    QWindow* window = windowOf(focus);
    QTest::simulateEvent(window, true, key, {}, {}, false);
    for (int elapsed = 33, i = 1; elapsed < ms; elapsed += 33, ++i) {
        QTest::qWait(33);
        QTest::simulateEvent(window, false, key, {}, {}, i % 4 == 0);
        QTest::simulateEvent(window, true, key, {}, {}, i % 4 == 0);
    }
    QTest::qWait(33);
    QTest::simulateEvent(window, false, key, {}, {}, false);
    return true;
}

inline bool type(const QString& text)
{
    QWidget* focus = focused();
    if (!focus)
        return false;
    QWindow* window = windowOf(focus);
    for (const QChar ch : text) {
        const QChar upper = ch.toUpper();
        const auto key = upper.unicode() < 0x80 ? static_cast<Qt::Key>(upper.unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, window, key, QString(ch), Qt::NoModifier);
    }
    return true;
}

// What a box shows, for the boxes a person types into.
inline std::optional<QString> shownText(QWidget* box)
{
    if (auto* line = qobject_cast<QLineEdit*>(box))
        return line->text();
    if (auto* combo = qobject_cast<QComboBox*>(box); combo && combo->isEditable())
        return combo->currentText();
    return std::nullopt;
}

// Click into a box, select what it holds, type over it. Like a person, looks at the box afterwards and types
// again when the program changed its text meanwhile (a page that finished loading rewrites the address box).
inline bool typeInto(QWidget* box, const QString& text)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        click(box);
        if (!focused())
            return false;
        press(Qt::Key_A, Qt::ControlModifier);
        if (!type(text))
            return false;
        const std::optional<QString> shown = shownText(box);
        if (!shown || *shown == text)
            return true;
        QTest::qWait(200);
    }
    return false;
}

inline QString plain(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

inline QAction* actionNamed(const QList<QAction*>& actions, const QString& caption)
{
    for (QAction* a : actions)
        if (plain(a->text()) == caption)
            return a;
    return nullptr;
}

// Chooses an item of a popup menu that is showing, opening submenus on the way; false when an item is
// missing or disabled.
inline bool choose(QMenu* menu, const QStringList& path)
{
    for (const QString& caption : path) {
        if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 5000))
            return false;
        QAction* a = actionNamed(menu->actions(), caption);
        if (!a || !a->isEnabled())
            return false;
        // The command may rebuild the menu and take the item with it.
        QMenu* sub = a->menu();
        // A person points at the item and clicks once it is highlighted (a busy machine shows it late).
        const QPoint at = menu->actionGeometry(a).center();
        QTest::mouseMove(menu->windowHandle(), at);
        if (!QTest::qWaitFor([menu, a] { return menu->activeAction() == a; }, 2000))
            qWarning("menu item %s not highlighted; clicking it all the same", qPrintable(caption));
        QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, {}, at);
        if (!sub)
            return true;
        menu = sub;
    }
    return true;
}

// Chooses an item of the main menu, as "Файл" then "Новая вкладка".
inline bool chooseMenu(QMenuBar* bar, const QStringList& path)
{
    QAction* top = actionNamed(bar->actions(), path.value(0));
    if (!top || !top->menu())
        return false;
    click(bar, bar->actionGeometry(top).center());
    return choose(top->menu(), path.mid(1));
}

inline QStringList items(QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// Chooses an item of a drop-down list: a click opens the list, the arrow keys go to the item, Enter takes it.
inline bool pick(QComboBox* box, int index)
{
    click(box);
    if (!QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 3000))
        return false;
    const int from = box->currentIndex();
    for (int i = 0; i < std::abs(index - from); ++i)
        press(index > from ? Qt::Key_Down : Qt::Key_Up);
    press(Qt::Key_Return);
    return QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }, 3000) &&
           box->currentIndex() == index;
}

// The popup menu that is showing, if any.
inline QMenu* shownPopup()
{
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

} // namespace veldor::test::person
