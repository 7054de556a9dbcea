#pragma once

#include "map/objects.h"

#include <QPixmap>
#include <array>

namespace veldor {

// The 14 map symbols, 15 x 15 each, drawn by the program itself.
class MapIcons
{
public:
    // Indexes of the pictures: the object table's symbols.
    enum Index
    {
        Exit = static_cast<int>(ObjectIcon::Exit),
        Loot = static_cast<int>(ObjectIcon::Loot),
        Ascent = static_cast<int>(ObjectIcon::Ascent),
        Descent = static_cast<int>(ObjectIcon::Descent),
        Trap = static_cast<int>(ObjectIcon::Trap),
        Monster = static_cast<int>(ObjectIcon::Monster),
        Flag = static_cast<int>(ObjectIcon::Flag),
        Player = static_cast<int>(ObjectIcon::Player),
        RedChest = static_cast<int>(ObjectIcon::RedChest),
        GreenChest = static_cast<int>(ObjectIcon::GreenChest),
        BlueChest = static_cast<int>(ObjectIcon::BlueChest),
        WhiteChest = static_cast<int>(ObjectIcon::WhiteChest),
        IronChest = static_cast<int>(ObjectIcon::IronChest),
        GoldChest = static_cast<int>(ObjectIcon::GoldChest),
        Count = kObjectIconCount
    };

    MapIcons();
    // The same symbols, `size` pixels square, for maps drawn small.
    MapIcons scaled(int size) const;
    const QPixmap& icon(int index) const { return m_icons[static_cast<std::size_t>(index)]; }
    // The main colour of a symbol, bright enough on black and on grey: drawn into the symbol and, where a map is
    // drawn too small for symbols, as its dot.
    static QColor colour(int index);
    // The icon of an object code, or -1 for a code that shows none.
    static int forObject(char code);

private:
    std::array<QPixmap, Count> m_icons;
};

} // namespace veldor
