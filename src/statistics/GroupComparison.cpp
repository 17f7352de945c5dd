#include "statistics/GroupComparison.h"

#include "statistics/Distributions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Sum over the tie groups of t^3 - t.
double tieTerm(const std::array<double, StatColours> &totals)
{
    double sum = 0;
    for (double t : totals)
        sum += t * t * t - t;
    return sum;
}

ColourComparison compareColour(int colour, const PositionTable &first, const PositionTable &second)
{
    ColourComparison result;
    result.Colour = colour;
    result.N1 = first.N;
    result.N2 = second.N;
    if (first.N == 0 || second.N == 0) {
        result.U = result.P = result.RankBiserial = NaN;
        return result;
    }
    const auto &a = first.Counts[colour];
    const auto &b = second.Counts[colour];
    double u = 0;
    std::array<double, StatColours> totals{};
    double secondBelow = 0; // second-group people at smaller positions
    for (int v = 0; v < StatColours; ++v) {
        const double here = static_cast<double>(a[v]);
        const double other = static_cast<double>(b[v]);
        u += here * (secondBelow + other / 2.0);
        secondBelow += other;
        totals[v] = here + other;
    }
    const double n1 = static_cast<double>(first.N);
    const double n2 = static_cast<double>(second.N);
    const double n = n1 + n2;
    const double mean = n1 * n2 / 2.0;
    const double variance = n1 * n2 / 12.0 * ((n + 1.0) - tieTerm(totals) / (n * (n - 1.0)));
    result.U = u;
    result.RankBiserial = 2.0 * u / (n1 * n2) - 1.0;
    if (!(variance > 0)) {
        // Every person at one position: nothing tells the groups apart.
        result.P = 1.0;
        return result;
    }
    const double z = (std::fabs(u - mean) - 0.5) / std::sqrt(variance);
    result.P = z <= 0 ? 1.0 : std::min(1.0, NormalTwoSidedP(z));
    return result;
}

} // namespace

std::vector<double> HolmAdjust(const std::vector<double> &p)
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < p.size(); ++i)
        if (!std::isnan(p[i]))
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&p](std::size_t x, std::size_t y) { return p[x] < p[y]; });
    std::vector<double> adjusted(p.size(), NaN);
    const double m = static_cast<double>(order.size());
    double running = 0;
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
        running = std::max(running, std::min(1.0, (m - static_cast<double>(rank)) * p[order[rank]]));
        adjusted[order[rank]] = running;
    }
    return adjusted;
}

std::array<ColourComparison, StatColours> CompareGroups(const PositionTable &first, const PositionTable &second)
{
    std::array<ColourComparison, StatColours> results;
    std::vector<double> p(StatColours);
    for (int c = 0; c < StatColours; ++c) {
        results[c] = compareColour(c, first, second);
        p[c] = results[c].P;
    }
    const std::vector<double> holm = HolmAdjust(p);
    for (int c = 0; c < StatColours; ++c)
        results[c].PHolm = holm[c];
    return results;
}

std::array<ColourKruskalWallis, StatColours> KruskalWallis(const std::vector<PositionTable> &groups)
{
    std::vector<const PositionTable *> present;
    for (const PositionTable &group : groups)
        if (group.N > 0)
            present.push_back(&group);
    double n = 0;
    for (const PositionTable *group : present)
        n += static_cast<double>(group->N);
    std::array<ColourKruskalWallis, StatColours> results;
    for (int c = 0; c < StatColours; ++c) {
        ColourKruskalWallis &r = results[c];
        r.Colour = c;
        r.Groups = present.size();
        if (present.size() < 2) {
            r.H = r.P = NaN;
            continue;
        }
        // Mid-rank of every position over all groups together.
        std::array<double, StatColours> totals{};
        for (const PositionTable *group : present)
            for (int v = 0; v < StatColours; ++v)
                totals[v] += static_cast<double>(group->Counts[c][v]);
        std::array<double, StatColours> midRank{};
        double before = 0;
        for (int v = 0; v < StatColours; ++v) {
            midRank[v] = before + (totals[v] + 1.0) / 2.0;
            before += totals[v];
        }
        double statistic = 0;
        for (const PositionTable *group : present) {
            double rankSum = 0;
            for (int v = 0; v < StatColours; ++v)
                rankSum += static_cast<double>(group->Counts[c][v]) * midRank[v];
            statistic += rankSum * rankSum / static_cast<double>(group->N);
        }
        statistic = 12.0 / (n * (n + 1.0)) * statistic - 3.0 * (n + 1.0);
        const double correction = 1.0 - tieTerm(totals) / (n * n * n - n);
        if (!(correction > 0)) {
            r.H = 0;
            r.P = 1.0;
            continue;
        }
        r.H = std::max(0.0, statistic / correction);
        r.P = ChiSquareSurvival(r.H, static_cast<double>(present.size() - 1));
    }
    return results;
}
