// Times the results page over a large archive: loading the session files,
// refilling the list, filtering it, selecting a row and deleting one, each
// next to a baseline measured in the same run on the same data.
//
//   results_bench [session count]   (default 100000)
#include "BenchClock.h"
#include "BenchFiles.h"
#include "BenchWindow.h"
#include "Heartbeat.h"
#include "app/archive/ArchiveSync.h"
#include "app/preferences/AppSettings.h"
#include "app/window/TformPalettorMain.h"
#include "core/SessionArchive.h"
#include "core/SessionListIndex.h"
#include "core/TSimpleFileStream.h"
#include "results/ListLayout.h"
#include "results/ResultsModel.h"
#include "results/ResultsPage.h"
#include "support/SessionBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = BenchClock;

constexpr OleDate Today = 45839;

TCLTSession makeSession(int i)
{
    return SessionBuilder::Numbered(i, Today)
        .Name("Испытуемый" + std::to_string(i), "Иван", "Петрович")
        .Sex(static_cast<uint8_t>(i % 3))
        .Born(i % 7 == 0 ? 0 : Today - 365.25 * (18 + i % 60))
        .Conclusions(std::string(400, 'x'), std::string(3000, 'y'), std::string(600, 'z'));
}

// Signals by which the list model would make the view rebuild or repaint
// rows; selecting must raise none, deleting only the removal of its row.
struct ModelSignals {
    explicit ModelSignals(QAbstractItemModel *model)
        : resets(model, &QAbstractItemModel::modelReset), layouts(model, &QAbstractItemModel::layoutChanged),
          removed(model, &QAbstractItemModel::rowsRemoved), inserted(model, &QAbstractItemModel::rowsInserted)
    {
    }
    QString Text() const
    {
        return QStringLiteral("%1 reset, %2 layout, %3 removed, %4 inserted")
            .arg(resets.count())
            .arg(layouts.count())
            .arg(removed.count())
            .arg(inserted.count());
    }
    QSignalSpy resets, layouts, removed, inserted;
};

void line(const char *what, double ms, double baselineMs, const char *baseline)
{
    std::printf("%-34s %10.1f ms   %-34s %10.2f ms   ratio %8.1f\n", what, ms, baseline, baselineMs,
                baselineMs > 0 ? ms / baselineMs : 0.0);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(10, std::atoi(argv[1])) : 100000;

    QTemporaryDir folder;
    const std::string data = (folder.path() + QStringLiteral("/Data")).toStdString();
    auto start = Clock::now();
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(count));
    if (!writeArchive(data, count, Today, makeSession, paths))
        return 1;
    std::printf("built %d session files in %.1f s\n\n", count, msSince(start) / 1000);

    start = Clock::now();
    const std::size_t bytes = readRawFiles(paths);
    const double rawMs = msSince(start);

    TCLTArchive archive;
    start = Clock::now();
    const ArchiveLoadResult loaded = LoadArchive(data, archive, SessionContext{Today, ","});
    const double loadMs = msSince(start);
    if (loaded.Loaded != count) {
        std::printf("loaded %d of %d\n", loaded.Loaded, count);
        return 1;
    }

    // The baseline of the list: one pass over the loaded sessions touching
    // what the filter reads.
    start = Clock::now();
    long long touched = 0;
    for (const auto &s : archive)
        touched += s->TestKind + s->Sex + static_cast<long long>(s->Age) + static_cast<long long>(s->Group.size());
    const double iterateMs = std::max(msSince(start), 0.001);

    QSettings store(folder.path() + QStringLiteral("/placement.ini"), QSettings::IniFormat);
    ArchiveList list;
    list.AddAll(archive);
    ResultsPage page(list, store);
    page.SetUserGroups({QStringLiteral("Администрация"), QStringLiteral("Бухгалтерия")}, 0);
    page.resize(1280, 900);
    page.show();
    QApplication::processEvents();

    start = Clock::now();
    page.RefillResults(false);
    QApplication::processEvents();
    const double refillMs = msSince(start);
    const int allRows = page.Model()->rowCount();

    page.findChild<QComboBox *>(QStringLiteral("cbFilterTest"))->setCurrentIndex(3);
    page.findChild<QComboBox *>(QStringLiteral("cbFilterGroup"))->setCurrentIndex(2);
    page.findChild<QCheckBox *>(QStringLiteral("checkFilterAge"))->setChecked(true);
    page.findChild<QDoubleSpinBox *>(QStringLiteral("seFilterAgeMin"))->setValue(25);
    page.findChild<QDoubleSpinBox *>(QStringLiteral("seFilterAgeMax"))->setValue(60);
    start = Clock::now();
    page.RefillResults(true);
    QApplication::processEvents();
    const double filterMs = msSince(start);
    const int filteredRows = page.Model()->rowCount();

    page.RefillResults(false);
    QApplication::processEvents();
    QString selectSignals;
    start = Clock::now();
    {
        ModelSignals spies(page.Model());
        SelectRow(page.Grid(), allRows / 2);
        QApplication::processEvents();
        selectSignals = spies.Text();
    }
    const double selectMs = msSince(start);

    BenchDialogs yes(true);
    UserDialogs::Install(&yes);
    QString deleteSignals;
    start = Clock::now();
    bool deleted;
    {
        ModelSignals spies(page.Model());
        deleted = page.ResultsDeleteExecute();
        QApplication::processEvents();
        deleteSignals = spies.Text();
    }
    const double deleteMs = msSince(start);

    // The main window's start on the same folder three times: the first
    // builds the station's index of the list, the second reads it, the third
    // follows one new session file (the index gains it by an append). Timed
    // to the moment a test can be started (the mode decided, the list pass
    // running), to every row shown and to the pass's end, with the longest
    // stall of the window's thread (a 2 ms timer); the second window is then
    // closed and timed. The limit of the start with the index, in the same
    // run: listing the folder and reading the index.
    AppSettings::UseFile(folder.path() + QStringLiteral("/settings.ini"));
    PrepareHeapForArchive(); // as the program's main does
    qputenv("XDG_CACHE_HOME", (folder.path() + QStringLiteral("/cache")).toLocal8Bit());
    std::size_t windowSessions = 0;
    constexpr int runs = 3;
    double startableMs[runs] = {};
    double shownMs[runs] = {};
    double windowMs[runs] = {};
    double stallMs[runs] = {};
    double closeMs = 0;
    double destroyMs = 0; // after the window is gone from the screen
    double limitMs = 0;
    std::uintmax_t indexBytes[runs] = {};
    const std::string indexPath = ArchiveSync::IndexPath(QString::fromStdString(data)).toStdString();
    for (int run = 0; run < runs; ++run) {
        if (run == 1) {
            start = Clock::now();
            bool whole = false;
            const std::size_t names = ListSessionFiles(data, false, whole).size();
            const ListIndexRead read = ReadListIndex(indexPath, data, MaxListIndexBytes(names));
            limitMs = msSince(start);
            if (read.State != ListIndexState::Used)
                std::printf("the index was not read back\n");
        }
        if (run == 2) {
            char name[32];
            std::snprintf(name, sizeof name, "25070120%08d.dat", count);
            TCLTSession added = makeSession(count);
            writeRaw(data + "/" + name, sessionFileBytes(added, Today));
        }
        const std::size_t rows = static_cast<std::size_t>(count) - 1 + (run == 2 ? 1 : 0);
        Heartbeat heartbeat;
        start = Clock::now();
        auto window = std::make_unique<TformPalettorMain>(folder.path() + QLatin1Char('/'));
        QSignalSpy finished(window.get(), &TformPalettorMain::StartupFinished);
        window->show();
        heartbeat.Restart();
        while (!window->ArchiveLoading() && finished.count() == 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        startableMs[run] = msSince(start);
        auto *model = window->findChild<ResultsModel *>();
        while (static_cast<std::size_t>(model->rowCount()) < rows && finished.count() == 0 && msSince(start) < 600000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        shownMs[run] = msSince(start);
        if (finished.count() == 0)
            finished.wait(600000);
        windowMs[run] = msSince(start);
        stallMs[run] = heartbeat.Longest();
        windowSessions = window->Sessions().Count() - (run == 2 ? 1 : 0);
        std::error_code error;
        indexBytes[run] = std::filesystem::file_size(indexPath, error);
        if (run == 1) {
            start = Clock::now();
            window->close();
            closeMs = msSince(start);
            start = Clock::now();
            window.reset();
            destroyMs = msSince(start);
        }
    }
    AppSettings::UseFile(QString());
    UserDialogs::Install(nullptr);

    std::printf("%d sessions, %.1f MB of files; %d rows listed, %d after the filter, delete %s\n\n", count,
                bytes / 1048576.0, allRows, filteredRows, deleted ? "done" : "FAILED");
    line("load the archive", loadMs, rawMs, "raw open/read/close of the files");
    line("refill the list (all rows)", refillMs, iterateMs, "iterate the loaded sessions");
    line("filter the list", filterMs, iterateMs, "iterate the loaded sessions");
    line("select a row (detail view)", selectMs, iterateMs, "iterate the loaded sessions");
    line("delete the selected row", deleteMs, iterateMs, "iterate the loaded sessions");
    line("window: a test can start, no index", startableMs[0], loadMs, "LoadArchive of the same files");
    line("window: list filled, no index", windowMs[0], loadMs, "LoadArchive of the same files");
    const char *limit = "listing + index read";
    const char *names[runs] = {"no index", "index", "index + 1 new file"};
    for (int run = 1; run < runs; ++run) {
        std::printf("window, %s:\n", names[run]);
        line("  a test can start", startableMs[run], limitMs, limit);
        line("  every row shown", shownMs[run], limitMs, limit);
        line("  pass ended (checked with the folder)", windowMs[run], limitMs, limit);
    }
    for (int run = 0; run < runs; ++run)
        std::printf("longest stall of the window's thread, %-20s %8.1f ms\n", names[run], stallMs[run]);
    std::printf(
        "index file after each start: %ju / %ju / %ju bytes (the third appended to when it grew by one entry)\n",
        indexBytes[0], indexBytes[1], indexBytes[2]);
    line("close the window (index, warm)", closeMs, limitMs, limit);
    line("then free it (sessions, list, rows)", destroyMs, limitMs, limit);
    std::printf("\nmodel signals: select %s; delete %s\n", selectSignals.toStdString().c_str(),
                deleteSignals.toStdString().c_str());
    std::printf("main window read %zu sessions (one file fewer: the deleted one; the added one not counted)\n",
                windowSessions);
    std::printf("\n(checksum %lld)\n", touched);
    return deleted && filteredRows > 0 && windowSessions == static_cast<std::size_t>(count) - 1 ? 0 : 1;
}
