#include "prompts.h"

#include <algorithm>

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace veldor {

UserPrompts::Answer DialogPrompts::askYesNoCancel(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Вельдор"), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

bool DialogPrompts::askYesNo(QWidget* parent, const QString& text, bool defaultYes)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Вельдор"), text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int DialogPrompts::askChoice(QWidget* parent, const QString& text, const QStringList& buttons)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Вельдор"), text, QMessageBox::NoButton, parent);
    QList<QPushButton*> added;
    for (const QString& caption : buttons)
        added << box.addButton(caption, QMessageBox::AcceptRole);
    box.exec();
    return static_cast<int>(added.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
}

void DialogPrompts::showError(QWidget* parent, const QString& text)
{
    QMessageBox::critical(parent, QStringLiteral("Вельдор"), text);
}

void DialogPrompts::showInformation(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::information(parent, title, text);
}

bool DialogPrompts::askText(QWidget* parent, const QString& caption, const QString& prompt, QString& text)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(text);
    // A title bar does not widen its dialog: without this the caption is cut ("Введи... метки").
    dialog.setMinimumWidth(
        std::max(dialog.minimumSizeHint().width(), dialog.fontMetrics().horizontalAdvance(caption) + 160));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    text = dialog.textValue();
    return true;
}

QString DialogPrompts::askOpenFile(QWidget* parent, const QString& caption, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QString DialogPrompts::askSaveFile(QWidget* parent, const QString& caption, const QString& suggested,
                                   const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

QString DialogPrompts::askFolder(QWidget* parent, const QString& caption, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, caption, start);
}

} // namespace veldor
