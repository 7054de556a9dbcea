#include "mapview/atlasoverview.h"

#include "map/survey.h"
#include "mapview/cellpainter.h"
#include "mapview/mapicons.h"
#include "ui/qtcodec.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QTableWidget>
#include <algorithm>

namespace veldor {
namespace {

const QString kGeometryKey = QStringLiteral("overview/geometry");
constexpr int kPaintedAtOnce = 6; // the first rows of pictures

QString countsText(const LevelCounts& c)
{
    return QStringLiteral("выходы: %1, переходы: %2,\nловушки: %3, флаги: %4,\nмаркеры: %5")
        .arg(c.exits)
        .arg(c.transitions)
        .arg(c.traps)
        .arg(c.flags)
        .arg(c.markers);
}

// "37 %", and below one percent with a tenth ("0,4 %"), so that a first walk does not read as nothing.
QString shareText(const LevelCounts& c)
{
    const qint64 perMille = c.cells == 0 ? 0 : qint64(c.explored) * 1000 / c.cells;
    if (c.explored > 0 && perMille < 10)
        return QLocale(QLocale::Russian).toString(std::max<qint64>(perMille, 1) / 10.0, 'f', 1) + QStringLiteral(" %");
    return QStringLiteral("%1 %").arg(c.percent());
}

} // namespace

AtlasOverview::AtlasOverview(const Atlas& atlas, QSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_atlas(atlas), m_settings(settings) // stays above the main window
{
    setObjectName(QStringLiteral("AtlasOverview"));
    setWindowTitle(QStringLiteral("Обзор атласа"));
    m_labs = new QTableWidget(static_cast<int>(kLabyrinthCount), 2, this);
    m_labs->setObjectName(QStringLiteral("OverviewLabs"));
    m_labs->setHorizontalHeaderLabels({QStringLiteral("Лабиринт"), QStringLiteral("Исследовано")});
    m_labs->verticalHeader()->hide();
    m_labs->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_labs->setSelectionMode(QAbstractItemView::SingleSelection);
    m_labs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab) {
        const int row = static_cast<int>(lab) - 1;
        m_labs->setItem(row, 0, new QTableWidgetItem(fromUtf8Text(LabyrinthName(lab))));
        auto* bar = new QProgressBar(m_labs);
        bar->setRange(0, 100);
        bar->setFormat(QStringLiteral("%p %"));
        m_labs->setCellWidget(row, 1, bar);
    }
    m_labs->resizeColumnToContents(0);
    m_labs->setColumnWidth(1, 120);
    m_labs->setFixedWidth(m_labs->columnWidth(0) + 140);
    connect(m_labs, &QTableWidget::currentCellChanged, this,
            [this](int row) { showLab(static_cast<unsigned>(row + 1)); });

    m_painter.setSingleShot(true);
    m_painter.setInterval(0);
    connect(&m_painter, &QTimer::timeout, this, &AtlasOverview::paintNext);
    m_levels = new QListWidget(this);
    m_levels->setObjectName(QStringLiteral("OverviewLevels"));
    m_levels->setViewMode(QListView::IconMode); // the pictures flow into as many columns as fit
    m_levels->setResizeMode(QListView::Adjust);
    m_levels->setMovement(QListView::Static);
    m_levels->setSelectionMode(QAbstractItemView::SingleSelection);
    m_levels->setWordWrap(true);
    m_levels->setSpacing(6);
    for (int level = 0; level < kLevelCount; ++level) {
        auto* item = new QListWidgetItem(m_levels);
        item->setData(Qt::UserRole, level);
        item->setToolTip(QStringLiteral("Показать уровень %1 в главном окне").arg(level));
    }
    // A click on a picture, or Enter on the one selected.
    connect(m_levels, &QListWidget::itemClicked, this, &AtlasOverview::choose);
    connect(m_levels, &QListWidget::itemActivated, this, &AtlasOverview::choose);
    m_levels->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_levels, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QListWidgetItem* item = m_levels->itemAt(pos);
        if (!item)
            return;
        auto* menu = new QMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        const int level = item->data(Qt::UserRole).toInt();
        menu->addAction(QStringLiteral("Показать"), this, [this, item] { choose(item); });
        menu->addAction(QStringLiteral("Путь сюда"), this, [this, level] { emit wayAsked(m_lab, level); });
        menu->popup(m_levels->viewport()->mapToGlobal(pos));
    });
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_labs);
    layout->addWidget(m_levels, 1);
    if (!restoreGeometry(m_settings.value(kGeometryKey).toByteArray())) {
        resize(1000, 700);
        if (parent) // the first time over the middle of the main window, its menus free
            move(parent->geometry().center() - rect().center());
    }
    // A place remembered on a larger screen is fitted to this one, its title bar and close button in reach.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        resize(size().boundedTo(room.size() - QSize(20, 40)));
        move(std::clamp(x(), room.left(), room.right() - width()),
             std::clamp(y(), room.top(), room.bottom() - height()));
    }
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
}

AtlasOverview::~AtlasOverview() = default;

QImage AtlasOverview::paintLevel(const Atlas& atlas, unsigned lab, int level, int cellSize)
{
    // At a few pixels a cell walls would cover everything: the explored cells, their doors along the side they
    // are on, and objects and markers as dots.
    const int n = LabSide(lab);
    if (n == 0)
        return {};
    const int s = cellSize;
    QImage image(n * s, n * s, QImage::Format_RGB32);
    image.fill(QColor(128, 128, 128));
    QPainter p(&image);
    const Atlas::SharedMarkers marked = atlas.levelMarkers(lab, level);
    const int dot = std::max(1, s - 2);
    for (int y = 1; y <= n; ++y)
        for (int x = 1; x <= n; ++x) {
            const TMapCell* c = atlas.cell(lab, level, x, y);
            const QRect r((x - 1) * s, (y - 1) * s, s, s);
            if (c->Explored != 0)
                p.fillRect(r, Qt::black);
            const std::pair<std::uint8_t, QRect> sides[] = {
                {c->North, QRect(r.left(), r.top(), s, 1)},
                {c->South, QRect(r.left(), r.bottom(), s, 1)},
                {c->West, QRect(r.left(), r.top(), 1, s)},
                {c->East, QRect(r.right(), r.top(), 1, s)},
            };
            for (const auto& [code, edge] : sides)
                if (code > 1 && code < kSideColours.size())
                    p.fillRect(edge, kSideColours[code]);
            if (const int icon = MapIcons::forObject(c->Object); icon >= 0)
                p.fillRect(QRect(r.left() + (s - dot) / 2, r.top() + (s - dot) / 2, dot, dot), MapIcons::colour(icon));
            if (marked && marked->contains(Atlas::MarkerSpot(x, y)))
                p.fillRect(QRect(r.topLeft(), QSize(1, 1)), QColor(255, 0, 0));
        }
    return image;
}

int AtlasOverview::cellSize() const
{
    return LabSide(m_lab) >= 100 ? 2 : 4;
}

void AtlasOverview::showLab(unsigned lab)
{
    if (lab < 1 || lab > kLabyrinthCount)
        return;
    const bool changed = lab != m_lab;
    m_lab = lab;
    if (m_labs->currentRow() != static_cast<int>(lab) - 1)
        m_labs->setCurrentCell(static_cast<int>(lab) - 1, 0);
    if (changed && isVisible())
        paintAll();
    if (changed)
        showWay();
}

void AtlasOverview::markWay(unsigned lab, const std::vector<int>& levels)
{
    m_wayLab = lab;
    m_wayLevels = levels;
    showWay();
}

void AtlasOverview::showWay()
{
    for (int level = 0; level < kLevelCount; ++level) {
        const bool crossed =
            m_wayLab == m_lab && std::find(m_wayLevels.begin(), m_wayLevels.end(), level) != m_wayLevels.end();
        m_levels->item(level)->setBackground(crossed ? QBrush(QColor(190, 215, 255)) : QBrush());
    }
}

void AtlasOverview::levelChanged(unsigned lab, int level)
{
    if (!isVisible())
        return;
    showShare(lab);
    if (lab == m_lab && level >= 0 && level < kLevelCount) {
        paintTiles({level});
        std::erase(m_pending, level);
    }
}

void AtlasOverview::refresh()
{
    if (!isVisible())
        return;
    fillShares();
    paintAll();
}

void AtlasOverview::choose(QListWidgetItem* item)
{
    emit levelChosen(m_lab, item->data(Qt::UserRole).toInt());
}

void AtlasOverview::fillShares()
{
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab)
        showShare(lab);
}

void AtlasOverview::showShare(unsigned lab)
{
    if (auto* bar = qobject_cast<QProgressBar*>(m_labs->cellWidget(static_cast<int>(lab) - 1, 1))) {
        const LevelCounts c = CountLabyrinth(m_atlas, lab);
        bar->setValue(c.percent());
        bar->setFormat(shareText(c));
    }
}

void AtlasOverview::paintTiles(const std::vector<int>& levels)
{
    const auto counts = CountLevels(m_atlas, m_lab);
    const int side = LabSide(m_lab) * cellSize();
    m_levels->setIconSize(QSize(side, side));
    m_levels->setGridSize(QSize(std::max(side, 190) + 12, side + 70));
    for (const int level : levels) {
        const LevelCounts& c = counts[static_cast<std::size_t>(level)];
        QListWidgetItem* item = m_levels->item(level);
        item->setIcon(QPixmap::fromImage(paintLevel(m_atlas, m_lab, level, cellSize())));
        item->setText(QStringLiteral("Уровень %1: %2\n").arg(level).arg(shareText(c)) + countsText(c));
    }
}

void AtlasOverview::paintAll()
{
    // The first pictures at once, the others one a tick: the window shows and answers meanwhile.
    std::vector<int> now;
    m_pending.clear();
    for (int level = 0; level < kLevelCount; ++level)
        (level < kPaintedAtOnce ? now : m_pending).push_back(level);
    paintTiles(now);
    if (!m_pending.empty())
        m_painter.start();
}

void AtlasOverview::paintNext()
{
    if (m_pending.empty())
        return;
    const int level = m_pending.front();
    m_pending.erase(m_pending.begin());
    paintTiles({level});
    if (!m_pending.empty())
        m_painter.start();
}

void AtlasOverview::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refresh();
}

void AtlasOverview::hideEvent(QHideEvent* event)
{
    m_settings.setValue(kGeometryKey, saveGeometry());
    QWidget::hideEvent(event);
}

} // namespace veldor
