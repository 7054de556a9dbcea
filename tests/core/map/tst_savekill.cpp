// A saving program killed at random moments: every map file is afterwards the old complete file or the new
// complete file, never empty, short or mixed.
#include "map/mapfiles.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <memory>
#include <random>
#include <unistd.h>

using namespace veldor;
using namespace veldor::test;

namespace {

// Old complete maps: every byte of every file is 1.
bool saveOldMaps(const QString& folder)
{
    auto atlas = std::make_unique<Atlas>();
    for (auto t : {MapTable::Map1, MapTable::Map2, MapTable::Map3, MapTable::MapCrd})
        for (auto& b : atlas->bytes(t))
            b = 1;
    return SaveMaps(*atlas, folder.toStdString()).ok();
}

// Starts a saver writing `pattern` over and over and kills it at a random moment once it is saving.
bool killSaverWhileSaving(const QString& child, const QString& folder, int pattern, std::mt19937& rng)
{
    QProcess saver;
    saver.start(child, {folder, QString::number(pattern)});
    if (!saver.waitForReadyRead(10000))
        return false;
    QTest::qSleep(static_cast<int>(rng() % 40));
    saver.kill();
    return saver.waitForFinished(10000);
}

} // namespace

class TestSaveKill : public QObject
{
    Q_OBJECT

private slots:
    void killedSavesLeaveOldOrNewFiles()
    {
        QTemporaryDir dir;
        const QString child = QCoreApplication::applicationDirPath() + QStringLiteral("/savechild");
        QVERIFY(QFile::exists(child));
        // Old complete files: every byte 1.
        QVERIFY(saveOldMaps(dir.path()));
        std::map<std::string, int> current;
        for (const auto& f : MapFiles())
            current[f.name] = 1;

        std::mt19937 rng(20261207);
        int kills = 0;
        int changed = 0;
        for (int round = 0; round < 60; ++round) {
            const int pattern = 2 + round % 250;
            QVERIFY(killSaverWhileSaving(child, dir.path(), pattern, rng));
            ++kills;
            for (const auto& f : MapFiles()) {
                const QByteArray bytes = readAll(dir.filePath(QString::fromLatin1(f.name)));
                QCOMPARE(bytes.size(), qsizetype(f.size)); // never empty or short
                const char first = bytes.at(0);
                QVERIFY2(bytes.count(first) == bytes.size(), f.name); // never mixed
                QVERIFY(first == current[f.name] || first == pattern);
                if (first != current[f.name])
                    ++changed;
                current[f.name] = first;
            }
        }
        QVERIFY(kills >= 50);
        QVERIFY(changed > 0); // some saves got through between the kills
        // Temporary files a killed save left behind are swept away at the next start.
        auto atlas = std::make_unique<Atlas>();
        QVERIFY(LoadMaps(*atlas, dir.path().toStdString()).ok());
        QVERIFY(QDir(dir.path()).entryList({QStringLiteral("*.tmp-*")}, QDir::Files).isEmpty());
        qInfo("killed %d saves, %d files were replaced whole, none damaged", kills, changed);
    }

    // The same with every map file hard-linked into a second folder: after the start-up that follows a kill,
    // each file (and its other name) is the old or the new complete map.
    void killedSavesOfHardLinkedFilesAreFinishedAtTheNextStart()
    {
        QTemporaryDir dir;
        const QString child = QCoreApplication::applicationDirPath() + QStringLiteral("/savechild");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("backup")));
        QVERIFY(saveOldMaps(dir.path()));
        for (const auto& f : MapFiles()) {
            const QByteArray from = dir.filePath(QString::fromLatin1(f.name)).toLocal8Bit();
            const QByteArray to = dir.filePath(QStringLiteral("backup/") + QString::fromLatin1(f.name)).toLocal8Bit();
            QVERIFY(::link(from.constData(), to.constData()) == 0);
        }
        std::map<std::string, int> current;
        for (const auto& f : MapFiles())
            current[f.name] = 1;
        std::mt19937 rng(20261208);
        int kills = 0;
        int finished = 0;
        for (int round = 0; round < 30; ++round) {
            const int pattern = 2 + round % 250;
            QVERIFY(killSaverWhileSaving(child, dir.path(), pattern, rng));
            ++kills;
            finished += QDir(dir.path()).entryList({QStringLiteral("*.inplace-*")}, QDir::Files).size();
            auto atlas = std::make_unique<Atlas>();
            QVERIFY(LoadMaps(*atlas, dir.path().toStdString()).ok()); // the next start
            for (const auto& f : MapFiles()) {
                const QByteArray bytes = readAll(dir.filePath(QString::fromLatin1(f.name)));
                QCOMPARE(bytes.size(), qsizetype(f.size));
                const char first = bytes.at(0);
                QVERIFY2(bytes.count(first) == bytes.size(), f.name);
                QVERIFY(first == current[f.name] || first == pattern);
                current[f.name] = first;
                QCOMPARE(readAll(dir.filePath(QStringLiteral("backup/") + QString::fromLatin1(f.name))), bytes);
            }
        }
        QVERIFY(QDir(dir.path())
                    .entryList({QStringLiteral("*.inplace-*"), QStringLiteral("*.tmp-*")}, QDir::Files)
                    .isEmpty());
        qInfo("killed %d saves of hard-linked files, %d rewrites were finished at the next start", kills, finished);
    }
};

QTEST_GUILESS_MAIN(TestSaveKill)
#include "tst_savekill.moc"
