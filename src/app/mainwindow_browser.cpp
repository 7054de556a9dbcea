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
    QDir().mkpath(m_profileFolder);
    m_history = std::make_unique<HistoryStore>(QDir(m_profileFolder).filePath(QStringLiteral("history.sqlite")),
                                               QDir(m_profileFolder).filePath(QStringLiteral("history.tsv")));
    historyMenu = new HistoryMenu(m_history.get(), this);
    historyMenu->MainMenu = mainMenu;
    historyMenu->Menupos = 4;
    historyMenu->Caption = QStringLiteral("История");
    historyMenu->BuildMenu();
    connect(historyMenu, &HistoryMenu::OnURLSelected, this,
            [this](QAction*, const QString& url) { navigateFromMenu(url); });
    favoritesMenu = new FavoritesMenu(QDir(m_profileFolder).filePath(QStringLiteral("Favorites")), m_prompts, this);
    connect(favoritesMenu, &FavoritesMenu::OnURLSelected, this,
            [this](QAction*, const QString& url) { navigateFromMenu(url); });
    favoritesMenu->MainMenu = mainMenu;
    favoritesMenu->Menupos = 5;
    favoritesMenu->Caption = QStringLiteral("Избранное");
    // "Add to Favorites" adds the page of the tab in front.
    favoritesMenu->Webbrowser = [this] { return currentBrowser(); };
    favoritesMenu->BuildMenu();
}

void MainWindow::connectBrowserHandlers()
{
    m_commands = new BrowserCommands(m_tabs, m_prompts, this);
    bindBrowser(gameBrowser);
    connect(gameBrowser, &QWebEngineView::urlChanged, this, [this](const QUrl& url) { showAddress(url.toString()); });

    auto* watcher = new Watcher(this, [this](QObject* o, QEvent* e) {
        if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (o == addressBox)
                    addressBoxKey(key);
                else if (o == nickBox)
                    nickBoxKey(key);
                return true;
            }
        }
        return false;
    });
    // A combo box is its line edit's focus proxy: typed keys reach the box, which hands them on past any
    // filter of the line edit's.
    addressBox->installEventFilter(watcher);
    nickBox->installEventFilter(watcher);

    connect(goButton, &QPushButton::clicked, this, &MainWindow::goToAddress);
    connect(backButton, &QToolButton::clicked, this, &MainWindow::goBack);
    connect(forwardButton, &QToolButton::clicked, this, &MainWindow::goForward);
    connect(reloadButton, &QToolButton::clicked, this, &MainWindow::reloadPage);
    connect(stopButton, &QToolButton::clicked, this, &MainWindow::stopLoading);
    connect(fileNewTabAction, &QAction::triggered, this, [this] { openTab(QStringLiteral("about:blank")); });
    connect(newTabAction, &QAction::triggered, this, [this] { openTab(QStringLiteral("about:blank")); });
    connect(closeTabAction, &QAction::triggered, this, &MainWindow::closeActiveTab);
    connect(openFileAction, &QAction::triggered, this, &MainWindow::openFile);
    connect(savePageAction, &QAction::triggered, this, &MainWindow::savePage);
    connect(pagePropertiesAction, &QAction::triggered, this, &MainWindow::showPageProperties);
    connect(editMenu, &QMenu::aboutToShow, this, &MainWindow::updateEditMenu);
    const std::pair<QAction*, BrowserCommands::Edit> edits[] = {{copyAction, BrowserCommands::Edit::Copy},
                                                                {cutAction, BrowserCommands::Edit::Cut},
                                                                {pasteAction, BrowserCommands::Edit::Paste},
                                                                {selectAllAction, BrowserCommands::Edit::SelectAll}};
    for (const auto& [action, command] : edits)
        connect(action, &QAction::triggered, this, [this, command = command] { m_commands->edit(command); });
    connect(findInPageAction, &QAction::triggered, this, &MainWindow::findInPage);
    connect(viewSourceAction, &QAction::triggered, this, &MainWindow::showSource);
    connect(internetOptionsAction, &QAction::triggered, this, &MainWindow::showInternetOptions);
    for (QAction* size : {largestFontAction, largeFontAction, mediumFontAction, smallFontAction, smallestFontAction})
        connect(size, &QAction::triggered, this, [this, size] { setFontSize(size); });
    connect(clearAddressesAction, &QAction::triggered, this, &MainWindow::clearAddresses);
    connect(loginDataAction, &QAction::triggered, this, &MainWindow::showLoginData);
    connect(loginOkButton, &QPushButton::clicked, this, &MainWindow::acceptLogin);
    connect(loginCancelButton, &QPushButton::clicked, this, &MainWindow::cancelLogin);
    connect(autoLoginBox, &QCheckBox::clicked, this, &MainWindow::toggleAutoLogin);
    connect(findNickAction, &QAction::triggered, this, &MainWindow::askNickAndOpen);
    connect(findNickButton, &QPushButton::clicked, this, &MainWindow::openTypedNick);
    connect(clearNicksAction, &QAction::triggered, this, &MainWindow::clearNicks);
    connect(tabDoubleClickTimer, &QTimer::timeout, this, &MainWindow::tabDoubleClickTimeout);
    connect(browserTabs, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { tabStripMenu->popup(browserTabs->mapToGlobal(pos)); });
    connect(m_tabs, &BrowserTabs::tabChangedByUser, this, [this](int left) {
        leavingTab(left);
        tabChanged();
    });
    connect(m_tabs, &BrowserTabs::stripMouseUp, this, &MainWindow::tabStripReleased);
    connect(m_tabs, &BrowserTabs::browserOpened, this, &MainWindow::bindBrowser);
    connect(m_tabs, &BrowserTabs::frontChanged, this, &MainWindow::syncNavigationButtons);

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
        addressBox->setFocus();
        addressBox->lineEdit()->selectAll();
    });
    exitAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));

    // Downloads and "Сохранить как..." go through the profile; the user picks where.
    m_downloads = new DownloadGate(m_profile, m_tabs, gameBrowser, m_workFolder, m_prompts, this);
}

void MainWindow::bindBrowser(BrowserView* browser)
{
    connect(browser, &BrowserView::frameCompleted, this, &MainWindow::noteFrameLoaded);
    connect(browser, &BrowserView::frameChanged, m_poller, &PagePoller::frameChanged);
    connect(browser, &BrowserView::commandStateChange, this, &MainWindow::commandStateChanged);
    connect(browser, &QWebEngineView::loadProgress, this, [this](int p) { showLoadProgress(p, 100); });
    // A load under way can be stopped, whatever finished before it.
    connect(browser, &QWebEngineView::loadStarted, stopButton, [this] { stopButton->setEnabled(true); });
    connect(browser, &QWebEngineView::loadFinished, this, [this, browser](bool ok) {
        pageLoadFinished();
        const QUrl url = browser->url();
        if (ok && !browser->showsGeneratedPage() &&
            (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")))
            m_history->add(url.toString(), browser->title());
        syncNavigationButtons();
    });
    connect(browser, &QWebEngineView::urlChanged, this, [this] { syncNavigationButtons(); });
    connect(browser, &QWebEngineView::titleChanged, this,
            [this, browser](const QString& title) { showTitle(browser, title); });
    browser->newWindowHandler = [this] { return openNewWindow(); };
}

BrowserView* MainWindow::browserOf(QWidget* tab) const
{
    return m_tabs->browserOf(tab);
}

BrowserView* MainWindow::currentBrowser() const
{
    return m_tabs->currentBrowser();
}

QWidget* MainWindow::openTab(const QString& url)
{
    return m_tabs->open(url);
}

void MainWindow::showGuide(const QString& section)
{
    QUrl url(QStringLiteral("qrc:/guide/guide.html"));
    for (int i = 1; i < browserTabs->count(); ++i) {
        BrowserView* browser = m_tabs->browserOf(browserTabs->widget(i));
        if (browser && browser->url().adjusted(QUrl::RemoveFragment) == url) {
            browserTabs->setCurrentIndex(i);
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
    m_tabs->closeActive();
}

void MainWindow::addressBoxKey(int key)
{
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && browserTabs->currentIndex() > 0) {
        if (BrowserView* browser = currentBrowser()) {
            browser->navigate(QUrl::fromUserInput(addressBox->currentText()));
            addressBox->lineEdit()->setModified(false); // from now on the box follows the page again
        }
    }
}

void MainWindow::goToAddress()
{
    addressBoxKey(Qt::Key_Return);
}

void MainWindow::goBack()
{
    m_commands->back();
}

void MainWindow::goForward()
{
    m_commands->forward();
}

void MainWindow::reloadPage()
{
    if (currentBrowser() == gameBrowser && gameBrowser->loadFailed())
        reloadFailedGame();
    else
        m_commands->reload();
    stopButton->setEnabled(true);
}

void MainWindow::stopLoading()
{
    m_commands->stop();
}

void MainWindow::openFile()
{
    const QString file = m_prompts->askOpenFile(this, QStringLiteral("Открыть"), openFileFilter);
    m_downloads->commandStarted(); // a document the browser does not show is saved as a download
    if (!file.isEmpty())
        openTab(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString());
}

void MainWindow::savePage()
{
    m_commands->saveAs();
}

void MainWindow::showPageProperties()
{
    m_commands->properties();
}

void MainWindow::updateEditMenu()
{
    m_commands->syncEditActions(copyAction, cutAction, pasteAction);
}

void MainWindow::findInPage()
{
    m_commands->find();
}

void MainWindow::showSource()
{
    m_commands->viewSource();
}

void MainWindow::showInternetOptions()
{
    InternetOptionsDialog dialog(m_profile, this);
    dialog.exec();
}

void MainWindow::setFontSize(QAction* item)
{
    m_commands->setTextSize(
        item, {largestFontAction, largeFontAction, mediumFontAction, smallFontAction, smallestFontAction});
}

void MainWindow::clearAddresses()
{
    m_tabs->clearHistory();
}

void MainWindow::navigateFromMenu(const QString& url)
{
    if (browserTabs->currentIndex() <= 0)
        return;
    if (BrowserView* b = currentBrowser()) {
        addressBox->setEditText(url);
        b->navigate(QUrl::fromUserInput(url));
    }
}

void MainWindow::showLoadProgress(int progress, int maximum)
{
    loadProgressBar->setMaximum(maximum);
    loadProgressBar->setValue(progress);
}

void MainWindow::commandStateChanged(BrowserView*, int, bool)
{
    // The buttons show what the tab in front can do, whichever tab reported.
    syncNavigationButtons();
}

void MainWindow::syncNavigationButtons()
{
    BrowserView* b = browserOf(browserTabs->currentWidget());
    backButton->setEnabled(b && b->pageAction(QWebEnginePage::Back)->isEnabled());
    forwardButton->setEnabled(b && b->pageAction(QWebEnginePage::Forward)->isEnabled());
}

void MainWindow::reloadFailedGame()
{
    const QUrl failed = gameBrowser->shownUrl();
    const QString page = failed.path();
    if (page.isEmpty() || page == QLatin1String("/") || page == QLatin1String("/login.php")) {
        // The login never reached the server: the form again, submitted as at start-up when so set.
        showLoginPage();
    } else {
        gameBrowser->navigate(failed);
    }
}

void MainWindow::pageLoadFinished()
{
    stopButton->setEnabled(false);
}

void MainWindow::showTitle(BrowserView*, const QString& text)
{
    m_tabs->titleChanged(text);
}

void MainWindow::showAddress(const QString& url)
{
    m_tabs->navigated(url);
}

BrowserView* MainWindow::openNewWindow()
{
    // The page opens in a tab of its own instead of a window.
    return browserOf(openTab(QString()));
}

void MainWindow::leavingTab(int leaving)
{
    m_tabs->leaving(leaving);
}

void MainWindow::tabChanged()
{
    m_tabs->changed();
}

void MainWindow::tabStripReleased(const QPoint& pos)
{
    m_tabs->stripReleased(pos);
}

void MainWindow::tabDoubleClickTimeout()
{
    m_tabs->doubleClickTimeUp();
}

void MainWindow::showLoginData()
{
    loginPanel->open();
}

void MainWindow::acceptLogin()
{
    loginPanel->accept();
}

void MainWindow::cancelLogin()
{
    loginPanel->cancel();
}

void MainWindow::toggleAutoLogin()
{
    loginPanel->autoLoginToggled();
}

QString MainWindow::playerInfoUrl(const QString& nick) const
{
    // One query value whatever the nickname holds, in the game's code page.
    return m_gameServer + QStringLiteral("/cgi/pl_info.php?login=") +
           QString::fromLatin1(QByteArray::fromStdString(toCp1251(nick)).toPercentEncoding());
}

void MainWindow::openPlayerInfo(const QString& nick, std::function<void()> then)
{
    QWidget* tab = openTab(QString());
    BrowserView* browser = browserOf(tab);
    if (BrowserView* current = currentBrowser())
        current->navigate(QUrl(playerInfoUrl(nick)));
    m_commands->whenLoaded(
        browser, then ? std::move(then) : [] {});
}

void MainWindow::askNickAndOpen()
{
    QString nick;
    if (!m_prompts->askText(this, QStringLiteral("Введите ник игрока"), QStringLiteral("Ник:"), nick) || nick.isEmpty())
        return;
    openPlayerInfo(nick);
}

void MainWindow::nickBoxKey(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    QPointer<QComboBox> box(nickBox);
    openPlayerInfo(nickBox->currentText(), [box] {
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
    const QString text = nickBox->currentText();
    nickBox->clear();
    nickBox->setEditText(text);
}

} // namespace veldor
