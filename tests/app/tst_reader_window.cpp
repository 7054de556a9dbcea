// The whole window against the practice server: log in, frames captured, the tick reads the page, the
// arrow keys walk, and what the atlas records agrees with the server's truth.
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "browser/browserview.h"
#include "browser/pagebridge.h"
#include "browser/pagepoller.h"
#include "formfixture.h"
#include "mapview/clicksplitter.h"
#include "mapview/mapgrid.h"
#include "person.h"
#include "practicefixture.h"
#include "testsupport.h"
#include "text/cp1251.h"
#include "windowcontrols.h"

#include <QApplication>
#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineProfile>
#include <memory>

using namespace veldor;
using namespace veldor::test;
using practice::test::RunningServer;

namespace {

QString entry(int level, int x, int y)
{
    return QString::fromStdString(PositionEntry(level, x, y));
}

} // namespace

class TestReaderWindow : public QObject
{
    Q_OBJECT
    FormFixture fx;

    std::unique_ptr<MainWindow> loggedInForm(bool hidePanels)
    {
        return fx.active(userDat({.autoLogin = true, .passDoors = true, .hidePanels = hidePanels}), QSize());
    }

private slots:
    void init() { fx.reset(); }

    void walkingWithTheArrowKeysRecordsWhatTheServerHolds()
    {
        RunningServer& server = fx.startServer();
        auto form = loggedInForm(true);
        QVERIFY(form);
        QTRY_VERIFY_WITH_TIMEOUT(form->poller()->NoCombatFrame.valid() && form->poller()->ChoutFrame.valid(), kWait);
        // The frames finish in any order.
        QTRY_VERIFY_WITH_TIMEOUT(form->poller()->ShowInfoFrame.valid() && form->poller()->ChinpFrame.valid(), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(controls(*form).pollTimer->isActive(), kWait); // the heartbeat, between reads
        QTRY_COMPARE_WITH_TIMEOUT(form->reader().ViewX, 2, kWait);
        QCOMPARE(form->reader().ViewY, 2);
        QCOMPARE(controls(*form).pollTimer->interval(), 500);
        QVERIFY2(form->windowTitle().startsWith(QStringLiteral("L - 0 (2,2) измотанность: 100%  Вельдор")),
                 qPrintable(form->windowTitle()));
        QCOMPARE(controls(*form).positionLabel->text(), QStringLiteral("2x2"));
        QCOMPARE(controls(*form).mapGrid->col(), 2);
        QCOMPARE(controls(*form).mapGrid->row(), 2);

        // Five steps east through a plain passage and doors: trap, flag, loot, red chest, green chest.
        for (int x = 3; x <= 7; ++x)
            QVERIFY(FormFixture::step(*form, Qt::Key_Right, x, 2));
        // Fatigue drops with each move and recovers with time: whatever the page shows, the caption shows.
        const QRegularExpression caption(QStringLiteral("^L - 0 \\(7,2\\) измотанность: (\\d+)%  Вельдор"));
        QTRY_VERIFY_WITH_TIMEOUT(caption.match(form->windowTitle()).hasMatch(), kWait);
        QCOMPARE(caption.match(form->windowTitle()).captured(1).toInt(), form->reader().Fatigue);
        QVERIFY(form->reader().Fatigue >= 95 && form->reader().Fatigue < 100);
        QCOMPARE(controls(*form).positionLabel->text(), QStringLiteral("7x2"));

        const practice::test::Truth truth(server);
        for (int x = 2; x <= 7; ++x) {
            const TMapCell* c = form->atlas().cell(1, 0, x, 2);
            const std::string t = truth.cell(0, x, 2);
            QCOMPARE(differsFromTruth(*c, t), QString());
            // The neighbours got the mirrored sides.
            if (t[0] != '0')
                QCOMPARE(int(form->atlas().cell(1, 0, x, 1)->South), t[0] - '0');
            QCOMPARE(int(form->atlas().cell(1, 0, x, 3)->North), t[1] - '0');
        }
        QCOMPARE(int(form->atlas().cell(1, 0, 8, 2)->West), truth.cell(0, 7, 2)[3] - '0');
        QCOMPARE(form->atlas().cell(1, 0, 8, 2)->Explored, std::uint8_t(0));
        QCOMPARE(controls(*form).trapsList->toPlainText(), entry(0, 3, 2));
        QCOMPARE(controls(*form).flagsList->toPlainText(), entry(0, 4, 2));
        QVERIFY(controls(*form).exitsList->toPlainText().isEmpty());

        // On to the monster: the combat collapses the three areas.
        const int gridWidth = controls(*form).mapGrid->width();
        for (int x = 8; x <= 13; ++x)
            QVERIFY(FormFixture::step(*form, Qt::Key_Right, x, 2));
        QVERIFY(person::press(Qt::Key_Right));
        QTRY_VERIFY_WITH_TIMEOUT(form->poller()->YourArmyFrame.valid(), kWait);
        QCOMPARE(controls(*form).mapGrid->width(), 5);
        QCOMPARE(controls(*form).sidePanel->width(), 5);
        QCOMPARE(controls(*form).bottomPanel->height(), 5);
        QCOMPARE(
            form->findChild<ClickSplitter*>(QStringLiteral("MainSplitter"))->savedSize(controls(*form).mapSplitter),
            gridWidth);
        // After the combat the monster's cell is read like any other.
        QTRY_VERIFY_WITH_TIMEOUT(form->reader().ViewX == 14, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(form->atlas().cell(1, 0, 14, 2)->Object, 'M', kWait);
    }

    // With "…и возвращать после боя" the areas the combat hid come back once the labyrinth shows again.
    void thePanelsComeBackAfterACombatWhenAsked_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::newRow("asked") << true;
        QTest::newRow("not asked") << false;
    }
    void thePanelsComeBackAfterACombatWhenAsked()
    {
        QFETCH(bool, restore);
        fx.startServer();
        auto form = loggedInForm(true);
        QVERIFY(form);
        QTRY_COMPARE_WITH_TIMEOUT(form->reader().ViewX, 2, kWait);
        if (restore)
            QVERIFY(fx.clickSide(*form, controls(*form).restorePanelsBox));
        QCOMPARE(controls(*form).restorePanelsBox->isChecked(), restore);
        const int gridWidth = controls(*form).mapGrid->width();
        for (int x = 3; x <= 13; ++x)
            QVERIFY(FormFixture::step(*form, Qt::Key_Right, x, 2));
        QVERIFY(person::press(Qt::Key_Right)); // onto the monster
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).mapGrid->width(), 5, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(form->reader().ViewX == 14, kWait); // the combat is over
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).mapGrid->width(), restore ? gridWidth : 5, kWait);
        QCOMPARE(controls(*form).bottomPanel->height() > 5, restore);
    }

    void aCombatCollapsesNothingWhenNotAsked()
    {
        fx.startServer();
        auto form = loggedInForm(false);
        QVERIFY(form);
        QTRY_COMPARE_WITH_TIMEOUT(form->reader().ViewX, 2, kWait);
        const int gridWidth = controls(*form).mapGrid->width();
        const int sideWidth = controls(*form).sidePanel->width();
        const int bottom = controls(*form).bottomPanel->height();
        for (int x = 3; x <= 14; ++x)
            QVERIFY(FormFixture::step(*form, Qt::Key_Right, x, 2));
        QVERIFY(form->poller()->YourArmyFrame.valid());
        QCOMPARE(controls(*form).mapGrid->width(), gridWidth);
        QCOMPARE(controls(*form).sidePanel->width(), sideWidth);
        QCOMPARE(controls(*form).bottomPanel->height(), bottom);
    }

    // Without automatic login the form waits for the user, and nothing is read.
    void theLoginFormWaitsWithoutAutomaticLogin()
    {
        fx.startServer();
        QVERIFY(fx.writeUserDat(UserDat{}));
        auto owner = fx.make();
        MainWindow& form = *owner;
        QSignalSpy loaded(controls(form).gameBrowser->page(), &QWebEnginePage::loadFinished);
        QTRY_VERIFY_WITH_TIMEOUT(loaded.size() >= 1, kWait);
        QTest::qWait(200); // a read would follow the load at once
        QVERIFY(!form.poller()->NoCombatFrame.valid());
        QVERIFY(!controls(form).pollTimer->isActive());
        QVariant login;
        bool done = false;
        controls(form).gameBrowser->page()->runJavaScript(QStringLiteral("document.forms[0].login.value"),
                                                          [&](const QVariant& v) {
                                                              login = v;
                                                              done = true;
                                                          });
        QTRY_VERIFY_WITH_TIMEOUT(done, kWait);
        QCOMPARE(login.toString(), QStringLiteral("hero"));
    }
};

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    TestReaderWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_reader_window.moc"
