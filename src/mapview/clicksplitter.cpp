#include "clicksplitter.h"

#include <QApplication>
#include <QMouseEvent>

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

} // namespace veldor
