#pragma once

#include "ui/prompts.h"

#include <QList>
#include <QStringList>

namespace veldor::test {

// Answers the window's questions from a script and records what it showed.
class ScriptedPrompts : public UserPrompts
{
public:
    QList<Answer> answers; // taken in order; Cancel when the script runs out
    QStringList questions;
    QStringList errors;
    QStringList informations;
    QStringList textAnswers;
    QStringList textCaptions;
    QStringList files; // answers for the open and save questions, taken in order; empty when none left
    QStringList fileCaptions;

    Answer askYesNoCancel(QWidget*, const QString& text) override
    {
        questions << text;
        return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
    }
    QList<int> choices; // taken in order; -1 (closed) when the script runs out
    int askChoice(QWidget*, const QString& text, const QStringList&) override
    {
        questions << text;
        return choices.isEmpty() ? -1 : choices.takeFirst();
    }
    QList<bool> yesNoDefaults; // the default of each yes-or-no question asked
    // A script that has run out takes the question's default, as Enter would.
    bool askYesNo(QWidget*, const QString& text, bool defaultYes = false) override
    {
        questions << text;
        yesNoDefaults << defaultYes;
        if (answers.isEmpty())
            return defaultYes;
        return answers.takeFirst() == Answer::Yes;
    }
    void showError(QWidget*, const QString& text) override { errors << text; }
    void showInformation(QWidget*, const QString& title, const QString& text) override
    {
        informations << title + QLatin1Char('\n') + text;
    }
    bool askText(QWidget*, const QString& caption, const QString&, QString& text) override
    {
        textCaptions << caption;
        if (textAnswers.isEmpty())
            return false;
        text = textAnswers.takeFirst();
        return true;
    }
    QString askOpenFile(QWidget*, const QString& caption, const QString&) override
    {
        fileCaptions << caption;
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QStringList suggestions; // what the save questions offered
    QStringList filters;     // what each save question offered
    QString askSaveFile(QWidget*, const QString& caption, const QString& suggested, const QString& filter = {}) override
    {
        filters << filter;
        fileCaptions << caption;
        suggestions << suggested;
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QStringList folders;          // answers for the folder questions, taken in order; empty when none left
    QStringList folderStarts;     // where each folder question started
    QList<QStringList> lookedFor; // what each folder question said the folder should hold
    QString askFolder(QWidget*, const QString& caption, const QString& start, const QStringList& lookFor = {}) override
    {
        lookedFor << lookFor;
        fileCaptions << caption;
        folderStarts << start;
        return folders.isEmpty() ? QString() : folders.takeFirst();
    }
};

} // namespace veldor::test
