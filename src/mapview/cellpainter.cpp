#include "cellpainter.h"

#include "mapicons.h"

#include <QPainter>
#include <algorithm>

namespace veldor {

const std::array<QColor, 9> kSideColours = {
    QColor(206, 206, 0),   QColor(0, 0, 0),   QColor(255, 255, 255), QColor(255, 255, 255), QColor(255, 0, 0),
    QColor(157, 206, 255), QColor(0, 255, 0), QColor(236, 118, 0),   QColor(255, 255, 128),
};

const QColor kFrontierColour(255, 0, 255);

void DrawSide(QPainter& painter, QPoint from, QPoint to, const QColor& colour, int width)
{
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(from, to);
}

void PaintMapCell(QPainter& painter, const QRect& rect, const CellInputs& in, const MapIcons& icons)
{
    const int L = rect.left();
    const int T = rect.top();
    const int R = rect.left() + rect.width(); // right and bottom edges are exclusive
    const int B = rect.top() + rect.height();

    // The marker's red corner goes over everything else, outlined in white: seen on a walked (black) cell, a
    // red door and the unexplored background alike.
    const auto markerCorner = [&] {
        if (!in.marker)
            return;
        const int d = std::max(5, (R - L) / 3);
        const QPoint corner[] = {{L, T}, {L + d, T}, {L, T + d}};
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(QColor(255, 0, 0));
        painter.drawPolygon(corner, 3);
        painter.setBrush(Qt::NoBrush);
    };
    if (!in.cell) {
        if (in.player)
            painter.drawPixmap(L, T, icons.icon(MapIcons::Player));
        markerCorner();
        return;
    }
    const TMapCell& c = *in.cell;
    if (c.Explored != 0) {
        painter.fillRect(QRect(L, T, R - L, B - T), Qt::black);
        const struct
        {
            std::uint8_t code;
            QPoint from;
            QPoint to;
        } sides[] = {
            {c.North, {L, T}, {R, T}},
            {c.South, {L, B}, {R, B}},
            {c.West, {L, T}, {L, B}},
            {c.East, {R, T}, {R, B}},
        };
        for (const auto& s : sides) {
            if (s.code == 0)
                DrawSide(painter, s.from, s.to, kSideColours[0], 2);
            else if (s.code > 1 && s.code < kSideColours.size())
                DrawSide(painter, s.from, s.to, kSideColours[s.code], 3);
        }
        if (in.onPath) {
            painter.setPen(in.group == 2 ? QColor(232, 232, 0) : QColor(206, 206, 0));
            painter.drawPoint((L + R) / 2, (T + B) / 2);
        }
    }
    const int icon = MapIcons::forObject(c.Object);
    if (icon >= 0)
        painter.drawPixmap(L, T, icons.icon(icon));
    if (in.onFrontierPath) {
        const int d = std::max(3, (R - L) / 4);
        painter.fillRect(QRect((L + R - d) / 2, (T + B - d) / 2, d, d), kFrontierColour);
    }
    if (in.frontierOpening) {
        painter.setPen(QPen(kFrontierColour, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(L + 1, T + 1, R - L - 2, B - T - 2));
    }
    if (in.player)
        painter.drawPixmap(L, T, icons.icon(MapIcons::Player));
    markerCorner();
}

} // namespace veldor
