#pragma once

#include <QPixmap>
#include <array>

namespace veldor {

// The 14 map symbols, 15 x 15 each, drawn by the program itself.
class MapIcons
{
public:
    enum Index
    {
        Exit = 0,
        Loot,
        Ascent,
        Descent,
        Trap,
        Monster,
        Flag,
        Player,
        RedChest,
        GreenChest,
        BlueChest,
        WhiteChest,
        IronChest,
        GoldChest,
        Count
    };

    MapIcons();
    const QPixmap& icon(int index) const { return m_icons[static_cast<std::size_t>(index)]; }
    // The icon of an object code, or -1 for a code that shows none.
    static int forObject(char code);

private:
    std::array<QPixmap, Count> m_icons;
};

} // namespace veldor
