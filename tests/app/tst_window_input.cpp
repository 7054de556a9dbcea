// The window as a person uses it: a real click on a control, then keys to the window that has the
// keyboard. Each case here is something a player met at first contact with the program.
#include "app/parts/loginpanel.h"
#include "app/parts/pagecontrol.h"
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "browser/browserview.h"
#include "browser/pagepoller.h"
#include "browser/shellmenus.h"
#include "formfixture.h"
#include "mapview/atlasoverview.h"
#include "mapview/mapgrid.h"
#include "person.h"
#include "practicefixture.h"
#include "testsupport.h"
#include "ui/prompts.h"
#include "ui/windowstyle.h"
#include "windowcontrols.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <memory>

using namespace veldor;
using namespace veldor::test;
using practice::test::RunningServer;

namespace {

// The caption the X server holds for a window, as a window manager or a task bar shows it.
QString xTitle(QWidget* window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), QString::number(window->winId()), QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(5000))
        return {};
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const int quote = out.indexOf(QLatin1Char('"'));
    return quote < 0 ? out : out.mid(quote + 1).chopped(1);
}

bool hasCyrillic(const QString& text)
{
    static const QRegularExpression cyrillic(QStringLiteral("[А-Яа-яЁё]"));
    return cyrillic.match(text).hasMatch();
}

QString pageText(BrowserView* browser)
{
    QString text;
    bool done = false;
    browser->page()->toPlainText([&](const QString& t) {
        text = t;
        done = true;
    });
    return QTest::qWaitFor([&] { return done; }, kWait) ? text : QString();
}

} // namespace

class TestWindowInput : public QObject
{
    Q_OBJECT
    FormFixture fx;
    std::shared_ptr<ScriptedPrompts>& prompts = fx.prompts;

    static UserDat autoLogin() { return {.autoLogin = true, .passDoors = true}; }

private slots:
    void init()
    {
        fx.reset();
        fx.startServer();
    }
    void cleanup()
    {
        QToolTip::hideText();
        fx.server.reset();
    }

    void enterInTheAddressAndNickBoxes()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        QVERIFY(FormFixture::openTab(*form, fx.url("/chout.php")));
        QTRY_COMPARE_WITH_TIMEOUT(FormFixture::tab(*form, 1)->url().toString(), fx.url("/chout.php"), kWait);

        QVERIFY(person::typeInto(controls(*form).nickBox, QStringLiteral("Hero")));
        QCOMPARE(person::focused(), controls(*form).nickBox);
        QVERIFY(person::press(Qt::Key_Return));
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).browserTabs->count(), 3, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(FormFixture::tab(*form, 2)->url().toString(), fx.url("/cgi/pl_info.php?login=Hero"),
                                  kWait);
        QTRY_COMPARE_WITH_TIMEOUT(person::items(controls(*form).nickBox), QStringList{QStringLiteral("Hero")}, kWait);
    }

    // A page that sets its title late must not wipe out what the user is typing into the address box.
    void typingInTheAddressBoxIsNotOverwritten()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        const QString late = QStringLiteral("data:text/html,<script>setTimeout(function(){document.title='late'},1200)"
                                            "</script>late");
        QVERIFY(FormFixture::openTab(*form, late));
        BrowserView* tab = FormFixture::tab(*form, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!tab->busy() && tab->url().scheme() == QLatin1String("data"), kWait);
        QVERIFY(person::typeInto(controls(*form).addressBox, QStringLiteral("arena")));
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).browserTabs->tabText(1), QStringLiteral("late"), kWait);
        QCOMPARE(controls(*form).addressBox->currentText(), QStringLiteral("arena"));
        QVERIFY(!person::items(controls(*form).addressBox).contains(QStringLiteral("arena")));
    }

    void stopEndsALoadThatHangs()
    {
        QTcpServer silent; // takes the request and never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        QList<QTcpSocket*> held;
        connect(&silent, &QTcpServer::newConnection, this, [&] {
            while (QTcpSocket* s = silent.nextPendingConnection())
                held << s;
        });
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        QVERIFY(FormFixture::openTab(*form, QStringLiteral("http://127.0.0.1:%1/slow").arg(silent.serverPort())));
        BrowserView* tab = FormFixture::tab(*form, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!held.isEmpty(), kWait);
        QVERIFY(tab->busy());
        person::click(controls(*form).stopButton);
        QTRY_VERIFY_WITH_TIMEOUT(!tab->busy(), 5000);
    }

    void backFromAFailedPage()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        QVERIFY(FormFixture::openTab(*form, fx.url("/cgi/pl_info.php?login=Alpha")));
        BrowserView* tab = FormFixture::tab(*form, 1);
        QTRY_COMPARE_WITH_TIMEOUT(tab->url().toString(), fx.url("/cgi/pl_info.php?login=Alpha"), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(!tab->busy(), kWait);
        const QString dead = QStringLiteral("http://127.0.0.1:%1/gone").arg(FormFixture::freePort());
        QVERIFY(FormFixture::goTo(*form, dead));
        QTRY_VERIFY_WITH_TIMEOUT(tab->loadFailed(), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(controls(*form).backButton->isEnabled(), kWait);
        person::click(controls(*form).backButton);
        QTRY_COMPARE_WITH_TIMEOUT(tab->url().toString(), fx.url("/cgi/pl_info.php?login=Alpha"), kWait);
    }

    // The program starts while the game server is down; once it is back, F5 on the game tab logs in
    // and the reader reads the player's cell.
    void theGameComesBackWithF5()
    {
        const int port = fx.server->port;
        fx.server.reset();
        auto form = fx.active(userDat(autoLogin()), QSize(1200, 800), QStringLiteral("http://127.0.0.1:%1").arg(port));
        QVERIFY(form);
        QTRY_VERIFY_WITH_TIMEOUT(controls(*form).gameBrowser->loadFailed(), kWait);
        QVERIFY(hasCyrillic(pageText(controls(*form).gameBrowser))); // the browser's error page, in Russian
        QVERIFY(!controls(*form).pollTimer->isActive());

        fx.startServer(practice::GameRules{}, 11, 3, port);
        QCOMPARE(fx.server->port, port);
        person::click(controls(*form).gameBrowser);
        QVERIFY(person::press(Qt::Key_F5));
        QTRY_VERIFY_WITH_TIMEOUT(form->poller()->NoCombatFrame.valid(), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).positionLabel->text(), QStringLiteral("2x2"), kWait);
        QVERIFY(controls(*form).pollTimer->isActive() || controls(*form).pollTimer->interval() == 500);
    }

    void altArrowsInTheKeyboardBoxWalk()
    {
        auto form = fx.active(autoLogin());
        QVERIFY(form);
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).positionLabel->text(), QStringLiteral("2x2"), kWait);
        const QUrl game = controls(*form).gameBrowser->url();
        // The reader's caption stands as it is, without the program's name added by the desktop.
        QTRY_VERIFY_WITH_TIMEOUT(xTitle(form.get()).startsWith(QStringLiteral("L - 0 (2,2) измотанность: ")), kWait);
        QVERIFY2(xTitle(form.get()).endsWith(QStringLiteral("%  ") + MainWindow::Title()),
                 qPrintable(xTitle(form.get())));

        person::click(controls(*form).keyboardBox);
        QCOMPARE(person::focused(), controls(*form).keyboardBox);
        QVERIFY(person::press(Qt::Key_Right, Qt::AltModifier));
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).positionLabel->text(), QStringLiteral("3x2"), kWait);
        QVERIFY(person::press(Qt::Key_Left, Qt::AltModifier));
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).positionLabel->text(), QStringLiteral("2x2"), kWait);
        QVERIFY(person::press(Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier));
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).positionLabel->text(), QStringLiteral("3x2"), kWait);
        QCOMPARE(controls(*form).gameBrowser->url().path(), game.path()); // the game tab did not go back
    }

    // The session ends while playing: the next step shows the game's login form, the window logs in again by
    // itself and the step after that reaches the map.
    void anEndedSessionIsRenewed()
    {
        auto form = fx.active(autoLogin());
        QVERIFY(form);
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).positionLabel->text(), QStringLiteral("2x2"), kWait);
        fx.server->game.endSessions();
        person::click(controls(*form).keyboardBox);
        QVERIFY(person::press(Qt::Key_Right)); // answered with the login form
        QTRY_VERIFY_WITH_TIMEOUT(form->statusBar()->currentMessage().contains(QStringLiteral("входит заново")), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(form->statusBar()->currentMessage().isEmpty(), kWait); // the game is back
        QVERIFY(FormFixture::step(*form, Qt::Key_Right, 3, 2));
    }

    // A game that takes moves into the page without loading it: the keys walk and the map follows without the
    // heartbeat.
    void aPageRewrittenWithoutALoadFollowsTheKeys()
    {
        practice::GameRules rules;
        rules.rewriteMoves = true;
        fx.startServer(rules);
        auto form = fx.active(autoLogin());
        QVERIFY(form);
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).positionLabel->text(), QStringLiteral("2x2"), kWait);
        controls(*form).pollTimer->setInterval(3600 * 1000);
        for (int x = 3; x <= 5; ++x)
            QVERIFY(FormFixture::step(*form, Qt::Key_Right, x, 2));
    }

    void backFollowsTheTabInFront()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        QVERIFY(FormFixture::openTab(*form, fx.url("/cgi/pl_info.php?login=Alpha")));
        BrowserView* first = FormFixture::tab(*form, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!first->busy() && !first->url().isEmpty(), kWait);
        QVERIFY(FormFixture::goTo(*form, fx.url("/cgi/pl_info.php?login=Beta")));
        QTRY_VERIFY_WITH_TIMEOUT(controls(*form).backButton->isEnabled(), kWait);

        QVERIFY(
            person::chooseMenu(controls(*form).mainMenu, {QStringLiteral("Файл"), QStringLiteral("Новая вкладка")}));
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).browserTabs->count(), 3, kWait);
        QVERIFY(!controls(*form).backButton->isEnabled());
        QTest::qWait(200);
        QVERIFY(!controls(*form).backButton->isEnabled());

        QTabBar* bar = controls(*form).browserTabs->tabBar();
        person::click(bar, bar->tabRect(1).center());
        QTRY_VERIFY_WITH_TIMEOUT(controls(*form).backButton->isEnabled(), kWait);
        QVERIFY(waitUntil(
            [&] { return !controls(*form).tabDoubleClickTimer->isActive(); })); // past the double-click window
        person::click(bar, bar->tabRect(0).center());
        QTRY_VERIFY_WITH_TIMEOUT(!controls(*form).backButton->isEnabled(), kWait);
    }

    void historyLeavesOutTheLoginForm()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        QTRY_VERIFY_WITH_TIMEOUT(!controls(*form).gameBrowser->busy() && !controls(*form).gameBrowser->url().isEmpty(),
                                 kWait);
        QVERIFY(FormFixture::openTab(*form, fx.url("/cgi/pl_info.php?login=Alpha")));
        QTRY_COMPARE_WITH_TIMEOUT(form->history()->visits().size(), std::size_t(1), kWait);
        QCOMPARE(form->history()->visits().front().url, fx.url("/cgi/pl_info.php?login=Alpha"));
    }

    void dialogsAndTheBrowserSpeakRussian()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        QStringList buttons;
        QTimer::singleShot(0, this, [&] {
            if (!QTest::qWaitFor([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }, kWait))
                return;
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton* b : box->buttons())
                buttons << person::plain(b->text());
            for (QAbstractButton* b : box->buttons()) {
                if (person::plain(b->text()) == QStringLiteral("Отмена")) {
                    person::click(b);
                    return;
                }
            }
            person::press(Qt::Key_Escape); // whatever the buttons say, the box goes
        });
        DialogPrompts dialogs;
        QCOMPARE(dialogs.askYesNoCancel(form.get(), QStringLiteral("Сохранить карты?")), UserPrompts::Answer::Cancel);
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("Да"), QStringLiteral("Нет"), QStringLiteral("Отмена")}));

        // The browser's context menu.
        QVERIFY(FormFixture::openTab(*form, fx.url("/cgi/pl_info.php?login=Alpha")));
        BrowserView* tab = FormFixture::tab(*form, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!tab->busy() && !tab->url().isEmpty(), kWait);
        QTest::qWait(200);
        person::click(tab, tab->rect().center(), Qt::RightButton);
        QTRY_VERIFY_WITH_TIMEOUT(person::shownPopup(), kWait);
        QStringList captions;
        for (QAction* a : person::shownPopup()->actions())
            if (!a->isSeparator())
                captions << person::plain(a->text());
        QVERIFY(!captions.isEmpty());
        for (const QString& c : captions)
            QVERIFY2(hasCyrillic(c), qPrintable(captions.join(QLatin1Char('|'))));
        person::shownPopup()->close();
    }

    void everyHintShowsAtOnceAfterTheGridsFirst()
    {
        WindowStyle::install()->setFallAsleepDelay(100); // hints fall asleep sooner than the platform's 2 s
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        MapGrid* grid = controls(*form).mapGrid;
        const QPoint cell = grid->cellRect(2, 2).center();
        person::hover(grid->viewport(), cell);
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible() && QToolTip::text().startsWith(QStringLiteral("2x2")), kWait);

        // Off the grid onto the browser, and long enough for hints to have fallen asleep.
        person::hover(controls(*form).browserTabs->tabBar(),
                      QPoint(controls(*form).browserTabs->tabBar()->width() + 40, 5));
        QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), kWait);
        QTest::qWait(200);
        person::hover(controls(*form).keyboardBox);
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 450); // the platform's own delay is 700 ms
        QCOMPARE(QToolTip::text(), QStringLiteral("Управлять передвижением с клавиатуры"));

        person::hover(controls(*form).browserTabs->tabBar(),
                      QPoint(controls(*form).browserTabs->tabBar()->width() + 40, 5));
        QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), kWait);
        QTest::qWait(200);
        person::hover(grid->viewport(), cell); // back onto the grid's current cell
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 450);
        QVERIFY(QToolTip::text().startsWith(QStringLiteral("2x2")));
    }

    void thePasswordBoxShowsStars()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        QVERIFY(
            person::chooseMenu(controls(*form).mainMenu, {QStringLiteral("Дополнительно"), QStringLiteral("Данные")}));
        QTRY_VERIFY_WITH_TIMEOUT(controls(*form).loginPanel->isVisible(), kWait);
        QVERIFY(person::typeInto(controls(*form).passwordEdit, QStringLiteral("abc")));
        QCOMPARE(controls(*form).passwordEdit->text(), QStringLiteral("abc"));
        QCOMPARE(controls(*form).passwordEdit->displayText(), QStringLiteral("***"));
    }

    void theCaptionIsExactlyTheTitle()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        QTRY_COMPARE_WITH_TIMEOUT(xTitle(form.get()), MainWindow::Title(), kWait);
    }

    void organizeFavoritesFollowsTheFolder()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        FavoritesMenu* favorites = controls(*form).favoritesMenu;
        favorites->fileManagerCommand = fx.file("no-file-manager-here");
        const int before = favorites->menu()->actions().size();
        QVERIFY(person::chooseMenu(controls(*form).mainMenu,
                                   {QStringLiteral("Избранное"), QStringLiteral("Упорядочить избранное...")}));
        QTRY_COMPARE_WITH_TIMEOUT(prompts->informations.size(), 1, kWait);
        QVERIFY2(prompts->informations.first().contains(favorites->folder()),
                 qPrintable(prompts->informations.first()));
        QCOMPARE(favorites->menu()->actions().size(), before);

        // A shortcut and a folder made outside the program show up in the menu.
        QVERIFY(writeAll(QDir(favorites->folder()).filePath(QStringLiteral("Арена.url")),
                         "[InternetShortcut]\r\nURL=http://arena.example/\r\n"));
        QVERIFY(QDir(favorites->folder()).mkdir(QStringLiteral("Кланы")));
        QTRY_VERIFY_WITH_TIMEOUT(person::actionNamed(favorites->menu()->actions(), QStringLiteral("Арена")), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(person::actionNamed(favorites->menu()->actions(), QStringLiteral("Кланы")), kWait);
        // ...and so does a file put into that new folder.
        QVERIFY(writeAll(QDir(favorites->folder()).filePath(QStringLiteral("Кланы/Орден.url")),
                         "[InternetShortcut]\r\nURL=http://order.example/\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(
            person::chooseMenu(controls(*form).mainMenu,
                               {QStringLiteral("Избранное"), QStringLiteral("Кланы"), QStringLiteral("Орден")}),
            kWait);
    }

    void addToFavoritesAsksBeforeReplacing()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        const QString file = QDir(controls(*form).favoritesMenu->folder()).filePath(QStringLiteral("Игрок.url"));
        const QByteArray old = "[InternetShortcut]\r\nURL=http://old.example/\r\n";
        QVERIFY(writeAll(file, old));
        QVERIFY(FormFixture::openTab(*form, fx.url("/cgi/pl_info.php?login=Alpha")));
        BrowserView* tab = FormFixture::tab(*form, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!tab->busy() && !tab->url().isEmpty(), kWait);
        const QStringList add{QStringLiteral("Избранное"), QStringLiteral("Добавить в избранное...")};

        prompts->textAnswers = {QStringLiteral("Игрок")};
        prompts->answers = {UserPrompts::Answer::No};
        QVERIFY(person::chooseMenu(controls(*form).mainMenu, add));
        QTRY_COMPARE_WITH_TIMEOUT(prompts->questions.size(), 1, kWait);
        QVERIFY(prompts->questions.first().contains(QStringLiteral("Игрок")));
        QCOMPARE(readAll(file), old);

        prompts->textAnswers = {QStringLiteral("Игрок")};
        prompts->answers = {UserPrompts::Answer::Yes};
        QVERIFY(person::chooseMenu(controls(*form).mainMenu, add));
        QTRY_VERIFY_WITH_TIMEOUT(readAll(file).contains(fx.url("/cgi/pl_info.php?login=Alpha").toUtf8()), kWait);
    }

    // A marker set through the grid's popup menu is saved with the maps and is there after a restart.
    void aMarkerSurvivesARestart()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        MapGrid* grid = controls(*form).mapGrid;
        person::hover(grid->viewport(), grid->cellRect(4, 6).center());
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).mapGrid->hovered().x(), 4, kWait);
        person::click(grid->viewport(), grid->cellRect(4, 6).center(), Qt::RightButton);
        QTRY_VERIFY_WITH_TIMEOUT(person::shownPopup(), kWait);
        prompts->textAnswers = {QStringLiteral("тайник\nза камнем")};
        QVERIFY(person::choose(person::shownPopup(), {QStringLiteral("Добавить"), QStringLiteral("Маркер")}));
        QTRY_COMPARE_WITH_TIMEOUT(prompts->textCaptions.size(), 1, kWait);
        prompts->answers = {UserPrompts::Answer::Yes};
        QVERIFY(form->close());
        form.reset();

        auto again = fx.active(UserDat{});
        QVERIFY(again);
        QVERIFY(again->startupProblems().isEmpty());
        person::hover(controls(*again).mapGrid->viewport(), controls(*again).mapGrid->cellRect(4, 6).center());
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), kWait);
        QCOMPARE(QToolTip::text(), QStringLiteral("4x6\nтайник\nза камнем"));
    }

    // The keyboard box says when it has the arrow keys.
    void theKeyboardBoxSaysItWalks()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        person::click(controls(*form).keyboardBox);
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).keyboardBox->toPlainText(), QStringLiteral("стрелки: ходьба"), kWait);
        person::click(controls(*form).addressBox);
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).keyboardBox->toPlainText(), QStringLiteral("управление с клавиатуры"),
                                  kWait);
    }

    // A marker of millions of characters shows only its start in the hint, in lines.
    void aLongMarkerShowsItsStartInTheHint()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        form->atlas().setMarkText(form->shownLab(), 0, 5, 7, std::string(15'000'000, 'a'));
        person::hover(controls(*form).mapGrid->viewport(), controls(*form).mapGrid->cellRect(2, 2).center());
        person::hover(controls(*form).mapGrid->viewport(), controls(*form).mapGrid->cellRect(5, 7).center());
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), kWait);
        const QStringList lines = QToolTip::text().split(QLatin1Char('\n'));
        QCOMPARE(lines.mid(1).join(QString()), QString(500, QLatin1Char('a')) + QStringLiteral("…"));
        QVERIFY(std::all_of(lines.begin(), lines.end(), [](const QString& l) { return l.size() <= 80; }));
    }

    // A popup mark taken back and done again through the Edit menu, by its name.
    void undoAndRedoThroughTheMenu()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        QVERIFY(fx.markCell(*form, 4, 6, {QStringLiteral("Добавить"), QStringLiteral("Флаг")}));
        const auto object = [&] { return form->atlas().cell(form->shownLab(), 0, 4, 6)->Object; };
        QCOMPARE(object(), 'F');
        QVERIFY(person::chooseMenu(controls(*form).mainMenu,
                                   {QStringLiteral("Правка"), QStringLiteral("Отменить: флаг в 4x6")}));
        QCOMPARE(object(), char(0));
        QVERIFY(controls(*form).flagsList->toPlainText().isEmpty());
        QVERIFY(person::chooseMenu(controls(*form).mainMenu,
                                   {QStringLiteral("Правка"), QStringLiteral("Повторить: флаг в 4x6")}));
        QCOMPARE(object(), 'F');
    }

    // Ctrl+Z acts on the map with the focus in the keyboard box, and stays the address box's own undo there.
    void ctrlZUndoesTheMapOnlyOutsideTextBoxes()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        TMapCell* cell = form->atlas().cell(form->shownLab(), 0, 2, 2);
        cell->Explored = 1;
        controls(*form).sidePanel->ensureWidgetVisible(controls(*form).clearLabyrinthButton);
        person::click(controls(*form).sidePages->tabButton(0)); // "Настройки"
        QTRY_VERIFY(controls(*form).clearLabyrinthButton->isVisible());
        person::click(controls(*form).clearLabyrinthButton);
        QCOMPARE(cell->Explored, 0);
        QVERIFY(person::typeInto(controls(*form).addressBox, QStringLiteral("abc")));
        QVERIFY(person::press(Qt::Key_Z, Qt::ControlModifier));
        QCOMPARE(cell->Explored, 0);
        QVERIFY(!controls(*form).addressBox->currentText().contains(QStringLiteral("abc")));
        person::click(controls(*form).keyboardBox); // the keyboard box beside the map
        QTRY_COMPARE_WITH_TIMEOUT(person::focused(), controls(*form).keyboardBox, kWait);
        QVERIFY(person::press(Qt::Key_Z, Qt::ControlModifier));
        QCOMPARE(cell->Explored, 1);
    }

    // Clearing every map, then undo and redo by key: the journal keeps up, and a restart after a kill brings back
    // the cells walked.
    void aWalkSurvivesUndoneClearsAndAKill()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        for (int x = 2; x <= 7; ++x)
            form->atlas().cell(form->shownLab(), 0, x, 2)->Explored = 1;
        person::click(controls(*form).sidePages->tabButton(0)); // "Настройки"
        controls(*form).sidePanel->ensureWidgetVisible(controls(*form).clearAllMapsButton);
        QTRY_VERIFY(controls(*form).clearAllMapsButton->isVisible());
        person::click(controls(*form).clearAllMapsButton);
        person::click(controls(*form).keyboardBox);
        QTRY_COMPARE_WITH_TIMEOUT(person::focused(), controls(*form).keyboardBox, kWait);
        for (int i = 0; i < 5; ++i)
            QVERIFY(person::press(i % 2 ? Qt::Key_Y : Qt::Key_Z, Qt::ControlModifier));
        QCOMPARE(form->atlas().cell(form->shownLab(), 0, 7, 2)->Explored, 1);
        QVERIFY(QFileInfo(fx.file("map.journal")).size() < (64 << 10));
        const auto killed = fx.folderAtKill();
        QVERIFY(killed);
        fx.prompts->answers = {UserPrompts::Answer::Yes};
        auto restarted = fx.make({}, killed->path());
        for (int x = 2; x <= 7; ++x)
            QCOMPARE(restarted->atlas().cell(restarted->shownLab(), 0, x, 2)->Explored, 1);
    }

    // A click on a level's picture in the atlas overview shows that level in the main window.
    void theOverviewShowsTheLevelClicked()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        form->atlas().cell(form->shownLab(), 3, 2, 2)->Explored = 1;
        QVERIFY(person::chooseMenu(controls(*form).mainMenu, {QStringLiteral("Вид"), QStringLiteral("Обзор атласа")}));
        auto* overview = form->findChild<AtlasOverview*>();
        QTRY_VERIFY_WITH_TIMEOUT(overview && overview->isVisible(), kWait);
        QVERIFY(QTest::qWaitForWindowExposed(overview));
        QListWidget* levels = overview->levels();
        QVERIFY(levels->item(0)->text().contains(QStringLiteral("флаги: 0")));
        QVERIFY(fx.markCell(*form, 4, 6, {QStringLiteral("Добавить"), QStringLiteral("Флаг")})); // followed at once
        QVERIFY(levels->item(0)->text().contains(QStringLiteral("флаги: 1")));
        QVERIFY(levels->item(3)->text().startsWith(QStringLiteral("Уровень 3: 0,1 %"))); // one cell of 900
        person::click(levels->viewport(), levels->visualItemRect(levels->item(3)).center());
        QTRY_COMPARE_WITH_TIMEOUT(form->shownLevel(), 3, kWait);
    }

    // A marker's word typed into the search, then Enter: the cell is selected on its level.
    void aSearchJumpsToTheMarker()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        form->atlas().setMarkText(form->shownLab(), 12, 7, 8, "\xD2\xE0\xE9\xED\xE8\xEA"); // "Тайник"
        QVERIFY(person::chooseMenu(controls(*form).mainMenu,
                                   {QStringLiteral("Правка"), QStringLiteral("Найти на карте...")}));
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QLineEdit*>(person::focused()), kWait);
        QVERIFY(person::type(QStringLiteral("тайн")));
        QVERIFY(person::press(Qt::Key_Down)); // into the results
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QTableWidget*>(person::focused()), kWait);
        QVERIFY(person::press(Qt::Key_Return));
        QTRY_COMPARE_WITH_TIMEOUT(form->shownLevel(), 12, kWait); // levels above 9 too
        QCOMPARE(controls(*form).levelBox->currentText(), QStringLiteral("12"));
        QCOMPARE(QPoint(controls(*form).mapGrid->col(), controls(*form).mapGrid->row()), QPoint(7, 8));
        MapGrid* grid = controls(*form).mapGrid; // outlined thickly, for a few seconds
        const auto outlined = [&] {
            return grid->viewport()->grab().toImage().pixelColor(grid->cellRect(7, 8).topLeft() + QPoint(2, 5)) ==
                   QColor(0, 230, 255);
        };
        QTRY_VERIFY(outlined());
        QTRY_VERIFY_WITH_TIMEOUT(!outlined(), 5000);
    }

    // Ctrl and the wheel over the map: the cell size grows by one and the cell under the pointer stays there.
    void ctrlWheelZoomsAroundThePointer()
    {
        auto form = fx.active(UserDat{.lab = 14}); // 100 x 100: room to scroll both ways
        QVERIFY(form);
        MapGrid* grid = controls(*form).mapGrid;
        const QPoint at = grid->cellRect(10, 10).center();
        const int size = controls(*form).cellSizeSpin->value();
        person::wheel(grid->viewport(), at, 120, Qt::ControlModifier);
        QCOMPARE(controls(*form).cellSizeSpin->value(), size + 1);
        QCOMPARE(grid->cellAt(at), QPoint(10, 10));
    }

    // The share explored and the hint of the cell under the pointer follow every change of the map at once.
    void theShareAndTheHintFollowTheMap()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        for (int x = 1; x <= 9; ++x)
            form->atlas().cell(form->shownLab(), 0, x, 1)->Explored = 1; // 9 of 900 cells
        prompts->textAnswers = {QStringLiteral("Тайник")};
        QVERIFY(fx.markCell(*form, 4, 6, {QStringLiteral("Добавить"), QStringLiteral("Маркер")}));
        QTRY_VERIFY_WITH_TIMEOUT(controls(*form).mapGrid->toolTip().contains(QStringLiteral("Тайник")), kWait);
        QCOMPARE(prompts->textCaptions.value(0), QStringLiteral("Введите текст метки"));
        QCOMPARE(controls(*form).exploredLabel->text(), QStringLiteral("Процент открытия уровня: 1%"));
        controls(*form).sidePanel->ensureWidgetVisible(controls(*form).clearLabyrinthButton);
        person::click(controls(*form).sidePages->tabButton(0)); // "Настройки"
        QTRY_VERIFY(controls(*form).clearLabyrinthButton->isVisible());
        person::click(controls(*form).clearLabyrinthButton); // "Очистить карту"
        QTRY_COMPARE(controls(*form).exploredLabel->text(), QStringLiteral("Процент открытия уровня: 0%"));
    }

    // The window goes without a close, as when the program is killed: what was marked since the last save comes
    // back after "Да", and the map files were never touched meanwhile.
    void unsavedMarksComeBackAfterACrash()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        const unsigned lab = form->shownLab();
        const int level = form->shownLevel();
        const QByteArray crd = readAll(fx.file("map.crd"));
        QVERIFY(fx.markCell(*form, 4, 6, {QStringLiteral("Добавить"), QStringLiteral("Ловушку")}));
        QTRY_COMPARE_WITH_TIMEOUT(form->atlas().cell(lab, level, 4, 6)->Object, 'L', kWait);
        QVERIFY(QFile::exists(fx.file("map.journal")));
        form.reset(); // no close: nothing saved, nothing discarded

        prompts->answers = {UserPrompts::Answer::Yes};
        auto again = fx.active(UserDat{});
        QVERIFY(again);
        QVERIFY(prompts->questions.last().startsWith(QStringLiteral(
            "Прошлый раз Вельдор закрылся, не сохранив карты. Вернуть несохранённые изменения?\n\n"
            "• стены или отметки изменены: 1 клетка;\n• в списках изменено: 1 запись.\nПоследнее изменение: ")));
        QVERIFY(prompts->yesNoDefaults.last()); // the files are the same: "Да" is the default
        QCOMPARE(again->atlas().cell(lab, level, 4, 6)->Object, 'L');
        QVERIFY(controls(*again).trapsList->toPlainText().contains(QStringLiteral("(4x6)")));
        QCOMPARE(readAll(fx.file("map.crd")), crd); // the replay wrote nothing

        // "Нет" to saving at close discards the changes, journal and all.
        prompts->answers = {UserPrompts::Answer::No};
        QVERIFY(again->close());
        QVERIFY(!QFile::exists(fx.file("map.journal")));
    }

    void aJournalForOtherMapsIsOfferedWithNoAsItsDefault()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        QVERIFY(fx.markCell(*form, 5, 5, {QStringLiteral("Добавить"), QStringLiteral("Флаг")}));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(fx.file("map.journal")), kWait);
        // A save that fails keeps the journal: a folder stands where map1.map, which holds the flag, belongs.
        QVERIFY(QFile::remove(fx.file("map1.map")));
        QVERIFY(QDir().mkdir(fx.file("map1.map")));
        controls(*form).sidePanel->ensureWidgetVisible(controls(*form).saveMapsButton); // scrolled to, as by a person
        person::click(controls(*form).sidePages->tabButton(0));                         // "Настройки"
        QTRY_VERIFY(controls(*form).settingsPage->isVisible());
        person::click(controls(*form).saveMapsButton);
        QTRY_COMPARE_WITH_TIMEOUT(prompts->errors.size(), 1, kWait);
        QVERIFY(prompts->errors.first().contains(QStringLiteral("map1.map")));
        QVERIFY(QFile::exists(fx.file("map.journal")));
        form.reset();

        // Meanwhile someone copies other maps into the folder.
        QVERIFY(QDir().rmdir(fx.file("map1.map")));
        QByteArray other(550800, '\0');
        other[0] = 1;
        QVERIFY(writeAll(fx.file("map1.map"), other));
        prompts->answers.clear(); // Enter: the default
        auto again = fx.active(UserDat{});
        QVERIFY(again);
        QVERIFY(prompts->questions.last().contains(QStringLiteral("Файлы карт с тех пор заменены")));
        QVERIFY(!prompts->yesNoDefaults.last());
        QVERIFY(!QFile::exists(fx.file("map.journal")));
        QVERIFY(again->atlas().cell(1, 0, 5, 5)->Object != 'F'); // not replayed
    }

    void openingADocumentLeavesNoEmptyTab()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        const QString doc = fx.file("отчёт.doc");
        const QByteArray bytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 not a page", 20);
        QVERIFY(writeAll(doc, bytes));
        QTemporaryDir downloads;
        const QString saved = downloads.filePath(QStringLiteral("копия.doc"));
        prompts->files = {doc, saved};
        QVERIFY(person::chooseMenu(controls(*form).mainMenu, {QStringLiteral("Файл"), QStringLiteral("Открыть...")}));
        QTRY_COMPARE_WITH_TIMEOUT(prompts->informations.size(), 1, kWait);
        QCOMPARE(prompts->informations.first(), QStringLiteral("Загрузка завершена\nФайл сохранён: ") + saved);
        QCOMPARE(readAll(saved), bytes);
        QTRY_COMPARE_WITH_TIMEOUT(controls(*form).browserTabs->count(), 1, kWait);
    }
};

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    veldor::setupApplication(app);
    TestWindowInput test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_window_input.moc"
