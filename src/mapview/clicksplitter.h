#pragma once

#include <QPoint>
#include <QSplitter>
#include <QSplitterHandle>

namespace veldor {

// A splitter handle that tells a click apart from a drag: a press and release without movement is a click,
// which the window answers by collapsing or restoring the area beside the handle.
class ClickSplitterHandle : public QSplitterHandle
{
    Q_OBJECT
public:
    ClickSplitterHandle(Qt::Orientation orientation, QSplitter* parent);

signals:
    // The handle is being dragged (sent once per drag, at the first movement).
    void canResize(ClickSplitterHandle* handle);
    // The mouse was released, after a drag or a plain click.
    void moved(ClickSplitterHandle* handle);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_pressPos;
};

class ClickSplitter : public QSplitter
{
    Q_OBJECT
public:
    explicit ClickSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);
    ClickSplitterHandle* clickHandle(int index) const;

protected:
    QSplitterHandle* createHandle() override;
};

} // namespace veldor
