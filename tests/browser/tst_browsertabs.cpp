// The browser tabs on their own: the game tab stays, closing brings the next tab to the front, a double click on
// the tab strip closes the tab in front, and the address box keeps a history and what the user types.
#include "app/webengine_setup.h"
#include "browser/browsertabs.h"
#include "browser/browserview.h"
#include "person.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <memory>

using namespace veldor;
using namespace veldor::test;

class TestBrowserTabs : public QObject
{
    Q_OBJECT
    QWebEngineProfile* profile = nullptr;

    // A window with an address box over the tabs, the game tab first, wired as the main window wires them.
    struct Window
    {
        std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
        QComboBox* address = new QComboBox;
        QTabWidget* tabs = new QTabWidget;
        BrowserView* game = nullptr;
        BrowserTabs* browserTabs = nullptr;

        explicit Window(QWebEngineProfile* profile)
        {
            auto* layout = new QVBoxLayout(window.get());
            address->setEditable(true);
            layout->addWidget(address);
            layout->addWidget(tabs);
            auto* gameTab = new QWidget;
            (new QVBoxLayout(gameTab))->addWidget(game = new BrowserView(profile, gameTab));
            tabs->addTab(gameTab, QStringLiteral("Тирмора"));
            browserTabs = new BrowserTabs(tabs, address, profile, QStringLiteral("http://game.test"), window.get());
            BrowserTabs* t = browserTabs;
            QObject::connect(t, &BrowserTabs::stripMouseUp, t, &BrowserTabs::stripReleased);
            QObject::connect(t, &BrowserTabs::tabChangedByUser, t, [t](int left) {
                t->leaving(left);
                t->changed();
            });
            QObject::connect(t->doubleClickTimer(), &QTimer::timeout, t, &BrowserTabs::doubleClickTimeUp);
            window->resize(700, 500);
            window->show();
        }
        bool shown() { return QTest::qWaitForWindowExposed(window.get()) && person::activate(window.get()); }
        void clickTab(int index) { person::click(tabs->tabBar(), tabs->tabBar()->tabRect(index).center()); }
        QStringList history() const
        {
            QStringList items;
            for (int i = 0; i < address->count(); ++i)
                items << address->itemText(i);
            return items;
        }
    };

private slots:
    void initTestCase() { profile = new QWebEngineProfile(this); }

    void theGameTabStaysAndClosingBringsTheNextTab()
    {
        Window w(profile);
        QVERIFY(w.shown());
        QWidget* a = w.browserTabs->open(QString());
        QWidget* b = w.browserTabs->open(QString());
        QWidget* c = w.browserTabs->open(QString());
        QCOMPARE(w.tabs->count(), 4);
        QCOMPARE(w.tabs->currentWidget(), c); // a new tab comes to the front

        w.clickTab(1);
        QTRY_COMPARE(w.tabs->currentWidget(), a);
        QCOMPARE(w.browserTabs->LastBrowser.data(), w.browserTabs->browserOf(c)); // the one left
        QCOMPARE(w.browserTabs->currentBrowser(), w.browserTabs->browserOf(a));

        w.browserTabs->closeActive();
        QCOMPARE(w.tabs->count(), 3);
        QCOMPARE(w.tabs->currentWidget(), b); // the tab after the closed one
        w.browserTabs->close(2);              // the last tab, in front of nothing
        QCOMPARE(w.tabs->currentWidget(), b);
        w.browserTabs->closeActive();
        QCOMPARE(w.tabs->currentIndex(), 0); // the last one went: the game tab

        w.browserTabs->closeActive();
        w.browserTabs->close(0);
        QCOMPARE(w.tabs->count(), 1); // the game tab never closes
        QCOMPARE(w.browserTabs->browserOf(w.tabs->widget(0)), w.game);
    }

    void aDoubleClickOnTheStripClosesTheTabInFront()
    {
        Window w(profile);
        QVERIFY(w.shown());
        w.browserTabs->open(QString());
        QWidget* second = w.browserTabs->open(QString());
        const QPoint onSecond = w.tabs->tabBar()->tabRect(2).center();
        person::doubleClick(w.tabs->tabBar(), onSecond);
        QTRY_COMPARE(w.tabs->count(), 2);
        QVERIFY(w.tabs->indexOf(second) < 0);

        // Two clicks further apart than the double-click time close nothing.
        w.browserTabs->doubleClickTimer()->setInterval(100);
        w.clickTab(1);
        QTest::qWait(150);
        w.clickTab(1);
        QTest::qWait(50);
        QCOMPARE(w.tabs->count(), 2);

        // On the game tab a double click closes nothing either.
        person::doubleClick(w.tabs->tabBar(), w.tabs->tabBar()->tabRect(0).center());
        QTest::qWait(50);
        QCOMPARE(w.tabs->count(), 2);
        QCOMPARE(w.tabs->currentIndex(), 0);
    }

    void theAddressBoxKeepsAHistoryAndWhatIsTyped()
    {
        Window w(profile);
        QVERIFY(w.shown());
        w.browserTabs->open(QStringLiteral("about:blank"));
        w.browserTabs->navigated(QStringLiteral("http://a.test/x"));
        QCOMPARE(w.address->currentText(), QStringLiteral("http://a.test/x"));
        w.browserTabs->navigated(QStringLiteral("HTTP://A.TEST/X"));
        QCOMPARE(w.history(), QStringList{QStringLiteral("http://a.test/x")}); // once, whatever the case

        QVERIFY(person::typeInto(w.address, QStringLiteral("http://typed.test")));
        // The page reports its title meanwhile: the typing stays, the page's address joins the history.
        w.browserTabs->titleChanged(QStringLiteral("Страница"));
        QCOMPARE(w.address->currentText(), QStringLiteral("http://typed.test"));
        QCOMPARE(w.tabs->tabText(1), QStringLiteral("Страница"));
        QCOMPARE(w.history().size(), 2);

        w.browserTabs->clearHistory();
        QVERIFY(w.history().isEmpty());
        QCOMPARE(w.address->currentText(), QStringLiteral("http://typed.test"));
    }

    // Clicked into and selected to type over, the box takes the page's new address, still selected: the
    // address typed next replaces it instead of being added to it.
    void typingOverTheAddressSurvivesThePageLoading()
    {
        Window w(profile);
        QVERIFY(w.shown());
        w.browserTabs->open(QStringLiteral("about:blank"));
        w.browserTabs->navigated(QStringLiteral("http://a.test/x"));
        person::click(w.address);
        QVERIFY(person::press(Qt::Key_A, Qt::ControlModifier));
        w.browserTabs->navigated(QStringLiteral("http://a.test/loaded"));
        QCOMPARE(w.address->currentText(), QStringLiteral("http://a.test/loaded"));
        QVERIFY(person::type(QStringLiteral("http://typed.test")));
        QCOMPARE(w.address->currentText(), QStringLiteral("http://typed.test"));
    }
};

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    TestBrowserTabs test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browsertabs.moc"
