#pragma once

#include "browser/historystore.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QFileSystemWatcher;
class QTimer;

namespace veldor {

class BrowserView;
class UserPrompts;

// One listed item of a menu: a folder (a submenu, filled when first opened) or a page.
struct MenuEntry
{
    QString name; // the item's name within its folder
    QString path; // where it is: a path, or "day/site" for the history
    bool isFolder = false;
    bool expanded = false;
};

// A top-level menu listing a tree of pages level by level (the history, the favorites): a folder's submenu is
// filled the first time it opens, and a change builds the menu again from the top.
class ShellMenu : public QObject
{
    Q_OBJECT
public:
    // The menu, made once, inserted into `bar` (when given) at the 1-based `position`, clamped to the bar's
    // items; an empty caption gives the menu's own.
    void build(QMenuBar* bar, int position, const QString& caption = {});
    void rebuild();
    QMenu* menu() const { return m_menu; }
    QString caption() const { return m_caption; }
    // Where the menu went in the bar, once built.
    int position() const { return m_position; }
    const std::vector<MenuEntry>& entries() const { return m_entries; }

signals:
    void urlChosen(QAction* item, const QString& url);

protected:
    ShellMenu(const char* objectName, QString caption, QObject* parent);
    // The items above the tree (commands), then one level of the tree into `menu`.
    virtual void addCommandItems() {}
    virtual void fillLevel(const QString& path, QMenu* menu) = 0;
    virtual QString rootPath() const = 0;
    // A folder whose submenu fills itself when first opened, or a page that tells its address when chosen.
    void addFolder(QMenu* menu, const QString& caption, const QString& name, const QString& path);
    QAction* addPage(QMenu* menu, const QString& caption, const QString& name, const QString& path);
    // The address a chosen page's entry leads to.
    virtual QString urlOf(const MenuEntry& entry) const { return entry.path; }
    // After a page was chosen.
    virtual void chosen() {}

    QMenu* m_menu = nullptr;
    std::vector<MenuEntry> m_entries;

private:
    QString m_objectName;
    QString m_caption;
    int m_position = 1;
};

// The "История" menu over the history store: days, their sites, their pages.
class HistoryMenu : public ShellMenu
{
    Q_OBJECT
public:
    HistoryMenu(HistoryStore* store, QObject* parent = nullptr);

private:
    void fillLevel(const QString& path, QMenu* menu) override;
    QString rootPath() const override { return {}; }
    void chosen() override { rebuild(); } // every submenu starts collapsed again
    QString dayCaption(const QDate& day) const;

    HistoryStore* m_store;
};

// The "Избранное" menu over a folder of Internet shortcut files ("[InternetShortcut]", "URL=") and sub-folders,
// with "Добавить в избранное..." and "Упорядочить избранное..." above them.
class FavoritesMenu : public ShellMenu
{
    Q_OBJECT
public:
    FavoritesMenu(QString folder, std::shared_ptr<UserPrompts> prompts, QObject* parent = nullptr);

    // Captions longer than this are cut.
    int maxCaptionWidth = 50;
    // What "Упорядочить избранное..." runs with the folder as its argument.
    QString fileManagerCommand = QStringLiteral("xdg-open");
    // The browser whose page "Добавить в избранное..." adds; the program connects its current browser.
    std::function<BrowserView*()> currentBrowser;

    QString folder() const { return m_folder; }

    // The address of an Internet shortcut file, or the file itself for any other file.
    static QString resolveUrl(const QString& path);

private:
    void addCommandItems() override;
    void fillLevel(const QString& folder, QMenu* menu) override;
    QString rootPath() const override { return m_folder; }
    QString urlOf(const MenuEntry& entry) const override { return resolveUrl(entry.path); }
    void addFavorite();
    void organize();
    void watchFolders();

    QString m_folder;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_rebuildSoon = nullptr;
    std::shared_ptr<UserPrompts> m_prompts;
};

// Inserts a top-level menu at a 1-based position, clamped to the menu bar's items (the position is set to where
// it went).
void insertTopLevelMenu(QMenuBar* bar, QMenu* menu, int& position);

} // namespace veldor
