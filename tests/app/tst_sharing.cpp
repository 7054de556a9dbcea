// Passing maps between players from the File menu: merging another player's folder, exporting ours, and the
// shown level as a picture.
#include "app/parts/pagecontrol.h"
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "formfixture.h"
#include "map/groupmarkers.h"
#include "map/levellinks.h"
#include "map/livefile.h"
#include "map/mapfiles.h"
#include "map/markerfile.h"
#include "map/merge.h"
#include "map/squad.h"
#include "mapview/levelpicture.h"
#include "mapview/mapgrid.h"
#include "mapview/mapoverlay.h"
#include "person.h"
#include "testsupport.h"
#include "ui/qtcodec.h"
#include "windowcontrols.h"

#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <thread>

using namespace veldor;
using namespace veldor::test;

namespace {

const QString kMerge = QStringLiteral("Объединить с картами из папки...");
const QString kExport = QStringLiteral("Экспорт карт в папку...");
const QString kPicture = QStringLiteral("Сохранить уровень как рисунок...");

// "Вид" → "Отряд" opened as a person does: its table of members.
QTableWidget* membersTable(MainWindow& form)
{
    if (!person::chooseMenu(controls(form).mainMenu, {QStringLiteral("Вид"), QStringLiteral("Отряд")}))
        return nullptr;
    QTableWidget* table = nullptr;
    waitUntil([&] { return (table = form.findChild<QTableWidget*>(QStringLiteral("SquadMembersTable"))) != nullptr; });
    return table && QTest::qWaitForWindowExposed(table->window()) ? table : nullptr;
}

// The column under the header, as a person reads the table.
int column(const QTableWidget* table, const QString& header)
{
    for (int c = 0; c < table->columnCount(); ++c)
        if (table->horizontalHeaderItem(c)->text() == header)
            return c;
    return -1;
}

} // namespace

class TestSharing : public QObject
{
    Q_OBJECT
    FormFixture fx;
    std::unique_ptr<QTemporaryDir> other;

    // Labyrinth 1 shown, cell size 15.
    std::unique_ptr<MainWindow> shownForm() { return fx.active(UserDat{}, QSize(1100, 900)); }

    // Another player's maps: three explored cells in two labyrinths, a trap and an exit in the lists.
    bool writeOtherMaps() const
    {
        auto atlas = std::make_unique<Atlas>();
        *atlas->cell(1, 0, 4, 4) = TMapCell{1, 0, 0, 1, 1, 'L'};
        *atlas->cell(1, 0, 5, 4) = TMapCell{0, 0, 1, 0, 1, 'n'};
        *atlas->cell(1, 0, 6, 6) = TMapCell{1, 1, 1, 1, 1, 'F'}; // ours marked it: stays ours
        *atlas->cell(9, 2, 10, 10) = TMapCell{1, 1, 0, 0, 1, 'E'};
        AppendEntry(*atlas->levelLists(1, 0), ListKind::Traps, PositionEntry(0, 4, 4));
        AppendEntry(*atlas->levelLists(9, 2), ListKind::Exits, PositionEntry(2, 10, 10));
        atlas->cell(1, 0, 7, 7)->Object = 'd'; // a way down seen, not walked, and the way up it leads to
        atlas->cell(1, 1, 7, 7)->Object = 'u';
        return SaveMaps(*atlas, other->path().toStdString()).ok();
    }

    static bool choose(MainWindow& form, const QString& item)
    {
        return person::chooseMenu(controls(form).mainMenu, {QStringLiteral("Файл"), item});
    }

private slots:
    void init()
    {
        fx.reset();
        other = std::make_unique<QTemporaryDir>();
        QVERIFY(other->isValid());
    }

    // A teammate's live file arriving: their cells come in at once (no waiting for the maps to rest), their figure
    // stands where they are, in their colour, and the hint says who and since when.
    void aTeammatesLiveFileShowsTheirStepsAndTheirPlace()
    {
        const QString shared = other->path();
        QVERIFY(QDir(shared).mkpath(QStringLiteral("Alpha")));
        QVERIFY(writeAll(fx.file("veldor.ini"),
                         QStringLiteral("[squad]\nfolder=%1\nname=Me\nenabled=true\n").arg(shared).toUtf8()));
        auto form = shownForm();
        QVERIFY(form);
        LiveFile live;
        live.startedMs = live.writtenMs = live.placeMs = QDateTime::currentMSecsSinceEpoch();
        live.sequence = 1;
        live.place = AtlasPlace{1, 0, 6, 5};
        live.cells = {{{1, 0, 5, 5}, {0, 0, 0, 1, 1, 0}}, {{1, 0, 6, 5}, {0, 0, 1, 0, 1, 'F'}}};
        const std::string bytes = WriteLiveFile(live);
        QVERIFY(writeAll(shared + QStringLiteral("/Alpha/.syncthing.live.txt.tmp"), QByteArray::fromStdString(bytes)));
        QVERIFY(QFile::rename(shared + QStringLiteral("/Alpha/.syncthing.live.txt.tmp"),
                              shared + QStringLiteral("/Alpha/live.txt")));
        QTRY_COMPARE_WITH_TIMEOUT(form->atlas().cell(1, 0, 6, 5)->Object, 'F', 3000);
        QCOMPARE(form->atlas().cell(1, 0, 5, 5)->Explored, 1);
        QCOMPARE(controls(*form).flagsList->toPlainText(), QStringLiteral("L-0(6x5); "));
        MapGrid* grid = controls(*form).mapGrid;
        const auto figureAt = [grid](int x, int y) {
            const QImage shown = grid->viewport()->grab().toImage();
            const QRect cell = grid->cellRect(x, y);
            for (int px = cell.left(); px <= cell.right(); ++px)
                for (int py = cell.top(); py <= cell.bottom(); ++py)
                    if (shown.pixelColor(px, py) == MapOverlay::teammateColour(QStringLiteral("Alpha")))
                        return true;
            return false;
        };
        QTRY_VERIFY(figureAt(6, 5));
        QVERIFY(!figureAt(5, 5));
        person::hover(grid->viewport(), grid->cellRect(2, 2).center());
        person::hover(grid->viewport(), grid->cellRect(6, 5).center());
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible() && QToolTip::text().contains(QStringLiteral("Alpha — ")), 5000);
        QVERIFY(QToolTip::text().endsWith(QStringLiteral(" с назад")));

        // Refused in «Отряд»: where Alpha stands still shows, what Alpha maps stays out.
        auto* table = membersTable(*form);
        QVERIFY(table);
        person::click(table->cellWidget(0, column(table, QStringLiteral("Брать карты"))));
        table->window()->close();
        live.sequence = 2;
        live.place = AtlasPlace{1, 0, 7, 5};
        live.cells = {{{1, 0, 7, 5}, {0, 0, 1, 0, 1, 0}}};
        QVERIFY(writeAll(shared + QStringLiteral("/Alpha/.syncthing.live.txt.tmp"),
                         QByteArray::fromStdString(WriteLiveFile(live))));
        QVERIFY(std::rename(QFile::encodeName(shared + QStringLiteral("/Alpha/.syncthing.live.txt.tmp")).constData(),
                            QFile::encodeName(shared + QStringLiteral("/Alpha/live.txt")).constData()) == 0);
        QTRY_VERIFY_WITH_TIMEOUT(figureAt(7, 5), 3000);
        QCOMPARE(form->atlas().cell(1, 0, 7, 5)->Explored, 0);
    }

    // A group's shared folder as a sync engine fills it: Alpha's files arrive under temporary names and are
    // renamed into place one by one; nothing is merged until all four are whole, then Alpha's cells come in
    // without any input. Our own maps go to our subfolder after "Сохранить карту".
    void aSharedFolderTakesInWhatAMemberWrote()
    {
        const QString shared = other->path();
        QVERIFY(QDir(shared).mkpath(QStringLiteral("Alpha")) && QDir(shared).mkpath(QStringLiteral("staged")));
        QVERIFY(writeAll(fx.file("veldor.ini"),
                         QStringLiteral("[squad]\nfolder=%1\nname=Me\nenabled=true\n").arg(shared).toUtf8()));
        auto theirs = std::make_unique<Atlas>();
        *theirs->cell(1, 0, 4, 4) = TMapCell{1, 0, 0, 1, 1, 'd'}; // a way down, to the way up below it
        theirs->cell(1, 1, 4, 4)->Object = 'u';
        const QString alpha = shared + QStringLiteral("/Alpha/");
        QVERIFY(writeAll(alpha + QStringLiteral("links.txt"), "1 0 4 4 1 4 4\n"));
        QVERIFY(SaveMaps(*theirs, (shared + QStringLiteral("/staged")).toStdString()).ok());
        for (const MapFileInfo& f : MapFiles()) // what the engine writes while it receives
            QVERIFY(QFile::rename(shared + "/staged/" + f.name, alpha + ".syncthing." + f.name + ".tmp"));
        auto form = shownForm();
        QVERIFY(form);
        for (const MapFileInfo& f : MapFiles()) {
            QCOMPARE(form->atlas().cell(1, 0, 4, 4)->Explored, 0); // not before the last file is in place
            QVERIFY(QFile::rename(alpha + ".syncthing." + f.name + ".tmp", alpha + f.name));
            QTest::qWait(150);
        }
        QTRY_COMPARE_WITH_TIMEOUT(form->atlas().cell(1, 0, 4, 4)->Explored, 1, 10000);
        QVERIFY(controls(*form).squadLabel->text().startsWith(QStringLiteral("Отряд: +1 клетка от Alpha")));
        QVERIFY(readAll(fx.file("links.txt")).endsWith("\n1 0 4 4 1 4 4\n")); // where Alpha's way down leads
        QVERIFY(!controls(*form).undoAction->isEnabled()); // a teammate's cells are not the player's to undo
        auto* table = membersTable(*form);
        QVERIFY(table && table->item(0, 0)->text() == QStringLiteral("Alpha"));
        QVERIFY(table->item(0, column(table, QStringLiteral("Принёс за сеанс")))
                    ->text()
                    .startsWith(QStringLiteral("1 клетка")));
        const int take = column(table, QStringLiteral("Брать карты"));
        // Refused: what Alpha writes next stays out, also after the view is closed.
        person::click(table->cellWidget(0, take));
        QTRY_VERIFY(!static_cast<QCheckBox*>(table->cellWidget(0, take))->isChecked());
        table->window()->close();
        *theirs->cell(1, 0, 5, 4) = TMapCell{1, 0, 1, 0, 1, 'n'};
        QVERIFY(SaveMaps(*theirs, alpha.toStdString()).ok());
        auto bravo = std::make_unique<Atlas>();
        *bravo->cell(1, 0, 9, 9) = TMapCell{1, 0, 0, 1, 1, 'n'};
        QVERIFY(QDir(shared).mkpath(QStringLiteral("Bravo")));
        QVERIFY(SaveMaps(*bravo, (shared + QStringLiteral("/Bravo")).toStdString()).ok());
        QTRY_COMPARE_WITH_TIMEOUT(form->atlas().cell(1, 0, 9, 9)->Explored, 1, 10000);
        QCOMPARE(form->atlas().cell(1, 0, 5, 4)->Explored, 0);
        person::click(controls(*form).sidePages->tabButton(0)); // "Настройки"
        QTRY_VERIFY(controls(*form).saveMapsButton->isVisible());
        QVERIFY(QDir(shared).mkpath(QStringLiteral("Me")) &&
                writeAll(shared + "/Me/member.txt", "name=Me\nid=other\n"));
        person::click(controls(*form).saveMapsButton); // "Сохранить карту"
        QTRY_VERIFY(controls(*form).squadLabel->text().contains(
            QStringLiteral("имя «Me» в общей папке уже пишет другой компьютер"))); // written beside the window
        const QByteArray member = readAll(shared + QStringLiteral("/Me/member.txt"));
        QVERIFY(member.startsWith("name=Me\n") && member.contains("version=") && !member.contains("id=other"));
        QCOMPARE(QFileInfo(shared + QStringLiteral("/Me/map3.map")).size(), qint64(MapFiles()[2].size));
        QVERIFY(readAll(shared + QStringLiteral("/Me/links.txt")).endsWith("\n1 0 4 4 1 4 4\n"));
        QVERIFY(QDir(shared).removeRecursively()); // unmounted, say: said once, tried again, never made anew
        QTRY_VERIFY_WITH_TIMEOUT(controls(*form).squadLabel->text().contains(QStringLiteral("общей папки")), 10000);
        person::click(controls(*form).saveMapsButton);
        QTRY_VERIFY(controls(*form).squadLabel->text().contains(QStringLiteral("карты не записаны")));
        QVERIFY(!QFileInfo::exists(shared));
    }

    // A member rewriting its markers again and again: the group brings no more than its bound, what is left out is
    // said in «Отряд», and none of the group's markers go out into our own subfolder.
    void aMembersMarkersAreBoundedAndNeverPassedOn()
    {
        const QString shared = other->path();
        const QString alpha = shared + QStringLiteral("/Alpha");
        QVERIFY(QDir(shared).mkpath(QStringLiteral("Alpha")));
        QVERIFY(writeAll(fx.file("veldor.ini"),
                         QStringLiteral("[squad]\nfolder=%1\nname=Me\nenabled=true\n").arg(shared).toUtf8()));
        const auto writeAlpha = [&](int round) {
            auto theirs = std::make_unique<Atlas>();
            theirs->cell(1, 0, round, 1)->Explored = 1; // the maps change, so Alpha is read again
            const int count = int(GroupMarkers::kMax);
            for (int i = 0; i < count; ++i)
                theirs->setMarkText(14 + round, i / 10000, 1 + i % 100, 1 + i / 100 % 100, "junk");
            return SaveMaps(*theirs, alpha.toStdString()).ok() &&
                   SaveMarkers(*theirs, alpha.toStdString(), LinkPolicy::StayInFolder).ok;
        };
        QVERIFY(writeAlpha(1));
        auto form = shownForm();
        QVERIFY(form);
        form->atlas().setMarkText(1, 0, 2, 2, "ours");
        QTRY_COMPARE_WITH_TIMEOUT(form->atlas().markerCount(), GroupMarkers::kMax + 1, 20000);
        QVERIFY(writeAlpha(2));
        QTRY_COMPARE_WITH_TIMEOUT(form->atlas().cell(1, 0, 2, 1)->Explored, 1, 20000);
        QCOMPARE(form->atlas().markerCount(), GroupMarkers::kMax + 1);
        auto* table = membersTable(*form);
        QVERIFY(table);
        const auto labels = table->window()->findChildren<QLabel*>();
        const QString leftOut =
            QStringLiteral("не взято ") + QLocale(QLocale::Russian).toString(qint64(GroupMarkers::kMax));
        QVERIFY(std::any_of(labels.begin(), labels.end(), [&](QLabel* l) { return l->text().contains(leftOut); }));
        table->window()->close();
        QVERIFY(fx.clickSide(*form, controls(*form).saveMapsButton));
        auto passedOn = std::make_unique<Atlas>();
        QTRY_COMPARE_WITH_TIMEOUT(
            [&] {
                passedOn = std::make_unique<Atlas>();
                LoadMarkers(*passedOn, (shared + QStringLiteral("/Me")).toStdString());
                return passedOn->markerCount();
            }(),
            std::size_t(1), 20000);
        QCOMPARE(passedOn->markText(1, 0, 2, 2), std::string("ours"));
    }

    // Our subfolder and a link to another folder exchanged every millisecond while the maps go out: nothing
    // reaches the other folder, and no temporary file of ours is left for the sync engine to spread.
    void aLinkSwappedInWhileWritingLeadsNowhere()
    {
        const QString shared = other->path();
        QTemporaryDir elsewhere;
        QVERIFY(QDir(shared).mkpath(QStringLiteral("Me")));
        QVERIFY(QFile::link(elsewhere.path(), shared + QStringLiteral("/MeLink")));
        QVERIFY(writeAll(fx.file("veldor.ini"),
                         QStringLiteral("[squad]\nfolder=%1\nname=Me\nenabled=true\n").arg(shared).toUtf8()));
        auto form = shownForm();
        QVERIFY(form);
        const QByteArray me = QFile::encodeName(shared + QStringLiteral("/Me"));
        const QByteArray link = QFile::encodeName(shared + QStringLiteral("/MeLink"));
        std::atomic<bool> stop{false};
        std::thread swapper([&] {
            QElapsedTimer clock;
            clock.start();
            while (!stop && clock.elapsed() < 20000) {
                ::renameat2(AT_FDCWD, me.constData(), AT_FDCWD, link.constData(), RENAME_EXCHANGE);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        for (int x = 1; x <= 8; ++x) {
            form->atlas().cell(1, 0, x, 1)->Explored = 1; // something new to write out each time
            QVERIFY(fx.clickSide(*form, controls(*form).saveMapsButton));
            QTest::qWait(150);
        }
        stop = true;
        swapper.join();
        if (QFileInfo(QString::fromLocal8Bit(me)).isSymLink())
            QCOMPARE(::renameat2(AT_FDCWD, me.constData(), AT_FDCWD, link.constData(), RENAME_EXCHANGE), 0);
        form->atlas().cell(1, 0, 9, 1)->Explored = 1;
        QVERIFY(fx.clickSide(*form, controls(*form).saveMapsButton));
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                auto written = std::make_unique<Atlas>();
                LoadOtherMaps(*written, me.toStdString());
                return written->cell(1, 0, 9, 1)->Explored == 1;
            }(),
            10000);
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        // The last write-out goes on a while after its first file: its own temporary files go with it.
        const QStringList ours = {QStringLiteral("links.txt"),   QStringLiteral("live.txt"),
                                  QStringLiteral("map.crd"),     QStringLiteral("map1.map"),
                                  QStringLiteral("map2.map"),    QStringLiteral("map3.map"),
                                  QStringLiteral("markers.txt"), QStringLiteral("member.txt")};
        QTRY_COMPARE_WITH_TIMEOUT(QDir(QString::fromLocal8Bit(me)).entryList(all, QDir::Name), ours, 10000);
        QCOMPARE(QDir(elsewhere.path()).entryList(all), QStringList());
    }

    // A share not mounted when the program starts again is a bare folder of the disk beneath: nothing is written
    // there. Mounted again, it is written as before.
    void anUnmountedShareIsNotWrittenAfterARestart()
    {
        QTemporaryDir mounted(QStringLiteral("/dev/shm/veldor-share-XXXXXX"));
        struct stat a
        {
        };
        struct stat b
        {
        };
        if (!mounted.isValid() || ::stat("/dev/shm", &a) != 0 ||
            ::stat(QFile::encodeName(other->path()).constData(), &b) != 0 || a.st_dev == b.st_dev)
            QSKIP("needs /dev/shm on a file system of its own");
        const QString shared = other->filePath(QStringLiteral("share")); // the mount point, as a link standing in
        QVERIFY(QFile::link(mounted.path(), shared));
        QVERIFY(writeAll(fx.file("veldor.ini"),
                         QStringLiteral("[squad]\nfolder=%1\nname=Me\nenabled=true\n").arg(shared).toUtf8()));
        // A start, a cell walked at x, "Сохранить карту", and the close once `until` holds.
        const auto saveAndClose = [&](int x, const std::function<bool(MainWindow&)>& until) {
            auto form = shownForm();
            if (!form)
                return false;
            form->atlas().cell(1, 0, x, 2)->Explored = 1;
            return fx.clickSide(*form, controls(*form).saveMapsButton) && waitUntil([&] { return until(*form); });
        };
        const auto written = [&](int x) {
            auto maps = std::make_unique<Atlas>();
            LoadOtherMaps(*maps, QFile::encodeName(mounted.filePath("Me")).toStdString());
            return maps->cell(1, 0, x, 2)->Explored == 1;
        };
        QVERIFY(saveAndClose(2, [&](MainWindow&) { return written(2); }));
        QVERIFY(QFile::remove(shared) && QDir().mkpath(shared)); // unmounted
        QVERIFY(saveAndClose(3, [](MainWindow& form) {
            return controls(form).squadLabel &&
                   controls(form).squadLabel->text().contains(QStringLiteral("на другом диске"));
        }));
        QCOMPARE(QDir(shared).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
        QVERIFY(QDir(shared).removeRecursively() && QFile::link(mounted.path(), shared)); // mounted again
        QVERIFY(saveAndClose(4, [&](MainWindow&) { return written(4); }));
    }

    // Many members being read when the window closes: it closes within a second, the reading given up.
    void aCloseDuringALookReturnsWithinASecond()
    {
        const QString shared = other->path();
        QVERIFY(writeAll(fx.file("veldor.ini"),
                         QStringLiteral("[squad]\nfolder=%1\nname=Me\nenabled=true\n").arg(shared).toUtf8()));
        for (int i = 0; i < 60; ++i) { // files of full size without taking the disk: holes, long at rest
            const QString member = shared + QStringLiteral("/M%1/").arg(i);
            QVERIFY(QDir().mkpath(member));
            const auto hole = [](const QString& path, qint64 size) {
                QFile file(path);
                return file.open(QIODevice::WriteOnly) && file.resize(size) &&
                       file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
            };
            for (const MapFileInfo& f : MapFiles())
                QVERIFY(hole(member + f.name, qint64(f.size)));
            QVERIFY(hole(member + QStringLiteral("markers.txt"), qint64(kMaxOtherMarkersBytes)));
        }
        auto form = shownForm();
        QVERIFY(form);
        QTest::qWait(200); // the look under way
        QElapsedTimer closing;
        closing.start();
        form.reset();
        QVERIFY2(closing.elapsed() < 1500, qPrintable(QString::number(closing.elapsed())));
    }

    void theCommandsStandInTheFileMenuBeforeExit()
    {
        auto form = shownForm();
        QVERIFY(form);
        QStringList shown;
        for (QAction* a : controls(*form).fileMenu->actions()) {
            if (a->isVisible())
                shown << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        QCOMPARE(shown.mid(shown.size() - 6), QStringList({QStringLiteral("-"), kMerge, kExport, kPicture,
                                                           QStringLiteral("-"), QStringLiteral("Выход")}));
    }

    void mergingTakesWhatIsNewAndKeepsWhatIsOurs()
    {
        QVERIFY(writeOtherMaps());
        QVERIFY(writeAll(other->filePath(QStringLiteral("links.txt")),
                         "1 0 7 7 1 7 7\n1 99 1 1 1 1 1\n1 0 6 6 1 6 6\n")); // the last between no stairs of theirs
        auto form = shownForm();
        QVERIFY(form);
        form->atlas().cell(1, 0, 6, 6)->Object = 'd'; // marked by hand, not explored
        const QString journal = fx.file("map.journal");

        fx.prompts->folders << other->path();
        QVERIFY(choose(*form, kMerge));
        QCOMPARE(fx.prompts->errors, QStringList());
        QCOMPARE(fx.prompts->lookedFor.value(0).mid(0, 4),
                 QStringList({QStringLiteral("map1.map"), QStringLiteral("map2.map"), QStringLiteral("map3.map"),
                              QStringLiteral("map.crd")}));
        QCOMPARE(fx.prompts->informations.size(), 1);
        const QString summary = fx.prompts->informations.takeFirst();
        const QString lab1 = fromUtf8Text(LabyrinthName(1));
        const QString lab9 = fromUtf8Text(LabyrinthName(9));
        QVERIFY2(summary.contains(lab1 + QStringLiteral(": 2 клетки, 1 запись в списках")), qPrintable(summary));
        QVERIFY2(summary.contains(lab9 + QStringLiteral(": 1 клетка, 1 запись в списках")), qPrintable(summary));
        QVERIFY2(summary.contains(QStringLiteral("Всего: 3 клетки, 2 записи в списках.")), qPrintable(summary));
        QVERIFY(summary.contains(QStringLiteral("ещё не сохранены")));
        // Where their ways down lead is ours now, kept at once; their junk line is not.
        QVERIFY2(summary.contains(QStringLiteral("Узнано, куда ведут спуски и подъёмы: 1.")), qPrintable(summary));
        QVERIFY(readAll(fx.file("links.txt")).endsWith("\n1 0 7 7 1 7 7\n"));

        QVERIFY(sameCell(*form->atlas().cell(1, 0, 4, 4), {1, 0, 0, 1, 1, 'L'}));
        QVERIFY(sameCell(*form->atlas().cell(1, 0, 6, 6), {0, 0, 0, 0, 0, 'd'}));
        QCOMPARE(form->atlas().cell(9, 2, 10, 10)->Object, 'E');
        // The shown labyrinth's list and grid follow at once.
        QCOMPARE(controls(*form).trapsList->toPlainText(), QStringLiteral("L-0(4x4); "));
        const QImage grid = controls(*form).mapGrid->viewport()->grab().toImage();
        const QRect cell = controls(*form).mapGrid->cellRect(5, 4);
        QVERIFY(grid.pixelColor(cell.center()) != QColor(128, 128, 128)); // explored now
        // Unsaved: the map files are as they were, the journal holds the change.
        QCOMPARE(QFileInfo(fx.file("map1.map")).size(), qint64(0));
        QTRY_VERIFY(QFileInfo(journal).size() > 0);

        // The same folder again adds nothing.
        fx.prompts->folders << other->path();
        QVERIFY(choose(*form, kMerge));
        QVERIFY2(fx.prompts->informations.value(0).contains(QStringLiteral("ничего нового")),
                 qPrintable(fx.prompts->informations.value(0)));
        // Neither an export nor a picture is offered into their folder (both cancelled here); a merge is.
        QVERIFY(choose(*form, kPicture));
        QCOMPARE(QFileInfo(fx.prompts->suggestions.value(0)).absolutePath(), fx.dir->path());
        fx.prompts->folderStarts.clear();
        QVERIFY(choose(*form, kExport));
        QVERIFY(choose(*form, kMerge));
        QCOMPARE(fx.prompts->folderStarts, QStringList({QDir::homePath(), other->path()}));
    }

    void aReadOnlyWindowSaysWhereItsMergeCanGo()
    {
        QVERIFY(writeOtherMaps());
        const auto first = fx.make(); // holds the folder
        fx.prompts->choices = {0};    // read-only
        auto form = shownForm();
        QVERIFY(form && form->readOnly());
        fx.prompts->folders << other->path();
        QVERIFY(choose(*form, kMerge));
        const QString summary = fx.prompts->informations.value(0);
        QVERIFY2(summary.contains(QStringLiteral("только для чтения")) && summary.contains(kExport) &&
                     !summary.contains(QStringLiteral("Сохранить карту")),
                 qPrintable(summary));
    }

    void ourOwnFolderAndFoldersWithoutMapsAreRefused()
    {
        auto form = shownForm();
        QVERIFY(form);
        auto before = std::make_unique<Atlas>(form->atlas());
        // Our own folder, spelt differently.
        fx.prompts->folders << fx.dir->path() + QStringLiteral("/.");
        QVERIFY(choose(*form, kMerge));
        QCOMPARE(fx.prompts->errors.size(), 1);
        QVERIFY(fx.prompts->errors.takeFirst().contains(QStringLiteral("ваши собственные карты")));
        // A folder without map files.
        fx.prompts->folders << other->path();
        QVERIFY(choose(*form, kMerge));
        QCOMPARE(fx.prompts->errors.size(), 1);
        QVERIFY(fx.prompts->errors.takeFirst().contains(QStringLiteral("нет файлов карт")));
        QCOMPARE(fx.prompts->informations, QStringList());
        const auto a = before->bytes(MapTable::Map1);
        const auto b = form->atlas().bytes(MapTable::Map1);
        QVERIFY(std::equal(a.begin(), a.end(), b.begin(), b.end()));
        QVERIFY(QDir(other->path()).isEmpty());
    }

    void exportWritesACopyAndIsNoSave()
    {
        QVERIFY(writeAll(fx.file("links.txt"), "2 3 4 5 4 4 5\n"));
        auto form = shownForm();
        QVERIFY(form);
        *form->atlas().cell(1, 0, 2, 2) = TMapCell{1, 1, 1, 1, 1, 'r'};
        form->atlas().setMarkText(1, 0, 2, 2, "x");
        fx.prompts->folders << other->path();
        QVERIFY(choose(*form, kExport));
        QCOMPARE(fx.prompts->errors, QStringList());
        QVERIFY(fx.prompts->informations.value(0).contains(QStringLiteral("не сохранены")));
        const qint64 sizes[] = {550800, 1142400, 7140000, 1444660};
        int i = 0;
        for (const char* name : {"map1.map", "map2.map", "map3.map", "map.crd"})
            QCOMPARE(QFileInfo(other->filePath(QLatin1String(name))).size(), sizes[i++]);
        auto copy = std::make_unique<Atlas>();
        QVERIFY(LoadMaps(*copy, other->path().toStdString(), false).ok());
        QVERIFY(sameCell(*copy->cell(1, 0, 2, 2), {1, 1, 1, 1, 1, 'r'}));
        QCOMPARE(LoadMarkers(*copy, other->path().toStdString()).read.markers, 1);
        QCOMPARE(LoadLinks(other->path().toStdString()).links.all().size(), std::size_t(1));
        // Our own files are untouched: exporting is not saving.
        QCOMPARE(QFileInfo(fx.file("map1.map")).size(), qint64(0));

        // Into our own folder: refused, pointing to the save button.
        fx.prompts->folders << fx.dir->path();
        QVERIFY(choose(*form, kExport));
        QVERIFY(fx.prompts->errors.value(0).contains(QStringLiteral("«Сохранить карту»")));
        QCOMPARE(QFileInfo(fx.file("map1.map")).size(), qint64(0));
    }

    void thePictureIsTheGridAsItPaints()
    {
        fx.reservePort();
        auto form = shownForm();
        QVERIFY(form);
        *form->atlas().cell(1, 0, 2, 3) = TMapCell{1, 3, 0, 1, 1, 'L'};
        *form->atlas().cell(1, 0, 3, 3) = TMapCell{0, 1, 1, 0, 1, '4'};
        *form->atlas().cell(1, 0, 30, 30) = TMapCell{0, 0, 1, 0, 1, 'E'};
        form->atlas().setMarkText(1, 0, 4, 5, "m");
        QVERIFY(fx.playerAt(*form, {0, 6, 6})); // the player, on screen only: the picture holds the map alone
        controls(*form).mapGrid->viewport()->update();

        const QString base = other->filePath(QStringLiteral("level"));
        fx.prompts->files << base;
        QVERIFY(choose(*form, kPicture));
        QCOMPARE(fx.prompts->errors, QStringList());
        QCOMPARE(fx.prompts->filters.value(0), QStringLiteral("Рисунок PNG (*.png)"));
        QVERIFY(fx.prompts->informations.value(0).contains(QDir::toNativeSeparators(base + QStringLiteral(".png"))));
        QCOMPARE(fx.prompts->suggestions.value(0),
                 QDir(fx.dir->path()).filePath(fromUtf8Text(LabyrinthName(1)) + QStringLiteral("-L0.png")));
        const QImage picture(base + QStringLiteral(".png"));
        QVERIFY(!picture.isNull());
        const int side = controls(*form).cellSizeSpin->value() + 1;
        QCOMPARE(picture.height(), kPictureTitleHeight + 31 * side);
        QVERIFY(picture.width() >= 31 * side);

        const QImage screen =
            controls(*form).mapGrid->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const MapGrid* mapGrid = controls(*form).mapGrid;
        // Header cells, plain ground, walls and doors, icons, the marker; the current cell (1, 1) has a frame on
        // screen only.
        for (const QPoint c : {QPoint(0, 3), QPoint(3, 0), QPoint(2, 3), QPoint(3, 3), QPoint(4, 5), QPoint(6, 6)}) {
            const QRect onScreen = mapGrid->cellRect(c.x(), c.y());
            QVERIFY(!onScreen.isEmpty());
            const QPoint inPicture(c.x() * side, kPictureTitleHeight + c.y() * side);
            QCOMPARE(picture.copy(QRect(inPicture, onScreen.size())) == screen.copy(onScreen), c != QPoint(6, 6));
        }
        // The far corner is there too, though not in view on screen.
        const QRect corner(30 * side, kPictureTitleHeight + 30 * side, side - 1, side - 1);
        QVERIFY(picture.copy(corner) != picture.copy(corner.translated(-side, 0)));

        // No labyrinth chosen yet (a first start): nothing to draw, said plainly.
        form.reset();
        QVERIFY(fx.writeUserDat({.lab = 0}));
        form = fx.shown({}, QSize(1100, 900));
        QVERIFY(form && person::activate(form.get()));
        fx.prompts->files << base + QStringLiteral("2");
        QVERIFY(choose(*form, kPicture));
        QCOMPARE(fx.prompts->errors.size(), 1);
        QVERIFY(!QFileInfo::exists(base + QStringLiteral("2.png")));
    }
};

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    TestSharing test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_sharing.moc"
