#pragma once

#include <QHash>
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

// A splitter whose handles collapse an area to a sliver on a click and give it its size back on the next,
// while a drag resizes as usual. The collapsed area's room goes to (and comes from) a middle area.
class ClickSplitter : public QSplitter
{
    Q_OBJECT
public:
    static constexpr int kCollapsed = 5;

    explicit ClickSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);
    ClickSplitterHandle* clickHandle(int index) const;

    // The handle collapses widget `area`, taking room from or giving it to widget `middle`; a restore before the
    // first collapse gives the area `restoreSize`.
    void setCollapsing(ClickSplitterHandle* handle, int area, int middle, int restoreSize);
    int areaSize(const ClickSplitterHandle* handle) const;
    void setAreaSize(const ClickSplitterHandle* handle, int size);
    // The size the area gets back at the next restore.
    int savedSize(const ClickSplitterHandle* handle) const;

    // A drag of the handle began: its release only ends the drag.
    void beginDrag();
    bool dragging() const { return m_dragging; }
    // The handle was released: after a click an open area collapses and a collapsed one is restored.
    void release(const ClickSplitterHandle* handle);
    // Collapses an open area (a collapsed one stays so).
    void collapse(const ClickSplitterHandle* handle);
    // Gives a collapsed area its size back (an open one stays as it is).
    void restore(const ClickSplitterHandle* handle);
    bool collapsed(const ClickSplitterHandle* handle) const { return areaSize(handle) <= kCollapsed; }

protected:
    QSplitterHandle* createHandle() override;

private:
    struct Collapsing
    {
        int area = 0;
        int middle = 0;
        int saved = 0;
    };
    QHash<const ClickSplitterHandle*, Collapsing> m_collapsing;
    bool m_dragging = false;
};

} // namespace veldor
