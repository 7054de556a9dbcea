#pragma once

#include <string_view>

namespace veldor {

// What a cell holds: the byte TMapCell::Object keeps in the map files. Cells never written by the program hold 0,
// which means nothing as well.
namespace Obj {
inline constexpr char None = 'n';
inline constexpr char Trap = 'L';
inline constexpr char Flag = 'F';
inline constexpr char Descent = 'd';
inline constexpr char Ascent = 'u';
inline constexpr char Exit = 'E';
inline constexpr char Monster = 'M';
inline constexpr char Loot = 'r';
inline constexpr char RedChest = '1';
inline constexpr char GreenChest = '2';
inline constexpr char BlueChest = '3';
inline constexpr char WhiteChest = '4';
inline constexpr char IronChest = '5';
inline constexpr char GoldChest = '6';
} // namespace Obj

// The map's symbols; the map view draws one picture for each.
enum class ObjectIcon
{
    Exit,
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
};
inline constexpr int kObjectIconCount = 14;

inline constexpr std::string_view kChestSound = "chest.wav";

// One kind of object: its code, its name in the map's hint, its symbol and the sound the reader plays when it
// finds one (empty: none).
struct ObjectKind
{
    char code;
    std::u8string_view name;
    ObjectIcon icon;
    std::string_view sound;
};

inline constexpr ObjectKind kObjectKinds[] = {
    {Obj::Exit, u8"Выход", ObjectIcon::Exit, {}},
    {Obj::Loot, u8"Лут", ObjectIcon::Loot, "res.wav"},
    {Obj::Ascent, u8"Подъем", ObjectIcon::Ascent, "down.wav"},
    {Obj::Descent, u8"Спуск", ObjectIcon::Descent, "down.wav"},
    {Obj::Monster, u8"Моб", ObjectIcon::Monster, "mob.wav"},
    {Obj::Trap, u8"Ловушка", ObjectIcon::Trap, "trap.wav"},
    {Obj::Flag, u8"Флаг", ObjectIcon::Flag, "flag.wav"},
    {Obj::RedChest, u8"Красный сундук", ObjectIcon::RedChest, kChestSound},
    {Obj::GreenChest, u8"Зеленый сундук", ObjectIcon::GreenChest, kChestSound},
    {Obj::BlueChest, u8"Синий сундук", ObjectIcon::BlueChest, kChestSound},
    {Obj::WhiteChest, u8"Белый сундук", ObjectIcon::WhiteChest, kChestSound},
    {Obj::IronChest, u8"Железный сундук", ObjectIcon::IronChest, kChestSound},
    {Obj::GoldChest, u8"Золотой сундук", ObjectIcon::GoldChest, kChestSound},
};

// Setting a chest takes any code from the first chest to the last.
static_assert(Obj::GreenChest == Obj::RedChest + 1 && Obj::BlueChest == Obj::RedChest + 2 &&
              Obj::WhiteChest == Obj::RedChest + 3 && Obj::IronChest == Obj::RedChest + 4 &&
              Obj::GoldChest == Obj::RedChest + 5);

// The kind of an object code; null for nothing (0, 'n') and for codes no kind has.
constexpr const ObjectKind* FindObjectKind(char code)
{
    for (const ObjectKind& kind : kObjectKinds) {
        if (kind.code == code)
            return &kind;
    }
    return nullptr;
}

// The sound of a kind that has one (a compile-time lookup for the reader).
constexpr std::string_view ObjectSound(char code)
{
    const ObjectKind* kind = FindObjectKind(code);
    return kind ? kind->sound : std::string_view{};
}

} // namespace veldor
