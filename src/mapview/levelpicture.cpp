#include "levelpicture.h"

#include "mapgrid.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace veldor {

QImage LevelPicture(const MapGrid& grid, const QString& title, const MapGrid::CellPainter& painter)
{
    const QImage cells = grid.wholeImage(painter);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(14);
    font.setBold(true);
    const int textWidth = QFontMetrics(font).horizontalAdvance(title) + 8;
    QImage picture(std::max(cells.width(), textWidth), cells.height() + kPictureTitleHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(4, 0, picture.width() - 4, kPictureTitleHeight), Qt::AlignLeft | Qt::AlignVCenter, title);
    p.drawImage(0, kPictureTitleHeight, cells);
    return picture;
}

} // namespace veldor
