#pragma once

#include <QWidget>

class QButtonGroup;
class QStackedWidget;
class QToolButton;
class QVBoxLayout;

namespace veldor {

// A page control whose tabs stand one per row above the pages, each as wide as the control, so that a narrow
// side panel shows every caption in full whatever its width.
class PageControl : public QWidget
{
    Q_OBJECT
public:
    explicit PageControl(QWidget* parent = nullptr);

    int addPage(QWidget* page, const QString& caption);
    int count() const;
    int activePageIndex() const;
    void setActivePageIndex(int index);
    QWidget* page(int index) const;
    QToolButton* tabButton(int index) const;

signals:
    void activePageChanged(int index);

private:
    QVBoxLayout* m_tabs;
    QButtonGroup* m_group;
    QStackedWidget* m_stack;
};

} // namespace veldor
