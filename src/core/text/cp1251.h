#pragma once

#include <string>
#include <string_view>

// Windows-1251 is the code page of the game's pages and of every file the program keeps.
namespace veldor::cp1251 {

// Unicode code point of one Windows-1251 byte; 0x98, the one unassigned byte, maps to U+FFFD.
char32_t toUnicode(unsigned char byte);

// Windows-1251 byte of a code point, or '?' when the code page has no such character.
char fromUnicode(char32_t codePoint);

std::string toUtf8(std::string_view cp1251);

// Invalid UTF-8 sequences and unmappable characters become '?'.
std::string fromUtf8(std::string_view utf8);

} // namespace veldor::cp1251
