#include "app/tform1.h"
#include "app/webengine_setup.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    veldor::setupApplication(app);
    veldor::TForm1 form;
    if (form.quitRequested())
        return 0;
    // Also fills the screen where no window manager maximises windows (a virtual display).
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    return app.exec();
}
