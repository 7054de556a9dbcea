// The group's shared folder: its switch and folder on the settings page, the status line, the members.
#include "mainwindow.h"

#include "app/folder/mapedits.h"
#include "app/folder/workfolder.h"
#include "app/parts/mainmenus.h"
#include "app/parts/mapcommands.h"
#include "app/parts/sidepanel.h"
#include "app/parts/wayguide.h"
#include "app/sharing/squadmembersview.h"
#include "app/sharing/squadsync.h"
#include "map/squad.h"
#include "mapview/mapgrid.h"
#include "mapview/mapoverlay.h"
#include "ui/prompts.h"
#include "ui/qtcodec.h"

#include <QDir>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace veldor {

void MainWindow::connectSquad()
{
    if (m_state.work->readOnly())
        return; // the window that owns the folder writes it
    m_state.squad = new SquadSync(
        {m_state.atlas.get(), [this] { mapChanged(0); }, m_state.work->folder(), &m_state.work->links()}, ini(), this);
    m_state.work->setOnSaved([this] { m_state.squad->writeOut(); });
    connect(m_state.squad, &SquadSync::statusChanged, this, &MainWindow::showSquadLine);
    const QString folder = m_state.squad->folder();
    m_state.side->showSquad(m_state.squad->enabled(), folder.isEmpty() ? QString() : QDir(folder).dirName(),
                            m_state.squad->showsPlace());
    connect(m_state.side, &SidePanel::squadPlaceSwitched, m_state.squad, &SquadSync::setShowsPlace);
    connect(m_state.mapCommands, &MapCommands::cellEdited, m_state.squad, &SquadSync::ownCell);
    connect(m_state.squad, &SquadSync::placesChanged, this, &MainWindow::showTeammates);
    // Old places fade, then go.
    auto* fading = new QTimer(this);
    fading->setInterval(30000);
    connect(fading, &QTimer::timeout, this, [this] { m_ui.mapGrid->viewport()->update(); });
    fading->start();
    connect(m_state.side, &SidePanel::squadSwitched, this,
            [this](bool on) { configureSquad(on, on && m_state.squad->folder().isEmpty()); });
    connect(m_state.side, &SidePanel::squadFolderAsked, this, [this] { configureSquad(true, true); });
    connect(m_state.side, &SidePanel::squadNameAsked, this,
            [this] { configureSquad(m_state.squad->enabled(), false, true); });
    connect(m_state.menus, &MainMenus::squadMembersAsked, this, &MainWindow::showSquadMembers);
}

void MainWindow::showSquadLine(const QString& line)
{
    // The group's line in the status bar comes with its first word, not before.
    if (!m_ui.squadLabel && !line.isEmpty()) {
        m_ui.squadLabel = new QLabel(statusBar());
        m_ui.squadLabel->setObjectName(QStringLiteral("squadLabel"));
        statusBar()->addPermanentWidget(m_ui.squadLabel);
    }
    if (m_ui.squadLabel)
        m_ui.squadLabel->setText(line);
}

void MainWindow::configureSquad(bool on, bool chooseFolder, bool chooseName)
{
    QString folder = m_state.squad->folder();
    while (chooseFolder) {
        folder = m_state.prompts->askFolder(this, QStringLiteral("Общая папка отряда"), folder);
        const QString problem = m_state.squad->folderProblem(folder);
        if (problem.isEmpty())
            break;
        m_state.prompts->showError(this, QStringLiteral("Папка «%1» не годится как общая папка отряда: %2.")
                                             .arg(QDir::toNativeSeparators(folder), problem));
    }
    QString name =
        m_state.squad->name().isEmpty() ? fromCp1251(m_state.settings.StoredLogin).trimmed() : m_state.squad->name();
    while ((on && !folder.isEmpty() && !ValidMemberName(name.toStdString())) || chooseName) {
        chooseName = false;
        if (!m_state.prompts->askText(
                this, QStringLiteral("Имя в общей папке"),
                QStringLiteral("Ваше имя в папке отряда (буквы одного алфавита, цифры, «-» и «_»):"), name))
            return;
    }
    m_state.squad->configure(folder, name, on && !folder.isEmpty());
    m_state.side->showSquad(m_state.squad->enabled(), folder.isEmpty() ? QString() : QDir(folder).dirName(),
                            m_state.squad->showsPlace());
}

void MainWindow::showTeammates()
{
    std::vector<MapOverlay::Teammate> teammates;
    for (const SquadSync::Member& m : m_state.squad->members())
        if (m.place.lab != 0)
            teammates.push_back({m.name, m.place, m.placeAtMs});
    m_state.overlay->setTeammates(std::move(teammates));
    m_ui.mapGrid->viewport()->update();
    m_ui.mapGrid->refreshHint();
}

void MainWindow::wayToMember(const QString& name)
{
    for (const SquadSync::Member& m : m_state.squad->members()) {
        if (m.name != name || m.place.lab == 0)
            continue;
        showCell(m.place.lab, m.place.level, m.place.x, m.place.y); // the way is seen where it leads
        m_state.way->askAt(m.place.lab, WayTarget::Cell, {m.place.level, m.place.x, m.place.y});
        return;
    }
    statusBar()->showMessage(QStringLiteral("Где стоит %1, неизвестно").arg(name), 5000);
}

void MainWindow::showSquadMembers()
{
    delete findChild<SquadMembersView*>();
    (new SquadMembersView(
         m_state.squad, [this](const QString& name) { wayToMember(name); }, this))
        ->show();
}

} // namespace veldor
