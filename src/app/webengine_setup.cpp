#include "webengine_setup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QtGlobal>
#include <unistd.h>

namespace veldor {

void prepareWebEngine()
{
    // Chromium refuses to start as root with its sandbox; ordinary users keep it.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // No GPU on many machines; the game tab keeps its timers while another tab is in front. The browser's
    // own texts (error pages, context menu) speak Russian like the rest of the window.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    flags += " --disable-gpu --disable-dev-shm-usage --disable-background-timer-throttling"
             " --disable-renderer-backgrounding --lang=ru";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void setupApplication(QApplication& app)
{
    // The name alone: a display name would be appended to every window caption on X11.
    QApplication::setApplicationName(QStringLiteral("veldor"));
    // The installed icon and desktop entry (none in a build tree: the window then keeps the platform's icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("ru.veldor.veldor"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("veldor")));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* catalog : {"qtbase", "qtwebengine", "qtmultimedia"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QLocale(), QString::fromLatin1(catalog), QStringLiteral("_"), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator; // without the translations package the texts stay in English
    }
}

} // namespace veldor
