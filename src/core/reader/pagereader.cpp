#include "pagereader.h"

#include "map/objects.h"

#include "text/cp1251.h"

#include <array>
#include <climits>

namespace veldor {
namespace {

const std::string kFatigueMarker = cp1251::fromUtf8(u8"<DIV id=hru name=\"hru\">измотанность:");
const std::string kFatigueWord = cp1251::fromUtf8(u8"измотанность:");
const std::string kTitleMarker = "<DIV id=title name=\"title\"><B>L";
const std::string kItemsMarker = cp1251::fromUtf8(u8"Вещи тут:");
const std::string kMonsterMarker = "onclick=\"javascript: oIm(";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A collected digit string as a number; nothing when empty or too large (such a page is not read).
std::optional<int> digitsValue(const std::string& digits)
{
    if (digits.empty())
        return std::nullopt;
    long long v = 0;
    for (char c : digits) {
        v = v * 10 + (c - '0');
        if (v > INT_MAX)
            return std::nullopt;
    }
    return static_cast<int>(v);
}

// A coordinate: optional leading blanks, an optional sign, digits and nothing else.
std::optional<int> coordinate(std::string_view t)
{
    std::size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        negative = t[i++] == '-';
    if (i == t.size())
        return std::nullopt;
    long long v = 0;
    for (; i < t.size(); ++i) {
        if (!isDigit(t[i]))
            return std::nullopt;
        v = v * 10 + (t[i] - '0');
        if (v > INT_MAX)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -v : v);
}

bool present(const PageLines& lines, std::string_view marker)
{
    const auto hit = FindPageMarker(lines, marker);
    return hit && hit->found;
}

struct SideRule
{
    const char* marker;
    const char* arrow;
    std::uint8_t TMapCell::*field;
    std::uint8_t TMapCell::*facing;
    int dx;
    int dy;
};

constexpr std::array<SideRule, 4> kSides = {{
    {"<DIV id=d1 name=\"d1\">", "go_n_s.gif", &TMapCell::North, &TMapCell::South, 0, -1},
    {"<DIV id=d7 name=\"d7\">", "go_s_s.gif", &TMapCell::South, &TMapCell::North, 0, 1},
    {"<DIV id=d3 name=\"d3\">", "go_w_s.gif", &TMapCell::West, &TMapCell::East, -1, 0},
    {"<DIV id=d5 name=\"d5\">", "go_e_s.gif", &TMapCell::East, &TMapCell::West, 1, 0},
}};

constexpr std::array<const char*, 7> kDoorImages = {"go10_s.gif", "go5_s.gif", "go2_s.gif", "go4_s.gif",
                                                    "go3_s.gif",  "go6_s.gif", "go7_s.gif"};

struct ChestRule
{
    const char* image;
    char code; // 0: a chest for the sound, without a code
};
constexpr std::array<ChestRule, 8> kChests = {{
    {"unlock_2_s.gif", Obj::RedChest},
    {"unlock_3_s.gif", Obj::GreenChest},
    {"unlock_4_s.gif", Obj::BlueChest},
    {"unlock_5_s.gif", Obj::WhiteChest},
    {"unlock_10_s.gif", Obj::WhiteChest},
    {"unlock_6_s.gif", Obj::IronChest},
    {"unlock_7_s.gif", Obj::GoldChest},
    {"unlock_8_s.gif", 0},
}};

class CellRecognition
{
public:
    CellRecognition(const PageLines& lines, Atlas& atlas, ReaderState& state, ReaderHost& host, int x, int y)
        : m_lines(lines), m_atlas(atlas), m_state(state), m_host(host), m_lab(host.playerLab()),
          m_level(state.PageLevel), m_x(x), m_y(y), m_n(LabSide(m_lab))
    {}

    void run()
    {
        const std::string entry = PositionEntry(m_level, m_x, m_y);
        dropStaleEntries(entry);
        char object = Obj::None;
        m_host.setCoordinatesText(std::to_string(m_x) + "x" + std::to_string(m_y));

        if (present(m_lines, "trap")) {
            play(ObjectSound(Obj::Trap));
            object = Obj::Trap;
            addEntry(ListKind::Traps, m_level, entry);
        }
        if (present(m_lines, "flag.jpg")) {
            play(ObjectSound(Obj::Flag));
            object = Obj::Flag;
            addEntry(ListKind::Flags, m_level, entry);
        }
        readSides();
        if (present(m_lines, "go_d_s.gif")) {
            play(ObjectSound(Obj::Descent));
            object = Obj::Descent;
            // A way down on the deepest level has no level below inside the atlas: nothing is paired there.
            if (TMapCell* below = m_atlas.cell(m_lab, m_level + 1, m_x, m_y))
                below->Object = Obj::Ascent;
            addEntry(ListKind::Transitions, m_level, entry);
        }
        if (present(m_lines, "go_u_s.gif")) {
            play(ObjectSound(Obj::Ascent));
            object = Obj::Ascent;
            // A way up on level 0 has no level above: no pair and no entry (it would name level -1).
            if (m_level > 0) {
                if (TMapCell* above = m_atlas.cell(m_lab, m_level - 1, m_x, m_y))
                    above->Object = Obj::Descent;
                addEntry(ListKind::Transitions, m_level - 1, PositionEntry(m_level - 1, m_x, m_y));
            }
        }
        if (present(m_lines, "go_out_s.gif")) {
            object = Obj::Exit;
            addEntry(ListKind::Exits, m_level, entry);
        }
        if (object == Obj::None || object == Obj::Monster) {
            if (present(m_lines, kMonsterMarker)) {
                object = Obj::Monster;
                play(ObjectSound(Obj::Monster));
            } else {
                object = Obj::None;
            }
        }
        if (present(m_lines, kItemsMarker)) {
            char chest = 0;
            bool anyChest = false;
            for (const auto& rule : kChests) {
                if (present(m_lines, rule.image)) {
                    anyChest = true;
                    if (rule.code) {
                        chest = rule.code;
                        break;
                    }
                }
            }
            if (anyChest) {
                play(kChestSound);
                if (chest)
                    object = chest;
            } else {
                play(ObjectSound(Obj::Loot));
                object = Obj::Loot;
            }
        }
        if (TMapCell* cell = m_atlas.cell(m_lab, m_level, m_x, m_y)) {
            cell->Object = object;
            cell->Explored = 1;
        }
    }

private:
    void play(std::string_view file)
    {
        if (m_state.SoundArmed) {
            m_host.playSound(file);
            m_state.SoundArmed = false;
        }
    }

    bool inMemos(const std::string& entry) const
    {
        for (ListKind kind : {ListKind::Exits, ListKind::Transitions, ListKind::Traps, ListKind::Flags}) {
            if (MemoText(m_atlas, m_lab, kind).find(entry) != std::string::npos)
                return true;
        }
        return false;
    }

    void dropStaleEntries(const std::string& entry)
    {
        if (!inMemos(entry))
            return;
        if (TLevelLists* lists = m_atlas.levelLists(m_lab, m_level)) {
            for (ListKind kind : {ListKind::Exits, ListKind::Transitions, ListKind::Flags, ListKind::Traps}) {
                for (int k = 0; k < ListSlots(kind); ++k) {
                    if (SlotText(*lists, kind, k) == entry)
                        SetSlotText(*lists, kind, k, "");
                }
            }
        }
        m_host.objectListsChanged();
    }

    void addEntry(ListKind kind, int level, const std::string& entry)
    {
        if (MemoText(m_atlas, m_lab, kind).find(entry) != std::string::npos)
            return;
        if (TLevelLists* lists = m_atlas.levelLists(m_lab, level))
            AppendEntry(*lists, kind, entry);
        m_host.objectListsChanged();
    }

    void readSides()
    {
        TMapCell* cell = m_atlas.cell(m_lab, m_level, m_x, m_y);
        for (const SideRule& side : kSides) {
            const auto hit = FindPageMarker(m_lines, side.marker);
            if (!hit || !hit->found || !cell)
                continue;
            const std::string& line = m_lines[hit->index];
            std::uint8_t code = cell->*side.field;
            if (line.find(side.arrow) != std::string::npos)
                code = 1;
            for (std::size_t d = 0; d < kDoorImages.size(); ++d) {
                if (line.find(kDoorImages[d]) != std::string::npos)
                    code = static_cast<std::uint8_t>(d + 2);
            }
            cell->*side.field = code;
            const int nx = m_x + side.dx;
            const int ny = m_y + side.dy;
            if (nx >= 1 && nx <= m_n && ny >= 1 && ny <= m_n) {
                if (TMapCell* neighbour = m_atlas.cell(m_lab, m_level, nx, ny))
                    neighbour->*side.facing = code;
            }
        }
    }

    const PageLines& m_lines;
    Atlas& m_atlas;
    ReaderState& m_state;
    ReaderHost& m_host;
    unsigned m_lab;
    int m_level;
    int m_x;
    int m_y;
    int m_n;
};

} // namespace

void RecognizeCell(const PageLines& lines, Atlas& atlas, ReaderState& state, ReaderHost& host, int x, int y)
{
    CellRecognition(lines, atlas, state, host, x, y).run();
}

std::string CaptionPrefix(const ReaderState& s, int level)
{
    return "L - " + std::to_string(level) + " (" + std::to_string(s.ViewX) + "," + std::to_string(s.ViewY) + ")" +
           cp1251::fromUtf8(u8" измотанность: ") + std::to_string(s.Fatigue) + "%";
}

bool ShowsLabyrinth(const PageLines& lines)
{
    const auto title = FindPageMarker(lines, kTitleMarker);
    return title && title->found;
}

TickOutcome RecognizePage(const PageLines& lines, Atlas& atlas, ReaderState& state, ReaderHost& host)
{
    // Fatigue.
    const auto fatigue = FindPageMarker(lines, kFatigueMarker);
    if (!fatigue)
        return TickOutcome::Stopped;
    if (fatigue->found) {
        const std::string& line = lines[fatigue->index];
        std::string digits;
        for (std::size_t i = line.find(kFatigueWord) + 1; i < line.size(); ++i) {
            if (isDigit(line[i]))
                digits += line[i];
            if (line[i] == '%' || digits.size() > 10)
                break;
        }
        const auto value = digitsValue(digits);
        if (!value)
            return TickOutcome::Stopped;
        state.Fatigue = *value;
    }

    const auto title = FindPageMarker(lines, kTitleMarker);
    if (title && title->found) {
        const std::string& line = lines[title->index];
        // Level: the digits from the title's "<B>L-" up to the first "(".
        const auto bold = line.find("<B>L-");
        std::size_t i = bold == std::string::npos ? 0 : bold + 1;
        std::string digits;
        bool open = false;
        for (; i < line.size() && digits.size() <= 10; ++i) {
            if (isDigit(line[i]))
                digits += line[i];
            if (line[i] == '(') {
                open = true;
                ++i;
                break;
            }
        }
        const auto level = digitsValue(digits);
        // A level beyond the atlas's seventeen is no page of a known labyrinth: nothing is read from it.
        if (!level || *level >= kLevelCount)
            return TickOutcome::Stopped;
        if (*level != state.PageLevel) {
            state.LevelChanged = true;
            state.PageLevel = *level;
        }
        std::optional<int> x;
        std::optional<int> y;
        if (open) {
            const auto comma = line.find(',', i);
            x = coordinate(
                std::string_view(line).substr(i, comma == std::string::npos ? std::string::npos : comma - i));
            if (comma != std::string::npos) {
                const auto close = line.find(')', comma + 1);
                if (close != std::string::npos)
                    y = coordinate(std::string_view(line).substr(comma + 1, close - comma - 1));
            }
        }
        bool readable = x.has_value() && y.has_value();
        const int px = x.value_or(0);
        const int py = y.value_or(0);

        if (px != state.PosX || py != state.PosY) {
            if (host.soundsEnabled())
                state.SoundArmed = true;
            state.PosX = px;
            state.PosY = py;
            host.updateLevelStatistics();
            if (state.PageLevel != host.shownLevel())
                host.showLevel(state.PageLevel);
        } else if (state.LevelChanged) {
            host.showLevel(state.PageLevel);
            state.LevelChanged = false;
        }

        // A position outside the labyrinth's map is read like an unreadable one: nothing is recorded for it.
        const int n = LabSide(host.playerLab());
        if (px < 1 || py < 1 || (n > 0 && (px > n || py > n)))
            readable = false;
        if (readable) {
            RecognizeCell(lines, atlas, state, host, px, py);
            if (px != state.ViewX || py != state.ViewY) {
                state.ViewX = px;
                state.ViewY = py;
                host.followPlayer(px, py);
            }
        }
    }
    host.setCaptionPrefix(state.ViewX != 0 && state.ViewY != 0 ? CaptionPrefix(state, state.PageLevel) : "");
    return TickOutcome::Recognised;
}

} // namespace veldor
