#include "travel.h"

#include "text/cp1251.h"

#include <cfenv>
#include <cmath>

namespace veldor {
namespace {

constexpr std::array<std::u8string_view, kTownCount> kTowns = {
    u8"Башня Смерти", u8"Башня Хаоса",     u8"Болотный Замок", u8"Ведьмины Топи",    u8"Горный замок",
    u8"Долина Магов", u8"Замок Паладинов", u8"Илдиор",         u8"Лагденойский Лес", u8"Лагерь Наемников",
    u8"Лесной Замок", u8"Пещеры Драконов", u8"Порт",           u8"Пустынный Замок",  u8"Руины",
    u8"Столица",      u8"Шахты",
};

constexpr std::int32_t kTimes[kTownCount][kTownCount] = {
    {0, 2376, 5522, 5094, 3289, 4568, 1966, 4525, 3863, 3936, 3543, 2382, 8795, 8778, 5352, 3091, 2982},
    {2376, 0, 6204, 4525, 5623, 4727, 3327, 5127, 3752, 5533, 2951, 1059, 6493, 6586, 3936, 4943, 5221},
    {5522, 6204, 0, 2999, 5412, 3778, 3565, 1078, 2651, 2584, 3582, 5188, 9782, 9135, 4837, 3415, 4720},
    {5094, 4525, 2999, 0, 6664, 5909, 3716, 2376, 1334, 4479, 1634, 3496, 6788, 6141, 1858, 4777, 5957},
    {3289, 5623, 5412, 6664, 0, 2270, 3078, 4876, 5352, 2851, 5603, 5340, 11830, 11658, 7674, 2029, 722},
    {4568, 4727, 3778, 5909, 2270, 0, 3259, 3653, 4784, 1430, 5384, 5893, 12036, 11659, 7361, 1588, 1891},
    {1966, 3327, 3565, 3716, 3078, 3259, 0, 2602, 2382, 2211, 2526, 2634, 8920, 8658, 4596, 1680, 2431},
    {4525, 5127, 1078, 2376, 4876, 3653, 2602, 0, 1673, 2261, 2585, 4116, 9024, 8459, 4096, 2849, 4157},
    {3863, 3752, 2651, 1334, 5352, 4784, 2382, 1673, 0, 3368, 931, 2694, 7430, 6939, 2588, 3522, 4652},
    {3936, 5533, 2584, 4479, 2851, 1430, 2211, 2261, 3368, 0, 4017, 4765, 7093, 6676, 5953, 989, 2189},
    {3543, 2951, 3582, 1634, 5603, 5384, 2526, 2585, 931, 4017, 0, 1898, 6678, 6276, 2073, 3972, 4944},
    {2382, 1059, 5188, 3496, 5340, 5893, 2634, 4116, 2694, 4765, 1898, 0, 6501, 6414, 3144, 4311, 4831},
    {8795, 6493, 9782, 6788, 11830, 12036, 8920, 9024, 7430, 7093, 6678, 6501, 0, 1104, 4948, 10546, 11283},
    {8778, 6586, 9135, 6141, 11658, 11659, 8658, 8459, 6939, 6676, 6276, 6414, 1104, 0, 4369, 10227, 11069},
    {5352, 3936, 4837, 1858, 7674, 7361, 4596, 4096, 2588, 5953, 2073, 3144, 4948, 4369, 0, 6017, 7017},
    {3091, 4943, 3415, 4777, 2029, 1588, 1680, 2849, 3522, 989, 3972, 4311, 10546, 10227, 6017, 0, 1317},
    {2982, 5221, 4720, 5957, 722, 1891, 2431, 4157, 4652, 2189, 4944, 4831, 11283, 11069, 7017, 1317, 0},
};

// 2^(-k/10) to four decimals, except k = 6, which the game's table gives as 0.6595.
constexpr double kFactors[31] = {1.0,    0.933,  0.8706, 0.8123, 0.7579, 0.7071, 0.6595, 0.6156, 0.5743, 0.5359, 0.5,
                                 0.4665, 0.4353, 0.4061, 0.3789, 0.3536, 0.3299, 0.3078, 0.2872, 0.2679, 0.25,   0.2333,
                                 0.2176, 0.2031, 0.1895, 0.1768, 0.1649, 0.1539, 0.1436, 0.134,  0.125};

} // namespace

void FillTravelTables(TravelTables& tables)
{
    for (int i = 0; i < kTownCount; ++i) {
        for (int j = 0; j < kTownCount; ++j)
            tables.TravelTimes[i][j] = kTimes[i][j];
    }
    for (int k = 0; k < 31; ++k)
        tables.SpeedFactors[k] = kFactors[k];
}

std::u8string_view TownName(int index)
{
    return index >= 0 && index < kTownCount ? kTowns[index] : std::u8string_view{};
}

std::string TwoDigits(const std::string& text)
{
    return text.size() == 1 ? "0" + text : text;
}

std::int64_t TravelSeconds(const TravelTables& tables, int from, int to, int speedItem)
{
    if (from < 0 || from >= kTownCount || to < 0 || to >= kTownCount || speedItem < 0 || speedItem >= kSpeedItems)
        return -1;
    const double base = tables.TravelTimes[from][to];
    const double t =
        speedItem > 30 ? base * tables.SpeedFactors[speedItem - 30] : base / tables.SpeedFactors[30 - speedItem];
    // rint rounds in the current mode, which is to nearest with ties to even unless someone changed it.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::rint(t);
    std::fesetround(saved);
    return static_cast<std::int64_t>(rounded);
}

std::u8string TravelEstimateText(const TravelTables& tables, int from, int to, int speedItem)
{
    const std::int64_t t = TravelSeconds(tables, from, to, speedItem);
    if (t < 0)
        return {};
    const std::int64_t h = t / 3600;
    const std::int64_t m = (t % 3600) / 60;
    const std::int64_t s = t % 60;
    return u8"Расчетное время: " + cp1251::asUtf8(TwoDigits(std::to_string(h)) + ":" + TwoDigits(std::to_string(m)) +
                                                  ":" + TwoDigits(std::to_string(s)));
}

} // namespace veldor
