#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QTableWidget;

namespace veldor {

class Atlas;

// "Найти на карте": one text box; marker texts, list entries and objects by their Russian names across the
// atlas, listed as one types (the player's labyrinth first). Enter or a double click asks the main window to
// show the cell.
class MapSearch : public QWidget
{
    Q_OBJECT
public:
    // `firstLab` names the labyrinth listed first (the player's).
    MapSearch(const Atlas& atlas, std::function<unsigned()> firstLab, QWidget* parent = nullptr);

    QLineEdit* box() const { return m_box; }
    QTableWidget* results() const { return m_results; }
    // The finds anew, for the text in the box (after the map changed, say).
    void search();

signals:
    // x and y are 0 for a list entry that names no cell.
    void cellChosen(unsigned lab, int level, int x, int y);
    // "Путь сюда" on a result that names a cell.
    void wayAsked(unsigned lab, int level, int x, int y);

private:
    void choose(int row);

    const Atlas& m_atlas;
    std::function<unsigned()> m_firstLab;
    QLineEdit* m_box = nullptr;
    QTableWidget* m_results = nullptr;
    QLabel* m_count = nullptr;
};

} // namespace veldor
