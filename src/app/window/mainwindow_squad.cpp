// The group's shared folder: its switch and folder on the settings page, the status line, the members.
#include "mainwindow.h"

#include "app/folder/mapedits.h"
#include "app/folder/workfolder.h"
#include "app/sharing/squadmembersview.h"
#include "app/sharing/squadsync.h"
#include "map/squad.h"
#include "ui/prompts.h"
#include "ui/qtcodec.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

namespace veldor {

void MainWindow::connectSquad()
{
    if (m_state.work->readOnly())
        return; // the window that owns the folder writes it
    m_state.squad = new SquadSync(
        {m_state.atlas.get(), [this] { mapChanged(0); }, m_state.work->folder(), &m_state.work->links()}, ini(), this);
    m_state.work->setOnSaved([this] { m_state.squad->writeOut(); });
    // The group's line in the status bar comes with its first word, not before.
    connect(m_state.squad, &SquadSync::statusChanged, this, [this](const QString& line) {
        if (!m_ui.squadLabel && !line.isEmpty()) {
            m_ui.squadLabel = new QLabel(statusBar());
            m_ui.squadLabel->setObjectName(QStringLiteral("squadLabel"));
            statusBar()->addPermanentWidget(m_ui.squadLabel);
        }
        if (m_ui.squadLabel)
            m_ui.squadLabel->setText(line);
    });
    m_ui.squadBox->setChecked(m_state.squad->enabled());
    m_ui.squadFolderButton->setText(m_state.squad->folder().isEmpty() ? QStringLiteral("…")
                                                                      : QDir(m_state.squad->folder()).dirName());
    connect(m_ui.squadBox, &QCheckBox::clicked, this,
            [this](bool on) { configureSquad(on, on && m_state.squad->folder().isEmpty()); });
    connect(m_ui.squadFolderButton, &QPushButton::clicked, this, [this] { configureSquad(true, true); });
    connect(m_ui.squadNameButton, &QPushButton::clicked, this,
            [this] { configureSquad(m_state.squad->enabled(), false, true); });
    connect(m_ui.squadMembersAction, &QAction::triggered, this, &MainWindow::showSquadMembers);
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
    m_ui.squadBox->setChecked(m_state.squad->enabled());
    m_ui.squadFolderButton->setText(folder.isEmpty() ? QStringLiteral("…") : QDir(folder).dirName());
}

void MainWindow::showSquadMembers()
{
    delete findChild<SquadMembersView*>();
    (new SquadMembersView(m_state.squad, this))->show();
}

} // namespace veldor
