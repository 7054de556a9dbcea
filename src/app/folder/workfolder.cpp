#include "app/folder/workfolder.h"

#include "app/folder/folderlock.h"
#include "app/folder/maprecovery.h"
#include "map/atlasdiff.h"
#include "map/mapfiles.h"
#include "map/markerfile.h"
#include "ui/prompts.h"

#include <QDir>
#include <QObject>

namespace veldor {
namespace {

QString describe(const MapFilesReport& report, const QString& heading)
{
    return QString::fromStdString(report.message(heading.toStdString()));
}

} // namespace

WorkFolder::WorkFolder(QString folder, Atlas& atlas, std::shared_ptr<UserPrompts> prompts, QWidget* window)
    : m_folder(std::move(folder)), m_atlas(atlas), m_prompts(std::move(prompts)), m_window(window),
      m_context(std::make_unique<QObject>())
{}

WorkFolder::~WorkFolder()
{
    finishMarkerWrite(false);
}

QString WorkFolder::path(const char* fileName) const
{
    return QDir(m_folder).filePath(QString::fromLatin1(fileName));
}

bool WorkFolder::lock()
{
    m_lock = std::make_unique<FolderLock>(path("veldor.lock"));
    const QString folder = QDir::toNativeSeparators(m_folder);
    switch (m_lock->take()) {
    case FolderLock::State::Taken:
        return true;
    case FolderLock::State::Unusable:
        m_lock.reset();
        return true;
    case FolderLock::State::HeldByOther: {
        m_lock.reset();
        const int answer = m_prompts->askChoice(
            m_window,
            QStringLiteral("Карты в папке «%1» уже открыты в другом окне Вельдора. Если открыть их и здесь, одно "
                           "окно затрёт сохранения другого.\n\nОткрыть карты только для чтения (без сохранения) или "
                           "выйти?")
                .arg(folder),
            {QStringLiteral("Только для чтения"), QStringLiteral("Выход")});
        m_readOnly = answer == 0;
        return m_readOnly;
    }
    case FolderLock::State::Damaged:
        break;
    }
    const int answer = m_prompts->askChoice(
        m_window,
        QStringLiteral("Файл блокировки veldor.lock испорчен: %1. По нему нельзя узнать, не открыты ли карты в папке "
                       "«%2» другим окном Вельдора.\n\nЕсли другого окна нет, удалите файл блокировки, и карты "
                       "откроются как обычно. Иначе откройте их только для чтения (без сохранения) или выйдите.")
            .arg(m_lock->damage(), folder),
        {QStringLiteral("Удалить и открыть"), QStringLiteral("Только для чтения"), QStringLiteral("Выход")});
    if (answer == 0) {
        QString why;
        if (m_lock->replace(&why))
            return true;
        m_problems << QStringLiteral("Файл блокировки veldor.lock не удалось заменить (%1): карты открыты "
                                     "только для чтения.")
                          .arg(why);
    } else if (answer != 1) {
        return false;
    }
    m_lock.reset();
    m_readOnly = true;
    return true;
}

SettingsRead WorkFolder::loadSettings(Settings& settings)
{
    const SettingsLoadResult result = LoadSettingsFile(path("user.dat").toStdString(), !m_readOnly);
    m_settingsUnread = !result.unreadable.empty();
    if (m_settingsUnread)
        m_problems << QStringLiteral("Файл настроек user.dat не прочитан: ") +
                          QString::fromStdString(result.unreadable) +
                          QStringLiteral(". Настройки взяты по умолчанию, файл оставлен как есть.");
    if (!result.read.badLines.empty()) {
        QStringList lines;
        for (const int line : result.read.badLines)
            lines << QString::number(line);
        m_problems << QStringLiteral("В файле настроек user.dat не прочитаны строки: %1. Для них взяты значения по "
                                     "умолчанию, остальное (и пароль) сохранено.")
                          .arg(lines.join(QStringLiteral(", ")));
    }
    if (!result.fileReset.ok)
        m_problems << QStringLiteral("Не удалось создать файл настроек user.dat: ") +
                          QString::fromStdString(result.fileReset.error);
    ApplySettingsRead(result.read, settings);
    return result.read;
}

void WorkFolder::loadMaps()
{
    const MapFilesReport loaded = LoadMaps(m_atlas, m_folder.toStdString(), !m_readOnly);
    if (!loaded.ok())
        m_problems << describe(loaded, QStringLiteral("Не все карты загружены:"));
    const MarkersLoad markers = LoadMarkers(m_atlas, m_folder.toStdString());
    if (!markers.problem.empty())
        m_problems << QString::fromStdString(markers.problem);
    m_markersUnread = markers.unread ? markers.kind : FileError::None;
    LinksLoad links = LoadLinks(m_folder.toStdString());
    m_links = std::move(links.links);
    m_linksWritten = m_links.all().size();
    m_linksUnread = links.unread;
    if (!links.problem.empty())
        m_problems << QString::fromStdString(links.problem);
    if (m_readOnly) {
        m_opened = std::make_unique<Atlas>(m_atlas);
        return;
    }
    m_recovery = std::make_unique<MapRecovery>(m_atlas, m_folder, m_prompts, m_window);
    m_problems << m_recovery->start();
}

bool WorkFolder::saveSettings(const Settings& settings)
{
    if (m_readOnly || m_settingsUnread)
        return true; // the other window owns user.dat, or it is not one we could read: left as it is
    const FileResult r = SaveSettingsFile(path("user.dat").toStdString(), settings);
    if (!r.ok) {
        m_prompts->showError(m_window, QStringLiteral("Не удалось сохранить настройки в user.dat: ") +
                                           QString::fromStdString(r.error));
    }
    return r.ok;
}

bool WorkFolder::saveMaps()
{
    if (m_readOnly) {
        m_prompts->showError(m_window,
                             QStringLiteral("Карты открыты только для чтения: их сохраняет другое окно Вельдора."));
        return false;
    }
    finishMarkerWrite(); // one write of the markers at a time, in order
    MapFilesReport report = SaveMaps(m_atlas, m_folder.toStdString());
    const bool saved = report.ok();
    // The markers of a file that was never read are safe in the journal: they do not keep the window open.
    if (m_markersUnread != FileError::None)
        report.problems.push_back({kMarkersFileName,
                                   "не заменён: при запуске он не прочитан целиком. Маркеры "
                                   "этого сеанса хранятся в журнале восстановления (map.journal), "
                                   "пока файл не уберут или не исправят",
                                   m_markersUnread});
    if (!saved) {
        if (m_recovery)
            m_recovery->savedPartly();
    } else if (m_recovery) {
        m_recovery->saved();
    }
    // After a failed map save the markers stay in the journal with the rest: a marker file newer than the maps
    // would say that they were saved.
    if (saved && m_markersUnread == FileError::None)
        startMarkerWrite();
    if (!m_linksUnread) {
        if (const std::string error = SaveLinks(m_links, m_folder.toStdString()); !error.empty())
            report.problems.push_back({LevelLinks::kFileName, error});
        else
            m_linksWritten = m_links.all().size();
    }
    if (!report.ok()) {
        m_prompts->showError(m_window, describe(report, saved ? QStringLiteral("Карты сохранены, кроме маркеров:")
                                                              : QStringLiteral("Не все карты сохранены (прежние "
                                                                               "файлы остались без изменений):")));
    }
    if (saved && m_onSaved)
        m_onSaved();
    return saved;
}

void WorkFolder::startMarkerWrite()
{
    m_markersWritten = m_atlas.markerLevels();
    QObject* context = m_context.get();
    const std::uint64_t write = ++m_markerWrites;
    m_markerWrite = std::async(std::launch::async, [this, context, write, markers = m_markersWritten] {
        FileResult result = SaveMarkers(markers, m_folder.toStdString());
        // Told on the window's thread, unless a wait (a save, the close) has taken the result already.
        QMetaObject::invokeMethod(
            context,
            [this, write] {
                if (write == m_markerWrites)
                    finishMarkerWrite();
            },
            Qt::QueuedConnection);
        return result;
    });
}

void WorkFolder::finishMarkerWrite(bool tell)
{
    if (!m_markerWrite.valid())
        return;
    const FileResult result = m_markerWrite.get();
    if (result.ok) {
        if (m_recovery)
            m_recovery->markersSaved(m_markersWritten);
    } else if (tell) {
        MapFilesReport report;
        report.problems.push_back({kMarkersFileName, result.error, result.kind});
        m_prompts->showError(m_window, describe(report, QStringLiteral("Карты сохранены, кроме маркеров (они "
                                                                       "хранятся в журнале восстановления):")));
    }
    m_markersWritten = {};
}

void WorkFolder::changed(unsigned lab)
{
    if (m_recovery)
        m_recovery->changed(lab);
    // A way down or up is learned once, on a walk that may not come again: links.txt is written at once rather
    // than kept for the next save (a failure is told then).
    if (!m_readOnly && !m_linksUnread && m_links.all().size() != m_linksWritten &&
        SaveLinks(m_links, m_folder.toStdString()).empty())
        m_linksWritten = m_links.all().size();
}

bool WorkFolder::mayClose(const Settings& settings, const std::function<bool()>& exportMaps)
{
    if (m_readOnly) {
        // Nothing of this window's may be written here; what was mapped in it may go to another folder.
        if (!mappedSinceOpened())
            return true;
        const int answer = m_prompts->askChoice(
            m_window,
            QStringLiteral("Это окно открыло карты только для чтения: то, что в нём нанесено на карту, в папку "
                           "с картами не сохранится. Записать карты в другую папку, прежде чем закрыть окно?"),
            {QStringLiteral("Экспорт карт в папку..."), QStringLiteral("Закрыть без сохранения"),
             QStringLiteral("Отмена")});
        return answer == 1 || (answer == 0 && exportMaps());
    }
    const UserPrompts::Answer answer = m_prompts->askYesNoCancel(m_window, QStringLiteral("Сохранить карты?"));
    // Maps that are not on disk keep the window, so that nothing explored is lost.
    if (answer == UserPrompts::Answer::Yes && !saveMaps())
        return false;
    finishMarkerWrite();
    if (answer == UserPrompts::Answer::No && m_recovery)
        m_recovery->discarded();
    saveSettings(settings);
    return answer != UserPrompts::Answer::Cancel;
}

bool WorkFolder::mappedSinceOpened() const
{
    return m_opened && !CompareAtlases(*m_opened, m_atlas).empty();
}

QStringList WorkFolder::takeProblems()
{
    return std::exchange(m_problems, {});
}

} // namespace veldor
