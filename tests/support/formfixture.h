#pragma once

// The one fixture of the window and end-to-end tests: a main window in fresh temporary folders (working folder
// and browser profile) with scripted dialogs, user.dat from a builder, the practice server when a test wants
// one, the tab and address helpers, and waits that keep the browser running.
#include "app/parts/pagecontrol.h"
#include "app/window/mainwindow.h"
#include "browser/browsertabs.h"
#include "browser/browserview.h"
#include "eventwait.h"
#include "levelbuilder.h"
#include "mapview/mapgrid.h"
#include "person.h"
#include "practicefixture.h"
#include "scriptedprompts.h"
#include "testsupport.h"
#include "userdat.h"
#include "windowcontrols.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace veldor::test {

// A cell the atlas holds against the practice server's truth ("NSWEO": the side codes, then the object);
// empty when they agree.
inline QString differsFromTruth(const TMapCell& cell, const std::string& truth)
{
    const std::string held = {char('0' + cell.North), char('0' + cell.South), char('0' + cell.West),
                              char('0' + cell.East), char(cell.Object)};
    if (cell.Explored == 1 && held == truth)
        return {};
    return QStringLiteral("explored %1, held %2, truth %3")
        .arg(cell.Explored)
        .arg(QString::fromStdString(held), QString::fromStdString(truth));
}

class FormFixture
{
public:
    // A game server address where nothing answers.
    static inline const QString kNoServer = QStringLiteral("http://127.0.0.1:9");

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QTemporaryDir> profile;
    std::shared_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<practice::test::RunningServer> server;

    void reset()
    {
        server.reset();
        m_reservedPort = 0;
        dir = std::make_unique<QTemporaryDir>();
        profile = std::make_unique<QTemporaryDir>();
        prompts = std::make_shared<ScriptedPrompts>();
    }

    // On `fixedPort` when given (a server that comes back where it was).
    practice::test::RunningServer& startServer(practice::GameRules rules = {}, std::uint64_t seed = 11, int levels = 3,
                                               int fixedPort = 0)
    {
        server = std::make_unique<practice::test::RunningServer>(std::move(rules), seed, levels, fixedPort);
        return *server;
    }
    // The practice server's address, the port kept for it, or one where nothing answers.
    QString base() const
    {
        if (server)
            return QString::fromStdString(server->base());
        return m_reservedPort ? QStringLiteral("http://127.0.0.1:%1").arg(m_reservedPort) : kNoServer;
    }
    // A free port for a practice server started later (startServerOn); windows made now play there.
    void reservePort() { m_reservedPort = freePort(); }
    // A loopback port where nothing listens now.
    static int freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
    }

    // The practice game on the reserved port, its labyrinth what the atlas holds for labyrinth 1 (a labyrinth of
    // `size`: cells past the atlas's 30 are the generated ones), the player starting at `start`.
    practice::test::RunningServer& startServerOn(const Atlas& atlas, practice::Position start, int size = 30,
                                                 practice::GameRules rules = {})
    {
        practice::Labyrinth lab = practice::Labyrinth::generate(11, size, 1);
        for (int x = 1; x <= std::min(size, 30); ++x)
            for (int y = 1; y <= std::min(size, 30); ++y) {
                const TMapCell* c = atlas.cell(1, 0, x, y);
                practice::Cell& cell = lab.at(0, x, y);
                cell.side = {c->North, c->South, c->West, c->East};
                cell.object = c->Explored && c->Object ? c->Object : 'n';
                cell.chestImage.clear();
            }
        rules.start = start;
        server = std::make_unique<practice::test::RunningServer>(std::move(lab), rules, m_reservedPort);
        return *server;
    }

    // Logs in on the login form of the game tab as a person does: a click into the password box, then Enter.
    static bool logIn(MainWindow& form)
    {
        BrowserView* game = controls(form).gameBrowser;
        QVariantList box;
        bool done = false;
        game->page()->runJavaScript(
            QStringLiteral("(function(){var r=document.forms[0].password.getBoundingClientRect();"
                           "return [r.left + r.width / 2, r.top + r.height / 2];})()"),
            [&](const QVariant& v) {
                box = v.toList();
                done = true;
            });
        if (!waitUntil([&] { return done; }) || box.size() != 2)
            return false;
        person::click(game, QPoint(box[0].toInt(), box[1].toInt()));
        return waitUntil([&] { return person::focused() != nullptr; }) && person::press(Qt::Key_Return);
    }

    // The player stands at `start` of labyrinth 1, in a game that shows what the window's atlas holds: the
    // window logs in and reads the position. The window must have been made after reservePort().
    bool playerAt(MainWindow& form, practice::Position start, int size = 30, practice::GameRules rules = {})
    {
        startServerOn(form.atlas(), start, size, std::move(rules));
        return waitUntil([&] { return !controls(form).gameBrowser->busy(); }) && logIn(form) &&
               waitUntil([&] { return form.reader().ViewX == start.x && form.reader().ViewY == start.y; });
    }
    QString url(const char* path) const { return base() + QLatin1String(path); }

    QString file(const char* name) const { return dir->filePath(QString::fromLatin1(name)); }

    // The working folder as a kill (SIGKILL) of the window would leave it now: a copy of every file written so
    // far, without the lock a dead window no longer holds. A window made on it is the restart.
    std::unique_ptr<QTemporaryDir> folderAtKill() const
    {
        auto copy = std::make_unique<QTemporaryDir>();
        for (const QString& name : QDir(dir->path()).entryList(QDir::Files))
            if (name != QLatin1String("veldor.lock") && !QFile::copy(dir->filePath(name), copy->filePath(name)))
                return nullptr;
        return copy;
    }
    bool writeUserDat(const QByteArray& text) const { return writeAll(file("user.dat"), text); }
    bool writeUserDat(const UserDat& u) const { return writeUserDat(userDat(u)); }

    std::unique_ptr<MainWindow> make(const QString& gameServer = {}, const QString& folder = {}) const
    {
        MainWindowOptions o;
        o.workFolder = folder.isEmpty() ? dir->path() : folder;
        o.gameServer = gameServer.isEmpty() ? base() : gameServer;
        o.profileFolder = profile->path();
        o.prompts = prompts;
        return std::make_unique<MainWindow>(o);
    }

    // Shown and exposed, or nothing when the window never appeared.
    std::unique_ptr<MainWindow> shown(const QString& gameServer = {}, QSize size = {}) const
    {
        auto form = make(gameServer);
        if (size.isValid())
            form->resize(size);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            return nullptr;
        return form;
    }

    // Shown at the front with the keyboard, on user.dat as given (left as it is when empty).
    std::unique_ptr<MainWindow> active(const QByteArray& settings = {}, QSize size = QSize(1200, 800),
                                       const QString& gameServer = {}) const
    {
        if (!settings.isEmpty() && !writeUserDat(settings))
            return nullptr;
        auto form = shown(gameServer, size);
        if (!form || !person::activate(form.get()))
            return nullptr;
        return form;
    }
    std::unique_ptr<MainWindow> active(const UserDat& u, QSize size = QSize(1200, 800)) const
    {
        return active(userDat(u), size);
    }

    // One arrow key in the keyboard box; waits until the reader shows the player at the cell it leads to.
    static bool step(MainWindow& form, int key, int x, int y)
    {
        if (person::focused() != controls(form).keyboardBox)
            person::click(controls(form).keyboardBox);
        if (person::focused() != controls(form).keyboardBox || !person::press(key))
            return false;
        return waitUntil([&] { return form.reader().ViewX == x && form.reader().ViewY == y; });
    }

    static BrowserView* tab(const MainWindow& form, int index)
    {
        return form.tabs()->browserOf(controls(form).browserTabs->widget(index));
    }

    // The address typed into the address box as a person does, then Enter.
    static bool goTo(MainWindow& form, const QString& address)
    {
        if (!person::typeInto(controls(form).addressBox, address) || person::focused() != controls(form).addressBox)
            return false;
        return person::press(Qt::Key_Return);
    }

    // "Файл" > "Новая вкладка", then the address (none: the empty page). The new tab's browser, or null.
    static BrowserView* openTab(MainWindow& form, const QString& address = {})
    {
        const int before = controls(form).browserTabs->count();
        if (!person::chooseMenu(controls(form).mainMenu, {QStringLiteral("Файл"), QStringLiteral("Новая вкладка")}) ||
            !waitUntil([&] { return controls(form).browserTabs->count() == before + 1; }, kWait))
            return nullptr;
        // The empty page settles first (its title rewrites the address box), as a person would see.
        BrowserView* fresh = tab(form, before);
        if (!waitUntil([&] { return !fresh->busy() && fresh->url().toString() == QLatin1String("about:blank"); },
                       kWait))
            return nullptr;
        if (address.isEmpty())
            return fresh;
        return goTo(form, address) ? fresh : nullptr;
    }

    // The side panel's page holding the control comes to the front, with a click on its tab.
    static bool showSidePage(MainWindow& form, QWidget* control)
    {
        if (!control->isVisible())
            person::click(
                controls(form).sidePages->tabButton(controls(form).settingsPage->isAncestorOf(control) ? 0 : 1));
        return waitUntil([control] { return control->isVisible(); }, kWait);
    }
    // A list or a button of the side panel, used as a person does.
    static bool pick(MainWindow& form, QComboBox* box, int index)
    {
        return showSidePage(form, box) && person::pick(box, index);
    }
    static bool clickSide(MainWindow& form, QWidget* control)
    {
        if (!showSidePage(form, control))
            return false;
        person::click(control);
        return true;
    }

    // An item of the main menu, as "Файл", "Новая вкладка".
    static bool menu(MainWindow& form, const QStringList& path)
    {
        return person::chooseMenu(controls(form).mainMenu, path);
    }
    // A click on a tab of the browser, once the strip no longer waits for a second click of an earlier one.
    static bool clickTab(MainWindow& form, int index)
    {
        QTabBar* bar = controls(form).browserTabs->tabBar();
        if (!waitUntil([&] { return !controls(form).tabDoubleClickTimer->isActive(); }, kWait))
            return false;
        person::click(bar, bar->tabRect(index).center());
        return waitUntil([&] { return controls(form).browserTabs->currentIndex() == index; }, kWait);
    }
    // A right click on the tab in front, then the tab strip popup's item.
    static bool chooseOnTabStrip(MainWindow& form, const QString& item)
    {
        QTabBar* bar = controls(form).browserTabs->tabBar();
        person::click(bar, bar->tabRect(bar->currentIndex()).center(), Qt::RightButton);
        return waitUntil([] { return person::shownPopup() != nullptr; }, kWait) &&
               person::choose(person::shownPopup(), {item});
    }

    // A right click on a cell of the map, then the popup's item (as "Добавить", "Ловушку").
    static bool markCell(MainWindow& form, int x, int y, const QStringList& path)
    {
        MapGrid* grid = controls(form).mapGrid;
        // The pointer comes from elsewhere, so that the grid sees it arrive even if it rested there.
        person::hover(grid->viewport(), grid->cellRect(x + 1, y + 1).center());
        person::hover(grid->viewport(), grid->cellRect(x, y).center());
        if (!waitUntil([&] { return grid->hovered() == QPoint(x, y); }, kWait))
            return false;
        person::click(grid->viewport(), grid->cellRect(x, y).center(), Qt::RightButton);
        return waitUntil([] { return person::shownPopup() != nullptr; }, kWait) &&
               person::choose(person::shownPopup(), path);
    }

private:
    int m_reservedPort = 0;
};

} // namespace veldor::test
