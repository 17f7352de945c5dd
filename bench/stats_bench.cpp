// Group statistics over a large list once its sessions are in memory: the
// whole selection (per-colour figures, Friedman, stability, intensities),
// two groups compared colour by colour, and Kruskal-Wallis across user
// groups, each next to a baseline of one pass reading every session's two
// choices. The count of sessions is the only argument (100,000 by default).
#include "GroupStatistics.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;

template <typename Work>
double bestMilliseconds(Work work)
{
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    std::mt19937 random(24);
    std::vector<std::unique_ptr<TCLTSession>> sessions;
    sessions.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        auto s = std::make_unique<TCLTSession>();
        s->TestKind = 2;
        s->Group = "Группа " + std::to_string(i % 5);
        for (int c = 1; c <= 2; ++c) {
            std::array<int, 8> tags;
            std::iota(tags.begin(), tags.end(), 1);
            std::shuffle(tags.begin(), tags.end(), random);
            for (int p = 1; p <= 8; ++p)
                s->Choice[c][p] = tags[static_cast<std::size_t>(p - 1)];
            s->AcIntensity[c] = static_cast<int>(random() % 13);
        }
        sessions.push_back(std::move(s));
    }
    std::vector<const TCLTSession *> all;
    std::vector<const TCLTSession *> first;
    std::vector<const TCLTSession *> second;
    for (const auto &s : sessions) {
        all.push_back(s.get());
        (s->Group == "Группа 0" ? first : second).push_back(s.get());
    }

    std::size_t sink = 0;
    const double baseline = bestMilliseconds([&] {
        for (const TCLTSession *s : all)
            for (int c = 1; c <= 2; ++c)
                if (const auto positions = PositionsOfChoice(*s, c))
                    sink += (*positions)[0];
    });
    const double whole = bestMilliseconds([&] { sink += AnalyseSelection(all, nullptr, 2).Group.Table.N; });
    const double pair = bestMilliseconds([&] { sink += AnalyseSelection(first, &second, 2).Group.Table.N; });
    std::printf("%zu sessions, best of 5 (sink %zu)\n", count, sink % 10);
    std::printf("baseline, both choices read once  %8.1f ms\n", baseline);
    std::printf("whole list, 5 groups compared     %8.1f ms  (%.1fx baseline)\n", whole, whole / baseline);
    std::printf("one group against the others      %8.1f ms  (%.1fx baseline)\n", pair, pair / baseline);
    return 0;
}
