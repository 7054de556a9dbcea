#include "map/mapfiles.h"
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace veldor;
using namespace veldor::test;

namespace {

const char* const kNames[] = {"map1.map", "map2.map", "map3.map", "map.crd"};
const qint64 kSizes[] = {550800, 1142400, 7140000, 1444660};

void fillSample(Atlas& atlas, std::uint8_t seed)
{
    *atlas.cell(1, 0, 1, 1) = TMapCell{1, 0, 2, 8, 1, 'E'};
    *atlas.cell(6, 16, 30, 30) = TMapCell{seed, 1, 1, 1, 1, 'u'};
    *atlas.cell(9, 4, 20, 21) = TMapCell{3, 3, 0, 1, 1, '5'};
    *atlas.cell(20, 16, 100, 100) = TMapCell{1, 1, 1, 1, 1, 'd'};
    AppendEntry(*atlas.levelLists(20, 16), ListKind::Transitions, PositionEntry(16, 100, 100));
    AppendEntry(*atlas.levelLists(1, 0), ListKind::Exits, PositionEntry(0, 1, 1));
}

bool sameTables(const Atlas& a, const Atlas& b)
{
    for (auto t : {MapTable::Map1, MapTable::Map2, MapTable::Map3, MapTable::MapCrd}) {
        const auto x = a.bytes(t);
        const auto y = b.bytes(t);
        if (!std::equal(x.begin(), x.end(), y.begin(), y.end()))
            return false;
    }
    return true;
}

QStringList leftoverTemporaries(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.tmp-*")}, QDir::Files | QDir::Hidden);
}

} // namespace

class TestMapFiles : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Atlas> atlas;

    QString file(int i) const { return dir->filePath(QString::fromLatin1(kNames[i])); }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        atlas = std::make_unique<Atlas>();
    }
    void cleanup()
    {
        QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        dir.reset();
    }

    void emptyFolderGetsFourEmptyFilesThenFullSizedOnSave()
    {
        const MapFilesReport loaded = LoadMaps(*atlas, dir->path().toStdString());
        QVERIFY(loaded.ok());
        for (int i = 0; i < 4; ++i) {
            QVERIFY(QFile::exists(file(i)));
            QCOMPARE(QFileInfo(file(i)).size(), qint64(0));
        }
        QCOMPARE(atlas->cell(1, 0, 1, 1)->Object, char(0));
        QVERIFY(SaveMaps(*atlas, dir->path().toStdString()).ok());
        for (int i = 0; i < 4; ++i)
            QCOMPARE(QFileInfo(file(i)).size(), kSizes[i]);
        QVERIFY(leftoverTemporaries(dir->path()).isEmpty());
    }

    void savedFilesLoadBackAndAreTheTablesByteForByte()
    {
        fillSample(*atlas, 7);
        QVERIFY(SaveMaps(*atlas, dir->path().toStdString()).ok());
        // The files are the raw tables.
        const QByteArray map1 = readAll(file(0));
        const auto table = atlas->bytes(MapTable::Map1);
        QCOMPARE(map1, QByteArray(reinterpret_cast<const char*>(table.data()), qsizetype(table.size())));
        QCOMPARE(map1.mid(0, 6), QByteArray("\x01\x00\x02\x08\x01"
                                            "E",
                                            6));
        const QByteArray crd = readAll(file(3));
        QCOMPARE(crd.mid(4096, 11), QByteArray("\x0A"
                                               "L-0(1x1); ",
                                               11));

        Atlas* loaded = new Atlas;
        std::unique_ptr<Atlas> owner(loaded);
        QVERIFY(LoadMaps(*loaded, dir->path().toStdString()).ok());
        QVERIFY(sameTables(*atlas, *loaded));
        // Files are not changed by loading.
        QCOMPARE(readAll(file(0)), map1);
    }

    void savingTwiceGivesIdenticalFiles()
    {
        fillSample(*atlas, 1);
        QVERIFY(SaveMaps(*atlas, dir->path().toStdString()).ok());
        QList<QByteArray> first;
        for (int i = 0; i < 4; ++i)
            first << readAll(file(i));
        QVERIFY(SaveMaps(*atlas, dir->path().toStdString()).ok());
        for (int i = 0; i < 4; ++i)
            QCOMPARE(readAll(file(i)), first[i]);
    }

    void shortFileIsReadAsFarAsItGoesAndLeftOnDisk()
    {
        QByteArray bytes(1000, '\0');
        for (int i = 0; i < 1000; ++i)
            bytes[i] = char(i % 251 + 1);
        QVERIFY(writeAll(file(3), bytes));
        fillSample(*atlas, 3); // whatever was in memory goes
        QVERIFY(LoadMaps(*atlas, dir->path().toStdString()).ok());
        const auto crd = atlas->bytes(MapTable::MapCrd);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(crd.data()), 1000), bytes);
        QVERIFY(std::all_of(crd.begin() + 1000, crd.end(), [](std::uint8_t b) { return b == 0; }));
        QCOMPARE(atlas->cell(1, 0, 1, 1)->Object, char(0));
        QCOMPARE(readAll(file(3)), bytes); // not truncated
    }

    void overLongFileGivesItsFirstRecordAndIsLeftOnDisk()
    {
        QByteArray bytes(kSizes[0] + 100, '\x02');
        QVERIFY(writeAll(file(0), bytes));
        QVERIFY(LoadMaps(*atlas, dir->path().toStdString()).ok());
        QCOMPARE(atlas->cell(6, 16, 30, 30)->Object, char(2));
        QCOMPARE(QFileInfo(file(0)).size(), kSizes[0] + 100);
        QVERIFY(SaveMaps(*atlas, dir->path().toStdString()).ok());
        QCOMPARE(QFileInfo(file(0)).size(), kSizes[0]);
    }

    void readOnlyMapFileStillLoads()
    {
        fillSample(*atlas, 2);
        QVERIFY(SaveMaps(*atlas, dir->path().toStdString()).ok());
        QVERIFY(QFile::setPermissions(file(0), QFile::ReadOwner));
        Atlas* loaded = new Atlas;
        std::unique_ptr<Atlas> owner(loaded);
        QVERIFY(LoadMaps(*loaded, dir->path().toStdString()).ok());
        QCOMPARE(loaded->cell(1, 0, 1, 1)->Object, 'E');
    }

    void unreadableFileIsReportedAndKept()
    {
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("map2.map"))); // a folder where the file should be
        const MapFilesReport r = LoadMaps(*atlas, dir->path().toStdString());
        QCOMPARE(r.problems.size(), std::size_t(1));
        QCOMPARE(r.problems[0].file, std::string("map2.map"));
        QCOMPARE(r.problems[0].kind, FileError::NotRegular);
        QVERIFY(QFileInfo(file(1)).isDir());
        QVERIFY(QFile::exists(file(0)) && QFile::exists(file(2)) && QFile::exists(file(3)));
        // What the start-up says is what the save does: the folder stays and the map is not saved into it.
        QVERIFY(r.problems[0].reason.find("не сможет сохраниться") != std::string::npos);
        const MapFilesReport saved = SaveMaps(*atlas, dir->path().toStdString());
        QCOMPARE(saved.problems.size(), std::size_t(1));
        QCOMPARE(saved.problems[0].file, std::string("map2.map"));
        QCOMPARE(saved.problems[0].kind, FileError::NotRegular);
        QVERIFY(QFileInfo(file(1)).isDir());
    }

    // A pipe would block the start for ever when opened for reading; a device would never end.
    void pipesAndDevicesAreReportedUnread()
    {
        QVERIFY(::mkfifo(file(2).toLocal8Bit().constData(), 0644) == 0);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), file(3)));
        const MapFilesReport r = LoadMaps(*atlas, dir->path().toStdString());
        QCOMPARE(r.problems.size(), std::size_t(2));
        QCOMPARE(r.problems[0].file, std::string("map3.map"));
        QVERIFY(r.problems[0].reason.find("канал") != std::string::npos);
        QCOMPARE(r.problems[0].kind, FileError::NotRegular);
        QCOMPARE(r.problems[1].file, std::string("map.crd"));
        QVERIFY(r.problems[1].reason.find("устройство") != std::string::npos);
        QCOMPARE(r.problems[1].kind, FileError::NotRegular);
        const MapFilesReport saved = SaveMaps(*atlas, dir->path().toStdString());
        QCOMPARE(saved.problems.size(), std::size_t(2));
        QVERIFY(QFileInfo(file(2)).isFile() == false); // still the pipe
        QVERIFY(QFileInfo(file(3)).isSymLink());
    }

    // Maps kept elsewhere and linked into the folder stay linked: the save goes through the link.
    void aSymbolicLinkIsSavedThrough()
    {
        QTemporaryDir elsewhere;
        const QString real = elsewhere.filePath(QStringLiteral("shared-map1.map"));
        QVERIFY(writeAll(real, QByteArray(10, 'x')));
        QVERIFY(QFile::link(real, file(0)));
        QVERIFY(QFile::link(elsewhere.filePath(QStringLiteral("gone.map")), file(1))); // dangling
        QVERIFY(LoadMaps(*atlas, dir->path().toStdString()).problems.empty() == false);
        QVERIFY(!QFile::exists(elsewhere.filePath(QStringLiteral("gone.map")))); // loading creates nothing there
        fillSample(*atlas, 3);
        const MapFilesReport r = SaveMaps(*atlas, dir->path().toStdString());
        QCOMPARE(r.problems.size(), std::size_t(1));
        QCOMPARE(r.problems[0].file, std::string("map2.map"));
        QVERIFY(r.problems[0].reason.find("ссылка") != std::string::npos);
        QCOMPARE(r.problems[0].kind, FileError::Missing); // the link leads nowhere
        QVERIFY(!QFile::exists(elsewhere.filePath(QStringLiteral("gone.map"))));
        QVERIFY(QFileInfo(file(0)).isSymLink());
        QCOMPARE(QFileInfo(real).size(), qint64(550800));
        QCOMPARE(readAll(file(0)), readAll(real));
        QVERIFY(leftoverTemporaries(elsewhere.path()).isEmpty());
    }

    // A folder held by its handle: written inside it however its name is moved or replaced by a link meanwhile;
    // never through a link, in its place or in a file's; our temporary files gone on every path.
    void aHeldFolderIsWrittenInsideItOnly()
    {
        QTemporaryDir elsewhere;
        const QString parent = dir->path();
        QVERIFY(QDir(parent).mkpath(QStringLiteral("Me")));
        QVERIFY(QFile::link(elsewhere.path(), parent + QStringLiteral("/Link")));
        FileResult error;
        QVERIFY(!FolderHandle::open(parent.toStdString(), "Link", false, &error).isOpen());
        QCOMPARE(error.kind, FileError::Link);
        QVERIFY(!FolderHandle::open(parent.toStdString(), "New", false, &error).isOpen());
        QVERIFY(FolderHandle::open(parent.toStdString(), "New", true, &error).isOpen()); // made when asked
        const FolderHandle held = FolderHandle::open(parent.toStdString(), "Me", false, &error);
        QVERIFY(held.isOpen() && held.sameAs((parent + QStringLiteral("/Me")).toStdString()));
        // Moved away and a link put where it was: the write still lands in the folder held.
        QVERIFY(QDir(parent).rename(QStringLiteral("Me"), QStringLiteral("Moved")));
        QVERIFY(QFile::link(elsewhere.path(), parent + QStringLiteral("/Me")));
        QVERIFY(replaceFileIn(held, "a.txt", "new", 3, 0644).ok);
        QCOMPARE(readAll(parent + QStringLiteral("/Moved/a.txt")), QByteArray("new"));
        QVERIFY(QDir(elsewhere.path()).isEmpty());
        QVERIFY(QFile::link(elsewhere.filePath(QStringLiteral("b.txt")), parent + QStringLiteral("/Moved/b.txt")));
        QCOMPARE(replaceFileIn(held, "b.txt", "x", 1, 0644).kind, FileError::Link);
        QVERIFY(!QFile::exists(elsewhere.filePath(QStringLiteral("b.txt"))));
        QVERIFY(writeAll(parent + QStringLiteral("/Moved/.syncthing.a.txt.abcdef.tmp"), "left by a kill"));
        QVERIFY(writeAll(parent + QStringLiteral("/Moved/a.txt.tmp-abcdef"), "left by an older copy"));
        removeTemporariesIn(held);
        QCOMPARE(QDir(parent + QStringLiteral("/Moved")).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList({QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
    }

    // A hard link elsewhere (a backup folder, say) sees every save, as the same file.
    void aHardLinkedMapIsRewrittenInPlace()
    {
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("backup")));
        const QString other = dir->filePath(QStringLiteral("backup/map1.map"));
        QVERIFY(writeAll(file(0), QByteArray(550800, '\0')));
        QVERIFY(::link(file(0).toLocal8Bit().constData(), other.toLocal8Bit().constData()) == 0);
        fillSample(*atlas, 5);
        QVERIFY(SaveMaps(*atlas, dir->path().toStdString()).ok());
        struct stat a
        {
        }, b{};
        QVERIFY(::stat(file(0).toLocal8Bit().constData(), &a) == 0 && ::stat(other.toLocal8Bit().constData(), &b) == 0);
        QCOMPARE(a.st_ino, b.st_ino);
        QCOMPARE(a.st_nlink, nlink_t(2));
        const auto table = atlas->bytes(MapTable::Map1);
        QCOMPARE(readAll(other), QByteArray(reinterpret_cast<const char*>(table.data()), qsizetype(table.size())));
        QVERIFY(QDir(dir->path()).entryList({QStringLiteral("*.inplace-*")}, QDir::Files).isEmpty());
    }

    // A rewrite in place that was cut short (the complete content is kept beside it) is finished at the start.
    void aRewriteCutShortIsFinishedAtTheNextStart()
    {
        QByteArray complete(550800, '\0');
        complete[5] = 'E';
        QVERIFY(writeAll(file(0), complete.left(1000))); // half written
        QVERIFY(writeAll(dir->filePath(QStringLiteral("map1.map.inplace-Ab12Cd")), complete));
        QVERIFY(LoadMaps(*atlas, dir->path().toStdString()).ok());
        QCOMPARE(readAll(file(0)), complete);
        QCOMPARE(atlas->cell(1, 0, 1, 1)->Object, 'E');
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("map1.map.inplace-Ab12Cd"))));
    }

    // Saving as root must not hand a player's map over to root, nor change who may read it.
    void ownerAndModeStay()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to give the file to another user");
        QVERIFY(writeAll(file(0), "old"));
        QVERIFY(::chown(file(0).toLocal8Bit().constData(), 65534, 65534) == 0);
        QVERIFY(QFile::setPermissions(file(0), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        QVERIFY(SaveMaps(*atlas, dir->path().toStdString()).ok());
        struct stat st
        {
        };
        QVERIFY(::stat(file(0).toLocal8Bit().constData(), &st) == 0);
        QCOMPARE(st.st_uid, uid_t(65534));
        QCOMPARE(st.st_gid, gid_t(65534));
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
        QCOMPARE(QFileInfo(file(0)).size(), qint64(550800));
    }

    void saveIntoReadOnlyFolderKeepsOldFilesAndReportsEach()
    {
        fillSample(*atlas, 4);
        QVERIFY(SaveMaps(*atlas, dir->path().toStdString()).ok());
        QList<QByteArray> old;
        for (int i = 0; i < 4; ++i)
            old << readAll(file(i));
        atlas->cell(1, 0, 1, 1)->Object = 'L';
        QVERIFY(QFile::setPermissions(dir->path(),
                                      QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        MapFilesReport r;
        {
            ScopedUnprivileged asUser;
            r = SaveMaps(*atlas, dir->path().toStdString());
        }
        QCOMPARE(r.problems.size(), std::size_t(4));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(r.problems[i].file, std::string(kNames[i]));
            QVERIFY(!r.problems[i].reason.empty());
            QCOMPARE(readAll(file(i)), old[i]);
        }
        QVERIFY(r.message("Не сохранено:").find("map3.map") != std::string::npos);
        QCOMPARE(atlas->cell(1, 0, 1, 1)->Object, 'L'); // memory keeps the new state for a later save
    }

    void readOnlyMapFileIsNotReplaced()
    {
        fillSample(*atlas, 5);
        QVERIFY(SaveMaps(*atlas, dir->path().toStdString()).ok());
        const QByteArray old = readAll(file(2));
        QVERIFY(QFile::setPermissions(file(2), QFile::ReadOwner | QFile::ReadOther));
        atlas->cell(20, 16, 100, 100)->Object = 'n';
        const MapFilesReport r = SaveMaps(*atlas, dir->path().toStdString());
        QCOMPARE(r.problems.size(), std::size_t(1));
        QCOMPARE(r.problems[0].file, std::string("map3.map"));
        QCOMPARE(readAll(file(2)), old);
        QCOMPARE(readAll(file(0)).size(), kSizes[0]);
    }

    // A disk that fills up during the save: files that fit are replaced, the others keep their old
    // complete content, and no temporary file is left behind.
    void fullDiskLeavesOldCompleteFiles()
    {
        fillSample(*atlas, 6);
        QVERIFY(SaveMaps(*atlas, dir->path().toStdString()).ok());
        const QByteArray oldMap3 = readAll(file(2));
        const QByteArray oldMap2 = readAll(file(1));
        atlas->cell(20, 16, 100, 100)->Object = 'E';
        atlas->cell(9, 4, 20, 21)->Object = '6';

        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = 1000000; // map1.map fits, the larger ones do not
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const MapFilesReport r = SaveMaps(*atlas, dir->path().toStdString());
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);

        QCOMPARE(r.problems.size(), std::size_t(3));
        QCOMPARE(r.problems[0].file, std::string("map2.map"));
        QCOMPARE(r.problems[1].file, std::string("map3.map"));
        QCOMPARE(r.problems[2].file, std::string("map.crd"));
        QCOMPARE(readAll(file(2)), oldMap3);
        QCOMPARE(readAll(file(1)), oldMap2);
        QCOMPARE(QFileInfo(file(0)).size(), kSizes[0]);
        QVERIFY(leftoverTemporaries(dir->path()).isEmpty());
        // Memory still holds the change; with room again the save goes through.
        QVERIFY(SaveMaps(*atlas, dir->path().toStdString()).ok());
        Atlas* loaded = new Atlas;
        std::unique_ptr<Atlas> owner(loaded);
        QVERIFY(LoadMaps(*loaded, dir->path().toStdString()).ok());
        QCOMPARE(loaded->cell(20, 16, 100, 100)->Object, 'E');
    }

    // A real small file system that runs full: where root may mount one, the files that no longer fit keep
    // their old content and the reason is the full disk.
    void fullFileSystemKeepsOldFiles()
    {
        if (::geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        const QString mnt = dir->filePath(QStringLiteral("small"));
        QVERIFY(QDir().mkpath(mnt));
        if (QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=12m"), QStringLiteral("tmpfs"), mnt}) != 0)
            QSKIP("this machine does not allow mounting a file system");
        auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {mnt}); });
        fillSample(*atlas, 8);
        QVERIFY(SaveMaps(*atlas, mnt.toStdString()).ok());
        QList<QByteArray> old;
        for (const char* name : kNames)
            old << readAll(mnt + QLatin1Char('/') + QLatin1String(name));
        // Leave about one megabyte free.
        {
            QFile filler(mnt + QStringLiteral("/filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray block(64 * 1024, 'f');
            while (filler.write(block) == block.size()) {
                struct statvfs fs
                {
                };
                if (::statvfs(mnt.toLocal8Bit().constData(), &fs) == 0 && fs.f_bavail * fs.f_bsize < 1024 * 1024)
                    break;
            }
        }
        atlas->cell(1, 0, 1, 1)->Object = 'F';
        atlas->cell(20, 16, 100, 100)->Object = 'F';
        const MapFilesReport r = SaveMaps(*atlas, mnt.toStdString());
        QVERIFY(!r.ok());
        for (const FileProblem& p : r.problems) {
            QCOMPARE(p.reason, std::string("на диске нет места"));
            QCOMPARE(p.kind, FileError::NoSpace);
        }
        for (int i = 0; i < 4; ++i) {
            const QByteArray now = readAll(mnt + QLatin1Char('/') + QLatin1String(kNames[i]));
            QCOMPARE(now.size(), qsizetype(kSizes[i]));
            const bool failed = std::any_of(r.problems.begin(), r.problems.end(),
                                            [&](const FileProblem& p) { return p.file == kNames[i]; });
            if (failed)
                QCOMPARE(now, old[i]); // the file that did not fit is the old one, whole
        }
        QVERIFY(std::any_of(r.problems.begin(), r.problems.end(),
                            [](const FileProblem& p) { return p.file == "map3.map"; }));
        QVERIFY(leftoverTemporaries(mnt).isEmpty());
    }

    void missingFolderIsReportedAtLoad()
    {
        const MapFilesReport r = LoadMaps(*atlas, dir->filePath(QStringLiteral("gone")).toStdString());
        QCOMPARE(r.problems.size(), std::size_t(4));
        QVERIFY(r.message("x").find("map.crd") != std::string::npos);
    }

    // What the system says goes to the player in Russian: a link that leads to itself, a missing folder.
    void systemErrorsAreToldInRussian()
    {
        QVERIFY(QFile::link(QStringLiteral("map1.map"), dir->filePath(QStringLiteral("map1.map"))));
        const std::string looped = SaveMaps(*atlas, dir->path().toStdString()).message("");
        QVERIFY2(looped.find("по кругу") != std::string::npos, looped.c_str());
        const std::string gone = SaveMaps(*atlas, dir->filePath(QStringLiteral("gone")).toStdString()).message("");
        QVERIFY2(gone.find("не найден") != std::string::npos, gone.c_str());
    }
};

QTEST_APPLESS_MAIN(TestMapFiles)
#include "tst_mapfiles.moc"
