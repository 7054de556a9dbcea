#pragma once

#include <QString>

class QWidget;

namespace veldor {

// The dialogs the window asks the user through. Tests hand in a scripted implementation, so that every
// answer can be given without a person at the screen.
class UserPrompts
{
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~UserPrompts() = default;
    virtual Answer askYesNoCancel(QWidget* parent, const QString& text) = 0;
    virtual void showError(QWidget* parent, const QString& text) = 0;
    virtual void showInformation(QWidget* parent, const QString& title, const QString& text) = 0;
    // False when cancelled.
    virtual bool askText(QWidget* parent, const QString& caption, const QString& prompt, QString& text) = 0;
};

// Standard message and input boxes.
class DialogPrompts : public UserPrompts
{
public:
    Answer askYesNoCancel(QWidget* parent, const QString& text) override;
    void showError(QWidget* parent, const QString& text) override;
    void showInformation(QWidget* parent, const QString& title, const QString& text) override;
    bool askText(QWidget* parent, const QString& caption, const QString& prompt, QString& text) override;
};

} // namespace veldor
