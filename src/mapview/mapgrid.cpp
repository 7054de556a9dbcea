#include "mapgrid.h"

#include "ui/windowstyle.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <utility>

namespace veldor {
namespace {

constexpr int kLine = 1; // grid line width
constexpr int kFlashMs = 3000;
const QColor kFlashColour(0, 230, 255); // seen on black, grey, yellow walls and red doors alike

quint32 key(int col, int row)
{
    return (static_cast<quint32>(col) << 16) | static_cast<quint32>(row);
}

} // namespace

MapGrid::MapGrid(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame); // flat
    setFocusPolicy(Qt::NoFocus);    // no tab stop
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    horizontalScrollBar()->setTracking(true); // thumb tracking
    verticalScrollBar()->setTracking(true);
    updateScrollBars();
}

void MapGrid::setRowCount(int rows)
{
    m_rows = std::max(1, rows);
    m_row = std::clamp(m_row, 1, std::max(1, m_rows - 1));
    updateScrollBars();
    viewport()->update();
}

void MapGrid::setColCount(int cols)
{
    m_cols = std::max(1, cols);
    m_col = std::clamp(m_col, 1, std::max(1, m_cols - 1));
    updateScrollBars();
    viewport()->update();
}

void MapGrid::setDefaultColWidth(int width)
{
    m_colWidth = std::max(1, width);
    updateScrollBars();
    viewport()->update();
}

void MapGrid::setDefaultRowHeight(int height)
{
    m_rowHeight = std::max(1, height);
    updateScrollBars();
    viewport()->update();
}

void MapGrid::setCurrentCell(int col, int row)
{
    if (col < 1 || col >= m_cols || row < 1 || row >= m_rows)
        return;
    // Only the frames move, unless the grid scrolls (which repaints it whole).
    updateCell(m_col, m_row);
    m_col = col;
    m_row = row;
    ensureVisible(col, row);
    updateCell(m_col, m_row);
}

void MapGrid::flashCell(int col, int row)
{
    setCurrentCell(col, row);
    if (QPoint(col, row) != QPoint(m_col, m_row))
        return;
    if (!m_flashTimer) {
        m_flashTimer = new QTimer(this);
        m_flashTimer->setSingleShot(true);
        connect(m_flashTimer, &QTimer::timeout, this, [this] {
            const QPoint was = std::exchange(m_flashed, QPoint(0, 0));
            updateCell(was.x(), was.y());
        });
    }
    updateCell(m_flashed.x(), m_flashed.y());
    m_flashed = {col, row};
    updateCell(col, row);
    m_flashTimer->start(kFlashMs);
}

void MapGrid::updateCell(int col, int row)
{
    const QRect r = cellRect(col, row);
    if (r.isEmpty())
        return;
    // Icons are 15 x 15 whatever the cell size; walls are up to three pixels wide, centred on the edges.
    constexpr int kIcon = 15;
    constexpr int kWall = 2;
    viewport()->update(QRect(r.left() - kWall, r.top() - kWall, std::max(r.width(), kIcon) + 2 * kWall,
                             std::max(r.height(), kIcon) + 2 * kWall));
}

QString MapGrid::cellText(int col, int row) const
{
    return m_texts.value(key(col, row));
}

void MapGrid::setCellText(int col, int row, const QString& text)
{
    if (col < 0 || row < 0 || col >= 0x10000 || row >= 0x10000)
        return;
    if (text.isEmpty())
        m_texts.remove(key(col, row));
    else
        m_texts.insert(key(col, row), text);
    viewport()->update(cellRect(col, row));
}

int MapGrid::leftCol() const
{
    return 1 + horizontalScrollBar()->value();
}

int MapGrid::topRow() const
{
    return 1 + verticalScrollBar()->value();
}

QPoint MapGrid::cellAt(const QPoint& pos) const
{
    const int cw = m_colWidth + kLine;
    const int rh = m_rowHeight + kLine;
    if (pos.x() < 0 || pos.y() < 0)
        return {-1, -1};
    int col = pos.x() / cw;
    int row = pos.y() / rh;
    if (col > 0)
        col = leftCol() + col - 1;
    if (row > 0)
        row = topRow() + row - 1;
    if (col >= m_cols || row >= m_rows)
        return {-1, -1};
    return {col, row};
}

QRect MapGrid::cellRect(int col, int row) const
{
    const int cw = m_colWidth + kLine;
    const int rh = m_rowHeight + kLine;
    int sx = col;
    int sy = row;
    if (col > 0) {
        if (col < leftCol())
            return {};
        sx = col - leftCol() + 1;
    }
    if (row > 0) {
        if (row < topRow())
            return {};
        sy = row - topRow() + 1;
    }
    return QRect(sx * cw, sy * rh, m_colWidth, m_rowHeight);
}

void MapGrid::setCellPainter(CellPainter painter)
{
    m_painter = std::move(painter);
    viewport()->update();
}

QSize MapGrid::sizeHint() const
{
    return {242, 242};
}

QSize MapGrid::minimumSizeHint() const
{
    return {5, 5};
}

bool MapGrid::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        // Only over the cell the hint is about: below or beside the last cell there is none.
        const QPoint at = static_cast<QHelpEvent*>(event)->globalPos();
        if (cellAt(viewport()->mapFromGlobal(at)) == m_hovered)
            showHintNow(at);
        else
            QToolTip::hideText();
        return true;
    }
    // The popup acts on the cell clicked, even where the pointer came without a move the grid saw (the reader's
    // selected cell, or from over a hint).
    if (event->type() == QEvent::ContextMenu) {
        const QPoint cell = cellAt(static_cast<QContextMenuEvent*>(event)->pos());
        if (cell != m_hovered)
            hover(cell);
    }
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            m_wheelZoom += wheel->angleDelta().y();
            const int steps = m_wheelZoom / 120; // whole notches; a touchpad's small deltas add up
            m_wheelZoom -= steps * 120;
            if (steps != 0)
                emit zoomRequested(steps, wheel->position().toPoint());
            return true;
        }
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void MapGrid::keepCellAt(QPoint cell, QPoint pos)
{
    if (cell.x() < 1 || cell.y() < 1)
        return;
    // The header column and row stay; the body scrolls by whole cells.
    const int cols = std::max(0, pos.x() / (m_colWidth + kLine) - 1);
    const int rows = std::max(0, pos.y() / (m_rowHeight + kLine) - 1);
    horizontalScrollBar()->setValue(cell.x() - 1 - cols);
    verticalScrollBar()->setValue(cell.y() - 1 - rows);
}

void MapGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint cell = cellAt(event->position().toPoint());
    // The cell already selected changes nothing.
    if (cell != QPoint(m_col, m_row))
        hover(cell);
    QAbstractScrollArea::mouseMoveEvent(event);
}

void MapGrid::hover(QPoint cell)
{
    // Header cells and the ground beyond the last cell are no cells to act on.
    if (cell.x() <= 0 || cell.y() <= 0)
        return;
    setCurrentCell(m_col, cell.y());
    setCurrentCell(cell.x(), cell.y());
    m_hovered = cell;
    // The new text shows at once, and so does every hint of the program from now on.
    WindowStyle::install()->setHintDelay(1);
    refreshHint();
    emit cellHovered(cell.x(), cell.y());
}

void MapGrid::refreshHint()
{
    if (m_hovered.isNull() || !m_hintText)
        return;
    setToolTip(m_hintText(m_hovered.x(), m_hovered.y()));
    if (underMouse() && cellAt(viewport()->mapFromGlobal(QCursor::pos())) == m_hovered)
        showHintNow(QCursor::pos());
}

void MapGrid::followCell(int col, int row, int side)
{
    if (side > 0) {
        if (row > 5)
            setCurrentCell(m_col, row - 5);
        if (col > 5)
            setCurrentCell(col - 5, m_row);
        if (row < side - 4)
            setCurrentCell(m_col, row + 5);
        if (col < side - 4)
            setCurrentCell(col + 5, m_row);
    }
    setCurrentCell(col, row);
}

void MapGrid::showHintNow(const QPoint& globalPos)
{
    QString text = toolTip();
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QToolTip::showText(globalPos, text, viewport());
}

void MapGrid::paintEvent(QPaintEvent* event)
{
    QElapsedTimer clock;
    clock.start();
    QPainter p(viewport());
    paintCells(p, event->rect(), leftCol(), topRow(), viewport()->size(), m_painter);
    // The current cell, over everything else.
    const QRect current = cellRect(m_col, m_row);
    if (!current.isEmpty()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(current.adjusted(0, 0, -1, -1));
    }
    const QRect flashed = m_flashed.x() > 0 ? cellRect(m_flashed.x(), m_flashed.y()) : QRect();
    if (!flashed.isEmpty()) {
        p.setPen(QPen(kFlashColour, 3));
        p.drawRect(flashed.adjusted(1, 1, -2, -2));
    }
    m_paintNs += clock.nsecsElapsed();
}

QImage MapGrid::wholeImage(const CellPainter& painter) const
{
    const QSize size(m_cols * (m_colWidth + kLine), m_rows * (m_rowHeight + kLine));
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    paintCells(p, image.rect(), 1, 1, size, painter ? painter : m_painter);
    return image;
}

void MapGrid::paintCells(QPainter& p, const QRect& exposed, int firstCol, int firstRow, QSize area,
                         const CellPainter& painter) const
{
    const QColor fixedColor(180, 180, 180); // the active-border colour of the original
    const QColor ground(128, 128, 128);
    const int cw = m_colWidth + kLine;
    const int rh = m_rowHeight + kLine;
    const int usedWidth = std::min(area.width(), (m_cols - firstCol + 1) * cw);
    const int usedHeight = std::min(area.height(), (m_rows - firstRow + 1) * rh);
    p.fillRect(exposed, ground); // the grid's grey, also beyond the last cells
    // The grid lines: one black area that the cells then cover, leaving a line between each two.
    p.fillRect(QRect(0, 0, usedWidth, usedHeight) & exposed, Qt::black);

    const int visibleCols = area.width() / cw + 2;
    const int visibleRows = area.height() / rh + 2;
    QFont headerFont(QStringLiteral("Times New Roman"));
    headerFont.setPixelSize(std::min(11, std::max(6, m_rowHeight - 3)));
    for (int sy = 0; sy < visibleRows; ++sy) {
        const int row = sy == 0 ? 0 : firstRow + sy - 1;
        if (row >= m_rows)
            break;
        for (int sx = 0; sx < visibleCols; ++sx) {
            const int col = sx == 0 ? 0 : firstCol + sx - 1;
            if (col >= m_cols)
                break;
            const QRect r(sx * cw, sy * rh, m_colWidth, m_rowHeight);
            if (!r.adjusted(-16, -16, kLine, kLine).intersects(exposed))
                continue; // icons of the cells before may reach 16 pixels into this one
            if (col == 0 || row == 0) {
                p.fillRect(r, fixedColor);
                const QString text = cellText(col, row);
                if (!text.isEmpty()) {
                    p.setPen(Qt::black);
                    p.setFont(headerFont);
                    p.drawText(r, Qt::AlignCenter, text);
                }
                continue;
            }
            p.fillRect(r, ground);
            // Not clipped: icons of small cells reach into the next cells, which paint over them in turn.
            if (painter)
                painter(p, col, row, r);
        }
    }
}

void MapGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void MapGrid::scrollContentsBy(int, int)
{
    viewport()->update();
}

void MapGrid::updateScrollBars()
{
    const int cw = m_colWidth + kLine;
    const int rh = m_rowHeight + kLine;
    const int fullCols = std::max(1, viewport()->width() / cw - 1);
    const int fullRows = std::max(1, viewport()->height() / rh - 1);
    horizontalScrollBar()->setRange(0, std::max(0, m_cols - 1 - fullCols));
    horizontalScrollBar()->setPageStep(fullCols);
    verticalScrollBar()->setRange(0, std::max(0, m_rows - 1 - fullRows));
    verticalScrollBar()->setPageStep(fullRows);
}

void MapGrid::ensureVisible(int col, int row)
{
    const int cw = m_colWidth + kLine;
    const int rh = m_rowHeight + kLine;
    const int fullCols = std::max(1, viewport()->width() / cw - 1);
    const int fullRows = std::max(1, viewport()->height() / rh - 1);
    auto* h = horizontalScrollBar();
    auto* v = verticalScrollBar();
    if (col < leftCol())
        h->setValue(col - 1);
    else if (col >= leftCol() + fullCols)
        h->setValue(col - fullCols);
    if (row < topRow())
        v->setValue(row - 1);
    else if (row >= topRow() + fullRows)
        v->setValue(row - fullRows);
}

} // namespace veldor
