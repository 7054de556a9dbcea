#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace veldor {

constexpr int kTownCount = 17;
constexpr int kSpeedItems = 61; // "-30".."30"

struct TravelTables
{
    // Seconds at speed 0, [start town][destination town].
    std::array<std::array<std::int32_t, kTownCount>, kTownCount> TravelTimes{};
    // Index k: the time factor of speed k (and the divisor of speed -k).
    std::array<double, 31> SpeedFactors{};
};

void FillTravelTables(TravelTables& tables);

// Town names of the start and destination boxes, in item order.
std::u8string_view TownName(int index);

// "0" before a one-character text, any other text unchanged.
std::string TwoDigits(const std::string& text);

// Estimated seconds for the box indexes (speed item 0..60 stands for -30..30), rounded half to even;
// -1 when an index is out of range.
std::int64_t TravelSeconds(const TravelTables& tables, int from, int to, int speedItem);

// "Расчетное время: hh:mm:ss" for the box indexes, or empty when an index is out of range.
std::u8string TravelEstimateText(const TravelTables& tables, int from, int to, int speedItem);

} // namespace veldor
