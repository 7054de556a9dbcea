#include "mapview/mapsearch.h"

#include "map/survey.h"
#include "ui/qtcodec.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace veldor {
namespace {

constexpr std::size_t kShown = 1000;

} // namespace

MapSearch::MapSearch(const Atlas& atlas, std::function<unsigned()> firstLab, QWidget* parent)
    : QWidget(parent, Qt::Window), m_atlas(atlas), m_firstLab(std::move(firstLab))
{
    setObjectName(QStringLiteral("MapSearch"));
    setWindowTitle(QStringLiteral("Найти на карте"));
    m_box = new QLineEdit(this);
    m_box->setObjectName(QStringLiteral("SearchBox"));
    m_box->setPlaceholderText(QStringLiteral("Маркер, сундук, ловушка, спуск, выход..."));
    m_box->setClearButtonEnabled(true);
    m_results = new QTableWidget(0, 4, this);
    m_results->setObjectName(QStringLiteral("SearchResults"));
    m_results->setHorizontalHeaderLabels(
        {QStringLiteral("Лабиринт"), QStringLiteral("Уровень"), QStringLiteral("Клетка"), QStringLiteral("Найдено")});
    m_results->verticalHeader()->hide();
    m_results->horizontalHeader()->setStretchLastSection(true);
    m_results->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_results->setSelectionMode(QAbstractItemView::SingleSelection);
    m_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_count = new QLabel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_box);
    layout->addWidget(m_results, 1);
    layout->addWidget(m_count);
    connect(m_box, &QLineEdit::textChanged, this, &MapSearch::search);
    // Enter in the box shows the selected find, or the first.
    connect(m_box, &QLineEdit::returnPressed, this, [this] { choose(std::max(0, m_results->currentRow())); });
    // Down in the box goes on into the results, the first (or the selected) one chosen.
    auto* down = new QShortcut(QKeySequence(Qt::Key_Down), m_box, nullptr, nullptr, Qt::WidgetShortcut);
    connect(down, &QShortcut::activated, this, [this] {
        if (m_results->rowCount() == 0)
            return;
        m_results->setFocus(Qt::TabFocusReason);
        m_results->selectRow(std::max(0, m_results->currentRow()));
    });
    // Enter on a row or a double click (the view's activation).
    connect(m_results, &QTableWidget::activated, this, [this](const QModelIndex& index) { choose(index.row()); });
    m_results->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_results, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QTableWidgetItem* item = m_results->item(m_results->rowAt(pos.y()), 0);
        const QList<int> at = item ? item->data(Qt::UserRole).value<QList<int>>() : QList<int>();
        if (at.size() != 4)
            return;
        auto* menu = new QMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        const auto lab = static_cast<unsigned>(at[0]);
        menu->addAction(QStringLiteral("Показать"), this, [=, this] { emit cellChosen(lab, at[1], at[2], at[3]); });
        QAction* way =
            menu->addAction(QStringLiteral("Путь сюда"), this, [=, this] { emit wayAsked(lab, at[1], at[2], at[3]); });
        way->setEnabled(at[2] > 0 && at[3] > 0);
        menu->popup(m_results->viewport()->mapToGlobal(pos));
    });
    resize(560, 420);
    if (parent)
        move(parent->geometry().center() - rect().center());
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
}

void MapSearch::search()
{
    const QByteArray query = m_box->text().trimmed().toUtf8();
    const SearchResult result = SearchAtlas(
        m_atlas, std::u8string_view(reinterpret_cast<const char8_t*>(query.constData()), std::size_t(query.size())),
        m_firstLab ? m_firstLab() : 0, kShown);
    m_results->setUpdatesEnabled(false);
    m_results->setRowCount(static_cast<int>(result.found.size()));
    int row = 0;
    for (const Found& f : result.found) {
        const QString cell = f.x == 0 ? QString() : QStringLiteral("%1x%2").arg(f.x).arg(f.y);
        const QString texts[] = {fromUtf8Text(LabyrinthName(f.lab)), QString::number(f.level), cell,
                                 fromUtf8Text(f.what)};
        for (int col = 0; col < 4; ++col) {
            auto* item = new QTableWidgetItem(texts[col]);
            item->setData(Qt::UserRole, QVariant::fromValue(QList<int>{static_cast<int>(f.lab), f.level, f.x, f.y}));
            m_results->setItem(row, col, item);
        }
        ++row;
    }
    m_results->setUpdatesEnabled(true);
    if (query.isEmpty())
        m_count->clear();
    else if (result.total > result.found.size())
        m_count->setText(QStringLiteral("Показаны первые %1 из %2").arg(result.found.size()).arg(result.total));
    else
        m_count->setText(QStringLiteral("Найдено: %1").arg(result.total));
}

void MapSearch::choose(int row)
{
    const QTableWidgetItem* item = m_results->item(row, 0);
    if (!item)
        return;
    const QList<int> at = item->data(Qt::UserRole).value<QList<int>>();
    if (at.size() == 4)
        emit cellChosen(static_cast<unsigned>(at[0]), at[1], at[2], at[3]);
}

} // namespace veldor
