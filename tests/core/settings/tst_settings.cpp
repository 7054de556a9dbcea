#include "settings/settings.h"
#include "testsupport.h"
#include "text/cp1251.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace veldor;
using namespace veldor::test;

class TestSettings : public QObject
{
    Q_OBJECT

    static SettingsRead parse(const char* text) { return ParseSettings(text); }

private slots:
    void writesNineCrLfLines()
    {
        Settings s;
        s.StoredLogin = cp1251::fromUtf8(u8"Странник");
        s.StoredPassword = "p@ss word";
        s.CurLab = 14;
        s.CellSize = 21;
        s.AutoLogin = true;
        s.PassDoors = false;
        s.PlaySounds = true;
        s.HidePanels = true;
        QCOMPARE(SerializeSettings(s),
                 cp1251::fromUtf8(u8"Странник") + "\r\np@ss word\r\n14\r\n21\r\n1\r\n0\r\n1\r\n1\r\n0\r\n");
        s.ShowFrontier = true;
        QVERIFY(SerializeSettings(s).ends_with("\r\n1\r\n1\r\n1\r\n"));
    }

    // The explore assistant's line comes after everything older copies read, and nothing in it can cost the
    // other settings or the password.
    void theNinthLineIsTheAssistantsAndNeverFailsTheRest()
    {
        const SettingsRead on = parse("a\r\nb\r\n3\r\n15\r\n0\r\n0\r\n0\r\n0\r\n1\r\n");
        QCOMPARE(on.showFrontier, std::optional<bool>(true));
        QVERIFY(!on.failed);
        const SettingsRead older = parse("a\r\nb\r\n3\r\n15\r\n0\r\n0\r\n0\r\n1\r\n");
        QCOMPARE(older.showFrontier, std::optional<bool>(false));
        QCOMPARE(older.hidePanels, std::optional<bool>(true));
        const SettingsRead bad = parse("a\r\nb\r\n3\r\n15\r\n0\r\n0\r\n0\r\n1\r\nда\r\n");
        QVERIFY(!bad.failed);
        QVERIFY(!bad.showFrontier);
        Settings s;
        ApplySettingsRead(bad, s);
        QCOMPARE(s.StoredPassword, std::string("b"));
        QCOMPARE(s.HidePanels, true);
        QCOMPARE(s.ShowFrontier, false);
    }

    void roundTripThroughTheFile()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("user.dat")).toStdString();
        Settings s;
        s.StoredLogin = cp1251::fromUtf8(u8"Ёжик в тумане");
        s.StoredPassword = "secret";
        s.CurLab = 7;
        s.CellSize = 10;
        s.PassDoors = true;
        QVERIFY(SaveSettingsFile(path, s).ok);
        QCOMPARE(fileMode(QString::fromStdString(path)), mode_t(0600));
        const SettingsLoadResult loaded = LoadSettingsFile(path);
        QVERIFY(!loaded.read.failed);
        Settings back;
        ApplySettingsRead(loaded.read, back);
        QCOMPARE(back.StoredLogin, s.StoredLogin);
        QCOMPARE(back.StoredPassword, s.StoredPassword);
        QCOMPARE(back.CurLab, 7);
        QCOMPARE(back.CellSize, 10);
        QCOMPARE(back.AutoLogin, false);
        QCOMPARE(back.PassDoors, true);
        QCOMPARE(back.PlaySounds, false);
        QCOMPARE(back.HidePanels, false);
    }

    void aPasswordFileIsTightenedToTheOwner()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("user.dat"));
        QVERIFY(writeAll(path, "old\r\n"));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        QVERIFY(SaveSettingsFile(path.toStdString(), Settings{}).ok);
        QCOMPARE(fileMode(path), mode_t(0600));
    }

    void missingFileIsCreatedEmptyAndForgetsThePassword()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("user.dat"));
        const SettingsLoadResult r = LoadSettingsFile(path.toStdString());
        QVERIFY(r.read.failed);
        QVERIFY(r.fileReset.ok);
        QVERIFY(QFile::exists(path));
        QCOMPARE(QFileInfo(path).size(), qint64(0));
        QCOMPARE(fileMode(path), mode_t(0600));
        Settings s;
        s.StoredLogin = "kept";
        s.StoredPassword = "dropped";
        ApplySettingsRead(r.read, s);
        QCOMPARE(s.StoredLogin, std::string("kept"));
        QVERIFY(s.StoredPassword.empty());
        QCOMPARE(s.CellSize, 15);
    }

    // Whatever stands in user.dat's place, the read ends at once, takes nothing and changes nothing.
    void oddFilesAreReportedAndLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("pipe") << "pipe";
        QTest::newRow("device link") << "device";
        QTest::newRow("over 64 KB") << "large";
    }
    void oddFilesAreReportedAndLeftAlone()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("user.dat"));
        const QByteArray large = "hero\r\n" + QByteArray(70000, 'p') + "\r\n1\r\n15\r\n1\r\n0\r\n0\r\n0\r\n";
        QVERIFY(kind == QLatin1String("large") ? writeAll(path, large) : makeOddFile(path, kind));
        const SettingsLoadResult r = LoadSettingsFile(path.toStdString());
        QVERIFY(r.read.failed);
        QVERIFY(!r.unreadable.empty());
        QCOMPARE(r.unreadableKind, kind == QLatin1String("large") ? FileError::TooLarge : FileError::NotRegular);
        QVERIFY(!r.read.login && !r.read.password && !r.read.curLab);
        QVERIFY(r.fileReset.ok); // nothing was tried
        if (kind == QLatin1String("large"))
            QCOMPARE(readAll(path), large);
        if (kind == QLatin1String("device"))
            QVERIFY(QFileInfo(path).isSymLink());
        if (kind == QLatin1String("folder"))
            QVERIFY(QFileInfo(path).isDir());
    }

    // A save killed half-way leaves a temporary file with the password in it: the next start removes it.
    void staleTemporariesAreSweptUnlessAnotherCopyOwnsTheFolder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("user.dat"));
        QVERIFY(writeAll(path, "hero\r\npw\r\n1\r\n15\r\n0\r\n0\r\n0\r\n0\r\n"));
        const QString stale = dir.filePath(QStringLiteral("user.dat.tmp-Ab3xYz"));
        const QString other = dir.filePath(QStringLiteral("user.dat.tmp-long-name"));
        QVERIFY(writeAll(stale, "hero\r\nsecret\r\n"));
        QVERIFY(writeAll(other, "not ours"));
        LoadSettingsFile(path.toStdString(), false);
        QVERIFY(QFile::exists(stale));
        QVERIFY(!LoadSettingsFile(path.toStdString()).read.failed);
        QVERIFY(!QFile::exists(stale));
        QVERIFY(QFile::exists(other));
    }

    // A word that does not read costs its own line only: the password and every other line stay, and the file is
    // left as it is.
    void aBadWordCostsItsOwnLineOnly_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<int>>("bad");
        QTest::addColumn<QList<int>>("values"); // lab, cell size, the four switches
        QTest::newRow("labyrinth line") << QByteArray("hero\r\npw\r\nabc\r\n20\r\n1\r\n1\r\n1\r\n1\r\n")
                                        << QList<int>{3} << QList<int>{0, 20, 1, 1, 1, 1};
        QTest::newRow("«да» on line 5") << QByteArray("hero\r\npw\r\n5\r\n12\r\n\xe4\xe0\r\n1\r\n1\r\n0\r\n")
                                        << QList<int>{5} << QList<int>{5, 12, 0, 1, 1, 0};
        QTest::newRow("two bad lines") << QByteArray("hero\r\npw\r\n5\r\n1.5\r\n1\r\nx\r\n1\r\n1\r\n")
                                       << QList<int>{4, 6} << QList<int>{5, 15, 1, 0, 1, 1};
    }
    void aBadWordCostsItsOwnLineOnly()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<int>, bad);
        QFETCH(QList<int>, values);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("user.dat"));
        QVERIFY(writeAll(path, text));
        const SettingsLoadResult r = LoadSettingsFile(path.toStdString());
        QCOMPARE(QList<int>(r.read.badLines.begin(), r.read.badLines.end()), bad);
        Settings s;
        ApplySettingsRead(r.read, s);
        QCOMPARE(s.StoredLogin, std::string("hero"));
        QCOMPARE(s.StoredPassword, std::string("pw"));
        QCOMPARE((QList<int>{s.CurLab, s.CellSize, s.AutoLogin, s.PassDoors, s.PlaySounds, s.HidePanels}), values);
        QCOMPARE(readAll(path), text); // never emptied
    }

    void onlyOneSwitchesAFlagOn_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("on");
        QTest::newRow("1") << QByteArray("1") << true;
        QTest::newRow("2") << QByteArray("2") << false;
        QTest::newRow("0") << QByteArray("0") << false;
        QTest::newRow("-1") << QByteArray("-1") << false;
        QTest::newRow("+1") << QByteArray("+1") << true;
        QTest::newRow("01") << QByteArray("01") << true;
        QTest::newRow("1 with trailing text") << QByteArray("1 yes") << true;
        QTest::newRow("hex 1") << QByteArray("$1") << true;
    }
    void onlyOneSwitchesAFlagOn()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, on);
        const QByteArray text =
            "a\r\nb\r\n1\r\n15\r\n" + value + "\r\n" + value + "\r\n" + value + "\r\n" + value + "\r\n";
        const SettingsRead r = ParseSettings(text.toStdString());
        QVERIFY(!r.failed);
        QCOMPARE(*r.autoLogin, on);
        QCOMPARE(*r.passDoors, on);
        QCOMPARE(*r.playSounds, on);
        QCOMPARE(*r.hidePanels, on);
    }

    void shortFilesReadZerosAndEmptyTexts()
    {
        const SettingsRead r = parse("onlylogin");
        QVERIFY(!r.failed);
        QCOMPARE(*r.login, std::string("onlylogin"));
        QCOMPARE(*r.password, std::string());
        QCOMPARE(*r.curLab, 0);
        QCOMPARE(*r.cellSize, 0);
        QCOMPARE(*r.autoLogin, false);
        QCOMPARE(*r.hidePanels, false);
        const SettingsRead empty = parse("");
        QVERIFY(!empty.failed);
        QCOMPARE(*empty.login, std::string());
    }

    // Integers skip blanks and line ends first, so an empty labyrinth line takes the next line's number.
    void integersSkipBlankLines()
    {
        const SettingsRead r = parse("a\r\nb\r\n\r\n  12\t\r\n1\r\n0\r\n0\r\n0\r\n0\r\n");
        QVERIFY(!r.failed);
        QCOMPARE(*r.curLab, 12);
        QCOMPARE(*r.cellSize, 1);
        QCOMPARE(*r.autoLogin, false);
    }

    void numberFormsAndRange()
    {
        QCOMPARE(*parse("a\nb\n-3\n40\n").curLab, -3); // bare LF lines read too
        QCOMPARE(*parse("a\nb\n-3\n40\n").cellSize, 40);
        QCOMPARE(*parse("a\r\nb\r\n0x14\r\n").curLab, 20);
        QCOMPARE(*parse("a\r\nb\r\n$FFFFFFFF\r\n").curLab, -1);
        QCOMPARE(*parse("a\r\nb\r\n2147483647\r\n").curLab, 2147483647);
        for (const char* bad : {"2147483648", "99999999999999999999", "12abc", "-", "1.5"})
            QCOMPARE(parse((std::string("a\r\nb\r\n") + bad + "\r\n").c_str()).badLines, std::vector<int>{3});
        // A token longer than 32 characters is cut there; the rest of the line is skipped.
        QCOMPARE(*parse(("a\r\nb\r\n" + std::string(32, '0') + "7\r\n9\r\n").c_str()).curLab, 0);
    }

    void lineBreaksInTextsCannotShiftTheLines()
    {
        Settings s;
        s.StoredLogin = "evil\r\n1";
        s.StoredPassword = "x\ny";
        const SettingsRead r = ParseSettings(SerializeSettings(s));
        QVERIFY(!r.failed);
        QCOMPARE(*r.login, std::string("evil  1"));
        QCOMPARE(*r.password, std::string("x y"));
        QCOMPARE(*r.curLab, 0);
        QCOMPARE(*r.cellSize, 15);
    }

    void unwritableFolderIsReported()
    {
        QTemporaryDir dir;
        QVERIFY(
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        FileResult r;
        {
            ScopedUnprivileged asUser;
            r = SaveSettingsFile(dir.filePath(QStringLiteral("user.dat")).toStdString(), Settings{});
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!r.ok);
        QVERIFY(!r.error.empty());
    }
};

QTEST_APPLESS_MAIN(TestSettings)
#include "tst_settings.moc"
