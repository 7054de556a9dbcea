#pragma once

class QApplication;

namespace veldor {

// Settings Qt WebEngine reads once, before the application object exists: the program's entry and every
// test that builds the window call this first.
void prepareWebEngine();

// What the application object needs before the first window: its name and the Russian translations of the
// standard dialogs and of the browser. The program's entry and the window tests call this.
void setupApplication(QApplication& app);

} // namespace veldor
