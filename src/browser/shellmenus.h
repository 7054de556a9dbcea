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
struct TShellMenuEntry
{
    QString ItemId; // the item's name within its folder
    QString FullId; // where it is: a path, or "day/site" for the history
    bool IsFolder = false;
    bool Expanded = false;
};

// The "История" menu over the history store.
class HistoryMenu : public QObject
{
    Q_OBJECT
public:
    HistoryMenu(HistoryStore* store, QObject* parent = nullptr);

    QMenuBar* MainMenu = nullptr;
    int Menupos = 1;
    QString Caption = QStringLiteral("History");

    void BuildMenu();
    void RebuildMenu();
    QMenu* menu() const { return m_menu; }
    const std::vector<TShellMenuEntry>& entries() const { return Entries; }

signals:
    void OnURLSelected(QAction* sender, const QString& url);

private:
    void FillLevel(const QString& fullId, QMenu* menu);
    QString dayCaption(const QDate& day) const;

    HistoryStore* m_store;
    QMenu* m_menu = nullptr;
    std::vector<TShellMenuEntry> Entries;
};

// The "Избранное" menu over a folder of Internet shortcut files ("[InternetShortcut]", "URL=") and sub-folders.
class FavoritesMenu : public QObject
{
    Q_OBJECT
public:
    enum Option
    {
        AddFavorites = 1,
        OrganizeFavorites = 2,
        ImportFavorites = 4,
        ExportFavorites = 8
    };

    FavoritesMenu(QString folder, std::shared_ptr<UserPrompts> prompts, QObject* parent = nullptr);

    QMenuBar* MainMenu = nullptr;
    int Menupos = 1;
    int MaxWidth = 50;
    int Options = AddFavorites | OrganizeFavorites;
    QString Caption;
    struct
    {
        QString AddFavorites = QStringLiteral("Добавить в избранное...");
        QString OrganizeFavorites = QStringLiteral("Упорядочить избранное...");
        QString ImportFavorites = QStringLiteral("Импорт избранного...");
        QString ExportFavorites = QStringLiteral("Экспорт избранного...");
    } Localization;
    // What "Organize Favorites" runs with the folder as its argument.
    QString FileManagerCommand = QStringLiteral("xdg-open");
    // The browser whose page "Add to Favorites" adds; the program connects its current browser.
    std::function<BrowserView*()> Webbrowser;

    void BuildMenu();
    void RebuildMenu();
    QMenu* menu() const { return m_menu; }
    QString folder() const { return m_folder; }
    const std::vector<TShellMenuEntry>& entries() const { return Entries; }

    // The address of an Internet shortcut file, or the file itself for any other file.
    static QString resolveUrl(const QString& path);

signals:
    void OnURLSelected(QAction* sender, const QString& url);

private:
    void addCommandItems();
    void FillLevel(const QString& folder, QMenu* menu);
    void addFavorite();
    void organize();
    void watchFolders();

    QString m_folder;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_rebuildSoon = nullptr;
    std::shared_ptr<UserPrompts> m_prompts;
    QMenu* m_menu = nullptr;
    std::vector<TShellMenuEntry> Entries;
};

// Inserts a top-level menu at a 1-based position, clamped to the menu bar's items.
void insertTopLevelMenu(QMenuBar* bar, QMenu* menu, int& menupos);

} // namespace veldor
