// Times the search field of the results list over a large archive: typing a
// surname, a name in another letter case, a text no one has, and clearing
// it, each next to a baseline measured in the same run on the same rows (an
// unfiltered refill of the list, which every administrator waits for once).
//
//   search_bench [session count]   (default 100000)
#include "BenchClock.h"
#include "app/preferences/AppSettings.h"
#include "core/SessionArchive.h"
#include "results/ResultsPage.h"

#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = BenchClock;

constexpr OleDate Today = 45839;

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    const char *surnames[] = {"Семёнов", "Иванова", "Петров", "Кузнецова", "Смирнов", "Орлова", "Фёдоров"};
    ArchiveList archive;
    for (int i = 0; i < count; ++i) {
        auto s = std::make_unique<TCLTSession>(Today - 1 - i / 1000.0, Today);
        s->Surname = std::string(surnames[i % 7]) + std::to_string(i);
        s->FirstName = i % 2 ? "Алёна" : "Пётр";
        s->Patronymic = "Ильич";
        s->TestKind = 1 + i % 4;
        s->UpdateDisplayName();
        archive.Add(std::move(s));
    }
    QTemporaryDir folder;
    QSettings store(folder.filePath(QStringLiteral("placement.ini")), QSettings::IniFormat);
    ResultsPage page(archive, store);
    page.resize(1200, 800);
    page.show();

    auto start = Clock::now();
    page.RefillResults(false);
    QApplication::processEvents();
    const double baseline = msSince(start);
    std::printf("%d sessions; baseline (unfiltered refill): %.1f ms\n", count, baseline);
    // A person reads the list before typing: the names are folded meanwhile,
    // a slice at a time, and the longest gap of the window is what a slice costs.
    start = Clock::now();
    double longestGap = 0;
    for (auto last = Clock::now(); msSince(start) < 1000;) {
        QApplication::processEvents();
        const auto now = Clock::now();
        longestGap = std::max(longestGap, std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    }
    std::printf("one idle second: the longest event-loop pass %.1f ms\n", longestGap);

    const char *searches[] = {"семенов1", "АЛЕНА", "нет такого", ""};
    for (const char *text : searches) {
        start = Clock::now();
        page.SearchField()->setText(QString::fromUtf8(text));
        QApplication::processEvents();
        const double ms = msSince(start);
        std::printf("search \"%s\": %d rows, %.1f ms, %.2f x baseline\n", text, page.Grid()->model()->rowCount(), ms,
                    ms / baseline);
    }
    return 0;
}
