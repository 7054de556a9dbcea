// The page reader's side of the window: frame capture, the polling tick, the combat reaction and the
// arrow keys.
#include "mainwindow.h"

#include "app/folder/workfolder.h"
#include "app/parts/listsstrip.h"
#include "app/parts/wayguide.h"

#include "app/folder/workfolder.h"
#include "app/parts/loginpanel.h"
#include "app/play/eventsounds.h"
#include "app/play/keywalker.h"
#include "app/play/sessionkeeper.h"
#include "app/sharing/squadsync.h"
#include "browser/browserview.h"
#include "browser/pagebridge.h"
#include "browser/pagepoller.h"
#include "mapview/clicksplitter.h"
#include "mapview/gridchanges.h"
#include "mapview/mapgrid.h"
#include "route/frontier.h"
#include "route/route.h"
#include "settings/loginform.h"
#include "ui/qtcodec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

namespace veldor {
namespace {

// The cells the window draws something of its own on: the player and the route dots.
GridChanges::Cells marked(const ReaderState& reader, const ExitRoute& route, const FrontierRoute& frontier)
{
    GridChanges::Cells cells = route.ExitPath;
    cells.insert(cells.end(), frontier.path.begin(), frontier.path.end());
    cells.push_back(frontier.opening);
    cells.emplace_back(reader.ViewX, reader.ViewY);
    return cells;
}

} // namespace

void MainWindow::noteFrameLoaded(BrowserView* browser, const QString& frameName, bool topLevel, const QString& origin)
{
    if (!topLevel)
        m_state.poller->frameLoaded(browser, frameName, origin);
    m_ui.stopButton->setEnabled(true);
}

void MainWindow::recognize(const PageLines& game)
{
    m_state.listsChanged = false;
    // A tick repaints only what it changed: most ticks change nothing, a move a few cells.
    m_state.gridChanges->before(*m_state.atlas, m_shownLab, m_shownLevel,
                                marked(m_reader, *m_state.route, m_state.frontier->route()));
    const LevelCell before{m_reader.PageLevel, m_reader.ViewX, m_reader.ViewY};
    RecognizePage(game, *m_state.atlas, m_reader, *this);
    restoreAfterCombat(ShowsLabyrinth(game));
    const LevelCell after{m_reader.PageLevel, m_reader.ViewX, m_reader.ViewY};
    if (after != before) {
        // Another level right after a way down or up: where it leads is learned.
        if (before.x != 0)
            LearnLink(*m_state.atlas, m_state.work->links(), m_playerLab, before, after);
        m_state.way->walked();
    }
    m_state.work->changed(m_playerLab);
    if (m_state.squad)
        m_state.squad->mapChanged();
    if (m_state.listsChanged)
        m_state.lists->showLists(*m_state.atlas, m_shownLab);
    updateFrontier();
    if (m_state.gridChanges->after(*m_state.atlas, m_shownLab, m_shownLevel,
                                   marked(m_reader, *m_state.route, m_state.frontier->route()), *m_ui.mapGrid))
        updateLevelStatistics(); // the cell just walked counts too
    m_state.walker->pageRead();  // a step the page shows lets the next waiting key go
    m_state.session->gameRead(ShowsLoginForm(game));
}

bool MainWindow::soundsEnabled() const
{
    return m_ui.soundsBox->isChecked();
}

void MainWindow::showLevel(int level)
{
    const bool other = level != m_shownLevel;
    m_shownLevel = level;
    m_ui.levelBox->setCurrentIndex(level < m_ui.levelBox->count() ? level : -1);
    if (other) {
        updateLevelStatistics();
        m_ui.mapGrid->viewport()->update();
    }
}

void MainWindow::playSound(std::string_view fileName)
{
    m_state.sounds->play(QString::fromLatin1(fileName.data(), static_cast<qsizetype>(fileName.size())));
}

void MainWindow::setCoordinatesText(const std::string& text)
{
    m_ui.positionLabel->setText(QString::fromStdString(text));
}

void MainWindow::followPlayer(int viewX, int viewY)
{
    // A step brings the map back to the player from wherever the overview or the search showed.
    if (m_shownLab != m_playerLab) {
        showLabyrinth(m_playerLab);
        showLevel(m_reader.PageLevel);
    }
    m_ui.mapGrid->followCell(viewX, viewY, LabSide(m_shownLab));
    if (m_ui.exitRouteBox->isChecked())
        findExitPath();
    // The tick repaints what changed (recognize).
}

void MainWindow::setCaptionPrefix(const std::string& prefix)
{
    setWindowTitle(prefix.empty() ? Title() : fromCp1251(prefix) + QStringLiteral("  ") + Title());
}

void MainWindow::collapseForCombat()
{
    if (!m_ui.hidePanelsBox->isChecked())
        return;
    // Only ever collapses: an area already down to 5 pixels stays so.
    const std::pair<ClickSplitter*, ClickSplitterHandle*> areas[] = {{m_state.mainSplitter, m_ui.mapSplitter},
                                                                     {m_state.mainSplitter, m_ui.sidePanelSplitter},
                                                                     {m_state.bottomSplitter, m_ui.bottomSplitter}};
    for (const auto& [splitter, handle] : areas) {
        if (splitter->collapsed(handle))
            continue;
        splitter->collapse(handle);
        m_state.combatCollapsed.emplace_back(splitter, handle);
    }
    m_state.combatSeen = false;
}

void MainWindow::restoreAfterCombat(bool labyrinthShown)
{
    if (m_state.combatCollapsed.empty())
        return;
    if (!labyrinthShown) {
        m_state.combatSeen = true; // the combat's page, not the labyrinth
        return;
    }
    if (!m_state.combatSeen)
        return; // a read of the labyrinth from before the combat's page
    if (m_ui.restorePanelsBox->isChecked())
        for (const auto& [splitter, handle] : m_state.combatCollapsed)
            splitter->restore(handle);
    m_state.combatCollapsed.clear();
}

void MainWindow::showLoginPage()
{
    const LoginForm form = LoginFormFor(toCp1251(m_state.gameServer), m_state.settings.StoredLogin,
                                        m_state.settings.StoredPassword, m_state.settings.AutoLogin);
    if (form.tooLong)
        m_state.startupProblems << QStringLiteral("Логин или пароль в user.dat длиннее %1 знаков: форма входа показана "
                                                  "пустой, автоматический вход не выполнен.")
                                       .arg(kMaxCredential);
    if (form.submit)
        m_ui.gameBrowser->clickFormButtonWhenLoaded(QStringLiteral("Войти"));
    // Windows-1251, as the form always was: the server gets the login in the code page it expects.
    m_ui.gameBrowser->showGeneratedPage(QByteArray::fromStdString(form.page),
                                        QStringLiteral("text/html;charset=windows-1251"),
                                        QUrl(m_state.gameServer + QLatin1Char('/')));
}

} // namespace veldor
