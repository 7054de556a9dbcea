#include "levelpicture.h"

#include "map/objects.h"
#include "mapgrid.h"
#include "ui/qtcodec.h"

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

namespace veldor {

std::vector<LegendEntry> LegendEntries()
{
    const TMapCell open{1, 1, 1, 1, 1, Obj::None};
    std::vector<LegendEntry> entries;
    entries.push_back({QStringLiteral("Исследованная клетка, проходы во все стороны"), open});
    entries.push_back({QStringLiteral("Стена (прохода нет или он не виден)"), TMapCell{0, 0, 0, 0, 1, Obj::None}});
    // Kinds 2 and 3 are drawn alike: one entry says so.
    const char* doors[] = {"белая", "белая", "красная", "голубая", "зелёная", "оранжевая", "светло-жёлтая"};
    for (std::uint8_t code = 3; code <= 8; ++code) {
        TMapCell cell = open;
        cell.North = cell.South = cell.West = cell.East = code;
        entries.push_back({code == 3
                               ? QStringLiteral("Дверь вида 2 или 3 (белая, на карте не различаются)")
                               : QStringLiteral("Дверь вида %1 (%2)").arg(code).arg(QString::fromUtf8(doors[code - 2])),
                           cell});
    }
    for (const ObjectKind& kind : kObjectKinds) {
        TMapCell cell = open;
        cell.Object = kind.code;
        entries.push_back({fromUtf8Text(kind.name), cell});
    }
    LegendEntry marker{QStringLiteral("Ваш маркер на неисследованной клетке (текст в подсказке)"), TMapCell{}};
    marker.marker = true;
    LegendEntry walkedMarker{QStringLiteral("Ваш маркер на исследованной клетке"), open};
    walkedMarker.marker = true;
    LegendEntry player{QStringLiteral("Вы"), open};
    player.player = true;
    LegendEntry way{QStringLiteral("Путь к неисследованному"), open};
    way.onFrontierPath = true;
    LegendEntry opening{QStringLiteral("Неисследованная клетка, куда ведёт путь"), TMapCell{}};
    opening.frontierOpening = true;
    for (LegendEntry* e : {&marker, &walkedMarker, &player, &way, &opening})
        entries.push_back(*e);
    return entries;
}

QImage LegendPicture(const LegendEntry& entry, const MapIcons& icons)
{
    const int side = kLegendCell + 2 * kLegendMargin;
    QImage picture(side, side, QImage::Format_RGB32);
    picture.fill(QColor(128, 128, 128)); // the grid's grey
    QPainter painter(&picture);
    CellInputs in;
    in.cell = &entry.cell;
    in.group = 1;
    in.marker = entry.marker;
    in.player = entry.player;
    in.onPath = entry.onPath;
    in.onFrontierPath = entry.onFrontierPath;
    in.frontierOpening = entry.frontierOpening;
    PaintMapCell(painter, QRect(kLegendMargin, kLegendMargin, kLegendCell, kLegendCell), in, icons);
    return picture;
}

} // namespace veldor
