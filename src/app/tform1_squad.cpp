// The group's shared folder: its switch and folder on the settings page, the status line, the members.
#include "tform1.h"

#include "app/mapedits.h"
#include "app/squadsync.h"
#include "app/workfolder.h"
#include "map/merge.h"
#include "map/squad.h"
#include "ui/prompts.h"
#include "ui/qtcodec.h"
#include "ui/russian.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

namespace veldor {

void TForm1::connectSquad()
{
    if (m_work->readOnly())
        return; // the window that owns the folder writes it
    m_squad = new SquadSync({m_atlas.get(), m_edits, [this] { mapChanged(0); }}, ini(), this);
    m_work->setOnSaved([this] { m_squad->writeOut(); });
    // The status strip appears with the first word about the group, not before.
    connect(m_squad, &SquadSync::statusChanged, this, [this](const QString& line) {
        if (!SquadLabel && !line.isEmpty()) {
            SquadLabel = new QLabel(statusBar());
            SquadLabel->setObjectName(QStringLiteral("SquadLabel"));
            statusBar()->addPermanentWidget(SquadLabel);
        }
        if (SquadLabel)
            SquadLabel->setText(line);
    });
    SquadBox->setChecked(m_squad->enabled());
    SquadFolderButton->setText(m_squad->folder().isEmpty() ? QStringLiteral("…") : QDir(m_squad->folder()).dirName());
    connect(SquadBox, &QCheckBox::clicked, this,
            [this](bool on) { configureSquad(on, on && m_squad->folder().isEmpty()); });
    connect(SquadFolderButton, &QPushButton::clicked, this, [this] { configureSquad(true, true); });
    connect(SquadMembers1, &QAction::triggered, this, &TForm1::showSquadMembers);
}

void TForm1::configureSquad(bool on, bool chooseFolder)
{
    QString folder = m_squad->folder();
    if (chooseFolder)
        folder = m_prompts->askFolder(this, QStringLiteral("Общая папка отряда"), folder);
    QString name = m_squad->name().isEmpty() ? fromCp1251(m_settings.StoredLogin).trimmed() : m_squad->name();
    while (on && !folder.isEmpty() && !ValidMemberName(name.toStdString())) {
        if (!m_prompts->askText(this, QStringLiteral("Имя в общей папке"),
                                QStringLiteral("Ваше имя в папке отряда (буквы, цифры, «-» и «_»):"), name))
            return;
    }
    m_squad->configure(folder, name, on && !folder.isEmpty());
    SquadBox->setChecked(m_squad->enabled());
    SquadFolderButton->setText(folder.isEmpty() ? QStringLiteral("…") : QDir(folder).dirName());
}

void TForm1::showSquadMembers()
{
    QStringList lines;
    for (const SquadSync::Member& m : m_squad ? m_squad->members() : QList<SquadSync::Member>{}) {
        lines << QStringLiteral("%1: записал %2, принёс клеток за сеанс: %3")
                     .arg(m.name, m.written.toString(QStringLiteral("dd.MM.yyyy HH:mm")))
                     .arg(m.cells);
        const QString bounds = markerLimits(m.markersCut, m.markersSkipped, qint64(kMaxMarkerTaken), kMaxMarkersTaken);
        if (!bounds.isEmpty())
            lines.last() += QStringLiteral(". ") + bounds;
    }
    if (lines.isEmpty())
        lines << QStringLiteral("В общей папке отряда пока нет карт других игроков.");
    m_prompts->showInformation(this, QStringLiteral("Отряд"), lines.join(QLatin1Char('\n')));
}

} // namespace veldor
