#pragma once

#include "app/play/keywalker.h"
#include "map/atlas.h"

#include <QFrame>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace veldor {

class Atlas;
class PagePoller;
struct ReaderState;

// The strip below the browser: the labyrinth's four object lists with their clear and copy buttons, the keyboard
// box, the level's statistics and the page-load progress. It keeps its controls to itself, copies a list by itself
// and asks the window to clear one.
class ListsStrip : public QFrame
{
    Q_OBJECT
public:
    explicit ListsStrip(QWidget* parent);

    // The lists of the labyrinth; a list whose text is unchanged is left alone, where the user scrolled it.
    void showLists(const Atlas& atlas, unsigned lab);
    void showLoadProgress(int percent);
    // The way's text on a line of its own below the position, cut with "…" where the strip is too narrow (the
    // whole text in its hint); it never takes room from the lists or the keyboard box. Empty hides it.
    void showWay(const QString& text);
    // "Процент открытия уровня: N%" and the player's cell.
    void showExplored(const QString& text);
    void showPosition(const QString& text);
    // The explore assistant's line, with its hint; hidden when not `shown`.
    void showFrontier(bool shown, const QString& text = {}, const QString& hint = {});
    // The keyboard box walks: the walker takes the arrow keys it gets.
    KeyWalker* walkWith(PagePoller* poller, const ReaderState& reader, KeyWalker::MoveScript moveScript);
    bool keyboardFocused() const;

signals:
    // An "X" button: the list is to be cleared from the labyrinth shown.
    void clearAsked(veldor::ListKind kind);

private:
    struct List;
    QWidget* listGroup(const List& list);

    struct Controls
    {
        QLabel* transitionsLabel = nullptr;            // "Переходы:"
        QPlainTextEdit* transitionsList = nullptr;     // the ways up and down found in the labyrinth
        QPushButton* clearTransitionsButton = nullptr; // "X": clear the ways from the labyrinth
        QPushButton* copyTransitionsButton = nullptr;  // "C": copy the list
        QLabel* exitsLabel = nullptr;                  // "Выходы:"
        QPlainTextEdit* exitsList = nullptr;
        QPushButton* clearExitsButton = nullptr;
        QPushButton* copyExitsButton = nullptr;
        QLabel* trapsLabel = nullptr; // "Ловушки:"
        QPlainTextEdit* trapsList = nullptr;
        QPushButton* clearTrapsButton = nullptr;
        QPushButton* copyTrapsButton = nullptr;
        QLabel* flagsLabel = nullptr; // "Флаги:"
        QPlainTextEdit* flagsList = nullptr;
        QPushButton* clearFlagsButton = nullptr;
        QPushButton* copyFlagsButton = nullptr;
        QPlainTextEdit* keyboardBox = nullptr; // "управление с клавиатуры": focused, the arrow keys walk
        QLabel* exploredLabel = nullptr;       // "Процент открытия уровня: N%"
        QLabel* positionLabel = nullptr;       // the player's cell, "XxY"
        QLabel* frontierLabel = nullptr; // "До неисследованного: N шагов" while the assistant is on
        QLabel* wayLabel = nullptr; // "Путь: N шагов, через спуск XxY на уровень L" while a way is shown
        QProgressBar* loadProgressBar = nullptr; // the load progress of the tab in front
    };
    Controls m_ui;
};

} // namespace veldor
