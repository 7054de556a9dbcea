#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace veldor {

// The boundary between the Windows-1251 logic and Qt's Unicode strings.
QString fromCp1251(std::string_view bytes);
std::string toCp1251(const QString& text);

} // namespace veldor
