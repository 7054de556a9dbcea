// Reads the practice server's game frame through the browser (markup serialisation and transfer to the
// program) a number of times and prints the median and worst time.
#include "app/webengine_setup.h"
#include "browser/pagebridge.h"
#include "practicefixture.h"
#include "ui/qtcodec.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QWebEngineProfile>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace veldor;

int main(int argc, char* argv[])
{
    prepareWebEngine();
    QApplication app(argc, argv);
    const int reads = std::max(1, argc > 1 ? std::atoi(argv[1]) : 200);
    practice::GameRules rules;
    rules.pagePadding = argc > 3 ? std::atoi(argv[3]) : 30000; // as large as a real game page
    practice::test::RunningServer server(rules);
    QWebEngineProfile profile;
    installFrameWatch(&profile);
    GamePage page(&profile);
    QEventLoop loop;
    bool gameFrame = false;
    QObject::connect(&page, &GamePage::frameCompleted, [&](const QString& name, bool) {
        if (name == QLatin1String("no_combat")) {
            gameFrame = true;
            loop.quit();
        }
    });
    QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool) {
        if (page.url().path() == QLatin1String("/login.php") && !gameFrame)
            page.runJavaScript(QStringLiteral("var f=document.forms[0];if(f&&f.login){f.login.value='bench';"
                                              "f.password.value='pw';f.submit();}"));
    });
    page.load(QUrl(QString::fromStdString(server.base()) + QStringLiteral("/login.php")));
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    if (!gameFrame) {
        std::fprintf(stderr, "the game frame never loaded\n");
        return 1;
    }
    std::vector<double> ms;
    qsizetype size = 0;
    QString last;
    for (int i = 0; i < reads; ++i) {
        QElapsedTimer t;
        t.start();
        bool done = false;
        readFrameMarkup(&page, QStringLiteral("no_combat"), OriginOf(QUrl(QString::fromStdString(server.base()))),
                        [&](std::optional<QString> text) {
                            size = text ? text->size() : -1;
                            if (text)
                                last = *text;
                            done = true;
                            loop.quit();
                        });
        if (!done)
            loop.exec();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("frame reads: %d, markup %lld characters, median %.2f ms, 90th %.2f ms, worst %.2f ms\n", reads,
                static_cast<long long>(size), ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.back());
    if (argc > 2) { // keep the markup as read, in Windows-1251, e.g. as a fuzzing seed
        QFile out(QString::fromLocal8Bit(argv[2]));
        if (out.open(QIODevice::WriteOnly))
            out.write(QByteArray::fromStdString(toCp1251(last)));
    }
    return 0;
}
