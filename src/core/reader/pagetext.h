#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veldor {

// The game frame's markup in Windows-1251, one entry per line.
using PageLines = std::vector<std::string>;

// Splits at CR, LF or CR LF (the breaks are dropped); a NUL character ends the text.
PageLines SplitPageLines(std::string_view text);

struct MarkerHit
{
    bool found = false;
    int index = 0;
};

// The one marker search over the page: from the third line on, stopping at the first line that contains the
// marker or at the last line; a hit on the last line counts as not found. Nothing (an error that ends the
// tick's recognition) for a page of fewer than three lines.
std::optional<MarkerHit> FindPageMarker(const PageLines& lines, std::string_view marker);

} // namespace veldor
