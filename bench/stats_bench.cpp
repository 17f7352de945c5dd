// Group statistics over a large list, from where the window starts: the
// list filled from the station's index holds the list fields and the
// figures of each session's choices, so the statistics take the selection
// (on the window's thread) and compute (on a worker) without opening a
// file. Timed against a copy of every listed session's path; the route of a
// list without the figures (each file read) against a raw read of the same
// files; the computation alone (the whole selection; one group against the
// others) against one pass reading the two choices. The count of sessions
// is the only argument (100,000 by default); the files are written to a
// temporary folder and removed at the end.
#include "BenchFiles.h"
#include "core/SessionListFields.h"
#include "core/SessionListIndex.h"
#include "statistics/SelectionReader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <random>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
constexpr OleDate Today = 45839;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <typename Work>
double bestMilliseconds(int rounds, Work work)
{
    double best = 1e300;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        work();
        best = std::min(best, msSince(start));
    }
    return best;
}

void line(const char *what, double ms, double baselineMs, const char *baseline)
{
    std::printf("  %-40s %9.1f ms   %-30s %9.1f ms   ratio %6.2f\n", what, ms, baseline, baselineMs,
                baselineMs > 0 ? ms / baselineMs : 0.0);
}

// A session with both choices shuffled, marks' intensity and conclusion
// texts of realistic length (about 2.9 KB a file, as list_bench writes).
TCLTSession makeSession(std::size_t i, std::mt19937 &random)
{
    TCLTSession s(Today - 1 - static_cast<double>(i) / 1000.0, Today);
    s.Surname = "Испытуемый" + std::to_string(i);
    s.FirstName = i % 2 ? "Иван" : "Мария";
    s.TestKind = i % 10 == 0 ? 1 : 2;
    s.Group = "Группа " + std::to_string(i % 5);
    s.BirthDate = Today - 365.25 * (18 + static_cast<double>(i % 60));
    for (int c = 1; c <= 2; ++c) {
        std::array<int, 8> tags;
        std::iota(tags.begin(), tags.end(), 1);
        std::shuffle(tags.begin(), tags.end(), random);
        for (int p = 1; p <= 8; ++p)
            s.Choice[c][p] = tags[static_cast<std::size_t>(p - 1)];
        s.AcIntensity[c] = static_cast<int>(random() % 13);
    }
    const std::string text = "Стремление к признанию и успеху, потребность в активной деятельности. ";
    for (int k = 0; k < 6; ++k)
        s.BriefConclusion += text;
    for (int k = 0; k < 20; ++k)
        s.DetailedConclusion += text;
    return s;
}

// The list as the window fills it from the index: list fields and figures.
void fillList(const std::string &data, const std::string &index, TCLTArchive &archive)
{
    const SessionContext context{Today, ","};
    for (SessionListEntry &entry : LoadSessionList(data, index).Entries)
        archive.Add(ListedSession(std::move(entry.Fields), PathInFolder(data, entry.Name), context));
}

// The selection as the statistics page takes it on the window's thread:
// the whole list, or one group against the others.
StatisticsRequest takeSelection(const TCLTArchive &archive, const std::string *group = nullptr)
{
    StatisticsRequest request;
    if (group)
        request.Versus.emplace();
    for (const auto &session : archive)
        (group && session->Group != *group ? *request.Versus : request.First).push_back(SelectedSession::Of(*session));
    return request;
}

std::size_t compute(const StatisticsRequest &request)
{
    StatisticsProgress progress;
    const StatisticsResult result = ComputeStatistics(request, progress);
    return result.Output.Group.Table.N + result.Unreadable.size();
}

} // namespace

int main(int argc, char **argv)
{
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const fs::path root = fs::temp_directory_path() / ("palettor-stats-bench-" + std::to_string(::getpid()));
    const std::string data = (root / "Data").string();
    const std::string index = (root / "cache" / "list.idx").string();
    fs::create_directories(data);
    std::mt19937 random(24);
    for (std::size_t i = 0; i < count; ++i) {
        TCLTSession s = makeSession(i, random);
        char name[48];
        std::snprintf(name, sizeof name, "25070110%08zu.dat", i);
        if (!writeRaw(PathInFolder(data, name), sessionFileBytes(s, Today))) {
            std::printf("cannot write into %s\n", data.c_str());
            return 1;
        }
    }

    // Warm: every pass once untimed first.
    readRawFolder(data);
    std::size_t bytes = 0;
    const double raw = bestMilliseconds(2, [&] { bytes = readRawFolder(data); });
    {
        TCLTArchive first;
        fillList(data, index, first); // writes the index
    }
    TCLTArchive archive;
    const double filled = bestMilliseconds(1, [&] { fillList(data, index, archive); });
    std::size_t held = 0;
    for (const auto &session : archive)
        held += session->ListFigures.has_value();
    if (archive.Count() != count || held != count) {
        std::printf("listed %zu of %zu, %zu with their figures\n", archive.Count(), count, held);
        return 1;
    }

    // What any selection of the list has always cost: a copy of each
    // listed session's path.
    std::size_t sink = 0;
    const double pass = bestMilliseconds(5, [&] {
        std::vector<std::string> paths;
        paths.reserve(archive.Count());
        for (const auto &session : archive)
            paths.push_back(session->SourceFile);
        sink += paths.back().size();
    });
    const std::string firstGroup = "Группа 0";
    StatisticsRequest whole;
    StatisticsRequest pair;
    sink += compute(takeSelection(archive)); // untimed first
    const double taking = bestMilliseconds(5, [&] { whole = takeSelection(archive); });
    const double computing = bestMilliseconds(5, [&] { sink += compute(whole); });
    const double both = bestMilliseconds(5, [&] { sink += compute(takeSelection(archive)); });
    const double pairBoth = bestMilliseconds(5, [&] { sink += compute(takeSelection(archive, &firstGroup)); });

    // A list without the figures (an index of an older version, files read
    // in part): every file read, as before the list held them.
    StatisticsRequest fromFiles = whole;
    for (SelectedSession &selected : fromFiles.First)
        selected.Figures.reset();
    const double reading = bestMilliseconds(1, [&] { sink += compute(fromFiles); });

    // The computation alone, the sessions' figures in memory.
    std::vector<StatisticsSession> all;
    std::vector<StatisticsSession> first;
    std::vector<StatisticsSession> second;
    for (const SelectedSession &selected : whole.First) {
        const StatisticsSession session{selected.TestKind, &selected.Group, *selected.Figures, nullptr};
        all.push_back(session);
        (selected.Group == firstGroup ? first : second).push_back(session);
    }
    const double baseline = bestMilliseconds(5, [&] {
        for (const StatisticsSession &s : all)
            for (int c = 1; c <= 2; ++c)
                if (const auto positions = PositionsOfChoice(s, c))
                    sink += (*positions)[0];
    });
    const double alone = bestMilliseconds(5, [&] { sink += AnalyseSelection(all, nullptr, 2).Group.Table.N; });
    const double pairAlone = bestMilliseconds(5, [&] { sink += AnalyseSelection(first, &second, 2).Group.Table.N; });

    std::printf("%zu sessions, %.1f MB of files (sink %zu)\n", count, static_cast<double>(bytes) / 1048576.0,
                sink % 10);
    std::printf("the list filled from the index (warm):\n");
    line("list fields and figures from the index", filled, raw, "raw open/read/close of files");
    std::printf("statistics over the list as filled, from the figures it holds (best of 5):\n");
    line("selection taken (window's thread)", taking, pass, "a copy of every path");
    line("statistics computed (worker)", computing, pass, "a copy of every path");
    line("both, whole list, 5 groups compared", both, pass, "a copy of every path");
    line("both, one group against the others", pairBoth, pass, "a copy of every path");
    std::printf("statistics over a list without the figures (every file read):\n");
    line("read every file and compute", reading, raw, "raw open/read/close of files");
    std::printf("the computation alone, the figures in memory (best of 5):\n");
    line("whole list, 5 groups compared", alone, baseline, "both choices read once");
    line("one group against the others", pairAlone, baseline, "both choices read once");
    fs::remove_all(root);
    return 0;
}
