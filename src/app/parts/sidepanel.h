#pragma once

#include "travel/travel.h"

#include <QScrollArea>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace veldor {

class PageControl;
struct Settings;

// The panel left of the browser: the settings page (labyrinth, level, cell size, switches, the map buttons, the
// group's folder) and the travel page, which works out the journey's time by itself. It keeps its controls to
// itself: what the player chooses comes out as signals, what the window shows goes in through its methods.
class SidePanel : public QScrollArea
{
    Q_OBJECT
public:
    explicit SidePanel(QWidget* parent);

    // The labyrinth and the level the boxes show (the labyrinth from 1; a level outside the box shows none).
    void showLabyrinth(unsigned lab);
    void showLevel(int level);
    unsigned labyrinth() const;
    // The levels a way crosses stand out in the level box.
    void markLevels(const std::vector<int>& levels);

    int cellSize() const;
    // Kept within the box's range; a changed size comes back as cellSizeChanged.
    void setCellSize(int size);

    // The switches user.dat keeps, in and out.
    void showSwitches(const Settings& settings);
    void takeSwitches(Settings& settings) const;
    bool passDoors() const;
    bool playSounds() const;
    bool hidePanels() const;
    bool restorePanels() const;
    void setRestorePanels(bool on);
    bool showFrontier() const;
    bool exitRoute() const;
    void setExitRoute(bool on);

    // Another window saves the maps: "Сохранить карту" is off, with the reason as its hint.
    void blockSaving(const QString& why);
    // "Очистить все карты" says the clearing is under way (painted at once) until it ends.
    void showClearingAll(bool underWay);
    // The group switch, the folder's name on its button (empty: none chosen) and whether our place is shown.
    void showSquad(bool on, const QString& folderName, bool showsPlace);

signals:
    void labyrinthChosen(unsigned lab);
    void levelChosen(int level);
    void cellSizeChanged(int size);
    // "Проходить через двери" or "Показывать путь к неисследованному" was switched.
    void mapSwitchesChanged();
    void restorePanelsChanged(bool on);
    void saveAsked();
    void clearLabyrinthAsked();
    void clearAllAsked();
    void squadSwitched(bool on);
    void squadFolderAsked();
    void squadNameAsked();
    void squadPlaceSwitched(bool on);

private:
    void buildSettingsPage();
    void buildTravelPage();
    void showTravelTime();

    struct Controls
    {
        PageControl* sidePages = nullptr;  // the two pages, one tab per row
        QWidget* settingsPage = nullptr;   // "Настройки"
        QWidget* travelPage = nullptr;     // "Путешествие"
        QLabel* labyrinthLabel = nullptr;  // "Лабиринт:"
        QComboBox* labyrinthBox = nullptr; // the labyrinth shown
        QLabel* levelLabel = nullptr;      // "Уровень:"
        QComboBox* levelBox = nullptr;     // the level shown
        QLabel* cellSizeLabel = nullptr;   // "Размер клетки:"
        QSpinBox* cellSizeSpin = nullptr;  // the cell size of the map in pixels
        QCheckBox* passDoorsBox = nullptr; // "Проходить через двери": the arrow keys pass doors
        QCheckBox* soundsBox = nullptr;    // "Проигрывать звуки": event sounds
        QCheckBox* frontierBox = nullptr; // "Показывать путь к неисследованному": the explore assistant
        QCheckBox* hidePanelsBox = nullptr; // hide the panels when a combat starts
        QLabel* hidePanelsLine1 = nullptr; // "Скрывать панели при" (the check box's caption, first line)
        QLabel* hidePanelsLine2 = nullptr;           // "начале боя" (second line)
        QCheckBox* restorePanelsBox = nullptr;       // "…и возвращать после боя"
        QPushButton* saveMapsButton = nullptr;       // "Сохранить карту": write the four map files
        QPushButton* clearLabyrinthButton = nullptr; // "Очистить карту": empty the labyrinth shown
        QPushButton* clearAllMapsButton = nullptr;   // "Очистить все карты": empty every labyrinth
        QCheckBox* squadBox = nullptr; // "Общая папка отряда:": the group's shared folder on or off
        QPushButton* squadFolderButton = nullptr; // the shared folder, chosen with a click
        QPushButton* squadNameButton = nullptr;   // our name (our subfolder) in the shared folder
        QCheckBox* squadPlaceBox = nullptr; // "Показывать отряду, где я": our place in the live file
        QCheckBox* exitRouteBox = nullptr; // "показывать путь к выходу": draw the route to a way out
        QLabel* fromTownLabel = nullptr;   // "Из"
        QComboBox* fromTownBox = nullptr;   // the town the journey starts in
        QLabel* toTownLabel = nullptr;      // "В"
        QComboBox* toTownBox = nullptr;     // the destination town
        QLabel* speedBonusLabel = nullptr;  // "Со скоростью"
        QComboBox* speedBonusBox = nullptr; // the speed bonus, -30..30
        QLabel* travelTimeLabel = nullptr;  // "Расчетное время: hh:mm:ss"
    };
    Controls m_ui;
    TravelTables m_travel;
};

} // namespace veldor
