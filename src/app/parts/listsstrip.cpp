#include "listsstrip.h"

#include "app/parts/controlnames.h"
#include "ui/qtcodec.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace veldor {
namespace {

// A label of one line that never asks for more room than it gets: a longer text is cut with "…".
class ElidedLabel : public QLabel
{
public:
    using QLabel::QLabel;
    void setFullText(const QString& text)
    {
        m_full = text;
        setToolTip(text);
        elide();
    }
    QString fullText() const { return m_full; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        elide();
    }

private:
    void elide() { setText(fontMetrics().elidedText(m_full, Qt::ElideRight, std::max(0, contentsRect().width()))); }
    QString m_full;
};

} // namespace

// One object list: its kind, caption, the names of its controls and where the strip keeps them.
struct ListsStrip::List
{
    ListKind kind;
    QString caption;      // "Выходы" ("Выходы:" above the list, "Выходы: " before a copy)
    const char* names[4]; // caption label, list, clear button, copy button
    QLabel*& label;
    QPlainTextEdit*& list;
    QPushButton*& clear;
    QPushButton*& copy;
};

ListsStrip::ListsStrip(QWidget* parent) : QFrame(parent)
{
    Controls& ui = m_ui;
    setObjectName(QStringLiteral("bottomPanel"));
    setFrameShape(QFrame::StyledPanel);
    setMinimumHeight(5);
    auto* strip = new QHBoxLayout(this);
    strip->setSizeConstraint(QLayout::SetNoConstraint);
    strip->setContentsMargins(2, 1, 2, 1);
    strip->setSpacing(4);
    const List lists[] = {{ListKind::Transitions,
                           QStringLiteral("Переходы"),
                           {"transitionsLabel", "transitionsList", "clearTransitionsButton", "copyTransitionsButton"},
                           ui.transitionsLabel,
                           ui.transitionsList,
                           ui.clearTransitionsButton,
                           ui.copyTransitionsButton},
                          {ListKind::Exits,
                           QStringLiteral("Выходы"),
                           {"exitsLabel", "exitsList", "clearExitsButton", "copyExitsButton"},
                           ui.exitsLabel,
                           ui.exitsList,
                           ui.clearExitsButton,
                           ui.copyExitsButton},
                          {ListKind::Traps,
                           QStringLiteral("Ловушки"),
                           {"trapsLabel", "trapsList", "clearTrapsButton", "copyTrapsButton"},
                           ui.trapsLabel,
                           ui.trapsList,
                           ui.clearTrapsButton,
                           ui.copyTrapsButton},
                          {ListKind::Flags,
                           QStringLiteral("Флаги"),
                           {"flagsLabel", "flagsList", "clearFlagsButton", "copyFlagsButton"},
                           ui.flagsLabel,
                           ui.flagsList,
                           ui.clearFlagsButton,
                           ui.copyFlagsButton}};
    for (const List& list : lists)
        strip->addWidget(listGroup(list));

    ui.keyboardBox =
        named(new QPlainTextEdit(this), "keyboardBox", QStringLiteral("Управлять передвижением с клавиатуры"));
    ui.keyboardBox->setReadOnly(true);
    ui.keyboardBox->setFixedHeight(40);
    ui.keyboardBox->setMinimumWidth(90);
    ui.keyboardBox->setMaximumWidth(150);
    ui.keyboardBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui.keyboardBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui.keyboardBox->document()->setDefaultTextOption(QTextOption(Qt::AlignCenter));
    ui.keyboardBox->setPlainText(QStringLiteral("управление с клавиатуры"));
    strip->addWidget(ui.keyboardBox);

    auto* stats = new QVBoxLayout;
    stats->setSpacing(1);
    ui.exploredLabel = named(new QLabel(this), "exploredLabel", QStringLiteral("Процент открытия этажа"));
    ui.exploredLabel->setText(QStringLiteral("Процент открытия уровня: "));
    ui.positionLabel = named(new QLabel(this), "positionLabel", QStringLiteral("Текущие координаты"));
    QFont bold = ui.positionLabel->font();
    bold.setBold(true);
    ui.positionLabel->setFont(bold);
    ui.frontierLabel = named(new QLabel(this), "frontierLabel", QStringLiteral("Путь к неисследованному"));
    ui.frontierLabel->setStyleSheet(QStringLiteral("color: rgb(160, 0, 160);")); // the colour of its dots
    ui.frontierLabel->hide();
    auto* way = new ElidedLabel(this);
    ui.wayLabel = named<QLabel>(way, "wayLabel");
    ui.wayLabel->setStyleSheet(QStringLiteral("color: rgb(0, 90, 255);")); // the colour of its line
    ui.wayLabel->hide();
    auto* position = new QHBoxLayout;
    position->setSpacing(12);
    position->addWidget(ui.positionLabel);
    position->addWidget(ui.frontierLabel, 1);
    // The texts take what room the lists and the keyboard box leave, never more: the strip keeps its shape
    // whatever they say.
    for (QLabel* text : {ui.exploredLabel, ui.frontierLabel, ui.wayLabel})
        text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ui.exploredLabel->setMinimumWidth(180);
    stats->addWidget(ui.exploredLabel);
    stats->addLayout(position);
    stats->addWidget(ui.wayLabel);
    stats->addStretch(1);
    strip->addLayout(stats, 1);

    ui.loadProgressBar = named(new QProgressBar(this), "loadProgressBar");
    ui.loadProgressBar->setOrientation(Qt::Vertical);
    ui.loadProgressBar->setRange(0, 100);
    ui.loadProgressBar->setValue(0);
    ui.loadProgressBar->setTextVisible(false);
    ui.loadProgressBar->setFixedWidth(12);
    strip->addWidget(ui.loadProgressBar);
}

QWidget* ListsStrip::listGroup(const List& list)
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(2, 0, 2, 0);
    grid->setSpacing(1);
    list.label = label(list.names[0], list.caption + QLatin1Char(':'), box);
    QPlainTextEdit* memo = list.list = named(new QPlainTextEdit(box), list.names[1], list.caption);
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
    list.clear = named(new QPushButton(QStringLiteral("X"), box), list.names[2], QStringLiteral("Очистить"));
    list.copy = named(new QPushButton(QStringLiteral("C"), box), list.names[3], QStringLiteral("Копировать в буфер"));
    for (QPushButton* b : {list.clear, list.copy}) {
        b->setFixedSize(18, 12);
        b->setFocusPolicy(Qt::NoFocus);
        QFont f = b->font();
        f.setPixelSize(9);
        b->setFont(f);
    }
    grid->addWidget(list.label, 0, 0, 1, 2);
    grid->addWidget(memo, 1, 0, 2, 1);
    grid->addWidget(list.clear, 1, 1);
    grid->addWidget(list.copy, 2, 1);
    const QString prefix = list.caption + QStringLiteral(": ");
    connect(list.copy, &QPushButton::clicked, this,
            [memo, prefix] { QApplication::clipboard()->setText(prefix + memo->toPlainText()); });
    connect(list.clear, &QPushButton::clicked, this, [this, kind = list.kind] { emit clearAsked(kind); });
    return box;
}

void ListsStrip::showLists(const Atlas& atlas, unsigned lab)
{
    const std::pair<QPlainTextEdit*, ListKind> memos[] = {{m_ui.exitsList, ListKind::Exits},
                                                          {m_ui.transitionsList, ListKind::Transitions},
                                                          {m_ui.trapsList, ListKind::Traps},
                                                          {m_ui.flagsList, ListKind::Flags}};
    for (const auto& [memo, kind] : memos) {
        const QString text = fromCp1251(MemoText(atlas, lab, kind));
        if (memo->toPlainText() != text)
            memo->setPlainText(text);
    }
}

void ListsStrip::showWay(const QString& text)
{
    static_cast<ElidedLabel*>(m_ui.wayLabel)->setFullText(text);
    m_ui.wayLabel->setVisible(!text.isEmpty());
}

void ListsStrip::showLoadProgress(int percent)
{
    m_ui.loadProgressBar->setValue(percent);
}

void ListsStrip::showExplored(const QString& text)
{
    m_ui.exploredLabel->setText(text);
}

void ListsStrip::showPosition(const QString& text)
{
    m_ui.positionLabel->setText(text);
}

void ListsStrip::showFrontier(bool shown, const QString& text, const QString& hint)
{
    m_ui.frontierLabel->setVisible(shown);
    if (!shown)
        return;
    m_ui.frontierLabel->setText(text);
    m_ui.frontierLabel->setToolTip(hint);
}

KeyWalker* ListsStrip::walkWith(PagePoller* poller, const ReaderState& reader, KeyWalker::MoveScript moveScript)
{
    return new KeyWalker(m_ui.keyboardBox, poller, reader, std::move(moveScript), this);
}

bool ListsStrip::keyboardFocused() const
{
    return QApplication::focusWidget() == m_ui.keyboardBox;
}

} // namespace veldor
