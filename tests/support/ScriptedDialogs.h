#pragma once

#include "UserDialogs.h"

#include <QStringList>

#include <deque>

// Answers the program's questions from a script and records what was shown.
// Installs itself for its lifetime.
class ScriptedDialogs : public UserDialogs {
public:
    ScriptedDialogs() { UserDialogs::Install(this); }
    ~ScriptedDialogs() override { UserDialogs::Install(nullptr); }

    std::deque<bool> yesNoAnswers;       // popped by AskYesNo; No when empty
    std::deque<QString> saveFileAnswers; // popped by AskSaveFileName; cancel when empty
    std::deque<std::optional<QColor>> colourAnswers;

    QStringList infos;
    QStringList warnings;
    QStringList questions;

    void ShowInfo(QWidget *, const QString &text, bool) override { infos << text; }
    void ShowWarning(QWidget *, const QString &text, bool) override { warnings << text; }
    bool AskYesNo(QWidget *, const QString &text, bool) override
    {
        questions << text;
        if (yesNoAnswers.empty())
            return false;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    QString AskSaveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        if (saveFileAnswers.empty())
            return {};
        QString answer = saveFileAnswers.front();
        saveFileAnswers.pop_front();
        return answer;
    }
    std::optional<QColor> AskColour(QWidget *, const QColor &) override
    {
        if (colourAnswers.empty())
            return std::nullopt;
        auto answer = colourAnswers.front();
        colourAnswers.pop_front();
        return answer;
    }
};
