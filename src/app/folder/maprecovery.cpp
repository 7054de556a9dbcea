#include "maprecovery.h"

#include "map/atlasdiff.h"
#include "map/journal.h"
#include "map/mapfiles.h"
#include "map/markerfile.h"
#include "ui/prompts.h"
#include "ui/qtcodec.h"
#include "ui/russian.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>
#include <QWidget>

namespace veldor {
namespace {

// The changes a journal holds, one kind a line, as the restore question lists them.
QString describeChanges(const AtlasDiff& diff)
{
    QStringList lines;
    if (diff.explored > 0)
        lines << QStringLiteral("исследовано: ") + cellCount(qint64(diff.explored));
    if (diff.cleared > 0) {
        QString line = QStringLiteral("очищено: ") + cellCount(qint64(diff.cleared));
        QStringList names;
        for (const unsigned lab : diff.labsCleared)
            names << QStringLiteral("«") + fromUtf8Text(LabyrinthName(lab)) + QStringLiteral("»");
        if (names.size() == 1)
            line += QStringLiteral(" (лабиринт %1 очищен целиком)").arg(names[0]);
        else if (!names.isEmpty())
            line += QStringLiteral(" (очищены целиком лабиринты %1)").arg(names.join(QStringLiteral(", ")));
        lines << line;
    }
    if (diff.changed > 0)
        lines << QStringLiteral("стены или отметки изменены: ") + cellCount(qint64(diff.changed));
    if (diff.entries > 0)
        lines << QStringLiteral("в списках изменено: ") + entryCount(qint64(diff.entries));
    if (diff.markers > 0)
        lines << QStringLiteral("маркеры изменены: ") + markerCount(qint64(diff.markers));
    if (lines.isEmpty())
        lines << QStringLiteral("карты не отличаются от сохранённых");
    return QStringLiteral("• ") + lines.join(QStringLiteral(";\n• ")) + QLatin1Char('.');
}

} // namespace

MapRecovery::MapRecovery(Atlas& atlas, QString folder, std::shared_ptr<UserPrompts> prompts, QWidget* window)
    : m_atlas(atlas), m_folder(std::move(folder)), m_prompts(std::move(prompts)), m_window(window)
{}

MapRecovery::~MapRecovery() = default;

QString MapRecovery::journalPath() const
{
    return QDir(m_folder).filePath(QString::fromLatin1(kJournalFileName));
}

QStringList MapRecovery::start()
{
    QStringList problems;
    const std::string folder = m_folder.toStdString();
    const JournalBase base = BaseOf(m_atlas, MapFileSizes(folder));
    m_writer = std::make_unique<JournalWriter>(journalPath().toStdString());
    m_writer->rebase(m_atlas, base);

    auto restored = std::make_unique<Atlas>(m_atlas);
    const JournalFile file = ReplayJournalFile(journalPath().toStdString(), *restored);
    const JournalRead& read = file.read;
    if (file.status == ReadStatus::Missing)
        return problems;
    const QString name = QString::fromLatin1(kJournalFileName);
    if (file.status == ReadStatus::Directory || file.status == ReadStatus::NotRegular) {
        problems << QStringLiteral("На месте журнала несохранённых изменений %1 — %2; он не прочитан и оставлен "
                                   "как есть.")
                        .arg(name, QString::fromStdString(file.error));
        return problems;
    }
    if (file.status != ReadStatus::Ok || !read.usable) {
        // Kept aside rather than removed: whatever it holds is not lost for good.
        const QString why = file.status != ReadStatus::Ok
                                ? QStringLiteral("не читается (%1)").arg(QString::fromStdString(file.error))
                                : QStringLiteral("повреждён: его начало не похоже на журнал Вельдора");
        problems << QStringLiteral("Журнал несохранённых изменений %1 %2; он отложен как %3.")
                        .arg(name, why, setAside(false));
        return problems;
    }
    if (read.records == 0) {
        m_writer->discard(); // a journal without a whole change holds nothing to restore
        return problems;
    }
    const bool sameMaps = read.base == base;
    const QString when = QLocale().toString(QDateTime::fromMSecsSinceEpoch(read.lastChange), QLocale::ShortFormat);
    QString question = QStringLiteral("Прошлый раз Вельдор закрылся, не сохранив карты. Вернуть несохранённые "
                                      "изменения?\n\n%1\nПоследнее изменение: %2.")
                           .arg(describeChanges(CompareAtlases(m_atlas, *restored)), when);
    if (read.tornTail)
        question += QStringLiteral("\n\nКонец журнала повреждён: изменения, записанные после этого, не прочитаны "
                                   "(журнал целиком сохранён как %1).")
                        .arg(setAside(true));
    if (!sameMaps)
        question += QStringLiteral("\n\nФайлы карт с тех пор заменены другими: изменения были сделаны на прежних "
                                   "картах и могут лечь на новые неверно.");
    if (!m_prompts->askYesNo(m_window, question, sameMaps)) {
        m_writer->discard();
        return problems;
    }
    m_atlas = *restored;
    // The journal is written anew against the files on disk now, so that it matches them from here on.
    if (const auto problem = m_writer->capture(m_atlas, 0)) {
        m_problemTold = true;
        problems << QStringLiteral("Восстановленные изменения не удалось записать в новый журнал (%1): %2. Они в "
                                   "памяти; сохраните карту.")
                        .arg(QString::fromLatin1(kJournalFileName), QString::fromStdString(*problem));
    }
    return problems;
}

QString MapRecovery::setAside(bool copy) const
{
    const QString aside = journalPath() + QStringLiteral(".damaged");
    QFile::remove(aside);
    if (copy)
        QFile::copy(journalPath(), aside);
    else
        QFile::rename(journalPath(), aside);
    return QFileInfo(aside).fileName();
}

void MapRecovery::changed(unsigned lab)
{
    if (!m_writer)
        return;
    if (const auto problem = m_writer->capture(m_atlas, lab))
        tell(*problem);
}

void MapRecovery::tell(const std::string& problem)
{
    if (m_problemTold)
        return;
    m_problemTold = true;
    const QString text = QStringLiteral("Не удалось вести журнал несохранённых изменений (%1): %2.\nКарта ведётся "
                                        "дальше, но при сбое изменения после последнего сохранения пропадут: "
                                        "сохраняйте карту почаще.")
                             .arg(QDir::toNativeSeparators(journalPath()), QString::fromStdString(problem));
    // Told after the tick or command that found it, not in its middle.
    QTimer::singleShot(0, m_window,
                       [prompts = m_prompts, window = m_window, text] { prompts->showError(window, text); });
}

void MapRecovery::saved()
{
    if (!m_writer)
        return;
    if (const auto problem = m_writer->mapsSaved(m_atlas, BaseOf(m_atlas, MapFileSizes(m_folder.toStdString()))))
        tell(*problem);
}

void MapRecovery::markersSaved(const Atlas::MarkerLevels& markers)
{
    if (!m_writer)
        return;
    if (const auto problem = m_writer->markersSaved(markers, m_atlas))
        tell(*problem);
}

void MapRecovery::savedPartly()
{
    if (!m_writer)
        return;
    const std::string folder = m_folder.toStdString();
    auto onDisk = std::make_unique<Atlas>();
    LoadMaps(*onDisk, folder, false);
    LoadMarkers(*onDisk, folder);
    if (const auto problem = m_writer->restart(*onDisk, BaseOf(*onDisk, MapFileSizes(folder)), m_atlas))
        tell(*problem);
}

void MapRecovery::discarded()
{
    if (m_writer)
        m_writer->discard();
}

} // namespace veldor
