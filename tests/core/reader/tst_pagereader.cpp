#include "reader/pagereader.h"
#include "text/cp1251.h"

#include <QTest>
#include <memory>

using namespace veldor;

namespace {

// Records what the reader does to the window.
class FakeHost : public ReaderHost
{
public:
    unsigned lab = 1;
    int level = 0;
    bool sounds = true;
    std::vector<std::string> played;
    std::vector<int> levelsShown;
    int statistics = 0;
    int listChanges = 0;
    std::vector<std::pair<int, int>> follows;
    std::string coordinates;
    std::string caption = "unset";

    unsigned playerLab() const override { return lab; }
    int shownLevel() const override { return level; }
    bool soundsEnabled() const override { return sounds; }
    void showLevel(int l) override
    {
        level = l;
        levelsShown.push_back(l);
    }
    void updateLevelStatistics() override { ++statistics; }
    void playSound(std::string_view file) override { played.emplace_back(file); }
    void setCoordinatesText(const std::string& text) override { coordinates = text; }
    void objectListsChanged() override { ++listChanges; }
    void followPlayer(int x, int y) override { follows.emplace_back(x, y); }
    void setCaptionPrefix(const std::string& prefix) override { caption = cp1251::bytesOf(cp1251::toUtf8(prefix)); }
};

std::string enc(const std::string& utf8)
{
    return cp1251::fromUtf8(cp1251::asUtf8(utf8));
}

// A game page as the reader gets it: two head lines, the given body lines, a closing line.
PageLines page(std::initializer_list<std::string> body, int level = 0, int x = 5, int y = 6, int fatigue = 80)
{
    PageLines lines = {"<HEAD><TITLE>game</TITLE></HEAD>", "<BODY>"};
    lines.push_back(enc("<DIV id=hru name=\"hru\">измотанность: " + std::to_string(fatigue) + "%</DIV>"));
    lines.push_back("<DIV id=title name=\"title\"><B>L-" + std::to_string(level) + "(" + std::to_string(x) + "," +
                    std::to_string(y) + ")</B> cave</DIV>");
    for (const auto& b : body)
        lines.push_back(enc(b));
    lines.push_back("</BODY>");
    return lines;
}

const std::string kNorth = "<DIV id=d1 name=\"d1\">";
const std::string kSouth = "<DIV id=d7 name=\"d7\">";
const std::string kWest = "<DIV id=d3 name=\"d3\">";
const std::string kEast = "<DIV id=d5 name=\"d5\">";

std::string memo(const Atlas& atlas, unsigned lab, ListKind kind)
{
    return MemoText(atlas, lab, kind);
}

} // namespace

class TestPageReader : public QObject
{
    Q_OBJECT
    std::unique_ptr<Atlas> atlas;
    ReaderState state;
    FakeHost host;

    TickOutcome tick(const PageLines& lines) { return RecognizePage(lines, *atlas, state, host); }
    const TMapCell& cell(int level, int x, int y) { return *atlas->cell(host.lab, level, x, y); }

private slots:
    void init()
    {
        atlas = std::make_unique<Atlas>();
        state = ReaderState{};
        host = FakeHost{};
    }

    void pageLinesSplitAtEveryBreak()
    {
        QCOMPARE(SplitPageLines("a\r\nb\rc\nd"), (PageLines{"a", "b", "c", "d"}));
        QCOMPARE(SplitPageLines("a\n\nb\r\n"), (PageLines{"a", "", "b"}));
        QCOMPARE(SplitPageLines(std::string_view("a\nb\0c\nd", 7)), (PageLines{"a", "b"}));
        QCOMPARE(SplitPageLines(""), PageLines{});
    }

    void markerSearchSkipsTheFirstTwoLinesAndTheLast()
    {
        const PageLines lines = {"x", "x", "a", "b", "x"};
        QVERIFY(!FindPageMarker(lines, "x")->found); // only on lines 0, 1 and the last
        QCOMPARE(FindPageMarker(lines, "b")->index, 3);
        QVERIFY(FindPageMarker(lines, "a")->found);
        QVERIFY(!FindPageMarker(PageLines{"a", "b", "c"}, "c")->found); // three lines: never found
        QVERIFY(!FindPageMarker(PageLines{"a", "b"}, "a"));             // fewer: an error
        QVERIFY(!FindPageMarker(PageLines{}, "a"));
    }

    void titleAndFatigue_data()
    {
        QTest::addColumn<QByteArray>("fatigueLine");
        QTest::addColumn<QByteArray>("titleLine");
        QTest::addColumn<int>("fatigue");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("cellRead");
        const QByteArray f = "<DIV id=hru name=\"hru\">измотанность:";
        const QByteArray t = "<DIV id=title name=\"title\"><B>L";
        QTest::newRow("plain") << f + " 12%" << t + "-3(12,5)</B>" << 12 << 3 << 12 << 5 << true;
        QTest::newRow("digits after % ignored") << f + " 12% 99" << t + "-0(1,1)" << 12 << 0 << 1 << 1 << true;
        QTest::newRow("no % reads to the end") << f + " 4 and 2" << t + "-0(1,1)" << 42 << 0 << 1 << 1 << true;
        QTest::newRow("x unreadable") << f + " 5%" << t + "-2(ab,5)" << 5 << 2 << 0 << 5 << false;
        QTest::newRow("no closing bracket") << f + " 5%" << t + "-2(7,5" << 5 << 2 << 7 << 0 << false;
        QTest::newRow("no comma") << f + " 5%" << t + "-2(7)" << 5 << 2 << 0 << 0 << false;
        QTest::newRow("outside the map") << f + " 5%" << t + "-1(31,5)" << 5 << 1 << 31 << 5 << false;
        QTest::newRow("negative") << f + " 5%" << t + "-1(-2,5)" << 5 << 1 << -2 << 5 << false;
    }
    void titleAndFatigue()
    {
        QFETCH(QByteArray, fatigueLine);
        QFETCH(QByteArray, titleLine);
        QFETCH(int, fatigue);
        QFETCH(int, level);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(bool, cellRead);
        const PageLines lines = {"h", "b", enc(fatigueLine.toStdString()), titleLine.toStdString(), "end"};
        QCOMPARE(tick(lines), TickOutcome::Recognised);
        QCOMPARE(state.Fatigue, fatigue);
        QCOMPARE(state.PageLevel, level);
        QCOMPARE(state.PosX, x);
        QCOMPARE(state.PosY, y);
        QCOMPARE(host.level, level); // a move switches the shown level
        QCOMPARE(!host.coordinates.empty(), cellRead);
        if (cellRead) {
            QCOMPARE(cell(level, x, y).Explored, std::uint8_t(1));
            QCOMPARE(host.caption, "L - " + std::to_string(level) + " (" + std::to_string(x) + "," + std::to_string(y) +
                                       ") измотанность: " + std::to_string(fatigue) + "%");
        } else {
            QCOMPARE(host.caption, std::string()); // no position shown yet: the plain title
            QVERIFY(host.follows.empty());
        }
    }

    void badPagesEndTheTickWithoutHarm_data()
    {
        QTest::addColumn<QByteArray>("text");
        const QByteArray f = "<DIV id=hru name=\"hru\">измотанность:";
        const QByteArray t = "<DIV id=title name=\"title\"><B>L";
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one line") << QByteArray(100000, 'x');
        QTest::newRow("two lines") << QByteArray("a\n") + t + "-1(2,3)";
        QTest::newRow("fatigue without digits") << "a\nb\n" + f + " lots%\n" + t + "-1(2,3)\nend";
        QTest::newRow("fatigue digits without end") << "a\nb\n" + f + QByteArray(5000, '9') + "\nend";
        QTest::newRow("level without digits") << "a\nb\n" + t + "-(2,3)\nend";
        QTest::newRow("level digits without end") << "a\nb\n" + t + "-" + QByteArray(3000, '7') + "(2,3)\nend";
        QTest::newRow("level 17") << "a\nb\n" + t + "-17(2,3)\nend";
        QTest::newRow("level huge") << "a\nb\n" + t + "-99999999999(2,3)\nend";
    }
    void badPagesEndTheTickWithoutHarm()
    {
        QFETCH(QByteArray, text);
        const auto before = std::make_unique<Atlas>(*atlas); // ten megabytes: not on the stack
        const auto outcome = tick(SplitPageLines(cp1251::fromUtf8(cp1251::asUtf8(text.toStdString()))));
        QCOMPARE(outcome, TickOutcome::Stopped);
        QCOMPARE(host.caption, std::string("unset"));
        QCOMPARE(state.PosX, 0);
        QCOMPARE(host.level, 0);
        for (auto t : {MapTable::Map1, MapTable::MapCrd}) {
            const auto a = atlas->bytes(t);
            const auto b = before->bytes(t);
            QVERIFY(std::equal(a.begin(), a.end(), b.begin()));
        }
    }

    // Another level shown (the overview, a search): the caption still names the player's.
    void theCaptionNamesThePlayersLevel()
    {
        tick(page({}, 0, 3, 2));
        host.level = 1;
        tick(page({}, 0, 3, 2));
        QVERIFY(host.caption.starts_with("L - 0 (3,2)"));
    }

    void markersOnTheLastLineCountAsAbsent()
    {
        // The page ends with the title line: no position is read, but the fatigue before it is.
        const PageLines lines = {"h", "b", enc("<DIV id=hru name=\"hru\">измотанность: 30%"),
                                 "<DIV id=title name=\"title\"><B>L-0(5,6)"};
        QCOMPARE(tick(lines), TickOutcome::Recognised);
        QCOMPARE(state.Fatigue, 30);
        QCOMPARE(state.PosX, 0);
        QCOMPARE(host.caption, std::string());
    }

    void levelChangesWithAndWithoutAMove()
    {
        tick(page({}, 2, 5, 6));
        QCOMPARE(host.levelsShown, std::vector<int>{2});
        QVERIFY(state.LevelChanged); // a move switched the level; the flag stays
        tick(page({}, 2, 5, 6));     // no move: the flag applies the same level once more and clears
        QCOMPARE(host.levelsShown, (std::vector<int>{2, 2}));
        QVERIFY(!state.LevelChanged);
        tick(page({}, 2, 5, 6));
        QCOMPARE(host.levelsShown.size(), std::size_t(2));
        // The user looks at level 4: what the page shows is still recorded on the page's level, never there.
        host.level = 4;
        tick(page({"trap"}, 2, 5, 6));
        QCOMPARE(cell(2, 5, 6).Object, 'L');
        QCOMPARE(cell(4, 5, 6).Explored, 0);
        // The page's level changes while the position stays: switched on the same tick.
        tick(page({}, 3, 5, 6));
        QCOMPARE(host.level, 3);
        QVERIFY(!state.LevelChanged);
        QCOMPARE(host.statistics, 1); // only the first position was a move
    }

    void sidesAndMirroring_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QByteArray>("north");
        QTest::addColumn<int>("code");
        QTest::newRow("plain") << 5 << 6 << QByteArray("<IMG src=\"go_n_s.gif\">") << 1;
        QTest::newRow("arrow and door: the door") << 5 << 6 << QByteArray("go_n_s.gif go5_s.gif") << 3;
        QTest::newRow("go10") << 5 << 6 << QByteArray("go10_s.gif") << 2;
        QTest::newRow("go2") << 5 << 6 << QByteArray("go2_s.gif") << 4;
        QTest::newRow("go4") << 5 << 6 << QByteArray("go4_s.gif") << 5;
        QTest::newRow("go3") << 5 << 6 << QByteArray("go3_s.gif") << 6;
        QTest::newRow("go6") << 5 << 6 << QByteArray("go6_s.gif") << 7;
        QTest::newRow("go7") << 5 << 6 << QByteArray("go7_s.gif") << 8;
        QTest::newRow("last in order wins") << 5 << 6 << QByteArray("go7_s.gif go10_s.gif") << 8;
        QTest::newRow("at the top edge") << 5 << 1 << QByteArray("go_n_s.gif") << 1;
    }
    void sidesAndMirroring()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(QByteArray, north);
        QFETCH(int, code);
        tick(page({kNorth + north.toStdString() + "</DIV>"}, 0, x, y));
        QCOMPARE(int(cell(0, x, y).North), code);
        if (y > 1)
            QCOMPARE(int(cell(0, x, y - 1).South), code);
        else
            QCOMPARE(int(cell(0, x, 30).South), 0); // nothing wraps round
    }

    void sidesOnlyFromTheirOwnLineAndKeptWhenUnseen()
    {
        atlas->cell(1, 0, 30, 6)->West = 8;
        tick(page({kWest + "</DIV>", kEast + "<IMG src=\"go_e_s.gif\"></DIV>", "go_s_s.gif"}, 0, 30, 6));
        QCOMPARE(int(cell(0, 30, 6).East), 1); // recorded at the east border, not mirrored
        QCOMPARE(int(cell(0, 30, 6).West), 8); // marker without an image: the old value stays, and is mirrored
        QCOMPARE(int(cell(0, 29, 6).East), 8);
        QCOMPARE(int(cell(0, 30, 6).South), 0); // the south image stands on no south marker line
        // Labyrinth 14 is 100 wide: an east passage at 30 is mirrored there.
        host.lab = 14;
        state = ReaderState{};
        tick(page({kEast + "go_e_s.gif</DIV>", kSouth + "go_s_s.gif</DIV>"}, 0, 30, 100));
        QCOMPARE(int(atlas->cell(14, 0, 31, 100)->West), 1);
        QCOMPARE(int(atlas->cell(14, 0, 30, 100)->South), 1);
    }

    void waysDownAndUpShareOneEntry()
    {
        tick(page({"go_d_s.gif"}, 2, 5, 6));
        QCOMPARE(cell(2, 5, 6).Object, 'd');
        QCOMPARE(cell(3, 5, 6).Object, 'u');
        QCOMPARE(memo(*atlas, 1, ListKind::Transitions), std::string("L-2(5x6); "));
        tick(page({"go_u_s.gif"}, 3, 5, 6));
        QCOMPARE(cell(3, 5, 6).Object, 'u');
        QCOMPARE(cell(2, 5, 6).Object, 'd');
        QCOMPARE(memo(*atlas, 1, ListKind::Transitions), std::string("L-2(5x6); "));
    }

    void waysAtTheEndsOfTheAtlasStayInside()
    {
        tick(page({"go_d_s.gif"}, 16, 5, 6));
        QCOMPARE(cell(16, 5, 6).Object, 'd');
        QCOMPARE(memo(*atlas, 1, ListKind::Transitions), std::string("L-16(5x6); "));
        state = ReaderState{};
        tick(page({"go_u_s.gif"}, 0, 7, 8));
        QCOMPARE(cell(0, 7, 8).Object, 'u');
        QCOMPARE(memo(*atlas, 1, ListKind::Transitions), std::string("L-16(5x6); ")); // no entry for level -1
    }

    void objectPrecedence_data()
    {
        QTest::addColumn<QStringList>("body");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("sound");
        const QString monster = QStringLiteral("<A onclick=\"javascript: oIm(5)\">mob</A>");
        QTest::newRow("nothing") << QStringList{} << "n"
                                 << "";
        QTest::newRow("monster") << QStringList{monster} << "M"
                                 << "mob.wav";
        QTest::newRow("monster under a way down") << QStringList{monster, "go_d_s.gif"} << "d"
                                                  << "down.wav";
        QTest::newRow("monster under an exit") << QStringList{monster, "go_out_s.gif"} << "E"
                                               << "";
        QTest::newRow("trap then chest") << QStringList{"trap", "Вещи тут: unlock_3_s.gif"} << "2"
                                         << "trap.wav";
        QTest::newRow("flag") << QStringList{"flag.jpg"} << "F"
                              << "flag.wav";
        QTest::newRow("loot") << QStringList{"Вещи тут: хлам"} << "r"
                              << "res.wav";
        QTest::newRow("chest order") << QStringList{"Вещи тут:", "unlock_7_s.gif unlock_4_s.gif"} << "3"
                                     << "chest.wav";
        QTest::newRow("white 10") << QStringList{"Вещи тут: unlock_10_s.gif"} << "4"
                                  << "chest.wav";
        QTest::newRow("iron") << QStringList{"Вещи тут: unlock_6_s.gif"} << "5"
                              << "chest.wav";
        QTest::newRow("chest 8 only") << QStringList{"Вещи тут: unlock_8_s.gif"} << "n"
                                      << "chest.wav";
        QTest::newRow("chest 8 on a monster") << QStringList{monster, "Вещи тут: unlock_8_s.gif"} << "M"
                                              << "mob.wav";
        QTest::newRow("chest image without items") << QStringList{"unlock_2_s.gif"} << "n"
                                                   << "";
    }
    void objectPrecedence()
    {
        QFETCH(QStringList, body);
        QFETCH(QString, object);
        QFETCH(QString, sound);
        PageLines lines = page({});
        for (const QString& b : body)
            lines.insert(lines.end() - 1, enc(b.toStdString()));
        tick(lines);
        QCOMPARE(QString(QChar(cell(0, 5, 6).Object)), object);
        QCOMPARE(host.played.empty() ? QString() : QString::fromStdString(host.played.front()), sound);
        QVERIFY(host.played.size() <= 1); // one sound per move
    }

    void staleEntriesLeaveTheLists()
    {
        tick(page({"trap", "flag.jpg", "go_out_s.gif"}, 0, 5, 6));
        QCOMPARE(memo(*atlas, 1, ListKind::Traps), std::string("L-0(5x6); "));
        QCOMPARE(memo(*atlas, 1, ListKind::Flags), std::string("L-0(5x6); "));
        QCOMPARE(memo(*atlas, 1, ListKind::Exits), std::string("L-0(5x6); "));
        tick(page({"flag.jpg"}, 0, 5, 6)); // the trap and the exit are gone from the page
        QCOMPARE(memo(*atlas, 1, ListKind::Traps), std::string());
        QCOMPARE(memo(*atlas, 1, ListKind::Exits), std::string());
        QCOMPARE(memo(*atlas, 1, ListKind::Flags), std::string("L-0(5x6); "));
        QCOMPARE(cell(0, 5, 6).Object, 'F');
        // The same cell on another level is another entry.
        tick(page({"trap"}, 1, 5, 6));
        QCOMPARE(memo(*atlas, 1, ListKind::Traps), std::string("L-1(5x6); "));
        QCOMPARE(memo(*atlas, 1, ListKind::Flags), std::string("L-0(5x6); "));
    }

    void theEleventhTrapIsNotStored()
    {
        for (int x = 1; x <= 11; ++x)
            tick(page({"trap"}, 0, x, 3));
        const std::string traps = memo(*atlas, 1, ListKind::Traps);
        QVERIFY(traps.find("L-0(10x3); ") != std::string::npos);
        QVERIFY(traps.find("L-0(11x3); ") == std::string::npos);
        QCOMPARE(cell(0, 11, 3).Object, 'L'); // still on the map
    }

    void soundIsArmedByAMoveAndPlaysOnce()
    {
        tick(page({}, 0, 5, 6)); // a move onto a plain cell: armed, nothing heard
        QVERIFY(state.SoundArmed);
        QVERIFY(host.played.empty());
        tick(page({}, 0, 5, 6));
        tick(page({"<A onclick=\"javascript: oIm(1)\">x</A>"}, 0, 5, 6)); // two ticks later a monster shows up
        QCOMPARE(host.played, std::vector<std::string>{"mob.wav"});
        QVERIFY(!state.SoundArmed);
        tick(page({"trap"}, 0, 5, 6)); // no move: no sound
        QCOMPARE(host.played.size(), std::size_t(1));
        host.sounds = false;
        tick(page({"trap"}, 0, 6, 6));
        QCOMPARE(host.played.size(), std::size_t(1));
    }

    void followsThePlayerOnlyWhenTheViewChanges()
    {
        tick(page({}, 0, 5, 6));
        tick(page({}, 0, 5, 6));
        tick(page({}, 0, 7, 6));
        QCOMPARE(host.follows, (std::vector<std::pair<int, int>>{{5, 6}, {7, 6}}));
        QCOMPARE(host.coordinates, std::string("7x6"));
    }

    void noLabyrinthWritesNothing()
    {
        host.lab = 0;
        tick(page({"trap", "go_d_s.gif", kNorth + "go_n_s.gif"}, 0, 5, 6));
        QCOMPARE(host.coordinates, std::string("5x6"));
        for (auto t : {MapTable::Map1, MapTable::Map2, MapTable::Map3, MapTable::MapCrd}) {
            const auto bytes = atlas->bytes(t);
            QVERIFY(std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; }));
        }
    }
};

QTEST_APPLESS_MAIN(TestPageReader)
#include "tst_pagereader.moc"
