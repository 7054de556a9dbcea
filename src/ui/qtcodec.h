#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace veldor {

// The boundary between the Windows-1251 logic and Qt's Unicode strings.
QString fromCp1251(std::string_view bytes);
std::string toCp1251(const QString& text);
// Interface text of the rules (names, labels) is UTF-8 of its own type, so it cannot pass for page text.
QString fromUtf8Text(std::u8string_view text);

} // namespace veldor
