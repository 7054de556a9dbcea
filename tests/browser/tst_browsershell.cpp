// The browser shell of the window against the practice server: tabs, the address box, commands, the login
// panel and player lookup.
#include "app/parts/loginpanel.h"
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "browser/browsertabs.h"
#include "browser/browserview.h"
#include "browser/pagepoller.h"
#include "browser/shellmenus.h"
#include "formfixture.h"
#include "person.h"
#include "practicefixture.h"
#include "testsupport.h"
#include "windowcontrols.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace veldor;
using namespace veldor::test;
using practice::test::RunningServer;

namespace {} // namespace

class TestBrowserShell : public QObject
{
    Q_OBJECT
    FormFixture fx;
    std::shared_ptr<ScriptedPrompts>& prompts = fx.prompts;

private slots:
    void init()
    {
        fx.reset();
        fx.startServer();
    }
    void cleanup() { fx.server.reset(); }

    void tabsOpenCloseAndShowTheirAddress()
    {
        auto form = fx.active();
        QVERIFY(form);
        BrowserView* info = FormFixture::openTab(*form, fx.url("/cgi/pl_info.php?login=Alpha"));
        QVERIFY(info);
        QCOMPARE(controls(*form).browserTabs->currentIndex(), 1);
        QCOMPARE(FormFixture::tab(*form, 1), info);
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).browserTabs->tabText(1), QStringLiteral("Информация об игроке"),
                                  kWait);
        QCOMPARE(controls(*form).addressBox->currentText(), fx.url("/cgi/pl_info.php?login=Alpha"));
        QVERIFY(person::items(controls(*form).addressBox).contains(fx.url("/cgi/pl_info.php?login=Alpha")));
        QCOMPARE(form->tabs()->currentBrowser(), FormFixture::tab(*form, 1));

        QVERIFY(FormFixture::openTab(*form, fx.url("/cgi/pl_info.php?login=Beta")));
        QVERIFY(FormFixture::openTab(*form, fx.url("/cgi/pl_info.php?login=Gamma")));
        QTRY_VERIFY_WITH_TIMEOUT(!FormFixture::tab(*form, 3)->busy() && !FormFixture::tab(*form, 2)->busy(), kWait);
        QVERIFY(fx.clickTab(*form, 2)); // the user picks the middle tab
        QCOMPARE(controls(*form).addressBox->currentText(), fx.url("/cgi/pl_info.php?login=Beta"));
        QCOMPARE(form->tabs()->LastBrowser.data(), FormFixture::tab(*form, 3));
        QVERIFY(fx.chooseOnTabStrip(*form, QStringLiteral("Закрыть")));
        QCOMPARE(controls(*form).browserTabs->count(), 3);
        QCOMPARE(controls(*form).browserTabs->currentIndex(), 2); // the tab after it
        QCOMPARE(controls(*form).addressBox->currentText(), fx.url("/cgi/pl_info.php?login=Gamma"));
        QVERIFY(form->tabs()->LastBrowser.isNull());
        QVERIFY(fx.chooseOnTabStrip(
            *form, QStringLiteral("Закрыть"))); // the last tab: the game tab comes forward, with the game's address
        QCOMPARE(controls(*form).browserTabs->currentIndex(), 0);
        QCOMPARE(controls(*form).addressBox->currentText(), fx.base());
        QVERIFY(fx.chooseOnTabStrip(*form, QStringLiteral("Закрыть"))); // never the game tab
        person::click(controls(*form).gameBrowser);
        QVERIFY(person::press(Qt::Key_W, Qt::ControlModifier)); // nor its shortcut
        QCOMPARE(controls(*form).browserTabs->count(), 2);

        QVERIFY(fx.clickTab(*form, 1));
        QVERIFY(fx.clickTab(*form, 0)); // switching to the game tab
        QCOMPARE(controls(*form).addressBox->currentText(), QString::fromStdString(fx.server->base()));
        QCOMPARE(controls(*form).browserTabs->tabText(0), QStringLiteral("Тирмора"));
    }

    void addressBoxNavigatesOtherTabsOnly()
    {
        auto form = fx.active();
        QVERIFY(form);
        QTRY_VERIFY_WITH_TIMEOUT(!controls(*form).gameBrowser->busy() && !controls(*form).gameBrowser->url().isEmpty(),
                                 kWait);
        const QUrl gameUrl = controls(*form).gameBrowser->url();
        QVERIFY(person::typeInto(controls(*form).addressBox, fx.url("/chout.php")));
        QVERIFY(person::press(Qt::Key_Return));
        person::click(controls(*form).goButton);
        QTest::qWait(200);
        QCOMPARE(controls(*form).gameBrowser->url(), gameUrl);

        QVERIFY(FormFixture::openTab(*form, fx.url("/chout.php")));
        QTRY_COMPARE_WITH_TIMEOUT(FormFixture::tab(*form, 1)->url().toString(), fx.url("/chout.php"), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(person::items(controls(*form).addressBox).contains(fx.url("/chout.php")), kWait);
        // An address in other letters is the same address; newest first.
        const int count = controls(*form).addressBox->count();
        QVERIFY(FormFixture::goTo(*form, fx.url("/CHOUT.PHP")));
        QTRY_VERIFY_WITH_TIMEOUT(FormFixture::tab(*form, 1)->url().path() == QLatin1String("/CHOUT.PHP") &&
                                     !FormFixture::tab(*form, 1)->busy(),
                                 kWait);
        QCOMPARE(controls(*form).addressBox->count(), count);
        QVERIFY(FormFixture::goTo(*form, fx.url("/cgi/pl_info.php?login=New")));
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).addressBox->itemText(0), fx.url("/cgi/pl_info.php?login=New"), kWait);
        QVERIFY(fx.menu(*form, {"Дополнительно", "Очистить адреса"}));
        QCOMPARE(controls(*form).addressBox->count(), 0);
        QCOMPARE(controls(*form).addressBox->currentText(), fx.url("/cgi/pl_info.php?login=New"));
    }

    void aTitleFromABackgroundTabRenamesTheActiveTab()
    {
        auto form = fx.active();
        QVERIFY(form);
        // A page that renames itself half a second after it went into the background.
        const QString page = fx.dir->filePath(QStringLiteral("background.html"));
        QVERIFY(writeAll(page, QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><script>"
                                              "document.addEventListener('visibilitychange', function() {"
                                              " if (document.hidden) setTimeout(function() {"
                                              " document.title = 'Фоновая'; }, 500); });</script>"
                                              "</body></html>")
                                   .toUtf8()));
        BrowserView* background = FormFixture::openTab(*form, QUrl::fromLocalFile(page).toString());
        QVERIFY(background && waitUntil([&] { return !background->busy(); }));
        QVERIFY(FormFixture::openTab(*form));
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).browserTabs->tabText(2), QStringLiteral("Фоновая"), kWait);
        QCOMPARE(FormFixture::tab(*form, 2)->PageTitle, QStringLiteral("Фоновая"));
        QCOMPARE(controls(*form).browserTabs->tabText(1), QStringLiteral("background.html")); // its own, as before
    }

    void doubleClickOnTheTabStripClosesTheTab()
    {
        auto form = fx.active();
        QVERIFY(form);
        QVERIFY(FormFixture::openTab(*form) && FormFixture::openTab(*form));
        QTabBar* bar = controls(*form).browserTabs->tabBar();
        const QPoint onTab2 = bar->tabRect(2).center();
        person::click(bar, onTab2);
        controls(*form).tabDoubleClickTimer->setInterval(100);
        QTest::qWait(150); // slower than the double-click window
        person::click(bar, onTab2);
        QCOMPARE(controls(*form).browserTabs->count(), 3);
        QTest::qWait(150);
        person::click(bar, onTab2);
        person::click(bar, onTab2);
        QCOMPARE(controls(*form).browserTabs->count(), 2);
        QVERIFY(!controls(*form).tabDoubleClickTimer->isActive());
        // On the game tab a double click closes nothing; releases beyond the right edge do not count.
        QTest::qWait(150);
        const QPoint onGame = bar->tabRect(0).center();
        person::click(bar, onGame);
        person::click(bar, onGame);
        QCOMPARE(controls(*form).browserTabs->count(), 2);
        QTest::qWait(150);
        // Pressed on the game tab, released past the strip's right edge, then past its left edge.
        QWidget* control = controls(*form).browserTabs;
        const QPoint strip = bar->mapTo(control, QPoint(0, 0));
        person::drag(bar, QPoint(control->width() + 3, 5) - strip - onGame, onGame);
        QVERIFY(!controls(*form).tabDoubleClickTimer->isActive());
        person::drag(bar, QPoint(-2, 5) - strip - onGame, onGame);
        QVERIFY(controls(*form).tabDoubleClickTimer->isActive());
    }

    void commandsOnPages()
    {
        auto form = fx.active();
        QVERIFY(form);
        QVERIFY(FormFixture::openTab(*form));
        // Without a document the font sizes change nothing, the check marks included.
        QVERIFY(fx.menu(*form, {"Вид", "Размер шрифта", "Самый крупный"}));
        QVERIFY(controls(*form).mediumFontAction->isChecked() && !controls(*form).largestFontAction->isChecked());
        QCOMPARE(FormFixture::tab(*form, 1)->zoomFactor(), 1.0);
        QVERIFY(fx.menu(*form, {"Файл", "Свойства"}));
        QVERIFY(prompts->informations.isEmpty());

        // File > Open: a local page in a new tab; its properties name the file.
        const QString page = fx.dir->filePath(QStringLiteral("page.html"));
        QVERIFY(writeAll(page, "<html><head><title>Local</title></head><body>local page</body></html>"));
        prompts->files = {page};
        QVERIFY(fx.menu(*form, {"Файл", "Открыть..."}));
        QCOMPARE(controls(*form).browserTabs->count(), 3);
        BrowserView* local = FormFixture::tab(*form, 2);
        QTRY_VERIFY_WITH_TIMEOUT(!local->busy() && local->hasHtmlDocument(), kWait);
        QVERIFY(fx.menu(*form, {"Вид", "Размер шрифта", "Мелкий"}));
        QVERIFY(controls(*form).smallFontAction->isChecked() && !controls(*form).mediumFontAction->isChecked());
        QVERIFY(local->zoomFactor() < 1.0);
        QVERIFY(fx.menu(*form, {"Файл", "Свойства"}));
        QCOMPARE(prompts->informations.size(), 1);
        QVERIFY(prompts->informations[0].contains(page));

        // Save as: through the profile's download handling, into the file the user picked.
        const QString saved = fx.dir->filePath(QStringLiteral("saved.html"));
        prompts->files = {saved};
        QVERIFY(fx.menu(*form, {"Файл", "Сохранить как..."}));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(saved).size() > 0, kWait);
        QVERIFY(readAll(saved).contains("local page"));

        // A page's own new window becomes a tab.
        const int before = controls(*form).browserTabs->count();
        local->page()->runJavaScript(QStringLiteral("window.open('%1')").arg(fx.url("/chout.php")));
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).browserTabs->count(), before + 1, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(
            FormFixture::tab(*form, before)->url().toString().endsWith(QLatin1String("/chout.php")), kWait);
    }

    void loginPanelKeepsTheAutomaticLoginToggle()
    {
        auto form = fx.active(UserDat{.password = "secret"});
        QVERIFY(form);
        QVERIFY(fx.menu(*form, {"Дополнительно", "Данные"}));
        QVERIFY(controls(*form).loginPanel->isVisible());
        QCOMPARE(controls(*form).loginEdit->text(), QStringLiteral("hero"));
        QCOMPARE(controls(*form).passwordEdit->text(), QStringLiteral("secret"));
        QCOMPARE(controls(*form).passwordEdit->echoMode(), QLineEdit::Password);
        QVERIFY(!controls(*form).autoLoginBox->isChecked());
        QVERIFY(person::typeInto(controls(*form).loginEdit, QStringLiteral("other")));
        person::click(controls(*form).autoLoginBox);
        person::click(controls(*form).loginCancelButton);
        QVERIFY(!controls(*form).loginPanel->isVisible());
        QCOMPARE(form->settings().StoredLogin, std::string("hero"));
        QVERIFY(form->settings().AutoLogin); // the toggle survives "Отмена"
        QVERIFY(fx.menu(*form, {"Дополнительно", "Данные"}));
        QVERIFY(person::typeInto(controls(*form).loginEdit, QStringLiteral("Ёж")));
        QVERIFY(person::typeInto(controls(*form).passwordEdit, QStringLiteral("a \"b\" >c")));
        person::click(controls(*form).loginOkButton);
        QCOMPARE(form->settings().StoredLogin, std::string("\xA8\xE6"));
        QCOMPARE(form->settings().StoredPassword, std::string("a \"b\" >c"));
    }

    void automaticLoginNeedsAPassword()
    {
        auto form = fx.active(UserDat{.password = "", .autoLogin = true});
        QVERIFY(form);
        QVERIFY(waitUntil([&] { return !controls(*form).gameBrowser->busy(); }));
        QTest::qWait(200); // a submitted form would be loading by now
        QVERIFY(!form->poller()->NoCombatFrame.valid());
        QCOMPARE(controls(*form).gameBrowser->url().toString(),
                 QString::fromStdString(fx.server->base()) + QLatin1Char('/'));
    }

    void automaticLoginWithAwkwardCredentials()
    {
        practice::GameRules rules;
        rules.password = "a \"b\" >c&d";
        fx.startServer(rules);
        auto form = fx.active(UserDat{.login = "Ёжик в тумане", .password = "a \"b\" >c&d", .autoLogin = true});
        QVERIFY(form);
        QTRY_VERIFY_WITH_TIMEOUT(form->poller()->NoCombatFrame.valid(),
                                 kWait); // the server took the password as stored
        auto client = fx.server->client();
        QTRY_VERIFY_WITH_TIMEOUT(QString::fromStdString(client.Get("/truth.json")->body)
                                     .contains(QStringLiteral("\"login\":\"Ёжик в тумане\"")),
                                 kWait);
    }

    void playerLookup()
    {
        auto form = fx.active();
        QVERIFY(form);
        QVERIFY(fx.menu(*form, {"Дополнительно", "Найти по нику"})); // cancelled
        prompts->textAnswers = {QString()};
        QVERIFY(fx.menu(*form, {"Дополнительно", "Найти по нику"})); // empty
        QCOMPARE(controls(*form).browserTabs->count(), 1);

        prompts->textAnswers = {QStringLiteral("Вася & Co #1+2")};
        QVERIFY(fx.menu(*form, {"Дополнительно", "Найти по нику"}));
        QCOMPARE(controls(*form).browserTabs->count(), 2);
        QCOMPARE(prompts->textCaptions.last(), QStringLiteral("Введите ник игрока"));
        BrowserView* info = FormFixture::tab(*form, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!info->busy() && info->hasHtmlDocument(), kWait);
        QString html;
        bool done = false;
        info->page()->toHtml([&](const QString& h) {
            html = h;
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done, kWait);
        QVERIFY2(html.contains(QStringLiteral("Ник: Вася &amp; Co #1+2")), qPrintable(html));
        QCOMPARE(controls(*form).nickBox->count(), 0); // the dialog leaves the nick box alone

        QVERIFY(person::typeInto(controls(*form).nickBox, QStringLiteral("Hero")));
        QVERIFY(person::press(Qt::Key_Return));
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).nickBox->count(), 1, kWait);
        QVERIFY(person::typeInto(controls(*form).nickBox, QStringLiteral("HERO")));
        person::click(controls(*form).findNickButton);
        QCOMPARE(controls(*form).browserTabs->count(), 4);
        QVERIFY(waitUntil([&] { return !FormFixture::tab(*form, 3)->busy(); }));
        QTest::qWait(100); // the box's history follows the load
        QCOMPARE(person::items(controls(*form).nickBox), QStringList{QStringLiteral("Hero")});
        QVERIFY(fx.menu(*form, {"Дополнительно", "Очистить ники"}));
        QCOMPARE(controls(*form).nickBox->count(), 0);
        QCOMPARE(controls(*form).nickBox->currentText(), QStringLiteral("HERO"));
    }

    void visitedPagesAppearInTheHistoryMenu()
    {
        auto form = fx.active();
        QVERIFY(form);
        QVERIFY(FormFixture::openTab(*form, fx.url("/cgi/pl_info.php?login=Hist")));
        auto visited = [&] {
            const auto visits = form->history()->visits();
            return std::any_of(visits.begin(), visits.end(), [&](const HistoryStore::Visit& v) {
                return v.url == fx.url("/cgi/pl_info.php?login=Hist") &&
                       v.title == QStringLiteral("Информация об игроке");
            });
        };
        QTRY_VERIFY_WITH_TIMEOUT(visited(), kWait);
        // The menu lists it under today and the site once opened.
        controls(*form).historyMenu->rebuild();
        QCOMPARE(controls(*form).historyMenu->menu()->actions().first()->text(), QStringLiteral("Сегодня"));
        // Chosen while the game tab is in front, it leaves the game where it is.
        QTabBar* bar = controls(*form).browserTabs->tabBar();
        person::click(bar, bar->tabRect(0).center());
        QTRY_COMPARE(controls(*form).browserTabs->currentIndex(), 0);
        const QUrl gameUrl = controls(*form).gameBrowser->url();
        QVERIFY(person::chooseMenu(controls(*form).mainMenu,
                                   {QStringLiteral("История"), QStringLiteral("Сегодня"), QStringLiteral("127.0.0.1"),
                                    QStringLiteral("Информация об игроке")}));
        QTest::qWait(200);
        QCOMPARE(controls(*form).gameBrowser->url(), gameUrl);
    }
};

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    TestBrowserShell test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browsershell.moc"
