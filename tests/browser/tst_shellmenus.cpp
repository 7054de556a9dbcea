#include "browser/shellmenus.h"
#include "person.h"
#include "scriptedprompts.h"
#include "testsupport.h"
#include "ui/prompts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace veldor;
using namespace veldor::test;

namespace {

QStringList texts(QMenu* menu)
{
    QStringList out;
    for (QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

QMenu* submenuOf(QMenu* menu, const QString& text)
{
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a->menu();
    return nullptr;
}

QAction* itemOf(QMenu* menu, const QString& text)
{
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

// The menu pops up, and a person chooses the item along the path.
bool chooseIn(QMenu* menu, const QStringList& path)
{
    menu->popup(QPoint(20, 20));
    return person::choose(menu, path);
}

// The folder at the end of `path` opened as a person opens it (the menu popped up, the folders clicked), then the
// menus closed again with Escape.
bool openFolder(QMenu* menu, const QStringList& path)
{
    QMenu* folder = menu;
    for (const QString& caption : path)
        folder = folder ? submenuOf(folder, caption) : nullptr;
    if (!folder || !chooseIn(menu, path) || !QTest::qWaitFor([folder] { return folder->isVisible(); }, 3000))
        return false;
    // The open popup holds the keyboard: Escape closes one level at a time.
    for (int level = 0; level < 8 && person::shownPopup(); ++level)
        QTest::keyClick(person::shownPopup(), Qt::Key_Escape);
    return person::shownPopup() == nullptr;
}

void shortcutFile(const QString& path, const QString& url)
{
    QVERIFY(writeAll(path, "[InternetShortcut]\r\nURL=" + url.toUtf8() + "\r\n"));
}

} // namespace

class TestShellMenus : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::shared_ptr<ScriptedPrompts> prompts;
    QMenuBar* bar = nullptr;

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        prompts = std::make_shared<ScriptedPrompts>();
        delete bar;
        bar = new QMenuBar;
        for (const char* t : {"Файл", "Правка", "Вид", "Дополнительно", "?"})
            bar->addMenu(QString::fromUtf8(t));
    }

    void menusGoWhereTheirPositionSays()
    {
        HistoryStore store(dir->filePath(QStringLiteral("h.sqlite")));
        HistoryMenu history(&store);
        history.build(bar, 4);
        FavoritesMenu favorites(dir->filePath(QStringLiteral("Favorites")), prompts);
        favorites.build(bar, 5);
        QCOMPARE(bar->actions().at(3)->menu(), history.menu());
        QCOMPARE(bar->actions().at(4)->menu(), favorites.menu());
        QCOMPARE(favorites.caption(), QStringLiteral("Favorites"));

        FavoritesMenu last(dir->filePath(QStringLiteral("F2")), prompts);
        last.build(bar, 99);
        QCOMPARE(bar->actions().last()->menu(), last.menu());
        QCOMPARE(last.position(), 8);
        FavoritesMenu first(dir->filePath(QStringLiteral("F3")), prompts);
        first.build(bar, -3);
        QCOMPARE(bar->actions().first()->menu(), first.menu());
    }

    void emptyFavoritesShowTheCommandsAndEmpty()
    {
        FavoritesMenu favorites(dir->filePath(QStringLiteral("Favorites")), prompts);
        favorites.build(nullptr, 1);
        QCOMPARE(texts(favorites.menu()),
                 QStringList({"Добавить в избранное...", "Упорядочить избранное...", "-", "(пусто)"}));
        QVERIFY(!favorites.menu()->actions().last()->isEnabled());
    }

    void favoritesListFoldersFirstCutLongNamesAndFillLazily()
    {
        const QString root = dir->filePath(QStringLiteral("Favorites"));
        QDir().mkpath(root + QStringLiteral("/Игра/Кланы"));
        QDir().mkpath(root + QStringLiteral("/Пусто"));
        const QString longName = QString(51, QLatin1Char('z'));
        shortcutFile(root + QStringLiteral("/") + longName + QStringLiteral(".url"), QStringLiteral("http://long/"));
        shortcutFile(root + QStringLiteral("/Анонсы.url"), QStringLiteral("http://news.example/"));
        shortcutFile(root + QStringLiteral("/Игра/Форум.url"), QStringLiteral("http://forum.example/?a=1&b=2"));
        FavoritesMenu favorites(root, prompts);
        QSignalSpy chosen(&favorites, &FavoritesMenu::urlChosen);
        favorites.build(nullptr, 1);
        QCOMPARE(texts(favorites.menu()),
                 QStringList({"Добавить в избранное...", "Упорядочить избранное...", "-", "Игра", "Пусто",
                              QString(50, QLatin1Char('z')) + "...", "Анонсы"}));
        QMenu* game = submenuOf(favorites.menu(), QStringLiteral("Игра"));
        QVERIFY(game && game->actions().isEmpty()); // filled when first opened
        QVERIFY(openFolder(favorites.menu(), {QStringLiteral("Игра")}));
        QVERIFY(openFolder(favorites.menu(), {QStringLiteral("Игра")}));
        QCOMPARE(texts(game), QStringList({"Кланы", "Форум"}));
        QMenu* emptyFolder = submenuOf(favorites.menu(), QStringLiteral("Пусто"));
        QVERIFY(emptyFolder && openFolder(favorites.menu(), {QStringLiteral("Пусто")}));
        QCOMPARE(texts(emptyFolder), QStringList({"(пусто)"}));
        QVERIFY(chooseIn(favorites.menu(), {QStringLiteral("Игра"), QStringLiteral("Форум")}));
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.at(0).at(1).toString(), QStringLiteral("http://forum.example/?a=1&b=2"));
    }

    void addToFavoritesNeedsAPage()
    {
        FavoritesMenu favorites(dir->filePath(QStringLiteral("Favorites")), prompts);
        favorites.build(nullptr, 1);
        QVERIFY(chooseIn(favorites.menu(), {QStringLiteral("Добавить в избранное...")}));
        QCOMPARE(prompts->informations.size(), 1);
        QVERIFY(prompts->informations[0].endsWith(
            QStringLiteral("Нет вкладки, страницу которой можно добавить в избранное.")));
    }

    void historyGroupsByDayAndSiteAndRebuildsAfterAChoice()
    {
        HistoryStore store(dir->filePath(QStringLiteral("history.sqlite")));
        const QDateTime now = QDateTime::currentDateTime();
        store.add(QStringLiteral("http://b.example/2"), QStringLiteral("Второй"), now);
        store.add(QStringLiteral("http://a.example/1"), QStringLiteral("Первый"), now);
        store.add(QStringLiteral("http://a.example/old"), QStringLiteral("Старый"), now.addDays(-2));
        store.add(QStringLiteral("http://a.example/ancient"), QStringLiteral("Древний"), now.addDays(-40));
        HistoryMenu history(&store);
        QSignalSpy chosen(&history, &HistoryMenu::urlChosen);
        history.build(nullptr, 1);
        QCOMPARE(texts(history.menu()), QStringList({"Сегодня", now.addDays(-2).date().toString("dd.MM.yyyy")}));
        QMenu* today = submenuOf(history.menu(), QStringLiteral("Сегодня"));
        QVERIFY(openFolder(history.menu(), {QStringLiteral("Сегодня")}));
        QVERIFY(openFolder(history.menu(), {QStringLiteral("Сегодня")}));
        QCOMPARE(texts(today), QStringList({"a.example", "b.example"}));
        QMenu* site = submenuOf(today, QStringLiteral("a.example"));
        QVERIFY(site && openFolder(history.menu(), {QStringLiteral("Сегодня"), QStringLiteral("a.example")}));
        QCOMPARE(texts(site), QStringList({"Первый"}));
        QAction* page = itemOf(site, QStringLiteral("Первый"));
        QCOMPARE(page->toolTip(), QStringLiteral("http://a.example/1"));
        QVERIFY(chooseIn(history.menu(),
                         {QStringLiteral("Сегодня"), QStringLiteral("a.example"), QStringLiteral("Первый")}));
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.at(0).at(1).toString(), QStringLiteral("http://a.example/1"));
        // Rebuilt: every submenu starts collapsed again.
        QMenu* again = submenuOf(history.menu(), QStringLiteral("Сегодня"));
        QVERIFY(again && again->actions().isEmpty());
        QVERIFY(std::none_of(history.entries().begin(), history.entries().end(),
                             [](const MenuEntry& e) { return e.expanded; }));
    }

    // The history of an earlier version comes over once; visits survive a restart.
    void historyImportsTheOldFileOnceAndKeepsVisits()
    {
        const QString old = dir->filePath(QStringLiteral("history.tsv"));
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(
            writeAll(old, (now.addSecs(-60).toString(Qt::ISODate) + "\thttp://a.example/1\tПервый\n" +
                           now.addDays(-1).toString(Qt::ISODate) + "\thttp://b.example/2\tВторой\n" +
                           now.addDays(-30).toString(Qt::ISODate) + "\thttp://c.example/3\tСтарый\n" + "broken line\n")
                              .toUtf8()));
        const QString db = dir->filePath(QStringLiteral("history.sqlite"));
        {
            HistoryStore store(db, old);
            QCOMPARE(store.visits().size(), std::size_t(2));
            QVERIFY(!QFile::exists(old));
            store.add(QStringLiteral("http://a.example/1"), QStringLiteral("Первый снова"), now);
        }
        QVERIFY(writeAll(old, "")); // a file of the old kind appearing again adds nothing twice
        HistoryStore again(db, old);
        const auto visits = again.visits();
        QCOMPARE(visits.size(), std::size_t(3));
        QCOMPARE(visits.front().url, QStringLiteral("http://b.example/2"));
        QCOMPARE(visits.back().title, QStringLiteral("Первый снова"));
        const auto pages = again.pages(now.date(), QStringLiteral("a.example"));
        QCOMPARE(pages.size(), std::size_t(1));
        QCOMPARE(pages[0].title, QStringLiteral("Первый снова"));
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TestShellMenus test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shellmenus.moc"
