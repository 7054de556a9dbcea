#include "app/sharing/squadmembersview.h"

#include "app/sharing/squadsync.h"
#include "map/merge.h"
#include "ui/russian.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QVBoxLayout>

namespace veldor {

SquadMembersView::SquadMembersView(SquadSync* squad, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SquadMembersDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Отряд"));
    auto* layout = new QVBoxLayout(this);
    if (squad && squad->nameTaken())
        layout->addWidget(new QLabel(QStringLiteral("Имя «%1» в общей папке пишет и другой компьютер: смените имя "
                                                    "на странице «Настройки» (кнопка «Имя в папке…»).")
                                         .arg(squad->name())));
    if (squad && squad->groupMarkersLeftOut() > 0)
        layout->addWidget(
            new QLabel(QStringLiteral("Маркеров от отряда набралось %1, больше Вельдор не берёт: не взято "
                                      "%2.")
                           .arg(QLocale(QLocale::Russian).toString(qint64(GroupMarkers::kMax)),
                                markerCount(squad->groupMarkersLeftOut()))));
    const QList<SquadSync::Member> members = squad ? squad->members() : QList<SquadSync::Member>{};
    if (members.isEmpty())
        layout->addWidget(new QLabel(QStringLiteral("В общей папке отряда пока нет карт других игроков.")));
    auto* table = new QTableWidget(int(members.size()), 4, this);
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
        table->setItem(row, 1,
                       new QTableWidgetItem(m.written.isValid() ? m.written.toString(QStringLiteral("dd.MM.yyyy HH:mm"))
                                                                : QStringLiteral("—")));
        table->setItem(row, 2, new QTableWidgetItem(state.join(QStringLiteral("; "))));
        auto* take = new QCheckBox(QStringLiteral("Брать карты"));
        take->setObjectName(QStringLiteral("take_") + m.name);
        take->setChecked(m.taken);
        connect(take, &QCheckBox::toggled, this, [squad, member = m.name](bool on) { squad->setTaken(member, on); });
        table->setCellWidget(row, 3, take); // under its header, as the others
    }
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
    table->setVisible(!members.isEmpty());
    layout->addWidget(table);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 320);
}

} // namespace veldor
