#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <string_view>

namespace veldor {

// Reads a text of numbers a line, as the program writes its small files: blanks between the numbers, '#' lines
// comments, empty lines and a CR before the line end ignored. `line(numbers, whole)` gets the first N numbers of
// each line (0 for those missing); `whole` tells that the line held exactly N and nothing else. A false from it
// stops the reading.
template <class T, std::size_t N, class F>
void ForEachNumberLine(std::string_view text, F line)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const char* p = text.data() + start;
        const char* const stop = text.data() + end;
        start = end + 1;
        if (p == stop || *p == '#' || (stop - p == 1 && *p == '\r'))
            continue;
        std::array<T, N> v{};
        std::size_t count = 0;
        for (; count < N; ++count) {
            while (p < stop && *p == ' ')
                ++p;
            const auto [next, ec] = std::from_chars(p, stop, v[count]);
            if (ec != std::errc())
                break;
            p = next;
        }
        while (p < stop && (*p == ' ' || *p == '\r'))
            ++p;
        if (!line(v, count == N && p == stop))
            return;
    }
}

} // namespace veldor
