#pragma once

#include "map/atlas.h"

#include <QFrame>

class QPlainTextEdit;

namespace veldor {

class Atlas;
struct MainWindowControls;

// The strip below the browser: the labyrinth's four object lists with their clear and copy buttons, the keyboard
// box, the level's statistics and the page-load progress. It makes its controls (entered into the window's list of
// controls), copies a list by itself and asks the window to clear one.
class ListsStrip : public QFrame
{
    Q_OBJECT
public:
    ListsStrip(MainWindowControls& ui, QWidget* parent);

    // The lists of the labyrinth; a list whose text is unchanged is left alone, where the user scrolled it.
    void showLists(const Atlas& atlas, unsigned lab);
    void showLoadProgress(int percent);
    // The way's text on a line of its own below the position, cut with "…" where the strip is too narrow (the
    // whole text in its hint); it never takes room from the lists or the keyboard box. Empty hides it.
    void showWay(const QString& text);

signals:
    // An "X" button: the list is to be cleared from the labyrinth shown.
    void clearAsked(veldor::ListKind kind);

private:
    struct List;
    QWidget* listGroup(const List& list);

    MainWindowControls& m_ui;
};

} // namespace veldor
