#pragma once

// What the benches that drive the window share: letting its event loop run,
// and a dialog seam that answers instead of a person.
#include "qtkit/UserDialogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

inline void runFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Answers every question with Answer and every save dialog with ExportPath;
// a message a bench does not expect is printed, since it would have stopped
// a person.
class BenchDialogs : public UserDialogs {
public:
    explicit BenchDialogs(bool answer) : Answer(answer) {}

    bool Answer;
    QString ExportPath;

    bool AskYesNo(QWidget *, const QString &, bool) override { return Answer; }
    QString AskSaveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return ExportPath;
    }
    void ShowInfo(QWidget *, const QString &text, bool) override
    {
        std::printf("unexpected message: %s\n", text.toStdString().c_str());
    }
    void ShowWarning(QWidget *, const QString &text, bool) override
    {
        std::printf("unexpected warning: %s\n", text.toStdString().c_str());
    }
};
