#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QAction;
class QWidget;

namespace veldor {

class BrowserTabs;
class BrowserView;
class UserPrompts;

// The browser commands of the tool bar and the File, Edit and View menus, acting on the tab in front.
class BrowserCommands : public QObject
{
    Q_OBJECT
public:
    // A page that never completes must not hold a caller for ever.
    static constexpr int kWaitLimitMs = 30000;

    // The page's edit commands, as the Edit menu offers them.
    enum class Edit
    {
        Copy,
        Cut,
        Paste,
        SelectAll
    };

    BrowserCommands(BrowserTabs* tabs, std::shared_ptr<UserPrompts> prompts, QWidget* window);

    // A page to act on in the tab in front; null when it has none.
    BrowserView* pageInFront() const;
    void back();
    void forward();
    // Ctrl held: past the cache.
    void reload();
    void stop();
    // "Сохранить как...": the page and what it shows, into a file the user names.
    void saveAs();
    // "Свойства": the page's title and address, and the file's size and date for a local page.
    void properties();
    void edit(Edit command);
    // Whether the page can copy, cut and paste now: the Edit menu's items follow before it opens.
    void syncEditActions(QAction* copy, QAction* cut, QAction* paste) const;
    void find();
    void viewSource();
    // The text size of one of the View menu's items (their data: 0 smallest .. 4 largest); the items' check
    // marks follow, and nothing changes without a page.
    void setTextSize(QAction* item, const QList<QAction*>& sizes);
    // Runs `then` once the browser has finished loading, or after kWaitLimitMs, whichever comes first.
    void whenLoaded(BrowserView* browser, std::function<void()> then);

private:
    BrowserTabs* m_tabs;
    std::shared_ptr<UserPrompts> m_prompts;
    QWidget* m_window;
};

} // namespace veldor
