// The window's controls, their captions, hints and initial state.
#include "mainwindow.h"

#include "app/loginpanel.h"
#include "app/pagecontrol.h"
#include "browser/browsertabs.h"
#include "browser/browserview.h"
#include "browser/pagepoller.h"
#include "map/atlas.h"
#include "mapview/clicksplitter.h"
#include "mapview/mapgrid.h"
#include "travel/travel.h"
#include "ui/qtcodec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace veldor {
namespace {

template <class W>
W* named(W* widget, const char* name, const QString& hint = {})
{
    widget->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty())
        widget->setToolTip(hint);
    return widget;
}

QLabel* label(const char* name, const QString& text, QWidget* parent)
{
    return named(new QLabel(text, parent), name);
}

QComboBox* dropDownList(const char* name, const QString& hint, QWidget* parent)
{
    auto* box = named(new QComboBox(parent), name, hint);
    box->setEditable(false);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(8);
    return box;
}

// One object list of the bottom strip: caption, the read-only memo and its "X" and "C" buttons.
QWidget* objectListGroup(QLabel*& caption, QPlainTextEdit*& memo, QPushButton*& clear, QPushButton*& copy,
                         const char* labelName, const QString& labelText, const char* memoName, const QString& memoHint,
                         const char* clearName, const char* copyName, QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(2, 0, 2, 0);
    grid->setSpacing(1);
    caption = label(labelName, labelText, box);
    memo = named(new QPlainTextEdit(box), memoName, memoHint);
    memo->setReadOnly(true);
    // Narrower on a small screen, never wider than the layout's 169 pixels.
    memo->setFixedHeight(25);
    memo->setMinimumWidth(60);
    memo->setMaximumWidth(169);
    memo->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette grey = memo->palette();
    grey.setColor(QPalette::Base, QColor(192, 192, 192));
    memo->setPalette(grey);
    clear = named(new QPushButton(QStringLiteral("X"), box), clearName, QStringLiteral("Очистить"));
    copy = named(new QPushButton(QStringLiteral("C"), box), copyName, QStringLiteral("Копировать в буфер"));
    for (QPushButton* b : {clear, copy}) {
        b->setFixedSize(18, 12);
        b->setFocusPolicy(Qt::NoFocus);
        QFont f = b->font();
        f.setPixelSize(9);
        b->setFont(f);
    }
    grid->addWidget(caption, 0, 0, 1, 2);
    grid->addWidget(memo, 1, 0, 2, 1);
    grid->addWidget(clear, 1, 1);
    grid->addWidget(copy, 2, 1);
    return box;
}

} // namespace

void MainWindow::buildLayout()
{
    setGeometry(139, 103, 868, 766);
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPointSize(8);
    setFont(windowFont);
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // Tool bar strip: navigation buttons, address box, player nickname box.
    m_ui.toolBands = named(new QFrame(central), "toolBands");
    static_cast<QFrame*>(m_ui.toolBands)->setFrameShape(QFrame::StyledPanel);
    m_ui.toolBands->setFixedHeight(29);
    auto* bands = new QHBoxLayout(m_ui.toolBands);
    bands->setContentsMargins(2, 1, 2, 1);
    bands->setSpacing(4);
    m_ui.browserToolBar = named(new QToolBar(m_ui.toolBands), "browserToolBar");
    m_ui.browserToolBar->setIconSize(QSize(16, 16));
    m_ui.browserToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const QStyle::StandardPixmap images[] = {QStyle::SP_ArrowBack, QStyle::SP_ArrowForward, QStyle::SP_BrowserReload,
                                             QStyle::SP_BrowserStop};
    const char* buttonNames[] = {"backButton", "forwardButton", "reloadButton", "stopButton"};
    const QString buttonHints[] = {QStringLiteral("Назад"), QStringLiteral("Вперед"), QStringLiteral("Обновить"),
                                   QStringLiteral("Остановить")};
    QToolButton* buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = named(new QToolButton(m_ui.browserToolBar), buttonNames[i], buttonHints[i]);
        buttons[i]->setIcon(style()->standardIcon(images[i]));
        buttons[i]->setAutoRaise(true);
        m_ui.browserToolBar->addWidget(buttons[i]);
    }
    m_ui.backButton = buttons[0];
    m_ui.forwardButton = buttons[1];
    m_ui.reloadButton = buttons[2];
    m_ui.stopButton = buttons[3];
    bands->addWidget(m_ui.browserToolBar);
    bands->addWidget(new QLabel(QStringLiteral("Адрес:"), m_ui.toolBands));
    m_ui.addressBox = named(new QComboBox(m_ui.toolBands), "addressBox");
    m_ui.addressBox->setEditable(true);
    m_ui.addressBox->setInsertPolicy(QComboBox::NoInsert);
    // The tool bar gives way on a small screen: the address box narrows first.
    m_ui.addressBox->setMinimumWidth(160);
    m_ui.addressBox->setMaximumWidth(800);
    m_ui.addressBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    bands->addWidget(m_ui.addressBox, 1);
    m_ui.goButton = named(new QPushButton(QStringLiteral("Перейти"), m_ui.toolBands), "goButton");
    m_ui.goButton->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    bands->addWidget(m_ui.goButton);
    bands->addWidget(new QLabel(QStringLiteral("Ник:"), m_ui.toolBands));
    m_ui.nickBox = named(new QComboBox(m_ui.toolBands), "nickBox");
    m_ui.nickBox->setEditable(true);
    m_ui.nickBox->setInsertPolicy(QComboBox::NoInsert);
    m_ui.nickBox->setMinimumWidth(90);
    // A nickname is looked up as typed: the completion must not change its letter case.
    m_ui.nickBox->completer()->setCaseSensitivity(Qt::CaseSensitive);
    bands->addWidget(m_ui.nickBox);
    m_ui.findNickButton = named(new QPushButton(QStringLiteral("Найти"), m_ui.toolBands), "findNickButton");
    m_ui.findNickButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    bands->addWidget(m_ui.findNickButton);
    outer->addWidget(m_ui.toolBands);

    m_state.bottomSplitter = new ClickSplitter(Qt::Vertical, central);
    m_state.bottomSplitter->setObjectName(QStringLiteral("BottomSplitter"));
    outer->addWidget(m_state.bottomSplitter, 1);
    m_state.mainSplitter = new ClickSplitter(Qt::Horizontal, m_state.bottomSplitter);
    m_state.mainSplitter->setObjectName(QStringLiteral("MainSplitter"));

    // Left: settings and travel pages.
    m_ui.sidePanel = named(new QScrollArea(m_state.mainSplitter), "sidePanel");
    m_ui.sidePanel->setWidgetResizable(true);
    m_ui.sidePanel->setMinimumWidth(5);
    m_ui.sidePages = named(new PageControl, "sidePages");
    m_ui.sidePanel->setWidget(m_ui.sidePages);

    m_ui.settingsPage = named(new QWidget, "settingsPage");
    auto* settingsLayout = new QVBoxLayout(m_ui.settingsPage);
    settingsLayout->setContentsMargins(4, 4, 4, 4);
    settingsLayout->setSpacing(3);
    m_ui.labyrinthLabel = label("labyrinthLabel", QStringLiteral("Лабиринт:"), m_ui.settingsPage);
    m_ui.labyrinthBox = dropDownList("labyrinthBox", QStringLiteral("Текущий лабиринт"), m_ui.settingsPage);
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab)
        m_ui.labyrinthBox->addItem(fromUtf8Text(LabyrinthName(lab)));
    m_ui.labyrinthBox->setCurrentIndex(0);
    m_ui.levelLabel = label("levelLabel", QStringLiteral("Уровень:"), m_ui.settingsPage);
    m_ui.levelBox = dropDownList("levelBox", QStringLiteral("Уровень"), m_ui.settingsPage);
    for (int level = 0; level < kLevelCount; ++level)
        m_ui.levelBox->addItem(QString::number(level));
    m_ui.levelBox->setCurrentIndex(0);
    m_ui.cellSizeLabel = label("cellSizeLabel", QStringLiteral("Размер клетки:"), m_ui.settingsPage);
    m_ui.cellSizeSpin =
        named(new QSpinBox(m_ui.settingsPage), "cellSizeSpin", QStringLiteral("Размер клетки на карте"));
    m_ui.cellSizeSpin->setRange(10, 25);
    m_ui.cellSizeSpin->setValue(15);
    m_ui.cellSizeSpin->setKeyboardTracking(false);
    m_ui.cellSizeSpin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    // Only the arrows change the size; typing is off.
    if (auto* edit = m_ui.cellSizeSpin->findChild<QLineEdit*>())
        edit->setReadOnly(true);
    m_ui.passDoorsBox = named(new QCheckBox(QStringLiteral("Проходить через двери"), m_ui.settingsPage), "passDoorsBox",
                              QStringLiteral("Разрешение прохождения дверей при ручном управлении"));
    m_ui.soundsBox = named(new QCheckBox(QStringLiteral("Проигрывать звуки"), m_ui.settingsPage), "soundsBox",
                           QStringLiteral("Проигрывание звуков при событиях"));
    auto* hideRow = new QWidget(m_ui.settingsPage);
    auto* hideLayout = new QGridLayout(hideRow);
    hideLayout->setContentsMargins(0, 0, 0, 0);
    hideLayout->setHorizontalSpacing(3);
    hideLayout->setVerticalSpacing(0);
    const QString hideHint = QStringLiteral("При вступлении в бой скрывать боковые панели");
    m_ui.hidePanelsBox = named(new QCheckBox(hideRow), "hidePanelsBox", hideHint);
    m_ui.hidePanelsLine1 = label("hidePanelsLine1", QStringLiteral("Скрывать панели при"), hideRow);
    m_ui.hidePanelsLine2 = label("hidePanelsLine2", QStringLiteral("начале боя"), hideRow);
    m_ui.hidePanelsLine1->setToolTip(hideHint);
    m_ui.hidePanelsLine2->setToolTip(hideHint);
    hideLayout->addWidget(m_ui.hidePanelsBox, 0, 0, 2, 1, Qt::AlignTop);
    hideLayout->addWidget(m_ui.hidePanelsLine1, 0, 1);
    hideLayout->addWidget(m_ui.hidePanelsLine2, 1, 1);
    hideLayout->setColumnStretch(1, 1);
    // Two lines, as the page is narrow; the caption reads as one.
    m_ui.frontierBox =
        named(new QCheckBox(QStringLiteral("Показывать путь к\nнеисследованному"), m_ui.settingsPage), "frontierBox",
              QStringLiteral("Показывать на карте кратчайший путь к ближайшему проходу в неисследованную "
                             "клетку, в обход известных ловушек"));
    m_ui.saveMapsButton = named(new QPushButton(QStringLiteral("Сохранить карту"), m_ui.settingsPage), "saveMapsButton",
                                QStringLiteral("Сохранить карты"));
    m_ui.clearLabyrinthButton = named(new QPushButton(QStringLiteral("Очистить карту"), m_ui.settingsPage),
                                      "clearLabyrinthButton", QStringLiteral("Очистить текущую карту"));
    m_ui.clearAllMapsButton = named(new QPushButton(QStringLiteral("Очистить все карты"), m_ui.settingsPage),
                                    "clearAllMapsButton", QStringLiteral("Очистить все карты"));
    m_ui.squadBox = named(new QCheckBox(QStringLiteral("Общая папка отряда:"), m_ui.settingsPage), "squadBox",
                          QStringLiteral("Карты отряда в папке, которую синхронизирует Syncthing, Nextcloud и т. п."));
    m_ui.squadFolderButton = named(new QPushButton(QStringLiteral("…"), m_ui.settingsPage), "squadFolderButton",
                                   QStringLiteral("Выбрать общую папку отряда"));
    m_ui.squadNameButton = named(new QPushButton(QStringLiteral("Имя в папке…"), m_ui.settingsPage), "squadNameButton",
                                 QStringLiteral("Ваше имя в общей папке отряда (ваша папка в ней)"));
    m_ui.exitRouteBox =
        named(new QCheckBox(QStringLiteral("показывать путь к выходу"), m_ui.settingsPage), "exitRouteBox");
    m_ui.exitRouteBox->setVisible(false);
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_ui.labyrinthLabel, m_ui.labyrinthBox, m_ui.levelLabel, m_ui.levelBox, m_ui.cellSizeLabel,
             m_ui.cellSizeSpin, m_ui.passDoorsBox, m_ui.soundsBox, hideRow, m_ui.frontierBox, m_ui.saveMapsButton,
             m_ui.clearLabyrinthButton, m_ui.clearAllMapsButton, m_ui.squadBox, m_ui.squadFolderButton,
             m_ui.squadNameButton, m_ui.exitRouteBox})
        settingsLayout->addWidget(w);
    settingsLayout->addStretch(1);

    m_ui.travelPage = named(new QWidget, "travelPage");
    auto* travelLayout = new QVBoxLayout(m_ui.travelPage);
    travelLayout->setContentsMargins(4, 4, 4, 4);
    travelLayout->setSpacing(3);
    m_ui.fromTownLabel = label("fromTownLabel", QStringLiteral("Из"), m_ui.travelPage);
    m_ui.fromTownBox = dropDownList("fromTownBox", QString(), m_ui.travelPage);
    m_ui.toTownLabel = label("toTownLabel", QStringLiteral("В"), m_ui.travelPage);
    m_ui.toTownBox = dropDownList("toTownBox", QString(), m_ui.travelPage);
    for (int town = 0; town < kTownCount; ++town) {
        m_ui.fromTownBox->addItem(fromUtf8Text(TownName(town)));
        m_ui.toTownBox->addItem(fromUtf8Text(TownName(town)));
    }
    m_ui.fromTownBox->setCurrentIndex(0);
    m_ui.toTownBox->setCurrentIndex(0);
    m_ui.speedBonusLabel = label("speedBonusLabel", QStringLiteral("Со скоростью"), m_ui.travelPage);
    m_ui.speedBonusBox = dropDownList("speedBonusBox", QString(), m_ui.travelPage);
    for (int speed = -30; speed <= 30; ++speed)
        m_ui.speedBonusBox->addItem(QString::number(speed));
    m_ui.speedBonusBox->setCurrentIndex(30);
    m_ui.travelTimeLabel = label("travelTimeLabel", QString(), m_ui.travelPage);
    m_ui.travelTimeLabel->setWordWrap(true);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_ui.fromTownLabel, m_ui.fromTownBox, m_ui.toTownLabel, m_ui.toTownBox,
                                         m_ui.speedBonusLabel, m_ui.speedBonusBox, m_ui.travelTimeLabel})
        travelLayout->addWidget(w);
    travelLayout->addStretch(1);

    m_ui.sidePages->addPage(m_ui.settingsPage, QStringLiteral("Настройки"));
    m_ui.sidePages->addPage(m_ui.travelPage, QStringLiteral("Путешествие"));
    m_ui.sidePages->setActivePageIndex(1);

    // Centre: the browser tabs; the first one is the game.
    m_ui.browserTabs = named(new QTabWidget(m_state.mainSplitter), "browserTabs");
    m_ui.browserTabs->setContextMenuPolicy(Qt::CustomContextMenu);
    m_ui.gameTab = named(new QWidget, "gameTab");
    auto* gameLayout = new QVBoxLayout(m_ui.gameTab);
    gameLayout->setContentsMargins(0, 0, 0, 0);
    m_ui.gameBrowser = named(new BrowserView(m_state.profile, m_ui.gameTab), "gameBrowser");
    gameLayout->addWidget(m_ui.gameBrowser);
    m_ui.browserTabs->addTab(m_ui.gameTab, QStringLiteral("Тирмора"));

    // Right: the map grid.
    m_ui.mapGrid = named(new MapGrid(m_state.mainSplitter), "mapGrid", QStringLiteral("..."));
    m_ui.mapGrid->setMinimumWidth(5);
    m_ui.mapGrid->setContextMenuPolicy(Qt::CustomContextMenu);

    m_state.mainSplitter->addWidget(m_ui.sidePanel);
    m_state.mainSplitter->addWidget(m_ui.browserTabs);
    m_state.mainSplitter->addWidget(m_ui.mapGrid);
    m_state.mainSplitter->setStretchFactor(0, 0);
    m_state.mainSplitter->setStretchFactor(1, 1);
    m_state.mainSplitter->setStretchFactor(2, 0);
    m_state.mainSplitter->setHandleWidth(7);
    m_state.mainSplitter->setSizes({185, 868 - 185 - 242 - 14, 242});
    m_ui.sidePanelSplitter = m_state.mainSplitter->clickHandle(1);
    m_ui.mapSplitter = m_state.mainSplitter->clickHandle(2);
    m_ui.sidePanelSplitter->setObjectName(QStringLiteral("sidePanelSplitter"));
    m_ui.mapSplitter->setObjectName(QStringLiteral("mapSplitter"));
    // A click collapses the map (right) or the side panel (left); the browser in the middle takes the room.
    m_state.mainSplitter->setCollapsing(m_ui.mapSplitter, 2, 1, 50);
    m_state.mainSplitter->setCollapsing(m_ui.sidePanelSplitter, 0, 1, 200);

    // Bottom: object lists, keyboard control, statistics, page-load progress.
    m_ui.bottomPanel = named(new QFrame(m_state.bottomSplitter), "bottomPanel");
    m_ui.bottomPanel->setFrameShape(QFrame::StyledPanel);
    m_ui.bottomPanel->setMinimumHeight(5);
    auto* strip = new QHBoxLayout(m_ui.bottomPanel);
    strip->setSizeConstraint(QLayout::SetNoConstraint);
    strip->setContentsMargins(2, 1, 2, 1);
    strip->setSpacing(4);
    strip->addWidget(objectListGroup(m_ui.transitionsLabel, m_ui.transitionsList, m_ui.clearTransitionsButton,
                                     m_ui.copyTransitionsButton, "transitionsLabel", QStringLiteral("Переходы:"),
                                     "transitionsList", QStringLiteral("Переходы"), "clearTransitionsButton",
                                     "copyTransitionsButton", m_ui.bottomPanel));
    strip->addWidget(objectListGroup(m_ui.exitsLabel, m_ui.exitsList, m_ui.clearExitsButton, m_ui.copyExitsButton,
                                     "exitsLabel", QStringLiteral("Выходы:"), "exitsList", QStringLiteral("Выходы"),
                                     "clearExitsButton", "copyExitsButton", m_ui.bottomPanel));
    strip->addWidget(objectListGroup(m_ui.trapsLabel, m_ui.trapsList, m_ui.clearTrapsButton, m_ui.copyTrapsButton,
                                     "trapsLabel", QStringLiteral("Ловушки:"), "trapsList", QStringLiteral("Ловушки"),
                                     "clearTrapsButton", "copyTrapsButton", m_ui.bottomPanel));
    strip->addWidget(objectListGroup(m_ui.flagsLabel, m_ui.flagsList, m_ui.clearFlagsButton, m_ui.copyFlagsButton,
                                     "flagsLabel", QStringLiteral("Флаги:"), "flagsList", QStringLiteral("Флаги"),
                                     "clearFlagsButton", "copyFlagsButton", m_ui.bottomPanel));
    m_ui.keyboardBox = named(new QPlainTextEdit(QStringLiteral("управление с клавиатуры"), m_ui.bottomPanel),
                             "keyboardBox", QStringLiteral("Управлять передвижением с клавиатуры"));
    m_ui.keyboardBox->setReadOnly(true);
    m_ui.keyboardBox->setFixedHeight(40);
    m_ui.keyboardBox->setMinimumWidth(90);
    m_ui.keyboardBox->setMaximumWidth(150);
    m_ui.keyboardBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_ui.keyboardBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_ui.keyboardBox->document()->setDefaultTextOption(QTextOption(Qt::AlignCenter));
    m_ui.keyboardBox->setPlainText(QStringLiteral("управление с клавиатуры"));
    strip->addWidget(m_ui.keyboardBox);
    auto* stats = new QVBoxLayout;
    stats->setSpacing(1);
    m_ui.exploredLabel = named(new QLabel(m_ui.bottomPanel), "exploredLabel", QStringLiteral("Процент открытия этажа"));
    m_ui.positionLabel = named(new QLabel(m_ui.bottomPanel), "positionLabel", QStringLiteral("Текущие координаты"));
    QFont bold = m_ui.positionLabel->font();
    bold.setBold(true);
    m_ui.positionLabel->setFont(bold);
    m_ui.frontierLabel =
        named(new QLabel(m_ui.bottomPanel), "frontierLabel", QStringLiteral("Путь к неисследованному"));
    m_ui.frontierLabel->setStyleSheet(QStringLiteral("color: rgb(160, 0, 160);")); // the colour of its dots
    m_ui.frontierLabel->hide();
    auto* position = new QHBoxLayout;
    position->setSpacing(12);
    position->addWidget(m_ui.positionLabel);
    position->addWidget(m_ui.frontierLabel);
    position->addStretch(1);
    // Room for the share and for the position with the assistant's text, each on one line; the lists give it.
    m_ui.exploredLabel->setWordWrap(true);
    m_ui.exploredLabel->setMinimumWidth(230);
    stats->addWidget(m_ui.exploredLabel);
    stats->addLayout(position);
    stats->addStretch(1);
    strip->addLayout(stats);
    strip->addStretch(1);
    m_ui.loadProgressBar = named(new QProgressBar(m_ui.bottomPanel), "loadProgressBar");
    m_ui.loadProgressBar->setOrientation(Qt::Vertical);
    m_ui.loadProgressBar->setRange(0, 100);
    m_ui.loadProgressBar->setValue(0);
    m_ui.loadProgressBar->setTextVisible(false);
    m_ui.loadProgressBar->setFixedWidth(12);
    strip->addWidget(m_ui.loadProgressBar);

    m_state.bottomSplitter->addWidget(m_state.mainSplitter);
    m_state.bottomSplitter->addWidget(m_ui.bottomPanel);
    m_state.bottomSplitter->setStretchFactor(0, 1);
    m_state.bottomSplitter->setStretchFactor(1, 0);
    m_state.bottomSplitter->setHandleWidth(7);
    m_state.bottomSplitter->setSizes({766 - 29 - 59 - 7, 59});
    m_ui.bottomSplitter = m_state.bottomSplitter->clickHandle(1);
    m_ui.bottomSplitter->setObjectName(QStringLiteral("bottomSplitter"));
    m_state.bottomSplitter->setCollapsing(m_ui.bottomSplitter, 1, 0, 52);

    // The login box floats over the browser.
    m_ui.loginPanel = new LoginPanel(m_state.settings, m_state.prompts, m_ui.browserTabs);
    const LoginPanel::Controls& login = m_ui.loginPanel->controls();
    m_ui.loginTitle = login.loginTitle;
    m_ui.loginLabel = login.loginLabel;
    m_ui.loginEdit = login.loginEdit;
    m_ui.passwordLabel = login.passwordLabel;
    m_ui.passwordEdit = login.passwordEdit;
    m_ui.autoLoginBox = login.autoLoginBox;
    m_ui.loginOkButton = login.loginOkButton;
    m_ui.loginCancelButton = login.loginCancelButton;

    m_state.poller = new PagePoller(this);
    m_ui.pollTimer = m_state.poller->timer();
    m_state.tabs = new BrowserTabs(m_ui.browserTabs, m_ui.addressBox, m_state.profile, m_state.gameServer, this);
    m_ui.tabDoubleClickTimer = m_state.tabs->doubleClickTimer();
    initialState();
}

void MainWindow::initialState()
{
    setWindowTitle(Title());
    m_ui.exploredLabel->setText(QStringLiteral("Процент открытия уровня: "));
    m_ui.positionLabel->clear();
    for (QPlainTextEdit* memo : {m_ui.exitsList, m_ui.transitionsList, m_ui.trapsList, m_ui.flagsList})
        memo->clear();
    m_ui.loginPanel->hide();
    m_ui.backButton->setEnabled(false);
    m_ui.forwardButton->setEnabled(false);
    m_ui.addressBox->setEditText(m_state.gameServer + QStringLiteral("/login.php"));
    m_ui.mapGrid->setToolTip(QStringLiteral("0 0"));
    m_state.tabs->LastBrowser = m_ui.gameBrowser;
}

} // namespace veldor
