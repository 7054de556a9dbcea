#include "shellmenus.h"

#include "browser/browserview.h"
#include "ui/prompts.h"
#include "ui/russian.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QSaveFile>
#include <QTextStream>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <map>

namespace veldor {
namespace {

const QString kEmpty = QStringLiteral("(пусто)");

void addEmptyItem(QMenu* menu)
{
    menu->addAction(kEmpty)->setEnabled(false);
}

bool lessByName(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

// A folder entry's submenu, filled the first time it opens.
void addLazyFolder(QObject* owner, QMenu* menu, const QString& caption, int tag, std::vector<TShellMenuEntry>& entries,
                   std::function<void(const QString&, QMenu*)> fill)
{
    QMenu* sub = menu->addMenu(caption);
    sub->menuAction()->setData(tag);
    QObject::connect(sub, &QMenu::aboutToShow, owner, [&entries, sub, tag, fill = std::move(fill)] {
        TShellMenuEntry& e = entries[static_cast<std::size_t>(tag)];
        if (e.Expanded)
            return;
        e.Expanded = true;
        fill(e.FullId, sub);
    });
}

} // namespace

void insertTopLevelMenu(QMenuBar* bar, QMenu* menu, int& menupos)
{
    const QList<QAction*> items = bar->actions();
    menupos = std::clamp(menupos, 1, static_cast<int>(items.size()) + 1);
    QAction* before = menupos <= items.size() ? items[menupos - 1] : nullptr;
    bar->insertMenu(before, menu);
}

// ----- history menu -----

HistoryMenu::HistoryMenu(HistoryStore* store, QObject* parent) : QObject(parent), m_store(store) {}

QString HistoryMenu::dayCaption(const QDate& day) const
{
    const QDate today = QDate::currentDate();
    if (day == today)
        return QStringLiteral("Сегодня");
    if (day == today.addDays(-1))
        return QStringLiteral("Вчера");
    return day.toString(QStringLiteral("dd.MM.yyyy"));
}

void HistoryMenu::BuildMenu()
{
    if (m_menu)
        return; // built once; later changes go through RebuildMenu
    m_menu = new QMenu(Caption, MainMenu);
    m_menu->setObjectName(QStringLiteral("historyMenu"));
    if (MainMenu)
        insertTopLevelMenu(MainMenu, m_menu, Menupos);
    FillLevel(QString(), m_menu);
}

// Drops a menu's items and its submenus (later: the choice being handled may sit in one of them).
void clearMenu(QMenu* menu)
{
    for (QMenu* sub : menu->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
        sub->deleteLater();
    menu->clear();
}

void HistoryMenu::RebuildMenu()
{
    Entries.clear();
    clearMenu(m_menu);
    FillLevel(QString(), m_menu);
}

void HistoryMenu::FillLevel(const QString& fullId, QMenu* menu)
{
    // The top level lists the days as they come; a day lists its sites, a site its pages.
    struct Item
    {
        QString caption;
        QString id;
        bool folder;
        QString url;
    };
    std::vector<Item> items;
    const QStringList path = fullId.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (path.isEmpty()) {
        for (const QDate& day : m_store->days())
            items.push_back({dayCaption(day), day.toString(Qt::ISODate), true, {}});
    } else if (path.size() == 1) {
        const QDate day = QDate::fromString(path[0], Qt::ISODate);
        for (const QString& site : m_store->sites(day))
            items.push_back({site, fullId + QLatin1Char('/') + site, true, {}});
    } else {
        const QDate day = QDate::fromString(path[0], Qt::ISODate);
        for (const auto& v : m_store->pages(day, path[1]))
            items.push_back({v.title.isEmpty() ? v.url : v.title, v.url, false, v.url});
    }
    if (!path.isEmpty()) {
        if (items.empty()) {
            addEmptyItem(menu);
            return;
        }
        std::stable_sort(items.begin(), items.end(),
                         [](const Item& a, const Item& b) { return lessByName(a.caption, b.caption); });
    }
    for (const Item& item : items) {
        const int tag = static_cast<int>(Entries.size());
        Entries.push_back({item.caption, item.id, item.folder, false});
        if (item.folder) {
            addLazyFolder(this, menu, item.caption, tag, Entries,
                          [this](const QString& id, QMenu* m) { FillLevel(id, m); });
        } else {
            QAction* action = menu->addAction(item.caption);
            action->setData(tag);
            action->setToolTip(item.url.trimmed());
            connect(action, &QAction::triggered, this, [this, action] {
                const QString url = action->toolTip();
                emit OnURLSelected(action, url);
                RebuildMenu(); // every submenu starts collapsed again
            });
        }
    }
    // The menu's own text is the top level's; submenus keep their pages' addresses as hints.
    menu->setToolTipsVisible(!path.isEmpty());
}

// ----- favorites menu -----

FavoritesMenu::FavoritesMenu(QString folder, std::shared_ptr<UserPrompts> prompts, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_prompts(std::move(prompts))
{
    QDir().mkpath(m_folder);
    Caption = QFileInfo(m_folder).fileName();
    // Whatever changes the folder (a file manager, another program, "Add to Favorites") shows in the menu.
    m_watcher = new QFileSystemWatcher(this);
    m_rebuildSoon = new QTimer(this);
    m_rebuildSoon->setSingleShot(true);
    m_rebuildSoon->setInterval(200); // one rebuild for a burst of changes
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_rebuildSoon, qOverload<>(&QTimer::start));
    connect(m_rebuildSoon, &QTimer::timeout, this, [this] {
        if (m_menu && m_menu->isVisible()) {
            m_rebuildSoon->start(); // not under the user's pointer
            return;
        }
        if (m_menu)
            RebuildMenu();
    });
    watchFolders();
}

void FavoritesMenu::watchFolders()
{
    const QStringList old = m_watcher->directories();
    if (!old.isEmpty())
        m_watcher->removePaths(old);
    QStringList folders{m_folder};
    QDirIterator it(m_folder, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        folders << it.next();
    m_watcher->addPaths(folders);
}

QString FavoritesMenu::resolveUrl(const QString& path)
{
    if (!path.endsWith(QLatin1String(".url"), Qt::CaseInsensitive))
        return QUrl::fromLocalFile(path).toString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QTextStream in(&file);
    bool inSection = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inSection = line.compare(QLatin1String("[InternetShortcut]"), Qt::CaseInsensitive) == 0;
        else if (inSection && line.startsWith(QLatin1String("URL="), Qt::CaseInsensitive))
            return line.mid(4);
    }
    return {};
}

void FavoritesMenu::BuildMenu()
{
    if (m_menu)
        return; // built once; later changes go through RebuildMenu
    m_menu = new QMenu(Caption, MainMenu);
    m_menu->setObjectName(QStringLiteral("favoritesMenu"));
    if (MainMenu)
        insertTopLevelMenu(MainMenu, m_menu, Menupos);
    addCommandItems();
    FillLevel(m_folder, m_menu);
}

void FavoritesMenu::RebuildMenu()
{
    watchFolders(); // sub-folders may have come or gone
    Entries.clear();
    clearMenu(m_menu);
    addCommandItems();
    FillLevel(m_folder, m_menu);
}

void FavoritesMenu::addCommandItems()
{
    if (Options & AddFavorites)
        connect(m_menu->addAction(Localization.AddFavorites), &QAction::triggered, this, &FavoritesMenu::addFavorite);
    if (Options & OrganizeFavorites)
        connect(m_menu->addAction(Localization.OrganizeFavorites), &QAction::triggered, this, &FavoritesMenu::organize);
    if (!m_menu->actions().isEmpty())
        m_menu->addSeparator();
    // Import and export need the system's wizards; there are none here, so they are never offered.
}

void FavoritesMenu::FillLevel(const QString& folder, QMenu* menu)
{
    QDir dir(folder);
    QFileInfoList items = dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
    if (items.isEmpty()) {
        addEmptyItem(menu);
        return;
    }
    // Folders first, then by name, as the shell lists them.
    std::sort(items.begin(), items.end(), [](const QFileInfo& a, const QFileInfo& b) {
        if (a.isDir() != b.isDir())
            return a.isDir();
        return lessByName(a.fileName(), b.fileName());
    });
    for (const QFileInfo& info : items) {
        QString caption = info.isDir() || !info.fileName().endsWith(QLatin1String(".url"), Qt::CaseInsensitive)
                              ? info.fileName()
                              : info.completeBaseName();
        if (caption.size() > MaxWidth)
            caption = caption.left(MaxWidth) + QStringLiteral("...");
        const int tag = static_cast<int>(Entries.size());
        Entries.push_back({info.fileName(), info.absoluteFilePath(), info.isDir(), false});
        if (info.isDir()) {
            addLazyFolder(this, menu, caption, tag, Entries, [this](const QString& id, QMenu* m) { FillLevel(id, m); });
        } else {
            QAction* action = menu->addAction(caption);
            action->setData(tag);
            connect(action, &QAction::triggered, this, [this, action, tag] {
                emit OnURLSelected(action, resolveUrl(Entries[static_cast<std::size_t>(tag)].FullId));
            });
        }
    }
}

void FavoritesMenu::addFavorite()
{
    BrowserView* browser = Webbrowser ? Webbrowser() : nullptr;
    if (!browser) {
        m_prompts->showInformation(nullptr, Localization.AddFavorites,
                                   QStringLiteral("Нет вкладки, страницу которой можно добавить в избранное."));
        return;
    }
    const QString url = browser->locationUrl();
    if (url.isEmpty() || url == QLatin1String("about:blank")) {
        m_prompts->showInformation(nullptr, Localization.AddFavorites,
                                   QStringLiteral("На вкладке не открыта страница: добавлять в избранное нечего."));
        return;
    }
    QString name = browser->locationName().isEmpty() ? url : browser->locationName();
    if (!m_prompts->askText(nullptr, Localization.AddFavorites, QStringLiteral("Имя:"), name) ||
        name.trimmed().isEmpty())
        return;
    // A name is a file name here: characters no file name may hold become blanks.
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : name)
        if (forbidden.contains(c) || c.unicode() < 32)
            c = QLatin1Char(' ');
    const QString path = QDir(m_folder).filePath(name.trimmed() + QStringLiteral(".url"));
    if (QFileInfo::exists(path) && !m_prompts->askYesNo(nullptr, QStringLiteral("Закладка «") + name.trimmed() +
                                                                     QStringLiteral("» уже есть. Заменить её?")))
        return;
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly) || file.write("[InternetShortcut]\r\nURL=" + url.toUtf8() + "\r\n") < 0 ||
        !file.commit())
        m_prompts->showError(nullptr, QStringLiteral("Не удалось сохранить закладку: ") +
                                          fileErrorText(errno, file.errorString()));
    RebuildMenu();
}

void FavoritesMenu::organize()
{
    // The desktop's file manager, through xdg-open; it tells by its exit status whether one opened.
    auto* opener = new QProcess(this);
    auto tell = [this, opener] {
        opener->deleteLater();
        m_prompts->showInformation(nullptr, Localization.OrganizeFavorites,
                                   QStringLiteral("Не удалось открыть файловый менеджер. Закладки лежат в папке:\n") +
                                       QDir::toNativeSeparators(m_folder));
    };
    connect(opener, &QProcess::errorOccurred, this, [tell](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            tell();
    });
    connect(opener, &QProcess::finished, this, [opener, tell](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || code != 0)
            tell();
        else
            opener->deleteLater();
    });
    opener->start(FileManagerCommand, {m_folder});
}

} // namespace veldor
