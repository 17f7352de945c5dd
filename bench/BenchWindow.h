#pragma once

// What the benches that drive the window share: letting its event loop run,
// and a dialog seam that answers instead of a person.
#include "BenchClock.h"
#include "app/window/TformPalettorMain.h"
#include "qtkit/UserDialogs.h"

#include <unistd.h>

#include <string>
#include <vector>

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

// Another station deletes that many evenly spread session files of the
// window's folder; an asked-for check takes them in. Returns the
// milliseconds until the window lists the rest of paths; the heartbeat has measured
// from the check through the folder watcher's own check 1.5 s later.
template <typename Heartbeat>
double deleteElsewhere(TformPalettorMain &window, Heartbeat &heartbeat, const std::vector<std::string> &paths,
                       int deletions)
{
    const std::size_t step = paths.size() / static_cast<std::size_t>(deletions);
    for (std::size_t i = 0, done = 0; done < static_cast<std::size_t>(deletions); i += step, ++done)
        ::unlink(paths[i].c_str());
    const std::size_t expected = paths.size() - static_cast<std::size_t>(deletions);
    runFor(20);
    heartbeat.Restart();
    const auto start = BenchClock::now();
    window.CheckArchiveFolder();
    while (window.Sessions().Count() != expected && msSince(start) < 600000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double ms = msSince(start);
    runFor(1500);
    return ms;
}
