#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace veldor {

// The dialogs the window asks the user through. Tests hand in a scripted implementation, so that every
// answer can be given without a person at the screen.
class UserPrompts
{
public:
    enum class Answer
    {
        Yes,
        No,
        Cancel
    };

    virtual ~UserPrompts() = default;
    virtual Answer askYesNoCancel(QWidget* parent, const QString& text) = 0;
    // One of several buttons: its index, or -1 when the box was closed without a choice.
    virtual int askChoice(QWidget* parent, const QString& text, const QStringList& buttons) = 0;
    // "Да" or "Нет"; Enter takes the default, Escape says "Нет".
    virtual bool askYesNo(QWidget* parent, const QString& text, bool defaultYes = false) = 0;
    virtual void showError(QWidget* parent, const QString& text) = 0;
    virtual void showInformation(QWidget* parent, const QString& title, const QString& text) = 0;
    // False when cancelled.
    virtual bool askText(QWidget* parent, const QString& caption, const QString& prompt, QString& text) = 0;
    // A file to open or to save to; empty when cancelled.
    virtual QString askOpenFile(QWidget* parent, const QString& caption, const QString& filter) = 0;
    // `filter` as for QFileDialog ("Рисунок PNG (*.png)"), empty for any file.
    virtual QString askSaveFile(QWidget* parent, const QString& caption, const QString& suggested,
                                const QString& filter = {}) = 0;
    // An existing folder; empty when cancelled.
    // `lookFor`: names of the files the folder should hold; the dialog shows them among the folders.
    virtual QString askFolder(QWidget* parent, const QString& caption, const QString& start,
                              const QStringList& lookFor = {}) = 0;
};

// Standard message and input boxes.
class DialogPrompts : public UserPrompts
{
public:
    Answer askYesNoCancel(QWidget* parent, const QString& text) override;
    bool askYesNo(QWidget* parent, const QString& text, bool defaultYes = false) override;
    int askChoice(QWidget* parent, const QString& text, const QStringList& buttons) override;
    void showError(QWidget* parent, const QString& text) override;
    void showInformation(QWidget* parent, const QString& title, const QString& text) override;
    bool askText(QWidget* parent, const QString& caption, const QString& prompt, QString& text) override;
    QString askOpenFile(QWidget* parent, const QString& caption, const QString& filter) override;
    QString askSaveFile(QWidget* parent, const QString& caption, const QString& suggested,
                        const QString& filter = {}) override;
    QString askFolder(QWidget* parent, const QString& caption, const QString& start,
                      const QStringList& lookFor = {}) override;
};

} // namespace veldor
