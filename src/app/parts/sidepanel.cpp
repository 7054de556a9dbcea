#include "sidepanel.h"

#include "app/parts/controlnames.h"
#include "app/parts/pagecontrol.h"
#include "map/atlas.h"
#include "settings/settings.h"
#include "ui/qtcodec.h"

#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace veldor {
namespace {

QComboBox* dropDownList(const char* name, const QString& hint, QWidget* parent)
{
    auto* box = named(new QComboBox(parent), name, hint);
    box->setEditable(false);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(8);
    return box;
}

QVBoxLayout* pageLayout(QWidget* page)
{
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    return layout;
}

} // namespace

SidePanel::SidePanel(QWidget* parent) : QScrollArea(parent)
{
    Controls& ui = m_ui;
    setObjectName(QStringLiteral("sidePanel"));
    setWidgetResizable(true);
    setMinimumWidth(5);
    ui.sidePages = named(new PageControl, "sidePages");
    setWidget(ui.sidePages);
    buildSettingsPage();
    buildTravelPage();
    ui.sidePages->addPage(ui.settingsPage, QStringLiteral("Настройки"));
    ui.sidePages->addPage(ui.travelPage, QStringLiteral("Путешествие"));
    // "Настройки" first: it holds the labyrinth and the level shown.
    ui.sidePages->setActivePageIndex(0);
    FillTravelTables(m_travel);
    for (QComboBox* box : {ui.fromTownBox, ui.toTownBox, ui.speedBonusBox})
        connect(box, &QComboBox::activated, this, &SidePanel::showTravelTime);
    connect(ui.labyrinthBox, &QComboBox::activated, this,
            [this](int index) { emit labyrinthChosen(static_cast<unsigned>(index + 1)); });
    connect(ui.levelBox, &QComboBox::activated, this, &SidePanel::levelChosen);
    connect(ui.cellSizeSpin, &QSpinBox::valueChanged, this, &SidePanel::cellSizeChanged);
    for (QCheckBox* box : {ui.frontierBox, ui.passDoorsBox})
        connect(box, &QCheckBox::toggled, this, &SidePanel::mapSwitchesChanged);
    connect(ui.restorePanelsBox, &QCheckBox::toggled, this, &SidePanel::restorePanelsChanged);
    connect(ui.saveMapsButton, &QPushButton::clicked, this, &SidePanel::saveAsked);
    connect(ui.clearLabyrinthButton, &QPushButton::clicked, this, &SidePanel::clearLabyrinthAsked);
    connect(ui.clearAllMapsButton, &QPushButton::clicked, this, &SidePanel::clearAllAsked);
    connect(ui.squadBox, &QCheckBox::clicked, this, &SidePanel::squadSwitched);
    connect(ui.squadFolderButton, &QPushButton::clicked, this, &SidePanel::squadFolderAsked);
    connect(ui.squadNameButton, &QPushButton::clicked, this, &SidePanel::squadNameAsked);
    connect(ui.squadPlaceBox, &QCheckBox::clicked, this, &SidePanel::squadPlaceSwitched);
}

void SidePanel::showLabyrinth(unsigned lab)
{
    const long long index = static_cast<long long>(lab) - 1;
    m_ui.labyrinthBox->setCurrentIndex(index >= 0 && index < m_ui.labyrinthBox->count() ? static_cast<int>(index) : -1);
}

unsigned SidePanel::labyrinth() const
{
    return static_cast<unsigned>(m_ui.labyrinthBox->currentIndex() + 1);
}

void SidePanel::showLevel(int level)
{
    m_ui.levelBox->setCurrentIndex(level >= 0 && level < m_ui.levelBox->count() ? level : -1);
}

void SidePanel::markLevels(const std::vector<int>& levels)
{
    for (int level = 0; level < m_ui.levelBox->count(); ++level) {
        const bool crossed = std::find(levels.begin(), levels.end(), level) != levels.end();
        m_ui.levelBox->setItemData(level, crossed ? QVariant(QBrush(QColor(190, 215, 255))) : QVariant(),
                                   Qt::BackgroundRole);
    }
}

int SidePanel::cellSize() const
{
    return m_ui.cellSizeSpin->value();
}

void SidePanel::setCellSize(int size)
{
    m_ui.cellSizeSpin->setValue(std::clamp(size, m_ui.cellSizeSpin->minimum(), m_ui.cellSizeSpin->maximum()));
}

namespace {
// Each setting a check box shows, once: what user.dat sets at start and what is written back.
template <class Controls>
std::array<std::pair<QCheckBox*, bool Settings::*>, 4> settingBoxes(const Controls& ui)
{
    return {{{ui.passDoorsBox, &Settings::PassDoors},
             {ui.soundsBox, &Settings::PlaySounds},
             {ui.hidePanelsBox, &Settings::HidePanels},
             {ui.frontierBox, &Settings::ShowFrontier}}};
}
} // namespace

void SidePanel::showSwitches(const Settings& settings)
{
    for (const auto& [box, value] : settingBoxes(m_ui))
        box->setChecked(settings.*value);
}

void SidePanel::takeSwitches(Settings& settings) const
{
    for (const auto& [box, value] : settingBoxes(m_ui))
        settings.*value = box->isChecked();
}

bool SidePanel::passDoors() const
{
    return m_ui.passDoorsBox->isChecked();
}

bool SidePanel::playSounds() const
{
    return m_ui.soundsBox->isChecked();
}

bool SidePanel::hidePanels() const
{
    return m_ui.hidePanelsBox->isChecked();
}

bool SidePanel::restorePanels() const
{
    return m_ui.restorePanelsBox->isChecked();
}

void SidePanel::setRestorePanels(bool on)
{
    m_ui.restorePanelsBox->setChecked(on);
}

bool SidePanel::showFrontier() const
{
    return m_ui.frontierBox->isChecked();
}

bool SidePanel::exitRoute() const
{
    return m_ui.exitRouteBox->isChecked();
}

void SidePanel::setExitRoute(bool on)
{
    m_ui.exitRouteBox->setChecked(on);
}

void SidePanel::blockSaving(const QString& why)
{
    m_ui.saveMapsButton->setEnabled(false);
    m_ui.saveMapsButton->setToolTip(why);
}

void SidePanel::showClearingAll(bool underWay)
{
    m_ui.clearAllMapsButton->setText(underWay ? QStringLiteral("Производится очистка карт")
                                              : QStringLiteral("Очистить все карты"));
    if (underWay)
        m_ui.clearAllMapsButton->repaint();
}

void SidePanel::showSquad(bool on, const QString& folderName, bool showsPlace)
{
    m_ui.squadBox->setChecked(on);
    m_ui.squadPlaceBox->setChecked(showsPlace);
    m_ui.squadFolderButton->setText(folderName.isEmpty() ? QStringLiteral("…") : folderName);
}

void SidePanel::buildSettingsPage()
{
    QWidget* page = m_ui.settingsPage = named(new QWidget, "settingsPage");
    m_ui.labyrinthLabel = label("labyrinthLabel", QStringLiteral("Лабиринт:"), page);
    m_ui.labyrinthBox = dropDownList("labyrinthBox", QStringLiteral("Текущий лабиринт"), page);
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab)
        m_ui.labyrinthBox->addItem(fromUtf8Text(LabyrinthName(lab)));
    m_ui.labyrinthBox->setCurrentIndex(0);
    m_ui.levelLabel = label("levelLabel", QStringLiteral("Уровень:"), page);
    m_ui.levelBox = dropDownList("levelBox", QStringLiteral("Уровень"), page);
    for (int level = 0; level < kLevelCount; ++level)
        m_ui.levelBox->addItem(QString::number(level));
    m_ui.levelBox->setCurrentIndex(0);
    m_ui.cellSizeLabel = label("cellSizeLabel", QStringLiteral("Размер клетки:"), page);
    m_ui.cellSizeSpin = named(new QSpinBox(page), "cellSizeSpin", QStringLiteral("Размер клетки на карте"));
    m_ui.cellSizeSpin->setRange(10, 25);
    m_ui.cellSizeSpin->setValue(15);
    m_ui.cellSizeSpin->setKeyboardTracking(false);
    m_ui.cellSizeSpin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    // Only the arrows change the size; typing is off.
    if (auto* edit = m_ui.cellSizeSpin->findChild<QLineEdit*>())
        edit->setReadOnly(true);
    m_ui.passDoorsBox = named(new QCheckBox(QStringLiteral("Проходить через двери"), page), "passDoorsBox",
                              QStringLiteral("Разрешение прохождения дверей при ручном управлении"));
    m_ui.soundsBox = named(new QCheckBox(QStringLiteral("Проигрывать звуки"), page), "soundsBox",
                           QStringLiteral("Проигрывание звуков при событиях"));
    auto* hideRow = new QWidget(page);
    auto* hideLayout = new QGridLayout(hideRow);
    hideLayout->setContentsMargins(0, 0, 0, 0);
    hideLayout->setHorizontalSpacing(3);
    hideLayout->setVerticalSpacing(0);
    const QString hideHint = QStringLiteral("При вступлении в бой скрывать боковые панели");
    m_ui.hidePanelsBox = named(new QCheckBox(hideRow), "hidePanelsBox", hideHint);
    m_ui.hidePanelsLine1 = label("hidePanelsLine1", QStringLiteral("Скрывать панели при"), hideRow);
    m_ui.hidePanelsLine2 = label("hidePanelsLine2", QStringLiteral("начале боя"), hideRow);
    m_ui.hidePanelsLine1->setToolTip(hideHint);
    m_ui.hidePanelsLine2->setToolTip(hideHint);
    hideLayout->addWidget(m_ui.hidePanelsBox, 0, 0, 2, 1, Qt::AlignTop);
    hideLayout->addWidget(m_ui.hidePanelsLine1, 0, 1);
    hideLayout->addWidget(m_ui.hidePanelsLine2, 1, 1);
    m_ui.restorePanelsBox =
        named(new QCheckBox(QStringLiteral("…и возвращать после боя"), hideRow), "restorePanelsBox",
              QStringLiteral("Когда бой кончится и игра снова покажет лабиринт, скрытые боем панели вернутся (если вы "
                             "сами не открывали и не закрывали их)"));
    hideLayout->addWidget(m_ui.restorePanelsBox, 2, 0, 1, 2);
    hideLayout->setColumnStretch(1, 1);
    // Two lines, as the page is narrow; the caption reads as one.
    m_ui.frontierBox =
        named(new QCheckBox(QStringLiteral("Показывать путь к\nнеисследованному"), page), "frontierBox",
              QStringLiteral("Показывать на карте кратчайший путь к ближайшему проходу в неисследованную "
                             "клетку, в обход известных ловушек"));
    m_ui.saveMapsButton = named(new QPushButton(QStringLiteral("Сохранить карту"), page), "saveMapsButton",
                                QStringLiteral("Сохранить карты"));
    m_ui.clearLabyrinthButton = named(new QPushButton(QStringLiteral("Очистить карту"), page), "clearLabyrinthButton",
                                      QStringLiteral("Очистить текущую карту"));
    m_ui.clearAllMapsButton = named(new QPushButton(QStringLiteral("Очистить все карты"), page), "clearAllMapsButton",
                                    QStringLiteral("Очистить все карты"));
    m_ui.squadBox = named(new QCheckBox(QStringLiteral("Общая папка отряда:"), page), "squadBox",
                          QStringLiteral("Карты отряда в папке, которую синхронизирует Syncthing, Nextcloud и т. п."));
    m_ui.squadFolderButton = named(new QPushButton(QStringLiteral("…"), page), "squadFolderButton",
                                   QStringLiteral("Выбрать общую папку отряда"));
    m_ui.squadNameButton = named(new QPushButton(QStringLiteral("Имя в папке…"), page), "squadNameButton",
                                 QStringLiteral("Ваше имя в общей папке отряда (ваша папка в ней)"));
    m_ui.squadPlaceBox = named(
        new QCheckBox(QStringLiteral("Показывать отряду, где я"), page), "squadPlaceBox",
        QStringLiteral("Отряд видит на своих картах, где вы стоите. Выключено — видит только открытые вами клетки"));
    m_ui.squadPlaceBox->setChecked(true);
    m_ui.exitRouteBox = named(new QCheckBox(QStringLiteral("показывать путь к выходу"), page), "exitRouteBox");
    m_ui.exitRouteBox->setVisible(false);
    QVBoxLayout* layout = pageLayout(page);
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_ui.labyrinthLabel, m_ui.labyrinthBox, m_ui.levelLabel, m_ui.levelBox, m_ui.cellSizeLabel,
             m_ui.cellSizeSpin, m_ui.passDoorsBox, m_ui.soundsBox, hideRow, m_ui.frontierBox, m_ui.saveMapsButton,
             m_ui.clearLabyrinthButton, m_ui.clearAllMapsButton, m_ui.squadBox, m_ui.squadFolderButton,
             m_ui.squadNameButton, m_ui.squadPlaceBox, m_ui.exitRouteBox})
        layout->addWidget(w);
    layout->addStretch(1);
}

void SidePanel::buildTravelPage()
{
    QWidget* page = m_ui.travelPage = named(new QWidget, "travelPage");
    m_ui.fromTownLabel = label("fromTownLabel", QStringLiteral("Из"), page);
    m_ui.fromTownBox = dropDownList("fromTownBox", QString(), page);
    m_ui.toTownLabel = label("toTownLabel", QStringLiteral("В"), page);
    m_ui.toTownBox = dropDownList("toTownBox", QString(), page);
    for (int town = 0; town < kTownCount; ++town) {
        m_ui.fromTownBox->addItem(fromUtf8Text(TownName(town)));
        m_ui.toTownBox->addItem(fromUtf8Text(TownName(town)));
    }
    m_ui.fromTownBox->setCurrentIndex(0);
    m_ui.toTownBox->setCurrentIndex(0);
    m_ui.speedBonusLabel = label("speedBonusLabel", QStringLiteral("Со скоростью"), page);
    m_ui.speedBonusBox = dropDownList("speedBonusBox", QString(), page);
    for (int speed = -30; speed <= 30; ++speed)
        m_ui.speedBonusBox->addItem(QString::number(speed));
    m_ui.speedBonusBox->setCurrentIndex(30);
    m_ui.travelTimeLabel = label("travelTimeLabel", QString(), page);
    m_ui.travelTimeLabel->setWordWrap(true);
    QVBoxLayout* layout = pageLayout(page);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_ui.fromTownLabel, m_ui.fromTownBox, m_ui.toTownLabel, m_ui.toTownBox,
                                         m_ui.speedBonusLabel, m_ui.speedBonusBox, m_ui.travelTimeLabel})
        layout->addWidget(w);
    layout->addStretch(1);
}

void SidePanel::showTravelTime()
{
    m_ui.travelTimeLabel->setText(
        fromUtf8Text(TravelEstimateText(m_travel, m_ui.fromTownBox->currentIndex(), m_ui.toTownBox->currentIndex(),
                                        m_ui.speedBonusBox->currentIndex())));
}

} // namespace veldor
