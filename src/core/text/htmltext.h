#pragma once

#include <string>
#include <string_view>

namespace veldor {

// Text made safe inside HTML content and quoted attribute values: & < > " ' become character references.
// Works on any ASCII-compatible encoding (UTF-8, Windows-1251).
std::string HtmlEscape(std::string_view text);

} // namespace veldor
