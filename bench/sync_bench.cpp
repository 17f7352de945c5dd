// Times how long the window's thread stalls while another station deletes
// many sessions from the shared folder: the main window runs on an archive
// of session files, a 2 ms heartbeat timer on its thread records the longest
// gap between its ticks, and a share of the files is deleted at once.
//
//   sync_bench [session count] [deletions]   (default 100000 and 3000)
#include "BenchClock.h"
#include "BenchFiles.h"
#include "BenchWindow.h"
#include "Heartbeat.h"
#include "app/archive/ArchiveSync.h"
#include "app/preferences/AppSettings.h"
#include "app/window/TformPalettorMain.h"
#include "core/SessionArchive.h"
#include "support/SessionBuilder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = BenchClock;

constexpr OleDate Today = 45839;

TCLTSession makeSession(int i)
{
    return SessionBuilder::Numbered(i, Today).Conclusions(std::string(400, 'x'), std::string(2000, 'y'));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(100, std::atoi(argv[1])) : 100000;
    const int deletions = std::min(count - 1, argc > 2 ? std::max(1, std::atoi(argv[2])) : 3000);

    QTemporaryDir folder;
    const std::string data = (folder.path() + QStringLiteral("/Data")).toStdString();
    auto start = Clock::now();
    std::vector<std::string> paths;
    if (!writeArchive(data, count, Today, makeSession, paths))
        return 1;
    std::printf("built %d session files in %.1f s\n", count, msSince(start) / 1000);

    BenchDialogs quiet(true);
    UserDialogs::Install(&quiet);
    AppSettings::UseFile(folder.path() + QStringLiteral("/settings.ini"));
    PrepareHeapForArchive();
    qputenv("XDG_CACHE_HOME", (folder.path() + QStringLiteral("/cache")).toLocal8Bit());

    int result = 0;
    {
        TformPalettorMain window(folder.path() + QLatin1Char('/'));
        window.SetArchiveCheckInterval(60 * 60 * 1000); // the deletion is checked when asked
        QSignalSpy finished(&window, &TformPalettorMain::StartupFinished);
        window.show();
        if (finished.count() == 0)
            finished.wait(600000);
        runFor(3000); // the background reading of the files settles

        Heartbeat heartbeat;
        // Baselines in the same run: the heartbeat of the idle window, and
        // listing the folder once (what any check of it costs).
        runFor(100);
        heartbeat.Restart();
        runFor(1000);
        const double idleMs = heartbeat.Longest();
        start = Clock::now();
        const std::size_t listed = ListSessionFiles(data).size();
        const double listMs = msSince(start);

        // Another station deletes evenly spread sessions; the window's
        // folder watcher and an asked-for check take them in.
        const double appliedMs = deleteElsewhere(window, heartbeat, paths, deletions);
        const double stallMs = heartbeat.Longest();

        std::printf("%d sessions, %d deleted elsewhere; %zu listed; %zu left in the window\n\n", count, deletions,
                    listed, window.Sessions().Count());
        std::printf("%-46s %9.1f ms\n", "longest stall of the window, idle (1 s)", idleMs);
        std::printf("%-46s %9.1f ms\n", "listing the folder once (the limit)", listMs);
        std::printf("%-46s %9.1f ms\n", "deletions taken in after the check was asked", appliedMs);
        std::printf("%-46s %9.1f ms   ratio to idle %6.1f, to listing %6.2f\n",
                    "longest stall while they were taken in", stallMs, idleMs > 0 ? stallMs / idleMs : 0.0,
                    listMs > 0 ? stallMs / listMs : 0.0);
        result = window.Sessions().Count() == static_cast<std::size_t>(count - deletions) ? 0 : 1;
    }
    AppSettings::UseFile(QString());
    UserDialogs::Install(nullptr);
    return result;
}
