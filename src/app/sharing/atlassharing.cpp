#include "atlassharing.h"

#include "app/folder/mapedits.h"
#include "map/atlas.h"
#include "map/levellinks.h"
#include "map/markerfile.h"
#include "map/merge.h"
#include "mapview/levelpicture.h"
#include "ui/prompts.h"
#include "ui/qtcodec.h"
#include "ui/russian.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace veldor {
namespace {

// "2 клетки, 1 запись в списках", with ", 3 маркера" when markers came in.
QString gains(const MergeCounts& c)
{
    QString text = QStringLiteral("%1, %2 в списках").arg(cellCount(c.cells), entryCount(c.entries));
    if (c.markers > 0)
        text += QStringLiteral(", ") + markerCount(c.markers);
    return text;
}

QString markerBounds(const MergeCounts& c)
{
    return markerLimits(c.markersCut, c.markersSkipped, qint64(kMaxMarkerTaken), kMaxMarkersTaken);
}

bool anything(const MergeCounts& c)
{
    return c.cells > 0 || c.entries > 0 || c.markers > 0;
}

QString shown(const QString& folder)
{
    return QStringLiteral("«") + QDir::toNativeSeparators(folder) + QStringLiteral("»");
}

class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QString mergeSummary(const QString& folder, const MergeResult& result, const OtherMaps& other, bool readOnly)
{
    QStringList lines;
    const MergeCounts total = result.total();
    if (!anything(total)) {
        lines << QStringLiteral("Из папки %1 ничего нового: всё, что есть в этих картах, уже есть в ваших.")
                     .arg(shown(folder));
    } else {
        lines << QStringLiteral("Из папки %1 добавлено в ваши карты:").arg(shown(folder));
        for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab) {
            const MergeCounts& c = result.labs[lab];
            if (!anything(c))
                continue;
            lines << fromUtf8Text(LabyrinthName(lab)) + QStringLiteral(": ") + gains(c);
        }
        lines << QStringLiteral("Всего: ") + gains(total) + QLatin1Char('.');
    }
    if (total.dropped > 0) {
        lines << QString() << QStringLiteral("Не поместилось в заполненные списки: %1.").arg(entryCount(total.dropped));
    }
    if (const QString bounds = markerBounds(total); !bounds.isEmpty())
        lines << QString() << bounds;
    if (!other.missing.empty()) {
        QStringList names;
        for (const std::string& name : other.missing)
            names << QString::fromStdString(name);
        lines << QString()
              << QStringLiteral("В папке нет файлов %1: они ничего не добавили.").arg(names.join(QStringLiteral(", ")));
    }
    if (!other.report.ok()) {
        lines << QString() << QString::fromStdString(other.report.message("Не прочитаны (из них ничего не взято):"));
    }
    if (anything(total) && readOnly) {
        lines << QString()
              << QStringLiteral("Карты изменены только в этом окне: оно открыто только для чтения, и сохранить их "
                                "здесь нельзя. Чтобы не потерять их, запишите карты в другую папку: «Файл» → "
                                "«Экспорт карт в папку...».");
    } else if (anything(total)) {
        lines << QString()
              << QStringLiteral("Карты изменены, но ещё не сохранены: они попадут в файлы по кнопке «Сохранить "
                                "карту» или при ответе «Да» на выходе.");
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

AtlasSharing::AtlasSharing(Window window, QObject* parent) : QObject(parent), m_w(std::move(window)) {}

QString AtlasSharing::pickFolder(const QString& caption, QString& remembered, const QString& ownFolder,
                                 const QStringList& lookFor)
{
    QString folder =
        m_w.prompts->askFolder(m_w.window, caption, remembered.isEmpty() ? QDir::homePath() : remembered, lookFor);
    if (folder.isEmpty())
        return {};
    remembered = folder;
    if (!QFileInfo(folder).isDir()) {
        m_w.prompts->showError(m_w.window, QStringLiteral("Папка %1 не найдена.").arg(shown(folder)));
        return {};
    }
    if (SameFolder(folder.toStdString(), m_w.workFolder.toStdString())) {
        m_w.prompts->showError(m_w.window, ownFolder.arg(shown(folder)));
        return {};
    }
    return folder;
}

void AtlasSharing::mergeFromFolder()
{
    const QString folder =
        pickFolder(QStringLiteral("Объединить с картами из папки"), m_mergeFolder,
                   QStringLiteral("В папке %1 Вельдор хранит ваши собственные карты: объединять их с ними же нечего. "
                                  "Выберите папку с картами другого игрока."),
                   {QStringLiteral("map1.map"), QStringLiteral("map2.map"), QStringLiteral("map3.map"),
                    QStringLiteral("map.crd"), QString::fromLatin1(kMarkersFileName)});
    if (folder.isEmpty())
        return;
    MergeResult result;
    OtherMaps other;
    std::size_t newLinks = 0;
    {
        const WaitCursor busy;
        auto theirs = std::make_unique<Atlas>();
        other = LoadOtherMaps(*theirs, folder.toStdString());
        if (m_w.links && other.present() > 0)
            newLinks =
                TakeLinks(*m_w.links, LinksBetweenStairs(LoadLinks(folder.toStdString()).links, *theirs), *m_w.atlas);
        const auto merge = [&] { result = MergeAtlas(*m_w.atlas, *theirs); };
        const QString name = QStringLiteral("объединение с картами из папки %1").arg(shown(folder));
        if (other.present() > 0 && m_w.edits)
            m_w.edits->run(0, name, merge);
        else if (other.present() > 0)
            merge();
    }
    if (other.present() == 0) {
        m_w.prompts->showError(m_w.window, QStringLiteral("В папке %1 нет файлов карт (map1.map, map2.map, "
                                                          "map3.map, map.crd): объединять не с чем.")
                                               .arg(shown(folder)));
        return;
    }
    if (anything(result.total()))
        m_w.atlasChanged();
    QString summary = mergeSummary(folder, result, other, m_w.readOnly && m_w.readOnly());
    if (newLinks > 0)
        summary += QStringLiteral("\n\nУзнано, куда ведут спуски и подъёмы: %1.").arg(newLinks);
    m_w.prompts->showInformation(m_w.window, QStringLiteral("Объединение карт"), summary);
}

bool AtlasSharing::exportToFolder()
{
    const QString folder =
        pickFolder(QStringLiteral("Экспорт карт в папку"), m_exportFolder,
                   QStringLiteral("Папка %1 — та, где Вельдор хранит ваши карты. Чтобы записать их сюда, нажмите "
                                  "«Сохранить карту»; для копии выберите другую папку."));
    if (folder.isEmpty())
        return false;
    MapFilesReport report;
    {
        const WaitCursor busy;
        report = ExportMaps(*m_w.atlas, folder.toStdString());
        const FileResult markers = SaveMarkers(*m_w.atlas, folder.toStdString(), LinkPolicy::StayInFolder);
        if (!markers.ok)
            report.problems.push_back({kMarkersFileName, markers.error, markers.kind});
        if (m_w.links) {
            if (const std::string error = SaveLinks(*m_w.links, folder.toStdString(), true); !error.empty())
                report.problems.push_back({LevelLinks::kFileName, error});
        }
    }
    if (!report.ok()) {
        m_w.prompts->showError(
            m_w.window,
            QString::fromStdString(report.message(
                QStringLiteral("Не все карты записаны в папку %1 (прежние файлы там остались без изменений):")
                    .arg(shown(folder))
                    .toStdString())));
        return false;
    }
    m_w.prompts->showInformation(
        m_w.window, QStringLiteral("Экспорт карт"),
        QStringLiteral("Карты записаны в папку %1: map1.map, map2.map, map3.map, map.crd, "
                       "%2 и %3.\n\nВаши собственные карты этим не сохранены.")
            .arg(shown(folder), QString::fromLatin1(kMarkersFileName), QString::fromLatin1(LevelLinks::kFileName)));
    return true;
}

void AtlasSharing::saveLevelPicture()
{
    const unsigned lab = m_w.lab();
    const int level = m_w.level();
    if (LabSide(lab) == 0) {
        m_w.prompts->showError(m_w.window, QStringLiteral("Лабиринт не выбран: рисовать нечего."));
        return;
    }
    const QString name = fromUtf8Text(LabyrinthName(lab));
    const QString suggested = QDir(m_pictureFolder.isEmpty() ? m_w.workFolder : m_pictureFolder)
                                  .filePath(QStringLiteral("%1-L%2.png").arg(name).arg(level));
    QString path = m_w.prompts->askSaveFile(m_w.window, QStringLiteral("Сохранить уровень как рисунок"), suggested,
                                            QStringLiteral("Рисунок PNG (*.png)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    m_pictureFolder = QFileInfo(path).absolutePath();
    QString problem;
    {
        const WaitCursor busy;
        const QImage picture =
            LevelPicture(*m_w.grid, QStringLiteral("%1, уровень %2").arg(name).arg(level), m_w.mapCell);
        QSaveFile file(path);
        errno = 0;
        if (QFileInfo(path).isDir())
            problem = QStringLiteral("на этом месте находится папка");
        else if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit())
            problem = QStringLiteral("не удалось записать файл (%1)").arg(fileErrorText(errno, file.errorString()));
    }
    if (!problem.isEmpty()) {
        m_w.prompts->showError(m_w.window,
                               QStringLiteral("Рисунок уровня не сохранён в %1: %2.").arg(shown(path), problem));
        return;
    }
    m_w.prompts->showInformation(m_w.window, QStringLiteral("Рисунок уровня"),
                                 QStringLiteral("Рисунок уровня записан в файл %1.").arg(shown(path)));
}

} // namespace veldor
