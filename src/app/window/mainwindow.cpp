#include "mainwindow.h"

#include "app/folder/workfolder.h"
#include "app/parts/listsstrip.h"
#include "app/parts/loginpanel.h"
#include "app/parts/mainmenus.h"
#include "app/parts/sidepanel.h"
#include "app/play/eventsounds.h"
#include "app/play/keywalker.h"
#include "app/play/sessionkeeper.h"
#include "app/sharing/atlassharing.h"
#include "app/sharing/squadsync.h"
#include "browser/browsertabs.h"
#include "browser/browserview.h"
#include "browser/pagepoller.h"
#include "browser/shellmenus.h"
#include "buildconfig.h"
#include "map/mapfiles.h"
#include "map/selection.h"
#include "mapview/atlasoverview.h"
#include "mapview/clicksplitter.h"
#include "mapview/combatpanels.h"
#include "mapview/mapgrid.h"
#include "mapview/mapoverlay.h"
#include "mapview/mapsearch.h"
#include "route/keyboard.h"
#include "settings/loginform.h"
#include "ui/prompts.h"
#include "ui/qtcodec.h"
#include "ui/windowstyle.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineProfile>

namespace veldor {
namespace {
QString withoutTrailingSlash(QString address)
{
    while (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    return address;
}
} // namespace

MainWindowState::MainWindowState(const MainWindowOptions& options)
    : profileFolder(options.profileFolder.isEmpty()
                        ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/browser")
                        : options.profileFolder),
      workFolder(options.workFolder.isEmpty() ? QDir::currentPath() : options.workFolder),
      gameServer(
          withoutTrailingSlash(options.gameServer.isEmpty() ? QString::fromLatin1(kGameServer) : options.gameServer)),
      prompts(options.prompts ? options.prompts : std::make_shared<DialogPrompts>()),
      profile(createBrowserProfile(profileFolder, nullptr))
{}

MainWindowState::~MainWindowState() = default;

MainWindow::MainWindow(const MainWindowOptions& options, QWidget* parent) : QMainWindow(parent), m_state(options)
{
    setObjectName(QStringLiteral("MainWindow"));
    m_state.overlay = std::make_unique<MapOverlay>(*m_state.atlas, [this] {
        return MapOverlay::View{m_shownLab,         m_shownLevel,   m_playerLab,
                                m_reader.PageLevel, m_reader.ViewX, m_reader.ViewY};
    });
    m_state.sounds = new EventSounds(m_state.workFolder, this);
    m_state.work = std::make_unique<WorkFolder>(m_state.workFolder, *m_state.atlas, m_state.prompts, this);
    // The password character and the hint delay of the layout come from the application's style.
    WindowStyle::install();
    buildLayout();
    connectHandlers();
    runStartup();
    if (!m_state.quit)
        restoreShape();
    if (!m_state.startupProblems.isEmpty())
        QTimer::singleShot(0, this, [this] {
            m_state.prompts->showError(this, m_state.startupProblems.join(QStringLiteral("\n\n")));
        });
}

QString MainWindow::Title()
{
    return QStringLiteral("Вельдор — картограф лабиринтов (разработка: команда Вельдора)");
}

MainWindow::~MainWindow()
{
    // Pages must go before the profile they were made with.
    qDeleteAll(findChildren<BrowserView*>());
    delete m_state.profile;
    // These keep the settings file and the atlas, which go with the window's state before its children.
    delete m_state.overview;
    delete m_state.search;
    delete m_state.squad;
}

void MainWindow::connectHandlers()
{
    SidePanel* side = m_state.side;
    connect(side, &SidePanel::labyrinthChosen, this, &MainWindow::chooseLabyrinth);
    connect(side, &SidePanel::levelChosen, this, &MainWindow::chooseLevel);
    connect(side, &SidePanel::cellSizeChanged, this, &MainWindow::applyCellSize);
    for (ClickSplitterHandle* handle : {m_ui.mapSplitter, m_ui.sidePanelSplitter, m_ui.bottomSplitter}) {
        auto* splitter = qobject_cast<ClickSplitter*>(handle->splitter());
        connect(handle, &ClickSplitterHandle::canResize, splitter, [splitter] { splitter->beginDrag(); });
        connect(handle, &ClickSplitterHandle::moved, splitter, [this, splitter, handle] {
            splitter->release(handle);
            m_state.combat->forget(); // the player arranged the areas: they stay as arranged
        });
    }
    connect(side, &SidePanel::saveAsked, this, [this] { m_state.work->saveMaps(); });
    connect(m_state.menus, &MainMenus::quitAsked, this, &QWidget::close);
    connect(m_state.menus, &MainMenus::aboutAsked, this, &MainWindow::showAbout);
    connect(m_state.menus, &MainMenus::guideAsked, this, &MainWindow::showGuide);
    connect(m_state.poller->timer(), &QTimer::timeout, m_state.poller, &PagePoller::tick);
    connect(m_state.poller, &PagePoller::combatFrameLoaded, this, &MainWindow::collapseForCombat);
    connect(m_state.poller, &PagePoller::pageRead, this,
            [this](const PageLines& game, const PageLines&) { recognize(game); });
    m_state.walker = m_state.lists->walkWith(m_state.poller, m_reader, [this](ArrowKey key) {
        return KeyMoveScript(*m_state.atlas, m_playerLab, m_reader.PageLevel, m_reader.ViewX, m_reader.ViewY,
                             m_reader.Fatigue, m_state.side->passDoors(), key);
    });
    m_state.walker->setDoorCheck([this](ArrowKey key) {
        return !m_state.side->passDoors() && KeyMoveScript(*m_state.atlas, m_playerLab, m_reader.PageLevel,
                                                           m_reader.ViewX, m_reader.ViewY, m_reader.Fatigue, true, key);
    });
    m_state.walker->setStandingOn([this] {
        const TMapCell* cell = m_state.atlas->cell(m_playerLab, m_reader.PageLevel, m_reader.ViewX, m_reader.ViewY);
        return cell ? cell->Object : '\0';
    });
    m_state.session = new SessionKeeper(
        [this] {
            return LoginFormFor({}, m_state.settings.StoredLogin, m_state.settings.StoredPassword,
                                m_state.settings.AutoLogin)
                .submit;
        },
        [this] {
            showLoginPage();
            m_state.poller->forgetGame();
        },
        this);
    connect(m_state.session, &SessionKeeper::status, this, [this](const QString& text) {
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
    if (!m_state.work->lock()) {
        m_state.quit = true;
        return;
    }
    addHistoryAndFavorites();
    applyStoredSettings();
    showLoginPage();
    m_state.poller->forgetGame(); // a frame reported while the login page loaded is not the game yet
    m_state.work->loadMaps();
    m_state.startupProblems << m_state.work->takeProblems();
    chooseLabyrinth(m_state.side->labyrinth());
    if (m_state.work->readOnly())
        showReadOnly();
    connectSquad();
}

void MainWindow::showReadOnly()
{
    const QString readOnly = QStringLiteral("Карты открыты только для чтения: их сохраняет другое окно Вельдора");
    m_state.side->blockSaving(readOnly);
    auto* label = new QLabel(readOnly + QStringLiteral(". То, что нанесено на карту здесь, можно записать в "
                                                       "другую папку: «Файл» → «Экспорт карт в папку...»."));
    label->setObjectName(QStringLiteral("ReadOnlyLabel"));
    label->setWordWrap(true);
    statusBar()->addWidget(label, 1);
}

void MainWindow::applyStoredSettings()
{
    const SettingsRead read = m_state.work->loadSettings(m_state.settings);
    m_state.startupProblems << m_state.work->takeProblems();
    if (read.curLab)
        m_shownLab = m_playerLab = static_cast<unsigned>(*read.curLab);
    if (read.cellSize) {
        // Clamped to the box's range; a changed value reaches the grid.
        m_state.side->setCellSize(*read.cellSize);
        // A labyrinth line that did not read leaves the designed selection.
        m_state.side->showLabyrinth(static_cast<unsigned>(read.curLab.value_or(1)));
    }
    m_state.side->showSwitches(m_state.settings);
}

Settings MainWindow::currentSettings() const
{
    Settings s = m_state.settings;
    s.CurLab = static_cast<std::int32_t>(m_playerLab);
    s.CellSize = m_state.side->cellSize();
    m_state.side->takeSwitches(s);
    return s;
}

bool MainWindow::readOnly() const
{
    return m_state.work->readOnly();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_state.quit ||
        m_state.work->mayClose(currentSettings(), [this] { return m_state.sharing->exportToFolder(); })) {
        if (!m_state.quit)
            keepShape();
        event->accept();
    } else {
        event->ignore();
    }
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
    m_state.prompts->showInformation(this, QStringLiteral("О программе"), text);
}

void MainWindow::sizeGridForLab()
{
    const int n = LabSide(m_shownLab);
    if (n == 0)
        return;
    m_ui.mapGrid->setRowCount(n + 1);
    m_ui.mapGrid->setColCount(n + 1);
    for (int i = 1; i <= n; ++i) {
        m_ui.mapGrid->setCellText(0, i, QString::number(i));
        m_ui.mapGrid->setCellText(i, 0, QString::number(i));
    }
    m_ui.mapGrid->viewport()->update();
}

void MainWindow::chooseLabyrinth(unsigned lab)
{
    m_playerLab = lab;
    showLabyrinth(m_playerLab);
}

void MainWindow::showLabyrinth(unsigned lab)
{
    m_state.side->showLabyrinth(lab);
    m_state.side->showLevel(0);
    m_shownLevel = 0;
    m_shownLab = lab;
    updateLevelStatistics();
    sizeGridForLab();
    m_state.lists->showLists(*m_state.atlas, m_shownLab);
    updateFrontier();
    m_ui.mapGrid->viewport()->update();
}

void MainWindow::chooseLevel(int level)
{
    m_shownLevel = level;
    m_reader.LevelChanged = false;
    sizeGridForLab();
    updateLevelStatistics();
    updateFrontier();
    m_ui.mapGrid->viewport()->update();
}

void MainWindow::updateLevelStatistics()
{
    if (const auto text = ExploredLabelText(*m_state.atlas, m_shownLab, m_shownLevel))
        m_state.lists->showExplored(fromUtf8Text(*text));
    if (m_state.overview) // the player's level changes with every step, the shown one with every command
        m_state.overview->levelChanged(m_playerLab, m_reader.PageLevel);
}

void MainWindow::applyCellSize(int size)
{
    m_state.overlay->setCellSize(size);
    m_ui.mapGrid->setDefaultColWidth(size);
    m_ui.mapGrid->setDefaultRowHeight(size);
}

} // namespace veldor
