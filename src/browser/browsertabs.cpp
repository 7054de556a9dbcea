#include "browsertabs.h"

#include "browser/browserview.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace veldor {

namespace {

// Shows a text in the box. A user who focused it and selected everything is about to type over it: the new
// text stays selected, so that the first key still replaces it instead of being added to it.
void setBoxText(QComboBox* box, const QString& text)
{
    QLineEdit* line = box->lineEdit();
    const bool typingOver = box->hasFocus() && line && line->hasSelectedText() && line->selectedText() == line->text();
    box->setEditText(text);
    if (typingOver)
        line->selectAll();
}

} // namespace

void addToBoxHistory(QComboBox* box, const QString& text)
{
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return;
    }
    const QString shown = box->currentText();
    box->insertItem(0, text);
    setBoxText(box, shown);
}

BrowserTabs::BrowserTabs(QTabWidget* tabs, QComboBox* addressBox, QWebEngineProfile* profile, QString gameServer,
                         QObject* parent)
    : QObject(parent), m_tabs(tabs), m_address(addressBox), m_profile(profile), m_gameServer(std::move(gameServer)),
      m_doubleClick(new QTimer(this))
{
    m_doubleClick->setObjectName(QStringLiteral("tabDoubleClickTimer"));
    m_doubleClick->setInterval(kDoubleClickMs);
    m_doubleClick->setSingleShot(false);
    m_tabs->tabBar()->installEventFilter(this);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_programChange) {
            m_active = index;
            return;
        }
        const int left = m_active;
        m_active = index;
        emit tabChangedByUser(left);
    });
}

bool BrowserTabs::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_tabs->tabBar() && event->type() == QEvent::MouseButtonRelease) {
        const auto* me = static_cast<QMouseEvent*>(event);
        emit stripMouseUp(m_tabs->tabBar()->mapTo(m_tabs, me->position().toPoint()));
    }
    return false;
}

BrowserView* BrowserTabs::browserOf(QWidget* tab) const
{
    return tab ? tab->findChild<BrowserView*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

BrowserView* BrowserTabs::currentBrowser() const
{
    QWidget* tab = m_tabs->currentWidget();
    if (!tab || tab->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).isEmpty())
        return nullptr;
    if (BrowserView* browser = browserOf(tab))
        return browser;
    return LastBrowser;
}

QWidget* BrowserTabs::open(const QString& url)
{
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* browser = new BrowserView(m_profile, tab);
    layout->addWidget(browser);
    m_programChange = true; // a change made by the program raises no tab-change notification
    m_tabs->addTab(tab, QString());
    m_tabs->setCurrentWidget(tab);
    m_programChange = false;
    emit browserOpened(browser);
    emit frontChanged();
    if (!url.trimmed().isEmpty())
        browser->navigate(QUrl::fromUserInput(url));
    return tab;
}

void BrowserTabs::closeActive()
{
    close(m_tabs->currentIndex());
}

void BrowserTabs::close(int index)
{
    QWidget* tab = m_tabs->widget(index);
    BrowserView* browser = browserOf(tab);
    if (index <= 0 || !browser)
        return; // the game tab stays
    const bool active = index == m_tabs->currentIndex();
    m_programChange = true;
    delete browser;
    if (active)
        LastBrowser = nullptr;
    m_tabs->removeTab(index);
    tab->deleteLater();
    // The tab after the closed one, or the game tab when the last one went.
    if (active)
        m_tabs->setCurrentIndex(index < m_tabs->count() ? index : 0);
    m_programChange = false;
    m_active = m_tabs->currentIndex();
    emit frontChanged();
    // The address box shows the tab now in front, never the one that went (the game tab: the game's address).
    if (active && m_tabs->currentIndex() == 0) {
        m_address->setEditText(m_gameServer);
    } else if (active) {
        if (BrowserView* shown = browserOf(m_tabs->currentWidget()))
            m_address->setEditText(shown->locationUrl());
    }
}

void BrowserTabs::goTo(const QString& url)
{
    if (m_tabs->currentIndex() <= 0)
        return;
    if (BrowserView* b = currentBrowser()) {
        m_address->setEditText(url);
        b->navigate(QUrl::fromUserInput(url));
    }
}

void BrowserTabs::stripReleased(const QPoint& pos)
{
    const bool inside = pos.x() < m_tabs->width() && pos.y() < m_tabs->height();
    if (!inside && pos.x() >= 0 && pos.y() >= 0)
        return;
    if (m_doubleClick->isActive()) {
        m_doubleClick->stop(); // the second release within the double-click window
        closeActive();
    } else {
        m_doubleClick->start();
    }
}

void BrowserTabs::doubleClickTimeUp()
{
    m_doubleClick->stop();
}

void BrowserTabs::leaving(int index)
{
    if (BrowserView* b = browserOf(m_tabs->widget(index)))
        LastBrowser = b;
}

void BrowserTabs::changed()
{
    emit frontChanged();
    const int index = m_tabs->currentIndex();
    BrowserView* b = browserOf(m_tabs->currentWidget());
    if (!b)
        return;
    if (b->hasHtmlDocument())
        b->setFocus();
    if (index == 0) {
        m_address->setEditText(m_gameServer);
        m_tabs->setTabText(0, QStringLiteral("Тирмора"));
    } else {
        m_address->setEditText(b->locationUrl());
        m_tabs->setTabText(index, b->PageTitle);
    }
}

void BrowserTabs::titleChanged(const QString& text)
{
    if (m_tabs->count() <= 1 || m_tabs->currentIndex() <= 0)
        return;
    BrowserView* current = currentBrowser();
    if (!current)
        return;
    const bool shown = showAddress(current->locationUrl());
    current->PageTitle = text;
    m_tabs->setTabText(m_tabs->currentIndex(), current->PageTitle);
    addToBoxHistory(m_address, shown ? m_address->currentText() : current->locationUrl());
}

void BrowserTabs::navigated(const QString& url)
{
    const bool shown = m_tabs->currentIndex() <= 0 || showAddress(url);
    addToBoxHistory(m_address, shown ? m_address->currentText() : url);
}

bool BrowserTabs::showAddress(const QString& url)
{
    // What the user is typing stays: a title or address that a page reports meanwhile does not overwrite it.
    if (m_address->hasFocus() && m_address->lineEdit()->isModified())
        return false;
    setBoxText(m_address, url);
    return true;
}

void BrowserTabs::clearHistory()
{
    const QString text = m_address->currentText();
    m_address->clear();
    m_address->setEditText(text);
}

} // namespace veldor
