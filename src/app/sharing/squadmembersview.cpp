#include "app/sharing/squadmembersview.h"

#include "app/sharing/squadsync.h"
#include "map/merge.h"
#include "ui/qtcodec.h"
#include "ui/russian.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace veldor {

namespace {

// The columns, left to right.
enum Column
{
    Player,
    Where,
    When,
    Brought,
    Take,
    Written,
    State,
    ColumnCount
};

QString whereText(const SquadSync::Member& m)
{
    if (m.place.lab == 0)
        return QStringLiteral("—");
    return QStringLiteral("%1, уровень %2, %3x%4")
        .arg(fromUtf8Text(LabyrinthName(m.place.lab)))
        .arg(m.place.level)
        .arg(m.place.x)
        .arg(m.place.y);
}

} // namespace

SquadMembersView::SquadMembersView(SquadSync* squad, const std::function<void(const QString&)>& wayTo, QWidget* parent)
    : QDialog(parent)
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
    auto* table = new QTableWidget(int(members.size()), ColumnCount, this);
    table->setObjectName(QStringLiteral("SquadMembersTable"));
    table->setHorizontalHeaderLabels({QStringLiteral("Игрок"), QStringLiteral("Где стоит"), QStringLiteral("Когда"),
                                      QStringLiteral("Принёс за сеанс"), QStringLiteral("Брать карты"),
                                      QStringLiteral("Карты записаны"), QStringLiteral("Состояние")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (int row = 0; row < members.size(); ++row) {
        const SquadSync::Member& m = members[row];
        QString name = m.name;
        if (m.looksLikeOurs)
            name += QStringLiteral(" (похоже на ваше имя!)");
        QStringList state;
        if (!m.state.isEmpty())
            state << m.state;
        if (m.cellsSkipped > 0)
            state << QStringLiteral("пропущено клеток с неверными данными: %1")
                         .arg(QLocale(QLocale::Russian).toString(m.cellsSkipped));
        if (const QString bounds =
                markerLimits(m.markersCut, m.markersSkipped, qint64(kMaxMarkerTaken), kMaxMarkersTaken);
            !bounds.isEmpty())
            state << bounds;
        auto* player = new QTableWidgetItem(name);
        player->setData(Qt::UserRole, m.name);
        table->setItem(row, Player, player);
        table->setItem(row, Where, new QTableWidgetItem(whereText(m)));
        table->setItem(row, When,
                       new QTableWidgetItem(m.place.lab == 0 ? QStringLiteral("—") : AgoText(now - m.placeAtMs)));
        table->setItem(row, Brought,
                       new QTableWidgetItem(QStringLiteral("%1, %2").arg(cellCount(m.cells), entryCount(m.entries))));
        auto* take = new QCheckBox(QStringLiteral("Брать карты"));
        take->setObjectName(QStringLiteral("take_") + m.name);
        take->setChecked(m.taken);
        connect(take, &QCheckBox::toggled, this, [squad, member = m.name](bool on) { squad->setTaken(member, on); });
        table->setCellWidget(row, Take, take);
        table->setItem(row, Written,
                       new QTableWidgetItem(m.written.isValid() ? m.written.toString(QStringLiteral("dd.MM.yyyy HH:mm"))
                                                                : QStringLiteral("—")));
        table->setItem(row, State, new QTableWidgetItem(state.join(QStringLiteral("; "))));
    }
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
    table->setVisible(!members.isEmpty());
    layout->addWidget(table);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* way = buttons->addButton(QStringLiteral("Путь к участнику"), QDialogButtonBox::ActionRole);
    way->setObjectName(QStringLiteral("wayToMemberButton"));
    way->setToolTip(QStringLiteral("Проложить путь к тому, кто выбран в списке, туда, где он стоит"));
    const auto chosen = [table]() -> QString {
        const QList<QTableWidgetItem*> items = table->selectedItems();
        return items.isEmpty() ? QString() : table->item(items.front()->row(), Player)->data(Qt::UserRole).toString();
    };
    const auto known = [members](const QString& name) {
        for (const SquadSync::Member& m : members)
            if (m.name == name)
                return m.place.lab != 0;
        return false;
    };
    way->setEnabled(false);
    connect(table, &QTableWidget::itemSelectionChanged, way,
            [way, chosen, known] { way->setEnabled(known(chosen())); });
    connect(way, &QPushButton::clicked, this, [wayTo, chosen] {
        if (wayTo && !chosen().isEmpty())
            wayTo(chosen());
    });
    connect(table, &QTableWidget::itemDoubleClicked, this, [wayTo, chosen, known] {
        if (wayTo && known(chosen()))
            wayTo(chosen());
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(900, 320);
}

} // namespace veldor
