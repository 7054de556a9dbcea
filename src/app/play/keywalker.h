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
// modifier) asks the game page to move the player one cell, and Page Down and Page Up take the way down or up the
// player stands on, through the page's own link for it. A key pressed while the page is still answering the
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
    // Whether a key was refused at a door only because doors are not passed: the box then says so a moment.
    void setDoorCheck(std::function<bool(ArrowKey)> closedDoor) { m_closedDoor = std::move(closedDoor); }
    // What the player's cell holds ('d' a way down, 'u' a way up), for Page Down and Page Up.
    void setStandingOn(std::function<char()> object) { m_standingOn = std::move(object); }

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
    void tell(const QString& text);
    // Page Down / Page Up: the page's link of the way down or up the player stands on.
    void takeStair(bool down);

    QPlainTextEdit* m_box;
    PagePoller* m_poller;
    const ReaderState& m_reader;
    MoveScript m_moveScript;
    std::function<bool(ArrowKey)> m_closedDoor;
    std::function<char()> m_standingOn;
    MoveQueue m_queue;
    QElapsedTimer m_clock;
    QTimer m_dropNotice;
};

} // namespace veldor
