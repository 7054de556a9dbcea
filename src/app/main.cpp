#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"

#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_termPipe[2] = {-1, -1};

void onTerm(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(g_termPipe[1], &byte, 1);
}

// SIGTERM (a logout, a shutdown, `kill`) ends the program as leaving the event loop does: threads stopped, the
// folder's lock released; what is not saved stays in the recovery journal for the next start to offer.
void quitOnTerm(QApplication& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_termPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_termPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QApplication::quit(); });
    struct sigaction action
    {
    };
    action.sa_handler = onTerm;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
}

} // namespace

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    veldor::setupApplication(app);
    quitOnTerm(app);
    veldor::MainWindow form;
    if (form.quitRequested())
        return 0;
    // Also fills the screen where no window manager maximises windows (a virtual display).
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    return app.exec();
}
