#pragma once

// The one fixture of the window and end-to-end tests: a main window in fresh temporary folders (working folder
// and browser profile) with scripted dialogs, user.dat from a builder, the practice server when a test wants
// one, the tab and address helpers, and waits that keep the browser running.
#include "app/tform1.h"
#include "browser/browsertabs.h"
#include "browser/twebbrowser.h"
#include "eventwait.h"
#include "levelbuilder.h"
#include "person.h"
#include "practicefixture.h"
#include "scriptedprompts.h"
#include "testsupport.h"
#include "userdat.h"

#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
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
    // The practice server's address, or one where nothing answers when none runs.
    QString base() const { return server ? QString::fromStdString(server->base()) : kNoServer; }
    QString url(const char* path) const { return base() + QLatin1String(path); }

    QString file(const char* name) const { return dir->filePath(QString::fromLatin1(name)); }
    bool writeUserDat(const QByteArray& text) const { return writeAll(file("user.dat"), text); }
    bool writeUserDat(const UserDat& u) const { return writeUserDat(userDat(u)); }

    std::unique_ptr<TForm1> make(const QString& gameServer = {}, const QString& folder = {}) const
    {
        TForm1Options o;
        o.workFolder = folder.isEmpty() ? dir->path() : folder;
        o.gameServer = gameServer.isEmpty() ? base() : gameServer;
        o.profileFolder = profile->path();
        o.prompts = prompts;
        return std::make_unique<TForm1>(o);
    }

    // Shown and exposed, or nothing when the window never appeared.
    std::unique_ptr<TForm1> shown(const QString& gameServer = {}, QSize size = {}) const
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
    std::unique_ptr<TForm1> active(const QByteArray& settings = {}, QSize size = QSize(1200, 800),
                                   const QString& gameServer = {}) const
    {
        if (!settings.isEmpty() && !writeUserDat(settings))
            return nullptr;
        auto form = shown(gameServer, size);
        if (!form || !person::activate(form.get()))
            return nullptr;
        return form;
    }
    std::unique_ptr<TForm1> active(const UserDat& u, QSize size = QSize(1200, 800)) const
    {
        return active(userDat(u), size);
    }

    static TWebbrowser* tab(const TForm1& form, int index)
    {
        return form.tabs()->browserOf(form.controls().PageControl2->widget(index));
    }

    // The address typed into the address box as a person does, then Enter.
    static bool goTo(TForm1& form, const QString& address)
    {
        if (!person::typeInto(form.controls().ComboBox6, address) || person::focused() != form.controls().ComboBox6)
            return false;
        return person::press(Qt::Key_Return);
    }

    // "Файл" > "Новая вкладка", then the address (none: the empty page). The new tab's browser, or null.
    static TWebbrowser* openTab(TForm1& form, const QString& address = {})
    {
        const int before = form.controls().PageControl2->count();
        if (!person::chooseMenu(form.controls().MainMenu1, {QStringLiteral("Файл"), QStringLiteral("Новая вкладка")}) ||
            !waitUntil([&] { return form.controls().PageControl2->count() == before + 1; }, kWait))
            return nullptr;
        // The empty page settles first (its title rewrites the address box), as a person would see.
        TWebbrowser* fresh = tab(form, before);
        if (!waitUntil([&] { return !fresh->busy() && fresh->url().toString() == QLatin1String("about:blank"); },
                       kWait))
            return nullptr;
        if (address.isEmpty())
            return fresh;
        return goTo(form, address) ? fresh : nullptr;
    }
};

} // namespace veldor::test
