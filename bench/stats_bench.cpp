// Group statistics over a large list, from where the window starts: the
// list filled from the station's index holds only the list fields of each
// session, so the statistics first read every session's choices from its
// file, then compute. Both are timed against a raw read of the same files,
// and the computation alone (the whole selection; one group against the
// others) against one pass reading the two choices of sessions in memory.
// The count of sessions is the only argument (100,000 by default); the
// files are written to a temporary folder and removed at the end.
#include "BenchFiles.h"
#include "core/SessionDetails.h"
#include "core/SessionListFields.h"
#include "core/SessionListIndex.h"
#include "statistics/GroupStatistics.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
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

std::size_t readRaw(const std::string &data)
{
    std::size_t total = 0;
    std::vector<char> buffer(1 << 16);
    for (const std::string &name : ListSessionFiles(data)) {
        const int fd = ::open(PathInFolder(data, name).c_str(), O_RDONLY);
        if (fd < 0)
            continue;
        ssize_t n;
        while ((n = ::read(fd, buffer.data(), buffer.size())) > 0)
            total += static_cast<std::size_t>(n);
        ::close(fd);
    }
    return total;
}

// The list as the window fills it from the index: list fields only.
void fillList(const std::string &data, const std::string &index, TCLTArchive &archive)
{
    const SessionContext context{Today, ","};
    for (SessionListEntry &entry : LoadSessionList(data, index).Entries)
        archive.Add(ListedSession(std::move(entry.Fields), PathInFolder(data, entry.Name), context));
}

// Every listed session read whole from its file; only what the statistics
// need is kept (the conclusion texts dropped), as a page holding the
// choices of 100,000 sessions would have to.
std::vector<std::unique_ptr<TCLTSession>> readChoices(const TCLTArchive &archive)
{
    std::vector<std::unique_ptr<TCLTSession>> sessions;
    sessions.reserve(archive.Count());
    TSimpleFileStream buffer;
    for (const auto &listed : archive) {
        auto whole = std::make_unique<TCLTSession>();
        if (!ReadWholeSession(*listed, *whole, buffer))
            continue;
        whole->BriefConclusion = {};
        whole->DetailedConclusion = {};
        whole->AdditionalFindings = {};
        sessions.push_back(std::move(whole));
    }
    return sessions;
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
    readRaw(data);
    std::size_t bytes = 0;
    const double raw = bestMilliseconds(2, [&] { bytes = readRaw(data); });
    {
        TCLTArchive first;
        fillList(data, index, first); // writes the index
    }
    TCLTArchive archive;
    const double filled = bestMilliseconds(1, [&] { fillList(data, index, archive); });
    if (archive.Count() != count) {
        std::printf("listed %zu of %zu\n", archive.Count(), count);
        return 1;
    }

    std::vector<std::unique_ptr<TCLTSession>> sessions;
    std::size_t sink = 0;
    double reading = 1e300;
    double fromList = 1e300;
    for (int round = 0; round < 2; ++round) {
        const auto start = Clock::now();
        sessions = readChoices(archive);
        reading = std::min(reading, msSince(start));
        std::vector<const TCLTSession *> all;
        for (const auto &s : sessions)
            all.push_back(s.get());
        sink += AnalyseSelection(all, nullptr, 2).Group.Table.N;
        fromList = std::min(fromList, msSince(start));
    }

    std::vector<const TCLTSession *> all;
    std::vector<const TCLTSession *> first;
    std::vector<const TCLTSession *> second;
    for (const auto &s : sessions) {
        all.push_back(s.get());
        (s->Group == "Группа 0" ? first : second).push_back(s.get());
    }
    const double baseline = bestMilliseconds(5, [&] {
        for (const TCLTSession *s : all)
            for (int c = 1; c <= 2; ++c)
                if (const auto positions = PositionsOfChoice(*s, c))
                    sink += (*positions)[0];
    });
    const double whole = bestMilliseconds(5, [&] { sink += AnalyseSelection(all, nullptr, 2).Group.Table.N; });
    const double pair = bestMilliseconds(5, [&] { sink += AnalyseSelection(first, &second, 2).Group.Table.N; });

    std::printf("%zu sessions, %.1f MB of files (sink %zu)\n", count, static_cast<double>(bytes) / 1048576.0,
                sink % 10);
    std::printf("the list filled from the index (warm):\n");
    line("list fields from the index", filled, raw, "raw open/read/close of files");
    std::printf("statistics over the list as filled (choices read from the files):\n");
    line("read every session's choices", reading, raw, "raw open/read/close of files");
    line("read them and compute (the window)", fromList, raw, "raw open/read/close of files");
    std::printf("the computation alone, the choices in memory (best of 5):\n");
    line("whole list, 5 groups compared", whole, baseline, "both choices read once");
    line("one group against the others", pair, baseline, "both choices read once");
    fs::remove_all(root);
    return 0;
}
