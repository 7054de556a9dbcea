// The browser's wiring: the tool bar and the menus on the tabs, each browser's signals, the guide's tab.
#include "mainwindow.h"

#include "app/parts/browsertoolbar.h"
#include "app/parts/listsstrip.h"
#include "app/parts/loginpanel.h"
#include "app/parts/mainmenus.h"
#include "browser/browsercommands.h"
#include "browser/browsertabs.h"
#include "browser/browserview.h"
#include "browser/downloadgate.h"
#include "browser/pagepoller.h"
#include "browser/shellmenus.h"

#include <QDir>
#include <QTabWidget>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace veldor {

void MainWindow::addHistoryAndFavorites()
{
    QDir().mkpath(m_state.profileFolder);
    const QDir folder(m_state.profileFolder);
    m_state.history = std::make_unique<HistoryStore>(folder.filePath(QStringLiteral("history.sqlite")),
                                                     folder.filePath(QStringLiteral("history.tsv")));
    m_state.menus->addHistoryAndFavorites(m_state.history.get(), m_state.profileFolder);
}

void MainWindow::connectBrowserHandlers()
{
    BrowserTabs* tabs = m_state.tabs;
    m_state.commands = new BrowserCommands(tabs, m_state.prompts, this);
    // Downloads and "Сохранить как..." go through the profile; the user picks where.
    m_state.downloads =
        new DownloadGate(m_state.profile, tabs, m_ui.gameBrowser, m_state.workFolder, m_state.prompts, this);
    m_state.toolBar->connectTo({m_state.commands, m_state.prompts, m_state.gameServer, [this] { reloadFailedGame(); }});
    m_state.menus->connectTo({tabs, m_state.commands, m_state.downloads, m_state.profile, m_state.prompts});
    bindBrowser(m_ui.gameBrowser);
    connect(m_ui.gameBrowser, &QWebEngineView::urlChanged, tabs,
            [tabs](const QUrl& url) { tabs->navigated(url.toString()); });
    connect(m_state.menus, &MainMenus::loginDataAsked, m_state.login, &LoginPanel::open);
    connect(m_state.menus, &MainMenus::findNickAsked, m_state.toolBar, &BrowserToolBar::askNickAndOpen);
    connect(m_state.menus, &MainMenus::clearNicksAsked, m_state.toolBar, &BrowserToolBar::clearNicks);
    connect(tabs->doubleClickTimer(), &QTimer::timeout, tabs, &BrowserTabs::doubleClickTimeUp);
    connect(tabs, &BrowserTabs::tabChangedByUser, tabs, [tabs](int left) {
        tabs->leaving(left);
        tabs->changed();
    });
    connect(tabs, &BrowserTabs::stripMouseUp, tabs, &BrowserTabs::stripReleased);
    connect(tabs, &BrowserTabs::browserOpened, this, &MainWindow::bindBrowser);
}

void MainWindow::bindBrowser(BrowserView* browser)
{
    connect(browser, &BrowserView::frameCompleted, this, &MainWindow::noteFrameLoaded);
    connect(browser, &BrowserView::frameChanged, m_state.poller, &PagePoller::frameChanged);
    connect(browser, &QWebEngineView::loadProgress, m_state.lists, &ListsStrip::showLoadProgress);
    connect(browser, &QWebEngineView::loadFinished, this, [this, browser](bool ok) {
        const QUrl url = browser->url();
        if (ok && !browser->showsGeneratedPage() &&
            (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")))
            m_state.history->add(url.toString(), browser->title());
    });
    connect(browser, &QWebEngineView::titleChanged, m_state.tabs, &BrowserTabs::titleChanged);
    m_state.toolBar->follow(browser);
    // A page that asks for a window of its own opens in a tab.
    browser->newWindowHandler = [this] { return m_state.tabs->browserOf(m_state.tabs->open(QString())); };
}

void MainWindow::showGuide(const QString& section)
{
    QUrl url(QStringLiteral("qrc:/guide/guide.html"));
    for (int i = 1; i < m_ui.browserTabs->count(); ++i) {
        BrowserView* browser = m_state.tabs->browserOf(m_ui.browserTabs->widget(i));
        if (browser && browser->url().adjusted(QUrl::RemoveFragment) == url) {
            m_ui.browserTabs->setCurrentIndex(i);
            if (!section.isEmpty()) // within the page: it scrolls there without loading again
                browser->page()->runJavaScript(
                    QStringLiteral("document.getElementById('%1').scrollIntoView()").arg(section),
                    QWebEngineScript::ApplicationWorld);
            return;
        }
    }
    if (!section.isEmpty())
        url.setFragment(section);
    m_state.tabs->open(url.toString());
}

void MainWindow::reloadFailedGame()
{
    const QUrl failed = m_ui.gameBrowser->shownUrl();
    const QString page = failed.path();
    if (page.isEmpty() || page == QLatin1String("/") || page == QLatin1String("/login.php")) {
        // The login never reached the server: the form again, submitted as at start-up when so set.
        showLoginPage();
    } else {
        m_ui.gameBrowser->navigate(failed);
    }
}

} // namespace veldor
