#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QComboBox;
class QPoint;
class QTabWidget;
class QTimer;
class QWebEngineProfile;
class QWidget;

namespace veldor {

class BrowserView;

// Adds a text to the top of an editable box's drop-down list unless an item equals it ignoring letter case.
void addToBoxHistory(QComboBox* box, const QString& text);

// The browser tabs: the game tab first and for good, further tabs opened and closed by the user or by pages,
// the tab in front and the one last left, the double click on the tab strip that closes the tab in front, and
// the address box with its history of visited addresses.
class BrowserTabs : public QObject
{
    Q_OBJECT
public:
    // The double click: a second release on the strip within this time closes the tab in front.
    static constexpr int kDoubleClickMs = 200;

    BrowserTabs(QTabWidget* tabs, QComboBox* addressBox, QWebEngineProfile* profile, QString gameServer,
                QObject* parent);

    QTabWidget* tabWidget() const { return m_tabs; }
    // tabDoubleClickTimer: runs while a first release on the tab strip waits for its second.
    QTimer* doubleClickTimer() const { return m_doubleClick; }
    // The browser last left by a tab change (the browser commands' fallback).
    QPointer<BrowserView> LastBrowser;

    BrowserView* browserOf(QWidget* tab) const;
    // The browser of the tab in front, or the one last left when the tab in front has none.
    BrowserView* currentBrowser() const;
    // A new tab at the end, made active; navigated to the address unless it is blank. Returns the tab.
    QWidget* open(const QString& url);
    // Any tab but the game tab; the next tab (or the game tab after the last) comes to the front.
    void close(int index);
    void closeActive();
    // The tab in front (never the game tab) goes to the address, which the address box shows.
    void goTo(const QString& url);

    // A mouse button was released on the tab strip at a point of the tab control.
    void stripReleased(const QPoint& pos);
    void doubleClickTimeUp();
    // The tab in front is about to change (by the user): the one left is remembered.
    void leaving(int index);
    // The tab in front changed (by the user): its page takes the focus, the address box shows its address.
    void changed();

    // What a page of the tab in front reports: its title, or a finished navigation. The address box follows
    // unless the user is typing there, and the address joins the box's history.
    void titleChanged(const QString& text);
    void navigated(const QString& url);
    // The address box's history is emptied; what it shows stays.
    void clearHistory();

signals:
    // A tab was opened: its browser is to be wired like the game tab's.
    void browserOpened(veldor::BrowserView* browser);
    // The tab in front may have changed, or the one in front can do other things now.
    void frontChanged();
    // The user brought another tab to the front; `left` is the one that was in front.
    void tabChangedByUser(int left);
    // A mouse button was released on the tab strip (a point of the tab control).
    void stripMouseUp(const QPoint& pos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Puts a page's address into the address box unless the user is editing it there; false when left alone.
    bool showAddress(const QString& url);

    QTabWidget* m_tabs;
    QComboBox* m_address;
    QWebEngineProfile* m_profile;
    QString m_gameServer;
    QTimer* m_doubleClick;
    bool m_programChange = false;
    int m_active = 0;
};

} // namespace veldor
