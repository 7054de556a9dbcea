#include "app/parts/loginpanel.h"
#include "app/parts/pagecontrol.h"
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "browser/browserview.h"
#include "buildconfig.h"
#include "formfixture.h"
#include "map/levellinks.h"
#include "mapview/clicksplitter.h"
#include "mapview/mapgrid.h"
#include "person.h"
#include "windowcontrols.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSpinBox>
#include <QSysInfo>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <memory>
#include <sys/stat.h>

using namespace veldor;
using namespace veldor::test;

namespace {

const QString kServer = QStringLiteral("http://127.0.0.1:9");
const char* const kMapNames[] = {"map1.map", "map2.map", "map3.map", "map.crd"};
const qint64 kMapSizes[] = {550800, 1142400, 7140000, 1444660};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
    FormFixture fx;
    std::shared_ptr<ScriptedPrompts>& prompts = fx.prompts;

    QString file(const char* name) const { return fx.file(name); }

private slots:
    void init() { fx.reset(); }

    void everyControlHasItsNameCaptionAndHint_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        auto row = [](const char* name, const char* caption, const char* hint = "") {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption) << QString::fromUtf8(hint);
        };
        row("labyrinthLabel", "Лабиринт:");
        row("labyrinthBox", "", "Текущий лабиринт");
        row("levelLabel", "Уровень:");
        row("levelBox", "", "Уровень");
        row("cellSizeLabel", "Размер клетки:");
        row("cellSizeSpin", "", "Размер клетки на карте");
        row("passDoorsBox", "Проходить через двери", "Разрешение прохождения дверей при ручном управлении");
        row("soundsBox", "Проигрывать звуки", "Проигрывание звуков при событиях");
        row("hidePanelsBox", "", "При вступлении в бой скрывать боковые панели");
        row("hidePanelsLine1", "Скрывать панели при", "При вступлении в бой скрывать боковые панели");
        row("hidePanelsLine2", "начале боя", "При вступлении в бой скрывать боковые панели");
        row("saveMapsButton", "Сохранить карту", "Сохранить карты");
        row("clearLabyrinthButton", "Очистить карту", "Очистить текущую карту");
        row("clearAllMapsButton", "Очистить все карты", "Очистить все карты");
        row("exitRouteBox", "показывать путь к выходу");
        row("fromTownLabel", "Из");
        row("toTownLabel", "В");
        row("speedBonusLabel", "Со скоростью");
        row("transitionsLabel", "Переходы:");
        row("transitionsList", "", "Переходы");
        row("clearTransitionsButton", "X", "Очистить");
        row("copyTransitionsButton", "C", "Копировать в буфер");
        row("exitsLabel", "Выходы:");
        row("exitsList", "", "Выходы");
        row("clearExitsButton", "X", "Очистить");
        row("copyExitsButton", "C", "Копировать в буфер");
        row("trapsLabel", "Ловушки:");
        row("trapsList", "", "Ловушки");
        row("clearTrapsButton", "X", "Очистить");
        row("copyTrapsButton", "C", "Копировать в буфер");
        row("flagsLabel", "Флаги:");
        row("flagsList", "", "Флаги");
        row("clearFlagsButton", "X", "Очистить");
        row("copyFlagsButton", "C", "Копировать в буфер");
        row("keyboardBox", "управление с клавиатуры", "Управлять передвижением с клавиатуры");
        row("exploredLabel", "Процент открытия уровня: 0%", "Процент открытия этажа");
        row("positionLabel", "", "Текущие координаты");
        row("loginTitle", "Параметры входа");
        row("loginLabel", "Логин:");
        row("passwordLabel", "Пароль:");
        row("loginOkButton", "ОК");
        row("loginCancelButton", "Отмена");
        row("autoLoginBox", "Входить автоматически");
        row("mapGrid", "", "0 0");
    }
    void everyControlHasItsNameCaptionAndHint()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        auto form = fx.make();
        QWidget* w = form->findChild<QWidget*>(name);
        QVERIFY2(w, qPrintable(name));
        QString text;
        if (auto* l = qobject_cast<QLabel*>(w))
            text = l->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            text = b->text();
        else if (auto* m = qobject_cast<QPlainTextEdit*>(w))
            text = m->toPlainText();
        QCOMPARE(text, caption);
        QCOMPARE(w->toolTip(), hint);
    }

    void menusAndWindow()
    {
        auto form = fx.active();
        QVERIFY(form);
        QVERIFY(form->windowTitle().startsWith(QStringLiteral("Вельдор")));
        QStringList top;
        for (QAction* a : controls(*form).mainMenu->actions())
            top << a->text();
        QCOMPARE(top, QStringList({"Файл", "Правка", "Вид", "История", "Избранное", "Дополнительно", "?"}));
        QCOMPARE(controls(*form).addMarkerAction->text(), QStringLiteral("Маркер"));
        QCOMPARE(controls(*form).clearCellAction->text(), QStringLiteral("Очистить"));
        QCOMPARE(controls(*form).newTabAction->text(), QStringLiteral("Новая вкладка"));
        QCOMPARE(controls(*form).closeTabAction->text(), QStringLiteral("Закрыть"));
        QVERIFY(!person::actionNamed(controls(*form).fileMenu->actions(), QStringLiteral("Печать...")));
        QCOMPARE(controls(*form).sidePages->activePageIndex(), 0); // the settings page, with the level shown
        QCOMPARE(controls(*form).sidePages->tabButton(0)->text(), QStringLiteral("Настройки"));
        QCOMPARE(controls(*form).sidePages->tabButton(1)->text(), QStringLiteral("Путешествие"));
        QCOMPARE(controls(*form).browserTabs->tabText(0), QStringLiteral("Тирмора"));
        QVERIFY(controls(*form).gameBrowser && controls(*form).gameBrowser->parentWidget() == controls(*form).gameTab);
        QVERIFY(!controls(*form).exitRouteBox->isVisibleTo(form.get()) && !controls(*form).exitRouteBox->isChecked());
        QVERIFY(!controls(*form).loginPanel->isVisibleTo(form.get()));
        QVERIFY(!controls(*form).backButton->isEnabled() && !controls(*form).forwardButton->isEnabled());
        QVERIFY(controls(*form).reloadButton->isEnabled() && controls(*form).stopButton->isEnabled());
        QCOMPARE(controls(*form).addressBox->currentText(), kServer + QStringLiteral("/login.php"));
        QVERIFY(!controls(*form).pollTimer->isActive() && !controls(*form).tabDoubleClickTimer->isActive());
        QCOMPARE(controls(*form).tabDoubleClickTimer->interval(), 200);
        QCOMPARE(controls(*form).labyrinthBox->count(), 20);
        QCOMPARE(controls(*form).labyrinthBox->itemText(13), QStringLiteral("Лагденойский Лес"));
        QCOMPARE(controls(*form).levelBox->count(), kLevelCount); // every level of a labyrinth, 0..16
        QCOMPARE(controls(*form).speedBonusBox->count(), 61);
        QCOMPARE(controls(*form).speedBonusBox->currentText(), QStringLiteral("0"));
        QCOMPARE(controls(*form).fromTownBox->count(), 17);
        QCOMPARE(controls(*form).toTownBox->itemText(16), QStringLiteral("Шахты"));

        QVERIFY(person::chooseMenu(controls(*form).mainMenu, {QStringLiteral("?"), QStringLiteral("О программе")}));
        QCOMPARE(prompts->informations.size(), 1);
        // The about box tells the version and where the maps are.
        QVERIFY(prompts->informations[0].contains(QStringLiteral("Вельдор ") + QString::fromLatin1(kVersion)));
        QVERIFY(prompts->informations[0].contains(QDir::currentPath()));
        QVERIFY(prompts->informations[0].contains(QStringLiteral("~/") + QString::fromUtf8(kMenuFolder)));
        QVERIFY(prompts->informations[0].contains(QStringLiteral("Лицензия: GNU GPL версии 3 или более поздней")));
    }

    // The legend opens the guide scrolled to it; F1 and "?" show the guide's tab again rather than another one;
    // every section the contents name is there.
    void theGuideOpensFromTheMenuAndF1()
    {
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        QTabWidget* tabs = controls(*form).browserTabs;
        const auto scrolled = [&] {
            int y = -1;
            FormFixture::tab(*form, 1)->page()->runJavaScript(QStringLiteral("window.scrollY"),
                                                              [&](const QVariant& v) { y = v.toInt(); });
            return waitUntil([&] { return y >= 0; }) ? y : -1;
        };
        const QStringList legend = {QStringLiteral("?"), QStringLiteral("Условные обозначения")};
        QVERIFY(person::chooseMenu(controls(*form).mainMenu, legend));
        QTRY_COMPARE(tabs->count(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(FormFixture::tab(*form, 1)->title(), QStringLiteral("Вельдор — руководство"), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(scrolled() > 500, kWait);
        person::click(tabs->tabBar(), tabs->tabBar()->tabRect(0).center());
        QTRY_COMPARE(tabs->currentIndex(), 0);
        person::click(controls(*form).keyboardBox);
        QVERIFY(person::press(Qt::Key_F1));
        QTRY_COMPARE(tabs->currentIndex(), 1);
        QCOMPARE(tabs->count(), 2);
        QFile guide(QStringLiteral(":/guide/guide.html"));
        QVERIFY(guide.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(guide.readAll());
        const QRegularExpression link(QStringLiteral("href=\"#(\\w+)\""));
        int sections = 0;
        for (auto m = link.globalMatch(html); m.hasNext(); ++sections) {
            const QString id = m.next().captured(1);
            QVERIFY2(html.contains(QStringLiteral("id=\"%1\"").arg(id)), qPrintable(id));
        }
        QVERIFY(sections >= 14);
    }

    void firstStartInAnEmptyFolder()
    {
        auto form = fx.make();
        for (const char* name : kMapNames) {
            QVERIFY(QFile::exists(file(name)));
            QCOMPARE(QFileInfo(file(name)).size(), qint64(0));
        }
        QVERIFY(QFile::exists(file("user.dat")));
        QCOMPARE(fileMode(file("user.dat")), mode_t(0600));
        QCOMPARE(controls(*form).labyrinthBox->currentIndex(), 0);
        QCOMPARE(form->shownLab(), 1u);
        QCOMPARE(form->shownLevel(), 0);
        QCOMPARE(controls(*form).levelBox->currentIndex(), 0);
        QCOMPARE(controls(*form).mapGrid->rowCount(), 31);
        QCOMPARE(controls(*form).mapGrid->colCount(), 31);
        QCOMPARE(controls(*form).mapGrid->cellText(0, 30), QStringLiteral("30"));
        QCOMPARE(controls(*form).mapGrid->cellText(17, 0), QStringLiteral("17"));
        QCOMPARE(controls(*form).cellSizeSpin->value(), 15);
        QCOMPARE(controls(*form).mapGrid->defaultColWidth(), 15);
        QVERIFY(controls(*form).travelTimeLabel->text().isEmpty());
        QVERIFY(form->startupProblems().isEmpty());
        QTest::qWait(20);
        QVERIFY(prompts->errors.isEmpty());
    }

    void settingsFileSetsTheControls_data()
    {
        QTest::addColumn<QByteArray>("userDat");
        QTest::addColumn<int>("labIndex");
        QTest::addColumn<int>("gridSize");
        QTest::addColumn<int>("cellSize");
        QTest::addColumn<bool>("doors");
        QTest::addColumn<bool>("sounds");
        QTest::addColumn<bool>("hide");
        QTest::newRow("group 3, size clamped to 25")
            << QByteArray("me\r\npw\r\n14\r\n40\r\n1\r\n1\r\n0\r\n1\r\n") << 13 << 101 << 25 << true << false << true;
        QTest::newRow("group 2, size clamped to 10")
            << QByteArray("me\r\npw\r\n7\r\n3\r\n0\r\n0\r\n1\r\n0\r\n") << 6 << 41 << 10 << false << true << false;
        QTest::newRow("flags of 2 are off")
            << QByteArray("me\r\npw\r\n2\r\n12\r\n2\r\n2\r\n2\r\n2\r\n") << 1 << 31 << 12 << false << false << false;
        QTest::newRow("labyrinth 25: no selection, designed grid")
            << QByteArray("me\r\npw\r\n25\r\n15\r\n0\r\n0\r\n0\r\n0\r\n") << -1 << 101 << 15 << false << false << false;
        QTest::newRow("only a login: nothing selected, size 10")
            << QByteArray("me\r\n") << -1 << 101 << 10 << false << false << false;
    }
    void settingsFileSetsTheControls()
    {
        QFETCH(QByteArray, userDat);
        QFETCH(int, labIndex);
        QFETCH(int, gridSize);
        QFETCH(int, cellSize);
        QFETCH(bool, doors);
        QFETCH(bool, sounds);
        QFETCH(bool, hide);
        QVERIFY(writeAll(file("user.dat"), userDat));
        auto form = fx.make();
        QCOMPARE(controls(*form).labyrinthBox->currentIndex(), labIndex);
        QCOMPARE(form->shownLab(), unsigned(labIndex + 1));
        QCOMPARE(controls(*form).mapGrid->rowCount(), gridSize);
        QCOMPARE(controls(*form).mapGrid->colCount(), gridSize);
        QCOMPARE(controls(*form).cellSizeSpin->value(), cellSize);
        QCOMPARE(controls(*form).mapGrid->defaultColWidth(), cellSize);
        QCOMPARE(controls(*form).mapGrid->defaultRowHeight(), cellSize);
        QCOMPARE(controls(*form).passDoorsBox->isChecked(), doors);
        QCOMPARE(controls(*form).soundsBox->isChecked(), sounds);
        QCOMPARE(controls(*form).hidePanelsBox->isChecked(), hide);
        QCOMPARE(form->settings().StoredLogin, std::string("me"));
    }

    // A line that does not read is said and taken as its default; the password and the other lines stay.
    void aDamagedSettingsLineCostsOnlyItself()
    {
        const QByteArray text = "hero\r\nsecret\r\nX\r\n20\r\n1\r\n1\r\n1\r\n1\r\n";
        QVERIFY(writeAll(file("user.dat"), text));
        auto form = fx.make();
        QCOMPARE(form->settings().StoredLogin, std::string("hero"));
        QCOMPARE(form->settings().StoredPassword, std::string("secret"));
        QCOMPARE(readAll(file("user.dat")), text);
        QCOMPARE(form->shownLab(), 1u); // the designed selection
        QVERIFY(controls(*form).passDoorsBox->isChecked());
        QTRY_COMPARE(fx.prompts->errors.size(), 1);
        QVERIFY(fx.prompts->errors.first().contains(QStringLiteral("не прочитаны строки: 3")));
    }

    void choosingALabyrinthSizesTheGridAndFillsTheMemos()
    {
        auto form = fx.active();
        QVERIFY(form);
        Atlas& atlas = form->atlas();
        AppendEntry(*atlas.levelLists(14, 0), ListKind::Exits, PositionEntry(0, 5, 6));
        AppendEntry(*atlas.levelLists(14, 3), ListKind::Traps, PositionEntry(3, 1, 2));
        AppendEntry(*atlas.levelLists(14, 16), ListKind::Transitions, PositionEntry(16, 9, 9));
        AppendEntry(*atlas.levelLists(14, 2), ListKind::Flags, PositionEntry(2, 4, 4));
        AppendEntry(*atlas.levelLists(1, 0), ListKind::Exits, PositionEntry(0, 1, 1));
        for (int y = 1; y <= 100; ++y)
            atlas.cell(14, 0, 1, y)->Explored = 1;
        QVERIFY(fx.pick(*form, controls(*form).levelBox, 4));
        QCOMPARE(form->shownLevel(), 4);
        QVERIFY(fx.pick(*form, controls(*form).labyrinthBox, 13));
        QCOMPARE(form->shownLab(), 14u);
        QCOMPARE(form->shownLevel(), 0);
        QCOMPARE(controls(*form).levelBox->currentIndex(), 0);
        QCOMPARE(controls(*form).mapGrid->rowCount(), 101);
        QCOMPARE(controls(*form).mapGrid->cellText(0, 100), QStringLiteral("100"));
        QCOMPARE(controls(*form).exploredLabel->text(), QStringLiteral("Процент открытия уровня: 1%"));
        QCOMPARE(controls(*form).exitsList->toPlainText(), QStringLiteral("L-0(5x6); "));
        QCOMPARE(controls(*form).transitionsList->toPlainText(), QStringLiteral("L-16(9x9); "));
        QCOMPARE(controls(*form).trapsList->toPlainText(), QStringLiteral("L-3(1x2); "));
        QCOMPARE(controls(*form).flagsList->toPlainText(), QStringLiteral("L-2(4x4); "));
        // A level change keeps the memos and updates the percentage.
        QVERIFY(fx.pick(*form, controls(*form).levelBox, 3));
        QCOMPARE(controls(*form).exploredLabel->text(), QStringLiteral("Процент открытия уровня: 0%"));
        QCOMPARE(controls(*form).trapsList->toPlainText(), QStringLiteral("L-3(1x2); "));
    }

    void travelEstimateAppearsOnTheFirstSelection()
    {
        auto form = fx.active();
        QVERIFY(form);
        QVERIFY(controls(*form).travelTimeLabel->text().isEmpty());
        QVERIFY(fx.pick(*form, controls(*form).toTownBox, 7)); // Илдиор
        QVERIFY(!controls(*form).travelTimeLabel->text().isEmpty());
        QVERIFY(fx.pick(*form, controls(*form).speedBonusBox, 40));
        QCOMPARE(controls(*form).travelTimeLabel->text(), QStringLiteral("Расчетное время: 00:37:42"));
        QVERIFY(fx.pick(*form, controls(*form).fromTownBox, 7));
        QCOMPARE(controls(*form).travelTimeLabel->text(), QStringLiteral("Расчетное время: 00:00:00"));
    }

    // Only the arrows change the cell size (typing is off), within 10..25.
    void cellSizeStaysWithinItsRange()
    {
        auto form = fx.active();
        QVERIFY(form);
        QSpinBox* spin = controls(*form).cellSizeSpin;
        QVERIFY(fx.clickSide(*form, spin));
        QCOMPARE(person::focused(), spin);
        for (int i = 0; i < 7; ++i)
            person::press(Qt::Key_Down);
        QCOMPARE(spin->value(), 10);
        for (int i = 0; i < 16; ++i)
            person::press(Qt::Key_Up);
        QCOMPARE(spin->value(), 25);
        QCOMPARE(controls(*form).mapGrid->defaultColWidth(), 25);
        person::press(Qt::Key_Down);
        QCOMPARE(controls(*form).mapGrid->defaultRowHeight(), 24);
        QVERIFY(person::type(QStringLiteral("1")));
        QCOMPARE(spin->value(), 24);
        QVERIFY(spin->findChild<QLineEdit*>()->isReadOnly());
    }

    // The close question: the settings are written whatever the answer, the maps only on "Да".
    void closeQuestion_data()
    {
        QTest::addColumn<UserPrompts::Answer>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");
        QTest::newRow("cancel") << UserPrompts::Answer::Cancel << false << false;
        QTest::newRow("no") << UserPrompts::Answer::No << true << false;
        QTest::newRow("yes") << UserPrompts::Answer::Yes << true << true;
    }
    void closeQuestion()
    {
        QFETCH(UserPrompts::Answer, answer);
        QFETCH(bool, saved);
        auto form = fx.shown();
        QVERIFY(form);
        QFile::remove(file("user.dat"));
        QVERIFY(fx.clickSide(*form, controls(*form).passDoorsBox));
        QVERIFY(controls(*form).passDoorsBox->isChecked());
        *form->atlas().cell(1, 0, 1, 1) = TMapCell{0, 0, 0, 0, 1, 'E'};
        prompts->answers = {answer};
        QTEST(form->close(), "closes");
        QCOMPARE(form->isVisible(), answer == UserPrompts::Answer::Cancel);
        QCOMPARE(prompts->questions, QStringList{QStringLiteral("Сохранить карты?")});
        QCOMPARE(readAll(file("user.dat")), QByteArray("\r\n\r\n1\r\n15\r\n0\r\n1\r\n0\r\n0\r\n0\r\n"));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(QFileInfo(file(kMapNames[i])).size(), saved ? kMapSizes[i] : 0);
        QCOMPARE(readAll(file("map1.map")).mid(5, 1), QByteArray(saved ? "E" : ""));
        QVERIFY(prompts->errors.isEmpty());
    }

    // Whatever stands in user.dat's place, the window starts, says what is wrong, and takes nothing from it.
    void oddSettingsFilesStillStartTheWindow_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("pipe") << "pipe";
        QTest::newRow("link to a device") << "device";
        QTest::newRow("256 KB") << "large";
    }
    void oddSettingsFilesStillStartTheWindow()
    {
        QFETCH(QString, kind);
        const QString path = file("user.dat");
        const QByteArray large = "hero\r\n" + QByteArray(256 * 1024, 'p') + "\r\n3\r\n20\r\n1\r\n1\r\n1\r\n1\r\n";
        QVERIFY(kind == QLatin1String("large") ? writeAll(path, large) : makeOddFile(path, kind));
        auto form = fx.make();
        QVERIFY(form->startupProblems().join(QLatin1Char(' ')).contains(QStringLiteral("user.dat не прочитан")));
        QCOMPARE(form->settings().StoredLogin, std::string());
        QCOMPARE(controls(*form).labyrinthBox->currentIndex(), 0); // the designed defaults, as on a first start
        QCOMPARE(controls(*form).mapGrid->rowCount(), 31);
        if (kind == QLatin1String("large"))
            QCOMPARE(readAll(path), large);
        // Mapping works as usual.
        QVERIFY(QFile::exists(file("map1.map")));
    }

    // links.txt is read at start and written with the maps; one that is not a file we can read is named and
    // left as it is.
    void theLinksFileGoesWithTheMaps_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("links");
        QTest::newRow("links") << "" << 1;
        QTest::newRow("folder") << "folder" << 0;
        QTest::newRow("pipe") << "pipe" << 0;
    }
    void theLinksFileGoesWithTheMaps()
    {
        QFETCH(QString, kind);
        const QString path = file("links.txt");
        QVERIFY(kind.isEmpty() ? writeAll(path, "1 0 15 2 1 15 2\njunk\n") : makeOddFile(path, kind));
        auto form = fx.make();
        const QString problems = form->startupProblems().join(QLatin1Char(' '));
        QVERIFY2(problems.contains(QStringLiteral("links.txt")), qPrintable(problems));
        prompts->answers = {UserPrompts::Answer::Yes};
        QVERIFY(form->close());
        QCOMPARE(QFileInfo(path).isFile(), kind.isEmpty());
        if (kind.isEmpty())
            QCOMPARE(LevelLinks::parse(readAll(path).toStdString()).all().size(), std::size_t(1));
    }

    void aStaleSettingsTemporaryIsRemovedAtStart()
    {
        const QString stale = file("user.dat.tmp-Q1w2e3");
        QVERIFY(writeAll(stale, "hero\r\nsecret\r\n"));
        auto form = fx.make();
        QVERIFY(!QFile::exists(stale));
    }

    // Two copies in one folder would overwrite each other's saves: the second one asks and opens read-only.
    void aSecondCopyInTheFolderOpensReadOnlyOrQuits()
    {
        auto first = fx.make();
        QVERIFY(!first->readOnly());
        QVERIFY(fx.writeUserDat({.login = "first"}));
        const QString saving = file("map3.map.tmp-Zx9Cv8"); // the first copy is in the middle of a save
        QVERIFY(writeAll(saving, "half"));

        prompts->choices = {0};
        auto second = fx.make();
        QCOMPARE(prompts->questions.size(), 1);
        QVERIFY(prompts->questions[0].contains(QStringLiteral("уже открыты в другом окне")));
        QVERIFY(second->readOnly());
        QVERIFY(QFile::exists(saving));
        QVERIFY(!controls(*second).saveMapsButton->isEnabled());
        second->atlas().cell(1, 0, 1, 1)->Object = 'E';
        QCOMPARE(QFileInfo(file("map1.map")).size(), qint64(0));
        second->show();
        QVERIFY(second->findChild<QLabel*>(QStringLiteral("ReadOnlyLabel"))->isVisible());
        prompts->choices = {2, 1}; // what was mapped here: stay, then close without an export
        QVERIFY(!second->close());
        QVERIFY(prompts->questions.last().contains(QStringLiteral("только для чтения")));
        QVERIFY(second->close()); // nothing written
        QCOMPARE(prompts->questions.size(), 3);
        QCOMPARE(readAll(file("user.dat")), QByteArray("first\r\npw\r\n1\r\n15\r\n0\r\n0\r\n0\r\n0\r\n"));

        prompts->choices = {1};
        auto third = fx.make();
        QVERIFY(third->quitRequested());

        // Once the first copy has gone, the folder is free again.
        first.reset();
        auto fourth = fx.make();
        QVERIFY(!fourth->readOnly());
        QCOMPARE(prompts->questions.size(), 4);
    }

    void aLockLeftByADeadCopyIsTakenOver()
    {
        QProcess gone;
        gone.start(QStringLiteral("true"));
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QVERIFY(writeAll(file("veldor.lock"),
                         QByteArray::number(pid) + "\ntst_mainwindow\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
        auto form = fx.make();
        QVERIFY(!form->readOnly());
        QVERIFY(prompts->questions.isEmpty());
    }

    // Anything at the lock's path that no live copy holds is named and may be replaced; nothing is opened.
    void aDamagedLockIsNamedAndMayBeReplaced_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("named");
        QTest::newRow("pipe, replaced") << "pipe" << 0 << "именованный канал";
        QTest::newRow("link to /dev/zero, read-only") << "device" << 1 << "ссылка на «/dev/zero»";
        QTest::newRow("folder, replaced") << "folder" << 0 << "папка";
        QTest::newRow("dangling link, replaced") << "dangling" << 0 << "которого нет";
        QTest::newRow("1 GB file, replaced") << "huge" << 0 << "вместо нескольких строк";
        QTest::newRow("junk text, quit") << "junk" << 2 << "не записано";
    }
    void aDamagedLockIsNamedAndMayBeReplaced()
    {
        QFETCH(QString, kind);
        QFETCH(int, choice);
        const QString lock = file("veldor.lock");
        if (kind == "dangling")
            QVERIFY(QFile::link(file("gone"), lock));
        else if (kind == "huge")
            QVERIFY(QFile(lock).open(QIODevice::WriteOnly) && QFile(lock).resize(qint64(1) << 30));
        else if (kind == "junk")
            QVERIFY(writeAll(lock, "not a lock\n"));
        else
            QVERIFY(makeOddFile(lock, kind));
        prompts->choices = {choice};
        auto form = fx.make();
        QCOMPARE(prompts->questions.size(), 1);
        QVERIFY(prompts->questions[0].contains(QStringLiteral("veldor.lock испорчен")));
        QFETCH(QString, named);
        QVERIFY2(prompts->questions[0].contains(named), qPrintable(prompts->questions[0]));
        QCOMPARE(form->quitRequested(), choice == 2);
        QCOMPARE(form->readOnly(), choice == 1);
        if (choice == 0) // our own lock now, which a second copy finds held
            QVERIFY(QFileInfo(lock).isFile() && !QFileInfo(lock).isSymLink() && QFileInfo(lock).size() < 4096);
    }

    // A markers file or user.dat the start could not read is reported and never replaced; the markers of the
    // session stay in the journal.
    void filesThatCouldNotBeReadAreLeftAlone()
    {
        QVERIFY(makeOddFile(file("markers.txt"), QStringLiteral("pipe")));
        QVERIFY(makeOddFile(file("veldor.ini"), QStringLiteral("pipe"))); // opened, it would hang the start
        QVERIFY(QFile(file("user.dat")).open(QIODevice::WriteOnly) && QFile(file("user.dat")).resize(qint64(1) << 30));
        auto form = fx.shown();
        QVERIFY(form);
        const QString problems = form->startupProblems().join(QLatin1Char('\n'));
        QVERIFY(problems.contains(QStringLiteral("markers.txt")) && problems.contains(QStringLiteral("user.dat")));
        QVERIFY(problems.contains(QStringLiteral("veldor.ini не открыт (на месте файла находится канал")));
        form->atlas().setMarkText(1, 0, 3, 3, "x");
        prompts->answers = {UserPrompts::Answer::Yes};
        QVERIFY(form->close()); // the maps are saved, the marker is in the journal
        QVERIFY(!QFileInfo(file("markers.txt")).isFile() && !QFileInfo(file("veldor.ini")).isFile());
        QCOMPARE(QFileInfo(file("user.dat")).size(), qint64(1) << 30);
        QCOMPARE(QFileInfo(file("map1.map")).size(), kMapSizes[0]);
        QVERIFY(prompts->errors.join(QString()).contains(QStringLiteral("журнале")));
        QVERIFY(QFileInfo(file("map.journal")).size() > 0);
    }

    // A 1024x768 screen, or a laptop at 175%: everything in view, the map at least ten cells wide.
    void theWindowFitsASmallScreen()
    {
        auto form = fx.shown(kServer, QSize(1024, 700));
        QVERIFY(form);
        QCOMPARE(form->size(), QSize(1024, 700));
        const int cell = controls(*form).cellSizeSpin->value() + 1;
        QVERIFY(controls(*form).mapGrid->viewport()->width() >= 11 * cell); // the row numbers and ten cells
        for (QWidget* w :
             {static_cast<QWidget*>(controls(*form).findNickButton), static_cast<QWidget*>(controls(*form).keyboardBox),
              static_cast<QWidget*>(controls(*form).exploredLabel)})
            QVERIFY2(w->mapTo(form.get(), QPoint(w->width(), w->height())).x() <= 1024, qPrintable(w->objectName()));
    }

    // A login too long for any game must not leave a blank game tab.
    void anOverlongLoginIsRefusedWithAMessage()
    {
        QVERIFY(fx.writeUserDat({.login = QByteArray(300, 'h'), .autoLogin = true}));
        auto form = fx.make();
        QVERIFY(form->startupProblems().join(QLatin1Char(' ')).contains(QStringLiteral("длиннее 255")));
    }

    // A folder where user.dat cannot be written must not make the program impossible to close.
    void closeStillClosesWhenTheSettingsCannotBeWritten()
    {
        auto form = fx.shown();
        QVERIFY(form);
        QFile::remove(file("user.dat"));
        QVERIFY(QDir(fx.dir->path()).mkdir(QStringLiteral("user.dat"))); // nothing can replace it
        prompts->answers = {UserPrompts::Answer::No};
        QVERIFY(form->close());
        QCOMPARE(prompts->errors.size(), 1);
        QVERIFY(prompts->errors[0].contains(QStringLiteral("user.dat")));
    }

    // Closing must not throw away maps that could not be written.
    void closeQueryYesKeepsTheWindowWhenAMapCannotBeSaved()
    {
        auto form = fx.shown();
        QVERIFY(form);
        QVERIFY(QFile::setPermissions(file("map3.map"), QFile::ReadOwner | QFile::ReadOther));
        QFile::remove(file("user.dat"));
        prompts->answers = {UserPrompts::Answer::Yes};
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QCOMPARE(prompts->errors.size(), 1);
        QVERIFY(prompts->errors[0].contains(QStringLiteral("map3.map")));
        QVERIFY(!prompts->errors[0].contains(QStringLiteral("map1.map")));
        QCOMPARE(QFileInfo(file("map3.map")).size(), qint64(0));
        QCOMPARE(QFileInfo(file("map1.map")).size(), kMapSizes[0]);
        QVERIFY(!QFile::exists(file("user.dat")));
        // The user frees the file and answers No: the window closes.
        prompts->answers = {UserPrompts::Answer::No};
        QVERIFY(form->close());
    }

    void saveButtonWritesTheMapsAndReportsFailures()
    {
        auto form = fx.active();
        QVERIFY(form);
        form->atlas().cell(20, 16, 100, 100)->Object = 'd';
        controls(*form).sidePanel->ensureWidgetVisible(controls(*form).saveMapsButton);
        person::click(controls(*form).sidePages->tabButton(0)); // "Настройки"
        QTRY_VERIFY(controls(*form).saveMapsButton->isVisible());
        person::click(controls(*form).saveMapsButton);
        QCOMPARE(QFileInfo(file("map3.map")).size(), kMapSizes[2]);
        QVERIFY(prompts->errors.isEmpty());
        QVERIFY(QFile::setPermissions(file("map.crd"), QFile::ReadOwner));
        person::click(controls(*form).saveMapsButton);
        QCOMPARE(prompts->errors.size(), 1);
        QVERIFY(prompts->errors[0].contains(QStringLiteral("map.crd")));
    }

    void aFolderWithoutFilesStillBuildsTheWindowAndTellsOnce()
    {
        auto form = fx.make({}, fx.dir->filePath(QStringLiteral("missing/folder")));
        QCOMPARE(controls(*form).mapGrid->rowCount(), 31);
        QCOMPARE(controls(*form).exploredLabel->text(), QStringLiteral("Процент открытия уровня: 0%"));
        QCOMPARE(controls(*form).addressBox->currentText(), kServer + QStringLiteral("/login.php"));
        QTRY_COMPARE(prompts->errors.size(), 1);
        QVERIFY(prompts->errors[0].contains(QStringLiteral("user.dat")));
        QVERIFY(prompts->errors[0].contains(QStringLiteral("map.crd")));
        QTest::qWait(50);
        QCOMPARE(prompts->errors.size(), 1);
    }

    // Its size, its place and the splitters as the player left them come back at the next start; the side panel
    // opens on «Настройки», where the level shown is.
    void theWindowKeepsItsShapeAcrossARestart()
    {
        auto form = fx.make();
        QCOMPARE(controls(*form).sidePages->activePageIndex(), 0);
        form->resize(1000, 700);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const int gridWidth = controls(*form).mapGrid->width();
        person::drag(controls(*form).mapSplitter, QPoint(-120, 0));
        QTRY_COMPARE(controls(*form).mapGrid->width(), gridWidth + 120);
        person::drag(controls(*form).bottomSplitter, QPoint(0, -30));
        const int bottom = controls(*form).bottomPanel->height();
        prompts->answers = {UserPrompts::Answer::No};
        QVERIFY(form->close());
        form.reset();
        auto again = fx.make();
        again->show();
        QVERIFY(QTest::qWaitForWindowExposed(again.get()));
        QCOMPARE(again->size(), QSize(1000, 700));
        QTRY_COMPARE(controls(*again).mapGrid->width(), gridWidth + 120);
        QCOMPARE(controls(*again).bottomPanel->height(), bottom);
    }

    void splitterClickCollapsesAndRestoresDragResizes()
    {
        auto form = fx.shown();
        QVERIFY(form);
        const int gridWidth = controls(*form).mapGrid->width();
        QVERIFY(gridWidth > 5);
        person::click(controls(*form).mapSplitter);
        QTRY_COMPARE(controls(*form).mapGrid->width(), 5);
        QCOMPARE(
            form->findChild<ClickSplitter*>(QStringLiteral("MainSplitter"))->savedSize(controls(*form).mapSplitter),
            gridWidth);
        person::click(controls(*form).mapSplitter);
        QTRY_COMPARE(controls(*form).mapGrid->width(), gridWidth);

        person::drag(controls(*form).mapSplitter, QPoint(-40, 0));
        QTRY_COMPARE(controls(*form).mapGrid->width(), gridWidth + 40);
        QVERIFY(!form->findChild<ClickSplitter*>(QStringLiteral("MainSplitter"))->dragging());
        // After a drag the next click collapses again and restores the dragged width.
        person::click(controls(*form).mapSplitter);
        QTRY_COMPARE(controls(*form).mapGrid->width(), 5);
        person::click(controls(*form).mapSplitter);
        QTRY_COMPARE(controls(*form).mapGrid->width(), gridWidth + 40);

        const int sideWidth = controls(*form).sidePanel->width();
        person::click(controls(*form).sidePanelSplitter);
        QTRY_COMPARE(controls(*form).sidePanel->width(), 5);
        person::click(controls(*form).sidePanelSplitter);
        QTRY_COMPARE(controls(*form).sidePanel->width(), sideWidth);

        const int bottomHeight = controls(*form).bottomPanel->height();
        person::click(controls(*form).bottomSplitter);
        QTRY_COMPARE(controls(*form).bottomPanel->height(), 5);
        person::click(controls(*form).bottomSplitter);
        QTRY_COMPARE(controls(*form).bottomPanel->height(), bottomHeight);
        person::drag(controls(*form).bottomSplitter, QPoint(0, -20));
        QTRY_COMPARE(controls(*form).bottomPanel->height(), bottomHeight + 20);
    }
};

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
