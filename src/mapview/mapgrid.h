#pragma once

#include "map/atlas.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>
#include <functional>

class QTimer;

namespace veldor {

// The map grid: row 0 and column 0 are fixed header cells that stay in view while the body scrolls cell by
// cell. Only the exposed cells are painted; the body cells by the painter its owner gives (`setCellPainter`).
class MapGrid : public QAbstractScrollArea
{
    Q_OBJECT
public:
    using CellPainter = std::function<void(QPainter& painter, int col, int row, const QRect& rect)>;

    explicit MapGrid(QWidget* parent = nullptr);

    int rowCount() const { return m_rows; }
    int colCount() const { return m_cols; }
    void setRowCount(int rows);
    void setColCount(int cols);

    int defaultColWidth() const { return m_colWidth; }
    int defaultRowHeight() const { return m_rowHeight; }
    void setDefaultColWidth(int width);
    void setDefaultRowHeight(int height);

    // The current cell; setting it scrolls it into view.
    int col() const { return m_col; }
    int row() const { return m_row; }
    void setCurrentCell(int col, int row);
    // Makes a cell the current one and outlines it thickly for a few seconds, so that the eye finds it.
    void flashCell(int col, int row);
    QPoint flashedCell() const { return m_flashed; }

    // Repaints what a cell draws: its rectangle, the walls over its edges and an icon reaching beyond a small
    // cell. Nothing when the cell is out of view.
    void updateCell(int col, int row);

    QString cellText(int col, int row) const;
    void setCellText(int col, int row, const QString& text);

    // First body column and row in view (1-based).
    int leftCol() const;
    int topRow() const;

    // Cell at a point of the viewport, (-1, -1) outside every cell.
    QPoint cellAt(const QPoint& pos) const;
    // Viewport rectangle of a cell, empty when it is scrolled out of view.
    QRect cellRect(int col, int row) const;

    void setCellPainter(CellPainter painter);

    // Every cell from the first, the header row and column included, painted as the grid paints them on
    // screen (without the current cell's frame).
    // Every cell, painted by `painter` when given (the grid's own painter otherwise).
    QImage wholeImage(const CellPainter& painter = {}) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Time spent painting the grid since it was made, for measurements.
    qint64 paintNanoseconds() const { return m_paintNs; }

    // Shows the hint text at once where the pointer is (lines separated by carriage returns).
    void showHintNow(const QPoint& globalPos);

    // Selects a cell so that five cells beyond it stay in view wherever a map of `side` cells reaches that far.
    void followCell(int col, int row, int side);

    // The text of a body cell's hint (lines separated by carriage returns).
    void setHintText(std::function<QString(int col, int row)> hint) { m_hintText = std::move(hint); }
    // The body cell the pointer last moved onto, which it selected; (0, 0) before the first.
    QPoint hovered() const { return m_hovered; }
    // The hovered cell's hint anew, after what the cell holds changed; shown at once under the pointer.
    void refreshHint();

    // Scrolls so that the body cell lies under the viewport position (as near as whole cells allow).
    void keepCellAt(QPoint cell, QPoint pos);

signals:
    // The pointer moved onto another body cell.
    void cellHovered(int col, int row);
    // Ctrl and the mouse wheel over the body: `steps` notches (up: positive) at the viewport position.
    void zoomRequested(int steps, QPoint pos);

protected:
    bool viewportEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Paints the cells of an area of `area` pixels whose first body cells are (firstCol, firstRow).
    void paintCells(QPainter& p, const QRect& exposed, int firstCol, int firstRow, QSize area,
                    const CellPainter& painter) const;
    void updateScrollBars();
    // The pointer is over a cell: it is selected, its hint shown and the cell hovered from now on.
    void hover(QPoint cell);
    void ensureVisible(int col, int row);

    int m_rows = kGridSide;
    int m_cols = kGridSide;
    int m_colWidth = 15;
    int m_rowHeight = 15;
    int m_col = 1;
    int m_row = 1;
    QPoint m_hovered{0, 0};
    std::function<QString(int col, int row)> m_hintText;
    QHash<quint32, QString> m_texts;
    CellPainter m_painter;
    qint64 m_paintNs = 0;
    QPoint m_flashed{0, 0};
    QTimer* m_flashTimer = nullptr;
    int m_wheelZoom = 0; // wheel movement with Ctrl short of a whole notch
};

} // namespace veldor
