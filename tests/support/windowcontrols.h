#pragma once

// The main window's controls as a person finds them: by their names (each control's object name), looked up in
// the window as it is now, so a control made later (the group's status line) is found once it is there.
#include "app/parts/loginpanel.h"
#include "app/parts/pagecontrol.h"
#include "browser/browserview.h"
#include "browser/shellmenus.h"
#include "mapview/clicksplitter.h"
#include "mapview/mapgrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>

namespace veldor::test {

struct FoundControls
{
    QWidget* toolBands = nullptr;
    QToolBar* browserToolBar = nullptr;
    QToolButton* backButton = nullptr;
    QToolButton* forwardButton = nullptr;
    QToolButton* reloadButton = nullptr;
    QToolButton* stopButton = nullptr;
    QComboBox* addressBox = nullptr;
    QPushButton* goButton = nullptr;
    QComboBox* nickBox = nullptr;
    QPushButton* findNickButton = nullptr;
    QScrollArea* sidePanel = nullptr;
    PageControl* sidePages = nullptr;
    QWidget* settingsPage = nullptr;
    QWidget* travelPage = nullptr;
    QLabel* labyrinthLabel = nullptr;
    QComboBox* labyrinthBox = nullptr;
    QLabel* levelLabel = nullptr;
    QComboBox* levelBox = nullptr;
    QLabel* cellSizeLabel = nullptr;
    QSpinBox* cellSizeSpin = nullptr;
    QCheckBox* passDoorsBox = nullptr;
    QCheckBox* soundsBox = nullptr;
    QCheckBox* frontierBox = nullptr;
    QCheckBox* hidePanelsBox = nullptr;
    QLabel* hidePanelsLine1 = nullptr;
    QLabel* hidePanelsLine2 = nullptr;
    QCheckBox* restorePanelsBox = nullptr;
    QPushButton* saveMapsButton = nullptr;
    QPushButton* clearLabyrinthButton = nullptr;
    QPushButton* clearAllMapsButton = nullptr;
    QCheckBox* squadBox = nullptr;
    QPushButton* squadFolderButton = nullptr;
    QPushButton* squadNameButton = nullptr;
    QCheckBox* squadPlaceBox = nullptr;
    QLabel* squadLabel = nullptr;
    QCheckBox* exitRouteBox = nullptr;
    QLabel* fromTownLabel = nullptr;
    QComboBox* fromTownBox = nullptr;
    QLabel* toTownLabel = nullptr;
    QComboBox* toTownBox = nullptr;
    QLabel* speedBonusLabel = nullptr;
    QComboBox* speedBonusBox = nullptr;
    QLabel* travelTimeLabel = nullptr;
    QTabWidget* browserTabs = nullptr;
    QWidget* gameTab = nullptr;
    BrowserView* gameBrowser = nullptr;
    MapGrid* mapGrid = nullptr;
    ClickSplitterHandle* mapSplitter = nullptr;
    ClickSplitterHandle* sidePanelSplitter = nullptr;
    ClickSplitterHandle* bottomSplitter = nullptr;
    QFrame* bottomPanel = nullptr;
    QLabel* transitionsLabel = nullptr;
    QPlainTextEdit* transitionsList = nullptr;
    QPushButton* clearTransitionsButton = nullptr;
    QPushButton* copyTransitionsButton = nullptr;
    QLabel* exitsLabel = nullptr;
    QPlainTextEdit* exitsList = nullptr;
    QPushButton* clearExitsButton = nullptr;
    QPushButton* copyExitsButton = nullptr;
    QLabel* trapsLabel = nullptr;
    QPlainTextEdit* trapsList = nullptr;
    QPushButton* clearTrapsButton = nullptr;
    QPushButton* copyTrapsButton = nullptr;
    QLabel* flagsLabel = nullptr;
    QPlainTextEdit* flagsList = nullptr;
    QPushButton* clearFlagsButton = nullptr;
    QPushButton* copyFlagsButton = nullptr;
    QPlainTextEdit* keyboardBox = nullptr;
    QLabel* exploredLabel = nullptr;
    QLabel* positionLabel = nullptr;
    QLabel* frontierLabel = nullptr;
    QLabel* wayLabel = nullptr;
    QProgressBar* loadProgressBar = nullptr;
    LoginPanel* loginPanel = nullptr;
    QLabel* loginTitle = nullptr;
    QLabel* loginLabel = nullptr;
    QLineEdit* loginEdit = nullptr;
    QLabel* passwordLabel = nullptr;
    QLineEdit* passwordEdit = nullptr;
    QPushButton* loginOkButton = nullptr;
    QPushButton* loginCancelButton = nullptr;
    QCheckBox* autoLoginBox = nullptr;
    QTimer* pollTimer = nullptr;
    QTimer* tabDoubleClickTimer = nullptr;
    QMenuBar* mainMenu = nullptr;
    QMenu* fileMenu = nullptr;
    QAction* fileNewTabAction = nullptr;
    QAction* openFileAction = nullptr;
    QAction* savePageAction = nullptr;
    QAction* pagePropertiesAction = nullptr;
    QAction* mergeMapsAction = nullptr;
    QAction* exportMapsAction = nullptr;
    QAction* saveLevelPictureAction = nullptr;
    QAction* exitAction = nullptr;
    QMenu* editMenu = nullptr;
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;
    QAction* copyAction = nullptr;
    QAction* cutAction = nullptr;
    QAction* pasteAction = nullptr;
    QAction* selectAllAction = nullptr;
    QAction* findInPageAction = nullptr;
    QAction* findOnMapAction = nullptr;
    QMenu* viewMenu = nullptr;
    QAction* viewSourceAction = nullptr;
    QMenu* fontSizeMenu = nullptr;
    QAction* largestFontAction = nullptr;
    QAction* largeFontAction = nullptr;
    QAction* mediumFontAction = nullptr;
    QAction* smallFontAction = nullptr;
    QAction* smallestFontAction = nullptr;
    QAction* atlasOverviewAction = nullptr;
    QAction* showPlayerAction = nullptr;
    QAction* squadMembersAction = nullptr;
    QAction* defaultCellSizeAction = nullptr;
    QAction* wayToExitAction = nullptr;
    QAction* wayToDescentAction = nullptr;
    QAction* wayToAscentAction = nullptr;
    QAction* clearWayAction = nullptr;
    HistoryMenu* historyMenu = nullptr;
    FavoritesMenu* favoritesMenu = nullptr;
    QMenu* extrasMenu = nullptr;
    QAction* loginDataAction = nullptr;
    QAction* findNickAction = nullptr;
    QAction* clearAddressesAction = nullptr;
    QAction* clearNicksAction = nullptr;
    QAction* internetOptionsAction = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* guideAction = nullptr;
    QAction* legendAction = nullptr;
    QAction* aboutAction = nullptr;
    QMenu* tabStripMenu = nullptr;
    QAction* newTabAction = nullptr;
    QAction* closeTabAction = nullptr;
    QMenu* cellMenu = nullptr;
    QAction* wayHereAction = nullptr;
    QMenu* cellAddMenu = nullptr;
    QAction* addTrapAction = nullptr;
    QAction* addFlagAction = nullptr;
    QAction* addDescentAction = nullptr;
    QAction* addAscentAction = nullptr;
    QAction* addExitAction = nullptr;
    QMenu* chestMenu = nullptr;
    QAction* redChestAction = nullptr;
    QAction* greenChestAction = nullptr;
    QAction* blueChestAction = nullptr;
    QAction* whiteChestAction = nullptr;
    QAction* ironChestAction = nullptr;
    QAction* goldChestAction = nullptr;
    QAction* addMarkerAction = nullptr;
    QAction* clearCellAction = nullptr;

    explicit FoundControls(const QObject& window)
    {
        const QHash<QString, std::function<void(QObject*)>> byName = {
            {"toolBands", [this](QObject* o) { take(toolBands, o); }},
            {"browserToolBar", [this](QObject* o) { take(browserToolBar, o); }},
            {"backButton", [this](QObject* o) { take(backButton, o); }},
            {"forwardButton", [this](QObject* o) { take(forwardButton, o); }},
            {"reloadButton", [this](QObject* o) { take(reloadButton, o); }},
            {"stopButton", [this](QObject* o) { take(stopButton, o); }},
            {"addressBox", [this](QObject* o) { take(addressBox, o); }},
            {"goButton", [this](QObject* o) { take(goButton, o); }},
            {"nickBox", [this](QObject* o) { take(nickBox, o); }},
            {"findNickButton", [this](QObject* o) { take(findNickButton, o); }},
            {"sidePanel", [this](QObject* o) { take(sidePanel, o); }},
            {"sidePages", [this](QObject* o) { take(sidePages, o); }},
            {"settingsPage", [this](QObject* o) { take(settingsPage, o); }},
            {"travelPage", [this](QObject* o) { take(travelPage, o); }},
            {"labyrinthLabel", [this](QObject* o) { take(labyrinthLabel, o); }},
            {"labyrinthBox", [this](QObject* o) { take(labyrinthBox, o); }},
            {"levelLabel", [this](QObject* o) { take(levelLabel, o); }},
            {"levelBox", [this](QObject* o) { take(levelBox, o); }},
            {"cellSizeLabel", [this](QObject* o) { take(cellSizeLabel, o); }},
            {"cellSizeSpin", [this](QObject* o) { take(cellSizeSpin, o); }},
            {"passDoorsBox", [this](QObject* o) { take(passDoorsBox, o); }},
            {"soundsBox", [this](QObject* o) { take(soundsBox, o); }},
            {"frontierBox", [this](QObject* o) { take(frontierBox, o); }},
            {"hidePanelsBox", [this](QObject* o) { take(hidePanelsBox, o); }},
            {"hidePanelsLine1", [this](QObject* o) { take(hidePanelsLine1, o); }},
            {"hidePanelsLine2", [this](QObject* o) { take(hidePanelsLine2, o); }},
            {"restorePanelsBox", [this](QObject* o) { take(restorePanelsBox, o); }},
            {"saveMapsButton", [this](QObject* o) { take(saveMapsButton, o); }},
            {"clearLabyrinthButton", [this](QObject* o) { take(clearLabyrinthButton, o); }},
            {"clearAllMapsButton", [this](QObject* o) { take(clearAllMapsButton, o); }},
            {"squadBox", [this](QObject* o) { take(squadBox, o); }},
            {"squadFolderButton", [this](QObject* o) { take(squadFolderButton, o); }},
            {"squadNameButton", [this](QObject* o) { take(squadNameButton, o); }},
            {"squadPlaceBox", [this](QObject* o) { take(squadPlaceBox, o); }},
            {"squadLabel", [this](QObject* o) { take(squadLabel, o); }},
            {"exitRouteBox", [this](QObject* o) { take(exitRouteBox, o); }},
            {"fromTownLabel", [this](QObject* o) { take(fromTownLabel, o); }},
            {"fromTownBox", [this](QObject* o) { take(fromTownBox, o); }},
            {"toTownLabel", [this](QObject* o) { take(toTownLabel, o); }},
            {"toTownBox", [this](QObject* o) { take(toTownBox, o); }},
            {"speedBonusLabel", [this](QObject* o) { take(speedBonusLabel, o); }},
            {"speedBonusBox", [this](QObject* o) { take(speedBonusBox, o); }},
            {"travelTimeLabel", [this](QObject* o) { take(travelTimeLabel, o); }},
            {"browserTabs", [this](QObject* o) { take(browserTabs, o); }},
            {"gameTab", [this](QObject* o) { take(gameTab, o); }},
            {"gameBrowser", [this](QObject* o) { take(gameBrowser, o); }},
            {"mapGrid", [this](QObject* o) { take(mapGrid, o); }},
            {"mapSplitter", [this](QObject* o) { take(mapSplitter, o); }},
            {"sidePanelSplitter", [this](QObject* o) { take(sidePanelSplitter, o); }},
            {"bottomSplitter", [this](QObject* o) { take(bottomSplitter, o); }},
            {"bottomPanel", [this](QObject* o) { take(bottomPanel, o); }},
            {"transitionsLabel", [this](QObject* o) { take(transitionsLabel, o); }},
            {"transitionsList", [this](QObject* o) { take(transitionsList, o); }},
            {"clearTransitionsButton", [this](QObject* o) { take(clearTransitionsButton, o); }},
            {"copyTransitionsButton", [this](QObject* o) { take(copyTransitionsButton, o); }},
            {"exitsLabel", [this](QObject* o) { take(exitsLabel, o); }},
            {"exitsList", [this](QObject* o) { take(exitsList, o); }},
            {"clearExitsButton", [this](QObject* o) { take(clearExitsButton, o); }},
            {"copyExitsButton", [this](QObject* o) { take(copyExitsButton, o); }},
            {"trapsLabel", [this](QObject* o) { take(trapsLabel, o); }},
            {"trapsList", [this](QObject* o) { take(trapsList, o); }},
            {"clearTrapsButton", [this](QObject* o) { take(clearTrapsButton, o); }},
            {"copyTrapsButton", [this](QObject* o) { take(copyTrapsButton, o); }},
            {"flagsLabel", [this](QObject* o) { take(flagsLabel, o); }},
            {"flagsList", [this](QObject* o) { take(flagsList, o); }},
            {"clearFlagsButton", [this](QObject* o) { take(clearFlagsButton, o); }},
            {"copyFlagsButton", [this](QObject* o) { take(copyFlagsButton, o); }},
            {"keyboardBox", [this](QObject* o) { take(keyboardBox, o); }},
            {"exploredLabel", [this](QObject* o) { take(exploredLabel, o); }},
            {"positionLabel", [this](QObject* o) { take(positionLabel, o); }},
            {"frontierLabel", [this](QObject* o) { take(frontierLabel, o); }},
            {"wayLabel", [this](QObject* o) { take(wayLabel, o); }},
            {"loadProgressBar", [this](QObject* o) { take(loadProgressBar, o); }},
            {"loginPanel", [this](QObject* o) { take(loginPanel, o); }},
            {"loginTitle", [this](QObject* o) { take(loginTitle, o); }},
            {"loginLabel", [this](QObject* o) { take(loginLabel, o); }},
            {"loginEdit", [this](QObject* o) { take(loginEdit, o); }},
            {"passwordLabel", [this](QObject* o) { take(passwordLabel, o); }},
            {"passwordEdit", [this](QObject* o) { take(passwordEdit, o); }},
            {"loginOkButton", [this](QObject* o) { take(loginOkButton, o); }},
            {"loginCancelButton", [this](QObject* o) { take(loginCancelButton, o); }},
            {"autoLoginBox", [this](QObject* o) { take(autoLoginBox, o); }},
            {"pollTimer", [this](QObject* o) { take(pollTimer, o); }},
            {"tabDoubleClickTimer", [this](QObject* o) { take(tabDoubleClickTimer, o); }},
            {"mainMenu", [this](QObject* o) { take(mainMenu, o); }},
            {"fileMenu", [this](QObject* o) { take(fileMenu, o); }},
            {"fileNewTabAction", [this](QObject* o) { take(fileNewTabAction, o); }},
            {"openFileAction", [this](QObject* o) { take(openFileAction, o); }},
            {"savePageAction", [this](QObject* o) { take(savePageAction, o); }},
            {"pagePropertiesAction", [this](QObject* o) { take(pagePropertiesAction, o); }},
            {"mergeMapsAction", [this](QObject* o) { take(mergeMapsAction, o); }},
            {"exportMapsAction", [this](QObject* o) { take(exportMapsAction, o); }},
            {"saveLevelPictureAction", [this](QObject* o) { take(saveLevelPictureAction, o); }},
            {"exitAction", [this](QObject* o) { take(exitAction, o); }},
            {"editMenu", [this](QObject* o) { take(editMenu, o); }},
            {"undoAction", [this](QObject* o) { take(undoAction, o); }},
            {"redoAction", [this](QObject* o) { take(redoAction, o); }},
            {"copyAction", [this](QObject* o) { take(copyAction, o); }},
            {"cutAction", [this](QObject* o) { take(cutAction, o); }},
            {"pasteAction", [this](QObject* o) { take(pasteAction, o); }},
            {"selectAllAction", [this](QObject* o) { take(selectAllAction, o); }},
            {"findInPageAction", [this](QObject* o) { take(findInPageAction, o); }},
            {"findOnMapAction", [this](QObject* o) { take(findOnMapAction, o); }},
            {"viewMenu", [this](QObject* o) { take(viewMenu, o); }},
            {"viewSourceAction", [this](QObject* o) { take(viewSourceAction, o); }},
            {"fontSizeMenu", [this](QObject* o) { take(fontSizeMenu, o); }},
            {"largestFontAction", [this](QObject* o) { take(largestFontAction, o); }},
            {"largeFontAction", [this](QObject* o) { take(largeFontAction, o); }},
            {"mediumFontAction", [this](QObject* o) { take(mediumFontAction, o); }},
            {"smallFontAction", [this](QObject* o) { take(smallFontAction, o); }},
            {"smallestFontAction", [this](QObject* o) { take(smallestFontAction, o); }},
            {"atlasOverviewAction", [this](QObject* o) { take(atlasOverviewAction, o); }},
            {"showPlayerAction", [this](QObject* o) { take(showPlayerAction, o); }},
            {"squadMembersAction", [this](QObject* o) { take(squadMembersAction, o); }},
            {"defaultCellSizeAction", [this](QObject* o) { take(defaultCellSizeAction, o); }},
            {"wayToExitAction", [this](QObject* o) { take(wayToExitAction, o); }},
            {"wayToDescentAction", [this](QObject* o) { take(wayToDescentAction, o); }},
            {"wayToAscentAction", [this](QObject* o) { take(wayToAscentAction, o); }},
            {"clearWayAction", [this](QObject* o) { take(clearWayAction, o); }},
            {"historyMenu", [this](QObject* o) { take(historyMenu, o); }},
            {"favoritesMenu", [this](QObject* o) { take(favoritesMenu, o); }},
            {"extrasMenu", [this](QObject* o) { take(extrasMenu, o); }},
            {"loginDataAction", [this](QObject* o) { take(loginDataAction, o); }},
            {"findNickAction", [this](QObject* o) { take(findNickAction, o); }},
            {"clearAddressesAction", [this](QObject* o) { take(clearAddressesAction, o); }},
            {"clearNicksAction", [this](QObject* o) { take(clearNicksAction, o); }},
            {"internetOptionsAction", [this](QObject* o) { take(internetOptionsAction, o); }},
            {"helpMenu", [this](QObject* o) { take(helpMenu, o); }},
            {"guideAction", [this](QObject* o) { take(guideAction, o); }},
            {"legendAction", [this](QObject* o) { take(legendAction, o); }},
            {"aboutAction", [this](QObject* o) { take(aboutAction, o); }},
            {"tabStripMenu", [this](QObject* o) { take(tabStripMenu, o); }},
            {"newTabAction", [this](QObject* o) { take(newTabAction, o); }},
            {"closeTabAction", [this](QObject* o) { take(closeTabAction, o); }},
            {"cellMenu", [this](QObject* o) { take(cellMenu, o); }},
            {"wayHereAction", [this](QObject* o) { take(wayHereAction, o); }},
            {"cellAddMenu", [this](QObject* o) { take(cellAddMenu, o); }},
            {"addTrapAction", [this](QObject* o) { take(addTrapAction, o); }},
            {"addFlagAction", [this](QObject* o) { take(addFlagAction, o); }},
            {"addDescentAction", [this](QObject* o) { take(addDescentAction, o); }},
            {"addAscentAction", [this](QObject* o) { take(addAscentAction, o); }},
            {"addExitAction", [this](QObject* o) { take(addExitAction, o); }},
            {"chestMenu", [this](QObject* o) { take(chestMenu, o); }},
            {"redChestAction", [this](QObject* o) { take(redChestAction, o); }},
            {"greenChestAction", [this](QObject* o) { take(greenChestAction, o); }},
            {"blueChestAction", [this](QObject* o) { take(blueChestAction, o); }},
            {"whiteChestAction", [this](QObject* o) { take(whiteChestAction, o); }},
            {"ironChestAction", [this](QObject* o) { take(ironChestAction, o); }},
            {"goldChestAction", [this](QObject* o) { take(goldChestAction, o); }},
            {"addMarkerAction", [this](QObject* o) { take(addMarkerAction, o); }},
            {"clearCellAction", [this](QObject* o) { take(clearCellAction, o); }}};
        for (QObject* object : window.findChildren<QObject*>()) {
            const auto it = byName.constFind(object->objectName());
            if (it != byName.cend())
                (*it)(object);
        }
    }

private:
    // The first object of that name and of the member's type (a menu and the class behind it share a name).
    template <class T>
    static void take(T*& member, QObject* object)
    {
        if (!member)
            member = qobject_cast<T*>(object);
    }
};

inline FoundControls controls(const QObject& window)
{
    return FoundControls(window);
}

} // namespace veldor::test
