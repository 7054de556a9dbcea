#include "webengine_setup.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <unistd.h>

namespace veldor {

void prepareWebEngine()
{
    // Chromium refuses to start as root with its sandbox; ordinary users keep it.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // No GPU on many machines; the game tab keeps its timers while another tab is in front.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    flags += " --disable-gpu --disable-dev-shm-usage --disable-background-timer-throttling"
             " --disable-renderer-backgrounding";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

} // namespace veldor
