#pragma once

class QLabel;
class QTabWidget;
class QWidget;

namespace veldor {

class BrowserView;
class ClickSplitterHandle;
class MapGrid;

// The controls the main window makes itself (the parts keep theirs); the name is also the object name.
struct MainWindowControls
{
    QTabWidget* browserTabs = nullptr;                // the browser tabs
    QWidget* gameTab = nullptr;                       // "Тирмора": the game tab, never closed
    BrowserView* gameBrowser = nullptr;               // the game tab's browser
    MapGrid* mapGrid = nullptr;                       // the map of the level shown
    ClickSplitterHandle* mapSplitter = nullptr;       // between the browser and the map: a click collapses the map
    ClickSplitterHandle* sidePanelSplitter = nullptr; // between the side panel and the browser: collapses the panel
    ClickSplitterHandle* bottomSplitter = nullptr;    // above the bottom panel: collapses it
    QLabel* squadLabel = nullptr; // the status strip's line about the group (made with its first line)
};

} // namespace veldor
