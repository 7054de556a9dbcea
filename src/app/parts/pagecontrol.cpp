#include "pagecontrol.h"

#include <QButtonGroup>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace veldor {

PageControl::PageControl(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_tabs = new QVBoxLayout;
    m_tabs->setSpacing(0);
    layout->addLayout(m_tabs);
    m_stack = new QStackedWidget(this);
    m_stack->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(m_stack, 1);
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) {
        if (id != m_stack->currentIndex()) {
            m_stack->setCurrentIndex(id);
            emit activePageChanged(id);
        }
    });
}

int PageControl::addPage(QWidget* page, const QString& caption)
{
    const int index = m_stack->addWidget(page);
    auto* tab = new QToolButton(this);
    tab->setText(caption);
    tab->setCheckable(true);
    tab->setAutoRaise(false);
    tab->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // The active tab reads in bold, so it stands out from the raised look of the others.
    connect(tab, &QToolButton::toggled, tab, [tab](bool on) {
        QFont f = tab->font();
        f.setBold(on);
        tab->setFont(f);
    });
    m_group->addButton(tab, index);
    m_tabs->addWidget(tab);
    if (index == m_stack->currentIndex())
        tab->setChecked(true);
    return index;
}

int PageControl::count() const
{
    return m_stack->count();
}

int PageControl::activePageIndex() const
{
    return m_stack->currentIndex();
}

void PageControl::setActivePageIndex(int index)
{
    if (index < 0 || index >= count())
        return;
    m_stack->setCurrentIndex(index);
    m_group->button(index)->setChecked(true);
}

QWidget* PageControl::page(int index) const
{
    return m_stack->widget(index);
}

QToolButton* PageControl::tabButton(int index) const
{
    return qobject_cast<QToolButton*>(m_group->button(index));
}

} // namespace veldor
