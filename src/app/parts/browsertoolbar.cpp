#include "browsertoolbar.h"

#include "browser/browsercommands.h"
#include "browser/browsertabs.h"
#include "browser/browserview.h"
#include "ui/prompts.h"
#include "ui/qtcodec.h"

#include <QComboBox>
#include <QCompleter>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWebEngineHistory>
#include <QWebEnginePage>

namespace veldor {

BrowserToolBar::BrowserToolBar(QTabWidget* strip, QWebEngineProfile* profile, const QString& gameServer,
                               QWidget* parent)
    : QFrame(parent)
{
    Controls& ui = m_ui;
    setObjectName(QStringLiteral("toolBands"));
    setFrameShape(QFrame::StyledPanel);
    setFixedHeight(29);
    auto* bands = new QHBoxLayout(this);
    bands->setContentsMargins(2, 1, 2, 1);
    bands->setSpacing(4);
    ui.browserToolBar = new QToolBar(this);
    ui.browserToolBar->setObjectName(QStringLiteral("browserToolBar"));
    ui.browserToolBar->setIconSize(QSize(16, 16));
    ui.browserToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const struct
    {
        QToolButton*& button;
        const char* name;
        QString hint;
        QStyle::StandardPixmap image;
    } buttons[] = {{ui.backButton, "backButton", QStringLiteral("Назад"), QStyle::SP_ArrowBack},
                   {ui.forwardButton, "forwardButton", QStringLiteral("Вперед"), QStyle::SP_ArrowForward},
                   {ui.reloadButton, "reloadButton", QStringLiteral("Обновить"), QStyle::SP_BrowserReload},
                   {ui.stopButton, "stopButton", QStringLiteral("Остановить"), QStyle::SP_BrowserStop}};
    for (const auto& b : buttons) {
        b.button = new QToolButton(ui.browserToolBar);
        b.button->setObjectName(QString::fromLatin1(b.name));
        b.button->setToolTip(b.hint);
        b.button->setIcon(style()->standardIcon(b.image));
        b.button->setAutoRaise(true);
        b.button->setEnabled(b.button == ui.reloadButton || b.button == ui.stopButton);
        ui.browserToolBar->addWidget(b.button);
    }
    bands->addWidget(ui.browserToolBar);
    bands->addWidget(new QLabel(QStringLiteral("Адрес:"), this));
    ui.addressBox = new QComboBox(this);
    ui.addressBox->setObjectName(QStringLiteral("addressBox"));
    ui.addressBox->setEditable(true);
    ui.addressBox->setInsertPolicy(QComboBox::NoInsert);
    // The tool bar gives way on a small screen: the address box narrows first.
    ui.addressBox->setMinimumWidth(160);
    ui.addressBox->setMaximumWidth(800);
    ui.addressBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    bands->addWidget(ui.addressBox, 1);
    ui.goButton = new QPushButton(QStringLiteral("Перейти"), this);
    ui.goButton->setObjectName(QStringLiteral("goButton"));
    ui.goButton->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    bands->addWidget(ui.goButton);
    bands->addWidget(new QLabel(QStringLiteral("Ник:"), this));
    ui.nickBox = new QComboBox(this);
    ui.nickBox->setObjectName(QStringLiteral("nickBox"));
    ui.nickBox->setEditable(true);
    ui.nickBox->setInsertPolicy(QComboBox::NoInsert);
    ui.nickBox->setMinimumWidth(90);
    // A nickname is looked up as typed: the completion must not change its letter case.
    ui.nickBox->completer()->setCaseSensitivity(Qt::CaseSensitive);
    bands->addWidget(ui.nickBox);
    ui.findNickButton = new QPushButton(QStringLiteral("Найти"), this);
    ui.findNickButton->setObjectName(QStringLiteral("findNickButton"));
    ui.findNickButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    bands->addWidget(ui.findNickButton);
    m_tabs = new BrowserTabs(strip, ui.addressBox, profile, gameServer, this);
    ui.addressBox->setEditText(gameServer + QStringLiteral("/login.php"));
}

void BrowserToolBar::connectTo(Work work)
{
    m_work = std::move(work);
    // A combo box is its line edit's focus proxy: typed keys reach the box, which hands them on past any
    // filter of the line edit's.
    m_ui.addressBox->installEventFilter(this);
    m_ui.nickBox->installEventFilter(this);
    BrowserCommands* commands = m_work.commands;
    connect(m_ui.goButton, &QPushButton::clicked, this, &BrowserToolBar::goToAddress);
    connect(m_ui.findNickButton, &QPushButton::clicked, this, &BrowserToolBar::openTypedNick);
    connect(m_ui.backButton, &QToolButton::clicked, commands, &BrowserCommands::back);
    connect(m_ui.forwardButton, &QToolButton::clicked, commands, &BrowserCommands::forward);
    connect(m_ui.reloadButton, &QToolButton::clicked, this, &BrowserToolBar::reloadPage);
    connect(m_ui.stopButton, &QToolButton::clicked, commands, &BrowserCommands::stop);
    // Shortcuts a browser user expects; none of them is an arrow key, which walk in the game.
    auto shortcut = [this](const QKeySequence& keys, auto slot) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence::Refresh, [this] { reloadPage(); });
    shortcut(QKeySequence::Back, [commands] { commands->back(); });
    shortcut(QKeySequence::Forward, [commands] { commands->forward(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_L), [this] {
        m_ui.addressBox->setFocus();
        m_ui.addressBox->lineEdit()->selectAll();
    });
    connect(m_tabs, &BrowserTabs::frontChanged, this, &BrowserToolBar::syncNavigationButtons);
}

void BrowserToolBar::follow(BrowserView* browser)
{
    // A load under way can be stopped, whatever finished before it.
    connect(browser, &QWebEngineView::loadStarted, m_ui.stopButton, [this] { m_ui.stopButton->setEnabled(true); });
    connect(browser, &QWebEngineView::loadFinished, this, [this] {
        m_ui.stopButton->setEnabled(false);
        syncNavigationButtons();
    });
    connect(browser, &QWebEngineView::urlChanged, this, &BrowserToolBar::syncNavigationButtons);
    // The buttons show what the tab in front can do, whichever tab reported.
    connect(browser, &BrowserView::commandStateChange, this, &BrowserToolBar::syncNavigationButtons);
}

bool BrowserToolBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    if (watched == m_ui.addressBox)
        goToAddress();
    else if (watched == m_ui.nickBox)
        openTypedNick();
    return true;
}

void BrowserToolBar::goToAddress()
{
    // The game tab's address is the game's own.
    if (m_tabs->tabWidget()->currentIndex() <= 0)
        return;
    if (BrowserView* browser = m_tabs->currentBrowser()) {
        browser->navigate(QUrl::fromUserInput(m_ui.addressBox->currentText()));
        m_ui.addressBox->lineEdit()->setModified(false); // from now on the box follows the page again
    }
}

void BrowserToolBar::reloadPage()
{
    BrowserView* front = m_tabs->currentBrowser();
    if (m_tabs->tabWidget()->currentIndex() == 0 && front && front->loadFailed())
        m_work.reloadFailedGame();
    else
        m_work.commands->reload();
    m_ui.stopButton->setEnabled(true);
}

void BrowserToolBar::syncNavigationButtons()
{
    BrowserView* b = m_tabs->browserOf(m_tabs->tabWidget()->currentWidget());
    m_ui.backButton->setEnabled(b && b->pageAction(QWebEnginePage::Back)->isEnabled());
    m_ui.forwardButton->setEnabled(b && b->pageAction(QWebEnginePage::Forward)->isEnabled());
}

void BrowserToolBar::showLoading()
{
    m_ui.stopButton->setEnabled(true);
}

QString BrowserToolBar::playerInfoUrl(const QString& nick) const
{
    // One query value whatever the nickname holds, in the game's code page.
    return m_work.gameServer + QStringLiteral("/cgi/pl_info.php?login=") +
           QString::fromLatin1(QByteArray::fromStdString(toCp1251(nick)).toPercentEncoding());
}

void BrowserToolBar::openPlayerInfo(const QString& nick, std::function<void()> then)
{
    BrowserView* browser = m_tabs->browserOf(m_tabs->open(QString()));
    if (BrowserView* current = m_tabs->currentBrowser())
        current->navigate(QUrl(playerInfoUrl(nick)));
    m_work.commands->whenLoaded(
        browser, then ? std::move(then) : [] {});
}

void BrowserToolBar::askNickAndOpen()
{
    QString nick;
    if (!m_work.prompts->askText(window(), QStringLiteral("Введите ник игрока"), QStringLiteral("Ник:"), nick) ||
        nick.isEmpty())
        return;
    openPlayerInfo(nick);
}

void BrowserToolBar::openTypedNick()
{
    QPointer<QComboBox> box(m_ui.nickBox);
    openPlayerInfo(m_ui.nickBox->currentText(), [box] {
        if (box)
            addToBoxHistory(box, box->currentText());
    });
}

void BrowserToolBar::clearNicks()
{
    const QString text = m_ui.nickBox->currentText();
    m_ui.nickBox->clear();
    m_ui.nickBox->setEditText(text);
}

} // namespace veldor
