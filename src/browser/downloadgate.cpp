#include "downloadgate.h"

#include "browser/browsertabs.h"
#include "browser/browserview.h"
#include "ui/prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineProfile>

namespace veldor {

DownloadGate::DownloadGate(QWebEngineProfile* profile, BrowserTabs* tabs, BrowserView* gameBrowser, QString workFolder,
                           std::shared_ptr<UserPrompts> prompts, QWidget* window)
    : QObject(window), m_tabs(tabs), m_game(gameBrowser), m_workFolder(std::move(workFolder)),
      m_prompts(std::move(prompts)), m_window(window)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadGate::requested);
}

bool DownloadGate::isOwnFile(const QString& path) const
{
    static const QStringList own = {QStringLiteral("map1.map"),   QStringLiteral("map2.map"),
                                    QStringLiteral("map3.map"),   QStringLiteral("map.crd"),
                                    QStringLiteral("user.dat"),   QStringLiteral("veldor.lock"),
                                    QStringLiteral("markers.txt")};
    const QFileInfo file(path);
    return QFileInfo(file.absolutePath()).canonicalFilePath() == QFileInfo(m_workFolder).canonicalFilePath() &&
           own.contains(file.fileName(), Qt::CaseInsensitive);
}

void DownloadGate::requested(QWebEngineDownloadRequest* download)
{
    if (download->state() != QWebEngineDownloadRequest::DownloadRequested)
        return;
    QTabWidget* tabs = m_tabs->tabWidget();
    BrowserView* from = nullptr;
    for (int i = 0; i < tabs->count(); ++i) {
        BrowserView* b = m_tabs->browserOf(tabs->widget(i));
        if (b && b->page() == download->page())
            from = b;
    }
    // A tab opened for what turned out to be a file (File > Open of a document, a new window onto a
    // download) shows nothing: it goes once the download has been answered.
    if (from && from != m_game && !from->page()->history()->currentItem().isValid()) {
        QPointer<BrowserView> empty(from);
        QTimer::singleShot(0, this, [this, empty] {
            if (empty)
                m_tabs->close(m_tabs->tabWidget()->indexOf(empty->parentWidget()));
        });
    }
    const bool asked = download->isSavePageDownload() ||
                       (m_command.isValid() && m_command.elapsed() < kCommandWindowMs) ||
                       (from && from->hadUserInputWithin(kInputWindowMs));
    if (!asked) {
        download->cancel();
        return;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    QString path = m_prompts->askSaveFile(
        m_window, QStringLiteral("Сохранить как..."),
        QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(download->downloadFileName()));
    if (!path.isEmpty() && isOwnFile(path)) {
        m_prompts->showError(m_window, QStringLiteral("«%1» — файл самого Вельдора в его рабочей папке; загрузка не "
                                                      "может его заменить. Загрузка отменена.")
                                           .arg(QDir::toNativeSeparators(path)));
        path.clear();
    }
    if (path.isEmpty()) {
        download->cancel();
        return;
    }
    download->setDownloadDirectory(QFileInfo(path).absolutePath());
    download->setDownloadFileName(QFileInfo(path).fileName());
    download->accept();
    connect(download, &QWebEngineDownloadRequest::stateChanged, this, [this, download](auto state) {
        if (state == QWebEngineDownloadRequest::DownloadCompleted)
            m_prompts->showInformation(m_window, QStringLiteral("Загрузка завершена"),
                                       QStringLiteral("Файл сохранён: ") +
                                           QDir(download->downloadDirectory()).filePath(download->downloadFileName()));
        if (state == QWebEngineDownloadRequest::DownloadInterrupted)
            m_prompts->showError(m_window, QStringLiteral("ERROR: Unable to show Save As dialog. \r") +
                                               QStringLiteral("QWebEngineDownloadRequest: ") +
                                               download->interruptReasonString() + QLatin1Char('.'));
    });
}

} // namespace veldor
