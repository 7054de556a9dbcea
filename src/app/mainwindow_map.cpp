// The map grid's drawing and hover, the popup marks, the clearing buttons and the object list buttons.
#include "mainwindow.h"

#include "app/atlassharing.h"
#include "app/mapedits.h"
#include "app/squadsync.h"
#include "app/workfolder.h"
#include "map/marks.h"
#include "map/objects.h"
#include "map/selection.h"
#include "mapview/atlasoverview.h"
#include "mapview/cellpainter.h"
#include "mapview/mapgrid.h"
#include "mapview/mapicons.h"
#include "mapview/mapsearch.h"
#include "route/frontier.h"
#include "route/route.h"
#include "ui/prompts.h"
#include "ui/qtcodec.h"
#include "ui/windowstyle.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCursor>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

namespace veldor {
void MainWindow::connectMapHandlers()
{
    m_ui.mapGrid->setCellPainter(
        [this](QPainter& p, int col, int row, const QRect& r) { drawGridCell(p, col, row, r); });
    m_ui.mapGrid->setHintText([this](int c, int r) { return cellHint(c, r); });
    connect(m_ui.mapGrid, &MapGrid::cellHovered, this, [this](int c, int r) { m_menuCell = {c, r}; });
    connect(m_ui.mapGrid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_ui.cellMenu->popup(m_ui.mapGrid->viewport()->mapToGlobal(pos)); });
    connect(m_ui.addTrapAction, &QAction::triggered, this, &MainWindow::addTrap);
    connect(m_ui.addFlagAction, &QAction::triggered, this, &MainWindow::addFlag);
    connect(m_ui.addDescentAction, &QAction::triggered, this, &MainWindow::addDescent);
    connect(m_ui.addAscentAction, &QAction::triggered, this, &MainWindow::addAscent);
    connect(m_ui.addExitAction, &QAction::triggered, this, &MainWindow::addExit);
    const std::pair<QAction*, char> chests[] = {
        {m_ui.redChestAction, Obj::RedChest},   {m_ui.greenChestAction, Obj::GreenChest},
        {m_ui.blueChestAction, Obj::BlueChest}, {m_ui.whiteChestAction, Obj::WhiteChest},
        {m_ui.ironChestAction, Obj::IronChest}, {m_ui.goldChestAction, Obj::GoldChest}};
    for (const auto& [action, code] : chests)
        connect(action, &QAction::triggered, this, [this, code = code] { addChest(code); });
    connect(m_ui.addMarkerAction, &QAction::triggered, this, &MainWindow::addMarker);
    connect(m_ui.clearCellAction, &QAction::triggered, this, &MainWindow::clearCell);
    connect(m_ui.clearLabyrinthButton, &QPushButton::clicked, this, &MainWindow::clearLabyrinth);
    for (QCheckBox* box : {m_ui.frontierBox, m_ui.passDoorsBox}) {
        connect(box, &QCheckBox::toggled, this, [this] {
            updateFrontier();
            m_ui.mapGrid->viewport()->update();
        });
    }
    connect(m_ui.clearAllMapsButton, &QPushButton::clicked, this, &MainWindow::clearAllLabyrinths);
    const std::pair<QPushButton*, ListKind> listButtons[] = {{m_ui.clearExitsButton, ListKind::Exits},
                                                             {m_ui.clearTransitionsButton, ListKind::Transitions},
                                                             {m_ui.clearFlagsButton, ListKind::Flags},
                                                             {m_ui.clearTrapsButton, ListKind::Traps}};
    for (const auto& [button, kind] : listButtons)
        connect(button, &QPushButton::clicked, this, [this, kind = kind] { clearList(kind); });
    m_state.edits = new MapEdits(*m_state.atlas, m_ui.undoAction, m_ui.redoAction, this);
    connect(m_state.edits, &MapEdits::changed, this, &MainWindow::mapChanged);
    connect(m_ui.copyExitsButton, &QPushButton::clicked, this,
            [this] { copyList(m_ui.exitsList, QStringLiteral("Выходы: ")); });
    connect(m_ui.copyTransitionsButton, &QPushButton::clicked, this,
            [this] { copyList(m_ui.transitionsList, QStringLiteral("Переходы: ")); });
    connect(m_ui.copyTrapsButton, &QPushButton::clicked, this,
            [this] { copyList(m_ui.trapsList, QStringLiteral("Ловушки: ")); });
    connect(m_ui.copyFlagsButton, &QPushButton::clicked, this,
            [this] { copyList(m_ui.flagsList, QStringLiteral("Флаги: ")); });

    AtlasSharing::Window shared;
    shared.window = this;
    shared.atlas = m_state.atlas.get();
    shared.prompts = m_state.prompts;
    shared.workFolder = m_state.workFolder;
    shared.grid = m_ui.mapGrid;
    shared.lab = [this] { return m_shownLab; };
    shared.level = [this] { return m_shownLevel; };
    shared.readOnly = [this] { return m_state.work->readOnly(); };
    shared.mapCell = [this](QPainter& painter, int col, int row, const QRect& rect) {
        drawGridCell(painter, col, row, rect, true);
    };
    shared.atlasChanged = [this] { mapChanged(0); };
    shared.edits = m_state.edits;
    m_state.sharing = new AtlasSharing(std::move(shared), this);
    connect(m_ui.mergeMapsAction, &QAction::triggered, m_state.sharing, &AtlasSharing::mergeFromFolder);
    connect(m_ui.exportMapsAction, &QAction::triggered, m_state.sharing, &AtlasSharing::exportToFolder);
    connect(m_ui.saveLevelPictureAction, &QAction::triggered, m_state.sharing, &AtlasSharing::saveLevelPicture);
}

bool MainWindow::playerShown() const
{
    // On another labyrinth or level the figure and the ways from it would stand where the player is not.
    return Reader.ViewX != 0 && Reader.ViewY != 0 && m_shownLab == m_playerLab && m_shownLevel == Reader.PageLevel;
}

void MainWindow::drawGridCell(QPainter& painter, int col, int row, const QRect& rect, bool mapOnly)
{
    CellInputs in;
    in.cell = m_state.atlas->cell(m_shownLab, m_shownLevel, col, row);
    in.marker = !m_state.atlas->markText(m_shownLab, m_shownLevel, col, row).empty();
    in.group = LabGroup(m_shownLab);
    if (!mapOnly) {
        in.onPath = m_state.onPath.contains(col, row);
        in.player = playerShown() && col == Reader.ViewX && row == Reader.ViewY;
        in.onFrontierPath = m_state.onFrontier.contains(col, row);
        in.frontierOpening = m_state.frontierOpening == std::make_pair(col, row);
    }
    sgDrawCell(painter, rect, in, *m_state.icons);
}

QString MainWindow::cellHint(int c, int r) const
{
    QString hint = QStringLiteral("%1x%2").arg(c).arg(r);
    // Only the start of a long marker, in lines: laying out millions of characters would hold the window.
    constexpr std::size_t kHintChars = 500;
    constexpr qsizetype kLine = 80;
    const std::string marker = m_state.atlas->markText(m_shownLab, m_shownLevel, c, r);
    if (!marker.empty()) {
        QString text =
            fromCp1251(marker.substr(0, kHintChars)) + (marker.size() > kHintChars ? QStringLiteral("…") : QString());
        for (qsizetype start = 0; text.size() - start > kLine;) {
            const qsizetype space = text.lastIndexOf(QLatin1Char(' '), start + kLine);
            if (space > start) {
                text[space] = QLatin1Char('\r');
                start = space + 1;
            } else {
                text.insert(start + kLine, QLatin1Char('\r'));
                start += kLine + 1;
            }
        }
        hint += QLatin1Char('\r') + text;
    }
    if (const TMapCell* cellData = m_state.atlas->cell(m_shownLab, m_shownLevel, c, r)) {
        if (const ObjectKind* kind = FindObjectKind(cellData->Object))
            hint += QLatin1Char('\r') + fromUtf8Text(kind->name);
    }
    return hint;
}

void MainWindow::mapChanged(unsigned lab)
{
    m_state.work->changed(lab);
    if (m_state.squad)
        m_state.squad->mapChanged();
    if (lab == 0 && m_state.overview)
        m_state.overview->refresh();
    if (m_state.search && m_state.search->isVisible())
        m_state.search->search();
    fillObjectMemos();
    updateLevelStatistics();
    updateFrontier();
    m_ui.mapGrid->viewport()->update();
    m_ui.mapGrid->refreshHint(); // the hint of the cell under the pointer says what it holds now
}

void MainWindow::updateFrontier()
{
    m_state.onFrontier.clear();
    m_state.frontierOpening = {0, 0};
    const int n = LabSide(m_shownLab);
    const bool onMap = Reader.ViewX >= 1 && Reader.ViewX <= n && Reader.ViewY >= 1 && Reader.ViewY <= n;
    // Nowhere to start from (no position read yet, off this labyrinth's map, another level): nothing to say.
    m_ui.frontierLabel->setVisible(m_ui.frontierBox->isChecked() && onMap && playerShown());
    if (m_ui.frontierLabel->isHidden())
        return;
    const auto advice = m_state.frontier->advise(*m_state.atlas, m_shownLab, m_shownLevel, Reader.ViewX, Reader.ViewY,
                                                 m_ui.passDoorsBox->isChecked());
    m_state.onFrontier.assign(m_state.frontier->route().path);
    m_state.frontierOpening = m_state.frontier->route().opening;
    m_ui.frontierLabel->setText(fromUtf8Text(advice.text));
    m_ui.frontierLabel->setToolTip(fromUtf8Text(advice.hint));
}

QString MainWindow::atHovered(const QString& what) const
{
    return QStringLiteral("%1 в %2x%3").arg(what).arg(m_menuCell.x()).arg(m_menuCell.y());
}

void MainWindow::editMap(unsigned lab, const QString& name, const std::function<bool()>& change)
{
    bool done = false;
    m_state.edits->run(lab, name, [&] { done = change(); });
    if (done)
        mapChanged(lab);
}

void MainWindow::addTrap()
{
    editMap(m_shownLab, atHovered(QStringLiteral("ловушка")),
            [this] { return AddTrap(*m_state.atlas, m_shownLab, m_shownLevel, m_menuCell.x(), m_menuCell.y()); });
}

void MainWindow::addFlag()
{
    editMap(m_shownLab, atHovered(QStringLiteral("флаг")),
            [this] { return AddFlag(*m_state.atlas, m_shownLab, m_shownLevel, m_menuCell.x(), m_menuCell.y()); });
}

void MainWindow::addDescent()
{
    editMap(m_shownLab, atHovered(QStringLiteral("спуск")),
            [this] { return AddDescent(*m_state.atlas, m_shownLab, m_shownLevel, m_menuCell.x(), m_menuCell.y()); });
}

void MainWindow::addAscent()
{
    editMap(m_shownLab, atHovered(QStringLiteral("подъем")),
            [this] { return AddAscent(*m_state.atlas, m_shownLab, m_shownLevel, m_menuCell.x(), m_menuCell.y()); });
}

void MainWindow::addExit()
{
    editMap(m_shownLab, atHovered(QStringLiteral("выход")),
            [this] { return AddExit(*m_state.atlas, m_shownLab, m_shownLevel, m_menuCell.x(), m_menuCell.y()); });
}

void MainWindow::addChest(char code)
{
    const ObjectKind* kind = FindObjectKind(code);
    editMap(m_shownLab, atHovered(kind ? fromUtf8Text(kind->name).toLower() : QStringLiteral("сундук")), [this, code] {
        return SetChest(*m_state.atlas, m_shownLab, m_shownLevel, m_menuCell.x(), m_menuCell.y(), code);
    });
}

void MainWindow::addMarker()
{
    if (LabSide(m_shownLab) == 0 || m_menuCell.x() < 1 || m_menuCell.y() < 1 || m_menuCell.x() > LabSide(m_shownLab) ||
        m_menuCell.y() > LabSide(m_shownLab))
        return;
    QString text;
    if (!m_state.prompts->askText(this, QStringLiteral("Введите текст метки"), QStringLiteral("Текст:"), text))
        return;
    editMap(m_shownLab, atHovered(QStringLiteral("метка")), [&] {
        return SetMarker(*m_state.atlas, m_shownLab, m_shownLevel, m_menuCell.x(), m_menuCell.y(), toCp1251(text));
    });
}

void MainWindow::clearCell()
{
    editMap(m_shownLab, QStringLiteral("очистка клетки %1x%2").arg(m_menuCell.x()).arg(m_menuCell.y()),
            [this] { return ClearCell(*m_state.atlas, m_shownLab, m_shownLevel, m_menuCell.x(), m_menuCell.y()); });
}

void MainWindow::clearLabyrinth()
{
    editMap(m_shownLab, QStringLiteral("очистка карты «%1»").arg(fromUtf8Text(LabyrinthName(m_shownLab))), [this] {
        ClearLabyrinth(*m_state.atlas, m_shownLab);
        return true;
    });
}

void MainWindow::clearAllLabyrinths()
{
    m_ui.clearAllMapsButton->setText(QStringLiteral("Производится очистка карт"));
    m_ui.clearAllMapsButton->repaint();
    editMap(0, QStringLiteral("очистка всех карт"), [this] {
        for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab)
            ClearLabyrinth(*m_state.atlas, lab);
        return true;
    });
    m_ui.clearAllMapsButton->setText(QStringLiteral("Очистить все карты"));
}

void MainWindow::clearList(ListKind kind)
{
    static const QMap<ListKind, std::pair<const char*, void (*)(Atlas&, unsigned)>> lists = {
        {ListKind::Exits, {"выходов", ClearExits}},
        {ListKind::Transitions, {"переходов", ClearTransitions}},
        {ListKind::Flags, {"флагов", ClearFlags}},
        {ListKind::Traps, {"ловушек", ClearTraps}}};
    const auto [name, clear] = lists.value(kind);
    editMap(m_shownLab, QStringLiteral("очистка списка %1").arg(QString::fromUtf8(name)), [this, clear = clear] {
        clear(*m_state.atlas, m_shownLab);
        return true;
    });
}

void MainWindow::copyList(QPlainTextEdit* memo, const QString& prefix)
{
    QApplication::clipboard()->setText(prefix + memo->toPlainText());
}

void MainWindow::findExitPath()
{
    // Runs to the end at once, so the reader cannot come in between; the timer stays as it is.
    m_state.route->findExitPath(*m_state.atlas, m_shownLab, m_shownLevel, Reader.ViewX, Reader.ViewY,
                                m_ui.passDoorsBox->isChecked());
    m_state.onPath.assign(m_state.route->ExitPath);
}

} // namespace veldor
