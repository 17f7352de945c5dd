// The longest stall of the window's thread, measured by a 2 ms timer on it
// (the largest gap between its ticks), while the main window starts on a
// large archive (without and with the station's index), while it settles,
// while «Экспорт списка» writes every row, and while another station deletes
// 3,000 sessions. Every figure stands next to limits measured in the same
// run on the same files: listing the folder and reading the index, and a raw
// open/read/close of every file with 1 and with 4 threads.
//
//   heartbeat_bench [session count] [deletions]   (default 100000 and 3000)
//   heartbeat_bench --make-archive COUNT FOLDER    session files only, for
//                                                  timing palettor-cli export
//
// The same run then measures the window's memory: it starts itself again
// (--window-memory) once on the folder, with the index there, and once on an
// empty folder (Qt's fixed part), each printing its peak resident size once
// the list is filled and the window has settled.
#include "BenchClock.h"
#include "BenchFiles.h"
#include "BenchWindow.h"
#include "Heartbeat.h"
#include "app/archive/ArchiveSync.h"
#include "app/preferences/AppSettings.h"
#include "app/window/TformPalettorMain.h"
#include "core/SessionArchive.h"
#include "results/ResultsModel.h"
#include "results/ResultsPage.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Clock = BenchClock;

constexpr OleDate Today = 45839;

// About 2.9 KB a file; relations tests carry stimulus lists of 4 to 11
// items, so the export pads rows to the widest.
TCLTSession makeSession(int i)
{
    TCLTSession s(Today - 1 - i / 1000.0, Today);
    s.Surname = "Испытуемый" + std::to_string(i);
    s.FirstName = "Иван";
    s.Patronymic = "Петрович";
    s.TestKind = 1 + i % 4;
    s.Group = i % 5 == 0 ? "Администрация" : "Бухгалтерия";
    s.DurationSeconds = 300 + i % 3000;
    s.BirthDate = Today - 365.25 * (20 + i % 40);
    for (int c = 1; c <= 2; ++c)
        for (int p = 1; p <= 8; ++p)
            s.Choice[c][p] = 1 + (p + i + c) % 8;
    if (s.TestKind == 4)
        for (int k = 0; k < 4 + i % 8; ++k) {
            auto &item = s.CtoItems.AddNew();
            item.StimulusName = "Стимул " + std::to_string(k);
            item.AssociatedColour[1] = k % 8;
            item.AssociatedColour[2] = (k + 3) % 8;
        }
    s.BriefConclusion = std::string(400, 'x');
    s.DetailedConclusion = std::string(2000, 'y');
    return s;
}

bool makeArchive(const std::string &data, int count, std::vector<std::string> &paths)
{
    return writeArchive(data, count, Today, makeSession, paths);
}

std::size_t readAll(const std::string &path, std::vector<char> &buffer)
{
    std::size_t total = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    ssize_t n;
    while ((n = ::read(fd, buffer.data(), buffer.size())) > 0)
        total += static_cast<std::size_t>(n);
    ::close(fd);
    return total;
}

struct Limits {
    double listIndexMs = 0;
    double raw1Ms = 0;
    double raw4Ms = 0;
};

void line(const char *what, double ms, const Limits &limits)
{
    std::printf("%-48s %9.1f ms   ratio to listing+index %6.2f, raw 1 thread %5.2f, raw 4 threads %5.2f\n", what, ms,
                ms / limits.listIndexMs, ms / limits.raw1Ms, ms / limits.raw4Ms);
}

struct WindowMemory {
    std::size_t Peak = 0;
    std::size_t Now = 0;
    std::size_t Sessions = 0;
    double RowsMs = 0;  // show() -> every row listed
    double PassMs = 0;  // show() -> the pass's end
    double StallMs = 0; // the longest stall meanwhile
    double LimitMs = 0; // listing the folder + reading the index, in that process
};

// Peak and current resident size of this process, in bytes.
std::pair<std::size_t, std::size_t> residentBytes()
{
    std::size_t peak = 0;
    std::size_t now = 0;
    if (FILE *status = std::fopen("/proc/self/status", "r")) {
        char text[256];
        while (std::fgets(text, sizeof text, status)) {
            unsigned long kb = 0;
            if (std::sscanf(text, "VmHWM: %lu kB", &kb) == 1)
                peak = kb * 1024;
            else if (std::sscanf(text, "VmRSS: %lu kB", &kb) == 1)
                now = kb * 1024;
        }
        std::fclose(status);
    }
    return {peak, now};
}

// A fresh process, as a real start is (a second window in the same process
// would find the first one's freed memory): starts the window on root (its
// Data folder, settings and cache there), times it from show() to every row
// listed and to the pass's end with the longest stall, waits 3 s more, then
// measures the limit (listing the folder and reading the index) and prints
// its peak and current RSS.
int windowMemory(const QString &root)
{
    AppSettings::UseFile(root + QStringLiteral("/settings.ini"));
    PrepareHeapForArchive();
    qputenv("XDG_CACHE_HOME", (root + QStringLiteral("/cache")).toLocal8Bit());
    const std::string data = (root + QStringLiteral("/Data")).toStdString();
    const std::size_t files = ListSessionFiles(data).size();
    WindowMemory result;
    {
        TformPalettorMain window(root + QLatin1Char('/'));
        window.SetArchiveCheckInterval(60 * 60 * 1000);
        QSignalSpy finished(&window, &TformPalettorMain::StartupFinished);
        Heartbeat heartbeat;
        const auto start = Clock::now();
        heartbeat.Restart();
        window.show();
        const auto *model = window.findChild<ResultsModel *>();
        while (model && static_cast<std::size_t>(model->rowCount()) < files && finished.count() == 0
               && msSince(start) < 600000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        result.RowsMs = msSince(start);
        while (finished.count() == 0 && msSince(start) < 600000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        result.PassMs = msSince(start);
        result.StallMs = heartbeat.Longest();
        runFor(3000);
        const std::string index = ArchiveSync::IndexPath(QString::fromStdString(data)).toStdString();
        const auto limitStart = Clock::now();
        const std::size_t listed = ListSessionFiles(data).size();
        std::vector<char> buffer(1 << 20);
        readAll(index, buffer);
        result.LimitMs = msSince(limitStart);
        std::tie(result.Peak, result.Now) = residentBytes();
        result.Sessions = window.Sessions().Count() == listed ? listed : 0;
    }
    std::printf("%zu %zu %zu %.3f %.3f %.3f %.3f\n", result.Peak, result.Now, result.Sessions, result.RowsMs,
                result.PassMs, result.StallMs, result.LimitMs);
    AppSettings::UseFile(QString());
    return 0;
}

// Runs this program again on root with --window-memory; zeros when it failed.
WindowMemory measureWindowMemory(const char *self, const QString &root)
{
    WindowMemory memory;
    const std::string out = (root + QStringLiteral("/memory.out")).toStdString();
    const std::string command =
        "'" + std::string(self) + "' --window-memory '" + root.toStdString() + "' > '" + out + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return memory;
    if (FILE *file = std::fopen(out.c_str(), "r")) {
        if (std::fscanf(file, "%zu %zu %zu %lf %lf %lf %lf", &memory.Peak, &memory.Now, &memory.Sessions,
                        &memory.RowsMs, &memory.PassMs, &memory.StallMs, &memory.LimitMs)
            != 7)
            memory = {};
        std::fclose(file);
    }
    return memory;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--make-archive") == 0) {
        std::vector<std::string> paths;
        return makeArchive(argv[3], std::max(1, std::atoi(argv[2])), paths) ? 0 : 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--window-memory") == 0)
        return windowMemory(QString::fromLocal8Bit(argv[2]));
    const int count = argc > 1 ? std::max(100, std::atoi(argv[1])) : 100000;
    const int deletions = std::min(count - 1, argc > 2 ? std::max(1, std::atoi(argv[2])) : 3000);

    QTemporaryDir folder;
    const std::string data = (folder.path() + QStringLiteral("/Data")).toStdString();
    auto start = Clock::now();
    std::vector<std::string> paths;
    if (!makeArchive(data, count, paths))
        return 1;
    std::printf("built %d session files in %.1f s\n", count, msSince(start) / 1000);

    BenchDialogs dialogs(false); // the export keeps the names
    dialogs.ExportPath = folder.path() + QStringLiteral("/list.csv");
    UserDialogs::Install(&dialogs);
    AppSettings::UseFile(folder.path() + QStringLiteral("/settings.ini"));
    PrepareHeapForArchive();
    qputenv("XDG_CACHE_HOME", (folder.path() + QStringLiteral("/cache")).toLocal8Bit());

    Limits limits;
    readRawFiles(paths); // warms the cache
    start = Clock::now();
    readRawFiles(paths, 1);
    limits.raw1Ms = msSince(start);
    start = Clock::now();
    readRawFiles(paths, 4);
    limits.raw4Ms = msSince(start);

    int result = 0;
    double startMs[2] = {0, 0};
    double shownMs[2] = {0, 0};
    double startStallMs[2] = {0, 0};
    double settleStallMs = 0;
    double exportMs = 0;
    double exportStallMs = 0;
    double idleMs = 0;
    double deletionMs = 0;
    double deletionStallMs = 0;
    bool exported = false;
    std::size_t left = 0;
    for (int run = 0; run < 2; ++run) {
        TformPalettorMain window(folder.path() + QLatin1Char('/'));
        window.SetArchiveCheckInterval(60 * 60 * 1000); // the deletion is checked when asked
        QSignalSpy finished(&window, &TformPalettorMain::StartupFinished);
        Heartbeat heartbeat;
        start = Clock::now();
        heartbeat.Restart();
        window.show();
        // Every row listed (from the index, before the folder is checked),
        // then the pass's end (the folder checked against the list).
        const auto *model = window.findChild<ResultsModel *>();
        while (model && model->rowCount() < count && finished.count() == 0 && msSince(start) < 600000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        shownMs[run] = msSince(start);
        while (finished.count() == 0 && msSince(start) < 600000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        startMs[run] = msSince(start);
        startStallMs[run] = heartbeat.Longest();
        if (run == 0)
            continue; // the index is written; the second start reads it

        // The index exists now: the other limit.
        const std::string index = ArchiveSync::IndexPath(QString::fromStdString(data)).toStdString();
        start = Clock::now();
        const std::size_t listed = ListSessionFiles(data).size();
        std::vector<char> buffer(1 << 20);
        const std::size_t indexBytes = readAll(index, buffer);
        limits.listIndexMs = msSince(start);
        std::printf("%zu files listed, index %.1f MB\n\n", listed, indexBytes / 1048576.0);

        heartbeat.Restart();
        runFor(3000); // the background reading of the files settles
        settleStallMs = heartbeat.Longest();
        heartbeat.Restart();
        runFor(1000);
        idleMs = heartbeat.Longest();

        auto *page = window.findChild<ResultsPage *>();
        if (page) {
            QFile::remove(dialogs.ExportPath);
            heartbeat.Restart();
            start = Clock::now();
            exported = page->ResultsExportListExecute();
            exportMs = msSince(start);
            exportStallMs = heartbeat.Longest();
        }

        // Another station deletes evenly spread sessions; an asked-for
        // check and the folder watcher take them in.
        const std::size_t expected = static_cast<std::size_t>(count - deletions);
        deletionMs = deleteElsewhere(window, heartbeat, paths, deletions);
        deletionStallMs = heartbeat.Longest();
        left = window.Sessions().Count();
        result = left == expected && exported ? 0 : 1;
    }
    const qint64 exportBytes = QFileInfo(dialogs.ExportPath).size();
    AppSettings::UseFile(QString());
    UserDialogs::Install(nullptr);

    // The window alone in a process of its own: on the folder (its index
    // written above), and on an empty one for Qt's and the program's fixed part.
    const WindowMemory full = measureWindowMemory(argv[0], folder.path());
    QTemporaryDir emptyRoot;
    QDir(emptyRoot.path()).mkdir(QStringLiteral("Data"));
    const WindowMemory empty = measureWindowMemory(argv[0], emptyRoot.path());
    std::size_t fileBytes = 0;
    for (const auto &entry : std::filesystem::directory_iterator(data))
        fileBytes += entry.is_regular_file() ? entry.file_size() : 0;

    std::printf("%d sessions; export %s (%.1f MB); %d deleted elsewhere, %zu left in the window\n\n", count,
                exported ? "written" : "FAILED", exportBytes / 1048576.0, deletions, left);
    std::printf("limits in this run:\n");
    std::printf("%-48s %9.1f ms\n", "listing the folder + reading the index", limits.listIndexMs);
    std::printf("%-48s %9.1f ms\n", "raw open/read/close, 1 thread", limits.raw1Ms);
    std::printf("%-48s %9.1f ms\n", "raw open/read/close, 4 threads", limits.raw4Ms);
    std::printf("\ndurations:\n");
    line("start-up, no index: shown -> every row listed", shownMs[0], limits);
    line("start-up, no index: shown -> pass ended", startMs[0], limits);
    line("start-up, index: shown -> every row listed", shownMs[1], limits);
    line("start-up, index: shown -> pass ended (checked)", startMs[1], limits);
    line("list export (every row, names kept)", exportMs, limits);
    const std::string taken = std::to_string(deletions) + " deletions taken in after the check";
    line(taken.c_str(), deletionMs, limits);
    std::printf("\nlongest stall of the window's thread (2 ms timer):\n");
    line("idle (1 s)", idleMs, limits);
    line("start-up and fill, no index", startStallMs[0], limits);
    line("start-up and fill, index", startStallMs[1], limits);
    line("after start-up (3 s: background reading)", settleStallMs, limits);
    line("list export", exportStallMs, limits);
    const std::string deleted = std::to_string(deletions) + " deletions by another station";
    line(deleted.c_str(), deletionStallMs, limits);

    std::printf("\na start in a process of its own (%zu sessions, the index there):\n", full.Sessions);
    std::printf("%-48s %9.1f ms\n", "listing the folder + reading the index (limit)", full.LimitMs);
    std::printf("%-48s %9.1f ms   ratio to the limit %6.2f\n", "shown -> every row listed", full.RowsMs,
                full.RowsMs / full.LimitMs);
    std::printf("%-48s %9.1f ms   ratio to the limit %6.2f\n", "shown -> pass ended (checked with the folder)",
                full.PassMs, full.PassMs / full.LimitMs);
    std::printf("%-48s %9.1f ms\n", "longest stall of the window's thread meanwhile", full.StallMs);
    std::printf("%-48s %9.1f ms\n", "the same on an empty folder (showing the window)", empty.StallMs);
    const double mb = 1048576.0;
    std::printf("\nthe window's memory, list filled from the index and settled (%zu sessions, files %.1f MB):\n",
                full.Sessions, fileBytes / mb);
    std::printf("%-48s %9.1f MB   ratio to the files %5.3f\n", "max RSS", full.Peak / mb,
                double(full.Peak) / double(fileBytes));
    std::printf("%-48s %9.1f MB\n", "max RSS on an empty folder (fixed part)", empty.Peak / mb);
    std::printf("%-48s %9.1f MB   ratio to the files %5.3f\n", "RSS once settled, less the fixed part",
                (full.Now - std::min(full.Now, empty.Now)) / mb,
                double(full.Now - std::min(full.Now, empty.Now)) / double(fileBytes));
    std::printf("%-48s %9.1f MB   ratio to the files %5.3f\n", "max RSS less the fixed part",
                (full.Peak - std::min(full.Peak, empty.Peak)) / mb,
                double(full.Peak - std::min(full.Peak, empty.Peak)) / double(fileBytes));
    if (full.Sessions != left)
        result = 1;
    return result;
}
