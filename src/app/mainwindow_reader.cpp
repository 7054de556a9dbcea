// The page reader's side of the window: frame capture, the polling tick, the combat reaction and the
// arrow keys.
#include "mainwindow.h"

#include "app/eventsounds.h"
#include "app/keywalker.h"
#include "app/loginpanel.h"
#include "app/sessionkeeper.h"
#include "app/squadsync.h"
#include "app/workfolder.h"
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

void MainWindow::noteFrameLoaded(BrowserView* browser, const QString& frameName, bool topLevel)
{
    if (!topLevel)
        m_poller->frameLoaded(browser, frameName);
    stopButton->setEnabled(true);
}

void MainWindow::pollTick()
{
    m_poller->tick();
}

void MainWindow::recognize(const PageLines& game)
{
    m_listsChanged = false;
    // A tick repaints only what it changed: most ticks change nothing, a move a few cells.
    m_gridChanges->before(*m_atlas, m_shownLab, m_shownLevel, marked(Reader, *m_route, m_frontier->route()));
    RecognizePage(game, *m_atlas, Reader, *this);
    m_work->changed(m_playerLab);
    if (m_squad)
        m_squad->mapChanged();
    if (m_listsChanged)
        fillObjectMemos();
    updateFrontier();
    if (m_gridChanges->after(*m_atlas, m_shownLab, m_shownLevel, marked(Reader, *m_route, m_frontier->route()),
                             *mapGrid))
        updateLevelStatistics(); // the cell just walked counts too
    m_walker->pageRead();        // a step the page shows lets the next waiting key go
    m_session->gameRead(ShowsLoginForm(game));
}

bool MainWindow::soundsEnabled() const
{
    return soundsBox->isChecked();
}

void MainWindow::showLevel(int level)
{
    const bool other = level != m_shownLevel;
    m_shownLevel = level;
    levelBox->setCurrentIndex(level < levelBox->count() ? level : -1);
    if (other) {
        updateLevelStatistics();
        mapGrid->viewport()->update();
    }
}

void MainWindow::playSound(std::string_view fileName)
{
    m_sounds->play(QString::fromLatin1(fileName.data(), static_cast<qsizetype>(fileName.size())));
}

void MainWindow::setCoordinatesText(const std::string& text)
{
    positionLabel->setText(QString::fromStdString(text));
}

void MainWindow::followPlayer(int viewX, int viewY)
{
    // A step brings the map back to the player from wherever the overview or the search showed.
    if (m_shownLab != m_playerLab) {
        showLabyrinth(m_playerLab);
        showLevel(Reader.PageLevel);
    }
    mapGrid->followCell(viewX, viewY, LabSide(m_shownLab));
    if (exitRouteBox->isChecked())
        findExitPath();
    // The tick repaints what changed (recognize).
}

void MainWindow::setCaptionPrefix(const std::string& prefix)
{
    setWindowTitle(prefix.empty() ? Title() : fromCp1251(prefix) + QStringLiteral("  ") + Title());
}

void MainWindow::collapseForCombat()
{
    if (!hidePanelsBox->isChecked())
        return;
    // Only ever collapses: an area already down to 5 pixels stays so.
    m_mainSplitter->collapse(mapSplitter);
    m_mainSplitter->collapse(sidePanelSplitter);
    m_bottomSplitter->collapse(bottomSplitter);
}

void MainWindow::showLoginPage()
{
    const LoginForm form =
        LoginFormFor(toCp1251(m_gameServer), m_settings.StoredLogin, m_settings.StoredPassword, m_settings.AutoLogin);
    if (form.tooLong)
        m_startupProblems << QStringLiteral("Логин или пароль в user.dat длиннее %1 знаков: форма входа показана "
                                            "пустой, автоматический вход не выполнен.")
                                 .arg(kMaxCredential);
    if (form.submit)
        gameBrowser->clickFormButtonWhenLoaded(QStringLiteral("Войти"));
    // Windows-1251, as the form always was: the server gets the login in the code page it expects.
    gameBrowser->showGeneratedPage(QByteArray::fromStdString(form.page),
                                   QStringLiteral("text/html;charset=windows-1251"),
                                   QUrl(m_gameServer + QLatin1Char('/')));
}

} // namespace veldor
