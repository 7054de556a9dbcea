#pragma once

#include "travel/travel.h"

#include <QScrollArea>

namespace veldor {

struct MainWindowControls;

// The panel left of the browser: the settings page (labyrinth, level, cell size, switches, the map buttons, the
// group's folder) and the travel page, which works out the journey's time by itself. It makes its controls
// (entered into the window's list of controls); the window wires the settings to the map.
class SidePanel : public QScrollArea
{
    Q_OBJECT
public:
    SidePanel(MainWindowControls& ui, QWidget* parent);

private:
    void buildSettingsPage();
    void buildTravelPage();
    void showTravelTime();

    MainWindowControls& m_ui;
    TravelTables m_travel;
};

} // namespace veldor
