#include "clicksplitter.h"

#include <QApplication>
#include <QMouseEvent>
#include <algorithm>

namespace veldor {

ClickSplitterHandle::ClickSplitterHandle(Qt::Orientation orientation, QSplitter* parent)
    : QSplitterHandle(orientation, parent)
{}

void ClickSplitterHandle::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        m_dragging = false;
        m_pressPos = event->position().toPoint();
    }
    QSplitterHandle::mousePressEvent(event);
}

void ClickSplitterHandle::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed && !m_dragging && (event->buttons() & Qt::LeftButton)) {
        const QPoint d = event->position().toPoint() - m_pressPos;
        const int along = orientation() == Qt::Horizontal ? d.x() : d.y();
        if (along != 0) {
            m_dragging = true;
            emit canResize(this);
        }
    }
    QSplitterHandle::mouseMoveEvent(event);
}

void ClickSplitterHandle::mouseReleaseEvent(QMouseEvent* event)
{
    QSplitterHandle::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        emit moved(this);
    }
}

ClickSplitter::ClickSplitter(Qt::Orientation orientation, QWidget* parent) : QSplitter(orientation, parent)
{
    setChildrenCollapsible(false);
    setOpaqueResize(false); // a line follows the mouse while dragging, as the original bevelled splitters did
}

ClickSplitterHandle* ClickSplitter::clickHandle(int index) const
{
    return qobject_cast<ClickSplitterHandle*>(handle(index));
}

QSplitterHandle* ClickSplitter::createHandle()
{
    return new ClickSplitterHandle(orientation(), this);
}

void ClickSplitter::setCollapsing(ClickSplitterHandle* handle, int area, int middle, int restoreSize)
{
    m_collapsing.insert(handle, Collapsing{area, middle, restoreSize});
}

int ClickSplitter::areaSize(const ClickSplitterHandle* handle) const
{
    const auto it = m_collapsing.constFind(handle);
    return it == m_collapsing.cend() ? 0 : sizes().value(it->area);
}

void ClickSplitter::setAreaSize(const ClickSplitterHandle* handle, int size)
{
    const auto it = m_collapsing.constFind(handle);
    if (it == m_collapsing.cend())
        return;
    QList<int> all = sizes();
    if (it->area >= all.size() || it->middle >= all.size())
        return;
    // The middle area stays at least a sliver wide.
    const int room = all[it->middle] + all[it->area] - kCollapsed;
    size = std::min(size, std::max(kCollapsed, room));
    all[it->middle] += all[it->area] - size;
    all[it->area] = size;
    setSizes(all);
}

int ClickSplitter::savedSize(const ClickSplitterHandle* handle) const
{
    return m_collapsing.value(handle).saved;
}

void ClickSplitter::beginDrag()
{
    m_dragging = true;
}

void ClickSplitter::release(const ClickSplitterHandle* handle)
{
    if (!m_dragging) {
        const auto it = m_collapsing.find(handle);
        if (it != m_collapsing.end()) {
            const int size = areaSize(handle);
            if (size > kCollapsed) {
                it->saved = size;
                setAreaSize(handle, kCollapsed);
            } else {
                setAreaSize(handle, it->saved);
            }
        }
    }
    m_dragging = false;
}

void ClickSplitter::collapse(const ClickSplitterHandle* handle)
{
    m_dragging = false;
    if (areaSize(handle) > kCollapsed)
        release(handle);
}

void ClickSplitter::restore(const ClickSplitterHandle* handle)
{
    m_dragging = false;
    if (m_collapsing.contains(handle) && areaSize(handle) <= kCollapsed)
        release(handle);
}

} // namespace veldor
