#include "app/tform1.h"
#include "app/webengine_setup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("veldor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Вельдор"));
    veldor::TForm1 form;
    form.showMaximized();
    return app.exec();
}
