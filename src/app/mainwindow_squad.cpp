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
    if (m_work->readOnly())
        return; // the window that owns the folder writes it
    m_squad = new SquadSync({m_atlas.get(), [this] { mapChanged(0); }, m_work->folder()}, ini(), this);
    m_work->setOnSaved([this] { m_squad->writeOut(); });
    // The status strip appears with the first word about the group, not before.
    connect(m_squad, &SquadSync::statusChanged, this, [this](const QString& line) {
        if (!squadLabel && !line.isEmpty()) {
            squadLabel = new QLabel(statusBar());
            squadLabel->setObjectName(QStringLiteral("squadLabel"));
            statusBar()->addPermanentWidget(squadLabel);
        }
        if (squadLabel)
            squadLabel->setText(line);
    });
    squadBox->setChecked(m_squad->enabled());
    squadFolderButton->setText(m_squad->folder().isEmpty() ? QStringLiteral("…") : QDir(m_squad->folder()).dirName());
    connect(squadBox, &QCheckBox::clicked, this,
            [this](bool on) { configureSquad(on, on && m_squad->folder().isEmpty()); });
    connect(squadFolderButton, &QPushButton::clicked, this, [this] { configureSquad(true, true); });
    connect(squadNameButton, &QPushButton::clicked, this, [this] { configureSquad(m_squad->enabled(), false, true); });
    connect(squadMembersAction, &QAction::triggered, this, &MainWindow::showSquadMembers);
}

void MainWindow::configureSquad(bool on, bool chooseFolder, bool chooseName)
{
    QString folder = m_squad->folder();
    while (chooseFolder) {
        folder = m_prompts->askFolder(this, QStringLiteral("Общая папка отряда"), folder);
        const QString problem = m_squad->folderProblem(folder);
        if (problem.isEmpty())
            break;
        m_prompts->showError(this, QStringLiteral("Папка «%1» не годится как общая папка отряда: %2.")
                                       .arg(QDir::toNativeSeparators(folder), problem));
    }
    QString name = m_squad->name().isEmpty() ? fromCp1251(m_settings.StoredLogin).trimmed() : m_squad->name();
    while ((on && !folder.isEmpty() && !ValidMemberName(name.toStdString())) || chooseName) {
        chooseName = false;
        if (!m_prompts->askText(this, QStringLiteral("Имя в общей папке"),
                                QStringLiteral("Ваше имя в папке отряда (буквы одного алфавита, цифры, «-» и «_»):"),
                                name))
            return;
    }
    m_squad->configure(folder, name, on && !folder.isEmpty());
    squadBox->setChecked(m_squad->enabled());
    squadFolderButton->setText(folder.isEmpty() ? QStringLiteral("…") : QDir(folder).dirName());
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
    if (m_squad && m_squad->nameTaken())
        layout->addWidget(new QLabel(QStringLiteral("Имя «%1» в общей папке пишет и другой компьютер: смените имя "
                                                    "на странице «Настройки» (кнопка «Имя в папке…»).")
                                         .arg(m_squad->name())));
    const QList<SquadSync::Member> members = m_squad ? m_squad->members() : QList<SquadSync::Member>{};
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
        connect(take, &QCheckBox::toggled, this, [this, member = m.name](bool on) { m_squad->setTaken(member, on); });
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
