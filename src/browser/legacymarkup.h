#pragma once

#include <QString>

namespace veldor {

// Rewrites the browser's own serialisation of an element's children (innerHTML) into the dialect the game's
// markers were written for: upper-case tag names, a plain-word id without quotes, other attribute values in
// double quotes, a line break before each block-level start tag, and the text of an iframe escaped. The
// browser's serialisation already escapes text and attribute values that way, so only tags change; the
// engine does the walk, which is many times faster than walking the nodes in a script.
QString LegacyMarkup(const QString& html);

} // namespace veldor
