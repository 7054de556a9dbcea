// The browser shell: tabs, the address box, the tool bar, the File, Edit, View and Extras commands, the
// login panel, player lookup and the History and Favorites menus.
#include "tform1.h"

#include "app/loginpanel.h"
#include "browser/browsercommands.h"
#include "browser/browsertabs.h"
#include "browser/downloadgate.h"
#include "browser/internetoptions.h"
#include "browser/pagepoller.h"
#include "browser/shellmenus.h"
#include "browser/twebbrowser.h"
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

void TForm1::buildShellMenus()
{
    QDir().mkpath(m_profileFolder);
    m_history = std::make_unique<HistoryStore>(QDir(m_profileFolder).filePath(QStringLiteral("history.sqlite")),
                                               QDir(m_profileFolder).filePath(QStringLiteral("history.tsv")));
    historyMenu = new THistoryMenu(m_history.get(), this);
    historyMenu->MainMenu = mainMenu;
    historyMenu->Menupos = 4;
    historyMenu->BuildMenu();
    connect(historyMenu, &THistoryMenu::OnURLSelected, this,
            [this](QAction*, const QString& url) { navigateFromMenu(url); });
    mainMenu->actions().at(3)->setText(QStringLiteral("История"));
    favoritesMenu = new TFavoritesMenu(QDir(m_profileFolder).filePath(QStringLiteral("Favorites")), m_prompts, this);
    connect(favoritesMenu, &TFavoritesMenu::OnURLSelected, this,
            [this](QAction*, const QString& url) { navigateFromMenu(url); });
    favoritesMenu->MainMenu = mainMenu;
    favoritesMenu->Menupos = 5;
    // "Add to Favorites" adds the page of the tab in front.
    favoritesMenu->Webbrowser = [this] { return currentBrowser(); };
    favoritesMenu->BuildMenu();
    mainMenu->actions().at(4)->setText(QStringLiteral("Избранное"));
}

void TForm1::connectBrowserHandlers()
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

    connect(goButton, &QPushButton::clicked, this, &TForm1::goToAddress);
    connect(backButton, &QToolButton::clicked, this, &TForm1::goBack);
    connect(forwardButton, &QToolButton::clicked, this, &TForm1::goForward);
    connect(reloadButton, &QToolButton::clicked, this, &TForm1::reloadPage);
    connect(stopButton, &QToolButton::clicked, this, &TForm1::stopLoading);
    connect(fileNewTabAction, &QAction::triggered, this, [this] { openTab(QStringLiteral("about:blank")); });
    connect(newTabAction, &QAction::triggered, this, [this] { openTab(QStringLiteral("about:blank")); });
    connect(closeTabAction, &QAction::triggered, this, &TForm1::closeActiveTab);
    connect(openFileAction, &QAction::triggered, this, &TForm1::openFile);
    connect(savePageAction, &QAction::triggered, this, &TForm1::savePage);
    connect(pagePropertiesAction, &QAction::triggered, this, &TForm1::showPageProperties);
    connect(editMenu, &QMenu::aboutToShow, this, &TForm1::updateEditMenu);
    const std::pair<QAction*, BrowserCommands::Edit> edits[] = {{copyAction, BrowserCommands::Edit::Copy},
                                                                {cutAction, BrowserCommands::Edit::Cut},
                                                                {pasteAction, BrowserCommands::Edit::Paste},
                                                                {selectAllAction, BrowserCommands::Edit::SelectAll}};
    for (const auto& [action, command] : edits)
        connect(action, &QAction::triggered, this, [this, command = command] { m_commands->edit(command); });
    connect(findInPageAction, &QAction::triggered, this, &TForm1::findInPage);
    connect(viewSourceAction, &QAction::triggered, this, &TForm1::showSource);
    connect(internetOptionsAction, &QAction::triggered, this, &TForm1::showInternetOptions);
    for (QAction* size : {largestFontAction, largeFontAction, mediumFontAction, smallFontAction, smallestFontAction})
        connect(size, &QAction::triggered, this, [this, size] { setFontSize(size); });
    connect(clearAddressesAction, &QAction::triggered, this, &TForm1::clearAddresses);
    connect(loginDataAction, &QAction::triggered, this, &TForm1::showLoginData);
    connect(loginOkButton, &QPushButton::clicked, this, &TForm1::acceptLogin);
    connect(loginCancelButton, &QPushButton::clicked, this, &TForm1::cancelLogin);
    connect(autoLoginBox, &QCheckBox::clicked, this, &TForm1::toggleAutoLogin);
    connect(findNickAction, &QAction::triggered, this, &TForm1::askNickAndOpen);
    connect(findNickButton, &QPushButton::clicked, this, &TForm1::openTypedNick);
    connect(clearNicksAction, &QAction::triggered, this, &TForm1::clearNicks);
    connect(tabDoubleClickTimer, &QTimer::timeout, this, &TForm1::tabDoubleClickTimeout);
    connect(browserTabs, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { tabStripMenu->popup(browserTabs->mapToGlobal(pos)); });
    connect(m_tabs, &BrowserTabs::tabChangedByUser, this, [this](int left) {
        leavingTab(left);
        tabChanged();
    });
    connect(m_tabs, &BrowserTabs::stripMouseUp, this, &TForm1::tabStripReleased);
    connect(m_tabs, &BrowserTabs::browserOpened, this, &TForm1::bindBrowser);
    connect(m_tabs, &BrowserTabs::frontChanged, this, &TForm1::syncNavigationButtons);

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

void TForm1::bindBrowser(TWebbrowser* browser)
{
    connect(browser, &TWebbrowser::frameCompleted, this, &TForm1::noteFrameLoaded);
    connect(browser, &TWebbrowser::frameChanged, m_poller, &PagePoller::frameChanged);
    connect(browser, &TWebbrowser::commandStateChange, this, &TForm1::commandStateChanged);
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

TWebbrowser* TForm1::browserOf(QWidget* tab) const
{
    return m_tabs->browserOf(tab);
}

TWebbrowser* TForm1::currentBrowser() const
{
    return m_tabs->currentBrowser();
}

QWidget* TForm1::openTab(const QString& url)
{
    return m_tabs->open(url);
}

void TForm1::showGuide(const QString& section)
{
    QUrl url(QStringLiteral("qrc:/guide/guide.html"));
    for (int i = 1; i < browserTabs->count(); ++i) {
        TWebbrowser* browser = m_tabs->browserOf(browserTabs->widget(i));
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

void TForm1::closeActiveTab()
{
    m_tabs->closeActive();
}

void TForm1::addressBoxKey(int key)
{
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && browserTabs->currentIndex() > 0) {
        if (TWebbrowser* browser = currentBrowser()) {
            browser->navigate(QUrl::fromUserInput(addressBox->currentText()));
            addressBox->lineEdit()->setModified(false); // from now on the box follows the page again
        }
    }
}

void TForm1::goToAddress()
{
    addressBoxKey(Qt::Key_Return);
}

void TForm1::goBack()
{
    m_commands->back();
}

void TForm1::goForward()
{
    m_commands->forward();
}

void TForm1::reloadPage()
{
    if (currentBrowser() == gameBrowser && gameBrowser->loadFailed())
        reloadFailedGame();
    else
        m_commands->reload();
    stopButton->setEnabled(true);
}

void TForm1::stopLoading()
{
    m_commands->stop();
}

void TForm1::openFile()
{
    const QString file = m_prompts->askOpenFile(this, QStringLiteral("Открыть"), openFileFilter);
    m_downloads->commandStarted(); // a document the browser does not show is saved as a download
    if (!file.isEmpty())
        openTab(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString());
}

void TForm1::savePage()
{
    m_commands->saveAs();
}

void TForm1::showPageProperties()
{
    m_commands->properties();
}

void TForm1::updateEditMenu()
{
    m_commands->syncEditActions(copyAction, cutAction, pasteAction);
}

void TForm1::findInPage()
{
    m_commands->find();
}

void TForm1::showSource()
{
    m_commands->viewSource();
}

void TForm1::showInternetOptions()
{
    InternetOptionsDialog dialog(m_profile, this);
    dialog.exec();
}

void TForm1::setFontSize(QAction* item)
{
    m_commands->setTextSize(
        item, {largestFontAction, largeFontAction, mediumFontAction, smallFontAction, smallestFontAction});
}

void TForm1::clearAddresses()
{
    m_tabs->clearHistory();
}

void TForm1::navigateFromMenu(const QString& url)
{
    if (browserTabs->currentIndex() <= 0)
        return;
    if (TWebbrowser* b = currentBrowser()) {
        addressBox->setEditText(url);
        b->navigate(QUrl::fromUserInput(url));
    }
}

void TForm1::showLoadProgress(int progress, int maximum)
{
    loadProgressBar->setMaximum(maximum);
    loadProgressBar->setValue(progress);
}

void TForm1::commandStateChanged(TWebbrowser*, int, bool)
{
    // The buttons show what the tab in front can do, whichever tab reported.
    syncNavigationButtons();
}

void TForm1::syncNavigationButtons()
{
    TWebbrowser* b = browserOf(browserTabs->currentWidget());
    backButton->setEnabled(b && b->pageAction(QWebEnginePage::Back)->isEnabled());
    forwardButton->setEnabled(b && b->pageAction(QWebEnginePage::Forward)->isEnabled());
}

void TForm1::reloadFailedGame()
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

void TForm1::pageLoadFinished()
{
    stopButton->setEnabled(false);
}

void TForm1::showTitle(TWebbrowser*, const QString& text)
{
    m_tabs->titleChanged(text);
}

void TForm1::showAddress(const QString& url)
{
    m_tabs->navigated(url);
}

TWebbrowser* TForm1::openNewWindow()
{
    // The page opens in a tab of its own instead of a window.
    return browserOf(openTab(QString()));
}

void TForm1::leavingTab(int leaving)
{
    m_tabs->leaving(leaving);
}

void TForm1::tabChanged()
{
    m_tabs->changed();
}

void TForm1::tabStripReleased(const QPoint& pos)
{
    m_tabs->stripReleased(pos);
}

void TForm1::tabDoubleClickTimeout()
{
    m_tabs->doubleClickTimeUp();
}

void TForm1::showLoginData()
{
    loginPanel->open();
}

void TForm1::acceptLogin()
{
    loginPanel->accept();
}

void TForm1::cancelLogin()
{
    loginPanel->cancel();
}

void TForm1::toggleAutoLogin()
{
    loginPanel->autoLoginToggled();
}

QString TForm1::playerInfoUrl(const QString& nick) const
{
    // One query value whatever the nickname holds, in the game's code page.
    return m_gameServer + QStringLiteral("/cgi/pl_info.php?login=") +
           QString::fromLatin1(QByteArray::fromStdString(toCp1251(nick)).toPercentEncoding());
}

void TForm1::openPlayerInfo(const QString& nick, std::function<void()> then)
{
    QWidget* tab = openTab(QString());
    TWebbrowser* browser = browserOf(tab);
    if (TWebbrowser* current = currentBrowser())
        current->navigate(QUrl(playerInfoUrl(nick)));
    m_commands->whenLoaded(
        browser, then ? std::move(then) : [] {});
}

void TForm1::askNickAndOpen()
{
    QString nick;
    if (!m_prompts->askText(this, QStringLiteral("Введите ник игрока"), QStringLiteral("Ник:"), nick) || nick.isEmpty())
        return;
    openPlayerInfo(nick);
}

void TForm1::nickBoxKey(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    QPointer<QComboBox> box(nickBox);
    openPlayerInfo(nickBox->currentText(), [box] {
        if (box)
            addToBoxHistory(box, box->currentText());
    });
}

void TForm1::openTypedNick()
{
    nickBoxKey(Qt::Key_Return);
}

void TForm1::clearNicks()
{
    const QString text = nickBox->currentText();
    nickBox->clear();
    nickBox->setEditText(text);
}

} // namespace veldor
