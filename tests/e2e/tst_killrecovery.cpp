// The recovery journal under fire: the program walks the practice labyrinth with the arrow keys and is killed
// (SIGKILL) at random moments, again and again. After each restart and "Да" everything it had recorded more
// than a second before the kill is back, and the map files are never damaged (nothing ever saved them).
#include "map/mapfiles.h"
#include "practicefixture.h"
#include "testsupport.h"
#include "userdat.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <map>
#include <set>
#include <string>

using namespace veldor;
using namespace veldor::test;
using practice::test::RunningServer;

namespace {

// At least 12 kills over at least 120 steps; more with VELDOR_KILLS and VELDOR_KILL_STEPS.
int setting(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}
constexpr qint64 kMargin = 1000; // what was recorded this long before the kill must survive

} // namespace

class TestKillRecovery : public QObject
{
    Q_OBJECT

private slots:
    void everythingRecordedASecondBeforeAKillComesBack()
    {
        practice::GameRules rules;
        rules.fatiguePerMove = 0; // a long walk
        RunningServer server(rules, 5, 2);
        QTemporaryDir folder;
        QTemporaryDir profile;
        QVERIFY(writeAll(folder.filePath(QStringLiteral("user.dat")),
                         userDat({.login = "walker", .autoLogin = true, .passDoors = true})));
        const QString expect = folder.filePath(QStringLiteral("expect.txt"));
        const QString walker = QCoreApplication::applicationDirPath() + QStringLiteral("/killwalker");

        std::map<QByteArray, qint64> recorded; // line to check -> when it was recorded
        std::set<QByteArray> expected;
        std::map<std::string, QByteArray> mapFiles; // as the first start left them
        const int kKills = setting("VELDOR_KILLS", 12);
        const int kSteps = setting("VELDOR_KILL_STEPS", 120);
        // A walker told what must have survived so far.
        const auto startWalker = [&](QProcess& child) {
            QFile out(expect);
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return false;
            for (const QByteArray& line : expected)
                out.write(line + '\n');
            out.close();
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(walker, {folder.path(), profile.path(), QString::fromStdString(server.base()), expect});
            return child.waitForStarted();
        };
        int kills = 0;
        int steps = 0;
        auto* rng = QRandomGenerator::global();
        for (int run = 0; kills < kKills || steps < kSteps; ++run) {
            QVERIFY2(run < std::max(3 * kKills, kSteps), "too few steps per run");
            QProcess child;
            QVERIFY(startWalker(child));
            QByteArray pending;
            bool verified = false;
            qint64 killAt = 0;
            qint64 walkingSince = 0;
            while (child.state() == QProcess::Running) {
                child.waitForReadyRead(50);
                pending += child.readAllStandardOutput();
                for (qsizetype nl; (nl = pending.indexOf('\n')) >= 0; pending.remove(0, nl + 1)) {
                    const QList<QByteArray> f = pending.left(nl).split(' ');
                    if (f[0] == "verified") {
                        QCOMPARE(f.value(3), QByteArray("0")); // nothing missing
                        QCOMPARE(f.value(1).toInt(), static_cast<int>(expected.size()));
                        verified = true;
                    } else if (f[0] == "walking") {
                        walkingSince = QDateTime::currentMSecsSinceEpoch();
                        killAt = walkingSince + 1000 + rng->bounded(3000);
                    } else if (f[0] == "step") {
                        ++steps;
                    } else if ((f[0] == "cell" || f[0] == "entry") && f.size() >= 5) {
                        QByteArray key = f[0];
                        for (qsizetype i = 2; i < f.size(); ++i)
                            key += ' ' + f[i];
                        recorded.try_emplace(key, f[1].toLongLong());
                    }
                }
                if (killAt && QDateTime::currentMSecsSinceEpoch() >= killAt)
                    break;
                QVERIFY2(QDateTime::currentMSecsSinceEpoch() < killAt || killAt == 0 ||
                             child.state() == QProcess::Running,
                         "the walker ended by itself");
            }
            QVERIFY2(killAt != 0, "the walker never began to walk");
            QVERIFY(verified);
            const qint64 killed = QDateTime::currentMSecsSinceEpoch();
            child.kill(); // SIGKILL
            QVERIFY(child.waitForFinished());
            ++kills;
            qInfo("kill %d after %lld ms of walking: %d steps so far, %d cells and entries expected", kills,
                  killed - walkingSince, steps, int(expected.size()) + 0);
            for (const auto& [line, when] : recorded) {
                if (when < killed - kMargin)
                    expected.insert(line);
            }
            // The map files were never saved: they are still the files the first start created.
            for (const MapFileInfo& file : MapFiles()) {
                const QByteArray bytes = readAll(folder.filePath(QString::fromLatin1(file.name)));
                const auto [first, isNew] = mapFiles.try_emplace(file.name, bytes);
                QVERIFY(bytes.isEmpty() || static_cast<std::size_t>(bytes.size()) == file.size);
                QCOMPARE(bytes, first->second);
            }
        }
        // One more start checks what the last kill left.
        QProcess last;
        QVERIFY(startWalker(last));
        QByteArray seen;
        QTRY_VERIFY_WITH_TIMEOUT((seen += last.readAllStandardOutput()).contains("verified"), 60000);
        last.kill();
        last.waitForFinished();
        QVERIFY2(
            seen.contains(QByteArray("verified ") + QByteArray::number(qulonglong(expected.size())) + " missing 0"),
            seen.constData());
        qInfo("%d kills, %d steps, %d cells and entries checked", kills, steps, int(expected.size()));
        QVERIFY(!expected.empty());
    }
};

QTEST_GUILESS_MAIN(TestKillRecovery)
#include "tst_killrecovery.moc"
