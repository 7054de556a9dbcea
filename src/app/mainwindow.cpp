#include "mainwindow.h"

#include "app/atlassharing.h"
#include "app/eventsounds.h"
#include "app/keywalker.h"
#include "app/loginpanel.h"
#include "app/pagecontrol.h"
#include "app/sessionkeeper.h"
#include "app/squadsync.h"
#include "app/workfolder.h"
#include "browser/browsertabs.h"
#include "browser/browserview.h"
#include "browser/pagepoller.h"
#include "browser/shellmenus.h"
#include "buildconfig.h"
#include "map/atlasdiff.h"
#include "map/mapfiles.h"
#include "map/markerfile.h"
#include "map/selection.h"
#include "mapview/atlasoverview.h"
#include "mapview/clicksplitter.h"
#include "mapview/gridchanges.h"
#include "mapview/mapgrid.h"
#include "mapview/mapicons.h"
#include "mapview/mapsearch.h"
#include "route/frontier.h"
#include "route/keyboard.h"
#include "route/route.h"
#include "settings/loginform.h"
#include "ui/prompts.h"
#include "ui/qtcodec.h"
#include "ui/windowstyle.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineProfile>

namespace veldor {
MainWindowState::MainWindowState(MainWindowOptions options)
    : m_route(std::make_unique<ExitRoute>()), m_icons(std::make_unique<MapIcons>()),
      m_frontier(std::make_unique<FrontierSearch>()), m_gridChanges(std::make_unique<GridChanges>()),
      m_options(std::move(options))
{
    m_workFolder = m_options.workFolder.isEmpty() ? QDir::currentPath() : m_options.workFolder;
    m_gameServer = m_options.gameServer.isEmpty() ? QString::fromLatin1(kGameServer) : m_options.gameServer;
    while (m_gameServer.endsWith(QLatin1Char('/')))
        m_gameServer.chop(1);
    m_prompts = m_options.prompts ? m_options.prompts : std::make_shared<DialogPrompts>();
    m_profileFolder =
        m_options.profileFolder.isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/browser")
            : m_options.profileFolder;
    m_profile = createBrowserProfile(m_profileFolder, nullptr);
}

MainWindowState::~MainWindowState() = default;

MainWindow::MainWindow(MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent), MainWindowState(std::move(options))
{
    setObjectName(QStringLiteral("MainWindow"));
    m_sounds = new EventSounds(m_workFolder, this);
    m_work = std::make_unique<WorkFolder>(m_workFolder, *m_atlas, m_prompts, this);
    // The password character and the hint delay of the layout come from the application's style.
    WindowStyle::install();
    buildMenus();
    buildLayout();
    connectHandlers();
    runStartup();
    if (!m_startupProblems.isEmpty())
        QTimer::singleShot(0, this, &MainWindow::reportStartupProblems);
}

QString MainWindow::Title()
{
    return QStringLiteral("Вельдор — картограф лабиринтов (разработка: команда Вельдора)");
}

MainWindow::~MainWindow()
{
    // Pages must go before the profile they were made with.
    qDeleteAll(findChildren<BrowserView*>());
    delete m_profile;
    // These keep the settings file and the atlas, which go with the window's state before its children.
    delete m_overview;
    delete m_search;
    delete m_squad;
}

void MainWindow::connectHandlers()
{
    connect(labyrinthBox, &QComboBox::activated, this, [this] { chooseLabyrinth(); });
    connect(levelBox, &QComboBox::activated, this, [this] { chooseLevel(); });
    for (QComboBox* box : {fromTownBox, toTownBox, speedBonusBox})
        connect(box, &QComboBox::activated, this, [this] { showTravelTime(); });
    connect(cellSizeSpin, &QSpinBox::valueChanged, this, [this] { applyCellSize(); });
    for (ClickSplitterHandle* handle : {mapSplitter, sidePanelSplitter, bottomSplitter}) {
        connect(handle, &ClickSplitterHandle::canResize, this, &MainWindow::beginSplitterDrag);
        connect(handle, &ClickSplitterHandle::moved, this, &MainWindow::splitterMoved);
    }
    connect(saveMapsButton, &QPushButton::clicked, this, &MainWindow::saveMapsNow);
    connect(exitAction, &QAction::triggered, this, &QWidget::close);
    connect(aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    connect(guideAction, &QAction::triggered, this, [this] { showGuide(QString()); });
    connect(legendAction, &QAction::triggered, this, [this] { showGuide(QStringLiteral("legend")); });
    connect(pollTimer, &QTimer::timeout, this, &MainWindow::pollTick);
    connect(m_poller, &PagePoller::combatFrameLoaded, this, &MainWindow::collapseForCombat);
    connect(m_poller, &PagePoller::pageRead, this,
            [this](const PageLines& game, const PageLines&) { recognize(game); });
    m_walker = new KeyWalker(
        keyboardBox, m_poller, Reader,
        [this](ArrowKey key) {
            return KeyMoveScript(*m_atlas, m_playerLab, Reader.PageLevel, Reader.ViewX, Reader.ViewY, Reader.Fatigue,
                                 passDoorsBox->isChecked(), key);
        },
        this);
    m_session = new SessionKeeper(
        [this] {
            return LoginFormFor({}, m_settings.StoredLogin, m_settings.StoredPassword, m_settings.AutoLogin).submit;
        },
        [this] {
            showLoginPage();
            m_poller->forgetGame();
        },
        this);
    connect(m_session, &SessionKeeper::status, this, [this](const QString& text) {
        if (text.isEmpty())
            statusBar()->clearMessage();
        else
            statusBar()->showMessage(text);
    });
    connectMapHandlers();
    connectSurveyHandlers();
    connectBrowserHandlers();
}

void MainWindow::runStartup()
{
    if (!m_work->lock()) {
        m_quit = true;
        return;
    }
    buildShellMenus();
    FillTravelTables(m_travel);
    applyStoredSettings();
    showLoginPage();
    m_poller->forgetGame(); // a frame reported while the login page loaded is not the game yet
    m_work->loadMaps();
    m_startupProblems << m_work->takeProblems();
    chooseLabyrinth();
    if (m_work->readOnly())
        showReadOnly();
    connectSquad();
}

void MainWindow::showReadOnly()
{
    saveMapsButton->setEnabled(false);
    const QString readOnly = QStringLiteral("Карты открыты только для чтения: их сохраняет другое окно Вельдора");
    saveMapsButton->setToolTip(readOnly);
    auto* label = new QLabel(readOnly + QStringLiteral(". То, что нанесено на карту здесь, можно записать в "
                                                       "другую папку: «Файл» → «Экспорт карт в папку...»."));
    label->setObjectName(QStringLiteral("ReadOnlyLabel"));
    label->setWordWrap(true);
    statusBar()->addWidget(label, 1);
}

void MainWindow::reportStartupProblems()
{
    m_prompts->showError(this, m_startupProblems.join(QStringLiteral("\n\n")));
}

// Each setting a check box shows, once: what user.dat sets at start and what is written back.
std::array<std::pair<QCheckBox*, bool Settings::*>, 4> MainWindow::settingBoxes() const
{
    return {{{passDoorsBox, &Settings::PassDoors},
             {soundsBox, &Settings::PlaySounds},
             {hidePanelsBox, &Settings::HidePanels},
             {frontierBox, &Settings::ShowFrontier}}};
}

void MainWindow::applyStoredSettings()
{
    const SettingsRead read = m_work->loadSettings(m_settings);
    m_startupProblems << m_work->takeProblems();
    if (read.curLab)
        m_shownLab = m_playerLab = static_cast<unsigned>(*read.curLab);
    if (read.cellSize) {
        // The spin box clamps to its range and applies a changed value to the grid.
        cellSizeSpin->setValue(std::clamp(*read.cellSize, cellSizeSpin->minimum(), cellSizeSpin->maximum()));
        const long long index = static_cast<long long>(*read.curLab) - 1;
        labyrinthBox->setCurrentIndex(index >= 0 && index < labyrinthBox->count() ? static_cast<int>(index) : -1);
    }
    for (const auto& [box, value] : settingBoxes())
        box->setChecked(m_settings.*value);
}

Settings MainWindow::currentSettings() const
{
    Settings s = m_settings;
    s.CurLab = static_cast<std::int32_t>(m_playerLab);
    s.CellSize = cellSizeSpin->value();
    for (const auto& [box, value] : settingBoxes())
        s.*value = box->isChecked();
    return s;
}

bool MainWindow::SaveMaps()
{
    return m_work->saveMaps();
}

bool MainWindow::readOnly() const
{
    return m_work->readOnly();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_quit || m_work->mayClose(currentSettings(), [this] { return m_sharing->exportToFolder(); }))
        event->accept();
    else
        event->ignore();
}

void MainWindow::saveMapsNow()
{
    SaveMaps();
}

void MainWindow::showAbout()
{
    // The folders too: a player looking for the maps to back them up opens this box first.
    const QString text =
        QStringLiteral("Вельдор %1\n\nСпутник игрока в лабиринтах: пока вы играете, программа читает страницу игры "
                       "и сама рисует карту уровня.\n\n"
                       "Карты, user.dat и звуки лежат в рабочей папке:\n%2\n"
                       "Запущенная из меню программ, она работает в папке ~/%3.\n\n"
                       "Разработка: команда Вельдора.\nЛицензия: GNU GPL версии 3 или более поздней.")
            .arg(QString::fromLatin1(kVersion), QDir::toNativeSeparators(QDir::currentPath()),
                 QString::fromUtf8(kMenuFolder));
    m_prompts->showInformation(this, QStringLiteral("О программе"), text);
}

void MainWindow::sizeGridForLab()
{
    const int n = LabSide(m_shownLab);
    if (n == 0)
        return;
    mapGrid->setRowCount(n + 1);
    mapGrid->setColCount(n + 1);
    for (int i = 1; i <= n; ++i) {
        mapGrid->setCellText(0, i, QString::number(i));
        mapGrid->setCellText(i, 0, QString::number(i));
    }
    mapGrid->viewport()->update();
}

void MainWindow::fillObjectMemos()
{
    const std::pair<QPlainTextEdit*, ListKind> memos[] = {{exitsList, ListKind::Exits},
                                                          {transitionsList, ListKind::Transitions},
                                                          {trapsList, ListKind::Traps},
                                                          {flagsList, ListKind::Flags}};
    for (const auto& [memo, kind] : memos) {
        // Rewritten only when it changed, so that a scrolled memo stays where the user left it.
        const QString text = fromCp1251(MemoText(*m_atlas, m_shownLab, kind));
        if (memo->toPlainText() != text)
            memo->setPlainText(text);
    }
}

void MainWindow::chooseLabyrinth()
{
    m_playerLab = static_cast<unsigned>(labyrinthBox->currentIndex() + 1);
    showLabyrinth(m_playerLab);
}

void MainWindow::showLabyrinth(unsigned lab)
{
    labyrinthBox->setCurrentIndex(static_cast<int>(lab) - 1);
    levelBox->setCurrentIndex(0);
    m_shownLevel = 0;
    m_shownLab = lab;
    updateLevelStatistics();
    sizeGridForLab();
    fillObjectMemos();
    updateFrontier();
    mapGrid->viewport()->update();
}

void MainWindow::chooseLevel()
{
    m_shownLevel = levelBox->currentIndex();
    Reader.LevelChanged = false;
    sizeGridForLab();
    updateLevelStatistics();
    updateFrontier();
    mapGrid->viewport()->update();
}

void MainWindow::updateLevelStatistics()
{
    if (const auto percent = ExploredPercent(*m_atlas, m_shownLab, m_shownLevel))
        exploredLabel->setText(fromUtf8Text(PercentLabelText(*percent)));
    if (m_overview) // the player's level changes with every step, the shown one with every command
        m_overview->levelChanged(m_playerLab, Reader.PageLevel);
}

void MainWindow::showTravelTime()
{
    travelTimeLabel->setText(fromUtf8Text(TravelEstimateText(
        m_travel, fromTownBox->currentIndex(), toTownBox->currentIndex(), speedBonusBox->currentIndex())));
}

void MainWindow::applyCellSize()
{
    const int size = cellSizeSpin->value();
    // The symbols fill the cell: drawn at 15 pixels they would spill over small cells and sit in a corner of big ones.
    static const MapIcons fullSize;
    *m_icons = size == 15 ? fullSize : fullSize.scaled(size);
    mapGrid->setDefaultColWidth(size);
    mapGrid->setDefaultRowHeight(size);
}

namespace {
ClickSplitter* splitterOf(ClickSplitterHandle* handle)
{
    return qobject_cast<ClickSplitter*>(handle->splitter());
}
} // namespace

void MainWindow::beginSplitterDrag(ClickSplitterHandle* splitter)
{
    splitterOf(splitter)->beginDrag();
}

void MainWindow::splitterMoved(ClickSplitterHandle* splitter)
{
    splitterOf(splitter)->release(splitter);
}

} // namespace veldor
