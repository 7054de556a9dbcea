// The page reader's side of the window: frame capture, the polling tick, the combat reaction and the
// arrow keys.
#include "mainwindow.h"

#include "app/folder/workfolder.h"
#include "app/parts/browsertoolbar.h"
#include "app/parts/listsstrip.h"
#include "app/parts/sidepanel.h"
#include "app/parts/wayguide.h"
#include "app/play/eventsounds.h"
#include "app/play/keywalker.h"
#include "app/play/sessionkeeper.h"
#include "app/sharing/squadsync.h"
#include "browser/browserview.h"
#include "browser/pagebridge.h"
#include "browser/pagepoller.h"
#include "mapview/combatpanels.h"
#include "mapview/mapgrid.h"
#include "mapview/mapoverlay.h"
#include "settings/loginform.h"
#include "ui/qtcodec.h"

namespace veldor {

void MainWindow::noteFrameLoaded(BrowserView* browser, const QString& frameName, bool topLevel, const QString& origin)
{
    if (!topLevel)
        m_state.poller->frameLoaded(browser, frameName, origin);
    m_state.toolBar->showLoading();
}

void MainWindow::recognize(const PageLines& game)
{
    m_state.listsChanged = false;
    // A tick repaints only what it changed: most ticks change nothing, a move a few cells.
    m_state.overlay->beforeTick();
    const LevelCell before{m_reader.PageLevel, m_reader.ViewX, m_reader.ViewY};
    RecognizePage(game, *m_state.atlas, m_reader, *this);
    m_state.combat->pageRead(ShowsLabyrinth(game), m_state.side->restorePanels());
    const LevelCell after{m_reader.PageLevel, m_reader.ViewX, m_reader.ViewY};
    if (after != before) {
        // Another level right after a way down or up: where it leads is learned.
        if (before.x != 0)
            LearnLink(*m_state.atlas, m_state.work->links(), m_playerLab, before, after);
        m_state.way->walked();
        if (m_state.squad && after.x != 0)
            m_state.squad->playerAt({m_playerLab, after.level, after.x, after.y},
                                    before.x != 0 && before.level != after.level);
    }
    m_state.work->changed(m_playerLab);
    if (m_state.squad)
        m_state.squad->mapChanged();
    if (m_state.listsChanged)
        m_state.lists->showLists(*m_state.atlas, m_shownLab);
    updateFrontier();
    if (m_state.overlay->afterTick(*m_ui.mapGrid))
        updateLevelStatistics(); // the cell just walked counts too
    m_state.walker->pageRead();  // a step the page shows lets the next waiting key go
    m_state.session->gameRead(ShowsLoginForm(game));
}

bool MainWindow::soundsEnabled() const
{
    return m_state.side->playSounds();
}

void MainWindow::showLevel(int level)
{
    const bool other = level != m_shownLevel;
    m_shownLevel = level;
    m_state.side->showLevel(level);
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
    m_state.lists->showPosition(QString::fromStdString(text));
}

void MainWindow::followPlayer(int viewX, int viewY)
{
    // A step brings the map back to the player from wherever the overview or the search showed.
    if (m_shownLab != m_playerLab) {
        showLabyrinth(m_playerLab);
        showLevel(m_reader.PageLevel);
    }
    m_ui.mapGrid->followCell(viewX, viewY, LabSide(m_shownLab));
    if (m_state.side->exitRoute())
        findExitPath();
    // The tick repaints what changed (recognize).
}

void MainWindow::setCaptionPrefix(const std::string& prefix)
{
    setWindowTitle(prefix.empty() ? Title() : fromCp1251(prefix) + QStringLiteral("  ") + Title());
}

void MainWindow::collapseForCombat()
{
    if (m_state.side->hidePanels())
        m_state.combat->combatStarted();
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
