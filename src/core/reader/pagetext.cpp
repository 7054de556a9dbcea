#include "pagetext.h"

namespace veldor {

PageLines SplitPageLines(std::string_view text)
{
    const auto nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    PageLines lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::optional<MarkerHit> FindPageMarker(const PageLines& lines, std::string_view marker)
{
    const int count = static_cast<int>(lines.size());
    if (count < 3)
        return std::nullopt;
    int index = 2;
    while (lines[index].find(marker) == std::string::npos && index != count - 1)
        ++index;
    return MarkerHit{index < count - 1, index};
}

} // namespace veldor
