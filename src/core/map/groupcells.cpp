#include "groupcells.h"

#include <bit>

namespace veldor {

bool GroupCells::index(const AtlasPlace& p, std::size_t& at)
{
    if (p.lab < 1 || p.lab > kLabyrinthCount || p.level < 0 || p.level >= kLevelCount || p.x < 0 || p.x >= kGridSide ||
        p.y < 0 || p.y >= kGridSide)
        return false;
    at = ((std::size_t{p.lab - 1} * kLevelCount + static_cast<std::size_t>(p.level)) * kGridSide +
          static_cast<std::size_t>(p.x)) *
             kGridSide +
         static_cast<std::size_t>(p.y);
    return true;
}

void GroupCells::add(const AtlasPlace& place)
{
    std::size_t at = 0;
    if (!index(place, at))
        return;
    if (m_bits.empty())
        m_bits.assign(kBytes, 0);
    const auto bit = static_cast<std::uint8_t>(1u << (at % 8));
    if ((m_bits[at / 8] & bit) == 0) {
        m_bits[at / 8] |= bit;
        ++m_count;
    }
}

void GroupCells::own(const AtlasPlace& place)
{
    std::size_t at = 0;
    if (m_bits.empty() || !index(place, at))
        return;
    const auto bit = static_cast<std::uint8_t>(1u << (at % 8));
    if ((m_bits[at / 8] & bit) != 0) {
        m_bits[at / 8] &= static_cast<std::uint8_t>(~bit);
        --m_count;
    }
}

bool GroupCells::fromGroup(const AtlasPlace& place) const
{
    std::size_t at = 0;
    return !m_bits.empty() && index(place, at) && (m_bits[at / 8] & (1u << (at % 8))) != 0;
}

void GroupCells::stripFrom(Atlas& copy) const
{
    if (m_count == 0)
        return;
    for (std::size_t byte = 0; byte < m_bits.size(); ++byte) {
        for (unsigned bits = m_bits[byte]; bits != 0; bits &= bits - 1) {
            std::size_t at = byte * 8 + static_cast<std::size_t>(std::countr_zero(bits));
            const int y = static_cast<int>(at % kGridSide);
            at /= kGridSide;
            const int x = static_cast<int>(at % kGridSide);
            at /= kGridSide;
            const int level = static_cast<int>(at % kLevelCount);
            const auto lab = static_cast<unsigned>(at / kLevelCount) + 1;
            if (TMapCell* cell = copy.cell(lab, level, x, y))
                *cell = TMapCell{};
        }
    }
}

std::string GroupCells::bytes() const
{
    if (m_count == 0)
        return {};
    return {m_bits.begin(), m_bits.end()};
}

GroupCells GroupCells::parse(const std::string& bytes)
{
    GroupCells cells;
    if (bytes.size() != kBytes)
        return cells;
    cells.m_bits.assign(bytes.begin(), bytes.end());
    for (std::uint8_t b : cells.m_bits)
        cells.m_count += static_cast<std::size_t>(std::popcount(b));
    if (cells.m_count == 0)
        cells.m_bits.clear();
    return cells;
}

} // namespace veldor
