// The program as the kill test runs it: the real window in a working folder, logged in to the practice game,
// walking with the arrow keys until it is killed. It answers "Да" to restoring a journal, checks that what the
// test expects survived earlier kills, and reports on stdout what it has recorded and when:
//   verified <n> missing <m>        after start-up, against the expectations file
//   walking                         the walk begins
//   cell <ms> <lab> <level> <x> <y> an explored cell first seen in the atlas (ms since the epoch)
//   entry <ms> <lab> <level> <kind> <hex text>   a list entry first seen
//   step <x> <y>                    the player moved
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "browser/pagepoller.h"
#include "eventwait.h"
#include "person.h"
#include "route/keyboard.h"
#include "scriptedprompts.h"
#include "windowcontrols.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QPlainTextEdit>
#include <QPoint>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <set>
#include <tuple>

using namespace veldor;
using namespace veldor::test;

namespace {

constexpr ListKind kKinds[] = {ListKind::Transitions, ListKind::Traps, ListKind::Flags, ListKind::Exits};

void say(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// Checks each expected cell and entry ("cell lab level x y", "entry lab level kind hex") against the atlas.
void verify(const Atlas& atlas, const QString& expectFile)
{
    QFile file(expectFile);
    int checked = 0;
    int missing = 0;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& raw : file.readAll().split('\n')) {
            const QList<QByteArray> f = raw.split(' ');
            if (f.size() == 5 && f[0] == "cell") {
                const TMapCell* c = atlas.cell(f[1].toUInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
                ++checked;
                if (!c || c->Explored == 0) {
                    ++missing;
                    std::fprintf(stderr, "missing %s\n", raw.constData());
                }
            } else if (f.size() == 5 && f[0] == "entry") {
                const TLevelLists* lists = atlas.levelLists(f[1].toUInt(), f[2].toInt());
                const auto kind = static_cast<ListKind>(f[3].toInt());
                const std::string text = QByteArray::fromHex(f[4]).toStdString();
                bool found = false;
                for (int k = 0; lists && k < ListSlots(kind); ++k)
                    found = found || SlotText(*lists, kind, k) == text;
                ++checked;
                if (!found) {
                    ++missing;
                    std::fprintf(stderr, "missing %s\n", raw.constData());
                }
            }
        }
    }
    say(QStringLiteral("verified %1 missing %2").arg(checked).arg(missing));
}

} // namespace

int main(int argc, char* argv[])
{
    prepareWebEngine();
    QApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: killwalker FOLDER PROFILE SERVER EXPECT\n");
        return 2;
    }
    auto prompts = std::make_shared<ScriptedPrompts>();
    prompts->answers = {UserPrompts::Answer::Yes}; // restore what a killed run left
    MainWindowOptions options;
    options.workFolder = QString::fromLocal8Bit(argv[1]);
    options.profileFolder = QString::fromLocal8Bit(argv[2]);
    options.gameServer = QString::fromLocal8Bit(argv[3]);
    options.prompts = prompts;
    MainWindow form(options);
    form.resize(1100, 750);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form) || !person::activate(&form))
        return 3;
    verify(form.atlas(), QString::fromLocal8Bit(argv[4]));
    // Report what the reader records, as soon as a tick has put it in the atlas.
    std::set<std::tuple<unsigned, int, int, int>> cells;
    std::set<std::tuple<unsigned, int, int, std::string>> entries;
    const auto report = [&] {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        const unsigned lab = form.shownLab();
        const int n = LabSide(lab);
        for (int level = 0; level < kLevelCount; ++level) {
            for (int x = 1; x <= n; ++x) {
                for (int y = 1; y <= n; ++y) {
                    const TMapCell* c = form.atlas().cell(lab, level, x, y);
                    if (c && c->Explored && cells.insert({lab, level, x, y}).second)
                        say(QStringLiteral("cell %1 %2 %3 %4 %5").arg(now).arg(lab).arg(level).arg(x).arg(y));
                }
            }
            const TLevelLists* lists = form.atlas().levelLists(lab, level);
            for (const ListKind kind : kKinds) {
                for (int k = 0; lists && k < ListSlots(kind); ++k) {
                    const std::string text = SlotText(*lists, kind, k);
                    if (!text.empty() && entries.insert({lab, level, static_cast<int>(kind), text}).second)
                        say(QStringLiteral("entry %1 %2 %3 %4 %5")
                                .arg(now)
                                .arg(lab)
                                .arg(level)
                                .arg(static_cast<int>(kind))
                                .arg(QString::fromLatin1(QByteArray::fromStdString(text).toHex())));
                }
            }
        }
    };
    QObject::connect(form.poller(), &PagePoller::tickDone, &form, report);

    if (!waitUntil([&] { return form.poller()->NoCombatFrame.valid(); }, 30000))
        return 4;
    if (!waitUntil([&] { return form.reader().ViewX != 0; }, 30000))
        return 4;
    report();
    person::click(controls(form).keyboardBox);
    say(QStringLiteral("walking"));
    auto* rng = QRandomGenerator::global();
    for (;;) {
        // A key that leads somewhere, as far as the map knows.
        QList<int> keys;
        const std::pair<int, ArrowKey> arrows[] = {{Qt::Key_Up, ArrowKey::Up},
                                                   {Qt::Key_Down, ArrowKey::Down},
                                                   {Qt::Key_Left, ArrowKey::Left},
                                                   {Qt::Key_Right, ArrowKey::Right}};
        QList<int> fresh; // of those, the ones towards a cell not explored yet
        const QPoint towards[] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
        for (int i = 0; i < 4; ++i) {
            const auto& [key, arrow] = arrows[i];
            if (!KeyMoveScript(form.atlas(), form.shownLab(), form.shownLevel(), form.reader().ViewX,
                               form.reader().ViewY, form.reader().Fatigue, controls(form).passDoorsBox->isChecked(),
                               arrow))
                continue;
            keys << key;
            const TMapCell* next =
                form.atlas().cell(form.shownLab(), form.shownLevel(), form.reader().ViewX + towards[i].x(),
                                  form.reader().ViewY + towards[i].y());
            if (next && !next->Explored)
                fresh << key;
        }
        if (!fresh.isEmpty() && rng->bounded(4) != 0)
            keys = fresh;
        if (keys.isEmpty()) {
            waitUntil([] { return false; }, 100);
            continue;
        }
        const int x = form.reader().ViewX;
        const int y = form.reader().ViewY;
        person::press(keys[rng->bounded(static_cast<int>(keys.size()))]);
        if (waitUntil([&] { return form.reader().ViewX != x || form.reader().ViewY != y; }, 3000))
            say(QStringLiteral("step %1 %2").arg(form.reader().ViewX).arg(form.reader().ViewY));
    }
}
