// The window's controls, their captions, hints and initial state.
#include "tform1.h"

#include "app/loginpanel.h"
#include "app/pagecontrol.h"
#include "browser/browsertabs.h"
#include "browser/pagepoller.h"
#include "browser/twebbrowser.h"
#include "map/atlas.h"
#include "mapview/clicksplitter.h"
#include "mapview/mapgrid.h"
#include "travel/travel.h"
#include "ui/qtcodec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace veldor {
namespace {

template <class W>
W* named(W* widget, const char* name, const QString& hint = {})
{
    widget->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty())
        widget->setToolTip(hint);
    return widget;
}

QLabel* label(const char* name, const QString& text, QWidget* parent)
{
    return named(new QLabel(text, parent), name);
}

QComboBox* dropDownList(const char* name, const QString& hint, QWidget* parent)
{
    auto* box = named(new QComboBox(parent), name, hint);
    box->setEditable(false);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(8);
    return box;
}

// One object list of the bottom strip: caption, the read-only memo and its "X" and "C" buttons.
QWidget* objectListGroup(QLabel*& caption, QPlainTextEdit*& memo, QPushButton*& clear, QPushButton*& copy,
                         const char* labelName, const QString& labelText, const char* memoName, const QString& memoHint,
                         const char* clearName, const char* copyName, QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(2, 0, 2, 0);
    grid->setSpacing(1);
    caption = label(labelName, labelText, box);
    memo = named(new QPlainTextEdit(box), memoName, memoHint);
    memo->setReadOnly(true);
    // Narrower on a small screen, never wider than the layout's 169 pixels.
    memo->setFixedHeight(25);
    memo->setMinimumWidth(60);
    memo->setMaximumWidth(169);
    memo->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette grey = memo->palette();
    grey.setColor(QPalette::Base, QColor(192, 192, 192));
    memo->setPalette(grey);
    clear = named(new QPushButton(QStringLiteral("X"), box), clearName, QStringLiteral("Очистить"));
    copy = named(new QPushButton(QStringLiteral("C"), box), copyName, QStringLiteral("Копировать в буфер"));
    for (QPushButton* b : {clear, copy}) {
        b->setFixedSize(18, 12);
        b->setFocusPolicy(Qt::NoFocus);
        QFont f = b->font();
        f.setPixelSize(9);
        b->setFont(f);
    }
    grid->addWidget(caption, 0, 0, 1, 2);
    grid->addWidget(memo, 1, 0, 2, 1);
    grid->addWidget(clear, 1, 1);
    grid->addWidget(copy, 2, 1);
    return box;
}

} // namespace

void TForm1::buildLayout()
{
    setGeometry(139, 103, 868, 766);
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPointSize(8);
    setFont(windowFont);
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // Tool bar strip: navigation buttons, address box, player nickname box.
    CoolBar1 = named(new QFrame(central), "CoolBar1");
    static_cast<QFrame*>(CoolBar1)->setFrameShape(QFrame::StyledPanel);
    CoolBar1->setFixedHeight(29);
    auto* bands = new QHBoxLayout(CoolBar1);
    bands->setContentsMargins(2, 1, 2, 1);
    bands->setSpacing(4);
    ToolBar1 = named(new QToolBar(CoolBar1), "ToolBar1");
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const QStyle::StandardPixmap images[] = {QStyle::SP_ArrowBack, QStyle::SP_ArrowForward, QStyle::SP_BrowserReload,
                                             QStyle::SP_BrowserStop};
    const char* buttonNames[] = {"ToolButton1", "ToolButton2", "ToolButton3", "ToolButton4"};
    const QString buttonHints[] = {QStringLiteral("Назад"), QStringLiteral("Вперед"), QStringLiteral("Обновить"),
                                   QStringLiteral("Остановить")};
    QToolButton* buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = named(new QToolButton(ToolBar1), buttonNames[i], buttonHints[i]);
        buttons[i]->setIcon(style()->standardIcon(images[i]));
        buttons[i]->setAutoRaise(true);
        ToolBar1->addWidget(buttons[i]);
    }
    ToolButton1 = buttons[0];
    ToolButton2 = buttons[1];
    ToolButton3 = buttons[2];
    ToolButton4 = buttons[3];
    bands->addWidget(ToolBar1);
    bands->addWidget(new QLabel(QStringLiteral("Адрес:"), CoolBar1));
    ComboBox6 = named(new QComboBox(CoolBar1), "ComboBox6");
    ComboBox6->setEditable(true);
    ComboBox6->setInsertPolicy(QComboBox::NoInsert);
    // The tool bar gives way on a small screen: the address box narrows first.
    ComboBox6->setMinimumWidth(160);
    ComboBox6->setMaximumWidth(800);
    ComboBox6->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    bands->addWidget(ComboBox6, 1);
    BitBtn6 = named(new QPushButton(QStringLiteral("Перейти"), CoolBar1), "BitBtn6");
    BitBtn6->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    bands->addWidget(BitBtn6);
    bands->addWidget(new QLabel(QStringLiteral("Ник:"), CoolBar1));
    ComboBox7 = named(new QComboBox(CoolBar1), "ComboBox7");
    ComboBox7->setEditable(true);
    ComboBox7->setInsertPolicy(QComboBox::NoInsert);
    ComboBox7->setMinimumWidth(90);
    // A nickname is looked up as typed: the completion must not change its letter case.
    ComboBox7->completer()->setCaseSensitivity(Qt::CaseSensitive);
    bands->addWidget(ComboBox7);
    BitBtn5 = named(new QPushButton(QStringLiteral("Найти"), CoolBar1), "BitBtn5");
    BitBtn5->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    bands->addWidget(BitBtn5);
    outer->addWidget(CoolBar1);

    m_bottomSplitter = new ClickSplitter(Qt::Vertical, central);
    m_bottomSplitter->setObjectName(QStringLiteral("BottomSplitter"));
    outer->addWidget(m_bottomSplitter, 1);
    m_mainSplitter = new ClickSplitter(Qt::Horizontal, m_bottomSplitter);
    m_mainSplitter->setObjectName(QStringLiteral("MainSplitter"));

    // Left: settings and travel pages.
    ScrollBox1 = named(new QScrollArea(m_mainSplitter), "ScrollBox1");
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setMinimumWidth(5);
    PageControl1 = named(new PageControl, "PageControl1");
    ScrollBox1->setWidget(PageControl1);

    TabSheet1 = named(new QWidget, "TabSheet1");
    auto* settingsLayout = new QVBoxLayout(TabSheet1);
    settingsLayout->setContentsMargins(4, 4, 4, 4);
    settingsLayout->setSpacing(3);
    Label9 = label("Label9", QStringLiteral("Лабиринт:"), TabSheet1);
    ComboBox1 = dropDownList("ComboBox1", QStringLiteral("Текущий лабиринт"), TabSheet1);
    for (unsigned lab = 1; lab <= kLabyrinthCount; ++lab)
        ComboBox1->addItem(fromUtf8Text(LabyrinthName(lab)));
    ComboBox1->setCurrentIndex(0);
    Label12 = label("Label12", QStringLiteral("Уровень:"), TabSheet1);
    ComboBox2 = dropDownList("ComboBox2", QStringLiteral("Уровень"), TabSheet1);
    for (int level = 0; level < kLevelCount; ++level)
        ComboBox2->addItem(QString::number(level));
    ComboBox2->setCurrentIndex(0);
    Label13 = label("Label13", QStringLiteral("Размер клетки:"), TabSheet1);
    SpinEdit5 = named(new QSpinBox(TabSheet1), "SpinEdit5", QStringLiteral("Размер клетки на карте"));
    SpinEdit5->setRange(10, 25);
    SpinEdit5->setValue(15);
    SpinEdit5->setKeyboardTracking(false);
    SpinEdit5->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    // Only the arrows change the size; typing is off.
    if (auto* edit = SpinEdit5->findChild<QLineEdit*>())
        edit->setReadOnly(true);
    cb4 = named(new QCheckBox(QStringLiteral("Проходить через двери"), TabSheet1), "cb4",
                QStringLiteral("Разрешение прохождения дверей при ручном управлении"));
    CheckBox8 = named(new QCheckBox(QStringLiteral("Проигрывать звуки"), TabSheet1), "CheckBox8",
                      QStringLiteral("Проигрывание звуков при событиях"));
    auto* hideRow = new QWidget(TabSheet1);
    auto* hideLayout = new QGridLayout(hideRow);
    hideLayout->setContentsMargins(0, 0, 0, 0);
    hideLayout->setHorizontalSpacing(3);
    hideLayout->setVerticalSpacing(0);
    const QString hideHint = QStringLiteral("При вступлении в бой скрывать боковые панели");
    CheckBox7 = named(new QCheckBox(hideRow), "CheckBox7", hideHint);
    Label18 = label("Label18", QStringLiteral("Скрывать панели при"), hideRow);
    Label17 = label("Label17", QStringLiteral("начале боя"), hideRow);
    Label18->setToolTip(hideHint);
    Label17->setToolTip(hideHint);
    hideLayout->addWidget(CheckBox7, 0, 0, 2, 1, Qt::AlignTop);
    hideLayout->addWidget(Label18, 0, 1);
    hideLayout->addWidget(Label17, 1, 1);
    hideLayout->setColumnStretch(1, 1);
    // Two lines, as the page is narrow; the caption reads as one.
    FrontierBox = named(new QCheckBox(QStringLiteral("Показывать путь к\nнеисследованному"), TabSheet1), "FrontierBox",
                        QStringLiteral("Показывать на карте кратчайший путь к ближайшему проходу в неисследованную "
                                       "клетку, в обход известных ловушек"));
    Button14 = named(new QPushButton(QStringLiteral("Сохранить карту"), TabSheet1), "Button14",
                     QStringLiteral("Сохранить карты"));
    Button2 = named(new QPushButton(QStringLiteral("Очистить карту"), TabSheet1), "Button2",
                    QStringLiteral("Очистить текущую карту"));
    Button15 = named(new QPushButton(QStringLiteral("Очистить все карты"), TabSheet1), "Button15",
                     QStringLiteral("Очистить все карты"));
    SquadBox = named(new QCheckBox(QStringLiteral("Общая папка отряда:"), TabSheet1), "SquadBox",
                     QStringLiteral("Карты отряда в папке, которую синхронизирует Syncthing, Nextcloud и т. п."));
    SquadFolderButton = named(new QPushButton(QStringLiteral("…"), TabSheet1), "SquadFolderButton",
                              QStringLiteral("Выбрать общую папку отряда"));
    SquadNameButton = named(new QPushButton(QStringLiteral("Имя в папке…"), TabSheet1), "SquadNameButton",
                            QStringLiteral("Ваше имя в общей папке отряда (ваша папка в ней)"));
    CheckBox1 = named(new QCheckBox(QStringLiteral("показывать путь к выходу"), TabSheet1), "CheckBox1");
    CheckBox1->setVisible(false);
    Label1 = label("Label1", QString(), TabSheet1);
    Label3 = label("Label3", QString(), TabSheet1);
    for (QWidget* w : std::initializer_list<QWidget*>{
             Label9, ComboBox1, Label12, ComboBox2, Label13, SpinEdit5, cb4, CheckBox8, hideRow, FrontierBox, Button14,
             Button2, Button15, SquadBox, SquadFolderButton, SquadNameButton, CheckBox1, Label1, Label3})
        settingsLayout->addWidget(w);
    settingsLayout->addStretch(1);

    TabSheet2 = named(new QWidget, "TabSheet2");
    auto* travelLayout = new QVBoxLayout(TabSheet2);
    travelLayout->setContentsMargins(4, 4, 4, 4);
    travelLayout->setSpacing(3);
    Label8 = label("Label8", QStringLiteral("Из"), TabSheet2);
    ComboBox3 = dropDownList("ComboBox3", QString(), TabSheet2);
    Label19 = label("Label19", QStringLiteral("В"), TabSheet2);
    ComboBox4 = dropDownList("ComboBox4", QString(), TabSheet2);
    for (int town = 0; town < kTownCount; ++town) {
        ComboBox3->addItem(fromUtf8Text(TownName(town)));
        ComboBox4->addItem(fromUtf8Text(TownName(town)));
    }
    ComboBox3->setCurrentIndex(0);
    ComboBox4->setCurrentIndex(0);
    Label4 = label("Label4", QStringLiteral("Со скоростью"), TabSheet2);
    ComboBox5 = dropDownList("ComboBox5", QString(), TabSheet2);
    for (int speed = -30; speed <= 30; ++speed)
        ComboBox5->addItem(QString::number(speed));
    ComboBox5->setCurrentIndex(30);
    Label7 = label("Label7", QString(), TabSheet2);
    Label7->setWordWrap(true);
    for (QWidget* w : std::initializer_list<QWidget*>{Label8, ComboBox3, Label19, ComboBox4, Label4, ComboBox5, Label7})
        travelLayout->addWidget(w);
    travelLayout->addStretch(1);

    PageControl1->addPage(TabSheet1, QStringLiteral("Настройки"));
    PageControl1->addPage(TabSheet2, QStringLiteral("Путешествие"));
    PageControl1->setActivePageIndex(1);

    // Centre: the browser tabs; the first one is the game.
    PageControl2 = named(new QTabWidget(m_mainSplitter), "PageControl2");
    PageControl2->setContextMenuPolicy(Qt::CustomContextMenu);
    TabSheet6 = named(new QWidget, "TabSheet6");
    auto* gameLayout = new QVBoxLayout(TabSheet6);
    gameLayout->setContentsMargins(0, 0, 0, 0);
    WebBrowser1 = named(new TWebbrowser(m_profile, TabSheet6), "WebBrowser1");
    gameLayout->addWidget(WebBrowser1);
    PageControl2->addTab(TabSheet6, QStringLiteral("Тирмора"));

    // Right: the map grid.
    sg = named(new MapGrid(m_mainSplitter), "sg", QStringLiteral("..."));
    sg->setMinimumWidth(5);
    sg->setContextMenuPolicy(Qt::CustomContextMenu);

    m_mainSplitter->addWidget(ScrollBox1);
    m_mainSplitter->addWidget(PageControl2);
    m_mainSplitter->addWidget(sg);
    m_mainSplitter->setStretchFactor(0, 0);
    m_mainSplitter->setStretchFactor(1, 1);
    m_mainSplitter->setStretchFactor(2, 0);
    m_mainSplitter->setHandleWidth(7);
    m_mainSplitter->setSizes({185, 868 - 185 - 242 - 14, 242});
    Splitter2 = m_mainSplitter->clickHandle(1);
    Splitter1 = m_mainSplitter->clickHandle(2);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    // A click collapses the map (right) or the side panel (left); the browser in the middle takes the room.
    m_mainSplitter->setCollapsing(Splitter1, 2, 1, 50);
    m_mainSplitter->setCollapsing(Splitter2, 0, 1, 200);

    // Bottom: object lists, keyboard control, statistics, page-load progress.
    Panel1 = named(new QFrame(m_bottomSplitter), "Panel1");
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setMinimumHeight(5);
    auto* strip = new QHBoxLayout(Panel1);
    strip->setSizeConstraint(QLayout::SetNoConstraint);
    strip->setContentsMargins(2, 1, 2, 1);
    strip->setSpacing(4);
    strip->addWidget(objectListGroup(Label11, Memo5, BitBtn2, Button20, "Label11", QStringLiteral("Переходы:"), "Memo5",
                                     QStringLiteral("Переходы"), "BitBtn2", "Button20", Panel1));
    strip->addWidget(objectListGroup(Label10, Memo4, BitBtn1, Button19, "Label10", QStringLiteral("Выходы:"), "Memo4",
                                     QStringLiteral("Выходы"), "BitBtn1", "Button19", Panel1));
    strip->addWidget(objectListGroup(Label14, Memo6, BitBtn4, Button21, "Label14", QStringLiteral("Ловушки:"), "Memo6",
                                     QStringLiteral("Ловушки"), "BitBtn4", "Button21", Panel1));
    strip->addWidget(objectListGroup(Label15, Memo7, BitBtn3, Button22, "Label15", QStringLiteral("Флаги:"), "Memo7",
                                     QStringLiteral("Флаги"), "BitBtn3", "Button22", Panel1));
    Memo2 = named(new QPlainTextEdit(QStringLiteral("управление с клавиатуры"), Panel1), "Memo2",
                  QStringLiteral("Управлять передвижением с клавиатуры"));
    Memo2->setReadOnly(true);
    Memo2->setFixedHeight(40);
    Memo2->setMinimumWidth(90);
    Memo2->setMaximumWidth(150);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->document()->setDefaultTextOption(QTextOption(Qt::AlignCenter));
    Memo2->setPlainText(QStringLiteral("управление с клавиатуры"));
    strip->addWidget(Memo2);
    auto* stats = new QVBoxLayout;
    stats->setSpacing(1);
    Label2 = named(new QLabel(Panel1), "Label2", QStringLiteral("Процент открытия этажа"));
    Label5 = named(new QLabel(Panel1), "Label5", QStringLiteral("Текущие координаты"));
    QFont bold = Label5->font();
    bold.setBold(true);
    Label5->setFont(bold);
    FrontierLabel = named(new QLabel(Panel1), "FrontierLabel", QStringLiteral("Путь к неисследованному"));
    FrontierLabel->setStyleSheet(QStringLiteral("color: rgb(160, 0, 160);")); // the colour of its dots
    FrontierLabel->hide();
    auto* position = new QHBoxLayout;
    position->setSpacing(12);
    position->addWidget(Label5);
    position->addWidget(FrontierLabel);
    position->addStretch(1);
    // Room for the share and for the position with the assistant's text, each on one line; the lists give it.
    Label2->setWordWrap(true);
    Label2->setMinimumWidth(230);
    stats->addWidget(Label2);
    stats->addLayout(position);
    stats->addStretch(1);
    strip->addLayout(stats);
    strip->addStretch(1);
    ProgressBar1 = named(new QProgressBar(Panel1), "ProgressBar1");
    ProgressBar1->setOrientation(Qt::Vertical);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedWidth(12);
    strip->addWidget(ProgressBar1);

    m_bottomSplitter->addWidget(m_mainSplitter);
    m_bottomSplitter->addWidget(Panel1);
    m_bottomSplitter->setStretchFactor(0, 1);
    m_bottomSplitter->setStretchFactor(1, 0);
    m_bottomSplitter->setHandleWidth(7);
    m_bottomSplitter->setSizes({766 - 29 - 59 - 7, 59});
    Splitter3 = m_bottomSplitter->clickHandle(1);
    Splitter3->setObjectName(QStringLiteral("Splitter3"));
    m_bottomSplitter->setCollapsing(Splitter3, 1, 0, 52);

    // The login box floats over the browser.
    Panel2 = new LoginPanel(m_settings, m_prompts, PageControl2);
    const LoginPanel::Controls& login = Panel2->controls();
    Panel7 = login.Panel7;
    Label6 = login.Label6;
    Edit1 = login.Edit1;
    Label16 = login.Label16;
    Edit2 = login.Edit2;
    CheckBox6 = login.CheckBox6;
    Button16 = login.Button16;
    Button17 = login.Button17;

    m_poller = new PagePoller(this);
    Timer1 = m_poller->timer();
    m_tabs = new BrowserTabs(PageControl2, ComboBox6, m_profile, m_gameServer, this);
    Timer2 = m_tabs->doubleClickTimer();
    initialState();
}

void TForm1::initialState()
{
    setWindowTitle(Title());
    Label1->clear();
    Label2->setText(QStringLiteral("Процент открытия уровня: "));
    Label3->clear();
    Label5->clear();
    for (QPlainTextEdit* memo : {Memo4, Memo5, Memo6, Memo7})
        memo->clear();
    Panel2->hide();
    Timer2->setInterval(200);
    ToolButton1->setEnabled(false);
    ToolButton2->setEnabled(false);
    ComboBox6->setEditText(m_gameServer + QStringLiteral("/login.php"));
    sg->setToolTip(QStringLiteral("0 0"));
    m_tabs->LastBrowser = WebBrowser1;
}

} // namespace veldor
