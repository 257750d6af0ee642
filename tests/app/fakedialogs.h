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
};
