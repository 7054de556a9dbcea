#pragma once

#include "route/keyboard.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

class QPlainTextEdit;

namespace veldor {

class PagePoller;
struct ReaderState;

// The keyboard box: while it has the focus (it says so, framed: «стрелки: ходьба»), each arrow key (with any
// modifier) asks the game page to move the player one cell. A key pressed while the page is still answering the
// previous one waits for that step to show, so that every key is tested against the cell the player stands in;
// a click elsewhere drops them, and keys dropped otherwise (too many, refused) show «шаги сброшены» a moment.
class KeyWalker : public QObject
{
    Q_OBJECT
public:
    // The page's movement script for a key from where the player stands now, or nothing when the atlas or the
    // player's fatigue forbid the move.
    using MoveScript = std::function<std::optional<std::string>(ArrowKey)>;

    KeyWalker(QPlainTextEdit* box, PagePoller* poller, const ReaderState& reader, MoveScript moveScript,
              QObject* parent = nullptr);

    void arrowPressed(int key, bool autoRepeat);
    // The page reader read the game page: the next waiting key goes once the previous step shows.
    void pageRead();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void send(ArrowKey key);
    MoveQueue::Place place() const;
    // What the box says: its own words, or for a moment that waiting keys were dropped.
    void showState();
    void tellDropped();

    QPlainTextEdit* m_box;
    PagePoller* m_poller;
    const ReaderState& m_reader;
    MoveScript m_moveScript;
    MoveQueue m_queue;
    QElapsedTimer m_clock;
    QTimer m_dropNotice;
};

} // namespace veldor
