#pragma once

#include <string>
#include <string_view>

// Windows-1251 is the code page of the game's pages and of every file the program keeps.
namespace veldor::cp1251 {

// Unicode code point of one Windows-1251 byte; 0x98, the one unassigned byte, maps to U+FFFD.
char32_t toUnicode(unsigned char byte);

// Windows-1251 byte of a code point, or '?' when the code page has no such character.
char fromUnicode(char32_t codePoint);

// Interface text (names, labels) is UTF-8 of its own type, char8_t, so that it cannot be mistaken for the
// Windows-1251 `std::string` of pages and files: mixing the two does not compile.
std::u8string toUtf8(std::string_view cp1251);

// Invalid UTF-8 sequences and unmappable characters become '?'.
std::string fromUtf8(std::u8string_view utf8);

// Crossing on purpose: bytes known to be UTF-8 (a UTF-8 file, a test's text) as interface text, and back.
std::u8string asUtf8(std::string_view bytes);
std::string bytesOf(std::u8string_view utf8);

} // namespace veldor::cp1251
