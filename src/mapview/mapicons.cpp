#include "mapicons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace veldor {
namespace {

constexpr int kSize = 15;

QImage canvas()
{
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QColor mainColour(MapIcons::Index index)
{
    return MapIcons::colour(index);
}

QPixmap exitIcon()
{
    QImage img = canvas();
    QPainter p(&img);
    p.fillRect(0, 0, 15, 15, mainColour(MapIcons::Exit));
    p.fillRect(4, 2, 7, 12, QColor(120, 120, 120));
    p.setPen(QColor(60, 60, 60));
    p.drawRect(4, 2, 6, 11);
    p.fillRect(8, 8, 2, 2, QColor(230, 230, 230)); // handle
    return QPixmap::fromImage(img);
}

QPixmap lootIcon()
{
    QImage img = canvas();
    QPainter p(&img);
    p.fillRect(0, 0, 15, 15, QColor(40, 30, 30));
    const QColor skin = mainColour(MapIcons::Loot);
    p.fillRect(4, 7, 7, 6, skin); // palm
    for (int f = 0; f < 4; ++f)
        p.fillRect(4 + f * 2, 3 + (f == 0 || f == 3 ? 1 : 0), 1, 4, skin); // fingers
    p.fillRect(11, 8, 2, 1, skin);                                         // thumb
    p.fillRect(12, 7, 1, 1, skin);
    return QPixmap::fromImage(img);
}

QPixmap arrowIcon(bool up)
{
    QImage img = canvas();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPolygon arrow;
    if (up)
        arrow << QPoint(7, 1) << QPoint(13, 7) << QPoint(10, 7) << QPoint(10, 13) << QPoint(4, 13) << QPoint(4, 7)
              << QPoint(1, 7);
    else
        arrow << QPoint(7, 13) << QPoint(13, 7) << QPoint(10, 7) << QPoint(10, 1) << QPoint(4, 1) << QPoint(4, 7)
              << QPoint(1, 7);
    p.setPen(QPen(QColor(20, 60, 220), 1));
    p.setBrush(up ? QColor(255, 255, 255) : QColor(150, 150, 150));
    p.drawPolygon(arrow);
    return QPixmap::fromImage(img);
}

QPixmap trapIcon()
{
    QImage img = canvas();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    QRadialGradient glow(7.5, 7.5, 7.5);
    glow.setColorAt(0, mainColour(MapIcons::Trap));
    glow.setColorAt(0.7, QColor(200, 0, 0));
    glow.setColorAt(1, QColor(120, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QRectF(0, 2, 15, 11));
    p.setBrush(QColor(255, 230, 0));
    p.drawEllipse(QRectF(6, 3, 3, 9)); // the slit pupil
    p.setBrush(Qt::black);
    p.drawRect(QRectF(7, 4, 1, 7));
    return QPixmap::fromImage(img);
}

QPixmap monsterIcon()
{
    QImage img = canvas();
    QPainter p(&img);
    p.fillRect(0, 0, 15, 15, QColor(70, 70, 70));
    p.setPen(QPen(mainColour(MapIcons::Monster), 2));
    p.drawLine(3, 12, 12, 3); // blade
    p.setPen(QPen(QColor(180, 140, 60), 2));
    p.drawLine(2, 9, 6, 13);  // guard
    p.drawLine(2, 13, 3, 12); // grip
    return QPixmap::fromImage(img);
}

QPixmap flagIcon()
{
    QImage img = canvas();
    QPainter p(&img);
    for (int y = 1; y < 15; ++y)
        p.fillRect(3, y, 1, 1, (y / 2) % 2 ? QColor(255, 255, 255) : QColor(40, 40, 40)); // striped pole
    QPolygon flag;
    flag << QPoint(4, 1) << QPoint(13, 4) << QPoint(4, 8);
    p.setPen(QColor(150, 0, 0));
    p.setBrush(mainColour(MapIcons::Flag));
    p.drawPolygon(flag);
    return QPixmap::fromImage(img);
}

QPixmap playerIcon()
{
    QImage img = canvas();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor orange = mainColour(MapIcons::Player);
    p.setPen(Qt::NoPen);
    p.setBrush(orange);
    p.drawEllipse(QRectF(2, 0.5, 4.5, 4.5)); // head
    p.drawRect(QRectF(2.5, 5, 3.5, 5));      // body
    p.setPen(QPen(orange, 1.5));
    p.drawLine(QPointF(3, 10), QPointF(2, 14)); // legs
    p.drawLine(QPointF(5.5, 10), QPointF(6.5, 14));
    p.drawLine(QPointF(2.5, 6), QPointF(0.5, 9)); // arm
    p.setPen(QPen(QColor(150, 150, 150), 1.5));   // the key
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(9, 2, 4, 4));
    p.drawLine(QPointF(11, 6), QPointF(11, 13));
    p.drawLine(QPointF(11, 11), QPointF(13, 11));
    p.drawLine(QPointF(11, 13), QPointF(13, 13));
    return QPixmap::fromImage(img);
}

QPixmap chestIcon(const QColor& bands)
{
    QImage img = canvas();
    QPainter p(&img);
    p.fillRect(1, 4, 13, 9, QColor(120, 70, 30)); // box
    p.fillRect(1, 4, 13, 3, QColor(150, 90, 40)); // lid
    p.setPen(QColor(50, 25, 10));
    p.drawRect(1, 4, 12, 8);
    p.fillRect(3, 4, 2, 9, bands);
    p.fillRect(10, 4, 2, 9, bands);
    p.fillRect(1, 7, 13, 1, bands);
    p.fillRect(7, 8, 1, 2, QColor(20, 20, 20)); // keyhole
    return QPixmap::fromImage(img);
}

} // namespace

MapIcons MapIcons::scaled(int size) const
{
    MapIcons small(*this);
    for (QPixmap& icon : small.m_icons)
        icon = icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return small;
}

MapIcons::MapIcons()
{
    m_icons[Exit] = exitIcon();
    m_icons[Loot] = lootIcon();
    m_icons[Ascent] = arrowIcon(true);
    m_icons[Descent] = arrowIcon(false);
    m_icons[Trap] = trapIcon();
    m_icons[Monster] = monsterIcon();
    m_icons[Flag] = flagIcon();
    m_icons[Player] = playerIcon();
    for (const Index chest : {RedChest, GreenChest, BlueChest, WhiteChest, IronChest, GoldChest})
        m_icons[chest] = chestIcon(colour(chest)); // the bands
}

QColor MapIcons::colour(int index)
{
    // The ascent is white; the descent's grey arrow would vanish on grey, so its dot is a pale blue.
    static const std::array<QColor, Count> colours =
        {
            QColor(0, 200, 220),  QColor(240, 220, 190), QColor(255, 255, 255), QColor(150, 150, 255),
            QColor(255, 80, 0),   QColor(220, 220, 230), QColor(230, 20, 20),   QColor(255, 140, 0),
            QColor(230, 20, 20),  QColor(20, 200, 40),   QColor(30, 80, 240),   QColor(255, 255, 255),
            QColor(200, 110, 50), QColor(255, 220, 0), // copper-coloured iron bands
        };
    return index >= 0 && index < Count ? colours[static_cast<std::size_t>(index)] : QColor();
}

int MapIcons::forObject(char code)
{
    const ObjectKind* kind = FindObjectKind(code);
    return kind ? static_cast<int>(kind->icon) : -1;
}

} // namespace veldor
