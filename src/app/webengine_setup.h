#pragma once

namespace veldor {

// Settings Qt WebEngine reads once, before the application object exists: the program's entry and every
// test that builds the window call this first.
void prepareWebEngine();

} // namespace veldor
