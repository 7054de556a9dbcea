// The map grid in the window: cell drawing, hover hints, the popup marks, clearing and the list buttons.
#include "app/webengine_setup.h"
#include "app/window/mainwindow.h"
#include "formfixture.h"
#include "mapview/atlasoverview.h"
#include "mapview/cellpainter.h"
#include "mapview/levelpicture.h"
#include "mapview/mapgrid.h"
#include "mapview/mapicons.h"
#include "person.h"
#include "route/route.h"
#include "text/cp1251.h"
#include "windowcontrols.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace veldor;
using namespace veldor::test;

namespace {

const QRect kCell(10, 10, 15, 15); // L 10, T 10, R 25, B 25

QImage drawn(const CellInputs& in, const QRect& rect = kCell)
{
    static const MapIcons icons;
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(QColor(128, 128, 128));
    QPainter p(&image);
    PaintMapCell(p, rect, in, icons);
    p.end();
    return image;
}

QColor at(const QImage& img, int x, int y)
{
    return img.pixelColor(x, y);
}

} // namespace

class TestMapView : public QObject
{
    Q_OBJECT
    FormFixture fx;
    std::shared_ptr<ScriptedPrompts>& prompts = fx.prompts;

    std::unique_ptr<MainWindow> makeForm() { return fx.make(QStringLiteral("http://127.0.0.1:9")); }
    // At the front with the keyboard, for the tests that act as a person.
    std::unique_ptr<MainWindow> shownForm() { return fx.active({}, QSize(1200, 900), FormFixture::kNoServer); }

    static void hover(MainWindow& form, int col, int row)
    {
        person::hover(controls(form).mapGrid->viewport(), controls(form).mapGrid->cellRect(col, row).center());
    }

private slots:
    void init() { fx.reset(); }

    void unexploredEmptyCellShowsOnlyTheGround()
    {
        TMapCell cell{};
        const QImage img = drawn({&cell, false, false, 1, false});
        for (int x = 0; x < 60; ++x)
            for (int y = 0; y < 60; ++y)
                QCOMPARE(at(img, x, y), QColor(128, 128, 128));
    }

    void exploredCellsWallsAndDoors()
    {
        TMapCell open{1, 1, 1, 1, 1, 'n'};
        QImage img = drawn({&open, false, false, 1, false});
        QCOMPARE(at(img, 10, 10), QColor(Qt::black));
        QCOMPARE(at(img, 24, 24), QColor(Qt::black));
        QCOMPARE(at(img, 25, 17), QColor(128, 128, 128)); // nothing beyond the cell

        TMapCell walls{0, 0, 0, 0, 1, 'n'};
        img = drawn({&walls, false, false, 1, false});
        const QColor wall(206, 206, 0);
        QCOMPARE(at(img, 17, 10), wall); // north edge
        QCOMPARE(at(img, 17, 25), wall); // south edge
        QCOMPARE(at(img, 10, 17), wall); // west edge
        QCOMPARE(at(img, 25, 17), wall); // east edge
        QCOMPARE(at(img, 17, 17), QColor(Qt::black));
        QCOMPARE(at(img, 17, 13), QColor(Qt::black)); // width 2 leaves the middle black

        TMapCell door{1, 1, 1, 4, 1, 'n'};
        img = drawn({&door, false, false, 1, false});
        for (int x : {24, 25, 26})
            QCOMPARE(at(img, x, 17), QColor(255, 0, 0)); // pen width 3 along the right edge
        QCOMPARE(at(img, 17, 10), QColor(Qt::black));

        for (int code = 2; code <= 8; ++code) {
            TMapCell d{static_cast<std::uint8_t>(code), 1, 1, 1, 1, 'n'};
            QCOMPARE(at(drawn({&d, false, false, 1, false}), 17, 10), kSideColours[static_cast<std::size_t>(code)]);
        }
    }

    // The red corner of a marker shows on every cell: walked ones are where players set them.
    void markerShowsOnEveryCell()
    {
        TMapCell unexplored{};
        QImage img = drawn({&unexplored, true, false, 1, false});
        QCOMPARE(at(img, 11, 11), QColor(255, 0, 0));
        QCOMPARE(at(img, 10, 10), QColor(Qt::white)); // outlined, to be seen on red doors and black cells
        QCOMPARE(at(img, 16, 10), QColor(128, 128, 128));
        TMapCell explored{1, 1, 1, 1, 1, 'n'};
        img = drawn({&explored, true, false, 1, false});
        QCOMPARE(at(img, 11, 11), QColor(255, 0, 0));
        QCOMPARE(at(img, 20, 20), QColor(Qt::black));
        // Without a labyrinth the marker and the player are still drawn.
        img = drawn({nullptr, true, false, 0, true});
        QCOMPARE(at(img, 11, 11), QColor(255, 0, 0));
        QVERIFY(at(img, 13, 3 + 10) != QColor(128, 128, 128));
    }

    void iconsOverflowSmallCells()
    {
        TMapCell trap{1, 1, 1, 1, 0, 'L'};
        const QImage img = drawn({&trap, false, false, 1, false}, QRect(10, 10, 10, 10));
        // The trap icon (an eye, 15 pixels wide) reaches five pixels beyond a cell of size 10.
        bool beyond = false;
        for (int x = 20; x < 25; ++x)
            beyond |= at(img, x, 17) != QColor(128, 128, 128);
        QVERIFY(beyond);
        TMapCell none{1, 1, 1, 1, 0, 'n'};
        QCOMPARE(at(drawn({&none, false, false, 1, false}), 17, 17), QColor(128, 128, 128));
    }

    void pathDotsTakeTheGroupColour()
    {
        TMapCell cell{1, 1, 1, 1, 1, 'n'};
        QCOMPARE(at(drawn({&cell, false, true, 1, false}), 17, 17), QColor(206, 206, 0));
        QCOMPARE(at(drawn({&cell, false, true, 3, false}), 17, 17), QColor(206, 206, 0));
        QCOMPARE(at(drawn({&cell, false, true, 2, false}), 17, 17), QColor(232, 232, 0));
        QCOMPARE(at(drawn({&cell, false, true, 2, false}), 16, 17), QColor(Qt::black)); // one pixel
        TMapCell unexplored{};
        QCOMPARE(at(drawn({&unexplored, false, true, 2, false}), 17, 17), QColor(128, 128, 128));
    }

    void everyObjectHasItsIcon()
    {
        const MapIcons icons;
        QList<QImage> pictures;
        for (char code : std::string("ErudLMF123456")) {
            const int index = MapIcons::forObject(code);
            QVERIFY(index >= 0);
            QCOMPARE(icons.icon(index).size(), QSize(15, 15));
            const QImage picture = icons.icon(index).toImage();
            QVERIFY(!pictures.contains(picture)); // no two objects look alike
            pictures << picture;
        }
        QCOMPARE(MapIcons::forObject('n'), -1);
        QCOMPARE(MapIcons::forObject(0), -1);
        QCOMPARE(icons.icon(MapIcons::Player).size(), QSize(15, 15));
    }

    // The legend's trap and flag are the pixels the map grid paints for them.
    void theLegendIsTheGridsOwnPainting()
    {
        const MapIcons icons;
        auto atlas = std::make_unique<Atlas>();
        MapGrid grid;
        grid.setColCount(4);
        grid.setRowCount(2);
        const auto entries = LegendEntries();
        for (const char code : {'L', 'F'}) {
            const auto entry = std::find_if(entries.begin(), entries.end(),
                                            [code](const LegendEntry& e) { return e.cell.Object == code; });
            QVERIFY(entry != entries.end());
            *atlas->cell(1, 0, 1, 1) = entry->cell;
            const QImage painted = grid.wholeImage([&](QPainter& p, int col, int row, const QRect& r) {
                CellInputs in;
                in.cell = atlas->cell(1, 0, col, row);
                in.group = 1;
                PaintMapCell(p, r, in, icons);
            });
            const QImage cell =
                painted.copy(grid.defaultColWidth() + 1, grid.defaultRowHeight() + 1, kLegendCell, kLegendCell);
            QCOMPARE(LegendPicture(*entry, icons).copy(kLegendMargin, kLegendMargin, kLegendCell, kLegendCell), cell);
        }
    }

    void thePlayerIsDrawnOnlyOnceAPositionIsKnown()
    {
        fx.reservePort();
        auto form = fx.active(UserDat{}, QSize(1200, 900));
        QVERIFY(form);
        auto orangeIn = [&](int col, int row) {
            const QImage img = controls(*form).mapGrid->viewport()->grab().toImage();
            const QRect r = controls(*form).mapGrid->cellRect(col, row);
            for (int x = r.left(); x <= r.right(); ++x)
                for (int y = r.top(); y <= r.bottom(); ++y)
                    if (img.pixelColor(x, y) == QColor(255, 140, 0))
                        return true;
            return false;
        };
        QVERIFY(!orangeIn(3, 3));
        QVERIFY(fx.playerAt(*form, {0, 3, 3}));
        QTRY_VERIFY(orangeIn(3, 3));
        QVERIFY(fx.pick(*form, controls(*form).levelBox, 2));
        QVERIFY(!orangeIn(3, 3)); // the player stands on level 0, not on the level shown
    }

    // The symbols follow Ctrl and the wheel: inside a cell of 10 pixels, filling one of 25.
    void iconsScaleWithTheCellSize()
    {
        fx.reservePort();
        auto form = fx.active(UserDat{}, QSize(1200, 900));
        QVERIFY(form);
        QVERIFY(fx.playerAt(*form, {0, 3, 3}));
        MapGrid* grid = controls(*form).mapGrid;
        const auto orangeReach = [&] { // how far right and down of the cell's corner the figure is drawn
            QTest::qWait(50);
            const QImage img = grid->viewport()->grab().toImage();
            const QRect r = grid->cellRect(3, 3);
            QPoint reach(-1, -1);
            for (int x = r.left(); x < r.left() + 30; ++x)
                for (int y = r.top(); y < r.top() + 30; ++y)
                    if (img.pixelColor(x, y) == QColor(255, 140, 0))
                        reach = {std::max(reach.x(), x - r.left()), std::max(reach.y(), y - r.top())};
            return reach;
        };
        QTRY_VERIFY(orangeReach().y() >= 0);
        person::wheel(grid->viewport(), grid->cellRect(3, 3).center(), -120 * 5, Qt::ControlModifier);
        QCOMPARE(controls(*form).cellSizeSpin->value(), 10);
        QVERIFY2(orangeReach().y() < 8, qPrintable(QString::number(orangeReach().y()))); // 9 at full size
        person::wheel(grid->viewport(), grid->cellRect(3, 3).center(), 120 * 15, Qt::ControlModifier);
        QCOMPARE(controls(*form).cellSizeSpin->value(), 25);
        QVERIFY(orangeReach().y() > 12);
    }

    // The overview's small pictures: explored or not, a door along its side, an object's dot, a marker's pixel.
    void smallPicturesShowCellsDoorsAndDots()
    {
        auto owned = std::make_unique<Atlas>(); // too big for the stack
        Atlas& atlas = *owned;
        *atlas.cell(1, 2, 2, 1) = TMapCell{1, 1, 1, 2, 1, 'L'}; // a trap, a red door east
        atlas.cell(1, 2, 1, 2)->Explored = 1;
        atlas.setMarkText(1, 2, 3, 3, "x");
        const QImage img = AtlasOverview::paintLevel(atlas, 1, 2, 4);
        QCOMPARE(img.size(), QSize(LabSide(1) * 4, LabSide(1) * 4));
        const struct
        {
            QPoint at;
            QColor colour;
        } rows[] = {
            {{1, 1}, QColor(128, 128, 128)},            // unexplored
            {{1, 5}, Qt::black},                        // explored, nothing on it
            {{4, 2}, Qt::black},                        // the trap's cell around its dot
            {{5, 1}, MapIcons::colour(MapIcons::Trap)}, // the dot
            {{7, 1}, kSideColours[2]},                  // the door on its side
            {{8, 8}, QColor(255, 0, 0)},                // the marker
        };
        for (const auto& row : rows)
            QVERIFY2(img.pixelColor(row.at) == row.colour,
                     qPrintable(QStringLiteral("%1,%2").arg(row.at.x()).arg(row.at.y())));
    }

    void hoverHints()
    {
        auto form = makeForm();
        form->resize(1200, 900);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->atlas().cell(1, 0, 12, 7)->Object = 'F';
        form->atlas().setMarkText(1, 0, 12, 7, cp1251::fromUtf8(u8"клад")); // kept in Windows-1251
        form->atlas().cell(1, 0, 3, 4)->Object = 'n';
        hover(*form, 12, 7);
        QCOMPARE(controls(*form).mapGrid->toolTip(), QStringLiteral("12x7\rклад\rФлаг"));
        QCOMPARE(controls(*form).mapGrid->hovered(), QPoint(12, 7));
        QCOMPARE(controls(*form).mapGrid->col(), 12);
        hover(*form, 3, 4);
        QCOMPARE(controls(*form).mapGrid->toolTip(), QStringLiteral("3x4"));
        // Header cells and the empty ground beyond the last cell change nothing.
        hover(*form, 0, 5);
        hover(*form, 6, 0);
        person::hover(controls(*form).mapGrid, QPoint(1, 1)); // the grid's frame, outside every cell
        QCOMPARE(controls(*form).mapGrid->toolTip(), QStringLiteral("3x4"));
        QCOMPARE(controls(*form).mapGrid->hovered(), QPoint(3, 4));
        // The cell the reader selected: hovering it changes nothing.
        controls(*form).mapGrid->setCurrentCell(5, 5);
        hover(*form, 5, 5);
        QCOMPARE(controls(*form).mapGrid->toolTip(), QStringLiteral("3x4"));
        QCOMPARE(controls(*form).mapGrid->hovered(), QPoint(3, 4));
        // A right click there acts on it all the same.
        person::click(controls(*form).mapGrid->viewport(), controls(*form).mapGrid->cellRect(5, 5).center(),
                      Qt::RightButton);
        QTRY_VERIFY(person::shownPopup());
        QCOMPARE(controls(*form).mapGrid->hovered(), QPoint(5, 5));
        person::shownPopup()->close();
        // Every object has its name.
        form->atlas().cell(1, 0, 8, 8)->Object = '5';
        hover(*form, 8, 8);
        QCOMPARE(controls(*form).mapGrid->toolTip(), QStringLiteral("8x8\rЖелезный сундук"));
    }

    void popupMarksActOnTheHoveredCell()
    {
        auto form = shownForm();
        QVERIFY(form);
        const QString add = QStringLiteral("Добавить");
        MapGrid* grid = controls(*form).mapGrid;
        // Nothing hovered yet: a right click on the corner, outside every cell, marks nothing.
        person::click(grid->viewport(), grid->cellRect(0, 0).center(), Qt::RightButton);
        QTRY_VERIFY(person::shownPopup());
        QVERIFY(person::choose(person::shownPopup(), {add, QStringLiteral("Ловушку")}));
        QVERIFY(controls(*form).trapsList->toPlainText().isEmpty());
        QVERIFY(fx.pick(*form, controls(*form).levelBox, 2));
        QVERIFY(fx.markCell(*form, 5, 7, {add, QStringLiteral("Спуск")}));
        QCOMPARE(form->atlas().cell(1, 2, 5, 7)->Object, 'd');
        QCOMPARE(form->atlas().cell(1, 3, 5, 7)->Object, 'u');
        QCOMPARE(controls(*form).transitionsList->toPlainText(), QStringLiteral("L-2(5x7); "));
        QVERIFY(fx.markCell(*form, 6, 7, {add, QStringLiteral("Ловушку")}));
        QVERIFY(fx.markCell(*form, 6, 7, {add, QStringLiteral("Ловушку")}));
        QCOMPARE(controls(*form).trapsList->toPlainText(), QStringLiteral("L-2(6x7); "));
        // A white chest over the trap: the list keeps it.
        QVERIFY(fx.markCell(*form, 6, 7, {add, QStringLiteral("Сундук"), QStringLiteral("Белый")}));
        QCOMPARE(form->atlas().cell(1, 2, 6, 7)->Object, '4');
        QVERIFY(fx.markCell(*form, 6, 7, {add, QStringLiteral("Выход")})); // no exits on level 2
        QCOMPARE(form->atlas().cell(1, 2, 6, 7)->Object, '4');

        prompts->textAnswers = {QStringLiteral("тайник")};
        QVERIFY(fx.markCell(*form, 6, 7, {add, QStringLiteral("Маркер")}));
        QCOMPARE(prompts->textCaptions, QStringList{QStringLiteral("Введите текст метки")});
        QCOMPARE(form->atlas().markText(1, 2, 6, 7), std::string("\xF2\xE0\xE9\xED\xE8\xEA")); // Windows-1251
        QVERIFY(fx.markCell(*form, 6, 7, {add, QStringLiteral("Маркер")})); // cancelled: the marker stays
        QCOMPARE(form->atlas().markText(1, 2, 6, 7), std::string("\xF2\xE0\xE9\xED\xE8\xEA"));
        QVERIFY(fx.markCell(*form, 6, 7, {QStringLiteral("Очистить")}));
        QVERIFY(form->atlas().markText(1, 2, 6, 7).empty());
        QCOMPARE(form->atlas().cell(1, 2, 6, 7)->Object, 'n');
        QVERIFY(fx.markCell(*form, 5, 7, {QStringLiteral("Очистить")}));
        QVERIFY(controls(*form).transitionsList->toPlainText().isEmpty());
        QCOMPARE(form->atlas().cell(1, 3, 5, 7)->Object, 'n');
    }

    void listButtonsAndClipboard()
    {
        auto form = shownForm();
        QVERIFY(form);
        Atlas& atlas = form->atlas();
        AppendEntry(*atlas.levelLists(1, 0), ListKind::Exits, PositionEntry(0, 1, 2));
        AppendEntry(*atlas.levelLists(1, 9), ListKind::Exits, PositionEntry(9, 3, 4));
        atlas.cell(1, 0, 1, 2)->Object = 'E';
        for (int level = 0; level < 3; ++level) {
            atlas.cell(1, level, 7, 7)->Object = 'L';
            AppendEntry(*atlas.levelLists(1, level), ListKind::Traps, PositionEntry(level, 7, 7));
        }
        QVERIFY(fx.pick(*form, controls(*form).labyrinthBox, 0));
        QCOMPARE(controls(*form).exitsList->toPlainText(), QStringLiteral("L-0(1x2); L-9(3x4); "));
        person::click(controls(*form).copyExitsButton);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Выходы: L-0(1x2); L-9(3x4); "));
        person::click(controls(*form).copyFlagsButton);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Флаги: "));
        person::click(controls(*form).clearTrapsButton);
        QVERIFY(controls(*form).trapsList->toPlainText().isEmpty());
        QCOMPARE(atlas.cell(1, 2, 7, 7)->Object, 'n');
        person::click(controls(*form).clearExitsButton);
        QVERIFY(controls(*form).exitsList->toPlainText().isEmpty());
        QCOMPARE(atlas.cell(1, 0, 1, 2)->Object, 'n');
    }

    void clearingButtons()
    {
        auto form = shownForm();
        QVERIFY(form);
        Atlas& atlas = form->atlas();
        for (unsigned lab : {1u, 3u, 7u}) {
            atlas.cell(lab, 0, 2, 2)->Explored = 1;
            AppendEntry(*atlas.levelLists(lab, 0), ListKind::Flags, PositionEntry(0, 2, 2));
        }
        QVERIFY(fx.pick(*form, controls(*form).labyrinthBox, 2));
        QCOMPARE(controls(*form).flagsList->toPlainText(), QStringLiteral("L-0(2x2); "));
        QVERIFY(fx.clickSide(*form, controls(*form).clearLabyrinthButton));
        QCOMPARE(atlas.cell(3, 0, 2, 2)->Explored, std::uint8_t(0));
        QVERIFY(controls(*form).flagsList->toPlainText().isEmpty());
        QCOMPARE(atlas.cell(1, 0, 2, 2)->Explored, std::uint8_t(1));
        QCOMPARE(MemoText(atlas, 1, ListKind::Flags), std::string("L-0(2x2); ")); // other labyrinths keep theirs
        QVERIFY(fx.clickSide(*form, controls(*form).clearAllMapsButton));
        QCOMPARE(controls(*form).clearAllMapsButton->text(), QStringLiteral("Очистить все карты"));
        QCOMPARE(controls(*form).labyrinthBox->currentIndex(), 2); // the labyrinth shown stays
        QCOMPARE(atlas.cell(7, 0, 2, 2)->Explored, std::uint8_t(0));
        QVERIFY(MemoText(atlas, 1, ListKind::Flags).empty());
        QCOMPARE(atlas.cell(20, 16, 100, 100)->Object, 'n');
    }

    void gridSizePerLabyrinth_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("size");
        QTest::newRow("1") << 0 << 31;
        QTest::newRow("7") << 6 << 41;
        QTest::newRow("13") << 12 << 41;
        QTest::newRow("14") << 13 << 101;
        QTest::newRow("20") << 19 << 101;
    }
    void gridSizePerLabyrinth()
    {
        QFETCH(int, index);
        QFETCH(int, size);
        auto form = shownForm();
        QVERIFY(form);
        QVERIFY(fx.pick(*form, controls(*form).labyrinthBox, index));
        QCOMPARE(controls(*form).mapGrid->rowCount(), size);
        QCOMPARE(controls(*form).mapGrid->colCount(), size);
        QCOMPARE(controls(*form).mapGrid->cellText(size - 1, 0), QString::number(size - 1));
    }

    // "Проложить путь сюда" from the map's popup: the way's length beside the position, its line on the map;
    // Escape over the map takes it away. "Путь сюда" on a search result does the same.
    void aWayToAChosenCell()
    {
        fx.reservePort();
        auto form = fx.active(UserDat{}, QSize(1200, 900));
        QVERIFY(form);
        for (int x = 2; x <= 8; ++x) {
            form->atlas().cell(1, 0, x, 3)->Explored = 1;
            if (x > 2)
                test::openPassage(form->atlas(), 1, 0, x - 1, 3, x, 3, 1);
        }
        QVERIFY(fx.playerAt(*form, {0, 2, 3}));
        QVERIFY(fx.markCell(*form, 8, 3, {QStringLiteral("Проложить путь сюда")}));
        QTRY_COMPARE(controls(*form).wayLabel->text(), QStringLiteral("Путь: 6 шагов"));
        QVERIFY(controls(*form).wayLabel->isVisible());
        const QImage map = controls(*form).mapGrid->viewport()->grab().toImage();
        QCOMPARE(map.pixelColor(controls(*form).mapGrid->cellRect(5, 3).center()), QColor(0, 90, 255));
        person::click(controls(*form).mapGrid->viewport(), controls(*form).mapGrid->cellRect(5, 5).center());
        QVERIFY(person::press(Qt::Key_Escape));
        QTRY_VERIFY(!controls(*form).wayLabel->isVisible());

        // "Путь сюда" on a search result.
        form->atlas().setMarkText(1, 0, 6, 3, "\xD2\xE0\xE9\xED\xE8\xEA"); // "Тайник"
        QVERIFY(fx.menu(*form, {QStringLiteral("Правка"), QStringLiteral("Найти на карте...")}));
        QTRY_VERIFY(qobject_cast<QLineEdit*>(person::focused()));
        QVERIFY(person::type(QStringLiteral("тайн")));
        auto* results = form->findChild<QTableWidget*>(QStringLiteral("SearchResults"));
        QTRY_COMPARE(results->rowCount(), 1);
        person::click(results->viewport(), results->visualItemRect(results->item(0, 0)).center(), Qt::RightButton);
        QTRY_VERIFY(person::shownPopup());
        QVERIFY(person::choose(person::shownPopup(), {QStringLiteral("Путь сюда")}));
        QTRY_COMPARE(controls(*form).wayLabel->text(), QStringLiteral("Путь: 4 шага"));
    }

    // A long answer and a message in the status bar move nothing in the strip below the browser: the way's text
    // has a line of its own, cut where it must be.
    void theStripKeepsItsShapeWhateverTheWaySays()
    {
        fx.reservePort();
        auto form = fx.active(UserDat{}, QSize(1100, 800));
        QVERIFY(form);
        form->atlas().cell(1, 0, 2, 3)->Explored = 1;
        QVERIFY(fx.playerAt(*form, {0, 2, 3}));
        const auto& ui = controls(*form);
        const auto place = [&](QWidget* w) { return QRect(w->mapTo(form.get(), QPoint(0, 0)), w->size()); };
        const QRect keys = place(ui.keyboardBox);
        const QRect traps = place(ui.trapsList);
        QVERIFY(fx.markCell(*form, 9, 9, {QStringLiteral("Проложить путь сюда")}));
        QTRY_COMPARE(ui.wayLabel->toolTip(), QStringLiteral("Пути нет: клетка 9x9 на уровне 0 не исследована"));
        QVERIFY(ui.wayLabel->isVisible());
        QVERIFY(fx.menu(*form, {QStringLiteral("Вид"), QStringLiteral("Путь к выходу")}));
        QTRY_VERIFY(ui.wayLabel->toolTip().startsWith(QStringLiteral("Пути нет: ни одного выхода")));
        form->statusBar()->showMessage(QStringLiteral("Отряд: папка не годится, карты не записаны"));
        QApplication::processEvents();
        QCOMPARE(place(ui.keyboardBox), keys);
        QCOMPARE(place(ui.trapsList), traps);
        QVERIFY(place(ui.wayLabel).right() <= place(ui.bottomPanel).right());
    }

    void theRouteIsComputedWhenTheOptionIsOn()
    {
        fx.reservePort();
        QVERIFY(writeAll(fx.file("veldor.ini"), "[map]\nexitRoute=true\n"));
        auto form = fx.active(UserDat{});
        QVERIFY(form);
        Atlas& atlas = form->atlas();
        for (int y = 10; y <= 12; ++y)
            atlas.cell(1, 0, 10, y)->Explored = 1;
        atlas.cell(1, 0, 10, 10)->South = atlas.cell(1, 0, 10, 11)->North = 1;
        atlas.cell(1, 0, 10, 11)->South = atlas.cell(1, 0, 10, 12)->North = 1;
        atlas.cell(1, 0, 10, 12)->Object = 'E';
        QVERIFY(controls(*form).exitRouteBox->isChecked());
        QVERIFY(form->route().ExitPath.empty());
        QVERIFY(fx.playerAt(*form, {0, 10, 10}));
        QCOMPARE(form->route().ExitPath, (std::vector<std::pair<int, int>>{{10, 10}, {10, 11}, {10, 12}}));
    }

    // With VELDOR_SCREENSHOTS set to a folder, saves a picture of a mapped level for the README.
    void screenshotOfAMappedLevel()
    {
        const QString folder = qEnvironmentVariable("VELDOR_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("VELDOR_SCREENSHOTS not set");
        fx.reservePort();
        QVERIFY(writeAll(fx.file("veldor.ini"), "[map]\nexitRoute=true\n"));
        auto form = fx.active(UserDat{}, QSize(1280, 900));
        QVERIFY(form);
        Atlas& atlas = form->atlas();
        for (int x = 2; x <= 16; ++x) {
            TMapCell* c = atlas.cell(1, 0, x, 2);
            c->Explored = 1;
            c->North = 0;
            c->South = x % 3 ? 0 : 1;
            c->West = x == 2 ? 0 : static_cast<std::uint8_t>(x >= 4 && x <= 10 ? x - 2 : 1);
            c->East = x == 16 ? 0 : static_cast<std::uint8_t>(x >= 3 && x <= 9 ? x - 1 : 1);
        }
        const char objects[] = "nLFr12345 6 Md E";
        for (int i = 0; i < 15; ++i)
            atlas.cell(1, 0, i + 2, 2)->Object = objects[i] == ' ' ? 'n' : objects[i];
        for (int y = 3; y <= 8; ++y) {
            TMapCell* c = atlas.cell(1, 0, 9, y);
            c->Explored = 1;
            c->North = 1;
            c->South = y == 8 ? 0 : 1;
            c->West = c->East = 0;
        }
        atlas.cell(1, 0, 9, 8)->Object = 'u';
        atlas.setMarkText(1, 0, 12, 5, cp1251::fromUtf8(u8"тайник"));
        QVERIFY(fx.playerAt(*form, {0, 9, 6}));
        controls(*form).mapGrid->viewport()->update();
        QTest::qWait(200);
        QVERIFY(form->grab().save(folder + QStringLiteral("/map.png")));
        QImage zoom = controls(*form).mapGrid->viewport()->grab(QRect(0, 0, 20 * 16, 10 * 16)).toImage();
        QVERIFY(zoom.scaled(zoom.size() * 3).save(folder + QStringLiteral("/map-zoom.png")));
    }
};

int main(int argc, char* argv[])
{
    veldor::prepareWebEngine();
    QApplication app(argc, argv);
    TestMapView test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mapview.moc"
