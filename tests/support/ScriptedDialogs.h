#pragma once

#include "qtkit/UserDialogs.h"

#include <QPrinter>
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
    // AskPrinter: the PDF file a confirmed print goes to; cancel when empty.
    std::deque<QString> printAnswers;
    // ShowPrintPreview draws the pages into this PDF file when it is set.
    QString previewFile;
    int previews = 0;

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
    bool AskPrinter(QWidget *, QPrinter &printer) override
    {
        if (printAnswers.empty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printAnswers.front());
        printAnswers.pop_front();
        return true;
    }
    void ShowPrintPreview(QWidget *, QPrinter &printer, const std::function<void(QPrinter *)> &paint) override
    {
        ++previews;
        if (previewFile.isEmpty())
            return;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(previewFile);
        paint(&printer);
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
