#include "cp1251.h"

#include <array>

namespace veldor::cp1251 {
namespace {

// 0x80..0xBF; 0xC0..0xFF are the contiguous Cyrillic letters U+0410..U+044F.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

void appendUtf8(std::u8string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char8_t>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char8_t>(0xC0 | (cp >> 6));
        out += static_cast<char8_t>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char8_t>(0xE0 | (cp >> 12));
        out += static_cast<char8_t>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char8_t>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char8_t>(0xF0 | (cp >> 18));
        out += static_cast<char8_t>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char8_t>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char8_t>(0x80 | (cp & 0x3F));
    }
}

} // namespace

char32_t toUnicode(unsigned char byte)
{
    if (byte < 0x80)
        return byte;
    if (byte >= 0xC0)
        return 0x0410 + (byte - 0xC0);
    return kHigh[byte - 0x80];
}

char fromUnicode(char32_t cp)
{
    if (cp < 0x80)
        return static_cast<char>(cp);
    if (cp >= 0x0410 && cp <= 0x044F)
        return static_cast<char>(0xC0 + (cp - 0x0410));
    if (cp == 0xFFFD)
        return '?';
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == cp)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

std::u8string toUtf8(std::string_view cp1251)
{
    std::u8string out;
    out.reserve(cp1251.size() * 2);
    for (char c : cp1251)
        appendUtf8(out, toUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string fromUtf8(std::u8string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            cp = lead & 0x07;
        } else {
            out += '?';
            ++i;
            continue;
        }
        bool valid = true;
        for (int k = 1; valid && k <= extra; ++k) {
            if (i + k >= utf8.size() || (static_cast<unsigned char>(utf8[i + k]) & 0xC0) != 0x80)
                valid = false;
            else
                cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        if (!valid) {
            out += '?';
            ++i;
            continue;
        }
        out += fromUnicode(cp);
        i += extra + 1;
    }
    return out;
}

std::u8string asUtf8(std::string_view bytes)
{
    return {bytes.begin(), bytes.end()};
}

std::string bytesOf(std::u8string_view utf8)
{
    return {utf8.begin(), utf8.end()};
}

} // namespace veldor::cp1251
