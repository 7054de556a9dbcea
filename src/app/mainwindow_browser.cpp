// The browser shell: tabs, the address box, the tool bar, the File, Edit, View and Extras commands, the
// login panel, player lookup and the History and Favorites menus.
#include "mainwindow.h"

#include "app/loginpanel.h"
#include "browser/browsercommands.h"
#include "browser/browsertabs.h"
#include "browser/browserview.h"
#include "browser/downloadgate.h"
#include "browser/internetoptions.h"
#include "browser/pagepoller.h"
#include "browser/shellmenus.h"
#include "ui/prompts.h"
#include "ui/qtcodec.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>

namespace veldor {
namespace {

// An event filter that hands Enter in an editable box to the window.
class Watcher : public QObject
{
public:
    Watcher(QObject* parent, std::function<bool(QObject*, QEvent*)> f) : QObject(parent), m_f(std::move(f)) {}
    bool eventFilter(QObject* o, QEvent* e) override { return m_f(o, e); }

private:
    std::function<bool(QObject*, QEvent*)> m_f;
};

} // namespace

void MainWindow::buildShellMenus()
{
    QDir().mkpath(m_state.profileFolder);
    m_state.history =
        std::make_unique<HistoryStore>(QDir(m_state.profileFolder).filePath(QStringLiteral("history.sqlite")),
                                       QDir(m_state.profileFolder).filePath(QStringLiteral("history.tsv")));
    m_ui.historyMenu = new HistoryMenu(m_state.history.get(), this);
    m_ui.historyMenu->MainMenu = m_ui.mainMenu;
    m_ui.historyMenu->Menupos = 4;
    m_ui.historyMenu->Caption = QStringLiteral("История");
    m_ui.historyMenu->BuildMenu();
    connect(m_ui.historyMenu, &HistoryMenu::OnURLSelected, this,
            [this](QAction*, const QString& url) { navigateFromMenu(url); });
    m_ui.favoritesMenu =
        new FavoritesMenu(QDir(m_state.profileFolder).filePath(QStringLiteral("Favorites")), m_state.prompts, this);
    connect(m_ui.favoritesMenu, &FavoritesMenu::OnURLSelected, this,
            [this](QAction*, const QString& url) { navigateFromMenu(url); });
    m_ui.favoritesMenu->MainMenu = m_ui.mainMenu;
    m_ui.favoritesMenu->Menupos = 5;
    m_ui.favoritesMenu->Caption = QStringLiteral("Избранное");
    // "Add to Favorites" adds the page of the tab in front.
    m_ui.favoritesMenu->Webbrowser = [this] { return currentBrowser(); };
    m_ui.favoritesMenu->BuildMenu();
}

void MainWindow::connectBrowserHandlers()
{
    m_state.commands = new BrowserCommands(m_state.tabs, m_state.prompts, this);
    bindBrowser(m_ui.gameBrowser);
    connect(m_ui.gameBrowser, &QWebEngineView::urlChanged, this,
            [this](const QUrl& url) { showAddress(url.toString()); });

    auto* watcher = new Watcher(this, [this](QObject* o, QEvent* e) {
        if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (o == m_ui.addressBox)
                    addressBoxKey(key);
                else if (o == m_ui.nickBox)
                    nickBoxKey(key);
                return true;
            }
        }
        return false;
    });
    // A combo box is its line edit's focus proxy: typed keys reach the box, which hands them on past any
    // filter of the line edit's.
    m_ui.addressBox->installEventFilter(watcher);
    m_ui.nickBox->installEventFilter(watcher);

    connect(m_ui.goButton, &QPushButton::clicked, this, &MainWindow::goToAddress);
    connect(m_ui.backButton, &QToolButton::clicked, this, &MainWindow::goBack);
    connect(m_ui.forwardButton, &QToolButton::clicked, this, &MainWindow::goForward);
    connect(m_ui.reloadButton, &QToolButton::clicked, this, &MainWindow::reloadPage);
    connect(m_ui.stopButton, &QToolButton::clicked, this, &MainWindow::stopLoading);
    connect(m_ui.fileNewTabAction, &QAction::triggered, this, [this] { openTab(QStringLiteral("about:blank")); });
    connect(m_ui.newTabAction, &QAction::triggered, this, [this] { openTab(QStringLiteral("about:blank")); });
    connect(m_ui.closeTabAction, &QAction::triggered, this, &MainWindow::closeActiveTab);
    connect(m_ui.openFileAction, &QAction::triggered, this, &MainWindow::openFile);
    connect(m_ui.savePageAction, &QAction::triggered, this, &MainWindow::savePage);
    connect(m_ui.pagePropertiesAction, &QAction::triggered, this, &MainWindow::showPageProperties);
    connect(m_ui.editMenu, &QMenu::aboutToShow, this, &MainWindow::updateEditMenu);
    const std::pair<QAction*, BrowserCommands::Edit> edits[] = {
        {m_ui.copyAction, BrowserCommands::Edit::Copy},
        {m_ui.cutAction, BrowserCommands::Edit::Cut},
        {m_ui.pasteAction, BrowserCommands::Edit::Paste},
        {m_ui.selectAllAction, BrowserCommands::Edit::SelectAll}};
    for (const auto& [action, command] : edits)
        connect(action, &QAction::triggered, this, [this, command = command] { m_state.commands->edit(command); });
    connect(m_ui.findInPageAction, &QAction::triggered, this, &MainWindow::findInPage);
    connect(m_ui.viewSourceAction, &QAction::triggered, this, &MainWindow::showSource);
    connect(m_ui.internetOptionsAction, &QAction::triggered, this, &MainWindow::showInternetOptions);
    for (QAction* size : {m_ui.largestFontAction, m_ui.largeFontAction, m_ui.mediumFontAction, m_ui.smallFontAction,
                          m_ui.smallestFontAction})
        connect(size, &QAction::triggered, this, [this, size] { setFontSize(size); });
    connect(m_ui.clearAddressesAction, &QAction::triggered, this, &MainWindow::clearAddresses);
    connect(m_ui.loginDataAction, &QAction::triggered, this, &MainWindow::showLoginData);
    connect(m_ui.loginOkButton, &QPushButton::clicked, this, &MainWindow::acceptLogin);
    connect(m_ui.loginCancelButton, &QPushButton::clicked, this, &MainWindow::cancelLogin);
    connect(m_ui.autoLoginBox, &QCheckBox::clicked, this, &MainWindow::toggleAutoLogin);
    connect(m_ui.findNickAction, &QAction::triggered, this, &MainWindow::askNickAndOpen);
    connect(m_ui.findNickButton, &QPushButton::clicked, this, &MainWindow::openTypedNick);
    connect(m_ui.clearNicksAction, &QAction::triggered, this, &MainWindow::clearNicks);
    connect(m_ui.tabDoubleClickTimer, &QTimer::timeout, this, &MainWindow::tabDoubleClickTimeout);
    connect(m_ui.browserTabs, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_ui.tabStripMenu->popup(m_ui.browserTabs->mapToGlobal(pos)); });
    connect(m_state.tabs, &BrowserTabs::tabChangedByUser, this, [this](int left) {
        leavingTab(left);
        tabChanged();
    });
    connect(m_state.tabs, &BrowserTabs::stripMouseUp, this, &MainWindow::tabStripReleased);
    connect(m_state.tabs, &BrowserTabs::browserOpened, this, &MainWindow::bindBrowser);
    connect(m_state.tabs, &BrowserTabs::frontChanged, this, &MainWindow::syncNavigationButtons);

    // Shortcuts a browser user expects; none of them is an arrow key, which walk in the game.
    auto shortcut = [this](const QKeySequence& keys, auto slot) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence::Close, [this] { closeActiveTab(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_F4), [this] { closeActiveTab(); });
    shortcut(QKeySequence::Refresh, [this] { reloadPage(); });
    shortcut(QKeySequence::Back, [this] { goBack(); });
    shortcut(QKeySequence::Forward, [this] { goForward(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_L), [this] {
        m_ui.addressBox->setFocus();
        m_ui.addressBox->lineEdit()->selectAll();
    });
    m_ui.exitAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));

    // Downloads and "Сохранить как..." go through the profile; the user picks where.
    m_state.downloads =
        new DownloadGate(m_state.profile, m_state.tabs, m_ui.gameBrowser, m_state.workFolder, m_state.prompts, this);
}

void MainWindow::bindBrowser(BrowserView* browser)
{
    connect(browser, &BrowserView::frameCompleted, this, &MainWindow::noteFrameLoaded);
    connect(browser, &BrowserView::frameChanged, m_state.poller, &PagePoller::frameChanged);
    connect(browser, &BrowserView::commandStateChange, this, &MainWindow::commandStateChanged);
    connect(browser, &QWebEngineView::loadProgress, this, [this](int p) { showLoadProgress(p, 100); });
    // A load under way can be stopped, whatever finished before it.
    connect(browser, &QWebEngineView::loadStarted, m_ui.stopButton, [this] { m_ui.stopButton->setEnabled(true); });
    connect(browser, &QWebEngineView::loadFinished, this, [this, browser](bool ok) {
        pageLoadFinished();
        const QUrl url = browser->url();
        if (ok && !browser->showsGeneratedPage() &&
            (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")))
            m_state.history->add(url.toString(), browser->title());
        syncNavigationButtons();
    });
    connect(browser, &QWebEngineView::urlChanged, this, [this] { syncNavigationButtons(); });
    connect(browser, &QWebEngineView::titleChanged, this,
            [this, browser](const QString& title) { showTitle(browser, title); });
    browser->newWindowHandler = [this] { return openNewWindow(); };
}

BrowserView* MainWindow::browserOf(QWidget* tab) const
{
    return m_state.tabs->browserOf(tab);
}

BrowserView* MainWindow::currentBrowser() const
{
    return m_state.tabs->currentBrowser();
}

QWidget* MainWindow::openTab(const QString& url)
{
    return m_state.tabs->open(url);
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
    openTab(url.toString());
}

void MainWindow::closeActiveTab()
{
    m_state.tabs->closeActive();
}

void MainWindow::addressBoxKey(int key)
{
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_ui.browserTabs->currentIndex() > 0) {
        if (BrowserView* browser = currentBrowser()) {
            browser->navigate(QUrl::fromUserInput(m_ui.addressBox->currentText()));
            m_ui.addressBox->lineEdit()->setModified(false); // from now on the box follows the page again
        }
    }
}

void MainWindow::goToAddress()
{
    addressBoxKey(Qt::Key_Return);
}

void MainWindow::goBack()
{
    m_state.commands->back();
}

void MainWindow::goForward()
{
    m_state.commands->forward();
}

void MainWindow::reloadPage()
{
    if (currentBrowser() == m_ui.gameBrowser && m_ui.gameBrowser->loadFailed())
        reloadFailedGame();
    else
        m_state.commands->reload();
    m_ui.stopButton->setEnabled(true);
}

void MainWindow::stopLoading()
{
    m_state.commands->stop();
}

void MainWindow::openFile()
{
    const QString file = m_state.prompts->askOpenFile(this, QStringLiteral("Открыть"), m_ui.openFileFilter);
    m_state.downloads->commandStarted(); // a document the browser does not show is saved as a download
    if (!file.isEmpty())
        openTab(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString());
}

void MainWindow::savePage()
{
    m_state.commands->saveAs();
}

void MainWindow::showPageProperties()
{
    m_state.commands->properties();
}

void MainWindow::updateEditMenu()
{
    m_state.commands->syncEditActions(m_ui.copyAction, m_ui.cutAction, m_ui.pasteAction);
}

void MainWindow::findInPage()
{
    m_state.commands->find();
}

void MainWindow::showSource()
{
    m_state.commands->viewSource();
}

void MainWindow::showInternetOptions()
{
    InternetOptionsDialog dialog(m_state.profile, this);
    dialog.exec();
}

void MainWindow::setFontSize(QAction* item)
{
    m_state.commands->setTextSize(item, {m_ui.largestFontAction, m_ui.largeFontAction, m_ui.mediumFontAction,
                                         m_ui.smallFontAction, m_ui.smallestFontAction});
}

void MainWindow::clearAddresses()
{
    m_state.tabs->clearHistory();
}

void MainWindow::navigateFromMenu(const QString& url)
{
    if (m_ui.browserTabs->currentIndex() <= 0)
        return;
    if (BrowserView* b = currentBrowser()) {
        m_ui.addressBox->setEditText(url);
        b->navigate(QUrl::fromUserInput(url));
    }
}

void MainWindow::showLoadProgress(int progress, int maximum)
{
    m_ui.loadProgressBar->setMaximum(maximum);
    m_ui.loadProgressBar->setValue(progress);
}

void MainWindow::commandStateChanged(BrowserView*, int, bool)
{
    // The buttons show what the tab in front can do, whichever tab reported.
    syncNavigationButtons();
}

void MainWindow::syncNavigationButtons()
{
    BrowserView* b = browserOf(m_ui.browserTabs->currentWidget());
    m_ui.backButton->setEnabled(b && b->pageAction(QWebEnginePage::Back)->isEnabled());
    m_ui.forwardButton->setEnabled(b && b->pageAction(QWebEnginePage::Forward)->isEnabled());
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

void MainWindow::pageLoadFinished()
{
    m_ui.stopButton->setEnabled(false);
}

void MainWindow::showTitle(BrowserView*, const QString& text)
{
    m_state.tabs->titleChanged(text);
}

void MainWindow::showAddress(const QString& url)
{
    m_state.tabs->navigated(url);
}

BrowserView* MainWindow::openNewWindow()
{
    // The page opens in a tab of its own instead of a window.
    return browserOf(openTab(QString()));
}

void MainWindow::leavingTab(int leaving)
{
    m_state.tabs->leaving(leaving);
}

void MainWindow::tabChanged()
{
    m_state.tabs->changed();
}

void MainWindow::tabStripReleased(const QPoint& pos)
{
    m_state.tabs->stripReleased(pos);
}

void MainWindow::tabDoubleClickTimeout()
{
    m_state.tabs->doubleClickTimeUp();
}

void MainWindow::showLoginData()
{
    m_ui.loginPanel->open();
}

void MainWindow::acceptLogin()
{
    m_ui.loginPanel->accept();
}

void MainWindow::cancelLogin()
{
    m_ui.loginPanel->cancel();
}

void MainWindow::toggleAutoLogin()
{
    m_ui.loginPanel->autoLoginToggled();
}

QString MainWindow::playerInfoUrl(const QString& nick) const
{
    // One query value whatever the nickname holds, in the game's code page.
    return m_state.gameServer + QStringLiteral("/cgi/pl_info.php?login=") +
           QString::fromLatin1(QByteArray::fromStdString(toCp1251(nick)).toPercentEncoding());
}

void MainWindow::openPlayerInfo(const QString& nick, std::function<void()> then)
{
    QWidget* tab = openTab(QString());
    BrowserView* browser = browserOf(tab);
    if (BrowserView* current = currentBrowser())
        current->navigate(QUrl(playerInfoUrl(nick)));
    m_state.commands->whenLoaded(
        browser, then ? std::move(then) : [] {});
}

void MainWindow::askNickAndOpen()
{
    QString nick;
    if (!m_state.prompts->askText(this, QStringLiteral("Введите ник игрока"), QStringLiteral("Ник:"), nick) ||
        nick.isEmpty())
        return;
    openPlayerInfo(nick);
}

void MainWindow::nickBoxKey(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    QPointer<QComboBox> box(m_ui.nickBox);
    openPlayerInfo(m_ui.nickBox->currentText(), [box] {
        if (box)
            addToBoxHistory(box, box->currentText());
    });
}

void MainWindow::openTypedNick()
{
    nickBoxKey(Qt::Key_Return);
}

void MainWindow::clearNicks()
{
    const QString text = m_ui.nickBox->currentText();
    m_ui.nickBox->clear();
    m_ui.nickBox->setEditText(text);
}

} // namespace veldor
