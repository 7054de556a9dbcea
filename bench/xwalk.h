#pragma once

// What the timed tool runs under X share: keys and clicks from the X server (xdotool), the keyboard box taken
// with a real click, and the spread of a series of times.
#include "app/window/mainwindow.h"
#include "eventwait.h"
#include "windowcontrols.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace veldor::bench {

inline bool xdotool(const QStringList& args)
{
    return QProcess::execute(QStringLiteral("xdotool"), args) == 0;
}

// The window to the front and a click into its keyboard box through the X server; whether it took the focus.
inline bool clickKeyboardBox(MainWindow& form)
{
    QPlainTextEdit* memo = test::controls(form).keyboardBox;
    form.activateWindow();
    test::waitUntil([&] { return form.isActiveWindow(); }, 5000);
    const QPoint at = memo->mapToGlobal(memo->rect().center());
    xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
             QStringLiteral("1")});
    return test::waitUntil([&] { return QApplication::focusWidget() == memo; }, 5000);
}

inline void report(const char* what, std::vector<double> ms)
{
    if (ms.empty()) {
        std::printf("%-24s no samples\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-24s median %7.1f ms   90th %7.1f ms   best %7.1f ms   worst %7.1f ms   (%zu)\n", what,
                ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.front(), ms.back(), ms.size());
}

} // namespace veldor::bench
