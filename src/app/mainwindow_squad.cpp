// The group's shared folder: its switch and folder on the settings page, the status line, the members.
#include "mainwindow.h"

#include "app/mapedits.h"
#include "app/squadsync.h"
#include "app/workfolder.h"
#include "map/merge.h"
#include "map/squad.h"
#include "ui/prompts.h"
#include "ui/qtcodec.h"
#include "ui/russian.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace veldor {

void MainWindow::connectSquad()
{
    if (m_state.work->readOnly())
        return; // the window that owns the folder writes it
    m_state.squad = new SquadSync(
        {m_state.atlas.get(), [this] { mapChanged(0); }, m_state.work->folder(), &m_state.work->links()}, ini(), this);
    m_state.work->setOnSaved([this] { m_state.squad->writeOut(); });
    // The status strip appears with the first word about the group, not before.
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
    // Beside the window, as the atlas overview: the game goes on while it is open.
    delete findChild<QDialog*>(QStringLiteral("SquadMembersDialog"));
    auto* dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("SquadMembersDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Отряд"));
    auto* layout = new QVBoxLayout(dialog);
    if (m_state.squad && m_state.squad->nameTaken())
        layout->addWidget(new QLabel(QStringLiteral("Имя «%1» в общей папке пишет и другой компьютер: смените имя "
                                                    "на странице «Настройки» (кнопка «Имя в папке…»).")
                                         .arg(m_state.squad->name())));
    if (m_state.squad && m_state.squad->groupMarkersLeftOut() > 0)
        layout->addWidget(
            new QLabel(QStringLiteral("Маркеров от отряда набралось %1, больше Вельдор не берёт: не взято "
                                      "%2.")
                           .arg(QLocale(QLocale::Russian).toString(qint64(GroupMarkers::kMax)),
                                markerCount(m_state.squad->groupMarkersLeftOut()))));
    const QList<SquadSync::Member> members = m_state.squad ? m_state.squad->members() : QList<SquadSync::Member>{};
    if (members.isEmpty())
        layout->addWidget(new QLabel(QStringLiteral("В общей папке отряда пока нет карт других игроков.")));
    auto* table = new QTableWidget(int(members.size()), 4, dialog);
    table->setObjectName(QStringLiteral("SquadMembersTable"));
    table->setHorizontalHeaderLabels({QStringLiteral("Игрок"), QStringLiteral("Записал"), QStringLiteral("Состояние"),
                                      QStringLiteral("Брать карты")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < members.size(); ++row) {
        const SquadSync::Member& m = members[row];
        QString name = m.name;
        if (m.looksLikeOurs)
            name += QStringLiteral(" (похоже на ваше имя!)");
        QStringList state;
        state << (m.state.isEmpty()
                      ? QStringLiteral("принёс за сеанс: %1, %2").arg(cellCount(m.cells), entryCount(m.entries))
                      : m.state);
        if (m.cellsSkipped > 0)
            state << QStringLiteral("пропущено клеток с неверными данными: %1")
                         .arg(QLocale(QLocale::Russian).toString(m.cellsSkipped));
        if (const QString bounds =
                markerLimits(m.markersCut, m.markersSkipped, qint64(kMaxMarkerTaken), kMaxMarkersTaken);
            !bounds.isEmpty())
            state << bounds;
        table->setItem(row, 0, new QTableWidgetItem(name));
        table->setItem(row, 2,
                       new QTableWidgetItem(m.written.isValid() ? m.written.toString(QStringLiteral("dd.MM.yyyy HH:mm"))
                                                                : QStringLiteral("—")));
        table->setItem(row, 3, new QTableWidgetItem(state.join(QStringLiteral("; "))));
        auto* take = new QCheckBox(QStringLiteral("Брать карты"));
        take->setObjectName(QStringLiteral("take_") + m.name);
        take->setChecked(m.taken);
        connect(take, &QCheckBox::toggled, this,
                [this, member = m.name](bool on) { m_state.squad->setTaken(member, on); });
        table->setCellWidget(row, 1, take);
    }
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
    table->setVisible(!members.isEmpty());
    layout->addWidget(table);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog->resize(720, 320);
    dialog->show();
}

} // namespace veldor
