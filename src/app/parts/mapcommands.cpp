#include "mapcommands.h"

#include "app/folder/mapedits.h"
#include "app/parts/controlnames.h"
#include "map/marks.h"
#include "map/objects.h"
#include "map/selection.h"
#include "mapview/mapgrid.h"
#include "ui/prompts.h"
#include "ui/qtcodec.h"

#include <QAction>
#include <QMenu>

namespace veldor {

MapCommands::MapCommands(QWidget* window) : QObject(window), m_window(window)
{
    Controls& ui = m_ui;
    ui.cellMenu = submenu(window, "cellMenu", QString());
    ui.wayHereAction = item(ui.cellMenu, "wayHereAction", QStringLiteral("Проложить путь сюда"));
    ui.wayToMemberAction = item(ui.cellMenu, "wayToMemberAction", QStringLiteral("Путь к участнику"));
    ui.wayToMemberAction->setVisible(false);
    ui.cellMenu->addSeparator();
    ui.cellAddMenu = submenu(ui.cellMenu, "cellAddMenu", QStringLiteral("Добавить"));
    ui.addTrapAction = item(ui.cellAddMenu, "addTrapAction", QStringLiteral("Ловушку"));
    ui.addFlagAction = item(ui.cellAddMenu, "addFlagAction", QStringLiteral("Флаг"));
    ui.addDescentAction = item(ui.cellAddMenu, "addDescentAction", QStringLiteral("Спуск"));
    ui.addAscentAction = item(ui.cellAddMenu, "addAscentAction", QStringLiteral("Подъем"));
    ui.addExitAction = item(ui.cellAddMenu, "addExitAction", QStringLiteral("Выход"));
    ui.chestMenu = submenu(ui.cellAddMenu, "chestMenu", QStringLiteral("Сундук"));
    ui.redChestAction = item(ui.chestMenu, "redChestAction", QStringLiteral("Красный"));
    ui.greenChestAction = item(ui.chestMenu, "greenChestAction", QStringLiteral("Зеленый"));
    ui.blueChestAction = item(ui.chestMenu, "blueChestAction", QStringLiteral("Синий"));
    ui.whiteChestAction = item(ui.chestMenu, "whiteChestAction", QStringLiteral("Белый"));
    ui.ironChestAction = item(ui.chestMenu, "ironChestAction", QStringLiteral("Железный"));
    ui.goldChestAction = item(ui.chestMenu, "goldChestAction", QStringLiteral("Золотой"));
    ui.cellAddMenu->addMenu(ui.chestMenu);
    ui.addMarkerAction = item(ui.cellAddMenu, "addMarkerAction", QStringLiteral("Маркер"));
    ui.cellMenu->addMenu(ui.cellAddMenu);
    ui.clearCellAction = item(ui.cellMenu, "clearCellAction", QStringLiteral("Очистить"));
}

void MapCommands::connectTo(Work work)
{
    m_work = std::move(work);
    connect(m_work.grid, &MapGrid::cellHovered, this, [this](int c, int r) { m_cell = {c, r}; });
    connect(m_work.grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_ui.cellMenu->popup(m_work.grid->viewport()->mapToGlobal(pos)); });
    const struct
    {
        QAction* action;
        const char* name;
        bool (*mark)(Atlas&, unsigned, int, int, int);
    } marks[] = {{m_ui.addTrapAction, "ловушка в %1x%2", AddTrap},
                 {m_ui.addFlagAction, "флаг в %1x%2", AddFlag},
                 {m_ui.addDescentAction, "спуск в %1x%2", AddDescent},
                 {m_ui.addAscentAction, "подъем в %1x%2", AddAscent},
                 {m_ui.addExitAction, "выход в %1x%2", AddExit},
                 {m_ui.clearCellAction, "очистка клетки %1x%2", ClearCell}};
    for (const auto& m : marks)
        connect(m.action, &QAction::triggered, this,
                [this, name = QString::fromUtf8(m.name), mark = m.mark] { markCell(name, mark); });
    const std::pair<QAction*, char> chests[] = {
        {m_ui.redChestAction, Obj::RedChest},   {m_ui.greenChestAction, Obj::GreenChest},
        {m_ui.blueChestAction, Obj::BlueChest}, {m_ui.whiteChestAction, Obj::WhiteChest},
        {m_ui.ironChestAction, Obj::IronChest}, {m_ui.goldChestAction, Obj::GoldChest}};
    for (const auto& [action, code] : chests)
        connect(action, &QAction::triggered, this, [this, code = code] { addChest(code); });
    connect(m_ui.addMarkerAction, &QAction::triggered, this, &MapCommands::addMarker);
    connect(m_ui.wayHereAction, &QAction::triggered, this, [this] { emit wayAsked(m_cell); });
    // The figure's own item, named after the teammate standing there.
    connect(m_ui.cellMenu, &QMenu::aboutToShow, this, [this] {
        const QStringList here = m_work.teammatesAt ? m_work.teammatesAt(m_cell) : QStringList();
        m_ui.wayToMemberAction->setVisible(!here.isEmpty());
        if (!here.isEmpty()) {
            m_ui.wayToMemberAction->setText(QStringLiteral("Путь к участнику «%1»").arg(here.front()));
            m_ui.wayToMemberAction->setData(here.front());
        }
    });
    connect(m_ui.wayToMemberAction, &QAction::triggered, this,
            [this] { emit wayToMemberAsked(m_ui.wayToMemberAction->data().toString()); });
}

void MapCommands::edit(unsigned lab, const QString& name, const std::function<bool()>& change)
{
    bool done = false;
    m_work.edits->run(lab, name, [&] { done = change(); });
    if (done)
        emit changed(lab);
}

void MapCommands::markCell(const QString& name, const std::function<bool(Atlas&, unsigned, int, int, int)>& mark)
{
    const unsigned lab = m_work.lab();
    const int level = m_work.level();
    const QPoint cell = m_cell;
    edit(lab, name.arg(cell.x()).arg(cell.y()), [&] { return mark(*m_work.atlas, lab, level, cell.x(), cell.y()); });
    emit cellEdited({lab, level, cell.x(), cell.y()});
}

void MapCommands::addChest(char code)
{
    const ObjectKind* kind = FindObjectKind(code);
    markCell((kind ? fromUtf8Text(kind->name).toLower() : QStringLiteral("сундук")) + QStringLiteral(" в %1x%2"),
             [code](Atlas& atlas, unsigned lab, int level, int x, int y) {
                 return SetChest(atlas, lab, level, x, y, code);
             });
}

void MapCommands::addMarker()
{
    const int side = LabSide(m_work.lab());
    if (side == 0 || m_cell.x() < 1 || m_cell.y() < 1 || m_cell.x() > side || m_cell.y() > side)
        return;
    QString text;
    if (!m_work.prompts->askText(m_window, QStringLiteral("Введите текст метки"), QStringLiteral("Текст:"), text))
        return;
    markCell(QStringLiteral("метка в %1x%2"),
             [text = toCp1251(text)](Atlas& atlas, unsigned lab, int level, int x, int y) {
                 return SetMarker(atlas, lab, level, x, y, text);
             });
}

void MapCommands::clearLabyrinth()
{
    const unsigned lab = m_work.lab();
    edit(lab, QStringLiteral("очистка карты «%1»").arg(fromUtf8Text(LabyrinthName(lab))), [&] {
        ClearLabyrinth(*m_work.atlas, lab);
        return true;
    });
}

void MapCommands::clearAllLabyrinths()
{
    emit clearingAll(true);
    edit(0, QStringLiteral("очистка всех карт"), [this] {
        for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab)
            ClearLabyrinth(*m_work.atlas, lab);
        return true;
    });
    emit clearingAll(false);
}

void MapCommands::clearList(ListKind kind)
{
    static const std::map<ListKind, std::pair<const char*, void (*)(Atlas&, unsigned)>> lists = {
        {ListKind::Exits, {"выходов", ClearExits}},
        {ListKind::Transitions, {"переходов", ClearTransitions}},
        {ListKind::Flags, {"флагов", ClearFlags}},
        {ListKind::Traps, {"ловушек", ClearTraps}}};
    const auto& [name, clear] = lists.at(kind);
    const unsigned lab = m_work.lab();
    edit(lab, QStringLiteral("очистка списка %1").arg(QString::fromUtf8(name)), [&, clear = clear] {
        clear(*m_work.atlas, lab);
        return true;
    });
}

} // namespace veldor
