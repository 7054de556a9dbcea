#include "browser/browsercommands.h"

#include "browser/browsertabs.h"
#include "browser/browserview.h"
#include "ui/prompts.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <algorithm>

namespace veldor {

BrowserCommands::BrowserCommands(BrowserTabs* tabs, std::shared_ptr<UserPrompts> prompts, QWidget* window)
    : QObject(window), m_tabs(tabs), m_prompts(std::move(prompts)), m_window(window)
{}

BrowserView* BrowserCommands::pageInFront() const
{
    BrowserView* b = m_tabs->currentBrowser();
    return b && b->hasHtmlDocument() ? b : nullptr;
}

void BrowserCommands::back()
{
    if (BrowserView* b = pageInFront())
        b->back();
}

void BrowserCommands::forward()
{
    if (BrowserView* b = pageInFront())
        b->forward();
}

void BrowserCommands::reload()
{
    if (BrowserView* b = pageInFront()) {
        const bool complete = QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
        b->triggerPageAction(complete ? QWebEnginePage::ReloadAndBypassCache : QWebEnginePage::Reload);
    }
}

void BrowserCommands::stop()
{
    if (BrowserView* b = pageInFront())
        b->stop();
}

void BrowserCommands::saveAs()
{
    BrowserView* b = pageInFront();
    if (!b || b->busy())
        return;
    const QString name = (b->title().isEmpty() ? QStringLiteral("page") : b->title()) + QStringLiteral(".html");
    const QString path = m_prompts->askSaveFile(m_window, QStringLiteral("Сохранить как..."), name);
    if (!path.isEmpty())
        b->page()->save(path, QWebEngineDownloadRequest::CompleteHtmlSaveFormat);
}

void BrowserCommands::properties()
{
    BrowserView* b = pageInFront();
    if (!b)
        return;
    QString text = QStringLiteral("Заголовок: ") + b->locationName() + QStringLiteral("\nАдрес: ") + b->locationUrl();
    const QFileInfo file(b->url().toLocalFile());
    if (b->url().isLocalFile() && file.exists()) {
        text += QStringLiteral("\nФайл: ") + file.absoluteFilePath() + QStringLiteral("\nРазмер: ") +
                QString::number(file.size()) + QStringLiteral(" байт\nИзменен: ") +
                file.lastModified().toString(QStringLiteral("dd.MM.yyyy hh:mm"));
    }
    m_prompts->showInformation(m_window, QStringLiteral("Свойства"), text);
}

void BrowserCommands::edit(Edit command)
{
    BrowserView* b = m_tabs->currentBrowser();
    if (!b || b->url().isEmpty())
        return;
    static constexpr QWebEnginePage::WebAction actions[] = {QWebEnginePage::Copy, QWebEnginePage::Cut,
                                                            QWebEnginePage::Paste, QWebEnginePage::SelectAll};
    b->triggerPageAction(actions[static_cast<int>(command)]);
}

void BrowserCommands::syncEditActions(QAction* copy, QAction* cut, QAction* paste) const
{
    BrowserView* b = pageInFront();
    copy->setEnabled(b && b->pageAction(QWebEnginePage::Copy)->isEnabled());
    paste->setEnabled(b && b->pageAction(QWebEnginePage::Paste)->isEnabled());
    cut->setEnabled(b && b->pageAction(QWebEnginePage::Cut)->isEnabled());
}

void BrowserCommands::find()
{
    BrowserView* b = m_tabs->currentBrowser();
    if (!b || b->url().isEmpty())
        return;
    QString text;
    if (m_prompts->askText(m_window, QStringLiteral("Найти"), QStringLiteral("Текст:"), text) && !text.isEmpty())
        b->findText(text);
}

void BrowserCommands::viewSource()
{
    BrowserView* b = m_tabs->currentBrowser();
    if (b && !b->url().isEmpty())
        b->triggerPageAction(QWebEnginePage::ViewSource); // opens as a new tab
}

void BrowserCommands::setTextSize(QAction* item, const QList<QAction*>& sizes)
{
    BrowserView* b = pageInFront();
    if (!b) {
        item->setChecked(!item->isChecked()); // nothing changes, the check marks included
        return;
    }
    static const double factors[] = {0.7, 0.85, 1.0, 1.2, 1.45}; // tags 0 (smallest) .. 4 (largest)
    b->setZoomFactor(factors[std::clamp(item->data().toInt(), 0, 4)]);
    for (QAction* size : sizes)
        size->setChecked(size == item);
}

void BrowserCommands::whenLoaded(BrowserView* browser, std::function<void()> then)
{
    if (!browser || !browser->busy()) {
        QTimer::singleShot(0, this, std::move(then));
        return;
    }
    auto done = std::make_shared<bool>(false);
    auto finish = [done, then = std::move(then)] {
        if (!*done) {
            *done = true;
            then();
        }
    };
    connect(browser, &QWebEngineView::loadFinished, this, finish, Qt::SingleShotConnection);
    connect(browser, &QObject::destroyed, this, finish, Qt::SingleShotConnection);
    QTimer::singleShot(kWaitLimitMs, this, finish);
}

} // namespace veldor
