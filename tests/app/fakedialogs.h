#pragma once

#include "platform/userdialogs.h"

#include <QStringList>

#include <deque>

// Answers the window's message boxes in tests and remembers what they said.
class FakeDialogs : public lirena::UserDialogs
{
public:
    QStringList errors;
    QStringList warnings;
    QStringList questions;
    std::deque<Answer> answers;
    std::deque<QString> files; // what the file dialogs answer, in turn; empty: cancelled
    QStringList fileDialogs;   // their titles, as asked

    void error(const QString &text) override { errors << text; }
    void warning(const QString &text) override { warnings << text; }
    Answer askYesNoCancel(const QString &caption, const QString &text) override
    {
        questions << caption + ": " + text;
        if (answers.empty())
            return Answer::Cancel;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    QString chooseFileToOpen(const QString &title, const QString &, const QString &, const QString &) override
    {
        return file(title);
    }
    QString chooseFileToSave(const QString &title, const QString &) override { return file(title); }

private:
    QString file(const QString &title)
    {
        fileDialogs << title;
        if (files.empty())
            return {};
        const QString f = files.front();
        files.pop_front();
        return f;
    }
};
