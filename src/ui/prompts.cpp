#include "prompts.h"

#include <algorithm>

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QInputDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>

namespace veldor {
namespace {

// Sizes and dates in the file dialog as the rest of the window writes them ("9,1 КиБ", "08.12.2026 21:40"),
// whatever the system's locale. A native dialog (where the desktop has one) speaks the system's language.
class RussianFileColumns : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || index.column() < 1 || index.column() > 3)
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        const QLocale russian(QLocale::Russian, QLocale::Russia);
        switch (index.column()) {
        case 1:
            return info.isDir() ? QString() : russian.formattedDataSize(info.size());
        case 2:
            return info.isDir() ? QStringLiteral("Папка") : QIdentityProxyModel::data(index, role);
        default:
            return russian.toString(info.lastModified(), QLocale::ShortFormat);
        }
    }
};

QString chosen(QFileDialog& dialog)
{
    dialog.setProxyModel(new RussianFileColumns(&dialog));
    // Wide enough for whole dates and sizes; the name takes what is left.
    dialog.resize(std::max(dialog.sizeHint().width(), 800), std::max(dialog.sizeHint().height(), 480));
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        for (int column = 1; column <= 3; ++column)
            view->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

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
    // A title bar does not widen its dialog, and the dialog's layout sets its size: the text box is made wide
    // enough for the title, else the caption is cut ("Введи... метки").
    if (auto* box = dialog.findChild<QLineEdit*>())
        box->setMinimumWidth(dialog.fontMetrics().horizontalAdvance(caption) + 160);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    text = dialog.textValue();
    return true;
}

QString DialogPrompts::askOpenFile(QWidget* parent, const QString& caption, const QString& filter)
{
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosen(dialog);
}

QString DialogPrompts::askSaveFile(QWidget* parent, const QString& caption, const QString& suggested,
                                   const QString& filter)
{
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    return chosen(dialog);
}

QString DialogPrompts::askFolder(QWidget* parent, const QString& caption, const QString& start,
                                 const QStringList& lookFor)
{
    QFileDialog dialog(parent, caption, start);
    dialog.setFileMode(QFileDialog::Directory);
    if (lookFor.isEmpty()) {
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        // The files a folder should hold show beside its subfolders, so the right one can be told at a glance.
        dialog.setNameFilter(
            QStringLiteral("%1 (%2)").arg(lookFor.join(QStringLiteral(", ")), lookFor.join(QLatin1Char(' '))));
        dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Нужные файлы:"));
    }
    return chosen(dialog);
}

} // namespace veldor
