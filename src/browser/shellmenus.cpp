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

const QString kAddFavorite = QStringLiteral("Добавить в избранное...");
const QString kOrganizeFavorites = QStringLiteral("Упорядочить избранное...");

// Drops a menu's items and its submenus (later: the choice being handled may sit in one of them).
void clearMenu(QMenu* menu)
{
    for (QMenu* sub : menu->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
        sub->deleteLater();
    menu->clear();
}

} // namespace

void insertTopLevelMenu(QMenuBar* bar, QMenu* menu, int& position)
{
    const QList<QAction*> items = bar->actions();
    position = std::clamp(position, 1, static_cast<int>(items.size()) + 1);
    QAction* before = position <= items.size() ? items[position - 1] : nullptr;
    bar->insertMenu(before, menu);
}

// ----- the tree of pages -----

ShellMenu::ShellMenu(const char* objectName, QString caption, QObject* parent)
    : QObject(parent), m_objectName(QString::fromLatin1(objectName)), m_caption(std::move(caption))
{
    setObjectName(m_objectName); // as its menu: found by the name a person knows it by
}

void ShellMenu::build(QMenuBar* bar, int position, const QString& caption)
{
    if (m_menu)
        return; // built once; later changes go through rebuild()
    if (!caption.isEmpty())
        m_caption = caption;
    m_position = position;
    m_menu = new QMenu(m_caption, bar);
    m_menu->setObjectName(m_objectName);
    if (bar)
        insertTopLevelMenu(bar, m_menu, m_position);
    addCommandItems();
    fillLevel(rootPath(), m_menu);
}

void ShellMenu::rebuild()
{
    if (!m_menu)
        return;
    m_entries.clear();
    clearMenu(m_menu);
    addCommandItems();
    fillLevel(rootPath(), m_menu);
}

void ShellMenu::addFolder(QMenu* menu, const QString& caption, const QString& name, const QString& path)
{
    const std::size_t tag = m_entries.size();
    m_entries.push_back({name, path, true, false});
    QMenu* sub = menu->addMenu(caption);
    sub->menuAction()->setData(static_cast<int>(tag));
    connect(sub, &QMenu::aboutToShow, this, [this, sub, tag] {
        if (tag >= m_entries.size() || m_entries[tag].expanded)
            return;
        m_entries[tag].expanded = true;
        fillLevel(m_entries[tag].path, sub);
    });
}

QAction* ShellMenu::addPage(QMenu* menu, const QString& caption, const QString& name, const QString& path)
{
    const std::size_t tag = m_entries.size();
    m_entries.push_back({name, path, false, false});
    QAction* action = menu->addAction(caption);
    action->setData(static_cast<int>(tag));
    connect(action, &QAction::triggered, this, [this, action, tag] {
        if (tag >= m_entries.size())
            return;
        emit urlChosen(action, urlOf(m_entries[tag]));
        chosen();
    });
    return action;
}

// ----- history menu -----

HistoryMenu::HistoryMenu(HistoryStore* store, QObject* parent)
    : ShellMenu("historyMenu", QStringLiteral("History"), parent), m_store(store)
{}

QString HistoryMenu::dayCaption(const QDate& day) const
{
    const QDate today = QDate::currentDate();
    if (day == today)
        return QStringLiteral("Сегодня");
    if (day == today.addDays(-1))
        return QStringLiteral("Вчера");
    return day.toString(QStringLiteral("dd.MM.yyyy"));
}

void HistoryMenu::fillLevel(const QString& fullId, QMenu* menu)
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
        if (item.folder)
            addFolder(menu, item.caption, item.caption, item.id);
        else
            addPage(menu, item.caption, item.caption, item.url.trimmed())->setToolTip(item.url.trimmed());
    }
    // The menu's own text is the top level's; submenus keep their pages' addresses as hints.
    menu->setToolTipsVisible(!path.isEmpty());
}

// ----- favorites menu -----

FavoritesMenu::FavoritesMenu(QString folder, std::shared_ptr<UserPrompts> prompts, QObject* parent)
    : ShellMenu("favoritesMenu", QFileInfo(folder).fileName(), parent), m_folder(std::move(folder)),
      m_prompts(std::move(prompts))
{
    QDir().mkpath(m_folder);
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
        watchFolders(); // sub-folders may have come or gone
        rebuild();
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

void FavoritesMenu::addCommandItems()
{
    connect(m_menu->addAction(kAddFavorite), &QAction::triggered, this, &FavoritesMenu::addFavorite);
    connect(m_menu->addAction(kOrganizeFavorites), &QAction::triggered, this, &FavoritesMenu::organize);
    m_menu->addSeparator();
}

void FavoritesMenu::fillLevel(const QString& folder, QMenu* menu)
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
        if (caption.size() > maxCaptionWidth)
            caption = caption.left(maxCaptionWidth) + QStringLiteral("...");
        if (info.isDir())
            addFolder(menu, caption, info.fileName(), info.absoluteFilePath());
        else
            addPage(menu, caption, info.fileName(), info.absoluteFilePath());
    }
}

void FavoritesMenu::addFavorite()
{
    BrowserView* browser = currentBrowser ? currentBrowser() : nullptr;
    if (!browser) {
        m_prompts->showInformation(nullptr, kAddFavorite,
                                   QStringLiteral("Нет вкладки, страницу которой можно добавить в избранное."));
        return;
    }
    const QString url = browser->locationUrl();
    if (url.isEmpty() || url == QLatin1String("about:blank")) {
        m_prompts->showInformation(nullptr, kAddFavorite,
                                   QStringLiteral("На вкладке не открыта страница: добавлять в избранное нечего."));
        return;
    }
    QString name = browser->locationName().isEmpty() ? url : browser->locationName();
    if (!m_prompts->askText(nullptr, kAddFavorite, QStringLiteral("Имя:"), name) || name.trimmed().isEmpty())
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
    rebuild();
}

void FavoritesMenu::organize()
{
    // The desktop's file manager, through xdg-open; it tells by its exit status whether one opened.
    auto* opener = new QProcess(this);
    auto tell = [this, opener] {
        opener->deleteLater();
        m_prompts->showInformation(nullptr, kOrganizeFavorites,
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
    opener->start(fileManagerCommand, {m_folder});
}

} // namespace veldor
