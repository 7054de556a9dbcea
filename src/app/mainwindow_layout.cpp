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
    toolBands = named(new QFrame(central), "toolBands");
    static_cast<QFrame*>(toolBands)->setFrameShape(QFrame::StyledPanel);
    toolBands->setFixedHeight(29);
    auto* bands = new QHBoxLayout(toolBands);
    bands->setContentsMargins(2, 1, 2, 1);
    bands->setSpacing(4);
    browserToolBar = named(new QToolBar(toolBands), "browserToolBar");
    browserToolBar->setIconSize(QSize(16, 16));
    browserToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const QStyle::StandardPixmap images[] = {QStyle::SP_ArrowBack, QStyle::SP_ArrowForward, QStyle::SP_BrowserReload,
                                             QStyle::SP_BrowserStop};
    const char* buttonNames[] = {"backButton", "forwardButton", "reloadButton", "stopButton"};
    const QString buttonHints[] = {QStringLiteral("Назад"), QStringLiteral("Вперед"), QStringLiteral("Обновить"),
                                   QStringLiteral("Остановить")};
    QToolButton* buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = named(new QToolButton(browserToolBar), buttonNames[i], buttonHints[i]);
        buttons[i]->setIcon(style()->standardIcon(images[i]));
        buttons[i]->setAutoRaise(true);
        browserToolBar->addWidget(buttons[i]);
    }
    backButton = buttons[0];
    forwardButton = buttons[1];
    reloadButton = buttons[2];
    stopButton = buttons[3];
    bands->addWidget(browserToolBar);
    bands->addWidget(new QLabel(QStringLiteral("Адрес:"), toolBands));
    addressBox = named(new QComboBox(toolBands), "addressBox");
    addressBox->setEditable(true);
    addressBox->setInsertPolicy(QComboBox::NoInsert);
    // The tool bar gives way on a small screen: the address box narrows first.
    addressBox->setMinimumWidth(160);
    addressBox->setMaximumWidth(800);
    addressBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    bands->addWidget(addressBox, 1);
    goButton = named(new QPushButton(QStringLiteral("Перейти"), toolBands), "goButton");
    goButton->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    bands->addWidget(goButton);
    bands->addWidget(new QLabel(QStringLiteral("Ник:"), toolBands));
    nickBox = named(new QComboBox(toolBands), "nickBox");
    nickBox->setEditable(true);
    nickBox->setInsertPolicy(QComboBox::NoInsert);
    nickBox->setMinimumWidth(90);
    // A nickname is looked up as typed: the completion must not change its letter case.
    nickBox->completer()->setCaseSensitivity(Qt::CaseSensitive);
    bands->addWidget(nickBox);
    findNickButton = named(new QPushButton(QStringLiteral("Найти"), toolBands), "findNickButton");
    findNickButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    bands->addWidget(findNickButton);
    outer->addWidget(toolBands);

    m_bottomSplitter = new ClickSplitter(Qt::Vertical, central);
    m_bottomSplitter->setObjectName(QStringLiteral("BottomSplitter"));
    outer->addWidget(m_bottomSplitter, 1);
    m_mainSplitter = new ClickSplitter(Qt::Horizontal, m_bottomSplitter);
    m_mainSplitter->setObjectName(QStringLiteral("MainSplitter"));

    // Left: settings and travel pages.
    sidePanel = named(new QScrollArea(m_mainSplitter), "sidePanel");
    sidePanel->setWidgetResizable(true);
    sidePanel->setMinimumWidth(5);
    sidePages = named(new PageControl, "sidePages");
    sidePanel->setWidget(sidePages);

    settingsPage = named(new QWidget, "settingsPage");
    auto* settingsLayout = new QVBoxLayout(settingsPage);
    settingsLayout->setContentsMargins(4, 4, 4, 4);
    settingsLayout->setSpacing(3);
    labyrinthLabel = label("labyrinthLabel", QStringLiteral("Лабиринт:"), settingsPage);
    labyrinthBox = dropDownList("labyrinthBox", QStringLiteral("Текущий лабиринт"), settingsPage);
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab)
        labyrinthBox->addItem(fromUtf8Text(LabyrinthName(lab)));
    labyrinthBox->setCurrentIndex(0);
    levelLabel = label("levelLabel", QStringLiteral("Уровень:"), settingsPage);
    levelBox = dropDownList("levelBox", QStringLiteral("Уровень"), settingsPage);
    for (int level = 0; level < kLevelCount; ++level)
        levelBox->addItem(QString::number(level));
    levelBox->setCurrentIndex(0);
    cellSizeLabel = label("cellSizeLabel", QStringLiteral("Размер клетки:"), settingsPage);
    cellSizeSpin = named(new QSpinBox(settingsPage), "cellSizeSpin", QStringLiteral("Размер клетки на карте"));
    cellSizeSpin->setRange(10, 25);
    cellSizeSpin->setValue(15);
    cellSizeSpin->setKeyboardTracking(false);
    cellSizeSpin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    // Only the arrows change the size; typing is off.
    if (auto* edit = cellSizeSpin->findChild<QLineEdit*>())
        edit->setReadOnly(true);
    passDoorsBox = named(new QCheckBox(QStringLiteral("Проходить через двери"), settingsPage), "passDoorsBox",
                         QStringLiteral("Разрешение прохождения дверей при ручном управлении"));
    soundsBox = named(new QCheckBox(QStringLiteral("Проигрывать звуки"), settingsPage), "soundsBox",
                      QStringLiteral("Проигрывание звуков при событиях"));
    auto* hideRow = new QWidget(settingsPage);
    auto* hideLayout = new QGridLayout(hideRow);
    hideLayout->setContentsMargins(0, 0, 0, 0);
    hideLayout->setHorizontalSpacing(3);
    hideLayout->setVerticalSpacing(0);
    const QString hideHint = QStringLiteral("При вступлении в бой скрывать боковые панели");
    hidePanelsBox = named(new QCheckBox(hideRow), "hidePanelsBox", hideHint);
    hidePanelsLine1 = label("hidePanelsLine1", QStringLiteral("Скрывать панели при"), hideRow);
    hidePanelsLine2 = label("hidePanelsLine2", QStringLiteral("начале боя"), hideRow);
    hidePanelsLine1->setToolTip(hideHint);
    hidePanelsLine2->setToolTip(hideHint);
    hideLayout->addWidget(hidePanelsBox, 0, 0, 2, 1, Qt::AlignTop);
    hideLayout->addWidget(hidePanelsLine1, 0, 1);
    hideLayout->addWidget(hidePanelsLine2, 1, 1);
    hideLayout->setColumnStretch(1, 1);
    // Two lines, as the page is narrow; the caption reads as one.
    frontierBox =
        named(new QCheckBox(QStringLiteral("Показывать путь к\nнеисследованному"), settingsPage), "frontierBox",
              QStringLiteral("Показывать на карте кратчайший путь к ближайшему проходу в неисследованную "
                             "клетку, в обход известных ловушек"));
    saveMapsButton = named(new QPushButton(QStringLiteral("Сохранить карту"), settingsPage), "saveMapsButton",
                           QStringLiteral("Сохранить карты"));
    clearLabyrinthButton = named(new QPushButton(QStringLiteral("Очистить карту"), settingsPage),
                                 "clearLabyrinthButton", QStringLiteral("Очистить текущую карту"));
    clearAllMapsButton = named(new QPushButton(QStringLiteral("Очистить все карты"), settingsPage),
                               "clearAllMapsButton", QStringLiteral("Очистить все карты"));
    squadBox = named(new QCheckBox(QStringLiteral("Общая папка отряда:"), settingsPage), "squadBox",
                     QStringLiteral("Карты отряда в папке, которую синхронизирует Syncthing, Nextcloud и т. п."));
    squadFolderButton = named(new QPushButton(QStringLiteral("…"), settingsPage), "squadFolderButton",
                              QStringLiteral("Выбрать общую папку отряда"));
    squadNameButton = named(new QPushButton(QStringLiteral("Имя в папке…"), settingsPage), "squadNameButton",
                            QStringLiteral("Ваше имя в общей папке отряда (ваша папка в ней)"));
    exitRouteBox = named(new QCheckBox(QStringLiteral("показывать путь к выходу"), settingsPage), "exitRouteBox");
    exitRouteBox->setVisible(false);
    for (QWidget* w : std::initializer_list<QWidget*>{labyrinthLabel, labyrinthBox, levelLabel, levelBox, cellSizeLabel,
                                                      cellSizeSpin, passDoorsBox, soundsBox, hideRow, frontierBox,
                                                      saveMapsButton, clearLabyrinthButton, clearAllMapsButton,
                                                      squadBox, squadFolderButton, squadNameButton, exitRouteBox})
        settingsLayout->addWidget(w);
    settingsLayout->addStretch(1);

    travelPage = named(new QWidget, "travelPage");
    auto* travelLayout = new QVBoxLayout(travelPage);
    travelLayout->setContentsMargins(4, 4, 4, 4);
    travelLayout->setSpacing(3);
    fromTownLabel = label("fromTownLabel", QStringLiteral("Из"), travelPage);
    fromTownBox = dropDownList("fromTownBox", QString(), travelPage);
    toTownLabel = label("toTownLabel", QStringLiteral("В"), travelPage);
    toTownBox = dropDownList("toTownBox", QString(), travelPage);
    for (int town = 0; town < kTownCount; ++town) {
        fromTownBox->addItem(fromUtf8Text(TownName(town)));
        toTownBox->addItem(fromUtf8Text(TownName(town)));
    }
    fromTownBox->setCurrentIndex(0);
    toTownBox->setCurrentIndex(0);
    speedBonusLabel = label("speedBonusLabel", QStringLiteral("Со скоростью"), travelPage);
    speedBonusBox = dropDownList("speedBonusBox", QString(), travelPage);
    for (int speed = -30; speed <= 30; ++speed)
        speedBonusBox->addItem(QString::number(speed));
    speedBonusBox->setCurrentIndex(30);
    travelTimeLabel = label("travelTimeLabel", QString(), travelPage);
    travelTimeLabel->setWordWrap(true);
    for (QWidget* w : std::initializer_list<QWidget*>{fromTownLabel, fromTownBox, toTownLabel, toTownBox,
                                                      speedBonusLabel, speedBonusBox, travelTimeLabel})
        travelLayout->addWidget(w);
    travelLayout->addStretch(1);

    sidePages->addPage(settingsPage, QStringLiteral("Настройки"));
    sidePages->addPage(travelPage, QStringLiteral("Путешествие"));
    sidePages->setActivePageIndex(1);

    // Centre: the browser tabs; the first one is the game.
    browserTabs = named(new QTabWidget(m_mainSplitter), "browserTabs");
    browserTabs->setContextMenuPolicy(Qt::CustomContextMenu);
    gameTab = named(new QWidget, "gameTab");
    auto* gameLayout = new QVBoxLayout(gameTab);
    gameLayout->setContentsMargins(0, 0, 0, 0);
    gameBrowser = named(new BrowserView(m_profile, gameTab), "gameBrowser");
    gameLayout->addWidget(gameBrowser);
    browserTabs->addTab(gameTab, QStringLiteral("Тирмора"));

    // Right: the map grid.
    mapGrid = named(new MapGrid(m_mainSplitter), "mapGrid", QStringLiteral("..."));
    mapGrid->setMinimumWidth(5);
    mapGrid->setContextMenuPolicy(Qt::CustomContextMenu);

    m_mainSplitter->addWidget(sidePanel);
    m_mainSplitter->addWidget(browserTabs);
    m_mainSplitter->addWidget(mapGrid);
    m_mainSplitter->setStretchFactor(0, 0);
    m_mainSplitter->setStretchFactor(1, 1);
    m_mainSplitter->setStretchFactor(2, 0);
    m_mainSplitter->setHandleWidth(7);
    m_mainSplitter->setSizes({185, 868 - 185 - 242 - 14, 242});
    sidePanelSplitter = m_mainSplitter->clickHandle(1);
    mapSplitter = m_mainSplitter->clickHandle(2);
    sidePanelSplitter->setObjectName(QStringLiteral("sidePanelSplitter"));
    mapSplitter->setObjectName(QStringLiteral("mapSplitter"));
    // A click collapses the map (right) or the side panel (left); the browser in the middle takes the room.
    m_mainSplitter->setCollapsing(mapSplitter, 2, 1, 50);
    m_mainSplitter->setCollapsing(sidePanelSplitter, 0, 1, 200);

    // Bottom: object lists, keyboard control, statistics, page-load progress.
    bottomPanel = named(new QFrame(m_bottomSplitter), "bottomPanel");
    bottomPanel->setFrameShape(QFrame::StyledPanel);
    bottomPanel->setMinimumHeight(5);
    auto* strip = new QHBoxLayout(bottomPanel);
    strip->setSizeConstraint(QLayout::SetNoConstraint);
    strip->setContentsMargins(2, 1, 2, 1);
    strip->setSpacing(4);
    strip->addWidget(objectListGroup(transitionsLabel, transitionsList, clearTransitionsButton, copyTransitionsButton,
                                     "transitionsLabel", QStringLiteral("Переходы:"), "transitionsList",
                                     QStringLiteral("Переходы"), "clearTransitionsButton", "copyTransitionsButton",
                                     bottomPanel));
    strip->addWidget(objectListGroup(exitsLabel, exitsList, clearExitsButton, copyExitsButton, "exitsLabel",
                                     QStringLiteral("Выходы:"), "exitsList", QStringLiteral("Выходы"),
                                     "clearExitsButton", "copyExitsButton", bottomPanel));
    strip->addWidget(objectListGroup(trapsLabel, trapsList, clearTrapsButton, copyTrapsButton, "trapsLabel",
                                     QStringLiteral("Ловушки:"), "trapsList", QStringLiteral("Ловушки"),
                                     "clearTrapsButton", "copyTrapsButton", bottomPanel));
    strip->addWidget(objectListGroup(flagsLabel, flagsList, clearFlagsButton, copyFlagsButton, "flagsLabel",
                                     QStringLiteral("Флаги:"), "flagsList", QStringLiteral("Флаги"), "clearFlagsButton",
                                     "copyFlagsButton", bottomPanel));
    keyboardBox = named(new QPlainTextEdit(QStringLiteral("управление с клавиатуры"), bottomPanel), "keyboardBox",
                        QStringLiteral("Управлять передвижением с клавиатуры"));
    keyboardBox->setReadOnly(true);
    keyboardBox->setFixedHeight(40);
    keyboardBox->setMinimumWidth(90);
    keyboardBox->setMaximumWidth(150);
    keyboardBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    keyboardBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    keyboardBox->document()->setDefaultTextOption(QTextOption(Qt::AlignCenter));
    keyboardBox->setPlainText(QStringLiteral("управление с клавиатуры"));
    strip->addWidget(keyboardBox);
    auto* stats = new QVBoxLayout;
    stats->setSpacing(1);
    exploredLabel = named(new QLabel(bottomPanel), "exploredLabel", QStringLiteral("Процент открытия этажа"));
    positionLabel = named(new QLabel(bottomPanel), "positionLabel", QStringLiteral("Текущие координаты"));
    QFont bold = positionLabel->font();
    bold.setBold(true);
    positionLabel->setFont(bold);
    frontierLabel = named(new QLabel(bottomPanel), "frontierLabel", QStringLiteral("Путь к неисследованному"));
    frontierLabel->setStyleSheet(QStringLiteral("color: rgb(160, 0, 160);")); // the colour of its dots
    frontierLabel->hide();
    auto* position = new QHBoxLayout;
    position->setSpacing(12);
    position->addWidget(positionLabel);
    position->addWidget(frontierLabel);
    position->addStretch(1);
    // Room for the share and for the position with the assistant's text, each on one line; the lists give it.
    exploredLabel->setWordWrap(true);
    exploredLabel->setMinimumWidth(230);
    stats->addWidget(exploredLabel);
    stats->addLayout(position);
    stats->addStretch(1);
    strip->addLayout(stats);
    strip->addStretch(1);
    loadProgressBar = named(new QProgressBar(bottomPanel), "loadProgressBar");
    loadProgressBar->setOrientation(Qt::Vertical);
    loadProgressBar->setRange(0, 100);
    loadProgressBar->setValue(0);
    loadProgressBar->setTextVisible(false);
    loadProgressBar->setFixedWidth(12);
    strip->addWidget(loadProgressBar);

    m_bottomSplitter->addWidget(m_mainSplitter);
    m_bottomSplitter->addWidget(bottomPanel);
    m_bottomSplitter->setStretchFactor(0, 1);
    m_bottomSplitter->setStretchFactor(1, 0);
    m_bottomSplitter->setHandleWidth(7);
    m_bottomSplitter->setSizes({766 - 29 - 59 - 7, 59});
    bottomSplitter = m_bottomSplitter->clickHandle(1);
    bottomSplitter->setObjectName(QStringLiteral("bottomSplitter"));
    m_bottomSplitter->setCollapsing(bottomSplitter, 1, 0, 52);

    // The login box floats over the browser.
    loginPanel = new LoginPanel(m_settings, m_prompts, browserTabs);
    const LoginPanel::Controls& login = loginPanel->controls();
    loginTitle = login.loginTitle;
    loginLabel = login.loginLabel;
    loginEdit = login.loginEdit;
    passwordLabel = login.passwordLabel;
    passwordEdit = login.passwordEdit;
    autoLoginBox = login.autoLoginBox;
    loginOkButton = login.loginOkButton;
    loginCancelButton = login.loginCancelButton;

    m_poller = new PagePoller(this);
    pollTimer = m_poller->timer();
    m_tabs = new BrowserTabs(browserTabs, addressBox, m_profile, m_gameServer, this);
    tabDoubleClickTimer = m_tabs->doubleClickTimer();
    initialState();
}

void MainWindow::initialState()
{
    setWindowTitle(Title());
    exploredLabel->setText(QStringLiteral("Процент открытия уровня: "));
    positionLabel->clear();
    for (QPlainTextEdit* memo : {exitsList, transitionsList, trapsList, flagsList})
        memo->clear();
    loginPanel->hide();
    backButton->setEnabled(false);
    forwardButton->setEnabled(false);
    addressBox->setEditText(m_gameServer + QStringLiteral("/login.php"));
    mapGrid->setToolTip(QStringLiteral("0 0"));
    m_tabs->LastBrowser = gameBrowser;
}

} // namespace veldor
